// Exceptions of the host run-time. Every failure the host reports is an Exception whose
// message names what failed (file, property, value).
#pragma once
#include <exception>
#include <string>

#include "host/rtl/System.h"

namespace vcl {

class Exception : public std::exception {
 public:
  explicit Exception(String message);
  explicit Exception(std::string_view utf8Message);
  explicit Exception(const char* utf8Message) : Exception(std::string_view(utf8Message)) {}
  ~Exception() override = default;

  const String& Message() const noexcept { return FMessage; }
  void SetMessage(String message);
  const char* what() const noexcept override { return FUtf8.c_str(); }

 private:
  String FMessage;
  std::string FUtf8;
};

class EAbort : public Exception {
 public:
  using Exception::Exception;
};
class EArgumentException : public Exception {
 public:
  using Exception::Exception;
};
class EArgumentOutOfRangeException : public EArgumentException {
 public:
  using EArgumentException::EArgumentException;
};
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidPointer : public Exception {
 public:
  using Exception::Exception;
};
class EListError : public Exception {
 public:
  using Exception::Exception;
};
class EOutOfMemory : public Exception {
 public:
  using Exception::Exception;
};
class EOSError : public Exception {
 public:
  using Exception::Exception;
};
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
// Filer errors: window descriptions and the streams under them.
class EFilerError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
 public:
  using EFilerError::EFilerError;
};
class EWriteError : public EFilerError {
 public:
  using EFilerError::EFilerError;
};
class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};
class EZLibError : public Exception {
 public:
  using Exception::Exception;
};
class EZCompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};
class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};
class EPlatformError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vcl
