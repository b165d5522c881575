// Fonts, pens and brushes: persistent descriptions of GDI objects whose handles are made on
// first use and remade after every change, plus the names of host colours.
//
// Every change of a property that alters the object fires OnChange once (a canvas holding the
// object deselects it then, so the next drawing selects the new handle). Assign copies every
// attribute and fires OnChange once.
#pragma once
#include "host/classes/Persistent.h"
#include "host/classes/Sets.h"
#include "host/gdi/GdiText.h"

namespace vcl {

class TBitmap;

// Registers the graphics classes that window descriptions create or name (TImageList,
// TBitmap, TPngImage, TFont, TPen, TBrush, TCanvas) and the colour and character-set
// identifiers. Runs when the first font or image list is made; calling it again does nothing.
void RegisterGraphicsClasses();

// ---- colour names ---------------------------------------------------------------------------
// Identifiers of every named host colour ("clBtnFace", "clNone", "clRed", ...), registered for
// the integer type "TColor" of window descriptions: a property declared with .Idents(u"TColor")
// is read from and written as these names. Registration happens once, before the first
// graphics class is used; classes of higher layers with colour properties call
// RegisterColorIdents() in their metadata lambda to be independent of that order.
void RegisterColorIdents();
// "clBtnFace" for a named colour; false otherwise.
bool ColorToIdent(TColor color, String& ident);
// Case-insensitive; false for an unknown name.
bool IdentToColor(StringView ident, TColor& color);
// The name of a named colour, else "$00BBGGRR" (8 hex digits).
String ColorToString(TColor color);
// A colour name or an integer ("255", "$0000FF", "-16777201"); EConvertError names the text
// otherwise.
TColor StringToColor(StringView s);

// ---- enumerations ---------------------------------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
constexpr TEnumNames EnumNames(TFontStyle) {
  return {u"TFontStyle", u"fsBold fsItalic fsUnderline fsStrikeOut"};
}

enum TFontPitch { fpDefault, fpVariable, fpFixed };
constexpr TEnumNames EnumNames(TFontPitch) {
  return {u"TFontPitch", u"fpDefault fpVariable fpFixed"};
}

enum TFontQuality {
  fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural
};
constexpr TEnumNames EnumNames(TFontQuality) {
  return {u"TFontQuality",
          u"fqDefault fqDraft fqProof fqNonAntialiased fqAntialiased fqClearType "
          u"fqClearTypeNatural"};
}

// Character sets are bytes, written in window descriptions by name ("DEFAULT_CHARSET").
using TFontCharset = Byte;
void RegisterCharsetIdents();

enum TPenStyle {
  psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate
};
constexpr TEnumNames EnumNames(TPenStyle) {
  return {u"TPenStyle",
          u"psSolid psDash psDot psDashDot psDashDotDot psClear psInsideFrame psUserStyle "
          u"psAlternate"};
}

// Mix modes of a pen, in the order of their R2_ codes' usual listing (see PenModeToRop2).
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
  pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
constexpr TEnumNames EnumNames(TPenMode) {
  return {u"TPenMode",
          u"pmBlack pmWhite pmNop pmNot pmCopy pmNotCopy pmMergePenNot pmMaskPenNot "
          u"pmMergeNotPen pmMaskNotPen pmMerge pmNotMerge pmMask pmNotMask pmXor pmNotXor"};
}
int PenModeToRop2(TPenMode mode);

enum TBrushStyle {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
constexpr TEnumNames EnumNames(TBrushStyle) {
  return {u"TBrushStyle",
          u"bsSolid bsClear bsHorizontal bsVertical bsFDiagonal bsBDiagonal bsCross bsDiagCross"};
}

// ---- TGraphicsObject ------------------------------------------------------------------------
class TGraphicsObject : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  // The owner whose stored properties include this object (for GetNamePath and messages).
  TPersistent* GetOwner() const override { return FOwner; }
  void SetOwner(TPersistent* owner) { FOwner = owner; }

 protected:
  // Forgets the handle (so the next use makes a new one) and fires OnChange.
  virtual void Changed();
  TNotifyEvent FOnChange;
  TPersistent* FOwner = nullptr;
};

// Deletes a GDI object, or, while some device context still holds it selected, retries
// later (at the next call) instead of leaking it.
void ReleaseGdiObject(HGDIOBJ obj);

// ---- TFont ----------------------------------------------------------------------------------
// A font described by face name, height in pixels (negative: the em height; positive: the cell
// height), style, colour, character set, quality, orientation and pitch.
//
// Size is the height in points at PixelsPerInch (96 unless set):
//   Size   = -MulDiv(Height, 72, PixelsPerInch)
//   Height = -MulDiv(Size, PixelsPerInch, 72)
// with MulDiv rounding halves away from zero, so Size 8 at 96 PPI is Height -11 and Height -11
// reads back as Size 8; Size 9 at 144 PPI is Height -18. Changing PixelsPerInch keeps Height.
class TFont : public TGraphicsObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TFont();
  ~TFont() override;

  // Copies a TFont. When the two PixelsPerInch differ, Height is converted to this font's
  // density: MulDiv(source.Height, PixelsPerInch, source.PixelsPerInch).
  void Assign(TPersistent* source) override;

  // The font handle, made on first use and after every change; owned by the font.
  HFONT Handle();
  // Adopts a font: its attributes become this font's (the handle itself is not kept).
  void SetHandle(HFONT font);

  const String& Name() const { return FName; }
  void SetName(StringView v);
  int Height() const { return FHeight; }
  void SetHeight(int v);
  int Size() const;
  void SetSize(int v);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int v);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset v);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality v);
  // Angle of the text in tenths of a degree, counter-clockwise.
  int Orientation() const { return FOrientation; }
  void SetOrientation(int v);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch v);

  // The LOGFONTW the handle is made from.
  LOGFONTW LogFont() const;

  // The attributes of a new font (face "Tahoma", height -11, clWindowText, DEFAULT_CHARSET).
  static const String& DefaultName();

 protected:
  void Changed() override;

 private:
  void FreeHandle();
  HFONT FHandle = nullptr;
  String FName;
  int FHeight = -11;
  int FPixelsPerInch = 96;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = 1;  // DEFAULT_CHARSET
  TFontQuality FQuality = fqDefault;
  int FOrientation = 0;
  TFontPitch FPitch = fpDefault;
};

// ---- TPen -----------------------------------------------------------------------------------
class TPen : public TGraphicsObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TPen() = default;
  ~TPen() override;
  void Assign(TPersistent* source) override;

  HPEN Handle();

  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  int Width() const { return FWidth; }
  void SetWidth(int v);  // values below 1 count as 1 when drawing, as GDI does
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode v);

 protected:
  void Changed() override;

 private:
  void FreeHandle();
  HPEN FHandle = nullptr;
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

// ---- TBrush ---------------------------------------------------------------------------------
class TBrush : public TGraphicsObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* source) override;

  // A solid, hatched, hollow (bsClear) or pattern brush (when Bitmap is set).
  HBRUSH Handle();

  TColor Color() const { return FColor; }
  // Setting a colour while the style is bsClear makes the brush solid.
  void SetColor(TColor v);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle v);
  // A pattern: the brush copies the bitmap's pixels when its handle is made. The bitmap is not
  // owned and must stay alive while it is set; nullptr returns to Style and Color.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* v);

 protected:
  void Changed() override;

 private:
  void FreeHandle();
  HBRUSH FHandle = nullptr;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

}  // namespace vcl
