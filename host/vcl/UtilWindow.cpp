#include "host/vcl/UtilWindow.h"

namespace vcl {
namespace {

constexpr const Char* kUtilClass = u"TPUtilWindow";

bool EnsureUtilClass() {
  WNDCLASSEXW existing;
  if (GetClassInfoExW(nullptr, kUtilClass, &existing)) return true;
  WNDCLASSEXW wc;
  wc.lpfnWndProc = &DefWindowProcW;
  wc.lpszClassName = kUtilClass;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

HWND AllocateHWnd(WNDPROC proc, DWORD exStyle, HWND parent) {
  if (!proc || !EnsureUtilClass()) return nullptr;
  HWND w = CreateWindowExW(exStyle, kUtilClass, u"", WS_POPUP, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
  if (w) SetWindowLongPtrW(w, GWLP_WNDPROC, ProcToLong(proc));
  return w;
}

void DeallocateHWnd(HWND window) {
  if (window && IsWindow(window)) DestroyWindow(window);
}

}  // namespace vcl
