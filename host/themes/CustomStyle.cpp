#include "host/themes/CustomStyle.h"

#include <cmath>

#include "host/gdi/GdiCairo.h"
#include "host/rtl/Resources.h"
#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"
#include "host/themes/StyleElementCache.h"
#include "host/themes/StyleRender.h"

namespace vcl {
namespace {

TColor ToColor(TArgb c) { return TColor(ColorRefOf(c)); }

int Scaled(int v, int dpi) { return MulDiv(v, dpi, 96); }

int EffectiveDpi(HDC dc, int dpi) {
  if (dpi > 0) return dpi;
  return dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
}

std::uint64_t NextSerial() {
  static std::uint64_t next = 0;
  return ++next;
}

// The recipe rendered at the origin of its own image of r's size.
cairo_surface_t* RenderElement(const TRecipe& rc, int width, int height, double scale) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return nullptr;
  }
  cairo_t* cr = cairo_create(image);
  PaintRecipe(cr, rc, TRect{0, 0, width, height}, scale);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  return image;
}

}  // namespace

TCustomStyle::TCustomStyle(const Byte* data, size_t size, const String& origin, bool copy)
    : FData(data), FSize(size), FOrigin(origin), FSerial(NextSerial()) {
  if (copy) {
    FOwned.assign(data, data + size);
    FData = FOwned.data();
  }
}

TCustomStyle::~TCustomStyle() { TStyleElementCache::Instance().Purge(FSerial); }

std::unique_ptr<TCustomStyle> TCustomStyle::Load(const Byte* data, size_t size, const String& origin) {
  std::string text = UnpackStyle(data, size, origin);
  auto source = std::make_unique<TStyleSource>(ParseStyleSource(text, origin));
  std::unique_ptr<TCustomStyle> style(new TCustomStyle(data, size, origin, true));
  style->FInfo = source->Info;
  style->FSource = std::move(source);
  return style;
}

std::unique_ptr<TCustomStyle> TCustomStyle::LoadDeferred(const Byte* data, size_t size,
                                                         const String& origin) {
  std::unique_ptr<TCustomStyle> style(new TCustomStyle(data, size, origin, false));
  style->FInfo = ParseStyleInfo(UnpackStyle(data, size, origin), origin);
  return style;
}

void TCustomStyle::EnsureParsed() const { Source(); }

void TCustomStyle::ParseNow() { FInfo = Source().Info; }

const TStyleSource& TCustomStyle::Source() const {
  if (!FSource) {
    std::string text = UnpackStyle(FData, FSize, FOrigin);
    FSource = std::make_unique<TStyleSource>(ParseStyleSource(text, FOrigin));
  }
  return *FSource;
}

const TRecipe* TCustomStyle::Recipe(const TThemedElementDetails& details) const {
  int entry = EntryOfDetails(details);
  if (entry < 0) return nullptr;
  const TStyleSource& src = Source();
  if (FRecipes.empty()) {
    FRecipes.resize(ElementEntries().size());
    FResolved.assign(ElementEntries().size(), false);
  }
  if (!FResolved[size_t(entry)]) {
    FRecipes[size_t(entry)] = ResolveRecipe(src, entry);
    FResolved[size_t(entry)] = true;
  }
  return &FRecipes[size_t(entry)];
}

String TCustomStyle::Name() const { return FInfo.Name; }
TStyleInfo TCustomStyle::Info() const { return FInfo; }

bool TCustomStyle::DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& r,
                               const TRect* clip, int dpi) const {
  const TRecipe* rc = Recipe(details);
  if (!rc || !dc) return false;
  if (ElementEntries()[size_t(EntryOfDetails(details))].TextOnly) return true;
  if (r.IsEmpty()) return true;
  if (clip && clip->IsEmpty()) return true;
  TDcCairo draw(dc);
  cairo_t* cr = draw.Context();
  if (!cr) return false;
  if (clip) {
    cairo_rectangle(cr, clip->Left, clip->Top, clip->Width(), clip->Height());
    cairo_clip(cr);
  }
  const int dpiUsed = EffectiveDpi(dc, dpi);
  const double scale = dpiUsed / 96.0;
  if (!TStyleElementCache::Admits(r.Width(), r.Height())) {
    PaintRecipe(cr, *rc, r, scale);
    return true;
  }
  // Elements of a cacheable size always go through their own image, cached or not, so a
  // cached paint and a fresh one composite the very same pixels.
  TStyleElementCache& cache = TStyleElementCache::Instance();
  const TStyleElementKey key{FSerial, EntryOfDetails(details), r.Width(), r.Height(), dpiUsed};
  cairo_surface_t* image = cache.Find(key);
  if (!image) {
    image = RenderElement(*rc, r.Width(), r.Height(), scale);
    if (!image) return false;
    cache.Store(key, image);
  }
  cairo_set_source_surface(cr, image, r.Left, r.Top);
  cairo_paint(cr);
  cairo_surface_destroy(image);
  return true;
}

bool TCustomStyle::GetElementColor(const TThemedElementDetails& details, TElementColor kind,
                                   TColor& color) const {
  const TRecipe* rc = Recipe(details);
  if (!rc) return false;
  TArgb c = 0;
  switch (kind) {
    case ecTextColor:
    case ecBodyTextColor:
      c = rc->Text;
      break;
    case ecFillColor:
    case ecEdgeFillColor:
    case ecFillColorHint:
      if (rc->Fill.Kind != TFillKind::None) c = rc->Fill.Colors[0];
      break;
    case ecBorderColor:
    case ecBorderColorHint:
      if (rc->BorderWidth > 0) c = rc->BorderColor;  // alpha 0 when hidden
      break;
    case ecGradientColor1:
    case ecGradientColor2:
    case ecGradientColor3:
    case ecGradientColor4: {
      int i = kind - ecGradientColor1;
      if (rc->Fill.Kind == TFillKind::Solid) c = rc->Fill.Colors[0];
      else if (rc->Fill.Kind == TFillKind::Linear && i < rc->Fill.StopCount) c = rc->Fill.Colors[i];
      break;
    }
    case ecGlowColor:
      c = rc->Glow;
      break;
    case ecShadowColor:
    case ecTextShadowColor:
      c = rc->Shadow;
      break;
    case ecEdgeLightColor:
      c = rc->Edges[0];
      break;
    case ecEdgeHighLightColor:
      c = rc->Edges[1];
      break;
    case ecEdgeShadowColor:
      c = rc->Edges[2];
      break;
    case ecEdgeDkShadowColor:
      c = rc->Edges[3];
      break;
    case ecGlyphTextColor:
      c = AlphaOf(rc->GlyphColor) ? rc->GlyphColor : rc->Text;
      break;
    case ecAccentColorHint:
      c = rc->Glow ? rc->Glow : rc->BorderColor;
      break;
    case ecTextColorHint:
      c = rc->Text;
      break;
    default:
      break;
  }
  if (AlphaOf(c) == 0) return false;
  color = ToColor(c);
  return true;
}

bool TCustomStyle::GetElementSize(HDC dc, const TThemedElementDetails& details, TElementSize kind,
                                  TSize& size, int dpi) const {
  const TRecipe* rc = Recipe(details);
  if (!rc) return false;
  int d = EffectiveDpi(dc, dpi);
  const TSize* s = nullptr;
  if (kind == esMinimum && rc->HasProp(rpMinSize)) s = &rc->MinSize;
  else if (rc->HasProp(rpSize)) s = &rc->Size;
  if (!s) return false;
  size = {Scaled(s->cx, d), Scaled(s->cy, d)};
  return true;
}

bool TCustomStyle::GetElementSize(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                  TElementSize kind, TSize& size, int dpi) const {
  if (kind != esStretch) return GetElementSize(dc, details, kind, size, dpi);
  const TRecipe* rc = Recipe(details);
  if (!rc) return false;
  if (!rc->HasProp(rpSize) || (rc->Size.cx == 0 && rc->Size.cy == 0)) {
    size = r.Size();
    return true;
  }
  // Keep the element's proportions, as large as fits into r.
  int d = EffectiveDpi(dc, dpi);
  TSize natural{Scaled(rc->Size.cx, d), Scaled(rc->Size.cy, d)};
  if (natural.cx <= 0 || natural.cy <= 0) {
    size = {natural.cx > 0 ? natural.cx : r.Width(), natural.cy > 0 ? natural.cy : r.Height()};
    return true;
  }
  double f = std::min(double(r.Width()) / natural.cx, double(r.Height()) / natural.cy);
  size = {int(std::floor(natural.cx * f)), int(std::floor(natural.cy * f))};
  return true;
}

bool TCustomStyle::GetElementContentRect(HDC dc, const TThemedElementDetails& details,
                                         const TRect& bounds, TRect& contentRect, int dpi) const {
  const TRecipe* rc = Recipe(details);
  if (!rc) return false;
  int d = EffectiveDpi(dc, dpi);
  if (rc->HasProp(rpPosition)) {
    // An element placed inside the area (a caption button inside the caption).
    int w = Scaled(rc->Size.cx, d), h = Scaled(rc->Size.cy, d);
    int x = Scaled(rc->PositionX, d), y = bounds.Top + Scaled(rc->PositionY, d);
    int left = rc->PositionFromRight ? bounds.Right - x - w : bounds.Left + x;
    contentRect = {left, y, left + w, y + h};
    return true;
  }
  contentRect = {bounds.Left + Scaled(rc->Content[0], d), bounds.Top + Scaled(rc->Content[1], d),
                 bounds.Right - Scaled(rc->Content[2], d), bounds.Bottom - Scaled(rc->Content[3], d)};
  return true;
}

bool TCustomStyle::GetElementMargins(HDC dc, const TThemedElementDetails& details,
                                     TElementMargin margin, TElementMargins& margins, int dpi) const {
  const TRecipe* rc = Recipe(details);
  if (!rc) return false;
  int d = EffectiveDpi(dc, dpi);
  const std::int16_t* m = margin == emSizing ? rc->Sizing : rc->Content;
  margins = {Scaled(m[0], d), Scaled(m[2], d), Scaled(m[1], d), Scaled(m[3], d)};
  return true;
}

bool TCustomStyle::GetElementMargins(HDC dc, const TThemedElementDetails& details, const TRect&,
                                     TElementMargin margin, TElementMargins& margins, int dpi) const {
  return GetElementMargins(dc, details, margin, margins, dpi);
}

bool TCustomStyle::GetElementRegion(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                    HRGN& region, int dpi) const {
  region = nullptr;
  const TRecipe* rc = Recipe(details);
  if (!rc || r.IsEmpty()) return false;
  std::vector<TRect> rects = RecipeRegionRects(*rc, r, EffectiveDpi(dc, dpi) / 96.0);
  if (rects.empty() || (rects.size() == 1 && rects[0] == r)) return false;
  region = CreateRectRgnIndirect(rects[0]);
  if (rects.size() > 1) {
    HRGN part = CreateRectRgn(0, 0, 0, 0);
    for (size_t i = 1; i < rects.size(); ++i) {
      SetRectRgn(part, rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom);
      CombineRgn(region, region, part, RGN_OR);
    }
    DeleteObject(part);
  }
  return true;
}

bool TCustomStyle::HasTransparentParts(const TThemedElementDetails& details) const {
  const TRecipe* rc = Recipe(details);
  return !rc || RecipeHasTransparentParts(*rc);
}

bool TCustomStyle::HasElementFixedPosition(const TThemedElementDetails& details) const {
  const TRecipe* rc = Recipe(details);
  return rc && rc->Fixed;
}

TColor TCustomStyle::GetStyleColor(TStyleColor color) const {
  const TStyleSource& s = Source();
  int i = int(color);
  if (i < 0 || i >= StyleColorCount) return clNone;
  if (s.HasStyleColor[i]) return ToColor(s.StyleColors[i]);
  return TColor(vcl::ColorToRGB(GetSystemColor(clWindow)));
}

TColor TCustomStyle::GetStyleFontColor(TStyleFont font) const {
  const TStyleSource& s = Source();
  int i = int(font);
  if (i < 0 || i >= StyleFontCount) return clNone;
  if (s.HasFontColor[i]) return ToColor(s.FontColors[i]);
  return TColor(vcl::ColorToRGB(GetSystemColor(clWindowText)));
}

TColor TCustomStyle::GetSystemColor(TColor color) const {
  if ((std::uint32_t(color) >> 24) != 0xFF) return color;
  int i = color & 0xFF;
  const TStyleSource& s = Source();
  if (i < COLOR_COUNT && s.HasSystem[i]) return ToColor(s.System[i]);
  return TColor(vcl::ColorToRGB(color));
}

TStyleFontSpec TCustomStyle::GetStyleFont(TStyleFontKind kind) const {
  int i = int(kind);
  if (i < 0 || i >= StyleFontKindCount) return {};
  return Source().Fonts[i];
}

TColor TCustomStyleServices::ColorToRGB(TColor color) const {
  if (color == clNone || color == clDefault) return color;
  return TColor(vcl::ColorToRGB(GetSystemColor(color)));
}

std::unique_ptr<TSystemStyle> TSystemStyle::Create() {
  ResourceData res;
  if (!FindResource(u"KXSYSSTYLE", u"Windows", res))
    throw EStyleEngineException("The system style is missing from the program's resources");
  std::unique_ptr<TSystemStyle> style(new TSystemStyle(res.Data, res.Size, u"resource Windows", false));
  style->ParseNow();
  return style;
}

}  // namespace vcl
