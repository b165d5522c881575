// The style registry: names and order, switching, loading and rejecting style files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "host/rtl/Resources.h"
#include "host/rtl/Streams.h"
#include "host/themes/CustomStyle.h"
#include "host/themes/StyleManager.h"
#include "host/themes/format/StyleFormat.h"

using namespace vcl;

namespace {

std::vector<Byte> PackedStyle(const std::string& name, const std::string& body = "") {
  return PackStyleSource("style { name: \"" + name + "\" }\n" + body);
}

// Restores the system style and removes what a test registered.
struct TRegistryGuard {
  std::vector<String> Before = TStyleManager::StyleNames();
  ~TRegistryGuard() {
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::SetErrorReporter(nullptr);
    for (const String& n : TStyleManager::StyleNames())
      if (std::find(Before.begin(), Before.end(), n) == Before.end())
        TStyleManager::UnRegisterStyle(TStyleManager::Style(n));
  }
};

}  // namespace

TEST(StyleManager, SystemStyleFirstThenEmbeddedStylesInRegistrationOrder) {
  std::vector<String> names = TStyleManager::StyleNames();
  const std::vector<String> expected = {u"Windows", u"Aqua Light Slate", u"Glow", u"Sky",
                                        u"Tablet Dark", u"Windows10", u"Windows10 Dark"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(ResourceNames(u"VCLSTYLE").size() + 1, names.size());
  TCustomStyleServices* sys = TStyleManager::SystemStyle();
  EXPECT_TRUE(sys->IsSystemStyle());
  EXPECT_EQ(sys->Name(), u"Windows");
  EXPECT_EQ(TStyleManager::ActiveStyle(), sys);
  EXPECT_EQ(StyleServices(), sys);
  EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
  EXPECT_EQ(TStyleManager::Style(u"WINDOWS"), sys);
  for (size_t i = 1; i < names.size(); ++i) {
    TCustomStyleServices* s = TStyleManager::Style(names[i]);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->IsSystemStyle());
    EXPECT_EQ(s->Name(), names[i]);
  }
}

TEST(StyleManager, SwitchingNotifiesAndUnknownNamesFail) {
  TRegistryGuard guard;
  std::vector<Byte> packed = PackedStyle("Switch Test", "button.push { fill: #010203 }\n");
  TBytesStream stream(packed);
  TCustomStyleServices* custom = TStyleManager::LoadFromStream(stream);

  std::vector<std::pair<TCustomStyleServices*, TCustomStyleServices*>> calls;
  int id = TStyleManager::AddStyleChangedHandler(
      [&](TCustomStyleServices* a, TCustomStyleServices* b) { calls.push_back({a, b}); });
  TStyleManager::SetStyle(u"switch test");
  EXPECT_EQ(TStyleManager::ActiveStyle(), custom);
  EXPECT_TRUE(TStyleManager::IsCustomStyleActive());
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, TStyleManager::SystemStyle());
  EXPECT_EQ(calls[0].second, custom);
  TStyleManager::SetStyle(custom);  // already active: no notification
  EXPECT_EQ(calls.size(), 1u);

  // An unknown name raises, names the style and leaves the active style alone.
  try {
    TStyleManager::SetStyle(u"No Such Style");
    ADD_FAILURE() << "no exception";
  } catch (const EStyleEngineException& e) {
    EXPECT_NE(std::string(e.what()).find("No Such Style"), std::string::npos) << e.what();
  }
  EXPECT_EQ(TStyleManager::ActiveStyle(), custom);

  std::vector<String> reported;
  TStyleManager::SetErrorReporter([&](const String& m) { reported.push_back(m); });
  EXPECT_FALSE(TStyleManager::TrySetStyle(u"No Such Style", true));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_NE(reported[0].find(u"No Such Style"), String::npos);
  EXPECT_FALSE(TStyleManager::TrySetStyle(u"No Such Style", false));
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_EQ(TStyleManager::ActiveStyle(), custom);
  EXPECT_TRUE(TStyleManager::TrySetStyle(u"Windows"));
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].second, TStyleManager::SystemStyle());
  EXPECT_FALSE(TStyleManager::IsCustomStyleActive());

  TStyleManager::RemoveStyleChangedHandler(id);
  TStyleManager::SetStyle(custom);
  EXPECT_EQ(calls.size(), 2u);
  // The active style cannot be removed; an inactive one can.
  EXPECT_FALSE(TStyleManager::UnRegisterStyle(custom));
  TStyleManager::SetStyle(u"Windows");
  EXPECT_TRUE(TStyleManager::UnRegisterStyle(custom));
  EXPECT_EQ(TStyleManager::Style(u"Switch Test"), nullptr);
  EXPECT_FALSE(TStyleManager::UnRegisterStyle(TStyleManager::SystemStyle()));
}

TEST(StyleManager, LoadingRegistersAtTheEndOrNothingAtAll) {
  TRegistryGuard guard;
  size_t count = TStyleManager::StyleNames().size();
  std::vector<Byte> good = PackedStyle("Loaded One");
  TBytesStream s1(good);
  TStyleInfo info;
  EXPECT_TRUE(TStyleManager::IsValidStyle(s1, &info));
  EXPECT_EQ(info.Name, u"Loaded One");
  EXPECT_EQ(TStyleManager::StyleNames().size(), count);  // checking registers nothing
  s1.SetPosition(0);
  TStyleManager::LoadFromStream(s1);
  EXPECT_EQ(TStyleManager::StyleNames().back(), u"Loaded One");

  // The same name again, in any case, and the system style's name are refused.
  for (const char* name : {"Loaded One", "LOADED ONE", "Windows"}) {
    std::vector<Byte> dup = PackedStyle(name);
    TBytesStream s(dup);
    EXPECT_THROW(TStyleManager::LoadFromStream(s), EStyleEngineException) << name;
  }
  // Bad data of every kind: nothing registered, the message names the origin.
  std::vector<std::vector<Byte>> bad = {
      {},
      {'V', 'C', 'L'},
      PackedStyle("Broken", "button.push { fill: #zz }\n"),
      PackedStyle("Cycle", "@a like @b\n@b like @a\n"),
  };
  std::vector<Byte> corrupt = good;
  corrupt[corrupt.size() / 2] ^= 0xFF;
  bad.push_back(corrupt);
  for (auto& b : bad) {
    TBytesStream s(b);
    EXPECT_FALSE(TStyleManager::IsValidStyle(s));
    s.SetPosition(0);
    try {
      TStyleManager::LoadFromStream(s);
      ADD_FAILURE() << "accepted " << b.size() << " bytes";
    } catch (const EStyleEngineException& e) {
      EXPECT_EQ(std::string(e.what()).rfind("style stream", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(TStyleManager::StyleNames().size(), count + 1);

  // Files: a bad file's error names it; a missing file is an error too.
  std::string path = testing::TempDir() + "kx_bad_style.vsf";
  {
    std::vector<Byte> b = PackedStyle("File Style", "button.push { size: 1 }\n");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  }
  try {
    TStyleManager::LoadFromFile(Utf8ToString(path));
    ADD_FAILURE() << "accepted a bad file";
  } catch (const EStyleEngineException& e) {
    EXPECT_NE(std::string(e.what()).find(path + "(2)"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(TStyleManager::IsValidStyle(Utf8ToString(path)));
  std::remove(path.c_str());
  EXPECT_THROW(TStyleManager::LoadFromFile(Utf8ToString(path)), Exception);
  EXPECT_FALSE(TStyleManager::IsValidStyle(Utf8ToString(path)));
  EXPECT_THROW(TStyleManager::LoadFromResource(u"NoSuchResource"), EStyleEngineException);
  EXPECT_EQ(TStyleManager::StyleNames().size(), count + 1);
}

TEST(StyleManager, EmbeddedStylesAreCompleteAndParseWhenFirstUsed) {
  for (const String& res : ResourceNames(u"VCLSTYLE")) {
    ResourceData data;
    ASSERT_TRUE(FindResource(u"VCLSTYLE", res, data));
    TStyleSource src = ParseStyleSource(UnpackStyle(data.Data, data.Size, res), res);
    EXPECT_TRUE(StyleCompletenessProblems(src).empty()) << StringToUtf8(res);
  }
  ResourceData sys;
  ASSERT_TRUE(FindResource(u"KXSYSSTYLE", u"Windows", sys));
  EXPECT_TRUE(StyleCompletenessProblems(ParseStyleSource(UnpackStyle(sys.Data, sys.Size, u"s"), u"s")).empty());
}
