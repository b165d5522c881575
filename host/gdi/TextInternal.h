// Text machinery shared by the text files of the drawing layer (and usable by the GDI+ subset):
// resolved fonts, the shared Pango font map and contexts, measured and shaped text runs, and the
// DrawText layout engine. All of it is meant for the UI thread only.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/gdi/GdiInternal.h"

typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFont PangoFont;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoAttrList PangoAttrList;

namespace vcl {

// ---- Fonts -----------------------------------------------------------------------------------

// A font resolved for drawing at one pixel density: shared by every font object with the same
// attributes and immutable once built (the advance table is filled lazily).
struct FontData {
  FontData() = default;
  ~FontData();
  FontData(const FontData&) = delete;
  FontData& operator=(const FontData&) = delete;

  PangoFontDescription* Desc = nullptr;  // resolved family, absolute size in pixels
  PangoFont* Font = nullptr;             // the primary face
  PangoAttrList* Attrs = nullptr;        // shaping features: no kerning, no ligatures (as GDI)
  bool Antialias = true;                 // false for NONANTIALIASED_QUALITY
  bool Underline = false;
  bool StrikeOut = false;
  int Escapement = 0;                    // tenths of a degree, counter-clockwise
  int EmPixels = 0;                      // the pixel size (em height)
  TEXTMETRICW Tm;
  String Face;                           // the family actually used
  // Decoration rows relative to the top of the character cell.
  int UnderlineTop = 0;
  int UnderlineHeight = 1;
  int StrikeTop = 0;
  int StrikeHeight = 1;

  // Advances in pixels of U+0020..U+00FF when the primary face draws the character on its
  // own (no shaping context needed); -1 otherwise. Built on first use.
  static constexpr int kAdvFirst = 0x20;
  static constexpr int kAdvCount = 0xE0;
  mutable bool AdvReady = false;
  mutable std::int16_t Adv[kAdvCount] = {};
};
using FontRef = std::shared_ptr<const FontData>;

// The resolved font of a font object (nullptr: the SYSTEM_FONT stock font) at a pixel density.
FontRef FontDataFor(HFONT font, int dpi);
// The resolved font of a LOGFONTW at a pixel density (lfHeight 0: 8 pt at that density).
FontRef FontDataFor(const LOGFONTW& lf, int dpi);
// Builds a resolved font; used by the caches above (Font.cpp).
std::shared_ptr<FontData> BuildFontData(const LOGFONTW& lf, int dpi);
// A Pango font description of the face and pixel size a LOGFONTW selects at dpi (lfHeight > 0
// is converted from cell height to em height with the face's own metrics). The caller frees
// it with pango_font_description_free.
PangoFontDescription* FontDescriptionFor(const LOGFONTW& lf, int dpi);
// The family a LOGFONTW face name is matched as (after the substitutions of GdiText.h), UTF-8.
std::string MappedFamily(const Char* faceName);

// The process-wide font map (application fonts registered) and its contexts: grayscale or no
// antialiasing, full hinting, integer metrics, left-to-right or right-to-left base direction.
PangoFontMap* TextFontMap();
PangoContext* TextContext(bool antialias, bool rtl);

// ---- Measured and shaped runs ------------------------------------------------------------------

// A single line of text (no tabs or line breaks) shaped with a font: per-unit advances and a
// Pango layout to draw it. Control characters are shaped as spaces.
struct ShapedRun {
  ShapedRun() = default;
  ~ShapedRun();
  ShapedRun(const ShapedRun&) = delete;
  ShapedRun& operator=(const ShapedRun&) = delete;

  FontRef Font;
  bool Rtl = false;
  int Extra = 0;                 // pixels added after every character cluster
  String Text;
  std::vector<int> Adv;          // per UTF-16 unit: a cluster's advance sits on its last unit
  std::vector<char> Starts;      // per unit: whether it begins a cluster
  std::vector<int> UnitToByte;   // UTF-8 offset of every unit, plus the end
  int Width = 0;
  PangoLayout* Layout = nullptr;
  int BaselineUnits = 0;         // Pango units from the layout top to the baseline

  // Horizontal pixel range [x0, x1) of unit i within the run as drawn (any direction).
  std::pair<int, int> UnitRange(int i) const;
};
using RunRef = std::shared_ptr<const ShapedRun>;

// A shaped run from the run cache.
RunRef GetShapedRun(const FontRef& font, StringView text, bool rtl, int extra);
// A shaped run whose unit advances are forced to advances[i] (ExtTextOut's dx); not cached.
RunRef MakeRunWithAdvances(const FontRef& font, StringView text, bool rtl, const int* advances,
                           int stride);
// Per-unit advances of text (each cluster's advance, plus extra, on its last unit); returns the
// total width. starts (optional) receives whether each unit begins a cluster. Latin-1 text in
// the primary face is measured from the advance table without shaping.
int MeasureText(const FontRef& font, StringView text, bool rtl, int extra, std::vector<int>& adv,
                std::vector<char>* starts = nullptr);
int TextWidth(const FontRef& font, StringView text, int extra = 0);
// The width measured by shaping (never by the advance table): for checking the two agree.
int ShapedTextWidth(const FontRef& font, StringView text);

// ---- DrawText layout -----------------------------------------------------------------------------

struct TextPiece {
  String Text;                       // no tabs, no line breaks
  int X = 0;                         // from the line's left edge
  int Width = 0;
  std::vector<int> Underlines;       // units of Text carrying a prefix underline
  mutable RunRef Run;                // shaped on first draw
};

struct TextLine {
  int Width = 0;
  int SourceEnd = 0;                 // units of the source text consumed through this line
  bool Ellipsized = false;
  String Display;                    // the shown text (set when ellipsized)
  std::vector<TextPiece> Pieces;
};

struct TextLayout {
  String Source;                     // the text as given (the cache key views it)
  FontRef Font;
  bool Rtl = false;
  int Extra = 0;
  int MaxWidth = 0;
  std::vector<TextLine> Lines;
};
using LayoutRef = std::shared_ptr<const TextLayout>;

// The layout of DrawText text for the flags that shape it (alignment, clipping and CALCRECT
// don't), a line width (pixels, used with word breaking and ellipses) and a tab interval in
// pixels. Layouts are cached: measuring with DT_CALCRECT and drawing reuse one layout.
LayoutRef GetTextLayout(const FontRef& font, StringView text, UINT flags, int width, int tabWidth,
                        int extra);

// ---- A small least-recently-used cache -----------------------------------------------------------

// Keys are small value types (typically holding a view of text owned by the cached value).
template <class Key, class Value, class Hash>
class LruCache {
 public:
  explicit LruCache(size_t capacity) : FCapacity(capacity) {}

  const Value* Find(const Key& key) {
    auto it = FMap.find(key);
    if (it == FMap.end()) return nullptr;
    FOrder.splice(FOrder.begin(), FOrder, it->second);
    return &it->second->second;
  }
  // key must stay valid as long as value does (it may view data the value owns).
  const Value& Put(const Key& key, Value value) {
    auto old = FMap.find(key);
    if (old != FMap.end()) {
      FOrder.erase(old->second);
      FMap.erase(old);
    }
    FOrder.emplace_front(key, std::move(value));
    FMap.emplace(key, FOrder.begin());
    while (FOrder.size() > FCapacity) {
      FMap.erase(FOrder.back().first);
      FOrder.pop_back();
    }
    return FOrder.front().second;
  }
  void Clear() {
    FMap.clear();
    FOrder.clear();
  }
  size_t Size() const { return FOrder.size(); }

 private:
  using List = std::list<std::pair<Key, Value>>;
  size_t FCapacity;
  List FOrder;
  std::unordered_map<Key, typename List::iterator, Hash> FMap;
};

inline size_t HashCombine(size_t seed, size_t v) {
  return seed ^ (v + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2));
}

}  // namespace vcl
