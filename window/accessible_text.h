// What screen readers are told of Form1's controls, in the design's own words:
// the label beside a value says what it is, the label after it its unit.
#pragma once

#include <string>
#include <string_view>

#include "window/form1_design.h"

namespace kelvaro {

// A value with what it is and its unit, as the window shows them side by side:
//   ValueReading(Design(ControlId::Text4), "9722.70") == "所求功率为： 9722.70 瓦"
//   ValueReading(Design(ControlId::Label11), "0.98") == "功率因数为: 0.98"
//   ValueReading(Design(ControlId::Label11), "") == "功率因数为:"
std::string ValueReading(const ControlDesign& design, std::string_view value);

// The name of a control that shows `text`: a text box is named by its label
// ("请输入电压 U：") and reads out its own value; a label has no value of its
// own, so one that shows a value is named by its reading ("功率因数为: 0.98").
// A control no label names keeps the design's name for it, or none (empty:
// the control's own text serves).
std::string AccessibleName(const ControlDesign& design, std::string_view text);

// The unit of what a control holds ("V"), or nothing.
std::string_view AccessibleDescription(const ControlDesign& design);

}  // namespace kelvaro
