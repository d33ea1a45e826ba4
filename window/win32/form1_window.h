// Form1 on the native Windows API: the design table turned into windows, with
// the window's events routed to its behaviour.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <vector>

#include "window/form1_behavior.h"
#include "window/form1_design.h"
#include "window/form_rendering.h"
#include "window/win32/accessibility.h"

namespace kelvaro::win32 {

class Form1Window : private Form1FrontEnd {
  public:
    // Builds the window at its screen's density and runs its load step. When
    // Windows cannot create it, Created() is false and CreationError() says
    // why. Screen readers are reached through the services given.
    explicit Form1Window(HINSTANCE instance,
                         ScreenReaderServices screenReaders = ScreenReaderServices::System());
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    bool Created() const { return created_; }
    // The error of the first call that failed in making the window: making
    // stops there, and no later call can overwrite it.
    DWORD CreationError() const { return creationError_; }

    // Shows the window centred on the screen, the focus on the picture box.
    void Show(int showCommand);

    // Keyboard navigation between the controls (Tab, Shift+Tab); true when the
    // message was that and has been handled.
    bool HandleNavigation(MSG& message);

  private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ControlColours(UINT message, HDC context, HWND control);
    bool CreateControls();
    HWND CreateControl(const ControlDesign& design);
    // Places and sizes the controls, and gives them fonts, for dotsPerInch_.
    void LayOut();
    void CutLabelsUnderControls();
    // Gives the controls the names, units and roles the design has for them,
    // and marks the announcer a live region; or takes them away.
    void NameControls(bool name);
    SIZE FrameSize(int dotsPerInch) const;
    void FitClientArea();
    // A box that shrinks to fit (Text4) shows its whole text, in a smaller
    // font where the design's is too wide for it.
    void FitText(ControlId control);
    HFONT Font(const FontStyle& style);
    HFONT CreateFormFont(int pixels, int weight) const;
    HBRUSH Brush(Rgb colour);
    int Pixels(int twips) const { return TwipsToPixels(twips, dotsPerInch_); }
    HWND Control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }

    std::string Text(ControlId control) const override;
    void SetText(ControlId control, std::string_view text) override;
    void Announce(std::string_view text) override;
    void ShowMessage(std::string_view text) override;
    void EndProgram() override;

    struct FontEntry {
        double points;
        int weight;
        HFONT font;
    };
    struct BrushEntry {
        std::uint32_t colour;
        HBRUSH brush;
    };

    HINSTANCE instance_;
    int dotsPerInch_;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    // The fonts for dotsPerInch_; replaced when the density changes.
    std::vector<FontEntry> fonts_;
    // A box's font while it is smaller than the design's, or null.
    std::array<HFONT, kControlCount> fittedFonts_{};
    std::vector<BrushEntry> brushes_;
    HWND focusBeforeDeactivation_ = nullptr;
    ScreenReaderServices screenReaders_;
    std::optional<Announcer> announcer_;
    bool created_ = false;
    DWORD creationError_ = ERROR_SUCCESS;
    Form1Behavior behavior_{*this};
};

}  // namespace kelvaro::win32
