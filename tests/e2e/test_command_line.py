"""The command line and start with Windows: --profile sent to the running program (by a second
start or by V270Cmd.exe) or given to a first start, --tray, refused command lines, a driver that
runs for another user, and the logon task from the tray menu: refused where others could replace
the program, read back from the Task Scheduler and turned off."""

import subprocess
import sys
import unittest
from pathlib import Path

from harness import HELPER, ROOT, Program, Simulator, session, wait_for

APPLY_REPORTS = 9
MESSAGE_CAPTION = "V270"
# The tray menu: Show Window, Application Profiles..., Start with Windows, On-screen Notice,
# Keep running without the mouse, Export Profile..., Import Profile..., Exit Driver.
TRAY_MENU_ITEMS = 8
SHOW_WINDOW = 0
START_WITH_WINDOWS = 2

PROFILE_KEYS = {"K1": 1, "K2": 2, "K3": 3, "K4": 5, "K5": 4, "K6": 6, "DPI_LEVEL": 0,
                "WHEEL_STATUS": 0, "MACRO_MODE2": 0, "DPI_SET1": 1, "DPI_SET_EN1": 1,
                "DPI_SET2": 2, "DPI_SET_EN2": 1, "DPI_SET3": 4, "DPI_SET_EN3": 1, "DPI_SET4": 0,
                "DPI_SET_EN4": 1, "LED_STATUS": 0, "DPI_SPEED": 4, "WHEEL_SPEED": 2,
                "FIRE_TIME": 50}


def config(language=1):
    """Profile 1 as shipped; profile 4 with other buttons, DPI level and LED mode, so that its
    reports differ from profile 1's."""
    sections = {1: PROFILE_KEYS, 4: dict(PROFILE_KEYS, K1=3, K3=1, DPI_LEVEL=2, LED_STATUS=1)}
    text = f"[Init]\r\nCurConfig=1\r\nVER_SEL={language}\r\n"
    for slot, keys in sections.items():
        text += f"\r\n[Config{slot}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys.items())
    return text


def xdotool(*arguments):
    return subprocess.run(["xdotool", *map(str, arguments)], env=session().env,
                          capture_output=True, text=True)


def screen_click(x, y, button=1):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", button)


def program_windows():
    """The visible top-level windows of the program's class, with their geometry."""
    windows = []
    for window in xdotool("search", "--onlyvisible", "--class", "v270.exe").stdout.split():
        geometry = xdotool("getwindowgeometry", "--shell", window)
        if geometry.returncode == 0:
            values = dict(line.split("=") for line in geometry.stdout.split())
            windows.append({key: int(values[key.upper()]) for key in ("x", "y", "width", "height")})
    return windows


def tray_icon():
    """The centre of the first icon of Wine's system tray, once it is there."""
    def find():
        for window in xdotool("search", "--onlyvisible", "--name", "Wine System Tray").stdout.split():
            values = dict(line.split("=") for line in
                          xdotool("getwindowgeometry", "--shell", window).stdout.split())
            height = int(values["HEIGHT"])
            return int(values["X"]) + height // 2, int(values["Y"]) + height // 2
        return None
    return wait_for(find, "the tray icon")


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)

    def program(self, language=1):
        program = Program({"config.ini": config(language)})
        self.addCleanup(program.stop)
        return program

    def second_start(self, *arguments):
        """Another copy started with `arguments`, ended by itself."""
        second = self.program()
        second.start(self.simulator, wait_window=False, arguments=arguments)
        second.wait_exit()

    def command_front(self, program, *arguments):
        """V270Cmd.exe beside `program`, run to its end; its exit code."""
        return subprocess.run(["wine", str(program.folder / "V270Cmd.exe"), *arguments],
                              env=session().env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=60).returncode

    def refused(self, program, *arguments):
        """Starts `program` with a command line it refuses; returns the message's text once the
        message is dismissed and the program has ended."""
        program.start(self.simulator, wait_window=False, arguments=arguments)
        text = wait_for(lambda: session().helper("message", MESSAGE_CAPTION, check=False),
                        "the refusal")
        session().helper("dismiss", MESSAGE_CAPTION)
        program.wait_exit()
        return text

    def test_profile_4_switches_the_running_program_or_starts_a_new_one(self):
        first = self.program()
        first.start(self.simulator)
        profile_1 = self.simulator.wait_for_reports(APPLY_REPORTS, "the first apply")

        self.second_start("--profile", "4")
        reports = self.simulator.wait_for_reports(2 * APPLY_REPORTS, "the apply of profile 4")
        switched = reports[APPLY_REPORTS:]
        self.assertNotEqual(switched, profile_1)
        self.assertEqual(first.config()["Init"]["CurConfig"], "4")
        self.assertEqual(session().window_state(), {"count": 1, "visible": 1, "iconic": 0})

        # A request leaves the running window as it is; so does --tray. Without options the
        # second start brings it back, as before.
        session().helper("minimize")
        wait_for(lambda: session().window_state()["iconic"] == 1, "the window to minimise")
        self.second_start("--profile=2", "--tray")
        self.simulator.wait_for_reports(3 * APPLY_REPORTS, "the apply of profile 2")
        self.assertEqual(first.config()["Init"]["CurConfig"], "2")
        # The command line without an elevation prompt asks the same.
        self.assertEqual(self.command_front(first, "--profile", "1"), 0)
        self.simulator.wait_for_reports(4 * APPLY_REPORTS, "the apply of profile 1")
        self.assertEqual(first.config()["Init"]["CurConfig"], "1")
        self.second_start("--tray")
        self.assertEqual(session().window_state(), {"count": 1, "visible": 1, "iconic": 1})
        self.second_start()
        wait_for(lambda: session().window_state() == {"count": 1, "visible": 1, "iconic": 0},
                 "the window to come back")
        first.stop()

        # A first start with --profile 4 sends what the switch sent.
        simulator = Simulator()
        self.addCleanup(simulator.close)
        fresh = self.program()
        fresh.start(simulator, arguments=["--profile", "4"])
        self.assertEqual(simulator.wait_for_reports(APPLY_REPORTS, "the first apply"), switched)
        self.assertEqual(fresh.config()["Init"]["CurConfig"], "4")

    def test_a_refused_command_line_is_told_and_nothing_else_happens(self):
        alone = self.refused(self.program(language=0), "--verbose")
        self.assertIn("未知的选项：“--verbose”。\n未执行任何操作。", alone)
        self.assertIn("--profile N", alone)
        self.assertEqual(self.simulator.reports(), [], "nothing started")
        self.assertEqual(session().window_state()["count"], 0)

        first = self.program()
        first.start(self.simulator)
        before = self.simulator.wait_for_reports(APPLY_REPORTS, "the first apply")
        for arguments, problem in [
                (["--profile", "9"], '"9" is not a profile number from 1 to 5.\nNothing was done.'),
                (["--profile", "3", "--help"], '"--help" cannot be combined with other options.')]:
            text = self.refused(self.program(), *arguments)
            self.assertIn(problem, text)
            self.assertIn("--tray\tstarts hidden in the tray", text.replace("    ", "\t"))
        # Requests from any other process: only an exact one is taken.
        tag = "5632373052455155"
        for foreign_tag, data in [(tag, "-"), (tag, "5632375001"), (tag, "56323750010309"),
                                  ("1", "563237500103"), (tag, "563237500106"),
                                  (tag, "563237500203"), (tag, "583237500103")]:
            self.assertEqual(session().helper("copy-data", foreign_tag, data), "0", data)
        self.assertEqual(self.simulator.reports(), before, "no profile switched")
        self.assertEqual(first.config()["Init"]["CurConfig"], "1")
        self.assertEqual(session().window_state(), {"count": 1, "visible": 1, "iconic": 0})


    def test_a_driver_that_runs_for_another_user_is_told_and_left_alone(self):
        # A helper holds the machine-wide name as a driver in another user's session would.
        holder = subprocess.Popen(["wine", str(HELPER), "hold-machine-name", "60"],
                                  env=session().env, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(holder.wait)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), "held")
        for language, text in [(1, "The V270 driver already runs for another user"),
                               (0, "V270 驱动已在这台电脑上为另一位用户运行。")]:
            program = self.program(language)
            program.start(self.simulator, wait_window=False)
            message = wait_for(lambda: session().helper("message", MESSAGE_CAPTION, check=False),
                               "the message")
            session().helper("dismiss", MESSAGE_CAPTION)
            self.assertIn(text, message)
            self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(self.simulator.reports(), [], "the mouse was left alone")
        self.assertEqual(session().window_state()["count"], 0)


class StartWithWindows(unittest.TestCase):
    """A start into the tray, and its tray menu's "Start with Windows"."""

    english = True
    screenshot = "tray_menu_start_with_windows_en.png"

    def setUp(self):
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)
        self.program = Program({"config.ini": config(1 if self.english else 0)})
        self.addCleanup(self.program.stop)
        self.addCleanup(session().helper, "logon-task-remove")
        session().helper("logon-task-remove")

    def logon_task(self):
        lines = session().helper("logon-task").split("\n")
        return dict(line.split("=", 1) for line in lines)

    def choose(self, icon, item):
        """Opens the tray menu and picks its item `item` (SHOW_WINDOW, START_WITH_WINDOWS)."""
        screen_click(*icon, button=3)
        menu = wait_for(lambda: next((w for w in program_windows()
                                      if (w["x"], w["y"]) == icon), None), "the tray menu")
        # Items of 20 pixels inside the menu's frame.
        frame = (menu["height"] - 20 * TRAY_MENU_ITEMS) // 2
        screen_click(menu["x"] + menu["width"] // 2, menu["y"] + frame + 20 * item + 10)

    def test_the_logon_task_is_refused_here_read_back_and_turned_off(self):
        self.program.start(self.simulator, wait_window=False, arguments=["--tray"])
        self.simulator.wait_for_reports(APPLY_REPORTS, "the first apply")
        icon = tray_icon()
        self.assertEqual(session().window_state(), {"count": 1, "visible": 0, "iconic": 0},
                         "started hidden in the tray")
        self.assertEqual(self.logon_task(), {"registered": "0"})

        # Wine keeps no access list: every folder there is the signed-in user's, who could put
        # another program in this one's place. The item says so and registers nothing.
        self.choose(icon, START_WITH_WINDOWS)
        refusal = wait_for(lambda: session().helper("message", MESSAGE_CAPTION, check=False),
                           "the refusal")
        self.save_screen(self.screenshot.replace("tray_menu", "refused"))
        session().helper("dismiss", MESSAGE_CAPTION)
        program_path = "Z:" + str(self.program.folder / "V270.exe").replace("/", "\\")
        self.assertIn(program_path, refusal)
        self.assertIn("can be changed by" if self.english else "可以修改", refusal)
        self.assertEqual(self.logon_task(), {"registered": "0"})

        # Registered where the folder is protected (the installer's): the item shows it, and
        # turns it off.
        session().helper("logon-task-add", program_path)
        task = wait_for(lambda: (t := self.logon_task())["registered"] == "1" and t,
                        "the logon task")
        # What the Task Scheduler gives back. Wine 8.0 keeps the task but none of its trigger,
        # principal or action; each field is checked where the scheduler keeps it.
        expected = {"trigger": "logon", "runlevel": "highest", "arguments": "--tray",
                    "priority": "4"}
        kept = {key: value for key, value in task.items() if value not in ("", "none", "other")}
        for key in ("trigger", "runlevel", "arguments", "priority"):
            if key in kept:
                self.assertEqual(kept[key], expected[key], key)
        if "command" in kept:
            self.assertTrue(kept["command"].endswith("V270.exe"), kept["command"])
        print(f"\n    logon task read back: {task}", file=sys.stderr)

        # The item shows the task's state with a check mark.
        screen_click(*icon, button=3)
        menu = wait_for(lambda: next((w for w in program_windows()
                                      if (w["x"], w["y"]) == icon), None), "the tray menu")
        self.save_menu(menu)
        self.assertGreater(self.tick_pixels(menu, START_WITH_WINDOWS), 10, "a check mark on the item")
        self.assertEqual(self.tick_pixels(menu, SHOW_WINDOW), 0, "none on Show Window")
        xdotool("key", "Escape")
        wait_for(lambda: not program_windows(), "the tray menu to close")

        self.choose(icon, START_WITH_WINDOWS)
        wait_for(lambda: self.logon_task() == {"registered": "0"}, "the task to go")
        self.assertTrue(self.program.running())
        self.assertEqual(session().window_state()["visible"], 0)

        # The start into the tray is the tray's usual state: "Show Window" brings the window.
        self.choose(icon, SHOW_WINDOW)
        wait_for(lambda: session().window_state() == {"count": 1, "visible": 1, "iconic": 0},
                 "the window to show")

    def tick_pixels(self, menu, item):
        """The white pixels in the left margin of item `item` of the open menu."""
        frame = (menu["height"] - 20 * TRAY_MENU_ITEMS) // 2
        left, top, width, height = menu["x"] + frame, menu["y"] + frame + 20 * item, 10, 20
        done = subprocess.run(["import", "-window", "root", "-crop",
                               f"{width}x{height}+{left}+{top}", "-depth", "8", "rgb:-"],
                              env=session().env, capture_output=True, check=True)
        data = done.stdout
        return sum(1 for i in range(0, len(data), 3) if data[i:i + 3] == b"\xff\xff\xff")

    def save_screen(self, name):
        target = Path(ROOT) / "build" / "screenshots"
        target.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", str(target / name)], env=session().env,
                       check=True)

    def save_menu(self, menu):
        """The open menu, with a margin of the desktop, as a screenshot for the documentation."""
        target = Path(ROOT) / "build" / "screenshots"
        target.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{menu['width'] + 40}x{menu['height'] + 40}+{menu['x'] - 20}+{menu['y'] - 20}",
                        str(target / self.screenshot)], env=session().env, check=True)


class ChineseStartWithWindows(StartWithWindows):
    english = False
    screenshot = "tray_menu_start_with_windows_cn.png"


if __name__ == "__main__":
    unittest.main()
