// The host's simple panel: bevels in the classic look, a border, and an aligned caption.
#include "host/classes/TypInfo.h"
#include "host/gdi/GdiDraw.h"
#include "host/vcl/Controls.h"

namespace vcl {

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas->Pen()->SetWidth(1);
  rect.Bottom -= 1;
  rect.Right -= 1;
  while (width-- > 0) {
    TPoint topRight{rect.Right, rect.Top};
    TPoint bottomLeft{rect.Left, rect.Bottom};
    canvas->Pen()->SetColor(topColor);
    TPoint top[] = {bottomLeft, rect.TopLeft(), topRight};
    canvas->Polyline(top);
    canvas->Pen()->SetColor(bottomColor);
    bottomLeft.X -= 1;
    TPoint bottom[] = {topRight, rect.BottomRight(), bottomLeft};
    canvas->Polyline(bottom);
    rect.Inflate(-1, -1);
  }
  rect.Bottom += 1;
  rect.Right += 1;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  // Panels show what their parent paints beneath them unless ParentBackground is turned off.
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csDoubleClicks, csReplicatable, csPannable, csGestures, csParentBackground};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment v) {
  if (FVerticalAlignment == v) return;
  FVerticalAlignment = v;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel v) {
  if (FBevelInner == v) return;
  FBevelInner = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel v) {
  if (FBevelOuter == v) return;
  FBevelOuter = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth v) {
  if (v < 1) v = 1;
  if (FBevelWidth == v) return;
  FBevelWidth = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (v != bsNone && v != bsSingle)
    throw EInvalidOperation(u"BorderStyle of '" + Name() + u"': a panel has no border style " +
                            EnumName(v));
  if (FBorderStyle == v) return;
  FBorderStyle = v;
  RecreateWnd();
  Realign();
}

void TCustomPanel::SetShowCaption(bool v) {
  if (FShowCaption == v) return;
  FShowCaption = v;
  Invalidate();
}

void TCustomPanel::SetParentBackground(bool v) {
  if (v)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  TCustomControl::SetParentBackground(v);
}

int TCustomPanel::FrameWidth() const {
  int w = BorderWidth();
  if (FBevelOuter != bvNone) w += FBevelWidth;
  if (FBevelInner != bvNone) w += FBevelWidth;
  return w;
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  int bevels = FrameWidth() - BorderWidth();
  rect.Inflate(-bevels, -bevels);
}

namespace {
// A bevel of `width` lines in the classic look: raised shows the button highlight above and
// left and the button shadow below and right, lowered the reverse (a space bevel looks
// raised). These are the edges whose colours are exactly those two.
void DrawBevel(HDC dc, TRect& r, TPanelBevel bevel, int width) {
  UINT edge = bevel == bvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
  for (int i = 0; i < width; ++i) DrawEdge(dc, &r, edge, BF_RECT | BF_ADJUST);
}
}  // namespace

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  TRect r = ClientRect();
  if (FBevelOuter != bvNone) DrawBevel(dc, r, FBevelOuter, FBevelWidth);
  if (ParentBackground())
    r.Inflate(-BorderWidth(), -BorderWidth());
  else
    Frame3D(canvas, r, FColor, FColor, BorderWidth());
  if (FBevelInner != bvNone) DrawBevel(dc, r, FBevelInner, FBevelWidth);
  if (!ParentBackground()) {
    canvas->Brush()->SetColor(FColor);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
  }
  String caption = Caption();
  if (FShowCaption && !caption.empty()) {
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    UINT flags = DT_EXPANDTABS | DT_SINGLELINE;
    switch (FVerticalAlignment) {
      case taAlignTop: flags |= DT_TOP; break;
      case taAlignBottom: flags |= DT_BOTTOM; break;
      default: flags |= DT_VCENTER; break;
    }
    switch (FAlignment) {
      case taLeftJustify: flags |= DT_LEFT; break;
      case taRightJustify: flags |= DT_RIGHT; break;
      default: flags |= DT_CENTER; break;
    }
    flags = DrawTextBiDiModeFlags(flags);
    DrawTextW(canvas->Handle(), caption, &r, flags);
  }
}

void TCustomPanel::ChangeScale(int M, int D, bool isDpiChange) {
  TCustomControl::ChangeScale(M, D, isDpiChange);
}

void TCustomPanel::CMTextChanged(TMessage& m) {
  TCustomControl::CMTextChanged(m);
  Invalidate();
}

}  // namespace vcl
