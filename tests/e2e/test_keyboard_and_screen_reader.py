"""The main window without a mouse: Tab walks its entries and Enter presses them, and a screen
reader in another program reads the entries' names and roles (MSAA, AccessibleObjectFromWindow)."""

import unittest
from contextlib import ExitStack

from harness import ROOT, Program, Simulator, session, wait_for

SHIPPED_REPORTS = 9
ROLE_PAGETAB, ROLE_PUSHBUTTON, ROLE_CHECKBUTTON, ROLE_RADIOBUTTON = 0x25, 0x2B, 0x2C, 0x2D
STATE_SELECTED, STATE_FOCUSED, STATE_CHECKED = 0x2, 0x4, 0x10
# The main page's entries from the last one backwards, as Shift+Tab reaches them.
LAST_ENTRIES = ["Close to the tray", "Minimise", "English", "中文", "Reset", "Export profile",
                "Import profile", "Cancel", "Apply"]


def chinese_config():
    """The shipped settings with the Chinese interface."""
    text = (ROOT / "data" / "config.ini").read_text(encoding="ascii")
    return {"config.ini": text.replace("VER_SEL=1", "VER_SEL=0")}


class KeyboardAndScreenReader(unittest.TestCase):
    def start(self, english=True, stack=None):
        """Starts the program and its mouse, both ended by `stack`, or at the test's end."""
        end = stack.callback if stack else self.addCleanup
        self.simulator = Simulator()
        end(self.simulator.close)
        self.program = Program(None if english else chinese_config(), english=english)
        end(self.program.stop)
        self.program.start(self.simulator)
        self.simulator.wait_for_reports(SHIPPED_REPORTS, "the first apply")

    def children(self):
        """(role, state, name) of each child of the window's client object."""
        lines = session().helper("accessible").split("\n")
        return [(int(role, 16), int(state, 16), name)
                for role, state, name in (line.split(" ", 2) for line in lines if line)]

    def focused(self):
        return next((name for _, state, name in self.children() if state & STATE_FOCUSED), None)

    def test_tab_walks_the_entries_and_enter_presses_apply(self):
        self.start()
        names = [name for _, _, name in self.children()]
        self.assertIsNone(self.focused(), "no mark before the keyboard is used")
        for expected in names[:4]:
            self.program.key("Tab")
            wait_for(lambda: self.focused() == expected, f"the focus on {expected}")
        self.program.key("shift+Tab")
        wait_for(lambda: self.focused() == names[2], "the focus back")
        # From the first entry backwards, round the end to Apply.
        self.program.key("shift+Tab", "shift+Tab")
        for expected in LAST_ENTRIES:
            self.program.key("shift+Tab")
            wait_for(lambda: self.focused() == expected, f"the focus on {expected}")
        self.simulator.command("clear-log")
        self.program.key("Return")
        reports = self.simulator.wait_for_reports(SHIPPED_REPORTS, "the applied profile")
        self.assertEqual(len(reports), SHIPPED_REPORTS)
        self.program.key("Escape")
        self.assertTrue(self.program.running())
        self.assertEqual(session().window_state()["count"], 1)

    def test_a_screen_reader_reads_names_roles_and_states_in_both_languages(self):
        expected = {
            True: [(ROLE_PAGETAB, "Buttons and DPI", STATE_SELECTED),
                   (ROLE_RADIOBUTTON, "Profile 1", STATE_SELECTED),
                   (ROLE_PUSHBUTTON, "Button 6: DPI Cycle", 0),
                   (ROLE_CHECKBUTTON, "DPI level 2 on", STATE_CHECKED),
                   (ROLE_RADIOBUTTON, "DPI level 2: 1600", STATE_SELECTED),
                   (ROLE_PUSHBUTTON, "Apply", 0)],
            False: [(ROLE_PAGETAB, "按键与 DPI", STATE_SELECTED),
                    (ROLE_RADIOBUTTON, "配置 1", STATE_SELECTED),
                    (ROLE_CHECKBUTTON, "DPI 档位 2 开启", STATE_CHECKED),
                    (ROLE_RADIOBUTTON, "DPI 档位 2：1600", STATE_SELECTED),
                    (ROLE_PUSHBUTTON, "应用", 0)],
        }
        for english in (True, False):
            with self.subTest(english=english), ExitStack() as stack:
                self.start(english, stack)
                children = {name: (role, state) for role, state, name in self.children()}
                self.assertEqual(len(children), 53)
                for role, name, state in expected[english]:
                    self.assertIn(name, children)
                    self.assertEqual(children[name][0], role, name)
                    self.assertEqual(children[name][1] & state, state, name)


if __name__ == "__main__":
    unittest.main()
