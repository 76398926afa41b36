"""Per-application profiles: two applications brought to the front in turn with xdotool switch the
profile back and forth, and the mouse gets each profile once per switch.

The applications are copies of v270-front-window, which comes to the front when clicked. Wine 8
moves the foreground without announcing it to the program's EVENT_SYSTEM_FOREGROUND hook, so the
window announces it itself (NotifyWinEvent); the hook, its out-of-context delivery, the
executable path of the window's process, the rules, the settle time and the switch are the
program's own."""

import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from harness import (WINDOWS_BUILD, KeyProbe, Program, Simulator, macro_file, macro_record,
                     session, wait_for)
from test_main_page import config_with

FRONT_WINDOW = WINDOWS_BUILD / "tools" / "frontwindow" / "v270-front-window.exe"
PROFILE_REPORTS = 9
DPI_BUTTON = 6  # the DPI cycle, a host function in every profile here
MACRO_BUTTON = 5  # the mouse's button 5 is the profile's slot 4
MACRO_0 = 41
VK_A = 0x41
TYPING_MACRO = macro_file(macro_record("types a", [(VK_A, 1, 10), (VK_A, 2, 10)]))
# Button 3's report tells the profiles apart: 07 10 03 <its code>.
BUTTON_3 = {1: "07 10 03 03", 2: "07 10 03 02", 4: "07 10 03 01"}
# Longer than the settle time: a second switch for one change would have come by then.
QUIET = 1.5


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class FrontWindow:
    """v270-front-window copied to `path` and started at screen position `at`: an application
    that comes to the front. Apart, each window gets its own clicks."""

    def __init__(self, path, at):
        path.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(FRONT_WINDOW, path)
        self.process = subprocess.Popen(["wine", str(path), "--at", *map(str, at)],
                                        env=session().env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = wait_for(lambda: self._find(path.name), f"the window of {path.name}")

    @staticmethod
    def _find(title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                               env=session().env, capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    def bring_to_front(self):
        subprocess.run(["xdotool", "mousemove", "--window", self.window, "20", "20", "click", "1"],
                       env=session().env, check=True)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class AppProfiles(unittest.TestCase):
    def setUp(self):
        self.apps = Path(tempfile.mkdtemp(prefix="v270-apps-"))
        self.addCleanup(shutil.rmtree, self.apps, ignore_errors=True)
        self.editor = self.apps / "Tools" / "editor.exe"
        self.game = self.apps / "Games" / "Racer" / "bin" / "racer.exe"
        # By name the one, by folder (written in other case, with / and a trailing separator)
        # the other.
        rules = ("[AppProfiles]\r\nEnabled=1\r\nFallback=0\r\n"
                 "Rule1=name,2,EDITOR.EXE\r\n"
                 f"Rule2=folder,4,{windows_path(self.game.parents[1]).upper().replace(chr(92), '/')}/\r\n")
        # The game's profile plays a macro.
        config = config_with({1: {}, 2: {"K3": 2}, 4: {"K3": 1, "K4": MACRO_0}}) + "\r\n" + rules
        self.probe = KeyProbe()
        self.addCleanup(self.probe.close)
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)
        self.program = Program({"config.ini": config, "Macro_EN.dat": TYPING_MACRO})
        self.addCleanup(self.program.stop)
        self.program.start(self.simulator)
        self.simulator.wait_for_reports(PROFILE_REPORTS, "the first apply")
        self.simulator.click(DPI_BUTTON)  # the start signal: the driver works from now on

    def start_app(self, path, at):
        app = FrontWindow(path, at)
        self.addCleanup(app.close)
        return app

    def button_3_reports(self):
        return [r[:11] for r in self.simulator.reports() if r.startswith("07 10 03")]

    def wait_for_profile(self, profile, switches):
        """Waits for the `switches`th switch since the log was cleared, to `profile`."""
        wait_for(lambda: len(self.button_3_reports()) >= switches,
                 f"switch {switches}, to profile {profile}")
        wait_for(lambda: len(self.simulator.reports()) >= switches * PROFILE_REPORTS,
                 f"the whole of profile {profile}")
        self.assertEqual(self.button_3_reports()[switches - 1], BUTTON_3[profile])
        self.assertEqual(self.program.config()["Init"]["CurConfig"], str(profile))

    def test_the_application_in_front_brings_its_profile(self):
        self.simulator.command("clear-log")
        editor = self.start_app(self.editor, (700, 50))  # it comes to the front as it opens
        self.wait_for_profile(2, 1)
        game = self.start_app(self.game, (1000, 50))
        self.wait_for_profile(4, 2)
        editor.bring_to_front()
        self.wait_for_profile(2, 3)
        game.bring_to_front()
        self.wait_for_profile(4, 4)
        # The switch came while the user was in the game: no start prompt was raised again, so
        # a press right after it plays the game's macro instead of being the start signal.
        self.simulator.click(MACRO_BUTTON)
        wait_for(lambda: [e[0] for e in self.probe.key_events() if e[1] == VK_A]
                 == ["WM_KEYDOWN", "WM_KEYUP"], "the macro right after the switch")
        # Past the settle time nothing more comes.
        time.sleep(QUIET)
        self.assertEqual(self.button_3_reports(), [BUTTON_3[2], BUTTON_3[4]] * 2)
        self.assertEqual(len(self.simulator.reports()), 4 * PROFILE_REPORTS, "once per switch")
        # A DPI press acts too.
        self.simulator.click(DPI_BUTTON)
        reports = self.simulator.wait_for_reports(4 * PROFILE_REPORTS + 1, "the press to act")
        self.assertEqual(reports[-1][:5], "07 09")
        self.program.check_no_crash()


class PausedHostFunctions(unittest.TestCase):
    """A rule that pauses the host functions: with its application in front a macro button
    injects nothing; once another application is in front the same press plays the macro."""

    START_BUTTON = 6

    def test_a_macro_button_does_nothing_while_the_paused_application_is_in_front(self):
        apps = Path(tempfile.mkdtemp(prefix="v270-apps-"))
        self.addCleanup(shutil.rmtree, apps, ignore_errors=True)
        probe = KeyProbe()
        self.addCleanup(probe.close)
        simulator = Simulator()
        self.addCleanup(simulator.close)
        config = (config_with({1: {"K4": MACRO_0}}) +
                  "\r\n[AppProfiles]\r\nEnabled=1\r\nRule1=name,pause,shooter.exe\r\n")
        program = Program({"config.ini": config, "Macro_EN.dat": TYPING_MACRO})
        self.addCleanup(program.stop)
        program.start(simulator)
        simulator.wait_for_reports(PROFILE_REPORTS, "the first apply")
        simulator.click(self.START_BUTTON)  # the start signal: host functions act from now on
        typed = lambda: [e for e in probe.key_events() if e[1] == VK_A]

        shooter = FrontWindow(apps / "shooter.exe", (700, 50))
        self.addCleanup(shooter.close)
        wait_for(lambda: "visible=1" in (session().helper("notice", check=False) or ""),
                 "the notice of the pause")
        simulator.click(MACRO_BUTTON)
        time.sleep(QUIET)
        self.assertEqual(typed(), [], "nothing injected while paused")

        editor = FrontWindow(apps / "editor.exe", (1000, 50))
        self.addCleanup(editor.close)
        time.sleep(0.5)
        simulator.click(MACRO_BUTTON)
        wait_for(lambda: len(typed()) == 2, "the macro after the pause")
        program.check_no_crash()


class RulesDialog(unittest.TestCase):
    """The rules dialog from the system menu: OK keeps what it shows and saves the switch, Cancel
    keeps the file as it was. Its screenshots are kept in build/windows/e2e-screenshots."""

    RULES = ("[AppProfiles]\r\nEnabled=0\r\nFallback=1\r\nRule1=name,2,editor.exe\r\n"
             "Rule2=folder,4,C:\\Games\\Racer\r\nRule3=path,3,C:\\Tools\\viewer.exe\r\n")

    def open_dialog(self, english):
        language = 1 if english else 0
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)
        self.program = Program({"config.ini": config_with({1: {}}, language) + "\r\n" + self.RULES},
                               english=english)
        self.addCleanup(self.program.stop)
        self.program.start(self.simulator)
        self.simulator.wait_for_reports(PROFILE_REPORTS, "the first apply")
        # The system menu's items end with "Application Profiles..." and the about box.
        self.program.key("alt+space")
        time.sleep(0.5)
        self.program.key("Up", "Up", "Return")
        title = "Application Profiles" if english else "应用程序配置"
        return wait_for(lambda: FrontWindow._find(title), "the rules dialog")

    def screenshot(self, name):
        shots = WINDOWS_BUILD / "e2e-screenshots"
        shots.mkdir(exist_ok=True)
        self.program.screenshot(shots / name)

    def test_ok_saves_the_switch_and_keeps_the_rules(self):
        dialog = self.open_dialog(english=True)
        self.screenshot("app_profiles_en.png")
        section = self.program.config()["AppProfiles"]
        subprocess.run(["xdotool", "key", "--window", dialog, "alt+s", "Return"],
                       env=session().env, check=True)
        wait_for(lambda: self.program.config()["AppProfiles"]["Enabled"] == "1", "the saved switch")
        self.assertEqual(self.program.config()["AppProfiles"], dict(section, Enabled="1"))
        self.program.check_no_crash()

    def test_cancel_keeps_the_file(self):
        dialog = self.open_dialog(english=False)
        self.screenshot("app_profiles_cn.png")
        before = (self.program.folder / "config.ini").read_bytes()
        subprocess.run(["xdotool", "key", "--window", dialog, "alt+s", "Escape"],
                       env=session().env, check=True)
        wait_for(lambda: not FrontWindow._find("应用程序配置"), "the dialog to close")
        self.assertEqual((self.program.folder / "config.ini").read_bytes(), before)
        self.assertTrue(self.program.running())


if __name__ == "__main__":
    unittest.main()
