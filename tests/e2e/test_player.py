"""End-to-end tests of playback: the real program under Xvfb plays a local clip
opened through its file dialog, driven through the automation channel. A screenshot
of the playing video is written to the build folder."""
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
SPACE, LEFT, UP, RIGHT, DOWN = 32, 37, 38, 39, 40


class Player(unittest.TestCase):
    """One session walks through a clip's life; the steps build on each other."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.s.start_program()
        # A name with a blank and wide characters, in a folder with a blank.
        folder = os.path.join(cls.s.tmp, "my films")
        os.makedirs(folder)
        cls.clip = os.path.join(folder, "夜色 film.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)  # 60 s

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    # --- helpers ---
    def caption(self, name, index=None):
        return self.s.control(name, index)["caption"]

    def player(self):
        return self.s.dump()["player"]

    def wait_status(self, prefix, timeout=20):
        return self.s.wait_for(lambda: self.caption("zhun").startswith(prefix), timeout, f"status {prefix}")

    def local_list(self):
        with open(os.path.join(self.s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
            return f.read()

    def open_clip(self):
        self.s.ok(op="click", form="BA1", control="bo_but", index=4)
        dialog = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "open-file dialog")[0]
        self.assertEqual(dialog["kind"], "open-file")
        self.assertEqual(dialog["title"], "选择播放文件")
        self.s.ok(op="answer", id=dialog["id"], value=self.clip)

    # --- the walk ---
    def test_1_open_play_pause_seek_volume_mute(self):
        self.open_clip()
        self.wait_status("播放中(")
        self.assertEqual(self.player()["Url"], self.clip)
        self.assertEqual(self.s.control("bo_but", 0)["tooltip"], "暂停")
        self.assertTrue(self.local_list().startswith(f"夜色 film.mp4|{self.clip}|0\r\n"))
        first = self.caption("times")
        self.s.wait_for(lambda: self.caption("times") != first, 5, "time label moves")

        self.s.wait_for(lambda: self.s.control("QvodC")["shown"], 10, "video shown")
        shot = os.path.join(SHOTS, "player-playing.png")
        self.s.ok(op="screenshot", path=shot)
        q = self.s.control("QvodC")
        spread = subprocess.run(
            ["convert", shot, "-crop", f"{q['w']}x{q['h']}+{q['x']}+{q['y']}", "-format",
             "%[fx:standard_deviation]", "info:"], capture_output=True, text=True, check=True).stdout
        self.assertGreater(float(spread), 0.02, "the video area shows a picture, not a flat colour")

        self.s.ok(op="key", code=SPACE)
        self.wait_status("已暂停")
        self.assertEqual(self.player()["PlayState"], 2)
        self.s.ok(op="key", code=SPACE)
        self.wait_status("播放中(")

        before = self.player()["Position"]
        self.s.ok(op="key", code=RIGHT)
        self.assertGreaterEqual(self.s.wait_for(lambda: self.player()["Position"] >= before + 9 and
                                                self.player()["Position"], 5, "seek forward"), before + 9)
        ahead = self.player()["Position"]
        self.s.ok(op="key", code=LEFT)
        self.s.wait_for(lambda: self.player()["Position"] <= ahead - 8, 5, "seek back")

        self.assertEqual(self.player()["Volume"], 100)
        self.s.ok(op="key", code=DOWN)
        self.s.wait_for(lambda: self.player()["Volume"] == 90, 5, "volume down")
        self.assertEqual(self.caption("zhun"), "音量：90%")
        self.s.ok(op="key", code=UP)
        self.s.ok(op="key", code=UP)
        self.s.wait_for(lambda: self.player()["Volume"] == 100, 5, "volume kept at 100")

        self.s.ok(op="click", form="BA1", control="bo_but", index=2)
        self.s.wait_for(lambda: self.player()["Mute"], 5, "muted")
        self.assertEqual(self.s.control("bo_but", 2)["tooltip"], "取消静音")
        self.s.ok(op="click", form="BA1", control="bo_but", index=2)
        self.s.wait_for(lambda: not self.player()["Mute"], 5, "sound back")

    def test_2_stop_saves_the_position_and_play_resumes_there(self):
        self.s.wait_for(lambda: self.player()["Position"] >= 6, 15, "six seconds in")
        # The poll copies the position once a second: the record may lag one second.
        seen = self.player()["Position"]
        self.s.ok(op="click", form="BA1", control="bo_but", index=1)
        self.wait_status("已停止")
        record = self.local_list().split("\r\n")[0]
        name, path, saved = record.split("|")
        self.assertEqual((name, path), ("夜色 film.mp4", self.clip))
        self.assertGreaterEqual(int(saved), seen - 1)

        self.s.ok(op="click", form="BA1", control="bo_but", index=0)
        self.wait_status("播放中(")
        self.s.wait_for(lambda: self.player()["Position"] >= int(saved), 10, "resumed at the saved position")

    def test_3_armed_shutdown_at_the_end_is_requested_once(self):
        self.s.ok(op="click", form="BA1", control="bo_but", index=6)
        self.s.ok(op="menu", item="kaiqi")
        self.s.wait_for(lambda: self.s.control("bo_but", 6)["tooltip"] == "已开启自动关机", 5, "armed")
        # Jump to the last seconds with the right arrow.
        for _ in range(8):
            self.s.ok(op="key", code=RIGHT)
            time.sleep(0.2)
        self.wait_status("播放完毕", 30)
        self.s.wait_for(lambda: self.s.ok(op="power")["calls"], 10, "shutdown requested")
        time.sleep(5)  # the end of an item must not ask twice
        self.assertEqual(self.s.ok(op="power")["calls"], [{"force": True}])
        self.assertTrue(self.s.program_alive(), "the power service is only recorded")


class CommandLine(unittest.TestCase):
    def test_a_file_on_the_command_line_plays_tops_the_local_list_and_stops_where_it_stood(self):
        # The portal keeps the update check (six seconds after the start) waiting five
        # seconds, while playback goes on.
        s = Session(BUILD, portal_args=Session.QUIET_UPDATE_FILE + ("--fault", "wen=delay:5000"))
        try:
            clip = os.path.join(s.tmp, "a b", "片 c.mp4")
            os.makedirs(os.path.dirname(clip))
            shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), clip)
            # Quoted as a desktop passes a path with blanks, with a trailing "/".
            s.start_program(args=[f'"{clip}"/'])
            s.wait_for(lambda: s.control("zhun")["caption"].startswith("播放中("), 20, "playing")
            self.assertEqual(s.dump()["player"]["Url"], clip)
            self.assertEqual(s.control("bo_name")["caption"], "片 c.mp4")
            self.assertEqual(s.ba1()["state"]["CurrentView"], 9)
            self.assertTrue(self.local_list(s).startswith(f"片 c.mp4|{clip}|0\r\n"))

            # A Stop given during that wait runs after it, behind the poll's ticks that
            # came meanwhile: it records where playback stood, not where it stood
            # before the wait.
            seen = s.wait_for(lambda: next((p for p in [s.dump()["player"]["Position"]] if p >= 8), None), 20,
                              "eight seconds in")
            s.ok(op="click", form="BA1", control="bo_but", index=1)
            s.wait_for(lambda: s.control("zhun")["caption"] == "已停止", 15, "stopped")
            self.assertGreaterEqual(int(self.local_list(s).split("\r\n")[0].split("|")[2]), seen - 1)
        finally:
            s.close()

    def test_b_without_a_file_the_player_starts_once_the_portal_page_is_up(self):
        # The portal keeps its home page waiting two seconds.
        s = Session(BUILD, portal_args=Session.QUIET_UPDATE_FILE + ("--fault", "home=delay:2000"))
        try:
            s.start_program()
            maps = f"/proc/{s.program.pid}/maps"
            mpv_loaded = lambda: "/libmpv.so" in open(maps).read()
            self.assertFalse(mpv_loaded(), "libmpv opened before the portal page is up")
            s.wait_for(lambda: s.ok(op="loaded")["loaded"]["Web1"], 20, "home page")
            s.wait_for(mpv_loaded, 10, "libmpv opened")
            # Started in the background, the player plays what the program gives it.
            s.ok(op="click", form="BA1", control="bo_but", index=4)
            dialog = s.wait_for(lambda: s.ok(op="dialogs")["dialogs"], 10, "open-file dialog")[0]
            s.ok(op="answer", id=dialog["id"], value=os.path.abspath(os.path.join(BUILD, "portal-media", "yese-01.mp4")))
            s.wait_for(lambda: s.control("zhun")["caption"].startswith("播放中("), 20, "playing")
        finally:
            s.close()

    @staticmethod
    def local_list(s):
        with open(os.path.join(s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
            return f.read()

if __name__ == "__main__":
    unittest.main(verbosity=2)
