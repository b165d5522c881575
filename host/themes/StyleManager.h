// The style registry: the system style "Windows" first, then every registered style in
// registration order (the styles embedded as resources of type VCLSTYLE at start-up, then those
// loaded by the program); one of them is the active style.
//
// A switch (SetStyle, or themes switched on or off) attaches or removes the style hooks of
// system window classes, calls the style-changed handlers of the control framework, sends
// CM_STYLECHANGED to every window (hooks see it first), recalculates the frames of windows whose
// hooks came or went, and repaints every window with its frame.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "host/themes/StyleServices.h"

namespace vcl {

class TStream;
class TSysStyleHook;
class TStyleHook;
class TClass;
class TControl;
class TWinControl;
// Makes the hook of a window (see StyleHooks.h: SysStyleHookClass<THook>()).
using TSysStyleHookClass = std::unique_ptr<TSysStyleHook> (*)(WindowObject*);
// Makes the hook of a control (see ControlStyleHooks.h: StyleHookClass<THook>()).
using TStyleHookClass = std::unique_ptr<TStyleHook> (*)(TWinControl*);

class TStyleManager {
 public:
  TStyleManager() = delete;

  // Registers the embedded styles (resources of type VCLSTYLE). Every other member calls it
  // first, so calling it is needed only to control when the work is done.
  static void Initialize();

  // "Windows", then the registered styles in registration order.
  static std::vector<String> StyleNames();
  // The services of a style by name (ASCII case-insensitive); nullptr when there is none.
  static TCustomStyleServices* Style(StringView name);
  // As Style, raising EStyleEngineException for an unknown name.
  static TCustomStyleServices* GetStyle(StringView name);

  static TCustomStyleServices* ActiveStyle();
  // The system style's services: the themed "Windows" look, or the classic look while themes
  // are switched off.
  static TCustomStyleServices* SystemStyle();
  // True while the active style is not the system style.
  static bool IsCustomStyleActive();
  // Whether a control that names no style (neither itself nor any of its parents) draws with
  // the system style instead of the active one (off by default). Changing it notifies like a
  // switch while a custom style is active.
  static bool SystemStyleIsDefault();
  static void SetSystemStyleIsDefault(bool on);

  // Makes a registered style active; EStyleEngineException naming the style when there is no
  // such style.
  static void SetStyle(StringView name);
  static void SetStyle(TCustomStyleServices* style);
  // As SetStyle, but a failure returns false instead of raising; with showError it is reported
  // through the error reporter first.
  static bool TrySetStyle(StringView name, bool showError = true);

  // Registers a style read from a packed style file. The data is checked completely first: a
  // malformed file raises EStyleEngineException naming it and registers nothing; so does a
  // style whose name is already registered. Returns the registered services.
  static TCustomStyleServices* LoadFromStream(TStream& stream);
  static TCustomStyleServices* LoadFromFile(const String& fileName);
  static TCustomStyleServices* LoadFromResource(StringView resourceName,
                                                StringView resourceType = u"VCLSTYLE");
  // Whether the stream (from its position) or file holds a valid style; fills *info when given.
  // Never raises for bad data.
  static bool IsValidStyle(TStream& stream, TStyleInfo* info = nullptr);
  static bool IsValidStyle(const String& fileName, TStyleInfo* info = nullptr);
  // Removes a style loaded by the program (not the system style, not the active style).
  static bool UnRegisterStyle(TCustomStyleServices* style);

  // Whether themes are enabled: when not, the system style is the classic look (services that
  // report themselves not enabled, see ClassicStyle.h). Changing it notifies like a switch.
  static bool ThemesEnabled();
  static void SetThemesEnabled(bool enabled);

  // ---- style hooks of system window classes -----------------------------------------------
  // While a custom style is active, every window of the class (names compare ASCII
  // case-insensitively) has a hook made by hookClass: the existing windows get theirs at once,
  // a new window as it is created (before its first message). Registering a class again
  // replaces its hook class, also on the windows hooked already. The engine registers
  // TSysPopupStyleHook for "#32768" and TSysTooltipsStyleHook for "tooltips_class32".
  static void RegisterSysStyleHook(StringView windowClassName, TSysStyleHookClass hookClass);
  // Removes the registration when hookClass is the one registered; the class's windows lose
  // their hooks and are repainted.
  static void UnRegisterSysStyleHook(StringView windowClassName, TSysStyleHookClass hookClass);
  // The hook class registered for a window class, or nullptr.
  static TSysStyleHookClass SysStyleHookClassOf(StringView windowClassName);
  // The hook attached to a window, or nullptr.
  static TSysStyleHook* SysStyleHookOf(WindowObject* window);

  // ---- style hooks of controls ------------------------------------------------------------
  // Every windowed control whose class is controlClass or derives from it (the nearest
  // registered ancestor counts) has a hook made by hookClass while the style that paints it
  // (StyleServices(control)) is a custom style: existing controls get theirs at once, new ones
  // as their windows are created, re-created windows again. A later registration for the same
  // class takes over until it is removed; registering the same pair twice raises
  // EStyleEngineException. The engine registers TFormStyleHook for TCustomForm and
  // TScrollingStyleHook for TScrollingWinControl.
  static void RegisterStyleHook(const TClass& controlClass, TStyleHookClass hookClass);
  // Removes the pair (a no-op when it is not registered); the controls it hooked take the hook
  // registered before it, or none, and are repainted with their frames.
  static void UnRegisterStyleHook(const TClass& controlClass, TStyleHookClass hookClass);
  // The hook class that applies to controls of a class (nearest registered ancestor, latest
  // registration), or nullptr.
  static TStyleHookClass StyleHookClassOf(const TClass& controlClass);
  // The hook attached to a control now, or nullptr.
  static TStyleHook* StyleHookOf(const TWinControl* control);

  // Whether styled forms paint their frames in the style (fbsCurrentStyle, the default) or keep
  // the system frame (fbsSystemStyle). Changing it recalculates and repaints every form frame.
  enum TFormBorderStyle { fbsCurrentStyle, fbsSystemStyle };
  static TFormBorderStyle FormBorderStyle();
  static void SetFormBorderStyle(TFormBorderStyle v);

  // ---- extension points of the control framework ------------------------------------------
  // Called after the active style changed (previous, active). Returns an id for removal.
  using TStyleChangedHandler =
      std::function<void(TCustomStyleServices* previous, TCustomStyleServices* active)>;
  static int AddStyleChangedHandler(TStyleChangedHandler handler);
  static void RemoveStyleChangedHandler(int id);
  // Replaces how TrySetStyle shows its errors. By default the application shows them
  // (Application->ShowException: a message box on a display, a line on stderr headless).
  using TErrorReporter = std::function<void(const String& message)>;
  static void SetErrorReporter(TErrorReporter reporter);
  // Paints the parent background of a window for DrawParentBackground.
  using TParentBackgroundPainter = std::function<bool(
      WindowObject* window, HDC dc, const TThemedElementDetails* details, bool onlyIfTransparent,
      const TRect* bounds)>;
  static void SetParentBackgroundPainter(TParentBackgroundPainter painter);
  static const TParentBackgroundPainter& ParentBackgroundPainter();
};

// The active style's services.
TCustomStyleServices* StyleServices();
// The services that paint a control, by the per-control rule: while no custom style is active,
// the active (system) style. Otherwise the style named by the control or, when it names none,
// by its nearest parent that does (a name that is no registered, enabled style counts as none).
// Where nothing up the chain names one: the system style when SystemStyleIsDefault is on or the
// control's own StyleElements set is empty, the active style for everything else (and for
// nullptr).
TCustomStyleServices* StyleServices(const TControl* control);
// The control or nearest parent whose StyleName decides the control's style by that rule, or
// nullptr when none does.
const TControl* StyleNameSource(const TControl* control);

}  // namespace vcl
