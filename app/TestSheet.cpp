#include "app/TestSheet.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiPlus.h"
#include "host/gdi/GdiText.h"
#include "host/gdi/ImageList.h"
#include "host/rtl/Resources.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace app {
namespace {

// Pixels at the sheet's density.
struct Scaler {
  int Dpi;
  int operator()(int v) const { return MulDiv(v, Dpi, 96); }
  TRect R(int l, int t, int w, int h) const { return {(*this)(l), (*this)(t), (*this)(l + w), (*this)(t + h)}; }
};

// Selects a GDI object for a scope and deletes it afterwards.
template <class H>
class Selected {
 public:
  Selected(HDC dc, H obj) : FDc(dc), FObj(obj), FOld(SelectObject(dc, obj)) {}
  ~Selected() {
    SelectObject(FDc, FOld);
    DeleteObject(FObj);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC FDc;
  H FObj;
  H FOld;
};

HFONT MakeFont(const Scaler& s, int pt, LONG weight = FW_NORMAL, bool italic = false,
               const char16_t* face = u"Tahoma") {
  LOGFONTW lf;
  lf.lfHeight = -MulDiv(pt, s.Dpi, 72);
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return CreateFontIndirectW(lf);
}

void Fill(HDC dc, const TRect& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void Caption(HDC dc, const Scaler& s, int x, int y, StringView text) {
  TRect r = s.R(x, y, 300, 16);
  SetTextColor(dc, RGB(0x33, 0x3D, 0x4D));
  DrawTextW(dc, text, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

void Checkerboard(HDC dc, const TRect& r, int cell) {
  Fill(dc, r, RGB(0xFF, 0xFF, 0xFF));
  HBRUSH grey = CreateSolidBrush(RGB(0xCC, 0xCC, 0xCC));
  for (int y = r.Top; y < r.Bottom; y += cell)
    for (int x = r.Left + (((y - r.Top) / cell) % 2) * cell; x < r.Right; x += 2 * cell) {
      TRect c{x, y, std::min(x + cell, r.Right), std::min(y + cell, r.Bottom)};
      FillRect(dc, &c, grey);
    }
  DeleteObject(grey);
}

// A premultiplied 32-bit orb: a soft blue sphere whose alpha fades to nothing at its rim.
HBITMAP MakeOrb(int size) {
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(size, size, &bits);
  auto* px = static_cast<std::uint32_t*>(bits);
  const double c = (size - 1) / 2.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double d = std::hypot(x - c, y - c) / c;
      double a = std::clamp((1.0 - d) * 2.5, 0.0, 1.0);
      a = a * a * (3 - 2 * a);  // smoothstep: a solid core, a soft rim
      double hl = std::clamp(1.0 - std::hypot(x - c * 0.7, y - c * 0.7) / c, 0.0, 1.0);
      double r = 40 + 200 * hl, g = 120 + 130 * hl, b = 255;
      auto A = std::uint32_t(std::lround(a * 255));
      auto P = [&](double v) { return std::uint32_t(std::lround(std::min(v, 255.0) * a)); };
      px[y * size + x] = (A << 24) | (P(r) << 16) | (P(g) << 8) | P(b);
    }
  GdiFlush();
  return bmp;
}

void Primitives(HDC dc, const Scaler& s) {
  Caption(dc, s, 16, 44, u"Primitives (exact pixels, Win32 edges)");
  HPEN pen = CreatePen(PS_SOLID, s(1), RGB(0x1F, 0x4E, 0x79));
  HBRUSH brush = CreateSolidBrush(RGB(0xBD, 0xD7, 0xEE));
  HGDIOBJ oldPen = SelectObject(dc, AsGdiObj(pen));
  HGDIOBJ oldBrush = SelectObject(dc, AsGdiObj(brush));
  Rectangle(dc, s(16), s(66), s(76), s(116));
  RoundRect(dc, s(88), s(66), s(148), s(116), s(16), s(16));
  Ellipse(dc, s(160), s(66), s(220), s(116));
  Pie(dc, s(232), s(66), s(292), s(116), s(292), s(66), s(292), s(116));
  TPoint star[10];
  for (int i = 0; i < 10; ++i) {
    double ang = -M_PI / 2 + i * M_PI / 5, rad = (i % 2 ? 11 : 26);
    star[i] = {s(334) + int(std::lround(s(rad) * std::cos(ang))),
               s(92) + int(std::lround(s(rad) * std::sin(ang)))};
  }
  SetPolyFillMode(dc, WINDING);
  Polygon(dc, star, 10);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
  for (int i = 0; i < 4; ++i) {
    HPEN p = CreatePen(i == 3 ? PS_DOT : PS_SOLID, i == 3 ? 1 : s(1 + i), RGB(0xC0, 0x39, 0x2B));
    HGDIOBJ o = SelectObject(dc, AsGdiObj(p));
    MoveToEx(dc, s(376), s(70 + i * 14), nullptr);
    LineTo(dc, s(456), s(70 + i * 14));
    SelectObject(dc, o);
    DeleteObject(p);
  }
}

void Classic(HDC dc, const Scaler& s) {
  Caption(dc, s, 16, 128, u"Classic frames: edges and frame controls");
  const UINT edges[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP};
  for (int i = 0; i < 4; ++i) {
    TRect r = s.R(16 + i * 48, 150, 40, 32);
    FillRect(dc, &r, SysColorBrushHandle(COLOR_BTNFACE));
    DrawEdge(dc, &r, edges[i], BF_RECT);
  }
  struct { UINT type, state; } controls[] = {
      {DFC_BUTTON, DFCS_BUTTONPUSH},
      {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {DFC_SCROLL, DFCS_SCROLLUP},
      {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE},
      {DFC_CAPTION, DFCS_CAPTIONMIN},
      {DFC_CAPTION, DFCS_CAPTIONMAX},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE},
  };
  int x = 212;
  for (auto c : controls) {
    int w = c.type == DFC_BUTTON && (c.state & DFCS_BUTTONPUSH) ? 36 : 18;
    TRect r = s.R(x, 157, w, 18);
    DrawFrameControl(dc, &r, c.type, c.state);
    x += w + 6;
  }
}

void Gradients(HDC dc, const Scaler& s) {
  Caption(dc, s, 16, 196, u"Gradients and alpha blending");
  TRect h = s.R(16, 218, 140, 60), v = s.R(164, 218, 60, 60);
  TRIVERTEX vh[2] = {{h.Left, h.Top, 0x1F00, 0x4E00, 0x7900, 0}, {h.Right, h.Bottom, 0x9D00, 0xC300, 0xE600, 0}};
  TRIVERTEX vv[2] = {{v.Left, v.Top, 0xFF00, 0xD600, 0x6600, 0}, {v.Right, v.Bottom, 0xC000, 0x3900, 0x2B00, 0}};
  GRADIENT_RECT gr{0, 1};
  GradientFill(dc, vh, 2, &gr, 1, GRADIENT_FILL_RECT_H);
  GradientFill(dc, vv, 2, &gr, 1, GRADIENT_FILL_RECT_V);

  TRect board = s.R(236, 218, 224, 60);
  Checkerboard(dc, board, s(8));
  const int orb = s(56);
  HBITMAP bmp = MakeOrb(orb);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP old = SelectObject(mem, bmp);
  const BYTE alphas[] = {255, 160, 80};
  for (int i = 0; i < 3; ++i) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, alphas[i], AC_SRC_ALPHA};
    AlphaBlend(dc, board.Left + s(8 + i * 72), board.Top + s(2), orb, orb, mem, 0, 0, orb, orb, bf);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
}

void Text(HDC dc, const Scaler& s) {
  Caption(dc, s, 496, 44, u"Text layout (DrawTextW)");
  Selected<HFONT> font(dc, MakeFont(s, 8));
  SetTextColor(dc, RGB(0x20, 0x20, 0x20));
  SetBkMode(dc, TRANSPARENT);
  struct { const char16_t* text; UINT flags; } rows[] = {
      {u"Left aligned", DT_LEFT},
      {u"Centred", DT_CENTER},
      {u"Right aligned", DT_RIGHT},
      {u"&File  &Edit  &View  (prefix underlines, && doubled)", DT_LEFT},
      {u"C:\\Program Files\\Kexora\\Styles\\Glow.style", DT_PATH_ELLIPSIS},
      {u"An end ellipsis trims text that does not fit the box", DT_END_ELLIPSIS},
  };
  int y = 66;
  for (auto& row : rows) {
    TRect r = s.R(496, y, 220, 18);
    Fill(dc, r, RGB(0xEE, 0xF3, 0xF8));
    DrawTextW(dc, row.text, -1, &r, row.flags | DT_SINGLELINE | DT_VCENTER);
    y += 22;
  }
  TRect para = s.R(730, 66, 214, 128);
  Fill(dc, para, RGB(0xEE, 0xF3, 0xF8));
  const char16_t* text =
      u"Word wrapping breaks lines at word boundaries.\r\nCR, LF, CRLF and LFCR each end one "
      u"line. Measuring and drawing share a single layout path, so DT_CALCRECT gives exactly "
      u"the box the text is drawn in.";
  TRect calc = para;
  calc.Bottom = calc.Top;
  DrawTextW(dc, text, -1, &calc, DT_WORDBREAK | DT_CALCRECT);
  DrawTextW(dc, text, -1, &para, DT_WORDBREAK);
  HPEN red = CreatePen(PS_DOT, 1, RGB(0xC0, 0x39, 0x2B));
  HGDIOBJ o = SelectObject(dc, AsGdiObj(red));
  HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, calc.Left, calc.Top, calc.Right, calc.Bottom);
  SelectObject(dc, ob);
  SelectObject(dc, o);
  DeleteObject(red);

  struct { int pt; LONG weight; bool italic; const char16_t* face; } fonts[] = {
      {8, FW_NORMAL, false, u"Tahoma"},  {9, FW_BOLD, false, u"Tahoma"},
      {12, FW_NORMAL, true, u"DejaVu Serif"}, {16, FW_BOLD, false, u"DejaVu Sans"}};
  y = 204;
  for (auto& f : fonts) {
    Selected<HFONT> sample(dc, MakeFont(s, f.pt, f.weight, f.italic, f.face));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    TRect r = s.R(496, y, 440, 0);
    r.Bottom = r.Top + tm.tmHeight;
    String label = String(f.face) + u" " + Utf8ToString(std::to_string(f.pt)) +
                   u" pt: The quick brown fox jumps over the lazy dog";
    DrawTextW(dc, label, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    y += MulDiv(tm.tmHeight, 96, s.Dpi) + 6;
  }
}

// PNG artwork decoded from the embedded resources, drawn with its alpha, and an image list.
void Images(HDC dc, const Scaler& s) {
  Caption(dc, s, 16, 292, u"Decoded PNG, image list (normal, 50 % blend), GDI+ scaling");
  ResourceData res;
  if (!FindResource(u"RCDATA", u"SheetArtwork", res))
    throw EResNotFound("Resource SheetArtwork of type RCDATA not found");
  TDecodedImage img = DecodePng(res.Data, res.Size, u"SheetArtwork");
  HBITMAP art = CreateDibFromImage(img, /*premultiplied=*/true);
  TRect board = s.R(16, 314, 460, 110);
  Checkerboard(dc, board, s(8));

  HDC mem = CreateCompatibleDC(dc);
  HBITMAP old = SelectObject(mem, art);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const int side = s(96);
  AlphaBlend(dc, board.Left + s(6), board.Top + s(7), side, side, mem, 0, 0, img.Width, img.Height, bf);
  SelectObject(mem, old);
  DeleteDC(mem);

  // GDI+: the artwork scaled into an image list's icon size with high-quality bicubic
  // sampling, then drawn by the image list as is and blended 50 % with the highlight colour.
  DIBSECTION ds;
  GetObject(art, &ds);
  TGPBitmap gp(img.Width, img.Height, img.Width * 4, PixelFormat32bppPARGB,
               static_cast<BYTE*>(ds.dsBm.bmBits));
  const int icon = s(48);
  HBITMAP small = CreateDIB32(icon, icon);
  {
    HDC smallDc = CreateCompatibleDC(dc);
    HBITMAP prev = SelectObject(smallDc, small);
    TGPGraphics g(smallDc);
    g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    g.DrawImage(&gp, 0, 0, icon, icon);
    SelectObject(smallDc, prev);
    DeleteDC(smallDc);
  }
  HIMAGELIST il = ImageList_Create(icon, icon, ILC_COLOR32, 1, 1);
  ImageList_Add(il, small, nullptr);
  ImageList_Draw(il, 0, dc, board.Left + s(112), board.Top + s(7), ILD_NORMAL);
  ImageList_DrawEx(il, 0, dc, board.Left + s(168), board.Top + s(7), icon, icon, CLR_NONE,
                   CLR_DEFAULT, ILD_BLEND50);
  ImageList_Destroy(il);
  DeleteObject(small);

  // The same source drawn small and large with nearest-neighbour, then bicubic sampling.
  TGPGraphics g(dc);
  int x = board.Left + s(232);
  for (InterpolationMode mode : {InterpolationModeNearestNeighbor, InterpolationModeHighQualityBicubic}) {
    g.SetInterpolationMode(mode);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    g.DrawImage(&gp, x, board.Top + s(64), s(24), s(24));
    g.DrawImage(&gp, x + s(32), board.Top + s(56), s(40), s(40));
    x += s(100);
  }
  DeleteObject(art);
}

void IconFont(HDC dc, const Scaler& s) {
  Caption(dc, s, 496, 292, u"Icon font from memory (GDI+ private font collection)");
  ResourceData res;
  if (!FindResource(u"RCDATA", u"IconFont", res))
    throw EResNotFound("Resource IconFont of type RCDATA not found");
  static TGPPrivateFontCollection* fonts = [&] {
    auto* c = new TGPPrivateFontCollection;
    c->AddMemoryFont(res.Data, int(res.Size));
    return c;
  }();
  TGPFontFamily family(u"FontAwesome", fonts);
  TGPGraphics g(dc);
  g.SetSmoothingMode(SmoothingModeAntiAlias);
  g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
  const char16_t glyphs[] = {0xF015, 0xF013, 0xF0C7, 0xF1C5, 0xF07C, 0xF0E0, 0xF005, 0xF0F3};
  const ARGB colors[] = {0xFF1F4E79, 0xFF3F7FBF, 0xFFC0392B, 0xFF27AE60};
  TGPStringFormat fmt;
  fmt.SetAlignment(StringAlignmentCenter);
  fmt.SetLineAlignment(StringAlignmentCenter);
  int x = 496;
  int i = 0;
  for (int px : {16, 24, 32, 48}) {
    TGPFont font(&family, REAL(s(px)), FontStyleRegular, UnitPixel);
    TGPSolidBrush brush(colors[i % 4]);
    for (int k = 0; k < 2; ++k, ++i) {
      TGPRectF r{REAL(s(x)), REAL(s(314)), REAL(s(px + 8)), REAL(s(56))};
      g.DrawString(&glyphs[i], 1, &font, r, &fmt, &brush);
      x += px + 12;
    }
  }
}

}  // namespace

void PaintTestSheet(HDC dc, int dpi) {
  Scaler s{dpi};
  TRect all = s.R(0, 0, kSheetWidth, kSheetHeight);
  Fill(dc, all, RGB(0xF7, 0xF9, 0xFC));
  TRect band = s.R(0, 0, kSheetWidth, 34);
  Fill(dc, band, RGB(0x1F, 0x2A, 0x3A));
  {
    Selected<HFONT> title(dc, MakeFont(s, 12, FW_BOLD));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    TRect r = band;
    r.Left += s(16);
    DrawTextW(dc, u"Kexora drawing core", &r, DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, RGB(0x9D, 0xC3, 0xE6));
    r.Right -= s(16);
    String dpiText = Utf8ToString(std::to_string(dpi)) + u" DPI";
    DrawTextW(dc, dpiText, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  Selected<HFONT> font(dc, MakeFont(s, 8, FW_BOLD));
  SetBkMode(dc, TRANSPARENT);
  Primitives(dc, s);
  Classic(dc, s);
  Gradients(dc, s);
  Images(dc, s);
  Text(dc, s);
  IconFont(dc, s);
}

}  // namespace app
