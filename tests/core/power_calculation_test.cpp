#include "core/power_calculation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/numeric_text.h"
#include "named_rows.h"

namespace kelvaro {

// Readable failures: the message's name or the five texts.
void PrintTo(MessageId id, std::ostream* out) {
    constexpr const char* names[] = {"MsgMissingInput", "MsgBadVoltage", "MsgBadCurrent",
                                     "MsgBadAngle"};
    *out << names[static_cast<int>(id)];
}

void PrintTo(const PowerResult& result, std::ostream* out) {
    *out << "{" << result.powerFactorText << ", " << result.powerText << ", " << result.voltageText
         << ", " << result.currentText << ", " << result.angleText << "}";
}

namespace {

using Msg = MessageId;

struct CalculationRow {
    const char* name;
    PowerInputs inputs;
    PowerOutcome outcome;
};

class CalculatePowerTest : public testing::TestWithParam<CalculationRow> {};

TEST_P(CalculatePowerTest, GivesTheOneOutcomeThatApplies) {
    EXPECT_EQ(CalculatePower(GetParam().inputs), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CalculatePowerTest,
    testing::Values(CalculationRow{"InitialContents",
                                   {"380", "15", "10"},
                                   PowerResult{"0.98", "9722.70", "380", "15", "10"}},
                    CalculationRow{"ThirtyDegrees",
                                   {"220", "10", "30"},
                                   PowerResult{"0.87", "3300.00", "220", "10", "30"}},
                    CalculationRow{"AllLimitsAtOnce",
                                   {"1000000", "10000", "0"},
                                   PowerResult{"1.00", "17320508075.69", "1000000", "10000", "0"}},
                    CalculationRow{"RightAngle",
                                   {"380", "15", "90"},
                                   PowerResult{"0.00", "0.00", "380", "15", "90"}},
                    CalculationRow{"NoAngle",
                                   {"380", "15", "0"},
                                   PowerResult{"1.00", "9872.69", "380", "15", "0"}}),
    RowName{});

// The checks run in order and the first failure decides.
INSTANTIATE_TEST_SUITE_P(
    Messages, CalculatePowerTest,
    testing::Values(
        CalculationRow{"AllEmpty", {"", "", ""}, Msg::MsgMissingInput},
        CalculationRow{"AngleOfSpaces", {"380", "15", "   "}, Msg::MsgMissingInput},
        CalculationRow{"IdeographicSpaceIsBlank", {"380", "\u3000", "10"}, Msg::MsgMissingInput},
        CalculationRow{"BlankAngleWinsOverBadVoltage", {"-1", "15", ""}, Msg::MsgMissingInput},
        CalculationRow{"BlankVoltageWinsOverBadCurrent", {"", "99999", "10"}, Msg::MsgMissingInput},
        CalculationRow{"BadVoltageWinsOverBadCurrent", {"-1", "99999", "10"}, Msg::MsgBadVoltage},
        CalculationRow{"BadCurrentWinsOverBadAngle", {"380", "10000.01", "91"}, Msg::MsgBadCurrent},
        CalculationRow{"VoltageAboveLimit", {"1000000.5", "15", "10"}, Msg::MsgBadVoltage},
        CalculationRow{
            "VoltageOneStepAboveLimit", {"1000000.0000000002", "15", "10"}, Msg::MsgBadVoltage},
        CalculationRow{"NegativeCurrent", {"380", "-1e-300", "10"}, Msg::MsgBadCurrent},
        CalculationRow{"AngleAboveLimit", {"380", "15", "90.001"}, Msg::MsgBadAngle},
        CalculationRow{"NegativeAngle", {"380", "15", "-0.5"}, Msg::MsgBadAngle},
        CalculationRow{"VoltageOverflow", {"1e999", "15", "10"}, Msg::MsgBadVoltage},
        CalculationRow{"NegativeVoltageOverflow", {"-1e999", "15", "10"}, Msg::MsgBadVoltage},
        CalculationRow{"CurrentOverflow", {"380", "1e400", "10"}, Msg::MsgBadCurrent},
        CalculationRow{"AngleOverflow", {"380", "15", "１ｅ３０９"}, Msg::MsgBadAngle}),
    RowName{});

// Powers that come out different in the last digit when the arithmetic keeps
// more than double precision between steps (x87). The first two lie one unit
// in the last place from the other answer; the rest 19 to 32 units away, so
// they do not hang on the last bit of a library's cosine.
INSTANTIATE_TEST_SUITE_P(
    RoundedToDoubleAtEachStep, CalculatePowerTest,
    testing::Values(
        CalculationRow{"LargestLoadAt80Degrees",
                       {"1000000", "10000", "80.184"},
                       PowerResult{"0.17", "2952881109.10", "1000000", "10000", "80.184"}},
        CalculationRow{"MidLoadAt66Degrees",
                       {"496000", "1090", "66.7301"},
                       PowerResult{"0.40", "369943244.84", "496000", "1090", "66.7301"}},
        CalculationRow{"LargestLoadAt86Degrees",
                       {"1000000", "10000", "86.8595"},
                       PowerResult{"0.05", "948897511.96", "1000000", "10000", "86.8595"}},
        CalculationRow{"LargestLoadAt87Degrees",
                       {"1000000", "10000", "87.7399"},
                       PowerResult{"0.04", "683050820.33", "1000000", "10000", "87.7399"}},
        CalculationRow{"LargestLoadAt88Degrees",
                       {"1000000", "10000", "88.89"},
                       PowerResult{"0.02", "335531892.88", "1000000", "10000", "88.89"}},
        CalculationRow{"LargestLoadAt89Degrees",
                       {"1000000", "10000", "89.3907"},
                       PowerResult{"0.01", "184187853.81", "1000000", "10000", "89.3907"}}),
    RowName{});

// Text that is not quite a number is read leniently and rewritten canonically.
INSTANTIATE_TEST_SUITE_P(
    Rewrites, CalculatePowerTest,
    testing::Values(
        CalculationRow{
            "LettersReadAsZero", {"abc", "15", "10"}, PowerResult{"0.98", "0.00", "0", "15", "10"}},
        CalculationRow{"SpacesAndUnit",
                       {" 380V ", "15", "10"},
                       PowerResult{"0.98", "9722.70", "380", "15", "10"}},
        CalculationRow{"TrailingLetters",
                       {"380abc", "15", "10"},
                       PowerResult{"0.98", "9722.70", "380", "15", "10"}},
        CalculationRow{"ExponentAngle",
                       {"380", "15", "1e1"},
                       PowerResult{"0.98", "9722.70", "380", "15", "10"}},
        CalculationRow{"LoneTabIsNotBlank",
                       {"380", "\t", "10"},
                       PowerResult{"0.98", "0.00", "380", "0", "10"}},
        CalculationRow{"FullWidthDigits",
                       {"３８０", "１５", "１０"},
                       PowerResult{"0.98", "9722.70", "380", "15", "10"}},
        CalculationRow{"ChinesePunctuationMode",
                       {"３８０。５", "１５", "１０"},
                       PowerResult{"0.98", "9735.49", "380.5", "15", "10"}},
        CalculationRow{"IdeographicSpacesAround",
                       {"\u3000380\u3000", "15", "10"},
                       PowerResult{"0.98", "9722.70", "380", "15", "10"}},
        CalculationRow{"NegativeZeroAccepted",
                       {"-0", "15", "10"},
                       PowerResult{"0.98", "0.00", "0", "15", "10"}},
        CalculationRow{"UnderflowIsZero",
                       {"380", "15", "1e-999"},
                       PowerResult{"1.00", "9872.69", "380", "15", "0"}},
        CalculationRow{"LimitWithinRounding",
                       {"1000000.00000000001", "10", "60"},
                       PowerResult{"0.50", "8660254.04", "1000000", "10", "60"}},
        CalculationRow{"SixteenDigitsRoundedTo15",
                       {"380", "15", "0.1234567890123456"},
                       PowerResult{"1.00", "9872.67", "380", "15", "0.123456789012346"}}),
    RowName{});

// Texts no user would type still give an ordinary outcome.
struct HostileRow {
    const char* name;
    std::string text;
    PowerOutcome outcome;  // with the text as the voltage, "15" and "10"
};

class HostileTextTest : public testing::TestWithParam<HostileRow> {};

TEST_P(HostileTextTest, GivesAnOrdinaryOutcome) {
    EXPECT_EQ(CalculatePower({GetParam().text, "15", "10"}), GetParam().outcome);
}

const PowerResult kZeroVoltage{"0.98", "0.00", "0", "15", "10"};
const PowerResult kFiveVolts{"0.98", "127.93", "5", "15", "10"};

INSTANTIATE_TEST_SUITE_P(
    CalculatePower, HostileTextTest,
    testing::Values(HostileRow{"LongestBoxOfDigits", std::string(32767, '9'), Msg::MsgBadVoltage},
                    HostileRow{"DigitThenJunk", "5" + std::string(32766, '#'), kFiveVolts},
                    HostileRow{"DigitThenSpaces", "5" + std::string(32766, ' '), kFiveVolts},
                    HostileRow{"MegabyteOfSpaces", std::string(1 << 20, ' '), Msg::MsgMissingInput},
                    HostileRow{"MegabyteOfNul", std::string(1 << 20, '\0'), kZeroVoltage},
                    HostileRow{"EmbeddedNul",
                               std::string("5\0"
                                           "00",
                                           4),
                               kFiveVolts},
                    HostileRow{"InvalidUtf8", "\xc3\x28\xa0\xa1", kZeroVoltage},
                    HostileRow{"LoneContinuationBytes", "\x80\x80\x80", kZeroVoltage}),
    RowName{});

// Random inputs within the limits, typed with at most 15 significant digits.
std::string RandomTypedNumber(std::mt19937_64& random, double limit) {
    std::uniform_real_distribution<double> value(0, limit);
    std::uniform_int_distribution<int> junk(0, 3);
    const std::string suffixes[] = {"", " ", "V", "\u3000"};
    return NumberText(ReadNumber(NumberText(value(random)))) + suffixes[junk(random)];
}

TEST(CalculatePowerProperties, SecondCalculationGivesTheSameResults) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 5000; ++i) {
        const PowerInputs typed{RandomTypedNumber(random, 1000000),
                                RandomTypedNumber(random, 10000), RandomTypedNumber(random, 90)};
        const PowerOutcome outcome = CalculatePower(typed);
        const auto* first = std::get_if<PowerResult>(&outcome);
        ASSERT_NE(first, nullptr) << typed.voltageText << " " << typed.currentText;
        const PowerOutcome second =
            CalculatePower({first->voltageText, first->currentText, first->angleText});
        EXPECT_EQ(second, PowerOutcome(*first));
    }
}

}  // namespace
}  // namespace kelvaro
