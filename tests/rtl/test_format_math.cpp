// Rounding, truncation and comparison helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/rtl/Math.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

TEST(MathRound, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  // The largest doubles with a half: spacing there is 0.5, so x + 0.5 tricks fail.
  EXPECT_EQ(Round(4503599627370495.5), 4503599627370496);
  EXPECT_EQ(Round(4503599627370494.5), 4503599627370494);
}

TEST(MathRound, ValuesNearAHalfGoToTheNearerSide) {
  EXPECT_EQ(Round(0.49999999999999994), 0);  // floor(x + 0.5) would give 1
  EXPECT_EQ(Round(2.4999999), 2);
  EXPECT_EQ(Round(2.5000001), 3);
  EXPECT_EQ(Round(-2.5000001), -3);
  EXPECT_EQ(Round(-2.4999999), -2);
  EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<Int64>::min());
}

TEST(MathRound, OutOfRangeRaises) {
  EXPECT_THROW(Round(9223372036854775808.0), EArgumentOutOfRangeException);
  EXPECT_THROW(Round(std::nan("")), EArgumentOutOfRangeException);
  EXPECT_THROW(Trunc(-1e300), EArgumentOutOfRangeException);
  EXPECT_THROW(Ceil(3e9), EArgumentOutOfRangeException);
  EXPECT_THROW(Floor(-3e9), EArgumentOutOfRangeException);
  EXPECT_EQ(Ceil64(3e9), 3000000000);
  try {
    Round(std::numeric_limits<double>::infinity());
    FAIL();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("inf"), std::string::npos) << e.what();
  }
}

TEST(MathRound, TruncFracCeilFloor) {
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
  EXPECT_DOUBLE_EQ(Int(-3.75), -3.0);
  EXPECT_EQ(Ceil(-0.5), 0);
  EXPECT_EQ(Ceil(1.0000001), 2);
  EXPECT_EQ(Ceil(2.0), 2);
  EXPECT_EQ(Floor(-0.5), -1);
  EXPECT_EQ(Floor(2.9999), 2);
}

TEST(MathRoundTo, PowersOfTenWithEvenHalves) {
  EXPECT_DOUBLE_EQ(RoundTo(1234567, 3), 1235000);
  EXPECT_DOUBLE_EQ(RoundTo(2500, 3), 2000);
  EXPECT_DOUBLE_EQ(RoundTo(3500, 3), 4000);
  EXPECT_DOUBLE_EQ(RoundTo(0.125, -2), 0.12);
  EXPECT_DOUBLE_EQ(RoundTo(0.375, -2), 0.38);
  EXPECT_DOUBLE_EQ(RoundTo(-0.125, -2), -0.12);
  EXPECT_DOUBLE_EQ(RoundTo(1.23456, -3), 1.235);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(0.125), 0.13);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(-0.125), -0.13);
  EXPECT_DOUBLE_EQ(SimpleRoundTo(2500, 3), 3000);
  EXPECT_THROW(RoundTo(1, 38), EArgumentOutOfRangeException);
  EXPECT_TRUE(std::isnan(RoundTo(std::nan(""), -2)));
}

TEST(MathCompare, SameValueScalesItsTolerance) {
  EXPECT_TRUE(SameValue(0.1 + 0.2, 0.3));
  EXPECT_TRUE(SameValue(1e20, 1e20 + 1e6));  // relative, not absolute
  EXPECT_FALSE(SameValue(1.0, 1.0001));
  EXPECT_TRUE(SameValue(1.0, 1.0001, 0.001));
  EXPECT_FALSE(SameValue(0.0, 1e-10));
  EXPECT_TRUE(IsZero(1e-13));
  EXPECT_FALSE(IsZero(1e-6));
  EXPECT_TRUE(IsNan(std::nan("")));
  EXPECT_TRUE(IsInfinite(-std::numeric_limits<double>::infinity()));
}

TEST(MathCompare, ClampingAndSigns) {
  EXPECT_EQ(EnsureRange(5, 1, 3), 3);
  EXPECT_EQ(EnsureRange(0, 1, 3), 1);
  EXPECT_EQ(EnsureRange(5, 10, 1), 10);  // inverted range: the minimum wins
  EXPECT_EQ(Min(-2, 3), -2);
  EXPECT_DOUBLE_EQ(Max(1.5, -7.0), 1.5);
  EXPECT_TRUE(InRange(3, 3, 4));
  EXPECT_FALSE(InRange(5, 3, 4));
  EXPECT_EQ(Sign(-0.1), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_DOUBLE_EQ(IntPower(2, -2), 0.25);
  EXPECT_DOUBLE_EQ(IntPower(10, 22), 1e22);
  EXPECT_DOUBLE_EQ(Power(2, 0.5), std::sqrt(2.0));
  Integer q, r;
  DivMod(-7, 2, q, r);
  EXPECT_EQ(q, -3);
  EXPECT_EQ(r, -1);
  EXPECT_THROW(DivMod(1, 0, q, r), EArgumentException);
  EXPECT_THROW(DivMod(std::numeric_limits<Integer>::min(), -1, q, r), EArgumentOutOfRangeException);
}
