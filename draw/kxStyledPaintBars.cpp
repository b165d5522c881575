// Styled painting of track bars, progress bars, tool, form and status backgrounds, tab sheets
// and tab buttons, and popup-menu selections.
#include "draw/kxStyledPaintBars.h"

#include <algorithm>

#include "draw/kxBitmapUtils.h"
#include "draw/kxPaintCommon.h"
#include "draw/kxPixels.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintBorders.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"

namespace kx {

using namespace vcl;
using detail::BlendColor;
using detail::BlendDetail;
using detail::DrawDetail;
using detail::FourState;
using detail::PaintStyleOf;
using detail::TPaintStyle;

namespace {

void Line(TCanvas* canvas, TColor color, int x1, int y1, int x2, int y2) {
  canvas->Pen()->SetColor(color);
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

// The classic tab: clBtnFace with a highlight edge on the left and top (with a cut corner), a
// dark shadow and a shadow on the right, light inside the highlight; open at the bottom.
void ClassicTab(TCanvas* canvas, TRect r) {
  if (r.Width() < 4 || r.Height() < 3) {
    detail::FillSolid(canvas, r, clBtnFace);
    return;
  }
  detail::FillSolid(canvas, TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom), clBtnFace);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom;
  Line(canvas, clBtnHighlight, l, b - 1, l, t + 2);      // left edge
  Line(canvas, clBtnHighlight, l, t + 2, l + 2, t);      // corner
  Line(canvas, clBtnHighlight, l + 2, t, rr - 1, t);     // top edge
  Line(canvas, cl3DLight, l + 1, b - 1, l + 1, t + 2);   // inner left
  Line(canvas, cl3DLight, l + 2, t + 1, rr - 1, t + 1);  // inner top
  Line(canvas, cl3DDkShadow, rr - 1, t + 1, rr, t + 2);  // corner
  Line(canvas, cl3DDkShadow, rr, t + 2, rr, b);          // right edge
  Line(canvas, clBtnShadow, rr - 1, t + 2, rr - 1, b);   // inner right
}

}  // namespace

void DrawTrackBarTrack(TCanvas* canvas, const TRect& rect, bool vertical,
                       const TComponent* control, double scale) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    DrawDetail(canvas, style, GetElementDetails(vertical ? ttbTrackVert : ttbTrack), rect,
               style.Custom ? detail::ScaleDpi(scale) : 96);
    return;
  }
  TRect r = rect;
  if (HDC dc = canvas->Handle()) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
}

void DrawTrackBarThumb(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, bool vertical,
                       const TComponent* control, double scale) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    TThemedTrackBar part =
        vertical ? FourState(state, ttbThumbVertNormal, ttbThumbVertHot, ttbThumbVertPressed,
                             ttbThumbVertDisabled)
                 : FourState(state, ttbThumbNormal, ttbThumbHot, ttbThumbPressed,
                             ttbThumbDisabled);
    DrawDetail(canvas, style, GetElementDetails(part), rect,
               style.Custom ? detail::ScaleDpi(scale) : 96);
    return;
  }
  TRect r = rect;
  if (HDC dc = canvas->Handle())
    DrawFrameControl(dc, &r, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (state == kxsPressed ? DFCS_PUSHED : 0));
}

TRect ProgressBarChunkRect(const TRect& rect, int min, int max, int position) {
  TRect inner = rect.Inflated(-1, -1);
  if (inner.IsEmpty() || max <= min || position < min) return {};
  // A position beyond the maximum fills the bar, never more.
  const long long done = std::min<long long>(position, max) - min;
  const double width = double(inner.Width()) * double(done) / (double(max) - double(min));
  inner.SetWidth(detail::Round(width));
  return inner.IsEmpty() ? TRect{} : inner;
}

void DrawProgressBar(TCanvas* canvas, const TRect& rect, int min, int max, int position,
                     const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  const TRect chunk = ProgressBarChunkRect(rect, min, max, position);
  if (style.Enabled) {
    DrawDetail(canvas, style, GetElementDetails(tpBar), rect);
    if (!chunk.IsEmpty()) DrawDetail(canvas, style, GetElementDetails(tpChunk), chunk);
    return;
  }
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clWhite);
  canvas->Rectangle(rect);
  if (!chunk.IsEmpty()) detail::FillSolid(canvas, chunk, clGreen);
}

void DrawToolBarBackground(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled)
    DrawDetail(canvas, style, GetElementDetails(ttbToolBarRoot), rect);
  else
    detail::FillSolid(canvas, rect, clBtnFace);
}

void DrawFormBackground(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Custom && DrawDetail(canvas, style, GetElementDetails(twWindowRoot), rect)) return;
  detail::FillSolid(canvas, rect, style.Custom ? style.Color(clBtnFace) : clBtnFace);
}

void DrawStatusBarBackground(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled)
    DrawDetail(canvas, style, GetElementDetails(tsStatusRoot), rect);
  else
    detail::FillSolid(canvas, rect, clBtnFace);
}

void DrawStatusBarPane(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    DrawDetail(canvas, style, GetElementDetails(tsPane), rect);
    return;
  }
  TRect r = rect;
  DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight);
}

void DrawTabSheetBody(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    DrawDetail(canvas, style, GetElementDetails(ttPane), rect);
    return;
  }
  detail::FillSolid(canvas, rect, clBtnFace);
  TRect r = rect;
  DrawFrame3D(canvas, r, clBtnHighlight, cl3DDkShadow);
  DrawFrame3D(canvas, r, cl3DLight, clBtnShadow);
}

void DrawTabButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                   const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  const bool selected = state == kxsPressed || state == kxsFocused;
  if (style.Enabled) {
    if (state == kxsDisabled) {
      if (style.Custom || !IsWindowsXP())
        BlendDetail(canvas, rect, style, GetElementDetails(ttTabItemNormal), 150);
      return;
    }
    TRect r = rect;
    TThemedTab part = ttTabItemNormal;
    if (state == kxsHot) part = ttTabItemHot;
    if (selected) {
      part = ttTabItemSelected;
      r.Bottom += 2;
    }
    DrawDetail(canvas, style, GetElementDetails(part), r);
    return;
  }
  TRect r = rect;
  if (!selected) r.Top += 2;
  ClassicTab(canvas, r);
}

void DrawPopupItemSelection(TCanvas* canvas, const TRect& rect, const TComponent* control,
                            Byte alpha) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    BlendDetail(canvas, rect, style, GetElementDetails(tmPopupItemHot), alpha);
    return;
  }
  BlendColor(canvas, rect, clHighlight, alpha);
}

}  // namespace kx
