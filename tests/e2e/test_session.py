"""A user's session with the real program in a real X server: typing, the
results, a message box, the two ways the program ends, and what a screen
reader hears."""

import unittest

import json

from xsession import (ACCESSIBLE, FORM1, MESSAGE_TITLE, ScreenReaderLog, XServer, artefact,
                      built_with_address_sanitizer, caption_pattern, expected,
                      resident_kilobytes)

TEXT1, TEXT2, TEXT3, TEXT4 = (FORM1.centre(name) for name in ("Text1", "Text2", "Text3", "Text4"))
CALCULATE, EXIT = FORM1.centre("Command1"), FORM1.centre("Command2")
MESSAGE_BOX = caption_pattern(MESSAGE_TITLE)


class Session:
    """The program running in its own X server, with its window found."""

    def __init__(self, env=None, screen_reader=False):
        self.env = env
        self.screen_reader = screen_reader

    def __enter__(self):
        self.x = XServer().__enter__()
        self.program = None
        try:
            if self.screen_reader:
                self.screen_reader = ScreenReaderLog(self.x).__enter__()
                self.env = dict(self.env or {}, **ACCESSIBLE)
            self.program = self.x.start(env=self.env)
            self.window = self.x.wait_for_window(caption_pattern(), pid=self.program.pid)
            self.x.focus(self.window)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exception):
        if self.program is not None and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        if self.screen_reader:
            self.screen_reader.__exit__(*exception)
        self.x.__exit__(*exception)

    def type_inputs(self, voltage, current, angle):
        for box, text in ((TEXT1, voltage), (TEXT2, current), (TEXT3, angle)):
            self.x.replace_text(self.window, box, text)

    def calculate(self):
        self.x.click(self.window, *CALCULATE)

    def shown(self):
        """The power and the three input boxes, as the user can copy them."""
        return tuple(self.x.copy_text(self.window, box) for box in (TEXT4, TEXT1, TEXT2, TEXT3))

    def dismiss_message(self, shot=None):
        """Finds the message box by its title, keeps a picture of it, and
        dismisses it with the keyboard."""
        box = self.x.wait_for_window(MESSAGE_BOX, pid=self.program.pid)
        if shot:
            self.x.painted_screenshot(artefact(shot), box)
        self.x.focus(box)
        self.x.key("Return")
        self.x.wait_until_gone(box)
        self.x.focus(self.window)

    def wait_for_end(self):
        return self.program.wait(timeout=10)


class SessionTest(unittest.TestCase):
    def test_calculate_message_then_exit(self):
        with Session() as session:
            session.type_inputs("220", "10", "30")
            session.calculate()
            self.assertEqual(session.shown(), ("3300.00", "220", "10", "30"))

            session.x.replace_text(session.window, TEXT1, "")
            session.calculate()
            session.dismiss_message(shot="message-box.png")
            # The failed command took the earlier result away and kept the input.
            self.assertEqual(session.shown(), ("", "", "10", "30"))

            session.x.click(session.window, *EXIT)
            self.assertEqual(session.wait_for_end(), 0)

    def test_a_screen_reader_hears_what_each_value_is_and_the_results(self):
        form1 = expected()["form1"]
        told, label11 = form1["resultsTold"], form1["label11NamedWithResult"]
        roles = {"TextBox": "text", "Picture": "image", "Label": "label"}
        with Session(screen_reader=True) as session:
            heard = session.screen_reader
            objects = heard.tree(MESSAGE_TITLE)
            self.assertIn({"role": "frame", "name": FORM1.caption, "description": ""}, objects)
            for spoken in form1["spoken"]:
                role = roles[FORM1.controls[spoken["control"]].kind]
                self.assertIn({"role": role, "name": spoken["name"],
                               "description": spoken["description"]}, objects)

            session.calculate()
            # Qt 6.8 and later announce; older Qt shows a notification.
            heard.wait_for(lambda event: event["any_data"] == told and (
                event["type"] == "object:announcement" or
                (event["type"] == "object:state-changed:showing" and
                 event["role"] == "notification" and event["name"] == told)), "the results")
            with open(artefact("screen-reader-events.json"), "w", encoding="utf-8") as log:
                json.dump(heard.events, log, ensure_ascii=False, indent=1)
            self.assertIn(label11, [event.get("name") for event in heard.events if
                                    event["type"] == "object:property-change:accessible-name"])
            inputs = {spoken["name"] for spoken in form1["spoken"]
                      if spoken["control"] in ("Text1", "Text2", "Text3")}
            self.assertEqual([event for event in heard.events if event.get("name") in inputs and
                              event["type"].startswith("object:text-changed")], [],
                             "an input box told of a change that was none")

    def test_window_manager_close_ends_the_program(self):
        with Session() as session:
            session.x.send_delete_window(session.window)
            self.assertEqual(session.wait_for_end(), 0)

    def test_megabyte_paste_and_a_thousand_calculations(self):
        with Session() as session:
            session.x.set_clipboard("7" * (1 << 20))
            session.x.click(session.window, *TEXT1)
            session.x.key("ctrl+a", "ctrl+v")
            session.calculate()
            session.dismiss_message()  # 32767 sevens: far above the voltage limit

            session.type_inputs("380", "15", "10")
            session.x.run("xdotool", "mousemove", "--window", str(session.window),
                          *map(str, CALCULATE), "click", "--repeat", "100", "--delay", "1", "1")
            settled = resident_kilobytes(session.program.pid)
            session.x.run("xdotool", "mousemove", "--window", str(session.window),
                          *map(str, CALCULATE), "click", "--repeat", "1000", "--delay", "1", "1")
            self.assertEqual(session.shown(), ("9722.70", "380", "15", "10"))
            # AddressSanitizer holds freed memory back on purpose; it checks
            # for leaks itself when the program ends.
            if not built_with_address_sanitizer():
                self.assertLess(resident_kilobytes(session.program.pid) - settled, 2048)


if __name__ == "__main__":
    unittest.main()
