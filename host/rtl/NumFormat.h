// Number <-> text conversion of the host run-time: integers, floating point (general, fixed,
// exponent, number and currency forms and the FormatFloat picture language) and Format().
// Every function reads the process-wide FormatSettings() unless handed a settings record.
// Invalid text raises EConvertError naming the text.
#pragma once
#include <concepts>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "host/rtl/FormatSettings.h"
#include "host/rtl/System.h"

namespace vcl {

// ---- integers ----

String IntToStr(Int64 value);
String UIntToStr(UInt64 value);

namespace detail {
template <typename T>
concept PlainInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
                       !std::same_as<T, char8_t> && !std::same_as<T, char16_t> &&
                       !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>;
String HexDigits(UInt64 bits, int minDigits);
}  // namespace detail

template <detail::PlainInteger T>
  requires(!std::same_as<T, Int64>)
String IntToStr(T value) {
  if constexpr (std::is_signed_v<T>) return IntToStr(static_cast<Int64>(value));
  else return UIntToStr(static_cast<UInt64>(value));
}

// Upper-case hexadecimal of the value's two's-complement bits at its own width, at least
// `digits` digits: IntToHex(-1, 4) = "FFFFFFFF" for an Integer, IntToHex(255, 4) = "00FF".
// Without `digits`, twice the value's byte size.
template <detail::PlainInteger T>
String IntToHex(T value, int digits = static_cast<int>(sizeof(T) * 2)) {
  return detail::HexDigits(static_cast<UInt64>(static_cast<std::make_unsigned_t<T>>(value)),
                           digits);
}

// Decimal, or hexadecimal after "$", "0x" or "x" (either case); leading blanks and a sign are
// allowed, nothing may follow the digits. Hexadecimal takes the full unsigned width and wraps
// ("$FFFFFFFF" is -1); decimal out of range is an error.
Integer StrToInt(StringView s);
Int64 StrToInt64(StringView s);
bool TryStrToInt(StringView s, Integer& value);
bool TryStrToInt64(StringView s, Int64& value);
Integer StrToIntDef(StringView s, Integer defaultValue);
Int64 StrToInt64Def(StringView s, Int64 defaultValue);

// ---- floating point ----

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Shortest of fixed and scientific notation at 15 significant digits ("0.1", "1E20",
// "1.5E-7"); NaN and infinities give "NAN", "INF", "-INF".
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& fs);

// precision: significant digits (1..18). digits: ffGeneral/ffExponent the minimum number of
// exponent digits (0..4); ffFixed/ffNumber/ffCurrency the number of decimals (0..18).
// Decimal rounding takes halves away from zero. A value with more integer digits than
// `precision` falls back to the general form.
String FloatToStrF(double value, TFloatFormat format, int precision, int digits);
String FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs);

// Picture formatting: "0" digit or zero, "#" digit or nothing, "." decimal point (first one),
// "," thousands grouping, "E+"/"E-"/"e+"/"e-" scientific with up to four "0" exponent digits,
// 'text' and "text" literals, and up to three ";"-separated sections for positive, negative
// and zero values (an empty or missing section falls back to the first, negative values then
// get a leading "-"). An empty picture is FloatToStr.
String FormatFloat(StringView picture, double value);
String FormatFloat(StringView picture, double value, const TFormatSettings& fs);

// Decimal text with the settings' decimal separator and an optional exponent; leading and
// trailing blanks allowed; "NAN", "INF" and "-INF" accepted. No thousands separators.
double StrToFloat(StringView s);
double StrToFloat(StringView s, const TFormatSettings& fs);
bool TryStrToFloat(StringView s, double& value);
bool TryStrToFloat(StringView s, double& value, const TFormatSettings& fs);
double StrToFloatDef(StringView s, double defaultValue);
double StrToFloatDef(StringView s, double defaultValue, const TFormatSettings& fs);

// Currency amount as general text with at most four decimals (the currency type's scale).
String CurrToStr(double value);
String CurrToStr(double value, const TFormatSettings& fs);

// ---- Format ----

// One argument of Format: an integer, a floating-point value, a string or a pointer.
class TVarRec {
 public:
  enum class TKind { Integer, Int64, UInt64, Float, String, Pointer };

  template <detail::PlainInteger T>
  TVarRec(T v) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_signed_v<T> && sizeof(T) <= 4) {
      FKind = TKind::Integer;
      FInt = v;
    } else if constexpr (std::is_signed_v<T> || sizeof(T) < 8) {
      FKind = TKind::Int64;
      FInt = static_cast<Int64>(v);
    } else {
      FKind = TKind::UInt64;
      FInt = static_cast<Int64>(v);
    }
  }
  TVarRec(bool) = delete;  // no numeric meaning; say what you want printed
  TVarRec(double v) : FKind(TKind::Float), FFloat(v) {}
  TVarRec(float v) : FKind(TKind::Float), FFloat(v) {}
  TVarRec(long double v) : FKind(TKind::Float), FFloat(static_cast<double>(v)) {}
  TVarRec(const String& s) : FKind(TKind::String), FView(s) {}
  TVarRec(StringView s) : FKind(TKind::String), FView(s) {}
  TVarRec(const char16_t* s) : FKind(TKind::String), FView(s ? StringView(s) : StringView()) {}
  TVarRec(char16_t c) : FKind(TKind::String), FOwned(1, c) { FView = FOwned; }
  TVarRec(const char* utf8) : FKind(TKind::String), FOwned(Utf8ToString(utf8 ? utf8 : "")) { FView = FOwned; }
  TVarRec(const std::string& utf8) : FKind(TKind::String), FOwned(Utf8ToString(utf8)) { FView = FOwned; }
  TVarRec(const void* p) : FKind(TKind::Pointer), FPointer(p) {}
  TVarRec(std::nullptr_t) : FKind(TKind::Pointer), FPointer(nullptr) {}

  TVarRec(const TVarRec& o) : FKind(o.FKind), FInt(o.FInt), FFloat(o.FFloat), FPointer(o.FPointer), FOwned(o.FOwned) {
    FView = o.FView.data() == o.FOwned.data() && !o.FOwned.empty() ? StringView(FOwned) : o.FView;
  }
  TVarRec& operator=(const TVarRec&) = delete;

  TKind Kind() const { return FKind; }
  Int64 AsInt64() const { return FInt; }
  double AsFloat() const { return FFloat; }
  StringView AsString() const { return FView; }
  const void* AsPointer() const { return FPointer; }

 private:
  TKind FKind;
  Int64 FInt = 0;
  double FFloat = 0;
  const void* FPointer = nullptr;
  String FOwned;
  StringView FView;
};

// "%" [index ":"] ["-"] [width] ["." precision] type, with "*" taking index, width or
// precision from the next argument and "%%" a literal percent. Types (either case):
//   d decimal integer (precision = minimum digits)   u unsigned decimal
//   x hexadecimal (precision = minimum digits)       p pointer as hexadecimal
//   s string (precision = maximum characters)         e scientific, 15 digits by default
//   f fixed, 2 decimals by default                    g general, 15 digits by default
//   n fixed with thousands separators                 m currency, CurrencyDecimals by default
// A missing argument, a wrong argument kind or a malformed specifier raises EConvertError.
String Format(StringView format, std::initializer_list<TVarRec> args);
String Format(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& fs);

}  // namespace vcl
