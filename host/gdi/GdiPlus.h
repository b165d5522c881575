// The GDI+ subset: antialiased vector drawing, scaled image drawing with selectable filters,
// bitmaps with pixel access, gradient brushes, pens, paths and string drawing (system font
// families and fonts loaded from memory into a private collection).
//
// Conventions
// - Colours are ARGB words 0xAARRGGBB, not premultiplied.
// - Methods return a Status; constructors record theirs, read with GetLastStatus() (which
//   resets it to Ok). Invalid arguments give InvalidParameter, never a crash.
// - Pixel grid. With PixelOffsetMode Half or HighQuality pixel (i, j) covers the square
//   [i, i+1) x [j, j+1) of device space and its centre is (i + 0.5, j + 0.5). With the other
//   modes (Default, HighSpeed, None) pixel centres lie on integer coordinates, i.e. everything
//   is drawn half a pixel further right and down. For images the same holds on the source side:
//   in Half mode a destination pixel centre maps linearly into the source rectangle and is
//   sampled there (source pixel k centred at k + 0.5); in the other modes both grids put their
//   centres on integers, which makes an unscaled draw an exact copy and shifts the sampling of
//   a scaled one by half a destination pixel.
// - Image edges: scaled drawing never blends in transparency from outside the source
//   rectangle; samples beyond its edges repeat the edge pixels (the effect of a tile-flip wrap
//   mode). Image attributes may choose WrapModeTile or WrapModeClamp instead.
// - Axis-aligned image drawing covers whole destination pixels (those whose centre lies in the
//   destination rectangle); filled shapes are antialiased per SmoothingMode; clip regions are
//   never antialiased.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "host/gdi/Gdi.h"
#include "host/gdi/GdiText.h"
#include "host/rtl/System.h"

namespace vcl {

class TStream;

using REAL = float;
using ARGB = DWORD;
using TGPColor = ARGB;
using GraphicsState = UINT;
using LANGID = WORD;

// ---- Status ---------------------------------------------------------------------------------
enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
};
using TStatus = Status;

// ---- Colours --------------------------------------------------------------------------------
constexpr ARGB MakeColor(BYTE a, BYTE r, BYTE g, BYTE b) {
  return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}
constexpr ARGB MakeColor(BYTE r, BYTE g, BYTE b) { return MakeColor(255, r, g, b); }
constexpr BYTE GetAlpha(ARGB c) { return BYTE(c >> 24); }
constexpr BYTE GetRed(ARGB c) { return BYTE(c >> 16); }
constexpr BYTE GetGreen(ARGB c) { return BYTE(c >> 8); }
constexpr BYTE GetBlue(ARGB c) { return BYTE(c); }
// An opaque ARGB of a COLORREF (0x00BBGGRR), and back.
constexpr ARGB ColorRefToARGB(COLORREF c) { return MakeColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr COLORREF ARGBToColorRef(ARGB c) { return RGB(GetRed(c), GetGreen(c), GetBlue(c)); }

// ---- Geometry -------------------------------------------------------------------------------
struct TGPPointF {
  REAL X = 0;
  REAL Y = 0;
  friend constexpr bool operator==(const TGPPointF&, const TGPPointF&) = default;
};
struct TGPPoint {
  int X = 0;
  int Y = 0;
  friend constexpr bool operator==(const TGPPoint&, const TGPPoint&) = default;
};
struct TGPSizeF {
  REAL Width = 0;
  REAL Height = 0;
  friend constexpr bool operator==(const TGPSizeF&, const TGPSizeF&) = default;
};
struct TGPSize {
  int Width = 0;
  int Height = 0;
  friend constexpr bool operator==(const TGPSize&, const TGPSize&) = default;
};
struct TGPRectF {
  REAL X = 0;
  REAL Y = 0;
  REAL Width = 0;
  REAL Height = 0;
  constexpr REAL GetLeft() const { return X; }
  constexpr REAL GetTop() const { return Y; }
  constexpr REAL GetRight() const { return X + Width; }
  constexpr REAL GetBottom() const { return Y + Height; }
  constexpr bool IsEmptyArea() const { return Width <= 0 || Height <= 0; }
  constexpr bool Contains(REAL x, REAL y) const {
    return x >= X && x < X + Width && y >= Y && y < Y + Height;
  }
  constexpr void Inflate(REAL dx, REAL dy) { X -= dx; Y -= dy; Width += 2 * dx; Height += 2 * dy; }
  constexpr void Offset(REAL dx, REAL dy) { X += dx; Y += dy; }
  friend constexpr bool operator==(const TGPRectF&, const TGPRectF&) = default;
};
struct TGPRect {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  constexpr int GetLeft() const { return X; }
  constexpr int GetTop() const { return Y; }
  constexpr int GetRight() const { return X + Width; }
  constexpr int GetBottom() const { return Y + Height; }
  constexpr bool IsEmptyArea() const { return Width <= 0 || Height <= 0; }
  friend constexpr bool operator==(const TGPRect&, const TGPRect&) = default;
};

constexpr TGPPointF MakePoint(REAL x, REAL y) { return {x, y}; }
constexpr TGPPoint MakePoint(int x, int y) { return {x, y}; }
constexpr TGPSizeF MakeSize(REAL w, REAL h) { return {w, h}; }
constexpr TGPSize MakeSize(int w, int h) { return {w, h}; }
constexpr TGPRectF MakeRect(REAL x, REAL y, REAL w, REAL h) { return {x, y, w, h}; }
constexpr TGPRect MakeRect(int x, int y, int w, int h) { return {x, y, w, h}; }
constexpr TGPRectF ToRectF(const TGPRect& r) {
  return {REAL(r.X), REAL(r.Y), REAL(r.Width), REAL(r.Height)};
}

// ---- Modes and flags ------------------------------------------------------------------------
enum InterpolationMode {
  InterpolationModeInvalid = -1,
  InterpolationModeDefault = 0,         // bilinear
  InterpolationModeLowQuality = 1,      // bilinear
  InterpolationModeHighQuality = 2,     // high-quality bicubic
  InterpolationModeBilinear = 3,        // 2x2 bilinear, no prefilter (aliases below 50 %)
  InterpolationModeBicubic = 4,         // 4x4 bicubic, no prefilter
  InterpolationModeNearestNeighbor = 5,
  InterpolationModeHighQualityBilinear = 6,  // bilinear widened to the shrink factor
  InterpolationModeHighQualityBicubic = 7,   // bicubic widened to the shrink factor
};
enum PixelOffsetMode {
  PixelOffsetModeInvalid = -1,
  PixelOffsetModeDefault = 0,
  PixelOffsetModeHighSpeed = 1,
  PixelOffsetModeHighQuality = 2,
  PixelOffsetModeNone = 3,
  PixelOffsetModeHalf = 4,
};
enum SmoothingMode {
  SmoothingModeInvalid = -1,
  SmoothingModeDefault = 0,  // no antialiasing
  SmoothingModeHighSpeed = 1,
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,
  SmoothingModeAntiAlias = 4,
  SmoothingModeAntiAlias8x4 = 4,
  SmoothingModeAntiAlias8x8 = 5,
};
enum TextRenderingHint {
  TextRenderingHintSystemDefault = 0,
  TextRenderingHintSingleBitPerPixelGridFit = 1,
  TextRenderingHintSingleBitPerPixel = 2,
  TextRenderingHintAntiAliasGridFit = 3,
  TextRenderingHintAntiAlias = 4,
  TextRenderingHintClearTypeGridFit = 5,
};
enum CompositingMode {
  CompositingModeSourceOver = 0,
  CompositingModeSourceCopy = 1,
};
enum CompositingQuality {
  CompositingQualityInvalid = -1,
  CompositingQualityDefault = 0,
  CompositingQualityHighSpeed = 1,
  CompositingQualityHighQuality = 2,
  CompositingQualityGammaCorrected = 3,
  CompositingQualityAssumeLinear = 4,
};
enum Unit {
  UnitWorld = 0,
  UnitDisplay = 1,
  UnitPixel = 2,
  UnitPoint = 3,
  UnitInch = 4,
  UnitDocument = 5,
  UnitMillimeter = 6,
};
using TUnit = Unit;
enum FontStyle {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleBoldItalic = 3,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8,
};
enum StringAlignment {
  StringAlignmentNear = 0,
  StringAlignmentCenter = 1,
  StringAlignmentFar = 2,
};
enum StringFormatFlags {
  StringFormatFlagsDirectionRightToLeft = 0x0001,
  StringFormatFlagsDirectionVertical = 0x0002,
  StringFormatFlagsNoFitBlackBox = 0x0004,
  StringFormatFlagsDisplayFormatControl = 0x0020,
  StringFormatFlagsNoFontFallback = 0x0400,
  StringFormatFlagsMeasureTrailingSpaces = 0x0800,
  StringFormatFlagsNoWrap = 0x1000,
  StringFormatFlagsLineLimit = 0x2000,
  StringFormatFlagsNoClip = 0x4000,
};
enum StringTrimming {
  StringTrimmingNone = 0,
  StringTrimmingCharacter = 1,
  StringTrimmingWord = 2,
  StringTrimmingEllipsisCharacter = 3,
  StringTrimmingEllipsisWord = 4,
  StringTrimmingEllipsisPath = 5,
};
enum HotkeyPrefix {
  HotkeyPrefixNone = 0,
  HotkeyPrefixShow = 1,
  HotkeyPrefixHide = 2,
};
enum WrapMode {
  WrapModeTile = 0,
  WrapModeTileFlipX = 1,
  WrapModeTileFlipY = 2,
  WrapModeTileFlipXY = 3,
  WrapModeClamp = 4,
};
enum LinearGradientMode {
  LinearGradientModeHorizontal = 0,
  LinearGradientModeVertical = 1,
  LinearGradientModeForwardDiagonal = 2,
  LinearGradientModeBackwardDiagonal = 3,
};
enum CombineMode {
  CombineModeReplace = 0,
  CombineModeIntersect = 1,
  CombineModeUnion = 2,
  CombineModeXor = 3,
  CombineModeExclude = 4,
  CombineModeComplement = 5,
};
enum FillMode {
  FillModeAlternate = 0,
  FillModeWinding = 1,
};
enum LineJoin {
  LineJoinMiter = 0,
  LineJoinBevel = 1,
  LineJoinRound = 2,
  LineJoinMiterClipped = 3,
};
enum LineCap {
  LineCapFlat = 0,
  LineCapSquare = 1,
  LineCapRound = 2,
  LineCapTriangle = 3,
};
enum DashCap {
  DashCapFlat = 0,
  DashCapRound = 2,
  DashCapTriangle = 3,
};
enum DashStyle {
  DashStyleSolid = 0,
  DashStyleDash = 1,
  DashStyleDot = 2,
  DashStyleDashDot = 3,
  DashStyleDashDotDot = 4,
  DashStyleCustom = 5,
};
enum PenAlignment {
  PenAlignmentCenter = 0,
  PenAlignmentInset = 1,
};
enum MatrixOrder {
  MatrixOrderPrepend = 0,
  MatrixOrderAppend = 1,
};
enum BrushType {
  BrushTypeSolidColor = 0,
  BrushTypeHatchFill = 1,
  BrushTypeTextureFill = 2,
  BrushTypePathGradient = 3,
  BrushTypeLinearGradient = 4,
};
enum ImageType {
  ImageTypeUnknown = 0,
  ImageTypeBitmap = 1,
  ImageTypeMetafile = 2,
};
enum ImageLockMode {
  ImageLockModeRead = 0x0001,
  ImageLockModeWrite = 0x0002,
  ImageLockModeUserInputBuf = 0x0004,
};
enum PathPointType {
  PathPointTypeStart = 0,
  PathPointTypeLine = 1,
  PathPointTypeBezier = 3,
  PathPointTypePathTypeMask = 0x07,
  PathPointTypeCloseSubpath = 0x80,
};

// Pixel formats (the values of the C API). Bitmaps support the 32-bit formats and 24bppRGB.
using PixelFormat = int;
constexpr PixelFormat PixelFormatUndefined = 0;
constexpr PixelFormat PixelFormatDontCare = 0;
constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;
constexpr UINT GetPixelFormatSize(PixelFormat f) { return (UINT(f) >> 8) & 0xFF; }

// Pixels of a locked bitmap area (LockBits/UnlockBits).
struct BitmapData {
  UINT Width = 0;
  UINT Height = 0;
  int Stride = 0;  // bytes from one row to the next (negative: rows go upwards)
  vcl::PixelFormat PixelFormat = PixelFormatUndefined;
  void* Scan0 = nullptr;
  std::uintptr_t Reserved = 0;
};
using TBitmapData = BitmapData;

// ---- Matrix ---------------------------------------------------------------------------------
// An affine transform: x' = M11 x + M21 y + DX, y' = M12 x + M22 y + DY.
class TGPMatrix {
 public:
  TGPMatrix() = default;
  TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  // Maps the rectangle onto the parallelogram whose corners are dstplg[0] (top-left),
  // dstplg[1] (top-right) and dstplg[2] (bottom-left).
  TGPMatrix(const TGPRectF& rect, const TGPPointF* dstplg);
  TGPMatrix* Clone() const { return new TGPMatrix(*this); }

  Status GetElements(REAL* m) const;  // m11, m12, m21, m22, dx, dy
  Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  REAL OffsetX() const { return FM[4]; }
  REAL OffsetY() const { return FM[5]; }
  Status Reset();
  Status Multiply(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
  Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
  Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);  // degrees, clockwise
  Status RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
  Status Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend);
  Status Invert();  // InvalidParameter when singular
  Status TransformPoints(TGPPointF* pts, int count = 1) const;
  Status TransformVectors(TGPPointF* pts, int count = 1) const;
  bool IsInvertible() const;
  bool IsIdentity() const;
  bool Equals(const TGPMatrix* matrix) const;
  Status GetLastStatus() { return Take(FLastStatus); }

 private:
  static Status Take(Status& s) { Status r = s; s = Ok; return r; }
  Status Combine(const REAL* m, MatrixOrder order);
  REAL FM[6] = {1, 0, 0, 1, 0, 0};
  Status FLastStatus = Ok;
};

// ---- Brushes and pens -------------------------------------------------------------------------
class TGPBrush {
 public:
  virtual ~TGPBrush() = default;
  TGPBrush(const TGPBrush&) = delete;
  TGPBrush& operator=(const TGPBrush&) = delete;
  virtual TGPBrush* Clone() const = 0;
  BrushType GetType() const { return FType; }
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

 protected:
  explicit TGPBrush(BrushType type) : FType(type) {}
  BrushType FType;
  Status FLastStatus = Ok;
};

class TGPSolidBrush final : public TGPBrush {
 public:
  explicit TGPSolidBrush(ARGB color) : TGPBrush(BrushTypeSolidColor), FColor(color) {}
  TGPBrush* Clone() const override { return new TGPSolidBrush(FColor); }
  Status GetColor(ARGB* color) const;
  Status SetColor(ARGB color) { FColor = color; return Ok; }
  ARGB Color() const { return FColor; }

 private:
  ARGB FColor;
};

// Colour along a line: t = 0 at the start line (color1), 1 at the end line (color2), constant
// on lines perpendicular to the gradient direction (for the diagonal modes and scalable
// angles: constant on lines parallel to the rectangle's other diagonal). Outside [0, 1] the
// gradient repeats (WrapModeTile, the default) or mirrors (the flip modes).
class TGPLinearGradientBrush final : public TGPBrush {
 public:
  TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1, ARGB color2);
  TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1, ARGB color2);
  TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
  TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
  // angle in degrees, clockwise from the x axis.
  TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, REAL angle,
                         bool isAngleScalable = false);
  TGPBrush* Clone() const override;

  Status SetLinearColors(ARGB color1, ARGB color2);
  Status GetLinearColors(ARGB* colors) const;  // two entries
  Status GetRectangle(TGPRectF* rect) const;
  // Preset colours at positions 0..1 (the first must be 0, the last 1); replaces the two
  // linear colours until SetLinearColors is called again.
  Status SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, int count);
  int GetInterpolationColorCount() const { return int(FPresetColors.size()); }
  Status SetWrapMode(WrapMode wrapMode);
  WrapMode GetWrapMode() const { return FWrap; }
  Status SetGammaCorrection(bool useGammaCorrection) { FGamma = useGammaCorrection; return Ok; }
  bool GetGammaCorrection() const { return FGamma; }
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  Status ResetTransform() { return FTransform.Reset(); }
  Status SetTransform(const TGPMatrix* matrix);
  Status GetTransform(TGPMatrix* matrix) const;

  // The gradient parameter as an affine function of brush space: t = A x + B y + C
  // (before the brush transform).
  REAL ParamA() const { return FA; }
  REAL ParamB() const { return FB; }
  REAL ParamC() const { return FC; }
  const TGPMatrix& Transform() const { return FTransform; }
  const std::vector<ARGB>& PresetColors() const { return FPresetColors; }
  const std::vector<REAL>& PresetPositions() const { return FPresetPositions; }
  ARGB Color1() const { return FColor1; }
  ARGB Color2() const { return FColor2; }

 private:
  TGPLinearGradientBrush() : TGPBrush(BrushTypeLinearGradient) {}
  void InitAngle(const TGPRectF& rect, REAL angle, bool scalable);
  TGPRectF FRect;
  ARGB FColor1 = 0, FColor2 = 0;
  REAL FA = 0, FB = 0, FC = 0;
  WrapMode FWrap = WrapModeTile;
  bool FGamma = false;
  TGPMatrix FTransform;
  std::vector<ARGB> FPresetColors;
  std::vector<REAL> FPresetPositions;
};

class TGPPen {
 public:
  explicit TGPPen(ARGB color, REAL width = 1);
  explicit TGPPen(const TGPBrush* brush, REAL width = 1);
  ~TGPPen();
  TGPPen(const TGPPen&) = delete;
  TGPPen& operator=(const TGPPen&) = delete;
  TGPPen* Clone() const;

  Status SetWidth(REAL width);
  REAL GetWidth() const { return FWidth; }
  Status SetColor(ARGB color);  // also drops a brush set with SetBrush
  Status GetColor(ARGB* color) const;
  Status SetBrush(const TGPBrush* brush);  // the brush is copied
  const TGPBrush* GetBrush() const { return FBrush.get(); }
  Status SetAlignment(PenAlignment alignment);
  PenAlignment GetAlignment() const { return FAlignment; }
  Status SetLineJoin(LineJoin join);
  LineJoin GetLineJoin() const { return FJoin; }
  Status SetMiterLimit(REAL limit);
  REAL GetMiterLimit() const { return FMiterLimit; }
  Status SetStartCap(LineCap cap);
  Status SetEndCap(LineCap cap);
  Status SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap);
  LineCap GetStartCap() const { return FStartCap; }
  LineCap GetEndCap() const { return FEndCap; }
  Status SetDashStyle(DashStyle style);
  DashStyle GetDashStyle() const { return FDashStyle; }
  // Dash and gap lengths in multiples of the pen width; sets DashStyleCustom.
  Status SetDashPattern(const REAL* dashArray, int count);
  const std::vector<REAL>& DashPattern() const { return FDashes; }
  Status SetDashOffset(REAL offset) { FDashOffset = offset; return Ok; }
  REAL GetDashOffset() const { return FDashOffset; }
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

 private:
  ARGB FColor = 0xFF000000;
  REAL FWidth = 1;
  std::unique_ptr<TGPBrush> FBrush;
  PenAlignment FAlignment = PenAlignmentCenter;
  LineJoin FJoin = LineJoinMiter;
  REAL FMiterLimit = 10;
  LineCap FStartCap = LineCapFlat;
  LineCap FEndCap = LineCapFlat;
  DashStyle FDashStyle = DashStyleSolid;
  std::vector<REAL> FDashes;
  REAL FDashOffset = 0;
  Status FLastStatus = Ok;
};

// ---- Paths -------------------------------------------------------------------------------------
// Figures of lines and cubic Bezier curves, stored as points with PathPointType tags.
// AddLine, AddLines, AddArc and AddBezier(s) extend the current figure (joining it with a
// line); AddRectangle(s), AddEllipse, AddPolygon and AddPie add closed figures of their own.
class TGPGraphicsPath {
 public:
  explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate) : FFillMode(fillMode) {}
  TGPGraphicsPath(const TGPGraphicsPath&) = delete;
  TGPGraphicsPath& operator=(const TGPGraphicsPath&) = delete;
  TGPGraphicsPath* Clone() const;

  Status Reset();
  Status SetFillMode(FillMode mode);
  FillMode GetFillMode() const { return FFillMode; }
  Status StartFigure();
  Status CloseFigure();
  Status CloseAllFigures();

  Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
  Status AddLine(const TGPPointF& pt1, const TGPPointF& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }
  Status AddLines(const TGPPointF* points, int count);
  // An arc of the ellipse inscribed in the rectangle; angles in degrees, clockwise from the x
  // axis, measured on the ellipse as drawn (not on its parametric circle).
  Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle) {
    return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
  }
  Status AddBezier(const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3, const TGPPointF& pt4);
  Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4) {
    return AddBezier({x1, y1}, {x2, y2}, {x3, y3}, {x4, y4});
  }
  Status AddBeziers(const TGPPointF* points, int count);  // 1 + 3n points
  Status AddRectangle(const TGPRectF& rect);
  Status AddRectangles(const TGPRectF* rects, int count);
  Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
  Status AddEllipse(const TGPRectF& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }
  Status AddPolygon(const TGPPointF* points, int count);
  Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status AddPath(const TGPGraphicsPath* addingPath, bool connect);
  Status Transform(const TGPMatrix* matrix);

  // Bounds of the points (curves bounded by their control polygon), optionally transformed;
  // with a pen the outline's half width is added.
  Status GetBounds(TGPRectF* bounds, const TGPMatrix* matrix = nullptr, const TGPPen* pen = nullptr) const;
  int GetPointCount() const { return int(FPoints.size()); }
  Status GetPathPoints(TGPPointF* points, int count) const;
  Status GetPathTypes(BYTE* types, int count) const;
  Status GetLastPoint(TGPPointF* lastPoint) const;
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

  const std::vector<TGPPointF>& Points() const { return FPoints; }
  const std::vector<BYTE>& Types() const { return FTypes; }

 private:
  // Appends a point; the first of a new figure becomes a start point.
  void Add(const TGPPointF& p, BYTE type);
  bool FigureOpen() const { return !FNewFigure && !FPoints.empty(); }
  Status Fail(Status s) { FLastStatus = s; return s; }
  std::vector<TGPPointF> FPoints;
  std::vector<BYTE> FTypes;
  FillMode FFillMode;
  bool FNewFigure = true;
  Status FLastStatus = Ok;
};

// A closed rounded-rectangle figure with corner radius `radius` (limited to half the smaller
// side; 0 gives a plain rectangle).
Status GPAddRoundRect(TGPGraphicsPath& path, const TGPRectF& rect, REAL radius);
std::unique_ptr<TGPGraphicsPath> GPRoundRectPath(const TGPRectF& rect, REAL radius);

// ---- Images -------------------------------------------------------------------------------------
struct GpImageData;

class TGPImageAttributes {
 public:
  TGPImageAttributes() = default;
  TGPImageAttributes* Clone() const { return new TGPImageAttributes(*this); }
  // How samples beyond the source rectangle are taken: the flip modes repeat the edge pixels
  // (the default without attributes), WrapModeTile wraps around, WrapModeClamp reads `color`.
  Status SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000, bool clamp = false);
  WrapMode GetWrapMode() const { return FWrap; }
  ARGB GetWrapColor() const { return FWrapColor; }
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

 private:
  WrapMode FWrap = WrapModeTileFlipXY;
  ARGB FWrapColor = 0xFF000000;
  Status FLastStatus = Ok;
};

class TGPImage {
 public:
  virtual ~TGPImage();
  TGPImage(const TGPImage&) = delete;
  TGPImage& operator=(const TGPImage&) = delete;

  UINT GetWidth() const;
  UINT GetHeight() const;
  PixelFormat GetPixelFormat() const;
  ImageType GetType() const;
  Status GetBounds(TGPRectF* srcRect, Unit* srcUnit) const;
  virtual TGPImage* Clone() const;
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

  // Internal state shared with the drawing code.
  GpImageData* Data() const { return FData.get(); }

 protected:
  TGPImage();
  std::unique_ptr<GpImageData> FData;
  Status FLastStatus = Ok;
};

// A bitmap in one of the 32-bit formats (32bppARGB: straight alpha; 32bppPARGB: premultiplied;
// 32bppRGB: opaque) or 24bppRGB.
class TGPBitmap final : public TGPImage {
 public:
  // A new transparent (ARGB/PARGB) or black (RGB) bitmap.
  TGPBitmap(int width, int height, PixelFormat format = PixelFormat32bppARGB);
  // Wraps the caller's rows without copying them: scan0 is the top row, stride the byte
  // distance to the next row (negative for bottom-up memory). The memory must outlive the
  // bitmap; drawing into the bitmap writes into it, and drawing from it reads it afresh.
  TGPBitmap(int width, int height, int stride, PixelFormat format, BYTE* scan0);
  // A copy of a GDI bitmap's pixels as 32bppRGB (alpha is ignored, as the GDI bitmap model
  // has none); the palette argument exists for signature compatibility and is ignored.
  explicit TGPBitmap(HBITMAP hbm, void* hpal = nullptr);
  // Decodes a PNG or BMP image read from the stream's position to its end. UnknownImageFormat
  // for other data, InvalidParameter for a corrupt or truncated image, Win32Error when the
  // stream fails.
  explicit TGPBitmap(TStream* stream);
  ~TGPBitmap() override;

  static TGPBitmap* FromHBITMAP(HBITMAP hbm, void* hpal = nullptr) { return new TGPBitmap(hbm, hpal); }
  static TGPBitmap* FromStream(TStream* stream) { return new TGPBitmap(stream); }
  // Decodes a PNG or BMP file image held in memory (the bytes are not kept). Opaque images
  // become 32bppRGB bitmaps, the others 32bppARGB.
  static TGPBitmap* FromData(const void* data, size_t size);

  // Straight ARGB of pixel (x, y).
  Status GetPixel(int x, int y, ARGB* color) const;
  Status SetPixel(int x, int y, ARGB color);
  // Access to a rectangle of pixels (the whole bitmap when rect is null) in the given format
  // (the 32-bit formats or 24bppRGB). Read copies out, Write copies back on UnlockBits unless
  // the pixels are handed out in place. With ImageLockModeUserInputBuf the caller supplies
  // Scan0 and Stride. One lock at a time; drawing from or into a locked bitmap is refused with
  // ObjectBusy.
  Status LockBits(const TGPRect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData);
  Status UnlockBits(BitmapData* lockedBitmapData);
  // A copy of a rectangle of pixels, converted to the given format (PixelFormatDontCare keeps
  // this bitmap's format).
  TGPBitmap* Clone(const TGPRect& rect, PixelFormat format) const;
  TGPBitmap* Clone(int x, int y, int width, int height, PixelFormat format) const {
    return Clone(TGPRect{x, y, width, height}, format);
  }
  TGPBitmap* Clone(const TGPRectF& rect, PixelFormat format) const;
  TGPImage* Clone() const override;
  // A new top-down 32-bit DIB section of the image drawn over `background` (premultiplied
  // words, the drawing layer's pixel model). The caller deletes it.
  Status GetHBITMAP(ARGB background, HBITMAP* hbmReturn) const;

 private:
  TGPBitmap();
};

// ---- Fonts ---------------------------------------------------------------------------------------
struct GpFamilyData;
struct GpCollectionData;
struct GpFamilyAccess;
struct FontData;

class TGPFontCollection {
 public:
  virtual ~TGPFontCollection();
  TGPFontCollection(const TGPFontCollection&) = delete;
  TGPFontCollection& operator=(const TGPFontCollection&) = delete;
  int GetFamilyCount() const;
  // Fills up to numSought families (each must be a default-constructed family).
  Status GetFamilies(int numSought, class TGPFontFamily* gpfamilies, int* numFound) const;
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }
  GpCollectionData* Data() const { return FData.get(); }

 protected:
  TGPFontCollection();
  std::unique_ptr<GpCollectionData> FData;
  Status FLastStatus = Ok;
};

// Fonts loaded by the application itself (not visible to the system font lookup).
class TGPPrivateFontCollection final : public TGPFontCollection {
 public:
  TGPPrivateFontCollection() = default;
  // Loads every face of a TrueType/OpenType font (or collection) file image. The bytes are
  // copied. NotTrueTypeFont when the data is not a font FreeType can read.
  Status AddMemoryFont(const void* memory, int length);
  Status AddFontFile(StringView filename);
};

class TGPFontFamily {
 public:
  TGPFontFamily();
  // A system family (matched through fontconfig; it must exist under that name) or a family of
  // the given collection. FontFamilyNotFound otherwise.
  explicit TGPFontFamily(StringView name, const TGPFontCollection* fontCollection = nullptr);
  ~TGPFontFamily();
  TGPFontFamily(const TGPFontFamily&) = delete;
  TGPFontFamily& operator=(const TGPFontFamily&) = delete;
  TGPFontFamily* Clone() const;

  static const TGPFontFamily* GenericSansSerif();
  static const TGPFontFamily* GenericSerif();
  static const TGPFontFamily* GenericMonospace();

  Status GetFamilyName(String& name, LANGID language = 0) const;
  String FamilyName() const;
  bool IsAvailable() const { return FData != nullptr; }
  bool IsStyleAvailable(int style) const;
  // Design-unit metrics of the regular face.
  WORD GetEmHeight(int style) const;
  WORD GetCellAscent(int style) const;
  WORD GetCellDescent(int style) const;
  WORD GetLineSpacing(int style) const;
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

  const std::shared_ptr<GpFamilyData>& Data() const { return FData; }

 private:
  friend class TGPFontCollection;
  friend class TGPFont;
  friend struct GpFamilyAccess;
  std::shared_ptr<GpFamilyData> FData;
  Status FLastStatus = Ok;
};

class TGPFont {
 public:
  TGPFont(const TGPFontFamily* family, REAL emSize, int style = FontStyleRegular, Unit unit = UnitPoint);
  // A family by name (system, or of the collection); an unknown name falls back to the generic
  // sans-serif family and records FontFamilyNotFound.
  TGPFont(StringView familyName, REAL emSize, int style = FontStyleRegular, Unit unit = UnitPoint,
          const TGPFontCollection* fontCollection = nullptr);
  // The GDI font selected into the DC (or the given one): its face (substituted like the GDI
  // font mapper when not installed), pixel size and style.
  explicit TGPFont(HDC dc);
  TGPFont(HDC dc, HFONT font);
  TGPFont(HDC dc, const LOGFONTW& logfont);
  ~TGPFont();
  TGPFont(const TGPFont&) = delete;
  TGPFont& operator=(const TGPFont&) = delete;
  TGPFont* Clone() const;

  Status GetFamily(TGPFontFamily* family) const;
  REAL GetSize() const { return FSize; }
  int GetStyle() const { return FStyle; }
  Unit GetUnit() const { return FUnit; }
  bool IsAvailable() const { return FFamily != nullptr; }
  // Line spacing in pixels at the given resolution.
  REAL GetHeight(REAL dpi) const;
  REAL GetHeight(const class TGPGraphics* graphics) const;
  // The em size in pixels at the given resolution.
  REAL EmPixels(REAL dpi) const;
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

  const std::shared_ptr<GpFamilyData>& FamilyData() const { return FFamily; }

 private:
  TGPFont() = default;
  void InitFromFontData(const FontData* fd, const LOGFONTW* lf);
  std::shared_ptr<GpFamilyData> FFamily;
  REAL FSize = 0;
  int FStyle = FontStyleRegular;
  Unit FUnit = UnitPoint;
  Status FLastStatus = Ok;
};

class TGPStringFormat {
 public:
  explicit TGPStringFormat(int formatFlags = 0, LANGID language = 0) : FFlags(formatFlags) {}
  explicit TGPStringFormat(const TGPStringFormat* format);
  TGPStringFormat* Clone() const { return new TGPStringFormat(this); }
  // Default: wrapping, clipping, 1/6 em padding left and right, character trimming.
  static const TGPStringFormat* GenericDefault();
  // No padding, no clipping, no trimming.
  static const TGPStringFormat* GenericTypographic();

  Status SetFormatFlags(int flags) { FFlags = flags; return Ok; }
  int GetFormatFlags() const { return FFlags; }
  Status SetAlignment(StringAlignment align);
  StringAlignment GetAlignment() const { return FAlign; }
  Status SetLineAlignment(StringAlignment align);
  StringAlignment GetLineAlignment() const { return FLineAlign; }
  Status SetTrimming(StringTrimming trimming);
  StringTrimming GetTrimming() const { return FTrimming; }
  Status SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
  HotkeyPrefix GetHotkeyPrefix() const { return FHotkey; }
  bool Typographic() const { return FTypographic; }
  Status GetLastStatus() { Status r = FLastStatus; FLastStatus = Ok; return r; }

 private:
  int FFlags = 0;
  StringAlignment FAlign = StringAlignmentNear;
  StringAlignment FLineAlign = StringAlignmentNear;
  StringTrimming FTrimming = StringTrimmingCharacter;
  HotkeyPrefix FHotkey = HotkeyPrefixNone;
  bool FTypographic = false;
  Status FLastStatus = Ok;
};

// ---- Graphics ------------------------------------------------------------------------------------
struct GpGraphicsData;

class TGPGraphics {
 public:
  // Drawing into the DC's surface at its origin, inside its clip (both read at every call).
  explicit TGPGraphics(HDC dc);
  // Drawing into a bitmap; ObjectBusy while it is locked, InvalidParameter for null.
  explicit TGPGraphics(TGPImage* image);
  ~TGPGraphics();
  TGPGraphics(const TGPGraphics&) = delete;
  TGPGraphics& operator=(const TGPGraphics&) = delete;
  static TGPGraphics* FromHDC(HDC dc) { return new TGPGraphics(dc); }
  static TGPGraphics* FromImage(TGPImage* image) { return new TGPGraphics(image); }

  void Flush() {}
  Status GetLastStatus();

  // Rendering modes.
  Status SetCompositingMode(CompositingMode mode);
  CompositingMode GetCompositingMode() const;
  Status SetCompositingQuality(CompositingQuality quality);
  CompositingQuality GetCompositingQuality() const;
  Status SetInterpolationMode(InterpolationMode mode);
  InterpolationMode GetInterpolationMode() const;
  Status SetPixelOffsetMode(PixelOffsetMode mode);
  PixelOffsetMode GetPixelOffsetMode() const;
  Status SetSmoothingMode(SmoothingMode mode);
  SmoothingMode GetSmoothingMode() const;
  Status SetTextRenderingHint(TextRenderingHint hint);
  TextRenderingHint GetTextRenderingHint() const;
  Status SetTextContrast(UINT contrast);
  UINT GetTextContrast() const;
  REAL GetDpiX() const;
  REAL GetDpiY() const;

  // World transform (world -> device).
  Status SetTransform(const TGPMatrix* matrix);
  Status GetTransform(TGPMatrix* matrix) const;
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);

  // Clipping. Shapes are given in world coordinates and kept in device coordinates (a later
  // transform does not move them). Replace, Intersect and Exclude are supported; Union, Xor
  // and Complement give NotImplemented. A region is taken in device coordinates.
  Status SetClip(const TGPRectF& rect, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPRect& rect, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPGraphicsPath* path, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const TGPGraphics* g, CombineMode combineMode = CombineModeReplace);
  Status SetClip(HRGN hRgn, CombineMode combineMode = CombineModeReplace);
  Status IntersectClip(const TGPRectF& rect) { return SetClip(rect, CombineModeIntersect); }
  Status IntersectClip(const TGPRect& rect) { return SetClip(rect, CombineModeIntersect); }
  Status ExcludeClip(const TGPRectF& rect) { return SetClip(rect, CombineModeExclude); }
  Status ExcludeClip(const TGPRect& rect) { return SetClip(rect, CombineModeExclude); }
  Status ResetClip();
  Status TranslateClip(REAL dx, REAL dy);
  // Bounds of the graphics clip in world coordinates (a very large rectangle when no clip is
  // set); the visible bounds also intersect the target's own clip and size.
  Status GetClipBounds(TGPRectF* rect) const;
  Status GetClipBounds(TGPRect* rect) const;
  Status GetVisibleClipBounds(TGPRectF* rect) const;
  bool IsClipEmpty() const;
  bool IsVisible(REAL x, REAL y) const;

  GraphicsState Save();
  Status Restore(GraphicsState state);

  // Fills everything inside the clip with the colour, replacing what was there.
  Status Clear(ARGB color);

  Status DrawLine(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
  Status DrawLine(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2) {
    return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
  }
  Status DrawLine(const TGPPen* pen, int x1, int y1, int x2, int y2) {
    return DrawLine(pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
  }
  Status DrawLines(const TGPPen* pen, const TGPPointF* points, int count);
  Status DrawArc(const TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status DrawBezier(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2,
                    const TGPPointF& pt3, const TGPPointF& pt4);
  Status DrawRectangle(const TGPPen* pen, const TGPRectF& rect);
  Status DrawRectangle(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
    return DrawRectangle(pen, TGPRectF{x, y, width, height});
  }
  Status DrawRectangle(const TGPPen* pen, const TGPRect& rect) { return DrawRectangle(pen, ToRectF(rect)); }
  Status DrawEllipse(const TGPPen* pen, const TGPRectF& rect);
  Status DrawEllipse(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height) {
    return DrawEllipse(pen, TGPRectF{x, y, width, height});
  }
  Status DrawPie(const TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status DrawPolygon(const TGPPen* pen, const TGPPointF* points, int count);
  Status DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);

  Status FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
  Status FillRectangle(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
    return FillRectangle(brush, TGPRectF{x, y, width, height});
  }
  Status FillRectangle(const TGPBrush* brush, const TGPRect& rect) { return FillRectangle(brush, ToRectF(rect)); }
  Status FillRectangles(const TGPBrush* brush, const TGPRectF* rects, int count);
  Status FillEllipse(const TGPBrush* brush, const TGPRectF& rect);
  Status FillEllipse(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height) {
    return FillEllipse(brush, TGPRectF{x, y, width, height});
  }
  Status FillPie(const TGPBrush* brush, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
  Status FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count,
                     FillMode fillMode = FillModeAlternate);
  Status FillPath(const TGPBrush* brush, const TGPGraphicsPath* path);

  // Images. The source rectangle is in pixels (srcUnit UnitPixel; UnitWorld is taken as
  // pixels, other units give NotImplemented). A negative destination size mirrors.
  Status DrawImage(TGPImage* image, REAL x, REAL y);
  Status DrawImage(TGPImage* image, const TGPPointF& point) { return DrawImage(image, point.X, point.Y); }
  Status DrawImage(TGPImage* image, int x, int y) { return DrawImage(image, REAL(x), REAL(y)); }
  Status DrawImage(TGPImage* image, REAL x, REAL y, REAL width, REAL height);
  Status DrawImage(TGPImage* image, int x, int y, int width, int height) {
    return DrawImage(image, REAL(x), REAL(y), REAL(width), REAL(height));
  }
  Status DrawImage(TGPImage* image, const TGPRectF& destRect) {
    return DrawImage(image, destRect.X, destRect.Y, destRect.Width, destRect.Height);
  }
  Status DrawImage(TGPImage* image, const TGPRect& destRect) { return DrawImage(image, ToRectF(destRect)); }
  // An unscaled part of the image at (x, y).
  Status DrawImage(TGPImage* image, REAL x, REAL y, REAL srcx, REAL srcy, REAL srcwidth,
                   REAL srcheight, Unit srcUnit);
  Status DrawImage(TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                   REAL srcheight, Unit srcUnit, const TGPImageAttributes* imageAttributes = nullptr);
  Status DrawImage(TGPImage* image, const TGPRect& destRect, int srcx, int srcy, int srcwidth,
                   int srcheight, Unit srcUnit, const TGPImageAttributes* imageAttributes = nullptr) {
    return DrawImage(image, ToRectF(destRect), REAL(srcx), REAL(srcy), REAL(srcwidth),
                     REAL(srcheight), srcUnit, imageAttributes);
  }

  // Text. length -1: up to a terminating zero. A layout rectangle with zero width (height)
  // imposes no width (height) limit. Without a format the default format applies.
  Status DrawString(const Char* string, int length, const TGPFont* font, const TGPRectF& layoutRect,
                    const TGPStringFormat* stringFormat, const TGPBrush* brush);
  Status DrawString(const Char* string, int length, const TGPFont* font, const TGPPointF& origin,
                    const TGPStringFormat* stringFormat, const TGPBrush* brush);
  Status DrawString(const Char* string, int length, const TGPFont* font, const TGPPointF& origin,
                    const TGPBrush* brush) {
    return DrawString(string, length, font, origin, nullptr, brush);
  }
  Status DrawString(StringView text, const TGPFont* font, const TGPRectF& layoutRect,
                    const TGPStringFormat* stringFormat, const TGPBrush* brush) {
    return DrawString(text.data(), int(text.size()), font, layoutRect, stringFormat, brush);
  }
  // The box the text occupies when drawn into the layout rectangle (or at the origin), with the
  // number of UTF-16 units that fit and of lines.
  Status MeasureString(const Char* string, int length, const TGPFont* font, const TGPRectF& layoutRect,
                       const TGPStringFormat* stringFormat, TGPRectF* boundingBox,
                       int* codepointsFitted = nullptr, int* linesFilled = nullptr) const;
  Status MeasureString(const Char* string, int length, const TGPFont* font, const TGPPointF& origin,
                       const TGPStringFormat* stringFormat, TGPRectF* boundingBox) const;
  Status MeasureString(const Char* string, int length, const TGPFont* font, const TGPRectF& layoutRect,
                       TGPRectF* boundingBox) const {
    return MeasureString(string, length, font, layoutRect, nullptr, boundingBox);
  }
  Status MeasureString(const Char* string, int length, const TGPFont* font, const TGPPointF& origin,
                       TGPRectF* boundingBox) const {
    return MeasureString(string, length, font, origin, nullptr, boundingBox);
  }

  GpGraphicsData* Data() const { return FData.get(); }

 private:
  std::unique_ptr<GpGraphicsData> FData;
};

}  // namespace vcl
