#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/rtl/SysUtils.h"
#include "host/rtl/ZLib.h"

using namespace vcl;

namespace {

// Half text-like (compressible), half random, so both code paths of deflate are exercised.
std::vector<Byte> Sample(size_t size, unsigned seed = 7) {
  std::mt19937 rng(seed);
  std::vector<Byte> v(size);
  for (size_t i = 0; i < size; ++i)
    v[i] = i < size / 2 ? static_cast<Byte>("the quick brown fox "[i % 20]) : static_cast<Byte>(rng());
  return v;
}

std::vector<Byte> Bytes(TMemoryStream& s) {
  return std::vector<Byte>(s.Memory(), s.Memory() + s.Size());
}

std::string DecompressError(const std::vector<Byte>& data) {
  try {
    ZDecompress(data.data(), data.size());
  } catch (const EZDecompressionError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(ZLib, BufferRoundTripsAtEveryLevel) {
  for (size_t size : {size_t(0), size_t(1), size_t(1000), size_t(300000)}) {
    const auto data = Sample(size);
    for (auto level : {zcNone, zcFastest, zcDefault, zcMax}) {
      const auto packed = ZCompress(data.data(), data.size(), level);
      EXPECT_EQ(ZDecompress(packed.data(), packed.size()), data) << size << " " << level;
      // A wrong size hint, small or large, changes nothing.
      EXPECT_EQ(ZDecompress(packed.data(), packed.size(), 1), data);
      EXPECT_EQ(ZDecompress(packed.data(), packed.size(), size * 3 + 10), data);
    }
  }
  const auto text = Sample(20000);
  EXPECT_LT(ZCompress(text.data(), 10000, zcMax).size(), 200u);
  EXPECT_GT(ZCompress(text.data(), 10000, zcNone).size(), 10000u);
}

TEST(ZLib, StreamsRoundTripInOddChunks) {
  const auto data = Sample(200003);
  TMemoryStream packed;
  packed.WriteBuffer("HDR", 3);  // compressed data need not start the stream
  {
    TZCompressionStream z(&packed, zcDefault);
    size_t done = 0, step = 1;
    while (done < data.size()) {
      const size_t n = std::min(step, data.size() - done);
      z.WriteBuffer(data.data() + done, static_cast<Int64>(n));
      done += n;
      step = step * 7 % 65599 + 1;
    }
    EXPECT_EQ(z.Position(), static_cast<Int64>(data.size()));
    EXPECT_THROW(z.Seek(0, soBeginning), EZCompressionError);
    char c;
    EXPECT_THROW(z.Read(&c, 1), EZCompressionError);
    // No explicit Finish(): the destructor ends the stream.
  }
  packed.WriteBuffer("TAIL", 4);

  for (Int64 step : {Int64(1), Int64(13), Int64(4096), Int64(65537)}) {
    packed.SetPosition(3);
    TZDecompressionStream z(&packed);
    std::vector<Byte> out(data.size() + 10);
    Int64 got = 0;
    for (;;) {
      const Int64 n = z.Read(out.data() + got, std::min<Int64>(step, out.size() - got));
      if (n == 0) break;
      got += n;
    }
    ASSERT_EQ(got, static_cast<Int64>(data.size())) << step;
    out.resize(got);
    EXPECT_EQ(out, data) << step;
    // The source is left just after the compressed data.
    char tail[5] = {};
    packed.ReadBuffer(tail, 4);
    EXPECT_STREQ(tail, "TAIL");
  }

  // Whole-stream copy with unknown size.
  packed.SetPosition(3);
  TZDecompressionStream z(&packed);
  TMemoryStream out;
  EXPECT_THROW(z.Size(), EZDecompressionError);
  EXPECT_EQ(out.CopyFrom(&z, 0), static_cast<Int64>(data.size()));
  EXPECT_EQ(Bytes(out), data);
}

TEST(ZLib, DecompressionSeeksForwardAndRestarts) {
  const auto data = Sample(50000);
  const auto packed = ZCompress(data.data(), data.size());
  TCustomMemoryStream src(packed.data(), static_cast<Int64>(packed.size()));
  TZDecompressionStream z(&src);
  Byte b;
  EXPECT_EQ(z.Seek(30000, soBeginning), 30000);
  z.ReadBuffer(&b, 1);
  EXPECT_EQ(b, data[30000]);
  EXPECT_EQ(z.Seek(-20001, soCurrent), 10000);  // backwards: starts over
  z.ReadBuffer(&b, 1);
  EXPECT_EQ(b, data[10000]);
  EXPECT_EQ(z.Seek(0, soBeginning), 0);
  z.ReadBuffer(&b, 1);
  EXPECT_EQ(b, data[0]);
  EXPECT_THROW(z.Seek(0, soEnd), EZDecompressionError);
  EXPECT_THROW(z.Seek(-5, soBeginning), EZDecompressionError);
  EXPECT_THROW(z.Seek(50001, soBeginning), EZDecompressionError);
  EXPECT_THROW(z.WriteBuffer(&b, 1), EZDecompressionError);
  z.SetPosition(49999);
  z.ReadBuffer(&b, 1);
  EXPECT_EQ(b, data[49999]);
  EXPECT_EQ(z.Read(&b, 1), 0);
}

TEST(ZLib, CorruptAndTruncatedDataRaise) {
  const auto data = Sample(3000);
  const auto packed = ZCompress(data.data(), data.size());

  // Every proper prefix is truncated data, for the buffer function and the stream alike.
  for (size_t len = 0; len < packed.size(); ++len) {
    std::vector<Byte> cut(packed.begin(), packed.begin() + len);
    EXPECT_THROW(ZDecompress(cut.data(), cut.size()), EZDecompressionError) << len;
    TCustomMemoryStream src(cut.data(), static_cast<Int64>(cut.size()));
    TZDecompressionStream z(&src);
    TMemoryStream out;
    EXPECT_THROW(out.CopyFrom(&z, 0), EZDecompressionError) << len;
  }
  EXPECT_NE(DecompressError({}).find("ends unexpectedly"), std::string::npos);

  auto bad = packed;
  bad[0] = 0x12;  // not a zlib header
  EXPECT_NE(DecompressError(bad).find("Invalid compressed data"), std::string::npos)
      << DecompressError(bad);
  bad = packed;
  bad[bad.size() - 1] ^= 0xFF;  // checksum
  EXPECT_NE(DecompressError(bad).find("Invalid compressed data"), std::string::npos);

  // Damage anywhere is caught (by the decoder or the checksum), never crashes or hangs.
  std::mt19937 rng(3);
  for (int i = 0; i < 200; ++i) {
    bad = packed;
    bad[2 + rng() % (bad.size() - 2)] ^= static_cast<Byte>(1 + rng() % 255);
    EXPECT_THROW(ZDecompress(bad.data(), bad.size()), EZDecompressionError) << i;
  }

  // Bytes after the end of the data are ignored.
  bad = packed;
  bad.push_back(0xAB);
  EXPECT_EQ(ZDecompress(bad.data(), bad.size()), data);
}

TEST(ZLib, OutputLimitStopsDecompressionBombs) {
  const std::vector<Byte> zeros(4 << 20, 0);
  const auto packed = ZCompress(zeros.data(), zeros.size(), zcMax);
  ASSERT_LT(packed.size(), 10000u);

  std::string msg;
  try {
    ZDecompress(packed.data(), packed.size(), 0, 1 << 20);
  } catch (const EZDecompressionError& e) {
    msg = e.what();
  }
  EXPECT_NE(msg.find("exceeds the limit of 1048576 bytes"), std::string::npos) << msg;
  // An exact fit is not an overflow.
  EXPECT_EQ(ZDecompress(packed.data(), packed.size(), 0, zeros.size()).size(), zeros.size());

  TCustomMemoryStream src(packed.data(), static_cast<Int64>(packed.size()));
  TZDecompressionStream z(&src, 1 << 20);
  TMemoryStream out;
  EXPECT_THROW(out.CopyFrom(&z, 0), EZDecompressionError);
  EXPECT_LE(out.Size(), 1 << 20);
}

TEST(ZLib, CompressionStreamReportsDestinationFailures) {
  // A read-only destination refuses the compressed bytes.
  static const Byte kNothing[1] = {};
  TCustomMemoryStream readOnly(kNothing, 0);
  TZCompressionStream z(&readOnly);
  EXPECT_THROW(
      {
        z.WriteBuffer("abc", 3);
        z.Finish();
      },
      EWriteError);

  TMemoryStream dest;
  TZCompressionStream ok(&dest, zcFastest);
  ok.WriteBuffer("abcabcabc", 9);
  ok.Finish();
  EXPECT_EQ(ok.CompressedSize(), dest.Size());
  EXPECT_THROW(ok.WriteBuffer("x", 1), EZCompressionError);
  const auto back = ZDecompress(dest.Memory(), static_cast<size_t>(dest.Size()));
  EXPECT_EQ(std::string(back.begin(), back.end()), "abcabcabc");
}
