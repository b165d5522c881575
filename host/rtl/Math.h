// Numeric helpers of the host run-time: rounding with the processor's default rule (halves to
// the even neighbour), truncation, clamping and fuzzy comparison.
#pragma once
#include <cmath>

#include "host/rtl/System.h"

namespace vcl {

// Nearest integer, halves to even: Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2.
// NaN, infinities and values outside the Int64 range raise EArgumentOutOfRangeException.
Int64 Round(double x);
// Drops the fraction (toward zero); the same range check as Round.
Int64 Trunc(double x);
// The fraction with the sign of x: Frac(-1.25) = -0.25.
double Frac(double x);
double Int(double x);  // x without its fraction, as a double
// Smallest integer >= x / largest integer <= x, as Integer (range-checked) or Int64.
Integer Ceil(double x);
Integer Floor(double x);
Int64 Ceil64(double x);
Int64 Floor64(double x);

// Rounds to a power of ten with halves to even: RoundTo(1234567, 3) = 1235000,
// RoundTo(0.125, -2) = 0.12, RoundTo(0.375, -2) = 0.38. digit in -37..37.
double RoundTo(double value, int digit);
// The same with halves away from zero; the default digit -2 rounds to cents.
double SimpleRoundTo(double value, int digit = -2);

// Equality within epsilon. An epsilon of 0 picks one scaled to the magnitude of the operands
// (1E-12 relative, at least 1E-15).
bool SameValue(double a, double b, double epsilon = 0);
bool IsZero(double a, double epsilon = 0);
inline bool IsNan(double x) { return std::isnan(x); }
inline bool IsInfinite(double x) { return std::isinf(x); }

template <typename T>
constexpr T Min(T a, T b) { return b < a ? b : a; }
template <typename T>
constexpr T Max(T a, T b) { return a < b ? b : a; }
// value limited to min..max (min wins when the range is inverted, as in the classic library).
template <typename T>
constexpr T EnsureRange(T value, T min, T max) {
  T r = value;
  if (r > max) r = max;
  if (r < min) r = min;
  return r;
}
template <typename T>
constexpr bool InRange(T value, T min, T max) { return value >= min && value <= max; }
// -1, 0 or 1.
template <typename T>
constexpr int Sign(T value) { return value < T(0) ? -1 : (T(0) < value ? 1 : 0); }

// base ^ exponent by repeated squaring; negative exponents give the reciprocal.
double IntPower(double base, int exponent);
double Power(double base, double exponent);

// Integer division truncating toward zero with the matching remainder; a zero divisor raises
// EArgumentException, MinInt div -1 EArgumentOutOfRangeException.
void DivMod(Integer dividend, Integer divisor, Integer& result, Integer& remainder);

}  // namespace vcl
