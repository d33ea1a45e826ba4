"""The real program under an X11 window manager that offers full screen in
its window menu whatever the window's size hints say (xfwm4)."""

import shutil
import subprocess
import time
import unittest

from xsession import FORM1, XServer, caption_pattern, end

WINDOW_MANAGER = ["xfwm4", "--compositor=off"]


def wait_until(condition, timeout=10.0):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


class WindowManagerTest(unittest.TestCase):
    def test_full_screen_returns_to_the_fixed_size_and_place(self):
        if shutil.which(WINDOW_MANAGER[0]) is None:
            self.skipTest(f"{WINDOW_MANAGER[0]} is not installed")
        with XServer() as x:
            manager = subprocess.Popen(WINDOW_MANAGER, env=x.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            program = None
            try:
                self.assertTrue(wait_until(lambda: "window id" in x.run(
                    "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)))
                program = x.start()
                window = x.wait_for_window(caption_pattern(), pid=program.pid)
                # Once the manager has framed the window, it offers full screen.
                self.assertTrue(wait_until(lambda: "_NET_WM_ACTION_FULLSCREEN" in x.property(
                    window, "_NET_WM_ALLOWED_ACTIONS")))
                placed = x.geometry(window)
                self.assertEqual(placed[2:], FORM1.size)

                x.request_state(window, "_NET_WM_STATE_FULLSCREEN")
                # The manager makes it full screen; the window leaves that
                # state at once and returns where it was, at its size.
                self.assertTrue(wait_until(
                    lambda: "FULLSCREEN" not in x.property(window, "_NET_WM_STATE") and
                    x.geometry(window) == placed), x.geometry(window))
                time.sleep(0.5)
                self.assertEqual(x.geometry(window), placed)
                self.assertNotIn("FULLSCREEN", x.property(window, "_NET_WM_STATE"))
                self.assertIsNone(program.poll())
            finally:
                end(program)
                end(manager)


if __name__ == "__main__":
    unittest.main()
