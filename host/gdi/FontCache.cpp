// Resolved fonts are shared between font objects with equal attributes; a font object keeps
// the resolved fonts it was used with (one per pixel density). Also: the shared Pango font map
// and contexts, and the stock fonts.
#include <pango/pangocairo.h>

#include <string>

#include "host/gdi/AppFonts.h"
#include "host/gdi/TextInternal.h"

namespace vcl {

// The per-object cache attached to FontObject::Cache.
struct FontCache {
  bool DpiScaled = false;  // stock fonts: heights are 96-dpi values
  struct Entry {
    int Dpi;
    FontRef Data;
  };
  std::vector<Entry> Entries;
};

void FreeFontCache(FontCache* cache) { delete cache; }

// ---- Pango ------------------------------------------------------------------------------------

PangoFontMap* TextFontMap() {
  static PangoFontMap* map = [] {
    EnsureAppFonts();
    return pango_cairo_font_map_new();
  }();
  return map;
}

PangoContext* TextContext(bool antialias, bool rtl) {
  static PangoContext* contexts[2][2] = {};
  PangoContext*& ctx = contexts[antialias ? 1 : 0][rtl ? 1 : 0];
  if (!ctx) {
    ctx = pango_font_map_create_context(TextFontMap());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(ctx, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(ctx, 96);
    pango_context_set_round_glyph_positions(ctx, TRUE);
    pango_context_set_language(ctx, pango_language_from_string("en-us"));
    pango_context_set_base_dir(ctx, rtl ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
  }
  return ctx;
}

// ---- Resolved fonts ---------------------------------------------------------------------------

namespace {

struct FontKey {
  int Height, Dpi, Weight, Escapement;
  BYTE Italic, Underline, StrikeOut, Antialias, CharSet;
  std::u16string Face;
  bool operator==(const FontKey&) const = default;
};

struct FontKeyHash {
  size_t operator()(const FontKey& k) const {
    size_t h = std::hash<std::u16string>{}(k.Face);
    for (int v : {k.Height, k.Dpi, k.Weight, k.Escapement, int(k.Italic), int(k.Underline),
                  int(k.StrikeOut), int(k.Antialias), int(k.CharSet)})
      h = HashCombine(h, size_t(v));
    return h;
  }
};

struct Registry {
  std::unordered_map<FontKey, std::weak_ptr<const FontData>, FontKeyHash> Map;
  size_t PurgeAt = 64;
};

Registry& Fonts() {
  static Registry* r = new Registry;  // lives for the process, like the font map
  return *r;
}

FontKey KeyOf(const LOGFONTW& lf, int dpi) {
  FontKey k{};
  k.Height = lf.lfHeight;
  k.Dpi = lf.lfHeight == 0 ? dpi : 0;  // only the default height depends on the density
  k.Weight = lf.lfWeight <= 0 ? int(FW_NORMAL) : lf.lfWeight;
  k.Escapement = lf.lfEscapement % 3600;
  k.Italic = lf.lfItalic != 0;
  k.Underline = lf.lfUnderline != 0;
  k.StrikeOut = lf.lfStrikeOut != 0;
  k.Antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
  k.CharSet = lf.lfCharSet;
  int n = 0;
  while (n < LF_FACESIZE && lf.lfFaceName[n]) ++n;
  k.Face.assign(lf.lfFaceName, size_t(n));
  return k;
}

}  // namespace

FontRef FontDataFor(const LOGFONTW& lf, int dpi) {
  if (dpi <= 0) dpi = 96;
  Registry& reg = Fonts();
  FontKey key = KeyOf(lf, dpi);
  auto it = reg.Map.find(key);
  if (it != reg.Map.end())
    if (FontRef live = it->second.lock()) return live;
  FontRef built = BuildFontData(lf, dpi);
  reg.Map[key] = built;
  if (reg.Map.size() >= reg.PurgeAt) {
    std::erase_if(reg.Map, [](const auto& e) { return e.second.expired(); });
    reg.PurgeAt = std::max<size_t>(64, reg.Map.size() * 2);
  }
  return built;
}

HFONT StockFont(int index);

FontRef FontDataFor(HFONT font, int dpi) {
  if (!font) font = StockFont(SYSTEM_FONT);
  if (dpi <= 0) dpi = 96;
  if (!font->Cache) font->Cache = new FontCache;
  FontCache& cache = *font->Cache;
  for (const FontCache::Entry& e : cache.Entries)
    if (e.Dpi == dpi) return e.Data;
  LOGFONTW lf = font->Log;
  if (cache.DpiScaled && dpi != 96) lf.lfHeight = MulDiv(lf.lfHeight, dpi, 96);
  FontRef data = FontDataFor(lf, dpi);
  cache.Entries.push_back({dpi, data});
  return data;
}

// ---- Stock fonts ------------------------------------------------------------------------------

HFONT StockFont(int index) {
  struct StockDef {
    int Index;
    const char16_t* Face;
    int Height;
    int Weight;
    BYTE CharSet;
  };
  // Win32's stock fonts; the bitmap faces among them are drawn with their substitutes.
  static constexpr StockDef kStock[] = {
      {SYSTEM_FONT, u"System", 16, FW_BOLD, ANSI_CHARSET},
      {DEVICE_DEFAULT_FONT, u"System", 16, FW_BOLD, ANSI_CHARSET},
      {DEFAULT_GUI_FONT, u"MS Shell Dlg", -11, FW_NORMAL, DEFAULT_CHARSET},
      {ANSI_VAR_FONT, u"MS Sans Serif", 12, FW_NORMAL, ANSI_CHARSET},
      {ANSI_FIXED_FONT, u"Courier", 12, FW_NORMAL, ANSI_CHARSET},
      {OEM_FIXED_FONT, u"Terminal", 12, FW_NORMAL, OEM_CHARSET},
  };
  static HFONT fonts[std::size(kStock)] = {};
  for (size_t i = 0; i < std::size(kStock); ++i) {
    const StockDef& s = kStock[i];
    if (s.Index != index) continue;
    if (!fonts[i]) {
      LOGFONTW lf;
      lf.lfHeight = s.Height;
      lf.lfWeight = s.Weight;
      lf.lfCharSet = s.CharSet;
      for (int c = 0; s.Face[c] && c < LF_FACESIZE - 1; ++c) lf.lfFaceName[c] = s.Face[c];
      HFONT f = CreateFontIndirectW(lf);
      f->Stock = true;
      f->Cache = new FontCache;
      f->Cache->DpiScaled = true;
      fonts[i] = f;
    }
    return fonts[i];
  }
  return nullptr;
}

}  // namespace vcl
