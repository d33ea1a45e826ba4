#!/usr/bin/env python3
"""Splits an .ico file into the resources a Windows executable carries for it:
one RT_ICON resource per image, numbered from a chosen id, and the RT_GROUP_ICON
that lists them. (windres's ICON statement would number the images 1, 2, ….)

usage: icon_resources.py ICO OUTPUT_DIR GROUP_ID FIRST_IMAGE_ID
Writes OUTPUT_DIR/icon_<id>.bin, OUTPUT_DIR/icon_group.bin and
OUTPUT_DIR/icons.rc, which a resource script includes.
"""

import os
import struct
import sys

RT_ICON, RT_GROUP_ICON = 3, 14


def main():
    ico_path, output, group_id, first_id = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    with open(ico_path, "rb") as ico:
        data = ico.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        sys.exit(f"{ico_path}: not an icon file")
    os.makedirs(output, exist_ok=True)
    group = struct.pack("<HHH", 0, 1, count)
    script = []
    for index in range(count):
        # ICONDIRENTRY: width, height, colours, reserved, planes, bits, size, offset.
        width, height, colours, _, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * index)
        image_id = first_id + index
        name = f"icon_{image_id}.bin"
        with open(os.path.join(output, name), "wb") as image:
            image.write(data[offset:offset + size])
        # GRPICONDIRENTRY: the same fields, the offset replaced by the image's id.
        group += struct.pack("<BBBBHHIH", width, height, colours, 0, planes, bits, size, image_id)
        script.append(f'{image_id} {RT_ICON} "{name}"')
    with open(os.path.join(output, "icon_group.bin"), "wb") as group_file:
        group_file.write(group)
    script.append(f'{group_id} {RT_GROUP_ICON} "icon_group.bin"')
    with open(os.path.join(output, "icons.rc"), "w") as rc:
        rc.write("\n".join(script) + "\n")


if __name__ == "__main__":
    main()
