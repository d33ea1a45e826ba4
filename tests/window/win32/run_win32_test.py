"""Runs the Win32 test program against Kelvaro.exe under Wine, on an X server
of its own, at the given screen density.

usage: run_win32_test.py WINE_RUN TEST.exe KELVARO.exe DOTS_PER_INCH [GoogleTest options]
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from xsession import XServer  # noqa: E402


def windows_path(path):
    """Wine shows the Unix file system as drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main():
    wine_run, test_program, kelvaro, dots_per_inch = sys.argv[1:5]
    options = sys.argv[5:]
    # A Wine prefix of the window tests' own: a Wine desktop first started by a
    # program without a display (the console tests) would show no windows.
    cache = os.environ.get("XDG_CACHE_HOME", os.path.expanduser("~/.cache"))
    prefix = os.path.join(cache, "kelvaro", "wine-window-tests")
    with XServer() as x:
        env = dict(x.env, KELVARO_WINE_DPI=dots_per_inch, KELVARO_WINEPREFIX=prefix)
        try:
            result = subprocess.run(
                [wine_run, test_program, windows_path(kelvaro), dots_per_inch, *options],
                env=env, timeout=240)
        finally:
            # Whatever the test left running would hold on to its output.
            # wine-run names the prefix after the architecture and density.
            for architecture in ("win32", "win64"):
                used = f"{prefix}-{architecture}-{dots_per_inch}"
                if os.path.isdir(used):
                    subprocess.run(["wineserver", "-k"], env=dict(env, WINEPREFIX=used),
                                   capture_output=True, check=False)
    sys.exit(result.returncode)


if __name__ == "__main__":
    main()
