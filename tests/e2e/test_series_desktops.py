"""A whole series played through the portal while the user puts the window away and
brings it back (to the tray on X11; minimised on a Wayland without a tray host), and
goes full screen and back with the real keys, on the desktops people use: native
Wayland (a headless sway at output scale 2, where every hide destroys the picture's
surface) and X11. The program must not crash, and the picture must come
back by itself after every change: drawn frames keep coming once the window shows.
A screenshot of Wayland playing goes to the build folder."""
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
# "长河落日", as the portal's links carry it; its episodes last 10 s each.
SERIES = "eebovod://101-1-1-%u957F%u6CB3%u843D%u65E5"
EPISODES = 4


class SeriesWalk:
    wayland_scale = None

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        # At scale 2 the output is twice the X screen, so the window has the same room.
        size = "2560x1600" if cls.wayland_scale else "1280x800"
        cls.s = Session(BUILD, size=size, wayland_scale=cls.wayland_scale, tray=cls.wayland_scale is None)
        media = os.path.join(cls.s.tmp, "media")
        os.makedirs(media)
        cls.s.save_into(media)
        # Closing goes to the tray without asking.
        with open(os.path.join(cls.s.home, "config.ini"), "w", newline="") as f:
            f.write("[S_q]\r\nts=1\r\nquit=2\r\n")
        cls.s.start_program()
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 40, "home page")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def player(self):
        return self.s.dump()["player"]

    def episode(self):
        return self.s.ba1()["state"]["CurrentEpisodeKey"]

    def window_visible(self):
        return self.s.ba1()["window"]["qtVisible"]

    def tray_available(self):
        return self.s.dump()["tray"]["available"]

    def press_escape(self):
        # A compositor without a keyboard gets wtype's for as long as wtype runs: the
        # pause lets the program take the keyboard and its focus before the key.
        if self.wayland_scale:
            subprocess.run(["wtype", "-s", "800", "-k", "Escape"], env=dict(os.environ, WAYLAND_DISPLAY=self.s.wayland_display),
                           check=True, timeout=10)
        else:
            self.s.xrun("xdotool", "key", "Escape")

    def assert_drawing(self, after):
        """Frames reach the screen again within a few seconds (unless the episode ends
        meanwhile, which the next step's check covers)."""
        start = self.player()["FramesDrawn"]
        key = self.episode()

        def drawn():
            p = self.player()
            return p["FramesDrawn"] >= start + 5 or self.episode() != key or p["PlayState"] != 3
        self.s.wait_for(drawn, 8, f"the picture comes back after {after}")

    def test_series_with_hide_show_and_full_screen(self):
        self.s.ok(op="link", view="Web1", href=SERIES)
        shot_taken = False
        for n in range(1, EPISODES + 1):
            self.s.wait_for(lambda: self.episode().startswith(f"101-1-{n}-"), 30, f"episode {n}")
            self.s.wait_for(lambda: self.player()["PlayState"] == 3, 15, f"episode {n} plays")
            self.assert_drawing(f"episode {n} starts")
            if self.wayland_scale and not shot_taken:
                shot = os.path.join(SHOTS, "wayland-playing.png")
                self.s.wayland_screenshot(shot)
                spread = subprocess.run(["convert", shot, "-format", "%[fx:standard_deviation]", "info:"],
                                        capture_output=True, text=True, check=True).stdout
                self.assertGreater(float(spread), 0.02, "the screen shows the window, not a flat colour")
                shot_taken = True
            if self.tray_available():
                self.s.ok(op="click", form="BA1", control="npc", index=2)
                self.s.wait_for(lambda: not self.window_visible(), 5, "hidden to the tray")
                time.sleep(0.3)
                self.s.ok(op="tray", button="left")
                self.s.wait_for(self.window_visible, 5, "back from the tray")
                self.assert_drawing("the window came back from the tray")
            # Full screen and back, unless the episode is about to end.
            if self.player()["Position"] <= 6 and self.player()["PlayState"] == 3:
                self.s.ok(op="click", form="BA1", control="bo_but", index=3)
                self.s.wait_for(lambda: self.player()["FullScreen"] or self.player()["PlayState"] != 3, 5,
                                "full screen")
                self.assert_drawing("full screen")
                self.press_escape()
                self.s.wait_for(lambda: not self.player()["FullScreen"], 5, "full screen left")
                self.assert_drawing("leaving full screen")
            self.assertTrue(self.s.program_alive(), f"the program is alive in episode {n}")
        self.s.wait_for(lambda: self.player()["PlayState"] == 3 or not self.episode().startswith(
            f"101-1-{EPISODES}-"), 15, "the last episode plays on")
        self.assertTrue(self.s.program_alive())


class Wayland(SeriesWalk, unittest.TestCase):
    wayland_scale = 2


class X11(SeriesWalk, unittest.TestCase):
    wayland_scale = None


if __name__ == "__main__":
    unittest.main()
