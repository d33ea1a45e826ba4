// The conversions must not follow the C locale: the window toolkit sets it from
// the environment, and a comma-decimal locale would otherwise turn "0.5" into 0
// and "0.98" into "0,98".
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/numeric_text.h"
#include "core/power_calculation.h"

namespace kelvaro {
namespace {

class CommaLocale : public testing::Test {
  protected:
    void SetUp() override {
        // On Linux LOCPATH points at the locale built for the tests; failing to
        // load it is a failure, never a skip.
        const char* loaded = nullptr;
        for (const char* name : {"de_DE.UTF-8", "German_Germany.1252"}) {
            loaded = loaded != nullptr ? loaded : std::setlocale(LC_ALL, name);
        }
        ASSERT_NE(loaded, nullptr);
        ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CommaLocale, ReadingUsesTheFullStop) {
    EXPECT_EQ(ReadNumber("0.5"), 0.5);
    EXPECT_EQ(ReadNumber("2E-1"), 0.2);
    EXPECT_EQ(ReadNumber("1,5"), 1);
}

TEST_F(CommaLocale, WritingUsesTheFullStop) {
    EXPECT_EQ(NumberText(1234567.25), "1234567.25");
    EXPECT_EQ(NumberText(0.00001), "1e-05");
    EXPECT_EQ(FixedTwo(0.9848077530122081), "0.98");
    EXPECT_EQ(FixedTwo(17320508075.688774), "17320508075.69");
}

TEST_F(CommaLocale, CalculationIsUnchanged) {
    const PowerOutcome expected = PowerResult{"0.87", "3307.50", "220.5", "10", "30"};
    EXPECT_EQ(CalculatePower({"220.5", "10", "30"}), expected);
}

}  // namespace
}  // namespace kelvaro
