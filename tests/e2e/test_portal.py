"""The program's main road against the demo portal: a click on a play link with the
real pointer plays the episode beside its page, the next episode is fetched ahead and
started from disk when the first ends, the episode request's faults are reported, and
the list pages replay, delete and clear entries."""
import os
import shutil
import sys
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
TITLE = "长河落日"
# Where the home page's "立即播放" button sits in the window at its first-start size.
PLAY_NOW = (255, 329)


@unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
class Portal(unittest.TestCase):
    """One session; the steps build on each other."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.media = os.path.join(cls.s.tmp, "media")
        os.makedirs(cls.media)
        cls.s.save_into(cls.media)
        cls.s.start_program()
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 30, "home page")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    # --- helpers ---
    def state(self):
        return self.s.ba1()["state"]

    def player(self):
        return self.s.dump()["player"]

    def history(self):
        with open(os.path.join(self.s.home, "date.dat"), encoding="utf-8", newline="") as f:
            return f.read()

    def requests(self):
        return self.s.portal("/__control/requests").splitlines()

    def stop(self):
        self.s.ok(op="click", form="BA1", control="bo_but", index=1)
        self.s.wait_for(lambda: self.s.control("zhun")["caption"] == "已停止", 5, "stopped")

    def shot(self, name):
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, name))

    def escaped_title(self):
        return "".join(f"%u{ord(c):04X}" for c in TITLE)

    # --- the walk ---
    def test_1_play_now_on_the_home_page(self):
        web1 = self.s.control("Web1")
        self.s.portal("/__control/clear")
        self.s.click_at("Web1", dx=PLAY_NOW[0] - web1["x"], dy=PLAY_NOW[1] - web1["y"])
        self.s.wait_for(lambda: self.state()["CurrentEpisodeKey"].startswith("101-1-1-"), 10, "the episode starts")
        self.s.wait_for(lambda: self.s.control("zhun")["caption"].startswith("播放中("), 20, "playing")
        self.assertTrue(self.s.control("bo_name")["caption"].startswith(TITLE + "-"))
        # The engine writes a "%u" escape as "%25u"; the portal reads the item by its id.
        # A page the view was still loading from before may report its address first.
        episode_page = f"{self.s.portal_base}pp.htm?101-1-1-{self.escaped_title()}-0"
        self.s.wait_for(lambda: urllib.parse.unquote(self.s.ba1()["views"]["Web5"]) == episode_page, 10,
                        "the episode page beside the player")
        self.assertTrue(self.history().startswith(f"101|{self.escaped_title()}|"), self.history())
        self.assertEqual(self.state()["PlaySource"], 1)
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web5"], 20, "episode page")
        self.shot("portal-playing.png")

    def test_2_next_episode_is_fetched_ahead_and_starts_from_disk(self):
        self.s.wait_for(lambda: self.state()["NextPrefetchStarted"] == 1 and
                        self.state()["NextEpisodeUrl"].startswith("qvod://"), 15, "the next episode resolved")
        self.assertIn("/soft/h.asp?id=101&v=1&v1=2", self.requests())
        name = self.state()["NextEpisodeUrl"].split("|")[2]
        self.s.wait_for(lambda: os.path.exists(os.path.join(self.media, name)), 15, "the next episode on disk")
        # The first one ends (10 s), the next one plays: from the file fetched ahead.
        self.s.wait_for(lambda: self.state()["CurrentEpisodeKey"].startswith("101-1-2-"), 20, "the next episode")
        self.s.wait_for(lambda: self.player()["PlayState"] == 3, 10, "the next episode plays")
        self.assertEqual(self.player()["Opened"], os.path.join(self.media, name))
        self.assertTrue(self.s.control("bo_name")["caption"].startswith(TITLE + "-"))
        self.assertTrue(self.history().startswith("101|"))

    def test_3_episode_request_faults_are_reported(self):
        # Stopped: the end of an episode would start the next one meanwhile.
        self.stop()
        link = f"eebovod://102-1-1-{self.escaped_title()}"
        def reported():
            return self.s.ok(op="balloons")["balloons"].count("读取数据出错，请返回重试！")

        def asked():
            return self.s.portal("/__control/requests").count("/soft/h.asp?id=102&")

        before = reported()
        for fault, next_page in (("garbage", None), ("0", "1"), ("1", "1")):
            self.s.portal(f"/__control/fault?hasp={fault}")
            count = asked()
            time.sleep(0.7)  # a retry, not a double click
            self.s.ok(op="link", view="Web1", href=link)
            self.s.wait_for(lambda: asked() == count + 1, 10, fault)
            self.s.wait_for(lambda: self.s.control("zhun")["caption"] == "读取数据出错，请返回重试", 10, fault)
            if next_page:
                self.assertEqual(self.state()["NextEpisodePage"], next_page, fault)
            self.assertTrue(self.state()["CurrentEpisodeKey"].startswith("101-1-2-"), "the item loaded stays")
        # The same text again while its balloon is up is that balloon.
        self.assertEqual(reported(), before + 1)
        # A slow portal: the window answers meanwhile, and the episode plays after.
        self.s.portal("/__control/fault?hasp=delay:1500")
        time.sleep(0.7)
        self.s.ok(op="link", view="Web1", href=link)
        self.s.wait_for(lambda: self.s.control("zhun")["caption"] == "正在搜索资源，请稍后", 5, "searching")
        self.shot("portal-searching.png")  # painted while the portal is asked
        self.s.wait_for(lambda: self.state()["CurrentEpisodeKey"].startswith("102-1-1-"), 10, "played after the wait")
        self.s.portal("/__control/fault?hasp=ok")

    def test_4_an_entry_of_the_task_list_resumes_where_it_stopped(self):
        self.s.wait_for(lambda: self.player()["Position"] >= 4, 15, "a few seconds played")
        self.s.ok(op="click", form="BA1", control="bo_but", index=1)
        self.s.wait_for(lambda: self.history().split("\r\n")[0].split("|")[-1] not in ("", "0"), 5,
                        "the stopped item's position saved")
        self.assertTrue(self.history().startswith("102|"))
        saved = int(self.history().split("\r\n")[0].split("|")[6])
        self.assertGreaterEqual(saved, 3)  # as the last poll saw it
        self.s.ok(op="click", form="BA1", control="npc", index=8)  # the home view shows c.htm in Web3
        self.s.wait_for(lambda: self.s.control("Web3")["shown"], 5, "the task list")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web3"], 10, "the task list page")
        self.s.click_at("Web3", dx=40, dy=10)
        self.s.wait_for(lambda: self.state()["CurrentEpisodeKey"].startswith("102-1-1-"), 10, "replayed")
        self.s.wait_for(lambda: self.player()["PlayState"] == 3 and self.player()["Position"] >= saved, 15,
                        "resumed at the saved position")
        self.stop()

    def test_5_the_entry_menu_deletes_an_entry(self):
        self.s.ok(op="click", form="BA1", control="npc", index=8)
        self.s.wait_for(lambda: self.s.control("Web3")["shown"], 5, "the task list")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web3"], 10, "the task list page")
        before = len([l for l in self.history().split("\r\n") if "|" in l])
        self.s.point_at("Web3", dx=40, dy=10)
        self.s.xrun("xdotool", "click", "3")
        self.s.wait_for(lambda: self.s.dump()["forms"]["tip"]["openMenu"] == "webc", 5, "the entry menu")
        self.assertEqual(self.state()["SelectedListLink"], "open://1")
        self.shot("list-entry-menu.png")
        self.s.ok(op="menu", item="c_shan")
        self.s.wait_for(lambda: len([l for l in self.history().split("\r\n") if "|" in l]) == before - 1, 5,
                        "one entry fewer")

    def test_6_the_local_list_is_cleared_through_its_label(self):
        clip = os.path.join(self.s.tmp, "local.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "changhe-01.mp4"), clip)
        with open(os.path.join(self.s.home, "date_f.dat"), "w", encoding="utf-8", newline="") as f:
            f.write(f"local.mp4|{clip}|0\r\n")
        self.s.ok(op="click", form="BA1", control="npc", index=12)
        self.s.wait_for(lambda: self.s.control("qk")["caption"] == "∴ 清空列表", 5, "the local tab")
        self.s.click_at("qk")
        dialog = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 5, "the question")[0]
        self.assertEqual(dialog["text"], "确定要删除全部[本地播放]列表吗？")
        self.s.ok(op="answer", id=dialog["id"], value="yes")
        self.s.wait_for(lambda: open(os.path.join(self.s.home, "date_f.dat"), "rb").read() == b"\r\n", 5, "cleared")
        self.s.ok(op="click", form="BA1", control="npc", index=11)


if __name__ == "__main__":
    unittest.main(verbosity=2)
