// The style source parser, rule resolution and the packed file format.
#include <gtest/gtest.h>

#include <string>

#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"

using namespace vcl;

namespace {

const std::string Head = "style { name: \"T\" }\n";

TStyleSource Parse(const std::string& body) { return ParseStyleSource(Head + body, u"t.style"); }

// The message of the error parsing `body` raises ("" when it parses).
std::string ErrorOf(const std::string& body) {
  try {
    Parse(body);
  } catch (const EStyleEngineException& e) {
    return e.what();
  }
  return "";
}

TRecipe RecipeOf(const TStyleSource& s, const char* name) {
  int i = EntryOfName(name);
  EXPECT_GE(i, 0) << name;
  return ResolveRecipe(s, i);
}

}  // namespace

TEST(StyleFormat, ElementTableNumbersEveryDetailOnce) {
  auto rows = ElementEntries();
  ASSERT_GT(rows.size(), 400u);
  std::set<std::string> names;
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_TRUE(names.insert(rows[i].Name).second) << rows[i].Name;
    TThemedElementDetails d = DetailsOfEntry(int(i));
    EXPECT_EQ(EntryOfDetails(d), int(i)) << rows[i].Name;
    EXPECT_EQ(EntryOfName(rows[i].Name), int(i));
  }
  // Family tables are contiguous and in enumeration order.
  int next = 0;
  for (const TFamilyInfo& f : ElementFamilies()) {
    EXPECT_EQ(f.First, next) << f.TypeName;
    next += f.Count;
  }
  EXPECT_EQ(next, int(rows.size()));
}

TEST(StyleFormat, GetElementDetailsOverloadsReachTheirRows) {
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(tbPushButtonHot)), "tbPushButtonHot");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(tbCheckBoxMixedDisabled)), "tbCheckBoxMixedDisabled");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(tsArrowBtnLeftDisabled)), "tsArrowBtnLeftDisabled");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(tsUpHorzNormal)), "tsUpHorzNormal");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(ttbThumbVertPressed)), "ttbThumbVertPressed");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(ttbSplitButtonDropDownHot)), "ttbSplitButtonDropDownHot");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(twMDIRestoreButtonPushed)), "twMDIRestoreButtonPushed");
  EXPECT_STREQ(ElementDetailsName(GetElementDetails(tcpChevronClosedPressed)), "tcpChevronClosedPressed");
  // Part 0 of a family is its root, whatever the state.
  EXPECT_STREQ(ElementDetailsName({teToolBar, 0, 0}), "ttbToolBarRoot");
  EXPECT_STREQ(ElementDetailsName({teWindow, 0, 0}), "twWindowRoot");
  EXPECT_STREQ(ElementDetailsName({teStatus, 0, 3}), "tsStatusRoot");
  // Same family, different parts and states are different details.
  EXPECT_NE(GetElementDetails(tbPushButtonNormal), GetElementDetails(tbPushButtonHot));
  EXPECT_NE(GetElementDetails(tbCheckBoxCheckedNormal).Part, GetElementDetails(tbCheckBoxUncheckedNormal).Part);
  // Unknown parts and states, and families without a root.
  EXPECT_STREQ(ElementDetailsName({teButton, 999, 1}), "");
  EXPECT_STREQ(ElementDetailsName({teButton, 1, 99}), "");
  EXPECT_STREQ(ElementDetailsName({teButton, 0, 0}), "");
  EXPECT_STREQ(ElementDetailsName({TThemedElement(-1), 1, 1}), "");
  EXPECT_STREQ(ElementDetailsName({TThemedElement(ThemedElementCount), 1, 1}), "");
}

TEST(StyleFormat, ParsesInfoBlocksAndColours) {
  TStyleSource s = ParseStyleSource(
      "// comment\nstyle { name: \"My Style\"; author: \"A \\\"B\\\"\";  version: \"2\" }\n"
      "palette { a: #123456; b: #abc; c: #11223344; d: mix($a, #ffffff, 50%)\n"
      "  e: alpha($a, 50%); f: lighter(#000000, 20%); g: darker(#ffffff, 100%) }\n"
      "system { clBtnFace: $b; clWindowText: #010203 }\n"
      "colors { scEdit: $d; scPanel: clBtnFace }\n"
      "fontcolors { sfButtonTextHot: $f }\n"
      "fonts { caption: \"Tahoma\" 9 bold italic }\n"
      "button.push { fill: $e; text: clWindowText }\n",
      u"x.style");
  EXPECT_EQ(s.Info.Name, u"My Style");
  EXPECT_EQ(s.Info.Author, u"A \"B\"");
  EXPECT_EQ(s.Info.Version, u"2");
  EXPECT_TRUE(s.HasSystem[COLOR_BTNFACE]);
  EXPECT_EQ(s.System[COLOR_BTNFACE], 0xFFAABBCCu);
  EXPECT_FALSE(s.HasSystem[COLOR_WINDOW]);
  EXPECT_EQ(s.StyleColors[scEdit], 0xFF899AABu);  // halfway from #123456 to white, rounded
  EXPECT_EQ(s.StyleColors[scPanel], 0xFFAABBCCu);
  EXPECT_EQ(s.FontColors[sfButtonTextHot], 0xFF333333u);
  EXPECT_FALSE(s.HasFontColor[sfButtonTextNormal]);
  EXPECT_EQ(s.Fonts[sfkCaption].Face, u"Tahoma");
  EXPECT_EQ(s.Fonts[sfkCaption].Size, 9);
  EXPECT_TRUE(s.Fonts[sfkCaption].Bold);
  EXPECT_TRUE(s.Fonts[sfkCaption].Italic);
  TRecipe r = RecipeOf(s, "tbPushButtonNormal");
  EXPECT_EQ(r.Fill.Kind, TFillKind::Solid);
  EXPECT_EQ(r.Fill.Colors[0], 0x80123456u);
  EXPECT_EQ(r.Text, 0xFF010203u);
  EXPECT_EQ(ParseStyleInfo(Head + "this is not parsed {", u"t").Name, u"T");
}

TEST(StyleFormat, RulesResolveByPathDepthThenStateThenLikes) {
  TStyleSource s = Parse(
      "* { text: #000001; radius: 9 }\n"
      "*:disabled { text: #000002 }\n"
      "@m { border: #000003; glyph: check }\n"
      "@m:hot { border: #000004 }\n"
      "button { size: 1 1; fill: #000005 }\n"
      "button:hot { fill: #000006 }\n"
      "button.check { size: 13 13 }\n"
      "button.check:hot { glow: #000007 2 }\n"
      "button.check.checked like @m { glyph-size: 9 }\n"
      "button.check.checked:hot { glyph-color: #000008 }\n"
      "scrollbar.arrow.up like button.check.checked\n");
  TRecipe n = RecipeOf(s, "tbCheckBoxCheckedNormal");
  EXPECT_EQ(n.Size, TSize(13, 13));          // button.check beats button
  EXPECT_EQ(n.Fill.Colors[0], 0xFF000005u);  // from the family
  EXPECT_EQ(n.BorderColor, 0xFF000003u);     // from the mixin
  EXPECT_EQ(n.Glyph, TGlyphKind::Check);
  EXPECT_EQ(n.GlyphSize, 9.f);
  EXPECT_EQ(n.Text, 0xFF000001u);
  EXPECT_EQ(n.Radius[0], 9.f);
  EXPECT_FALSE(n.HasProp(rpGlow));
  TRecipe h = RecipeOf(s, "tbCheckBoxCheckedHot");
  EXPECT_EQ(h.GlyphColor, 0xFF000008u);
  EXPECT_EQ(h.BorderColor, 0xFF000004u);  // the mixin's state rule comes with the like
  EXPECT_EQ(h.Glow, 0xFF000007u);         // button.check:hot
  EXPECT_EQ(h.Fill.Colors[0], 0xFF000006u);  // button:hot beats button
  EXPECT_EQ(RecipeOf(s, "tbCheckBoxCheckedDisabled").Text, 0xFF000002u);
  // A like brings its target's rules down to, not including, the target's family.
  TRecipe a = RecipeOf(s, "tsArrowBtnUpHot");
  EXPECT_EQ(a.GlyphColor, 0xFF000008u);
  EXPECT_EQ(a.Glow, 0xFF000007u);
  EXPECT_FALSE(a.HasProp(rpFill));
  EXPECT_EQ(a.Text, 0xFF000001u);  // from "*"
  // A rule without state names has none; an unrelated detail only gets the global rules.
  TRecipe t = RecipeOf(s, "tpBar");
  EXPECT_EQ(t.Has, std::uint32_t(rpText | rpRadius));
}

TEST(StyleFormat, PropertyValues) {
  TStyleSource s = Parse(
      "button.push { fill: linear(45, #ff0000, #00ff00 30%, #0000ff); border: #111111 2\n"
      "  sides: top bottom; radius: 1 2 3 4; inset: 1 2 3 4; shape: thumb-down\n"
      "  highlight: #222222 top; glow: #333333 5; glyph: arrow-left; glyph-offset: -1 2\n"
      "  size: 75 23; min-size: 10 8; content: 5; sizing: 1 2 3 4; fixed: yes\n"
      "  edges: #010101 #020202 #030303 #040404; position: right 46 1 }\n"
      "button.groupbox { fill: vertical(#000000, #ffffff); border: none }\n");
  TRecipe r = RecipeOf(s, "tbPushButtonNormal");
  EXPECT_EQ(r.Fill.Kind, TFillKind::Linear);
  EXPECT_EQ(r.Fill.Angle, 45);
  EXPECT_EQ(r.Fill.StopCount, 3);
  EXPECT_EQ(r.Fill.Offsets[1], 30);
  EXPECT_EQ(r.Fill.Offsets[0], 0);  // stops without an offset: first 0 %, last 100 %
  EXPECT_EQ(r.Fill.Offsets[2], 100);
  EXPECT_EQ(r.BorderWidth, 2.f);
  EXPECT_EQ(r.Sides, SideTop | SideBottom);
  EXPECT_EQ(r.Radius[3], 4.f);
  EXPECT_EQ(r.Inset[2], 3);
  EXPECT_EQ(r.Shape, TShapeKind::ThumbDown);
  EXPECT_EQ(r.HighlightMode, THighlightMode::Top);
  EXPECT_EQ(r.GlowWidth, 5.f);
  EXPECT_EQ(r.Glyph, TGlyphKind::ArrowLeft);
  EXPECT_EQ(r.GlyphOffset[0], -1);
  EXPECT_EQ(r.MinSize, TSize(10, 8));
  EXPECT_EQ(r.Content[3], 5);
  EXPECT_EQ(r.Sizing[1], 2);
  EXPECT_TRUE(r.Fixed);
  EXPECT_EQ(r.Edges[3], 0xFF040404u);
  EXPECT_TRUE(r.PositionFromRight);
  EXPECT_EQ(r.PositionX, 46);
  TRecipe g = RecipeOf(s, "tbGroupBoxNormal");
  EXPECT_EQ(g.Fill.Angle, 90);
  EXPECT_EQ(g.Fill.Offsets[1], 100);
  EXPECT_EQ(g.BorderColor, 0u);
  EXPECT_EQ(g.BorderWidth, 1.f);
}

TEST(StyleFormat, ErrorsNameTheFileLineAndWhat) {
  struct Case {
    const char* body;
    const char* expect;
  };
  const Case cases[] = {
      {"bogus { }", "t.style(2): unknown element family \"bogus\""},
      {"button.nothing { }", "unknown part \"button.nothing\""},
      {"button.push:flying { }", "unknown state \"flying\""},
      {"button.push:selected { }", "\"selected\" is not a state of button.push"},
      {"button.push { colour: #fff }", "unknown property \"colour\""},
      {"button.push { fill: #12345 }", "bad colour \"#12345\""},
      {"button.push { fill: $nothing }", "unknown palette colour \"$nothing\""},
      {"button.push { fill: clBtnFace }", "clBtnFace is used before the system block maps it"},
      {"button.push { fill: mix(#000, #fff) }", "expected \",\""},
      {"button.push { fill: alpha(#000, 150%) }", "out of range 0% to 100%"},
      {"button.push { size: 99999 1 }", "width \"99999\" out of range 0 to 4096"},
      {"button.push { size: 1.5 1 }", "width must be a whole number"},
      {"button.push { radius: 1 2 }", "radius: expected one value or four"},
      {"button.push { border-width: 1e400 }", "malformed number"},
      {"button.push { glyph: star }", "unknown glyph \"star\""},
      {"button.push { fill: #fff; fill: #000 }", "property \"fill\" given twice"},
      {"button.push { fill: #fff }\nbutton.push { text: #000 }", "t.style(3): a second rule for \"button.push\""},
      {"button.push { fill: #fff", "missing \"}\""},
      {"button.push { text: \"abc }", "unterminated string"},
      {"button.push { fill: linear(10, #fff) }", "at least 2 colours"},
      {"button.push { fill: linear(10, #fff 50%, #000 20%) }", "must not go backwards"},
      {"button.push like @nothing", "\"like @nothing\": no rule defines it"},
      {"button.push like button", "\"like\" needs a part or a mixin"},
      {"button.push", "expected \"{\" after \"button.push\""},
      {"system { clNothing: #fff }", "unknown system colour \"clNothing\""},
      {"colors { scNothing: #fff }", "unknown style colour \"scNothing\""},
      {"fontcolors { sfNothing: #fff }", "unknown font colour \"sfNothing\""},
      {"fonts { caption: \"Tahoma\" 900 }", "font size \"900\" out of range"},
      {"style { name: \"Again\" }", "a second style block"},
      {"palette { a: #fff; a: #000 }", "palette colour \"a\" defined twice"},
      {"button.push { fill: #fff } }", "unexpected \"}\""},
      {"@a like @b\n@b like @a", "form a cycle"},
      {"@a like @a", "form a cycle"},
  };
  for (const Case& c : cases) {
    std::string e = ErrorOf(c.body);
    EXPECT_NE(e.find(c.expect), std::string::npos) << c.body << "\n  gave: " << e;
    EXPECT_EQ(e.rfind("t.style", 0), 0u) << e;
  }
  // The first block must name the style.
  EXPECT_THROW(ParseStyleSource("button.push { }", u"x"), EStyleEngineException);
  EXPECT_THROW(ParseStyleSource("style { author: \"x\" }", u"x"), EStyleEngineException);
  EXPECT_THROW(ParseStyleSource("", u"x"), EStyleEngineException);
  EXPECT_THROW(ParseStyleSource(std::string("style { name: \"a\0b\" }", 21), u"x"), EStyleEngineException);
}

TEST(StyleFormat, DeepOrWideLikeChainsAreBounded) {
  // A chain of 40 mixins nests too deep; a wide diamond of likes resolves quickly.
  std::string chain = "@m0 { fill: #fff }\n";
  for (int i = 1; i <= 40; ++i) chain += "@m" + std::to_string(i) + " like @m" + std::to_string(i - 1) + "\n";
  EXPECT_NE(ErrorOf(chain).find("nest deeper than 32"), std::string::npos);

  std::string diamond = "@d0 { fill: #fff }\n";
  for (int i = 1; i <= 30; ++i) {
    std::string p = "@d" + std::to_string(i - 1);
    diamond += "@d" + std::to_string(i) + " like " + p + ", " + p + "\n";
  }
  diamond += "button.push like @d30\n";
  TStyleSource s = Parse(diamond);
  EXPECT_EQ(RecipeOf(s, "tbPushButtonNormal").Fill.Colors[0], 0xFFFFFFFFu);
}

TEST(StyleFormat, PackedFilesRoundTripAndBadDataIsRejected) {
  std::string src = Head + "button.push { fill: #123456 }\n";
  std::vector<Byte> packed = PackStyleSource(src);
  ASSERT_EQ(std::string(packed.begin(), packed.begin() + 13), "VCL_STYLE 2.0");
  EXPECT_EQ(UnpackStyle(packed.data(), packed.size(), u"p"), src);

  // Every truncation fails cleanly with a message naming the origin.
  for (size_t n = 0; n < packed.size(); ++n) {
    try {
      UnpackStyle(packed.data(), n, u"cut.vsf");
      ADD_FAILURE() << "truncated at " << n << " was accepted";
    } catch (const EStyleEngineException& e) {
      EXPECT_EQ(std::string(e.what()).rfind("cut.vsf: ", 0), 0u) << e.what();
    }
  }
  // A wrong signature, flipped bits in the stream.
  std::vector<Byte> bad = packed;
  bad[4] = 'X';
  EXPECT_THROW(UnpackStyle(bad.data(), bad.size(), u"b"), EStyleEngineException);
  for (size_t i = 13; i < packed.size(); ++i) {
    bad = packed;
    bad[i] ^= 0x5A;
    try {
      // Either rejected, or (when the flip hits only the data) something the parser checks.
      ParseStyleSource(UnpackStyle(bad.data(), bad.size(), u"b"), u"b");
    } catch (const EStyleEngineException&) {
    }
  }
  // A small file that inflates beyond the limit.
  std::string huge(MaxStyleSourceSize + 1, ' ');
  std::vector<Byte> bomb = PackStyleSource(huge);
  EXPECT_LT(bomb.size(), 10000u);
  EXPECT_THROW(UnpackStyle(bomb.data(), bomb.size(), u"bomb"), EStyleEngineException);
}
