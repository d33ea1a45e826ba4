#include "core/numeric_text.h"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

namespace kelvaro {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The full-width forms that Chinese input methods type, and the ideographic
// full stop they type for '.' in Chinese punctuation mode, with their ASCII
// twins; the full-width digits U+FF10..U+FF19 ('０'..'９') follow below.
constexpr std::pair<std::string_view, char> kFoldedForms[] = {
    {"＋", '+'}, {"－", '-'}, {"．", '.'}, {"。", '.'}, {"Ｅ", 'E'}, {"ｅ", 'e'}};
constexpr std::string_view kFullWidthDigitLead = "\xef\xbc";  // '０' is EF BC 90

// One character of a number as the reader sees it: its ASCII form and the
// number of bytes it takes; any other non-ASCII byte becomes '\0', which no
// number contains.
struct NumberChar {
    char ascii;
    std::size_t length;
};

NumberChar NumberCharAt(std::string_view text, std::size_t at) {
    text.remove_prefix(std::min(at, text.size()));
    if (text.empty()) {
        return {'\0', 0};
    }
    if (static_cast<unsigned char>(text[0]) < 0x80) {
        return {text[0], 1};
    }
    if (text.size() >= 3 && text.starts_with(kFullWidthDigitLead)) {
        if (const unsigned digit = static_cast<unsigned char>(text[2]) - 0x90u; digit < 10) {
            return {static_cast<char>('0' + digit), 3};
        }
    }
    for (const auto& [form, ascii] : kFoldedForms) {
        if (text.starts_with(form)) {
            return {ascii, form.size()};
        }
    }
    return {'\0', 1};
}

// The number at the start of a text spelled in ASCII, for fast_float to match:
// the text itself while it is ASCII, a folded copy in `folded` from the first
// full-width form on. It ends where no number can go on (a second point or
// exponent letter, a sign anywhere but right after the letter, any other
// character), so the rest of the text costs nothing, and fast_float never sees
// what it would take but the grammar does not: a second sign, "inf", "nan".
std::string_view AsciiNumber(std::string_view text, std::string& folded) {
    bool folding = false, point = false, letter = false;
    char previous = '\0';
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsDigit(text[at])) {
            // ASCII digits a run at a time: a box may hold 32767 of them.
            const auto run = std::find_if_not(text.begin() + static_cast<std::ptrdiff_t>(at),
                                              text.end(), IsDigit);
            const auto runLength = static_cast<std::size_t>(run - text.begin()) - at;
            if (folding) {
                folded.append(text.substr(at, runLength));
            }
            previous = '0';
            at += runLength;
            continue;
        }
        const NumberChar next = NumberCharAt(text, at);
        const char c = next.ascii;
        const bool isLetter = c == 'E' || c == 'e';
        if (!(IsDigit(c) || (c == '.' && !point && !letter) || (isLetter && !letter) ||
              ((c == '+' || c == '-') && (previous == 'E' || previous == 'e')))) {
            break;
        }
        if (next.length > 1 && !folding) {
            folding = true;
            folded.assign(text.substr(0, at));
        }
        if (folding) {
            folded += c;
        }
        point |= c == '.';
        letter |= isLetter;
        previous = c;
        at += next.length;
    }
    return folding ? std::string_view(folded) : text.substr(0, at);
}

// The 15-significant-digit decimal form of a finite, non-zero magnitude:
// digits d1 d2 … dn without trailing zeros, the value being d1.d2…dn × 10^exponent.
struct DecimalForm {
    static constexpr int kDigits = 15;
    std::array<char, kDigits> digits{};
    int count = 0;
    int exponent = 0;
};

DecimalForm FifteenDigitForm(double magnitude) {
    // "d.ddddddddddddddde±x": the digits around the point, then the exponent.
    std::array<char, 32> text{};
    const auto written =
        fmt::format_to_n(text.data(), text.size(), FMT_COMPILE("{:.14e}"), magnitude);
    const char* const end = written.out;
    DecimalForm form;
    const char* at = text.data();
    for (; *at != 'e'; ++at) {
        if (*at != '.') {
            form.digits[static_cast<std::size_t>(form.count++)] = *at;
        }
    }
    while (form.count > 1 && form.digits[static_cast<std::size_t>(form.count - 1)] == '0') {
        --form.count;
    }
    std::from_chars(at[1] == '+' ? at + 2 : at + 1, end, form.exponent);
    return form;
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    for (;;) {
        text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
        if (!text.starts_with(kIdeographicSpace)) {
            break;
        }
        text.remove_prefix(kIdeographicSpace.size());
    }
    for (;;) {
        text = text.substr(0, text.find_last_not_of(' ') + 1);  // npos + 1 is 0
        if (!text.ends_with(kIdeographicSpace)) {
            break;
        }
        text.remove_suffix(kIdeographicSpace.size());
    }
    return text;
}

bool IsBlank(std::string_view text) {
    return TrimSpaces(text).empty();
}

double ReadNumber(std::string_view text) {
    for (;;) {
        if (text.starts_with(' ') || text.starts_with('\t') || text.starts_with('\n')) {
            text.remove_prefix(1);
        } else if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    bool negative = false;
    if (const NumberChar sign = NumberCharAt(text, 0); sign.ascii == '+' || sign.ascii == '-') {
        negative = sign.ascii == '-';
        text.remove_prefix(sign.length);
    }
    std::string folded;
    std::string_view number = AsciiNumber(text, folded);
    // Leading zeros change nothing, yet fast_float would multiply its way
    // through each of them: keep only the one before a point or an exponent.
    const std::size_t zeros = std::min(number.find_first_not_of('0'), number.size());
    if (zeros > 0) {
        number.remove_prefix(zeros < number.size() && IsDigit(number[zeros]) ? zeros : zeros - 1);
    }
    double value = 0;
    // Beyond the double range fast_float gives infinity or zero, which is the
    // reading wanted; a newer fast_float also says result_out_of_range.
    const auto read = fast_float::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::invalid_argument) {
        return 0;  // no digit: a sign, a point or an exponent alone
    }
    return negative ? -value : value;
}

std::string NumberText(double value) {
    if (value == 0) {
        return "0";  // also for -0
    }
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        // A whole number below 10^15 is its own 15-digit form: the common case
        // of a typed value, which std::to_chars writes some twenty times
        // faster than fmt's "{:.15g}".
        std::array<char, 20> digits{};
        const auto written = std::to_chars(digits.data(), digits.data() + digits.size(),
                                           static_cast<long long>(value));
        return {digits.data(), written.ptr};
    }
    // C's "%.15g": fixed notation from 1e-4 up to 1e15, "1.5e+20" and "1e-05" outside.
    return fmt::format(FMT_COMPILE("{:.15g}"), value);
}

std::string FixedTwo(double value) {
    if (value == 0) {
        return "0.00";
    }
    if (!std::isfinite(value)) {
        return NumberText(value);
    }
    const DecimalForm form = FifteenDigitForm(std::fabs(value));
    // The value in hundredths: its digits down to the hundredths place, then
    // rounded half-way away from zero on the next digit.
    const int kept = form.exponent + 3;
    std::string hundredths;
    if (kept > 0) {
        hundredths.assign(form.digits.data(), static_cast<std::size_t>(std::min(kept, form.count)));
        hundredths.append(static_cast<std::size_t>(std::max(0, kept - form.count)), '0');
    }
    if (kept >= 0 && kept < form.count && form.digits[static_cast<std::size_t>(kept)] >= '5') {
        auto digit = hundredths.rbegin();
        for (; digit != hundredths.rend() && *digit == '9'; ++digit) {
            *digit = '0';
        }
        if (digit == hundredths.rend()) {
            hundredths.insert(hundredths.begin(), '1');
        } else {
            ++*digit;
        }
    }
    if (hundredths.size() < 3) {
        hundredths.insert(0, 3 - hundredths.size(), '0');
    }
    const bool roundsToZero = hundredths.find_first_not_of('0') == std::string::npos;
    std::string text = (value < 0 && !roundsToZero) ? "-" : "";
    text.append(hundredths, 0, hundredths.size() - 2);
    text += '.';
    text.append(hundredths, hundredths.size() - 2, 2);
    return text;
}

}  // namespace kelvaro
