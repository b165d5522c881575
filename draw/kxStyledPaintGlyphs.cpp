// One-colour glyphs: arrows, chevrons, drop-down and menu arrows, the close cross.
#include "draw/kxStyledPaintGlyphs.h"

#include <cmath>

#include "draw/kxPaintCommon.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStylingOptions.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"

namespace kx {

using namespace vcl;
using detail::Round;

namespace {

struct TCentre {
  int X, Y;
};
TCentre CentreOf(const TRect& r) { return {r.Left + r.Width() / 2, r.Top + r.Height() / 2}; }

// The canvas's DC with the stock DC pen selected in a colour for the life of the object; the
// pen selected before (the canvas's own) returns afterwards.
class TDCPen {
 public:
  TDCPen(TCanvas* canvas, TColor color) : FDC(canvas->Handle()) {
    if (!FDC) return;
    FOld = SelectObject(FDC, GetStockObject(DC_PEN));
    SetDCPenColor(FDC, vcl::ColorToRGB(color));
  }
  ~TDCPen() {
    if (FDC && FOld) SelectObject(FDC, FOld);
  }
  TDCPen(const TDCPen&) = delete;
  TDCPen& operator=(const TDCPen&) = delete;
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

// A one-pixel line of `length` pixels from (x, y) in direction (dx, dy).
void Run(HDC dc, int x, int y, int dx, int dy, int length) {
  if (length <= 0) return;
  MoveToEx(dc, x, y, nullptr);
  LineTo(dc, x + dx * length, y + dy * length);
}

// A downward chevron with its tip at (cx, tipY): each of `thickness` lines is two 45-degree
// strokes from the tip up to `halfWidth` pixels left and right, the next line one pixel
// higher. The first line's strokes end one pixel short with `shortFirst`.
void DownChevron(HDC dc, int cx, int tipY, int halfWidth, int thickness, bool shortFirst) {
  for (int k = 0; k < thickness; ++k) {
    const int reach = halfWidth - (shortFirst && k == 0 ? 1 : 0);
    const int y = tipY - k;
    Run(dc, cx, y, -1, -1, reach + 1);
    Run(dc, cx, y, 1, -1, reach + 1);
  }
}

}  // namespace

double GlyphScale(double scale, bool snap) {
  double s = detail::EffectiveScale(scale);
  if (snap && Round(s) != int(std::trunc(s))) s = Round(s);
  return s;
}

void DrawArrowGlyph(TCanvas* canvas, const TRect& rect, TColor color, double scale,
                    TkxArrowDirection direction) {
  if (!canvas || direction < kxadLeft || direction > kxadDown) return;
  const double s = GlyphScale(scale, true);
  const TCentre c = CentreOf(rect);
  const int lines = Round(2 * s + 1) + 1;
  const int tip = Round(2 * s);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetColor(color);
  for (int i = 0; i < lines; ++i) {
    switch (direction) {
      case kxadLeft: {
        const int x = c.X - tip + i;
        canvas->MoveTo(x, c.Y - i);
        canvas->LineTo(x, c.Y + i + 1);
        break;
      }
      case kxadRight: {
        const int x = c.X + tip - i;
        canvas->MoveTo(x, c.Y - i);
        canvas->LineTo(x, c.Y + i + 1);
        break;
      }
      case kxadUp: {
        const int y = c.Y - tip + i;
        canvas->MoveTo(c.X - i, y);
        canvas->LineTo(c.X + i + 1, y);
        break;
      }
      default: {
        const int y = c.Y + tip - i;
        canvas->MoveTo(c.X - i, y);
        canvas->LineTo(c.X + i + 1, y);
        break;
      }
    }
  }
}

void DrawChevronGlyph(TCanvas* canvas, const TRect& rect, TColor color, double scale,
                      TkxArrowDirection direction) {
  if (!canvas || (direction != kxadRight && direction != kxadLeft)) return;
  const double s = GlyphScale(scale, true);
  const TCentre c = CentreOf(rect);
  const int length = Round(4 * s);
  const int passes = int(std::trunc(s + 1));
  const int reach = Round(2 * s);
  const bool right = direction == kxadRight;
  const int tipX = right ? c.X + reach - 1 : c.X - reach - 1;
  // Strokes run from the tip away from where it points.
  const int away = right ? -1 : 1;
  TDCPen pen(canvas, color);
  HDC dc = pen.DC();
  if (!dc) return;
  for (int k = 0; k < passes; ++k) {
    const int x = tipX - k;
    Run(dc, x, c.Y, away, -1, length);
    Run(dc, x, c.Y, away, 1, length);
  }
}

void DrawDropDownArrow(TCanvas* canvas, const TRect& rect, TColor color, double scale) {
  if (!canvas) return;
  const double s = GlyphScale(scale, false);
  const TCentre c = CentreOf(rect);
  TDCPen pen(canvas, color);
  HDC dc = pen.DC();
  if (!dc) return;
  DownChevron(dc, c.X, c.Y + Round(2 * s) - 1, Round(4 * s), Round(s + 1), false);
}

void DrawMenuArrow(TCanvas* canvas, const TRect& rect, TColor color, double scale,
                   const TComponent* control) {
  if (!canvas) return;
  const double s = GlyphScale(scale, false);
  const TCentre c = CentreOf(rect);
  TCustomStyleServices* services = ControlStyleServices(control);
  const bool custom = IsCustomStyle(control);
  bool windowsNamed = false;
  if (custom && services) {
    String name = services->Name();
    for (Char& ch : name)
      if (ch >= u'A' && ch <= u'Z') ch = Char(ch - u'A' + u'a');
    windowsNamed = name.find(u"windows") != String::npos;
  }
  TDCPen pen(canvas, color);
  HDC dc = pen.DC();
  if (!dc) return;
  if ((IsWindows10() && !custom) || windowsNamed || StylingOptions.ModernArrows) {
    DownChevron(dc, c.X, c.Y + Round(2 * s) - 1, Round(5 * s), Round(s + 1), true);
  } else if (IsWindows8() && !custom) {
    DownChevron(dc, c.X, c.Y + Round(2 * s) - 1, Round(4 * s), Round(3 * s), false);
  } else {
    const double x = s != 1 ? s + 0.1 : 1;
    const int tipY = c.Y + Round(2 * x);
    for (int n = Round(3 * x); n >= 0; --n) Run(dc, c.X - n, tipY - n, 1, 0, 2 * n + 1);
  }
}

void DrawCloseGlyph(TCanvas* canvas, const TRect& rect, TColor color, double scale) {
  if (!canvas) return;
  const double s = GlyphScale(scale, false);
  const TCentre c = CentreOf(rect);
  const int size = Round(8 * s);
  const int passes = Round(2 * s);
  const int left = c.X - size / 2, top = c.Y - size / 2;
  TDCPen pen(canvas, color);
  HDC dc = pen.DC();
  if (!dc) return;
  for (int k = 0; k < passes; ++k) {
    Run(dc, left + k, top, 1, 1, size);
    Run(dc, left + k, top + size - 1, 1, -1, size);
  }
}

}  // namespace kx
