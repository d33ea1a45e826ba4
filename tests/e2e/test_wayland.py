"""The real program as a client of a Wayland compositor (weston, nested in
Xvfb): how it chooses its platform, a user's session on native Wayland, and
the maximise that Qt's own title bar and the compositor's keys offer."""

import subprocess
import unittest

from weston import (CLOSE_BUTTON, MAXIMISE_BUTTON, TITLE_BAR_HEIGHT, Weston, ink_runs,
                    missing)
from xsession import (FORM1, MESSAGE_TITLE, Started, XServer, artefact, caption_pattern, end,
                      wait_until)

TEXT1, TEXT2, TEXT3 = (FORM1.centre(name) for name in ("Text1", "Text2", "Text3"))
CALCULATE, EXIT = FORM1.centre("Command1"), FORM1.centre("Command2")
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

    def window(self):
        """The client area of the main window, once it has its size and is
        drawn (before that, input to it is lost)."""
        window = self.weston.window(FORM1.caption, size=FORM1.size)[1]
        self.wait_until_drawn(FORM1.caption)
        return window

    def click(self, window, point):
        self.weston.click(window[0] + point[0], window[1] + point[1])

    def type_into(self, window, box, text):
        self.click(window, box)
        self.weston.key("ctrl+a", "BackSpace")
        if text:
            self.x.type(text)

    def wait_until_drawn(self, title, shot=None):
        """The window of the title, title bar included, once a screenshot
        shows its title drawn; the shot is the last one taken."""
        def look():
            frame = self.weston.window(title)[0]
            return frame, self.weston.screenshot(shot)

        return wait_until(look, lambda seen: title_runs(*reversed(seen)), f"{title!r} drawn")[0]

    def show_message(self, window, shot=None):
        """Clicks Calculate; returns the message box it brings up, title bar
        included, clicked into once drawn: weston gives a new window the keys
        a moment after it shows it, or (weston 14, at times) only on a click."""
        self.click(window, CALCULATE)
        box = self.wait_until_drawn(MESSAGE_TITLE, shot)
        self.weston.click(*inside(box))
        return box

    def dismiss_message(self):
        self.weston.key("Return")
        self.weston.gone(MESSAGE_TITLE)

    def alive(self):
        return self.program.poll() is None


def inside(frame):
    """A point of a window just below its title bar."""
    return (frame[0] + frame[2] // 2, frame[1] + TITLE_BAR_HEIGHT + 5)


def title_runs(shot, frame):
    """The runs of columns in a window's title bar that hold ink, of its
    title (black while the window is active, grey while not), icon and
    buttons, as (first, last) from its left edge."""
    x, y, width, _ = frame
    return ink_runs(shot, (x, y + 8, width, TITLE_BAR_HEIGHT - 16), darkest=230)


def title_is_whole(shot, frame):
    """Qt centres the title on the whole title bar and cuts it where the
    buttons begin: a whole title lies centred, a cut one does not."""
    centre = frame[2] / 2
    title = min(title_runs(shot, frame), key=lambda run: abs((run[0] + run[1]) / 2 - centre))
    return abs((title[0] + title[1]) / 2 - centre) <= 2 and title[1] - title[0] > 20


class PlatformChoiceTest(unittest.TestCase):
    def test_x11_preferred_where_the_session_has_it(self):
        with WaylandSession() as session:
            # The Xvfb that weston runs in plays XWayland's part.
            session.start(env={"DISPLAY": session.x.display})
            session.x.wait_for_window(caption_pattern(), pid=session.program.pid)

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

            # Each check's message, its title whole: a blank input, then
            # voltage, current and angle out of their limits.
            for name, (voltage, current, angle) in {
                    "missing": ("", "10", "30"), "voltage": ("-1", "10", "30"),
                    "current": ("220", "-1", "30"), "angle": ("220", "10", "91")}.items():
                with self.subTest(name):
                    for box, text in ((TEXT1, voltage), (TEXT2, current), (TEXT3, angle)):
                        session.type_into(window, box, text)
                    shot = artefact(f"wayland-message-{name}.png")
                    box = session.show_message(window, shot)
                    self.assertTrue(title_is_whole(shot, box), box)
                    session.dismiss_message()

            session.click(window, EXIT)
            self.assertEqual(session.program.wait(timeout=10), 0)

    def test_title_bar_close_ends_the_program(self):
        with WaylandSession() as session:
            session.start()
            window = session.window()
            session.click(window, (FORM1.size[0] + CLOSE_BUTTON[0], CLOSE_BUTTON[1]))
            self.assertEqual(session.program.wait(timeout=10), 0)

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
                    # Between states the window may be missing from the
                    # scene graph: wait for it back where it was.
                    wait_until(session.weston.windows,
                               lambda windows: windows.get(FORM1.caption, (None, None))[1] ==
                               window, "the window as it was")
                    self.assertTrue(session.alive())

            # The message box too.
            session.type_into(window, TEXT1, "")
            box = session.show_message(window)
            session.weston.key("super+shift+m")
            session.weston.click(*inside(box))
            wait_until(session.weston.windows,
                       lambda windows: windows.get(MESSAGE_TITLE, (None, None))[0] == box,
                       "the message box as it was")
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


def settled(take, before):
    """What take() returns once it has changed from before and stays so for
    one more look."""
    looks = [before]

    def look():
        looks.append(take())
        return looks[-2:]

    return wait_until(look, lambda last: before != last[1] == last[0], "the window settled")[1]


def crop_results(shot, window):
    x, y, width, height = window
    return subprocess.run(["convert", shot, "-crop",
                           f"{width}x{height - RESULTS_TOP}+{x}+{y + RESULTS_TOP}", "+repage",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout


if __name__ == "__main__":
    unittest.main()
