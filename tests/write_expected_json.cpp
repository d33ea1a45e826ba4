// Writes the expectations the C++ tests share (Form1 as designed, the
// messages, the powers shown) as JSON, for the Python tests and benchmarks:
// they read the one hand-written copy from there, never from the headers.
// Usage: write_expected_json OUTPUT.json
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
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += *text;  // UTF-8 stands as it is
        }
    }
    return quoted + "\"";
}

std::string Colour(std::optional<std::uint32_t> rgb) {
    if (!rgb) {
        return "null";
    }
    char text[16];
    std::snprintf(text, sizeof text, "\"#%06X\"", static_cast<unsigned>(*rgb));
    return text;
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Label:
            return "\"Label\"";
        case Kind::Picture:
            return "\"Picture\"";
        case Kind::TextBox:
            return "\"TextBox\"";
        case Kind::Button:
            return "\"Button\"";
    }
    return "null";
}

const char* AlignmentName(Align alignment) {
    switch (alignment) {
        case Align::Left:
            return "\"Left\"";
        case Align::Centre:
            return "\"Centre\"";
        case Align::Right:
            return "\"Right\"";
    }
    return "null";
}

const char* Boolean(bool value) {
    return value ? "true" : "false";
}

void WriteForm1(std::FILE* out) {
    std::fprintf(out, "  \"form1\": {\n    \"caption\": %s,\n", Quoted(kCaption).c_str());
    std::fprintf(out, "    \"clientWidth\": %d,\n    \"clientHeight\": %d,\n", kClientWidth,
                 kClientHeight);
    std::fprintf(out, "    \"background\": %s,\n", Colour(kBackground).c_str());
    std::fprintf(out, "    \"fontFamily\": %s,\n    \"formPoints\": %g,\n",
                 Quoted(kFontFamily).c_str(), kFormPoints);
    std::fprintf(out, "    \"controls\": [\n");
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const Control& control = kControls[i];
        const Place& place = control.place;
        std::fprintf(
            out,
            "      {\"name\": %s, \"kind\": %s, \"text\": %s, \"place\": [%d, %d, %d, %d], "
            "\"points\": %g, \"bold\": %s, \"textColour\": %s, \"backColour\": %s, "
            "\"alignment\": %s, \"readOnly\": %s}%s\n",
            Quoted(control.name).c_str(), KindName(control.kind), Quoted(control.text).c_str(),
            place.left, place.top, place.width, place.height, control.points, Boolean(control.bold),
            Colour(control.textColour).c_str(), Colour(control.backColour).c_str(),
            AlignmentName(control.alignment), Boolean(control.readOnly),
            i + 1 < std::size(kControls) ? "," : "");
    }
    std::fprintf(out, "    ],\n    \"tabOrder\": [");
    for (std::size_t i = 0; i < std::size(kTabOrder); ++i) {
        std::fprintf(out, "%s%s", i > 0 ? ", " : "", Quoted(kControls[kTabOrder[i]].name).c_str());
    }
    std::fprintf(out, "]\n  },\n");
}

void WriteMessages(std::FILE* out) {
    std::fprintf(out,
                 "  \"messages\": {\n    \"missingInput\": %s,\n    \"badVoltage\": %s,\n"
                 "    \"badCurrent\": %s,\n    \"badAngle\": %s,\n    \"title\": %s,\n"
                 "    \"button\": %s\n  },\n",
                 Quoted(kMissingInput).c_str(), Quoted(kBadVoltage).c_str(),
                 Quoted(kBadCurrent).c_str(), Quoted(kBadAngle).c_str(),
                 Quoted(kMessageTitle).c_str(), Quoted(kMessageButton).c_str());
}

void WritePowersShown(std::FILE* out) {
    std::fprintf(out, "  \"powersShown\": [\n");
    for (std::size_t i = 0; i < std::size(kPowersShown); ++i) {
        const PowerShown& shown = kPowersShown[i];
        std::fprintf(out,
                     "    {\"name\": %s, \"voltage\": %s, \"current\": %s, \"angle\": %s, "
                     "\"power\": %s, \"fitsAtDesignFont\": %s}%s\n",
                     Quoted(shown.name).c_str(), Quoted(shown.voltage).c_str(),
                     Quoted(shown.current).c_str(), Quoted(shown.angle).c_str(),
                     Quoted(shown.power).c_str(), Boolean(shown.fitsAtDesignFont),
                     i + 1 < std::size(kPowersShown) ? "," : "");
    }
    std::fprintf(out, "  ]\n");
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
