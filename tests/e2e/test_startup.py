"""The program's life as a user and the mouse see it: start-up, single instance, closing,
unplugging, power events, no mouse, and a host function acting."""

import socket
import sys
import unittest
from contextlib import ExitStack

from harness import (Program, Simulator, KeyProbe, count_pixels, is_yellow, main_layout,
                     report_command, session, wait_for)

BANNER = 1
START_KEY_6 = 95  # the sixth button on the mouse picture

SHIPPED_PROFILE_REPORTS = [
    "07 10 01 01", "07 10 02 02", "07 10 03 03", "07 10 05 05", "07 10 04 04", "07 10 06 1F",
    "07 11 00 00", "07 09 00 90", "07 12 06 00",
]


def config_with(profile_lines, language=1):
    """A config.ini whose current profile 1 holds the shipped defaults changed by the given
    keys."""
    keys = {"K1": 1, "K2": 2, "K3": 3, "K4": 5, "K5": 4, "K6": 6, "DPI_LEVEL": 0,
            "WHEEL_STATUS": 0, "MACRO_MODE2": 0, "DPI_SET1": 1, "DPI_SET_EN1": 1, "DPI_SET2": 2,
            "DPI_SET_EN2": 1, "DPI_SET3": 4, "DPI_SET_EN3": 1, "DPI_SET4": 0, "DPI_SET_EN4": 1,
            "LED_STATUS": 0, "DPI_SPEED": 4, "WHEEL_SPEED": 2, "FIRE_TIME": 50}
    keys.update(profile_lines)
    body = "".join(f"{key}={value}\r\n" for key, value in keys.items())
    return f"[Init]\r\nCurConfig=1\r\nVER_SEL={language}\r\n\r\n[Config1]\r\n{body}"


class RunningProgram(unittest.TestCase):
    """A test with a simulator and a program, both ended afterwards."""

    files = None
    english = True

    def setUp(self):
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)
        self.program = Program(self.files, english=self.english)
        self.addCleanup(self.program.stop)
        self.layout = main_layout(self.english)

    def start(self):
        self.program.start(self.simulator)
        return self.simulator.wait_for_reports(len(SHIPPED_PROFILE_REPORTS), "the first apply")

    def banner_yellow(self):
        x, y, width, height = self.layout[BANNER]
        return count_pixels(self.program.grab(x, y, width, height), is_yellow)

    def wait_for_blinking_prompt(self, also=None):
        """Waits until the banner has shown both phases of the start key's number; returns the
        yellow pixels of the phase with the number."""
        phases = set()

        def seen_both():
            phases.add((self.banner_yellow(), also() if also else None))
            return len({count for count, _ in phases}) >= 2 and (
                also is None or len({extra for _, extra in phases}) >= 2)

        wait_for(seen_both, "the start prompt to blink")
        return max(count for count, _ in phases)

    def wait_for_working_text(self, prompting):
        wait_for(lambda: 0 < self.banner_yellow() < prompting * 0.7, "the working text")


class StartUp(RunningProgram):
    def test_default_profile_is_applied_and_prompts_for_key_6(self):
        reports = self.start()
        self.assertEqual([r[:11] for r in reports], SHIPPED_PROFILE_REPORTS)
        config = self.program.config()
        self.assertEqual(config["Init"]["CurConfig"], "1")
        self.assertEqual(config["Config6"], config["Config1"])
        self.assertEqual(self.simulator.dump()["buttons"][5]["hardwareCode"], 31)

        # The prompt blinks: the banner's number and the start key come and go together.
        x, y, width, height = self.layout[START_KEY_6]
        prompting = self.wait_for_blinking_prompt(
            also=lambda: str(self.program.grab(x, y, width, height)))
        self.simulator.click(6)  # the start signal
        self.wait_for_working_text(prompting)

    def test_escape_and_enter_do_not_close_the_window(self):
        self.start()
        self.simulator.command("clear-log")
        self.program.key("Escape", "Return", "KP_Enter")
        session().helper("power")
        self.simulator.wait_for_reports(len(SHIPPED_PROFILE_REPORTS), "the re-sent profile")
        self.assertTrue(self.program.running())
        self.assertEqual(session().window_state()["count"], 1)
        self.assertNotIn(0x20, [report_command(r) for r in self.simulator.reports()])

    def test_a_power_event_resends_the_whole_profile(self):
        self.start()
        self.simulator.command("clear-log")
        session().helper("power")
        reports = self.simulator.wait_for_reports(len(SHIPPED_PROFILE_REPORTS), "the re-sent profile")
        self.assertEqual([r[:11] for r in reports], SHIPPED_PROFILE_REPORTS)


class StartUpTime(RunningProgram):
    def test_the_first_frame_is_reported_with_its_time(self):
        """Prints the time from start to the first painted frame; figures, not assertions."""
        self.program.start(self.simulator, debug_output=True)
        line = wait_for(lambda: next((l for l in self.program.debug_lines()
                                      if l.startswith("V270 first frame")), None),
                        "the first frame's report")
        print(f"\n    {line}", file=sys.stderr)


class SingleInstance(RunningProgram):
    def test_a_second_start_brings_back_the_first_window(self):
        self.start()
        session().helper("minimize")
        wait_for(lambda: session().window_state()["iconic"] == 1, "the window to minimise")
        second = Program()
        self.addCleanup(second.stop)
        second.start(self.simulator, wait_window=False)
        second.wait_exit()
        wait_for(lambda: session().window_state() == {"count": 1, "visible": 1, "iconic": 0},
                 "the first window to come back")
        self.assertTrue(self.program.running())


class ChineseSingleInstance(SingleInstance):
    """The running copy is found by its Chinese title."""
    files = {"config.ini": config_with({}, language=0)}
    english = False


class Ending(RunningProgram):
    def test_closing_sends_the_exit_report_and_resets_the_pointer_speed(self):
        self.start()
        self.assertEqual(session().pointer_speed(), 8, "DPI_SPEED 4 is pointer speed 8")
        session().helper("close")
        self.program.wait_exit()
        self.assertEqual(self.simulator.reports()[-1][:5], "07 20")
        self.assertEqual(session().pointer_speed(), 10)

    def test_unplugging_ends_the_program_without_exit_report(self):
        self.start()
        self.simulator.command("unplug")
        self.program.wait_exit()
        self.assertNotIn(0x20, [report_command(r) for r in self.simulator.reports()])
        self.assertEqual(session().pointer_speed(), 8, "the speed is not reset on this path")


class UnpluggingAgain(unittest.TestCase):
    def test_twenty_unplugs_each_end_a_fresh_program_without_a_crash(self):
        for unplug in range(1, 21):
            with self.subTest(unplug=unplug), ExitStack() as stack:
                simulator = Simulator()
                stack.callback(simulator.close)
                program = Program()
                stack.callback(program.stop)
                program.start(simulator)
                simulator.wait_for_reports(len(SHIPPED_PROFILE_REPORTS), "the first apply")
                simulator.command("unplug")
                program.wait_exit()  # fails on Wine's report of a crash


class NoMouse(unittest.TestCase):
    def check_message(self, language, expected, env=None):
        program = Program({"config.ini": config_with({}, language)}, english=language == 1)
        self.addCleanup(program.stop)
        program.start(simulator=None, wait_window=False, env=env)  # no mouse
        text = wait_for(lambda: session().helper("message", "V270", check=False),
                        "the not-found message")
        self.assertEqual(text, expected)
        session().helper("dismiss", "V270")
        program.wait_exit()

    def test_english_and_no_simulator_can_stand_in(self):
        # A simulated mouse named in the environment changes nothing: the program's only HID
        # is the system's, and nothing connects to the port named.
        with socket.create_server(("127.0.0.1", 0)) as listener:
            listener.setblocking(False)
            port = listener.getsockname()[1]
            self.check_message(1, "Please plug-in【VELKO V270】USB Mouse",
                               env={"V270_MOUSE_SIM": f"127.0.0.1:{port}"})
            with self.assertRaises(BlockingIOError):
                listener.accept()

    def test_chinese(self):
        self.check_message(0, "请插入【VELKO V270】USB鼠标")


class HostFunction(RunningProgram):
    files = {"config.ini": config_with({"K2": 31})}  # button 2: Ctrl+C

    def test_a_shortcut_button_sends_the_chord(self):
        probe = KeyProbe()
        self.addCleanup(probe.close)
        self.start()
        self.assertEqual(self.simulator.dump()["buttons"][1]["hardwareCode"], 31)
        prompting = self.wait_for_blinking_prompt()
        self.simulator.click(2)  # the start signal
        self.wait_for_working_text(prompting)
        self.simulator.click(2)
        chord = [("WM_KEYDOWN", 0x11), ("WM_KEYDOWN", 0x43), ("WM_KEYUP", 0x43), ("WM_KEYUP", 0x11)]
        events = wait_for(lambda: (e := probe.key_events()) and len(e) >= 4 and e,
                          "the chord's key events")
        self.assertEqual([(message, vk) for message, vk, _ in events[:4]], chord)
        for _, _, flags in events[:4]:
            self.assertTrue(flags & 0x10, "flagged injected")


if __name__ == "__main__":
    unittest.main()
