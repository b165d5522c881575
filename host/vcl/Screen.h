// The screen: monitors with their bounds, work areas and densities, the forms of the
// application in z-order, the active form and control, the screen cursor, the installed font
// families and the system's non-client fonts; and the mouse (`Mouse`).
#pragma once
#include <memory>
#include <vector>

#include "host/classes/Component.h"
#include "host/vcl/Controls.h"

namespace vcl {

class TCustomForm;
class TFont;
class TStrings;

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };
constexpr TEnumNames EnumNames(TMonitorDefaultTo) {
  return {u"TMonitorDefaultTo", u"mdNearest mdNull mdPrimary"};
}

// One display, as the window manager reports it. The values are read when asked for, so a
// monitor object stays current when the desktop changes.
class TMonitor : public TObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TMonitor(HMONITOR handle, int num) : FHandle(handle), FMonitorNum(num) {}

  HMONITOR Handle() const { return FHandle; }
  int MonitorNum() const { return FMonitorNum; }
  bool Primary() const;
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  int Left() const { return BoundsRect().Left; }
  int Top() const { return BoundsRect().Top; }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }
  int PixelsPerInch() const;

 private:
  HMONITOR FHandle;
  int FMonitorNum;
};

class TScreen : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // ---- monitors ----
  int MonitorCount();
  TMonitor* Monitors(int index);  // EListError when out of range
  TMonitor* PrimaryMonitor();
  TMonitor* MonitorFromWindow(HWND hwnd, TMonitorDefaultTo def = mdNearest);
  TMonitor* MonitorFromPoint(TPoint pt, TMonitorDefaultTo def = mdNearest);
  TMonitor* MonitorFromRect(const TRect& r, TMonitorDefaultTo def = mdNearest);
  // The primary monitor's work area, and the bounding box of all monitors.
  TRect WorkAreaRect();
  int WorkAreaLeft() { return WorkAreaRect().Left; }
  int WorkAreaTop() { return WorkAreaRect().Top; }
  int WorkAreaWidth() { return WorkAreaRect().Width(); }
  int WorkAreaHeight() { return WorkAreaRect().Height(); }
  TRect DesktopRect();
  int Width();   // the primary monitor
  int Height();
  // The system density (the primary monitor's).
  int PixelsPerInch();

  // ---- forms ----
  // Every form of the application, the most recently activated first (forms never
  // activated follow in creation order).
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const;
  int CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(int index) const { return Forms(index); }
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  // The control that has the focus (nullptr when the focus is not on one of ours).
  TWinControl* ActiveControl() const;
  // The form of the control that last received the focus.
  TCustomForm* FocusedForm() const { return FFocusedForm; }

  // ---- cursors ----
  // The screen cursor: crDefault lets each control show its own; another value shows that
  // cursor everywhere (crHourGlass while working).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor value);
  // The cursor handle of a cursor value (a system cursor for the predefined values).
  HCURSOR Cursors(TCursor index) const;
  void SetCursors(TCursor index, HCURSOR handle);

  // ---- fonts ----
  TStrings* Fonts();
  // Read from the system's non-client metrics on first use (at the system density).
  TFont* HintFont();
  TFont* MenuFont();
  TFont* MessageFont();
  TFont* CaptionFont();
  TFont* IconFont();
  void SetHintFont(TFont* v);
  void SetMenuFont(TFont* v);
  void SetMessageFont(TFont* v);
  void SetCaptionFont(TFont* v);
  void SetIconFont(TFont* v);
  // Reads the fonts again from the system's non-client metrics (at the system density).
  void ResetFonts();

  // The latest active form and control changes.
  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

  // ---- framework hooks (forms and controls call these) ----
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  // Moves a form to the front of the list (it was activated or brought to the top).
  void BringFormToFront(TCustomForm* form);
  void SetActiveForm(TCustomForm* form);
  // The focus moved to a control of a form (OnActiveControlChange).
  void FocusChanged(TWinControl* control);
  // Re-reads the list of monitors (the desktop changed).
  void GetMonitors();

 private:
  void UpdateMonitors();

  std::vector<std::unique_ptr<TMonitor>> FMonitors;
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::vector<std::pair<TCursor, HCURSOR>> FCursorMap;
  TStrings* FFonts = nullptr;
  std::unique_ptr<TFont> FHintFont, FMenuFont, FMessageFont, FCaptionFont, FIconFont;
};

// Whether the pointer is over a window, where it is, which window holds the capture.
class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint pt);
  HWND Capture() const;
  void SetCapture(HWND hwnd);
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }
  int WheelScrollLines() const;
  int DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(int v) { FDragThreshold = v; }

 private:
  int FDragThreshold = 5;
};

// The process-wide screen and mouse, made on first use.
TScreen* GetScreen();
TMouse* GetMouse();
struct TScreenAccess {
  TScreen* operator->() const { return GetScreen(); }
  operator TScreen*() const { return GetScreen(); }  // NOLINT(google-explicit-constructor)
};
struct TMouseAccess {
  TMouse* operator->() const { return GetMouse(); }
  operator TMouse*() const { return GetMouse(); }  // NOLINT(google-explicit-constructor)
};
inline constexpr TScreenAccess Screen{};
inline constexpr TMouseAccess Mouse{};

}  // namespace vcl
