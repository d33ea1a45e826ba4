#include "core/numeric_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "named_rows.h"

namespace kelvaro {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
const std::string kHalfWayAboveOne = "1.00000000000000011102230246251565404236316680908203125";

// Each example in numeric_text.h's comments is a row of these tables.

struct TrimRow {
    const char* name;
    std::string text;
    std::string trimmed;
};

class TrimSpacesTest : public testing::TestWithParam<TrimRow> {};

TEST_P(TrimSpacesTest, RemovesOnlySpacesAtTheEnds) {
    EXPECT_EQ(TrimSpaces(GetParam().text), GetParam().trimmed);
    EXPECT_EQ(IsBlank(GetParam().text), GetParam().trimmed.empty());
}

INSTANTIATE_TEST_SUITE_P(
    TrimSpaces, TrimSpacesTest,
    testing::Values(TrimRow{"Empty", "", ""}, TrimRow{"ThreeSpaces", "   ", ""},
                    TrimRow{"Zero", "0", "0"}, TrimRow{"SpacesAtBothEnds", "  15 ", "15"},
                    TrimRow{"LetterInsideSpaces", " x ", "x"}, TrimRow{"LoneTab", "\t", "\t"},
                    TrimRow{"LineFeed", "\n", "\n"}, TrimRow{"InnerSpaceKept", " 3 8 ", "3 8"},
                    TrimRow{"TabKeptSpaceTrimmed", "\t5 ", "\t5"},
                    TrimRow{"TabInsideSpaces", "  \t 5 \t  ", "\t 5 \t"},
                    TrimRow{"IdeographicSpacesOnly", "\u3000\u3000", ""},
                    TrimRow{"IdeographicSpacesAtBothEnds", "\u3000380\u3000", "380"},
                    TrimRow{"MixedSpaces", " \u3000 15\u3000 ", "15"},
                    TrimRow{"NoBreakSpaceKept", "\u00a05", "\u00a05"},
                    TrimRow{"PartialIdeographicSpaceKept", "5\xe3\x80", "5\xe3\x80"},
                    TrimRow{"NulKept", std::string("\0 ", 2), std::string("\0", 1)}),
    RowName{});

struct ReadRow {
    const char* name;
    std::string text;
    double value;
};

class ReadNumberTest : public testing::TestWithParam<ReadRow> {};

TEST_P(ReadNumberTest, ReadsTheLeadingNumber) {
    const ReadRow& row = GetParam();
    const double value = ReadNumber(row.text);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(std::signbit(value), std::signbit(row.value)) << "sign of zero";
}

INSTANTIATE_TEST_SUITE_P(
    Plain, ReadNumberTest,
    testing::Values(ReadRow{"Integer", "380", 380}, ReadRow{"PlusSign", "+7", 7},
                    ReadRow{"MinusSign", "-5", -5}, ReadRow{"NegativeZero", "-0", -0.0},
                    ReadRow{"Fraction", "0.25", 0.25}, ReadRow{"PointFirst", ".5", 0.5},
                    ReadRow{"PointLast", "5.", 5}, ReadRow{"UpperExponent", "2E-1", 0.2},
                    ReadRow{"LowerExponent", "1e3", 1000}, ReadRow{"PlusExponent", "1.5e+2", 150},
                    ReadRow{"PointThenExponent", "5.e1", 50}, ReadRow{"LeadingZeros", "007", 7}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    StopsAtJunk, ReadNumberTest,
    testing::Values(ReadRow{"TrailingUnit", "380V", 380}, ReadRow{"SecondPoint", "1.2.3", 1.2},
                    ReadRow{"Comma", "1,5", 1}, ReadRow{"ExponentWithoutDigits", "1e", 1},
                    ReadRow{"ExponentSignWithoutDigits", "1e+", 1},
                    ReadRow{"ExponentLetterTwice", "1ee2", 1}, ReadRow{"InnerSpace", "3 8", 3},
                    ReadRow{"TrailingSpaces", "15  ", 15}, ReadRow{"HexPrefixNotRead", "&H10", 0},
                    ReadRow{"DExponentNotRead", "1d2", 1}, ReadRow{"SignTwice", "--5", 0},
                    ReadRow{"Letters", "abc", 0}, ReadRow{"Empty", "", 0},
                    ReadRow{"SignAlone", "-", 0}, ReadRow{"PointAlone", ".", 0},
                    ReadRow{"PointThenExponent", ".e1", 0},
                    ReadRow{"Nul",
                            std::string("12\0"
                                        "3",
                                        4),
                            12},
                    ReadRow{"InvalidUtf8", "7\xff\xfe", 7},
                    ReadRow{"TruncatedFullWidth", "7\xef\xbc", 7},
                    ReadRow{"InfinityWord", "inf", 0}, ReadRow{"NanWord", "nan", 0}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(Blanks, ReadNumberTest,
                         testing::Values(ReadRow{"Spaces", "  15", 15}, ReadRow{"Tab", "\t15", 15},
                                         ReadRow{"LineFeed", "\n15", 15},
                                         ReadRow{"IdeographicSpace", "\u300015", 15},
                                         ReadRow{"CarriageReturnStops", "\r15", 0},
                                         ReadRow{"BlankAfterSign", "- 5", 0}),
                         RowName{});

// The forms a Chinese input method types in full-width mode read as ASCII;
// look-alikes that are not these forms stay non-numeric.
INSTANTIATE_TEST_SUITE_P(
    FullWidth, ReadNumberTest,
    testing::Values(ReadRow{"Digits", "３８０", 380}, ReadRow{"PointAndSign", "－０．５", -0.5},
                    ReadRow{"PlusSign", "＋７", 7}, ReadRow{"UpperExponent", "１Ｅ３", 1000},
                    ReadRow{"LowerExponent", "２ｅ－１", 0.2},
                    ReadRow{"MixedWithAscii", "3８.５", 38.5},
                    ReadRow{"IdeographicFullStop", "１。５", 1.5},
                    ReadRow{"SecondIdeographicFullStop", "1。2。3", 1.2},
                    ReadRow{"IdeographicFullStopThenPoint", "1。2.3", 1.2},
                    ReadRow{"OtherIdeographicPunctuation", "1、5", 1},
                    ReadRow{"MathMinus", "\u22125", 0}, ReadRow{"ArabicIndicDigit", "\u0665", 0},
                    ReadRow{"FullWidthComma", "１，５", 1}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    Range, ReadNumberTest,
    testing::Values(ReadRow{"Overflow", "1e999", kInfinity},
                    ReadRow{"NegativeOverflow", "-1e999", -kInfinity},
                    ReadRow{"HugeExponent", "1e99999999999999999999", kInfinity},
                    ReadRow{"JustAboveMax", "1.8e308", kInfinity},
                    ReadRow{"Max", "1.7976931348623157e308", DBL_MAX},
                    ReadRow{"Underflow", "1e-999", 0},
                    ReadRow{"NegativeUnderflow", "-1e-999", -0.0},
                    ReadRow{"Subnormal", "4.9406564584124654e-324", 4.9406564584124654e-324},
                    ReadRow{"ZeroWithHugeExponent", "0e99999", 0},
                    ReadRow{"ManyZerosThenOverflow", "0.0000001e315", 1e308},
                    ReadRow{"DigitsCarryTheExponent", "1" + std::string(400, '0'), kInfinity},
                    ReadRow{"ZerosCarryTheExponent", "0." + std::string(400, '0') + "1", 0},
                    // 1 + 2^-53 lies half-way between 1 and the next double.
                    ReadRow{"TieRoundsToEven", kHalfWayAboveOne, 1.0},
                    ReadRow{"LastOfManyDigitsBreaksTheTie",
                            kHalfWayAboveOne + std::string(900, '0') + "1", 1.0000000000000002}),
    RowName{});

TEST(ReadNumber, LongTextsReadOnlyTheirNumber) {
    const std::string digits(32767, '7');
    EXPECT_EQ(ReadNumber(digits), kInfinity);
    EXPECT_EQ(ReadNumber("0." + digits), 0.7777777777777778);
    EXPECT_EQ(ReadNumber("5" + std::string(1 << 20, 'x')), 5);
    EXPECT_EQ(ReadNumber(std::string(1 << 20, ' ') + "5"), 5);
    EXPECT_EQ(ReadNumber(std::string(1 << 20, '\0')), 0);
}

struct NumberTextRow {
    const char* name;
    double value;
    std::string text;
};

class NumberTextTest : public testing::TestWithParam<NumberTextRow> {};

TEST_P(NumberTextTest, WritesTheCanonicalText) {
    EXPECT_EQ(NumberText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    NumberText, NumberTextTest,
    testing::Values(NumberTextRow{"Zero", 0, "0"}, NumberTextRow{"NegativeZero", -0.0, "0"},
                    NumberTextRow{"Integer", 380, "380"},
                    NumberTextRow{"NoTrailingZeros", 0.5, "0.5"},
                    NumberTextRow{"OneLeadingZero", 0.25, "0.25"},
                    NumberTextRow{"Negative", -2.25, "-2.25"},
                    NumberTextRow{"NegativeWhole", -380, "-380"},
                    NumberTextRow{"FifteenDigits", 0.1 + 0.2, "0.3"},
                    NumberTextRow{"Third", 1.0 / 3, "0.333333333333333"},
                    NumberTextRow{"SmallestFixed", 1e-4, "0.0001"},
                    NumberTextRow{"SmallWithExponent", 0.00001, "1e-05"},
                    NumberTextRow{"LargestExponentBelow", 9.99999e-5, "9.99999e-05"},
                    NumberTextRow{"LargestFixed", 999999999999999, "999999999999999"},
                    NumberTextRow{"RoundsUpToExponent", 999999999999999.9, "1e+15"},
                    NumberTextRow{"FirstExponentAbove", 1e15, "1e+15"},
                    NumberTextRow{"VoltageLimit", 1000000, "1000000"},
                    NumberTextRow{"AboveVoltageLimit", 1000000.5, "1000000.5"},
                    NumberTextRow{"SixteenDigitsRounded", 1234567.891234567, "1234567.89123457"},
                    NumberTextRow{"LargeWithExponent", 1.5e20, "1.5e+20"},
                    NumberTextRow{"Huge", DBL_MAX, "1.79769313486232e+308"},
                    NumberTextRow{"Tiny", 5e-324, "4.94065645841247e-324"}),
    RowName{});

struct FixedTwoRow {
    const char* name;
    double value;
    std::string text;
};

class FixedTwoTest : public testing::TestWithParam<FixedTwoRow> {};

TEST_P(FixedTwoTest, WritesTwoDecimals) {
    EXPECT_EQ(FixedTwo(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    FixedTwo, FixedTwoTest,
    testing::Values(FixedTwoRow{"Zero", 0, "0.00"}, FixedTwoRow{"NegativeZero", -0.0, "0.00"},
                    FixedTwoRow{"PowerFactor", 0.9848077530122081, "0.98"},
                    FixedTwoRow{"One", 1, "1.00"}, FixedTwoRow{"Tiny", 1.6155e-15, "0.00"},
                    FixedTwoRow{"Power", 9722.701264257854, "9722.70"},
                    FixedTwoRow{"JustAboveWhole", 3300.0000000000005, "3300.00"},
                    FixedTwoRow{"LargestPower", 17320508075.688774, "17320508075.69"},
                    FixedTwoRow{"BinaryTie", 0.125, "0.13"},
                    FixedTwoRow{"NegativeBinaryTie", -0.125, "-0.13"},
                    FixedTwoRow{"DecimalTieBelowInBinary", 1.005, "1.01"},
                    FixedTwoRow{"DecimalTieBelowInBinaryAgain", 2.675, "2.68"},
                    FixedTwoRow{"JustBelowTie", 1.00499999999, "1.00"},
                    FixedTwoRow{"CarryIntoNewDigit", 99.995, "100.00"},
                    FixedTwoRow{"HalfHundredth", 0.005, "0.01"},
                    FixedTwoRow{"BelowHalfHundredth", 0.0049, "0.00"},
                    FixedTwoRow{"NegativeRoundsToZero", -0.004, "0.00"},
                    FixedTwoRow{"NegativeHalfHundredth", -0.005, "-0.01"},
                    FixedTwoRow{"Negative", -9722.701264257854, "-9722.70"},
                    FixedTwoRow{"NoExponent", 1.5e20, "150000000000000000000.00"},
                    FixedTwoRow{"NoGrouping", 1234567.891, "1234567.89"}),
    RowName{});

TEST(FixedTwo, HugestValueHasNoExponent) {
    EXPECT_EQ(FixedTwo(DBL_MAX), "179769313486232" + std::string(294, '0') + ".00");
}

// Texts of at most 15 significant digits, with random exponents and signs.
std::string RandomDecimalText(std::mt19937_64& random) {
    std::uniform_int_distribution<int> digitCount(1, 15), digit(0, 9), exponent(-300, 290);
    std::string text = random() % 2 ? "-" : "";
    const int count = digitCount(random);
    text.push_back(static_cast<char>('1' + digit(random) % 9));
    for (int i = 1; i < count; ++i) {
        text.push_back(static_cast<char>('0' + digit(random)));
    }
    std::array<char, 8> exponentText{};
    const auto written = std::to_chars(exponentText.begin(), exponentText.end(), exponent(random));
    return text + "e" + std::string(exponentText.begin(), written.ptr);
}

TEST(NumericTextProperties, CanonicalTextReadsBackToTheSameValue) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 20000; ++i) {
        const std::string typed = RandomDecimalText(random);
        const double value = ReadNumber(typed);
        EXPECT_EQ(ReadNumber(NumberText(value)), value) << typed << " -> " << NumberText(value);
    }
}

TEST(NumericTextProperties, SpacesAroundATextChangeNothing) {
    std::mt19937_64 random(7);
    const std::string spaces[] = {"", " ", "   ", "\u3000", " \u3000 "};
    for (int i = 0; i < 2000; ++i) {
        const std::string typed = RandomDecimalText(random) + (i % 3 == 0 ? "V" : "");
        const double value = ReadNumber(typed);
        for (const std::string& before : spaces) {
            for (const std::string& after : spaces) {
                const std::string padded = before + typed + after;
                EXPECT_EQ(ReadNumber(padded), value) << '"' << padded << '"';
                EXPECT_EQ(ReadNumber(TrimSpaces(padded)), value) << '"' << padded << '"';
            }
        }
    }
}

}  // namespace
}  // namespace kelvaro
