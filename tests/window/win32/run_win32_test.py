"""Runs the Win32 test program against Kelvaro.exe under Wine, on an X server
of its own, at the given screen density.

usage: run_win32_test.py WINE_RUN TEST.exe KELVARO.exe DOTS_PER_INCH
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xsession import XServer  # noqa: E402


def windows_path(path):
    """Wine shows the Unix file system as drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main():
    wine_run, test_program, kelvaro, dots_per_inch = sys.argv[1:5]
    with XServer() as x:
        env = dict(x.env, KELVARO_WINE_DPI=dots_per_inch)
        result = subprocess.run([wine_run, test_program, windows_path(kelvaro), dots_per_inch],
                                env=env, timeout=240)
    sys.exit(result.returncode)


if __name__ == "__main__":
    main()
