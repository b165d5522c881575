// TkxCustomControl, the base of every custom-drawn windowed control of the library, and its
// paint pipeline:
//
// - every paint is composed off screen in the paint buffer and copied to the window in one
//   step;
// - a transparent control first captures what lies beneath it (its parent's painting and the
//   graphic controls beneath it) into ParentBGBuffer and draws that as its background;
// - a repaint caused by the control's own state (RePaintControl) reuses the captured
//   background instead of capturing it again;
// - a control may keep its paint buffer after painting (StorePaintBuffer), so that its
//   transparent children copy their background out of it instead of asking it to paint again;
// - WM_PARENTBGCHANGED tells children that the background beneath them has changed.
//
// Subclasses draw their content in DrawControl and report their state in GetCtrlState.
#pragma once
#include <memory>

#include "draw/kxStates.h"
#include "host/graphics/Graphic.h"
#include "host/vcl/Controls.h"

namespace kx {

// Tells a control that the background beneath it has changed; no parameters, no result.
constexpr vcl::UINT WM_PARENTBGCHANGED = vcl::WM_USER + 260;

// Whether a control draws its text through GDI or GDI+.
enum TkxDrawTextMode { kxdtmGDI, kxdtmGDIPlus };
constexpr vcl::TEnumNames EnumNames(TkxDrawTextMode) {
  return {u"TkxDrawTextMode", u"kxdtmGDI kxdtmGDIPlus"};
}

// A container that is not a TkxCustomControl but keeps the last image of its client area for
// its transparent children (the library's scroll box). A child copies its background out of
// the image while StoresPaintBuffer() is true and the image has the container's client size.
class TkxPaintBufferSource {
 public:
  virtual bool StoresPaintBuffer() const = 0;
  // The kept image, or nullptr when there is none.
  virtual vcl::TBitmap* StoredPaintBuffer() const = 0;

 protected:
  ~TkxPaintBufferSource() = default;
};

// Paints onto the canvas, at 0, 0, the image that lies beneath the control in its parent: the
// parent's background and painting and the visible graphic siblings beneath the control that
// overlap it. Nothing happens without a control, a canvas or a parent. Edits, combo boxes and
// other windowed controls call it for their own transparent backgrounds.
void DrawParentImage(vcl::TControl* control, vcl::TCanvas* canvas);

// How a background capture may use a kept image of the source: a storing TkxCustomControl's
// last paint buffer is copied unless the caller wants the source painted afresh.
enum TkxKeptImageUse { kxkiUseKept, kxkiPaintAfresh };

// Paints into `target` (the control's size, at 0, 0) what lies beneath `control` in `source`:
// its parent, or with `parentOnly` the parent's parent, the whole parent's area being
// copied. The cases: a TkxPaintBufferSource keeping an image of its client size gives the
// image; a TkxCustomControl storing its paint buffer gives that buffer (with kxkiUseKept);
// otherwise DrawParentImage of the control (of its parent with `parentOnly`). A
// TkxCustomControl source knows that a child captures it for the duration. Controls that are
// not TkxCustomControls (edits, memos) call it for their own transparent backgrounds.
enum TkxBackgroundSource { kxbgParent, kxbgParentOnly };
void CaptureBackground(vcl::TControl* control, vcl::TCanvas* target,
                       TkxBackgroundSource from = kxbgParent,
                       TkxKeptImageUse kept = kxkiUseKept);

class TkxCustomControl : public vcl::TCustomControl {
  friend void CaptureBackground(vcl::TControl*, vcl::TCanvas*, TkxBackgroundSource,
                                TkxKeptImageUse);

 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxCustomControl(vcl::TComponent* owner);
  ~TkxCustomControl() override;

  // ---- the pipeline ------------------------------------------------------------------------
  // Repaints now, reusing the captured background.
  virtual void RePaintControl();
  // Tells every visible child that the background beneath it has changed.
  virtual void UpdateControls();
  // RePaintControl and UpdateControls with FFullUpdating set, so subclasses redraw everything.
  void FullUpdateControl();
  // Switches the window's redrawing on (with `update`, redrawing it and its children at once)
  // or off; callers bracket bulk changes with it.
  void SetRedraw(bool value, bool update = true);
  // The captured background (the control's size while it is transparent).
  vcl::TBitmap* ParentBackgroundBuffer() const { return ParentBGBuffer.get(); }

  // ---- properties --------------------------------------------------------------------------
  // Keep the paint buffer after painting, so transparent children copy their background from
  // it. Switching it off frees the kept buffer.
  bool StorePaintBuffer() const { return FStorePaintBuffer; }
  void SetStorePaintBuffer(bool value);
  bool TransparentBackground() const { return FTransparentBackground; }
  // Opaque over translucent form backgrounds (a layered window) on Windows 10 build 17134 and
  // later.
  bool FluentUIOpaque() const { return FFluentUIOpaque; }
  void SetFluentUIOpaque(bool value);
  bool IsFluentUIOpaqueActive() const;
  TkxDrawTextMode DrawTextMode() const { return FDrawTextMode; }
  // Raised when the control's scale factor changes; the sender's CurrentScaleFactor() is the
  // new factor.
  const vcl::TNotifyEvent& OnChangeScale() const { return FOnChangeScale; }
  void SetOnChangeScale(const vcl::TNotifyEvent& e) { FOnChangeScale = e; }
  // The factor the control is scaled by (1 at 96 pixels per inch), following every
  // ChangeScale.
  double CurrentScaleFactor() const { return FScaleFactor; }
  bool IsBiDiRightToLeft() const { return BiDiMode() == vcl::bdRightToLeft; }

  void Dispatch(vcl::TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;
  void ScaleForPPI(int newPPI) override;

  // True while the control (or its parent) is moved or resized, or repainted by
  // RePaintControl: the erase phase then paints nothing.
  bool FForceDraw = false;
  // True while a child captures this control's image; subclasses may leave out decoration
  // that only the control itself should show.
  bool FGetControlBG = false;
  // The off-screen paint buffer; exists only during a paint unless FStorePaintBuffer is set.
  std::unique_ptr<vcl::TBitmap> FPaintBuffer;

 protected:
  // ---- hooks for subclasses ----------------------------------------------------------------
  // Stores the value; subclasses that publish TransparentBackground override it to repaint.
  virtual void SetTransparentBackground(bool value);
  // Whether the erase phase paints the whole control.
  virtual bool CanDrawOnBackground();
  // Captures the image beneath the control into ParentBGBuffer.
  virtual void GetParentBG();
  // kxsNormal while enabled, kxsDisabled otherwise.
  virtual TkxsCtrlState GetCtrlState();
  // Draws the captured background onto the canvas (nothing unless transparent).
  virtual void DrawBackground(vcl::TCanvas* canvas);
  // Stores the text drawing mode and repaints when it changed; subclasses that publish
  // DrawTextMode make it public.
  void SetDrawTextMode(TkxDrawTextMode value);
  // Draws the control's content for a state; empty here.
  virtual void DrawControl(vcl::TCanvas* canvas, TkxsCtrlState state) {}

  void Paint() override;
  void WndProc(vcl::TMessage& message) override;
  void CreateParams(vcl::TCreateParams& params) override;
  void CreateWnd() override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  // The control whose image lies beneath this one: the parent, or with
  // FUseOnlyParentBackground the grandparent when there is one.
  vcl::TWinControl* BackgroundSource() const;

  bool FFullUpdating = false;
  bool FUseOnlyParentBackground = false;
  std::unique_ptr<vcl::TBitmap> ParentBGBuffer;
  bool FBlurBackground = false;
  int FBlurBackgroundAmount = 5;
  bool FStorePaintBuffer = false;
  bool FDrawOnBackground = true;
  bool FTransparentBackground = true;
  bool FDrawInClientRect = false;
  vcl::TNotifyEvent FOnChangeScale;
  bool FUpdateParentBuffer = false;
  int FBackgroundLeft = 0;
  int FBackgroundTop = 0;
  bool FFluentUIOpaque = false;
  TkxDrawTextMode FDrawTextMode = kxdtmGDI;
  double FScaleFactor = 1.0;

  // ---- messages (each after the host's handling where it has one) ----
  void WMPaint(vcl::TMessage& message) override;
  void WMEraseBkgnd(vcl::TMessage& message) override;
  void WMSize(vcl::TMessage& message) override;
  void CMEnabledChanged(vcl::TMessage& message) override;
  virtual void WMMove(vcl::TMessage& message);
  virtual void WMParentBGChanged(vcl::TMessage& message);

 private:
  bool FStopEraseBackground = false;
  bool FromWMPaint = false;
  bool FPainting = false;  // inside Paint: the paint buffer is in use
};

// Registers the library's control classes (and the host's) for window descriptions; calling
// it again does nothing.
void RegisterKxControlClasses();

}  // namespace kx
