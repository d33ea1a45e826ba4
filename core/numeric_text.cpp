#include "core/numeric_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace kelvaro {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";
constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Runs of digits are measured eight bytes at a time: a box may hold 32767 of them.
std::uint64_t LoadEightBytes(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

bool AreEightDigits(std::uint64_t word) {
    return (((word + 0x4646464646464646) | (word - 0x3030303030303030)) & 0x8080808080808080) == 0;
}

// How many of the first characters of `text` are ASCII digits.
std::size_t DigitRunLength(std::string_view text) {
    std::size_t length = 0;
    while (length + 8 <= text.size() && AreEightDigits(LoadEightBytes(text.data() + length))) {
        length += 8;
    }
    while (length < text.size() && IsDigit(text[length])) {
        ++length;
    }
    return length;
}

// How many of the first characters of `text` are '0'.
std::size_t ZeroRunLength(std::string_view text) {
    constexpr std::uint64_t kEightZeros = 0x3030303030303030;
    std::size_t length = 0;
    while (length + 8 <= text.size() && LoadEightBytes(text.data() + length) == kEightZeros) {
        length += 8;
    }
    while (length < text.size() && text[length] == '0') {
        ++length;
    }
    return length;
}

// One character of a number as the reader sees it: its ASCII form and the
// number of bytes it takes. The full-width forms that Chinese input methods
// type (U+FF0B '＋', U+FF0D '－', U+FF0E '．', U+FF10..U+FF19 '０'..'９',
// U+FF25 'Ｅ', U+FF45 'ｅ') map to their ASCII twins; any other non-ASCII
// byte maps to '\0', which no number contains.
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
    if (byte != 0xEF || text.size() - at < 3) {
        return {'\0', 1};
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if (second == 0xBC) {
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

// Decimal exponents are saturated here; anything beyond is far outside the
// double range and only its sign matters.
constexpr long long kExponentCap = 1'000'000'000;

long long Saturated(long long exponent) {
    return std::clamp(exponent, -kExponentCap, kExponentCap);
}

// A count of digits as a step of the decimal exponent.
long long ExponentStep(std::size_t digitCount) {
    return static_cast<long long>(std::min<std::size_t>(digitCount, kExponentCap));
}

// Reads the number at the start of a text in one pass. The significant digits
// are collected into a bounded buffer: beyond 767 significant digits only
// whether any further digit is non-zero can change the nearest double, so the
// conversion never needs more than that, however long the text.
class NumberReader {
  public:
    explicit NumberReader(std::string_view text) : text_(text) {}

    NumberReading Read() {
        SkipBlanks();
        bool negative = false;
        if (const NumberChar sign = Peek(); sign.ascii == '+' || sign.ascii == '-') {
            negative = sign.ascii == '-';
            at_ += sign.length;
        }
        bool anyDigit = TakeDigitRun(Place::Integer);
        if (const NumberChar point = Peek(); point.ascii == '.') {
            const std::size_t pointAt = at_;
            at_ += point.length;
            anyDigit |= TakeDigitRun(Place::Fraction);
            if (!anyDigit) {
                at_ = pointAt;  // a lone point is not a number
            }
        }
        if (!anyDigit) {
            return {0.0, 0};
        }
        const long long exponent = ReadExponent();
        const double magnitude = Convert(exponent);
        return {negative ? -magnitude : magnitude, at_};
    }

  private:
    static constexpr std::size_t kMaxSignificantDigits = 800;
    enum class Place { Integer, Fraction };

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

    // Takes the digits from here on, ASCII runs in bulk and full-width ones
    // one by one. Returns whether there was any.
    bool TakeDigitRun(Place place) {
        const std::size_t start = at_;
        for (;;) {
            const std::size_t run = DigitRunLength(text_.substr(at_));
            if (run > 0) {
                TakeDigits(text_.substr(at_, run), place);
                at_ += run;
            }
            const NumberChar next = Peek();
            if (next.length != 3 || !IsDigit(next.ascii)) {
                break;
            }
            TakeDigits(std::string_view(&next.ascii, 1), place);
            at_ += next.length;
        }
        return at_ > start;
    }

    void TakeDigits(std::string_view digits, Place place) {
        if (digitCount_ == 0) {
            // Leading zeros only move the point.
            const std::size_t zeros = ZeroRunLength(digits);
            if (place == Place::Fraction) {
                pointExponent_ = Saturated(pointExponent_ - ExponentStep(zeros));
            }
            digits.remove_prefix(zeros);
        }
        if (digits.empty()) {
            return;
        }
        if (place == Place::Integer) {
            pointExponent_ = Saturated(pointExponent_ + ExponentStep(digits.size()));
        }
        const std::size_t kept = std::min(digits.size(), kMaxSignificantDigits - digitCount_);
        std::memcpy(significant_.data() + digitCount_, digits.data(), kept);
        digitCount_ += kept;
        digits.remove_prefix(kept);
        droppedNonZero_ = droppedNonZero_ || ZeroRunLength(digits) < digits.size();
    }

    // 'E' or 'e', an optional sign and at least one digit; otherwise nothing is
    // taken and the exponent is 0.
    long long ReadExponent() {
        const std::size_t mark = at_;
        if (const NumberChar letter = Peek(); letter.ascii == 'E' || letter.ascii == 'e') {
            at_ += letter.length;
        } else {
            return 0;
        }
        bool negative = false;
        if (const NumberChar sign = Peek(); sign.ascii == '+' || sign.ascii == '-') {
            negative = sign.ascii == '-';
            at_ += sign.length;
        }
        long long exponent = 0;
        bool anyDigit = false;
        for (NumberChar digit = Peek(); IsDigit(digit.ascii); digit = Peek()) {
            anyDigit = true;
            exponent = std::min(exponent * 10 + (digit.ascii - '0'), kExponentCap);
            at_ += digit.length;
        }
        if (!anyDigit) {
            at_ = mark;
            return 0;
        }
        return negative ? -exponent : exponent;
    }

    // The magnitude 0.ddd… × 10^(pointExponent_ + exponent), to the nearest double.
    double Convert(long long exponent) {
        if (digitCount_ == 0) {
            return 0.0;
        }
        // Values beyond these powers of ten are far outside the double range.
        const long long decimalExponent = Saturated(pointExponent_ + exponent);
        if (decimalExponent > 400) {
            return kInfinity;
        }
        if (decimalExponent < -400) {
            return 0.0;
        }
        std::size_t length = digitCount_;
        if (droppedNonZero_) {
            significant_[length++] = '1';  // keeps the rounding direction of what was dropped
        }
        const long long scale = decimalExponent - static_cast<long long>(length);
        significant_[length++] = 'e';
        const auto written = std::to_chars(significant_.data() + length,
                                           significant_.data() + significant_.size(), scale);
        double value = 0;
        const auto result = std::from_chars(significant_.data(), written.ptr, value);
        if (result.ec == std::errc::result_out_of_range) {
            return decimalExponent > 0 ? kInfinity : 0.0;
        }
        return value;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    // The significant digits, then room for a dropped-digit mark and an exponent.
    std::array<char, kMaxSignificantDigits + 24> significant_;
    std::size_t digitCount_ = 0;
    bool droppedNonZero_ = false;
    long long pointExponent_ = 0;
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
    std::array<char, 32> text;
    const auto written = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                       std::chars_format::scientific, DecimalForm::kDigits - 1);
    // "d.ddddddddddddddde+x": the digits around the point, then the exponent.
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
    const bool negativeExponent = at[1] == '-';
    for (at += 2; at != written.ptr; ++at) {
        form.exponent = form.exponent * 10 + (*at - '0');
    }
    if (negativeExponent) {
        form.exponent = -form.exponent;
    }
    return form;
}

std::string_view LeadingDigits(const DecimalForm& form, int count) {
    return {form.digits.data(), static_cast<std::size_t>(std::min(count, form.count))};
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    for (;;) {
        if (text.starts_with(' ')) {
            text.remove_prefix(1);
        } else if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    for (;;) {
        if (text.ends_with(' ')) {
            text.remove_suffix(1);
        } else if (text.ends_with(kIdeographicSpace)) {
            text.remove_suffix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    return text;
}

bool IsBlank(std::string_view text) {
    // Only spaces from the front to the end: the same as an empty TrimSpaces,
    // but stops at the first other character instead of trimming the far end.
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
        } else if (text.substr(at).starts_with(kIdeographicSpace)) {
            at += kIdeographicSpace.size();
        } else {
            return false;
        }
    }
    return true;
}

NumberReading ReadNumberPrefix(std::string_view text) {
    return NumberReader(text).Read();
}

double ReadNumber(std::string_view text) {
    return ReadNumberPrefix(text).value;
}

std::string NumberText(double value) {
    if (value == 0) {
        return "0";  // also for -0
    }
    if (!std::isfinite(value)) {
        std::array<char, 8> text{};
        return {text.data(), std::to_chars(text.data(), text.data() + text.size(), value).ptr};
    }
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        // A whole number below 10^15 is its own 15-digit form; the common case
        // of a typed value, and a cheap one to write.
        std::array<char, 20> digits;
        const auto written = std::to_chars(digits.data(), digits.data() + digits.size(),
                                           static_cast<long long>(value));
        return {digits.data(), written.ptr};
    }
    const DecimalForm form = FifteenDigitForm(std::fabs(value));
    std::string text = value < 0 ? "-" : "";
    if (form.exponent >= -4 && form.exponent < DecimalForm::kDigits) {
        if (form.exponent < 0) {
            text += "0.";
            text.append(static_cast<std::size_t>(-form.exponent - 1), '0');
            text += LeadingDigits(form, form.count);
        } else {
            const int integerDigits = form.exponent + 1;
            text += LeadingDigits(form, integerDigits);
            text.append(static_cast<std::size_t>(std::max(0, integerDigits - form.count)), '0');
            if (form.count > integerDigits) {
                text += '.';
                text.append(form.digits.data() + integerDigits,
                            static_cast<std::size_t>(form.count - integerDigits));
            }
        }
        return text;
    }
    // The exponent form of C's "%.15g": "1.5e+20", "1e-05".
    text += form.digits[0];
    if (form.count > 1) {
        text += '.';
        text.append(form.digits.data() + 1, static_cast<std::size_t>(form.count - 1));
    }
    text += form.exponent < 0 ? "e-" : "e+";
    const int exponent = std::abs(form.exponent);
    if (exponent < 10) {
        text += '0';
    }
    std::array<char, 8> digits{};
    text.append(digits.data(),
                std::to_chars(digits.data(), digits.data() + digits.size(), exponent).ptr);
    return text;
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
        hundredths = LeadingDigits(form, kept);
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
