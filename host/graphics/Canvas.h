// TCanvas: drawing with a font, a pen and a brush on a device context.
//
// The canvas selects its Font, Pen and Brush into the DC lazily: each drawing call makes sure
// that what it needs is selected (state flags csFontValid, csPenValid, csBrushValid), and a
// change of one of the three deselects it, so the next call selects the new handle. Selecting
// the brush also sets the DC's background: a solid brush gives OPAQUE with the brush colour
// (text cells are filled), any other style TRANSPARENT. Selecting the font sets the text
// colour, selecting the pen the mix mode of Pen.Mode.
//
// Reading Handle selects all three, so code that draws through the DC directly sees the
// canvas's objects. Drawing calls fire OnChanging before and OnChange after.
#pragma once
#include <memory>

#include "host/graphics/GraphicsObjects.h"

namespace vcl {

class TGraphic;

enum TCanvasStateItem { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateItem>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

enum TTextFormats {
  tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis, tfExpandTabs,
  tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix, tfRight, tfRtlReading,
  tfSingleLine, tfTop, tfVerticalCenter, tfWordBreak, tfHidePrefix, tfNoFullWidthCharBreak,
  tfPrefixOnly, tfTabStop, tfWordEllipsis, tfComposited
};
using TTextFormat = TSet<TTextFormats>;
// The DT_ flags of a text format (tfComposited has no flag and is ignored).
UINT TextFormatToFlags(TTextFormat format);

// Raster operations of CopyRect (the ternary ROP codes of BitBlt).
using TCopyMode = Integer;
inline constexpr TCopyMode cmBlackness = 0x00000042;
inline constexpr TCopyMode cmDstInvert = 0x00550009;
inline constexpr TCopyMode cmMergeCopy = 0x00C000CA;
inline constexpr TCopyMode cmMergePaint = 0x00BB0226;
inline constexpr TCopyMode cmNotSrcCopy = 0x00330008;
inline constexpr TCopyMode cmNotSrcErase = 0x001100A6;
inline constexpr TCopyMode cmPatCopy = 0x00F00021;
inline constexpr TCopyMode cmPatInvert = 0x005A0049;
inline constexpr TCopyMode cmPatPaint = 0x00FB0A09;
inline constexpr TCopyMode cmSrcAnd = 0x008800C6;
inline constexpr TCopyMode cmSrcCopy = 0x00CC0020;
inline constexpr TCopyMode cmSrcErase = 0x00440328;
inline constexpr TCopyMode cmSrcInvert = 0x00660046;
inline constexpr TCopyMode cmSrcPaint = 0x00EE0086;
inline constexpr TCopyMode cmWhiteness = 0x00FF0062;

enum TCanvasOrientation { coLeftToRight, coRightToLeft };

class TCanvas : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TCanvas();
  ~TCanvas() override;

  // ---- the device context ----
  // Selects font, pen and brush, then returns the DC (nullptr when none could be had).
  HDC Handle();
  // Binds the canvas to a DC it does not own (nullptr unbinds). The objects the canvas had
  // selected into the previous DC are deselected first; the pen position moves to the new DC.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FHandle != nullptr; }
  TCanvasState State() const { return FState; }
  // Selects into the DC whatever of `required` is not selected yet (and, for csHandleValid,
  // asks CreateHandle for a DC). Raises EInvalidOperation "Canvas does not allow drawing" when
  // no DC can be had.
  void RequiredState(TCanvasState required);

  // ---- drawing objects ----
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* v) { FPen->Assign(v); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* v) { FBrush->Assign(v); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode v) { FCopyMode = v; }
  TCanvasOrientation CanvasOrientation() const { return FOrientation; }
  // Extra ETO_ options of TextOut and TextRect.
  int TextFlags() const { return FTextFlags; }
  void SetTextFlags(int v) { FTextFlags = v; }

  // ---- shapes (pen outline, brush fill) ----
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void RoundRect(const TRect& r, int cx, int cy) { RoundRect(r.Left, r.Top, r.Right, r.Bottom, cx, cy); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Polygon(const TPoint* points, int count);
  void Polyline(const TPoint* points, int count);
  template <size_t N>
  void Polygon(const TPoint (&points)[N]) { Polygon(points, int(N)); }
  template <size_t N>
  void Polyline(const TPoint (&points)[N]) { Polyline(points, int(N)); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end pixel is not drawn
  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  void DrawFocusRect(const TRect& r);

  // Pixels: the colour bytes as stored (alpha ignored); -1 (CLR_INVALID) outside the clip.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // ---- text (the canvas font; background per the brush, see above) ----
  // At (x, y); the pen position moves to the end of the text.
  void TextOut(int x, int y, StringView text);
  // Clipped to r (and, unless the brush is bsClear, r filled with the brush colour first).
  void TextRect(const TRect& r, int x, int y, StringView text);
  // Formatted in r (DrawTextW). tfCalcRect: r receives the extent and nothing is drawn;
  // tfModifyString with an ellipsis flag: text receives the shortened first line.
  void TextRect(TRect& r, String& text, TTextFormat format);
  TSize TextExtent(StringView text);
  int TextWidth(StringView text) { return TextExtent(text).cx; }
  int TextHeight(StringView text) { return TextExtent(text).cy; }

  // ---- images ----
  // The graphic at its own size at (x, y): 32-bit bitmaps by their alpha format (afIgnored
  // opaque, afDefined and afPremultiplied blended), transparent graphics keyed or blended.
  void Draw(int x, int y, TGraphic* graphic);
  // The same with a constant opacity (0..255) applied on top.
  void Draw(int x, int y, TGraphic* graphic, Byte opacity);
  // The graphic stretched into r (nearest pixel).
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies source's rectangle into dest (stretching by nearest pixel) with CopyMode.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

  // The clip box in logical coordinates.
  TRect ClipRect();

  // ---- locking and change notification ----
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return FLockCount; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TNotifyEvent& e) { FOnChanging = e; }

  // The DC without selecting anything (nullptr when none); for drawing code that only needs the
  // surface, such as a blit source.
  HDC HandleNoSelect();

 protected:
  virtual void Changing();
  virtual void Changed();
  // Asked for a DC when one is needed and none is bound; the base class has none. Overrides
  // call SetHandle.
  virtual void CreateHandle() {}
  // Selects the stock pen, brush and font in place of the canvas's own.
  void DeselectHandles();

 private:
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  HDC FHandle = nullptr;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  TCanvasOrientation FOrientation = coLeftToRight;
  int FTextFlags = 0;
  int FLockCount = 0;
  struct TLock;
  std::unique_ptr<TLock> FLock;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};

}  // namespace vcl
