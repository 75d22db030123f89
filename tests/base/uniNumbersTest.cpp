// Strict integer, float and Boolean text; the coordinate format.
#include "base/uniNumbers.h"

#include <charconv>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/uniBytes.h"

using namespace tolvane::base;

TEST(StrToInt, StrictIntegerText)
{
    struct TCase
    {
        std::string text;
        std::optional<std::int32_t> value;
    };
    const TCase cases[] = {
        {"0", 0},
        {"42", 42},
        {"  42", 42},
        {"\t-7", -7},
        {"+5", 5},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X10", 16},
        {"-$10", -16},
        {"-0x10", -16},
        {"$FFFFFFFF", -1},
        {"999999999", 999999999},
        {"-999999999", -999999999},
        {"000000012", 12},
        {"0000000001", 1},
        {"-0", 0},
        {"1234567890", 1234567890},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"5 ", std::nullopt},
        {"1.0", std::nullopt},
        {"12a", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"$-1", std::nullopt},
        {"*", std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        EXPECT_EQ(TryStrToInt(c.text), c.value);
        EXPECT_EQ(StrToIntDef(c.text, -99), c.value.value_or(-99));
        if (c.value) {
            EXPECT_EQ(StrToInt(c.text), *c.value);
        } else {
            EXPECT_THROW(StrToInt(c.text), TDataError);
        }
    }
}

TEST(StrToInt, MessageQuotesTheText)
{
    try {
        StrToInt("12a");
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'12a' は整数ではありません");
    }
    try {
        StrToInt("");
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'' は整数ではありません");
    }
}

TEST(StrToFloat, DecimalTextWithFullStop)
{
    EXPECT_EQ(StrToFloat("502200.5"), 502200.5);
    EXPECT_EQ(StrToFloat(" 5022000 "), 5022000.0);
    EXPECT_EQ(StrToFloat("-0.25"), -0.25);
    EXPECT_EQ(StrToFloat("+1e3"), 1000.0);
    EXPECT_EQ(StrToFloat(".5"), 0.5);
    EXPECT_EQ(StrToFloat("5."), 5.0);
    EXPECT_EQ(StrToFloat("05"), 5.0);
    for (const char* bad : {"", "  ", "1,5", "A9", "53A9", "inf", "nan", "-inf", "1e999", "1 2",
                            "--1", "0x10", "1.2.3"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(TryStrToFloat(bad).has_value());
    }
    try {
        StrToFloat("A9");
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'A9' は浮動小数点数ではありません");
    }
}

TEST(StrToBool, NumbersAndWords)
{
    for (const char* yes : {"1", "-1", "2", "0.5", "true", "TRUE", "True", "tRuE"}) {
        SCOPED_TRACE(yes);
        EXPECT_TRUE(StrToBool(yes));
        EXPECT_TRUE(StrToBoolDef(yes, false));
    }
    for (const char* no : {"0", "0.0", "false", "FALSE", "False"}) {
        SCOPED_TRACE(no);
        EXPECT_FALSE(StrToBool(no));
        EXPECT_FALSE(StrToBoolDef(no, true));
    }
    for (const char* other : {"", "no", "yes", " true", "T"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(TryStrToBool(other).has_value());
        EXPECT_TRUE(StrToBoolDef(other, true));
        EXPECT_FALSE(StrToBoolDef(other, false));
    }
    try {
        StrToBool("no");
        FAIL() << "no error";
    } catch (const TDataError& e) {
        EXPECT_EQ(e.Text(), "'no' は正しい論理型ではありません");
    }
}

TEST(FormatCoord, FixedEightDecimals)
{
    EXPECT_EQ(FormatCoordString(139.5), "139.50000000");
    EXPECT_EQ(FormatCoordString(-0.25), "-0.25000000");
    EXPECT_EQ(FormatCoordString(135), "135.00000000");
    EXPECT_EQ(FormatCoordString(35.5), "35.50000000");
    EXPECT_EQ(FormatCoordString(139.123456789), "139.12345679");
    EXPECT_EQ(FormatCoordString(0.0), "0.00000000");
    EXPECT_EQ(FormatCoordString(35.0 + 2.0 / 3.0), "35.66666667");
    EXPECT_EQ(FormatCoordString(1e-9), "0.00000000");
    EXPECT_EQ(FormatCoordString(6e-9), "0.00000001");
    EXPECT_EQ(FormatCoordString(123456789.0), "123456789.00000000");
    EXPECT_EQ(FormatCoordString(1e20), "100000000000000000000.00000000");
    EXPECT_EQ(FormatCoordString(std::ldexp(1.0, -9)), "0.00195312"); // an exact tie goes to even
    EXPECT_EQ(FormatCoordString(3 * std::ldexp(1.0, -9)), "0.00585938");
}

TEST(FormatCoord, NoMinusSignOnZero)
{
    EXPECT_EQ(FormatCoordString(-0.0), "0.00000000");
    EXPECT_EQ(FormatCoordString(-1e-12), "0.00000000");
    EXPECT_EQ(FormatCoordString(-4e-9), "0.00000000");
    EXPECT_EQ(FormatCoordString(-6e-9), "-0.00000001");
    EXPECT_EQ(FormatCoordString(-1e20), "-100000000000000000000.00000000");
}

TEST(FormatCoord, AgreesWithCorrectlyRoundedConversion)
{
    // The fast integer path must round exactly as a correctly rounded decimal conversion does.
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> degrees(-200.0, 200.0);
    std::uniform_int_distribution<std::int64_t> tenths(0, 6480000);
    auto reference = [](double v) {
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 8);
        std::string s(buffer, result.ptr);
        if (s == "-0.00000000") {
            s = "0.00000000";
        }
        return s;
    };
    for (int i = 0; i < 200000; ++i) {
        const double a = degrees(random);
        ASSERT_EQ(FormatCoordString(a), reference(a)) << a;
        // Real coordinates: tenths of an arc-second divided as the converters do.
        const double b = static_cast<double>(tenths(random)) / 10 / 60 / 60;
        ASSERT_EQ(FormatCoordString(b), reference(b)) << b;
        // Values right next to a rounding boundary.
        const double c = std::nextafter(std::round(a * 1e8) / 1e8 + 5e-9, 0.0);
        ASSERT_EQ(FormatCoordString(c), reference(c)) << c;
    }
}

TEST(FormatCoord, AgreesAcrossMagnitudesAndRightAtTies)
{
    auto reference = [](double v) {
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 8);
        std::string s(buffer, result.ptr);
        if (s == "-0.00000000") {
            s = "0.00000000";
        }
        return s;
    };
    auto check = [&](double v) {
        ASSERT_EQ(FormatCoordString(v), reference(v)) << std::hexfloat << v;
        ASSERT_EQ(FormatCoordString(-v), reference(-v)) << std::hexfloat << -v;
        for (const double next : {std::nextafter(v, 0.0), std::nextafter(v, 1e300)}) {
            ASSERT_EQ(FormatCoordString(next), reference(next)) << std::hexfloat << next;
        }
    };
    std::mt19937_64 random(42);
    // Every magnitude from far below the last decimal to far above the integer path's limit.
    std::uniform_real_distribution<double> exponent(-12.0, 10.0);
    for (int i = 0; i < 100000; ++i) {
        check(std::pow(10.0, exponent(random)));
    }
    // Exact ties: odd multiples of 2^-9 have a decimal five in the ninth place, with integer
    // parts of every length.
    std::uniform_int_distribution<std::int64_t> odd(0, (std::int64_t{1} << 35) - 1);
    for (int i = 0; i < 50000; ++i) {
        check(std::ldexp(static_cast<double>(2 * (odd(random) >> (i % 30)) + 1), -9));
    }
    // Halfway points of the eighth decimal, as near as a double gets, where the rounding of the
    // product alone could decide wrongly.
    std::uniform_int_distribution<std::int64_t> units(0, 9'000'000'000'000'000);
    for (int i = 0; i < 50000; ++i) {
        const auto n = static_cast<double>(units(random) >> (i % 40));
        check((n + 0.5) / 1e8);
    }
    // The limit of the integer path and the largest values.
    for (const double v : {9.0e7, 8.9999999999999985e7, 9.0e7 + 0.5e-8, 1.7976931348623157e308,
                           4.9406564584124654e-324, 2.2250738585072014e-308}) {
        check(v);
    }
}

TEST(UpperAscii, LeavesDoubleByteCharactersAlone)
{
    EXPECT_EQ(UpperAscii("m3_10"), "M3_10");
    // 0x83 0x61 is a katakana whose trail byte looks like 'a'.
    EXPECT_EQ(UpperAscii("\x83\x61x"), "\x83\x61X");
    EXPECT_EQ(LowerAscii("TolVANE"), "tolvane");
}
