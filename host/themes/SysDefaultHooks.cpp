#include "host/themes/SysDefaultHooks.h"

#include "host/graphics/Canvas.h"
#include "host/themes/StyleFonts.h"
#include "host/themes/StyleManager.h"
#include "host/themes/StyleSwitch.h"
#include "host/win/WinUser.h"
#include "host/win/ctl/Menus.h"

namespace vcl {

namespace {

TSysPopupStyleHook::TItemSource& ItemSource() {
  static TSysPopupStyleHook::TItemSource source;
  return source;
}

TStyledMenuItem StyledItem(const TMenuWindowItem& w) {
  TStyledMenuItem s;
  s.Text = w.Text;
  s.ShortCut = w.ShortCut;
  s.Rect = w.Rect;
  s.Separator = w.Separator;
  s.Hot = w.Hot;
  s.Disabled = w.Disabled;
  s.Checked = w.Checked;
  s.RadioCheck = w.RadioCheck;
  s.HasSubMenu = w.HasSubMenu;
  s.Default = w.Default;
  s.Images = w.Images;
  s.ImageIndex = w.ImageIndex;
  return s;
}

// Whether the window has a frame of its own around the client area.
bool HasFrame(HWND h) {
  TRect wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  return wr.Width() != cr.Width() || wr.Height() != cr.Height();
}

TRect WindowArea(HWND h) {
  TRect wr;
  GetWindowRect(h, &wr);
  return TRect(0, 0, wr.Width(), wr.Height());
}

// The window's rectangle in its client coordinates.
TRect WindowInClient(HWND h) {
  TRect wr;
  GetWindowRect(h, &wr);
  TPoint o{0, 0};
  ClientToScreen(h, &o);
  return wr.Offsetted(-o.X, -o.Y);
}

}  // namespace

// ---- popup menus ------------------------------------------------------------------------------

TSysPopupStyleHook::TSysPopupStyleHook(HWND handle) : TSysStyleHook(handle) {
  SetOverridePaint(true);
  SetOverridePaintNC(true);
  SetOverrideEraseBkgnd(true);
}

void TSysPopupStyleHook::SetItemSource(TItemSource source) { ItemSource() = std::move(source); }

std::vector<TStyledMenuItem> TSysPopupStyleHook::Items() const {
  const TItemSource& source = ItemSource();
  if (source) return source(Handle());
  std::vector<TStyledMenuItem> items;
  for (const TMenuWindowItem& w : GetMenuWindowItems(Handle())) items.push_back(StyledItem(w));
  return items;
}

void TSysPopupStyleHook::UpdateFont() {
  Font()->SetHandle(StyleFontHandle(StyleServices(), sfkMenu, int(GetDpiForWindow(Handle()))));
}

void TSysPopupStyleHook::Paint(TCanvas& canvas) {
  TCustomStyleServices* s = StyleServices();
  int dpi = int(GetDpiForWindow(Handle()));
  HDC dc = canvas.Handle();
  TRect client;
  GetClientRect(Handle(), &client);
  if (HasFrame(Handle())) {
    DrawStyledMenuBackground(dc, s, client, dpi);
  } else {
    // The border is part of the client area.
    TRect inner = client;
    int b = StyledMenuBorderWidth(s, dpi);
    inner.Inflate(-b, -b);
    DrawStyledMenuBackground(dc, s, inner, dpi, &client);
  }
  HFONT font = Font()->Handle();
  std::vector<TStyledMenuItem> items = Items();
  // Items a menu window's owner draws itself get only the background here.
  std::vector<TMenuWindowItem> own = ItemSource() ? std::vector<TMenuWindowItem>{} : GetMenuWindowItems(Handle());
  for (size_t i = 0; i < items.size(); ++i) {
    if (i < own.size() && own[i].OwnerDraw) DrawMenuWindowOwnerItem(Handle(), int(i), dc);
    else DrawStyledMenuItem(dc, s, items[i], dpi, font);
  }
}

void TSysPopupStyleHook::PaintNC(TCanvas& canvas) {
  TRect window = WindowArea(Handle());
  StyleServices()->DrawElement(canvas.Handle(), GetElementDetails(tmPopupBorders), window, nullptr,
                               int(GetDpiForWindow(Handle())));
}

void TSysPopupStyleHook::PaintBackground(TCanvas&) {}

// ---- tooltips ---------------------------------------------------------------------------------

TSysTooltipsStyleHook::TSysTooltipsStyleHook(HWND handle) : TSysStyleHook(handle) {
  SetOverridePaint(true);
  SetOverridePaintNC(true);
  SetOverrideEraseBkgnd(true);
}

void TSysTooltipsStyleHook::WndProc(TMessage& msg) {
  bool balloon = (DWORD(GetWindowLongW(Handle(), GWL_STYLE)) & TTS_BALLOON) != 0;
  if (balloon && (msg.Msg == WM_PAINT || msg.Msg == WM_PRINTCLIENT || msg.Msg == WM_NCPAINT ||
                  msg.Msg == WM_ERASEBKGND))
    return;  // the system painting
  TSysStyleHook::WndProc(msg);
}

void TSysTooltipsStyleHook::UpdateFont() {
  TSysStyleHook::UpdateFont();
  if (!SendMessageW(Handle(), WM_GETFONT, 0, 0))
    Font()->SetHandle(StyleFontHandle(StyleServices(), sfkHint, int(GetDpiForWindow(Handle()))));
}

void TSysTooltipsStyleHook::Paint(TCanvas& canvas) {
  TCustomStyleServices* s = StyleServices();
  int dpi = int(GetDpiForWindow(Handle()));
  HDC dc = canvas.Handle();
  TRect client;
  GetClientRect(Handle(), &client);
  int saved = SaveDC(dc);
  SelectObject(dc, Font()->Handle());
  if (HasFrame(Handle())) {
    // The element spans the whole window, its border falling on the frame (PaintNC).
    IntersectClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    DrawStyledToolTip(dc, s, WindowInClient(Handle()), GetWindowText(Handle()), dpi);
  } else {
    DrawStyledToolTip(dc, s, client, GetWindowText(Handle()), dpi);
  }
  RestoreDC(dc, saved);
}

void TSysTooltipsStyleHook::PaintNC(TCanvas& canvas) {
  StyleServices()->DrawElement(canvas.Handle(), GetElementDetails(tttStandardNormal), WindowArea(Handle()),
                               nullptr, int(GetDpiForWindow(Handle())));
}

void TSysTooltipsStyleHook::PaintBackground(TCanvas&) {}

namespace detail {

void RegisterDefaultSysStyleHooks() {
  TStyleManager::RegisterSysStyleHook(u"#32768", SysStyleHookClass<TSysPopupStyleHook>());
  TStyleManager::RegisterSysStyleHook(u"tooltips_class32", SysStyleHookClass<TSysTooltipsStyleHook>());
}

}  // namespace detail

}  // namespace vcl
