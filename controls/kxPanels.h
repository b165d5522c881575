// TkxPanel, the library's container: a rectangle that paints one of eight backgrounds (plain
// colour, tool bar, header, form background, transparent, nothing, edit field, tab-sheet
// body), optionally a wallpaper and a custom image from image collections, one of twenty
// border styles and an optional caption with a glow halo. Pressing the mouse on it can drag
// its form. Composite controls and pop-ups are built on it; they draw their content through
// DrawPanelContent or by overriding DrawControl and drawing the inherited part first.
#pragma once
#include <memory>

#include "controls/kxCustomControl.h"
#include "draw/kxStates.h"
#include "host/classes/ControlEnums.h"

namespace vcl {
class TCustomForm;
}

namespace kx {

class TkxCustomImageCollection;

enum TkxPanelStyleKind {
  kxpsPanel, kxpsToolBar, kxpsHeader, kxpsFormBackground, kxpsTransparent, kxpsEmpty, kxpsEdit,
  kxpsTabSheet
};
constexpr vcl::TEnumNames EnumNames(TkxPanelStyleKind) {
  return {u"TkxPanelStyleKind",
          u"kxpsPanel kxpsToolBar kxpsHeader kxpsFormBackground kxpsTransparent kxpsEmpty "
          u"kxpsEdit kxpsTabSheet"};
}

enum TkxPanelBorderStyle {
  kxpbsNone, kxpbsFlat, kxpbsRaised, kxpbsLowered, kxpbsLoweredBevel, kxpbsRaisedBevel,
  kxpbsTopBevel, kxpbsBottomBevel, kxpbsTopLightLine, kxpbsBottomLightLine, kxpbsTopShadowLine,
  kxpbsBottomShadowLine, kxpbsLeftBevel, kxpbsRightBevel, kxpbsLeftLightLine,
  kxpbsRightLightLine, kxpbsLeftShadowLine, kxpbsRightShadowLine, kxpbsHorzCenterBevel,
  kxpbsVertCenterBevel
};
constexpr vcl::TEnumNames EnumNames(TkxPanelBorderStyle) {
  return {u"TkxPanelBorderStyle",
          u"kxpbsNone kxpbsFlat kxpbsRaised kxpbsLowered kxpbsLoweredBevel kxpbsRaisedBevel "
          u"kxpbsTopBevel kxpbsBottomBevel kxpbsTopLightLine kxpbsBottomLightLine "
          u"kxpbsTopShadowLine kxpbsBottomShadowLine kxpbsLeftBevel kxpbsRightBevel "
          u"kxpbsLeftLightLine kxpbsRightLightLine kxpbsLeftShadowLine kxpbsRightShadowLine "
          u"kxpbsHorzCenterBevel kxpbsVertCenterBevel"};
}

// Raised during every panel paint with the content rectangle, before the caption.
using TkxPanelPaintEvent =
    vcl::TEvent<void(vcl::TObject* Sender, vcl::TCanvas* ACanvas, vcl::TRect ARect)>;

// The border lines of a panel style, drawn on the whole rectangle in the light and shadow
// colours (already as the style shows them).
void DrawPanelBorder(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxPanelBorderStyle style,
                     vcl::TColor light, vcl::TColor shadow);
// How far a border style insets the client area on each side.
vcl::TRect PanelBorderInsets(TkxPanelBorderStyle style);

// The canvas takes the font at the font's own density: a plain Assign would convert its
// height to the canvas font's density (96 pixels per inch for buffers) and lose the scaling.
void AssignCanvasFont(vcl::TCanvas* canvas, vcl::TFont* font);

// Form dragging shared by panels and labels: a qualifying left press on the control starts it,
// moves drag the form along, the release ends it.
struct TkxFormDrag {
  bool FDragForm = false;
  bool FDragTopForm = true;
  vcl::TCustomForm* FForm = nullptr;
  bool FDown = false;
  vcl::TPoint FDownP{};

  void MouseDown(vcl::TControl* control, vcl::TMouseButton button, vcl::TShiftState shift);
  void MouseMove();
  void MouseUp();
};

class TkxPanel : public TkxCustomControl {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxPanel(vcl::TComponent* owner);
  ~TkxPanel() override;

  TkxCustomImageCollection* CustomImages() const { return FCustomImages; }
  void SetCustomImages(TkxCustomImageCollection* value);
  int CustomImageIndex() const { return FCustomImageIndex; }
  void SetCustomImageIndex(int value);
  bool DragForm() const { return FDrag.FDragForm; }
  void SetDragForm(bool value) { FDrag.FDragForm = value; }
  bool DragTopForm() const { return FDrag.FDragTopForm; }
  void SetDragTopForm(bool value) { FDrag.FDragTopForm = value; }
  TkxPanelStyleKind StyleKind() const { return FStyleKind; }
  void SetStyleKind(TkxPanelStyleKind value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value);
  TkxPanelBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TkxPanelBorderStyle value);
  TkxCustomImageCollection* Wallpapers() const { return FWallpapers; }
  void SetWallpapers(TkxCustomImageCollection* value);
  int WallpaperIndex() const { return FWallpaperIndex; }
  void SetWallpaperIndex(int value);
  vcl::TColor LightBorderColor() const { return FLightBorderColor; }
  void SetLightBorderColor(vcl::TColor value);
  vcl::TColor ShadowBorderColor() const { return FShadowBorderColor; }
  void SetShadowBorderColor(vcl::TColor value);
  TkxGlowEffect* CaptionGlowEffect() const { return FCaptionGlowEffect.get(); }
  // The caption's kept halo (nullptr until a glowing caption is painted); it is rebuilt only
  // when what it depends on changes.
  vcl::TBitmap* GlowBuffer() const { return FGlowBuffer.get(); }
  void SetCaptionGlowEffect(TkxGlowEffect* value) { FCaptionGlowEffect->Assign(value); }
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  const TkxPanelPaintEvent& OnPanelPaint() const { return FOnPanelPaint; }
  void SetOnPanelPaint(const TkxPanelPaintEvent& e) { FOnPanelPaint = e; }
  using TkxCustomControl::SetTransparentBackground;

 protected:
  // Called by the size handler when nothing on the panel depends on its size; empty here.
  virtual void SizeUpdate() {}
  // The caption to draw: the text.
  virtual void GetCaptionText(vcl::String& text);
  // The caption's colour: the font colour, or the style's text colour of the panel's kind.
  virtual vcl::TColor GetCaptionColor();
  // Painting hook for subclasses, after background, images and border; setting `handled`
  // suppresses the caption.
  virtual void DrawPanelContent(vcl::TCanvas* canvas, const vcl::TRect& rect, bool& handled,
                                TkxsCtrlState state) {}

  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void AdjustClientRect(vcl::TRect& rect) override;
  void CreateParams(vcl::TCreateParams& params) override;
  void Paint() override;
  void DrawControl(vcl::TCanvas* canvas, TkxsCtrlState state) override;
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void WMSize(vcl::TMessage& message) override;
  void CMTextChanged(vcl::TMessage& message) override;

  // The colour as the style shows it when the client follows the style.
  vcl::TColor StyleMapped(vcl::TColor color) const;
  void DrawBorder(vcl::TCanvas* canvas);
  void DrawCaption(vcl::TCanvas* canvas);
  // Whether the caption halo must be rebuilt; stores what it is now built for.
  bool GlowCacheCheck(vcl::TCanvas* canvas, const vcl::String& caption);
  void GlowChanged(vcl::TObject* sender);

  TkxPanelStyleKind FStyleKind = kxpsPanel;
  TkxCustomImageCollection* FWallpapers = nullptr;
  int FWallpaperIndex = -1;
  TkxCustomImageCollection* FCustomImages = nullptr;
  int FCustomImageIndex = -1;
  TkxPanelBorderStyle FBorderStyle = kxpbsNone;
  vcl::TColor FLightBorderColor = vcl::clBtnHighlight;
  vcl::TColor FShadowBorderColor = vcl::clBtnShadow;
  bool FShowCaption = false;
  std::unique_ptr<TkxGlowEffect> FCaptionGlowEffect;
  vcl::TAlignment FAlignment = vcl::taCenter;
  std::unique_ptr<vcl::TBitmap> FGlowBuffer;
  vcl::String FStoredCaption;
  int FStoredWidth = 0;
  int FStoredHeight = 0;
  vcl::TColor FStoredGlowColor = vcl::clNone;
  int FStoredFontSize = 0;
  vcl::String FStoredFontName;
  vcl::TFontStyles FStoredFontStyle;
  bool FStoredWordWrap = false;
  bool FUpdateGlowBuffer = true;
  TkxPanelPaintEvent FOnPanelPaint;
  bool FCanEmpty = true;
  bool FPopupMode = false;
  TkxFormDrag FDrag;
  bool FWordWrap = false;
};

}  // namespace kx
