#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/rtl/Streams.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace {

std::string Contents(TCustomMemoryStream& s) {
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

template <typename E, typename F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  ADD_FAILURE() << "expected exception not raised";
  return {};
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (std::filesystem::temp_directory_path() / "kxstreamsXXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir = templ;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  String Path(const std::string& leaf) const { return Utf8ToString((dir / leaf).string()); }
  std::filesystem::path dir;
};

}  // namespace

TEST(MemoryStream, GrowsSeeksPastEndAndShrinks) {
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(s.Size(), 3);

  // Seeking past the end is allowed; reading there yields nothing, writing fills the gap.
  EXPECT_EQ(s.Seek(10, soBeginning), 10);
  char c;
  EXPECT_EQ(s.Read(&c, 1), 0);
  EXPECT_EQ(s.Size(), 3);
  s.WriteBuffer("z", 1);
  EXPECT_EQ(s.Size(), 11);
  EXPECT_EQ(Contents(s), std::string("abc\0\0\0\0\0\0\0z", 11));

  EXPECT_EQ(s.Seek(-2, soEnd), 9);
  EXPECT_EQ(s.Seek(1, soCurrent), 10);
  EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(s.Seek(-11, soCurrent), EStreamError);
  EXPECT_EQ(s.Position(), 10);  // a refused seek leaves the position alone

  // Shrinking keeps the head and pulls a position beyond the end back to it.
  s.SetSize(2);
  EXPECT_EQ(s.Size(), 2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(Contents(s), "ab");
  s.SetPosition(1);
  s.SetSize(4);  // growing zero-fills and keeps the position
  EXPECT_EQ(s.Position(), 1);
  EXPECT_EQ(Contents(s), std::string("ab\0\0", 4));
  EXPECT_THROW(s.SetSize(-1), EStreamError);

  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, WritesOwnContentsWhileGrowing) {
  // Appending a stream to itself must survive the buffer moving (ASan watches this).
  TMemoryStream s;
  s.WriteBuffer("0123456789", 10);
  for (int i = 0; i < 12; ++i) {
    s.Seek(0, soEnd);
    s.WriteBuffer(s.Memory(), s.Size());
  }
  ASSERT_EQ(s.Size(), 10 << 12);
  const std::string all = Contents(s);
  for (size_t i = 0; i < all.size(); i += 997) ASSERT_EQ(all[i], '0' + i % 10) << i;

  // Capacity never drops below the size.
  s.SetCapacity(5);
  EXPECT_EQ(s.Size(), 10 << 12);
  EXPECT_GE(s.Capacity(), s.Size());
}

TEST(MemoryStream, ShortReadsRaiseAndScalarsAreLittleEndian) {
  TMemoryStream s;
  s.WriteData<std::uint32_t>(0x01020304u);
  s.WriteData<std::int16_t>(-2);
  s.WriteData(1.5);
  EXPECT_EQ(Contents(s).substr(0, 6), std::string("\x04\x03\x02\x01\xFE\xFF", 6));

  s.SetPosition(0);
  EXPECT_EQ(s.ReadData<std::uint32_t>(), 0x01020304u);
  EXPECT_EQ(s.ReadData<std::int16_t>(), -2);
  EXPECT_EQ(s.ReadData<double>(), 1.5);

  s.SetPosition(12);
  char buf[10];
  const std::string msg = MessageOf<EReadError>([&] { s.ReadBuffer(buf, 10); });
  EXPECT_NE(msg.find("10 bytes wanted"), std::string::npos) << msg;
  EXPECT_NE(msg.find("only 2"), std::string::npos) << msg;
  s.SetPosition(13);
  EXPECT_THROW(s.ReadData<std::uint16_t>(), EReadError);
}

TEST(MemoryStream, ViewIsReadOnlyAndOthersOwnTheirBytes) {
  static const char kText[] = "view";
  TCustomMemoryStream view(kText, 4);
  char buf[8] = {};
  EXPECT_EQ(view.Read(buf, 8), 4);
  EXPECT_STREQ(buf, "view");
  EXPECT_THROW(view.WriteBuffer("x", 1), EWriteError);
  EXPECT_THROW(view.SetSize(1), EStreamError);
  EXPECT_THROW(TCustomMemoryStream(kText, -1), EStreamError);
  EXPECT_THROW(TCustomMemoryStream(nullptr, 1), EStreamError);

  // Bytes() is exactly the contents, not the growth reserve.
  TBytesStream bytes;
  for (int i = 0; i < 100; ++i) bytes.WriteData<Byte>(static_cast<Byte>(i));
  bytes.SetSize(50);
  ASSERT_EQ(bytes.Bytes().size(), 50u);
  EXPECT_EQ(bytes.Bytes()[49], 49);

  TStringStream str(String(u"Gr\u00fc\u00dfe \u20ac"));
  EXPECT_EQ(str.Size(), 11);  // UTF-8
  str.Seek(0, soEnd);
  str.WriteString(u"!\U0001F600");
  EXPECT_EQ(str.DataString(), u"Gr\u00fc\u00dfe \u20ac!\U0001F600");
  str.SetPosition(0);
  EXPECT_EQ(str.ReadString(4), u"Gr\u00fc");
  EXPECT_EQ(str.ReadString(1000), u"\u00dfe \u20ac!\U0001F600");
  EXPECT_EQ(str.ReadString(5), u"");
}

TEST(Streams, CopyFromCopiesWholeSourceOrExactCounts) {
  TStringStream src(std::string_view("0123456789"));
  src.SetPosition(7);
  TMemoryStream dst;
  dst.WriteBuffer("[", 1);
  // Count 0: the whole source from its start, whatever its position.
  EXPECT_EQ(dst.CopyFrom(&src, 0), 10);
  EXPECT_EQ(Contents(dst), "[0123456789");
  EXPECT_EQ(src.Position(), 10);

  src.SetPosition(2);
  EXPECT_EQ(dst.CopyFrom(&src, 3), 3);
  EXPECT_EQ(Contents(dst), "[0123456789234");
  EXPECT_EQ(src.Position(), 5);
  EXPECT_THROW(dst.CopyFrom(&src, 6), EReadError);
  EXPECT_THROW(dst.CopyFrom(nullptr, 0), EStreamError);

  TMemoryStream loaded;
  loaded.WriteBuffer("old contents that are longer", 28);
  loaded.LoadFromStream(&src);
  EXPECT_EQ(Contents(loaded), "0123456789");
  EXPECT_EQ(loaded.Position(), 0);
}

TEST_F(TempDir, FileStreamFailuresNameTheFileAndReason) {
  const String missingDir = Path("no-such-dir/out.bin");
  std::string msg = MessageOf<EFCreateError>([&] { TFileStream f(missingDir, fmCreate); });
  EXPECT_NE(msg.find(StringToUtf8(missingDir)), std::string::npos) << msg;
  EXPECT_NE(msg.find("No such file or directory"), std::string::npos) << msg;

  const String missing = Path("missing.bin");
  msg = MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead | fmShareDenyNone); });
  EXPECT_NE(msg.find("Cannot open file \"" + StringToUtf8(missing) + "\""), std::string::npos)
      << msg;

  // A directory opens read-only at the system level; it is still not a file.
  msg = MessageOf<EFOpenError>([&] { TFileStream f(Path(""), fmOpenRead); });
  EXPECT_NE(msg.find("Is a directory"), std::string::npos) << msg;
  EXPECT_THROW(TFileStream(Path("x") + u'\0' + u"y", fmCreate), EFCreateError);

  {
    TFileStream f(Path("ro.bin"), fmCreate);
  }
  TFileStream ro(Path("ro.bin"), fmOpenRead);
  msg = MessageOf<EWriteError>([&] { ro.WriteBuffer("x", 1); });
  EXPECT_NE(msg.find("ro.bin"), std::string::npos) << msg;

  TMemoryStream m;
  EXPECT_THROW(m.SaveToFile(missingDir), EFCreateError);
  EXPECT_THROW(m.LoadFromFile(missing), EFOpenError);
}

TEST_F(TempDir, FileStreamReadsWritesAndResizes) {
  const String name = Path("data.bin");
  {
    TFileStream f(name, fmCreate | fmShareExclusive);
    f.WriteBuffer("hello world", 11);
    EXPECT_EQ(f.Size(), 11);
    EXPECT_EQ(f.Seek(-5, soEnd), 6);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, 16), 5);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(f.Read(buf, 16), 0);
    EXPECT_THROW(f.Seek(-1, soBeginning), EStreamError);
  }
  {
    // Opening for writing keeps the contents.
    TFileStream f(name, fmOpenReadWrite);
    EXPECT_EQ(f.Size(), 11);
    f.WriteBuffer("J", 1);
    f.SetPosition(9);
    f.SetSize(5);
    EXPECT_EQ(f.Position(), 5);
    f.SetSize(7);
    EXPECT_EQ(f.Size(), 7);
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(Contents(m), std::string("Jello\0\0", 7));

  m.Seek(0, soEnd);
  m.WriteBuffer("!", 1);
  m.SaveToFile(Path("copy.bin"));
  TMemoryStream back;
  back.LoadFromFile(Path("copy.bin"));
  EXPECT_EQ(Contents(back), std::string("Jello\0\0!", 8));

  // fmCreate truncates an existing file.
  TFileStream again(name, fmCreate);
  EXPECT_EQ(again.Size(), 0);
}
