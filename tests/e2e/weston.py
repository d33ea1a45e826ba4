"""A Wayland session for the end-to-end tests: weston nested in an X server
of the tests, driven through that outer server as a user would drive it, and
read from screenshots of it (a Wayland client is no X window to look up)."""

import glob
import os
import re
import shutil
import subprocess
import tempfile
import time

from xsession import PROGRAM, end_with_parent

OUTPUT = (1200, 960)
# A plain background no window of the program uses; no panel, no on-screen
# keyboard popping up over the window when a box takes the focus.
BACKGROUND = "#404040"
CONFIG = """[core]
idle-time=0
[shell]
panel-position=none
background-color=0xff404040
[input-method]
path=
"""
SOCKET = "kelvaro-wayland"
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
    return None


class Weston:
    """weston on an XServer, with a runtime directory of its own."""

    def __init__(self, x):
        self.x = x

    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix="kelvaro-wayland-")
        config = os.path.join(self.runtime, "weston.ini")
        with open(config, "w") as file:
            file.write(CONFIG)
        self.log = open(os.path.join(self.runtime, "weston.log"), "w+")
        self.process = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", f"--socket={SOCKET}",
             f"--width={OUTPUT[0]}", f"--height={OUTPUT[1]}", f"--config={config}"],
            env=dict(self.x.env, XDG_RUNTIME_DIR=self.runtime),
            stdout=subprocess.DEVNULL, stderr=self.log, preexec_fn=end_with_parent)
        # A Wayland session with no X server for its clients.
        self.env = {name: value for name, value in self.x.env.items()
                    if name not in ("DISPLAY", "QT_QPA_PLATFORM")}
        self.env.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=SOCKET,
                        XDG_SESSION_TYPE="wayland")
        self.shot = os.path.join(self.runtime, "screen.png")
        # Ready once the shell has drawn the background.
        deadline = time.monotonic() + 60
        while True:
            self.x.screenshot(self.shot)
            if self.x.pixel(self.shot, 10, 10) == BACKGROUND:
                break
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.process.kill()
                self.process.wait()
                self.log.seek(0)
                raise RuntimeError("weston did not start: " + self.log.read()[-2000:])
            time.sleep(0.1)
        return self

    def __exit__(self, *exception):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def start(self, env=None, program=PROGRAM):
        """The program as a client of this session; env adds to or, with
        None values, removes from the session's environment."""
        merged = dict(self.env)
        for name, value in (env or {}).items():
            if value is None:
                merged.pop(name, None)
            else:
                merged[name] = value
        return subprocess.Popen([program], env=merged, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, preexec_fn=end_with_parent)

    def screenshot(self, path=None):
        path = path or self.shot
        self.rest_pointer()
        self.x.screenshot(path)
        return path

    def rest_pointer(self):
        """Moves the pointer (weston draws it into the picture) out of the way."""
        self.x.run("xdotool", "mousemove", str(OUTPUT[0] - 2), str(OUTPUT[1] - 2))

    def find(self, colour, size=None, hide=None, timeout=10.0, shot=None):
        """(x, y, width, height) around every pixel of the colour on the screen,
        leaving out the rectangle hide; waits until there is one (of the size
        given)."""
        deadline = time.monotonic() + timeout
        while True:
            found = bounding_box(self.screenshot(shot), colour, hide)
            if found and (size is None or found[2:] == size):
                return found
            if time.monotonic() > deadline:
                raise TimeoutError(f"no {size or ''} area of {colour} on the screen: {found}")
            time.sleep(0.1)

    def gone(self, colour, hide=None, timeout=10.0):
        deadline = time.monotonic() + timeout
        while bounding_box(self.screenshot(), colour, hide):
            if time.monotonic() > deadline:
                raise TimeoutError(f"{colour} is still on the screen")
            time.sleep(0.1)

    def click(self, x, y):
        self.x.run("xdotool", "mousemove", str(x), str(y), "click", "1")

    def key(self, *keys):
        self.x.run("xdotool", "key", *keys)


def bounding_box(image, colour, hide=None):
    command = ["convert", image]
    if hide:
        x, y, width, height = hide
        command += ["-fill", "black", "-draw", f"rectangle {x},{y} {x + width},{y + height}"]
    command += ["-fill", "black", "+opaque", colour, "-trim", "info:"]
    info = subprocess.run(command, check=True, capture_output=True).stdout.decode()
    width, height, x, y = map(int, re.search(r" (\d+)x(\d+) \d+x\d+([+-]\d+)([+-]\d+) ",
                                             info).groups())
    # Nothing of the colour: ImageMagick trims to a pixel outside the picture.
    return None if x < 0 else (x, y, width, height)


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
