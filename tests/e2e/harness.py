"""End-to-end harness: the real V270.exe under Wine on Xvfb, against the simulated mouse.

A test starts a Simulator and a Program (a copy of the program folder with the settings it
wants), drives the program with xdotool as a user would, and checks what the user and the mouse
see: screenshots, the simulator's state and report log, the files beside the program. Every wait
is for a condition, never a fixed sleep.

The program reaches the simulated mouse as it reaches a user's: through the system's HID stack,
where the virtual mouse (tools/virtualmouse) presents it. The session's bridge joins the virtual
mouse to the simulator of the program being started (see virtual_mouse.py); a program started
without a simulator finds no mouse.

The builds come from V270_WINDOWS_BUILD and V270_NATIVE_BUILD (default build/windows and
build/native). One Xvfb server, one Wine prefix and one bridge serve the whole run of a
process; run_e2e.py runs several such processes side by side, each with a prefix of its own
(V270_E2E_WORKER), where the driver is installed once.

Wine's reports of a crash in the program (an unhandled exception or page fault) fail the test:
each program's standard output and error are kept in a file beside it, which is read when the
program ends (wait_exit) and when the test stops it. The prefix shows no crash dialog, so a
program that crashes ends at once and Wine's backtrace lands in that file.
"""

import atexit
import json
import os
import re
import shutil
import socket
import subprocess
import tempfile
import time
from pathlib import Path

from virtual_mouse import Bridge, refresh_driver

ROOT = Path(__file__).resolve().parents[2]
WINDOWS_BUILD = Path(os.environ.get("V270_WINDOWS_BUILD", ROOT / "build" / "windows"))
NATIVE_BUILD = Path(os.environ.get("V270_NATIVE_BUILD", ROOT / "build" / "native"))
PROGRAM_DIR = WINDOWS_BUILD / "program"
SIMULATOR = NATIVE_BUILD / "tools" / "mousesim" / "v270-mousesim"
KEYPROBE = WINDOWS_BUILD / "tools" / "keyprobe" / "v270-keyprobe.exe"
HELPER = WINDOWS_BUILD / "tools" / "e2ehelper" / "v270-e2e-helper.exe"
PLANTED_DLL = WINDOWS_BUILD / "tools" / "e2ehelper" / "planted.dll"
BRIDGE = WINDOWS_BUILD / "tools" / "virtualmouse" / "v270-mousebridge.exe"
DRIVER = WINDOWS_BUILD / "tools" / "virtualmouse" / "v270vmouse.sys"

ENGLISH_TITLE = "VELKO V270 GAMING MOUSE"
CHINESE_TITLE = "VELKO V270竞技游戏鼠标"
MESSAGE_CAPTION = "V270"

DEFAULT_TIMEOUT = 60.0

# What Wine writes when the program crashes: on standard error, for every unhandled exception,
#   wine: Unhandled page fault on read access to 0000000000000010 at address 0000000140001548 (thread 0110), starting debugger...
#   wine: Unhandled exception 0xe0001234 in thread 190 at address 000000007B013D7E (thread 0190), starting debugger...
# and, from the debugger, on standard output,
#   Unhandled exception: page fault on read access to 0x0000000000000010 in 64-bit code (0x00000140001548).
# WINEDEBUG=-all does not silence them.
CRASH_REPORT = re.compile(r"^wine: Unhandled |starting debugger\.\.\.|^Unhandled exception: ")
BACKTRACE_FRAME = re.compile(r"^(=>)?\s*\d+ 0x[0-9a-f]+ ")


class ConditionTimeout(AssertionError):
    pass


def wait_for(condition, what, timeout=DEFAULT_TIMEOUT, interval=0.05):
    """Polls `condition` until it returns a true value, which it returns; fails after `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise ConditionTimeout(f"timed out waiting for {what}")
        time.sleep(interval)


class Session:
    """One X display and one Wine prefix, with the CJK font mapping, and the bridge of the
    virtual mouse, for the whole run; the prefix is made when `prefix` holds none. A prefix
    made with another `dpi` shows the programs in it at that display scale (its LogPixels), on
    a screen of `screen` pixels."""

    def __init__(self, prefix=None, dpi=96, screen="1280x800"):
        self.prefix = Path(prefix) if prefix else prefix_path()
        self.dpi = dpi
        self._xvfb = None
        self.display = os.environ.get("V270_E2E_DISPLAY") if dpi == 96 else None
        if not self.display:
            self._start_xvfb(screen)
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": str(self.prefix),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
        })
        # Programs left over from an earlier run would answer for the ones this run starts.
        subprocess.run(["wineserver", "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        refresh_driver(self.prefix, DRIVER)
        self._prepare_prefix()
        self.start_wineserver()
        self.bridge = Bridge(BRIDGE, self.env)
        atexit.register(self.close)

    def _start_xvfb(self, screen):
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{screen}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def _prepare_prefix(self):
        marker = self.prefix / ".v270-e2e"
        if marker.exists():
            return
        self.prefix.mkdir(parents=True, exist_ok=True)
        subprocess.run(["wineboot", "--init"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        write_prefix_settings(self.prefix / "settings.reg", self.dpi)
        subprocess.run(["wine", "regedit", "/S", str(self.prefix / "settings.reg")], env=self.env,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_wineserver()
        marker.write_text("FontSubstitutes for SimSun, no crash dialog\n")

    def start_wineserver(self):
        """A wineserver started by a later call would inherit that call's output and hold it
        open, so that a call whose output is read through a pipe would wait for the server's
        end. This one is started first, with nothing to inherit, and lives for the run."""
        subprocess.run(["wineserver", "-p"], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def wait_wineserver(self):
        subprocess.run(["wineserver", "-w"], env=self.env, check=False)

    def _run_helper(self, arguments, env):
        """The helper's exit code, output and error output. Its output goes through files, which
        no process left behind can hold open."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(["wine", str(HELPER), *arguments], env=env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=DEFAULT_TIMEOUT)
            out.seek(0)
            err.seek(0)
            return (done.returncode,
                    out.read().decode("utf-8", errors="replace").replace("\r\n", "\n"),
                    err.read().decode("utf-8", errors="replace"))

    def helper(self, *arguments, check=True):
        """Runs the Win32 helper in the session; returns its line, or None when it exits 1."""
        code, stdout, stderr = self._run_helper(arguments, self.env)
        if code == 1 and not check:
            return None
        if code != 0:
            if not stdout and not stderr:
                # Wine failed before the helper said anything: once more with Wine's error
                # channel on, for the report; the query still counts as failed.
                _, _, stderr = self._run_helper(arguments, dict(self.env, WINEDEBUG="err+all"))
            raise RuntimeError(f"helper {arguments} failed: {code} {stderr[-4000:]}")
        return stdout.strip()

    def list_rows(self, control_id):
        """The rows of the main window's list box `control_id`."""
        output = self.helper("list", str(control_id))
        return output.split("\n") if output else []

    def window_state(self):
        fields = dict(item.split("=") for item in self.helper("window").split())
        return {key: int(value) for key, value in fields.items()}

    def pointer_speed(self):
        return int(self.helper("speed"))

    def close(self):
        self.bridge.close()
        subprocess.run(["wineserver", "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self._xvfb is not None:
            self._xvfb.terminate()
            self._xvfb.wait()
            self._xvfb = None


_session = None
_scaled_sessions = {}


def session():
    global _session
    if _session is None:
        _session = Session()
    return _session


def prefix_path(dpi=96):
    """The Wine prefix of this process's sessions: one per worker, and one per display scale."""
    worker = os.environ.get("V270_E2E_WORKER")
    return WINDOWS_BUILD / ("e2e-wineprefix" + (f"-{dpi}dpi" if dpi != 96 else "")
                            + (f"-{worker}" if worker else ""))


def scaled_session(dpi):
    """A session of its own whose prefix shows programs at `dpi`, on a screen large enough for
    the scaled window."""
    if dpi not in _scaled_sessions:
        _scaled_sessions[dpi] = Session(prefix_path(dpi), dpi=dpi, screen="1920x1200")
    return _scaled_sessions[dpi]


def scaled(entry, dpi):
    """A layout entry (x, y, width, height) at `dpi`: its edges scaled, halves rounded up."""
    def px(length):
        return (length * dpi + 48) // 96
    x, y, width, height = entry
    return px(x), px(y), px(x + width) - px(x), px(y + height) - px(y)


def close_session():
    """Ends the sessions of this process, if it made any: their programs, Wine and Xvfb."""
    global _session
    if _session is not None:
        _session.close()
        _session = None
    while _scaled_sessions:
        _scaled_sessions.popitem()[1].close()


def write_prefix_settings(path, dpi=96):
    """Chinese text in a font that ships with Debian; a crash ends the program with a backtrace
    on standard output instead of a dialog that waits for a click; the display scale."""
    text = ("Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"
            "\"宋体\"=\"WenQuanYi Micro Hei\"\r\n"
            "\"SimSun\"=\"WenQuanYi Micro Hei\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"
            "\"ShowCrashDialog\"=dword:00000000\r\n\r\n"
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
            f"\"LogPixels\"=dword:{dpi:08x}\r\n")
    path.write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))


class Simulator:
    """The simulated mouse, on ports of its own, commanded over its control port."""

    def __init__(self, *options):
        self.process = subprocess.Popen(
            [str(SIMULATOR), "--port", "0", "--control-port", "0", *options],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        ports = {}
        while len(ports) < 2:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("the simulator did not start")
            name, value = line.split()
            ports[name] = int(value)
        self.hid_port = ports["hid-port"]
        self.bridges = set()  # the bridges that followed it
        self.control = socket.create_connection(("127.0.0.1", ports["control-port"]))
        self._lines = self.control.makefile("rw", encoding="utf-8", newline="\n")

    def command(self, text):
        self._lines.write(text + "\n")
        self._lines.flush()
        answer = self._lines.readline().strip()
        if answer.startswith("error"):
            raise RuntimeError(f"simulator: {text}: {answer}")
        return answer

    def commands(self, lines):
        """Sends many commands at once and returns their replies, in order."""
        self._lines.write("".join(line + "\n" for line in lines))
        self._lines.flush()
        return [self._lines.readline().strip() for _ in lines]

    def dump(self):
        return json.loads(self.command("dump"))

    def reports(self):
        """Every feature report received, as strings of hex bytes."""
        return [entry["bytes"] for entry in self.dump()["log"]]

    def wait_for_reports(self, count, what="reports", timeout=DEFAULT_TIMEOUT):
        return wait_for(lambda: (r := self.reports()) and len(r) >= count and r, what, timeout)

    def click(self, button):
        self.command(f"click {button}")

    def close(self):
        for bridge in self.bridges:
            bridge.release(self)
        try:
            self.command("quit")
        except (OSError, RuntimeError):
            pass
        self._lines.close()
        self.control.close()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()


def report_command(report):
    """The command byte of a report given as hex text: "07 10 06 1F ..." -> 0x10."""
    return int(report.split()[1], 16)


class Program:
    """V270.exe in a folder of its own: a copy of the built program folder, with the settings
    files a test gives it; it runs in the run's session, or in the session `where`."""

    def __init__(self, files=None, english=True, where=None):
        self.session = where or session()
        self.folder = Path(tempfile.mkdtemp(prefix="v270-e2e-"))
        shutil.copytree(PROGRAM_DIR, self.folder, dirs_exist_ok=True)
        # The settings as they ship, whatever a run by hand left in the build's folder.
        for shipped in (ROOT / "data").iterdir():
            shutil.copy2(shipped, self.folder / shipped.name)
        for name, content in (files or {}).items():
            target = self.folder / name
            if isinstance(content, bytes):
                target.write_bytes(content)
            else:
                target.write_text(content, encoding="ascii", newline="")
        self.title = ENGLISH_TITLE if english else CHINESE_TITLE
        self.output = self.folder / "wine-output.txt"
        self._crashes_reported = 0
        self.process = None
        self._window = None

    def start(self, simulator=None, wait_window=True, debug_output=False, cwd=None, env=None,
              arguments=()):
        """Starts the program with its command line `arguments`, with `simulator` as its mouse
        (None: no mouse); with `debug_output` what it writes to the debugger output is kept too
        (see debug_lines). It runs in its folder unless `cwd` names another, with the session's
        environment changed by `env`."""
        if simulator is not None:
            self.session.bridge.attach(simulator)
        else:
            self.session.bridge.detach()
        env = dict(self.session.env, **(env or {}))
        if debug_output:
            # Wine reports OutputDebugString on its "seh" channel.
            env["WINEDEBUG"] = "-all,warn+seh"
        with open(self.output, "ab") as output:
            self.process = subprocess.Popen(["wine", str(self.folder / "V270.exe"), *arguments],
                                            cwd=cwd or self.folder, env=env, stdout=output,
                                            stderr=output)
        if wait_window:
            self.window()
        return self

    def window(self):
        """The X window of the main window, found by its title once it shows: a click before
        it shows lands on nothing. It shows its first frame before the mouse search and the
        first apply, and takes its input once they are done."""
        if self._window is None:
            self._window = wait_for(lambda: self._find_window(), f"the window '{self.title}'")
        return self._window

    def window_shown(self):
        """Whether the main window shows now."""
        return self._find_window() is not None

    def _find_window(self):
        done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + self.title + "$"],
                              env=self.session.env, capture_output=True, text=True)
        found = done.stdout.split()
        return found[0] if found else None

    def debug_lines(self):
        """The strings the program gave OutputDebugString, when started with debug_output."""
        text = self.output.read_text(errors="replace") if self.output.exists() else ""
        prefix = "warn:seh:OutputDebugStringA \""
        return [line.split(prefix, 1)[1].rsplit("\"", 1)[0].replace("\\n", "")
                for line in text.splitlines() if prefix in line]

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            wait_for(lambda: not self.running(), "the program to end", timeout)
        finally:
            self.check_no_crash()
        return self.process.returncode

    def check_no_crash(self):
        """Fails when the program's output holds a report of a crash not reported before."""
        text = self.output.read_text(errors="replace") if self.output.exists() else ""
        lines = text.splitlines()
        reports = [line for line in lines if CRASH_REPORT.search(line)]
        if len(reports) > self._crashes_reported:
            new = reports[self._crashes_reported:]
            self._crashes_reported = len(reports)
            backtrace = [line for line in lines if BACKTRACE_FRAME.match(line)][:12]
            raise AssertionError("Wine reported a crash of V270.exe:\n    "
                                 + "\n    ".join(new + backtrace))

    def click(self, x, y, button=1):
        subprocess.run(["xdotool", "mousemove", "--window", self.window(), str(x), str(y),
                        "click", str(button)], env=self.session.env, check=True)

    def type_text(self, text, window=None):
        subprocess.run(["xdotool", "type", "--window", window or self.window(), text],
                       env=self.session.env, check=True, stderr=subprocess.DEVNULL)

    def key(self, *names):
        # Without a window manager xdotool warns about the input focus; the keys arrive anyway.
        subprocess.run(["xdotool", "key", "--window", self.window(), *names],
                       env=self.session.env, check=True, stderr=subprocess.DEVNULL)

    def origin(self):
        return self.geometry()[:2]

    def geometry(self):
        """The window's screen position and size: (x, y, width, height)."""
        done = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window()],
                              env=self.session.env, capture_output=True, text=True, check=True)
        values = dict(line.split("=") for line in done.stdout.split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def grab(self, x, y, width, height):
        """The pixels of a rectangle of the window, as rows of (r, g, b)."""
        left, top = self.origin()
        done = subprocess.run(["import", "-window", "root", "-crop",
                               f"{width}x{height}+{left + x}+{top + y}", "-depth", "8", "rgb:-"],
                              env=self.session.env, capture_output=True, check=True)
        data = done.stdout
        return [[tuple(data[(row * width + col) * 3:(row * width + col) * 3 + 3])
                 for col in range(width)] for row in range(height)]

    def resident_kib(self):
        """The resident memory of the program's Windows process, in KiB: the process named
        V270.exe that runs in the program's folder."""
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if (b"V270.exe" in Path(f"/proc/{pid}/cmdline").read_bytes()
                        and Path(f"/proc/{pid}/cwd").resolve() == self.folder.resolve()):
                    status = Path(f"/proc/{pid}/status").read_text()
                    return int(next(line.split()[1] for line in status.splitlines()
                                    if line.startswith("VmRSS:")))
            except (OSError, StopIteration):
                continue
        raise RuntimeError("the program's process was not found")

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.session.env, check=True)

    def config(self):
        return read_ini(self.folder / "config.ini")

    def stop(self):
        """Ends the program, fails on a crash it had, and removes its folder; a test's cleanup."""
        if self.running():
            self.process.kill()
            self.process.wait()
        try:
            self.check_no_crash()
        finally:
            shutil.rmtree(self.folder, ignore_errors=True)


def read_ini(path):
    """A settings file as {section: {key: value}}, names as written, first key of a name wins."""
    sections = {}
    current = None
    for raw in Path(path).read_text(encoding="utf-8", errors="replace").splitlines():
        line = raw.strip()
        if line.startswith("[") and "]" in line:
            current = sections.setdefault(line[1:line.index("]")].strip(), {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current.setdefault(key.strip(), value.strip())
    return sections


def read_layout(name, english=True, section_name="BUTTONPOS"):
    """The entries of a section of a skin layout file: {index: (x, y, width, height)}."""
    folder = PROGRAM_DIR / "skins" / ("INI_EN" if english else "INI_CN")
    raw = (folder / name).read_bytes()
    text = raw[2:].decode("utf-16-le") if raw[:2] == b"\xff\xfe" else raw.decode("utf-8")
    entries = {}
    section = None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            section = line.strip("[]").strip()
        elif section == section_name and "=" in line:
            key, value = line.split("=", 1)
            fields = value.split(",")
            if key.strip().isdigit() and len(fields) >= 5:
                entries[int(key)] = tuple(int(field or 0) for field in fields[1:5])
    return entries


def main_layout(english=True):
    return read_layout("skin_main_en.ini" if english else "skin_main.ini", english)


def advanced_layout(english=True, section="BUTTONPOS"):
    """The advanced page's entries; with section "EDIT" or "MACRODISPLAY" its controls."""
    return read_layout("skin_advance_en.ini" if english else "skin_advance.ini", english, section)


def centre(entry):
    x, y, width, height = entry
    return x + width // 2, y + height // 2


def count_pixels(rows, predicate):
    return sum(1 for row in rows for pixel in row if predicate(pixel))


def is_yellow(pixel):
    red, green, blue = pixel
    return red > 180 and green > 180 and blue < 90


def macro_record(name, steps, repeat_count=None):
    """One macro as the macro file stores it: a group of three digits per byte. `steps` are
    (key, action, delay): action 1 presses, 2 releases; keys 240..242 are mouse buttons."""
    data = [0] * 1064
    data[0:len(name.encode("utf-16-le"))] = name.encode("utf-16-le")
    if repeat_count is not None:
        data[40:43] = [1, repeat_count & 0xFF, repeat_count >> 8]
    data[43] = len(steps)
    for index, (key, action, delay) in enumerate(steps):
        data[44 + 4 * index:48 + 4 * index] = [key, action, delay & 0xFF, delay >> 8]
    return "".join(f"{byte:03d}" for byte in data)


def macro_file(*records):
    return f"[Macros]\r\nmacroNum={len(records)}\r\n" + "".join(
        f"{index}={record}\r\n" for index, record in enumerate(records))


def held_down(events):
    """What the events of a KeyProbe leave pressed: virtual keys, and "L", "R", "M" for the
    mouse buttons."""
    down = set()
    for kind, message, vk, _ in events:
        what = vk if kind == "key" else message[3]
        if message.endswith("DOWN"):
            down.add(what)
        elif message.endswith("UP"):
            down.discard(what)
    return down


class KeyProbe:
    """v270-keyprobe in the session: what the low-level keyboard hook of another program sees."""

    END_KEY = 0x87  # F24

    def __init__(self, seconds=120, mouse=False):
        self.output = Path(tempfile.mkstemp(prefix="v270-keyprobe-", suffix=".txt")[1])
        windows_path = "Z:" + str(self.output).replace("/", "\\")
        self.process = subprocess.Popen(
            ["wine", str(KEYPROBE), "--seconds", str(seconds), "--until-vk", hex(self.END_KEY),
             "--out", windows_path] + (["--mouse"] if mouse else []), env=session().env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: self.lines()[:1] == ["ready"], "the key probe's hooks")

    def lines(self):
        try:
            return self.output.read_text(errors="replace").splitlines()
        except FileNotFoundError:
            return []

    def key_events(self):
        """(message, vk, flags) of every key event seen, in order."""
        events = []
        for line in self.lines():
            parts = line.split()
            if parts and parts[0] == "key":
                fields = dict(part.split("=") for part in parts[2:])
                events.append((parts[1], int(fields["vk"], 16), int(fields["flags"], 16)))
        return events

    def events(self):
        """(kind, message, extra) of every key and mouse-button event seen, in order."""
        events = []
        for line in self.lines():
            parts = line.split()
            if parts and parts[0] in ("key", "mouse"):
                fields = dict(part.split("=") for part in parts[2:])
                events.append((parts[0], parts[1], int(fields.get("vk", "0"), 16),
                               int(fields["extra"], 16)))
        return events

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.output.unlink(missing_ok=True)
