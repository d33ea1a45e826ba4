"""The real program's window in a real X server, as the window system sees it."""

import re
import unittest

from xsession import FORM1, XServer, artefact, caption_pattern

# _MOTIF_WM_HINTS bits for the minimise and maximise functions and buttons.
MWM_FUNCTION_MINIMISE, MWM_FUNCTION_MAXIMISE = 0x08, 0x10
MWM_DECORATION_MINIMISE, MWM_DECORATION_MAXIMISE = 0x20, 0x40


class WindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Class cleanups run, last first, even when the set-up fails half-way.
        cls.server = XServer().__enter__()
        cls.addClassCleanup(cls.server.__exit__, None, None, None)
        cls.program = cls.server.start()
        cls.addClassCleanup(cls.program.wait)
        cls.addClassCleanup(cls.program.kill)
        cls.window = cls.server.wait_for_window(caption_pattern(), pid=cls.program.pid)
        cls.shot = artefact("form1.png")
        cls.server.painted_screenshot(cls.shot, cls.window)

    def test_caption_is_exact(self):
        self.assertEqual(self.server.text_property(self.window, "_NET_WM_NAME"), FORM1.caption)
        self.assertEqual(self.server.text_property(self.window, "WM_NAME"), FORM1.caption)

    # Centred with its frame: under a window manager (test_window_manager).
    def test_client_area_is_fixed(self):
        self.assertEqual(self.server.geometry(self.window)[2:], FORM1.size)
        hints = self.server.property(self.window, "WM_NORMAL_HINTS")
        self.assertIn("program specified minimum size: %d by %d" % FORM1.size, hints)
        self.assertIn("program specified maximum size: %d by %d" % FORM1.size, hints)

    def test_no_minimise_or_maximise_button(self):
        hints = self.server.property(self.window, "_MOTIF_WM_HINTS")
        _, functions, decorations = (int(v, 16) for v in re.findall(r"0x[0-9a-f]+", hints)[:3])
        self.assertFalse(functions & (MWM_FUNCTION_MINIMISE | MWM_FUNCTION_MAXIMISE))
        self.assertFalse(decorations & (MWM_DECORATION_MINIMISE | MWM_DECORATION_MAXIMISE))

    def test_icon_is_offered_for_the_title_bar(self):
        icon = self.server.property(self.window, "_NET_WM_ICON")
        self.assertIn("Icon (16 x 16)", icon)
        self.assertIn("Icon (32 x 32)", icon)

    def test_colours_where_they_belong(self):
        x, y, _, _ = self.server.geometry(self.window)
        # An empty spot of the window, and just inside the result box Text4.
        self.assertEqual(self.server.pixel(self.shot, x + 350, y + 240), FORM1.background)
        result = FORM1.controls["Text4"]
        self.assertEqual(self.server.pixel(self.shot, x + result.box[0] + 5, y + result.box[1] + 4),
                         result.back_colour)


if __name__ == "__main__":
    unittest.main()
