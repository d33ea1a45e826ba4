// Prints CalculatePower's outcome for a seeded series of inputs, one line each,
// so that two builds of the core (Linux and Windows, 64 and 32 bits) can be
// compared text for text. The series is the same on every platform: the
// generator is this file's own, and the inputs are written from integers.
// Usage: power_table COUNT SEED
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>

#include "core/power_calculation.h"

namespace {

// SplitMix64: small, and defined by its arithmetic alone.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // 0 .. bound - 1; the slight bias does not matter here.
    std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }

  private:
    std::uint64_t state_;
};

void Append(std::string& text, std::uint64_t value) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, written.ptr);
}

// units / 10^decimals, written with exactly `decimals` digits after the point.
std::string Decimal(std::uint64_t units, int decimals) {
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    std::string text;
    Append(text, units / scale);
    if (decimals > 0) {
        std::string fraction;
        Append(fraction, units % scale);
        text += '.';
        text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

// A value in 0 .. limit with up to `maxDecimals` decimals: anywhere, within the
// top tenth (large U·I), or within a hundredth of either end.
std::string Value(Random& random, std::uint64_t limit, int maxDecimals) {
    const int decimals =
        static_cast<int>(random.Below(static_cast<std::uint64_t>(maxDecimals) + 1));
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const std::uint64_t top = limit * scale;
    switch (random.Below(8)) {
        case 0:
            return Decimal(random.Below(scale / 100 + 1), decimals);
        case 1:
            return Decimal(top - random.Below(scale / 100 + 1), decimals);
        case 2:
        case 3:
            return Decimal(top - random.Below(top / 10 + 1), decimals);
        default:
            return Decimal(random.Below(top + 1), decimals);
    }
}

std::uint64_t Argument(const char* text) {
    const std::string_view view(text);
    std::uint64_t value = 0;
    std::from_chars(view.data(), view.data() + view.size(), value);
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: power_table COUNT SEED\n", stderr);
        return 2;
    }
    const std::uint64_t count = Argument(argv[1]);
    Random random(Argument(argv[2]));
    std::string line;
    for (std::uint64_t i = 0; i < count; ++i) {
        const kelvaro::PowerInputs inputs{Value(random, 1000000, 4), Value(random, 10000, 4),
                                          Value(random, 90, 7)};
        line = inputs.voltageText + ' ' + inputs.currentText + ' ' + inputs.angleText + " ->";
        const kelvaro::PowerOutcome outcome = kelvaro::CalculatePower(inputs);
        if (const auto* result = std::get_if<kelvaro::PowerResult>(&outcome)) {
            for (const std::string* text :
                 {&result->powerFactorText, &result->powerText, &result->voltageText,
                  &result->currentText, &result->angleText}) {
                line += ' ';
                line += *text;
            }
        } else {
            line += ' ';
            line += kelvaro::MessageText(std::get<kelvaro::MessageId>(outcome));
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
