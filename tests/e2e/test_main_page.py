"""The main page under the pointer, as a user drives it: function menus and their sub-menus, the
warning before the only left click is given away, profiles, DPI levels and the LED mode, the
tray and its owner-drawn menu."""

import struct
import subprocess
import unittest

from harness import (PROGRAM_DIR, Program, Simulator, main_layout, read_layout, centre,
                     count_pixels, session, wait_for)

# Entries of the main page's layout.
TITLE = 0
APPLY = 3
PROFILE_1 = 4
PROFILE_2 = 5
COLOUR_TAB = 11
CLOSE = 13
FIRST_BUTTON = 25  # mouse buttons 1..6 are entries 25..30
DPI_SWITCH = 46    # DPI levels 0..3: switches 46..49, selection 54..57, cells 60 + 5k + v
DPI_SELECT = 54
FIRST_DPI_CELL = 60

MENU_TITLE = "MainMenuDlg"
# The tray icon's id and callback message, and what the system sends through them.
TRAY_ICON_ID, TRAY_CALLBACK = 153, 0x8000 + 5
WM_SYSCOMMAND, SC_MINIMIZE, WM_LBUTTONDBLCLK = 0x112, 0xF020, 0x203
TRAY_MENU_ITEMS = 8
TEAL = (0, 120, 153)

# The shipped profile, the one a reset gives profile 1.
DEFAULT_PROFILE = {"K1": 1, "K2": 2, "K3": 3, "K4": 5, "K5": 4, "K6": 6, "DPI_LEVEL": 0,
                   "WHEEL_STATUS": 0, "MACRO_MODE2": 0, "DPI_SET1": 1, "DPI_SET_EN1": 1,
                   "DPI_SET2": 2, "DPI_SET_EN2": 1, "DPI_SET3": 4, "DPI_SET_EN3": 1,
                   "DPI_SET4": 0, "DPI_SET_EN4": 1, "LED_STATUS": 0, "DPI_SPEED": 4,
                   "WHEEL_SPEED": 2, "FIRE_TIME": 50}


def config_with(profiles, language=1):
    """A config.ini with profile 1 current and the given profiles: {slot: {key: value}}, each
    the default profile changed by the keys given."""
    text = f"[Init]\r\nCurConfig=1\r\nVER_SEL={language}\r\n"
    for slot, changes in sorted(profiles.items()):
        keys = dict(DEFAULT_PROFILE, **changes)
        text += f"\r\n[Config{slot}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys.items())
    return text


def jpeg_size(path):
    """(width, height) of a JPEG file, from its frame header."""
    data = path.read_bytes()
    at = 2
    while at < len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            height, width = struct.unpack(">HH", data[at + 5:at + 9])
            return width, height
        at += 2 + length
    raise ValueError(f"no frame header in {path}")


MENU_ROW = jpeg_size(PROGRAM_DIR / "skins" / "menu_mask.jpg")[1] // 10
SUB_MENU_ROW = jpeg_size(PROGRAM_DIR / "skins" / "advanced menu_mask.jpg")[1] // 12


def xdotool(*arguments):
    return subprocess.run(["xdotool", *map(str, arguments)], env=session().env,
                          capture_output=True, text=True)


def screen_click(x, y, button=1, repeat=1):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", "--repeat", repeat, "--delay", 80, button)


def screen_move(x, y):
    xdotool("mousemove", "--sync", x, y)


def visible_windows(class_name="v270.exe"):
    """Every visible top-level window of the class: {"id", "name", "x", "y", "width", "height"}."""
    windows = []
    for window in xdotool("search", "--onlyvisible", "--class", class_name).stdout.split():
        geometry = xdotool("getwindowgeometry", "--shell", window)
        name = xdotool("getwindowname", window)
        if geometry.returncode != 0 or name.returncode != 0:
            continue  # gone meanwhile
        values = dict(line.split("=") for line in geometry.stdout.split())
        windows.append({"id": window, "name": name.stdout.strip(), "x": int(values["X"]),
                        "y": int(values["Y"]), "width": int(values["WIDTH"]),
                        "height": int(values["HEIGHT"])})
    return windows


class MainPage(unittest.TestCase):
    """A program against a simulator, with the settings of `files`, both ended afterwards."""

    files = None
    english = True

    def setUp(self):
        self.simulator = Simulator()
        self.addCleanup(self.simulator.close)
        self.program = Program(self.files, english=self.english)
        self.addCleanup(self.program.stop)
        self.layout = main_layout(self.english)
        self.program.start(self.simulator)
        self.simulator.wait_for_reports(9, "the first apply")
        self.simulator.command("clear-log")
        # The first apply comes before the window shows; a click before that would find
        # nothing under the pointer.
        main = self.program.window()
        wait_for(lambda: any(w["id"] == main for w in visible_windows()), "the window to show")

    # The main window and its popups.
    def click_entry(self, index, layout=None):
        self.program.click(*centre((layout or self.layout)[index]))

    def popups(self):
        main = self.program.window()
        return [w for w in visible_windows() if w["id"] != main and w["name"] != "Default IME"]

    def wait_popup(self, what, test):
        return wait_for(lambda: next((w for w in self.popups() if test(w)), None), what)

    def wait_no_popups(self, what):
        wait_for(lambda: not self.popups(), what)

    def popup_origin(self, slot):
        """Just below the lower left corner of the button's area, in screen pixels."""
        x, y, _, height = self.layout[FIRST_BUTTON + slot - 1]
        left, top = self.program.origin()
        return left + x, top + y + height

    def open_menu(self, slot):
        self.click_entry(FIRST_BUTTON + slot - 1)
        return self.wait_popup("the function menu", lambda w: w["name"] == MENU_TITLE)

    def choose(self, slot, row, entry=None):
        """Gives button `slot` the function of `row` of its menu, or of `entry` of the row's
        sub-menu."""
        menu = self.open_menu(slot)
        at = (menu["x"] + MENU_ROW * 3, menu["y"] + MENU_ROW * (row - 1) + MENU_ROW // 2)
        if entry is None:
            screen_click(*at)
        else:
            screen_move(*at)
            sub = self.wait_popup(f"the sub-menu of row {row}",
                                  lambda w: w["name"] == "" and w["x"] > menu["x"])
            screen_click(sub["x"] + SUB_MENU_ROW * 3,
                         sub["y"] + SUB_MENU_ROW * (entry - 1) + SUB_MENU_ROW // 2)
        self.wait_no_popups("the menus to close")

    def file_dialog(self, title, name):
        """Types `name` into the file dialog titled `title` and confirms it."""
        dialog = wait_for(lambda: next((w for w in visible_windows() if w["name"] == title), None),
                          f"the {title} dialog")
        xdotool("type", "--window", dialog["id"], name)
        xdotool("key", "--window", dialog["id"], "Return")
        wait_for(lambda: all(w["name"] != title for w in visible_windows()), "the dialog to close")

    def apply(self):
        self.simulator.command("clear-log")
        self.click_entry(APPLY)
        return self.simulator.wait_for_reports(9, "the applied profile")

    # The tray.
    def tray_window(self):
        found = [w for w in visible_windows("explorer.exe") if w["name"] == "Wine System Tray"]
        return found[0] if found else None

    def hide_to_tray(self):
        self.click_entry(CLOSE)
        wait_for(lambda: session().window_state()["visible"] == 0, "the window to hide")
        tray = wait_for(self.tray_window, "the tray icon")
        # The icon is the first, at the tray's left end.
        return tray["x"] + tray["height"] // 2, tray["y"] + tray["height"] // 2


class FunctionMenus(MainPage):
    def test_a_sub_menu_choice_reaches_the_mouse_with_its_hardware_code(self):
        # Button 5, "Mouse & DPI", second entry: code 12, which the mouse performs as its code 8.
        self.choose(5, 7, 2)
        reports = self.apply()
        self.assertIn("07 10 04 08", [r[:11] for r in reports], "slot 5 is the mouse's button 4")
        self.assertEqual(self.simulator.dump()["buttons"][3]["hardwareCode"], 8)
        config = self.program.config()
        self.assertEqual(config["Config1"]["K5"], "12")
        self.assertEqual(config["Config6"]["K5"], "12")

    def test_a_shortcut_becomes_a_host_function(self):
        # Button 3, "Shortcuts", fourth entry: code 34, performed by the PC.
        self.choose(3, 10, 4)
        self.apply()
        self.assertEqual(self.simulator.dump()["buttons"][2]["hardwareCode"], 31)
        self.assertEqual(self.program.config()["Config1"]["K3"], "34")

    def test_the_menu_closes_without_a_choice_when_the_main_window_is_clicked(self):
        self.open_menu(2)
        self.click_entry(TITLE)
        self.wait_no_popups("the menu to close")
        self.apply()
        self.assertEqual(self.program.config()["Config1"]["K2"], "2")


class Warning(MainPage):
    def test_the_only_left_click_is_not_given_away_unasked(self):
        warning_layout = read_layout("LBWarning_en.ini")
        origin = self.popup_origin(1)

        # Cancelled: no menu opens.
        self.click_entry(FIRST_BUTTON)
        warning = self.wait_popup("the warning", lambda w: (w["x"], w["y"]) == origin)
        self.assertNotEqual(warning["name"], MENU_TITLE)
        cancel_x, cancel_y = centre(warning_layout[1])
        screen_click(warning["x"] + cancel_x, warning["y"] + cancel_y)
        self.wait_no_popups("the warning to go")
        # A message the main window handles after the cancel: any menu would be open by then.
        session().helper("power")
        self.simulator.wait_for_reports(9, "the re-sent profile")
        self.assertEqual(self.popups(), [])

        # Confirmed: the menu opens where the warning was; row 3 moves the left click on.
        self.click_entry(FIRST_BUTTON)
        warning = self.wait_popup("the warning again", lambda w: (w["x"], w["y"]) == origin)
        go_x, go_y = centre(warning_layout[0])
        screen_click(warning["x"] + go_x, warning["y"] + go_y)
        menu = self.wait_popup("the function menu", lambda w: w["name"] == MENU_TITLE)
        self.assertEqual((menu["x"], menu["y"]), origin)
        screen_click(menu["x"] + MENU_ROW * 3, menu["y"] + MENU_ROW * 2 + MENU_ROW // 2)
        self.wait_no_popups("the menu to close")
        reports = [r[:11] for r in self.apply()]
        self.assertIn("07 10 01 03", reports)
        self.assertIn("07 10 02 01", reports, "slot 2 took the left click")

    def test_another_button_opens_its_menu_at_once(self):
        menu = self.open_menu(2)
        self.assertEqual((menu["x"], menu["y"]), self.popup_origin(2))
        self.assertEqual(len(self.popups()), 1)


class TwoLeftClicks(MainPage):
    files = {"config.ini": config_with({1: {"K3": 1}})}

    def test_no_warning_for_either(self):
        self.open_menu(1)
        self.assertEqual([w["name"] for w in self.popups()], [MENU_TITLE])


class Profiles(MainPage):
    files = {"config.ini": config_with({1: {}, 2: {"K3": 2, "WHEEL_STATUS": 1}})}

    def test_a_profile_button_loads_the_profile_that_apply_sends(self):
        self.click_entry(PROFILE_2)
        reports = [r[:11] for r in self.apply()]
        self.assertIn("07 10 03 02", reports)
        self.assertIn("07 11 01 00", reports)
        config = self.program.config()
        self.assertEqual(config["Init"]["CurConfig"], "2")
        self.assertEqual(config["Config6"]["K3"], "2")


class DpiAndLed(MainPage):
    files = {"config.ini": config_with({1: {"DPI_SET_EN2": 0, "DPI_SET_EN3": 0,
                                            "DPI_SET_EN4": 0}})}

    def test_levels_cells_switches_and_the_led_mode_are_applied(self):
        # The only enabled level stays enabled.
        self.click_entry(DPI_SWITCH)
        # Level 1 on and current with its value 3 (2000), level 3 on; then LED mode 1.
        self.click_entry(DPI_SWITCH + 1)
        self.click_entry(DPI_SWITCH + 3)
        self.click_entry(DPI_SELECT + 1)
        self.click_entry(FIRST_DPI_CELL + 5 * 1 + 3)
        self.click_entry(COLOUR_TAB)
        colour = read_layout("skin_color_en.ini")
        self.click_entry(1, colour)
        self.apply()
        dump = self.simulator.dump()
        self.assertEqual((dump["dpiLevel"], dump["dpiCode"], dump["ledMode"]), (1, 3, 1))
        profile = self.program.config()["Config1"]
        self.assertEqual([profile[f"DPI_SET_EN{n}"] for n in range(1, 5)], ["1", "1", "0", "1"])
        self.assertEqual((profile["DPI_LEVEL"], profile["DPI_SET2"], profile["LED_STATUS"]),
                         ("1", "3", "1"))


class Tray(MainPage):
    def test_hidden_to_the_tray_and_back_by_double_click(self):
        icon = self.hide_to_tray()
        # A callback for another icon is not the program's: answered 1, nothing done.
        foreign = (hex(TRAY_CALLBACK), hex(TRAY_ICON_ID + 1), hex(WM_LBUTTONDBLCLK))
        self.assertEqual(session().helper("send", *foreign), "1")
        self.assertEqual(session().window_state()["visible"], 0)
        screen_click(*icon, repeat=2)
        wait_for(lambda: session().window_state()["visible"] == 1, "the window to come back")
        wait_for(lambda: self.tray_window() is None, "the tray icon to go")

        # Minimize from the system menu keeps the window on the taskbar, with no tray icon.
        session().helper("send", hex(WM_SYSCOMMAND), hex(SC_MINIMIZE), "0")
        wait_for(lambda: session().window_state() == {"count": 1, "visible": 1, "iconic": 1},
                 "the window to minimise")
        self.assertEqual(session().helper("ping"), "answered")
        self.assertIsNone(self.tray_window())
        self.assertTrue(self.program.running())


class TrayExit(MainPage):
    def test_exit_driver_from_the_owner_drawn_tray_menu(self):
        icon = self.hide_to_tray()
        screen_click(*icon, button=3)
        menu = self.wait_popup("the tray menu", lambda w: (w["x"], w["y"]) == icon)
        left, top = self.program.origin()
        pixels = self.program.grab(menu["x"] - left, menu["y"] - top, menu["width"],
                                   menu["height"])
        self.assertGreater(count_pixels(pixels, lambda p: p == TEAL), 100, "owner-drawn teal")
        # Items of 20 pixels inside the menu's frame: "Exit Driver" is the last.
        frame = (menu["height"] - 20 * TRAY_MENU_ITEMS) // 2
        screen_click(menu["x"] + menu["width"] // 2, menu["y"] + menu["height"] - frame - 10)
        self.program.wait_exit()
        self.assertEqual(self.simulator.reports()[-1][:5], "07 20")


class ChineseTrayExit(TrayExit):
    files = {"config.ini": config_with({1: {}}, language=0)}
    english = False


if __name__ == "__main__":
    unittest.main()
