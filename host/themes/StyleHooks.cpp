#include "host/themes/StyleHooks.h"

#include "host/graphics/Canvas.h"
#include "host/themes/StyleManager.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

// A window's client rectangle in its window coordinates, and the window's size.
void ClientInWindow(HWND h, TRect& window, TRect& client) {
  TRect wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  TPoint o{0, 0};
  ClientToScreen(h, &o);
  window = TRect(0, 0, wr.Width(), wr.Height());
  client = cr.Offsetted(o.X - wr.Left, o.Y - wr.Top);
}

// A canvas bound to a DC for the length of a paint call.
struct TBoundCanvas {
  TCanvas Canvas;
  explicit TBoundCanvas(HDC dc) { Canvas.SetHandle(dc); }
  ~TBoundCanvas() { Canvas.SetHandle(nullptr); }
};

}  // namespace

TStyleHookBase::TStyleHookBase(HWND handle)
    : FHandle(handle), FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()) {
  UpdateColors();
}

TStyleHookBase::~TStyleHookBase() = default;

bool TStyleHookBase::HandleMessage(TMessage& msg) {
  bool outer = FHandled;
  FHandled = false;
  WndProc(msg);
  bool handled = FHandled;
  FHandled = outer;
  return handled;
}

LRESULT TStyleHookBase::CallDefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  return CallDefaultProc(m);
}

void TStyleHookBase::Invalidate() {
  if (IsWindow(FHandle)) InvalidateRect(FHandle, nullptr, true);
}

void TStyleHookBase::InvalidateNC() {
  if (!IsWindow(FHandle)) return;
  TRect window, client;
  ClientInWindow(FHandle, window, client);
  // The frame in client coordinates, as RedrawWindow takes it.
  window.Offset(-client.Left, -client.Top);
  client.Offset(-client.Left, -client.Top);
  HRGN frame = CreateRectRgnIndirect(window);
  HRGN inner = CreateRectRgnIndirect(client);
  CombineRgn(frame, frame, inner, RGN_DIFF);
  RedrawWindow(FHandle, nullptr, frame, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  DeleteObject(inner);
  DeleteObject(frame);
}

void TStyleHookBase::Repaint() {
  Invalidate();
  InvalidateNC();
  if (IsWindow(FHandle)) UpdateWindow(FHandle);
}

void TStyleHookBase::SetRedraw(bool redraw) { CallDefaultProc(WM_SETREDRAW, redraw ? 1 : 0, 0); }

TCustomStyleServices* TStyleHookBase::StyleServices() const { return TStyleManager::ActiveStyle(); }

void TStyleHookBase::UpdateColors() {
  TCustomStyleServices* s = StyleServices();
  SetColors(s->GetStyleColor(scWindow), s->GetStyleFontColor(sfWindowTextNormal));
}

void TStyleHookBase::SetColors(TColor color, TColor fontColor) {
  FColor = color;
  FFontColor = fontColor;
  FBrush->SetColor(FColor);
  FFont->SetColor(FFontColor);
}

TFont* TStyleHookBase::Font() const {
  if (!FFontValid) {
    FFontValid = true;
    const_cast<TStyleHookBase*>(this)->UpdateFont();
  }
  return FFont.get();
}

void TStyleHookBase::UpdateFont() {
  auto font = reinterpret_cast<HFONT>(IsWindow(FHandle) ? SendMessageW(FHandle, WM_GETFONT, 0, 0) : 0);
  if (font) {
    FFont->SetHandle(font);
  } else {
    TStyleFontSpec spec = StyleServices()->GetStyleFont(sfkDefault);
    if (spec.Size > 0) {
      FFont->SetName(spec.Face);
      FFont->SetSize(spec.Size);
    }
  }
  FFont->SetColor(FFontColor);
}

void TStyleHookBase::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (FOverridePaint) DoPaint(msg);
      break;
    case WM_NCPAINT:
      if (FOverridePaintNC) DoPaintNC(msg);
      break;
    case WM_ERASEBKGND:
      if (FOverrideEraseBkgnd) DoEraseBkgnd(msg);
      break;
    case WM_SETFONT: FFontValid = false; break;
    case CM_STYLECHANGED:
      UpdateColors();
      FFontValid = false;
      Invalidate();
      InvalidateNC();
      break;
    default: break;
  }
}

void TStyleHookBase::DoPaint(TMessage& msg) {
  auto given = reinterpret_cast<HDC>(msg.WParam);
  if (given) {
    TBoundCanvas c(given);
    if (msg.Msg == WM_PRINTCLIENT && (msg.LParam & PRF_ERASEBKGND) && FOverrideEraseBkgnd)
      PaintBackground(c.Canvas);
    Paint(c.Canvas);
  } else {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FHandle, &ps);
    if (dc) {
      TBoundCanvas c(dc);
      Paint(c.Canvas);
    }
    EndPaint(FHandle, &ps);
  }
  msg.Result = 0;
  SetHandled(true);
}

void TStyleHookBase::DoPaintNC(TMessage& msg) {
  auto clip = reinterpret_cast<HRGN>(msg.WParam);
  HDC dc;
  if (reinterpret_cast<std::uintptr_t>(clip) > 1) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, clip, nullptr, RGN_COPY);
    dc = GetDCEx(FHandle, copy, DCX_WINDOW | DCX_INTERSECTRGN | DCX_USESTYLE);
  } else {
    dc = GetWindowDC(FHandle);
  }
  if (dc) {
    TRect window, client;
    ClientInWindow(FHandle, window, client);
    ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    {
      TBoundCanvas c(dc);
      PaintNC(c.Canvas);
    }
    ReleaseDC(FHandle, dc);
  }
  msg.Result = 0;
  SetHandled(true);
}

void TStyleHookBase::DoEraseBkgnd(TMessage& msg) {
  if (auto dc = reinterpret_cast<HDC>(msg.WParam)) {
    TBoundCanvas c(dc);
    PaintBackground(c.Canvas);
  }
  msg.Result = 1;
  SetHandled(true);
}

void TStyleHookBase::Paint(TCanvas&) {}

void TStyleHookBase::PaintNC(TCanvas&) {}

void TStyleHookBase::PaintBackground(TCanvas& canvas) {
  TRect r;
  GetClientRect(FHandle, &r);
  canvas.Brush()->Assign(FBrush.get());
  canvas.FillRect(r);
}

// ---- TSysStyleHook ------------------------------------------------------------------------------

TSysStyleHook::TSysStyleHook(HWND handle) : TStyleHookBase(handle) {}

TSysStyleHook::~TSysStyleHook() = default;

LRESULT TSysStyleHook::CallDefaultProc(TMessage& msg) {
  msg.Result = FDefProc ? CallWindowProcW(FDefProc, Handle(), msg.Msg, msg.WParam, msg.LParam)
                        : DefWindowProcW(Handle(), msg.Msg, msg.WParam, msg.LParam);
  return msg.Result;
}

}  // namespace vcl
