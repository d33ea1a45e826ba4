"""The real program under the desktop's colour scheme (Qt's GTK 3 platform
theme, light and dark): every text whose colour the window leaves to the
system must read against what lies behind it, measured from a screenshot."""

import glob
import unittest

from xsession import (READABLE, SYSTEM_COLOURED, XServer, artefact, caption_pattern, colours,
                      end, inside, luminance, text_contrast)

THEMES = {"dark": "Adwaita:dark", "light": "Adwaita"}


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
