"""Starts the program as a desktop's menu does, from the Exec line of its
desktop entry, in an X session of its own, with the scratch root's programs
first on the PATH; then closes its window as a window manager would.
Usage: start_from_desktop_entry.py ROOT DESKTOP_ENTRY"""

import os
import shlex
import subprocess
import sys

from xsession import XServer, caption_pattern, end, end_with_parent


def exec_line(desktop_entry):
    with open(desktop_entry, encoding="utf-8") as file:
        for line in file:
            if line.startswith("Exec="):
                # A desktop's field codes (%f, %U, …) expand to nothing here.
                return [word for word in shlex.split(line[len("Exec="):])
                        if not word.startswith("%")]
    raise SystemExit(f"FAIL: no Exec line in {desktop_entry}")


def main(root, desktop_entry):
    command = exec_line(desktop_entry)
    installed = os.path.join(root, "usr", "bin", "kelvaro")
    with XServer() as x:
        env = dict(x.env, PATH=os.path.dirname(installed) + os.pathsep + os.environ["PATH"])
        program = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, preexec_fn=end_with_parent)
        try:
            window = x.wait_for_window(caption_pattern(), pid=program.pid)
            started = os.readlink(f"/proc/{program.pid}/exe")
            if started != installed:
                raise SystemExit(f"FAIL: the entry started {started}, not {installed}")
            x.send_delete_window(window)
            status = program.wait(timeout=10)
            if status != 0:
                raise SystemExit(f"FAIL: the program ended with status {status}")
        finally:
            end(program)
    print(f"the desktop entry starts {installed}")


if __name__ == "__main__":
    main(*sys.argv[1:])
