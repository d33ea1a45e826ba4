#include "window/form1_behavior.h"

#include <variant>

#include "core/power_calculation.h"
#include "window/accessible_text.h"

namespace kelvaro {

namespace {

// The results, read out in the order the window shows them.
constexpr std::string_view kReadingSeparator = "，";

}  // namespace

void Form1Behavior::Load() {
    // The label's design caption is only a placeholder; it is never seen.
    frontEnd_.SetText(ControlId::Label11, "");
}

void Form1Behavior::Command1Click() {
    // Outputs go first, so a failed check never leaves an earlier result in view.
    Write(ControlId::Label11, "");
    Write(ControlId::Text4, "");
    const PowerOutcome outcome = CalculatePower({
        .voltageText = frontEnd_.Text(ControlId::Text1),
        .currentText = frontEnd_.Text(ControlId::Text2),
        .angleText = frontEnd_.Text(ControlId::Text3),
    });
    if (const auto* message = std::get_if<MessageId>(&outcome)) {
        // The inputs keep exactly what the user typed.
        frontEnd_.ShowMessage(MessageText(*message));
        return;
    }
    const auto& result = std::get<PowerResult>(outcome);
    Write(ControlId::Label11, result.powerFactorText);
    Write(ControlId::Text4, result.powerText);
    Write(ControlId::Text1, result.voltageText);
    Write(ControlId::Text2, result.currentText);
    Write(ControlId::Text3, result.angleText);
    // The focus stays on the button: the results are told, not visited. A
    // message needs no telling; its box is read out as it opens.
    frontEnd_.Announce(ValueReading(Design(ControlId::Label11), result.powerFactorText) +
                       std::string(kReadingSeparator) +
                       ValueReading(Design(ControlId::Text4), result.powerText));
}

void Form1Behavior::Write(ControlId control, std::string_view text) {
    if (frontEnd_.Text(control) != text) {
        frontEnd_.SetText(control, text);
    }
}

void Form1Behavior::Command2Click() {
    frontEnd_.EndProgram();
}

void Form1Behavior::Closed() {
    // The only window: the program ends with it.
    frontEnd_.EndProgram();
}

}  // namespace kelvaro
