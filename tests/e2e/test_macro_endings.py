"""No key or button is left down, whatever way a playing macro ends: a second press, the
release of its button, the next-profile function, unplugging the mouse, closing the program."""

import unittest

from harness import (KeyProbe, Program, Simulator, held_down, macro_file, macro_record, session,
                     wait_for)
from test_main_page import config_with

VK_A, VK_B = 0x41, 0x42
RIGHT_BUTTON = 241
PRESS, RELEASE = 1, 2
# A and the right button and B go down, then a long pause before they come up again.
HOLDING_MACRO = macro_record("holds", [(VK_A, PRESS, 50), (RIGHT_BUTTON, PRESS, 50),
                                       (VK_B, PRESS, 30000), (VK_B, RELEASE, 10),
                                       (RIGHT_BUTTON, RELEASE, 10), (VK_A, RELEASE, 10)])
# The mouse's buttons 4 and 5 are the profile's slots 5 and 4.
MACRO_BUTTON, NEXT_PROFILE_BUTTON, START_BUTTON = 5, 4, 6
MACRO_0, NEXT_PROFILE = 41, 40


class MacroEnding(unittest.TestCase):
    macro_mode = 0

    def setUp(self):
        self.probe = KeyProbe(mouse=True)
        self.addCleanup(self.probe.close)
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)
        profile = {"K4": MACRO_0, "K5": NEXT_PROFILE, "MACRO_MODE2": self.macro_mode}
        self.program = Program({"config.ini": config_with({1: profile, 2: profile}),
                                "Macro_EN.dat": macro_file(HOLDING_MACRO)})
        self.addCleanup(self.program.stop)
        self.program.start(self.simulator)
        self.simulator.wait_for_reports(9, "the first apply")
        self.simulator.click(START_BUTTON)  # the start signal: host functions act from now on

    def play(self):
        """Starts the macro and waits until it holds everything."""
        if self.macro_mode == 0:
            self.simulator.click(MACRO_BUTTON)
        else:
            self.simulator.command(f"press {MACRO_BUTTON}")
        wait_for(lambda: held_down(self.probe.events()) == {VK_A, VK_B, "R"},
                 "the macro to hold A, B and the right button")

    def assert_nothing_left_down(self):
        wait_for(lambda: not held_down(self.probe.events()), "everything released")


class WhilePlayingOnce(MacroEnding):
    def test_a_second_press_ends_it(self):
        self.play()
        self.simulator.click(MACRO_BUTTON)
        self.assert_nothing_left_down()

    def test_the_next_profile_function_ends_it(self):
        self.play()
        self.simulator.click(NEXT_PROFILE_BUTTON)
        self.assert_nothing_left_down()

    def test_unplugging_ends_it_with_the_program(self):
        self.play()
        self.simulator.command("unplug")
        self.program.wait_exit()
        self.assert_nothing_left_down()

    def test_closing_the_program_ends_it(self):
        self.play()
        session().helper("close")
        self.program.wait_exit()
        self.assert_nothing_left_down()


class WhileHeld(MacroEnding):
    macro_mode = 1

    def test_the_release_ends_it(self):
        self.play()
        self.simulator.command(f"release {MACRO_BUTTON}")
        self.assert_nothing_left_down()


if __name__ == "__main__":
    unittest.main()
