"""A Wayland session for the end-to-end tests: weston nested in an X server
of the tests, driven through that outer server as a user would drive it, and
read from screenshots of it and from weston's own account of its windows (a
Wayland client is no X window to look up)."""

import glob
import os
import re
import shutil
import socket
import subprocess

from xsession import (PROGRAM, SCREEN, Started, artefact, end, end_with_parent,
                      start_program, wait_until)

OUTPUT = (1200, 960)
# A spot of the outer server's screen beside weston's output. weston's X11
# backend turns the outer pointer's motion into relative motion, stopped at
# the output's edges, and takes the absolute position only when the pointer
# enters its window: each pointer action starts from outside.
OUTSIDE = (SCREEN[0] - 1, SCREEN[1] - 1)
assert OUTSIDE[0] >= OUTPUT[0] and OUTSIDE[1] >= OUTPUT[1]
# Where the pointer leaves the output from, so that a compositor that keeps
# drawing it there draws it over no window.
PARKED = (OUTPUT[0] - 1, OUTPUT[1] - 1)
# A plain background no window of the program uses; no panel, no fade-in
# over the first windows, no on-screen keyboard popping up over the window
# when a box takes the focus.
BACKGROUND = "#404040"
CONFIG = """[core]
idle-time=0
[shell]
panel-position=none
background-color=0xff404040
startup-animation=none
[input-method]
path=
"""
SOCKET = "kelvaro-wayland"
# How long weston may take to say it is ready on a loaded machine.
READY_TIMEOUT = 60
# Qt's own title bar on a fixed-size window: its height above the client area,
# and its maximise and close buttons, from the client area's top-right corner.
TITLE_BAR_HEIGHT = 30
MAXIMISE_BUTTON = (-37, -15)
CLOSE_BUTTON = (-14, -15)


def missing():
    """Why this machine cannot run the session, or None."""
    if not shutil.which("weston"):
        return "weston is not installed"
    if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        return "Qt's Wayland platform (qt6-wayland) is not installed"
    if not glob.glob("/usr/lib/*/weston/systemd-notify.so"):
        return "weston has no systemd-notify module to say when it is ready"
    return None


class Weston(Started):
    """weston on an XServer, in that server's session (runtime folder, bus).
    Its output goes to weston.log among the artefacts."""

    def __init__(self, x):
        self.x = x
        self.process = None

    def _start(self):
        runtime = self.x.runtime
        config = os.path.join(runtime, "weston.ini")
        with open(config, "w") as file:
            file.write(CONFIG)
        self.log = artefact("weston.log")
        # weston says READY=1 on a notification socket, as to a service
        # manager, once it listens for clients and has loaded its shell. Its
        # debug extension tells where each window stands (weston-debug).
        with socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM) as ready:
            ready.bind(os.path.join(runtime, "weston-ready"))
            ready.setblocking(False)
            with open(self.log, "w") as log:
                self.process = subprocess.Popen(
                    ["weston", "--backend=x11-backend.so", f"--socket={SOCKET}",
                     f"--width={OUTPUT[0]}", f"--height={OUTPUT[1]}", f"--config={config}",
                     "--modules=systemd-notify.so", "--debug"],
                    env=dict(self.x.env, NOTIFY_SOCKET=ready.getsockname()),
                    stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                    preexec_fn=end_with_parent)
            self._wait(lambda: self._says_ready(ready), "weston ready")
        # Then its shell, a client of its own, draws the desktop.
        self.shot = os.path.join(runtime, "screen.png")
        centre = (OUTPUT[0] // 2, OUTPUT[1] // 2)
        self._wait(lambda: self.x.pixel(self.screenshot(), *centre) == BACKGROUND, "the desktop")
        # The pointer enters and leaves the output once: weston then knows
        # where it is, and draws it nowhere while it is outside. The keys go
        # to weston wherever the pointer is.
        self.x.run("xdotool", "mousemove", *map(str, centre), "mousemove", *map(str, OUTSIDE))
        window = self.x.run("xdotool", "search", "--class", "^Weston Compositor$").split()[0]
        self.x.focus(int(window))
        # A Wayland session with no X server for its clients.
        self.env = {name: value for name, value in self.x.env.items()
                    if name not in ("DISPLAY", "QT_QPA_PLATFORM")}
        self.env.update(WAYLAND_DISPLAY=SOCKET, XDG_SESSION_TYPE="wayland")
        # Under AddressSanitizer: full stacks, for lsan.supp to recognise the
        # Wayland platform's own leaks by.
        if "ASAN_OPTIONS" in self.env:
            self.env["ASAN_OPTIONS"] += ":fast_unwind_on_malloc=0"

    def _wait(self, condition, what):
        """Until the condition holds, or weston has ended, which fails with its log."""
        wait_until(lambda: self.process.poll() is not None or condition(), bool, what,
                   READY_TIMEOUT)
        if self.process.poll() is not None:
            with open(self.log) as log:
                raise RuntimeError("weston did not start: " + log.read()[-2000:])

    @staticmethod
    def _says_ready(notifications):
        try:
            return b"READY=1" in notifications.recv(4096).split(b"\n")
        except BlockingIOError:
            return False

    def __exit__(self, *exception):
        end(self.process)

    def start(self, env=None, program=PROGRAM):
        """The program as a client of this session; env adds to or, with
        None values, removes from the session's environment."""
        return start_program(program, self.env, env)

    def screenshot(self, path=None):
        path = path or self.shot
        self.rest_pointer()
        self.x.screenshot(path)
        return path

    def rest_pointer(self):
        """Moves the pointer (weston draws it into the picture) off the output.
        weston 14 keeps drawing it where it left the output, over whatever
        client lies there: it leaves through the output's bottom-right pixel,
        where all of it but its tip falls outside the picture."""
        self.x.run("xdotool", "mousemove", *map(str, PARKED), "mousemove", *map(str, OUTSIDE))

    def windows(self):
        """Each window by its title: where its surface stands (title bar and
        borders included) and its opaque part (its client area), as
        (x, y, width, height)."""
        graph = subprocess.run(["weston-debug", "scene-graph"], env=self.env, check=True,
                               capture_output=True, text=True).stdout
        views = re.finditer(r"top-level window '(.*)'.*\n\s*position: (.*)\n\s*\[opaque: (.*)\]",
                            graph)
        return {view[1]: (rectangle(view[2]), rectangle(view[3])) for view in views}

    def window(self, title, size=None, timeout=10.0):
        """The window of the title once it is there (its client area of the size given)."""
        return wait_until(self.windows, lambda windows: title in windows and (
            size is None or windows[title][1][2:] == size), f"a window {title!r}",
                          timeout)[title]

    def gone(self, title):
        wait_until(self.windows, lambda windows: title not in windows, f"{title!r} to go")

    def click(self, x, y):
        self.x.run("xdotool", "mousemove", *map(str, OUTSIDE), "mousemove", str(x), str(y),
                   "click", "1")

    def key(self, *keys):
        self.x.run("xdotool", "key", *keys)


def rectangle(text):
    """(x, y, width, height) of weston's "(x1, y1) -> (x2, y2)"."""
    x1, y1, x2, y2 = map(int, re.findall(r"-?\d+", text))
    return (x1, y1, x2 - x1, y2 - y1)


def ink_runs(image, area, gap=5, darkest=160):
    """The runs of columns in the area that hold dark pixels, as (first, last)
    relative to the area, runs closer than gap columns joined."""
    x, y, width, height = area
    pixels = subprocess.run(["convert", image, "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                             "-depth", "8", "gray:-"], check=True, capture_output=True).stdout
    inked = [any(pixels[row * width + column] < darkest for row in range(height))
             for column in range(width)]
    runs = []
    for column, ink in enumerate(inked):
        if not ink:
            continue
        if runs and column - runs[-1][1] <= gap:
            runs[-1][1] = column
        else:
            runs.append([column, column])
    return [tuple(run) for run in runs]
