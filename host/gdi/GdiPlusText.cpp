// GDI+ text: font families (system families through fontconfig, private families loaded
// from memory or files through FreeType), fonts, string formats, and string drawing and
// measuring.
//
// System families are laid out and drawn by Pango (shaping, fallback fonts, bidi, word
// wrapping, ellipsis). Private families are not known to fontconfig, so their text is laid
// out here glyph by glyph (FreeType character map, cairo glyph advances, line breaks at
// spaces) and drawn with cairo_show_glyphs on a cairo-ft face; trimming does not add an
// ellipsis for them. Both share the placement rules: lines aligned near/centre/far inside
// the layout rectangle less a padding of 1/6 em on each side (none for typographic formats),
// the block aligned vertically, clipped to the rectangle unless NoClip.
#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "host/gdi/AppFonts.h"
#include "host/gdi/GdiPlusInternal.h"
#include "host/gdi/TextInternal.h"

namespace vcl {

// ---- FreeType faces ------------------------------------------------------------------------------

namespace {

std::mutex& FtMutex() {
  static std::mutex m;
  return m;
}

FT_Library FtLibrary() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  return lib;
}

using Bytes = std::shared_ptr<const std::vector<BYTE>>;

// An FT_Face with the memory it reads; freed when the cairo face built on it goes away.
struct FtHolder {
  FT_Face Face = nullptr;
  Bytes Data;
};
const cairo_user_data_key_t kFtHolderKey{};

void DestroyHolder(void* p) {
  auto* h = static_cast<FtHolder*>(p);
  {
    std::lock_guard<std::mutex> lock(FtMutex());
    FT_Done_Face(h->Face);
  }
  delete h;
}

FT_Face OpenFace(const Bytes& data, const std::string& file, int index) {
  std::lock_guard<std::mutex> lock(FtMutex());
  FT_Library lib = FtLibrary();
  if (!lib) return nullptr;
  FT_Face face = nullptr;
  FT_Error err = data ? FT_New_Memory_Face(lib, data->data(), FT_Long(data->size()), index, &face)
                      : FT_New_Face(lib, file.c_str(), index, &face);
  return err ? nullptr : face;
}

void CloseFace(FT_Face face) {
  std::lock_guard<std::mutex> lock(FtMutex());
  FT_Done_Face(face);
}

int StyleOfFace(FT_Face f) {
  return ((f->style_flags & FT_STYLE_FLAG_BOLD) ? FontStyleBold : 0) |
         ((f->style_flags & FT_STYLE_FLAG_ITALIC) ? FontStyleItalic : 0);
}

}  // namespace

// ---- Families --------------------------------------------------------------------------------------

struct GpFamilyData {
  struct Source {
    Bytes Data;        // private memory font
    std::string File;  // or a font file
    int Index = 0;
    int Style = 0;
  };

  String Name;
  std::string NameUtf8;
  bool Private = false;
  std::vector<Source> Sources;  // private families: one per face

  // Design metrics of the regular face.
  int EmHeight = 2048, CellAscent = 1854, CellDescent = 434, LineSpacing = 2355;
  bool MetricsLoaded = false;

  ~GpFamilyData() {
    for (cairo_font_face_t* f : FFaces)
      if (f) cairo_font_face_destroy(f);
  }

  // The cairo face of a private family for the bold/italic bits of style (created once).
  cairo_font_face_t* CairoFace(int style) {
    style &= FontStyleBoldItalic;
    std::lock_guard<std::mutex> lock(FMutex);
    if (FFaces[style]) return FFaces[style];
    const Source* best = nullptr;
    for (const Source& s : Sources)
      if (s.Style == style) best = &s;
    if (!best)
      for (const Source& s : Sources)
        if ((s.Style & ~style) == 0 && (!best || s.Style > best->Style)) best = &s;
    if (!best && !Sources.empty()) best = &Sources.front();
    if (!best) return nullptr;
    FT_Face face = OpenFace(best->Data, best->File, best->Index);
    if (!face) return nullptr;
    cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
    auto* holder = new FtHolder{face, best->Data};
    if (cairo_font_face_set_user_data(cf, &kFtHolderKey, holder, DestroyHolder) != CAIRO_STATUS_SUCCESS) {
      DestroyHolder(holder);
      cairo_font_face_destroy(cf);
      return nullptr;
    }
    unsigned synth = 0;
    if ((style & FontStyleBold) && !(best->Style & FontStyleBold)) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
    if ((style & FontStyleItalic) && !(best->Style & FontStyleItalic)) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    if (synth) cairo_ft_font_face_set_synthesize(cf, synth);
    FFaces[style] = cf;
    return cf;
  }

  static FT_Face FtFaceOf(cairo_font_face_t* cf) {
    auto* h = static_cast<FtHolder*>(cairo_font_face_get_user_data(cf, &kFtHolderKey));
    return h ? h->Face : nullptr;
  }

  void LoadMetrics() {
    std::lock_guard<std::mutex> lock(FMutex);
    if (MetricsLoaded) return;
    MetricsLoaded = true;
    const Source* src = nullptr;
    for (const Source& s : Sources)
      if (s.Style == 0) src = &s;
    if (!src && !Sources.empty()) src = &Sources.front();
    if (!src) return;
    FT_Face f = OpenFace(src->Data, src->File, src->Index);
    if (!f) return;
    if (f->units_per_EM > 0) {
      EmHeight = f->units_per_EM;
      int asc = f->ascender, desc = -f->descender, spacing = f->height;
      if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
          asc = os2->usWinAscent;
          desc = os2->usWinDescent;
        }
      }
      CellAscent = std::max(asc, 1);
      CellDescent = std::max(desc, 0);
      LineSpacing = std::max(spacing, CellAscent + CellDescent);
    }
    CloseFace(f);
  }

 private:
  std::mutex FMutex;
  cairo_font_face_t* FFaces[4] = {};
};

struct GpCollectionData {
  std::vector<std::shared_ptr<GpFamilyData>> Families;
};

namespace {

bool SameName(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    Char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = Char(x + 32);
    if (y >= 'A' && y <= 'Z') y = Char(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return s;
}

// Looks a system family up through fontconfig. strict: the match must carry the requested
// family name; otherwise the best substitute is taken (as the GDI font mapper would).
std::shared_ptr<GpFamilyData> SystemFamily(StringView name, bool strict) {
  EnsureAppFonts();
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<GpFamilyData>> cache;  // "s:" / "l:" + lower name
  std::string utf8 = StringToUtf8(name);
  std::string key = (strict ? "s:" : "l:") + Lower(utf8);
  std::lock_guard<std::mutex> lock(mutex);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  std::shared_ptr<GpFamilyData> fam;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  if (match) {
    FcChar8* fam8 = nullptr;
    std::string first, exact;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &fam8) == FcResultMatch; ++i) {
      std::string f = reinterpret_cast<const char*>(fam8);
      if (i == 0) first = f;
      if (Lower(f) == Lower(utf8)) {
        exact = f;
        break;
      }
    }
    std::string chosen = !exact.empty() ? exact : strict ? std::string() : first;
    if (!chosen.empty()) {
      fam = std::make_shared<GpFamilyData>();
      fam->NameUtf8 = chosen;
      fam->Name = Utf8ToString(chosen);
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        fam->Sources.push_back({nullptr, reinterpret_cast<const char*>(file), index, 0});
      }
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  cache[key] = fam;
  return fam;
}

std::shared_ptr<GpFamilyData> FindFamily(StringView name, const TGPFontCollection* collection) {
  if (collection) {
    for (const auto& f : collection->Data()->Families)
      if (SameName(f->Name, name)) return f;
    return nullptr;
  }
  return SystemFamily(name, true);
}

}  // namespace

struct GpFamilyAccess {
  static void Set(TGPFontFamily& f, std::shared_ptr<GpFamilyData> d) { f.FData = std::move(d); }
  static const TGPFontFamily* Generic(const char16_t* const* names, const char16_t* fallback) {
    auto* f = new TGPFontFamily;  // process lifetime
    for (const char16_t* const* n = names; *n; ++n) {
      if (auto d = SystemFamily(*n, true)) {
        Set(*f, d);
        return f;
      }
    }
    Set(*f, SystemFamily(fallback, false));
    return f;
  }
};

// ---- Collections --------------------------------------------------------------------------------

TGPFontCollection::TGPFontCollection() : FData(std::make_unique<GpCollectionData>()) {}
TGPFontCollection::~TGPFontCollection() = default;

int TGPFontCollection::GetFamilyCount() const { return int(FData->Families.size()); }

Status TGPFontCollection::GetFamilies(int numSought, TGPFontFamily* families, int* numFound) const {
  if (!families || !numFound || numSought < 0) return InvalidParameter;
  int n = std::min(numSought, int(FData->Families.size()));
  for (int i = 0; i < n; ++i) families[i].FData = FData->Families[size_t(i)];
  *numFound = n;
  return Ok;
}

namespace {

Status AddFaces(GpCollectionData& c, const Bytes& data, const std::string& file) {
  FT_Face probe = OpenFace(data, file, 0);
  if (!probe) return data ? NotTrueTypeFont : FileNotFound;
  long count = probe->num_faces;
  CloseFace(probe);
  int added = 0;
  for (long i = 0; i < count; ++i) {
    FT_Face f = i == 0 ? OpenFace(data, file, 0) : OpenFace(data, file, int(i));
    if (!f) continue;
    if (!f->family_name || !FT_IS_SCALABLE(f)) {
      CloseFace(f);
      continue;
    }
    String name = Utf8ToString(f->family_name);
    int style = StyleOfFace(f);
    CloseFace(f);
    std::shared_ptr<GpFamilyData> fam;
    for (const auto& existing : c.Families)
      if (SameName(existing->Name, name)) fam = existing;
    if (!fam) {
      fam = std::make_shared<GpFamilyData>();
      fam->Name = name;
      fam->NameUtf8 = StringToUtf8(name);
      fam->Private = true;
      c.Families.push_back(fam);
    }
    fam->Sources.push_back({data, file, int(i), style});
    ++added;
  }
  return added ? Ok : NotTrueTypeFont;
}

}  // namespace

Status TGPPrivateFontCollection::AddMemoryFont(const void* memory, int length) {
  if (!memory || length <= 0) return FLastStatus = InvalidParameter;
  auto bytes = std::make_shared<std::vector<BYTE>>(static_cast<const BYTE*>(memory),
                                                   static_cast<const BYTE*>(memory) + length);
  Status s = AddFaces(*FData, bytes, {});
  if (s != Ok) FLastStatus = s;
  return s;
}

Status TGPPrivateFontCollection::AddFontFile(StringView filename) {
  if (filename.empty()) return FLastStatus = InvalidParameter;
  Status s = AddFaces(*FData, nullptr, StringToUtf8(filename));
  if (s != Ok) FLastStatus = s;
  return s;
}

// ---- TGPFontFamily --------------------------------------------------------------------------------

TGPFontFamily::TGPFontFamily() = default;
TGPFontFamily::~TGPFontFamily() = default;

TGPFontFamily::TGPFontFamily(StringView name, const TGPFontCollection* collection) {
  if (name.empty()) {
    FLastStatus = InvalidParameter;
    return;
  }
  FData = FindFamily(name, collection);
  if (!FData) FLastStatus = FontFamilyNotFound;
}

TGPFontFamily* TGPFontFamily::Clone() const {
  auto* f = new TGPFontFamily;
  f->FData = FData;
  return f;
}

const TGPFontFamily* TGPFontFamily::GenericSansSerif() {
  static const char16_t* names[] = {u"Microsoft Sans Serif", u"Tahoma", nullptr};
  static const TGPFontFamily* f = GpFamilyAccess::Generic(names, u"sans-serif");
  return f;
}

const TGPFontFamily* TGPFontFamily::GenericSerif() {
  static const char16_t* names[] = {u"Times New Roman", nullptr};
  static const TGPFontFamily* f = GpFamilyAccess::Generic(names, u"serif");
  return f;
}

const TGPFontFamily* TGPFontFamily::GenericMonospace() {
  static const char16_t* names[] = {u"Courier New", nullptr};
  static const TGPFontFamily* f = GpFamilyAccess::Generic(names, u"monospace");
  return f;
}

Status TGPFontFamily::GetFamilyName(String& name, LANGID) const {
  if (!FData) return InvalidParameter;
  name = FData->Name;
  return Ok;
}

String TGPFontFamily::FamilyName() const { return FData ? FData->Name : String(); }

bool TGPFontFamily::IsStyleAvailable(int style) const {
  // Bold and italic are synthesised when a family has no such face.
  return FData != nullptr && style >= 0 && style <= 15;
}

WORD TGPFontFamily::GetEmHeight(int) const {
  if (!FData) return 0;
  FData->LoadMetrics();
  return WORD(FData->EmHeight);
}
WORD TGPFontFamily::GetCellAscent(int) const {
  if (!FData) return 0;
  FData->LoadMetrics();
  return WORD(FData->CellAscent);
}
WORD TGPFontFamily::GetCellDescent(int) const {
  if (!FData) return 0;
  FData->LoadMetrics();
  return WORD(FData->CellDescent);
}
WORD TGPFontFamily::GetLineSpacing(int) const {
  if (!FData) return 0;
  FData->LoadMetrics();
  return WORD(FData->LineSpacing);
}

// ---- TGPFont --------------------------------------------------------------------------------------

namespace {
bool ValidUnit(Unit u) { return u >= UnitWorld && u <= UnitMillimeter; }
}  // namespace

TGPFont::TGPFont(const TGPFontFamily* family, REAL emSize, int style, Unit unit)
    : FSize(emSize), FStyle(style), FUnit(unit) {
  if (!family || !family->IsAvailable() || !(emSize > 0) || !std::isfinite(emSize) || !ValidUnit(unit) ||
      style < 0 || style > 15) {
    FLastStatus = InvalidParameter;
    return;
  }
  FFamily = family->Data();
}

TGPFont::TGPFont(StringView familyName, REAL emSize, int style, Unit unit, const TGPFontCollection* collection)
    : FSize(emSize), FStyle(style), FUnit(unit) {
  if (!(emSize > 0) || !std::isfinite(emSize) || !ValidUnit(unit) || style < 0 || style > 15) {
    FLastStatus = InvalidParameter;
    return;
  }
  FFamily = familyName.empty() ? nullptr : FindFamily(familyName, collection);
  if (!FFamily) {
    FFamily = TGPFontFamily::GenericSansSerif()->Data();
    FLastStatus = FontFamilyNotFound;
  }
}

TGPFont::TGPFont(HDC dc) {
  if (!dc) {
    FLastStatus = InvalidParameter;
    return;
  }
  InitFromFontData(FontDataFor(dc->Font, dc->Dpi).get(), dc->Font ? &dc->Font->Log : nullptr);
}

TGPFont::TGPFont(HDC dc, HFONT font) {
  if (!font) {
    FLastStatus = InvalidParameter;
    return;
  }
  InitFromFontData(FontDataFor(font, dc ? dc->Dpi : 96).get(), &font->Log);
}

TGPFont::TGPFont(HDC dc, const LOGFONTW& lf) { InitFromFontData(FontDataFor(lf, dc ? dc->Dpi : 96).get(), &lf); }

// The face the GDI font resolves to (substitutions included), its pixel em size and style.
void TGPFont::InitFromFontData(const FontData* fd, const LOGFONTW* lf) {
  FFamily = SystemFamily(fd->Face, false);
  if (!FFamily) FFamily = TGPFontFamily::GenericSansSerif()->Data();
  FUnit = UnitPixel;
  FSize = REAL(std::max(1, fd->EmPixels));
  FStyle = (fd->Underline ? FontStyleUnderline : 0) | (fd->StrikeOut ? FontStyleStrikeout : 0);
  if (lf) FStyle |= (lf->lfWeight >= FW_SEMIBOLD ? FontStyleBold : 0) | (lf->lfItalic ? FontStyleItalic : 0);
}

TGPFont::~TGPFont() = default;

TGPFont* TGPFont::Clone() const {
  auto* f = new TGPFont;
  f->FFamily = FFamily;
  f->FSize = FSize;
  f->FStyle = FStyle;
  f->FUnit = FUnit;
  f->FLastStatus = Ok;
  return f;
}

Status TGPFont::GetFamily(TGPFontFamily* family) const {
  if (!family || !FFamily) return InvalidParameter;
  family->FData = FFamily;
  return Ok;
}

REAL TGPFont::EmPixels(REAL dpi) const {
  switch (FUnit) {
    case UnitPoint: return FSize * dpi / 72;
    case UnitInch: return FSize * dpi;
    case UnitDocument: return FSize * dpi / 300;
    case UnitMillimeter: return REAL(FSize * dpi / 25.4);
    default: return FSize;
  }
}

REAL TGPFont::GetHeight(REAL dpi) const {
  if (!FFamily) return 0;
  FFamily->LoadMetrics();
  return EmPixels(dpi) * REAL(FFamily->LineSpacing) / REAL(FFamily->EmHeight);
}

REAL TGPFont::GetHeight(const TGPGraphics* g) const { return GetHeight(g ? REAL(g->Data()->Dpi()) : 96.0f); }

// ---- TGPStringFormat --------------------------------------------------------------------------------

TGPStringFormat::TGPStringFormat(const TGPStringFormat* f) {
  if (!f) {
    FLastStatus = InvalidParameter;
    return;
  }
  FFlags = f->FFlags;
  FAlign = f->FAlign;
  FLineAlign = f->FLineAlign;
  FTrimming = f->FTrimming;
  FHotkey = f->FHotkey;
  FTypographic = f->FTypographic;
}

const TGPStringFormat* TGPStringFormat::GenericDefault() {
  static const TGPStringFormat f;
  return &f;
}

const TGPStringFormat* TGPStringFormat::GenericTypographic() {
  static const TGPStringFormat f = [] {
    TGPStringFormat t(StringFormatFlagsNoClip | StringFormatFlagsLineLimit);
    t.FTrimming = StringTrimmingNone;
    t.FTypographic = true;
    return t;
  }();
  return &f;
}

Status TGPStringFormat::SetAlignment(StringAlignment a) {
  if (a < StringAlignmentNear || a > StringAlignmentFar) return FLastStatus = InvalidParameter;
  FAlign = a;
  return Ok;
}

Status TGPStringFormat::SetLineAlignment(StringAlignment a) {
  if (a < StringAlignmentNear || a > StringAlignmentFar) return FLastStatus = InvalidParameter;
  FLineAlign = a;
  return Ok;
}

Status TGPStringFormat::SetTrimming(StringTrimming t) {
  if (t < StringTrimmingNone || t > StringTrimmingEllipsisPath) return FLastStatus = InvalidParameter;
  FTrimming = t;
  return Ok;
}

Status TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix h) {
  if (h < HotkeyPrefixNone || h > HotkeyPrefixHide) return FLastStatus = InvalidParameter;
  FHotkey = h;
  return Ok;
}

// ---- Layout ------------------------------------------------------------------------------------------

namespace {

struct StringLine {
  double X = 0, Top = 0, Baseline = 0, Width = 0, Height = 0;
  size_t GlyphStart = 0, GlyphCount = 0;  // private path
  PangoLayoutLine* Line = nullptr;        // Pango path
  double LineOriginX = 0;                 // Pango: logical x of the line
};

struct StringLayout {
  std::vector<StringLine> Lines;
  std::vector<cairo_glyph_t> Glyphs;  // private path, positions relative to the line origin
  cairo_font_face_t* Face = nullptr;  // private path
  PangoLayout* Pango = nullptr;       // Pango path (thread-local, valid until the next layout)
  double Em = 0, Pad = 0;
  double Ascent = 0, Descent = 0;
  TGPRectF Box;
  int Fitted = 0;
  struct Span { size_t Line; double X, W; };
  std::vector<Span> Underlines;  // private path: the hotkey character
  cairo_font_options_t* Options = nullptr;
  ~StringLayout() {
    if (Options) cairo_font_options_destroy(Options);
  }
};

cairo_font_options_t* OptionsFor(TextRenderingHint hint) {
  cairo_font_options_t* o = cairo_font_options_create();
  bool mono = hint == TextRenderingHintSingleBitPerPixel || hint == TextRenderingHintSingleBitPerPixelGridFit;
  bool grid = hint == TextRenderingHintSingleBitPerPixelGridFit || hint == TextRenderingHintAntiAliasGridFit ||
              hint == TextRenderingHintClearTypeGridFit || hint == TextRenderingHintSystemDefault;
  cairo_font_options_set_antialias(o, mono ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(o, !grid ? CAIRO_HINT_STYLE_NONE
                                       : mono ? CAIRO_HINT_STYLE_FULL
                                              : CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  return o;
}

// The text with hotkey prefixes resolved; `underline` receives the index of the character to
// underline (HotkeyPrefixShow), or stays -1.
String ResolveHotkeys(StringView text, HotkeyPrefix mode, int& underline) {
  underline = -1;
  if (mode == HotkeyPrefixNone) return String(text);
  String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != u'&' && mode == HotkeyPrefixShow && underline < 0) underline = int(out.size());
    }
    out.push_back(text[i]);
  }
  return out;
}

struct Placement {
  double Left, Right;  // horizontal room (bounded) or anchor (Left == Right)
  bool BoundedX, BoundedY;
  double Top, Height;
};

double AlignX(const Placement& p, StringAlignment a, double w, double pad) {
  if (p.BoundedX) {
    switch (a) {
      case StringAlignmentCenter: return (p.Left + p.Right - w) / 2;
      case StringAlignmentFar: return p.Right - w;
      default: return p.Left;
    }
  }
  switch (a) {
    case StringAlignmentCenter: return p.Left - w / 2;
    case StringAlignmentFar: return p.Left - w - pad;
    default: return p.Left + pad;
  }
}

double AlignY(const Placement& p, StringAlignment a, double h) {
  switch (a) {
    case StringAlignmentCenter: return p.BoundedY ? p.Top + (p.Height - h) / 2 : p.Top - h / 2;
    case StringAlignmentFar: return p.BoundedY ? p.Top + p.Height - h : p.Top - h;
    default: return p.Top;
  }
}

// Contexts on the text code's font map (application fonts included), one per rendering hint
// and direction: fractional positions and the hint's font options instead of GDI's integer
// metrics. Layouts made on them stay valid, so they can be cached.
PangoContext* ContextFor(TextRenderingHint hint, bool rtl) {
  static PangoContext* contexts[6][2] = {};
  int h = std::clamp(int(hint), 0, 5);
  PangoContext*& c = contexts[h][rtl ? 1 : 0];
  if (!c) {
    c = pango_font_map_create_context(TextFontMap());
    pango_context_set_round_glyph_positions(c, FALSE);
    cairo_font_options_t* o = OptionsFor(TextRenderingHint(h));
    pango_cairo_context_set_font_options(c, o);
    cairo_font_options_destroy(o);
    pango_context_set_base_dir(c, rtl ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
  }
  return c;
}

// Everything a Pango layout of a string depends on.
struct PangoKey {
  std::string Family;
  double Em = 0;
  int Style = 0;
  std::string Text;
  int Hotkey = -1;
  int Width = -1, Height = -1;
  PangoEllipsizeMode Ellipsize = PANGO_ELLIPSIZE_NONE;
  bool Rtl = false;
  int Hint = 0;
  bool operator==(const PangoKey&) const = default;
};

// The most recently used layouts (captions are drawn and measured again at every paint).
class PangoLayoutCache {
 public:
  static constexpr size_t kCapacity = 64;
  ~PangoLayoutCache() {
    for (Entry& e : FEntries) g_object_unref(e.Layout);
  }
  PangoLayout* Get(const PangoKey& key, const String& text) {
    for (Entry& e : FEntries)
      if (e.Key == key) {
        e.Stamp = ++FClock;
        return e.Layout;
      }
    if (FEntries.size() >= kCapacity) {
      auto oldest = std::min_element(FEntries.begin(), FEntries.end(),
                                     [](const Entry& a, const Entry& b) { return a.Stamp < b.Stamp; });
      g_object_unref(oldest->Layout);
      *oldest = std::move(FEntries.back());
      FEntries.pop_back();
    }
    PangoLayout* layout = Build(key, text);
    FEntries.push_back({key, layout, ++FClock});
    return layout;
  }

 private:
  static PangoLayout* Build(const PangoKey& key, const String& text) {
    PangoLayout* layout = pango_layout_new(ContextFor(TextRenderingHint(key.Hint), key.Rtl));
    pango_layout_set_auto_dir(layout, FALSE);
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, key.Family.c_str());
    pango_font_description_set_absolute_size(desc, key.Em * PANGO_SCALE);
    pango_font_description_set_weight(desc, (key.Style & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc, (key.Style & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(layout, key.Text.data(), int(key.Text.size()));
    PangoAttrList* attrs = pango_attr_list_new();
    if (key.Style & FontStyleUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (key.Style & FontStyleStrikeout) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    if (key.Hotkey >= 0) {
      PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
      u->start_index = guint(StringToUtf8(StringView(text).substr(0, size_t(key.Hotkey))).size());
      u->end_index = guint(StringToUtf8(StringView(text).substr(0, size_t(key.Hotkey) + 1)).size());
      pango_attr_list_insert(attrs, u);
    }
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_width(layout, key.Width);
    pango_layout_set_ellipsize(layout, key.Ellipsize);
    pango_layout_set_height(layout, key.Height);
    return layout;
  }
  struct Entry {
    PangoKey Key;
    PangoLayout* Layout;
    std::uint64_t Stamp;
  };
  std::vector<Entry> FEntries;
  std::uint64_t FClock = 0;
};

// Lays the text out: line breaks, line extents and the positions of the lines.
Status LayoutString(const GpGraphicsData& g, StringView raw, const TGPFont* font, const TGPRectF& rect,
              bool fromOrigin, const TGPStringFormat& fmt, StringLayout& L) {
  GpFamilyData* fam = font->FamilyData().get();
  fam->LoadMetrics();
  L.Em = font->EmPixels(REAL(g.Dpi()));
  if (!(L.Em > 0) || !std::isfinite(L.Em)) return InvalidParameter;
  L.Pad = fmt.Typographic() ? 0 : L.Em / 6;
  int flags = fmt.GetFormatFlags();
  bool rtl = flags & StringFormatFlagsDirectionRightToLeft;
  bool noWrap = flags & StringFormatFlagsNoWrap;
  Placement P;
  P.BoundedX = !fromOrigin && rect.Width > 0;
  P.BoundedY = !fromOrigin && rect.Height > 0;
  P.Left = P.BoundedX ? rect.X + L.Pad : rect.X;
  P.Right = P.BoundedX ? rect.X + rect.Width - L.Pad : rect.X;
  P.Top = rect.Y;
  P.Height = rect.Height;
  double room = P.BoundedX ? std::max(0.0, P.Right - P.Left) : 0;
  bool wrap = P.BoundedX && !noWrap;
  StringAlignment align = fmt.GetAlignment();
  if (rtl && align != StringAlignmentCenter)
    align = align == StringAlignmentNear ? StringAlignmentFar : StringAlignmentNear;
  int hotkey = -1;
  String text = ResolveHotkeys(raw, fmt.GetHotkeyPrefix(), hotkey);
  L.Options = OptionsFor(g.S.TextHint);
  L.Fitted = int(raw.size());

  if (fam->Private) {
    L.Face = fam->CairoFace(font->GetStyle());
    FT_Face ft = L.Face ? GpFamilyData::FtFaceOf(L.Face) : nullptr;
    if (!ft) return FontFamilyNotFound;
    L.Ascent = L.Em * fam->CellAscent / fam->EmHeight;
    L.Descent = L.Em * fam->CellDescent / fam->EmHeight;
    double lineH = L.Em * fam->LineSpacing / fam->EmHeight;
    cairo_matrix_t fm, ctm;
    cairo_matrix_init_scale(&fm, L.Em, L.Em);
    cairo_matrix_init_identity(&ctm);
    cairo_scaled_font_t* sf = cairo_scaled_font_create(L.Face, &fm, &ctm, L.Options);
    // Glyphs and advances per UTF-16 unit (surrogate pairs give one glyph on the lead unit).
    struct G { unsigned long Index; double Adv; Char Ch; };
    std::vector<G> gl;
    gl.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      char32_t cp = text[i];
      if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      }
      cairo_glyph_t cg{FT_Get_Char_Index(ft, FT_ULong(cp)), 0, 0};
      cairo_text_extents_t ext;
      cairo_scaled_font_glyph_extents(sf, &cg, 1, &ext);
      gl.push_back({cg.index, ext.x_advance, text[i]});
      if (cp > 0xFFFF) {
        gl.push_back({0, 0, text[i + 1]});
        ++i;
      }
    }
    cairo_scaled_font_destroy(sf);
    // Line breaking: explicit breaks, then at spaces (or anywhere within an over-long word).
    struct Range { size_t B, E; double W; };
    std::vector<Range> lines;
    size_t i = 0, n = gl.size();
    auto widthOf = [&](size_t b, size_t e) {
      double w = 0;
      for (size_t k = b; k < e; ++k) w += gl[k].Adv;
      return w;
    };
    auto isBreak = [&](size_t k) { return gl[k].Ch == u'\n' || gl[k].Ch == u'\r'; };
    for (;;) {
      size_t e = i;
      while (e < n && !isBreak(e)) ++e;
      // Paragraph [i, e); an empty one still makes a line.
      size_t b = i;
      do {
        size_t end = e;
        if (wrap) {
          double w = 0;
          size_t k = b, lastSpace = SIZE_MAX;
          for (; k < e; ++k) {
            if (gl[k].Ch == u' ') lastSpace = k;
            if (w + gl[k].Adv > room + 1e-6 && k > b && gl[k].Ch != u' ') break;
            w += gl[k].Adv;
          }
          if (k < e) end = lastSpace != SIZE_MAX && lastSpace > b ? lastSpace + 1 : k;
        }
        size_t visEnd = end;
        while (visEnd > b && gl[visEnd - 1].Ch == u' ' && !(flags & StringFormatFlagsMeasureTrailingSpaces)) --visEnd;
        lines.push_back({b, end, widthOf(b, visEnd)});
        b = end;
      } while (b < e);
      if (e >= n) break;
      i = e + 1;
      if (gl[e].Ch == u'\r' && i < n && gl[i].Ch == u'\n') ++i;
      if (i >= n) break;  // a final line break adds no line
    }
    double blockH = lines.size() * lineH;
    double top = AlignY(P, fmt.GetLineAlignment(), blockH);
    for (size_t li = 0; li < lines.size(); ++li) {
      StringLine ll;
      ll.Width = lines[li].W;
      ll.Height = lineH;
      ll.Top = top + li * lineH;
      ll.Baseline = ll.Top + L.Ascent;
      ll.X = AlignX(P, align, ll.Width, L.Pad);
      ll.GlyphStart = L.Glyphs.size();
      double x = 0;
      for (size_t k = lines[li].B; k < lines[li].E; ++k) {
        if (isBreak(k)) continue;
        if (gl[k].Adv == 0 && gl[k].Index == 0 && gl[k].Ch >= 0xDC00 && gl[k].Ch < 0xE000) continue;
        if (int(k) == hotkey) L.Underlines.push_back({L.Lines.size(), x, gl[k].Adv});
        L.Glyphs.push_back({gl[k].Index, x, 0});
        x += gl[k].Adv;
      }
      ll.GlyphCount = L.Glyphs.size() - ll.GlyphStart;
      L.Lines.push_back(ll);
    }
  } else {
    PangoKey key;
    key.Family = fam->NameUtf8;
    key.Em = L.Em;
    key.Style = font->GetStyle();
    key.Text = StringToUtf8(text);
    key.Hotkey = hotkey;
    key.Width = wrap ? int(room * PANGO_SCALE) : -1;
    key.Rtl = rtl;
    key.Hint = int(g.S.TextHint);
    StringTrimming trim = fmt.GetTrimming();
    bool ellipsis = P.BoundedX && (trim == StringTrimmingEllipsisCharacter || trim == StringTrimmingEllipsisWord ||
                                   trim == StringTrimmingEllipsisPath);
    if (ellipsis && (!wrap || P.BoundedY)) {
      // With NoWrap, lines are only broken at explicit breaks; the width is for the ellipsis.
      key.Ellipsize = trim == StringTrimmingEllipsisPath ? PANGO_ELLIPSIZE_MIDDLE : PANGO_ELLIPSIZE_END;
      key.Width = int(room * PANGO_SCALE);
      key.Height = wrap ? int(P.Height * PANGO_SCALE) : -1;
    }
    thread_local PangoLayoutCache cache;
    PangoLayout* layout = cache.Get(key, text);
    const std::string& utf8 = key.Text;
    L.Pango = layout;
    // Lines are placed with the family's own cell metrics (ascent and line spacing from the
    // font tables), as GDI+ does, not with the typographic metrics Pango may use.
    L.Ascent = L.Em * fam->CellAscent / fam->EmHeight;
    L.Descent = L.Em * fam->CellDescent / fam->EmHeight;
    double lineH = L.Em * fam->LineSpacing / fam->EmHeight;
    double blockH = pango_layout_get_line_count(layout) * lineH;
    double top = AlignY(P, fmt.GetLineAlignment(), blockH);
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    int lastVisibleEnd = -1;
    do {
      PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
      PangoRectangle own;
      pango_layout_line_get_extents(line, nullptr, &own);
      StringLine ll;
      ll.Line = line;
      ll.Width = double(own.width) / PANGO_SCALE;
      ll.LineOriginX = double(own.x) / PANGO_SCALE;
      ll.Top = top + double(L.Lines.size()) * lineH;
      ll.Height = lineH;
      ll.Baseline = ll.Top + L.Ascent;
      ll.X = AlignX(P, align, ll.Width, L.Pad);
      if (!P.BoundedY || ll.Top - rect.Y < P.Height) lastVisibleEnd = line->start_index + line->length;
      L.Lines.push_back(ll);
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    if (P.BoundedY && lastVisibleEnd >= 0 && size_t(lastVisibleEnd) < utf8.size())
      L.Fitted = int(Utf8ToString(std::string_view(utf8.data(), size_t(lastVisibleEnd))).size());
  }

  // The box around all lines, padding included.
  if (L.Lines.empty()) {
    L.Box = {REAL(AlignX(P, align, 0, L.Pad) - L.Pad), REAL(AlignY(P, fmt.GetLineAlignment(), 0)), 0, 0};
  } else {
    double x0 = 1e300, x1 = -1e300, y0 = L.Lines.front().Top, y1 = L.Lines.back().Top + L.Lines.back().Height;
    for (const StringLine& l : L.Lines) {
      x0 = std::min(x0, l.X);
      x1 = std::max(x1, l.X + l.Width);
    }
    L.Box = {REAL(x0 - L.Pad), REAL(y0), REAL(x1 - x0 + 2 * L.Pad), REAL(y1 - y0)};
  }
  return Ok;
}

int Length16(const Char* s, int length) {
  if (length >= 0) return length;
  int n = 0;
  while (s[n]) ++n;
  return n;
}

}  // namespace

Status GpMeasureString(const GpGraphicsData& g, const Char* text, int length, const TGPFont* font,
                       const TGPRectF& rect, bool fromOrigin, const TGPStringFormat* format,
                       TGPRectF* box, int* fitted, int* lines) {
  if (!text || !font || !font->IsAvailable() || !box) return InvalidParameter;
  int n = Length16(text, length);
  const TGPStringFormat& fmt = format ? *format : *TGPStringFormat::GenericDefault();
  if (n == 0) {
    *box = {rect.X, rect.Y, 0, 0};
    if (fitted) *fitted = 0;
    if (lines) *lines = 0;
    return Ok;
  }
  StringLayout L;
  if (Status s = LayoutString(g, StringView(text, size_t(n)), font, rect, fromOrigin, fmt, L); s != Ok) return s;
  *box = L.Box;
  if (fitted) *fitted = L.Fitted;
  if (lines) *lines = int(L.Lines.size());
  return Ok;
}

Status GpDrawString(GpGraphicsData& g, const Char* text, int length, const TGPFont* font,
                    const TGPRectF& rect, bool fromOrigin, const TGPStringFormat* format,
                    const TGPBrush* brush) {
  if (!text || !font || !font->IsAvailable() || !brush) return InvalidParameter;
  int n = Length16(text, length);
  if (n == 0) return Ok;
  const TGPStringFormat& fmt = format ? *format : *TGPStringFormat::GenericDefault();
  StringLayout L;
  if (Status s = LayoutString(g, StringView(text, size_t(n)), font, rect, fromOrigin, fmt, L); s != Ok) return s;
  Status st;
  cairo_t* cr = g.Begin(st);
  if (!cr) return st;
  bool clip = !(fmt.GetFormatFlags() & StringFormatFlagsNoClip) && !fromOrigin && rect.Width > 0 && rect.Height > 0;
  if (clip) {
    cairo_antialias_t aa = cairo_get_antialias(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    EmitRect(cr, rect);
    cairo_clip(cr);
    cairo_set_antialias(cr, aa);
  }
  if (!SetBrushSource(cr, brush)) {
    g.End();
    return InvalidParameter;
  }
  cairo_set_font_options(cr, L.Options);
  if (L.Face) {
    cairo_set_font_face(cr, L.Face);
    cairo_set_font_size(cr, L.Em);
    FT_Face ft = GpFamilyData::FtFaceOf(L.Face);
    double ulPos = L.Em * 0.1, ulThick = std::max(1.0, L.Em / 14);
    if (ft && ft->units_per_EM) {
      ulPos = -double(ft->underline_position) * L.Em / ft->units_per_EM;
      ulThick = std::max(1.0, double(ft->underline_thickness) * L.Em / ft->units_per_EM);
    }
    thread_local std::vector<cairo_glyph_t> placed;
    for (const StringLine& l : L.Lines) {
      placed.assign(L.Glyphs.begin() + std::ptrdiff_t(l.GlyphStart),
                    L.Glyphs.begin() + std::ptrdiff_t(l.GlyphStart + l.GlyphCount));
      for (cairo_glyph_t& gl : placed) {
        gl.x += l.X;
        gl.y = l.Baseline;
      }
      if (!placed.empty()) cairo_show_glyphs(cr, placed.data(), int(placed.size()));
      int style = font->GetStyle();
      if (style & FontStyleUnderline) cairo_rectangle(cr, l.X, l.Baseline + ulPos, l.Width, ulThick);
      if (style & FontStyleStrikeout) cairo_rectangle(cr, l.X, l.Baseline - L.Ascent * 0.3, l.Width, ulThick);
    }
    for (const StringLayout::Span& u : L.Underlines) {
      const StringLine& l = L.Lines[u.Line];
      cairo_rectangle(cr, l.X + u.X, l.Baseline + ulPos, u.W, ulThick);
    }
    cairo_fill(cr);
  } else {
    for (const StringLine& l : L.Lines) {
      cairo_move_to(cr, l.X - l.LineOriginX, l.Baseline);
      pango_cairo_show_layout_line(cr, l.Line);
    }
  }
  g.End();
  return Ok;
}

}  // namespace vcl
