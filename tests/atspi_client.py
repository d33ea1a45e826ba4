"""What a screen reader hears, through AT-SPI as Orca hears it; run with
Debian's own Python, which has AT-SPI's GObject bindings. One JSON object a
line: `tree APPLICATION` gives each object of the application (role, name,
description); `events` says it is ready, then gives each event (type, role and
name of its source, detail1, any_data)."""

import json
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def say(**fields):
    print(json.dumps(fields, ensure_ascii=False), flush=True)


def walk(node):
    say(role=node.get_role_name(), name=node.get_name(), description=node.get_description())
    for index in range(node.get_child_count()):
        walk(node.get_child_at_index(index))


def on_event(event):
    data = event.any_data
    data = data.get_name() if isinstance(data, Atspi.Accessible) else data
    say(type=event.type, role=event.source.get_role_name(), name=event.source.get_name(),
        detail1=event.detail1, any_data=data if isinstance(data, str) else str(data))


if __name__ == "__main__":
    if sys.argv[1:2] == ["tree"]:
        desktop = Atspi.get_desktop(0)
        for app in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
            if app.get_name() == sys.argv[2]:
                walk(app)
    else:
        listener = Atspi.EventListener.new(on_event)
        for kind in ("object:", "window:"):
            listener.register(kind)
        say(type="ready")
        Atspi.event_main()
