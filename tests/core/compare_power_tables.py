"""Compares the power table of a Windows build, run under Wine, with the Linux
build's, line for line. Exits 77 (skipped) with the reason where one of the two
cannot be had: a machine that cannot run the Windows build, or no Linux build.

usage: compare_power_tables.py WINE_RUN WINDOWS_POWER_TABLE.exe LINUX_POWER_TABLE COUNT SEED
"""

import os
import subprocess
import sys

SKIPPED = 77


def table(command):
    result = subprocess.run(command, capture_output=True, timeout=600, check=False)
    if result.returncode == SKIPPED:
        sys.stderr.buffer.write(result.stderr)
        sys.exit(SKIPPED)
    if result.returncode != 0:
        sys.stderr.buffer.write(result.stderr)
        sys.exit(f"{command[0]} failed with status {result.returncode}")
    # Windows writes its line ends as CR LF.
    return result.stdout.replace(b"\r\n", b"\n").splitlines()


def main():
    wine_run, windows_table, linux_table, count, seed = sys.argv[1:6]
    if not linux_table or not os.access(linux_table, os.X_OK):
        print(f"SKIPPED: no Linux build of power_table to compare with at '{linux_table}' "
              "(build the dev preset first)")
        sys.exit(SKIPPED)
    windows = table([wine_run, windows_table, count, seed])
    linux = table([linux_table, count, seed])
    differences = [(w, l) for w, l in zip(windows, linux) if w != l]
    for w, l in differences[:20]:
        print(f"Windows: {w.decode()}\nLinux:   {l.decode()}")
    if len(windows) != len(linux) or len(linux) != int(count):
        sys.exit(f"{len(windows)} lines from Windows, {len(linux)} from Linux, {count} expected")
    if differences:
        sys.exit(f"{len(differences)} of {count} outcomes differ")
    print(f"{count} outcomes agree")


if __name__ == "__main__":
    main()
