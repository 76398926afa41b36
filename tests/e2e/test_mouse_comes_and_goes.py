"""A driver that outlives the USB cable: started into the tray before the mouse (as Start with
Windows does at logon), it waits without a message box, its icon coming back after an Explorer
restart; every plug brings the profile and the presses back, every unplug stops a macro that
plays and leaves nothing down. Opened by the user before the mouse, with "Keep running without
the mouse" on, its window stays and keeps what is applied for the mouse's arrival. With two mice
it drives one of them, and only that one."""

import time
import unittest

from harness import (WINDOWS_BUILD, KeyProbe, Program, Simulator, centre, held_down, macro_file,
                     macro_record, main_layout, session, wait_for)
from test_command_line import APPLY_REPORTS, MESSAGE_CAPTION, tray_icon
from test_macro_endings import (MACRO_0, MACRO_BUTTON, PRESS, RELEASE, RIGHT_BUTTON,
                                START_BUTTON, VK_A, VK_B)
from test_main_page import APPLY, PROFILE_2, config_with, xdotool

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

    def test_opened_before_the_mouse_its_window_stays_and_the_apply_waits_for_it(self):
        simulator = Simulator()
        self.addCleanup(simulator.close)
        simulator.command("unplug")
        # Profile 2 tells itself apart by button 3's report: 07 10 03 02.
        program = Program({"config.ini": config_with({1: {}, 2: {"K3": 2}}) +
                           "\r\n[Driver]\r\nKeepRunningWithoutMouse=1\r\n"})
        self.addCleanup(program.stop)
        program.start(simulator)
        tray_icon()
        self.assertEqual(session().window_state()["visible"], 1, "the window stays")
        shots = WINDOWS_BUILD / "e2e-screenshots"
        shots.mkdir(exist_ok=True)
        program.screenshot(shots / "waiting_for_the_mouse_en.png")

        # Profile 2 applied while the mouse is away: saved, and the mouse gets it on arrival.
        layout = main_layout()
        program.click(*centre(layout[PROFILE_2]))
        program.click(*centre(layout[APPLY]))
        text = wait_for(lambda: session().helper("message", MESSAGE_CAPTION, check=False),
                        "the message of the apply")
        self.assertIn("The mouse is not connected", text)
        session().helper("dismiss", MESSAGE_CAPTION)
        self.assertEqual(program.config()["Init"]["CurConfig"], "2")
        simulator.command("plug")
        reports = simulator.wait_for_reports(APPLY_REPORTS, "the profile after the plug")
        self.assertIn("07 10 03 02", [report[:11] for report in reports])
        # The icon goes (Wine's tray hides with its last icon); the window stays.
        wait_for(lambda: not xdotool("search", "--onlyvisible", "--name", "Wine System Tray")
                 .stdout.split(), "the tray icon to go")
        self.assertEqual(session().window_state()["visible"], 1)
        program.check_no_crash()

    def test_of_two_mice_present_it_drives_one_and_takes_its_presses_only(self):
        first, second = Simulator(), Simulator()
        self.addCleanup(first.close)
        self.addCleanup(second.close)
        session().bridge.attach(second, mouse=1)
        self.addCleanup(session().bridge.detach, 1)
        program = Program({"config.ini": config_with({1: {}})})
        self.addCleanup(program.stop)
        program.start(first)
        # Whichever mouse the search takes, every report goes to it.
        driven = wait_for(lambda: next((mouse for mouse in (first, second)
                                        if len(mouse.reports()) >= APPLY_REPORTS), None),
                          "the first apply")
        other = second if driven is first else first
        driven.click(START_BUTTON)  # the start signal; the button cycles the DPI levels
        other.click(START_BUTTON)
        for press in (1, 2):
            driven.click(START_BUTTON)
            reports = driven.wait_for_reports(APPLY_REPORTS + press, "the DPI press")
            self.assertEqual(reports[-1][:5], "07 09")
        # Two round trips after the other mouse's press: it did nothing.
        self.assertEqual(len(driven.reports()), APPLY_REPORTS + 2)
        self.assertEqual(other.reports(), [])
        program.check_no_crash()


if __name__ == "__main__":
    unittest.main()
