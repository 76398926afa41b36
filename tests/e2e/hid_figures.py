"""Figures of the mouse's road through the system's own HID stack, measured on the shipped
V270.exe against the virtual mouse (scripts/hid-figures.sh runs it):

  press     a press on the virtual mouse (the input report handed to the driver) to the first
            synthetic key event a low-level hook sees (v270-keyprobe), over --presses presses;
  apply     a click on the apply control (the button-down a low-level hook sees) to the last of
            the apply's nine feature reports taken from the driver, over --applies applies;
  unplug    the simulator's unplug to the removal of the virtual mouse's devices (the driver's
            counters), to the end of the program's window (xdotool no longer finds it) and to
            the end of its process, over --unplugs unplugs.

Each prints the count, p50, p99 and the largest value, in milliseconds. The times come from one
clock: the bridge's and the key probe's are Wine's performance counter, which is the host's
CLOCK_MONOTONIC_RAW, and this script reads that clock too.
"""

import argparse
import statistics
import sys
import time

from harness import (KeyProbe, Program, Simulator, centre, close_session, main_layout, session,
                     wait_for)
from test_main_page import APPLY, config_with
from test_startup import SHIPPED_PROFILE_REPORTS
from virtual_mouse import microseconds_now

SHORTCUT_BUTTON = 2  # given Ctrl+C below
APPLY_REPORTS = len(SHIPPED_PROFILE_REPORTS)


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def report(name, milliseconds):
    print(f"{name:32} n={len(milliseconds):5}  p50 {percentile(milliseconds, 0.5):8.2f} ms  "
          f"p99 {percentile(milliseconds, 0.99):8.2f} ms  max {max(milliseconds):8.2f} ms  "
          f"mean {statistics.fmean(milliseconds):8.2f} ms", flush=True)


def probe_times(probe, kind, message=None):
    """The times (microseconds) of the probe's events of `kind` ("key" or "mouse")."""
    times = []
    for line in probe.lines():
        parts = line.split()
        if parts and parts[0] == kind and (message is None or parts[1] == message):
            fields = dict(part.split("=") for part in parts[2:])
            times.append(int(fields["us"]))
    return times


def running_program(simulator, files=None):
    program = Program(files)
    program.start(simulator)
    simulator.wait_for_reports(APPLY_REPORTS, "the first apply")
    return program


def measure_presses(count):
    simulator = Simulator()
    probe = KeyProbe(seconds=3600)
    program = running_program(simulator, {"config.ini": config_with({1: {"K2": 31}})})
    bridge = session().bridge
    try:
        simulator.click(SHORTCUT_BUTTON)  # the start signal
        latencies = []
        while len(latencies) < count:
            bridge.log()
            seen = len(probe_times(probe, "key"))
            simulator.command(f"press {SHORTCUT_BUTTON}")
            keys = wait_for(lambda: (t := probe_times(probe, "key")) and len(t) >= seen + 4 and t,
                            "the chord", interval=0.002)
            simulator.command(f"release {SHORTCUT_BUTTON}")
            pushed = [t for t, report in bridge.log()["input"] if report.startswith("06 F2")]
            if len(pushed) == 1 and len(keys) == seen + 4:
                latencies.append((keys[seen] - pushed[0]) / 1000)
        report("press to the first key event", latencies)
    finally:
        program.stop()
        probe.close()
        simulator.close()


def measure_applies(count):
    simulator = Simulator()
    probe = KeyProbe(seconds=3600, mouse=True)
    program = running_program(simulator)
    bridge = session().bridge
    x, y = centre(main_layout()[APPLY])
    try:
        latencies = []
        for _ in range(count):
            bridge.log()
            downs = len(probe_times(probe, "mouse", "WM_LBUTTONDOWN"))
            program.click(x, y)
            taken = []
            wait_for(lambda: taken.extend(t for t, _, _ in bridge.log()["feature"])
                     or len(taken) >= APPLY_REPORTS, "the apply's reports")
            down = wait_for(lambda: (t := probe_times(probe, "mouse", "WM_LBUTTONDOWN"))
                            and len(t) > downs and t[downs], "the click")
            latencies.append((taken[APPLY_REPORTS - 1] - down) / 1000)
        report("apply from click to last report", latencies)
    finally:
        program.stop()
        probe.close()
        simulator.close()


def measure_unplugs(count):
    removed, closed, ended = [], [], []
    for _ in range(count):
        simulator = Simulator()
        program = running_program(simulator)
        try:
            start = microseconds_now()
            simulator.command("unplug")
            marks = {}
            while program.running():
                if "removed" not in marks and session().bridge.counters()["devicesPresent"] == 0:
                    marks["removed"] = microseconds_now()
                if "closed" not in marks and not program.window_shown():
                    marks["closed"] = microseconds_now()
                time.sleep(0.001)
            end = microseconds_now()
            removed.append((marks.get("removed", end) - start) / 1000)
            closed.append((marks.get("closed", end) - start) / 1000)
            ended.append((end - start) / 1000)
        finally:
            program.stop()
            simulator.close()
    report("unplug to the devices' removal", removed)
    report("unplug to the window's end", closed)
    report("unplug to the process's end", ended)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--presses", type=int, default=1000)
    parser.add_argument("--applies", type=int, default=50)
    parser.add_argument("--unplugs", type=int, default=10)
    arguments = parser.parse_args()
    if arguments.presses:
        measure_presses(arguments.presses)
    if arguments.applies:
        measure_applies(arguments.applies)
    if arguments.unplugs:
        measure_unplugs(arguments.unplugs)
    close_session()
    return 0


if __name__ == "__main__":
    sys.exit(main())
