// The engine's hooks of system window classes, registered at start-up: popup menus ("#32768")
// and tooltips ("tooltips_class32") painted in the active custom style.
#pragma once
#include <functional>
#include <vector>

#include "host/themes/StyleHooks.h"
#include "host/themes/StyledMenu.h"

namespace vcl {

// A popup-menu window: border, background, gutter and every item drawn in the style (see
// StyledMenu.h), in the menu font of the window's density.
class TSysPopupStyleHook : public TSysStyleHook {
 public:
  explicit TSysPopupStyleHook(HWND handle);

  // How the hook learns a menu window's items (rectangles in client coordinates, the selected
  // one Hot). Without a source of its own the hook shows the items of the window manager's
  // menu window (GetMenuWindowItems), and owner-drawn ones are drawn by their owner.
  using TItemSource = std::function<std::vector<TStyledMenuItem>(HWND)>;
  static void SetItemSource(TItemSource source);
  virtual std::vector<TStyledMenuItem> Items() const;

 protected:
  void Paint(TCanvas& canvas) override;
  void PaintNC(TCanvas& canvas) override;
  void PaintBackground(TCanvas& canvas) override;  // nothing: Paint covers the whole area
  void UpdateFont() override;
};

// A tooltip window: the tooltip element as background and border, its text colour for the
// window text. Balloon tooltips (TTS_BALLOON) keep their own painting.
class TSysTooltipsStyleHook : public TSysStyleHook {
 public:
  explicit TSysTooltipsStyleHook(HWND handle);
  static constexpr DWORD TTS_BALLOON = 0x40;

 protected:
  void WndProc(TMessage& msg) override;
  void Paint(TCanvas& canvas) override;
  void PaintNC(TCanvas& canvas) override;
  void PaintBackground(TCanvas& canvas) override;  // nothing: Paint covers the whole area
  void UpdateFont() override;
};

}  // namespace vcl
