#include "window/accessible_text.h"

namespace kelvaro {

std::string ValueReading(const ControlDesign& design, std::string_view value) {
    std::string reading;
    for (const std::string_view part :
         {design.namedBy ? Design(*design.namedBy).text : std::string_view{}, value,
          AccessibleDescription(design)}) {
        if (!part.empty()) {
            reading.append(reading.empty() ? "" : " ").append(part);
        }
    }
    return reading;
}

std::string AccessibleName(const ControlDesign& design, std::string_view text) {
    if (!design.namedBy) {
        return std::string(design.accessibleName);
    }
    if (design.kind == ControlKind::Label) {
        return ValueReading(design, text);
    }
    return std::string(Design(*design.namedBy).text);
}

std::string_view AccessibleDescription(const ControlDesign& design) {
    return design.unitLabel ? Design(*design.unitLabel).text : std::string_view{};
}

}  // namespace kelvaro
