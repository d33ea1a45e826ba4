"""A real X server for the end-to-end tests, and the tools that drive and
inspect the program's window in it as a user and a window manager would."""

import ctypes
import ctypes.util
import os
import re
import signal
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
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=end_with_parent)
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
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                preexec_fn=end_with_parent)

    def wait_for_window(self, name_pattern, pid=None, timeout=10.0):
        """The id of the visible window whose name matches the pattern."""
        command = ["xdotool", "search", "--onlyvisible", "--name", name_pattern]
        if pid is not None:
            # Without --all, xdotool takes a window that meets either criterion.
            command[2:2] = ["--all", "--pid", str(pid)]
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


    # What a user does.

    def focus(self, window):
        # No window manager runs: after a modal box closes, the keyboard focus
        # is on the root window until someone gives it back.
        self.run("xdotool", "windowfocus", "--sync", str(window))

    def click(self, window, x, y):
        """A left click at (x, y) of the window's client area."""
        self.run("xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", "1")

    def key(self, *keys):
        self.run("xdotool", "key", "--clearmodifiers", *keys)

    def type(self, text):
        # "--" keeps a text such as "-1" from being read as an option. A
        # character with no key of its own is typed by remapping a spare key,
        # which the program must have seen before the key press: go slower.
        delay = "1" if text.isascii() else "50"
        self.run("xdotool", "type", "--delay", delay, "--", text)

    def replace_text(self, window, box, text):
        """Clicks into a text box, selects all it holds and types over it."""
        self.click(window, *box)
        self.key("ctrl+a")
        if text:
            self.type(text)
        else:
            self.key("BackSpace")

    def copy_text(self, window, box):
        """What a text box holds, read the way a user would: select all, copy."""
        self.set_clipboard("")
        self.click(window, *box)
        self.key("ctrl+a", "ctrl+c")
        return self.clipboard()

    def clipboard(self, timeout=5.0):
        deadline = time.monotonic() + timeout
        while True:
            text = self.run("xclip", "-selection", "clipboard", "-o", check=False)
            if text or time.monotonic() > deadline:
                return text
            time.sleep(0.02)

    def set_clipboard(self, text):
        """Offers the text on the clipboard; xclip stays in the background to
        serve it, so its output must not be waited for."""
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env, check=True,
                       input=text.encode(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def send_delete_window(self, window):
        """What a window manager's close button sends: WM_DELETE_WINDOW."""
        xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                    ctypes.c_long, ctypes.c_void_p]
        xlib.XFlush.argtypes = xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        display = xlib.XOpenDisplay(self.display.encode())

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                        ("padding", ctypes.c_long * 12)]  # an XEvent is 24 longs

        client_message = 33
        event = ClientMessage(type=client_message, window=window, format=32,
                              message_type=xlib.XInternAtom(display, b"WM_PROTOCOLS", 0))
        event.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        xlib.XFlush(display)
        xlib.XCloseDisplay(display)


def end_with_parent():
    """Makes the child get SIGTERM when the test process dies, however it dies:
    a killed test must not leave its X server behind."""
    pr_set_pdeathsig = 1
    ctypes.CDLL(None).prctl(pr_set_pdeathsig, signal.SIGTERM)


def resident_kilobytes(pid):
    """The process's resident memory now."""
    with open(f"/proc/{pid}/status") as status:
        return int(re.search(r"VmRSS:\s+(\d+)", status.read()).group(1))


def caption_pattern(caption=CAPTION):
    """xdotool takes a regular expression: match the caption exactly."""
    return "^" + re.escape(caption) + "$"


def artefact(name):
    """A path for a file the test keeps for people to look at."""
    os.makedirs(ARTEFACTS, exist_ok=True)
    return os.path.join(ARTEFACTS, name)
