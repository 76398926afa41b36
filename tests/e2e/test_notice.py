"""The on-screen notice: a DPI press of the mouse shows it near the tray, over the window in
front, which keeps the focus; then it fades away. Its screenshots are kept in
build/windows/e2e-screenshots."""

import subprocess
import unittest

from harness import (HELPER, WINDOWS_BUILD, Program, Simulator, report_command, session,
                     wait_for)

SHOTS = WINDOWS_BUILD / "e2e-screenshots"
NOTICE_TITLE = "V270 Notice"
FRONT_TITLE = "V270 E2E Front"
FIRST_APPLY_REPORTS = 9
DPI_LED_REPORT = 0x09

# WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_TOOLWINDOW, WS_EX_LAYERED, WS_EX_NOACTIVATE.
NOTICE_STYLE = 0x8 | 0x20 | 0x80 | 0x80000 | 0x8000000


def notice_state():
    line = session().helper("notice", check=False)
    if line is None:
        return None
    fields = dict(item.split("=") for item in line.split())
    return {"visible": fields["visible"] == "1", "exstyle": int(fields["exstyle"], 16),
            "rect": [int(fields[name]) for name in ("left", "top", "right", "bottom")],
            "work": [int(value) for value in fields["work"].split(",")]}


def x_focus():
    done = subprocess.run(["xdotool", "getwindowfocus"], env=session().env, capture_output=True,
                          text=True)
    return done.stdout.strip()


def visible_notice():
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{NOTICE_TITLE}$"],
                          env=session().env, capture_output=True, text=True)
    return done.stdout.split()


class Notice(unittest.TestCase):
    def show_notice(self, english, shot):
        simulator = Simulator()
        self.addCleanup(simulator.close)
        config = None
        if not english:
            shipped = (WINDOWS_BUILD / "program" / "config.ini").read_text(encoding="ascii")
            config = {"config.ini": shipped.replace("VER_SEL=1", "VER_SEL=0")}
        program = Program(config, english=english)
        self.addCleanup(program.stop)
        program.start(simulator)
        simulator.wait_for_reports(FIRST_APPLY_REPORTS, "the first apply")
        simulator.click(6)  # the start signal
        self.assertFalse(notice_state()["visible"], "hidden until a button changes something")

        # A game in front, with the focus.
        front = subprocess.Popen(["wine", str(HELPER), "front", "120"], env=session().env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(front.wait)
        self.addCleanup(front.kill)
        wait_for(lambda: session().helper("foreground") == FRONT_TITLE, "the window in front")
        focus = x_focus()

        simulator.command("clear-log")
        simulator.click(6)  # the next DPI level
        wait_for(lambda: DPI_LED_REPORT in [report_command(r) for r in simulator.reports()],
                 "the DPI report")
        wait_for(visible_notice, "the notice", interval=0.02)
        SHOTS.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", "-crop", "640x360+640+440",
                        str(SHOTS / shot)], env=session().env, check=True)

        state = notice_state()
        self.assertEqual(state["exstyle"] & NOTICE_STYLE, NOTICE_STYLE)
        left, top, right, bottom = state["rect"]
        work_left, work_top, work_right, work_bottom = state["work"]
        self.assertTrue(work_right - 60 < right <= work_right, state)
        self.assertTrue(work_bottom - 60 < bottom <= work_bottom, state)
        self.assertTrue(work_left <= left < right and work_top <= top < bottom, state)
        self.assertEqual(session().helper("foreground"), FRONT_TITLE)
        self.assertEqual(x_focus(), focus)

        # It fades out and hides; the window in front still has the focus.
        wait_for(lambda: not notice_state()["visible"], "the notice to go", timeout=10)
        self.assertEqual(session().helper("foreground"), FRONT_TITLE)

    def test_english(self):
        self.show_notice(True, "notice_en.png")

    def test_chinese(self):
        self.show_notice(False, "notice_cn.png")


if __name__ == "__main__":
    unittest.main()
