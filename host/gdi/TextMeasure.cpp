// Measuring and shaping single lines of text: the Latin-1 advance table of a font, shaped runs
// (Pango layouts with per-unit advances) and the run cache.
#include <pango/pangocairo.h>

#include <algorithm>

#include "host/gdi/TextInternal.h"

namespace vcl {

namespace {

// UTF-16 -> UTF-8 for shaping. Control characters and paragraph separators become spaces (a
// run is one line); unpaired surrogates become U+FFFD. unitToByte gets every unit's offset.
void ToUtf8(StringView text, std::string& out, std::vector<int>& unitToByte) {
  const size_t n = text.size();
  out.clear();
  out.reserve(n + 8);
  unitToByte.assign(n + 1, 0);
  for (size_t i = 0; i < n; ++i) {
    unitToByte[i] = int(out.size());
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      unitToByte[++i] = int(out.size());
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    } else if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029) {
      c = u' ';
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  unitToByte[n] = int(out.size());
}

PangoLayout* NewLayout(const FontData& f, bool rtl, const std::string& utf8) {
  PangoLayout* l = pango_layout_new(TextContext(f.Antialias, rtl));
  pango_layout_set_auto_dir(l, FALSE);
  pango_layout_set_single_paragraph_mode(l, TRUE);
  pango_layout_set_font_description(l, f.Desc);
  pango_layout_set_attributes(l, f.Attrs);
  pango_layout_set_text(l, utf8.data(), int(utf8.size()));
  return l;
}

template <class F>
void ForEachGlyph(PangoLayout* layout, F&& fn) {
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (!line) return;
  for (GSList* l = line->runs; l; l = l->next) {
    auto* run = static_cast<PangoGlyphItem*>(l->data);
    PangoGlyphString* gs = run->glyphs;
    for (int i = 0; i < gs->num_glyphs; ++i) {
      bool lastOfCluster = i + 1 == gs->num_glyphs || gs->log_clusters[i + 1] != gs->log_clusters[i];
      fn(run->item->offset + gs->log_clusters[i], gs->glyphs[i], lastOfCluster);
    }
  }
}

// Shapes text; advances are the natural ones plus extra per cluster, or forced[u * stride]
// summed over each cluster's units when forced is given.
std::shared_ptr<ShapedRun> Shape(const FontRef& font, StringView text, bool rtl, int extra,
                                 const int* forced, int stride) {
  auto r = std::make_shared<ShapedRun>();
  r->Font = font;
  r->Rtl = rtl;
  r->Extra = forced ? 0 : extra;
  r->Text.assign(text);
  std::string utf8;
  ToUtf8(text, utf8, r->UnitToByte);
  r->Layout = NewLayout(*font, rtl, utf8);
  r->BaselineUnits = pango_layout_get_baseline(r->Layout);

  const int n = int(text.size());
  std::vector<int> byteToUnit(utf8.size() + 1, -1);
  for (int i = n; i >= 0; --i) byteToUnit[size_t(r->UnitToByte[size_t(i)])] = i;
  auto unitOf = [&](int byte) {
    return byte >= 0 && size_t(byte) < byteToUnit.size() ? byteToUnit[size_t(byte)] : -1;
  };

  std::vector<int> clusterUnits(size_t(n), 0);  // Pango units, on the cluster's first unit
  r->Starts.assign(size_t(n), 0);
  ForEachGlyph(r->Layout, [&](int byte, PangoGlyphInfo& g, bool) {
    int u = unitOf(byte);
    if (u < 0 || u >= n) return;
    clusterUnits[size_t(u)] += g.geometry.width;
    r->Starts[size_t(u)] = 1;
  });
  if (n) r->Starts[0] = 1;

  r->Adv.assign(size_t(n), 0);
  std::vector<int> delta(size_t(n), 0);
  bool adjusted = false;
  for (int s = 0; s < n;) {
    int e = s + 1;
    while (e < n && !r->Starts[size_t(e)]) ++e;
    int natural = PANGO_PIXELS(clusterUnits[size_t(s)]);
    int want = natural + extra;
    if (forced) {
      want = 0;
      for (int u = s; u < e; ++u) want += forced[size_t(u) * size_t(stride)];
    }
    r->Adv[size_t(e - 1)] = want;
    delta[size_t(s)] = want - natural;
    adjusted |= want != natural;
    r->Width += want;
    s = e;
  }
  if (adjusted) {
    // Spacing goes after the last glyph of each cluster, so marks stay on their bases.
    ForEachGlyph(r->Layout, [&](int byte, PangoGlyphInfo& g, bool last) {
      int u = unitOf(byte);
      if (last && u >= 0 && u < n) g.geometry.width += delta[size_t(u)] * PANGO_SCALE;
    });
  }
  return r;
}

struct RunKey {
  const FontData* Font;
  bool Rtl;
  int Extra;
  StringView Text;  // views the cached run's text
  bool operator==(const RunKey&) const = default;
};

struct RunKeyHash {
  size_t operator()(const RunKey& k) const {
    size_t h = std::hash<StringView>{}(k.Text);
    h = HashCombine(h, std::hash<const void*>{}(k.Font));
    return HashCombine(h, size_t(k.Extra) * 2 + (k.Rtl ? 1 : 0));
  }
};

LruCache<RunKey, RunRef, RunKeyHash>& Runs() {
  static auto* cache = new LruCache<RunKey, RunRef, RunKeyHash>(512);
  return *cache;
}

void BuildAdvanceTable(const FontData& f, const FontRef& ref) {
  String chars;
  for (int c = FontData::kAdvFirst; c < FontData::kAdvFirst + FontData::kAdvCount; ++c) {
    f.Adv[c - FontData::kAdvFirst] = -1;
    if (c >= 0x7F && c < 0xA0) continue;
    if (pango_font_has_char(f.Font, gunichar(c))) chars += Char(c);
  }
  if (!chars.empty()) {
    auto run = Shape(ref, chars, false, 0, nullptr, 1);
    const size_t n = chars.size();
    for (size_t i = 0; i < n; ++i) {
      bool single = run->Starts[i] && (i + 1 == n || run->Starts[i + 1]);
      if (single) f.Adv[chars[i] - FontData::kAdvFirst] = std::int16_t(run->Adv[i]);
    }
  }
  f.AdvReady = true;
}

// The table advance of c (control characters measure as spaces), or -1.
inline int TableAdvance(const FontData& f, Char c) {
  if (c < 0x20) c = u' ';
  if (c >= FontData::kAdvFirst + FontData::kAdvCount) return -1;
  return f.Adv[c - FontData::kAdvFirst];
}

}  // namespace

ShapedRun::~ShapedRun() {
  if (Layout) g_object_unref(Layout);
}

std::pair<int, int> ShapedRun::UnitRange(int i) const {
  if (!Layout || i < 0 || i >= int(Text.size())) return {0, 0};
  PangoRectangle pos;
  pango_layout_index_to_pos(Layout, UnitToByte[size_t(i)], &pos);
  int x0 = pos.x, x1 = pos.x + pos.width;
  if (x1 < x0) std::swap(x0, x1);
  return {PANGO_PIXELS(x0), PANGO_PIXELS(x1)};
}

RunRef GetShapedRun(const FontRef& font, StringView text, bool rtl, int extra) {
  auto& cache = Runs();
  if (const RunRef* hit = cache.Find(RunKey{font.get(), rtl, extra, text})) return *hit;
  RunRef run = Shape(font, text, rtl, extra, nullptr, 1);
  cache.Put(RunKey{font.get(), rtl, extra, run->Text}, run);
  return run;
}

RunRef MakeRunWithAdvances(const FontRef& font, StringView text, bool rtl, const int* advances,
                           int stride) {
  return Shape(font, text, rtl, 0, advances, stride);
}

int MeasureText(const FontRef& font, StringView text, bool rtl, int extra, std::vector<int>& adv,
                std::vector<char>* starts) {
  const FontData& f = *font;
  if (!f.AdvReady) BuildAdvanceTable(f, font);
  const size_t n = text.size();
  adv.resize(n);
  int total = 0;
  size_t i = 0;
  for (; i < n; ++i) {
    int a = TableAdvance(f, text[i]);
    if (a < 0) break;
    adv[i] = a + extra;
    total += a + extra;
  }
  if (i == n) {
    if (starts) starts->assign(n, 1);
    return total;
  }
  RunRef run = GetShapedRun(font, text, rtl, extra);
  adv = run->Adv;
  if (starts) *starts = run->Starts;
  return run->Width;
}

int TextWidth(const FontRef& font, StringView text, int extra) {
  const FontData& f = *font;
  if (!f.AdvReady) BuildAdvanceTable(f, font);
  int total = 0;
  for (Char c : text) {
    int a = TableAdvance(f, c);
    if (a < 0) return GetShapedRun(font, text, false, extra)->Width;
    total += a + extra;
  }
  return total;
}

int ShapedTextWidth(const FontRef& font, StringView text) {
  return Shape(font, text, false, 0, nullptr, 1)->Width;
}

}  // namespace vcl
