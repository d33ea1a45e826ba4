// Form1's behaviour against a front end that only records what it is asked:
// the order of the writes, what a failed check leaves, and what screen
// readers are told.
#include "window/form1_behavior.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "expected_form1.h"
#include "expected_messages.h"
#include "named_rows.h"

namespace kelvaro {
namespace {

class RecordingFrontEnd : public Form1FrontEnd {
  public:
    std::string Text(ControlId control) const override {
        const auto text = texts.find(control);
        return text != texts.end() ? text->second : "";
    }
    void SetText(ControlId control, std::string_view text) override {
        calls.push_back(std::string(Design(control).name) + "=" + std::string(text));
        texts[control] = text;
    }
    void Announce(std::string_view text) override {
        calls.push_back("announce " + std::string(text));
    }
    void ShowMessage(std::string_view text) override {
        calls.push_back("message " + std::string(text));
    }
    void EndProgram() override { calls.push_back("end"); }

    std::map<ControlId, std::string> texts;
    std::vector<std::string> calls;
};

class Form1BehaviorTest : public testing::Test {
  protected:
    void Type(const std::string& voltage, const std::string& current, const std::string& angle) {
        frontEnd.texts[ControlId::Text1] = voltage;
        frontEnd.texts[ControlId::Text2] = current;
        frontEnd.texts[ControlId::Text3] = angle;
    }

    RecordingFrontEnd frontEnd;
    Form1Behavior behavior{frontEnd};
};

TEST_F(Form1BehaviorTest, LoadEmptiesThePowerFactorLabel) {
    behavior.Load();
    EXPECT_EQ(frontEnd.calls, std::vector<std::string>{"Label11="});
}

TEST_F(Form1BehaviorTest, CalculateEmptiesTheOutputsThenWritesInOrderAndTellsTheResults) {
    frontEnd.texts[ControlId::Label11] = "0.50";
    frontEnd.texts[ControlId::Text4] = "1.00";
    Type("380abc", " 15 ", "1e1");
    behavior.Command1Click();
    const std::vector<std::string> expected = {
        "Label11=",  "Text4=",   "Label11=0.98", "Text4=9722.70",
        "Text1=380", "Text2=15", "Text3=10",     std::string("announce ") + expected::kResultsTold,
    };
    EXPECT_EQ(frontEnd.calls, expected);
}

// A box already showing its canonical text is not written again.
TEST_F(Form1BehaviorTest, CalculateLeavesWhatDoesNotChangeAlone) {
    Type("380", "15", "10");
    behavior.Command1Click();
    const std::vector<std::string> expected = {"Label11=0.98", "Text4=9722.70",
                                               std::string("announce ") + expected::kResultsTold};
    EXPECT_EQ(frontEnd.calls, expected);
}

TEST_F(Form1BehaviorTest, FailedCheckAfterSuccessLeavesNoResultInView) {
    Type("380", "15", "10");
    behavior.Command1Click();
    Type("", "15", "10");
    frontEnd.calls.clear();
    behavior.Command1Click();
    const std::vector<std::string> calls = {
        "Label11=", "Text4=", std::string("message ") + expected::kMissingInput};
    EXPECT_EQ(frontEnd.calls, calls);
    EXPECT_EQ(frontEnd.texts[ControlId::Label11], "");
    EXPECT_EQ(frontEnd.texts[ControlId::Text4], "");
}

struct MessageRow {
    const char* name;
    std::string voltage, current, angle;
    std::string message;
};

// Each check's message reaches the front end with its text, written by hand
// once in expected_messages.h.
class Form1MessageTest : public Form1BehaviorTest,
                         public testing::WithParamInterface<MessageRow> {};

TEST_P(Form1MessageTest, ShowsOneMessageAndKeepsWhatWasTyped) {
    const MessageRow& row = GetParam();
    Type(row.voltage, row.current, row.angle);
    behavior.Command1Click();
    const std::vector<std::string> expected = {"message " + row.message};
    EXPECT_EQ(frontEnd.calls, expected);
    EXPECT_EQ(frontEnd.texts[ControlId::Text1], row.voltage);
    EXPECT_EQ(frontEnd.texts[ControlId::Text2], row.current);
    EXPECT_EQ(frontEnd.texts[ControlId::Text3], row.angle);
}

INSTANTIATE_TEST_SUITE_P(
    Calculate, Form1MessageTest,
    testing::Values(MessageRow{"BlankAngle", "380", "15", "  ", expected::kMissingInput},
                    MessageRow{"BadVoltage", " -1 ", "99999", "10", expected::kBadVoltage},
                    MessageRow{"BadCurrent", "380", "1e400", "10", expected::kBadCurrent},
                    MessageRow{"BadAngle", "380", "15", "90.001", expected::kBadAngle}),
    RowName{});

}  // namespace
}  // namespace kelvaro
