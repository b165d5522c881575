#include "host/rtl/Math.h"

#include <cstdio>
#include <limits>

#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

// 2^63 is exactly representable; every double below it converts to Int64 without overflow.
constexpr double kInt64Limit = 9223372036854775808.0;

Int64 CheckedInt64(double r, const char* what, double original) {
  if (std::isnan(r) || r >= kInt64Limit || r < -kInt64Limit) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s: %g is outside the Int64 range", what, original);
    throw EArgumentOutOfRangeException(buf);
  }
  return static_cast<Int64>(r);
}

Integer CheckedInteger(Int64 v, const char* what, double original) {
  if (v > std::numeric_limits<Integer>::max() || v < std::numeric_limits<Integer>::min()) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s: %g is outside the Integer range", what, original);
    throw EArgumentOutOfRangeException(buf);
  }
  return static_cast<Integer>(v);
}

// Halves to even regardless of the thread's current rounding mode.
double RoundEven(double x) {
  const double r = std::floor(x);
  const double diff = x - r;  // exact for |x| < 2^52; above that x is already integral
  if (diff > 0.5) return r + 1;
  if (diff < 0.5) return r;
  return std::fmod(r, 2.0) == 0 ? r : r + 1;
}

}  // namespace

Int64 Round(double x) { return CheckedInt64(RoundEven(x), "Round", x); }

Int64 Trunc(double x) { return CheckedInt64(std::trunc(x), "Trunc", x); }

double Frac(double x) { return x - std::trunc(x); }

double Int(double x) { return std::trunc(x); }

Int64 Ceil64(double x) { return CheckedInt64(std::ceil(x), "Ceil", x); }
Int64 Floor64(double x) { return CheckedInt64(std::floor(x), "Floor", x); }
Integer Ceil(double x) { return CheckedInteger(Ceil64(x), "Ceil", x); }
Integer Floor(double x) { return CheckedInteger(Floor64(x), "Floor", x); }

double IntPower(double base, int exponent) {
  long long e = exponent;
  const bool negative = e < 0;
  if (negative) e = -e;
  double result = 1, b = base;
  while (e > 0) {
    if (e & 1) result *= b;
    b *= b;
    e >>= 1;
  }
  return negative ? 1 / result : result;
}

double Power(double base, double exponent) {
  if (exponent == 0) return 1;
  if (exponent == std::trunc(exponent) && std::fabs(exponent) <= std::numeric_limits<int>::max())
    return IntPower(base, static_cast<int>(exponent));
  return std::pow(base, exponent);
}

double RoundTo(double value, int digit) {
  if (digit < -37 || digit > 37)
    throw EArgumentOutOfRangeException("RoundTo: digit " + std::to_string(digit) +
                                       " outside -37..37");
  if (!std::isfinite(value)) return value;
  // Scale by an exact power of ten (exact up to 10^22) so that halves stay halves.
  if (digit < 0) {
    const double scale = IntPower(10, -digit);
    return RoundEven(value * scale) / scale;
  }
  const double factor = IntPower(10, digit);
  return RoundEven(value / factor) * factor;
}

double SimpleRoundTo(double value, int digit) {
  if (digit < -37 || digit > 37)
    throw EArgumentOutOfRangeException("SimpleRoundTo: digit " + std::to_string(digit) +
                                       " outside -37..37");
  if (!std::isfinite(value)) return value;
  auto half = [](double v) {
    const double r = std::trunc(v), diff = std::fabs(v - r);
    return diff >= 0.5 ? r + (v < 0 ? -1 : 1) : r;
  };
  if (digit < 0) {
    const double scale = IntPower(10, -digit);
    return half(value * scale) / scale;
  }
  const double factor = IntPower(10, digit);
  return half(value / factor) * factor;
}

bool SameValue(double a, double b, double epsilon) {
  if (epsilon == 0) {
    const double smaller = Min(std::fabs(a), std::fabs(b));
    epsilon = Max(smaller * 1E-12, 1E-15);
  }
  if (a > b) return a - b <= epsilon;
  return b - a <= epsilon;
}

bool IsZero(double a, double epsilon) {
  if (epsilon == 0) epsilon = 1E-12;
  return std::fabs(a) <= epsilon;
}

void DivMod(Integer dividend, Integer divisor, Integer& result, Integer& remainder) {
  if (divisor == 0) throw EArgumentException("DivMod: division of " + std::to_string(dividend) + " by zero");
  if (dividend == std::numeric_limits<Integer>::min() && divisor == -1)
    throw EArgumentOutOfRangeException("DivMod: " + std::to_string(dividend) +
                                       " div -1 overflows Integer");
  result = dividend / divisor;
  remainder = dividend % divisor;
}

}  // namespace vcl
