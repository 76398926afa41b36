"""Runs the end-to-end suite in parallel workers.

Each worker is a process with a session of its own (an Xvfb display, a Wine prefix, its
simulators on ports of their own, its program folders), made once and used for every test class
it runs. The workers take test classes from one queue, the longest first by the times of the
last run, so that they end together. A class's output is printed whole when it ends.

    run_e2e.py [-j WORKERS] [-k PATTERN ...] [NAME ...]

NAME is a module, class or test (test_main_page.Tabs); -k keeps the tests whose name holds
PATTERN, as unittest's -k does.
"""

import argparse
import contextlib
import io
import json
import multiprocessing
import os
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import harness  # noqa: E402

TIMES = harness.WINDOWS_BUILD / "e2e-times.json"


def load(names, patterns):
    loader = unittest.TestLoader()
    if patterns:
        loader.testNamePatterns = [f"*{pattern}*" for pattern in patterns]
    if names:
        return loader, loader.loadTestsFromNames(names)
    return loader, loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))


def test_classes(suite):
    """The ids of the test classes in `suite`, in their order, with the tests of each."""
    classes = {}
    stack = [suite]
    while stack:
        item = stack.pop(0)
        if isinstance(item, unittest.TestSuite):
            stack[0:0] = list(item)
        elif isinstance(item, unittest.loader._FailedTest):
            classes.setdefault(item.id(), []).append(item)
        else:
            name = f"{type(item).__module__}.{type(item).__qualname__}"
            classes.setdefault(name, []).append(item)
    return classes


def worker(number, jobs, results, classes):
    """Runs the classes named in `jobs` until it takes None; one result per class."""
    os.environ["V270_E2E_WORKER"] = str(number)
    try:
        while (name := jobs.get()) is not None:
            output = io.StringIO()
            started = time.monotonic()
            # What a test prints (its figures) stays with the class's output.
            with contextlib.redirect_stdout(output), contextlib.redirect_stderr(output):
                outcome = unittest.TextTestRunner(stream=output, verbosity=2).run(
                    unittest.TestSuite(classes[name]))
            results.put({
                "name": name, "output": output.getvalue(),
                "seconds": time.monotonic() - started, "run": outcome.testsRun,
                "failed": len(outcome.failures) + len(outcome.errors)
                + len(outcome.unexpectedSuccesses),
                "skipped": len(outcome.skipped),
            })
    finally:
        harness.close_session()
        results.put(None)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-j", "--jobs", type=int, default=2, help="workers (default 2)")
    parser.add_argument("-k", dest="patterns", action="append", default=[])
    parser.add_argument("names", nargs="*")
    arguments = parser.parse_args()

    _, suite = load(arguments.names, arguments.patterns)
    classes = test_classes(suite)
    last = json.loads(TIMES.read_text()) if TIMES.exists() else {}
    # Unknown classes first: a new class may be the longest.
    order = sorted(classes, key=lambda name: -last.get(name, float("inf")))
    workers = max(1, min(arguments.jobs, len(order)))

    # Forked workers inherit the loaded tests; each makes its own session.
    context = multiprocessing.get_context("fork")
    jobs, results = context.Queue(), context.Queue()
    for name in order + [None] * workers:
        jobs.put(name)
    processes = [context.Process(target=worker, args=(number, jobs, results, classes))
                 for number in range(workers)]
    started = time.monotonic()
    for process in processes:
        process.start()

    times, totals, running = dict(last), {"run": 0, "failed": 0, "skipped": 0}, workers
    while running:
        result = results.get()
        if result is None:
            running -= 1
            continue
        print(result["output"], end="", flush=True)
        times[result["name"]] = round(result["seconds"], 1)
        for key in totals:
            totals[key] += result[key]
    for process in processes:
        process.join()
    TIMES.write_text(json.dumps(times, indent=1, sort_keys=True) + "\n")

    missing = sum(len(tests) for tests in classes.values()) - totals["run"]
    print(f"\nRan {totals['run']} tests in {time.monotonic() - started:.0f} s on {workers} "
          f"workers: {totals['failed']} failed, {totals['skipped']} skipped")
    if missing or any(process.exitcode for process in processes):
        print(f"A worker ended early: {missing} tests did not run")
        return 1
    return 1 if totals["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
