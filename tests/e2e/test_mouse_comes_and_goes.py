"""A driver that outlives the USB cable: started into the tray before the mouse (as Start with
Windows does at logon), it waits without a message box, its icon coming back after an Explorer
restart; every plug brings the profile and the presses back, every unplug stops a macro that
plays and leaves nothing down."""

import time
import unittest

from harness import (KeyProbe, Program, Simulator, held_down, macro_file, macro_record, session,
                     wait_for)
from test_command_line import APPLY_REPORTS, MESSAGE_CAPTION, tray_icon
from test_macro_endings import (MACRO_0, MACRO_BUTTON, PRESS, RELEASE, RIGHT_BUTTON,
                                START_BUTTON, VK_A, VK_B)
from test_main_page import config_with

# Held mode: the macro plays again and again while its button is down, and an unplugged mouse
# never sends the release.
REPEATING_MACRO = macro_record("repeats", [(VK_A, PRESS, 20), (RIGHT_BUTTON, PRESS, 20),
                                           (VK_B, PRESS, 300), (VK_B, RELEASE, 10),
                                           (RIGHT_BUTTON, RELEASE, 10), (VK_A, RELEASE, 10)])
PLUGS = 5


def quiet_for_a_second(probe):
    seen = len(probe.events())
    time.sleep(1)
    events = probe.events()
    return len(events) == seen and not held_down(events)


class MouseComesAndGoes(unittest.TestCase):
    def test_started_before_the_mouse_it_waits_and_every_plug_brings_it_back(self):
        probe = KeyProbe(mouse=True)
        self.addCleanup(probe.close)
        simulator = Simulator()
        self.addCleanup(simulator.close)
        simulator.command("unplug")
        program = Program({"config.ini": config_with({1: {"K4": MACRO_0, "MACRO_MODE2": 1}}),
                           "Macro_EN.dat": macro_file(REPEATING_MACRO)})
        self.addCleanup(program.stop)
        program.start(simulator, wait_window=False, arguments=["--tray"])
        tray_icon()
        self.assertIsNone(session().helper("message", MESSAGE_CAPTION, check=False),
                          "no message box at logon")
        self.assertEqual(session().window_state()["visible"], 0)
        # Explorer restarted: its new taskbar has no icons, and says so to every window.
        session().helper("taskbar-created")
        tray_icon()

        for plug in range(PLUGS):
            with self.subTest(plug=plug):
                simulator.command("clear-log")
                simulator.command("plug")
                simulator.wait_for_reports(APPLY_REPORTS, "the profile after the plug")
                simulator.click(START_BUTTON)  # the start signal
                simulator.command(f"press {MACRO_BUTTON}")
                wait_for(lambda: held_down(probe.events()) == {VK_A, VK_B, "R"},
                         "the macro to hold A, B and the right button")

                simulator.command("unplug")
                # Between its rounds the macro holds nothing for a moment: it has stopped once a
                # second longer than a round brings no key and leaves nothing down.
                wait_for(lambda: quiet_for_a_second(probe), "the macro to stop, nothing held down")
                self.assertTrue(program.running())
        program.check_no_crash()


if __name__ == "__main__":
    unittest.main()
