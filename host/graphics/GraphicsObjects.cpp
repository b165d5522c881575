// Fonts, pens and brushes.
#include "host/graphics/GraphicsObjects.h"

#include <algorithm>
#include <vector>

#include "host/gdi/GdiText.h"
#include "host/graphics/Graphic.h"
#include "host/rtl/Assert.h"

namespace vcl {

// ---- handles ------------------------------------------------------------------------------

namespace {
// Objects whose deletion was refused because a DC still held them.
std::vector<HGDIOBJ>& PendingDeletes() {
  static std::vector<HGDIOBJ> pending;
  return pending;
}
}  // namespace

void ReleaseGdiObject(HGDIOBJ obj) {
  auto& pending = PendingDeletes();
  for (size_t i = 0; i < pending.size();) {
    if (DeleteObject(pending[i])) {
      pending[i] = pending.back();
      pending.pop_back();
    } else {
      ++i;
    }
  }
  if (obj && !DeleteObject(obj)) pending.push_back(obj);
}

void TGraphicsObject::Changed() { FOnChange(this); }

// ---- TFont ----------------------------------------------------------------------------------

const String& TFont::DefaultName() {
  static const String name = u"Tahoma";
  return name;
}

TFont::TFont() : FName(DefaultName()) { RegisterGraphicsClasses(); }

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) ReleaseGdiObject(AsGdiObj(FHandle));
  FHandle = nullptr;
}

// The handle goes after the listeners had their say: a canvas deselects it in its handler.
void TFont::Changed() {
  HFONT old = FHandle;
  FHandle = nullptr;
  TGraphicsObject::Changed();
  if (old) ReleaseGdiObject(AsGdiObj(old));
}

void TFont::Assign(TPersistent* source) {
  auto* f = dynamic_cast<TFont*>(source);
  if (!f) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (f == this) return;
  FName = f->FName;
  FHeight = f->FPixelsPerInch > 0 && f->FPixelsPerInch != FPixelsPerInch
                ? MulDiv(f->FHeight, FPixelsPerInch, f->FPixelsPerInch)
                : f->FHeight;
  FStyle = f->FStyle;
  FColor = f->FColor;
  FCharset = f->FCharset;
  FQuality = f->FQuality;
  FOrientation = f->FOrientation;
  FPitch = f->FPitch;
  Changed();
}

LOGFONTW TFont::LogFont() const {
  LOGFONTW lf;
  lf.lfHeight = FHeight;
  lf.lfEscapement = FOrientation;
  lf.lfOrientation = FOrientation;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfQuality = BYTE(FQuality);  // the TFontQuality order is that of the *_QUALITY codes
  constexpr BYTE kPitch[] = {0 /*DEFAULT*/, 2 /*VARIABLE*/, 1 /*FIXED*/};
  lf.lfPitchAndFamily = TableAt(kPitch, FPitch);
  size_t n = std::min<size_t>(FName.size(), LF_FACESIZE - 1);
  std::copy_n(FName.data(), n, lf.lfFaceName);
  lf.lfFaceName[n] = 0;
  return lf;
}

HFONT TFont::Handle() {
  if (!FHandle) FHandle = CreateFontIndirectW(LogFont());
  return FHandle;
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf;
  if (!font || !GetObject(font, &lf)) return;
  FName.assign(lf.lfFaceName, std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, u'\0'));
  FHeight = lf.lfHeight;
  TFontStyles st;
  if (lf.lfWeight >= FW_BOLD) st.Include(fsBold);
  if (lf.lfItalic) st.Include(fsItalic);
  if (lf.lfUnderline) st.Include(fsUnderline);
  if (lf.lfStrikeOut) st.Include(fsStrikeOut);
  FStyle = st;
  FCharset = lf.lfCharSet;
  FQuality = lf.lfQuality <= fqClearTypeNatural ? TFontQuality(lf.lfQuality) : fqDefault;
  FOrientation = lf.lfEscapement;
  int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == 1 ? fpFixed : pitch == 2 ? fpVariable : fpDefault;
  Changed();
}

void TFont::SetName(StringView v) {
  if (FName == v) return;
  FName = String(v);
  Changed();
}

void TFont::SetHeight(int v) {
  if (FHeight == v) return;
  FHeight = v;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }

void TFont::SetPixelsPerInch(int v) {
  if (v > 0) FPixelsPerInch = v;
}

void TFont::SetStyle(TFontStyles v) {
  if (FStyle == v) return;
  FStyle = v;
  Changed();
}

void TFont::SetColor(TColor v) {
  if (FColor == v) return;
  FColor = v;
  Changed();
}

void TFont::SetCharset(TFontCharset v) {
  if (FCharset == v) return;
  FCharset = v;
  Changed();
}

void TFont::SetQuality(TFontQuality v) {
  if (FQuality == v) return;
  FQuality = v;
  Changed();
}

void TFont::SetOrientation(int v) {
  if (FOrientation == v) return;
  FOrientation = v;
  Changed();
}

void TFont::SetPitch(TFontPitch v) {
  if (FPitch == v) return;
  FPitch = v;
  Changed();
}

// ---- TPen -----------------------------------------------------------------------------------

int PenModeToRop2(TPenMode mode) {
  static constexpr int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                                  R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                  R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                                  R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
  return unsigned(mode) < 16 ? kRop2[mode] : R2_COPYPEN;
}

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
  if (FHandle) ReleaseGdiObject(AsGdiObj(FHandle));
  FHandle = nullptr;
}

void TPen::Changed() {
  HPEN old = FHandle;
  FHandle = nullptr;
  TGraphicsObject::Changed();
  if (old) ReleaseGdiObject(AsGdiObj(old));
}

void TPen::Assign(TPersistent* source) {
  auto* p = dynamic_cast<TPen*>(source);
  if (!p) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (p == this) return;
  FColor = p->FColor;
  FWidth = p->FWidth;
  FStyle = p->FStyle;
  FMode = p->FMode;
  Changed();
}

HPEN TPen::Handle() {
  if (!FHandle) {
    UINT style;
    switch (FStyle) {
      case psDash: style = PS_DASH; break;
      case psDot:
      case psAlternate: style = PS_DOT; break;
      case psDashDot: style = PS_DASHDOT; break;
      case psDashDotDot: style = PS_DASHDOTDOT; break;
      case psClear: style = PS_NULL; break;
      case psInsideFrame: style = PS_INSIDEFRAME; break;
      default: style = PS_SOLID; break;
    }
    FHandle = CreatePen(int(style), FWidth, ColorToRGB(FColor));
  }
  return FHandle;
}

void TPen::SetColor(TColor v) {
  if (FColor == v) return;
  FColor = v;
  Changed();
}

void TPen::SetWidth(int v) {
  if (FWidth == v) return;
  FWidth = v;
  Changed();
}

void TPen::SetStyle(TPenStyle v) {
  if (FStyle == v) return;
  FStyle = v;
  Changed();
}

void TPen::SetMode(TPenMode v) {
  if (FMode == v) return;
  FMode = v;
  Changed();
}

// ---- TBrush ---------------------------------------------------------------------------------

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
  if (FHandle) ReleaseGdiObject(AsGdiObj(FHandle));
  FHandle = nullptr;
}

void TBrush::Changed() {
  HBRUSH old = FHandle;
  FHandle = nullptr;
  TGraphicsObject::Changed();
  if (old) ReleaseGdiObject(AsGdiObj(old));
}

void TBrush::Assign(TPersistent* source) {
  auto* b = dynamic_cast<TBrush*>(source);
  if (!b) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (b == this) return;
  FColor = b->FColor;
  FStyle = b->FStyle;
  FBitmap = b->FBitmap;
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap && !FBitmap->Empty()) {
      FHandle = CreatePatternBrush(FBitmap->Handle());
    } else if (FStyle == bsSolid) {
      FHandle = CreateSolidBrush(ColorToRGB(FColor));
    } else if (FStyle == bsClear) {
      LOGBRUSH lb;
      lb.lbStyle = BS_NULL;
      FHandle = CreateBrushIndirect(lb);
    } else {
      FHandle = CreateHatchBrush(int(FStyle) - int(bsHorizontal) + HS_HORIZONTAL,
                                 ColorToRGB(FColor));
    }
  }
  return FHandle;
}

void TBrush::SetColor(TColor v) {
  if (FColor == v && FStyle != bsClear) return;
  FColor = v;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
  if (FStyle == v) return;
  FStyle = v;
  Changed();
}

void TBrush::SetBitmap(TBitmap* v) {
  if (FBitmap == v) return;
  FBitmap = v;
  Changed();
}

}  // namespace vcl
