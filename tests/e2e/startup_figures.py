"""The time from start to the main window's first frame, as the shipped V270.exe reports it on
the debugger output, at 96 DPI and at 200 % (scripts/startup-figures.sh runs it).

Each scale gets --starts starts of a fresh program against the simulated mouse; the first warms
Wine's caches and is left out, and the median of the rest is printed: from the moment the
program's own code began, and from the process's creation.
"""

import argparse
import re
import statistics

from harness import Program, Simulator, close_session, scaled_session, session, wait_for
from test_startup import SHIPPED_PROFILE_REPORTS

FIRST_FRAME = re.compile(r"V270 first frame: ([\d.]+) ms after the program's code started, "
                         r"([\d.]+) ms after the process was created")


def first_frame(where):
    """One start: the two times of its first frame's report, in milliseconds."""
    simulator = Simulator()
    program = Program(where=where)
    try:
        program.start(simulator, debug_output=True)
        line = wait_for(lambda: next((l for l in program.debug_lines() if FIRST_FRAME.match(l)),
                                     None), "the first frame's report")
        # The start ends with its apply; the next start finds a program that has settled.
        simulator.wait_for_reports(len(SHIPPED_PROFILE_REPORTS), "the first apply")
        return tuple(float(value) for value in FIRST_FRAME.match(line).groups())
    finally:
        program.stop()
        simulator.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--starts", type=int, default=7)
    parser.add_argument("--dpi", type=int, nargs="+", default=[96, 192])
    options = parser.parse_args()
    try:
        for dpi in options.dpi:
            where = session() if dpi == 96 else scaled_session(dpi)
            times = [first_frame(where) for _ in range(options.starts)][1:]
            code = statistics.median(t[0] for t in times)
            process = statistics.median(t[1] for t in times)
            print(f"{dpi:4} DPI  first frame, median of {len(times)}: {code:7.1f} ms after the "
                  f"program's code started, {process:7.1f} ms after the process was created  "
                  f"(code: {', '.join(f'{t[0]:.0f}' for t in times)})", flush=True)
    finally:
        close_session()


if __name__ == "__main__":
    main()
