// Identifiers of the resources the executable carries; shared by the resource
// script and the code that loads them, so plain macros.
#pragma once

#define KELVARO_ICON_GROUP 1
#define KELVARO_FIRST_ICON_IMAGE 30001

// The banner, rendered for the screens' usual densities (dots per inch).
#define KELVARO_BANNER_96_DPI 101
#define KELVARO_BANNER_120_DPI 102
#define KELVARO_BANNER_144_DPI 103
