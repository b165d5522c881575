// Font objects, and their resolution into a drawable face: face substitution, Win32 height
// semantics and the text metrics computed from the face's own tables.
#include <hb-ot.h>
#include <hb.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/gdi/TextInternal.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

void FreeFontCache(FontCache* cache);

FontObject::~FontObject() {
  if (Cache) FreeFontCache(Cache);
}

HFONT CreateFontIndirectW(const LOGFONTW& lf) {
  auto* f = new FontObject;
  f->Log = lf;
  f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
  return f;
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  const Char* faceName) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic != 0);
  lf.lfUnderline = BYTE(underline != 0);
  lf.lfStrikeOut = BYTE(strikeOut != 0);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) {
    int i = 0;
    for (; i < LF_FACESIZE - 1 && faceName[i]; ++i) lf.lfFaceName[i] = faceName[i];
    lf.lfFaceName[i] = 0;
  }
  return CreateFontIndirectW(lf);
}

// ---- Resolution -------------------------------------------------------------------------------

namespace {

struct Substitute {
  const char16_t* From;
  const char* To;
};

// Windows face names with no installed face of their own.
constexpr Substitute kSubstitutes[] = {
    {u"MS Shell Dlg", "Tahoma"},     {u"MS Shell Dlg 2", "Tahoma"},   {u"MS Sans Serif", "Tahoma"},
    {u"Microsoft Sans Serif", "Tahoma"}, {u"Segoe UI", "Tahoma"},     {u"System", "Tahoma"},
    {u"Small Fonts", "Tahoma"},      {u"Courier", "monospace"},       {u"Courier New", "monospace"},
    {u"Fixedsys", "monospace"},      {u"Terminal", "monospace"},      {u"Consolas", "monospace"},
    {u"Lucida Console", "monospace"},
};

bool SameFace(const Char* a, const char16_t* b) {
  auto lower = [](Char c) { return c >= u'A' && c <= u'Z' ? Char(c + 32) : c; };
  for (; *a && *b; ++a, ++b)
    if (lower(*a) != lower(*b)) return false;
  return *a == 0 && *b == 0;
}

// Big-endian readers of raw font tables.
int S16(const unsigned char* p) { return std::int16_t((p[0] << 8) | p[1]); }
int U16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
std::uint32_t U32(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// The face values the Win32 metrics are computed from, in font units.
struct FaceTables {
  int Upem = 2048;
  int WinAscent = 0, WinDescent = 0;
  int HheaAscent = 0, HheaDescent = 0, LineGap = 0, MaxAdvance = 0;
  int AvgCharWidth = 0;      // OS/2 xAvgCharWidth
  int WeightedAvgWidth = 0;  // from the letters' advances (0: not all present)
  int UnderlinePos = 0, UnderlineSize = 0;
  int StrikePos = 0, StrikeSize = 0;
  int FamilyClass = 0, PanoseFamily = 0, PanoseSerif = 0;
  int FirstChar = 0x20, LastChar = 0xFFFC, DefaultChar = 0x1F, BreakChar = 0x20;
  bool FixedPitch = false;
  bool Symbol = false;
};

struct Table {
  hb_blob_t* Blob;
  const unsigned char* Data;
  unsigned Size;
  Table(hb_face_t* face, hb_tag_t tag) : Blob(hb_face_reference_table(face, tag)) {
    Data = reinterpret_cast<const unsigned char*>(hb_blob_get_data(Blob, &Size));
  }
  ~Table() { hb_blob_destroy(Blob); }
};

FaceTables ReadTables(PangoFont* font) {
  FaceTables t;
  hb_font_t* hb = pango_font_get_hb_font(font);
  if (!hb) return t;
  hb_face_t* face = hb_font_get_face(hb);
  t.Upem = int(hb_face_get_upem(face));
  if (t.Upem <= 0) t.Upem = 2048;
  {
    Table head(face, HB_TAG('h', 'h', 'e', 'a'));
    if (head.Size >= 12) {
      t.HheaAscent = S16(head.Data + 4);
      t.HheaDescent = S16(head.Data + 6);
      t.LineGap = S16(head.Data + 8);
      t.MaxAdvance = U16(head.Data + 10);
    }
  }
  {
    Table post(face, HB_TAG('p', 'o', 's', 't'));
    if (post.Size >= 16) {
      t.UnderlinePos = S16(post.Data + 8);
      t.UnderlineSize = S16(post.Data + 10);
      t.FixedPitch = U32(post.Data + 12) != 0;
    }
  }
  {
    // The classic average width: lowercase letters and space weighted by English frequency
    // (OS/2 version 3 and later average all glyphs instead, which widens tab stops).
    static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6,  35, 20, 56,
                                         56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    hb_font_t* unscaled = hb_font_create(face);
    long sum = 0;
    bool complete = true;
    for (int i = 0; i < 27 && complete; ++i) {
      hb_codepoint_t glyph;
      complete = hb_font_get_nominal_glyph(unscaled, i < 26 ? 'a' + i : ' ', &glyph);
      if (complete) sum += long(hb_font_get_glyph_h_advance(unscaled, glyph)) * kWeights[i];
    }
    hb_font_destroy(unscaled);
    if (complete) t.WeightedAvgWidth = int(sum / 1000);
  }
  Table os2(face, HB_TAG('O', 'S', '/', '2'));
  if (os2.Size >= 78) {
    const unsigned char* d = os2.Data;
    int version = U16(d);
    t.AvgCharWidth = S16(d + 2);
    t.StrikeSize = S16(d + 26);
    t.StrikePos = S16(d + 28);
    t.FamilyClass = S16(d + 30);
    t.PanoseFamily = d[32];
    t.PanoseSerif = d[33];
    t.FirstChar = U16(d + 64);
    t.LastChar = U16(d + 66);
    t.WinAscent = U16(d + 74);
    t.WinDescent = U16(d + 76);
    if (version >= 1 && os2.Size >= 86) t.Symbol = (U32(d + 78) & 0x80000000u) != 0;
    if (version >= 2 && os2.Size >= 96) {
      if (U16(d + 92)) t.DefaultChar = U16(d + 92);
      if (U16(d + 94)) t.BreakChar = U16(d + 94);
    }
  }
  if (t.WinAscent + t.WinDescent <= 0) {
    t.WinAscent = std::max(0, t.HheaAscent);
    t.WinDescent = std::max(0, -t.HheaDescent);
  }
  if (t.WinAscent + t.WinDescent <= 0) {
    t.WinAscent = t.Upem * 4 / 5;
    t.WinDescent = t.Upem / 5;
  }
  if (t.StrikeSize <= 0) {
    t.StrikeSize = std::max(1, t.UnderlineSize);
    t.StrikePos = t.WinAscent / 3;
  }
  if (t.UnderlineSize <= 0) {
    t.UnderlineSize = std::max(1, t.Upem / 16);
    t.UnderlinePos = -t.Upem / 10;
  }
  return t;
}

int RoundPx(double v) { return int(std::lround(v)); }

PangoFont* LoadFont(PangoContext* ctx, PangoFontDescription* desc, const std::string& family) {
  PangoFont* font = pango_font_map_load_font(TextFontMap(), ctx, desc);
  if (!font) throw Exception("No installed font can draw the face \"" + family + "\"");
  return font;
}

}  // namespace

std::string MappedFamily(const Char* faceName) {
  const Char empty[1] = {0};
  if (!faceName) faceName = empty;
  if (!*faceName) return "Tahoma";
  for (const Substitute& s : kSubstitutes)
    if (SameFace(faceName, s.From)) return s.To;
  int n = 0;
  while (n < LF_FACESIZE && faceName[n]) ++n;
  std::string family = StringToUtf8(StringView(faceName, size_t(n)));
  // A comma would make Pango read a list of families.
  std::replace(family.begin(), family.end(), ',', ' ');
  return family;
}

std::shared_ptr<FontData> BuildFontData(const LOGFONTW& lf, int dpi) {
  if (dpi <= 0) dpi = 96;
  auto fd = std::make_shared<FontData>();
  fd->Antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
  fd->Underline = lf.lfUnderline != 0;
  fd->StrikeOut = lf.lfStrikeOut != 0;
  fd->Escapement = lf.lfEscapement % 3600;
  PangoContext* ctx = TextContext(fd->Antialias, false);

  const std::string family = MappedFamily(lf.lfFaceName);
  int weight = lf.lfWeight <= 0 ? int(FW_NORMAL) : std::clamp(int(lf.lfWeight), 100, 1000);
  fd->Desc = pango_font_description_new();
  pango_font_description_set_family(fd->Desc, family.c_str());
  pango_font_description_set_weight(fd->Desc, PangoWeight(weight));
  pango_font_description_set_style(fd->Desc, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);

  // Height: < 0 the em height, > 0 the cell height (ascent + descent), 0 the default 8 pt.
  int height = lf.lfHeight == 0 ? -MulDiv(8, dpi, 72) : int(lf.lfHeight);
  height = std::clamp(height, -4096, 4096);
  if (height == 0) height = -1;
  int em = height < 0 ? -height : height;
  pango_font_description_set_absolute_size(fd->Desc, double(em) * PANGO_SCALE);
  PangoFont* font = LoadFont(ctx, fd->Desc, family);
  FaceTables t = ReadTables(font);
  const int cell = t.WinAscent + t.WinDescent;
  if (height > 0) {
    em = std::max(1, RoundPx(double(height) * t.Upem / cell));
    g_object_unref(font);
    pango_font_description_set_absolute_size(fd->Desc, double(em) * PANGO_SCALE);
    font = LoadFont(ctx, fd->Desc, family);
  }
  fd->Font = font;
  fd->EmPixels = em;

  const double scale = double(em) / t.Upem;
  TEXTMETRICW& tm = fd->Tm;
  if (height > 0) {
    tm.tmAscent = RoundPx(double(t.WinAscent) * height / cell);
    tm.tmDescent = height - tm.tmAscent;
  } else {
    tm.tmAscent = RoundPx(t.WinAscent * scale);
    tm.tmDescent = RoundPx(t.WinDescent * scale);
  }
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, int(tm.tmHeight) - em);
  tm.tmExternalLeading =
      std::max(0, RoundPx((t.HheaAscent - t.HheaDescent + t.LineGap - cell) * scale));
  tm.tmWeight = weight;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = dpi;
  tm.tmDigitizedAspectY = dpi;
  tm.tmFirstChar = Char(t.FirstChar);
  tm.tmLastChar = Char(t.LastChar);
  tm.tmDefaultChar = Char(t.DefaultChar);
  tm.tmBreakChar = Char(t.BreakChar);
  tm.tmItalic = lf.lfItalic ? 1 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  BYTE familyBits = FF_DONTCARE;
  int cls = t.FamilyClass >> 8;
  if (t.FixedPitch) familyBits = FF_MODERN;
  else if (cls == 8) familyBits = FF_SWISS;
  else if (cls >= 1 && cls <= 7) familyBits = FF_ROMAN;
  else if (cls == 10) familyBits = FF_SCRIPT;
  else if (cls == 9 || cls == 12 || t.PanoseFamily == 5) familyBits = FF_DECORATIVE;
  else if (t.PanoseSerif >= 11 && t.PanoseSerif <= 13) familyBits = FF_SWISS;
  else if (t.PanoseSerif >= 2 && t.PanoseSerif <= 10) familyBits = FF_ROMAN;
  tm.tmPitchAndFamily = BYTE((t.FixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | familyBits);
  tm.tmCharSet = (t.Symbol || lf.lfCharSet == SYMBOL_CHARSET) ? SYMBOL_CHARSET : ANSI_CHARSET;
  tm.tmMaxCharWidth = std::max(1, RoundPx(t.MaxAdvance * scale));

  // Underline below the baseline, strike-out above it, both at least a pixel and kept inside
  // the cell.
  fd->UnderlineHeight = std::max(1, RoundPx(t.UnderlineSize * scale));
  int below = std::max(1, RoundPx(-t.UnderlinePos * scale));
  below = std::min(below, std::max(0, int(tm.tmDescent) - fd->UnderlineHeight));
  fd->UnderlineTop = tm.tmAscent + below;
  fd->StrikeHeight = std::max(1, RoundPx(t.StrikeSize * scale));
  fd->StrikeTop = std::max(0, int(tm.tmAscent) - std::max(1, RoundPx(t.StrikePos * scale)));

  PangoFontDescription* used = pango_font_describe(font);
  const char* usedFamily = pango_font_description_get_family(used);
  fd->Face = Utf8ToString(usedFamily ? usedFamily : family.c_str());
  pango_font_description_free(used);

  fd->Attrs = pango_attr_list_new();
  pango_attr_list_insert(fd->Attrs, pango_attr_font_features_new("kern=0,liga=0,clig=0"));

  // The average width: the weighted letter average, OS/2's value for faces without all the
  // letters (symbol faces), else the width of "x".
  if (t.WeightedAvgWidth > 0) tm.tmAveCharWidth = std::max(1, RoundPx(t.WeightedAvgWidth * scale));
  else if (t.AvgCharWidth > 0) tm.tmAveCharWidth = std::max(1, RoundPx(t.AvgCharWidth * scale));
  else tm.tmAveCharWidth = std::max(1, TextWidth(fd, u"x"));
  return fd;
}

FontData::~FontData() {
  if (Desc) pango_font_description_free(Desc);
  if (Font) g_object_unref(Font);
  if (Attrs) pango_attr_list_unref(Attrs);
}

PangoFontDescription* FontDescriptionFor(const LOGFONTW& lf, int dpi) {
  return pango_font_description_copy(FontDataFor(lf, dpi)->Desc);
}

}  // namespace vcl
