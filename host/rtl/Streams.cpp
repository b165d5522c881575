#include "host/rtl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>
#include <system_error>

#include "host/rtl/NumFormat.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

constexpr Int64 kCopyChunk = 64 * 1024;

// Position reached by moving `offset` from `base`; negative or overflowing targets raise.
Int64 SeekTarget(Int64 base, Int64 offset) {
  Int64 target;
  if (__builtin_add_overflow(base, offset, &target))
    throw EStreamError(u"Stream position out of range: " + IntToStr(base) + u" + " +
                       IntToStr(offset));
  if (target < 0)
    throw EStreamError(u"Cannot seek to the negative stream position " + IntToStr(target));
  return target;
}

String OsReason(int err) { return Utf8ToString(std::generic_category().message(err)); }

String Quoted(const String& fileName) { return u"\"" + fileName + u"\""; }

}  // namespace

// ---- TStream ----

Int64 TStream::Size() {
  const Int64 pos = Seek(0, soCurrent);
  const Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64 newSize) {
  throw EStreamError(u"This stream cannot change its size (to " + IntToStr(newSize) +
                     u" bytes)");
}

void TStream::ReadBuffer(void* buffer, Int64 count) {
  if (count < 0) throw EReadError(u"Stream read error: negative byte count " + IntToStr(count));
  auto* p = static_cast<Byte*>(buffer);
  Int64 done = 0;
  while (done < count) {
    const Int64 n = Read(p + done, count - done);
    if (n <= 0) break;
    done += n;
  }
  if (done != count)
    throw EReadError(u"Stream read error: " + IntToStr(count) + u" bytes wanted, only " +
                     IntToStr(done) + u" available");
}

void TStream::WriteBuffer(const void* buffer, Int64 count) {
  if (count < 0)
    throw EWriteError(u"Stream write error: negative byte count " + IntToStr(count));
  const auto* p = static_cast<const Byte*>(buffer);
  Int64 done = 0;
  while (done < count) {
    const Int64 n = Write(p + done, count - done);
    if (n <= 0) break;
    done += n;
  }
  if (done != count)
    throw EWriteError(u"Stream write error: " + IntToStr(count) + u" bytes to write, only " +
                      IntToStr(done) + u" written");
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (!source) throw EStreamError("CopyFrom: no source stream");
  if (count <= 0) source->SetPosition(0);

  // A memory source is written straight from its buffer (not when copying a stream onto
  // itself: growing the destination would move the source's bytes).
  if (auto* mem = dynamic_cast<TCustomMemoryStream*>(source); mem && source != this) {
    const Int64 pos = mem->Position();
    const Int64 available = std::max<Int64>(0, mem->Size() - pos);
    Int64 n = count <= 0 ? available : count;
    if (n > available)
      throw EReadError(u"Stream read error: " + IntToStr(n) + u" bytes wanted, only " +
                       IntToStr(available) + u" available");
    WriteBuffer(mem->Memory() + pos, n);
    mem->Seek(n, soCurrent);
    return n;
  }

  std::vector<Byte> buf(static_cast<size_t>(count <= 0 ? kCopyChunk : std::min(count, kCopyChunk)));
  Int64 total = 0;
  if (count <= 0) {
    for (;;) {
      const Int64 n = source->Read(buf.data(), kCopyChunk);
      if (n <= 0) break;
      WriteBuffer(buf.data(), n);
      total += n;
    }
    return total;
  }
  while (total < count) {
    const Int64 n = std::min<Int64>(count - total, kCopyChunk);
    source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    total += n;
  }
  return total;
}

// ---- TCustomMemoryStream ----

TCustomMemoryStream::TCustomMemoryStream(const void* data, Int64 size) {
  if (size < 0) throw EStreamError(u"Invalid memory stream size " + IntToStr(size));
  if (!data && size != 0)
    throw EStreamError(u"Memory stream over " + IntToStr(size) + u" bytes without memory");
  SetPointer(data, size);
}

void TCustomMemoryStream::SetPointer(const void* data, Int64 size) {
  FMemory = static_cast<const Byte*>(data);
  FSize = size;
}

Int64 TCustomMemoryStream::Read(void* buffer, Int64 count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  const Int64 n = std::min(count, FSize - FPosition);
  std::memcpy(buffer, FMemory + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

Int64 TCustomMemoryStream::Write(const void*, Int64 count) {
  if (count <= 0) return 0;
  throw EWriteError(u"Cannot write " + IntToStr(count) + u" bytes to a read-only memory stream");
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: FPosition = SeekTarget(0, offset); break;
    case soCurrent: FPosition = SeekTarget(FPosition, offset); break;
    case soEnd: FPosition = SeekTarget(FSize, offset); break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  if (!stream) throw EStreamError("SaveToStream: no destination stream");
  stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const String& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

// ---- TMemoryStream ----

TMemoryStream::TMemoryStream(std::vector<Byte> bytes) : FData(std::move(bytes)) {
  SetPointer(FData.data(), static_cast<Int64>(FData.size()));
}

void TMemoryStream::Resize(size_t size) {
  try {
    FData.resize(size);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(u"Out of memory growing a memory stream to " + UIntToStr(size) + u" bytes");
  } catch (const std::length_error&) {
    throw EOutOfMemory(u"A memory stream cannot hold " + UIntToStr(size) + u" bytes");
  }
  SetPointer(FData.data(), static_cast<Int64>(FData.size()));
}

void TMemoryStream::SetCapacity(Int64 capacity) {
  if (capacity < 0) throw EStreamError(u"Invalid memory stream capacity " + IntToStr(capacity));
  const auto want = std::max(static_cast<size_t>(capacity), FData.size());
  if (want > FData.capacity()) {
    try {
      FData.reserve(want);
    } catch (const std::exception&) {
      throw EOutOfMemory(u"Out of memory reserving " + UIntToStr(want) +
                         u" bytes for a memory stream");
    }
  } else if (want < FData.capacity()) {
    std::vector<Byte> shrunk;
    shrunk.reserve(want);
    shrunk.assign(FData.begin(), FData.end());
    FData.swap(shrunk);
  }
  SetPointer(FData.data(), static_cast<Int64>(FData.size()));
}

Int64 TMemoryStream::Write(const void* buffer, Int64 count) {
  if (count <= 0) return 0;
  Int64 end;
  if (__builtin_add_overflow(FPosition, count, &end) ||
      static_cast<UInt64>(end) > FData.max_size())
    throw EOutOfMemory(u"A memory stream cannot grow past position " + IntToStr(FPosition) +
                       u" by " + IntToStr(count) + u" bytes");
  const auto* src = static_cast<const Byte*>(buffer);
  if (static_cast<size_t>(end) > FData.size()) {
    // The source may be our own buffer, which growing moves.
    const std::less<const Byte*> before;
    const bool inside = !FData.empty() && !before(src, FData.data()) &&
                        before(src, FData.data() + FData.size());
    const size_t offset = inside ? static_cast<size_t>(src - FData.data()) : 0;
    Resize(static_cast<size_t>(end));
    if (inside) src = FData.data() + offset;
  }
  std::memmove(FData.data() + FPosition, src, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

void TMemoryStream::SetSize(Int64 newSize) {
  if (newSize < 0) throw EStreamError(u"Invalid stream size " + IntToStr(newSize));
  if (static_cast<UInt64>(newSize) > FData.max_size())
    throw EOutOfMemory(u"A memory stream cannot hold " + IntToStr(newSize) + u" bytes");
  Resize(static_cast<size_t>(newSize));
  if (FPosition > newSize) FPosition = newSize;
}

void TMemoryStream::Clear() {
  std::vector<Byte>().swap(FData);
  SetPointer(nullptr, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  if (!stream) throw EStreamError("LoadFromStream: no source stream");
  if (stream == this) {
    FPosition = 0;
    return;
  }
  Resize(0);
  FPosition = 0;
  CopyFrom(stream, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  const Int64 size = file.Size();
  Resize(0);
  FPosition = 0;
  SetCapacity(size);
  CopyFrom(&file, 0);
  FPosition = 0;
}

// ---- TStringStream ----

TStringStream::TStringStream(std::string_view utf8)
    : TBytesStream(std::vector<Byte>(utf8.begin(), utf8.end())) {}

TStringStream::TStringStream(StringView text) : TStringStream(StringToUtf8(text)) {}

String TStringStream::DataString() const {
  const auto& bytes = Bytes();
  return Utf8ToString(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TStringStream::WriteString(StringView text) {
  const std::string utf8 = StringToUtf8(text);
  WriteBuffer(utf8.data(), static_cast<Int64>(utf8.size()));
}

String TStringStream::ReadString(Int64 count) {
  const Int64 n = std::clamp<Int64>(std::min(count, Size() - FPosition), 0, Size());
  std::string utf8(static_cast<size_t>(n), '\0');
  ReadBuffer(utf8.data(), n);
  return Utf8ToString(utf8);
}

// ---- TFileStream ----

TFileStream::TFileStream(const String& fileName, Word mode) : FFileName(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  const std::string path = StringToUtf8(fileName);
  auto fail = [&](int err) -> void {
    const String msg = (create ? u"Cannot create file " : u"Cannot open file ") +
                       Quoted(fileName) + u". " + OsReason(err);
    if (create) throw EFCreateError(msg);
    throw EFOpenError(msg);
  };
  if (path.find('\0') != std::string::npos) fail(EINVAL);

  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 0x3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: fail(EINVAL);
    }
  }
  do {
    FHandle = ::open(path.c_str(), flags, 0666);
  } while (FHandle < 0 && errno == EINTR);
  if (FHandle < 0) fail(errno);

  // Opening a directory read-only succeeds on this system; it is not a file stream.
  struct stat st;
  int err = 0;
  if (::fstat(FHandle, &st) != 0) err = errno;
  else if (S_ISDIR(st.st_mode)) err = EISDIR;
  if (err != 0) {
    ::close(FHandle);
    FHandle = -1;
    fail(err);
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

Int64 TFileStream::Read(void* buffer, Int64 count) {
  auto* p = static_cast<Byte*>(buffer);
  Int64 done = 0;
  while (done < count) {
    const size_t chunk = static_cast<size_t>(std::min<Int64>(count - done, Int64(1) << 30));
    const ssize_t n = ::read(FHandle, p + done, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError(u"Cannot read file " + Quoted(FFileName) + u". " + OsReason(errno));
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

Int64 TFileStream::Write(const void* buffer, Int64 count) {
  const auto* p = static_cast<const Byte*>(buffer);
  Int64 done = 0;
  while (done < count) {
    const size_t chunk = static_cast<size_t>(std::min<Int64>(count - done, Int64(1) << 30));
    const ssize_t n = ::write(FHandle, p + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw EWriteError(u"Cannot write file " + Quoted(FFileName) + u". " +
                        OsReason(n < 0 ? errno : ENOSPC));
    done += n;
  }
  return done;
}

Int64 TFileStream::Seek(Int64 offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  if (origin == soBeginning && offset < 0) SeekTarget(0, offset);  // raises
  const off_t pos = ::lseek(FHandle, static_cast<off_t>(offset), whence);
  if (pos < 0)
    throw EStreamError(u"Cannot seek in file " + Quoted(FFileName) + u" by " + IntToStr(offset) +
                       u". " + OsReason(errno));
  return pos;
}

Int64 TFileStream::Size() {
  struct stat st;
  if (::fstat(FHandle, &st) != 0)
    throw EStreamError(u"Cannot get the size of file " + Quoted(FFileName) + u". " +
                       OsReason(errno));
  return st.st_size;
}

void TFileStream::SetSize(Int64 newSize) {
  if (newSize < 0) throw EStreamError(u"Invalid stream size " + IntToStr(newSize));
  const Int64 pos = Position();
  if (::ftruncate(FHandle, static_cast<off_t>(newSize)) != 0)
    throw EWriteError(u"Cannot set the size of file " + Quoted(FFileName) + u" to " +
                      IntToStr(newSize) + u". " + OsReason(errno));
  if (pos > newSize) Seek(newSize, soBeginning);
}

}  // namespace vcl
