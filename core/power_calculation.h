// The power calculation: from the texts of the three input boxes to either the
// one message the user must see or the texts the window shows afterwards.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace kelvaro {

enum class MessageId { MsgMissingInput, MsgBadVoltage, MsgBadCurrent, MsgBadAngle };

// The message's text for the user, UTF-8.
//   MessageText(MessageId::MsgBadAngle) == "相位角限制0～90度！"
std::string_view MessageText(MessageId id);

// The three texts exactly as the input boxes hold them.
struct PowerInputs {
    std::string voltageText;  // line voltage U, volts
    std::string currentText;  // line current I, amperes
    std::string angleText;    // phase angle φ, degrees

    friend bool operator==(const PowerInputs&, const PowerInputs&) = default;
};

// What the window shows after a successful calculation.
struct PowerResult {
    std::string powerFactorText;  // cos φ, two decimals
    std::string powerText;        // P in watts, two decimals
    std::string voltageText;      // the inputs, rewritten in their canonical form
    std::string currentText;
    std::string angleText;

    friend bool operator==(const PowerResult&, const PowerResult&) = default;
};

using PowerOutcome = std::variant<MessageId, PowerResult>;

// Checks the inputs in a fixed order and stops at the first that fails: any
// blank input (MsgMissingInput), then the voltage (0..1000000 V), the current
// (0..10000 A) and the angle (0..90 degrees), limits included. Text that is not
// a number reads as 0 and is computed with. Otherwise computes
// cos φ and P = √3 · U · I · cos φ.
//   {"380", "15", "10"} -> {"0.98", "9722.70", "380", "15", "10"}
//   {"220", "10", "30"} -> {"0.87", "3300.00", "220", "10", "30"}
//   {"", "99999", "10"} -> MsgMissingInput
//   {"-1", "99999", "10"} -> MsgBadVoltage
PowerOutcome CalculatePower(const PowerInputs& inputs);

}  // namespace kelvaro
