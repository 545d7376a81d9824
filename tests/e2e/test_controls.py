"""End-to-end tests of the player's controls with the real pointer and keys (xdotool)
under a window manager: the seek bar shows where the item stands on both skins,
follows the pointer while held and seeks where it is let go; the wheel works on the
bars and the picture; names show whole on hover; the window moves by its caption and
compact mode gives way to Esc; the notices read. Screenshots of the seek bar go to
the build folder. The arithmetic behind them is the core's tests' business."""
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
LONG_NAME = "我的长长的中文影片名字测试一下看看后面还有什么 my holiday clip 2026.mp4"


def pixels(shot, x, y, w, h):
    """Rows of (r, g, b) of a rectangle of a screenshot."""
    raw = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                         capture_output=True, check=True).stdout
    px = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return [px[r * w:(r + 1) * w] for r in range(h)]


def distance(a, b):
    return sum(abs(p - q) for p, q in zip(a, b))


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def seconds(label):
    """The first time of a label "MM:SS / MM:SS" in seconds."""
    m, s = label.split(" / ")[0].split(":")
    return int(m) * 60 + int(s)


@unittest.skipUnless(shutil.which("xdotool") and shutil.which("convert"), "needs xdotool and ImageMagick")
class Controls(unittest.TestCase):
    """One session: the steps build on each other."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD, window_manager="openbox")
        cls.s.start_program()
        cls.clip = os.path.join(cls.s.tmp, LONG_NAME)
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)  # 60 s

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    # --- helpers ---
    def xdo(self, *args):
        return self.s.xrun("xdotool", *map(str, args))

    def c(self, name, index=None):
        return self.s.control(name, index)

    def player(self):
        return self.s.dump()["player"]

    def screen_of(self, name, index=None, dx=0, dy=0):
        w = self.s.ba1()["window"]
        c = self.c(name, index)
        return w["x"] + c["x"] + dx, w["y"] + c["y"] + dy

    def shot(self, name):
        path = os.path.join(SHOTS, name + ".png")
        self.s.ok(op="screenshot", path=path)
        return path

    def track_point(self, share):
        """Screen point on the seek track at a share of its length (thumb middle)."""
        g, t = self.c("gunt"), self.c("gunt1")
        x, y = self.screen_of("gunt", dx=t["w"] // 2 + round(share * (g["w"] - t["w"])), dy=3)
        return x, y

    def wait_playing(self):
        self.s.wait_for(lambda: self.c("zhun")["caption"].startswith("播放中("), 20, "playing")

    def check_seek_bar_shows_the_position(self, shot, label):
        """Pixel check: a light thumb stands out on the row, the played part left of it
        has the played colour and differs from what lies right of it."""
        g, t, played = self.c("gunt"), self.c("gunt1"), self.c("played")
        row = pixels(shot, g["x"], g["y"] + 3, g["w"], 1)[0]
        thumb = row[t["x"] - g["x"] + t["w"] // 2 - 3]  # left of the thumb's accent mark
        left = row[max(t["x"] - g["x"] - 6, 1)]
        right = row[min(t["x"] - g["x"] + t["w"] + 6, g["w"] - 2)]
        self.assertGreaterEqual(min(thumb), 200, f"{label}: the thumb is light: {thumb}")
        self.assertLess(distance(left, hex_rgb(played["back"])), 30, f"{label}: played part {left}")
        self.assertGreater(distance(left, right), 90, f"{label}: played {left} vs rest {right}")
        self.assertGreater(distance(thumb, left), 150, f"{label}: thumb {thumb} on played {left}")
        self.assertGreater(distance(thumb, right), 150, f"{label}: thumb {thumb} on the rest {right}")

    # --- the walk ---
    def test_1_seek_bar_shows_the_position_on_both_skins(self):
        self.s.ok(op="click", form="BA1", control="bo_but", index=4)
        dialog = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "open-file dialog")[0]
        self.s.ok(op="answer", id=dialog["id"], value=self.clip)
        self.wait_playing()
        # A real click in the middle of the track seeks there, not two seconds before.
        x, y = self.track_point(0.5)
        self.xdo("mousemove", "--sync", x, y, "click", "1")
        self.s.wait_for(lambda: 30 <= self.player()["Position"] <= 32, 5, "at the middle")
        self.xdo("mousemove", "--sync", 5, 5)  # no hover frames in the picture
        time.sleep(1.2)
        shot = self.shot("seekbar-50")
        g = self.c("gunt")
        # The bar with the time label above it, eight times enlarged.
        subprocess.run(["convert", shot, "-crop", f"{g['w']}x{g['h'] + 26}+{g['x']}+{g['y'] - 26}", "+repage",
                        "-filter", "point", "-resize", "800%", os.path.join(SHOTS, "seekbar-50-zoom.png")], check=True)
        self.s.ok(op="key", code=32)  # paused: the pixels stay where the dump says
        self.s.wait_for(lambda: self.c("zhun")["caption"] == "已暂停", 5, "paused")
        time.sleep(1.2)
        self.check_seek_bar_shows_the_position(self.shot("seekbar-50-blue"), "blue skin")
        self.s.ok(op="menu", item="blue")
        self.s.wait_for(lambda: self.s.ba1()["window"]["skin"] == 1, 5, "grey skin")
        time.sleep(0.5)
        self.check_seek_bar_shows_the_position(self.shot("seekbar-50-grey"), "grey skin")
        self.s.ok(op="menu", item="green")
        self.s.ok(op="key", code=32)
        self.wait_playing()

    def test_2_a_held_thumb_follows_the_pointer_and_seeks_where_let_go(self):
        x0, y = self.track_point(0.2)
        x1, _ = self.track_point(0.75)
        self.xdo("mousemove", "--sync", x0, y, "mousedown", "1")
        for step in range(1, 6):
            self.xdo("mousemove", "--sync", x0 + (x1 - x0) * step // 5, y)
        time.sleep(2.5)  # longer than the poll's beat: nothing snaps back
        times = self.c("times")["caption"]
        self.assertLessEqual(abs(seconds(times) - 45), 1, times)
        thumb = self.c("gunt1")
        w = self.s.ba1()["window"]
        self.assertLessEqual(abs(w["x"] + thumb["x"] + thumb["w"] // 2 - x1), 1, "thumb under the pointer")
        shot = self.shot("seekbar-drag")
        q = self.c("qvod")
        # The time label in the shot reads the time under the thumb: the crop is kept
        # for a person to look at.
        subprocess.run(["convert", shot, "-crop", f"{q['w']}x60+{q['x']}+{q['y'] + q['h'] - 60}", "+repage",
                        "-filter", "point", "-resize", "300%", os.path.join(SHOTS, "seekbar-drag-zoom.png")],
                       check=True)
        self.xdo("mouseup", "1")
        self.s.wait_for(lambda: 44 <= self.player()["Position"] <= 47, 5, "seeked to where the thumb was let go")

    def test_3_the_wheel_turns_the_volume_and_seeks(self):
        # The wheel: two notches down on the bar, one up over the picture.
        self.xdo("mousemove", "--sync", *self.screen_of("yin", dx=20, dy=10))
        self.xdo("click", "5")
        self.xdo("click", "5")
        self.s.wait_for(lambda: self.player()["Volume"] == 90, 5, "wheel on the bar")
        self.xdo("mousemove", "--sync", *self.screen_of("QvodC", dx=100, dy=100))
        self.xdo("click", "4")
        self.s.wait_for(lambda: self.player()["Volume"] == 95, 5, "wheel on the picture")
        # Over the seek bar, ten seconds a notch.
        x, y = self.track_point(0.3)
        self.xdo("mousemove", "--sync", x, y, "click", "1")
        self.s.wait_for(lambda: 18 <= self.player()["Position"] <= 20, 5, "at 18 s")
        before = self.player()["Position"]
        self.xdo("click", "4")
        self.s.wait_for(lambda: before + 9 <= self.player()["Position"] <= before + 12, 5, "wheel up on the seek bar")
        self.xdo("click", "5")
        self.xdo("click", "5")
        self.s.wait_for(lambda: self.player()["Position"] <= before, 5, "wheel down on the seek bar")

    def test_4_the_whole_name_shows_on_hover(self):
        name = self.c("bo_name")
        self.assertNotEqual(name["caption"], LONG_NAME)
        self.xdo("mousemove", "--sync", *self.screen_of("bo_name", dx=10, dy=5))
        self.xdo("mousemove", "--sync", *self.screen_of("bo_name", dx=12, dy=6))
        self.s.wait_for(lambda: self.s.ba1()["window"]["toolTip"] == LONG_NAME, 10, "title tool tip")
        # The local list's row, cut to its width, shows the whole name too.
        self.xdo("mousemove", "--sync", *self.screen_of("Web4", dx=40, dy=12))
        self.xdo("mousemove", "--sync", *self.screen_of("Web4", dx=42, dy=13))
        self.s.wait_for(lambda: self.s.ba1()["window"]["toolTip"] == LONG_NAME, 10, "list row tool tip")

    def test_5_caption_moves_the_window_and_esc_leaves_compact_mode(self):
        w = self.s.ba1()["window"]
        x, y = self.screen_of("ni_name", dx=10, dy=6)
        self.xdo("mousemove", "--sync", x, y, "mousedown", "1")
        for step in range(1, 9):
            self.xdo("mousemove", "--sync", x + 1 + 79 * step // 8, y + 1 + 39 * step // 8)
            if step == 1:
                # The first move hands the drag to the window manager; on a loaded
                # machine moves made before it has the pointer would go unseen.
                time.sleep(0.3)
        self.xdo("mouseup", "1")
        self.s.wait_for(lambda: (self.s.ba1()["window"]["x"] - w["x"], self.s.ba1()["window"]["y"] - w["y"]) ==
                        (80, 40), 5, "moved by the caption")

        self.s.click_at("npc", 15)
        self.s.wait_for(lambda: self.s.ba1()["state"]["CompactMode"] == 1, 5, "compact mode")
        self.assertEqual(self.c("jbi")["tooltip"], "还原")
        self.xdo("mousemove", "--sync", *self.screen_of("jbi", dx=4, dy=8))
        self.xdo("mousemove", "--sync", *self.screen_of("jbi", dx=5, dy=9))
        self.s.wait_for(lambda: self.s.ba1()["window"]["toolTip"] == "还原", 10, "restore tool tip")
        self.xdo("mousemove", "--sync", *self.screen_of("QvodC", dx=50, dy=50), "click", "1")
        self.xdo("key", "Escape")
        self.s.wait_for(lambda: self.s.ba1()["state"]["CompactMode"] == 0, 5, "Esc leaves compact mode")


def contrast(a, b):
    def lum(c):
        lin = [v / 255 / 12.92 if v / 255 <= 0.03928 else ((v / 255 + 0.055) / 1.055) ** 2.4 for v in c]
        return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]
    x, y = lum(a), lum(b)
    return (max(x, y) + 0.05) / (min(x, y) + 0.05)


@unittest.skipUnless(shutil.which("convert"), "needs ImageMagick")
class Notice(unittest.TestCase):
    """The portal's notices on the title band read on both skins."""

    def test_the_notice_reads_on_both_skins(self):
        s = Session(BUILD, portal_args=("--wen-notices", "1", "--wen-fudong", "0", "--wen-playerad", "0"))
        try:
            s.start_program()
            for skin, item in ((0, "green"), (1, "blue")):
                s.ok(op="menu", item=item)
                s.wait_for(lambda: s.ba1()["window"]["skin"] == skin, 5, "skin")
                c = s.wait_for(lambda: next((c for c in s.ba1()["controls"] if c["name"] == "Lab2" and c["shown"]),
                                            None), 20, "a notice shown")
                time.sleep(0.3)
                shot = os.path.join(SHOTS, f"notice-skin{skin}.png")
                s.ok(op="screenshot", path=shot)
                c = next(x for x in s.ba1()["controls"] if x["name"] == c["name"] and x["index"] == c["index"])
                area = [p for row in pixels(shot, c["x"], c["y"], c["w"], c["h"]) for p in row]
                ground = max(set(area), key=area.count)
                ink = min(area, key=sum)
                self.assertEqual(ground, hex_rgb(c["back"]))
                self.assertLess(distance(ink, hex_rgb(c["fore"])), 40, "the notice keeps its colour")
                self.assertGreaterEqual(contrast(ink, ground), 4.5, f"skin {skin}: {ink} on {ground}")
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
