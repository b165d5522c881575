// paintsheet: every styled painting routine of the drawing core in every state, for each style
// at 100 % and 200 %, as PNG sheets to look at.
//
//   paintsheet OUTDIR [STYLE ...]
//
// Writes OUTDIR/paint-<style>-<scale>.png; without style names every registered style and the
// classic look ("classic"). One row per routine, one cell per state (normal, hot, pressed,
// focused, disabled) where the routine has states.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "draw/kxDrawUtils.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Canvas.h"
#include "host/themes/StyleManager.h"

using namespace vcl;
using namespace kx;

namespace {

constexpr TkxsCtrlState kStates[] = {kxsNormal, kxsHot, kxsPressed, kxsFocused, kxsDisabled};
constexpr const char16_t* kStateNames[] = {u"normal", u"hot", u"pressed", u"focused",
                                           u"disabled"};

struct TSheet {
  TCanvas* C;
  int Scale;  // 1 or 2
  int Y = 0;
  int S(int v) const { return v * Scale; }
  double F() const { return double(Scale); }
  static constexpr int kLabel = 150, kCell = 96, kRow = 34;

  TRect Cell(int column, int w = kCell - 12, int h = 24) const {
    int x = S(kLabel + column * kCell + 6), y = Y + S((kRow - h) / 2);
    return TRect::FromSize(x, y, S(w), S(h));
  }
  void Label(const char16_t* text) {
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(GetCheckBoxTextColor(kxsNormal, nullptr));
    DrawTextLine(C, text, TRect(S(8), Y, S(kLabel - 4), Y + S(kRow)), false, true);
  }
  void Caption(const TRect& r, StringView text, TColor color) {
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(color);
    DrawTextAligned(C, text, r, taCenter);
  }
  void Next() { Y += S(kRow); }
};

template <class F>
void StateRow(TSheet& sh, const char16_t* label, F&& draw) {
  sh.Label(label);
  for (int i = 0; i < 5; ++i) draw(kStates[i], sh.Cell(i), i);
  sh.Next();
}

void Header(TSheet& sh, const String& title) {
  sh.C->Font()->SetStyle({fsBold});
  sh.Label(title.c_str());
  sh.C->Font()->SetStyle({});
  for (int i = 0; i < 5; ++i)
    sh.Caption(sh.Cell(i), kStateNames[i], GetCheckBoxTextColor(kxsNormal, nullptr));
  sh.Next();
}

void Render(TSheet& sh, const String& title) {
  TCanvas* c = sh.C;
  const double f = sh.F();
  Header(sh, title);

  StateRow(sh, u"DrawPushButtonFace", [&](TkxsCtrlState st, TRect r, int) {
    DrawPushButtonFace(c, r, st, nullptr, st == kxsFocused, f);
    sh.Caption(r, u"Button", GetButtonTextColor(st, nullptr));
  });
  StateRow(sh, u"DrawSegmentedButtonFace", [&](TkxsCtrlState st, TRect r, int) {
    const int w = r.Width() / 3;
    DrawSegmentedButtonFace(c, TRect(r.Left, r.Top, r.Left + w, r.Bottom), st, kxskLeft,
                            nullptr, false, f);
    DrawSegmentedButtonFace(c, TRect(r.Left + w, r.Top, r.Left + 2 * w, r.Bottom), st,
                            kxskMiddle, nullptr, false, f);
    DrawSegmentedButtonFace(c, TRect(r.Left + 2 * w, r.Top, r.Right, r.Bottom), st, kxskRight,
                            nullptr, false, f);
  });
  StateRow(sh, u"DrawComboButtonFace", [&](TkxsCtrlState st, TRect r, int) {
    DrawComboButtonFace(c, r, st, nullptr, st == kxsFocused, f);
    TRect a = r;
    a.Left = a.Right - sh.S(16);
    DrawMenuArrow(c, a, GetButtonTextColor(st, nullptr), f, nullptr);
  });
  StateRow(sh, u"DrawToolButtonFace", [&](TkxsCtrlState st, TRect r, int) {
    DrawToolButtonFace(c, r, st, nullptr);
    sh.Caption(r, u"Tool", GetToolButtonTextColor(st, nullptr));
  });
  StateRow(sh, u"...FaceFramed", [&](TkxsCtrlState st, TRect r, int) {
    DrawToolButtonFaceFramed(c, r, st, nullptr);
  });
  StateRow(sh, u"DrawSegmentedToolButton", [&](TkxsCtrlState st, TRect r, int) {
    const int w = r.Width() / 3;
    DrawSegmentedToolButtonFace(c, TRect(r.Left, r.Top, r.Left + w, r.Bottom), st, kxskLeft,
                                nullptr);
    DrawSegmentedToolButtonFace(c, TRect(r.Left + w, r.Top, r.Left + 2 * w, r.Bottom), st,
                                kxskMiddle, nullptr);
    DrawSegmentedToolButtonFace(c, TRect(r.Left + 2 * w, r.Top, r.Right, r.Bottom), st,
                                kxskRight, nullptr);
  });
  StateRow(sh, u"Up/Down/Right/Left", [&](TkxsCtrlState st, TRect r, int) {
    const int w = sh.S(17), h = sh.S(11);
    const int x = r.Left, y = r.Top + (r.Height() - 2 * h) / 2;
    DrawUpButton(c, TRect::FromSize(x, y, w, h), st, nullptr, f);
    DrawDownButton(c, TRect::FromSize(x, y + h, w, h), st, nullptr, f);
    DrawLeftButton(c, TRect::FromSize(x + w + sh.S(3), y + h / 2, w, h), st, nullptr, f);
    DrawRightButton(c, TRect::FromSize(x + 2 * w + sh.S(3), y + h / 2, w, h), st, nullptr, f);
    // A short up button (8 pixels high at 100 %).
    DrawUpButton(c, TRect::FromSize(x + 3 * w + sh.S(8), y, w, sh.S(8)), st, nullptr, f);
  });
  StateRow(sh, u"DrawDropDownButton", [&](TkxsCtrlState st, TRect r, int) {
    DrawComboBorder(c, TRect(r.Left, r.Top, r.Left + sh.S(40), r.Bottom), st, nullptr);
    DrawDropDownButton(c, TRect(r.Left + sh.S(22), r.Top + sh.S(2), r.Left + sh.S(38),
                                r.Bottom - sh.S(2)),
                       st, nullptr, f);
    DrawDropDownButton(c, TRect(r.Left + sh.S(48), r.Top + sh.S(2), r.Left + sh.S(64),
                                r.Bottom - sh.S(2)),
                       st, nullptr, f, true);
  });
  StateRow(sh, u"DrawCheckBox", [&](TkxsCtrlState st, TRect r, int) {
    const int b = GetCheckBoxSize(nullptr, f) + sh.S(6);
    for (int k = 0; k < 3; ++k)
      DrawCheckBox(c, TRect(r.Left + k * b, r.Top, r.Left + (k + 1) * b, r.Bottom), st,
                   TCheckBoxState(k), nullptr, f);
    TRect t = r;
    t.Left += 3 * b;
    c->Font()->SetColor(GetCheckBoxTextColor(st, nullptr));
    DrawTextLine(c, u"Text", t);
  });
  StateRow(sh, u"DrawRadioButton", [&](TkxsCtrlState st, TRect r, int) {
    const int b = GetCheckBoxSize(nullptr, f) + sh.S(6);
    DrawRadioButton(c, TRect(r.Left, r.Top, r.Left + b, r.Bottom), st, false, nullptr, f);
    DrawRadioButton(c, TRect(r.Left + b, r.Top, r.Left + 2 * b, r.Bottom), st, true, nullptr,
                    f);
    DrawTreeViewCheckBox(c, TRect(r.Left + 2 * b, r.Top, r.Left + 3 * b, r.Bottom), st, true,
                         nullptr, f);
  });
  StateRow(sh, u"DrawHeaderSection", [&](TkxsCtrlState st, TRect r, int) {
    DrawHeaderSection(c, r, st, nullptr);
    sh.Caption(r, u"Header", GetHeaderTextColor(st, nullptr));
  });
  StateRow(sh, u"DrawEditBorder", [&](TkxsCtrlState st, TRect r, int) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetEditColor(st, nullptr));
    c->FillRect(r);
    DrawEditBorder(c, r, st, nullptr);
    c->Font()->SetColor(GetEditTextColor(st, nullptr));
    c->Brush()->SetStyle(bsClear);
    DrawTextLine(c, u" Edit", r);
  });
  StateRow(sh, u"DrawComboBorder", [&](TkxsCtrlState st, TRect r, int) {
    DrawComboBorder(c, r, st, nullptr);
  });
  StateRow(sh, u"Selections", [&](TkxsCtrlState, TRect r, int i) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetEditColor(kxsNormal, nullptr));
    c->FillRect(r);
    switch (i) {
      case 0: DrawSelection(c, r, 255, nullptr); break;
      case 1: DrawSelection(c, r, 120, nullptr); break;
      case 2: DrawItemSelection(c, r, true, false, nullptr); break;
      case 3: DrawItemSelection(c, r, false, false, nullptr); break;
      default: DrawFlatBorder(c, r, nullptr); return;
    }
    sh.Caption(r, u"Item", GetSelectionTextColor(nullptr));
  });
  StateRow(sh, u"DrawTrackBar (h / v)", [&](TkxsCtrlState st, TRect r, int) {
    const int y = r.Top + r.Height() / 2;
    DrawTrackBarTrack(c, TRect(r.Left, y - sh.S(2), r.Left + sh.S(56), y + sh.S(2)), false,
                      nullptr, f);
    DrawTrackBarThumb(c, TRect::FromSize(r.Left + sh.S(20), r.Top + sh.S(2), sh.S(11), sh.S(20)),
                      st, false, nullptr, f);
    const int x = r.Left + sh.S(70);
    DrawTrackBarTrack(c, TRect(x - sh.S(2), r.Top, x + sh.S(2), r.Bottom), true, nullptr, f);
    DrawTrackBarThumb(c, TRect::FromSize(x - sh.S(8), r.Top + sh.S(7), sh.S(18), sh.S(10)), st,
                      true, nullptr, f);
  });
  StateRow(sh, u"DrawProgressBar", [&](TkxsCtrlState, TRect r, int i) {
    static constexpr int kPos[] = {0, 30, 100, 150, 5};
    TRect bar = TRect(r.Left, r.Top + sh.S(6), r.Right, r.Bottom - sh.S(6));
    DrawProgressBar(c, bar, 0, i == 4 ? 0 : 100, kPos[i], nullptr);
  });
  StateRow(sh, u"DrawTabButton", [&](TkxsCtrlState st, TRect r, int) {
    TRect body(r.Left - sh.S(4), r.Bottom - sh.S(2), r.Right + sh.S(4), r.Bottom + sh.S(6));
    DrawTabSheetBody(c, body, nullptr);
    DrawTabButton(c, TRect(r.Left, r.Top + sh.S(2), r.Right, r.Bottom - sh.S(2)), st, nullptr);
    sh.Caption(TRect(r.Left, r.Top + sh.S(2), r.Right, r.Bottom - sh.S(2)), u"Tab",
               GetTabButtonTextColor(st, nullptr));
  });
  StateRow(sh, u"Backgrounds", [&](TkxsCtrlState, TRect r, int i) {
    switch (i) {
      case 0: DrawToolBarBackground(c, r, nullptr); break;
      case 1: DrawFormBackground(c, r, nullptr); break;
      case 2:
        DrawStatusBarBackground(c, r, nullptr);
        DrawStatusBarPane(c, TRect(r.Left + sh.S(2), r.Top + sh.S(3), r.Left + sh.S(50),
                                   r.Bottom - sh.S(2)),
                          nullptr);
        break;
      case 3: DrawTabSheetBody(c, r, nullptr); break;
      default: DrawPopupItemSelection(c, r, nullptr);
    }
  });
  StateRow(sh, u"Menu item text", [&](TkxsCtrlState st, TRect r, int) {
    if (st == kxsHot || st == kxsPressed) DrawPopupItemSelection(c, r, nullptr);
    sh.Caption(r, u"Menu item", GetMenuItemTextColor(st, nullptr));
  });
  StateRow(sh, u"Caption text", [&](TkxsCtrlState st, TRect r, int i) {
    if (i > 1) return;
    sh.Caption(r, i == 0 ? u"Active" : u"Inactive",
               GetCaptionTextColor(i == 0 ? kxsNormal : kxsDisabled, nullptr));
  });
  StateRow(sh, u"Focus / separators", [&](TkxsCtrlState, TRect r, int i) {
    c->Font()->SetColor(GetCheckBoxTextColor(kxsNormal, nullptr));
    switch (i) {
      case 0: DrawFocusRectDotted(c, r, f); break;
      case 1: DrawFocusRectDotted(c, r, 1.0); break;
      case 2:
        DrawHorzSeparator(c, TRect(r.Left, r.Top + r.Height() / 2, r.Right, r.Bottom), nullptr);
        break;
      case 3: DrawVertSeparator(c, TRect(r.Left + r.Width() / 2, r.Top, r.Right, r.Bottom), nullptr);
        break;
      default: {
        TRect q = r;
        DrawFrame3D(c, q, clBtnHighlight, cl3DDkShadow);
        DrawFrame3D(c, q, cl3DLight, clBtnShadow);
      }
    }
  });
  const TColor glyph = GetCheckBoxTextColor(kxsNormal, nullptr);
  StateRow(sh, u"Arrows / chevrons", [&](TkxsCtrlState, TRect r, int i) {
    const int w = r.Width() / 4;
    auto box = [&](int k) { return TRect(r.Left + k * w, r.Top, r.Left + (k + 1) * w, r.Bottom); };
    if (i == 0)
      for (int k = 0; k < 4; ++k) DrawArrowGlyph(c, box(k), glyph, f, TkxArrowDirection(k + 1));
    if (i == 1) {
      DrawChevronGlyph(c, box(0), glyph, f, kxadRight);
      DrawChevronGlyph(c, box(1), glyph, f, kxadLeft);
      DrawDropDownArrow(c, box(2), glyph, f);
      DrawCloseGlyph(c, box(3), glyph, f);
    }
    if (i == 2)
      for (int k = 0; k < 4; ++k) DrawArrowGlyph(c, box(k), glyph, f * 1.25, TkxArrowDirection(k + 1));
    if (i == 3) {
      DrawChevronGlyph(c, box(0), glyph, f * 1.5, kxadRight);
      DrawDropDownArrow(c, box(1), glyph, f * 1.5);
      DrawCloseGlyph(c, box(2), glyph, f * 1.5);
      DrawMenuArrow(c, box(3), glyph, f * 1.5, nullptr);
    }
    if (i == 4) {
      const bool modern = StylingOptions.ModernArrows;
      DrawMenuArrow(c, box(0), glyph, f, nullptr);
      StylingOptions.ModernArrows = true;
      DrawMenuArrow(c, box(1), glyph, f, nullptr);
      StylingOptions.ModernArrows = modern;
      const int major = WindowsMajorVersion(), minor = WindowsMinorVersion(),
                build = WindowsBuildNumber();
      SetWindowsVersion(6, 1, 0);
      DrawMenuArrow(c, box(2), glyph, f, nullptr);
      SetWindowsVersion(6, 2, 0);
      DrawMenuArrow(c, box(3), glyph, f, nullptr);
      SetWindowsVersion(major, minor, build);
    }
  });
}

void Write(TBitmap& sheet, const std::string& path) {
  const int w = sheet.Width(), h = sheet.Height();
  std::vector<std::uint32_t> rows(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    auto* src = static_cast<const std::uint32_t*>(sheet.ScanLine(y));
    for (int x = 0; x < w; ++x) rows[size_t(y) * w + x] = src[x] | 0xFF000000u;
  }
  std::vector<Byte> png = EncodePng(rows.data(), w, h, w);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
}

std::string FileName(const String& style) {
  std::string s;
  for (Char ch : style)
    if (ch < 128 && ch != u' ') s += char(ch);
  return s;
}

void Sheet(const std::filesystem::path& out, const String& style, bool classic, int scale) {
  TStyleManager::SetThemesEnabled(!classic);
  TStyleManager::SetStyle(style);
  TBitmap sheet;
  sheet.SetPixelFormat(pf32bit);
  sheet.SetSize((TSheet::kLabel + 5 * TSheet::kCell + 10) * scale, 24 * TSheet::kRow * scale);
  TCanvas* c = sheet.Canvas();
  c->Brush()->SetColor(ColorToStyleColor(clBtnFace));
  c->FillRect(TRect(0, 0, sheet.Width(), sheet.Height()));
  DrawFormBackground(c, TRect(0, 0, sheet.Width(), sheet.Height()), nullptr);
  c->Font()->SetName(u"Tahoma");
  c->Font()->SetPixelsPerInch(96 * scale);
  c->Font()->SetSize(8);
  TSheet sh{c, scale};
  String title = classic ? String(u"classic") : style;
  Render(sh, title);
  std::string file =
      (out / ("paint-" + FileName(title) + "-" + std::to_string(scale * 100) + ".png")).string();
  Write(sheet, file);
  std::printf("%s\n", file.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: paintsheet OUTDIR [STYLE ...]\n");
    return 2;
  }
  std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  try {
    SetWindowsVersion(10, 0, 19045);
    std::vector<String> styles;
    for (int i = 2; i < argc; ++i) styles.push_back(Utf8ToString(argv[i]));
    const bool all = styles.empty();
    if (all) styles = TStyleManager::StyleNames();
    for (int scale : {1, 2}) {
      for (const String& s : styles)
        if (s == u"classic")
          Sheet(out, u"Windows", true, scale);
        else
          Sheet(out, s, false, scale);
      if (all) Sheet(out, u"Windows", true, scale);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "paintsheet: %s\n", e.what());
    return 1;
  }
  return 0;
}
