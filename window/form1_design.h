// The design of the main window, Form1, as data: the window's attributes and
// its eighteen controls. Every front end renders this one table and repeats
// none of its values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvaro {

// Positions and sizes are in twips: 1440 to the inch, so 15 to a pixel at
// 96 dots per inch. Left and top are measured from the top-left corner of the
// window's client area.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDesignDotsPerInch = 96;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// A colour as 0xRRGGBB.
struct Rgb {
    std::uint32_t value;

    constexpr int Red() const { return static_cast<int>((value >> 16) & 0xFF); }
    constexpr int Green() const { return static_cast<int>((value >> 8) & 0xFF); }
    constexpr int Blue() const { return static_cast<int>(value & 0xFF); }
};

inline constexpr int kNormalWeight = 400;
inline constexpr int kBoldWeight = 700;

// Every font of the window is of the form's family; a control's own font
// differs only in size and weight.
struct FontStyle {
    double points;
    int weight = kNormalWeight;
};

enum class ControlKind { Label, PictureBox, TextBox, PushButton };
enum class Alignment { Left, Centre, Right };
enum class Picture { None, Banner };

// The controls in their focus order.
enum class ControlId {
    Label1,
    Picture1,
    Label2,
    Label3,
    Label4,
    Text1,
    Text2,
    Text3,
    Label5,
    Label6,
    Label7,
    Command1,
    Text4,
    Label8,
    Label9,
    Command2,
    Label10,
    Label11,
};
inline constexpr std::size_t kControlCount = 18;

struct ControlDesign {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    std::string_view text = {};  // a label's or button's caption, a text box's initial text
    TwipRect rect;
    std::optional<FontStyle> font = std::nullopt;  // none: the form's default font
    std::optional<Rgb> textColour = std::nullopt;  // none: the system's colour for the kind
    std::optional<Rgb> backColour = std::nullopt;
    Alignment alignment = Alignment::Left;
    bool readOnly = false;
    // A label whose box was fitted to its one line of text; the rectangle
    // above is that box.
    bool sizedToContent = false;
    Picture picture = Picture::None;
    // What screen readers call a control that shows a value: the label that
    // says what it is, and the label after it that gives its unit.
    std::optional<ControlId> namedBy = std::nullopt;
    std::optional<ControlId> unitLabel = std::nullopt;
    // What they call a control no label names (the picture).
    std::string_view accessibleName = {};
};

// Every front end builds the window fixed in size, with a close box and a
// window menu but no minimise or maximise button, opening centred on the screen.
// A picture box is drawn in the platform's sunken panel, two pixels a side.
struct FormDesign {
    std::string_view name;
    std::string_view caption;
    // The title of the application, shown on its message boxes.
    std::string_view applicationTitle;
    int clientWidth;  // twips
    int clientHeight;
    Rgb background;
    // The face of every font of the window.
    std::string_view fontFamily;
    FontStyle defaultFont;
    std::array<ControlDesign, kControlCount> controls;
};

inline constexpr FormDesign kForm1{
    .name = "Form1",
    .caption = "智能Kelvaro   [编程: Mirelle]",
    .applicationTitle = "Kelvaro",
    .clientWidth = 5355,
    .clientHeight = 3705,
    .background = {0xC0FFC0},
    .fontFamily = "宋体",
    .defaultFont = {9},
    .controls = {{
        {.id = ControlId::Label1,
         .name = "Label1",
         .kind = ControlKind::Label,
         .text = "自动计算功率因数和功率",
         .rect = {240, 120, 3975, 375},
         .font = FontStyle{14.25, kBoldWeight},
         .textColour = Rgb{0x0000FF}},
        {.id = ControlId::Picture1,
         .name = "Picture1",
         .kind = ControlKind::PictureBox,
         .rect = {240, 480, 4890, 1125},
         .picture = Picture::Banner,
         .accessibleName = "公式 P = √3UI cos φ"},
        {.id = ControlId::Label2,
         .name = "Label2",
         .kind = ControlKind::Label,
         .text = "请输入电压 U：",
         .rect = {360, 1680, 1590, 210},
         .font = FontStyle{10.5, kBoldWeight},
         .textColour = Rgb{0xC00000},
         .sizedToContent = true},
        {.id = ControlId::Label3,
         .name = "Label3",
         .kind = ControlKind::Label,
         .text = "请输入电流 I ：",
         .rect = {360, 2040, 1710, 210},
         .font = FontStyle{10.5, kBoldWeight},
         .textColour = Rgb{0xC00000},
         .sizedToContent = true},
        {.id = ControlId::Label4,
         .name = "Label4",
         .kind = ControlKind::Label,
         .text = "请输入相位角ψ：",
         .rect = {360, 2400, 1800, 210},
         .font = FontStyle{10.5, kBoldWeight},
         .textColour = Rgb{0xC00000},
         .sizedToContent = true},
        {.id = ControlId::Text1,
         .name = "Text1",
         .kind = ControlKind::TextBox,
         .text = "380",
         .rect = {2280, 1680, 975, 270},
         .alignment = Alignment::Right,
         .namedBy = ControlId::Label2,
         .unitLabel = ControlId::Label5},
        {.id = ControlId::Text2,
         .name = "Text2",
         .kind = ControlKind::TextBox,
         .text = "15",
         .rect = {2280, 2040, 975, 270},
         .alignment = Alignment::Right,
         .namedBy = ControlId::Label3,
         .unitLabel = ControlId::Label6},
        {.id = ControlId::Text3,
         .name = "Text3",
         .kind = ControlKind::TextBox,
         .text = "10",
         .rect = {2280, 2400, 975, 270},
         .alignment = Alignment::Right,
         .namedBy = ControlId::Label4,
         .unitLabel = ControlId::Label7},
        {.id = ControlId::Label5,
         .name = "Label5",
         .kind = ControlKind::Label,
         .text = "V",
         .rect = {3360, 1680, 375, 255},
         .font = FontStyle{12}},
        {.id = ControlId::Label6,
         .name = "Label6",
         .kind = ControlKind::Label,
         .text = "A",
         .rect = {3360, 2040, 375, 255},
         .font = FontStyle{12}},
        {.id = ControlId::Label7,
         .name = "Label7",
         .kind = ControlKind::Label,
         .text = "度",
         .rect = {3360, 2400, 375, 255},
         .font = FontStyle{10.5}},
        {.id = ControlId::Command1,
         .name = "Command1",
         .kind = ControlKind::PushButton,
         .text = "计 算",
         .rect = {3960, 2280, 1215, 375},
         .font = FontStyle{12}},
        {.id = ControlId::Text4,
         .name = "Text4",
         .kind = ControlKind::TextBox,
         .rect = {2400, 3120, 2175, 495},
         .font = FontStyle{21.75},
         .textColour = Rgb{0x0000FF},
         .backColour = Rgb{0xFFFFC0},
         .alignment = Alignment::Centre,
         .readOnly = true,
         .namedBy = ControlId::Label8,
         .unitLabel = ControlId::Label9},
        {.id = ControlId::Label8,
         .name = "Label8",
         .kind = ControlKind::Label,
         .text = "所求功率为：",
         .rect = {120, 3120, 2415, 495},
         .font = FontStyle{21.75},
         .textColour = Rgb{0xFF00FF}},
        {.id = ControlId::Label9,
         .name = "Label9",
         .kind = ControlKind::Label,
         .text = "瓦",
         .rect = {4680, 3120, 615, 495},
         .font = FontStyle{21.75},
         .textColour = Rgb{0xFF00FF}},
        {.id = ControlId::Command2,
         .name = "Command2",
         .kind = ControlKind::PushButton,
         .text = "退 出",
         .rect = {3960, 1680, 1215, 375},
         .font = FontStyle{12}},
        {.id = ControlId::Label10,
         .name = "Label10",
         .kind = ControlKind::Label,
         .text = "功率因数为:",
         .rect = {240, 2760, 1095, 255},
         .font = FontStyle{10.5}},
        {.id = ControlId::Label11,
         .name = "Label11",
         .kind = ControlKind::Label,
         .text = "功率因数",
         .rect = {1440, 2760, 1095, 255},
         .font = FontStyle{10.5, kBoldWeight},
         .textColour = Rgb{0x0000FF},
         .namedBy = ControlId::Label10},
    }},
};

constexpr const ControlDesign& Design(ControlId id) {
    return kForm1.controls[static_cast<std::size_t>(id)];
}

// The table lists each control at the place its id names: a control's tab
// index is its position.
constexpr bool ControlsAreInFocusOrder() {
    for (std::size_t i = 0; i < kForm1.controls.size(); ++i) {
        if (static_cast<std::size_t>(kForm1.controls[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(ControlsAreInFocusOrder());

// Labels take no focus; every other control does, the picture box included.
constexpr bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::Label;
}

}  // namespace kelvaro
