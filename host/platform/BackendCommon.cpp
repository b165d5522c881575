#include "host/platform/BackendCommon.h"

#include <cairo.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "host/platform/VirtualKeys.h"

namespace vcl::platform {

namespace {

constexpr int MaxSurfaceSize = 32767;

std::string Num(long long v) { return std::to_string(v); }

void CheckBounds(const Rect& r, const char* call) {
  if (r.Width() < 0 || r.Height() < 0 || r.Width() > MaxSurfaceSize ||
      r.Height() > MaxSurfaceSize)
    throw EPlatformError(std::string(call) + ": invalid surface size " + Num(r.Width()) + "x" +
                         Num(r.Height()) + " (each side must be 0.." + Num(MaxSurfaceSize) +
                         ")");
}

cairo_surface_t* NewBackBuffer(int w, int h) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    std::string why = cairo_status_to_string(cairo_surface_status(s));
    cairo_surface_destroy(s);
    throw EPlatformError("cannot allocate a " + Num(w) + "x" + Num(h) + " back buffer: " + why);
  }
  return s;
}

std::uint16_t ButtonVk(MouseButton b) {
  switch (b) {
    case MouseButton::Left: return VK_LBUTTON;
    case MouseButton::Right: return VK_RBUTTON;
    case MouseButton::Middle: return VK_MBUTTON;
    case MouseButton::X1: return VK_XBUTTON1;
    case MouseButton::X2: return VK_XBUTTON2;
  }
  return 0;
}

// The side-specific code of a modifier key reported by its generic code.
std::uint16_t SidedVk(std::uint16_t vk, KeyScanCode scan) {
  switch (vk) {
    case VK_SHIFT: return scan.Scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return scan.Extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return scan.Extended ? VK_RMENU : VK_LMENU;
    default: return vk;
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

}  // namespace

// ---- Small helpers ---------------------------------------------------------------------------

int ClickTracker::Press(SurfaceId target, MouseButton b, Point screen, std::uint64_t time,
                        unsigned doubleClickTime) {
  bool repeat = FCount > 0 && target == FTarget && b == FButton && time >= FTime &&
                time - FTime <= doubleClickTime &&
                std::abs(screen.X - FPos.X) <= DoubleClickWidth / 2 &&
                std::abs(screen.Y - FPos.Y) <= DoubleClickHeight / 2;
  FCount = repeat ? FCount + 1 : 1;
  FTarget = target;
  FButton = b;
  FPos = screen;
  FTime = time;
  return FCount;
}

int WheelAccumulator::Add(int fineDelta) {
  constexpr int Limit = WheelDelta * 10000;
  FRest += std::clamp(fineDelta, -Limit, Limit);
  int notches = FRest / WheelDelta;  // towards zero: the remainder keeps its sign
  FRest -= notches * WheelDelta;
  return notches * WheelDelta;
}

int DpiOverride() {
  const char* v = std::getenv("KX_DPI");
  if (!v || !*v) return 0;
  int dpi = 0;
  const char* end = v + std::strlen(v);
  auto [p, ec] = std::from_chars(v, end, dpi);
  if (ec != std::errc() || p != end || dpi < 48 || dpi > 960)
    throw EPlatformError(std::string("KX_DPI: invalid value \"") + v +
                         "\" (expected an integer 48..960, e.g. 144)");
  return dpi;
}

bool IsAcceptableUrl(const std::string& url) {
  if (url.empty() || url.front() == '-') return false;
  return std::none_of(url.begin(), url.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
}

void Backend::Present(SurfaceId s) {
  Rect b = Bounds(s);
  Rect all{0, 0, b.Width(), b.Height()};
  Present(s, std::span<const Rect>(&all, 1));
}

// ---- CommonBackend: surfaces -----------------------------------------------------------------

CommonBackend::Surface::~Surface() {
  if (Back) cairo_surface_destroy(Back);
}

bool CommonBackend::Surface::InShape(int x, int y) const {
  return !IsShaped || std::any_of(Shape.begin(), Shape.end(),
                                  [x, y](const Rect& r) { return r.Contains(x, y); });
}

CommonBackend::CommonBackend() = default;
CommonBackend::~CommonBackend() = default;

void CommonBackend::DestroyAllSurfaces() {
  while (!FSurfaces.empty()) DestroySurface(FSurfaces.rbegin()->first);
}

CommonBackend::Surface* CommonBackend::Find(SurfaceId s) const {
  auto it = FSurfaces.find(s);
  return it == FSurfaces.end() ? nullptr : it->second.get();
}

CommonBackend::Surface& CommonBackend::Get(SurfaceId s, const char* call) const {
  Surface* p = Find(s);
  if (!p) throw EPlatformError(std::string(call) + ": no surface with id " + Num(s));
  return *p;
}

SurfaceId CommonBackend::CreateSurface(const SurfaceParams& params) {
  CheckBounds(params.Bounds, "CreateSurface");
  if (params.Kind != SurfaceKind::Normal && params.Kind != SurfaceKind::Popup &&
      params.Kind != SurfaceKind::Tooltip)
    throw EPlatformError("CreateSurface: invalid surface kind " + Num(int(params.Kind)));
  if (params.Owner != NoSurface) Get(params.Owner, "CreateSurface (owner)");
  SurfaceId id = FNextId;
  cairo_surface_t* back = NewBackBuffer(params.Bounds.Width(), params.Bounds.Height());
  std::unique_ptr<Surface> s;
  try {
    s = SysCreate(id, params);
  } catch (...) {
    cairo_surface_destroy(back);
    throw;
  }
  ++FNextId;
  s->Id = id;
  s->Kind = params.Kind;
  s->Owner = params.Owner;
  s->Bounds = params.Bounds;
  s->Title = params.Title;
  s->Topmost = params.Topmost;
  s->Opacity = params.Opacity;
  s->Back = back;
  FSurfaces.emplace(id, std::move(s));
  return id;
}

void CommonBackend::ForgetSurface(SurfaceId s) {
  if (FFocus == s) FFocus = NoSurface;
  if (FCapture == s) {
    FCapture = NoSurface;
    SysSetCapture(nullptr);
  }
  if (FPressTarget == s) FPressTarget = NoSurface;
  if (FHover == s) FHover = NoSurface;
  if (FMouseSurface == s) FMouseSurface = NoSurface;
}

void CommonBackend::DestroySurface(SurfaceId id) {
  Surface& s = Get(id, "DestroySurface");
  ForgetSurface(id);
  std::erase_if(FQueue, [id](const Event& e) { return e.Surface == id; });
  for (auto& [_, other] : FSurfaces)
    if (other->Owner == id) other->Owner = NoSurface;
  SysDestroy(s);
  FSurfaces.erase(id);
  UpdateCursor();
}

bool CommonBackend::SurfaceExists(SurfaceId s) const { return Find(s) != nullptr; }
SurfaceKind CommonBackend::Kind(SurfaceId s) const { return Get(s, "Kind").Kind; }
Rect CommonBackend::Bounds(SurfaceId s) const { return Get(s, "Bounds").Bounds; }
bool CommonBackend::Visible(SurfaceId s) const { return Get(s, "Visible").Visible; }
bool CommonBackend::Topmost(SurfaceId s) const { return Get(s, "Topmost").Topmost; }
std::uint8_t CommonBackend::Opacity(SurfaceId s) const { return Get(s, "Opacity").Opacity; }
std::string CommonBackend::Title(SurfaceId s) const { return Get(s, "Title").Title; }
CursorShape CommonBackend::Cursor(SurfaceId s) const { return Get(s, "Cursor").Cursor; }
cairo_surface_t* CommonBackend::BackBuffer(SurfaceId s) { return Get(s, "BackBuffer").Back; }

void CommonBackend::ResizeBackBuffer(Surface& s, int w, int h) {
  cairo_surface_t* fresh = NewBackBuffer(w, h);
  cairo_surface_t* old = s.Back;
  cairo_surface_flush(old);
  int cw = std::min(w, cairo_image_surface_get_width(old));
  int ch = std::min(h, cairo_image_surface_get_height(old));
  if (cw > 0 && ch > 0) {
    const unsigned char* src = cairo_image_surface_get_data(old);
    unsigned char* dst = cairo_image_surface_get_data(fresh);
    int ss = cairo_image_surface_get_stride(old), ds = cairo_image_surface_get_stride(fresh);
    for (int y = 0; y < ch; ++y) std::memcpy(dst + y * ds, src + y * ss, size_t(cw) * 4);
    cairo_surface_mark_dirty(fresh);
  }
  s.Back = fresh;
  cairo_surface_destroy(old);
}

void CommonBackend::SetBounds(SurfaceId id, const Rect& r) {
  Surface& s = Get(id, "SetBounds");
  CheckBounds(r, "SetBounds");
  if (r == s.Bounds) return;
  Rect old = s.Bounds;
  bool sizeChanged = r.Width() != old.Width() || r.Height() != old.Height();
  if (sizeChanged) ResizeBackBuffer(s, r.Width(), r.Height());
  s.Bounds = r;
  SysSetBounds(s, old, sizeChanged);
}

void CommonBackend::Show(SurfaceId id) {
  Surface& s = Get(id, "Show");
  if (s.Visible) return;
  s.Visible = true;
  SysShow(s);
}

void CommonBackend::Hide(SurfaceId id) {
  Surface& s = Get(id, "Hide");
  if (!s.Visible) return;
  s.Visible = false;
  if (FFocus == id) FFocus = NoSurface;
  if (FMouseSurface == id) FMouseSurface = NoSurface;
  SysHide(s);
  UpdateCursor();
}

void CommonBackend::Raise(SurfaceId id) { SysRaise(Get(id, "Raise")); }

void CommonBackend::PlaceBelow(SurfaceId id, SurfaceId above) {
  Surface& s = Get(id, "PlaceBelow");
  Surface& a = Get(above, "PlaceBelow (above)");
  if (&s != &a) SysPlaceBelow(s, a);
}

void CommonBackend::SetTopmost(SurfaceId id, bool topmost) {
  Surface& s = Get(id, "SetTopmost");
  if (s.Topmost == topmost) return;
  s.Topmost = topmost;
  SysSetTopmost(s);
}

void CommonBackend::SetOpacity(SurfaceId id, std::uint8_t opacity) {
  Surface& s = Get(id, "SetOpacity");
  if (s.Opacity == opacity) return;
  s.Opacity = opacity;
  SysSetOpacity(s);
}

void CommonBackend::SetTitle(SurfaceId id, const std::string& utf8) {
  Surface& s = Get(id, "SetTitle");
  if (s.Title == utf8) return;
  s.Title = utf8;
  SysSetTitle(s);
}

void CommonBackend::SetShape(SurfaceId id, std::span<const Rect> rects) {
  Surface& s = Get(id, "SetShape");
  s.IsShaped = true;
  s.Shape.clear();
  for (const Rect& r : rects)
    if (!r.IsEmpty()) s.Shape.push_back(r);
  SysSetShape(s);
}

void CommonBackend::ResetShape(SurfaceId id) {
  Surface& s = Get(id, "ResetShape");
  if (!s.IsShaped) return;
  s.IsShaped = false;
  s.Shape.clear();
  SysSetShape(s);
}

bool CommonBackend::Shaped(SurfaceId s) const { return Get(s, "Shaped").IsShaped; }

void CommonBackend::SetCursor(SurfaceId id, CursorShape shape) {
  if (unsigned(shape) > unsigned(CursorShape::None))
    throw EPlatformError("SetCursor: invalid cursor shape " + Num(int(shape)));
  Get(id, "SetCursor").Cursor = shape;
  UpdateCursor();
}

void CommonBackend::Activate(SurfaceId id) {
  Surface& s = Get(id, "Activate");
  if (s.Kind != SurfaceKind::Normal)
    throw EPlatformError("Activate: surface " + Num(id) +
                         " is a popup or tooltip surface, which never takes the focus");
  SysActivate(s);
  DeliverFocus(id, TickCount());
}

void CommonBackend::Present(SurfaceId id, std::span<const Rect> dirty) {
  Surface& s = Get(id, "Present");
  Rect all{0, 0, s.Bounds.Width(), s.Bounds.Height()};
  // A handful of rectangles is the usual case; keep them on the stack.
  constexpr size_t Inline = 16;
  Rect local[Inline];
  std::vector<Rect> many;
  Rect* out = local;
  if (dirty.size() > Inline) {
    many.resize(dirty.size());
    out = many.data();
  }
  size_t n = 0;
  for (const Rect& r : dirty) {
    Rect c = r.Intersect(all);
    if (!c.IsEmpty()) out[n++] = c;
  }
  if (n == 0) return;
  cairo_surface_flush(s.Back);
  SysPresent(s, std::span<const Rect>(out, n));
}

// ---- Pointer ---------------------------------------------------------------------------------

SurfaceId CommonBackend::PointerTarget(SurfaceId hit) const {
  if (FCapture) return FCapture;
  if (FButtons && FPressTarget) return FPressTarget;
  return hit;
}

CursorShape CommonBackend::CurrentCursor() const {
  SurfaceId id = PointerTarget(FMouseSurface);
  Surface* s = Find(id);
  return s ? s->Cursor : CursorShape::Arrow;
}

void CommonBackend::UpdateCursor() {
  CursorShape shape = CurrentCursor();
  if (shape == FAppliedCursor) return;
  FAppliedCursor = shape;
  SysApplyCursor(shape);
}

void CommonBackend::UpdateHover(SurfaceId target, std::uint64_t time) {
  if (FHover == target) return;
  if (FHover && Find(FHover)) {
    Event e = PointerEvent(EventType::MouseLeave, FHover, time);
    Queue(std::move(e));
  }
  FHover = target;
}

Event CommonBackend::PointerEvent(EventType type, SurfaceId target, std::uint64_t time) const {
  Event e;
  e.Type = type;
  e.Surface = target;
  e.Time = time;
  e.ScreenX = FMousePos.X;
  e.ScreenY = FMousePos.Y;
  if (Surface* s = Find(target)) {
    e.X = FMousePos.X - s->Bounds.Left;
    e.Y = FMousePos.Y - s->Bounds.Top;
  }
  e.Buttons = FButtons;
  e.Mods = Modifiers();
  return e;
}

void CommonBackend::SetMouseCapture(SurfaceId id) {
  if (id == NoSurface) {
    if (!FCapture) return;
    FCapture = NoSurface;
    SysSetCapture(nullptr);
  } else {
    Surface& s = Get(id, "SetMouseCapture");
    FCapture = id;
    SysSetCapture(&s);
  }
  UpdateHover(PointerTarget(FMouseSurface), TickCount());
  UpdateCursor();
}

void CommonBackend::DeliverMouseMove(SurfaceId hit, Point screen, std::uint64_t time) {
  FMousePos = screen;
  FMouseSurface = Find(hit) ? hit : NoSurface;
  SurfaceId target = PointerTarget(FMouseSurface);
  UpdateHover(target, time);
  UpdateCursor();
  if (target) Queue(PointerEvent(EventType::MouseMove, target, time));
}

void CommonBackend::DeliverMouseButton(SurfaceId hit, Point screen, MouseButton b, bool down,
                                       std::uint64_t time) {
  FMousePos = screen;
  FMouseSurface = Find(hit) ? hit : NoSurface;
  std::uint8_t bit = ButtonBit(b);
  size_t bi = size_t(b);
  SurfaceId target;
  if (down) {
    if (FButtons == 0) FPressTarget = FCapture ? FCapture : FMouseSurface;
    target = PointerTarget(FMouseSurface);
    FButtons |= bit;
    FKeys[ButtonVk(b)] = true;
    FLastClickCount[bi] = FClicks.Press(target, b, screen, time, FDoubleClickTime);
  } else {
    target = PointerTarget(FMouseSurface);
    FButtons &= std::uint8_t(~bit);
    FKeys[ButtonVk(b)] = false;
  }
  UpdateHover(target, time);
  if (target) {
    Event e = PointerEvent(down ? EventType::MouseDown : EventType::MouseUp, target, time);
    e.Button = b;
    e.ClickCount = std::max(1, FLastClickCount[bi]);
    Queue(std::move(e));
  }
  if (FButtons == 0) {
    FPressTarget = NoSurface;
    UpdateHover(PointerTarget(FMouseSurface), time);
  }
  UpdateCursor();
}

void CommonBackend::DeliverWheel(SurfaceId hit, Point screen, int fineY, int fineX,
                                 std::uint64_t time) {
  FMousePos = screen;
  FMouseSurface = Find(hit) ? hit : NoSurface;
  int dy = FWheelY.Add(fineY);
  int dx = FWheelX.Add(fineX);
  SurfaceId target = PointerTarget(FMouseSurface);
  if ((dy == 0 && dx == 0) || !target) return;
  Event e = PointerEvent(EventType::MouseWheel, target, time);
  e.WheelDelta = dy;
  e.WheelDeltaX = dx;
  Queue(std::move(e));
}

void CommonBackend::DeliverMouseLeftAll(std::uint64_t time) {
  FMouseSurface = NoSurface;
  UpdateHover(PointerTarget(NoSurface), time);
  UpdateCursor();
}

// ---- Keyboard --------------------------------------------------------------------------------

std::uint8_t CommonBackend::Modifiers() const {
  std::uint8_t m = 0;
  if (FKeys[VK_SHIFT]) m |= ModShift;
  if (FKeys[VK_CONTROL]) m |= ModCtrl;
  if (FKeys[VK_MENU]) m |= ModAlt;
  if (FCaps) m |= ModCapsLock;
  if (FNum) m |= ModNumLock;
  if (FScroll) m |= ModScrollLock;
  return m;
}

bool CommonBackend::IsKeyDown(std::uint16_t vk) const { return vk < FKeys.size() && FKeys[vk]; }

void CommonBackend::SetLockState(bool caps, bool num, bool scroll) {
  FCaps = caps;
  FNum = num;
  FScroll = scroll;
}

void CommonBackend::DeliverKey(std::uint16_t vk, KeyScanCode scan, bool down,
                               std::uint64_t time) {
  if (vk == 0 || vk >= FKeys.size()) return;
  std::uint16_t sided = SidedVk(vk, scan);
  std::uint16_t generic = GenericVk(sided);
  bool wasDown = FKeys[sided];
  FKeys[sided] = down;
  if (generic != sided) {
    switch (generic) {
      case VK_SHIFT: FKeys[VK_SHIFT] = FKeys[VK_LSHIFT] || FKeys[VK_RSHIFT]; break;
      case VK_CONTROL: FKeys[VK_CONTROL] = FKeys[VK_LCONTROL] || FKeys[VK_RCONTROL]; break;
      case VK_MENU: FKeys[VK_MENU] = FKeys[VK_LMENU] || FKeys[VK_RMENU]; break;
    }
  }
  if (down && !wasDown) {
    if (generic == VK_CAPITAL) FCaps = !FCaps;
    if (generic == VK_NUMLOCK) FNum = !FNum;
    if (generic == VK_SCROLL) FScroll = !FScroll;
  }
  Event e;
  e.Type = down ? EventType::KeyDown : EventType::KeyUp;
  e.Surface = FFocus;
  e.Time = time;
  e.VirtualKey = generic;
  e.ScanCode = scan.Scan;
  e.Extended = scan.Extended;
  e.Repeat = down && wasDown;
  e.Mods = Modifiers();
  e.Buttons = FButtons;
  e.ScreenX = FMousePos.X;
  e.ScreenY = FMousePos.Y;
  Queue(e);
  if (down) {
    if (char32_t c = ControlCharForKey(generic, e.Mods)) {
      e.Type = EventType::Text;
      e.Repeat = false;
      AppendUtf8(e.Text, c);
      Queue(std::move(e));
    }
  }
}

void CommonBackend::DeliverText(const std::string& utf8, std::uint64_t time) {
  if (utf8.empty()) return;
  Event e;
  e.Type = EventType::Text;
  e.Surface = FFocus;
  e.Time = time;
  e.Text = utf8;
  e.Mods = Modifiers();
  e.Buttons = FButtons;
  Queue(std::move(e));
}

void CommonBackend::DeliverComposition(const std::string& utf8, std::uint64_t time) {
  Event e;
  e.Type = EventType::Composition;
  e.Surface = FFocus;
  e.Time = time;
  e.Text = utf8;
  e.Mods = Modifiers();
  e.Buttons = FButtons;
  Queue(std::move(e));
}

void CommonBackend::DeliverFocus(SurfaceId id, std::uint64_t time) {
  if (id != NoSurface && !Find(id)) return;
  if (id == FFocus) return;
  Event e;
  e.Time = time;
  e.Surface = id;
  if (id == NoSurface) {
    // Keys released while another application has the focus are never reported to us.
    for (size_t vk = 0; vk < FKeys.size(); ++vk)
      if (vk != VK_LBUTTON && vk != VK_RBUTTON && vk != VK_MBUTTON && vk != VK_XBUTTON1 &&
          vk != VK_XBUTTON2)
        FKeys[vk] = false;
    e.Surface = FFocus;
    e.Type = EventType::FocusLost;
  } else {
    e.Type = EventType::FocusGained;
  }
  FFocus = id;
  e.Mods = Modifiers();
  Queue(std::move(e));
}

void CommonBackend::DeliverSystemBounds(SurfaceId id, const Rect& bounds, std::uint64_t time) {
  Surface* s = Find(id);
  if (!s || bounds == s->Bounds) return;
  Rect r = bounds;
  r.Right = r.Left + std::clamp(r.Width(), 0, MaxSurfaceSize);
  r.Bottom = r.Top + std::clamp(r.Height(), 0, MaxSurfaceSize);
  bool moved = r.Left != s->Bounds.Left || r.Top != s->Bounds.Top;
  bool sized = r.Width() != s->Bounds.Width() || r.Height() != s->Bounds.Height();
  if (sized) ResizeBackBuffer(*s, r.Width(), r.Height());
  s->Bounds = r;
  Event e;
  e.Surface = id;
  e.Time = time;
  e.Bounds = r;
  if (moved) {
    e.Type = EventType::Moved;
    Queue(e);
  }
  if (sized) {
    e.Type = EventType::Resized;
    Queue(e);
  }
}

// ---- Queue -----------------------------------------------------------------------------------

void CommonBackend::Queue(Event e) {
  // Like Win32, consecutive pointer moves collapse into the latest one.
  if (e.Type == EventType::MouseMove && !FQueue.empty()) {
    Event& last = FQueue.back();
    if (last.Type == EventType::MouseMove && last.Surface == e.Surface &&
        last.Buttons == e.Buttons && last.Mods == e.Mods) {
      last = std::move(e);
      return;
    }
  }
  FQueue.push_back(std::move(e));
}

bool CommonBackend::PopQueued(Event& e) {
  if (FQueue.empty()) return false;
  e = std::move(FQueue.front());
  FQueue.pop_front();
  return true;
}

bool CommonBackend::PollEvent(Event& e) {
  if (FQueue.empty()) Pump();
  return PopQueued(e);
}

void CommonBackend::SetDoubleClickTime(unsigned ms) {
  FDoubleClickTime = ms == 0 ? DefaultDoubleClickTime : std::min(ms, 5000u);
}

std::vector<MonitorInfo> CommonBackend::Monitors() const {
  std::vector<MonitorInfo> m = SystemMonitors();
  if (int dpi = DpiOverride())
    for (MonitorInfo& mi : m) mi.Dpi = dpi;
  std::stable_partition(m.begin(), m.end(), [](const MonitorInfo& mi) { return mi.Primary; });
  return m;
}

}  // namespace vcl::platform
