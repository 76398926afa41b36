"""The window at 150 % display scale (a prefix at 144 DPI): the whole skin is drawn at that
scale, and clicks at the scaled places do what they do at 96 DPI."""

import unittest

from harness import (Program, Simulator, centre, main_layout, scaled, scaled_session)

DPI = 144
APPLY = 3
PROFILE_2 = 5
LEVEL_2_VALUE_3 = 60 + 5 * 1 + 3
WINDOW = (780, 560)


def config():
    profile = ("K1=1\r\nK2=2\r\nK3=3\r\nK4=5\r\nK5=4\r\nK6=6\r\nDPI_LEVEL=1\r\nWHEEL_STATUS=0\r\n"
               "MACRO_MODE2=0\r\nDPI_SET1=1\r\nDPI_SET_EN1=1\r\nDPI_SET2=2\r\nDPI_SET_EN2=1\r\n"
               "DPI_SET3=4\r\nDPI_SET_EN3=1\r\nDPI_SET4=0\r\nDPI_SET_EN4=1\r\nLED_STATUS=0\r\n"
               "DPI_SPEED=4\r\nWHEEL_SPEED=2\r\nFIRE_TIME=50\r\n")
    return (f"[Init]\r\nCurConfig=1\r\nVER_SEL=1\r\n\r\n[Config1]\r\n{profile}"
            f"\r\n[Config2]\r\n{profile.replace('K3=3', 'K3=2')}")


class AtOneAndAHalfTimes(unittest.TestCase):
    def test_a_profile_a_dpi_cell_and_apply_at_their_scaled_places(self):
        simulator = Simulator()
        self.addCleanup(simulator.close)
        program = Program({"config.ini": config()}, where=scaled_session(DPI))
        self.addCleanup(program.stop)
        program.start(simulator)
        simulator.wait_for_reports(9, "the first apply")
        layout = main_layout()

        # The whole window is at the scale.
        self.assertEqual(program.geometry()[2:], scaled((0, 0) + WINDOW, DPI)[2:])

        program.click(*centre(scaled(layout[PROFILE_2], DPI)))
        program.click(*centre(scaled(layout[LEVEL_2_VALUE_3], DPI)))
        simulator.command("clear-log")
        program.click(*centre(scaled(layout[APPLY], DPI)))
        reports = [r[:11] for r in simulator.wait_for_reports(9, "the applied profile")]
        self.assertEqual(len(reports), 9)
        self.assertIn("07 10 03 02", reports)  # profile 2's button 3
        dump = simulator.dump()
        self.assertEqual((dump["dpiLevel"], dump["dpiCode"]), (1, 3))
        self.assertEqual(program.config()["Init"]["CurConfig"], "2")


if __name__ == "__main__":
    unittest.main()
