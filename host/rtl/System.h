// Basic types of the host run-time: UTF-16 strings and fixed-width integers.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vcl {

using Char = char16_t;
using String = std::u16string;
using StringView = std::u16string_view;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using Integer = std::int32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;

// UTF-8 <-> UTF-16. Malformed input never throws: invalid UTF-8 bytes and unpaired
// surrogates become U+FFFD.
String Utf8ToString(std::string_view s);
std::string StringToUtf8(StringView s);

// ASCII / UTF-8 literal convenience: S("abc").
inline String S(std::string_view utf8) { return Utf8ToString(utf8); }

}  // namespace vcl
