#include "core/power_calculation.h"

#include <cfloat>
#include <cmath>

#include "core/numeric_text.h"

// Every step is rounded to double; x87 extended precision changes the last
// digit of some powers.
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must round to double at each step");

namespace kelvaro {
namespace {

constexpr double kVoltageLimit = 1000000;  // volts
constexpr double kCurrentLimit = 10000;    // amperes
constexpr double kAngleLimit = 90;         // degrees
// The calculation's own value of pi, slightly below the double nearest to π;
// the results are defined with this value, not with a library constant.
constexpr double kPi = 3.14159265358979;
constexpr double kDegreesPerHalfTurn = 180;

// Written so that a NaN fails the check too.
bool IsWithin(double value, double upperLimit) {
    return value >= 0 && value <= upperLimit;
}

}  // namespace

std::string_view MessageText(MessageId id) {
    switch (id) {
        case MessageId::MsgMissingInput:
            return "请首先填写相关参数！";
        case MessageId::MsgBadVoltage:
            return "您输入的电压不合理，请检查！";
        case MessageId::MsgBadCurrent:
            return "您输入的电流不合理，请检查！";
        case MessageId::MsgBadAngle:
            return "相位角限制0～90度！";
    }
    return {};
}

PowerOutcome CalculatePower(const PowerInputs& inputs) {
    if (IsBlank(inputs.voltageText) || IsBlank(inputs.currentText) || IsBlank(inputs.angleText)) {
        return MessageId::MsgMissingInput;
    }
    // ReadNumber skips the leading spaces and ignores what follows the number,
    // so the trimmed and the untrimmed text read alike: each text is read once.
    const double voltage = ReadNumber(inputs.voltageText);
    if (!IsWithin(voltage, kVoltageLimit)) {
        return MessageId::MsgBadVoltage;
    }
    const double current = ReadNumber(inputs.currentText);
    if (!IsWithin(current, kCurrentLimit)) {
        return MessageId::MsgBadCurrent;
    }
    const double angle = ReadNumber(inputs.angleText);
    if (!IsWithin(angle, kAngleLimit)) {
        return MessageId::MsgBadAngle;
    }

    const double radians = (angle * kPi) / kDegreesPerHalfTurn;
    const double powerFactor = std::cos(radians);
    const double rootOfThree = std::sqrt(3.0);
    const double power = ((voltage * rootOfThree) * current) * powerFactor;
    return PowerResult{
        .powerFactorText = FixedTwo(powerFactor),
        .powerText = FixedTwo(power),
        .voltageText = NumberText(voltage),
        .currentText = NumberText(current),
        .angleText = NumberText(angle),
    };
}

}  // namespace kelvaro
