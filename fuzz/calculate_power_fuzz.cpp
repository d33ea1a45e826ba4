// Feeds arbitrary bytes to the calculation as the three box texts and checks
// that every outcome is well formed. The byte 0xFF, which never occurs in
// UTF-8, separates the three texts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/numeric_text.h"
#include "core/power_calculation.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits, a point, then exactly two digits.
bool IsTwoDecimalText(const std::string& text, std::size_t maxIntegerDigits) {
    const std::size_t point = text.find('.');
    return point != std::string::npos && point >= 1 && point <= maxIntegerDigits &&
           text.size() == point + 3 && std::all_of(text.begin(), text.begin() + point, IsDigit) &&
           IsDigit(text[point + 1]) && IsDigit(text[point + 2]);
}

// A canonical text is ASCII and stable: reading and writing it again changes
// nothing.
void RequireCanonical(const std::string& text) {
    Require(!text.empty() && text.find_first_not_of("0123456789.e+-") == std::string::npos);
    Require(text.front() != '+');
    Require(kelvaro::NumberText(kelvaro::ReadNumber(text)) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string_view texts[3];
    std::string_view rest = bytes;
    for (std::string_view& text : texts) {
        const std::size_t separator = rest.find('\xff');
        text = rest.substr(0, separator);
        rest =
            separator == std::string_view::npos ? std::string_view{} : rest.substr(separator + 1);
    }
    const kelvaro::PowerOutcome outcome = kelvaro::CalculatePower(
        {std::string(texts[0]), std::string(texts[1]), std::string(texts[2])});

    if (const auto* message = std::get_if<kelvaro::MessageId>(&outcome)) {
        Require(!kelvaro::MessageText(*message).empty());
        return 0;
    }
    const auto& result = std::get<kelvaro::PowerResult>(outcome);
    Require(IsTwoDecimalText(result.powerFactorText, 1) && result.powerFactorText <= "1.00");
    Require(IsTwoDecimalText(result.powerText, 11));
    Require(result.powerText.size() < 14 || result.powerText <= "17320508075.69");
    RequireCanonical(result.voltageText);
    RequireCanonical(result.currentText);
    RequireCanonical(result.angleText);
    return 0;
}
