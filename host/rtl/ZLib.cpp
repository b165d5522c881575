#include "host/rtl/ZLib.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "host/rtl/NumFormat.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr size_t kMaxChunk = UINT_MAX;  // zlib counts in uInt

int ZLevel(TZCompressionLevel level) {
  switch (level) {
    case zcNone: return Z_NO_COMPRESSION;
    case zcFastest: return Z_BEST_SPEED;
    case zcDefault: return Z_DEFAULT_COMPRESSION;
    case zcMax: return Z_BEST_COMPRESSION;
  }
  return Z_DEFAULT_COMPRESSION;
}

String ZMessage(const z_stream& zs, int ret) {
  if (zs.msg) return Utf8ToString(zs.msg);
  return Utf8ToString(zError(ret));
}

[[noreturn]] void RaiseInflateError(const z_stream& zs, int ret) {
  if (ret == Z_MEM_ERROR) throw EOutOfMemory("Out of memory while decompressing");
  if (ret == Z_NEED_DICT)
    throw EZDecompressionError("Invalid compressed data: it needs a preset dictionary");
  throw EZDecompressionError(u"Invalid compressed data: " + ZMessage(zs, ret));
}

[[noreturn]] void RaiseTruncated(UInt64 consumed) {
  throw EZDecompressionError(u"Compressed data ends unexpectedly after " + UIntToStr(consumed) +
                             u" bytes");
}

[[noreturn]] void RaiseTooLarge(size_t maxOutput) {
  throw EZDecompressionError(u"Decompressed data exceeds the limit of " + UIntToStr(maxOutput) +
                             u" bytes");
}

void InitDeflate(z_stream& zs, TZCompressionLevel level) {
  zs = z_stream{};
  const int ret = deflateInit(&zs, ZLevel(level));
  if (ret == Z_MEM_ERROR) throw EOutOfMemory("Out of memory starting compression");
  if (ret != Z_OK) throw EZCompressionError(u"Cannot start compression: " + ZMessage(zs, ret));
}

void InitInflate(z_stream& zs) {
  zs = z_stream{};
  const int ret = inflateInit(&zs);
  if (ret == Z_MEM_ERROR) throw EOutOfMemory("Out of memory starting decompression");
  if (ret != Z_OK)
    throw EZDecompressionError(u"Cannot start decompression: " + ZMessage(zs, ret));
}

}  // namespace

// ---- TZCompressionStream ----

struct TZCompressionStream::Impl {
  z_stream zs{};
  TStream* dest = nullptr;
  std::vector<Byte> out = std::vector<Byte>(kBufferSize);
  Int64 written = 0;     // uncompressed bytes accepted
  Int64 compressed = 0;  // compressed bytes passed on
  bool finished = false;
  ~Impl() { deflateEnd(&zs); }
};

TZCompressionStream::TZCompressionStream(TStream* dest, TZCompressionLevel level)
    : FImpl(std::make_unique<Impl>()) {
  if (!dest) throw EZCompressionError("Compression stream without a destination stream");
  FImpl->dest = dest;
  InitDeflate(FImpl->zs, level);
}

TZCompressionStream::~TZCompressionStream() {
  if (!FImpl->finished) {
    try {
      Finish();
    } catch (...) {
      // A destructor cannot report; Finish() is the checked way to end the stream.
    }
  }
}

void TZCompressionStream::Drain(int flush) {
  z_stream& zs = FImpl->zs;
  for (;;) {
    zs.next_out = FImpl->out.data();
    zs.avail_out = static_cast<uInt>(FImpl->out.size());
    const int ret = deflate(&zs, flush);
    if (ret == Z_STREAM_ERROR)
      throw EZCompressionError(u"Compression failed: " + ZMessage(zs, ret));
    const size_t produced = FImpl->out.size() - zs.avail_out;
    if (produced > 0) {
      FImpl->dest->WriteBuffer(FImpl->out.data(), static_cast<Int64>(produced));
      FImpl->compressed += static_cast<Int64>(produced);
    }
    if (flush == Z_FINISH) {
      if (ret == Z_STREAM_END) return;
    } else if (zs.avail_in == 0 && zs.avail_out != 0) {
      return;
    }
  }
}

Int64 TZCompressionStream::Write(const void* buffer, Int64 count) {
  if (count <= 0) return 0;
  if (FImpl->finished) throw EZCompressionError("Cannot write to a finished compression stream");
  const auto* p = static_cast<const Byte*>(buffer);
  Int64 done = 0;
  while (done < count) {
    const auto chunk = static_cast<uInt>(std::min<UInt64>(count - done, kMaxChunk));
    FImpl->zs.next_in = const_cast<Byte*>(p + done);
    FImpl->zs.avail_in = chunk;
    Drain(Z_NO_FLUSH);
    done += chunk;
  }
  FImpl->zs.next_in = nullptr;
  FImpl->written += count;
  return count;
}

void TZCompressionStream::Finish() {
  if (FImpl->finished) return;
  FImpl->finished = true;
  FImpl->zs.avail_in = 0;
  Drain(Z_FINISH);
}

Int64 TZCompressionStream::CompressedSize() const { return FImpl->compressed; }

Int64 TZCompressionStream::Read(void*, Int64) {
  throw EZCompressionError("Cannot read from a compression stream");
}

Int64 TZCompressionStream::Seek(Int64 offset, TSeekOrigin origin) {
  if (offset == 0 && origin == soCurrent) return FImpl->written;
  throw EZCompressionError("Cannot seek in a compression stream");
}

Int64 TZCompressionStream::Size() { return FImpl->written; }

// ---- TZDecompressionStream ----

struct TZDecompressionStream::Impl {
  z_stream zs{};
  TStream* source = nullptr;
  Int64 start = 0;      // source position where the compressed data begins
  Int64 position = 0;   // decompressed bytes delivered
  UInt64 consumed = 0;  // compressed bytes read from the source
  size_t maxOutput = ZDefaultMaxOutput;
  bool sourceEnd = false;
  bool streamEnd = false;
  std::vector<Byte> in = std::vector<Byte>(kBufferSize);
  ~Impl() { inflateEnd(&zs); }
};

TZDecompressionStream::TZDecompressionStream(TStream* source, size_t maxOutput)
    : FImpl(std::make_unique<Impl>()) {
  if (!source) throw EZDecompressionError("Decompression stream without a source stream");
  FImpl->source = source;
  FImpl->start = source->Position();
  FImpl->maxOutput = maxOutput;
  InitInflate(FImpl->zs);
}

TZDecompressionStream::~TZDecompressionStream() = default;

void TZDecompressionStream::Restart() {
  Impl& d = *FImpl;
  d.source->SetPosition(d.start);
  inflateReset(&d.zs);
  d.zs.next_in = nullptr;
  d.zs.avail_in = 0;
  d.position = 0;
  d.consumed = 0;
  d.sourceEnd = false;
  d.streamEnd = false;
}

Int64 TZDecompressionStream::Read(void* buffer, Int64 count) {
  Impl& d = *FImpl;
  z_stream& zs = d.zs;
  auto* out = static_cast<Byte*>(buffer);
  Int64 done = 0;
  while (done < count && !d.streamEnd) {
    if (zs.avail_in == 0 && !d.sourceEnd) {
      const Int64 n = d.source->Read(d.in.data(), static_cast<Int64>(d.in.size()));
      if (n <= 0) {
        d.sourceEnd = true;
      } else {
        zs.next_in = d.in.data();
        zs.avail_in = static_cast<uInt>(n);
        d.consumed += static_cast<UInt64>(n);
      }
    }
    const auto chunk = static_cast<uInt>(std::min<UInt64>(count - done, kMaxChunk));
    zs.next_out = out + done;
    zs.avail_out = chunk;
    const int ret = inflate(&zs, Z_NO_FLUSH);
    const uInt produced = chunk - zs.avail_out;
    done += produced;
    if (static_cast<UInt64>(d.position) + static_cast<UInt64>(done) > d.maxOutput)
      RaiseTooLarge(d.maxOutput);
    if (ret == Z_STREAM_END) {
      d.streamEnd = true;
      // Hand the bytes read past the end of the compressed data back to the source.
      if (zs.avail_in > 0) {
        const Int64 unused = zs.avail_in;
        d.consumed -= static_cast<UInt64>(unused);
        zs.avail_in = 0;
        try {
          d.source->Seek(-unused, soCurrent);
        } catch (const EStreamError&) {
          // A source that cannot seek keeps its position; the data after is lost to it.
        }
      }
    } else if (ret == Z_BUF_ERROR || (ret == Z_OK && produced == 0 && zs.avail_in == 0)) {
      // No progress: only more input can help.
      if (d.sourceEnd) RaiseTruncated(d.consumed);
    } else if (ret != Z_OK) {
      RaiseInflateError(zs, ret);
    }
  }
  d.position += done;
  return done;
}

Int64 TZDecompressionStream::Write(const void*, Int64) {
  throw EZDecompressionError("Cannot write to a decompression stream");
}

Int64 TZDecompressionStream::Seek(Int64 offset, TSeekOrigin origin) {
  Impl& d = *FImpl;
  Int64 target;
  if (origin == soEnd)
    throw EZDecompressionError(
        "Cannot seek from the end of a decompression stream: its size is not known");
  if (origin == soBeginning) target = offset;
  else if (__builtin_add_overflow(d.position, offset, &target)) target = -1;
  if (target < 0)
    throw EZDecompressionError(u"Cannot seek a decompression stream to position " +
                               IntToStr(target));
  if (target == d.position) return d.position;
  if (target < d.position) Restart();
  Byte scratch[4096];
  while (d.position < target) {
    const Int64 want = std::min<Int64>(target - d.position, sizeof scratch);
    if (Read(scratch, want) == 0)
      throw EZDecompressionError(u"Cannot seek a decompression stream to position " +
                                 IntToStr(target) + u": the data ends at " +
                                 IntToStr(d.position));
  }
  return d.position;
}

Int64 TZDecompressionStream::Size() {
  throw EZDecompressionError("The size of a decompression stream is not known");
}

// ---- whole buffers ----

std::vector<Byte> ZCompress(const Byte* data, size_t size, TZCompressionLevel level) {
  z_stream zs;
  InitDeflate(zs, level);
  struct End {
    z_stream& zs;
    ~End() { deflateEnd(&zs); }
  } end{zs};
  std::vector<Byte> out(std::max<size_t>(deflateBound(&zs, size), 64));
  size_t inDone = 0;
  for (;;) {
    const size_t inChunk = std::min(size - inDone, kMaxChunk);
    zs.next_in = const_cast<Byte*>(data + inDone);
    zs.avail_in = static_cast<uInt>(inChunk);
    if (zs.total_out == out.size()) out.resize(out.size() * 2);
    const size_t outChunk = std::min(out.size() - zs.total_out, kMaxChunk);
    zs.next_out = out.data() + zs.total_out;
    zs.avail_out = static_cast<uInt>(outChunk);
    const bool last = inDone + inChunk == size;
    const int ret = deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
    inDone += inChunk - zs.avail_in;
    if (ret == Z_STREAM_END) break;
    if (ret != Z_OK && ret != Z_BUF_ERROR)
      throw EZCompressionError(u"Compression failed: " + ZMessage(zs, ret));
  }
  out.resize(zs.total_out);
  return out;
}

std::vector<Byte> ZDecompress(const Byte* data, size_t size, size_t expectedSizeHint,
                              size_t maxOutput) {
  z_stream zs;
  InitInflate(zs);
  struct End {
    z_stream& zs;
    ~End() { inflateEnd(&zs); }
  } end{zs};
  // One byte beyond the limit tells an exact fit from an overflow.
  const size_t cap = maxOutput == SIZE_MAX ? maxOutput : maxOutput + 1;
  std::vector<Byte> out;
  const size_t guess = expectedSizeHint ? expectedSizeHint : size > cap / 4 ? cap : size * 4;
  out.resize(std::min(cap, std::max<size_t>(guess, 256)));
  size_t inDone = 0, outDone = 0;
  for (;;) {
    if (outDone == out.size()) {
      if (out.size() >= cap) RaiseTooLarge(maxOutput);
      out.resize(std::min(cap, out.size() * 2));
    }
    const size_t inChunk = std::min(size - inDone, kMaxChunk);
    const size_t outChunk = std::min(out.size() - outDone, kMaxChunk);
    zs.next_in = const_cast<Byte*>(data + inDone);
    zs.avail_in = static_cast<uInt>(inChunk);
    zs.next_out = out.data() + outDone;
    zs.avail_out = static_cast<uInt>(outChunk);
    const int ret = inflate(&zs, Z_NO_FLUSH);
    inDone += inChunk - zs.avail_in;
    outDone += outChunk - zs.avail_out;
    if (outDone > maxOutput) RaiseTooLarge(maxOutput);
    if (ret == Z_STREAM_END) break;
    if (ret == Z_BUF_ERROR || ret == Z_OK) {
      // Without input left and with room for output, nothing more can come.
      if (inDone == size && zs.avail_out > 0) RaiseTruncated(inDone);
      continue;
    }
    RaiseInflateError(zs, ret);
  }
  out.resize(outDone);
  return out;
}

}  // namespace vcl
