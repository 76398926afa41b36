"""The installer and the uninstaller under Wine, as a user meets them, in a fresh Wine prefix:

1. a silent install with the logon task: the program files, the Start-menu entry, the entry in
   the list of installed programs with its version, the install folder's access list, the logon
   task and its priority, the version resource. Wine keeps no access list: it makes one from the
   Unix mode, which lets the signed-in user change everything, so the program rightly refuses to
   register its task there; the check then registers it as the program would, to read back its
   priority and to see the uninstaller remove it;
2. the installed program, started against the simulated mouse (the virtual mouse in the fresh
   prefix), applies the shipped profile;
3. an install over the running program closes it through its own close path (the exit report)
   and keeps the user's settings files as they were;
4. a silent uninstall of the running program closes it the same way and removes the program
   files, the Start-menu entry, the uninstall entry and the logon task, and keeps the settings;
5. an install onto the kept settings keeps them; an uninstall with /RemoveSettings removes all.

    python3 tests/e2e/installer_check.py --setup build/package/V270-1.1.0-setup.exe --version 1.1.0
        [--screenshots docs/screenshots]

With --screenshots it saves the installer's components page (setup_components.png), the installed
program's about box (about_en.png), the file's properties in Wine's file manager
(file_properties.png) and the uninstaller's components page (uninstall_components.png). Exits 0 and
prints the time taken when every check holds.
"""

import argparse
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from harness import CRASH_REPORT, ROOT, Session, Simulator, report_command, wait_for
from test_startup import SHIPPED_PROFILE_REPORTS

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VELKO V270"
INSTALL_DIR = r"C:\Program Files\VELKO V270"
SETTINGS_FILES = ("config.ini", "Macro_EN.dat", "Macro_CN.dat")
PROGRAM_FILES = ("V270.exe", "V270Cmd.exe", "uninstall.exe", "skins")
# The install folder's access list as the installer sets it, and the task's priority.
ADMINISTRATORS_OWN = "O:BA"
NORMAL_PRIORITY = "<Priority>4</Priority>"
# Setup's exit code when the folder could not be protected and the task was not registered.
SETUP_NOT_PROTECTED = 3
SHORTCUT = "ProgramData/Microsoft/Windows/Start Menu/Programs/VELKO V270 GAMING MOUSE.lnk"
EXIT_REPORT = 0x20
# A line the program and the installer must both keep in every settings file.
MARK = "\r\n[InstallerCheck]\r\nkept=1\r\n"


class Installation:
    def __init__(self, session, setup, version, output):
        self.session = session
        self.setup = setup
        self.version = version
        self.output = output
        drive = session.prefix / "drive_c"
        self.folder = drive / "Program Files" / "VELKO V270"
        self.shortcut = drive / SHORTCUT
        self.tasks = drive / "windows" / "system32" / "tasks"

    def wine(self, *arguments):
        """Runs a Windows program to its end, its output into files (see Session.helper)."""
        with tempfile.TemporaryFile() as out:
            done = subprocess.run(["wine", *arguments], env=self.session.env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                                  timeout=120)
            out.seek(0)
            return done.returncode, out.read().decode("utf-8", errors="replace")

    def install(self, *options):
        code, _ = self.wine(str(self.setup), "/S", *options)
        assert code == 0, f"the installer failed: {code}"

    def uninstall(self, *options):
        # The uninstaller runs on from a copy of itself in the temporary folder.
        code, _ = self.wine(INSTALL_DIR + r"\uninstall.exe", "/S", *options)
        assert code == 0, f"the uninstaller failed: {code}"
        wait_for(lambda: self.uninstall_value("DisplayName") is None
                 and not (self.folder / "uninstall.exe").exists(), "the uninstall to end", 60)

    def uninstall_value(self, name):
        code, text = self.wine("reg", "query", UNINSTALL_KEY, "/v", name)
        if code != 0:
            return None
        # "    DisplayVersion    REG_SZ    1.1.0"
        line = next(line for line in text.splitlines() if line.strip().startswith(name))
        return line.split(None, 2)[2].strip()

    def task(self):
        """The logon task the installer registered, or None."""
        tasks = list(self.tasks.glob("V270 Start With Windows (*)")) if self.tasks.exists() else []
        return tasks[0] if tasks else None

    def task_text(self):
        """The logon task as the Task Scheduler keeps it: Wine, its settings only."""
        data = self.task().read_bytes()
        if data[:2] == b"\xff\xfe":
            return data[2:].decode("utf-16-le")
        return data.decode("utf-8-sig")

    def start_program(self, simulator):
        self.session.bridge.attach(simulator)
        with open(self.output, "ab") as output:
            process = subprocess.Popen(["wine", INSTALL_DIR + r"\V270.exe"], cwd=self.folder,
                                       env=self.session.env, stdout=output, stderr=output)
        reports = simulator.wait_for_reports(len(SHIPPED_PROFILE_REPORTS), "the first apply")
        assert [r[:11] for r in reports] == SHIPPED_PROFILE_REPORTS, reports
        return process

    def settings(self):
        return {name: (self.folder / name).read_bytes() for name in SETTINGS_FILES}

    def mark_settings(self):
        for name in SETTINGS_FILES:
            with open(self.folder / name, "ab") as file:
                file.write(MARK.encode("ascii"))


def closed_by_its_close_path(process, simulator):
    wait_for(lambda: process.poll() is not None, "the program to end", 30)
    assert EXIT_REPORT in [report_command(r) for r in simulator.reports()], \
        "the program ended without its exit report"


def xdotool(session, *arguments):
    subprocess.run(["xdotool", *arguments], env=session.env, check=True,
                   stderr=subprocess.DEVNULL)


def x_window(session, title):
    """The visible X window whose title starts with `title` (a regular expression), or None."""
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title],
                          env=session.env, capture_output=True, text=True)
    return done.stdout.split()[0] if done.stdout.split() else None


def save_window(session, window, path):
    time.sleep(0.5)  # its contents are painted after it maps
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["import", "-window", window, str(path)], env=session.env, check=True)


def save_about_box(installation, screenshots):
    session = installation.session
    session.helper("about")
    title = "About VELKO V270"
    save_window(session, wait_for(lambda: x_window(session, title), "the about box"),
                screenshots / "about_en.png")
    session.helper("dismiss", title)
    wait_for(lambda: x_window(session, title) is None, "the about box to close")


def save_file_properties(installation, screenshots):
    """The installed V270.exe's properties in Wine's file manager, its file version chosen."""
    session = installation.session
    manager = subprocess.Popen(["wine", "winefile", INSTALL_DIR + "\\"], env=session.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = wait_for(lambda: x_window(session, r"Wine File Manager - .*VELKO V270"),
                      "the file manager")
    time.sleep(0.5)
    # The file list, its last entry (V270.exe), and its properties.
    xdotool(session, "key", "--window", window, "Tab", "End", "alt+Return")
    dialog = wait_for(lambda: x_window(session, "Properties for V270.exe"), "the properties")
    time.sleep(0.5)
    # Into the version information's list (its lower quarter, whatever the font), then to its
    # third row, FileVersion.
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", dialog], env=session.env,
                              capture_output=True, text=True, check=True).stdout
    height = int(dict(line.split("=") for line in geometry.split())["HEIGHT"])
    xdotool(session, "mousemove", "--window", dialog, "48", str(height * 3 // 4), "click", "1")
    xdotool(session, "key", "--window", dialog, "Home", "Down", "Down")
    save_window(session, dialog, screenshots / "file_properties.png")
    xdotool(session, "key", "--window", dialog, "Escape")
    xdotool(session, "key", "--window", window, "alt+F4")
    manager.wait(timeout=30)


def save_setup_page(installation, screenshots):
    """The installer's first page, its components, then cancelled."""
    session = installation.session
    setup = subprocess.Popen(["wine", str(installation.setup)], env=session.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # The wizard's title ends with a space; the question before cancelling has none.
    window = wait_for(lambda: x_window(session, "VELKO V270 GAMING MOUSE Setup $"), "the installer")
    save_window(session, window, screenshots / "setup_components.png")
    xdotool(session, "key", "--window", window, "Escape")
    question = wait_for(lambda: x_window(session, "VELKO V270 GAMING MOUSE Setup$"), "the question")
    xdotool(session, "key", "--window", question, "Return")
    setup.wait(timeout=30)


def save_uninstall_page(installation, screenshots):
    """The uninstaller's components page, with the choice to remove the settings; cancelled."""
    session = installation.session
    subprocess.Popen(["wine", INSTALL_DIR + r"\uninstall.exe"], env=session.env,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    title = "VELKO V270 GAMING MOUSE Uninstall"
    window = wait_for(lambda: x_window(session, title), "the uninstaller")
    xdotool(session, "key", "--window", window, "Return")
    save_window(session, window, screenshots / "uninstall_components.png")
    xdotool(session, "key", "--window", window, "Escape")
    wait_for(lambda: x_window(session, title) is None, "the uninstaller to close")


def check(installation, screenshots):
    folder = installation.folder

    if screenshots:
        save_setup_page(installation, screenshots)
    print("-- silent install with the logon task")
    code, _ = installation.wine(str(installation.setup), "/S", "/StartWithWindows")
    for name in PROGRAM_FILES + SETTINGS_FILES:
        assert (folder / name).exists(), f"{name} is not installed"
    assert installation.shortcut.exists(), "no Start-menu entry"
    values = {name: installation.uninstall_value(name) for name in (
        "DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "UninstallString",
        "QuietUninstallString", "EstimatedSize")}
    print("   uninstall entry:", values)
    assert values["DisplayVersion"] == installation.version, values
    assert values["DisplayName"] == "VELKO V270 GAMING MOUSE" and values["Publisher"] == "VELKO"
    assert values["QuietUninstallString"].endswith('uninstall.exe" /S'), values
    assert int(values["EstimatedSize"], 16) > 0, values
    rights = installation.session.helper("rights", INSTALL_DIR)
    print("   install folder's rights:", rights)
    if rights.startswith(ADMINISTRATORS_OWN):
        assert code == 0 and installation.task() is not None, f"no logon task ({code})"
    else:
        print("   Wine keeps no access list: the program refused the logon task")
        assert code == SETUP_NOT_PROTECTED and installation.task() is None, code
        assert installation.session.helper("logon-task-add", INSTALL_DIR + r"\V270.exe") == "ok"
    assert NORMAL_PRIORITY in installation.task_text(), installation.task_text()
    resource = installation.session.helper("version", INSTALL_DIR + r"\V270.exe")
    print("   version resource:", resource.replace("\n", "; "))
    assert f"FileVersion={installation.version}.0" in resource.splitlines(), resource
    if screenshots:
        save_file_properties(installation, screenshots)

    print("-- the installed program applies the profile")
    simulator = Simulator()
    try:
        process = installation.start_program(simulator)
        if screenshots:
            save_about_box(installation, screenshots)
        installation.mark_settings()
        marked = installation.settings()

        print("-- an install over the running program")
        installation.install()
        closed_by_its_close_path(process, simulator)
        assert installation.settings() == marked, "the install changed the user's settings"

        print("-- silent uninstall of the running program")
        simulator.command("clear-log")
        process = installation.start_program(simulator)
        marked = installation.settings()
        installation.uninstall()
        closed_by_its_close_path(process, simulator)
    finally:
        simulator.close()
    for name in PROGRAM_FILES:
        assert not (folder / name).exists(), f"{name} is still there"
    assert not installation.shortcut.exists(), "the Start-menu entry is still there"
    assert installation.task() is None, "the logon task is still there"
    assert installation.settings() == marked, "the uninstall changed the user's settings"

    print("-- an install onto kept settings, an uninstall that removes them")
    installation.install()
    assert installation.settings() == marked, "the install replaced the kept settings"
    if screenshots:
        save_uninstall_page(installation, screenshots)
    installation.uninstall("/RemoveSettings")
    wait_for(lambda: not folder.exists(), "the install folder to go", 30)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True, type=Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--screenshots", type=Path)
    args = parser.parse_args()

    started = time.monotonic()
    work = ROOT / "build" / "package" / "installer-check"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    session = Session(work / "wineprefix")
    installation = Installation(session, args.setup.resolve(), args.version,
                                work / "wine-output.txt")
    try:
        check(installation, args.screenshots.resolve() if args.screenshots else None)
        output = (installation.output.read_text(errors="replace")
                  if installation.output.exists() else "")
        crashes = [line for line in output.splitlines() if CRASH_REPORT.search(line)]
        assert not crashes, "Wine reported a crash of V270.exe:\n" + "\n".join(crashes)
    finally:
        session.close()
    print(f"installer check passed in {time.monotonic() - started:.0f} s")


if __name__ == "__main__":
    sys.exit(main())
