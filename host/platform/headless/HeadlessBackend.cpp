#include "host/platform/headless/HeadlessBackend.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "host/platform/VirtualKeys.h"

namespace vcl::platform {

namespace {

std::string Num(long long v) { return std::to_string(v); }

void CopyRows(cairo_surface_t* from, cairo_surface_t* to, const Rect& r) {
  const unsigned char* src = cairo_image_surface_get_data(from);
  unsigned char* dst = cairo_image_surface_get_data(to);
  int ss = cairo_image_surface_get_stride(from), ds = cairo_image_surface_get_stride(to);
  size_t bytes = size_t(r.Width()) * 4;
  for (int y = r.Top; y < r.Bottom; ++y)
    std::memcpy(dst + size_t(y) * ds + size_t(r.Left) * 4, src + size_t(y) * ss + size_t(r.Left) * 4,
                bytes);
}

Rect SurfaceRect(cairo_surface_t* s) {
  return {0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
}

void WritePng(cairo_surface_t* s, const std::string& path) {
  cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
  if (st != CAIRO_STATUS_SUCCESS)
    throw EPlatformError("cannot write PNG file '" + path + "': " + cairo_status_to_string(st));
}

}  // namespace

// The presented contents: an opaque copy of the back buffer areas passed to Present.
struct HeadlessBackend::HSurface : CommonBackend::Surface {
  ~HSurface() override {
    if (Front) cairo_surface_destroy(Front);
  }
  cairo_surface_t* Front = nullptr;  // RGB24; nullptr until the first present
};

HeadlessBackend::HeadlessBackend() {
  MonitorInfo m;
  m.Bounds = {0, 0, 1920, 1080};
  m.WorkArea = {0, 0, 1920, 1040};
  m.Dpi = 96;
  m.Primary = true;
  m.Name = "Headless 1";
  FMonitors.push_back(m);
}

HeadlessBackend::~HeadlessBackend() { DestroyAllSurfaces(); }

bool HeadlessBackend::WaitEvent(Event& e, int timeoutMs) {
  if (PollEvent(e)) return true;
  if (FWoken.exchange(false)) return false;
  if (timeoutMs > 0) FClock += std::uint64_t(timeoutMs);
  return false;
}

void HeadlessBackend::SetMonitors(std::vector<MonitorInfo> monitors) {
  if (monitors.empty()) throw EPlatformError("SetMonitors: at least one monitor is required");
  int primaries = 0;
  for (size_t i = 0; i < monitors.size(); ++i) {
    const MonitorInfo& m = monitors[i];
    std::string which = "SetMonitors: monitor " + Num(long(i));
    if (m.Bounds.IsEmpty()) throw EPlatformError(which + " has empty bounds");
    if (m.WorkArea.IsEmpty() || !m.Bounds.Contains(m.WorkArea))
      throw EPlatformError(which + ": the work area must be a non-empty part of the bounds");
    if (m.Dpi < 48 || m.Dpi > 960)
      throw EPlatformError(which + ": invalid DPI " + Num(m.Dpi) + " (expected 48..960)");
    primaries += m.Primary;
  }
  if (primaries > 1) throw EPlatformError("SetMonitors: more than one primary monitor");
  if (primaries == 0) monitors.front().Primary = true;
  FMonitors = std::move(monitors);
  Event e;
  e.Type = EventType::DisplayChanged;
  e.Time = FClock;
  Queue(std::move(e));
}

// ---- Surfaces and z-order --------------------------------------------------------------------

std::unique_ptr<CommonBackend::Surface> HeadlessBackend::SysCreate(SurfaceId id,
                                                                   const SurfaceParams& params) {
  // New surfaces start at the top of their band.
  size_t pos = BandTop(params.Topmost);
  FZ.insert(FZ.begin() + std::ptrdiff_t(pos), id);
  return std::make_unique<HSurface>();
}

void HeadlessBackend::SysDestroy(Surface& s) {
  std::erase(FZ, s.Id);
  if (FLastFocus == s.Id) FLastFocus = NoSurface;
}

size_t HeadlessBackend::BandTop(bool topmost) const {
  if (topmost) return FZ.size();
  size_t n = 0;
  for (SurfaceId id : FZ) {
    Surface* s = Find(id);
    if (s && s->Topmost) break;
    ++n;
  }
  return n;
}

void HeadlessBackend::Restack(SurfaceId id, size_t pos) {
  FZ.insert(FZ.begin() + std::ptrdiff_t(std::min(pos, FZ.size())), id);
}

void HeadlessBackend::SysRaise(Surface& s) {
  std::erase(FZ, s.Id);
  Restack(s.Id, BandTop(s.Topmost));
}

void HeadlessBackend::SysPlaceBelow(Surface& s, Surface& above) {
  std::erase(FZ, s.Id);
  // Across bands the boundary is as close as it gets: the bottom of the topmost band, or the
  // top of the normal band (which is already below every topmost surface).
  size_t pos = s.Topmost == above.Topmost
                   ? size_t(std::find(FZ.begin(), FZ.end(), above.Id) - FZ.begin())
                   : BandTop(false);
  Restack(s.Id, pos);
}

void HeadlessBackend::SysSetTopmost(Surface& s) { SysRaise(s); }

void HeadlessBackend::SysShow(Surface& s) { SysRaise(s); }

void HeadlessBackend::SysActivate(Surface& s) {
  SysRaise(s);
  FLastFocus = s.Id;
}

void HeadlessBackend::SysPresent(Surface& base, std::span<const Rect> rects) {
  auto& s = static_cast<HSurface&>(base);
  int w = s.Bounds.Width(), h = s.Bounds.Height();
  if (!s.Front || cairo_image_surface_get_width(s.Front) != w ||
      cairo_image_surface_get_height(s.Front) != h) {
    cairo_surface_t* fresh = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(fresh) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(fresh);
      throw EPlatformError("Present: cannot allocate the presented copy of surface " +
                           Num(s.Id));
    }
    if (s.Front) {
      cairo_surface_flush(s.Front);
      CopyRows(s.Front, fresh, SurfaceRect(s.Front).Intersect(SurfaceRect(fresh)));
      cairo_surface_destroy(s.Front);
    }
    s.Front = fresh;
  }
  cairo_surface_flush(s.Front);
  for (const Rect& r : rects) CopyRows(s.Back, s.Front, r);
  cairo_surface_mark_dirty(s.Front);
}

std::vector<SurfaceId> HeadlessBackend::ZOrder() const { return {FZ.rbegin(), FZ.rend()}; }

SurfaceId HeadlessBackend::SurfaceAt(int x, int y) const {
  for (auto it = FZ.rbegin(); it != FZ.rend(); ++it) {
    Surface* s = Find(*it);
    if (s && s->Visible && s->Bounds.Contains(x, y) &&
        s->InShape(x - s->Bounds.Left, y - s->Bounds.Top))
      return *it;
  }
  return NoSurface;
}

// ---- Input injection -------------------------------------------------------------------------

void HeadlessBackend::InjectMouseMove(int x, int y) {
  DeliverMouseMove(SurfaceAt(x, y), {x, y}, FClock);
}

void HeadlessBackend::InjectMouseButton(MouseButton b, bool down) {
  if (unsigned(b) > unsigned(MouseButton::X2))
    throw EPlatformError("InjectMouseButton: invalid button " + Num(int(b)));
  Point p = CursorPos();
  DeliverMouseButton(SurfaceAt(p.X, p.Y), p, b, down, FClock);
}

void HeadlessBackend::InjectClick(int x, int y, MouseButton b) {
  InjectMouseMove(x, y);
  InjectMouseButton(b, true);
  InjectMouseButton(b, false);
}

void HeadlessBackend::InjectWheel(int delta, bool horizontal) {
  Point p = CursorPos();
  DeliverWheel(SurfaceAt(p.X, p.Y), p, horizontal ? 0 : delta, horizontal ? delta : 0, FClock);
}

void HeadlessBackend::InjectKey(std::uint16_t vk, bool down) {
  if (vk == 0 || vk > 0xFE || vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON ||
      vk == VK_XBUTTON1 || vk == VK_XBUTTON2)
    throw EPlatformError("InjectKey: invalid virtual-key code " + Num(vk));
  DeliverKey(vk, VkToScanCode(vk), down, FClock);
}

void HeadlessBackend::InjectText(const std::string& utf8) { DeliverText(utf8, FClock); }

void HeadlessBackend::InjectComposition(const std::string& utf8) { DeliverComposition(utf8, FClock); }

void HeadlessBackend::InjectFocus(bool gained) {
  if (!gained) {
    if (FocusSurface()) FLastFocus = FocusSurface();
    DeliverFocus(NoSurface, FClock);
    return;
  }
  auto eligible = [this](SurfaceId id) {
    Surface* s = Find(id);
    return s && s->Visible && s->Kind == SurfaceKind::Normal;
  };
  SurfaceId target = eligible(FLastFocus) ? FLastFocus : NoSurface;
  for (auto it = FZ.rbegin(); !target && it != FZ.rend(); ++it)
    if (eligible(*it)) target = *it;
  if (target) DeliverFocus(target, FClock);
}

void HeadlessBackend::InjectClose(SurfaceId s) {
  Get(s, "InjectClose");
  Event e;
  e.Type = EventType::Close;
  e.Surface = s;
  e.Time = FClock;
  Queue(std::move(e));
}

void HeadlessBackend::InjectExpose(SurfaceId s) {
  Surface& surf = Get(s, "InjectExpose");
  Event e;
  e.Type = EventType::Expose;
  e.Surface = s;
  e.Time = FClock;
  e.Bounds = {0, 0, surf.Bounds.Width(), surf.Bounds.Height()};
  Queue(std::move(e));
}

void HeadlessBackend::InjectQuit() {
  Event e;
  e.Type = EventType::Quit;
  e.Time = FClock;
  Queue(std::move(e));
}

void HeadlessBackend::InjectSystemBounds(SurfaceId s, const Rect& r) {
  Get(s, "InjectSystemBounds");
  if (r.Width() < 0 || r.Height() < 0)
    throw EPlatformError("InjectSystemBounds: negative size " + Num(r.Width()) + "x" +
                         Num(r.Height()));
  DeliverSystemBounds(s, r, FClock);
}

// ---- Capture ---------------------------------------------------------------------------------

PixelBuffer HeadlessBackend::CaptureSurface(SurfaceId id) const {
  Surface& s = Get(id, "CaptureSurface");
  cairo_surface_flush(s.Back);
  PixelBuffer pb;
  pb.Left = s.Bounds.Left;
  pb.Top = s.Bounds.Top;
  pb.Width = cairo_image_surface_get_width(s.Back);
  pb.Height = cairo_image_surface_get_height(s.Back);
  pb.Pixels.resize(size_t(pb.Width) * size_t(pb.Height));
  const unsigned char* data = cairo_image_surface_get_data(s.Back);
  int stride = cairo_image_surface_get_stride(s.Back);
  for (int y = 0; y < pb.Height; ++y)
    std::memcpy(pb.Pixels.data() + size_t(y) * size_t(pb.Width), data + size_t(y) * stride,
                size_t(pb.Width) * 4);
  return pb;
}

Rect HeadlessBackend::VirtualScreen() const {
  Rect screen = FMonitors.front().Bounds;
  for (const MonitorInfo& m : FMonitors) {
    screen.Left = std::min(screen.Left, m.Bounds.Left);
    screen.Top = std::min(screen.Top, m.Bounds.Top);
    screen.Right = std::max(screen.Right, m.Bounds.Right);
    screen.Bottom = std::max(screen.Bottom, m.Bounds.Bottom);
  }
  return screen;
}

cairo_surface_t* HeadlessBackend::ComposeScreen() const {
  Rect screen = VirtualScreen();
  cairo_surface_t* out =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, screen.Width(), screen.Height());
  if (cairo_surface_status(out) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(out);
    throw EPlatformError("CaptureScreen: cannot allocate a " + Num(screen.Width()) + "x" +
                         Num(screen.Height()) + " image");
  }
  cairo_t* cr = cairo_create(out);
  cairo_set_source_rgb(cr, ((FDesktop >> 16) & 0xFF) / 255.0, ((FDesktop >> 8) & 0xFF) / 255.0,
                       (FDesktop & 0xFF) / 255.0);
  cairo_paint(cr);
  for (SurfaceId id : FZ) {
    auto* s = static_cast<HSurface*>(Find(id));
    if (!s || !s->Visible || s->Bounds.IsEmpty() || s->Opacity == 0) continue;
    Rect r = s->Bounds.Offset(-screen.Left, -screen.Top);
    cairo_save(cr);
    cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
    cairo_clip(cr);
    if (s->IsShaped) {
      for (const Rect& part : s->Shape)
        cairo_rectangle(cr, r.Left + part.Left, r.Top + part.Top, part.Width(), part.Height());
      cairo_clip(cr);  // an empty shape leaves an empty clip
    }
    if (s->Front)
      cairo_set_source_surface(cr, s->Front, r.Left, r.Top);
    else
      cairo_set_source_rgb(cr, 0, 0, 0);  // mapped but never presented
    if (s->Opacity == 255)
      cairo_paint(cr);
    else
      cairo_paint_with_alpha(cr, s->Opacity / 255.0);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  cairo_surface_flush(out);
  return out;
}

PixelBuffer HeadlessBackend::CaptureScreen() const {
  cairo_surface_t* img = ComposeScreen();
  PixelBuffer pb;
  pb.Left = VirtualScreen().Left;
  pb.Top = VirtualScreen().Top;
  pb.Width = cairo_image_surface_get_width(img);
  pb.Height = cairo_image_surface_get_height(img);
  pb.Pixels.resize(size_t(pb.Width) * size_t(pb.Height));
  const unsigned char* data = cairo_image_surface_get_data(img);
  int stride = cairo_image_surface_get_stride(img);
  for (int y = 0; y < pb.Height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + size_t(y) * stride);
    std::uint32_t* out = pb.Pixels.data() + size_t(y) * size_t(pb.Width);
    for (int x = 0; x < pb.Width; ++x) out[x] = row[x] | 0xFF000000u;
  }
  cairo_surface_destroy(img);
  return pb;
}

void HeadlessBackend::SaveSurfacePng(SurfaceId id, const std::string& path) const {
  Surface& s = Get(id, "SaveSurfacePng");
  if (s.Bounds.IsEmpty())
    throw EPlatformError("SaveSurfacePng: surface " + Num(id) + " is empty; cannot write '" +
                         path + "'");
  cairo_surface_flush(s.Back);
  // The same pixels read as opaque: what the surface shows.
  cairo_surface_t* view = cairo_image_surface_create_for_data(
      cairo_image_surface_get_data(s.Back), CAIRO_FORMAT_RGB24,
      cairo_image_surface_get_width(s.Back), cairo_image_surface_get_height(s.Back),
      cairo_image_surface_get_stride(s.Back));
  try {
    WritePng(view, path);
  } catch (...) {
    cairo_surface_destroy(view);
    throw;
  }
  cairo_surface_destroy(view);
}

void HeadlessBackend::SaveScreenPng(const std::string& path) const {
  cairo_surface_t* img = ComposeScreen();
  try {
    WritePng(img, path);
  } catch (...) {
    cairo_surface_destroy(img);
    throw;
  }
  cairo_surface_destroy(img);
}

// ---- Clipboard, shell ------------------------------------------------------------------------

void HeadlessBackend::SetClipboardText(const std::string& utf8) {
  FClipboard = utf8;
  FHasClipboard = true;
}

bool HeadlessBackend::OpenUrl(const std::string& url) {
  if (!IsAcceptableUrl(url)) return false;
  FUrls.push_back(url);
  return true;
}

}  // namespace vcl::platform
