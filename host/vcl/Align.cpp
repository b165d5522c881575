// Layout of a container's children: aligned bars (top, bottom, left, right), the client
// filler, custom placement, margins and padding, anchors that follow the parent's size, and
// auto-sizing to the children.
#include <algorithm>

#include "host/vcl/ControlsInternal.h"

namespace vcl {

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
  if (ComponentState().Contains(csDestroying)) return;
  if (FAlignLevel != 0 || FControlState.Contains(csReadingState)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  {
    DisableAlign();
    FControlState.Include(csAligning);
    TFinally aligned([this] {
      FControlState.Exclude(csAligning);
      FControlState.Exclude(csAlignmentNeeded);
      EnableAlign();
    });
    TRect r = ClientRect();
    AlignControls(control, r);
  }
  // A container that sizes itself to its children follows their new layout.
  if (FAutoSize && !ComponentState().Contains(csLoading)) AdjustSize();
}

void TWinControl::AdjustClientRect(TRect& r) {
  r.Left += FPadding->Left() + FBorderWidth;
  r.Top += FPadding->Top() + FBorderWidth;
  r.Right -= FPadding->Right() + FBorderWidth;
  r.Bottom -= FPadding->Bottom() + FBorderWidth;
}

void TWinControl::PaddingChanged(TObject*) { Realign(); }

bool TWinControl::CustomAlignInsertBefore(TControl* c1, TControl* c2) {
  return FOnAlignInsertBefore ? FOnAlignInsertBefore(this, c1, c2) : false;
}

void TWinControl::CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth,
                                      int& newHeight, TRect& alignRect, const TAlignInfo& info) {
  FOnAlignPosition(this, control, newLeft, newTop, newWidth, newHeight, alignRect, info);
}

namespace {

int ControlWidthWithMargins(const TControl* c) {
  return c->AlignWithMargins() ? c->Width() + c->Margins()->Left() + c->Margins()->Right()
                               : c->Width();
}
int ControlHeightWithMargins(const TControl* c) {
  return c->AlignWithMargins() ? c->Height() + c->Margins()->Top() + c->Margins()->Bottom()
                               : c->Height();
}

}  // namespace

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  if (ControlCount() == 0) return;
  AdjustClientRect(rect);
  std::vector<TControl*> list;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone})
    DoAlign(a, control, rect, list);
  ControlsAligned();
}

void TWinControl::DoAlign(TAlign align, TControl* control, TRect& rect,
                          std::vector<TControl*>& list) {
  auto takes = [&](TControl* c) {
    if (c->FAlign != align) return false;
    if (align == alNone) return c->FAnchors != DefaultAnchors;
    return c->FVisible || (c->ComponentState().Contains(csDesigning) &&
                           !c->FControlStyle.Contains(csNoDesignVisible));
  };
  auto before = [&](TControl* c1, TControl* c2) {
    switch (align) {
      case alTop: return c1->FTop < c2->FTop;
      case alBottom: return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
      case alLeft: return c1->FLeft < c2->FLeft;
      case alRight: return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth;
      case alCustom: return CustomAlignInsertBefore(c1, c2);
      default: return false;
    }
  };
  list.clear();
  // The control whose change asked for the alignment goes first among equals.
  if (control && control->FParent == this && takes(control)) list.push_back(control);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c == control || !takes(c)) continue;
    size_t j = 0;
    while (j < list.size() && !before(c, list[j])) ++j;
    list.insert(list.begin() + std::ptrdiff_t(j), c);
  }
  for (size_t i = 0; i < list.size(); ++i) {
    TAlignInfo info;
    info.AlignList = &list;
    info.ControlIndex = int(i);
    info.Align = align;
    AlignOne(list[i], align, rect, info);
  }
}

void TWinControl::AlignOne(TControl* c, TAlign align, TRect& rect, const TAlignInfo& info) {
  if (align == alNone || c->FAnchors != ctl::AnchorAlign(align)) {
    // Anchors: the control keeps its distance to the anchored edges of the parent; without
    // either horizontal (vertical) anchor it keeps its centre's relative position.
    if (c->FOriginalParentSize.X != 0 && c->FOriginalParentSize.Y != 0) {
      int newLeft = c->FLeft, newTop = c->FTop, newWidth = c->FWidth, newHeight = c->FHeight;
      TRect pr = ClientRect();
      TPoint parentSize{pr.Right, pr.Bottom};
      if (c->FAnchors.Contains(akRight)) {
        if (c->FAnchors.Contains(akLeft))
          newWidth = parentSize.X - (c->FOriginalParentSize.X - c->FAnchorRules.X);
        else
          newLeft = parentSize.X - (c->FOriginalParentSize.X - c->FAnchorRules.X);
      } else if (!c->FAnchors.Contains(akLeft)) {
        newLeft = MulDiv(c->FAnchorRules.X, parentSize.X, c->FOriginalParentSize.X) - newWidth / 2;
      }
      if (c->FAnchors.Contains(akBottom)) {
        if (c->FAnchors.Contains(akTop))
          newHeight = parentSize.Y - (c->FOriginalParentSize.Y - c->FAnchorRules.Y);
        else
          newTop = parentSize.Y - (c->FOriginalParentSize.Y - c->FAnchorRules.Y);
      } else if (!c->FAnchors.Contains(akTop)) {
        newTop = MulDiv(c->FAnchorRules.Y, parentSize.Y, c->FOriginalParentSize.Y) - newHeight / 2;
      }
      TFlagScope anchorMove(c->FAnchorMove);
      c->SetBounds(newLeft, newTop, newWidth, newHeight);
    }
    if (align == alNone) return;
  }

  int newWidth = rect.Right - rect.Left;
  if (newWidth < 0 || align == alLeft || align == alRight || align == alCustom)
    newWidth = ControlWidthWithMargins(c);
  int newHeight = rect.Bottom - rect.Top;
  if (newHeight < 0 || align == alTop || align == alBottom || align == alCustom)
    newHeight = ControlHeightWithMargins(c);
  int newLeft = rect.Left, newTop = rect.Top;
  switch (align) {
    case alTop: rect.Top += newHeight; break;
    case alBottom:
      rect.Bottom -= newHeight;
      newTop = rect.Bottom;
      break;
    case alLeft: rect.Left += newWidth; break;
    case alRight:
      rect.Right -= newWidth;
      newLeft = rect.Right;
      break;
    case alCustom:
      newLeft = c->FLeft - (c->AlignWithMargins() ? c->Margins()->Left() : 0);
      newTop = c->FTop - (c->AlignWithMargins() ? c->Margins()->Top() : 0);
      CustomAlignPosition(c, newLeft, newTop, newWidth, newHeight, rect, info);
      break;
    default: break;
  }
  {
    TFlagScope anchorMove(c->FAnchorMove);
    if (c->AlignWithMargins()) {
      const TMargins* m = c->Margins();
      c->SetBounds(newLeft + m->Left(), newTop + m->Top(),
                   std::max(0, newWidth - m->Left() - m->Right()),
                   std::max(0, newHeight - m->Top() - m->Bottom()));
    } else {
      c->SetBounds(newLeft, newTop, std::max(0, newWidth), std::max(0, newHeight));
    }
  }
  // A control that could not take the size (constraints) gives back or takes the difference.
  int gotWidth = ControlWidthWithMargins(c), gotHeight = ControlHeightWithMargins(c);
  if (gotWidth != newWidth || gotHeight != newHeight) {
    switch (align) {
      case alTop: rect.Top -= newHeight - gotHeight; break;
      case alBottom: rect.Bottom += newHeight - gotHeight; break;
      case alLeft: rect.Left -= newWidth - gotWidth; break;
      case alRight: rect.Right += newWidth - gotWidth; break;
      case alClient:
        rect.Right -= newWidth - gotWidth;
        rect.Bottom -= newHeight - gotHeight;
        break;
      default: break;
    }
  }
}

bool TWinControl::CanAutoSize(int& newWidth, int& newHeight) {
  // The extent of the visible children, with padding and the window's frame around it.
  if (ControlCount() == 0) return false;
  TRect extent{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  bool any = false;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->FVisible) continue;
    any = true;
    int l = c->FLeft, t = c->FTop, r = c->FLeft + c->FWidth, b = c->FTop + c->FHeight;
    if (c->AlignWithMargins()) {
      l -= c->Margins()->Left();
      t -= c->Margins()->Top();
      r += c->Margins()->Right();
      b += c->Margins()->Bottom();
    }
    extent.Left = std::min(extent.Left, l);
    extent.Top = std::min(extent.Top, t);
    extent.Right = std::max(extent.Right, r);
    extent.Bottom = std::max(extent.Bottom, b);
  }
  if (!any) return false;
  TRect client = ClientRect();
  TRect adjusted = client;
  AdjustClientRect(adjusted);
  int frameW = FWidth - client.Width(), frameH = FHeight - client.Height();
  // The children keep their place relative to the adjusted client area's origin.
  int w = extent.Right - std::min(extent.Left, adjusted.Left) + (client.Right - adjusted.Right);
  int h = extent.Bottom - std::min(extent.Top, adjusted.Top) + (client.Bottom - adjusted.Bottom);
  // Children aligned to the parent's size depend on it and say nothing about it.
  bool alignedW = false, alignedH = false;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->FVisible) continue;
    if (c->FAlign == alClient || c->FAlign == alTop || c->FAlign == alBottom) alignedW = true;
    if (c->FAlign == alClient || c->FAlign == alLeft || c->FAlign == alRight) alignedH = true;
  }
  if (!alignedW && !FControlStyle.Contains(csFixedWidth)) newWidth = w + frameW;
  if (!alignedH && !FControlStyle.Contains(csFixedHeight)) newHeight = h + frameH;
  return true;
}

void TWinControl::ScrollBy(int deltaX, int deltaY) {
  if (deltaX == 0 && deltaY == 0) return;
  DisableAlign();
  TFinally realign([this] { EnableAlign(); });
  {
    if (FHandle) {
      // The window manager moves the child windows with the pixels.
      ScrollWindowEx(FHandle, deltaX, deltaY, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
      for (TWinControl* w : FWinControls)
        if (w->FHandle) {
          TRect r;
          GetWindowRect(w->FHandle, &r);
          MapWindowPoints(nullptr, FHandle, &r);
          w->FAnchorMove = true;
          w->UpdateBoundsRect(r);
          w->FAnchorMove = false;
        } else {
          w->FLeft += deltaX;
          w->FTop += deltaY;
        }
      for (TControl* c : FControls) {
        c->FLeft += deltaX;
        c->FTop += deltaY;
      }
    } else {
      for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->FLeft += deltaX;
        c->FTop += deltaY;
      }
    }
  }
  FControlState.Exclude(csAlignmentNeeded);
}

}  // namespace vcl
