// The desktop: monitors and DPI, layered windows, the clipboard with global memory blocks,
// the shell, beeps, and the (absent) desktop composition service.
#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_set>

#include "host/gdi/GdiDraw.h"
#include "host/win/WinInternal.h"

namespace vcl {

// ---- Monitors ------------------------------------------------------------------------------------

void RefreshMonitors() {
  WinState& s = Wm();
  std::vector<wm::PortMonitor> ms = wm::Port().Monitors();
  if (ms.empty()) ms.push_back({TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040), 96, true});
  // Handles stay valid: existing objects are updated in place, extra ones kept but unused.
  for (size_t i = 0; i < ms.size(); ++i) {
    if (i >= s.Monitors.size()) s.Monitors.push_back(std::make_unique<MonitorObject>());
    s.Monitors[i]->Info = ms[i];
    s.Monitors[i]->Index = int(i);
  }
  s.ActiveMonitors = ms.size();
  TRect all;
  for (const auto& m : ms) all = TRect::Union(all, m.Bounds);
  if (s.Desktop) s.Desktop->WindowRect = s.Desktop->ClientRect = all;
  s.MonitorsValid = true;
}

namespace {

std::vector<MonitorObject*> ActiveMonitors() {
  WinState& s = Wm();
  if (!s.MonitorsValid) RefreshMonitors();
  std::vector<MonitorObject*> r;
  for (size_t i = 0; i < s.ActiveMonitors && i < s.Monitors.size(); ++i)
    r.push_back(s.Monitors[i].get());
  return r;
}

MonitorObject* Primary() {
  auto ms = ActiveMonitors();
  for (MonitorObject* m : ms)
    if (m->Info.Primary) return m;
  return ms.empty() ? nullptr : ms.front();
}

long long Distance2(const TRect& a, const TRect& b) {
  long long dx = 0, dy = 0;
  if (a.Right <= b.Left) dx = b.Left - a.Right + 1;
  else if (b.Right <= a.Left) dx = a.Left - b.Right + 1;
  if (a.Bottom <= b.Top) dy = b.Top - a.Bottom + 1;
  else if (b.Bottom <= a.Top) dy = a.Top - b.Bottom + 1;
  return dx * dx + dy * dy;
}

}  // namespace

MonitorObject* MonitorForRect(const TRect& r0, DWORD flags) {
  TRect r = r0;
  if (r.IsEmpty()) r = TRect::FromSize(r0.Left, r0.Top, 1, 1);
  MonitorObject* best = nullptr;
  long long bestArea = 0;
  for (MonitorObject* m : ActiveMonitors()) {
    TRect i = TRect::Intersect(r, m->Info.Bounds);
    long long a = (long long)i.Width() * i.Height();
    if (a > bestArea) {
      bestArea = a;
      best = m;
    }
  }
  if (best) return best;
  if (flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTOPRIMARY) return Primary();
  long long bestD = -1;
  for (MonitorObject* m : ActiveMonitors()) {
    long long d = Distance2(r, m->Info.Bounds);
    if (bestD < 0 || d < bestD) {
      bestD = d;
      best = m;
    }
  }
  return best;
}

TRect PrimaryWorkArea() {
  MonitorObject* m = Primary();
  return m ? m->Info.Work : TRect(0, 0, 1920, 1040);
}

HMONITOR MonitorFromRect(const TRect* rect, DWORD flags) {
  if (!rect) return nullptr;
  return MonitorForRect(*rect, flags);
}

HMONITOR MonitorFromPoint(TPoint pt, DWORD flags) {
  return MonitorForRect(TRect::FromSize(pt.X, pt.Y, 1, 1), flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  WindowObject* w = Live(hwnd);
  if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : Primary();
  WindowObject* top = TopLevelOf(w);
  if (top && (top->Style & WS_MINIMIZE) && top->NormalRectValid)
    return MonitorForRect(top->NormalRect, flags);
  return MonitorForRect(ScreenWindowRect(w), flags);
}

namespace {
bool ValidMonitor(HMONITOR m) {
  for (MonitorObject* x : ActiveMonitors())
    if (x == m) return true;
  return false;
}
}  // namespace

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
  if (!info || !ValidMonitor(monitor) || info->cbSize < sizeof(MONITORINFO)) return false;
  info->rcMonitor = monitor->Info.Bounds;
  info->rcWork = monitor->Info.Work;
  info->dwFlags = monitor->Info.Primary ? MONITORINFOF_PRIMARY : 0;
  if (info->cbSize >= sizeof(MONITORINFOEXW)) {
    auto* ex = static_cast<MONITORINFOEXW*>(info);
    String name = u"\\\\.\\DISPLAY" + Utf8ToString(std::to_string(monitor->Index + 1));
    std::fill(std::begin(ex->szDevice), std::end(ex->szDevice), Char(0));
    std::copy_n(name.data(), std::min<size_t>(name.size(), CCHDEVICENAME - 1), ex->szDevice);
  }
  return true;
}

BOOL EnumDisplayMonitors(HDC, const TRect* clip, MONITORENUMPROC proc, LPARAM data) {
  if (!proc) return false;
  for (MonitorObject* m : ActiveMonitors()) {
    TRect r = m->Info.Bounds;
    if (clip) {
      r = TRect::Intersect(r, *clip);
      if (r.IsEmpty()) continue;
    }
    if (!proc(m, nullptr, &r, data)) return false;
  }
  return true;
}

HRESULT GetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE, UINT* dpiX, UINT* dpiY) {
  if (!ValidMonitor(monitor) || !dpiX || !dpiY) return E_INVALIDARG;
  *dpiX = *dpiY = UINT(monitor->Info.Dpi);
  return S_OK;
}

// ---- Beeps ----------------------------------------------------------------------------------------

void MessageBeep(UINT) {
  ++Wm().BeepCount;
  wm::Port().Beep();
}

UINT MessageBeepCount() { return Wm().BeepCount; }

// ---- Layered windows -----------------------------------------------------------------------------

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
  WindowObject* w = Live(hwnd);
  if (!w || !(w->ExStyle & WS_EX_LAYERED)) return false;
  EndLayeredUpdate(w);
  if (!Live(w)) return false;
  w->ColorKey = key & 0xFFFFFF;
  w->Alpha = alpha;
  w->LayeredFlags = flags & (LWA_ALPHA | LWA_COLORKEY);
  if (IsTopLevel(w) && w->Surface && w->Surface->Id)
    wm::Port().SetOpacity(w->Surface->Id, (flags & LWA_ALPHA) ? alpha / 255.0 : 1.0);
  return true;
}

void EndLayeredUpdate(WindowObject* w) {
  if (!w->LayeredUpdate) return;
  w->LayeredUpdate = false;
  if (w->LayeredShape) {
    cairo_region_destroy(w->LayeredShape);
    w->LayeredShape = nullptr;
  }
  ApplySurfaceShape(w);
  RedrawWindowInternal(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

namespace {

// The window-coordinate region of the pixels a layered window shows.
cairo_region_t* OpaquePixels(const std::uint32_t* px, int stride, int w, int h, bool alpha,
                             bool key, std::uint32_t keyRgb) {
  cairo_region_t* r = cairo_region_create();
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* row = px + size_t(y) * size_t(stride);
    int x = 0;
    while (x < w) {
      auto hidden = [&](std::uint32_t p) {
        return (alpha && (p >> 24) == 0) || (key && (p & 0xFFFFFF) == keyRgb);
      };
      while (x < w && hidden(row[x])) ++x;
      int start = x;
      while (x < w && !hidden(row[x])) ++x;
      if (x > start) {
        cairo_rectangle_int_t c{start, y, x - start, 1};
        cairo_region_union_rectangle(r, &c);
      }
    }
  }
  return r;
}

}  // namespace

BOOL UpdateLayeredWindow(HWND hwnd, HDC, const TPoint* pptDst, const SIZE* psize, HDC hdcSrc,
                         const TPoint* pptSrc, COLORREF crKey, const BLENDFUNCTION* pblend,
                         DWORD flags) {
  WindowObject* w = Live(hwnd);
  if (!w || !IsTopLevel(w) || !(w->ExStyle & WS_EX_LAYERED) || w->LayeredFlags) return false;
  if (flags & ~(ULW_COLORKEY | ULW_ALPHA | ULW_OPAQUE)) return false;
  if ((hdcSrc && !pptSrc) || (psize && (psize->cx < 0 || psize->cy < 0))) return false;
  WindowLock lock(w);
  TRect r = w->WindowRect;
  TPoint pos = pptDst ? *pptDst : r.TopLeft();
  TSize size = psize ? *psize : TSize{r.Width(), r.Height()};
  if (pos != r.TopLeft() || size.cx != r.Width() || size.cy != r.Height()) {
    SetWindowPosInternal(w, nullptr, pos.X, pos.Y, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!Live(w)) return false;
  }
  w->LayeredUpdate = true;
  ClearUpdates(w);  // the window shows what it is given from now on; nothing is painted
  bool useAlpha = (flags & ULW_ALPHA) && pblend;
  if (w->Surface && w->Surface->Id)
    wm::Port().SetOpacity(w->Surface->Id, useAlpha ? pblend->SourceConstantAlpha / 255.0 : 1.0);
  if (!hdcSrc) return true;

  BitmapObject* buf = w->Surface ? w->Surface->Buffer : nullptr;
  cairo_surface_t* src = hdcSrc->BeginDraw();
  if (!buf || !buf->Surface || !src) {
    if (src) hdcSrc->EndDraw();
    return false;
  }
  // The source rectangle: the window's size at pptSrc (logical coordinates of hdcSrc).
  TPoint origin = *pptSrc + hdcSrc->Offset();
  int sw = cairo_image_surface_get_width(src), sh = cairo_image_surface_get_height(src);
  int ss;
  const std::uint32_t* sp = SurfacePixels(src, ss);
  cairo_surface_flush(buf->Surface);
  int ds;
  std::uint32_t* dp = SurfacePixels(buf->Surface, ds);
  int W = std::min(buf->Width, w->WindowRect.Width()), H = std::min(buf->Height, w->WindowRect.Height());
  bool srcAlpha = useAlpha && pblend->AlphaFormat == AC_SRC_ALPHA && !(flags & ULW_OPAQUE);
  for (int y = 0; y < H; ++y) {
    std::uint32_t* d = dp + size_t(y) * size_t(ds);
    int sy = origin.Y + y;
    for (int x = 0; x < W; ++x) {
      int sx = origin.X + x;
      std::uint32_t p = (sx >= 0 && sy >= 0 && sx < sw && sy < sh) ? sp[size_t(sy) * size_t(ss) + size_t(sx)]
                                                                  : 0;
      d[x] = srcAlpha ? p : (p | 0xFF000000u);
    }
  }
  hdcSrc->EndDraw();
  cairo_surface_mark_dirty(buf->Surface);

  bool keyed = (flags & ULW_COLORKEY) != 0;
  if (w->LayeredShape) cairo_region_destroy(w->LayeredShape);
  w->LayeredShape = nullptr;
  if (srcAlpha || keyed) {
    std::uint32_t keyRgb = (DWORD(GetRValue(crKey)) << 16) | (DWORD(GetGValue(crKey)) << 8) | GetBValue(crKey);
    w->LayeredShape = OpaquePixels(dp, ds, W, H, srcAlpha, keyed, keyRgb);
    cairo_rectangle_int_t all{0, 0, W, H};
    if (cairo_region_contains_rectangle(w->LayeredShape, &all) == CAIRO_REGION_OVERLAP_IN) {
      cairo_region_destroy(w->LayeredShape);
      w->LayeredShape = nullptr;
    }
  }
  ApplySurfaceShape(w);
  ExposeSurface(w, TRect(0, 0, W, H));
  return true;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  WindowObject* w = Live(hwnd);
  if (!w || !(w->ExStyle & WS_EX_LAYERED) || !w->LayeredFlags) return false;
  if (key) *key = w->ColorKey;
  if (alpha) *alpha = w->Alpha;
  if (flags) *flags = w->LayeredFlags;
  return true;
}

// ---- Global memory ---------------------------------------------------------------------------------

namespace {

struct GlobalBlock {
  std::vector<BYTE> Data;
  int Locks = 0;
};

std::unordered_set<void*>& Blocks() {
  static auto* s = new std::unordered_set<void*>;
  return *s;
}

GlobalBlock* AsBlock(HGLOBAL h) {
  return (h && Blocks().count(h)) ? static_cast<GlobalBlock*>(h) : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
  if (bytes > (std::size_t(1) << 31)) return nullptr;
  auto* b = new GlobalBlock;
  b->Data.assign(bytes, 0);
  Blocks().insert(b);
  return b;
}

void* GlobalLock(HGLOBAL mem) {
  GlobalBlock* b = AsBlock(mem);
  if (!b) return nullptr;
  ++b->Locks;
  return b->Data.empty() ? static_cast<void*>(b) : b->Data.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  GlobalBlock* b = AsBlock(mem);
  if (!b || b->Locks == 0) return false;
  return --b->Locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  GlobalBlock* b = AsBlock(mem);
  if (!b) return mem;
  Blocks().erase(mem);
  delete b;
  return nullptr;
}

std::size_t GlobalSize(HGLOBAL mem) {
  GlobalBlock* b = AsBlock(mem);
  return b ? b->Data.size() : 0;
}

// ---- Clipboard ----------------------------------------------------------------------------------------

namespace {

struct ClipboardState {
  bool Open = false;
  HWND OpenWindow = nullptr;
  HWND Owner = nullptr;
  std::map<UINT, HGLOBAL> Data;
  bool Changed = false;
};

ClipboardState& Clip() {
  static ClipboardState c;
  return c;
}

void ClearData() {
  for (auto& [fmt, h] : Clip().Data) GlobalFree(h);
  Clip().Data.clear();
}

HGLOBAL TextBlock(const String& text) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(Char));
  auto* p = static_cast<Char*>(GlobalLock(h));
  std::copy(text.begin(), text.end(), p);
  p[text.size()] = 0;
  GlobalUnlock(h);
  return h;
}

HGLOBAL AnsiBlock(const String& text) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  auto* p = static_cast<char*>(GlobalLock(h));
  for (size_t i = 0; i < text.size(); ++i) p[i] = text[i] < 0x100 ? char(text[i]) : '?';
  p[text.size()] = 0;
  GlobalUnlock(h);
  return h;
}

// The text held in a block of a text format, up to its terminator or its end.
String BlockText(UINT fmt, HGLOBAL h) {
  GlobalBlock* b = AsBlock(h);
  if (!b) return {};
  String r;
  if (fmt == CF_UNICODETEXT) {
    size_t n = b->Data.size() / sizeof(Char);
    const auto* p = reinterpret_cast<const Char*>(b->Data.data());
    for (size_t i = 0; i < n && p[i]; ++i) r.push_back(p[i]);
  } else {
    for (BYTE c : b->Data) {
      if (!c) break;
      r.push_back(Char(c));
    }
  }
  return r;
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
  ClipboardState& c = Clip();
  if (c.Open) return false;
  if (owner && !Live(owner)) return false;
  c.Open = true;
  c.OpenWindow = owner;
  c.Changed = false;
  return true;
}

BOOL EmptyClipboard() {
  ClipboardState& c = Clip();
  if (!c.Open) return false;
  ClearData();
  c.Owner = c.OpenWindow;
  c.Changed = true;
  return true;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  ClipboardState& c = Clip();
  if (!c.Open || !AsBlock(data)) return nullptr;
  auto it = c.Data.find(format);
  if (it != c.Data.end() && it->second != data) GlobalFree(it->second);
  c.Data[format] = data;
  c.Changed = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipboardState& c = Clip();
  if (!c.Open) return nullptr;
  auto it = c.Data.find(format);
  if (it != c.Data.end()) return it->second;
  if (format != CF_UNICODETEXT && format != CF_TEXT && format != CF_OEMTEXT) return nullptr;
  // Our own text in the other text format, else the desktop's clipboard.
  String text;
  bool have = false;
  for (UINT f : {UINT(CF_UNICODETEXT), UINT(CF_TEXT), UINT(CF_OEMTEXT)}) {
    auto j = c.Data.find(f);
    if (j != c.Data.end()) {
      text = BlockText(f, j->second);
      have = true;
      break;
    }
  }
  if (!have && !c.Changed && wm::Port().HasClipboardText()) {
    text = wm::Port().ClipboardText();
    have = true;
  }
  if (!have) return nullptr;
  HGLOBAL h = format == CF_UNICODETEXT ? TextBlock(text) : AnsiBlock(text);
  c.Data[format] = h;
  return h;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  ClipboardState& c = Clip();
  if (c.Data.count(format)) return true;
  bool text = format == CF_UNICODETEXT || format == CF_TEXT || format == CF_OEMTEXT;
  if (!text) return false;
  for (UINT f : {UINT(CF_UNICODETEXT), UINT(CF_TEXT), UINT(CF_OEMTEXT)})
    if (c.Data.count(f)) return true;
  return wm::Port().HasClipboardText();
}

BOOL CloseClipboard() {
  ClipboardState& c = Clip();
  if (!c.Open) return false;
  if (c.Changed) {
    String text;
    bool have = false;
    for (UINT f : {UINT(CF_UNICODETEXT), UINT(CF_TEXT), UINT(CF_OEMTEXT)}) {
      auto j = c.Data.find(f);
      if (j != c.Data.end()) {
        text = BlockText(f, j->second);
        have = true;
        break;
      }
    }
    if (have) wm::Port().SetClipboardText(text);
  }
  // The desktop's clipboard holds the text from now on; it is read afresh next time.
  ClearData();
  c.Open = false;
  c.OpenWindow = nullptr;
  c.Changed = false;
  return true;
}

HWND GetClipboardOwner() { return Live(Clip().Owner); }
HWND GetOpenClipboardWindow() { return Clip().Open ? Live(Clip().OpenWindow) : nullptr; }

// ---- Shell -------------------------------------------------------------------------------------------

HINSTANCE ShellExecuteW(HWND, const Char* verb, const Char* file, const Char*, const Char*, int) {
  auto result = [](std::intptr_t v) { return reinterpret_cast<HINSTANCE>(v); };
  if (verb && *verb) {
    String v(verb);
    for (Char& c : v)
      if (c >= u'A' && c <= u'Z') c = Char(c + 32);
    if (v != u"open") return result(SE_ERR_NOASSOC);
  }
  if (!file || !*file) return result(SE_ERR_FNF);
  return wm::Port().OpenUrl(String(file)) ? result(42) : result(SE_ERR_NOASSOC);
}

}  // namespace vcl
