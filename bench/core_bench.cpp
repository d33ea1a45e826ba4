// The calculation behind one click of Calculate, on the boxes' initial
// contents and on the longest texts a box can hold.
#include <benchmark/benchmark.h>

#include <string>

#include "core/power_calculation.h"

namespace {

constexpr std::size_t kLongestBoxText = 32767;

void Calculate(benchmark::State& state, const kelvaro::PowerInputs& inputs) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvaro::CalculatePower(inputs));
    }
}

void InitialContents(benchmark::State& state) {
    Calculate(state, {"380", "15", "10"});
}

// Each text passes its check, so the whole calculation runs: a number of 32767
// digits, a number followed by junk, and a digit followed by spaces.
void LongestTexts(benchmark::State& state) {
    Calculate(state, {std::string(kLongestBoxText - 3, '0') + "380",
                      "15" + std::string(kLongestBoxText - 2, 'x'),
                      "1" + std::string(kLongestBoxText - 1, ' ')});
}

}  // namespace

BENCHMARK(InitialContents);
BENCHMARK(LongestTexts)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
