"""A real X server for the end-to-end tests, and the tools that drive and
inspect the program's window in it as a user and a window manager would."""

import os
import re
import subprocess
import time

PROGRAM = os.environ.get("KELVARO_PROGRAM", "")
ARTEFACTS = os.environ.get("KELVARO_ARTEFACTS", "")
CAPTION = "智能Kelvaro   [编程: Mirelle]"
SCREEN = (1280, 1024)


class XServer:
    """An Xvfb server of its own on a free display, at 96 dots per inch."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
             "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-dpi", "96"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # The server writes the display number and a newline; closing the pipe
        # before reading it all would kill the server.
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()
        # A UTF-8 locale makes xprop print texts as they are.
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb",
                        LC_ALL=os.environ.get("LC_ALL", "C.UTF-8"),
                        XDG_RUNTIME_DIR=os.environ.get("XDG_RUNTIME_DIR", "/tmp"))
        self.env.pop("QT_QPA_PLATFORMTHEME", None)
        return self

    def __exit__(self, *exception):
        self.process.terminate()
        self.process.wait(timeout=10)

    def run(self, *command, check=True, input=None):
        """Runs a command against this server and returns its standard output."""
        result = subprocess.run(command, env=self.env, check=check, capture_output=True,
                                input=input)
        return result.stdout.decode()

    def start(self, program=PROGRAM, env=None):
        return subprocess.Popen([program], env=dict(self.env, **(env or {})),
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def wait_for_window(self, name_pattern, pid=None, timeout=10.0):
        """The id of the visible window whose name matches the pattern."""
        command = ["xdotool", "search", "--onlyvisible", "--name", name_pattern]
        if pid is not None:
            command[2:2] = ["--pid", str(pid)]
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.run(*command, check=False).split()
            if found:
                return int(found[0])
            time.sleep(0.02)
        raise TimeoutError(f"no window named {name_pattern!r}")

    def wait_until_gone(self, window, timeout=10.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if subprocess.run(["xwininfo", "-id", str(window)], env=self.env,
                              capture_output=True).returncode != 0:
                return
            time.sleep(0.02)
        raise TimeoutError(f"window {window} is still there")

    def text_property(self, window, name):
        """A text property of the window, such as WM_NAME, decoded."""
        text = self.run("xprop", "-id", str(window), "-notype", name)
        return re.fullmatch(rf'{name} = "(.*)"\s*', text, re.S).group(1)

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        info = self.run("xwininfo", "-id", str(window))
        field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def property(self, window, name):
        return self.run("xprop", "-id", str(window), name)

    def screenshot(self, path):
        self.run("import", "-window", "root", path)

    def painted_screenshot(self, path, window, timeout=10.0):
        """A screenshot taken once the window has drawn its client area (the
        screen's black no longer shows at the window's top-left corner)."""
        x, y, _, _ = self.geometry(window)
        deadline = time.monotonic() + timeout
        while True:
            self.screenshot(path)
            if self.pixel(path, x, y) != "#000000" or time.monotonic() > deadline:
                return
            time.sleep(0.02)

    def pixel(self, image, x, y):
        """The colour of one pixel of an image file, as #RRGGBB."""
        text = subprocess.run(["convert", image, "-crop", f"1x1+{x}+{y}", "-depth", "8",
                               "txt:-"], check=True, capture_output=True).stdout.decode()
        return re.search(r"#[0-9A-F]{6}", text).group(0)


def caption_pattern(caption=CAPTION):
    """xdotool takes a regular expression: match the caption exactly."""
    return "^" + re.escape(caption) + "$"


def artefact(name):
    """A path for a file the test keeps for people to look at."""
    os.makedirs(ARTEFACTS, exist_ok=True)
    return os.path.join(ARTEFACTS, name)
