// Parser of style sources (syntax in StyleFormat.h). Everything a style says is checked here,
// so a style that parses draws: unknown blocks, keys, selectors, states and glyphs, values out
// of range, duplicates and cycles of "like" references are errors naming the line.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <set>
#include <unordered_set>

#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"

namespace vcl {
namespace {

constexpr int MaxRules = 20000;
constexpr int MaxLikesPerRule = 8;
constexpr int MaxLikeDepth = 32;
constexpr int MaxColorNesting = 16;
constexpr size_t MaxIdentifier = 96;
constexpr size_t MaxString = 512;
constexpr size_t MaxHeader = 2048;
constexpr int MaxPalette = 4096;
constexpr int MaxPathDepth = 6;

[[noreturn]] void Fail(const String& origin, int line, const std::string& msg) {
  std::string s = StringToUtf8(origin);
  if (line > 0) s += "(" + std::to_string(line) + ")";
  s += ": " + msg;
  throw EStyleEngineException(s);
}

std::string Quote(std::string_view s) {
  std::string r = "\"";
  for (char c : s.substr(0, 80)) r += (static_cast<unsigned char>(c) < 32) ? '?' : c;
  if (s.size() > 80) r += "...";
  return r + "\"";
}

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '-'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ---- the element model as style sources see it --------------------------------------------

struct TSelectorModel {
  std::unordered_map<std::string, int> Families;  // "button" -> family index
  // "button", "button.push", "button.check.checked", ... -> states found under that prefix
  std::unordered_map<std::string, std::set<std::string>> Prefixes;
  std::set<std::string> AllStates;
};

const TSelectorModel& SelectorModel() {
  static const TSelectorModel m = [] {
    TSelectorModel r;
    for (const TFamilyInfo& f : ElementFamilies()) r.Families.emplace(f.Selector, int(f.Element));
    for (const TElementEntry& e : ElementEntries()) {
      std::string key = FamilyOf(e.Element).Selector;
      r.Prefixes[key].insert(e.State);
      std::string_view path = e.Path;
      size_t start = 0;
      while (start <= path.size()) {
        size_t dot = path.find('.', start);
        size_t end = dot == std::string_view::npos ? path.size() : dot;
        key = std::string(FamilyOf(e.Element).Selector) + "." + std::string(path.substr(0, end));
        r.Prefixes[key].insert(e.State);
        if (dot == std::string_view::npos) break;
        start = dot + 1;
      }
      r.AllStates.insert(e.State);
    }
    return r;
  }();
  return m;
}

// ---- value tokens ---------------------------------------------------------------------------

enum class TTok { End, Word, Number, Hex, Var, String, LParen, RParen, Comma };

struct TToken {
  TTok Kind = TTok::End;
  std::string_view Text;
  double Num = 0;
  bool Percent = false;
};

// Tokens of one declaration's value (a single line).
class TValueReader {
 public:
  TValueReader(std::string_view text, const String& origin, int line)
      : FText(text), FOrigin(origin), FLine(line) {}

  [[noreturn]] void Fail(const std::string& msg) const { vcl::Fail(FOrigin, FLine, msg); }
  int Line() const { return FLine; }

  const TToken& Peek() {
    if (!FHasPeek) {
      FPeek = Lex();
      FHasPeek = true;
    }
    return FPeek;
  }
  TToken Next() {
    TToken t = Peek();
    FHasPeek = false;
    return t;
  }
  bool AtEnd() { return Peek().Kind == TTok::End; }
  void Expect(TTok kind, const char* what) {
    TToken t = Next();
    if (t.Kind != kind) Fail(std::string("expected ") + what + Found(t));
  }
  void ExpectEnd() {
    if (!AtEnd()) Fail("unexpected " + Quote(Peek().Text) + " after the value");
  }
  static std::string Found(const TToken& t) {
    return t.Kind == TTok::End ? " at the end of the value" : ", found " + Quote(t.Text);
  }

 private:
  TToken Lex() {
    while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t')) ++FPos;
    TToken t;
    if (FPos >= FText.size()) return t;
    size_t start = FPos;
    char c = FText[FPos];
    auto take = [&](TTok k) {
      t.Kind = k;
      t.Text = FText.substr(start, FPos - start);
      return t;
    };
    if (c == '(') { ++FPos; return take(TTok::LParen); }
    if (c == ')') { ++FPos; return take(TTok::RParen); }
    if (c == ',') { ++FPos; return take(TTok::Comma); }
    if (c == '"') {
      ++FPos;
      while (FPos < FText.size() && FText[FPos] != '"') {
        if (FText[FPos] == '\\' && FPos + 1 < FText.size()) ++FPos;
        ++FPos;
      }
      if (FPos >= FText.size()) Fail("unterminated string");
      ++FPos;
      take(TTok::String);
      if (t.Text.size() - 2 > MaxString) Fail("string longer than " + std::to_string(MaxString));
      return t;
    }
    if (c == '#') {
      ++FPos;
      while (FPos < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
      return take(TTok::Hex);
    }
    if (c == '$') {
      ++FPos;
      while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
      take(TTok::Var);
      if (t.Text.size() < 2) Fail("a palette name must follow \"$\"");
      return t;
    }
    if (IsDigit(c) || ((c == '-' || c == '+' || c == '.') && FPos + 1 < FText.size() &&
                       (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '.'))) {
      ++FPos;
      while (FPos < FText.size() && (IsDigit(FText[FPos]) || FText[FPos] == '.')) ++FPos;
      std::string num(FText.substr(start, FPos - start));
      if (num.size() > 24) Fail("number " + Quote(num) + " is too long");
      char* end = nullptr;
      t.Num = std::strtod(num.c_str(), &end);
      if (end != num.c_str() + num.size() || !std::isfinite(t.Num))
        Fail("malformed number " + Quote(num));
      if (FPos < FText.size() && FText[FPos] == '%') {
        t.Percent = true;
        ++FPos;
      }
      if (FPos < FText.size() && IsIdentChar(FText[FPos]))
        Fail("malformed number " + Quote(FText.substr(start, FPos - start + 1)));
      return take(TTok::Number);
    }
    if (IsIdentStart(c)) {
      while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
      take(TTok::Word);
      if (t.Text.size() > MaxIdentifier) Fail("name longer than " + std::to_string(MaxIdentifier));
      return t;
    }
    Fail(std::string("unexpected character ") + Quote(FText.substr(FPos, 1)));
  }

  std::string_view FText;
  const String& FOrigin;
  int FLine;
  size_t FPos = 0;
  TToken FPeek;
  bool FHasPeek = false;
};

// ---- colours --------------------------------------------------------------------------------

TArgb MixArgb(TArgb a, TArgb b, double p) {
  auto ch = [&](int shift) {
    double x = double((a >> shift) & 0xFF), y = double((b >> shift) & 0xFF);
    return TArgb(std::lround(x + (y - x) * p)) << shift;
  };
  return ch(24) | ch(16) | ch(8) | ch(0);
}

struct TBlockContext {
  const std::unordered_map<std::string, TArgb>* Palette;
  const TStyleSource* Style;
};

double ReadPercent(TValueReader& r) {
  TToken t = r.Next();
  if (t.Kind != TTok::Number) r.Fail("expected a percentage" + TValueReader::Found(t));
  double p = t.Percent ? t.Num / 100.0 : t.Num;
  if (p < 0 || p > 1) r.Fail("percentage " + Quote(t.Text) + " out of range 0% to 100%");
  return p;
}

TArgb ReadColor(TValueReader& r, const TBlockContext& ctx, int depth = 0) {
  if (depth > MaxColorNesting) r.Fail("colour functions nest too deeply");
  TToken t = r.Next();
  switch (t.Kind) {
    case TTok::Hex: {
      std::string_view h = t.Text.substr(1);
      auto hex = [&](char c) -> TArgb {
        return TArgb(IsDigit(c) ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10));
      };
      if (h.size() == 3) {
        TArgb rr = hex(h[0]) * 17, gg = hex(h[1]) * 17, bb = hex(h[2]) * 17;
        return 0xFF000000u | (rr << 16) | (gg << 8) | bb;
      }
      if (h.size() == 6 || h.size() == 8) {
        TArgb v = 0;
        for (char c : h.substr(0, 6)) v = (v << 4) | hex(c);
        TArgb a = 0xFF;
        if (h.size() == 8) a = hex(h[6]) * 16 + hex(h[7]);
        return (a << 24) | v;
      }
      r.Fail("bad colour " + Quote(t.Text) + " (expected #rgb, #rrggbb or #rrggbbaa)");
    }
    case TTok::Var: {
      auto it = ctx.Palette->find(std::string(t.Text.substr(1)));
      if (it == ctx.Palette->end()) r.Fail("unknown palette colour " + Quote(t.Text));
      return it->second;
    }
    case TTok::Word: {
      if (t.Text == "none" || t.Text == "transparent") return 0;
      if (r.Peek().Kind == TTok::LParen) {
        r.Next();
        TArgb result = 0;
        if (t.Text == "mix") {
          TArgb a = ReadColor(r, ctx, depth + 1);
          r.Expect(TTok::Comma, "\",\"");
          TArgb b = ReadColor(r, ctx, depth + 1);
          r.Expect(TTok::Comma, "\",\"");
          result = MixArgb(a, b, ReadPercent(r));
        } else if (t.Text == "alpha") {
          TArgb a = ReadColor(r, ctx, depth + 1);
          r.Expect(TTok::Comma, "\",\"");
          double p = ReadPercent(r);
          result = (a & 0x00FFFFFFu) | (TArgb(std::lround(AlphaOf(a) * p)) << 24);
        } else if (t.Text == "lighter" || t.Text == "darker") {
          TArgb a = ReadColor(r, ctx, depth + 1);
          r.Expect(TTok::Comma, "\",\"");
          double p = ReadPercent(r);
          TArgb target = t.Text == "lighter" ? (a | 0x00FFFFFFu) : (a & 0xFF000000u);
          result = MixArgb(a, target, p);
        } else {
          r.Fail("unknown colour function " + Quote(t.Text));
        }
        r.Expect(TTok::RParen, "\")\"");
        return result;
      }
      int sys = SystemColorIndexOfName(t.Text);
      if (sys >= 0) {
        if (!ctx.Style->HasSystem[sys])
          r.Fail(std::string(t.Text) + " is used before the system block maps it");
        return ctx.Style->System[sys];
      }
      r.Fail("unknown colour " + Quote(t.Text));
    }
    default:
      r.Fail("expected a colour" + TValueReader::Found(t));
  }
}

double ReadNumber(TValueReader& r, double lo, double hi, const char* what) {
  TToken t = r.Next();
  if (t.Kind != TTok::Number || t.Percent) r.Fail(std::string("expected ") + what + TValueReader::Found(t));
  if (t.Num < lo || t.Num > hi)
    r.Fail(std::string(what) + " " + Quote(t.Text) + " out of range " +
           std::to_string(int(lo)) + " to " + std::to_string(int(hi)));
  return t.Num;
}

int ReadInt(TValueReader& r, int lo, int hi, const char* what) {
  double v = ReadNumber(r, lo, hi, what);
  if (v != std::floor(v)) r.Fail(std::string(what) + " must be a whole number");
  return int(v);
}

// One to four whole numbers: n (all sides) or l t r b.
void ReadQuad(TValueReader& r, std::int16_t out[4], int lo, int hi, const char* what) {
  int v[4];
  int n = 0;
  while (!r.AtEnd() && n < 4) v[n++] = ReadInt(r, lo, hi, what);
  r.ExpectEnd();
  if (n == 1) {
    for (int i = 0; i < 4; ++i) out[i] = std::int16_t(v[0]);
  } else if (n == 4) {
    for (int i = 0; i < 4; ++i) out[i] = std::int16_t(v[i]);
  } else {
    r.Fail(std::string(what) + ": expected one value or four (left top right bottom)");
  }
}

String ReadString(TValueReader& r) {
  TToken t = r.Next();
  if (t.Kind != TTok::String) r.Fail("expected a quoted string" + TValueReader::Found(t));
  std::string s;
  std::string_view body = t.Text.substr(1, t.Text.size() - 2);
  for (size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '\\' && i + 1 < body.size()) c = body[++i];
    if (static_cast<unsigned char>(c) < 32) r.Fail("control character in a string");
    s += c;
  }
  return Utf8ToString(s);
}

TPaint ReadPaint(TValueReader& r, const TBlockContext& ctx) {
  TPaint p;
  const TToken& t = r.Peek();
  if (t.Kind == TTok::Word && (t.Text == "vertical" || t.Text == "horizontal" || t.Text == "linear")) {
    TToken fn = r.Next();
    if (r.Peek().Kind == TTok::LParen) {
      r.Next();
      p.Kind = TFillKind::Linear;
      if (fn.Text == "linear") {
        p.Angle = std::int16_t(ReadInt(r, -360, 360, "gradient angle"));
        r.Expect(TTok::Comma, "\",\"");
      } else {
        p.Angle = fn.Text == "vertical" ? 90 : 0;
      }
      bool given[4] = {false, false, false, false};
      for (;;) {
        if (p.StopCount == 4) r.Fail("a gradient has at most 4 colours");
        p.Colors[p.StopCount] = ReadColor(r, ctx);
        if (r.Peek().Kind == TTok::Number) {
          p.Offsets[p.StopCount] = std::uint8_t(std::lround(ReadPercent(r) * 100));
          given[p.StopCount] = true;
        }
        ++p.StopCount;
        TToken sep = r.Next();
        if (sep.Kind == TTok::RParen) break;
        if (sep.Kind != TTok::Comma) r.Fail("expected \",\" or \")\"" + TValueReader::Found(sep));
      }
      if (p.StopCount < 2) r.Fail("a gradient needs at least 2 colours");
      // Stops without an offset: the first at 0 %, the last at 100 %, others evenly between
      // their neighbours.
      int last = p.StopCount - 1;
      if (!given[0]) p.Offsets[0] = 0;
      if (!given[last]) p.Offsets[last] = 100;
      given[0] = given[last] = true;
      for (int i = 1; i < last; ++i) {
        if (given[i]) continue;
        int j = i + 1;
        while (!given[j]) ++j;
        int prev = p.Offsets[i - 1];
        p.Offsets[i] = std::uint8_t(prev + (p.Offsets[j] - prev) / (j - i + 1));
        given[i] = true;
      }
      for (int i = 1; i < p.StopCount; ++i)
        if (p.Offsets[i] < p.Offsets[i - 1]) r.Fail("gradient stops must not go backwards");
      return p;
    }
    r.Fail("unknown colour " + Quote(fn.Text));
  }
  TArgb c = ReadColor(r, ctx);
  if (AlphaOf(c) == 0) return p;  // none
  p.Kind = TFillKind::Solid;
  p.StopCount = 1;
  p.Colors[0] = c;
  return p;
}

struct TNamedGlyph {
  const char* Name;
  TGlyphKind Kind;
};
constexpr TNamedGlyph Glyphs[] = {
    {"none", TGlyphKind::None},           {"check", TGlyphKind::Check},
    {"mixed", TGlyphKind::Mixed},         {"dot", TGlyphKind::Dot},
    {"arrow-up", TGlyphKind::ArrowUp},    {"arrow-down", TGlyphKind::ArrowDown},
    {"arrow-left", TGlyphKind::ArrowLeft}, {"arrow-right", TGlyphKind::ArrowRight},
    {"chevron-up", TGlyphKind::ChevronUp}, {"chevron-down", TGlyphKind::ChevronDown},
    {"chevron-left", TGlyphKind::ChevronLeft}, {"chevron-right", TGlyphKind::ChevronRight},
    {"close", TGlyphKind::Close},         {"minimize", TGlyphKind::Minimize},
    {"maximize", TGlyphKind::Maximize},   {"restore", TGlyphKind::Restore},
    {"help", TGlyphKind::Help},           {"plus", TGlyphKind::Plus},
    {"minus", TGlyphKind::Minus},         {"size-grip", TGlyphKind::SizeGrip},
    {"gripper-horz", TGlyphKind::GripperHorz}, {"gripper-vert", TGlyphKind::GripperVert},
    {"window", TGlyphKind::Window},       {"line", TGlyphKind::Line},
    {"line-vert", TGlyphKind::LineVert},  {"ticks", TGlyphKind::Ticks},
    {"ticks-vert", TGlyphKind::TicksVert},
};

struct TNamedShape {
  const char* Name;
  TShapeKind Kind;
};
constexpr TNamedShape Shapes[] = {
    {"rect", TShapeKind::Rect},           {"ellipse", TShapeKind::Ellipse},
    {"none", TShapeKind::None},           {"thumb-up", TShapeKind::ThumbUp},
    {"thumb-down", TShapeKind::ThumbDown}, {"thumb-left", TShapeKind::ThumbLeft},
    {"thumb-right", TShapeKind::ThumbRight},
};

std::string_view ReadWord(TValueReader& r, const char* what) {
  TToken t = r.Next();
  if (t.Kind != TTok::Word) r.Fail(std::string("expected ") + what + TValueReader::Found(t));
  return t.Text;
}

bool ReadYesNo(TValueReader& r) {
  std::string_view w = ReadWord(r, "yes or no");
  if (w == "yes" || w == "true") return true;
  if (w == "no" || w == "false") return false;
  r.Fail("expected yes or no, found " + Quote(w));
}

// One property of an element rule.
void ReadProperty(std::string_view key, TValueReader& r, const TBlockContext& ctx, TRecipe& p) {
  auto set = [&](TRecipeProp bit) {
    if (p.Has & bit) r.Fail("property " + Quote(key) + " given twice in one rule");
    p.Has |= bit;
  };
  if (key == "fill") {
    set(rpFill);
    p.Fill = ReadPaint(r, ctx);
  } else if (key == "border") {
    set(rpBorderColor);
    if (r.Peek().Kind == TTok::Word && r.Peek().Text == "none") {
      // No border drawn; the width stays, so a later state can show the border again.
      r.Next();
      p.BorderColor = 0;
    } else {
      p.BorderColor = ReadColor(r, ctx);
      if (!r.AtEnd()) {
        set(rpBorderWidth);
        p.BorderWidth = float(ReadNumber(r, 0, 32, "border width"));
      }
    }
  } else if (key == "border-width") {
    set(rpBorderWidth);
    p.BorderWidth = float(ReadNumber(r, 0, 32, "border width"));
  } else if (key == "sides") {
    set(rpSides);
    p.Sides = 0;
    while (!r.AtEnd()) {
      std::string_view w = ReadWord(r, "a side");
      if (w == "all") p.Sides |= SideAll;
      else if (w == "left") p.Sides |= SideLeft;
      else if (w == "top") p.Sides |= SideTop;
      else if (w == "right") p.Sides |= SideRight;
      else if (w == "bottom") p.Sides |= SideBottom;
      else if (w == "none") p.Sides |= 0;
      else r.Fail("unknown side " + Quote(w));
    }
  } else if (key == "radius") {
    set(rpRadius);
    double v[4];
    int n = 0;
    while (!r.AtEnd() && n < 4) v[n++] = ReadNumber(r, 0, 512, "radius");
    if (n == 1) v[1] = v[2] = v[3] = v[0];
    else if (n != 4) r.Fail("radius: expected one value or four (top-left top-right bottom-right bottom-left)");
    for (int i = 0; i < 4; ++i) p.Radius[i] = float(v[i]);
  } else if (key == "inset") {
    set(rpInset);
    ReadQuad(r, p.Inset, -64, 512, "inset");
    return;
  } else if (key == "shape") {
    set(rpShape);
    std::string_view w = ReadWord(r, "a shape");
    auto it = std::find_if(std::begin(Shapes), std::end(Shapes), [&](auto& s) { return w == s.Name; });
    if (it == std::end(Shapes)) r.Fail("unknown shape " + Quote(w));
    p.Shape = it->Kind;
  } else if (key == "highlight") {
    set(rpHighlight);
    p.Highlight = ReadColor(r, ctx);
    if (!r.AtEnd()) {
      std::string_view w = ReadWord(r, "top, bottom or all");
      if (w == "top") p.HighlightMode = THighlightMode::Top;
      else if (w == "bottom") p.HighlightMode = THighlightMode::Bottom;
      else if (w == "all") p.HighlightMode = THighlightMode::All;
      else r.Fail("expected top, bottom or all, found " + Quote(w));
    }
  } else if (key == "glow") {
    set(rpGlow);
    p.Glow = ReadColor(r, ctx);
    if (!r.AtEnd()) p.GlowWidth = float(ReadNumber(r, 0, 32, "glow width"));
  } else if (key == "shadow") {
    set(rpShadow);
    p.Shadow = ReadColor(r, ctx);
  } else if (key == "glyph") {
    set(rpGlyph);
    std::string_view w = ReadWord(r, "a glyph");
    auto it = std::find_if(std::begin(Glyphs), std::end(Glyphs), [&](auto& g) { return w == g.Name; });
    if (it == std::end(Glyphs)) r.Fail("unknown glyph " + Quote(w));
    p.Glyph = it->Kind;
  } else if (key == "glyph-color") {
    set(rpGlyphColor);
    p.GlyphColor = ReadColor(r, ctx);
  } else if (key == "glyph-size") {
    set(rpGlyphSize);
    p.GlyphSize = float(ReadNumber(r, 0, 512, "glyph size"));
  } else if (key == "glyph-weight") {
    set(rpGlyphWeight);
    p.GlyphWeight = float(ReadNumber(r, 0, 64, "glyph weight"));
  } else if (key == "glyph-offset") {
    set(rpGlyphOffset);
    p.GlyphOffset[0] = std::int16_t(ReadInt(r, -64, 64, "glyph offset"));
    p.GlyphOffset[1] = std::int16_t(ReadInt(r, -64, 64, "glyph offset"));
  } else if (key == "text") {
    set(rpText);
    p.Text = ReadColor(r, ctx);
  } else if (key == "size" || key == "min-size") {
    set(key == "size" ? rpSize : rpMinSize);
    TSize& s = key == "size" ? p.Size : p.MinSize;
    s.cx = ReadInt(r, 0, 4096, "width");
    s.cy = ReadInt(r, 0, 4096, "height");
  } else if (key == "content") {
    set(rpContent);
    ReadQuad(r, p.Content, 0, 512, "content margin");
    return;
  } else if (key == "sizing") {
    set(rpSizing);
    ReadQuad(r, p.Sizing, 0, 512, "sizing margin");
    return;
  } else if (key == "edges") {
    set(rpEdges);
    for (auto& e : p.Edges) e = ReadColor(r, ctx);
  } else if (key == "position") {
    set(rpPosition);
    std::string_view w = ReadWord(r, "left or right");
    if (w != "left" && w != "right") r.Fail("expected left or right, found " + Quote(w));
    p.PositionFromRight = w == "right";
    p.PositionX = std::int16_t(ReadInt(r, -4096, 4096, "position"));
    p.PositionY = std::int16_t(ReadInt(r, -4096, 4096, "position"));
  } else if (key == "fixed") {
    set(rpFixed);
    p.Fixed = ReadYesNo(r);
  } else {
    r.Fail("unknown property " + Quote(key));
  }
  r.ExpectEnd();
}

// ---- the parser -----------------------------------------------------------------------------

struct TParsedSelector {
  bool Mixin = false;
  bool Any = false;        // "*"
  std::string Family;      // "button"
  std::string Path;        // "push" ("" for a family or mixin)
  std::string State;       // "" when none
  std::string Key() const {
    std::string k = Mixin ? "@" + Family : Any ? "*" : Family;
    if (!Path.empty()) k += "." + Path;
    if (!State.empty()) k += ":" + State;
    return k;
  }
  std::string Base() const {  // without the state
    std::string k = Mixin ? "@" + Family : Any ? "*" : Family;
    if (!Path.empty()) k += "." + Path;
    return k;
  }
};

class TParser {
 public:
  TParser(std::string_view text, const String& origin) : FText(text), FOrigin(origin) {}

  void Parse(TStyleSource& out, bool infoOnly) {
    FOut = &out;
    out.Origin = FOrigin;
    if (FText.size() > MaxStyleSourceSize)
      Fail(FOrigin, 0, "style source larger than " + std::to_string(MaxStyleSourceSize) + " bytes");
    bool first = true;
    for (;;) {
      SkipBlank();
      if (FPos >= FText.size()) break;
      int line = FLine;
      bool hasBody = false;
      std::string header = ReadHeader(&hasBody);
      if (first && header != "style") Fail(FOrigin, line, "a style source must start with its style block");
      if (!first && header == "style") Fail(FOrigin, line, "a second style block");
      first = false;
      if (!hasBody && header.find(" like ") == std::string::npos)
        Fail(FOrigin, line, "expected \"{\" after " + Quote(header));
      ParseBlock(header, line, hasBody);
      if (infoOnly) return;
    }
    if (first) Fail(FOrigin, 0, "empty style source");
    CheckLikes();
  }

 private:
  [[noreturn]] void Err(const std::string& msg) const { Fail(FOrigin, FLine, msg); }

  void SkipBlank() {
    while (FPos < FText.size()) {
      char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
        ++FPos;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == ';') {
        ++FPos;
      } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
        while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
      } else {
        break;
      }
    }
  }

  // A block's name: the text up to "{" on the same line, blanks collapsed to one space. A line
  // that ends without "{" is a rule with no properties of its own ("a.b like c"): *hasBody is
  // then false.
  std::string ReadHeader(bool* hasBody) {
    std::string h;
    *hasBody = false;
    while (FPos < FText.size()) {
      char c = FText[FPos];
      if (c == '{') {
        ++FPos;
        *hasBody = true;
        break;
      }
      if (c == '\n' || c == ';' || (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/')) break;
      if (c == '}') Err("unexpected \"}\"");
      if (c == ' ' || c == '\t' || c == '\r') {
        if (!h.empty() && h.back() != ' ') h += ' ';
      } else {
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
          Err("unexpected character in a block name");
        h += c;
      }
      ++FPos;
      if (h.size() > MaxHeader) Err("block name too long");
    }
    while (!h.empty() && h.back() == ' ') h.pop_back();
    if (h.empty()) Err(*hasBody ? "a block without a name" : "unexpected end of the file");
    return h;
  }

  // Reads "key: value" declarations up to "}", calling fn(key, reader) for each.
  template <class F>
  void ForEachDecl(F&& fn) {
    for (;;) {
      SkipBlank();
      if (FPos >= FText.size()) Err("missing \"}\"");
      if (FText[FPos] == '}') {
        ++FPos;
        return;
      }
      size_t start = FPos;
      while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
      std::string_view key = FText.substr(start, FPos - start);
      if (key.empty() || !IsIdentStart(key[0]))
        Err("expected a property name, found " + Quote(FText.substr(start, 1)));
      if (key.size() > MaxIdentifier) Err("property name too long");
      while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t')) ++FPos;
      if (FPos >= FText.size() || FText[FPos] != ':')
        Err("expected \":\" after " + Quote(key));
      ++FPos;
      // The value runs to the end of the line, a ";" or a "}" outside quotes.
      size_t vstart = FPos;
      bool quoted = false;
      while (FPos < FText.size()) {
        char c = FText[FPos];
        if (c == '\n') break;
        if (c == '"') quoted = !quoted;
        else if (quoted && c == '\\') ++FPos;
        else if (!quoted && (c == ';' || c == '}')) break;
        else if (!quoted && c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') break;
        else if (static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\r') Err("control character in a value");
        ++FPos;
      }
      std::string_view value = FText.substr(vstart, FPos - vstart);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
        value.remove_suffix(1);
      TValueReader r(value, FOrigin, FLine);
      if (r.AtEnd()) r.Fail("property " + Quote(key) + " has no value");
      fn(key, r);
    }
  }

  void ParseBlock(const std::string& header, int line, bool hasBody) {
    TBlockContext ctx{&FPalette, FOut};
    if (header == "style") {
      std::set<std::string_view> seen;
      ForEachDecl([&](std::string_view key, TValueReader& r) {
        if (!seen.insert(key).second) r.Fail("duplicate " + Quote(key));
        String v = ReadString(r);
        r.ExpectEnd();
        TStyleInfo& info = FOut->Info;
        if (key == "name") info.Name = v;
        else if (key == "author") info.Author = v;
        else if (key == "email") info.AuthorEMail = v;
        else if (key == "url") info.AuthorURL = v;
        else if (key == "version") info.Version = v;
        else if (key == "description") info.Description = v;
        else r.Fail("unknown style property " + Quote(key));
      });
      const String& name = FOut->Info.Name;
      if (name.empty()) Fail(FOrigin, line, "the style block names no style");
      if (name.size() > 64) Fail(FOrigin, line, "style name longer than 64 characters");
      if (name.front() == u' ' || name.back() == u' ') Fail(FOrigin, line, "style name starts or ends with a space");
      return;
    }
    if (header == "palette") {
      ForEachDecl([&](std::string_view key, TValueReader& r) {
        if (FPalette.count(std::string(key))) r.Fail("palette colour " + Quote(key) + " defined twice");
        if (int(FPalette.size()) >= MaxPalette) r.Fail("too many palette colours");
        TArgb c = ReadColor(r, ctx);
        r.ExpectEnd();
        FPalette.emplace(std::string(key), c);
      });
      return;
    }
    if (header == "system") {
      ForEachDecl([&](std::string_view key, TValueReader& r) {
        int i = SystemColorIndexOfName(key);
        if (i < 0) r.Fail("unknown system colour " + Quote(key));
        if (FOut->HasSystem[i]) r.Fail(Quote(key) + " mapped twice");
        TArgb c = ReadColor(r, ctx);
        r.ExpectEnd();
        FOut->System[i] = c | 0xFF000000u;
        FOut->HasSystem[i] = true;
      });
      return;
    }
    if (header == "colors" || header == "fontcolors") {
      bool fonts = header == "fontcolors";
      ForEachDecl([&](std::string_view key, TValueReader& r) {
        int found = -1;
        int count = fonts ? StyleFontCount : StyleColorCount;
        for (int i = 0; i < count && found < 0; ++i)
          if (key == (fonts ? StyleFontName(TStyleFont(i)) : StyleColorName(TStyleColor(i)))) found = i;
        if (found < 0) r.Fail(std::string("unknown ") + (fonts ? "font colour " : "style colour ") + Quote(key));
        bool* has = fonts ? FOut->HasFontColor : FOut->HasStyleColor;
        TArgb* dst = fonts ? FOut->FontColors : FOut->StyleColors;
        if (has[found]) r.Fail(Quote(key) + " given twice");
        TArgb c = ReadColor(r, ctx);
        r.ExpectEnd();
        dst[found] = c | 0xFF000000u;
        has[found] = true;
      });
      return;
    }
    if (header == "fonts") {
      static constexpr const char* Kinds[] = {"default", "caption", "smallcaption", "menu", "hint", "heading"};
      static_assert(std::size(Kinds) == StyleFontKindCount);
      ForEachDecl([&](std::string_view key, TValueReader& r) {
        auto it = std::find_if(std::begin(Kinds), std::end(Kinds), [&](const char* k) { return key == k; });
        if (it == std::end(Kinds)) r.Fail("unknown font " + Quote(key));
        TStyleFontSpec& f = FOut->Fonts[it - std::begin(Kinds)];
        if (f.Size) r.Fail("font " + Quote(key) + " given twice");
        f.Face = ReadString(r);
        if (f.Face.empty() || f.Face.size() > 31) r.Fail("font face must have 1 to 31 characters");
        f.Size = ReadInt(r, 1, 72, "font size");
        while (!r.AtEnd()) {
          std::string_view w = ReadWord(r, "bold or italic");
          if (w == "bold") f.Bold = true;
          else if (w == "italic") f.Italic = true;
          else r.Fail("expected bold or italic, found " + Quote(w));
        }
      });
      return;
    }
    ParseRules(header, line, hasBody);
  }

  TParsedSelector ParseSelector(std::string_view s, bool allowFamilyOnly) {
    TParsedSelector sel;
    if (s.empty()) Err("empty selector");
    size_t colon = s.find(':');
    std::string_view base = s.substr(0, colon);
    if (colon != std::string_view::npos) {
      sel.State = std::string(s.substr(colon + 1));
      if (sel.State.empty()) Err("selector " + Quote(s) + " names no state after \":\"");
      if (!SelectorModel().AllStates.count(sel.State)) Err("unknown state " + Quote(sel.State) + " in " + Quote(s));
    }
    for (char c : base)
      if (!(IsIdentChar(c) || c == '.' || c == '@' || c == '*')) Err("bad character in selector " + Quote(s));
    if (base == "*") {
      sel.Any = true;
      return sel;
    }
    if (base.front() == '@') {
      sel.Mixin = true;
      sel.Family = std::string(base.substr(1));
      if (sel.Family.empty() || !IsIdentStart(sel.Family[0]) ||
          sel.Family.find_first_of(".@*") != std::string::npos)
        Err("bad mixin name " + Quote(s));
      return sel;
    }
    size_t dot = base.find('.');
    sel.Family = std::string(base.substr(0, dot));
    const TSelectorModel& m = SelectorModel();
    if (!m.Families.count(sel.Family)) Err("unknown element family " + Quote(sel.Family) + " in " + Quote(s));
    if (dot != std::string_view::npos) sel.Path = std::string(base.substr(dot + 1));
    if (!allowFamilyOnly && sel.Path.empty()) Err("\"like\" needs a part or a mixin, not the family " + Quote(s));
    if (std::count(base.begin(), base.end(), '.') > MaxPathDepth) Err("selector " + Quote(s) + " is too deep");
    auto it = m.Prefixes.find(sel.Base());
    if (it == m.Prefixes.end()) Err("unknown part " + Quote(sel.Base()));
    if (!sel.State.empty() && !it->second.count(sel.State))
      Err(Quote(sel.State) + " is not a state of " + sel.Base());
    return sel;
  }

  static std::vector<std::string_view> SplitList(std::string_view s) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
      size_t comma = s.find(',', start);
      std::string_view item = s.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
      while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
      out.push_back(item);
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    return out;
  }

  void ParseRules(const std::string& header, int line, bool hasBody) {
    std::string_view h = header;
    std::string_view likes;
    size_t like = h.find(" like ");
    if (like != std::string_view::npos) {
      likes = h.substr(like + 6);
      h = h.substr(0, like);
    } else if (h.starts_with("like ") || h == "like") {
      Err("a \"like\" clause without a selector before it");
    }
    std::vector<TParsedSelector> sels;
    for (std::string_view s : SplitList(h)) {
      if (s.find(' ') != std::string_view::npos) Err("unknown block or bad selector " + Quote(s));
      sels.push_back(ParseSelector(s, true));
    }
    std::vector<std::string> likeKeys;
    if (like != std::string_view::npos) {
      for (std::string_view s : SplitList(likes)) {
        if (s.find(' ') != std::string_view::npos) Err("bad selector " + Quote(s) + " after \"like\"");
        TParsedSelector ls = ParseSelector(s, false);
        if (ls.Any) Err("\"like *\" is not allowed");
        likeKeys.push_back(ls.Key());
      }
      if (likeKeys.size() > size_t(MaxLikesPerRule)) Err("more than 8 selectors after \"like\"");
    }
    TRecipe props;
    TBlockContext ctx{&FPalette, FOut};
    if (hasBody) ForEachDecl([&](std::string_view key, TValueReader& r) { ReadProperty(key, r, ctx, props); });
    for (const TParsedSelector& s : sels) {
      std::string key = s.Key();
      if (FOut->RuleIndex.count(key)) Fail(FOrigin, line, "a second rule for " + Quote(key));
      if (int(FOut->Rules.size()) >= MaxRules) Fail(FOrigin, line, "too many rules");
      FOut->RuleIndex.emplace(key, int(FOut->Rules.size()));
      FOut->Rules.push_back({key, line, props, likeKeys});
    }
  }

  // Every "like" names rules that can draw something, and the references form no cycle and
  // nest no deeper than MaxLikeDepth.
  void CheckLikes() {
    const auto& rules = FOut->Rules;
    // Rules by base selector (without state).
    std::unordered_map<std::string, std::vector<int>> byBase;
    for (size_t i = 0; i < rules.size(); ++i) {
      const std::string& k = rules[i].Selector;
      byBase[k.substr(0, k.find(':'))].push_back(int(i));
    }
    // Edges: a rule to every rule its likes may bring in (any state).
    std::vector<std::vector<int>> edges(rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
      for (const std::string& like : rules[i].Likes) {
        std::string base = like.substr(0, like.find(':'));
        bool any = false;
        // The like's path and its shorter prefixes, down to (not including) the family.
        for (;;) {
          auto it = byBase.find(base);
          if (it != byBase.end()) {
            edges[i].insert(edges[i].end(), it->second.begin(), it->second.end());
            any = true;
          }
          size_t dot = base.rfind('.');
          if (base[0] == '@' || dot == std::string::npos) break;
          base.resize(dot);
          if (base.find('.') == std::string::npos) break;
        }
        if (!any) Fail(FOrigin, rules[i].Line, "\"like " + like + "\": no rule defines it");
      }
    }
    // Iterative depth-first search: colour 1 on the stack, 2 done; depth = longest like chain.
    std::vector<int> colour(rules.size(), 0), depth(rules.size(), 0);
    std::vector<std::pair<int, size_t>> stack;
    for (size_t root = 0; root < rules.size(); ++root) {
      if (colour[root]) continue;
      stack.push_back({int(root), 0});
      colour[root] = 1;
      while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next < edges[node].size()) {
          int to = edges[node][next++];
          if (colour[to] == 1)
            Fail(FOrigin, rules[to].Line, "\"like\" references of " + Quote(rules[to].Selector) + " form a cycle");
          if (colour[to] == 0) {
            colour[to] = 1;
            stack.push_back({to, 0});
          }
        } else {
          int d = 0;
          for (int to : edges[node]) d = std::max(d, depth[to] + 1);
          depth[node] = d;
          if (d > MaxLikeDepth)
            Fail(FOrigin, rules[node].Line, "\"like\" references nest deeper than " + std::to_string(MaxLikeDepth));
          colour[node] = 2;
          stack.pop_back();
        }
      }
    }
  }

  std::string_view FText;
  const String& FOrigin;
  size_t FPos = 0;
  int FLine = 1;
  TStyleSource* FOut = nullptr;
  std::unordered_map<std::string, TArgb> FPalette;
};

// ---- resolution -----------------------------------------------------------------------------

struct TResolver {
  const TStyleSource& S;
  TRecipe& Out;
  std::vector<char> Visited;

  void Apply(const std::string& key, const std::string& state) {
    auto it = S.RuleIndex.find(key);
    if (it == S.RuleIndex.end() || Visited[size_t(it->second)]) return;
    Visited[size_t(it->second)] = 1;
    const TStyleRule& rule = S.Rules[size_t(it->second)];
    Out.MergeFrom(rule.Props);
    for (const std::string& like : rule.Likes) ApplyLike(like, state);
  }

  void ApplyPair(const std::string& base, const std::string& state) {
    if (!state.empty()) Apply(base + ":" + state, state);
    Apply(base, state);
  }

  // A like target: its path down to, not including, its family (a mixin: itself).
  void ApplyLike(const std::string& like, const std::string& state) {
    size_t colon = like.find(':');
    std::string base = like.substr(0, colon);
    std::string st = colon == std::string::npos ? state : like.substr(colon + 1);
    for (;;) {
      ApplyPair(base, st);
      size_t dot = base.rfind('.');
      if (base[0] == '@' || dot == std::string::npos) break;
      base.resize(dot);
      if (base.find('.') == std::string::npos) break;
    }
  }
};

}  // namespace

void TRecipe::MergeFrom(const TRecipe& f) {
  std::uint32_t add = f.Has & ~Has;
  if (!add) return;
  if (add & rpFill) Fill = f.Fill;
  if (add & rpBorderColor) BorderColor = f.BorderColor;
  if (add & rpBorderWidth) BorderWidth = f.BorderWidth;
  if (add & rpSides) Sides = f.Sides;
  if (add & rpRadius) std::copy(std::begin(f.Radius), std::end(f.Radius), Radius);
  if (add & rpInset) std::copy(std::begin(f.Inset), std::end(f.Inset), Inset);
  if (add & rpShape) Shape = f.Shape;
  if (add & rpHighlight) {
    Highlight = f.Highlight;
    HighlightMode = f.HighlightMode;
  }
  if (add & rpGlow) {
    Glow = f.Glow;
    GlowWidth = f.GlowWidth;
  }
  if (add & rpShadow) Shadow = f.Shadow;
  if (add & rpGlyph) Glyph = f.Glyph;
  if (add & rpGlyphColor) GlyphColor = f.GlyphColor;
  if (add & rpGlyphSize) GlyphSize = f.GlyphSize;
  if (add & rpGlyphWeight) GlyphWeight = f.GlyphWeight;
  if (add & rpGlyphOffset) std::copy(std::begin(f.GlyphOffset), std::end(f.GlyphOffset), GlyphOffset);
  if (add & rpText) Text = f.Text;
  if (add & rpSize) Size = f.Size;
  if (add & rpMinSize) MinSize = f.MinSize;
  if (add & rpContent) std::copy(std::begin(f.Content), std::end(f.Content), Content);
  if (add & rpSizing) std::copy(std::begin(f.Sizing), std::end(f.Sizing), Sizing);
  if (add & rpEdges) std::copy(std::begin(f.Edges), std::end(f.Edges), Edges);
  if (add & rpFixed) Fixed = f.Fixed;
  if (add & rpPosition) {
    PositionFromRight = f.PositionFromRight;
    PositionX = f.PositionX;
    PositionY = f.PositionY;
  }
  Has |= add;
}

TStyleSource ParseStyleSource(std::string_view text, const String& origin) {
  TStyleSource s;
  TParser(text, origin).Parse(s, false);
  return s;
}

TStyleInfo ParseStyleInfo(std::string_view text, const String& origin) {
  TStyleSource s;
  TParser(text, origin).Parse(s, true);
  return s.Info;
}

TRecipe ResolveRecipe(const TStyleSource& style, int entry) {
  TRecipe out;
  const TElementEntry& e = ElementEntries()[size_t(entry)];
  TResolver r{style, out, std::vector<char>(style.Rules.size(), 0)};
  std::string state = e.State;
  std::string base = std::string(FamilyOf(e.Element).Selector) + "." + e.Path;
  for (;;) {
    r.ApplyPair(base, state);
    size_t dot = base.rfind('.');
    if (dot == std::string::npos) break;
    base.resize(dot);
  }
  r.ApplyPair("*", state);
  return out;
}

std::vector<std::string> StyleCompletenessProblems(const TStyleSource& style) {
  std::vector<std::string> out;
  for (int i = 0; i < StyleColorCount; ++i)
    if (!style.HasStyleColor[i]) out.push_back(std::string("style colour ") + StyleColorName(TStyleColor(i)));
  for (int i = 0; i < StyleFontCount; ++i)
    if (!style.HasFontColor[i]) out.push_back(std::string("font colour ") + StyleFontName(TStyleFont(i)));
  for (int i = 0; i < COLOR_COUNT; ++i)
    if (*SystemColorName(i) && !style.HasSystem[i]) out.push_back(std::string("system colour ") + SystemColorName(i));
  auto rows = ElementEntries();
  for (size_t i = 0; i < rows.size(); ++i) {
    TRecipe r = ResolveRecipe(style, int(i));
    if (!r.HasProp(rpText) || AlphaOf(r.Text) == 0) out.push_back(std::string("text colour of ") + rows[i].Name);
  }
  return out;
}

}  // namespace vcl
