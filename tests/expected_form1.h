// Form1 as its design describes it, written out by hand once for every window
// test: the Qt tests, the Win32 test programs, and (as the JSON that
// write_expected_json.cpp writes at build time) the tests and benchmarks that
// drive the real program in an X server.
//
// Places are in twips (1440 to the inch: 15 to a pixel at 96 dots per inch),
// from the top-left corner of the client area; each test converts them to
// pixels itself. Texts are UTF-8, as the open window shows them. Colours are
// 0xRRGGBB.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>

namespace kelvaro::expected {

inline constexpr char kCaption[] = "智能Kelvaro   [编程: Mirelle]";
inline constexpr int kClientWidth = 5355;
inline constexpr int kClientHeight = 3705;
inline constexpr std::uint32_t kBackground = 0xC0FFC0;

// Every text is in this face, asked for in the GB2312 character set; the
// form's own size is 9 points.
inline constexpr char kFontFamily[] = "宋体";
inline constexpr int kGb2312Charset = 134;
inline constexpr double kFormPoints = 9;

enum class Kind { Label, Picture, TextBox, Button };
enum class Align { Left, Centre, Right };

struct Place {
    int left;
    int top;
    int width;
    int height;
};

struct Control {
    const char* name;
    Kind kind;
    const char* text;
    Place place;
    double points;
    bool bold;
    std::optional<std::uint32_t> textColour;  // none: the system's colour for the kind
    std::optional<std::uint32_t> backColour;
    Align alignment;  // of a text box's text
    bool readOnly;
};

// The controls' positions in kControls: the order of their identifiers
// (100, 101, … on Windows).
// clang-format off
enum Index {
    kLabel1, kPicture1, kLabel2, kLabel3, kLabel4, kText1, kText2, kText3, kLabel5,
    kLabel6, kLabel7, kCommand1, kText4, kLabel8, kLabel9, kCommand2, kLabel10, kLabel11,
};
// clang-format on

// Label11's caption in the design is a placeholder the load step empties.
// clang-format off
inline constexpr Control kControls[] = {
    {"Label1",   Kind::Label,   "自动计算功率因数和功率", {240, 120, 3975, 375},   14.25, true,  0x0000FF, {},       Align::Left,   false},
    {"Picture1", Kind::Picture, "",                      {240, 480, 4890, 1125},  9,     false, {},       {},       Align::Left,   false},
    {"Label2",   Kind::Label,   "请输入电压 U：",         {360, 1680, 1590, 210},  10.5,  true,  0xC00000, {},       Align::Left,   false},
    {"Label3",   Kind::Label,   "请输入电流 I ：",        {360, 2040, 1710, 210},  10.5,  true,  0xC00000, {},       Align::Left,   false},
    {"Label4",   Kind::Label,   "请输入相位角ψ：",        {360, 2400, 1800, 210},  10.5,  true,  0xC00000, {},       Align::Left,   false},
    {"Text1",    Kind::TextBox, "380",                   {2280, 1680, 975, 270},  9,     false, {},       {},       Align::Right,  false},
    {"Text2",    Kind::TextBox, "15",                    {2280, 2040, 975, 270},  9,     false, {},       {},       Align::Right,  false},
    {"Text3",    Kind::TextBox, "10",                    {2280, 2400, 975, 270},  9,     false, {},       {},       Align::Right,  false},
    {"Label5",   Kind::Label,   "V",                     {3360, 1680, 375, 255},  12,    false, {},       {},       Align::Left,   false},
    {"Label6",   Kind::Label,   "A",                     {3360, 2040, 375, 255},  12,    false, {},       {},       Align::Left,   false},
    {"Label7",   Kind::Label,   "度",                    {3360, 2400, 375, 255},  10.5,  false, {},       {},       Align::Left,   false},
    {"Command1", Kind::Button,  "计 算",                 {3960, 2280, 1215, 375}, 12,    false, {},       {},       Align::Left,   false},
    {"Text4",    Kind::TextBox, "",                      {2400, 3120, 2175, 495}, 21.75, false, 0x0000FF, 0xFFFFC0, Align::Centre, true},
    {"Label8",   Kind::Label,   "所求功率为：",           {120, 3120, 2415, 495},  21.75, false, 0xFF00FF, {},       Align::Left,   false},
    {"Label9",   Kind::Label,   "瓦",                    {4680, 3120, 615, 495},  21.75, false, 0xFF00FF, {},       Align::Left,   false},
    {"Command2", Kind::Button,  "退 出",                 {3960, 1680, 1215, 375}, 12,    false, {},       {},       Align::Left,   false},
    {"Label10",  Kind::Label,   "功率因数为:",            {240, 2760, 1095, 255},  10.5,  false, {},       {},       Align::Left,   false},
    {"Label11",  Kind::Label,   "",                      {1440, 2760, 1095, 255}, 10.5,  true,  0x0000FF, {},       Align::Left,   false},
};
// clang-format on
static_assert(std::size(kControls) == kLabel11 + 1, "a row for each position");

// What screen readers call the controls that show a value, and the picture,
// as the window opens, with the unit they add; and what they are told after
// Calculate with the boxes' initial contents, when Label11 is named with its
// value.
struct Spoken {
    Index control;
    const char* name;
    const char* description;
};
inline constexpr Spoken kSpoken[] = {
    {kPicture1, "公式 P = √3UI cos φ", ""}, {kText1, "请输入电压 U：", "V"},
    {kText2, "请输入电流 I ：", "A"},       {kText3, "请输入相位角ψ：", "度"},
    {kText4, "所求功率为：", "瓦"},         {kLabel11, "功率因数为:", ""},
};
inline constexpr char kResultsTold[] = "功率因数为: 0.98，所求功率为： 9722.70 瓦";
inline constexpr char kLabel11NamedWithResult[] = "功率因数为: 0.98";

// The window opens with the focus on the first of these; Tab moves it along
// them and from the last back to the first.
inline constexpr Index kTabOrder[] = {kPicture1, kText1, kText2,   kText3,
                                      kCommand1, kText4, kCommand2};

}  // namespace kelvaro::expected
