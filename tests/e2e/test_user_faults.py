"""What a user meets in the first minutes, driven with the real pointer and real
keys (xdotool) where the fault can live in the Qt layer: titles that fit, tooltips,
keys after a click in the side panel, full screen, and quitting once."""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
SCREEN = (1280, 800)


@unittest.skipUnless(shutil.which("xdotool") and shutil.which("xwininfo"), "needs xdotool and xwininfo")
class UserFaults(unittest.TestCase):
    """One session; the steps build on each other, the last one quits."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.clip = os.path.join(cls.s.tmp, "hq.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)  # 60 s
        # A local list longer than its view: the page scrolls on space and arrows.
        with open(os.path.join(cls.s.home, "date_f.dat"), "w", encoding="utf-8", newline="") as f:
            f.write("".join(f"film {i}.mp4|/films/film {i}.mp4|0\r\n" for i in range(80)))
        cls.s.start_program(args=[cls.clip])
        cls.s.wait_for(lambda: cls.s.control("zhun")["caption"].startswith("播放中("), 20, "playing")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    # --- helpers ---
    def key(self, name):
        self.s.xrun("xdotool", "key", name)

    def play_state(self):
        return self.s.dump()["player"]["PlayState"]

    def window_size(self):
        """The main window's size as the X server has it."""
        wid = self.s.xrun("xdotool", "search", "--onlyvisible", "--name", "^Tavlin 3.0$", check=False).split()
        if not wid:
            return None
        info = self.s.xrun("xwininfo", "-id", wid[0])
        field = {k.strip(): v.strip() for k, v in (l.split(":", 1) for l in info.splitlines() if ":" in l)}
        return int(field["Width"]), int(field["Height"])

    def screen_shot(self, name):
        path = os.path.join(SHOTS, name)
        self.s.xrun("import", "-window", "root", path)
        return path

    # --- the walk ---
    def test_1_titles_are_sized_to_their_real_text(self):
        for name in ("bo_name", "times", "zhun", "qk", "ni_name"):
            c = self.s.control(name)
            if not c["caption"] or not c["autoSize"]:
                continue
            self.assertGreaterEqual(c["w"], c["textWidth"], f"{name} {c['caption']!r} is clipped")
        self.assertEqual(self.s.control("bo_name")["caption"], "hq.mp4")

    def test_2_hovering_a_player_button_shows_its_tooltip(self):
        self.s.point_at("bo_but", 6)
        self.s.wait_for(lambda: self.s.ba1()["window"]["toolTip"] == "计划关机", 5, "tooltip of the shutdown button")
        self.screen_shot("tooltip.png")
        self.s.point_at("bo_but", 0)
        self.s.wait_for(lambda: self.s.ba1()["window"]["toolTip"] == "暂停", 5, "tooltip of the play button")

    def test_3_keys_reach_the_player_after_a_click_in_the_side_panel(self):
        self.assertEqual(self.s.ba1()["state"]["CurrentView"], 9)
        # On the page's scroll bar: a click on an entry would play it.
        web4 = self.s.control("Web4")
        self.s.click_at("Web4", dx=web4["w"] - 5, dy=web4["h"] - 30)
        self.key("space")
        self.s.wait_for(lambda: self.play_state() == 2, 5, "space paused the film")
        self.key("space")
        self.s.wait_for(lambda: self.play_state() == 3, 5, "space resumed the film")

    def test_4_keys_typed_into_a_page_stay_with_the_page(self):
        self.s.ok(op="click", form="BA1", control="npc", index=8)
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web1"], 20, "home page")
        self.s.click_at("Web1", dx=200, dy=120)
        self.key("space")
        self.key("Left")
        time.sleep(1.5)
        self.assertEqual(self.play_state(), 3, "the film plays on")
        self.s.ok(op="click", form="BA1", control="npc", index=9)

    def test_5_full_screen_covers_the_screen_and_leaves_with_escape(self):
        normal = self.window_size()
        self.s.wait_for(lambda: self.s.control("bo_but", 3)["shown"], 5, "play view")
        self.s.click_at("bo_but", 3)
        self.s.wait_for(lambda: self.window_size() == SCREEN, 5, "full screen")
        self.s.wait_for(lambda: self.s.dump()["player"]["FullScreen"], 5, "player in full screen")
        time.sleep(1.5)  # the poll mirrors the form meanwhile
        shot = self.screen_shot("fullscreen-playing.png")
        spread = subprocess.run(["convert", shot, "-crop", "400x300+440+250", "-format", "%[fx:standard_deviation]",
                                 "info:"], capture_output=True, text=True, check=True).stdout
        self.assertGreater(float(spread), 0.02, "the video fills the middle of the screen")
        self.key("space")
        self.s.wait_for(lambda: self.play_state() == 2, 5, "paused in full screen")
        time.sleep(1.5)
        self.assertEqual(self.window_size(), SCREEN)
        self.key("space")
        self.s.wait_for(lambda: self.play_state() == 3, 5, "playing in full screen")
        self.key("Escape")
        self.s.wait_for(lambda: self.window_size() == normal, 5, "back from full screen")
        self.assertFalse(self.s.dump()["player"]["FullScreen"])

    def test_6_quitting_from_the_menu_asks_nothing_and_ends_once(self):
        with open(os.path.join(self.s.home, "config.ini"), encoding="utf-8") as f:
            settings = f.read()
        self.s.ok(op="menu", item="qsoft")
        end = time.time() + 10
        while time.time() < end and self.s.program_alive():
            try:
                self.assertEqual(self.s.ok(op="dialogs")["dialogs"], [], "no question on the way out")
            except (ConnectionError, OSError):
                break
            time.sleep(0.1)
        self.s.program.wait(10)
        self.assertEqual(self.s.program.returncode, 0)
        with open(os.path.join(self.s.home, "config.ini"), encoding="utf-8") as f:
            self.assertEqual(f.read(), settings, "the close setting is left alone")


if __name__ == "__main__":
    unittest.main(verbosity=2)
