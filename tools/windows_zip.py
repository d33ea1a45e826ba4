#!/usr/bin/env python3
"""Writes the zip a Windows user downloads, the same bytes on every run: its
entries in the order given, each stamped with SOURCE_DATE_EPOCH (else the
newest input's time) in UTC, with no owner, permissions or extra fields. A
name ending in .txt is text for Notepad: UTF-8 with a byte-order mark and
CRLF line ends, which every Notepad since Windows XP shows as it is.

Usage: windows_zip.py ZIP NAME=FILE [NAME=FILE ...]"""

import os
import sys
import time
import zipfile

# The earliest time a zip entry can carry.
ZIP_EPOCH = 315532800  # 1980-01-01


def entry_time(paths):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    seconds = int(epoch) if epoch else max(int(os.path.getmtime(path)) for path in paths)
    return time.gmtime(max(seconds, ZIP_EPOCH))[:6]


def for_notepad(data):
    text = data.decode("utf-8").removeprefix("\ufeff").replace("\r\n", "\n")
    return ("\ufeff" + text.replace("\n", "\r\n")).encode("utf-8")


def main(zip_path, *entries):
    files = [entry.split("=", 1) for entry in entries]
    stamp = entry_time([path for _, path in files])
    partial = zip_path + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, path in files:
            with open(path, "rb") as file:
                data = file.read()
            if name.endswith(".txt"):
                data = for_notepad(data)
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 0  # MS-DOS: attributes as Windows keeps them
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as a fresh file has
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, zip_path)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
