"""A local file plays, then an item of the portal's page player: the bar, the keys
and full screen must not bring the hidden file back; the portal receives the title
exactly as the link carried it; the open-file dialog speaks Chinese throughout,
shows every format the player opens and starts in the folder used last."""
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session, escaped  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
TITLE = "夜色温柔"  # item 105, played by the page player
ENGLISH = ("Computer", "Name", "Size", "Type", "Date Modified", "Look in", "Files of type", "File name",
           "Directories", "Open", "Cancel", "Folder")


@unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
class PagePlayer(unittest.TestCase):
    """One session; the steps build on each other."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.films = os.path.join(cls.s.tmp, "films")
        os.makedirs(os.path.join(cls.films, "more"))
        cls.clip = os.path.join(cls.films, "holiday.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)  # 60 s
        cls.s.start_program(args=[cls.clip])
        cls.s.wait_for(lambda: cls.s.control("zhun")["caption"].startswith("播放中("), 30, "playing")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def player(self):
        return self.s.dump()["player"]

    def file_dialog(self):
        return next((d for d in self.s.ok(op="dialogs")["dialogs"] if d["kind"] == "open-file"), None)

    def test_1_the_open_dialog_speaks_chinese_and_starts_where_the_last_file_was(self):
        self.s.click_at("bo_but", 4)
        dialog = self.s.wait_for(self.file_dialog, 10, "the open-file dialog")
        self.assertEqual(dialog["folder"], self.films)
        self.assertTrue(dialog["filter"].startswith("全部影音文件 ("), dialog["filter"])
        for pattern in ("*.mkv", "*.avi", "*.mov", "*.flv", "*.ts", "*.webm", "*.mp4", "*.rmvb"):
            self.assertIn(pattern, dialog["filter"].split("(")[1].rstrip(")").split())
        self.assertEqual(dialog["buttons"], ["打开", "取消"])
        # The list fills in a moment; the folder in it is a "文件夹".
        dialog = self.s.wait_for(lambda: (lambda d: d if "文件夹" in d["texts"] else None)(self.file_dialog()), 5,
                                 "the folder listed as 文件夹")
        for text in dialog["texts"]:
            for word in ENGLISH:
                self.assertNotIn(word, text, dialog["texts"])
        time.sleep(0.5)
        self.s.xrun("import", "-window", "root", os.path.join(SHOTS, "open-file-dialog.png"))

        # A folder's name typed: Qt puts its own word on the button; the program's stays.
        self.s.xrun("xdotool", "type", "--delay", "30", "more")
        time.sleep(0.5)
        self.assertEqual(self.file_dialog()["buttons"], ["打开", "取消"])
        self.s.xrun("xdotool", "key", "Return")
        self.s.wait_for(lambda: self.file_dialog()["folder"] == os.path.join(self.films, "more"), 5, "into the folder")
        self.assertEqual(self.file_dialog()["buttons"], ["打开", "取消"])
        # The first Escape may only close the name completion's list.
        for _ in range(3):
            self.s.xrun("xdotool", "key", "Escape")
            time.sleep(0.7)
            if self.file_dialog() is None:
                break
        self.assertIsNone(self.file_dialog(), "Escape closes the dialog")
        self.assertEqual(self.player()["PlayState"], 3, "cancelled, the film plays on")

    def test_2_the_page_player_leaves_the_hidden_file_stopped(self):
        self.s.wait_for(lambda: self.player()["Position"] >= 3, 10, "a few seconds played")
        self.s.portal("/__control/clear")
        self.s.ok(op="link", view="Web1", href=f"eebovod://105-1-1-{escaped(TITLE)}")
        self.s.wait_for(lambda: self.s.ba1()["state"]["PlaysInPage"] == 1, 10, "the page player")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web2"], 20, "the page player's page")
        self.assertEqual(self.player()["PlayState"], 1, "the file is stopped")
        with open(os.path.join(self.s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
            record = f.read().split("\r\n")[0].split("|")
        self.assertEqual(record[1], self.clip)
        self.assertGreaterEqual(int(record[2]), 2, "the file keeps its place in its list")

        # The bar's play button, space, the arrows and full screen, as a user would.
        self.s.click_at("bo_but", 0)
        self.s.xrun("xdotool", "key", "space", "Right", "Up")
        self.s.click_at("bo_but", 3)
        time.sleep(1.5)
        player = self.player()
        self.assertEqual(player["PlayState"], 1, "the hidden file must not play behind the page")
        self.assertFalse(player["FullScreen"])
        self.assertEqual(self.s.control("bo_but", 0)["tooltip"], "播放")
        self.assertTrue(self.s.control("Pic2")["shown"])
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, "page-player.png"))

    def test_3_the_portal_gets_the_title_as_the_link_carried_it(self):
        requests = self.s.portal("/__control/requests").splitlines()
        key = f"105-1-1-{escaped(TITLE)}"
        self.assertIn(f"/soft/play.htm?{key}", requests)
        self.assertIn(f"/soft/pp.htm?{key}-0", requests)
        self.assertFalse([r for r in requests if "%25u" in r], requests)
        # The view reports the address as asked for.
        self.assertEqual(self.s.ba1()["views"]["Web5"], f"{self.s.portal_base}pp.htm?{key}-0")


if __name__ == "__main__":
    unittest.main()
