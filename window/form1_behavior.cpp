#include "window/form1_behavior.h"

#include <variant>

#include "core/power_calculation.h"

namespace kelvaro {

void Form1Behavior::Load() {
    // The label's design caption is only a placeholder; it is never seen.
    frontEnd_.SetText(ControlId::Label11, "");
}

void Form1Behavior::Command1Click() {
    // Outputs go first, so a failed check never leaves an earlier result in view.
    frontEnd_.SetText(ControlId::Label11, "");
    frontEnd_.SetText(ControlId::Text4, "");
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
    frontEnd_.SetText(ControlId::Label11, result.powerFactorText);
    frontEnd_.SetText(ControlId::Text4, result.powerText);
    frontEnd_.SetText(ControlId::Text1, result.voltageText);
    frontEnd_.SetText(ControlId::Text2, result.currentText);
    frontEnd_.SetText(ControlId::Text3, result.angleText);
}

void Form1Behavior::Command2Click() {
    frontEnd_.EndProgram();
}

void Form1Behavior::Closed() {
    // The only window: the program ends with it.
    frontEnd_.EndProgram();
}

}  // namespace kelvaro
