// The number form of a .clv file: 15 significant digits, fixed notation for decimal exponents -3..15.
#include "CalvaroUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct TNumberRow {
    const char* Name;
    double Value;
    const char* Text;
};

const TNumberRow kNumberRows[] = {
    {"Zero", 0.0, "0"},
    {"NegativeZero", -0.0, "0"},
    {"PhSevenAndAHalf", 7.5, "7.5"},
    {"SmallestFixed", 0.0001, "0.0001"},
    {"FiveHundredthsOfAPromille", 0.0005, "0.0005"},
    {"FirstScientific", 0.00005, "5E-5"},
    {"SmallWithThreeDigits", 0.000123, "0.000123"},
    {"NegativeSmall", -0.00012345, "-0.00012345"},
    {"OneThird", 1.0 / 3.0, "0.333333333333333"},
    {"TwoThirdsRoundsUp", 2.0 / 3.0, "0.666666666666667"},
    {"NegativeAcidity", -950.0, "-950"},
    {"DayCount", 41556.0, "41556"},
    {"Conductivity", 45.5, "45.5"},
    {"NearestDoubleOf063", 0.63, "0.63"},
    {"SumShowsNoBinaryNoise", 0.1 + 0.2, "0.3"},
    {"LongFractionRounded", 12345.678901234567, "12345.6789012346"},
    {"LargestFixed", 999999999999999.0, "999999999999999"},
    {"TenToTheFourteen", 1e14, "100000000000000"},
    {"TenToTheFifteen", 1e15, "1E15"},
    {"RoundsUpToTenToTheFifteen", 999999999999999.9, "1E15"},
    {"LargeScientific", 123456789012345678.0, "1.23456789012346E17"},
    {"NegativeLargeScientific", -2.5e20, "-2.5E20"},
    {"TenToTheMinusFive", 1e-5, "1E-5"},
    {"SmallScientificWithFraction", 1.5e-7, "1.5E-7"},
    {"HugeExponent", 1e100, "1E100"},
    // The nearest 15 digits of the largest doubles, 1.79769313486232E308, lie beyond the largest
    // double and would not read back; those are cut toward zero instead.
    {"LargestDoubleIsCutTowardZero", std::numeric_limits<double>::max(), "1.79769313486231E308"},
    {"NegativeLargestDoubleIsCutTowardZero", -std::numeric_limits<double>::max(), "-1.79769313486231E308"},
    {"JustBelowHalfWayRoundsDownToNearest", 1.7976931348623149e308, "1.79769313486231E308"},
    {"JustAboveHalfWayIsCutTowardZero", 1.7976931348623151e308, "1.79769313486231E308"},
    {"NearTheTopRoundsUpWhereThatFits", 1.7976931348622996e308, "1.7976931348623E308"},
    {"SmallestNormal", std::numeric_limits<double>::min(), "2.2250738585072E-308"},
    {"SmallestSubnormal", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    {"NegativeSmallestSubnormal", -std::numeric_limits<double>::denorm_min(), "-4.94065645841247E-324"},
};

class NumberForm : public ::testing::TestWithParam<TNumberRow> {};

TEST_P(NumberForm, WritesFifteenSignificantDigitsInTheFileForm) {
    const auto& row = GetParam();
    EXPECT_EQ(FormatFileNumber(row.Value), row.Text);
}

INSTANTIATE_TEST_SUITE_P(Table, NumberForm, ::testing::ValuesIn(kNumberRows),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(NumberForm, NonFiniteValuesHaveANameButNoFileForm) {
    EXPECT_EQ(FormatFileNumber(std::nan("")), "NAN");
    EXPECT_EQ(FormatFileNumber(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFileNumber(-std::numeric_limits<double>::infinity()), "-INF");
}

} // namespace
