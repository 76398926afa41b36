"""The program against what goes wrong around it: a mouse that is unplugged mid-apply, refuses
its feature reports, lists report lengths the program cannot hold, sends garbage or floods it
with presses; a settings file another program holds at the start; libraries planted where an
elevated program must not load them from; and a harness that must not hang on its own Wine
calls."""

import random
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from harness import (DEFAULT_TIMEOUT, HELPER, MESSAGE_CAPTION, PLANTED_DLL, KeyProbe, Program,
                     Simulator, centre, macro_file, macro_record, main_layout, read_layout,
                     session, wait_for)
from test_main_page import APPLY, COLOUR_TAB, PROFILE_1, MainPage, config_with

VK_CONTROL, VK_C = 0x11, 0x43
# The mouse's button 5 is the profile's slot 4; button 2 is slot 2.
MACRO_BUTTON, SHORTCUT_BUTTON, START_BUTTON = 5, 2, 6
STEADY = 2  # the colour page's LED mode entry


def answers():
    return session().helper("ping") == "answered"


class UnplugDuringApply(MainPage):
    def test_the_program_ends_as_on_any_unplug(self):
        self.click_entry(APPLY)
        self.simulator.command("unplug")
        self.program.wait_exit()
        self.assertFalse(self.simulator.dump()["exitReportSeen"])


class RefusedFeatureReports(MainPage):
    def test_the_mouse_keeps_its_settings_until_an_apply_gets_through(self):
        self.simulator.command("fail-features on")
        self.click_entry(COLOUR_TAB)
        self.click_entry(STEADY, read_layout("skin_color_en.ini"))
        self.apply()
        dump = self.simulator.dump()
        self.assertFalse(any(entry["accepted"] for entry in dump["log"]))
        self.assertEqual(dump["ledMode"], 0, "the mouse still has the mode applied before")
        self.assertTrue(answers())

        self.simulator.command("fail-features off")
        self.apply()
        self.assertEqual(self.simulator.dump()["ledMode"], STEADY)


class ReportLengths(unittest.TestCase):
    def test_a_length_the_link_can_hold_is_used_any_other_leaves_the_interface_alone(self):
        # A feature report needs 4 bytes (ID, command, two values), an input report 2 (ID and
        # key); up to 4096 bytes are held. Reports are as long as the interface says. A report
        # of the ID alone cannot be declared: a collection of length 1 lists as 0.
        for length, usable in ((300, True), (257, True), (4, True), (1, False), (5000, False)):
            with self.subTest(length=length):
                simulator = Simulator("--input-length", str(length),
                                      "--feature-length", str(length))
                program = Program()
                try:
                    program.start(simulator)
                    self.assertTrue(answers())
                    if usable:
                        reports = simulator.wait_for_reports(9, "the first apply")
                        self.assertEqual({len(r.split()) for r in reports}, {length})
                        # Input reports of that length are read: the start signal, then a
                        # press of the DPI button, which sends the next level.
                        simulator.click(START_BUTTON)
                        simulator.click(START_BUTTON)
                        self.assertEqual(simulator.wait_for_reports(10, "a press")[9][:5], "07 09")
                    else:
                        self.assertEqual(simulator.dump()["log"], [], "nothing sent")
                finally:
                    program.stop()
                    simulator.close()


def garbage(count, is_meaningful):
    """`count` raw commands of random reports of 1 to 8 bytes, none of them meaningful."""
    generator = random.Random(270)
    commands = []
    while len(commands) < count:
        report = [generator.randrange(256) for _ in range(generator.randrange(1, 9))]
        padded = report + [0] * (8 - len(report))
        if not is_meaningful(padded):
            commands.append("raw " + " ".join(f"{byte:02X}" for byte in report))
    return commands


class GarbageInput(MainPage):
    files = {"config.ini": config_with({1: {"K2": 31}})}  # button 2: Ctrl+C

    def test_reports_that_are_no_press_change_nothing_and_presses_still_act(self):
        probe = KeyProbe()
        self.addCleanup(probe.close)
        # Before the start signal only 06 00 counts; after it any byte 1 above F0 is a press,
        # and F7 and up name no button.
        before_start = garbage(300, lambda r: r[0] == 6 and r[1] == 0)
        self.assertEqual(set(self.simulator.commands(before_start)), {"ok"})
        self.simulator.click(SHORTCUT_BUTTON)  # the start signal
        after_start = ["raw 06 F7", "raw 07 FF", "raw 06 F0"] + garbage(
            300, lambda r: 0xF1 <= r[1] <= 0xF6)
        self.assertEqual(set(self.simulator.commands(after_start)), {"ok"})
        self.assertTrue(answers())
        self.assertEqual(probe.key_events(), [], "no garbage became a key")

        def shortcut_acts():
            self.simulator.click(SHORTCUT_BUTTON)
            return VK_C in [vk for _, vk, _ in probe.key_events()]

        wait_for(shortcut_acts, "Ctrl+C", interval=0.3)


class Flood(MainPage):
    files = {"config.ini": config_with({1: {"K4": 41}}),  # slot 4 plays macro 0
             "Macro_EN.dat": macro_file(macro_record("empty", []))}
    seconds = 10
    presses_a_second = 10_000

    def test_ten_thousand_presses_a_second_for_ten_seconds(self):
        self.simulator.click(START_BUTTON)
        before = self.program.resident_kib()
        batch = [f"click {MACRO_BUTTON}"] * 500
        sent = 0
        start = time.monotonic()
        while time.monotonic() - start < self.seconds:
            replies = self.simulator.commands(batch)
            self.assertEqual(set(replies), {"ok"})
            sent += len(batch)
            ahead = sent / self.presses_a_second - (time.monotonic() - start)
            if ahead > 0:
                time.sleep(ahead)
        elapsed = time.monotonic() - start
        self.assertTrue(answers())
        after = self.program.resident_kib()
        self.simulator.command("clear-log")
        print(f"\n    flood: {sent} presses in {elapsed:.1f} s ({sent / elapsed:.0f}/s); "
              f"resident memory {before} KiB before, {after} KiB after")
        self.assertLess(after - before, 16 * 1024, "memory stays flat")


def hold(path):
    """The helper holding a file open, shared with no one, as a scanner may at logon; closing
    its standard input lets go."""
    helper = subprocess.Popen(["wine", str(HELPER), "hold", "Z:" + str(path).replace("/", "\\")],
                              env=session().env, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    assert helper.stdout.readline().strip() == b"held"
    return helper


class HeldSettings(unittest.TestCase):
    def test_a_config_held_at_the_start_is_told_kept_and_read_again_later(self):
        simulator = Simulator()
        self.addCleanup(simulator.close)
        program = Program({"config.ini": config_with({1: {"K3": 2}})})  # button 3: the right click
        self.addCleanup(program.stop)
        config = program.folder / "config.ini"
        stored = config.read_bytes()
        helper = hold(config)
        self.addCleanup(helper.stdout.close)
        self.addCleanup(helper.wait, DEFAULT_TIMEOUT)
        self.addCleanup(helper.stdin.close)
        program.start(simulator, wait_window=False)
        text = wait_for(lambda: session().helper("message", MESSAGE_CAPTION, check=False),
                        "the message")
        self.assertTrue(text.startswith('Could not read "') and '\\config.ini": ' in text, text)
        helper.stdin.close()
        session().helper("dismiss", MESSAGE_CAPTION)

        # The program runs with the factory settings, which are never saved over the file.
        first = simulator.wait_for_reports(9, "the first apply")
        self.assertIn("07 10 03 03", [r[:11] for r in first])
        layout = main_layout()
        program.window()
        simulator.command("clear-log")
        program.click(*centre(layout[APPLY]))
        simulator.wait_for_reports(9, "the second apply")
        self.assertEqual(config.read_bytes(), stored)

        # Reading profile 1 again makes it the one applied and saved.
        simulator.command("clear-log")
        program.click(*centre(layout[PROFILE_1]))
        program.click(*centre(layout[APPLY]))
        reports = simulator.wait_for_reports(9, "the stored profile's apply")
        self.assertIn("07 10 03 02", [r[:11] for r in reports])
        self.assertEqual(program.config()["Config6"]["K3"], "2")


# The DLLs the program uses that are not among the system's known DLLs.
PLANTED_NAMES = ("hid.dll", "winmm.dll", "gdiplus.dll")


class PlantedLibraries(unittest.TestCase):
    def test_no_library_comes_from_the_program_folder_or_the_current_one(self):
        simulator = Simulator()
        self.addCleanup(simulator.close)
        program = Program()
        self.addCleanup(program.stop)
        current = Path(tempfile.mkdtemp(prefix="v270-e2e-cwd-"))
        self.addCleanup(shutil.rmtree, current, ignore_errors=True)
        for folder in (program.folder, current):
            for name in PLANTED_NAMES:
                shutil.copy(PLANTED_DLL, folder / name)
        # Wine prefers its own builtin DLLs; told to prefer files, it finds any in the search path.
        overrides = session().env["WINEDLLOVERRIDES"] + ";hid,winmm,gdiplus=n,b"
        program.start(simulator, cwd=current, env={"WINEDLLOVERRIDES": overrides})
        # The HID library sent the first apply; GDI+ decoded the skin of the window shown.
        simulator.wait_for_reports(9, "the first apply")
        self.assertTrue(program.running())
        marks = sorted(p.name for folder in (program.folder, current) for p in folder.glob("*.loaded"))
        self.assertEqual(marks, [])


class Harness(unittest.TestCase):
    def test_a_helper_call_that_starts_the_wineserver_returns(self):
        # The call after this one starts a server of its own, which outlives the call.
        subprocess.run(["wineserver", "-k"], env=session().env, check=False)
        try:
            self.assertIn("count=0", session().helper("window"), "no program runs")
        finally:
            session().wait_wineserver()
            session().start_wineserver()


if __name__ == "__main__":
    unittest.main()
