// Buffered animation: a window paints the start and the end image of a transition into two
// memory DCs; the service then cross-fades between them on the window's following paints,
// driven by a window timer on the backend clock (virtual in the headless backend).
//
//   if (!BufferedPaintRenderAnimation(hwnd, dc)) {
//     HDC from, to;
//     HANIMATIONBUFFER a = BeginBufferedAnimation(hwnd, dc, &rc, BPBF_COMPATIBLEBITMAP,
//                                                 nullptr, &params, &from, &to);
//     if (a) { PaintOld(from); PaintNew(to); EndBufferedAnimation(a, true); }
//     else Paint(dc);  // no animation: an ordinary paint
//   }
#pragma once
#include "host/win/WinTypes.h"

namespace vcl {

struct BLENDFUNCTION;
struct AnimationBufferObject;
using HANIMATIONBUFFER = AnimationBufferObject*;

enum BP_BUFFERFORMAT : DWORD {
  BPBF_COMPATIBLEBITMAP, BPBF_DIB, BPBF_TOPDOWNDIB, BPBF_TOPDOWNMONODIB
};

// How the frames move from the start to the end image: none (the end image at once), linear,
// cubic (slow at both ends: 3t² - 2t³) or sine (fast at first: sin(t·π/2)).
enum BP_ANIMATIONSTYLE : DWORD { BPAS_NONE, BPAS_LINEAR, BPAS_CUBIC, BPAS_SINE };

struct BP_ANIMATIONPARAMS {
  DWORD cbSize = sizeof(BP_ANIMATIONPARAMS);
  DWORD dwFlags = 0;  // none defined
  BP_ANIMATIONSTYLE style = BPAS_LINEAR;
  DWORD dwDuration = 0;  // milliseconds
};
static_assert(sizeof(BP_ANIMATIONPARAMS) == 16);

constexpr DWORD BPPF_ERASE = 0x0001;      // start both images transparent black
constexpr DWORD BPPF_NOCLIP = 0x0002;
constexpr DWORD BPPF_NONCLIENT = 0x0004;

struct BP_PAINTPARAMS {
  DWORD cbSize = sizeof(BP_PAINTPARAMS);
  DWORD dwFlags = 0;
  const TRect* prcExclude = nullptr;
  const BLENDFUNCTION* pBlendFunction = nullptr;
};

HRESULT BufferedPaintInit();
HRESULT BufferedPaintUnInit();

// Starts a transition of `target` (logical coordinates of hdcTarget) in a window. *from and
// *to receive memory DCs with the target's coordinates, holding the target's current pixels
// (transparent black with BPPF_ERASE), for the start and the end image. A new transition of
// the same window and rectangle replaces a running one. nullptr (and both DCs nullptr) when
// the window is not a window, the rectangle is empty, a parameter is missing or wrong, or no
// memory DC can be made: the caller then paints as usual.
HANIMATIONBUFFER BeginBufferedAnimation(HWND hwnd, HDC hdcTarget, const TRect* target,
                                        BP_BUFFERFORMAT format, const BP_PAINTPARAMS* paintParams,
                                        const BP_ANIMATIONPARAMS* animationParams, HDC* from,
                                        HDC* to);
// updateTarget true paints the first frame into the target DC and runs the transition (with a
// zero duration or BPAS_NONE that first frame is the end image and nothing runs on);
// false drops the transition. The handle is gone either way.
HRESULT EndBufferedAnimation(HANIMATIONBUFFER animation, BOOL updateTarget);
// While a transition of the window runs (or has its last frame to show), paints its current
// frame into hdcTarget and returns true; false when there is nothing to paint.
BOOL BufferedPaintRenderAnimation(HWND hwnd, HDC hdcTarget);
// Ends every transition of the window. One that had not yet shown its end image leaves its
// area invalid, so that the window repaints it as it now is.
HRESULT BufferedPaintStopAllAnimations(HWND hwnd);

// Running transitions of a window (those ended or dropped no longer count).
int BufferedAnimationCount(HWND hwnd);
// Frame timer of a running transition (a window timer with a procedure of its own, so the
// window's WM_TIMER handling never sees it) and its period in milliseconds.
constexpr UINT_PTR BUFFERED_ANIMATION_TIMER = 0xBA01;
constexpr UINT BUFFERED_ANIMATION_FRAME_MS = 16;

}  // namespace vcl
