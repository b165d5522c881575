// Desktop composition and window composition attributes, answering from the platform facts:
// with composition off (the default) the composition functions fail as on a system without it;
// with it on they check their arguments and record per window what they were given.
#include <cstring>
#include <map>
#include <vector>

#include "host/win/PlatformFacts.h"
#include "host/win/WinInternal.h"

namespace vcl {

namespace {

struct TWindowComposition {
  MARGINS Frame;
  std::map<DWORD, std::vector<Byte>> Attributes;
  bool HasAccent = false;
  ACCENT_POLICY Accent;
};

std::map<WindowObject*, TWindowComposition>& Records() {
  static std::map<WindowObject*, TWindowComposition> r;
  return r;
}

void ForgetWindow(WindowObject* w) { Records().erase(w); }

TWindowComposition& RecordOf(WindowObject* w) {
  static const bool observing = (AddWindowFreedObserver(&ForgetWindow), true);
  (void)observing;
  return Records()[w];
}

// The size of a settable attribute's value, 0 for one that cannot be set on this version.
DWORD SettableSize(DWORD attribute) {
  const TWindowsVersion& v = EmulatedWindowsVersion();
  bool win11 = v.Major >= 10 && v.Build >= 22000;
  switch (attribute) {
    case DWMWA_NCRENDERING_POLICY:
    case DWMWA_TRANSITIONS_FORCEDISABLED: return 4;
    case DWMWA_USE_IMMERSIVE_DARK_MODE: return v.Major >= 10 ? 4 : 0;
    case DWMWA_WINDOW_CORNER_PREFERENCE:
    case DWMWA_BORDER_COLOR:
    case DWMWA_CAPTION_COLOR:
    case DWMWA_TEXT_COLOR: return win11 ? 4 : 0;
    case DWMWA_SYSTEMBACKDROP_TYPE: return win11 && v.Build >= 22621 ? 4 : 0;
    default: return 0;
  }
}

}  // namespace

HRESULT DwmIsCompositionEnabled(BOOL* enabled) {
  if (!enabled) return E_INVALIDARG;
  *enabled = DwmCompositionAvailable();
  return S_OK;
}

HRESULT DwmExtendFrameIntoClientArea(HWND hwnd, const MARGINS* margins) {
  if (!DwmCompositionAvailable()) return DWM_E_COMPOSITIONDISABLED;
  WindowObject* w = Live(hwnd);
  if (!w) return E_HANDLE;
  if (!margins) return E_INVALIDARG;
  RecordOf(w).Frame = *margins;
  return S_OK;
}

BOOL GetWindowFrameExtension(HWND hwnd, MARGINS* margins) {
  WindowObject* w = Live(hwnd);
  if (!w || !margins) return false;
  auto it = Records().find(w);
  *margins = it != Records().end() ? it->second.Frame : MARGINS{};
  return true;
}

BOOL DwmDefWindowProc(HWND, UINT, WPARAM, LPARAM, LRESULT* result) {
  if (result) *result = 0;
  return false;
}

HRESULT DwmSetWindowAttribute(HWND hwnd, DWORD attribute, const void* value, DWORD size) {
  if (!DwmCompositionAvailable()) return DWM_E_COMPOSITIONDISABLED;
  WindowObject* w = Live(hwnd);
  if (!w) return E_HANDLE;
  DWORD expected = SettableSize(attribute);
  if (!value || expected == 0 || size != expected) return E_INVALIDARG;
  const Byte* p = static_cast<const Byte*>(value);
  RecordOf(w).Attributes[attribute].assign(p, p + size);
  return S_OK;
}

HRESULT DwmGetWindowAttribute(HWND hwnd, DWORD attribute, void* value, DWORD size) {
  if (!DwmCompositionAvailable()) return DWM_E_COMPOSITIONDISABLED;
  WindowObject* w = Live(hwnd);
  if (!w) return E_HANDLE;
  if (!value) return E_INVALIDARG;
  auto answer = [&](const void* data, DWORD n) {
    if (size != n) return E_INVALIDARG;
    std::memcpy(value, data, n);
    return S_OK;
  };
  switch (attribute) {
    case DWMWA_NCRENDERING_ENABLED: {
      BOOL on = true;
      return answer(&on, sizeof on);
    }
    case DWMWA_CLOAKED: {
      DWORD none = 0;
      return answer(&none, sizeof none);
    }
    case DWMWA_EXTENDED_FRAME_BOUNDS: {
      TRect r = ScreenWindowRect(w);
      return answer(&r, sizeof r);
    }
    default: break;
  }
  if (SettableSize(attribute) == 0) return E_INVALIDARG;
  auto it = Records().find(w);
  std::vector<Byte> zero(SettableSize(attribute), 0);
  const std::vector<Byte>* stored = &zero;
  if (it != Records().end()) {
    auto a = it->second.Attributes.find(attribute);
    if (a != it->second.Attributes.end()) stored = &a->second;
  }
  return answer(stored->data(), DWORD(stored->size()));
}

BOOL SetWindowCompositionAttribute(HWND hwnd, const WINDOWCOMPOSITIONATTRIBDATA* data) {
  WindowObject* w = Live(hwnd);
  if (!w || !data || data->Attrib != WCA_ACCENT_POLICY || !data->pvData ||
      data->cbData < sizeof(ACCENT_POLICY)) {
    SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return false;
  }
  TWindowComposition& r = RecordOf(w);
  std::memcpy(&r.Accent, data->pvData, sizeof(ACCENT_POLICY));
  r.HasAccent = true;
  return true;
}

BOOL GetWindowCompositionAttribute(HWND hwnd, WINDOWCOMPOSITIONATTRIBDATA* data) {
  WindowObject* w = Live(hwnd);
  if (!w || !data || data->Attrib != WCA_ACCENT_POLICY || !data->pvData ||
      data->cbData < sizeof(ACCENT_POLICY)) {
    SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return false;
  }
  auto it = Records().find(w);
  ACCENT_POLICY accent = it != Records().end() && it->second.HasAccent ? it->second.Accent
                                                                        : ACCENT_POLICY{};
  std::memcpy(data->pvData, &accent, sizeof accent);
  return true;
}

}  // namespace vcl
