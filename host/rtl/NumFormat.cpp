#include "host/rtl/NumFormat.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

#include "host/rtl/SysUtils.h"

namespace vcl {

// ============================================================================================
// Integers
// ============================================================================================

String UIntToStr(UInt64 value) {
  Char buf[24];
  int n = 0;
  do {
    buf[n++] = static_cast<Char>(u'0' + value % 10);
    value /= 10;
  } while (value);
  String out;
  out.reserve(static_cast<size_t>(n));
  while (n) out += buf[--n];
  return out;
}

String IntToStr(Int64 value) {
  if (value >= 0) return UIntToStr(static_cast<UInt64>(value));
  // Negate in unsigned arithmetic so the minimum value survives.
  return u"-" + UIntToStr(0 - static_cast<UInt64>(value));
}

String detail::HexDigits(UInt64 bits, int minDigits) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  Char buf[16];
  int n = 0;
  do {
    buf[n++] = kHex[bits & 15];
    bits >>= 4;
  } while (bits);
  if (minDigits > 64) minDigits = 64;
  String out;
  if (minDigits > n) out.assign(static_cast<size_t>(minDigits - n), u'0');
  while (n) out += buf[--n];
  return out;
}

namespace {

String Quoted(StringView s) { return u"'" + String(s) + u"'"; }

[[noreturn]] void RaiseInvalidInteger(StringView s) {
  throw EConvertError(Quoted(s) + u" is not a valid integer value");
}

// Reads an integer like the classic Val: blanks, sign, "$"/"0x"/"x" for hexadecimal, digits,
// end. `bits` is 32 or 64; decimal must fit the signed range, hexadecimal the unsigned one.
bool ParseInteger(StringView s, int bits, Int64& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  bool hex = false;
  if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  const UInt64 unsignedMax = bits == 64 ? std::numeric_limits<UInt64>::max() : 0xFFFFFFFFull;
  UInt64 v = 0;
  for (; i < s.size(); ++i) {
    const Char c = s[i];
    unsigned d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else return false;
    const unsigned base = hex ? 16 : 10;
    if (v > (unsignedMax - d) / base) return false;
    v = v * base + d;
  }
  if (hex) {
    // Wrap into the signed range of the width, then apply the sign.
    Int64 r = bits == 64 ? static_cast<Int64>(v) : static_cast<Int64>(static_cast<Integer>(static_cast<Cardinal>(v)));
    if (negative) r = static_cast<Int64>(0 - static_cast<UInt64>(r));
    if (bits == 32) r = static_cast<Integer>(static_cast<Cardinal>(static_cast<UInt64>(r)));
    out = r;
    return true;
  }
  const UInt64 positiveMax = bits == 64 ? 0x7FFFFFFFFFFFFFFFull : 0x7FFFFFFFull;
  if (v > positiveMax + (negative ? 1 : 0)) return false;
  out = negative ? static_cast<Int64>(0 - v) : static_cast<Int64>(v);
  return true;
}

}  // namespace

bool TryStrToInt(StringView s, Integer& value) {
  Int64 v;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<Integer>(v);
  return true;
}

bool TryStrToInt64(StringView s, Int64& value) { return ParseInteger(s, 64, value); }

Integer StrToInt(StringView s) {
  Integer v;
  if (!TryStrToInt(s, v)) RaiseInvalidInteger(s);
  return v;
}

Int64 StrToInt64(StringView s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) RaiseInvalidInteger(s);
  return v;
}

Integer StrToIntDef(StringView s, Integer defaultValue) {
  Integer v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

Int64 StrToInt64Def(StringView s, Int64 defaultValue) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : defaultValue;
}

// ============================================================================================
// Floating point: decimal digits
// ============================================================================================

namespace {

constexpr int kMaxPrecision = 18;
constexpr int kNoDecimalLimit = 9999;

// A value as decimal digits: 0.d1d2d3... x 10^Exponent. No digits means zero.
struct TFloatRec {
  enum TSpecial { Normal, NaN, Inf };
  TSpecial Special = Normal;
  bool Negative = false;
  int Exponent = 0;
  int Count = 0;
  char Digits[kMaxPrecision + 2] = {};

  bool IsZero() const { return Special == Normal && Count == 0; }
  char Digit(int index) const { return index >= 0 && index < Count ? Digits[index] : '0'; }
};

// Rounds to `precision` significant digits and at most `decimals` digits after the decimal
// point, halves away from zero. The digits come from the value's 18-digit decimal expansion
// (correctly rounded), so a double that lies just below a half rounds down.
TFloatRec FloatToDecimal(double value, int precision, int decimals) {
  TFloatRec r;
  if (std::isnan(value)) {
    r.Special = TFloatRec::NaN;
    return r;
  }
  r.Negative = std::signbit(value);
  if (std::isinf(value)) {
    r.Special = TFloatRec::Inf;
    return r;
  }
  if (value == 0) {
    r.Negative = false;
    return r;
  }
  if (precision < 1) precision = 1;
  if (precision > kMaxPrecision) precision = kMaxPrecision;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.*e", kMaxPrecision - 1, std::fabs(value));
  char all[kMaxPrecision + 1];
  all[0] = buf[0];
  std::memcpy(all + 1, buf + 2, kMaxPrecision - 1);
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1) + 1;

  const long long wanted = static_cast<long long>(exponent) + decimals;
  const int keep = static_cast<int>(wanted < precision ? wanted : precision);
  if (keep < 0) {
    r.Negative = false;
    return r;
  }
  r.Exponent = exponent;
  bool roundUp = all[keep] >= '5';
  std::memcpy(r.Digits, all, static_cast<size_t>(keep));
  r.Count = keep;
  if (roundUp) {
    int i = keep - 1;
    while (i >= 0 && r.Digits[i] == '9') r.Digits[i--] = '0';
    if (i >= 0) {
      ++r.Digits[i];
    } else {
      // 9.99 -> 10.0: one digit more to the left.
      r.Digits[0] = '1';
      r.Count = 1;
      ++r.Exponent;
    }
  }
  while (r.Count > 0 && r.Digits[r.Count - 1] == '0') --r.Count;
  if (r.Count == 0) {
    r.Negative = false;
    r.Exponent = 0;
  }
  return r;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

String SpecialText(const TFloatRec& r) {
  if (r.Special == TFloatRec::NaN) return u"NAN";
  return r.Negative ? u"-INF" : u"INF";
}

void AppendExponent(String& out, int exponent, bool alwaysSign, int minDigits) {
  if (exponent < 0) out += u'-';
  else if (alwaysSign) out += u'+';
  String digits = UIntToStr(static_cast<UInt64>(exponent < 0 ? -static_cast<Int64>(exponent) : exponent));
  for (int i = static_cast<int>(digits.size()); i < minDigits; ++i) out += u'0';
  out += digits;
}

// Scientific "d.dddE-x" with the digits as they are (trailing zeros already gone).
String GeneralScientific(const TFloatRec& r, int expDigits, Char decimalSeparator) {
  String out;
  if (r.Negative) out += u'-';
  out += static_cast<Char>(r.Digits[0]);
  if (r.Count > 1) {
    out += decimalSeparator;
    for (int i = 1; i < r.Count; ++i) out += static_cast<Char>(r.Digits[i]);
  }
  out += u'E';
  AppendExponent(out, r.Exponent - 1, false, expDigits);
  return out;
}

String FormatGeneral(const TFloatRec& r, int precision, int expDigits, Char decimalSeparator) {
  if (r.Special != TFloatRec::Normal) return SpecialText(r);
  if (r.IsZero()) return u"0";
  if (r.Exponent > precision || r.Exponent < -3)
    return GeneralScientific(r, Clamp(expDigits, 0, 4), decimalSeparator);
  String out;
  if (r.Negative) out += u'-';
  if (r.Exponent <= 0) {
    out += u'0';
    out += decimalSeparator;
    for (int i = r.Exponent; i < 0; ++i) out += u'0';
    for (int i = 0; i < r.Count; ++i) out += static_cast<Char>(r.Digits[i]);
    return out;
  }
  for (int i = 0; i < r.Exponent; ++i) out += static_cast<Char>(r.Digit(i));
  if (r.Count > r.Exponent) {
    out += decimalSeparator;
    for (int i = r.Exponent; i < r.Count; ++i) out += static_cast<Char>(r.Digits[i]);
  }
  return out;
}

String FormatExponent(const TFloatRec& r, int precision, int expDigits, Char decimalSeparator) {
  if (r.Special != TFloatRec::Normal) return SpecialText(r);
  String out;
  if (r.Negative) out += u'-';
  out += static_cast<Char>(r.Digit(0));
  if (precision > 1) {
    out += decimalSeparator;
    for (int i = 1; i < precision; ++i) out += static_cast<Char>(r.Digit(i));
  }
  out += u'E';
  AppendExponent(out, r.IsZero() ? 0 : r.Exponent - 1, true, Clamp(expDigits, 0, 4));
  return out;
}

// Unsigned fixed-point text of r with `decimals` decimals, grouped when `thousands`.
String FixedDigits(const TFloatRec& r, int decimals, bool thousands, const TFormatSettings& fs) {
  String out;
  const int intDigits = r.Exponent > 0 ? r.Exponent : 0;
  if (intDigits == 0) {
    out += u'0';
  } else {
    for (int i = 0; i < intDigits; ++i) {
      out += static_cast<Char>(r.Digit(i));
      const int left = intDigits - 1 - i;
      if (thousands && left > 0 && left % 3 == 0 && fs.ThousandSeparator) out += fs.ThousandSeparator;
    }
  }
  if (decimals > 0) {
    out += fs.DecimalSeparator;
    for (int j = 0; j < decimals; ++j) out += static_cast<Char>(r.Digit(r.Exponent + j));
  }
  return out;
}

String CurrencyText(const String& amount, bool negative, const TFormatSettings& fs) {
  const String& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return amount + c;
      case 2: return c + u" " + amount;
      case 3: return amount + u" " + c;
      default: return c + amount;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return u"-" + c + amount;
    case 2: return c + u"-" + amount;
    case 3: return c + amount + u"-";
    case 4: return u"(" + amount + c + u")";
    case 5: return u"-" + amount + c;
    case 6: return amount + u"-" + c;
    case 7: return amount + c + u"-";
    case 8: return u"-" + amount + u" " + c;
    case 9: return u"-" + c + u" " + amount;
    case 10: return amount + u" " + c + u"-";
    case 11: return c + u" " + amount + u"-";
    case 12: return c + u" -" + amount;
    case 13: return amount + u"- " + c;
    case 14: return u"(" + c + u" " + amount + u")";
    case 15: return u"(" + amount + u" " + c + u")";
    default: return u"(" + c + amount + u")";
  }
}

}  // namespace

String FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs) {
  precision = Clamp(precision, 1, kMaxPrecision);
  switch (format) {
    case ffExponent:
      return FormatExponent(FloatToDecimal(value, precision, kNoDecimalLimit), precision, digits,
                            fs.DecimalSeparator);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = Clamp(digits, 0, kMaxPrecision);
      const TFloatRec r = FloatToDecimal(value, precision, digits);
      if (r.Special != TFloatRec::Normal) return SpecialText(r);
      if (r.Exponent > precision) return FormatGeneral(r, precision, 0, fs.DecimalSeparator);
      const String amount = FixedDigits(r, digits, format != ffFixed, fs);
      if (format == ffCurrency) return CurrencyText(amount, r.Negative, fs);
      return r.Negative ? u"-" + amount : amount;
    }
    case ffGeneral:
    default:
      return FormatGeneral(FloatToDecimal(value, precision, kNoDecimalLimit), precision, digits,
                           fs.DecimalSeparator);
  }
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

String FloatToStr(double value, const TFormatSettings& fs) {
  return FloatToStrF(value, ffGeneral, 15, 0, fs);
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

String CurrToStr(double value, const TFormatSettings& fs) {
  // Currency keeps four decimals; beyond 15 significant digits a double has no more to show.
  const TFloatRec r = FloatToDecimal(value, 15, 4);
  if (r.Special != TFloatRec::Normal) return SpecialText(r);
  return FormatGeneral(r, 19, 0, fs.DecimalSeparator);
}

String CurrToStr(double value) { return CurrToStr(value, FormatSettings()); }

// ============================================================================================
// FormatFloat pictures
// ============================================================================================

namespace {

// What a picture section asks for.
struct TPicture {
  StringView Text;
  int IntPlaces = 0;      // digit placeholders before the decimal point
  int FracPlaces = 0;     // after it
  int IntZeroPlaces = 0;  // integer places from the first "0" to the decimal point: padded
  int FracZeroPlaces = 0; // fraction places up to the last "0": padded
  bool Thousands = false;
  bool Scientific = false;
};

TPicture AnalysePicture(StringView text) {
  TPicture p;
  p.Text = text;
  bool seenPoint = false;
  int firstIntZero = -1;  // index among the integer placeholders
  for (size_t i = 0; i < text.size(); ++i) {
    const Char c = text[i];
    if (c == u'\'' || c == u'"') {
      size_t j = text.find(c, i + 1);
      i = j == StringView::npos ? text.size() : j;
      continue;
    }
    if (c == u'0' || c == u'#') {
      if (seenPoint) {
        ++p.FracPlaces;
        if (c == u'0') p.FracZeroPlaces = p.FracPlaces;
      } else {
        if (c == u'0' && firstIntZero < 0) firstIntZero = p.IntPlaces;
        ++p.IntPlaces;
      }
    } else if (c == u'.') {
      seenPoint = true;
    } else if (c == u',') {
      p.Thousands = true;
    } else if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
               (text[i + 1] == u'+' || text[i + 1] == u'-')) {
      // The exponent's own "0"s are not digit places; nothing after them is either.
      p.Scientific = true;
      break;
    }
  }
  if (firstIntZero >= 0) p.IntZeroPlaces = p.IntPlaces - firstIntZero;
  return p;
}

// Splits at ";" outside quotes into at most three sections.
int SplitSections(StringView picture, StringView sections[3]) {
  int n = 0;
  size_t start = 0;
  for (size_t i = 0; i <= picture.size(); ++i) {
    if (i < picture.size() && (picture[i] == u'\'' || picture[i] == u'"')) {
      size_t j = picture.find(picture[i], i + 1);
      i = j == StringView::npos ? picture.size() - 1 : j;
      continue;
    }
    if (i == picture.size() || picture[i] == u';') {
      sections[n++] = picture.substr(start, i - start);
      start = i + 1;
      if (n == 3) break;
    }
  }
  return n;
}

TFloatRec RoundForPicture(const TPicture& p, double value) {
  if (p.Scientific) {
    const int places = Clamp(p.IntPlaces + p.FracPlaces, 1, kMaxPrecision);
    return FloatToDecimal(value, places, kNoDecimalLimit);
  }
  return FloatToDecimal(value, kMaxPrecision, p.FracPlaces);
}

String ApplyPicture(const TPicture& p, const TFloatRec& r, bool minus, const TFormatSettings& fs) {
  String out;
  if (minus) out += u'-';
  // Digit places: integer place k (1 = units) is digit index E - k, fraction place j (1 = tenths)
  // is digit index E + j - 1.
  const int E = p.Scientific ? p.IntPlaces : r.Exponent;
  const int exponentShown = p.Scientific && !r.IsZero() ? r.Exponent - p.IntPlaces : 0;
  const int sigFrac = r.Count - E > 0 ? r.Count - E : 0;
  const int fracShown = sigFrac > p.FracZeroPlaces ? sigFrac : p.FracZeroPlaces;

  bool excessDone = false;
  int intPlace = p.IntPlaces;  // place of the next integer placeholder
  int fracPlace = 0;
  bool afterPoint = false;
  bool pointDone = false;

  auto putIntDigit = [&](int place, bool force) {
    if (place <= E) out += static_cast<Char>(r.Digit(E - place));
    else if (force) out += u'0';
    else return;
    if (p.Thousands && place > 1 && (place - 1) % 3 == 0 && fs.ThousandSeparator)
      out += fs.ThousandSeparator;
  };
  auto putExcess = [&]() {
    if (excessDone) return;
    excessDone = true;
    for (int place = E; place > p.IntPlaces; --place) putIntDigit(place, false);
  };

  const StringView t = p.Text;
  for (size_t i = 0; i < t.size(); ++i) {
    const Char c = t[i];
    switch (c) {
      case u'\'':
      case u'"': {
        size_t j = t.find(c, i + 1);
        if (j == StringView::npos) j = t.size();
        out.append(t.substr(i + 1, j - i - 1));
        i = j;
        break;
      }
      case u'0':
      case u'#':
        putExcess();
        if (!afterPoint) {
          putIntDigit(intPlace, intPlace <= p.IntZeroPlaces);
          --intPlace;
        } else {
          ++fracPlace;
          if (fracPlace <= sigFrac) out += static_cast<Char>(r.Digit(E + fracPlace - 1));
          else if (fracPlace <= p.FracZeroPlaces) out += u'0';
        }
        break;
      case u'.':
        putExcess();
        afterPoint = true;
        if (!pointDone && fracShown > 0) out += fs.DecimalSeparator;
        pointDone = true;
        break;
      case u',':
        break;
      case u'E':
      case u'e':
        if (p.Scientific && i + 1 < t.size() && (t[i + 1] == u'+' || t[i + 1] == u'-')) {
          putExcess();
          out += c;
          const bool alwaysSign = t[i + 1] == u'+';
          i += 1;
          int zeros = 0;
          while (i + 1 < t.size() && t[i + 1] == u'0' && zeros < 4) {
            ++zeros;
            ++i;
          }
          AppendExponent(out, exponentShown, alwaysSign, zeros > 0 ? zeros : 1);
          break;
        }
        out += c;
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

}  // namespace

String FormatFloat(StringView picture, double value, const TFormatSettings& fs) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  if (picture.empty()) return FloatToStr(value, fs);

  StringView sections[3];
  const int count = SplitSections(picture, sections);
  int chosen = 0;
  if (value < 0 && count >= 2 && !sections[1].empty()) chosen = 1;
  else if (value == 0 && count >= 3 && !sections[2].empty()) chosen = 2;

  TPicture p = AnalysePicture(sections[chosen]);
  TFloatRec r = RoundForPicture(p, value);
  if (!p.Scientific && r.Exponent > kMaxPrecision) return FloatToStrF(value, ffGeneral, 15, 0, fs);
  if (r.IsZero() && chosen != 2 && count >= 3 && !sections[2].empty()) {
    chosen = 2;
    p = AnalysePicture(sections[chosen]);
    r = TFloatRec();
  }
  return ApplyPicture(p, r, chosen == 0 && r.Negative, fs);
}

String FormatFloat(StringView picture, double value) {
  return FormatFloat(picture, value, FormatSettings());
}

// ============================================================================================
// Text to floating point
// ============================================================================================

namespace {

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

bool EqualsIgnoreCase(StringView a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    Char c = a[i];
    if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - 32);
    if (c != static_cast<Char>(b[i])) return false;
  }
  return true;
}

bool ParseFloat(StringView s, double& value, Char decimalSeparator) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  StringView t = s.substr(b, e - b);
  std::string ascii;
  ascii.reserve(t.size());
  size_t i = 0;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ascii += static_cast<char>(t[i++]);
  StringView rest = t.substr(i);
  if (EqualsIgnoreCase(rest, "INF") || EqualsIgnoreCase(rest, "INFINITY")) {
    value = ascii == "-" ? -HUGE_VAL : HUGE_VAL;
    return true;
  }
  if (EqualsIgnoreCase(rest, "NAN")) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  int mantissaDigits = 0;
  while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
    ascii += static_cast<char>(t[i++]);
    ++mantissaDigits;
  }
  if (i < t.size() && t[i] == decimalSeparator) {
    ascii += '.';
    ++i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      ascii += static_cast<char>(t[i++]);
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ascii += static_cast<char>(t[i++]);
    int expDigits = 0;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      ascii += static_cast<char>(t[i++]);
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != t.size()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = strtod_l(ascii.c_str(), &end, CLocale());
  if (!end || *end) return false;
  if (errno == ERANGE && std::isinf(v)) return false;  // overflow; underflow gives 0 or tiny
  value = v;
  return true;
}

}  // namespace

bool TryStrToFloat(StringView s, double& value, const TFormatSettings& fs) {
  return ParseFloat(s, value, fs.DecimalSeparator);
}

bool TryStrToFloat(StringView s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }

double StrToFloat(StringView s, const TFormatSettings& fs) {
  double v;
  if (!TryStrToFloat(s, v, fs)) throw EConvertError(Quoted(s) + u" is not a valid floating point value");
  return v;
}

double StrToFloat(StringView s) { return StrToFloat(s, FormatSettings()); }

double StrToFloatDef(StringView s, double defaultValue, const TFormatSettings& fs) {
  double v;
  return TryStrToFloat(s, v, fs) ? v : defaultValue;
}

double StrToFloatDef(StringView s, double defaultValue) {
  return StrToFloatDef(s, defaultValue, FormatSettings());
}

// ============================================================================================
// Format
// ============================================================================================

namespace {

// Width and precision beyond this are refused rather than allocated.
constexpr Int64 kMaxFieldWidth = 1 << 20;

class TFormatter {
 public:
  TFormatter(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& fs)
      : FFormat(format), FArgs(args.begin()), FCount(args.size()), FSettings(fs) {}

  String Run() {
    String out;
    out.reserve(FFormat.size() + 16);
    size_t i = 0;
    while (i < FFormat.size()) {
      const size_t pct = FFormat.find(u'%', i);
      if (pct == StringView::npos) {
        out.append(FFormat.substr(i));
        break;
      }
      out.append(FFormat.substr(i, pct - i));
      i = pct + 1;
      if (i < FFormat.size() && FFormat[i] == u'%') {
        out += u'%';
        ++i;
        continue;
      }
      i = Specifier(i, out);
    }
    return out;
  }

 private:
  [[noreturn]] void Invalid() const {
    throw EConvertError(u"Format '" + String(FFormat) + u"' invalid or incompatible with argument");
  }
  [[noreturn]] void Missing() const {
    throw EConvertError(u"No argument for format '" + String(FFormat) + u"'");
  }

  const TVarRec& NextArg() {
    if (FNext >= FCount) Missing();
    return FArgs[FNext++];
  }

  // A number or "*" (taken from the next argument); nothing when absent.
  std::optional<Int64> ReadNumber(size_t& i) {
    if (i < FFormat.size() && FFormat[i] == u'*') {
      ++i;
      const TVarRec& a = NextArg();
      if (a.Kind() != TVarRec::TKind::Integer && a.Kind() != TVarRec::TKind::Int64) Invalid();
      const Int64 v = a.AsInt64();
      if (v > kMaxFieldWidth || v < -kMaxFieldWidth) Invalid();
      return v;
    }
    if (i >= FFormat.size() || FFormat[i] < u'0' || FFormat[i] > u'9') return std::nullopt;
    Int64 v = 0;
    while (i < FFormat.size() && FFormat[i] >= u'0' && FFormat[i] <= u'9') {
      v = v * 10 + (FFormat[i++] - u'0');
      if (v > kMaxFieldWidth) Invalid();
    }
    return v;
  }

  // Parses one specifier starting after its "%" and appends the converted field.
  size_t Specifier(size_t i, String& out) {
    std::optional<Int64> n = ReadNumber(i);
    if (n && i < FFormat.size() && FFormat[i] == u':') {
      if (*n < 0 || *n >= static_cast<Int64>(FCount)) Missing();
      FNext = static_cast<size_t>(*n);
      ++i;
      n.reset();
    }
    bool leftJustify = false;
    if (!n) {
      if (i < FFormat.size() && FFormat[i] == u'-') {
        leftJustify = true;
        ++i;
      }
      n = ReadNumber(i);
    }
    Int64 width = n.value_or(0);
    if (width < 0) {  // a negative "*" width left-justifies, as in C
      leftJustify = true;
      width = -width;
    }
    Int64 precision = -1;
    if (i < FFormat.size() && FFormat[i] == u'.') {
      ++i;
      precision = ReadNumber(i).value_or(-1);
      if (precision < 0) precision = -1;  // a negative "*" precision means the default
    }
    if (i >= FFormat.size()) Invalid();
    const Char type = FFormat[i++];
    String field = Convert(type, precision);
    if (width > static_cast<Int64>(field.size())) {
      const size_t pad = static_cast<size_t>(width) - field.size();
      if (leftJustify) field.append(pad, u' ');
      else field.insert(0, pad, u' ');
    }
    out += field;
    return i;
  }

  String Convert(Char type, Int64 precision) {
    const Char t = type >= u'a' && type <= u'z' ? static_cast<Char>(type - 32) : type;
    switch (t) {
      case u'D':
      case u'U':
      case u'X': {
        const TVarRec& a = NextArg();
        if (a.Kind() != TVarRec::TKind::Integer && a.Kind() != TVarRec::TKind::Int64 &&
            a.Kind() != TVarRec::TKind::UInt64)
          Invalid();
        const Int64 v = a.AsInt64();
        String digits;
        bool negative = false;
        if (t == u'X') {
          const UInt64 bits = a.Kind() == TVarRec::TKind::Integer
                                  ? static_cast<UInt64>(static_cast<Cardinal>(v))
                                  : static_cast<UInt64>(v);
          digits = detail::HexDigits(bits, 0);
        } else if (t == u'U' || a.Kind() == TVarRec::TKind::UInt64) {
          digits = UIntToStr(a.Kind() == TVarRec::TKind::Integer ? static_cast<Cardinal>(v)
                                                                 : static_cast<UInt64>(v));
        } else {
          negative = v < 0;
          digits = UIntToStr(negative ? 0 - static_cast<UInt64>(v) : static_cast<UInt64>(v));
        }
        if (precision > static_cast<Int64>(digits.size()))
          digits.insert(0, static_cast<size_t>(precision) - digits.size(), u'0');
        return negative ? u"-" + digits : digits;
      }
      case u'E':
      case u'F':
      case u'G':
      case u'N':
      case u'M': {
        const TVarRec& a = NextArg();
        if (a.Kind() != TVarRec::TKind::Float) Invalid();
        const double v = a.AsFloat();
        const int prec = static_cast<int>(precision < 0 ? -1 : (precision > kMaxPrecision ? kMaxPrecision : precision));
        switch (t) {
          case u'E': return FloatToStrF(v, ffExponent, prec < 0 ? 15 : prec, 3, FSettings);
          case u'F': return FloatToStrF(v, ffFixed, kMaxPrecision, prec < 0 ? 2 : prec, FSettings);
          case u'G': return FloatToStrF(v, ffGeneral, prec < 0 ? 15 : prec, 3, FSettings);
          case u'N': return FloatToStrF(v, ffNumber, kMaxPrecision, prec < 0 ? 2 : prec, FSettings);
          default:
            return FloatToStrF(v, ffCurrency, kMaxPrecision,
                               prec < 0 ? FSettings.CurrencyDecimals : prec, FSettings);
        }
      }
      case u'S': {
        const TVarRec& a = NextArg();
        if (a.Kind() != TVarRec::TKind::String) Invalid();
        StringView s = a.AsString();
        if (precision >= 0 && precision < static_cast<Int64>(s.size())) s = s.substr(0, static_cast<size_t>(precision));
        return String(s);
      }
      case u'P': {
        const TVarRec& a = NextArg();
        if (a.Kind() != TVarRec::TKind::Pointer) Invalid();
        return detail::HexDigits(reinterpret_cast<UInt64>(a.AsPointer()), sizeof(void*) * 2);
      }
      default:
        Invalid();
    }
  }

  StringView FFormat;
  const TVarRec* FArgs;
  size_t FCount;
  size_t FNext = 0;
  const TFormatSettings& FSettings;
};

}  // namespace

String Format(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& fs) {
  return TFormatter(format, args, fs).Run();
}

String Format(StringView format, std::initializer_list<TVarRec> args) {
  return Format(format, args, FormatSettings());
}

}  // namespace vcl
