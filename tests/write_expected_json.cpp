// Writes the expectations the C++ tests share (Form1 as designed, the
// messages, the powers shown) as JSON, for the Python tests and benchmarks:
// they read the one hand-written copy from there, never from the headers.
// Usage: write_expected_json OUTPUT.json
#include <fmt/format.h>

#include <cstdio>
#include <iterator>
#include <optional>
#include <string>

#include "expected_form1.h"
#include "expected_messages.h"
#include "expected_powers.h"

namespace {

using namespace kelvaro::expected;

std::string Quoted(const char* text) {
    std::string quoted = "\"";
    for (; *text != '\0'; ++text) {
        const auto byte = static_cast<unsigned char>(*text);
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += *text;
        } else if (byte < 0x20) {
            quoted += fmt::format("\\u{:04x}", byte);
        } else {
            quoted += *text;  // UTF-8 stands as it is
        }
    }
    return quoted + "\"";
}

std::string Colour(std::optional<std::uint32_t> rgb) {
    return rgb ? fmt::format("\"#{:06X}\"", *rgb) : "null";
}

// The names of the enumerators, in their order.
constexpr const char* kKindNames[] = {"\"Label\"", "\"Picture\"", "\"TextBox\"", "\"Button\""};
constexpr const char* kAlignmentNames[] = {"\"Left\"", "\"Centre\"", "\"Right\""};

const char* Boolean(bool value) {
    return value ? "true" : "false";
}

void WriteForm1(std::FILE* out) {
    fmt::print(out, "  \"form1\": {{\n    \"caption\": {},\n", Quoted(kCaption));
    fmt::print(out, "    \"clientWidth\": {},\n    \"clientHeight\": {},\n", kClientWidth,
               kClientHeight);
    fmt::print(out, "    \"background\": {},\n", Colour(kBackground));
    fmt::print(out, "    \"fontFamily\": {},\n    \"formPoints\": {},\n", Quoted(kFontFamily),
               kFormPoints);
    fmt::print(out, "    \"controls\": [\n");
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const Control& control = kControls[i];
        const Place& place = control.place;
        fmt::print(out,
                   "      {{\"name\": {}, \"kind\": {}, \"text\": {}, \"place\": [{}, {}, {}, {}], "
                   "\"points\": {}, \"bold\": {}, \"textColour\": {}, \"backColour\": {}, "
                   "\"alignment\": {}, \"readOnly\": {}}}{}\n",
                   Quoted(control.name), kKindNames[static_cast<int>(control.kind)],
                   Quoted(control.text), place.left, place.top, place.width, place.height,
                   control.points, Boolean(control.bold), Colour(control.textColour),
                   Colour(control.backColour), kAlignmentNames[static_cast<int>(control.alignment)],
                   Boolean(control.readOnly), i + 1 < std::size(kControls) ? "," : "");
    }
    fmt::print(out, "    ],\n    \"tabOrder\": [");
    for (std::size_t i = 0; i < std::size(kTabOrder); ++i) {
        fmt::print(out, "{}{}", i > 0 ? ", " : "", Quoted(kControls[kTabOrder[i]].name));
    }
    fmt::print(out, "],\n    \"spoken\": [\n");
    for (std::size_t i = 0; i < std::size(kSpoken); ++i) {
        const Spoken& spoken = kSpoken[i];
        fmt::print(out, "      {{\"control\": {}, \"name\": {}, \"description\": {}}}{}\n",
                   Quoted(kControls[spoken.control].name), Quoted(spoken.name),
                   Quoted(spoken.description), i + 1 < std::size(kSpoken) ? "," : "");
    }
    fmt::print(out, "    ],\n    \"resultsTold\": {},\n    \"label11NamedWithResult\": {}\n",
               Quoted(kResultsTold), Quoted(kLabel11NamedWithResult));
    fmt::print(out, "  }},\n");
}

void WriteMessages(std::FILE* out) {
    fmt::print(out,
               "  \"messages\": {{\n    \"missingInput\": {},\n    \"badVoltage\": {},\n"
               "    \"badCurrent\": {},\n    \"badAngle\": {},\n    \"title\": {},\n"
               "    \"button\": {}\n  }},\n",
               Quoted(kMissingInput), Quoted(kBadVoltage), Quoted(kBadCurrent), Quoted(kBadAngle),
               Quoted(kMessageTitle), Quoted(kMessageButton));
}

void WritePowersShown(std::FILE* out) {
    fmt::print(out, "  \"powersShown\": [\n");
    for (std::size_t i = 0; i < std::size(kPowersShown); ++i) {
        const PowerShown& shown = kPowersShown[i];
        fmt::print(out,
                   "    {{\"name\": {}, \"voltage\": {}, \"current\": {}, \"angle\": {}, "
                   "\"power\": {}, \"fitsAtDesignFont\": {}}}{}\n",
                   Quoted(shown.name), Quoted(shown.voltage), Quoted(shown.current),
                   Quoted(shown.angle), Quoted(shown.power), Boolean(shown.fitsAtDesignFont),
                   i + 1 < std::size(kPowersShown) ? "," : "");
    }
    fmt::print(out, "  ]\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: write_expected_json OUTPUT.json\n", stderr);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fputs("{\n", out);
    WriteForm1(out);
    WriteMessages(out);
    WritePowersShown(out);
    std::fputs("}\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
