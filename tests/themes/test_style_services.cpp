// Drawing and metrics of every style the program carries, and of a small style made here.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "host/gdi/GdiText.h"
#include "host/rtl/Streams.h"
#include "host/themes/StyleManager.h"
#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"
#include "tests/themes/ThemesTestSupport.h"

using namespace vcl;
using vcl::test::TCanvasBitmap;

namespace {

// Details a style may leave invisible: faces that only show when hot, pressed or checked.
const std::set<std::string> MayBeInvisible = {
    "ttbButtonNormal",        "ttbButtonDisabled",        "ttbDropDownButtonNormal",
    "ttbDropDownButtonDisabled", "ttbSplitButtonNormal",  "ttbSplitButtonDisabled",
    "tlListItemNormal",       "tlListItemDisabled",       "ttItemNormal",
    "ttItemDisabled",         "tmPopupItemNormal",        "tmPopupItemDisabled",
    "tmMenuBarItemNormal",    "tmMenuBarItemDisabled",    "tbCommandLinkNormal",
    "tbCommandLinkDisabled",  "tmcGridCellBackgroundHot", "tmcGridCellHot",
    "tmcGridCellUpperHot",    "trChevronNormal",          "trChevronVertNormal",
    "tcpChevronOpenedNormal", "tcpChevronClosedNormal",   "tmcGridCellHasState",
    "tmcGridCellUpperHasState",
};

// A drawing area fitting the element: its own size where it has one.
TRect TileFor(TCustomStyleServices* s, HDC dc, const TThemedElementDetails& d, int dpi) {
  TSize size;
  int w = MulDiv(60, dpi, 96), h = MulDiv(24, dpi, 96);
  if (s->GetElementSize(dc, d, esActual, size, dpi)) {
    if (size.cx > 0) w = size.cx;
    if (size.cy > 0) h = size.cy;
  }
  return Bounds(8, 8, w, h);
}

double Luminance(TColor c) {
  auto lin = [](int v) {
    double x = v / 255.0;
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  COLORREF rgb = ColorToRGB(c);
  return 0.2126 * lin(GetRValue(rgb)) + 0.7152 * lin(GetGValue(rgb)) + 0.0722 * lin(GetBValue(rgb));
}

double Contrast(TColor a, TColor b) {
  double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<TCustomStyleServices*> AllStyles() {
  std::vector<TCustomStyleServices*> out;
  for (const String& n : TStyleManager::StyleNames()) out.push_back(TStyleManager::GetStyle(n));
  return out;
}

}  // namespace

TEST(StyleServices, EveryDetailDrawsInsideItsRectangleAndHasATextColour) {
  TCanvasBitmap canvas(180, 100);
  for (TCustomStyleServices* style : AllStyles()) {
    SCOPED_TRACE(StringToUtf8(style->Name()));
    EXPECT_TRUE(style->Enabled());
    auto rows = ElementEntries();
    for (size_t i = 0; i < rows.size(); ++i) {
      TThemedElementDetails d = DetailsOfEntry(int(i));
      TColor text = clNone;
      EXPECT_TRUE(style->GetElementColor(d, ecTextColor, text)) << rows[i].Name;
      EXPECT_NE(text, clNone);
      if (rows[i].TextOnly) continue;
      for (int dpi : {96, 192}) {
        canvas.Clear();
        TRect r = TileFor(style, canvas.Dc(), d, dpi);
        r.Right = std::min(r.Right, 172);
        r.Bottom = std::min(r.Bottom, 92);
        ASSERT_TRUE(style->DrawElement(canvas.Dc(), d, r, nullptr, dpi)) << rows[i].Name;
        EXPECT_EQ(canvas.ChangedOutside(r), 0) << rows[i].Name << " at " << dpi;
        if (!MayBeInvisible.count(rows[i].Name)) {
          EXPECT_GT(canvas.ChangedIn(r), 0) << rows[i].Name << " draws nothing at " << dpi;
        }
      }
    }
  }
}

TEST(StyleServices, NamedColoursAreDefinedAndTextIsLegible) {
  for (TCustomStyleServices* style : AllStyles()) {
    SCOPED_TRACE(StringToUtf8(style->Name()));
    for (int i = 0; i < StyleColorCount; ++i) {
      TColor c = style->GetStyleColor(TStyleColor(i));
      EXPECT_EQ(c & ~0xFFFFFF, 0) << StyleColorName(TStyleColor(i));
    }
    for (int i = 0; i < StyleFontCount; ++i) {
      TColor c = style->GetStyleFontColor(TStyleFont(i));
      EXPECT_EQ(c & ~0xFFFFFF, 0) << StyleFontName(TStyleFont(i));
    }
    auto fill = [&](auto detail) {
      TColor c = clNone;
      style->GetElementColor(GetElementDetails(detail), ecFillColor, c);
      return c;
    };
    auto text = [&](auto detail) {
      TColor c = clNone;
      style->GetElementColor(GetElementDetails(detail), ecTextColor, c);
      return c;
    };
    TColor face = style->ColorToRGB(clBtnFace);
    EXPECT_GE(Contrast(style->GetStyleFontColor(sfEditBoxTextNormal), style->GetStyleColor(scEdit)), 4.5);
    EXPECT_GE(Contrast(style->GetStyleFontColor(sfListItemTextNormal), style->GetStyleColor(scListBox)), 4.5);
    EXPECT_GE(Contrast(style->GetStyleFontColor(sfWindowTextNormal), style->GetStyleColor(scWindow)), 4.5);
    EXPECT_GE(Contrast(style->ColorToRGB(clWindowText), style->ColorToRGB(clWindow)), 4.5);
    EXPECT_GE(Contrast(style->ColorToRGB(clBtnText), face), 4.5);
    EXPECT_GE(Contrast(style->ColorToRGB(clHighlightText), style->ColorToRGB(clHighlight)), 3.0);
    EXPECT_GE(Contrast(text(tbCheckBoxUncheckedNormal), face), 4.5);
    for (auto b : {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDefaulted})
      EXPECT_GE(Contrast(text(b), fill(b)), 3.0) << ElementDetailsName(GetElementDetails(b));
    EXPECT_GE(Contrast(text(tgCellSelected), fill(tgCellSelected)), 3.0);
    EXPECT_GE(Contrast(text(tmPopupItemHot), fill(tmPopupItemHot)), 3.0);
    // Disabled text is still readable, and distinguishable from normal text.
    EXPECT_GE(Contrast(text(tbPushButtonDisabled), fill(tbPushButtonDisabled)), 1.5);
    EXPECT_NE(text(tbPushButtonDisabled), text(tbPushButtonNormal));
  }
}

TEST(StyleServices, SizesScaleWithTheDpi) {
  TCanvasBitmap canvas(4, 4);
  for (TCustomStyleServices* style : AllStyles()) {
    SCOPED_TRACE(StringToUtf8(style->Name()));
    for (auto d : {GetElementDetails(tbCheckBoxCheckedNormal), GetElementDetails(tbRadioButtonUncheckedNormal),
                   GetElementDetails(tsArrowBtnUpNormal), GetElementDetails(twCloseButtonNormal)}) {
      TSize s96, s;
      ASSERT_TRUE(style->GetElementSize(canvas.Dc(), d, esActual, s96, 96)) << ElementDetailsName(d);
      EXPECT_GT(s96.cx, 0);
      for (int dpi : {120, 144, 192, 240}) {
        ASSERT_TRUE(style->GetElementSize(canvas.Dc(), d, esActual, s, dpi));
        EXPECT_EQ(s, TSize(MulDiv(s96.cx, dpi, 96), MulDiv(s96.cy, dpi, 96))) << dpi;
      }
      // With no DPI given, the device context's is used.
      SetDcDpi(canvas.Dc(), 144);
      ASSERT_TRUE(style->GetElementSize(canvas.Dc(), d, esActual, s, 0));
      EXPECT_EQ(s.cx, MulDiv(s96.cx, 144, 96));
      SetDcDpi(canvas.Dc(), 96);
    }
    TElementMargins m96, m192;
    auto push = GetElementDetails(tbPushButtonNormal);
    ASSERT_TRUE(style->GetElementMargins(canvas.Dc(), push, emContent, m96, 96));
    ASSERT_TRUE(style->GetElementMargins(canvas.Dc(), push, emContent, m192, 192));
    EXPECT_EQ(m192.cxLeftWidth, 2 * m96.cxLeftWidth);
    EXPECT_EQ(m192.cyBottomHeight, 2 * m96.cyBottomHeight);
    // Caption buttons sit inside the caption, at its right for close.
    TRect caption(0, 0, 600, 40), close;
    ASSERT_TRUE(style->GetElementContentRect(canvas.Dc(), GetElementDetails(twCloseButtonNormal), caption, close, 96));
    EXPECT_TRUE(caption.Contains(close)) << close.Left << "," << close.Top << "," << close.Right << "," << close.Bottom;
    EXPECT_GT(close.Left, 500);
    TRect max;
    ASSERT_TRUE(style->GetElementContentRect(canvas.Dc(), GetElementDetails(twMaxButtonNormal), caption, max, 96));
    EXPECT_LE(max.Right, close.Left);
  }
}

TEST(StyleServices, SystemStyleBordersAreCrispAtEveryScale) {
  // The system style's push button: 1 border unit of #adadad around a #e1e1e1 face.
  TCustomStyleServices* s = TStyleManager::SystemStyle();
  TCanvasBitmap canvas(200, 100);
  auto d = GetElementDetails(tbPushButtonNormal);
  for (int dpi : {96, 120, 144, 192, 240}) {
    canvas.Clear();
    TRect r(10, 10, 150, 60);
    ASSERT_TRUE(s->DrawElement(canvas.Dc(), d, r, nullptr, dpi));
    int bw = std::max(1, int(std::lround(dpi / 96.0)));
    for (int x = r.Left; x < r.Left + bw; ++x) EXPECT_EQ(canvas.Pixel(x, 35), 0xFFADADADu) << dpi;
    EXPECT_EQ(canvas.Pixel(r.Left + bw, 35), 0xFFE1E1E1u) << dpi;
    EXPECT_EQ(canvas.Pixel(r.Right - 1, 35), 0xFFADADADu) << dpi;
    EXPECT_EQ(canvas.Pixel(80, r.Top), 0xFFADADADu) << dpi;
    EXPECT_EQ(canvas.Pixel(80, r.Bottom - bw - 1), 0xFFE1E1E1u) << dpi;
  }
}

TEST(StyleServices, ClippingOriginsAndBadArguments) {
  TCustomStyleServices* s = TStyleManager::SystemStyle();
  TCanvasBitmap canvas(100, 60);
  auto d = GetElementDetails(tbPushButtonHot);
  TRect r(10, 10, 90, 50), clip(10, 10, 40, 50);
  ASSERT_TRUE(s->DrawElement(canvas.Dc(), d, r, &clip));
  EXPECT_GT(canvas.ChangedIn(clip), 0);
  EXPECT_EQ(canvas.ChangedOutside(clip), 0);
  // The DC's window origin moves the drawing.
  canvas.Clear();
  SetWindowOrgEx(canvas.Dc(), -20, -5, nullptr);
  ASSERT_TRUE(s->DrawElement(canvas.Dc(), d, TRect(0, 0, 30, 20)));
  EXPECT_EQ(canvas.ChangedOutside(TRect(20, 5, 50, 25)), 0);
  EXPECT_GT(canvas.ChangedIn(TRect(20, 5, 50, 25)), 0);
  SetWindowOrgEx(canvas.Dc(), 0, 0, nullptr);
  // Unknown details, no DC, empty and inverted rectangles.
  canvas.Clear();
  EXPECT_FALSE(s->DrawElement(canvas.Dc(), {teButton, 77, 1}, r));
  EXPECT_FALSE(s->DrawElement(nullptr, d, r));
  EXPECT_TRUE(s->DrawElement(canvas.Dc(), d, TRect(50, 50, 40, 40)));
  EXPECT_TRUE(s->DrawElement(canvas.Dc(), d, r, nullptr, 1));
  EXPECT_EQ(canvas.ChangedOutside(r), 0);
  TColor c;
  EXPECT_FALSE(s->GetElementColor({teButton, 77, 1}, ecTextColor, c));
  TSize size;
  EXPECT_FALSE(s->GetElementSize(canvas.Dc(), {teButton, 77, 1}, esActual, size));
}

TEST(StyleServices, ACustomStyleFromAStream) {
  std::string src =
      "style { name: \"Test Round\" }\n"
      "system { clBtnFace: #102030; clWindowText: #ffffff }\n"
      "colors { scEdit: #405060 }\n"
      "button.push { fill: #ff0000; border: #00ff00 2; radius: 6; text: clWindowText\n"
      "  content: 3 4 5 6; sizing: 1 1 1 1 }\n"
      "button.check { fill: #0000ff; size: 13 13 }\n"
      "hint.standard { fill: vertical(#ffffff, #e3e3ef); border: #767676; text: #575757 }\n";
  std::vector<Byte> packed = PackStyleSource(src);
  TBytesStream stream(packed);
  TCustomStyleServices* s = TStyleManager::LoadFromStream(stream);
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->IsSystemStyle());
  EXPECT_EQ(s->GetSystemColor(clBtnFace), TColor(RGB(0x10, 0x20, 0x30)));
  EXPECT_EQ(s->GetSystemColor(clRed), clRed);
  EXPECT_EQ(s->ColorToRGB(clWindowText), TColor(0xFFFFFF));
  // Unmapped system colours fall back to the system colour table.
  EXPECT_EQ(s->GetSystemColor(clHighlight), TColor(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(s->GetStyleColor(scEdit), TColor(RGB(0x40, 0x50, 0x60)));
  EXPECT_EQ(TStyleManager::SystemStyle()->GetSystemColor(clBtnFace), clBtnFace);

  auto push = GetElementDetails(tbPushButtonNormal);
  TColor c;
  ASSERT_TRUE(s->GetElementColor(push, ecBorderColor, c));
  EXPECT_EQ(c, clLime);
  ASSERT_TRUE(s->GetElementColor(push, ecTextColor, c));
  EXPECT_EQ(c, clWhite);
  EXPECT_FALSE(s->GetElementColor(push, ecGlowColor, c));
  ASSERT_TRUE(s->GetElementColor(GetElementDetails(thHintNormal), ecGradientColor2, c));
  EXPECT_EQ(c, TColor(RGB(0xE3, 0xE3, 0xEF)));
  EXPECT_TRUE(s->HasTransparentParts(push));
  EXPECT_FALSE(s->HasTransparentParts(GetElementDetails(tbCheckBoxUncheckedNormal)));

  TCanvasBitmap canvas(60, 40);
  TRect r(0, 0, 40, 30), content;
  ASSERT_TRUE(s->GetElementContentRect(canvas.Dc(), push, r, content, 192));
  EXPECT_EQ(content, TRect(6, 8, 30, 18));
  TElementMargins m;
  ASSERT_TRUE(s->GetElementMargins(canvas.Dc(), push, emSizing, m));
  EXPECT_EQ(m, (TElementMargins{1, 1, 1, 1}));
  // Rounded corners: the corner pixel stays untouched, the region leaves it out.
  ASSERT_TRUE(s->DrawElement(canvas.Dc(), push, r));
  EXPECT_EQ(canvas.Pixel(0, 0), vcl::test::Backdrop);
  EXPECT_EQ(canvas.Pixel(0, 15), 0xFF00FF00u);
  EXPECT_EQ(canvas.Pixel(20, 15), 0xFFFF0000u);
  HRGN rgn = nullptr;
  ASSERT_TRUE(s->GetElementRegion(canvas.Dc(), push, r, rgn));
  ASSERT_NE(rgn, nullptr);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 20, 15));
  EXPECT_TRUE(PtInRegion(rgn, 0, 15));
  TRect box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(box, r);
  DeleteObject(rgn);
  // A square element fills its rectangle: no region needed.
  EXPECT_FALSE(s->GetElementRegion(canvas.Dc(), GetElementDetails(tbCheckBoxUncheckedNormal), r, rgn));
  EXPECT_EQ(rgn, nullptr);
  EXPECT_TRUE(TStyleManager::UnRegisterStyle(s));
}

TEST(StyleServices, TextInTheElementColourWithShadowBorderAndGlow) {
  TCustomStyleServices* s = TStyleManager::GetStyle(u"Glow");
  TCanvasBitmap canvas(160, 60);
  HFONT font = CreateFontW(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma");
  HFONT old = SelectObject(canvas.Dc(), font);
  auto detail = GetElementDetails(tbPushButtonHot);
  TColor text = clNone, glow = clNone;
  ASSERT_TRUE(s->GetElementColor(detail, ecTextColor, text));
  ASSERT_TRUE(s->GetElementColor(detail, ecGlowColor, glow));
  auto count = [&](COLORREF c) {
    int n = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x)
        if (canvas.Pixel(x, y) == (0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c))) ++n;
    return n;
  };
  auto litOutside = [&](const TRect& inner) {
    int n = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x)
        if (!inner.Contains(TPoint(x, y)) && canvas.Pixel(x, y) != 0xFF000000u) ++n;
    return n;
  };
  SetTextColor(canvas.Dc(), RGB(1, 2, 3));
  canvas.Clear(0xFF000000u);
  TRect r(20, 10, 140, 50);
  ASSERT_TRUE(s->DrawText(canvas.Dc(), detail, u"MMMM", r, DT_SINGLELINE | DT_VCENTER | DT_CENTER));
  EXPECT_GT(count(ColorToRGB(text)), 10);
  EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(1, 2, 3));  // left as it was
  TRect glyphs;
  ASSERT_TRUE(s->GetTextExtent(canvas.Dc(), detail, u"MMMM", DT_SINGLELINE, glyphs));
  TRect inner = Bounds(80 - glyphs.Width() / 2, 30 - glyphs.Height() / 2, glyphs.Width(), glyphs.Height());
  int plainOutside = litOutside(inner);

  // An explicit colour wins over the element's.
  canvas.Clear(0xFF000000u);
  r = TRect(20, 10, 140, 50);
  ASSERT_TRUE(s->DrawText(canvas.Dc(), detail, u"MMMM", r, DT_SINGLELINE | DT_VCENTER | DT_CENTER, clRed));
  EXPECT_GT(count(RGB(255, 0, 0)), 10);
  EXPECT_EQ(count(ColorToRGB(text)), 0);

  // A glow reaches beyond the glyphs; a shadow adds its colour.
  canvas.Clear(0xFF000000u);
  r = TRect(20, 10, 140, 50);
  TStyleTextOptions o;
  o.Flags = stfGlowSize | stfShadowColor;
  o.GlowSize = 5;
  o.ShadowColor = clLime;
  ASSERT_TRUE(s->DrawText(canvas.Dc(), detail, u"MMMM", r, DT_SINGLELINE | DT_VCENTER | DT_CENTER, o));
  EXPECT_GT(litOutside(inner), plainOutside + 100);
  EXPECT_GT(count(RGB(0, 255, 0)), 0);

  // Extents: single line by default, wrapped within bounds.
  TRect ext;
  ASSERT_TRUE(s->GetTextExtent(canvas.Dc(), detail, u"Hello world", DT_SINGLELINE, ext));
  EXPECT_GT(ext.Width(), 40);
  TRect narrow(0, 0, 50, 0), wrapped;
  ASSERT_TRUE(s->GetTextExtent(canvas.Dc(), detail, u"Hello world", DT_WORDBREAK, wrapped, &narrow));
  EXPECT_LE(wrapped.Width(), 50);
  EXPECT_GT(wrapped.Height(), ext.Height());
  SelectObject(canvas.Dc(), old);
  DeleteObject(font);
}

TEST(StyleServices, IconsAreCentredAndFadedWhenDisabled) {
  TCustomStyleServices* s = TStyleManager::SystemStyle();
  HIMAGELIST il = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
  void* bits = nullptr;
  HBITMAP img = CreateDIB32(8, 8, &bits);
  for (int i = 0; i < 64; ++i) static_cast<std::uint32_t*>(bits)[i] = 0xFFFF0000u;  // opaque red
  ASSERT_EQ(ImageList_Add(il, img, nullptr), 0);
  TCanvasBitmap canvas(40, 40);
  canvas.Clear(0xFFFFFFFFu);
  ASSERT_TRUE(s->DrawIcon(canvas.Dc(), GetElementDetails(tbPushButtonNormal), TRect(0, 0, 40, 40), il, 0));
  EXPECT_EQ(canvas.Pixel(20, 20), 0xFFFF0000u);
  EXPECT_EQ(canvas.Pixel(15, 15), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.Pixel(16, 16), 0xFFFF0000u);
  canvas.Clear(0xFFFFFFFFu);
  ASSERT_TRUE(s->DrawIcon(canvas.Dc(), GetElementDetails(tbPushButtonDisabled), TRect(0, 0, 40, 40), il, 0));
  std::uint32_t p = canvas.Pixel(20, 20);
  EXPECT_EQ(p & 0xFF0000u, 0xFF0000u);
  EXPECT_GT(p & 0xFFu, 0x60u);  // half-transparent over white
  EXPECT_FALSE(s->DrawIcon(canvas.Dc(), GetElementDetails(tbPushButtonNormal), TRect(0, 0, 40, 40), il, 1));
  EXPECT_FALSE(s->DrawIcon(canvas.Dc(), GetElementDetails(tbPushButtonNormal), TRect(0, 0, 40, 40), nullptr, 0));
  ImageList_Destroy(il);
  DeleteObject(img);
}
