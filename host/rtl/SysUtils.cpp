#include "host/rtl/SysUtils.h"

#include <utility>

namespace vcl {

Exception::Exception(String message) : FMessage(std::move(message)), FUtf8(StringToUtf8(FMessage)) {}

Exception::Exception(std::string_view utf8Message)
    : FMessage(Utf8ToString(utf8Message)), FUtf8(utf8Message) {}

void Exception::SetMessage(String message) {
  FMessage = std::move(message);
  FUtf8 = StringToUtf8(FMessage);
}

}  // namespace vcl
