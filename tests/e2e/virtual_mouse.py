"""The virtual mouse of a test session: v270-mousebridge joins the virtual HID mouse (the test
driver v270vmouse.sys under Wine) to one Simulator at a time, so that the program finds and
drives the mouse through the system's own HID stack, as it does a user's mouse.

One bridge runs in each Wine session for as long as the session: it keeps the session, and with
it the driver's host, alive. The driver is installed into the prefix at the first attach and
stays there; unplugging the simulated mouse removes the devices and plugging it in installs
them again, with the simulator's report lengths. A second virtual mouse (number 1) can follow a
second simulator at the same time.
"""

import json
import os
import select
import shutil
import subprocess
import time
from pathlib import Path


class BridgeError(RuntimeError):
    pass


class Bridge:
    """v270-mousebridge in a Wine session, commanded over its standard input and output."""

    TIMEOUT = 60.0

    def __init__(self, executable, env):
        self._executable = executable
        self._env = env
        self._process = None
        self._pending = b""
        self.ports = {}  # the HID port of the simulator each mouse follows, by mouse number

    def running(self):
        return self._process is not None and self._process.poll() is None

    def _start(self):
        self.close()
        # Its output goes to a pipe of its own; nothing else reads it.
        self._process = subprocess.Popen(["wine", str(self._executable)], env=self._env,
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         stderr=subprocess.DEVNULL)
        self._pending = b""
        self.ports = {}
        if self._line() != "ready":
            raise BridgeError("the bridge did not start")

    def _line(self):
        """The bridge's next line; a bridge that says nothing for TIMEOUT seconds has failed."""
        deadline = time.monotonic() + self.TIMEOUT
        while b"\n" not in self._pending:
            left = deadline - time.monotonic()
            ready, _, _ = select.select([self._process.stdout], [], [], max(left, 0))
            chunk = os.read(self._process.stdout.fileno(), 65536) if ready else b""
            if not chunk:
                raise BridgeError("the bridge ended or stopped answering")
            self._pending += chunk
        line, self._pending = self._pending.split(b"\n", 1)
        return line.decode("utf-8", errors="replace").rstrip("\r")

    def command(self, text):
        """Runs one command and returns its reply; a bridge that ended (the session was killed)
        is started again first."""
        if not self.running():
            self._start()
        self._process.stdin.write((text + "\n").encode())
        self._process.stdin.flush()
        reply = self._line()
        if reply.startswith("error"):
            raise BridgeError(f"bridge: {text}: {reply}")
        return reply

    def attach(self, simulator, mouse=0):
        """Virtual mouse `mouse` becomes `simulator`'s: present with its lengths when it is
        plugged in, absent when not."""
        if self.running() and self.ports.get(mouse) == simulator.hid_port:
            return
        self.command(f"attach {simulator.hid_port} {mouse}")
        self.ports[mouse] = simulator.hid_port
        simulator.bridges.add(self)

    def release(self, simulator):
        """Stops following `simulator` before it ends, so that its end is no unplug."""
        if self.running() and simulator.hid_port in self.ports.values():
            self.command(f"release {simulator.hid_port}")
            self.ports = {m: p for m, p in self.ports.items() if p != simulator.hid_port}

    def detach(self, mouse=None):
        """No mouse (or no mouse `mouse`): the devices are removed."""
        self.command("detach" if mouse is None else f"detach {mouse}")
        if mouse is None:
            self.ports = {}
        else:
            self.ports.pop(mouse, None)

    def log(self):
        """The reports that passed since the last call, with their times in microseconds of
        CLOCK_MONOTONIC_RAW: {"input": [[time, hex], ...], "feature": [[time, hex, accepted],
        ...]}."""
        return json.loads(self.command("log"))

    def counters(self):
        return json.loads(self.command("counters"))

    def close(self):
        if self.running():
            try:
                self.command("quit")
                self._process.wait(timeout=10)
            except (BridgeError, OSError, subprocess.TimeoutExpired):
                self._process.kill()
                self._process.wait()
        if self._process is not None:
            self._process.stdin.close()
            self._process.stdout.close()
        self._process = None
        self.ports = {}


def refresh_driver(prefix, driver):
    """A Wine session loads the driver from the prefix's system folder when it starts, and keeps
    it loaded: a driver rebuilt since it was installed replaces that copy here, before the
    session starts."""
    installed = Path(prefix) / "drive_c" / "windows" / "system32" / "drivers" / Path(driver).name
    if installed.exists() and installed.read_bytes() != Path(driver).read_bytes():
        shutil.copyfile(driver, installed)


def microseconds_now():
    """The clock of the bridge's and the key probe's times: Wine's performance counter is the
    host's CLOCK_MONOTONIC_RAW."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 1000
