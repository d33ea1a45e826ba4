"""A desktop session of its own for the tests and benchmarks that run the real
program: an X server, a session bus and a runtime folder, all ended with it;
the tools that drive and inspect the program's window as a user and a window
manager would; and Form1 as the tests expect it."""

import collections
import ctypes
import ctypes.util
import functools
import glob
import json
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
from collections import namedtuple

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.environ.get("KELVARO_PROGRAM", "")
ARTEFACTS = os.environ.get("KELVARO_ARTEFACTS", "")
SCREEN = (1280, 1024)

# A control's kind ("Label", "TextBox", …), its box (x, y, width, height) in
# the client area, in pixels, and its text and background colours as #RRGGBB
# (None: the system's).
Control = namedtuple("Control", "kind box text_colour back_colour")


@functools.cache
def expected():
    """The hand-written expectations the C++ tests share (tests/expected_*.h),
    as the build writes them out in JSON: the file KELVARO_EXPECTED names (CTest
    sets it), or else the newest one in a build folder of the project."""
    path = os.environ.get("KELVARO_EXPECTED")
    if not path:
        built = glob.glob(os.path.join(HERE, "..", "build", "*", "tests", "expected.json"))
        if not built:
            raise FileNotFoundError("tests/expected.json is written by the build: "
                                    "cmake --workflow --preset dev")
        path = max(built, key=os.path.getmtime)
    with open(path, encoding="utf-8") as file:
        return json.load(file)


class Form1:
    """Form1 as the tests expect it: the caption, and the client area and the
    controls in pixels at 96 dots per inch."""

    TWIPS_PER_PIXEL = 15

    def __init__(self, design):
        self.caption = design["caption"]
        self.size = (self.pixels(design["clientWidth"]), self.pixels(design["clientHeight"]))
        self.background = design["background"]
        self.controls = {
            control["name"]: Control(control["kind"],
                                     tuple(self.pixels(twips) for twips in control["place"]),
                                     control["textColour"], control["backColour"])
            for control in design["controls"]}

    @classmethod
    def pixels(cls, twips):
        return twips // cls.TWIPS_PER_PIXEL

    def centre(self, name):
        """Where a user clicks a control: the middle of its box."""
        x, y, width, height = self.controls[name].box
        return (x + width // 2, y + height // 2)


@functools.cache
def form1():
    return Form1(expected()["form1"])


def __getattr__(name):
    """FORM1, MESSAGE_TITLE and SYSTEM_COLOURED, read when first asked for:
    the Win32 tests use the X session alone, in builds that write no
    expectations."""
    if name == "FORM1":
        return form1()
    if name == "MESSAGE_TITLE":
        return expected()["messages"]["title"]
    if name == "SYSTEM_COLOURED":
        # Every control with a text whose colour the design leaves to the system.
        return [name for name, control in form1().controls.items()
                if control.text_colour is None and control.kind != "Picture"]
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


# What the desktop the tests run from sets for its programs.
OUTER_SESSION = ("QT_QPA_PLATFORMTHEME", "WAYLAND_DISPLAY", "WAYLAND_SOCKET",
                 "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "GTK_THEME")

# A session bus that starts no services: programs that look for a bus find
# one, without starting one of their own (libdbus's X11 autolaunch), and
# nothing started through it outlives the session.
SESSION_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir={runtime}</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def wait_until(take, done=bool, what="it", timeout=10.0):
    """What take() returns once done() holds for it, asked every 20 ms; when
    that does not happen in time, fails with what take() returned last."""
    deadline = time.monotonic() + timeout
    while True:
        seen = take()
        if done(seen):
            return seen
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout} s for {what}; last seen: {seen!r}")
        time.sleep(0.02)


class Started:
    """A context whose start, should it fail half-way, ends what it started:
    _start starts, __exit__ ends whatever is there."""

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.__exit__()
            raise
        return self


class XServer(Started):
    """An Xvfb server of its own on a free display, at 96 dots per inch, with a
    session bus and a runtime folder of its own. The output of both servers
    goes to `log`, a path, when given."""

    def __init__(self, log=None):
        self.log = log
        self.process = self.bus = self.runtime = None

    def _start(self):
        self.runtime = tempfile.mkdtemp(prefix="kelvaro-session-")
        with open(self.log or os.devnull, "ab") as output:
            self.process, number = start_announcing(
                ["Xvfb", "-displayfd", "{fd}", "-noreset", "-nolisten", "tcp",
                 "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-dpi", "96"], output)
            self.display = ":" + number
            config = os.path.join(self.runtime, "session-bus.conf")
            with open(config, "w") as file:
                file.write(SESSION_BUS_CONFIG.format(runtime=self.runtime))
            self.bus, self.bus_address = start_announcing(
                ["dbus-daemon", f"--config-file={config}", "--nofork", "--nopidfile",
                 "--print-address={fd}"], output)
        # What every program in the session needs; the tests add their own.
        self.session_env = {"DISPLAY": self.display, "XDG_RUNTIME_DIR": self.runtime,
                            "DBUS_SESSION_BUS_ADDRESS": self.bus_address}
        # A UTF-8 locale makes xprop print texts as they are.
        # Nothing of the desktop the tests run from reaches the session: not
        # its theme, nor a Wayland compositor that Qt would prefer to this
        # server.
        self.env = {name: value for name, value in os.environ.items()
                    if name not in OUTER_SESSION}
        self.env.update(self.session_env, QT_QPA_PLATFORM="xcb",
                        LC_ALL=os.environ.get("LC_ALL", "C.UTF-8"))

    def __exit__(self, *exception):
        for server in (self.bus, self.process):
            end(server)
        if self.runtime is not None:
            shutil.rmtree(self.runtime, ignore_errors=True)

    def run(self, *command, check=True, input=None):
        """Runs a command against this server and returns its standard output."""
        result = subprocess.run(command, env=self.env, check=check, capture_output=True,
                                input=input)
        return result.stdout.decode()

    def start(self, program=PROGRAM, env=None):
        return start_program(program, self.env, env)

    def wait_for_window(self, name_pattern, pid, timeout=10.0):
        """The id of the program's visible window whose name matches the
        pattern."""
        # Without --all, xdotool takes a window that meets either criterion.
        command = ["xdotool", "search", "--all", "--pid", str(pid), "--onlyvisible", "--name",
                   name_pattern]
        return int(wait_until(lambda: self.run(*command, check=False).split(), bool,
                              f"a window named {name_pattern!r}", timeout)[0])

    def wait_until_gone(self, window, timeout=10.0):
        wait_until(lambda: subprocess.run(["xwininfo", "-id", str(window)], env=self.env,
                                          capture_output=True).returncode, bool,
                   f"window {window} to go", timeout)

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

        def corner():
            self.screenshot(path)
            return self.pixel(path, x, y)

        wait_until(corner, lambda colour: colour != "#000000", "the window drawn", timeout)

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
        """What the clipboard holds once something is copied to it; empty when
        nothing comes in time, as from an empty box."""
        try:
            return wait_until(lambda: self.run("xclip", "-selection", "clipboard", "-o",
                                               check=False), bool, "a copy", timeout)
        except AssertionError:
            return ""

    def set_clipboard(self, text):
        """Offers the text on the clipboard; xclip stays in the background to
        serve it, so its output must not be waited for."""
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env, check=True,
                       input=text.encode(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def send_delete_window(self, window):
        """What a window manager's close button sends: WM_DELETE_WINDOW."""
        self.send_client_message(window, window, "WM_PROTOCOLS", ["WM_DELETE_WINDOW"])

    def request_state(self, window, state):
        """What a window menu or a pager asks of the window manager: a window
        state added, such as "_NET_WM_STATE_FULLSCREEN"."""
        add, from_a_user = 1, 2
        self.send_client_message(window, None, "_NET_WM_STATE", [add, state, 0, from_a_user],
                                 mask=SUBSTRUCTURE_REDIRECT | SUBSTRUCTURE_NOTIFY)

    def send_client_message(self, window, to, message_type, data, mask=0):
        """A ClientMessage about the window, sent to `to` (None: the root
        window); atom names in data are interned."""
        xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XInternAtom.restype = xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
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
                              message_type=xlib.XInternAtom(display, message_type.encode(), 0))
        for index, value in enumerate(data):
            event.data[index] = (xlib.XInternAtom(display, value.encode(), 0)
                                 if isinstance(value, str) else value)
        target = xlib.XDefaultRootWindow(display) if to is None else to
        xlib.XSendEvent(display, target, 0, mask, ctypes.byref(event))
        xlib.XFlush(display)
        xlib.XCloseDisplay(display)


# Debian's own Python, which has AT-SPI's GObject bindings, whatever Python
# runs the tests; Qt's bridge to AT-SPI, on as when a screen reader asks for it.
SYSTEM_PYTHON = "/usr/bin/python3"
ATSPI_CLIENT = os.path.join(HERE, "atspi_client.py")
ACCESSIBLE = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}


class ScreenReaderLog(Started):
    """The session's accessibility bus as a desktop starts it for a screen
    reader (its launcher starts the registry), and the events on it as a
    screen reader hears them (see atspi_client.py)."""

    def __init__(self, x):
        self.x = x
        self.bus = self.listener = None
        self.events = []
        self._pending = b""

    def _start(self):
        self.bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    env=self.x.env, preexec_fn=end_with_parent)
        # Asked before the launcher is there, AT-SPI settles for the session bus.
        self.x.run("gdbus", "wait", "--session", "--timeout", "10", "org.a11y.Bus")
        self.listener = subprocess.Popen([SYSTEM_PYTHON, ATSPI_CLIENT, "events"], env=self.x.env,
                                         stdout=subprocess.PIPE, preexec_fn=end_with_parent)
        self.wait_for(lambda event: event["type"] == "ready", "the listener ready")

    def __exit__(self, *exception):
        for process in (self.listener, self.bus):
            end(process)
        if self.listener is not None:
            self.listener.stdout.close()

    def wait_for(self, condition, what, timeout=10.0):
        """The first event from now on that meets the condition; every event
        heard is kept in `events`."""
        start = len(self.events)
        heard = wait_until(self._heard, lambda events: any(map(condition, events[start:])),
                           what, timeout)
        return next(filter(condition, heard[start:]))

    def _heard(self):
        """The events heard so far."""
        while select.select([self.listener.stdout], [], [], 0)[0]:
            chunk = os.read(self.listener.stdout.fileno(), 65536)
            if not chunk:
                break
            self._pending += chunk
        *lines, self._pending = self._pending.split(b"\n")
        self.events += map(json.loads, lines)
        return self.events

    def tree(self, application):
        return [json.loads(line) for line in
                self.x.run(SYSTEM_PYTHON, ATSPI_CLIENT, "tree", application).splitlines()]


# Event masks for a request to the window manager, sent to the root window.
SUBSTRUCTURE_NOTIFY, SUBSTRUCTURE_REDIRECT = 1 << 19, 1 << 20


def start_program(program, session_env, env=None):
    """The program in a session; env adds to or, with None values, removes
    from the session's environment."""
    merged = dict(session_env)
    for name, value in (env or {}).items():
        if value is None:
            merged.pop(name, None)
        else:
            merged[name] = value
    return subprocess.Popen([program], env=merged, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, preexec_fn=end_with_parent)


def end(process, timeout=10):
    """Ends a server started here, politely first."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def end_with_parent():
    """Makes the child get SIGTERM when the test process dies, however it dies:
    a killed test must not leave its servers behind."""
    pr_set_pdeathsig = 1
    ctypes.CDLL(None).prctl(pr_set_pdeathsig, signal.SIGTERM)


def start_announcing(command, output):
    """Starts a server that writes where it can be reached, and a newline, to
    the file descriptor given in place of "{fd}" in its command; returns the
    process and that text. Closing the pipe before all of it is read would
    kill Xvfb."""
    read_end, write_end = os.pipe()
    process = subprocess.Popen([argument.replace("{fd}", str(write_end)) for argument in command],
                               pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=output,
                               stderr=output, preexec_fn=end_with_parent)
    os.close(write_end)
    text = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not text.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                process.kill()
                process.wait()
                raise RuntimeError(f"{command[0]} did not start")
            text += chunk
    return process, text.decode().strip()


def built_with_address_sanitizer(program=PROGRAM):
    """Whether AddressSanitizer is built into the program: its start-up entry
    point is named in the executable, whether its runtime is linked in or not."""
    with open(program, "rb") as executable:
        return b"__asan_init" in executable.read()


def resident_kilobytes(pid):
    """The process's resident memory now."""
    with open(f"/proc/{pid}/status") as status:
        return int(re.search(r"VmRSS:\s+(\d+)", status.read()).group(1))


# WCAG AA for normal text.
READABLE = 4.5
def inside(name):
    """The part of a control's box inside its border and bevel, where its text
    and its ground are."""
    x, y, width, height = form1().controls[name].box
    inset = 0 if form1().controls[name].kind == "Label" else 3
    return (x + inset, y + inset, width - 2 * inset, height - 2 * inset)


def luminance(rgb):
    """The relative luminance of an (r, g, b) colour, as WCAG defines it."""
    def channel(value):
        c = value / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    red, green, blue = map(channel, rgb)
    return 0.2126 * red + 0.7152 * green + 0.0722 * blue


def contrast(a, b):
    dark, light = sorted((luminance(a), luminance(b)))
    return (light + 0.05) / (dark + 0.05)


def colours(shot, area):
    """How many pixels of each (r, g, b) colour an area (x, y, width, height)
    of a screenshot holds."""
    x, y, width, height = area
    data = subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return collections.Counter(tuple(data[i:i + 3]) for i in range(0, len(data), 3))


def text_contrast(counts):
    """The commonest colour lies behind the text; the text is the colour that
    stands out most from it."""
    behind = counts.most_common(1)[0][0]
    return max(contrast(colour, behind) for colour in counts), behind


def caption_pattern(caption=None):
    """xdotool takes a regular expression: match the caption (Form1's when none
    is given) exactly."""
    if caption is None:
        caption = form1().caption
    return "^" + re.escape(caption) + "$"


def artefact(name):
    """A path for a file the test keeps for people to look at."""
    os.makedirs(ARTEFACTS, exist_ok=True)
    return os.path.join(ARTEFACTS, name)
