// The two kinds of control the system does not offer as they are: labels and
// the picture box.
#pragma once

#include <windows.h>

#include "window/form1_design.h"
#include "window/form_rendering.h"

namespace kelvaro::win32 {

inline COLORREF ColourRef(Rgb rgb) {
    return RGB(rgb.Red(), rgb.Green(), rgb.Blue());
}

// A label: a static text control that draws itself transparent over the form's
// background, wrapped within its width, and draws no line that its height
// would cut. `design` must outlive the label.
HWND CreateLabel(HWND parent, const ControlDesign& design, RECT box);

// A picture box with a sunken border, in the focus order, showing the picture
// at its top-left, rendered for the screen's density.
HWND CreatePictureBox(HWND parent, HINSTANCE instance, const ControlDesign& design, RECT box,
                      int dotsPerInch);

}  // namespace kelvaro::win32
