// Byte streams of the host run-time: the abstract TStream, memory streams (a read-only view,
// a growable buffer, byte and UTF-8 string streams), file streams and resource streams.
//
// Positions and counts are Int64. Read and Write move at most `count` bytes and return how
// many moved; ReadBuffer and WriteBuffer insist on all of them and raise EReadError or
// EWriteError otherwise. Seeking to a negative position raises EStreamError; seeking past the
// end is allowed (a later Write fills the gap with zeros, a Read there returns 0).
#pragma once
#include <bit>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/rtl/System.h"

namespace vcl {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  virtual Int64 Read(void* buffer, Int64 count) = 0;
  virtual Int64 Write(const void* buffer, Int64 count) = 0;
  // Returns the new position.
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 pos) { Seek(pos, soBeginning); }
  // The default measures by seeking to the end and back; streams that know their size answer
  // directly. A stream whose size cannot be known raises.
  virtual Int64 Size();
  // Truncates or extends; the position stays unless it lies beyond the new end, then it moves
  // to the end. Streams that cannot change size raise EStreamError.
  virtual void SetSize(Int64 newSize);

  void ReadBuffer(void* buffer, Int64 count);
  void WriteBuffer(const void* buffer, Int64 count);

  // Copies `count` bytes from the current position of `source`. A count of 0 (or less) copies
  // the whole source from its start up to its end, also when its size is unknown. Returns the
  // number of bytes copied; a short source raises EReadError.
  Int64 CopyFrom(TStream* source, Int64 count = 0);

  // Little-endian scalars (integers, enums, floating point), whatever the host byte order.
  template <typename T>
    requires std::is_arithmetic_v<T> || std::is_enum_v<T>
  void WriteData(T value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) ReverseBytes(bytes, sizeof(T));
    WriteBuffer(bytes, sizeof(T));
  }
  template <typename T>
    requires std::is_arithmetic_v<T> || std::is_enum_v<T>
  void ReadData(T& value) {
    unsigned char bytes[sizeof(T)];
    ReadBuffer(bytes, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) ReverseBytes(bytes, sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
  }
  template <typename T>
    requires std::is_arithmetic_v<T> || std::is_enum_v<T>
  T ReadData() {
    T value;
    ReadData(value);
    return value;
  }

 private:
  static void ReverseBytes(unsigned char* p, size_t n) {
    for (size_t i = 0; i < n / 2; ++i) std::swap(p[i], p[n - 1 - i]);
  }
};

// A read-only stream over memory it does not own (resource data, a caller's buffer). The
// memory must outlive the stream. Write and SetSize raise EStreamError.
class TCustomMemoryStream : public TStream {
 public:
  TCustomMemoryStream() = default;
  // Raises EStreamError for a negative size or a null pointer with a non-zero size.
  TCustomMemoryStream(const void* data, Int64 size);

  const Byte* Memory() const { return FMemory; }

  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override { return FSize; }

  void SaveToStream(TStream* stream);
  void SaveToFile(const String& fileName);

 protected:
  void SetPointer(const void* data, Int64 size);
  Int64 FPosition = 0;

 private:
  const Byte* FMemory = nullptr;
  Int64 FSize = 0;
};

// A growable in-memory stream that owns its bytes.
class TMemoryStream : public TCustomMemoryStream {
 public:
  TMemoryStream() = default;

  Byte* Memory() { return FData.data(); }
  const Byte* Memory() const { return FData.data(); }
  Int64 Capacity() const { return static_cast<Int64>(FData.capacity()); }
  void SetCapacity(Int64 capacity);

  Int64 Write(const void* buffer, Int64 count) override;
  void SetSize(Int64 newSize) override;
  void Clear();

  // Replaces the contents with the whole of `stream` (from its start) and rewinds.
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const String& fileName);

 protected:
  explicit TMemoryStream(std::vector<Byte> bytes);
  const std::vector<Byte>& Data() const { return FData; }

 private:
  void Resize(size_t size);
  std::vector<Byte> FData;
};

// A memory stream whose contents are available as a vector of exactly Size() bytes.
class TBytesStream : public TMemoryStream {
 public:
  TBytesStream() = default;
  explicit TBytesStream(std::vector<Byte> bytes) : TMemoryStream(std::move(bytes)) {}
  const std::vector<Byte>& Bytes() const { return Data(); }
};

// A byte stream holding text as UTF-8.
class TStringStream : public TBytesStream {
 public:
  TStringStream() = default;
  explicit TStringStream(StringView text);
  explicit TStringStream(std::string_view utf8);

  // The whole contents decoded from UTF-8 (malformed bytes become U+FFFD).
  String DataString() const;
  // Writes the text as UTF-8 at the current position.
  void WriteString(StringView text);
  // Reads up to `count` bytes from the current position and decodes them.
  String ReadString(Int64 count);
};

// File open modes. fmCreate creates or truncates the file and opens it for reading and
// writing; otherwise the low bits choose the access. The share flags are accepted for
// compatibility and have no effect here.
inline constexpr Word fmCreate = 0xFF00;
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

// A stream over a file. Failing to create or open raises EFCreateError or EFOpenError naming
// the file and the system's reason; an I/O error while reading or writing raises EReadError or
// EWriteError the same way (reaching the end of the file is not an error).
class TFileStream : public TStream {
 public:
  TFileStream(const String& fileName, Word mode);
  ~TFileStream() override;

  const String& FileName() const { return FFileName; }

  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override;
  void SetSize(Int64 newSize) override;

 private:
  String FFileName;
  int FHandle = -1;
};

// A read-only memory stream over a resource embedded in the program (see Resources.h). The
// data stays in place for the life of the process. Raises EResNotFound when there is no
// resource of that name and type.
class TResourceStream : public TCustomMemoryStream {
 public:
  TResourceStream(const String& name, const String& type);
};

}  // namespace vcl
