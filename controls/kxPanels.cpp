// TkxPanel: backgrounds by style kind, wallpapers and custom images, borders, the caption with
// its halo, the client inset, sizing and form dragging.
#include "controls/kxPanels.h"

#include "draw/kxGlow.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintBars.h"
#include "draw/kxStyledPaintBorders.h"
#include "draw/kxStyledPaintText.h"
#include "host/gdi/GdiText.h"
#include "host/rtl/Assert.h"
#include "host/vcl/Forms.h"
#include "host/win/WinUser.h"
#include "images/kxImageCollection.h"

namespace kx {

using namespace vcl;

// ---- borders -----------------------------------------------------------------------------------

namespace {

// A one-pixel line from (x1, y1) towards (x2, y2), the end point excluded.
void Line(TCanvas* canvas, TColor color, int x1, int y1, int x2, int y2) {
  canvas->Pen()->SetColor(color);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

}  // namespace

void DrawPanelBorder(TCanvas* canvas, const TRect& rect, TkxPanelBorderStyle style, TColor light,
                     TColor shadow) {
  TRect r = rect;
  const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const int cx = (L + R) / 2, cy = (T + B) / 2;
  switch (style) {
    case kxpbsNone: break;
    case kxpbsFlat: Frame3D(canvas, r, shadow, shadow, 1); break;
    case kxpbsRaised: Frame3D(canvas, r, light, shadow, 1); break;
    case kxpbsLowered: Frame3D(canvas, r, shadow, light, 1); break;
    case kxpbsLoweredBevel:
      Frame3D(canvas, r, shadow, light, 1);
      Frame3D(canvas, r, light, shadow, 1);
      break;
    case kxpbsRaisedBevel:
      Frame3D(canvas, r, light, shadow, 1);
      Frame3D(canvas, r, shadow, light, 1);
      break;
    case kxpbsTopBevel:
      Line(canvas, shadow, L, T, R, T);
      Line(canvas, light, L, T + 1, R, T + 1);
      break;
    case kxpbsBottomBevel:
      Line(canvas, shadow, L, B - 2, R, B - 2);
      Line(canvas, light, L, B - 1, R, B - 1);
      break;
    case kxpbsTopLightLine: Line(canvas, light, L, T, R, T); break;
    case kxpbsBottomLightLine: Line(canvas, light, L, B - 1, R, B - 1); break;
    case kxpbsTopShadowLine: Line(canvas, shadow, L, T, R, T); break;
    case kxpbsBottomShadowLine: Line(canvas, shadow, L, B - 1, R, B - 1); break;
    case kxpbsLeftBevel:
      Line(canvas, shadow, L, T, L, B);
      Line(canvas, light, L + 1, T, L + 1, B);
      break;
    case kxpbsRightBevel:
      Line(canvas, shadow, R - 2, T, R - 2, B);
      Line(canvas, light, R - 1, T, R - 1, B);
      break;
    case kxpbsLeftLightLine: Line(canvas, light, L, T, L, B); break;
    case kxpbsRightLightLine: Line(canvas, light, R - 1, T, R - 1, B); break;
    case kxpbsLeftShadowLine: Line(canvas, shadow, L, T, L, B); break;
    case kxpbsRightShadowLine: Line(canvas, shadow, R - 1, T, R - 1, B); break;
    case kxpbsHorzCenterBevel:
      Line(canvas, shadow, L, cy - 1, R, cy - 1);
      Line(canvas, light, L, cy, R, cy);
      break;
    case kxpbsVertCenterBevel:
      Line(canvas, shadow, cx - 1, T, cx - 1, B);
      Line(canvas, light, cx, T, cx, B);
      break;
  }
}

TRect PanelBorderInsets(TkxPanelBorderStyle style) {
  switch (style) {
    case kxpbsFlat:
    case kxpbsRaised:
    case kxpbsLowered: return {1, 1, 1, 1};
    case kxpbsLoweredBevel:
    case kxpbsRaisedBevel: return {2, 2, 2, 2};
    case kxpbsTopBevel: return {0, 2, 0, 0};
    case kxpbsBottomBevel: return {0, 0, 0, 2};
    case kxpbsTopLightLine:
    case kxpbsTopShadowLine: return {0, 1, 0, 0};
    case kxpbsBottomLightLine:
    case kxpbsBottomShadowLine: return {0, 0, 0, 1};
    case kxpbsLeftBevel: return {2, 0, 0, 0};
    case kxpbsRightBevel: return {0, 0, 2, 0};
    case kxpbsLeftLightLine:
    case kxpbsLeftShadowLine: return {1, 0, 0, 0};
    case kxpbsRightLightLine:
    case kxpbsRightShadowLine: return {0, 0, 1, 0};
    default: return {0, 0, 0, 0};
  }
}

void AssignCanvasFont(TCanvas* canvas, TFont* font) {
  canvas->Font()->SetPixelsPerInch(font->PixelsPerInch());
  canvas->Font()->Assign(font);
}

// ---- form dragging -----------------------------------------------------------------------------

void TkxFormDrag::MouseDown(TControl* control, TMouseButton button, TShiftState shift) {
  if (!FDragForm || button != mbLeft || shift.Contains(ssDouble)) return;
  FForm = GetParentForm(control, FDragTopForm);
  if (FForm && FForm->WindowState() != wsMaximized) {
    FDown = true;
    GetCursorPos(&FDownP);
  }
}

void TkxFormDrag::MouseMove() {
  if (!FDragForm || !FDown || !FForm) return;
  TPoint p;
  GetCursorPos(&p);
  FForm->SetBounds(FForm->Left() + p.X - FDownP.X, FForm->Top() + p.Y - FDownP.Y,
                   FForm->Width(), FForm->Height());
  FDownP = p;
}

void TkxFormDrag::MouseUp() {
  FDown = false;
  FForm = nullptr;
}

// ---- TkxPanel ------------------------------------------------------------------------------------

TkxPanel::TkxPanel(TComponent* owner)
    : TkxCustomControl(owner), FCaptionGlowEffect(std::make_unique<TkxGlowEffect>()) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csOpaque,          csDoubleClicks, csReplicatable, csPannable,
                                csGestures};
  SetColor(clBtnFace);
  FTransparentBackground = false;
  FFluentUIOpaque = false;
  FCaptionGlowEffect->SetColor(clBtnShadow);
  FCaptionGlowEffect->FControl = this;
  FCaptionGlowEffect->SetOnChange(TNotifyEvent(this, &TkxPanel::GlowChanged));
}

TkxPanel::~TkxPanel() = default;

void TkxPanel::GlowChanged(TObject*) {
  FUpdateGlowBuffer = true;
  if (!ComponentState().Contains(csLoading) && FShowCaption) RePaintControl();
}

void TkxPanel::SetCustomImages(TkxCustomImageCollection* value) {
  if (FCustomImages == value) return;
  if (FCustomImages) FCustomImages->RemoveFreeNotification(this);
  FCustomImages = value;
  if (value) value->FreeNotification(this);
  RePaintControl();
  UpdateControls();
}

void TkxPanel::SetCustomImageIndex(int value) {
  if (FCustomImageIndex == value) return;
  FCustomImageIndex = value;
  RePaintControl();
  UpdateControls();
}

void TkxPanel::SetWallpapers(TkxCustomImageCollection* value) {
  if (FWallpapers == value) return;
  if (FWallpapers) FWallpapers->RemoveFreeNotification(this);
  FWallpapers = value;
  if (value) value->FreeNotification(this);
  RePaintControl();
  UpdateControls();
}

void TkxPanel::SetWallpaperIndex(int value) {
  if (FWallpaperIndex == value) return;
  FWallpaperIndex = value;
  RePaintControl();
  UpdateControls();
}

void TkxPanel::SetStyleKind(TkxPanelStyleKind value) {
  if (FStyleKind == value) return;
  if (FStyleKind == kxpsTransparent) {
    SetTransparentBackground(false);
    GetParentBG();  // lets go of the captured image
  }
  FStyleKind = value;
  if (value == kxpsTransparent) {
    SetTransparentBackground(true);
    GetParentBG();
  }
  RePaintControl();
  UpdateControls();
}

void TkxPanel::SetShowCaption(bool value) {
  if (FShowCaption == value) return;
  FShowCaption = value;
  RePaintControl();
}

void TkxPanel::SetBorderStyle(TkxPanelBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RePaintControl();
  // The client rectangle depends on the border.
  Realign();
}

void TkxPanel::SetLightBorderColor(TColor value) {
  if (FLightBorderColor == value) return;
  FLightBorderColor = value;
  RePaintControl();
}

void TkxPanel::SetShadowBorderColor(TColor value) {
  if (FShadowBorderColor == value) return;
  FShadowBorderColor = value;
  RePaintControl();
}

void TkxPanel::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RePaintControl();
}

void TkxPanel::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  RePaintControl();
}

void TkxPanel::Notification(TComponent* component, TOperation operation) {
  TkxCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FWallpapers) FWallpapers = nullptr;
  if (component == FCustomImages) FCustomImages = nullptr;
}

void TkxPanel::AdjustClientRect(TRect& rect) {
  TkxCustomControl::AdjustClientRect(rect);
  if (FStyleKind == kxpsEdit) {
    rect.Left += 2;
    rect.Top += 2;
    rect.Right -= 2;
    rect.Bottom -= 2;
    return;
  }
  if (FStyleKind != kxpsPanel && FStyleKind != kxpsFormBackground &&
      FStyleKind != kxpsTransparent)
    return;
  TRect inset = PanelBorderInsets(FBorderStyle);
  rect.Left += inset.Left;
  rect.Top += inset.Top;
  rect.Right -= inset.Right;
  rect.Bottom -= inset.Bottom;
}

void TkxPanel::CreateParams(TCreateParams& params) {
  TkxCustomControl::CreateParams(params);
  // The size handler repaints at once; a resize need not invalidate the whole window.
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TkxPanel::Paint() {
  if (FStyleKind == kxpsEmpty && FCanEmpty) return;
  TkxCustomControl::Paint();
}

TColor TkxPanel::StyleMapped(TColor color) const {
  if (StyleElements().Contains(seClient)) return ColorToStyleColor(color, this);
  return color;
}

void TkxPanel::DrawBorder(TCanvas* canvas) {
  DrawPanelBorder(canvas, TRect(0, 0, Width(), Height()), FBorderStyle,
                  StyleMapped(FLightBorderColor), StyleMapped(FShadowBorderColor));
}

void TkxPanel::DrawControl(TCanvas* canvas, TkxsCtrlState state) {
  TRect r(0, 0, Width(), Height());
  bool customAvailable = FCustomImages && FCustomImages->IsIndexAvailable(FCustomImageIndex);
  bool wallpaperAvailable = FWallpapers && FWallpapers->IsIndexAvailable(FWallpaperIndex);
  double scale = CurrentScaleFactor();
  auto fill = [&](const TRect& rect, TColor color) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(color);
    canvas->FillRect(rect);
  };

  if (FWallpapers && FWallpapers->IsSolidDrawing(FWallpaperIndex)) {
    // The wallpaper covers everything: no background beneath it.
    FWallpapers->Draw(canvas, r, FWallpaperIndex, scale);
    if (customAvailable) FCustomImages->Draw(canvas, r, FCustomImageIndex, scale);
    DrawBorder(canvas);
  } else {
    bool bordered = true;
    switch (FStyleKind) {
      case kxpsToolBar:
      case kxpsHeader: {
        int saved = SaveDC(canvas->Handle());
        if (IsCustomStyle(this)) fill(r, ColorToStyleColor(clBtnFace, this));
        if (FStyleKind == kxpsToolBar) DrawToolBarBackground(canvas, r, this);
        else DrawHeaderSection(canvas, r, kxsNormal, this);
        RestoreDC(canvas->Handle(), saved);
        break;
      }
      case kxpsFormBackground: {
        int saved = SaveDC(canvas->Handle());
        DrawFormBackground(canvas, r, this);
        RestoreDC(canvas->Handle(), saved);
        break;
      }
      case kxpsTransparent: break;  // the captured image lies beneath already
      case kxpsEdit:
        bordered = false;
        if (FPopupMode) {
          fill(r, StyleMapped(clWindow));
          bordered = true;
        } else {
          fill(r, ColorToStyleColor(clBtnFace, this));
          int saved = SaveDC(canvas->Handle());
          DrawEditBorder(canvas, r, kxsNormal, this);
          RestoreDC(canvas->Handle(), saved);
          fill(TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2),
               GetEditColor(kxsNormal, this));
        }
        break;
      case kxpsTabSheet:
        bordered = false;
        // The sheet's own frame lies outside the panel.
        DrawTabSheetBody(canvas, TRect(r.Left - 4, r.Top - 4, r.Right + 4, r.Bottom + 4), this);
        break;
      case kxpsPanel:
      case kxpsEmpty: fill(r, StyleMapped(Color())); break;
    }
    if (bordered) DrawBorder(canvas);
    bool borderAgain = FStyleKind != kxpsHeader && FStyleKind != kxpsEdit;
    if (customAvailable) {
      FCustomImages->Draw(canvas, r, FCustomImageIndex, scale);
      if (borderAgain) DrawBorder(canvas);
    }
    if (wallpaperAvailable) {
      FWallpapers->Draw(canvas, r, FWallpaperIndex, scale);
      if (borderAgain) DrawBorder(canvas);
    }
  }

  TRect content(0, 0, Width(), Height());
  if (FBorderStyle != kxpbsNone) content = TRect(2, 2, Width() - 2, Height() - 2);
  bool handled = false;
  DrawPanelContent(canvas, content, handled, state);
  if (FOnPanelPaint) FOnPanelPaint(this, canvas, content);
  if (!FShowCaption || handled) return;
  String caption;
  GetCaptionText(caption);
  if (!caption.empty()) DrawCaption(canvas);
}

void TkxPanel::GetCaptionText(String& text) { text = Text(); }

TColor TkxPanel::GetCaptionColor() {
  if (StyleElements().Contains(seFont) && IsCustomStyle(this)) {
    if (FStyleKind == kxpsHeader) return GetHeaderTextColor(kxsNormal, this);
    if (FStyleKind == kxpsEdit) return GetEditTextColor(kxsNormal, this);
    return GetCheckBoxTextColor(GetCtrlState(), this);
  }
  return Font()->Color();
}

bool TkxPanel::GlowCacheCheck(TCanvas* canvas, const String& caption) {
  TFont* f = canvas->Font();
  TColor glowColor = FCaptionGlowEffect->GetColor();
  // The size counts too: a wrapped caption breaks its lines anew in another width.
  bool rebuild = FUpdateGlowBuffer || caption != FStoredCaption || Width() != FStoredWidth ||
                 Height() != FStoredHeight || glowColor != FStoredGlowColor ||
                 f->Name() != FStoredFontName || f->Size() != FStoredFontSize ||
                 f->Style() != FStoredFontStyle || FWordWrap != FStoredWordWrap;
  FStoredCaption = caption;
  FStoredWidth = Width();
  FStoredHeight = Height();
  FStoredGlowColor = glowColor;
  FStoredFontName = f->Name();
  FStoredFontSize = f->Size();
  FStoredFontStyle = f->Style();
  FStoredWordWrap = FWordWrap;
  FUpdateGlowBuffer = false;
  return rebuild;
}

void TkxPanel::DrawCaption(TCanvas* canvas) {
  String caption;
  GetCaptionText(caption);
  TRect r(3, 3, Width() - 3, Height() - 3);
  AssignCanvasFont(canvas, Font());
  canvas->Font()->SetColor(GetCaptionColor());
  canvas->Brush()->SetStyle(bsClear);
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT align = TableAt(kAlign, FAlignment);
  UINT lines = FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  if (!FCaptionGlowEffect->Enabled()) {
    TRect t = r;
    if (FWordWrap) {
      TRect m(0, 0, r.Width(), r.Height());
      DrawTextW(canvas->Handle(), caption, &m, DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK);
      t.Top += (r.Height() - m.Height()) / 2;
    }
    DrawTextW(canvas->Handle(), caption, &t, align | DT_NOPREFIX | DT_VCENTER | lines);
    return;
  }
  TkxGlowEffect* glow = FCaptionGlowEffect.get();
  int g = glow->GlowSize(), o = glow->Offset();
  bool rebuild = GlowCacheCheck(canvas, caption);
  TRect m;
  if (FWordWrap) {
    r.Top += g;
    m = TRect(0, 0, r.Width(), r.Height());
    DrawTextW(canvas->Handle(), caption, &m, DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK);
  } else {
    m = TRect(0, 0, 0, 0);
    DrawTextW(canvas->Handle(), caption, &m, DT_NOPREFIX | DT_CALCRECT);
  }
  m.Right += g + o;
  m.Bottom += g + o;
  int w = m.Width(), h = m.Height();
  TRect t;
  t.Top = r.Top + r.Height() / 2 - h / 2;
  t.Bottom = t.Top + h;
  switch (FAlignment) {
    case taLeftJustify: t.Left = r.Left; t.Right = r.Left + w; break;
    case taRightJustify: t.Left = r.Right - w; t.Right = r.Right; break;
    case taCenter:
      t.Left = r.Left + r.Width() / 2 - w / 2;
      t.Right = r.Left + r.Width() / 2 + w - w / 2;
      break;
  }
  TkxGlowTextFormat format{DT_NOPREFIX | DT_VCENTER | DT_CENTER | lines,
                           BiDiMode() == bdRightToLeft ? kxroRightToLeft : kxroLeftToRight,
                           kxpmNoPrefix};
  TkxGlowCache cache{FGlowBuffer, rebuild};
  DrawGlowText(canvas, t, caption, format, glow->GetParams(), &cache);
}

// ---- mouse ---------------------------------------------------------------------------------------

void TkxPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TkxCustomControl::MouseDown(button, shift, x, y);
  FDrag.MouseDown(this, button, shift);
}

void TkxPanel::MouseMove(TShiftState shift, int x, int y) {
  TkxCustomControl::MouseMove(shift, x, y);
  FDrag.MouseMove();
}

void TkxPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TkxCustomControl::MouseUp(button, shift, x, y);
  FDrag.MouseUp();
}

// ---- messages ------------------------------------------------------------------------------------

void TkxPanel::WMSize(TMessage& m) {
  TkxCustomControl::WMSize(m);
  if (!FStorePaintBuffer) Repaint();
  if (FTransparentBackground || FStorePaintBuffer) return;
  bool sizeDependent =
      (FWallpapers && FWallpapers->NeedFullUpdate(FWallpaperIndex)) ||
      (FCustomImages && FCustomImages->NeedFullUpdate(FCustomImageIndex));
  // Transparent children must recapture a background that changed with the size.
  if (sizeDependent) UpdateControls();
  else SizeUpdate();
}

void TkxPanel::CMTextChanged(TMessage& m) {
  TkxCustomControl::CMTextChanged(m);
  if (FShowCaption) RePaintControl();
}

}  // namespace kx

#include "host/classes/TypInfo.h"

namespace kx {

const TClass TkxPanel::Class = TClass::Define<TkxPanel, TkxCustomControl>(u"TkxPanel", [](auto& c) {
  using T = TkxPanel;
  c.Property(u"CustomImages", &T::CustomImages, &T::SetCustomImages);
  c.Property(u"CustomImageIndex", &T::CustomImageIndex, &T::SetCustomImageIndex).Default(-1);
  c.Property(u"DragForm", &T::DragForm, &T::SetDragForm).Default(false);
  c.Property(u"DragTopForm", &T::DragTopForm, &T::SetDragTopForm).Default(true);
  c.Property(u"StyleKind", &T::StyleKind, &T::SetStyleKind).Default(kxpsPanel);
  c.Property(u"ShowCaption", &T::ShowCaption, &T::SetShowCaption).Default(false);
  c.Property(u"BorderStyle", &T::BorderStyle, &T::SetBorderStyle).Default(kxpbsNone);
  c.Property(u"Wallpapers", &T::Wallpapers, &T::SetWallpapers);
  c.Property(u"WallpaperIndex", &T::WallpaperIndex, &T::SetWallpaperIndex).Default(-1);
  c.Property(u"LightBorderColor", &T::LightBorderColor, &T::SetLightBorderColor)
      .Idents(u"TColor")
      .Default(clBtnHighlight);
  c.Property(u"ShadowBorderColor", &T::ShadowBorderColor, &T::SetShadowBorderColor)
      .Idents(u"TColor")
      .Default(clBtnShadow);
  c.Property(u"CaptionGlowEffect", &T::CaptionGlowEffect, &T::SetCaptionGlowEffect);
  c.Property(u"Alignment", &T::Alignment, &T::SetAlignment).Default(taCenter);
  c.Property(u"StorePaintBuffer", [](const T& t) { return t.StorePaintBuffer(); },
             [](T& t, bool v) { t.SetStorePaintBuffer(v); })
      .Default(false);
  c.Property(u"WordWrap", &T::WordWrap, &T::SetWordWrap).Default(false);
  c.Property(u"OnPanelPaint", &T::FOnPanelPaint);
});

}  // namespace kx
