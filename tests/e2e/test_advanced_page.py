"""The advanced page as a user drives it: a macro created, recorded from the keyboard (messages
that any program could post to the window adding nothing), edited in its step list, saved,
assigned and played by the mouse; macro files exported and imported; and the keyboard given back
when the window hides in the middle of a recording."""

import subprocess
import unittest

from harness import KeyProbe, advanced_layout, centre, read_ini, session, wait_for
from test_main_page import MainPage, visible_windows, xdotool

# Entries of the advanced page's layout.
IMPORT, EXPORT, ADD, DELETE, RECORD, TAKE_COUNT = 0, 1, 2, 3, 4, 5
# Its controls: keys of the layout's "EDIT" and "MACRODISPLAY" sections, and their window ids.
NAME_EDIT, MACRO_LIST, STEP_LIST = 4, 1, 2
MACRO_LIST_ID, STEP_LIST_ID, REPEAT_EDIT_ID = 10001, 10002, 10004
# Entries of the main page.
ADVANCED_TAB, MAIN_TAB, CLOSE = 10, 9, 13

OWN_INPUT_TAG = 0x56323730
VK_A, VK_B = 0x41, 0x42
MACRO_ROW = 9  # the function menu's row of the macros
WM_USER, WM_APP = 0x400, 0x8000
FORGED_MESSAGES = [(WM_APP + 4, 0x0043, 0x7FFFFFFF), (WM_APP + 3, 0x8000FFFF, 0x00400040),
                   (WM_APP + 5, 999, 0x203), (WM_USER + 10, 0, 0), (WM_APP + 1, 0, 0)]


class AdvancedPage(MainPage):
    def setUp(self):
        super().setUp()
        self.advanced = advanced_layout(self.english)
        self.edits = advanced_layout(self.english, "EDIT")
        self.lists = advanced_layout(self.english, "MACRODISPLAY")
        self.click_entry(ADVANCED_TAB)
        wait_for(lambda: self.macros(), "the macro list")

    def click_advanced(self, entry):
        self.program.click(*centre(self.advanced[entry]))

    def macros(self):
        return session().list_rows(MACRO_LIST_ID)

    def steps(self):
        return session().list_rows(STEP_LIST_ID)

    def menu(self, row, *keys):
        """Opens the step list's context menu on `row` and walks it with `keys`."""
        x, y, _, _ = self.lists[STEP_LIST]
        height = int(session().helper("row-height", str(STEP_LIST_ID)))
        main = self.program.window()
        before = {w["id"] for w in visible_windows()}
        self.program.click(x + 20, y + height * row + height // 2, button=3)
        menu = self.wait_popup("the step menu", lambda w: w["id"] not in before and w["id"] != main)
        xdotool("key", "--window", menu["id"], *keys)
        self.wait_no_popups("the step menu to close")

    def start_recording(self):
        """Starts a recording; it has the keyboard once the repeat-count edit is disabled."""
        self.click_advanced(RECORD)
        wait_for(lambda: session().helper("enabled", str(REPEAT_EDIT_ID)) == "0",
                 "the recording to start")

    def add_macro(self, name):
        self.program.click(*centre(self.edits[NAME_EDIT]))
        self.program.key("End", *(["BackSpace"] * 24))
        self.program.type_text(name)
        self.click_advanced(ADD)
        wait_for(lambda: name in self.macros(), f"the macro {name}")


class RecordEditAndPlay(AdvancedPage):
    def test_a_recorded_and_edited_macro_plays_on_the_mouse(self):
        self.add_macro("typed keys")
        self.start_recording()
        # Messages any program could post, with what they carried before or anything else:
        # a key, a right click far below the rows, a tray click of another icon, the end of an
        # edit that never began, the function menu's end. None adds to the recording.
        for message, first, second in FORGED_MESSAGES:
            self.assertEqual(session().helper("post", hex(message), hex(first), hex(second)), "ok")
        self.program.key("a", "b")
        wait_for(lambda: len(self.steps()) == 7, "four recorded steps")
        self.click_advanced(RECORD)
        rows = self.steps()
        self.assertEqual([rows[0], rows[2], rows[4], rows[6]],
                         ["[↓]A", "[↑]A", "[↓]B", "[↑]B"])

        # A left-button press before the first step, then the delay after it typed in place.
        self.menu(0, "Down", "Right", "Right", "Return")
        wait_for(lambda: self.steps()[0] == "[↓]Left_Key", "the inserted step")
        self.menu(1, "Down", "Down", "Down", "Return")
        wait_for(lambda: session().helper("row-editor", str(STEP_LIST_ID), check=False),
                 "the delay's editor")
        xdotool("type", "--window", self.program.window(), "150")
        self.program.key("Return")
        wait_for(lambda: self.steps()[1] == "    150ms", "the edited delay")

        self.click_advanced(TAKE_COUNT)  # saves the macros
        macro_file = self.program.folder / "Macro_EN.dat"
        wait_for(lambda: read_ini(macro_file)["Macros"]["macroNum"] == "6", "six macros saved")

        self.click_entry(MAIN_TAB)
        self.choose(6, MACRO_ROW, 6)
        self.apply()
        probe = KeyProbe(mouse=True)
        self.addCleanup(probe.close)
        xdotool("mousemove", "--sync", 2, 2)  # the left click lands on no window
        self.simulator.click(6)  # the start signal
        self.simulator.click(6)  # the macro
        wait_for(lambda: len(probe.events()) >= 6, "the macro's keys and click")
        events = probe.events()
        self.assertEqual(
            [(kind, message, vk) for kind, message, vk, _ in events],
            [("mouse", "WM_LBUTTONDOWN", 0), ("key", "WM_KEYDOWN", VK_A),
             ("key", "WM_KEYUP", VK_A), ("key", "WM_KEYDOWN", VK_B), ("key", "WM_KEYUP", VK_B),
             ("mouse", "WM_LBUTTONUP", 0)])
        self.assertTrue(all(extra == OWN_INPUT_TAG for *_, extra in events))


class MacroFiles(AdvancedPage):
    def test_an_exported_file_imports_back(self):
        shipped = self.macros()
        self.click_advanced(EXPORT)
        self.file_dialog("Save As", "exported.dat")
        wait_for(lambda: (self.program.folder / "exported.dat").exists(), "the exported file")
        self.click_advanced(DELETE)
        wait_for(lambda: self.macros() == shipped[:-1], "the last macro deleted")
        self.click_advanced(IMPORT)
        self.file_dialog("Open", "exported.dat")
        wait_for(lambda: self.macros() == shipped, "the macros imported back")


class HidingWhileRecording(AdvancedPage):
    def keyboard_comes_back(self, hide, hidden):
        """Records a key typed into another program, hides the window with `hide`, waits for
        `hidden`, and checks that the next key reaches the other program."""
        notepad = subprocess.Popen(["wine", "notepad"], env=session().env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(notepad.wait)
        self.addCleanup(notepad.kill)
        other = wait_for(lambda: next((w for w in visible_windows("notepad.exe")), None),
                         "another program's window")
        # Out of the main window's way, in the screen's lower right corner.
        xdotool("windowsize", other["id"], 200, 100)
        xdotool("windowmove", other["id"], 1070, 690)

        def type_into_other(key):
            # The keyboard goes to the window in front: the user clicks the other one first.
            xdotool("mousemove", "--window", other["id"], 50, 50)
            xdotool("click", 1)
            xdotool("key", "--window", other["id"], key)

        self.start_recording()
        type_into_other("x")
        wait_for(lambda: len(self.steps()) == 3, "the key recorded")
        self.assertEqual(session().helper("edit-text", "Notepad"), "",
                         "a recording keeps the keys from every other program")

        hide()
        wait_for(hidden, "the window to hide")
        type_into_other("y")
        wait_for(lambda: session().helper("edit-text", "Notepad") == "y",
                 "the key to reach the other program")

    def test_hidden_to_the_tray(self):
        self.keyboard_comes_back(lambda: self.click_entry(CLOSE),
                                 lambda: session().window_state()["visible"] == 0)

    def test_minimised(self):
        self.keyboard_comes_back(lambda: session().helper("minimize"),
                                 lambda: session().window_state()["iconic"] == 1)


if __name__ == "__main__":
    unittest.main()
