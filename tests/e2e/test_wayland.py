"""The real program as a client of a Wayland compositor (weston, nested in
Xvfb): how it chooses its platform, a user's session on native Wayland, and
the maximise that Qt's own title bar and the compositor's keys offer."""

import subprocess
import time
import unittest

from weston import (CLOSE_BUTTON, MAXIMISE_BUTTON, TITLE_BAR_HEIGHT, Weston, ink_runs,
                    missing)
from xsession import FORM1, SCREEN, Started, XServer, artefact, caption_pattern, end

TEXT1, TEXT2, TEXT3 = (FORM1.centre(name) for name in ("Text1", "Text2", "Text3"))
CALCULATE, EXIT = FORM1.centre("Command1"), FORM1.centre("Command2")
# Qt's own window colour, behind a message box's text.
MESSAGE_BACKGROUND = "#EFEFEF"
# The band of the window below the inputs: Label10, Label11, Label8, Text4, Label9.
RESULTS_TOP = FORM1.controls["Label10"].box[1]
# An empty spot of the window: its bottom-right corner.
EMPTY_SPOT = (FORM1.size[0] - 4, FORM1.size[1] - 4)


class WaylandSession(Started):
    """Its own Xvfb with weston nested in it; the program once started."""

    def __init__(self):
        self.program = self.weston = self.x = None

    def _start(self):
        reason = missing()
        if reason:
            raise unittest.SkipTest(reason)
        self.x = XServer().__enter__()
        self.weston = Weston(self.x).__enter__()

    def __exit__(self, *exception):
        end(self.program)
        for part in (self.weston, self.x):
            if part is not None:
                part.__exit__(*exception)

    def start(self, env=None):
        self.program = self.weston.start(env)

    def window(self, timeout=10.0):
        """The client area of the main window: where it is, once it has its size."""
        return self.weston.find(FORM1.background, size=FORM1.size, timeout=timeout)

    def click(self, window, point):
        self.weston.click(window[0] + point[0], window[1] + point[1])

    def type_into(self, window, box, text):
        self.click(window, box)
        self.weston.key("ctrl+a", "BackSpace")
        if text:
            self.x.type(text)

    def frame(self, window):
        """The main window with Qt's title bar and borders."""
        x, y, width, height = window
        return (x - 4, y - TITLE_BAR_HEIGHT - 2, width + 8, height + TITLE_BAR_HEIGHT + 6)

    def message_box(self, window, shot=None, size=None):
        """The message box, title bar included, once it is up (at the size
        given); None where it overlaps the main window, which hides part of it
        from the search."""
        frame = self.frame(window)
        box = self.weston.find(MESSAGE_BACKGROUND, size=size, hide=frame, shot=shot)
        return None if overlap(box, frame) else box

    def show_message(self, window, shot=None, tries=8):
        """Clicks Calculate until the message box it brings up lies clear of
        the main window (the compositor places it where it likes); returns it."""
        for _ in range(tries):
            self.click(window, CALCULATE)
            box = self.message_box(window, shot)
            if box:
                self.wait_until_active(box, shot)
                return box
            self.dismiss_message(window)
        raise AssertionError("every message box overlapped the main window")

    def wait_until_active(self, box, shot=None, timeout=5.0):
        """weston activates a new window a moment after it first shows it
        (under load, weston 14 several frames later): until then Qt draws
        its title grey and keys go to the window before it. Waits for the
        title in the active colour, or the timeout; the shot is the last
        screenshot taken."""
        deadline = time.monotonic() + timeout
        while (not title_is_whole(self.weston.screenshot(shot), box) and
               time.monotonic() < deadline):
            time.sleep(0.1)

    def dismiss_message(self, window):
        self.weston.key("Return")
        self.weston.gone(MESSAGE_BACKGROUND, hide=self.frame(window))

    def alive(self):
        return self.program.poll() is None


def overlap(a, b, margin=2):
    """Whether two rectangles overlap or come within the margin of each other."""
    return (a[0] <= b[0] + b[2] + margin and b[0] <= a[0] + a[2] + margin and
            a[1] <= b[1] + b[3] + margin and b[1] <= a[1] + a[3] + margin)


def title_is_whole(shot, box):
    """Qt centres the title on the whole title bar and cuts it where the
    buttons begin: a whole title lies centred, a cut one does not."""
    x, y, width, _ = box
    runs = ink_runs(shot, (x, y + 8, width, TITLE_BAR_HEIGHT - 16))
    if not runs:
        return False
    centre = width / 2
    title = min(runs, key=lambda run: abs((run[0] + run[1]) / 2 - centre))
    return abs((title[0] + title[1]) / 2 - centre) <= 2 and title[1] - title[0] > 20


class PlatformChoiceTest(unittest.TestCase):
    def test_x11_preferred_where_the_session_has_it(self):
        with WaylandSession() as session:
            # The Xvfb that weston runs in plays XWayland's part.
            session.start(env={"DISPLAY": session.x.display})
            window = session.x.wait_for_window(caption_pattern(), pid=session.program.pid)
            x, y, width, height = session.x.geometry(window)
            self.assertLessEqual(abs(x + width / 2 - SCREEN[0] / 2), 1)
            self.assertLessEqual(abs(y + height / 2 - SCREEN[1] / 2), 1)

    def test_chosen_platform_stands(self):
        with WaylandSession() as session:
            session.start(env={"DISPLAY": session.x.display, "QT_QPA_PLATFORM": "wayland"})
            session.window()
            found = session.x.run("xdotool", "search", "--pid", str(session.program.pid),
                                  check=False)
            self.assertEqual(found, "")


class NativeWaylandTest(unittest.TestCase):
    def test_calculate_messages_and_exit(self):
        reference = self.results_on_x11("220", "10", "30")
        with WaylandSession() as session:
            session.start()
            window = session.window()
            for box, text in ((TEXT1, "220"), (TEXT2, "10"), (TEXT3, "30")):
                session.type_into(window, box, text)
            before = crop_results(session.weston.screenshot(), window)
            session.click(window, CALCULATE)
            self.assertEqual(settled(lambda: crop_results(session.weston.screenshot(), window),
                                     before), reference)
            session.weston.screenshot(artefact("wayland-results.png"))

            # Each check's message: a blank input, then voltage, current and
            # angle out of their limits.
            for name, (voltage, current, angle) in {
                    "missing": ("", "10", "30"), "voltage": ("-1", "10", "30"),
                    "current": ("220", "-1", "30"), "angle": ("220", "10", "91")}.items():
                with self.subTest(name):
                    for box, text in ((TEXT1, voltage), (TEXT2, current), (TEXT3, angle)):
                        session.type_into(window, box, text)
                    shot = artefact(f"wayland-message-{name}.png")
                    box = session.show_message(window, shot)
                    self.assertTrue(title_is_whole(shot, box), box)
                    session.dismiss_message(window)

            session.click(window, EXIT)
            self.assertEqual(session.program.wait(timeout=10), 0)

    def test_title_bar_close_ends_the_program(self):
        with WaylandSession() as session:
            session.start()
            window = session.window()
            # The title bar may take input a moment after the window shows.
            for _ in range(5):
                session.click(window, (FORM1.size[0] + CLOSE_BUTTON[0], CLOSE_BUTTON[1]))
                try:
                    self.assertEqual(session.program.wait(timeout=2), 0)
                    return
                except subprocess.TimeoutExpired:
                    pass
            self.fail("the close button did not end the program")

    def test_maximise_leaves_the_window_as_it_was(self):
        with WaylandSession() as session:
            session.start()
            window = session.window()
            for name, action in {
                    "title-bar button": lambda: session.click(
                        window, (FORM1.size[0] + MAXIMISE_BUTTON[0], MAXIMISE_BUTTON[1])),
                    "compositor's maximise key": lambda: session.weston.key("super+shift+m"),
                    "compositor's full-screen key": lambda: session.weston.key("super+shift+f"),
            }.items():
                with self.subTest(name):
                    session.click(window, EMPTY_SPOT)
                    action()
                    # The next commit after a maximise is where a wrong size
                    # ends the connection.
                    session.click(window, EMPTY_SPOT)
                    self.assertEqual(session.window(), window)
                    self.assertTrue(session.alive())

            # The message box too.
            session.type_into(window, TEXT1, "")
            box = session.show_message(window)
            session.weston.click(box[0] + box[2] // 2, box[1] + TITLE_BAR_HEIGHT + 5)
            session.weston.key("super+shift+m")
            session.weston.click(box[0] + box[2] // 2, box[1] + TITLE_BAR_HEIGHT + 5)
            self.assertEqual(session.message_box(window, size=box[2:]), box)
            self.assertTrue(session.alive())

    @staticmethod
    def results_on_x11(voltage, current, angle):
        """The results band as the same inputs leave it on X11."""
        with XServer() as x:
            program = x.start()
            try:
                window = x.wait_for_window(caption_pattern(), pid=program.pid)
                x.focus(window)
                for box, text in ((TEXT1, voltage), (TEXT2, current), (TEXT3, angle)):
                    x.replace_text(window, box, text)
                shot = artefact("wayland-reference-x11.png")
                x.painted_screenshot(shot, window)

                def results():
                    x.screenshot(shot)
                    return crop_results(shot, x.geometry(window))

                before = results()
                x.click(window, *CALCULATE)
                return settled(results, before)
            finally:
                program.kill()
                program.wait()


def settled(take, before, timeout=10.0):
    """What take() returns once it has changed from before and stays."""
    deadline = time.monotonic() + timeout
    previous = before
    while time.monotonic() < deadline:
        time.sleep(0.1)
        current = take()
        if current != before and current == previous:
            return current
        previous = current
    raise TimeoutError("the window did not settle")


def crop_results(shot, window):
    x, y, width, height = window
    return subprocess.run(["convert", shot, "-crop",
                           f"{width}x{height - RESULTS_TOP}+{x}+{y + RESULTS_TOP}", "+repage",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout


if __name__ == "__main__":
    unittest.main()
