// TCanvas.
#include "host/graphics/Canvas.h"

#include <mutex>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Graphic.h"

namespace vcl {

struct TCanvas::TLock {
  std::recursive_mutex Mutex;
};

UINT TextFormatToFlags(TTextFormat f) {
  static constexpr UINT kFlags[] = {
      DT_BOTTOM,          DT_CALCRECT,      DT_CENTER,         DT_EDITCONTROL,
      DT_END_ELLIPSIS,    DT_PATH_ELLIPSIS, DT_EXPANDTABS,     DT_EXTERNALLEADING,
      DT_LEFT,            DT_MODIFYSTRING,  DT_NOCLIP,         DT_NOPREFIX,
      DT_RIGHT,           DT_RTLREADING,    DT_SINGLELINE,     DT_TOP,
      DT_VCENTER,         DT_WORDBREAK,     DT_HIDEPREFIX,     DT_NOFULLWIDTHCHARBREAK,
      DT_PREFIXONLY,      DT_TABSTOP,       DT_WORD_ELLIPSIS,  0 /* tfComposited */};
  UINT flags = 0;
  for (int i = 0; i <= int(tfComposited); ++i)
    if (f.Contains(TTextFormats(i))) flags |= kFlags[i];
  return flags;
}

TCanvas::TCanvas()
    : FFont(new TFont), FPen(new TPen), FBrush(new TBrush), FLock(new TLock) {
  FFont->SetOwner(this);
  FPen->SetOwner(this);
  FBrush->SetOwner(this);
  FFont->SetOnChange(TNotifyEvent(this, &TCanvas::FontChanged));
  FPen->SetOnChange(TNotifyEvent(this, &TCanvas::PenChanged));
  FBrush->SetOnChange(TNotifyEvent(this, &TCanvas::BrushChanged));
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

// ---- device context and selection ----------------------------------------------------------

void TCanvas::SetHandle(HDC dc) {
  if (FHandle == dc) return;
  if (FHandle) {
    DeselectHandles();
    GetCurrentPositionEx(FHandle, &FPenPos);
    FHandle = nullptr;
    FState.Exclude(csHandleValid);
  }
  if (dc) {
    FHandle = dc;
    FState.Include(csHandleValid);
    MoveToEx(dc, FPenPos.X, FPenPos.Y, nullptr);
  }
}

void TCanvas::DeselectHandles() {
  constexpr TCanvasState objects{csFontValid, csPenValid, csBrushValid};
  if (!FHandle || (FState * objects).Empty()) return;
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
  SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  FState -= objects;
}

void TCanvas::RequiredState(TCanvasState required) {
  TCanvasState needed = required - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation(u"Canvas does not allow drawing");
  }
  if (needed.Contains(csFontValid)) SelectFont();
  if (needed.Contains(csPenValid)) SelectPen();
  if (needed.Contains(csBrushValid)) SelectBrush();
}

void TCanvas::SelectFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
  FState.Include(csFontValid);
}

void TCanvas::SelectPen() {
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, PenModeToRop2(FPen->Mode()));
  FState.Include(csPenValid);
}

void TCanvas::SelectBrush() {
  SelectObject(FHandle, FBrush->Handle());
  COLORREF c = ColorToRGB(FBrush->Color());
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, c);
    SetBkMode(FHandle, OPAQUE);
  } else {
    SetBkColor(FHandle, ~c & 0xFFFFFFu);
    SetBkMode(FHandle, TRANSPARENT);
  }
  FState.Include(csBrushValid);
}

void TCanvas::FontChanged(TObject*) {
  if (FState.Contains(csFontValid)) {
    FState.Exclude(csFontValid);
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
}

void TCanvas::PenChanged(TObject*) {
  if (FState.Contains(csPenValid)) {
    FState.Exclude(csPenValid);
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (FState.Contains(csBrushValid)) {
    FState.Exclude(csBrushValid);
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  }
}

HDC TCanvas::Handle() {
  Changing();
  RequiredState(csAllValid);
  return FHandle;
}

HDC TCanvas::HandleNoSelect() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCanvas::Changing() { FOnChanging(this); }
void TCanvas::Changed() { FOnChange(this); }

// ---- shapes -----------------------------------------------------------------------------------

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  vcl::FillRect(FHandle, &r, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  vcl::FrameRect(FHandle, &r, FBrush->Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Rectangle(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::RoundRect(FHandle, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Ellipse(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Arc(FHandle, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Chord(FHandle, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Pie(FHandle, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Polygon(const TPoint* points, int count) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Polygon(FHandle, points, count);
  Changed();
}

void TCanvas::Polyline(const TPoint* points, int count) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::Polyline(FHandle, points, count);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  vcl::LineTo(FHandle, x, y);
  Changed();
}

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  TPoint p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  vcl::DrawFocusRect(FHandle, &r);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState({csHandleValid});
  return TColor(GetPixel(FHandle, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(FHandle, x, y, ColorToRGB(color));
  Changed();
}

// ---- text -------------------------------------------------------------------------------------

void TCanvas::TextOut(int x, int y, StringView text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutW(FHandle, x, y, UINT(FTextFlags), nullptr, text.data(), UINT(text.size()), nullptr);
  MoveToEx(FHandle, x + TextExtent(text).cx, y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, StringView text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutW(FHandle, x, y, options, &r, text.data(), UINT(text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& r, String& text, TTextFormat format) {
  UINT flags = TextFormatToFlags(format);
  bool modify = format.Contains(tfModifyString);
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (modify) {
    // DrawTextExW may write up to four characters more than the text (an ellipsis).
    String buffer = text;
    size_t n = buffer.size();
    buffer.resize(n + 5, u'\0');
    DrawTextExW(FHandle, buffer.data(), int(n), &r, flags, nullptr);
    buffer.resize(std::char_traits<Char>::length(buffer.c_str()));
    text = std::move(buffer);
  } else {
    DrawTextW(FHandle, text.data(), int(text.size()), &r, flags & ~DT_MODIFYSTRING);
  }
  Changed();
}

TSize TCanvas::TextExtent(StringView text) {
  RequiredState({csHandleValid, csFontValid});
  TSize s;
  GetTextExtentPoint32W(FHandle, text.data(), int(text.size()), &s);
  return s;
}

// ---- images -----------------------------------------------------------------------------------

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic, Byte opacity) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->DrawTransparent(this, Bounds(x, y, graphic->Width(), graphic->Height()), opacity);
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  source->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, dest.Left, dest.Top, dest.Width(), dest.Height(), source->FHandle,
             sourceRect.Left, sourceRect.Top, sourceRect.Width(), sourceRect.Height(),
             DWORD(FCopyMode));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect r;
  GetClipBox(FHandle, &r);
  return r;
}

// ---- locking ----------------------------------------------------------------------------------

void TCanvas::Lock() {
  FLock->Mutex.lock();
  ++FLockCount;
}

void TCanvas::Unlock() {
  if (FLockCount == 0) return;
  --FLockCount;
  FLock->Mutex.unlock();
}

bool TCanvas::TryLock() {
  if (!FLock->Mutex.try_lock()) return false;
  ++FLockCount;
  return true;
}

}  // namespace vcl
