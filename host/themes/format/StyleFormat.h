// The style file format: a readable declarative source (resources/styles/*.style) and its
// packed form, the text "VCL_STYLE 2.0" followed by a zlib stream of that source.
//
// Source syntax (comments run from "//" to the end of the line):
//
//   style { name: "Glow"  author: "..."  version: "1.0"  description: "..." }   (first block)
//   palette { accent: #2f9bff  face: mix($accent, #000, 80%) }
//   system { clBtnFace: $face  clWindowText: #ffffff ... }          system-colour map
//   colors { scEdit: #202020 ... }                                  style colours
//   fontcolors { sfButtonTextNormal: #ffffff ... }                  text colours
//   fonts { caption: "Tahoma" 9 bold }                              default, caption,
//                                                                   smallcaption, menu, hint,
//                                                                   heading
//   button.push { fill: vertical(#fdfdfd, #e8e8e8)  border: #adadad  radius: 2 }
//   button.push:hot { border: $accent }
//   spin.button.up like scrollbar.arrow.up { size: 15 10 }
//   @face:pressed { fill: $pressed }                                mixins, used with "like"
//
// An element rule is named by a selector: a family ("button"), a path of parts and variants
// below it ("button.check.checked") and an optional state (":hot"); "*" names every element,
// "@name" a mixin. A detail takes each property from the first rule that has it, looking, for
// its own path from the longest prefix to the family, first at the rule with its state and then
// at the one without; after each rule found come the rules it is "like" (resolved for the same
// state, down to but not including their family rule); "*:state" and "*" come last.
//
// Colours: #rgb, #rrggbb, #rrggbbaa, $palette, a system colour name already mapped in the
// system block (clBtnFace), none, mix(a, b, p%), alpha(a, p%), lighter(a, p%), darker(a, p%).
// Lengths are pixels at 96 DPI. Element properties:
//   fill: none | colour | vertical(c1, c2) | horizontal(c1, c2) | linear(angle, c [p%], ...)
//         (2 to 4 stops; angle 0 runs left to right, 90 top to bottom)
//   border: none | colour [width]        border-width: w  (none hides the border, keeping
//                                         its width for states that show it)       sides: all | left top right bottom
//   radius: r | tl tr br bl               inset: n | l t r b    shape: rect | ellipse | none |
//                                                               thumb-up|down|left|right
//   highlight: none | colour [top|bottom|all]     glow: none | colour [width]    shadow: colour
//   glyph: none | <glyph name>   glyph-color: c   glyph-size: n   glyph-weight: w
//   glyph-offset: dx dy          text: colour     size: w h       min-size: w h
//   content: n | l t r b         sizing: n | l t r b             edges: light hilight shadow dk
//   fixed: yes | no              position: left|right x y (its size placed x from that edge
//                                and y below the top of the area given to GetElementContentRect)
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/themes/StyleTypes.h"

namespace vcl {

// The marker every packed style starts with.
inline constexpr std::string_view StyleFileSignature = "VCL_STYLE 2.0";
// Limits of what the loader accepts.
inline constexpr size_t MaxPackedStyleSize = size_t(4) << 20;
inline constexpr size_t MaxStyleSourceSize = size_t(2) << 20;

// A colour with straight alpha: 0xAARRGGBB.
using TArgb = std::uint32_t;
constexpr TArgb ArgbOf(COLORREF c, int alpha = 255) {
  return (TArgb(alpha) << 24) | (TArgb(GetRValue(c)) << 16) | (TArgb(GetGValue(c)) << 8) |
         GetBValue(c);
}
constexpr COLORREF ColorRefOf(TArgb c) {
  return RGB(BYTE((c >> 16) & 0xFF), BYTE((c >> 8) & 0xFF), BYTE(c & 0xFF));
}
constexpr int AlphaOf(TArgb c) { return int(c >> 24); }

enum class TFillKind : std::uint8_t { None, Solid, Linear };
struct TPaint {
  TFillKind Kind = TFillKind::None;
  std::uint8_t StopCount = 0;
  std::int16_t Angle = 90;
  TArgb Colors[4] = {0, 0, 0, 0};
  std::uint8_t Offsets[4] = {0, 0, 0, 0};  // percent
};

enum class TShapeKind : std::uint8_t { Rect, Ellipse, None, ThumbUp, ThumbDown, ThumbLeft, ThumbRight };

enum class TGlyphKind : std::uint8_t {
  None,
  Check,
  Mixed,
  Dot,
  ArrowUp,
  ArrowDown,
  ArrowLeft,
  ArrowRight,
  ChevronUp,
  ChevronDown,
  ChevronLeft,
  ChevronRight,
  Close,
  Minimize,
  Maximize,
  Restore,
  Help,
  Plus,
  Minus,
  SizeGrip,
  GripperHorz,  // a dotted line across (grips of bars and thumbs)
  GripperVert,  // a dotted line down
  Window,       // the system-menu button: a small window outline
  Line,         // a 1-unit line across the middle (separators)
  LineVert,
  Ticks,        // tick marks along the bottom edge
  TicksVert,
};

enum class THighlightMode : std::uint8_t { All, Top, Bottom };

// Properties of an element rule; a recipe is a rule with everything merged in.
enum TRecipeProp : std::uint32_t {
  rpFill = 1u << 0,
  rpBorderColor = 1u << 1,
  rpBorderWidth = 1u << 2,
  rpSides = 1u << 3,
  rpRadius = 1u << 4,
  rpInset = 1u << 5,
  rpShape = 1u << 6,
  rpHighlight = 1u << 7,
  rpGlow = 1u << 8,
  rpShadow = 1u << 9,
  rpGlyph = 1u << 10,
  rpGlyphColor = 1u << 11,
  rpGlyphSize = 1u << 12,
  rpGlyphWeight = 1u << 13,
  rpGlyphOffset = 1u << 14,
  rpText = 1u << 15,
  rpSize = 1u << 16,
  rpMinSize = 1u << 17,
  rpContent = 1u << 18,
  rpSizing = 1u << 19,
  rpEdges = 1u << 20,
  rpFixed = 1u << 21,
  rpPosition = 1u << 22,
};

// Side bits of TRecipe::Sides.
constexpr std::uint8_t SideLeft = 1, SideTop = 2, SideRight = 4, SideBottom = 8, SideAll = 15;

struct TRecipe {
  std::uint32_t Has = 0;  // TRecipeProp bits
  TPaint Fill;
  TArgb BorderColor = 0;
  float BorderWidth = 1;
  std::uint8_t Sides = SideAll;
  float Radius[4] = {0, 0, 0, 0};  // top-left, top-right, bottom-right, bottom-left
  std::int16_t Inset[4] = {0, 0, 0, 0};  // left, top, right, bottom
  TShapeKind Shape = TShapeKind::Rect;
  TArgb Highlight = 0;
  THighlightMode HighlightMode = THighlightMode::All;
  TArgb Glow = 0;
  float GlowWidth = 3;
  TArgb Shadow = 0;
  TGlyphKind Glyph = TGlyphKind::None;
  TArgb GlyphColor = 0;
  float GlyphSize = 0;    // 0: fitted to the element
  float GlyphWeight = 0;  // 0: derived from the glyph size
  std::int16_t GlyphOffset[2] = {0, 0};
  TArgb Text = 0;
  TSize Size;
  TSize MinSize;
  std::int16_t Content[4] = {0, 0, 0, 0};
  std::int16_t Sizing[4] = {0, 0, 0, 0};
  TArgb Edges[4] = {0, 0, 0, 0};  // light, highlight, shadow, dark shadow
  bool Fixed = false;
  // Where the element sits inside a larger area (caption buttons in a caption): its Size placed
  // PositionX from the area's left or right edge (PositionFromRight) and PositionY below its top.
  bool PositionFromRight = false;
  std::int16_t PositionX = 0;
  std::int16_t PositionY = 0;

  bool HasProp(TRecipeProp p) const { return (Has & p) != 0; }
  // Copies every property of `from` this recipe does not have yet.
  void MergeFrom(const TRecipe& from);
};

struct TStyleRule {
  std::string Selector;  // as written, for messages
  int Line = 0;
  TRecipe Props;
  std::vector<std::string> Likes;  // selectors (path, optional ":state") this rule is like
};

// A parsed style source.
struct TStyleSource {
  String Origin;  // file or resource, for messages
  TStyleInfo Info;
  TArgb System[COLOR_COUNT] = {};
  bool HasSystem[COLOR_COUNT] = {};
  TArgb StyleColors[StyleColorCount] = {};
  bool HasStyleColor[StyleColorCount] = {};
  TArgb FontColors[StyleFontCount] = {};
  bool HasFontColor[StyleFontCount] = {};
  TStyleFontSpec Fonts[StyleFontKindCount];
  std::vector<TStyleRule> Rules;
  std::unordered_map<std::string, int> RuleIndex;  // normalised selector -> rule
};

// Parses a style source. Raises EStyleEngineException naming `origin` and the line for any
// syntax error, unknown name, out-of-range value, duplicate, or cycle of "like" references.
TStyleSource ParseStyleSource(std::string_view text, const String& origin);
// Reads only the leading style block (name, author, ...): enough to register a style whose
// full source is parsed later.
TStyleInfo ParseStyleInfo(std::string_view text, const String& origin);

// The recipe of element row `entry` (ElementEntries()).
TRecipe ResolveRecipe(const TStyleSource& style, int entry);

// What a complete style lacks: style colours, text colours, system colours, element text
// colours. Empty when complete.
std::vector<std::string> StyleCompletenessProblems(const TStyleSource& style);

// Packing: signature + zlib stream of the source text.
std::vector<Byte> PackStyleSource(std::string_view text);
// Checks the signature and inflates (with the size limits above); raises
// EStyleEngineException naming `origin` on a bad header or corrupt data.
std::string UnpackStyle(const Byte* data, size_t size, const String& origin);

// Names of the system colours as a style names them ("clBtnFace"): index of COLOR_*, or -1.
int SystemColorIndexOfName(std::string_view name);
const char* SystemColorName(int index);  // "" for an index no system colour has

}  // namespace vcl
