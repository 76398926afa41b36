"""Screenshots of the program at 96, 144 and 192 DPI (a prefix each, its LogPixels), in English
and Chinese: the three pages, a function menu with its sub-menu, the step list's menu and the
rules dialog.

    python3 tests/e2e/scale_screenshots.py docs/screenshots/scale [DPI...]

Each picture is cropped to the program's windows. Those at 96 DPI are lossless PNGs; the larger
ones are JPEGs, a third of a PNG's size for the skin's photographic pictures."""

import subprocess
import sys
import time
from pathlib import Path

from harness import (ROOT, Program, Simulator, advanced_layout, centre, main_layout, scaled,
                     scaled_session, wait_for)

MAIN_TAB, ADVANCED_TAB, COLOUR_TAB = 9, 10, 11
BUTTON_2 = 26
MENU_ROW, GROUP_ROW = 26, 7  # the function menu's rows at 96 DPI, and the first group's row
SETTLE = 0.6  # the window repaints after a click; the banner blinks every half second


def xdotool(session, *arguments):
    return subprocess.run(["xdotool", *map(str, arguments)], env=session.env,
                          capture_output=True, text=True)


def program_windows(session):
    boxes = []
    for window in xdotool(session, "search", "--onlyvisible", "--class", "v270.exe").stdout.split():
        done = xdotool(session, "getwindowgeometry", "--shell", window)
        if done.returncode == 0:
            v = dict(line.split("=") for line in done.stdout.split())
            if int(v["WIDTH"]) > 1 and int(v["HEIGHT"]) > 1:
                boxes.append((int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])))
    return boxes


def pixels(session, box):
    x, y, width, height = box
    return subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                           "-depth", "8", "-resize", "10%", "gray:-"], env=session.env,
                          capture_output=True, check=True).stdout


def settled(session):
    """Waits until the program's windows are painted and stay the same (the banner's blinking
    aside) for a moment."""
    def same_twice():
        boxes = program_windows(session)
        if not boxes:
            return False
        first = [pixels(session, box) for box in boxes]
        time.sleep(SETTLE)
        second = [pixels(session, box) for box in boxes]
        painted = all(sum(shot) > len(shot) * 8 for shot in second)
        return painted and sum(a != b for x, y in zip(first, second) for a, b in zip(x, y)) < 40
    wait_for(same_twice, "the windows to settle")


def save(session, name, dpi):
    settled(session)
    path = name.with_suffix(".png" if dpi == 96 else ".jpg")
    boxes = program_windows(session)
    left, top = min(b[0] for b in boxes), min(b[1] for b in boxes)
    right, bottom = max(b[0] + b[2] for b in boxes), max(b[1] + b[3] for b in boxes)
    shot = path.with_name(path.stem + ".full.png")
    subprocess.run(["import", "-window", "root", str(shot)], env=session.env, check=True)
    quality = [] if dpi == 96 else ["-quality", "85"]
    subprocess.run(["convert", str(shot), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", "-strip", *quality, str(path)], check=True)
    shot.unlink()


def shoot(folder, dpi, english):
    session = scaled_session(dpi)
    language = "en" if english else "cn"
    config = (ROOT / "data" / "config.ini").read_text(encoding="ascii")
    files = None if english else {"config.ini": config.replace("VER_SEL=1", "VER_SEL=0")}
    simulator = Simulator()
    program = Program(files, english=english, where=session)
    try:
        program.start(simulator)
        simulator.wait_for_reports(9, "the first apply")
        layout = main_layout(english)

        def click(entry, button=1):
            program.click(*centre(scaled(entry, dpi)), button=button)

        save(session, folder / f"main_{dpi}_{language}", dpi)
        click(layout[ADVANCED_TAB])
        save(session, folder / f"advanced_{dpi}_{language}", dpi)
        steps = advanced_layout(english, "MACRODISPLAY")[2]
        x, y, _, _ = scaled(steps, dpi)
        program.click(x + scaled((0, 0, 40, 0), dpi)[2], y + scaled((0, 0, 0, 8), dpi)[3], button=3)
        save(session, folder / f"step_menu_{dpi}_{language}", dpi)
        # A click while the menu is open would only close it.
        xdotool(session, "key", "Escape")
        wait_for(lambda: len(program_windows(session)) == 1, "the step menu to close")
        click(layout[COLOUR_TAB])
        save(session, folder / f"colour_{dpi}_{language}", dpi)
        click(layout[MAIN_TAB])
        click(layout[BUTTON_2])
        menu = wait_for(lambda: next((b for b in program_windows(session)
                                      if b[1] > program.geometry()[1] + 10 and b[3] > 100), None),
                        "the function menu")
        row = scaled((0, 0, 0, MENU_ROW), dpi)[3]
        xdotool(session, "mousemove", "--sync", menu[0] + row * 3,
                menu[1] + row * (GROUP_ROW - 1) + row // 2)
        save(session, folder / f"function_menu_{dpi}_{language}", dpi)
        xdotool(session, "key", "Escape")
        wait_for(lambda: len(program_windows(session)) == 1, "the function menu to close")
        # The system menu's items end with the rules dialog's and the about box.
        program.key("alt+space")
        time.sleep(0.5)
        program.key("Up", "Up", "Return")
        wait_for(lambda: len(program_windows(session)) == 2, "the rules dialog")
        save(session, folder / f"rules_{dpi}_{language}", dpi)
    finally:
        program.stop()
        simulator.close()


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "docs" / "screenshots" / "scale")
    folder.mkdir(parents=True, exist_ok=True)
    for dpi in map(int, sys.argv[2:]) if len(sys.argv) > 2 else (96, 144, 192):
        for english in (True, False):
            shoot(folder, dpi, english)
            print(f"{dpi} DPI, {'English' if english else 'Chinese'}: done", flush=True)


if __name__ == "__main__":
    main()
