#include "core/numeric_text.h"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kelvaro {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One character of a number as the reader sees it: its ASCII form and the
// number of bytes it takes. The full-width forms that Chinese input methods
// type (U+FF0B '＋', U+FF0D '－', U+FF0E '．', U+FF10..U+FF19 '０'..'９',
// U+FF25 'Ｅ', U+FF45 'ｅ') fold into their ASCII twins, and so does the
// ideographic full stop U+3002 '。', which they type for '.' in Chinese
// punctuation mode; any other non-ASCII byte becomes '\0', which no number
// contains.
struct NumberChar {
    char ascii;
    std::size_t length;
};

NumberChar NumberCharAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) {
        return {'\0', 0};
    }
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
        return {static_cast<char>(byte), 1};
    }
    if ((byte != 0xE3 && byte != 0xEF) || text.size() - at < 3) {
        return {'\0', 1};
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if (byte == 0xE3) {
        if (second == 0x80 && third == 0x82) {
            return {'.', 3};
        }
    } else if (second == 0xBC) {
        if (third >= 0x90 && third <= 0x99) {
            return {static_cast<char>('0' + (third - 0x90)), 3};
        }
        switch (third) {
            case 0x8B:
                return {'+', 3};
            case 0x8D:
                return {'-', 3};
            case 0x8E:
                return {'.', 3};
            case 0xA5:
                return {'E', 3};
            default:
                break;
        }
    } else if (second == 0xBD && third == 0x85) {
        return {'e', 3};
    }
    return {'\0', 1};
}

// The number at the start of a text: its sign, and its digits, point and
// exponent in ASCII; no digits when the text starts with no number.
struct ScannedNumber {
    bool negative = false;
    std::string digits;
};

// Matches the number at the start of a text and folds it into plain ASCII,
// which fast_float then converts. The grammar is the system's own: fast_float
// alone would also take "inf", "nan" and hexadecimal forms.
class NumberScanner {
  public:
    explicit NumberScanner(std::string_view text) : text_(text) {}

    ScannedNumber Scan() {
        SkipBlanks();
        bool negative = false;
        if (const NumberChar sign = Peek(); sign.ascii == '+' || sign.ascii == '-') {
            negative = sign.ascii == '-';
            at_ += sign.length;
        }
        bool anyDigit = TakeDigits();
        if (const NumberChar point = Peek(); point.ascii == '.') {
            number_ += '.';
            at_ += point.length;
            anyDigit |= TakeDigits();
        }
        if (!anyDigit) {
            return {};  // a sign or a point alone is not a number
        }
        TakeExponent();
        return {negative, std::move(number_)};
    }

  private:
    NumberChar Peek() const { return NumberCharAt(text_, at_); }

    void SkipBlanks() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\n') {
                ++at_;
            } else if (text_.substr(at_).starts_with(kIdeographicSpace)) {
                at_ += kIdeographicSpace.size();
            } else {
                break;
            }
        }
    }

    // Takes the digits from here on, ASCII runs whole (a box may hold 32767
    // of them) and full-width ones one by one. Returns whether there was any.
    bool TakeDigits() {
        const std::size_t start = number_.size();
        for (;;) {
            const auto run = std::find_if_not(text_.begin() + static_cast<std::ptrdiff_t>(at_),
                                              text_.end(), IsDigit);
            const auto runLength = static_cast<std::size_t>(run - text_.begin()) - at_;
            number_.append(text_.substr(at_, runLength));
            at_ += runLength;
            const NumberChar next = Peek();
            if (next.length != 3 || !IsDigit(next.ascii)) {
                break;
            }
            number_ += next.ascii;
            at_ += next.length;
        }
        return number_.size() > start;
    }

    // 'E' or 'e', an optional sign and at least one digit; otherwise nothing.
    void TakeExponent() {
        const std::size_t markAt = at_;
        const std::size_t markSize = number_.size();
        if (const NumberChar letter = Peek(); letter.ascii == 'E' || letter.ascii == 'e') {
            number_ += 'e';
            at_ += letter.length;
        } else {
            return;
        }
        if (const NumberChar sign = Peek(); sign.ascii == '+' || sign.ascii == '-') {
            number_ += sign.ascii;
            at_ += sign.length;
        }
        if (!TakeDigits()) {
            at_ = markAt;
            number_.resize(markSize);
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string number_;
};

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
    const ScannedNumber number = NumberScanner(text).Scan();
    std::string_view digits = number.digits;
    // Leading zeros change nothing, yet fast_float would multiply its way
    // through each of them: keep only the one before a point or an exponent.
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    if (zeros > 0) {
        digits.remove_prefix(zeros < digits.size() && IsDigit(digits[zeros]) ? zeros : zeros - 1);
    }
    double value = 0;
    // The scanner hands over only well-formed numbers. Beyond the double range
    // fast_float gives infinity or zero, which is the reading wanted; a newer
    // fast_float also says result_out_of_range.
    fast_float::from_chars(digits.data(), digits.data() + digits.size(), value);
    return number.negative ? -value : value;
}

std::string NumberText(double value) {
    if (value == 0) {
        return "0";  // also for -0
    }
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        // A whole number below 10^15 is its own 15-digit form: the common case
        // of a typed value, and the cheapest to write.
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
