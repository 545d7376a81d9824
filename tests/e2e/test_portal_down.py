"""The portal goes down while the program runs: an item that cannot be opened says
so (status and balloon) instead of "播放完毕", the side panel and the section show
the program's own notice in Chinese instead of the engine's error page, and both come
back by themselves once the portal answers again."""
import os
import shutil
import subprocess
import sys
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session, escaped  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
TITLE = "猎豹"


@unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
class PortalDown(unittest.TestCase):
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
        cls.port = urllib.parse.urlsplit(cls.s.portal_base).port

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def notice(self, view):
        return self.s.dump()["forms"]["BA1"]["renderers"][view]["notice"]

    def portal_process(self):
        return next(p for p in self.s.procs if "tavlin-portal" in p.args[0] and p.poll() is None)

    def balloons(self):
        return self.s.ok(op="balloons")["balloons"]

    def test_1_an_episode_page_reaches_the_portal_with_its_title_as_written(self):
        self.s.portal("/__control/clear")
        self.s.ok(op="link", view="Web1", href=f"eebovod://102-1-2-{escaped(TITLE)}")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web5"] and
                        "pp.htm" in self.s.ba1()["views"]["Web5"], 20, "the episode page")
        self.assertIn(f"/soft/pp.htm?102-1-2-{escaped(TITLE)}-0", self.s.portal("/__control/requests").splitlines())
        self.s.ok(op="click", form="BA1", control="bo_but", index=1)

    def test_2_with_the_portal_down_nothing_looks_like_success(self):
        self.s.stop(self.portal_process())
        # A play link with a known address: the side panel asks the portal for the
        # episode's page and the player for the film; neither answers.
        address = urllib.parse.quote("qvod://1000|" + "AB" * 20 + "|liebao-03.mp4|", safe="")
        self.s.ok(op="link", view="Web1",
                  href=f"eeqvod://qvod&&&{address}&&&{escaped(TITLE)}&&&03&&&102&&&1&&&3")
        self.s.wait_for(lambda: self.notice("Web5"), 20, "the notice in the side panel")
        self.s.wait_for(lambda: self.s.control("zhun")["caption"] == "无法打开，播放失败", 40,
                        "the failure in the status")
        self.assertIn(f"无法打开“{TITLE}-03”，请检查网络连接后重试！", self.balloons())
        self.assertEqual(self.s.ba1()["views"]["Web5"], f"{self.s.portal_base}pp.htm?102-1-3-{escaped(TITLE)}-0")
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, "portal-down-side-panel.png"))

        self.s.click_at("npc", 13)
        self.s.wait_for(lambda: self.notice("Web9"), 20, "the notice in the section")
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, "portal-down-section.png"))
        # The failure was told once, not at every tick.
        self.assertEqual(sum(b.startswith("无法打开") for b in self.balloons()), 1)

    def test_3_the_pages_come_back_by_themselves(self):
        self.s.spawn([os.path.join(self.s.build_dir, "tavlin-portal"), "--port", str(self.port),
                      *self.s.portal_args], stdout=subprocess.DEVNULL)
        self.s.wait_for(lambda: not self.notice("Web9"), 20, "the section back")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web9"], 20, "the section loaded")
        time.sleep(1)  # painted
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, "portal-back-section.png"))
        self.s.wait_for(lambda: not self.notice("Web5"), 20, "the episode page back")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web5"], 20, "the episode page loaded")
        self.s.click_at("npc", 9)
        time.sleep(1)
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, "portal-back-side-panel.png"))
        self.assertIn(f"/soft/pp.htm?102-1-3-{escaped(TITLE)}-0", self.s.portal("/__control/requests").splitlines())


if __name__ == "__main__":
    unittest.main()
