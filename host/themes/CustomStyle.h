// Styles drawn from a style file: the custom styles and, from its own embedded source, the
// system style "Windows".
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "host/themes/StyleServices.h"

namespace vcl {

struct TStyleSource;
struct TRecipe;

class TCustomStyle : public TCustomStyleServices {
 public:
  // A style from a packed style file (signature + zlib stream), parsed and checked at once:
  // raises EStyleEngineException naming `origin` for anything malformed.
  static std::unique_ptr<TCustomStyle> Load(const Byte* data, size_t size, const String& origin);
  // A style from packed data that stays valid for the life of the process and was checked when
  // it was built (embedded resources): only its name is read now, the rest on first use.
  static std::unique_ptr<TCustomStyle> LoadDeferred(const Byte* data, size_t size,
                                                    const String& origin);
  ~TCustomStyle() override;

  String Name() const override;
  bool Enabled() const override { return true; }
  bool IsSystemStyle() const override { return false; }
  TStyleInfo Info() const override;

  bool DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& r,
                   const TRect* clip, int dpi) const override;

  bool GetElementColor(const TThemedElementDetails& details, TElementColor kind,
                       TColor& color) const override;
  bool GetElementSize(HDC dc, const TThemedElementDetails& details, TElementSize kind,
                      TSize& size, int dpi) const override;
  bool GetElementSize(HDC dc, const TThemedElementDetails& details, const TRect& r,
                      TElementSize kind, TSize& size, int dpi) const override;
  bool GetElementContentRect(HDC dc, const TThemedElementDetails& details, const TRect& bounds,
                             TRect& contentRect, int dpi) const override;
  bool GetElementMargins(HDC dc, const TThemedElementDetails& details, TElementMargin margin,
                         TElementMargins& margins, int dpi) const override;
  bool GetElementMargins(HDC dc, const TThemedElementDetails& details, const TRect& r,
                         TElementMargin margin, TElementMargins& margins,
                         int dpi) const override;
  bool GetElementRegion(HDC dc, const TThemedElementDetails& details, const TRect& r,
                        HRGN& region, int dpi) const override;
  bool HasTransparentParts(const TThemedElementDetails& details) const override;
  bool HasElementFixedPosition(const TThemedElementDetails& details) const override;

  TColor GetStyleColor(TStyleColor color) const override;
  TColor GetStyleFontColor(TStyleFont font) const override;
  TColor GetSystemColor(TColor color) const override;
  TStyleFontSpec GetStyleFont(TStyleFontKind kind) const override;

  // The recipe a detail is drawn from; nullptr for a detail the element model does not know.
  const TRecipe* Recipe(const TThemedElementDetails& details) const;
  // Parses a deferred style now (no-op otherwise); raises like Load on malformed data.
  void EnsureParsed() const;

  // A number no other style instance of the process has: the element cache's key.
  std::uint64_t Serial() const { return FSerial; }

 protected:
  TCustomStyle(const Byte* data, size_t size, const String& origin, bool copy);
  const TStyleSource& Source() const;
  // Parses now and takes the style's name and data from the source.
  void ParseNow();

 private:
  std::vector<Byte> FOwned;  // the packed data when copied
  const Byte* FData;
  size_t FSize;
  String FOrigin;
  TStyleInfo FInfo;
  mutable std::unique_ptr<TStyleSource> FSource;
  mutable std::vector<TRecipe> FRecipes;
  mutable std::vector<bool> FResolved;
  std::uint64_t FSerial;  // identifies this instance's images in the element cache
};

// The system style "Windows": a light, flat themed look with blue accents, drawn like the
// custom styles from an embedded source, but reporting itself as the system style and leaving
// system colours to the system colour table.
class TSystemStyle final : public TCustomStyle {
 public:
  // The system style built into the program.
  static std::unique_ptr<TSystemStyle> Create();
  bool IsSystemStyle() const override { return true; }
  TColor GetSystemColor(TColor color) const override { return color; }

 private:
  using TCustomStyle::TCustomStyle;
};

}  // namespace vcl
