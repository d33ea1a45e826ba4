"""Kelvaro.exe under Windows colour schemes that make the system's text light
(dark, and white-on-black high contrast), set where Wine reads them: every
text whose colour the design leaves to the system must read against what lies
behind it, the labels on the window's fixed green included, and the design's
own colours stay. Measured from a screenshot of the window under Wine in Xvfb.

usage: test_colour_schemes.py WINE_RUN KELVARO.exe
Exits 77 (skipped) where the machine cannot run the program.
"""

import glob
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from xsession import (FORM1, READABLE, SYSTEM_COLOURED, XServer, artefact,  # noqa: E402
                      caption_pattern, colours, end, inside, luminance, text_contrast,
                      wait_until)

# HKCU\Control Panel\Colors, as "R G B".
SCHEMES = {
    "dark": {"Window": "0 0 0", "WindowText": "255 255 255",
             "ButtonFace": "0 0 0", "ButtonText": "255 255 255"},
    "high-contrast": {"Window": "0 0 0", "WindowText": "255 255 255", "WindowFrame": "255 255 255",
                      "ButtonFace": "0 0 0", "ButtonText": "255 255 255",
                      "ButtonHilight": "255 255 255", "ButtonShadow": "128 128 128",
                      "Hilight": "128 0 128", "HilightText": "255 255 255", "GrayText": "0 255 0",
                      "Menu": "0 0 0", "MenuText": "255 255 255"},
}

WINE_RUN = KELVARO = None
# Wine prefixes of this test's own, one per architecture and scheme, whose
# servers it ends.
PREFIX = os.path.join(os.environ.get("XDG_CACHE_HOME", os.path.expanduser("~/.cache")),
                      "kelvaro", "wine-colour-scheme-tests")


def colour(hex_rgb):
    """(r, g, b) for #RRGGBB."""
    return tuple(int(hex_rgb[i:i + 2], 16) for i in (1, 3, 5))


class ColourSchemeTest(unittest.TestCase):
    def test_texts_read_under_each_scheme(self):
        for scheme, values in SCHEMES.items():
            with self.subTest(scheme), XServer() as x:
                shot = artefact(f"win32-{scheme}.png")
                self.screenshot(x, values, shot)
                self.check(scheme, shot)

    def screenshot(self, x, values, shot):
        """Starts the program under the scheme and takes a screenshot once its
        window is painted (two screenshots alike)."""
        scheme = ";".join(f"{name}={value}" for name, value in values.items())
        env = dict(x.env, KELVARO_WINEPREFIX=PREFIX, KELVARO_WINE_COLOURS=scheme)
        program = subprocess.Popen([WINE_RUN, KELVARO], env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE)
        try:
            def found():
                if program.poll() == 77:
                    self.skipTest(program.stderr.read().decode().strip())
                return x.run("xdotool", "search", "--all", "--pid", str(program.pid),
                             "--onlyvisible", "--name", caption_pattern(), check=False).split()

            # The first start in a new prefix takes a while.
            window = int(wait_until(found, bool, "Kelvaro.exe's window", 120)[0])
            # Wine draws the frame itself, inside the X window: the client area
            # lies above the bottom border, as wide as the side borders.
            left, top, width, height = x.geometry(window)
            border = (width - FORM1.size[0]) // 2
            self.client = (left + border, top + height - border - FORM1.size[1])
            looks = [None]

            def look():
                x.screenshot(shot)
                looks.append(self.colours_in(shot, (0, 0, *FORM1.size)))
                return looks[-2:]

            wait_until(look, lambda last: last[0] == last[1] and
                       colour(FORM1.background) in last[1], "the window painted")
        finally:
            end(program)
            program.stderr.close()
            for prefix in filter(os.path.isdir, glob.glob(PREFIX + "-*")):
                subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix),
                               capture_output=True, check=False)

    def colours_in(self, shot, box):
        """The colours of a box given in the client area."""
        x, y, width, height = box
        return colours(shot, (self.client[0] + x, self.client[1] + y, width, height))

    def check(self, scheme, shot):
        measured = {name: text_contrast(self.colours_in(shot, inside(name)))
                    for name in SYSTEM_COLOURED}
        # The scheme took hold: the boxes' ground follows it.
        self.assertLess(luminance(measured["Text1"][1]), 0.2, f"{scheme}: Text1's ground")
        for name, (ratio, behind) in measured.items():
            if FORM1.controls[name].kind == "Label":
                self.assertEqual(behind, colour(FORM1.background), f"{scheme}: {name}")
            self.assertGreaterEqual(ratio, READABLE, f"{scheme}: {name} on {behind}")
        # The design's own colours stay (Label11 is empty until a calculation).
        for name, control in FORM1.controls.items():
            if control.kind == "Label" and control.text_colour and name != "Label11":
                self.assertIn(colour(control.text_colour), self.colours_in(shot, control.box),
                              f"{scheme}: {name}")


def main():
    global WINE_RUN, KELVARO
    WINE_RUN, KELVARO = sys.argv[1:3]
    result = unittest.main(argv=sys.argv[:1], exit=False).result
    sys.exit(1 if not result.wasSuccessful() else 77 if result.skipped else 0)


if __name__ == "__main__":
    main()
