"""The real program under an X11 window manager that frames its window and
offers full screen in its window menu whatever the window's size hints say
(xfwm4)."""

import re
import shutil
import subprocess
import unittest

from xsession import FORM1, SCREEN, XServer, caption_pattern, end, wait_until

WINDOW_MANAGER = ["xfwm4", "--compositor=off"]


def framed(x, window):
    """(x, y, width, height) of the window with the frame its manager gave it."""
    left, right, top, bottom = map(int, re.findall(r"\d+", x.property(
        window, "_NET_FRAME_EXTENTS").split("=")[-1]))
    client_x, client_y, width, height = x.geometry(window)
    return (client_x - left, client_y - top, width + left + right, height + top + bottom)


def centred(frame):
    x, y, width, height = frame
    return abs(2 * x + width - SCREEN[0]) <= 2 and abs(2 * y + height - SCREEN[1]) <= 2


class WindowManagerTest(unittest.TestCase):
    def test_centred_in_its_frame_and_back_from_full_screen(self):
        if shutil.which(WINDOW_MANAGER[0]) is None:
            self.skipTest(f"{WINDOW_MANAGER[0]} is not installed")
        with XServer() as x:
            manager = subprocess.Popen(WINDOW_MANAGER, env=x.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            program = None
            try:
                wait_until(lambda: x.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                         check=False), lambda root: "window id" in root,
                           "the window manager")
                program = x.start()
                window = x.wait_for_window(caption_pattern(), pid=program.pid)
                # Framed, it stands centred on the screen, frame and all.
                wait_until(lambda: x.property(window, "_NET_WM_ALLOWED_ACTIONS"),
                           lambda actions: "_NET_WM_ACTION_FULLSCREEN" in actions, "full screen")
                placed = wait_until(lambda: framed(x, window), centred, "the frame centred")
                self.assertEqual(x.geometry(window)[2:], FORM1.size)

                # The manager makes it full screen; the window leaves that
                # state at once, and the manager puts it back as it was.
                x.request_state(window, "_NET_WM_STATE_FULLSCREEN")
                wait_until(lambda: (x.property(window, "_NET_WM_STATE"), framed(x, window)),
                           lambda seen: "FULLSCREEN" not in seen[0] and seen[1] == placed,
                           "the window back from full screen")
                self.assertIsNone(program.poll())
            finally:
                end(program)
                end(manager)


if __name__ == "__main__":
    unittest.main()
