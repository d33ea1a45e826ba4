// The two kinds of control the system does not offer as they are: labels and
// the picture box. Each is null where Windows refuses it, GetLastError saying why.
#pragma once

#include <windows.h>

#include "window/form1_design.h"
#include "window/form_rendering.h"

namespace kelvaro::win32 {

inline COLORREF ColourRef(Rgb rgb) {
    return RGB(rgb.Red(), rgb.Green(), rgb.Blue());
}

// A label: a static text control that draws itself over the brush and in the
// colours its parent gives in WM_CTLCOLORSTATIC, wrapped within its width, and
// draws no line that its height would cut.
HWND CreateLabel(HWND parent, const ControlDesign& design);

// A picture box with a sunken border, in the focus order, showing the picture
// scaled to fill the inside of its border.
HWND CreatePictureBox(HWND parent, HINSTANCE instance, const ControlDesign& design);

// Shows the picture rendered for the screen's density.
void SetPictureDensity(HWND pictureBox, int dotsPerInch);

}  // namespace kelvaro::win32
