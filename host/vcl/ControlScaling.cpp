// Scaling controls to a new pixel density: bounds, constraints, margins, padding and fonts,
// each by MulDiv so that scaling up and back down returns to the exact values.
#include "host/vcl/ControlsInternal.h"

namespace vcl {

void TControl::ScaleForPPI(int newPPI) {
  if (newPPI <= 0 || newPPI == FCurrentPPI) return;
  ChangeScale(newPPI, FCurrentPPI, true);
}

void TControl::ScaleControlBounds(int M, int D) {
  // Edges are scaled, not sizes, so that neighbours stay flush and a scale and its inverse
  // return to the same pixels.
  int x = MulDiv(FLeft, M, D);
  int y = MulDiv(FTop, M, D);
  int w = FControlStyle.Contains(csFixedWidth) ? FWidth : MulDiv(FLeft + FWidth, M, D) - x;
  int h = FControlStyle.Contains(csFixedHeight) ? FHeight : MulDiv(FTop + FHeight, M, D) - y;
  SetBounds(x, y, w, h);
}

void TControl::ChangeScale(int M, int D, bool isDpiChange) {
  if (M == D || M <= 0 || D <= 0) return;
  if (isDpiChange) {
    FCurrentPPI = MulDiv(FCurrentPPI, M, D);
    // The font measures in the new density's pixels from now on (its Height is unchanged
    // until it is scaled or taken from the parent below).
    FFont->SetPixelsPerInch(FCurrentPPI);
  }
  if (!FParentFont || !FParent) {
    bool parentFont = FParentFont;
    {
      TFlagScope updating(FUpdatingParentFont);
      FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    }
    FParentFont = parentFont;
  } else {
    Perform(CM_PARENTFONTCHANGED, 0, 0);
  }
  // Constraints first, so the scaled bounds are checked against the scaled limits (and quietly,
  // so the unscaled bounds are not clamped to the new limits on the way).
  TSizeConstraints* k = FConstraints.get();
  TNotifyEvent onChange = k->OnChange();
  k->SetOnChange(nullptr);
  k->SetConstraints(k->MinWidth() > 0 ? MulDiv(k->MinWidth(), M, D) : 0,
                    k->MinHeight() > 0 ? MulDiv(k->MinHeight(), M, D) : 0,
                    k->MaxWidth() > 0 ? MulDiv(k->MaxWidth(), M, D) : 0,
                    k->MaxHeight() > 0 ? MulDiv(k->MaxHeight(), M, D) : 0);
  k->SetOnChange(onChange);
  FMargins->Scale(M, D);
  ScaleControlBounds(M, D);
}

void TWinControl::ScaleForPPI(int newPPI) {
  if (newPPI <= 0 || newPPI == FCurrentPPI) return;
  DisableAlign();
  TFinally realign([this] { EnableAlign(); });
  ChangeScale(newPPI, FCurrentPPI, true);
}

void TWinControl::ChangeScale(int M, int D, bool isDpiChange) {
  if (M == D || M <= 0 || D <= 0) return;
  DisableAlign();
  TFinally realign([this] { EnableAlign(); });
  // The container first: its children then record their anchors against its new size.
  TControl::ChangeScale(M, D, isDpiChange);
  FPadding->Scale(M, D);
  FBorderWidth = MulDiv(FBorderWidth, M, D);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->FScaled || isDpiChange) c->ChangeScale(M, D, isDpiChange);
  }
}

}  // namespace vcl
