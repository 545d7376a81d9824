"""What pages do besides command links, with the real pointer: the portal's own
right-click menu, the error panel of a failing portal and its retry, new windows,
and a renderer that dies."""
import os
import signal
import sys
import time
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import PageServer, Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
ERROR_TEXT = ("出错了！\r\n\r\n1.请检查你的网络连接\r\n2.软件网络出现了故障\r\n3.请点此尝试重新连接\r\n"
              "4.请尝试重新启动软件\r\n")


def descends_from(pid, ancestor):
    while pid > 1:
        if pid == ancestor:
            return True
        with open(f"/proc/{pid}/stat") as f:
            pid = int(f.read().rsplit(")", 1)[1].split()[1])
    return False


class Pages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = Session(BUILD)
        cls.s.start_program()
        cls.root = os.path.join(cls.s.tmp, "pages")
        os.makedirs(cls.root)
        cls.pages = PageServer(cls.root)
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 30, "portal")
        cls.shots = os.path.join(cls.s.build_dir, "screenshots")
        os.makedirs(cls.shots, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        cls.pages.close()
        cls.s.close()

    def fault(self, query):
        origin = self.s.portal_base.split("/soft/")[0]
        urllib.request.urlopen(f"{origin}/__control/fault?{query}", timeout=10).read()

    def page(self, name, body):
        with open(os.path.join(self.root, name), "w", encoding="utf-8") as f:
            f.write('<!doctype html><meta charset="utf-8"><body style="margin:0">' + body + "</body>")
        return self.pages.base + name

    def web1(self):
        return self.s.ba1()["views"]["Web1"]

    def show(self, url):
        self.s.show_page(url)

    def click_in_web1(self, x, y, button=1):
        self.s.point_at("Web1", dx=x, dy=y)
        self.s.xrun("xdotool", "click", str(button))

    def open_menu(self):
        return self.s.dump()["forms"]["tip"]["openMenu"]

    def test_1_the_portal_menu_goes_back_forward_and_home(self):
        s = self.s
        base = s.portal_base
        self.assertEqual(self.web1(), base)
        url = self.page("a.htm", '<a href="b.htm" style="display:block;height:300px">a page</a>')
        self.show(url)
        # A right click on a link: the program's menu, not the engine's.
        self.click_in_web1(60, 60, button=3)
        s.wait_for(lambda: self.open_menu() == "myMenu", 10, "myMenu")
        s.ok(op="screenshot", path=os.path.join(self.shots, "page-menu.png"))
        s.xrun("xdotool", "key", "Down", "Return")  # 后退, the first item
        s.wait_for(lambda: self.web1() == base, 10, "back on the portal")
        s.ok(op="menu", item="qj")
        s.wait_for(lambda: self.web1() == url, 10, "forward again")
        s.ok(op="menu", item="zy")
        s.wait_for(lambda: self.web1() == base, 10, "home")

    def test_2_a_failing_portal_shows_the_panel_and_the_retry_brings_it_back(self):
        s = self.s
        self.fault("home=500")
        s.ok(op="menu", item="zy")
        s.wait_for(lambda: s.control("wait")["shown"], 20, "error panel")
        self.assertEqual(s.control("webe")["caption"], ERROR_TEXT)
        self.assertFalse(s.control("Pic1")["visible"])
        self.assertEqual(s.ba1()["state"]["PortalErrorShown"], 1)
        s.ok(op="screenshot", path=os.path.join(self.shots, "portal-error.png"))

        # A portal that does not answer in time has failed as well.
        self.fault("home=delay:60000")
        s.click_at("webe")
        s.wait_for(lambda: s.control("Pic1")["shown"], 10, "the portal shows at once")
        s.wait_for(lambda: s.control("wait")["shown"], 30, "error panel after the time-out")

        self.fault("home=ok")
        s.click_at("webe")
        s.wait_for(lambda: s.control("Pic1")["shown"] and not s.control("wait")["visible"], 10, "portal panel")
        s.wait_for(lambda: self.web1() == s.portal_base + "?30" and s.ok(op="loaded")["loaded"]["Web1"], 20,
                   "the portal again")

    def test_3_only_web_pages_go_to_the_users_browser(self):
        s = self.s
        target = self.pages.base + "elsewhere.htm"
        url = self.page("windows.htm",
                        '<script>window.open("file:///etc/passwd")</script>'
                        f'<a href="{target}" target="_blank" style="position:absolute;left:0;top:0;'
                        'width:200px;height:100px;background:#cde">web</a>'
                        '<div onclick=\'window.open("file:///etc/passwd")\' style="position:absolute;left:0;'
                        'top:120px;width:200px;height:100px;background:#edc">file</div>'
                        '<a href="eebovod://1-1-1-x" target="_blank" style="position:absolute;left:0;top:240px;'
                        'width:200px;height:100px;background:#dec">command</a>')
        self.show(url)
        before = s.ok(op="opened")["opened"]
        for y in (50, 170, 290):
            self.click_in_web1(100, y)
            time.sleep(0.5)
        s.wait_for(lambda: len(s.ok(op="opened")["opened"]) > len(before), 10, "handed to the desktop")
        time.sleep(2.5)  # a window that never loads is released after 2 s
        self.assertEqual(s.ok(op="opened")["opened"][len(before):], [target])
        self.assertEqual(self.web1(), url, "the page stays where it was")
        self.assertNotEqual(s.ba1()["state"]["CurrentView"], 9, "the command in a new window did nothing")

    def test_4_a_killed_renderer_comes_back_and_one_that_keeps_dying_is_left(self):
        s = self.s
        self.show(s.portal_base)
        other = s.ba1()["renderers"]["Web3"]["pid"]
        for round in range(3):
            pid = s.ba1()["renderers"]["Web1"]["pid"]
            self.assertTrue(pid and descends_from(pid, s.program.pid), pid)
            os.kill(pid, signal.SIGKILL)
            if round < 2:
                s.wait_for(lambda: s.ba1()["renderers"]["Web1"]["pid"] not in (0, pid)
                           and s.ok(op="loaded")["loaded"]["Web1"], 20, "Web1 reloaded")
                self.assertEqual(self.web1(), s.portal_base)
        s.wait_for(lambda: s.ba1()["renderers"]["Web1"]["gaveUp"], 20, "left on an error page")
        self.assertTrue(s.program_alive())
        self.assertEqual(s.ba1()["renderers"]["Web3"]["pid"], other, "the list page's renderer lives on")
        s.ok(op="screenshot", path=os.path.join(self.shots, "renderer-gave-up.png"))


if __name__ == "__main__":
    unittest.main()
