#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "host/rtl/Resources.h"
#include "host/rtl/Streams.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

// The resources come from tests/rtl/CMakeLists.txt (kx_add_resources).

namespace {

std::string SourceFile(const char* leaf) {
  std::ifstream in(std::string(KX_SOURCE_DIR) + "/tests/rtl/data/" + leaf, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string AsString(const ResourceData& r) {
  return std::string(reinterpret_cast<const char*>(r.Data), r.Size);
}

}  // namespace

TEST(Resources, FoundByTypeAndNameInAnyCase) {
  const std::string hello = SourceFile("hello.txt");
  ASSERT_FALSE(hello.empty());
  ResourceData r{};
  ASSERT_TRUE(FindResource(RT_RCDATA, u"TestText", r));
  EXPECT_EQ(AsString(r), hello);
  ResourceData again{};
  ASSERT_TRUE(FindResource(u"rcdata", u"TESTTEXT", again));
  EXPECT_EQ(again.Data, r.Data);  // the same bytes, not a copy

  EXPECT_FALSE(FindResource(u"RCDATA", u"TestTextX", r));
  EXPECT_FALSE(FindResource(u"TestType", u"TestText", r));
  EXPECT_FALSE(FindResource(u"RCDATA", String(u"TestText\0", 9), r));

  // Every byte value, including ones next to digits, quotes and question marks, survives.
  ASSERT_TRUE(FindResource(u"RCDATA", u"testbytes", r));
  const std::string bytes = AsString(r);
  EXPECT_EQ(bytes, SourceFile("bytes.bin"));
  ASSERT_EQ(bytes.size(), 768u);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(static_cast<Byte>(bytes[2 * i]), i);

  ASSERT_TRUE(FindResource(u"testtype", u"second", r));
  EXPECT_EQ(r.Size, 0u);
  EXPECT_EQ(ResourceNames(u"TESTTYPE"), (std::vector<String>{u"Second", u"First"}));
  EXPECT_TRUE(ResourceNames(u"NoSuchType").empty());

  // Carried by a static library that nothing references by symbol.
  ASSERT_TRUE(FindResource(u"RCDATA", u"FromStaticLib", r));
  EXPECT_EQ(AsString(r), hello);
}

TEST(Resources, FirstRegistrationWins) {
  static const Byte a[] = {1}, b[] = {2, 2};
  RegisterResource("DupType", "Name", a, 1);
  RegisterResource("DUPTYPE", "NAME", b, 2);
  ResourceData r{};
  ASSERT_TRUE(FindResource(u"duptype", u"name", r));
  EXPECT_EQ(r.Data, a);
  EXPECT_EQ(ResourceNames(u"DupType").size(), 1u);
}

TEST(Resources, ResourceStreamReadsInPlaceOrNamesWhatIsMissing) {
  TResourceStream s(u"testtext", u"RCDATA");
  const std::string hello = SourceFile("hello.txt");
  ASSERT_EQ(s.Size(), static_cast<Int64>(hello.size()));
  std::string read(hello.size(), '\0');
  s.ReadBuffer(read.data(), s.Size());
  EXPECT_EQ(read, hello);
  EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);

  try {
    TResourceStream missing(u"Nope", u"RCDATA");
    FAIL() << "no exception";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), u"Resource Nope of type RCDATA not found");
  }
}
