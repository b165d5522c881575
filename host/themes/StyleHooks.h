// Style hooks: objects attached to a window while a custom style is active, which see the
// window's messages before the window itself and paint its client area, background and frame
// in the style.
//
// TStyleHookBase is the message pre-filter every hook shares. TSysStyleHook attaches it to a
// window of a system window class ("#32768", "tooltips_class32", ...) by subclassing the window;
// the style registry does this for every window of a class given to
// TStyleManager::RegisterSysStyleHook (see SysStyleHooks.cpp). Hooks of the control framework
// derive from the same base and are called by the control instead.
#pragma once
#include <memory>

#include "host/themes/StyleServices.h"
#include "host/win/Messages.h"

namespace vcl {

class TCanvas;
class TFont;
class TBrush;

class TStyleHookBase {
 public:
  explicit TStyleHookBase(HWND handle);
  TStyleHookBase(const TStyleHookBase&) = delete;
  TStyleHookBase& operator=(const TStyleHookBase&) = delete;
  virtual ~TStyleHookBase();

  HWND Handle() const { return FHandle; }

  // Offers a message to the hook before the window's own handling: true when the hook handled
  // it, msg.Result then being the answer.
  bool HandleMessage(TMessage& msg);
  // Whether the message being handled is taken by the hook (WndProc overrides set it).
  bool Handled() const { return FHandled; }
  void SetHandled(bool v) { FHandled = v; }
  // Lets the window handle the message as it would without the hook; the result is also stored
  // in msg.Result.
  virtual LRESULT CallDefaultProc(TMessage& msg) = 0;
  LRESULT CallDefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

  // Repainting: the client area (erased first), the frame, or both at once.
  void Invalidate();
  void InvalidateNC();
  void Repaint();
  // WM_SETREDRAW through the window's own handling.
  void SetRedraw(bool redraw);

  // The style the hook paints in: the active style. (The constructor takes the colours from the
  // base's choice; a hook choosing other services calls UpdateColors in its own constructor.)
  virtual TCustomStyleServices* StyleServices() const;
  // Colours and font of the style (background, text): refreshed when the style changes.
  TColor Color() const { return FColor; }
  TColor FontColor() const { return FFontColor; }
  // The window's font (WM_GETFONT, or the style's default font when it has none) in the
  // style's text colour; read when first needed and again after WM_SETFONT or a style change.
  TFont* Font() const;
  TBrush* Brush() const { return FBrush.get(); }
  virtual void UpdateColors();

  // Which painting the hook takes over: WM_PAINT (Paint), WM_NCPAINT (PaintNC) and
  // WM_ERASEBKGND (PaintBackground).
  bool OverridePaint() const { return FOverridePaint; }
  void SetOverridePaint(bool v) { FOverridePaint = v; }
  bool OverridePaintNC() const { return FOverridePaintNC; }
  void SetOverridePaintNC(bool v) { FOverridePaintNC = v; }
  bool OverrideEraseBkgnd() const { return FOverrideEraseBkgnd; }
  void SetOverrideEraseBkgnd(bool v) { FOverrideEraseBkgnd = v; }

 protected:
  // Every message offered to the hook. The base handles the painting messages it overrides and
  // CM_STYLECHANGED (colours refreshed, everything repainted; left to the window as well);
  // anything else stays unhandled.
  virtual void WndProc(TMessage& msg);
  // The painting the hook takes over; the canvas is bound to the device context: for Paint
  // the client DC (BeginPaint's, or WM_PRINTCLIENT's), for PaintNC the window DC with the
  // client area clipped out, for PaintBackground the DC of WM_ERASEBKGND.
  virtual void Paint(TCanvas& canvas);
  virtual void PaintNC(TCanvas& canvas);
  virtual void PaintBackground(TCanvas& canvas);  // fills the client area with Brush
  // Reads the font Font() returns.
  virtual void UpdateFont();
  // Sets what Color(), FontColor(), Brush() and Font() give (UpdateColors overrides use it).
  void SetColors(TColor color, TColor fontColor);

 private:
  void DoPaint(TMessage& msg);
  void DoPaintNC(TMessage& msg);
  void DoEraseBkgnd(TMessage& msg);

  HWND FHandle;
  bool FHandled = false;
  bool FOverridePaint = false;
  bool FOverridePaintNC = false;
  bool FOverrideEraseBkgnd = false;
  TColor FColor = clBtnFace;
  TColor FFontColor = clWindowText;
  std::unique_ptr<TFont> FFont;
  mutable bool FFontValid = false;
  std::unique_ptr<TBrush> FBrush;
};

// A hook attached to a window by subclassing: it sees every message first, and its default
// processing is the window procedure the window had before.
class TSysStyleHook : public TStyleHookBase {
 public:
  explicit TSysStyleHook(HWND handle);
  ~TSysStyleHook() override;

  LRESULT CallDefaultProc(TMessage& msg) override;
  using TStyleHookBase::CallDefaultProc;

 private:
  friend struct TSysHookLink;
  WNDPROC FDefProc = nullptr;
};

// What RegisterSysStyleHook takes: makes the hook of a window.
using TSysStyleHookClass = std::unique_ptr<TSysStyleHook> (*)(HWND);

template <class THook>
std::unique_ptr<TSysStyleHook> MakeSysStyleHook(HWND handle) {
  return std::make_unique<THook>(handle);
}
// The hook class of THook: TStyleManager::RegisterSysStyleHook(u"#32768", SysStyleHookClass<T>()).
template <class THook>
constexpr TSysStyleHookClass SysStyleHookClass() {
  return &MakeSysStyleHook<THook>;
}

}  // namespace vcl
