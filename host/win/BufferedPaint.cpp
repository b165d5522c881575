// Buffered animation: start and end images in 32-bit memory DCs, cross-faded on the window's
// paints while a frame timer of the window invalidates the animated area.
#include "host/win/BufferedPaint.h"

#include <cmath>
#include <memory>
#include <vector>

#include "host/gdi/GdiDraw.h"
#include "host/win/WinInternal.h"

namespace vcl {

struct AnimationBufferObject {
  HWND Hwnd = nullptr;
  TRect Logical;  // the target rectangle in the target DC's logical coordinates
  TRect Client;   // the same area in the window's client coordinates
  HDC Target = nullptr;  // only between Begin and End
  HDC From = nullptr, To = nullptr, Frame = nullptr;
  HBITMAP FromBmp = nullptr, ToBmp = nullptr, FrameBmp = nullptr;
  std::uint32_t* FromBits = nullptr;
  std::uint32_t* ToBits = nullptr;
  std::uint32_t* FrameBits = nullptr;
  BP_ANIMATIONSTYLE Style = BPAS_LINEAR;
  DWORD Duration = 0;
  std::uint32_t Start = 0;
  bool Running = false;       // ended with updateTarget: frames are being shown
  bool Orphaned = false;      // its window was freed before EndBufferedAnimation
  bool FinalInvalidated = false;  // the duration is over and the last frame was asked for

  ~AnimationBufferObject() {
    for (HDC dc : {From, To, Frame})
      if (dc) DeleteDC(dc);
    for (HBITMAP b : {FromBmp, ToBmp, FrameBmp})
      if (b) DeleteObject(b);
  }
};

namespace {

// Larger areas are not animated (three 32-bit buffers of this many pixels at most).
constexpr long long kMaxAnimatedPixels = 4096LL * 4096LL;

struct TAnimations {
  std::vector<std::unique_ptr<AnimationBufferObject>> All;
  int InitCount = 0;
};

TAnimations& Anims() {
  static TAnimations a;
  return a;
}

AnimationBufferObject* Find(HANIMATIONBUFFER h) {
  for (auto& a : Anims().All)
    if (a.get() == h) return a.get();
  return nullptr;
}

void Remove(AnimationBufferObject* a) {
  auto& all = Anims().All;
  for (auto it = all.begin(); it != all.end(); ++it)
    if (it->get() == a) {
      all.erase(it);
      return;
    }
}

bool HasRunning(HWND hwnd) {
  for (auto& a : Anims().All)
    if (a->Running && a->Hwnd == hwnd) return true;
  return false;
}

void StopTimerIfIdle(HWND hwnd) {
  if (!HasRunning(hwnd) && Live(hwnd)) KillTimer(hwnd, BUFFERED_ANIMATION_TIMER);
}

// A memory DC with the target's coordinates over a zero-filled 32-bit DIB of the area.
bool MakeBuffer(HDC target, const TRect& r, HDC& dc, HBITMAP& bmp, std::uint32_t*& bits) {
  dc = CreateCompatibleDC(target);
  if (!dc) return false;
  void* p = nullptr;
  bmp = CreateDIB32(r.Width(), r.Height(), &p);
  if (!bmp || !p) return false;
  bits = static_cast<std::uint32_t*>(p);
  SelectObject(dc, bmp);
  SetWindowOrgEx(dc, r.Left, r.Top, nullptr);
  SetDcDpi(dc, GetDeviceCaps(target, LOGPIXELSX));
  return true;
}

double Progress(const AnimationBufferObject& a, std::uint32_t now) {
  if (a.Duration == 0) return 1.0;
  double t = double(std::int32_t(now - a.Start)) / double(a.Duration);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  switch (a.Style) {
    case BPAS_NONE: return 1.0;
    case BPAS_CUBIC: return t * t * (3 - 2 * t);
    case BPAS_SINE: return std::sin(t * 1.5707963267948966);
    default: return t;
  }
}

void PaintFrame(AnimationBufferObject& a, HDC target, double e) {
  const TRect& r = a.Logical;
  int w = r.Width(), h = r.Height();
  int alpha = int(std::lround(e * 255));
  if (alpha <= 0) {
    BitBlt(target, r.Left, r.Top, w, h, a.From, r.Left, r.Top, SRCCOPY);
    return;
  }
  if (alpha >= 255) {
    BitBlt(target, r.Left, r.Top, w, h, a.To, r.Left, r.Top, SRCCOPY);
    return;
  }
  if (!a.Frame && !MakeBuffer(target, r, a.Frame, a.FrameBmp, a.FrameBits)) {
    // No memory for the blend: show the nearer image rather than nothing.
    BitBlt(target, r.Left, r.Top, w, h, alpha < 128 ? a.From : a.To, r.Left, r.Top, SRCCOPY);
    return;
  }
  std::uint32_t inv = 255 - std::uint32_t(alpha), fwd = std::uint32_t(alpha);
  size_t n = size_t(w) * size_t(h);
  for (size_t i = 0; i < n; ++i) {
    std::uint32_t f = a.FromBits[i], t = a.ToBits[i], out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      std::uint32_t c = (((f >> shift) & 0xFF) * inv + ((t >> shift) & 0xFF) * fwd + 127) / 255;
      out |= c << shift;
    }
    a.FrameBits[i] = out;
  }
  BitBlt(target, r.Left, r.Top, w, h, a.Frame, r.Left, r.Top, SRCCOPY);
}

void FrameTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
  std::uint32_t now = Now();
  std::vector<AnimationBufferObject*> done;
  for (auto& a : Anims().All) {
    if (!a->Running || a->Hwnd != hwnd) continue;
    if (std::int32_t(now - a->Start) >= std::int32_t(a->Duration)) {
      // The window did not paint the last frame it was asked for (hidden, or covered): its
      // own paint shows the end state from now on.
      if (a->FinalInvalidated) {
        done.push_back(a.get());
        continue;
      }
      a->FinalInvalidated = true;
    }
    InvalidateRect(hwnd, &a->Client, false);
  }
  for (AnimationBufferObject* a : done) Remove(a);
  StopTimerIfIdle(hwnd);
}

void ForgetWindow(WindowObject* w) {
  auto& all = Anims().All;
  for (auto it = all.begin(); it != all.end();) {
    AnimationBufferObject* a = it->get();
    if (a->Hwnd != w) {
      ++it;
    } else if (!a->Running) {
      // The caller still holds the handle and its DCs until EndBufferedAnimation.
      a->Orphaned = true;
      a->Hwnd = nullptr;
      ++it;
    } else {
      it = all.erase(it);
    }
  }
}

}  // namespace

HRESULT BufferedPaintInit() {
  ++Anims().InitCount;
  return S_OK;
}

HRESULT BufferedPaintUnInit() {
  TAnimations& s = Anims();
  if (s.InitCount > 0) --s.InitCount;
  return S_OK;
}

HANIMATIONBUFFER BeginBufferedAnimation(HWND hwnd, HDC hdcTarget, const TRect* target,
                                        BP_BUFFERFORMAT format, const BP_PAINTPARAMS* paintParams,
                                        const BP_ANIMATIONPARAMS* animationParams, HDC* from,
                                        HDC* to) {
  static const bool observing = (AddWindowFreedObserver(&ForgetWindow), true);
  (void)observing;
  if (from) *from = nullptr;
  if (to) *to = nullptr;
  if (!Live(hwnd) || !hdcTarget || !target || !animationParams || !from || !to) return nullptr;
  if (animationParams->cbSize != sizeof(BP_ANIMATIONPARAMS) || animationParams->style > BPAS_SINE)
    return nullptr;
  if (format > BPBF_TOPDOWNMONODIB) return nullptr;
  if (paintParams && paintParams->cbSize != sizeof(BP_PAINTPARAMS)) return nullptr;
  const TRect r = *target;
  if (r.Width() <= 0 || r.Height() <= 0) return nullptr;
  if (static_cast<long long>(r.Width()) * r.Height() > kMaxAnimatedPixels) return nullptr;

  auto a = std::make_unique<AnimationBufferObject>();
  a->Hwnd = hwnd;
  a->Logical = r;
  a->Target = hdcTarget;
  a->Style = animationParams->style;
  a->Duration = animationParams->style == BPAS_NONE ? 0 : animationParams->dwDuration;
  if (!MakeBuffer(hdcTarget, r, a->From, a->FromBmp, a->FromBits) ||
      !MakeBuffer(hdcTarget, r, a->To, a->ToBmp, a->ToBits))
    return nullptr;
  if (!paintParams || !(paintParams->dwFlags & BPPF_ERASE)) {
    // Both images start as what the target shows, so that what the caller leaves out stays.
    BitBlt(a->From, r.Left, r.Top, r.Width(), r.Height(), hdcTarget, r.Left, r.Top, SRCCOPY);
    BitBlt(a->To, r.Left, r.Top, r.Width(), r.Height(), hdcTarget, r.Left, r.Top, SRCCOPY);
  }
  // Where the area lies in the window, for the frame timer's invalidation.
  TPoint corners[2] = {r.TopLeft(), r.BottomRight()};
  LPtoDP(hdcTarget, corners, 2);
  TRect client(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y);
  HWND dcWindow = WindowFromDC(hdcTarget);
  if (dcWindow && dcWindow != hwnd) MapWindowPoints(dcWindow, hwnd, &client);
  a->Client = client;

  // A new transition of the same area replaces the one running there.
  auto& all = Anims().All;
  for (auto it = all.begin(); it != all.end();) {
    if ((*it)->Running && (*it)->Hwnd == hwnd && (*it)->Logical == r)
      it = all.erase(it);
    else
      ++it;
  }
  *from = a->From;
  *to = a->To;
  all.push_back(std::move(a));
  return all.back().get();
}

HRESULT EndBufferedAnimation(HANIMATIONBUFFER animation, BOOL updateTarget) {
  AnimationBufferObject* a = Find(animation);
  if (!a || a->Running) return E_INVALIDARG;
  HDC target = a->Target;
  a->Target = nullptr;
  if (!updateTarget || a->Orphaned) {
    Remove(a);
    return S_OK;
  }
  if (a->Duration == 0) {
    PaintFrame(*a, target, 1.0);
    HWND hwnd = a->Hwnd;
    Remove(a);
    StopTimerIfIdle(hwnd);
    return S_OK;
  }
  PaintFrame(*a, target, 0.0);
  a->Running = true;
  a->Start = Now();
  if (!SetTimer(a->Hwnd, BUFFERED_ANIMATION_TIMER, BUFFERED_ANIMATION_FRAME_MS, &FrameTimerProc)) {
    // Without a frame timer the transition could never advance: show its end at once.
    PaintFrame(*a, target, 1.0);
    Remove(a);
  }
  return S_OK;
}

BOOL BufferedPaintRenderAnimation(HWND hwnd, HDC hdcTarget) {
  if (!hwnd || !hdcTarget) return false;
  std::uint32_t now = Now();
  std::vector<AnimationBufferObject*> finished;
  bool painted = false;
  for (auto& a : Anims().All) {
    if (!a->Running || a->Hwnd != hwnd) continue;
    double e = Progress(*a, now);
    bool over = std::int32_t(now - a->Start) >= std::int32_t(a->Duration);
    PaintFrame(*a, hdcTarget, over ? 1.0 : e);
    painted = true;
    if (over) finished.push_back(a.get());
  }
  for (AnimationBufferObject* a : finished) Remove(a);
  StopTimerIfIdle(hwnd);
  return painted;
}

HRESULT BufferedPaintStopAllAnimations(HWND hwnd) {
  auto& all = Anims().All;
  for (auto it = all.begin(); it != all.end();) {
    AnimationBufferObject* a = it->get();
    if (a->Running && a->Hwnd == hwnd) {
      // A transition stopped midway would leave a blend of two states on screen.
      if (Live(hwnd)) InvalidateRect(hwnd, &a->Client, false);
      it = all.erase(it);
    } else {
      ++it;
    }
  }
  StopTimerIfIdle(hwnd);
  return S_OK;
}

int BufferedAnimationCount(HWND hwnd) {
  int n = 0;
  for (auto& a : Anims().All)
    if (a->Running && a->Hwnd == hwnd) ++n;
  return n;
}

}  // namespace vcl
