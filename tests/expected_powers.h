// What Text4 shows for a few loads, written out by hand once for every front
// end's test of the power box: the usual result, the longest that still fits
// the box at its design font at 96 dots per inch, the first that no longer
// does, and the widest the calculation can give (the largest voltage and
// current the checks let through, at 0°).
#pragma once

namespace kelvaro::expected {

struct PowerShown {
    const char* name;
    const char* voltage;
    const char* current;
    const char* angle;
    const char* power;
    bool fitsAtDesignFont;
};

inline constexpr PowerShown kPowersShown[] = {
    {"Usual", "380", "15", "10", "9722.70", true},
    {"LongestAtDesignFont", "1000", "100", "0", "173205.08", true},
    {"FirstTooWide", "10000", "100", "0", "1732050.81", false},
    {"Widest", "1000000", "10000", "0", "17320508075.69", false},
};

}  // namespace kelvaro::expected
