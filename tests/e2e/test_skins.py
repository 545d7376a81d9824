"""End-to-end tests of the skins: the real program under Xvfb switches to the grey
skin through its skin menu with the real pointer, and every painted part of the
player follows, idle and while a clip plays. The screenshots are written to the
build folder."""
import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
# Blue beyond this (mean blue minus mean red, 0-255) is a blue tint: the grey skin's
# colours stay within a few steps of neutral, the blue skin's are well past it.
BLUE_TINT = 6


def mean_colour(shot, c):
    """Mean (r, g, b) of a control's rectangle in a screenshot of the window."""
    out = subprocess.run(
        ["convert", shot, "-crop", f"{c['w']}x{c['h']}+{c['x']}+{c['y']}", "+repage", "-scale", "1x1!",
         "-format", "%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]", "info:"],
        capture_output=True, text=True, check=True).stdout
    return tuple(int(v) for v in out.split())


def spread(shot, c):
    """Standard deviation of a control's rectangle: above a flat colour when it shows a picture."""
    return float(subprocess.run(
        ["convert", shot, "-crop", f"{c['w']}x{c['h']}+{c['x']}+{c['y']}", "-format", "%[fx:standard_deviation]",
         "info:"], capture_output=True, text=True, check=True).stdout)


@unittest.skipUnless(shutil.which("xdotool") and shutil.which("convert"), "needs xdotool and ImageMagick")
class Skins(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.s.start_program()
        cls.s.wait_for(lambda: all(cls.s.ok(op="loaded")["loaded"].values()), 60, "nine views loaded")
        cls.clip = os.path.join(cls.s.tmp, "clip.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def xdotool(self, *args):
        return self.s.xrun("xdotool", *map(str, args))

    def shot(self, name):
        path = os.path.join(SHOTS, name + ".png")
        self.s.ok(op="screenshot", path=path)
        return path

    def assertNotBlue(self, shot, *names):
        for name in names:
            r, g, b = mean_colour(shot, self.s.control(name))
            self.assertLess(b - r, BLUE_TINT, f"{name} is blue: {(r, g, b)} in {shot}")

    def pick_skin_with_the_pointer(self, row):
        """Opens the skin menu from its title-bar button and clicks row 0 or 1 of it."""
        win = self.s.ba1()["window"]
        button = self.s.control("npc", 3)
        self.xdotool("mousemove", "--sync", win["x"] + button["x"] + button["w"] // 2,
                     win["y"] + button["y"] + button["h"] // 2, "click", "1")
        self.s.wait_for(lambda: self.s.dump()["forms"]["tip"]["openMenu"] == "pifu", 10, "skin menu open")
        # The menu is a window of its own that drops from under the button (the
        # program's other windows are the main window and the tray icon).
        below = (win["x"] + button["x"] + button["w"] // 2, win["y"] + button["y"] + button["h"] + 3)
        menu = None
        for wid in self.xdotool("search", "--onlyvisible", "--class", "tavlin").split():
            g = dict(line.split("=") for line in self.xdotool("getwindowgeometry", "--shell", wid).split())
            x, y, w, h = (int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
            if (w, h) != (win["w"], win["h"]) and x <= below[0] < x + w and y <= below[1] < y + h:
                menu = (x, y, w, h)
        self.assertIsNotNone(menu, "the skin menu's window")
        x, y, w, h = menu
        self.xdotool("mousemove", "--sync", x + w // 2, y + h * (2 * row + 1) // 4, "click", "1")

    def test_grey_skin_from_the_menu_repaints_the_player_idle_and_playing(self):
        self.pick_skin_with_the_pointer(1)
        self.s.wait_for(lambda: self.s.ba1()["window"]["skin"] == 1, 10, "grey skin")
        self.s.ok(op="click", form="BA1", control="npc", index=9)
        self.s.wait_for(lambda: self.s.control("adp")["shown"], 10, "idle cover shown")
        idle = self.shot("skin1-idle")
        self.assertNotBlue(idle, "adp", "bo_zt", "gunt", "bo_y", "shan")

        self.s.ok(op="click", form="BA1", control="bo_but", index=4)
        dialog = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "open-file dialog")[0]
        self.s.ok(op="answer", id=dialog["id"], value=self.clip)
        self.s.wait_for(lambda: self.s.control("zhun")["caption"].startswith("播放中("), 20, "playing")
        self.s.wait_for(lambda: self.s.control("QvodC")["shown"], 10, "video shown")
        video = self.s.control("QvodC")
        # The video widget shows before its first frame: wait for a picture in it.
        playing = self.s.wait_for(lambda: (lambda shot: shot if spread(shot, video) > 0.02 else None)(
            self.shot("skin1-playing")), 10, "a frame of the clip")
        self.assertNotBlue(playing, "bo_zt", "gunt", "bo_y", "shan")

        # Back to the blue skin while the clip plays: the same measure sees blue, so
        # it tells the skins apart.
        self.s.ok(op="click", form="BA1", control="npc", index=3)
        self.s.ok(op="menu", item="green")
        self.s.wait_for(lambda: self.s.ba1()["window"]["skin"] == 0, 10, "blue skin")
        blue = self.shot("skin0-playing")
        r, g, b = mean_colour(blue, self.s.control("bo_zt"))
        self.assertGreaterEqual(b - r, BLUE_TINT, (r, g, b))


if __name__ == "__main__":
    unittest.main(verbosity=2)
