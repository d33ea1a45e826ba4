"""The real program under the desktop's colour scheme (Qt's GTK 3 platform
theme, light and dark): every text whose colour the window leaves to the
system must read against what lies behind it, measured from a screenshot."""

import collections
import glob
import subprocess
import unittest

from xsession import FORM1, XServer, artefact, caption_pattern, end

# WCAG AA for normal text.
READABLE = 4.5
# Every control with a text whose colour the design leaves to the system, and
# the part of it inside its border and bevel.
SYSTEM_COLOURED = [name for name, control in FORM1.controls.items()
                   if control.text_colour is None and control.kind != "Picture"]


def inside(name):
    x, y, width, height = FORM1.controls[name].box
    inset = 0 if FORM1.controls[name].kind == "Label" else 3
    return (x + inset, y + inset, width - 2 * inset, height - 2 * inset)


THEMES = {"dark": "Adwaita:dark", "light": "Adwaita"}


def luminance(rgb):
    def channel(value):
        c = value / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    red, green, blue = map(channel, rgb)
    return 0.2126 * red + 0.7152 * green + 0.0722 * blue


def contrast(a, b):
    dark, light = sorted((luminance(a), luminance(b)))
    return (light + 0.05) / (dark + 0.05)


def colours(shot, area):
    x, y, width, height = area
    data = subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return collections.Counter(tuple(data[i:i + 3]) for i in range(0, len(data), 3))


def text_contrast(counts):
    """The commonest colour lies behind the text; the text is the colour that
    stands out most from it."""
    behind = counts.most_common(1)[0][0]
    return max(contrast(colour, behind) for colour in counts), behind


class ThemeTest(unittest.TestCase):
    def test_texts_read_under_each_scheme(self):
        if not glob.glob("/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so"):
            self.skipTest("Qt's GTK 3 platform theme (qt6-gtk-platformtheme) is not installed")
        for scheme, theme in THEMES.items():
            with self.subTest(scheme), XServer() as x:
                program = x.start(env={"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": theme})
                try:
                    window = x.wait_for_window(caption_pattern(), pid=program.pid)
                    shot = artefact(f"theme-{scheme}.png")
                    x.painted_screenshot(shot, window)
                    left, top, _, _ = x.geometry(window)
                    measured = {}
                    for name in SYSTEM_COLOURED:
                        area_x, area_y, width, height = inside(name)
                        measured[name] = text_contrast(
                            colours(shot, (left + area_x, top + area_y, width, height)))
                    # The scheme took hold: the box's ground follows it.
                    box_ground = luminance(measured["Text1"][1])
                    self.assertEqual(box_ground < 0.2, scheme == "dark", box_ground)
                    for name, (ratio, _) in measured.items():
                        self.assertGreaterEqual(ratio, READABLE, f"{scheme}: {name}")
                finally:
                    end(program)


if __name__ == "__main__":
    unittest.main()
