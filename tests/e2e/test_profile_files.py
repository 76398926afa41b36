"""Profile files and the command front for scripts: profile 2 exported and imported into profile
4 through the window's menus, the mouse then getting profile 4's reports equal to profile 2's,
and --status, --export-profile and --import-profile of V270Cmd.exe answered by the running
driver. The screenshots (the import's question, the menus) are kept in
build/windows/e2e-screenshots."""

import json
import subprocess
import time
import unittest

from harness import WINDOWS_BUILD, macro_file, macro_record, read_ini, session, wait_for
from test_main_page import MainPage, config_with

APPLY_REPORTS = 9
CAPTION = "V270"
FIRE = macro_record("Fire", [(ord("F"), 1, 30), (ord("F"), 2, 30)])
# Profile 2 plays "Fire" on button 2 and has its own DPI level and LED mode; profile 4 differs.
PROFILES = {1: {}, 2: {"K2": 41, "DPI_LEVEL": 1, "LED_STATUS": 2}, 4: {"K3": 1, "K1": 3}}


class ProfileFiles(MainPage):
    files = {"config.ini": config_with(PROFILES).replace("CurConfig=1", "CurConfig=2"),
             "Macro_EN.dat": macro_file(FIRE)}

    def front(self, *arguments):
        """V270Cmd.exe run to its end: (exit code, standard output, standard error)."""
        done = subprocess.run(["wine", str(self.program.folder / "V270Cmd.exe"), *arguments],
                              env=session().env, capture_output=True, timeout=60)
        return (done.returncode, done.stdout.decode("utf-8").strip(),
                done.stderr.decode("utf-8", errors="replace"))

    def system_menu(self, ups, screenshot=None):
        """Chooses the system menu's item `ups` rows above its last (the about box)."""
        self.program.key("alt+space")
        time.sleep(0.5)
        if screenshot:
            self.screenshot(screenshot)
        self.program.key(*["Up"] * ups, "Return")

    def screenshot(self, name):
        shots = WINDOWS_BUILD / "e2e-screenshots"
        shots.mkdir(exist_ok=True)
        self.program.screenshot(shots / name)

    def test_profile_2_goes_into_profile_4_through_the_menus_and_the_command_front(self):
        suffix = "en" if self.english else "cn"
        held = self.simulator.dump()
        code, out, _ = self.front("--status")
        self.assertEqual(code, 0)
        status = json.loads(out)
        self.assertEqual(status, dict(status, mouseConnected=True, profile=2,
                                      dpiLevel=held["dpiLevel"] + 1, ledMode=held["ledMode"]))

        # Export profile 2 from the system menu; switch to profile 4 and import it there.
        self.system_menu(4, f"profile_menu_{suffix}.png")
        self.file_dialog("Save As", "shared")
        exported = self.program.folder / "shared.v270profile"
        wait_for(exported.exists, "the exported file")
        self.assertEqual(self.front("--profile", "4")[0], 0)
        self.simulator.wait_for_reports(APPLY_REPORTS, "the apply of profile 4")
        self.simulator.command("clear-log")
        self.system_menu(3)
        self.file_dialog("Open", "shared.v270profile")
        question = wait_for(lambda: session().helper("message", CAPTION, check=False),
                            "the import's question")
        self.assertIn("profile 4" if self.english else "配置 4", question)
        self.screenshot(f"profile_import_{suffix}.png")
        session().helper("yes", CAPTION)
        profile_4 = self.simulator.wait_for_reports(APPLY_REPORTS, "the apply of the import")
        config = self.program.config()
        self.assertEqual(config["Config4"], config["Config2"])
        self.simulator.command("clear-log")
        self.assertEqual(self.front("--profile", "2")[0], 0)
        self.assertEqual(self.simulator.wait_for_reports(APPLY_REPORTS, "profile 2 again"),
                         profile_4, "profile 4 sends what profile 2 sends")

        # The command front: export profile 4 to a file of its own, import refused without
        # --force, a damaged file refused, nothing changed.
        again = self.program.folder / "again.v270profile"
        self.assertEqual(self.front("--export-profile", "4", str(again))[0], 0)
        self.assertEqual(again.read_bytes(), exported.read_bytes())
        before = (self.program.folder / "config.ini").read_bytes()
        self.assertEqual(self.front("--import-profile", str(again), "1")[0], 6)
        again.write_bytes(again.read_bytes()[:200])
        code, _, error = self.front("--import-profile", str(again), "1", "--force")
        self.assertEqual(code, 6)
        self.assertIn("damaged" if self.english else "损坏", error)
        self.assertEqual((self.program.folder / "config.ini").read_bytes(), before)
        self.assertEqual(read_ini(self.program.folder / "config.ini")["Init"]["CurConfig"], "2")
        self.program.check_no_crash()


class ChineseProfileFiles(ProfileFiles):
    english = False
    files = {"config.ini": config_with(PROFILES, 0).replace("CurConfig=1", "CurConfig=2"),
             "Macro_CN.dat": macro_file(FIRE)}


if __name__ == "__main__":
    unittest.main()
