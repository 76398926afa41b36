"""The settings as a whole and the lighting page, as a user drives them: the reset to factory
settings, a settings file exported and imported back, the language switched there and back while
the advanced page shows, and the colour page's preview playing each applied LED mode."""

import time
import unittest

from harness import (CHINESE_TITLE, ENGLISH_TITLE, ROOT, advanced_layout, centre, main_layout,
                     read_ini, read_layout, session, wait_for)
from test_advanced_page import ADVANCED_TAB, RECORD, AdvancedPage
from test_main_page import (COLOUR_TAB, DEFAULT_PROFILE, DPI_SELECT, MainPage, config_with,
                            screen_click, xdotool)

# Entries of the main page common to every page.
IMPORT, EXPORT, RESET, CHINESE, ENGLISH = 14, 15, 16, 17, 18
PREVIEW = 11  # the colour page's preview area
FIRE_TIME_STEP = 8  # milliseconds per unit of the fire report


def shipped_config(current, changes):
    """The shipped config.ini with profile `current` current and some keys of its profiles
    changed: {section: {key: value}}."""
    text = (ROOT / "data" / "config.ini").read_bytes().decode("ascii")
    text = text.replace("CurConfig=1", f"CurConfig={current}")
    for section, keys in changes.items():
        head = text.index(f"[{section}]")
        end = text.find("\r\n[", head)
        end = len(text) if end < 0 else end
        body = text[head:end]
        for key, value in keys.items():
            at = body.index(f"\r\n{key}=") + 2
            body = body[:at] + f"{key}={value}" + body[body.index("\r\n", at):]
        text = text[:head] + body + text[end:]
    return text


class Reset(MainPage):
    files = {"config.ini": shipped_config(3, {"Config2": {"FIRE_TIME": 100},
                                              "Config3": {"K4": 1, "LED_STATUS": 3,
                                                          "FIRE_TIME": 200},
                                              "Config5": {"K1": 3}})}

    def test_every_profile_gets_its_factory_settings_and_the_mouse_the_current_ones(self):
        self.click_entry(RESET)
        self.simulator.wait_for_reports(9, "the reset profile applied")
        config = self.program.config()
        self.assertEqual(config["Init"]["CurConfig"], "3")
        self.assertEqual(config["Config1"], {k: str(v) for k, v in DEFAULT_PROFILE.items()})
        for slot in (2, 3, 4):
            self.assertEqual(config[f"Config{slot}"], config[f"CfgReset{slot}"], f"profile {slot}")
        self.assertEqual(config["Config5"], config["CfgReset_EN5"], "English: profile 5")
        factory = config["CfgReset3"]
        dump = self.simulator.dump()
        self.assertEqual(dump["fire"], int(factory["FIRE_TIME"]) // FIRE_TIME_STEP)
        self.assertEqual(dump["ledMode"], int(factory["LED_STATUS"]))
        self.assertEqual(dump["buttons"][3]["hardwareCode"], 31, "K4 is a host function again")


class SettingsFile(MainPage):
    def test_an_exported_file_imports_back_the_unapplied_edits_and_sends_nothing(self):
        self.click_entry(EXPORT)
        self.file_dialog("Save As", "mine")
        exported = self.program.folder / "mine.ini"
        wait_for(exported.exists, "the exported file")
        self.assertEqual(read_ini(exported)["Config7"]["DPI_LEVEL"], "0")

        self.simulator.command("clear-log")
        self.click_entry(DPI_SELECT + 2)
        self.click_entry(IMPORT)
        self.file_dialog("Open", "mine.ini")
        self.assertEqual(self.simulator.dump()["log"], [], "neither the edit nor the import sent")
        self.apply()
        self.assertEqual(self.simulator.dump()["dpiLevel"], 0, "the level is back")
        self.assertEqual(self.program.config()["Config1"]["DPI_LEVEL"], "0")


class LanguageSwitch(AdvancedPage):
    def look(self, english):
        """What the user sees of the language: the title, two labels, the macros, the tray menu."""
        title = xdotool("getwindowname", self.program.window()).stdout.strip()
        xdotool("mousemove", "--window", self.program.window(), 390, 540)  # hovers nothing
        labels = [self.steady_grab(main_layout(english)[ADVANCED_TAB]),
                  self.steady_grab(advanced_layout(english)[RECORD])]
        macros = self.macros()
        icon = self.hide_to_tray()
        screen_click(*icon, button=3)
        menu = self.wait_popup("the tray menu", lambda w: (w["x"], w["y"]) == icon)
        left, top = self.program.origin()
        tray_menu = self.program.grab(menu["x"] - left, menu["y"] - top, menu["width"],
                                      menu["height"])
        xdotool("key", "Escape")
        self.wait_no_popups("the tray menu to close")
        screen_click(*icon, repeat=2)
        wait_for(lambda: session().window_state()["visible"] == 1, "the window to come back")
        return {"title": title, "labels": labels, "macros": macros, "tray menu": tray_menu}

    def steady_grab(self, rect):
        """The pixels of `rect` once the window has repainted it: two grabs alike."""
        grabs = [None, self.program.grab(*rect)]

        def settled():
            time.sleep(0.1)
            grabs[:] = [grabs[1], self.program.grab(*rect)]
            return grabs[0] == grabs[1]

        wait_for(settled, "the window to repaint")
        return grabs[1]

    def switch(self, entry, english):
        self.click_entry(entry, main_layout(not english))
        wait_for(lambda: self.program.config()["Init"]["VER_SEL"] == ("1" if english else "0"),
                 "VER_SEL written")
        title = ENGLISH_TITLE if english else CHINESE_TITLE
        wait_for(lambda: xdotool("getwindowname", self.program.window()).stdout.strip() == title,
                 "the title")

    def test_there_and_back_while_the_advanced_page_shows(self):
        english = self.look(True)
        self.switch(CHINESE, False)
        chinese = self.look(False)
        self.switch(ENGLISH, True)
        back = self.look(True)
        self.assertEqual(chinese["title"], CHINESE_TITLE)
        for part in english:
            self.assertNotEqual(chinese[part], english[part], part)
            self.assertEqual(back[part], english[part], part)


def sample_preview(program, seconds):
    """The preview area's look every few hundred milliseconds: "off" for the grey picture, else
    the mean colour of its glow."""
    x, y, width, height = read_layout("skin_color_en.ini")[PREVIEW]
    looks = []
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        glow = [p for row in program.grab(x, y, width, height) for p in row
                if max(p) - min(p) > 80]
        if len(glow) < 200:
            looks.append("off")
        else:
            looks.append(tuple(sum(p[c] for p in glow) // len(glow) for c in range(3)))
        time.sleep(0.2)
    return looks


class ColourPreview(MainPage):
    mode = 0

    def setUp(self):
        self.files = {"config.ini": config_with({1: {"LED_STATUS": self.mode}})}
        super().setUp()
        self.click_entry(COLOUR_TAB)


class SteadyPreview(ColourPreview):
    mode = 2

    def test_lit_steadily_in_the_colour_of_the_current_level(self):
        # The page paints some time after the tab's click: it is judged once it is lit.
        wait_for(lambda: sample_preview(self.program, 0.1) not in ([], ["off"]), "the lit preview")
        looks = sample_preview(self.program, 4)
        self.assertEqual(len(set(looks)), 1, looks)
        red, green, blue = looks[0]
        self.assertGreater(blue, red, "level 1 is blue")


class UnlitPreview(ColourPreview):
    mode = 3

    def test_grey_until_another_mode_is_applied(self):
        # The page paints some time after the tab's click, over the main page's picture.
        wait_for(lambda: sample_preview(self.program, 0.1) == ["off"], "the grey preview")
        self.assertEqual(set(sample_preview(self.program, 3)), {"off"})
        self.click_entry(2, read_layout("skin_color_en.ini"))  # steady, not yet applied
        self.assertEqual(set(sample_preview(self.program, 2)), {"off"})
        self.apply()
        wait_for(lambda: sample_preview(self.program, 0.1) != ["off"], "the applied mode")


class BreathingPreview(ColourPreview):
    mode = 0

    def test_lit_and_unlit_alternate_and_the_colour_moves_on(self):
        looks = sample_preview(self.program, 6)
        lit = [look for look in looks if look != "off"]
        self.assertIn("off", looks)
        self.assertGreaterEqual(len(set(lit)), 2, looks)


if __name__ == "__main__":
    unittest.main()
