"""Kills v270-savecrash with SIGKILL at random moments of its save loop and checks the files.

Run by scripts/crash-safety.sh. Each run starts the tool on a folder that holds what the run
before left, waits for its "ready", lets it save config.ini and Macro_EN.dat for a random time
and kills it. The native tool then loads the folder as the program does and compares it with the
two known contents: the file being saved at the kill must hold either the content it had (old)
or the one being written (new), the other file the content last saved, and nothing else may lie
in the folder but temporary files of the replace, which loading never reads. At the end those
are made older than ten minutes, after which the next save of their file must remove them.

Natively the tool runs the POSIX replace (write, fsync, rename); under Wine the Windows one
(CreateFileW, FlushFileBuffers, MoveFileExW). The Windows process of a Wine program is the Unix
process that `wine` becomes, so SIGKILL to that pid ends the Windows program at once.
"""

import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
NATIVE_TOOL = ROOT / "build" / "native" / "tools" / "savecrash" / "v270-savecrash"
WINDOWS_TOOL = ROOT / "build" / "windows" / "tools" / "savecrash" / "v270-savecrash.exe"
WORK = ROOT / "build" / "crash-safety"
SEED = ROOT / "data"
TEMPORARY = re.compile(r"^\.(config\.ini|Macro_EN\.dat)\.tmp-\d+-\d+$")
FILES = {"config": "config.ini", "macro": "Macro_EN.dat"}

# The kill comes within this many seconds of "ready": a few dozen saves at most.
MAX_DELAY = 0.3


class Half:
    """One series of runs: native or under Wine, in a folder of its own."""

    def __init__(self, name, command, env=None):
        self.name = name
        self.command = command
        self.env = env
        self.folder = WORK / name
        self.run_folder = self.folder / "run"
        self.reference = self.folder / "reference"
        self.counts = dict(runs=0, mid_save=0, between=0, old=0, new=0, corrupt=0, unexpected=0)
        # The temporary files the kills left, each "empty", "part" or "whole": where in the
        # replace the kill came.
        self.temporaries = {}
        self.state = {"config": "a", "macro": "a"}

    def prepare(self):
        subprocess.run(["rm", "-rf", str(self.folder)], check=True)
        self.folder.mkdir(parents=True)
        # The reference comes from the build under test: its bytes are what it writes.
        subprocess.run(self.command + ["reference", str(os.path.relpath(SEED, self.folder)),
                                       "reference"],
                       cwd=self.folder, env=self.env, check=True, stdin=subprocess.DEVNULL)
        self.run_folder.mkdir()
        for name in FILES.values():
            (self.run_folder / name).write_bytes((self.reference / "a" / name).read_bytes())

    def run_once(self):
        self.count(self.kill_loop(lambda log: time.sleep(random.uniform(0, MAX_DELAY))))

    def kill_loop(self, wait):
        """Starts the save loop, calls `wait` with its log once it is ready, kills it; returns
        the lines it wrote."""
        log = self.folder / "loop.log"
        with open(log, "wb") as out, open(self.folder / "loop.err", "wb") as err:
            loop = subprocess.Popen(self.command + ["loop", "run"], cwd=self.folder, env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        deadline = time.monotonic() + 60
        while not log.read_bytes().startswith(b"ready"):
            if loop.poll() is not None or time.monotonic() > deadline:
                loop.kill()
                raise RuntimeError(f"{self.name}: the tool ended or hung before its loop: "
                                   + (self.folder / "loop.err").read_text(errors="replace"))
            time.sleep(0.005)
        wait(log)
        if loop.poll() is not None:
            raise RuntimeError(f"{self.name}: the save loop ended by itself (a save failed): "
                               + log.read_text(errors="replace")[-300:])
        os.kill(loop.pid, signal.SIGKILL)
        if loop.wait(timeout=30) != -signal.SIGKILL:
            raise RuntimeError(f"{self.name}: the tool was not killed: {loop.returncode}")
        return log.read_text(errors="replace").replace("\r\n", "\n").splitlines()

    def stale_temporaries_left(self):
        """Ages the temporary files the kills left past the replace's limit (ten minutes), lets
        the loop save both files once and returns how many of them are still there."""
        stale = [path for path in self.run_folder.iterdir() if TEMPORARY.match(path.name)]
        an_hour_ago = time.time() - 3600
        for path in stale:
            os.utime(path, (an_hour_ago, an_hour_ago))

        def two_saves(log):
            deadline = time.monotonic() + 60
            while log.read_text(errors="replace").count("end") < 2:
                if time.monotonic() > deadline:
                    raise RuntimeError(f"{self.name}: no save finished")
                time.sleep(0.005)

        self.kill_loop(two_saves)
        return sum(1 for path in stale if path.exists())

    def count(self, lines):
        """Compares the folder with what the log says was being written when the kill came."""
        expected = dict(self.state)
        saving = None
        for line in lines[1:]:
            words = line.split()
            if words[0] == "begin":
                saving = (words[1], words[2].lower())
            elif words[0] == "end" and saving:
                expected[saving[0]] = saving[1]
                saving = None
        found, extras = self.check()
        self.counts["runs"] += 1
        if saving:
            self.counts["mid_save"] += 1
        else:
            self.counts["between"] += 1
        for kind, content in found.items():
            if content == "corrupt":
                self.counts["corrupt"] += 1
                print(f"{self.name}: {FILES[kind]} corrupt after a kill", file=sys.stderr)
            elif saving and saving[0] == kind and content in (expected[kind], saving[1]):
                self.counts["new" if content == saving[1] else "old"] += 1
            elif content != expected[kind]:
                self.counts["unexpected"] += 1
                print(f"{self.name}: {FILES[kind]} holds {content}, not {expected[kind]}",
                      file=sys.stderr)
        stray = [name for name in extras if not TEMPORARY.match(name)]
        if stray:
            self.counts["unexpected"] += 1
            print(f"{self.name}: stray files {stray}", file=sys.stderr)
        for name in extras:
            if TEMPORARY.match(name) and name not in self.temporaries:
                self.temporaries[name] = self.written_part(name)
        self.state = {kind: content if content != "corrupt" else self.state[kind]
                      for kind, content in found.items()}

    def written_part(self, name):
        target = FILES["config" if name.startswith(".config") else "macro"]
        size = (self.run_folder / name).stat().st_size
        whole = (self.reference / "a" / target).stat().st_size
        return "empty" if size == 0 else "whole" if size >= whole else "part"

    def check(self):
        done = subprocess.run([str(NATIVE_TOOL), "check", str(self.run_folder),
                               str(self.reference)], capture_output=True, text=True)
        lines = done.stdout.splitlines()
        summary = dict(word.split("=") for word in lines[0].split())
        extras = [line.split(" ", 1)[1] for line in lines[1:] if line.startswith("extra ")]
        return {"config": summary["config"], "macro": summary["macro"]}, extras

    def report(self, seconds, stale_left):
        c = self.counts
        parts = ", ".join(f"{part} {list(self.temporaries.values()).count(part)}"
                          for part in ("empty", "part", "whole"))
        print(f"{self.name}: runs {c['runs']}, killed mid-save {c['mid_save']} "
              f"(between saves {c['between']}), old content {c['old']}, "
              f"new content {c['new']}, corrupt {c['corrupt']}, unexpected {c['unexpected']}; "
              f"temporary files left by the kills {len(self.temporaries)} ({parts}), still "
              f"there after a later save once older than ten minutes {stale_left} "
              f"({seconds:.0f} s)")
        return c["corrupt"] == 0 and c["unexpected"] == 0 and stale_left == 0


def wine_env(prefix):
    env = dict(os.environ)
    env.update({"WINEPREFIX": str(prefix), "WINEDEBUG": "-all",
                "WINEDLLOVERRIDES": "mscoree,mshtml="})
    if not (prefix / "system.reg").exists():
        prefix.mkdir(parents=True, exist_ok=True)
        subprocess.run(["wineboot", "--init"], env=env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A server that outlives each program by a few seconds saves its start on every run; it
    # starts with nothing to inherit, so it holds no output of ours open.
    subprocess.run(["wineserver", "-p10"], env=env, check=False, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return env


def main(native_runs, wine_runs):
    halves = []
    if native_runs:
        halves.append((Half("native", [str(NATIVE_TOOL)]), native_runs))
    if wine_runs:
        env = wine_env(ROOT / "build" / "windows" / "crash-wineprefix")
        halves.append((Half("wine", ["wine", str(WINDOWS_TOOL)], env), wine_runs))
    ok = True
    for half, runs in halves:
        start = time.monotonic()
        half.prepare()
        for _ in range(runs):
            half.run_once()
        seconds = time.monotonic() - start
        ok = half.report(seconds, half.stale_temporaries_left()) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(*(int(argument) for argument in sys.argv[1:3])))
