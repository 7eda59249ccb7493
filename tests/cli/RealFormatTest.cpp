// Reals are written as %.17g writes them, through a fast path: checked against the general
// conversion on random doubles of every magnitude, on the figures a water's record holds, and on
// values whose 18th digit is an exact 5 (ties, which the general conversion rounds to even).

#include "RecordWriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace {

std::string Fast(double value) {
    char digits[kRealWidth];
    return std::string(digits, FormatReal(digits, value));
}

std::string General(double value) {
    if (value == 0) return "0";
    char digits[kRealWidth];
    return std::string(digits, FormatRealByConversion(digits, value));
}

void ExpectSame(double value) {
    ASSERT_EQ(Fast(value), General(value)) << std::hexfloat << value;
}

TEST(CalcRealFormat, RandomBitsOfEveryMagnitudeAreWrittenAsTheGeneralConversionWritesThem) {
    std::mt19937_64 random(20240917);
    for (int i = 0; i < 2000000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (std::isfinite(value)) ExpectSame(value);
    }
}

TEST(CalcRealFormat, FiguresOfAWaterAreWrittenAsTheGeneralConversionWritesThem) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 1000000; ++i) {
        const double scale = std::pow(10.0, static_cast<int>(unit(random) * 24) - 12);
        ExpectSame(unit(random) * scale);
        ExpectSame(-unit(random) * scale);
        // Short decimals as a laboratory writes them (6.65, 12.1): 17 digits show their binary value.
        ExpectSame(std::round(unit(random) * 100000) / 100.0);
    }
}

TEST(CalcRealFormat, TiesAndChangesOfExponentGoTheGeneralConversionsWay) {
    // m/8 near 1e15 has 18 significant digits ending in 5: an exact tie at the 17th.
    for (std::int64_t m = 4503599627370496; m < 4503599627370496 + 200000; ++m)
        ExpectSame(static_cast<double>(m) / 8);
    for (int e = -320; e <= 308; ++e) {
        const double power = std::pow(10.0, e);
        for (const double value : {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)})
            if (std::isfinite(value) && value != 0) ExpectSame(value);
    }
    for (const double value : {0.1, 0.5, 1.5, 1e-5, 1.0000000000000002, 0.99999999999999989, 123456.789,
                               1e15 + 0.5, 9.9999999999999995e16, 1e17, 5e-324, 1.7976931348623157e308})
        ExpectSame(value);
}

} // namespace
