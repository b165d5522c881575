// zlib-format compression (RFC 1950 streams) for the host run-time: compression and
// decompression streams plus whole-buffer helpers.
//
// Corrupt, truncated or oversized compressed data raises EZDecompressionError with a message
// that says what went wrong; nothing reads outside the given input and no loop runs without
// progress. Decompressing is capped at a maximum output size (default ZDefaultMaxOutput) so
// that a small hostile input cannot exhaust memory.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "host/rtl/Streams.h"
#include "host/rtl/System.h"

namespace vcl {

enum TZCompressionLevel { zcNone, zcFastest, zcDefault, zcMax };

inline constexpr size_t ZDefaultMaxOutput = size_t(256) << 20;  // 256 MiB

// Compresses everything written to it into `dest`, which must outlive this stream.
// Write-only: Read and seeking raise EZCompressionError, except Seek(0, soCurrent), which
// (like Position() and Size()) reports the number of uncompressed bytes written so far.
// Finish() flushes the end of the compressed stream to `dest`; the destructor calls it when it
// was not called, but can only swallow a failure there, so call Finish() when errors matter.
class TZCompressionStream : public TStream {
 public:
  explicit TZCompressionStream(TStream* dest, TZCompressionLevel level = zcDefault);
  ~TZCompressionStream() override;

  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override;

  void Finish();
  // Compressed bytes handed to the destination so far.
  Int64 CompressedSize() const;

 private:
  struct Impl;
  void Drain(int flush);
  std::unique_ptr<Impl> FImpl;
};

// Decompresses a zlib stream read from `source`, starting at the source's position at
// construction; `source` must outlive this stream. Read-only and forward-only:
// - seeking forward decompresses and discards; seeking backwards (Seek(0, soBeginning)
//   included) rewinds the source and starts over; seeking from the end, seeking beyond the
//   end of the data, and Size() raise EZDecompressionError, since the decompressed size is not
//   known before the data has been read (read to the end instead, e.g. with CopyFrom(src, 0));
// - at the end of the compressed stream the source is left just after it (when the source can
//   seek), so data that follows can be read from it.
class TZDecompressionStream : public TStream {
 public:
  explicit TZDecompressionStream(TStream* source, size_t maxOutput = ZDefaultMaxOutput);
  ~TZDecompressionStream() override;

  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override;

 private:
  struct Impl;
  void Restart();
  std::unique_ptr<Impl> FImpl;
};

std::vector<Byte> ZCompress(const Byte* data, size_t size, TZCompressionLevel level = zcDefault);

// Decompresses one complete zlib stream; bytes after its end are ignored. `expectedSizeHint`
// (when known) sizes the output buffer up front.
std::vector<Byte> ZDecompress(const Byte* data, size_t size, size_t expectedSizeHint = 0,
                              size_t maxOutput = ZDefaultMaxOutput);

}  // namespace vcl
