"""End-to-end tests of the main window: the real program under Xvfb (with trayer as
tray host) against the demo portal, driven through the automation channel.
Screenshots of the main screens are written to the build folder."""
import configparser
import html
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import PageServer, Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
# Qt cursor shapes for the program's pointer numbers.
QT_CURSOR = {0: 0, 6: 7, 7: 5, 8: 8, 9: 6}

# Links clicked with the real pointer; each href must reach the core unchanged (the
# engine's URL parser would rewrite every one of them). (href, target, in a sub-frame)
LINKS = [
    ("EEBOVOD://ABC-Def", "", False),
    ("open://3", "", False),
    ("eeqvod://qvod&&&1024|0A1B2C3D|长河落日 第01集.mp4|&&&http://127.0.0.1/p?a=1&b=2", "", False),
    ("qvod://2048|FFEE|a b%20c.rmvb|", "", False),
    ("open://9", "_blank", False),
    ("eebovod://Sub-Frame|7", "", True),
]
ROW = 40  # CSS pixels between links


def link_page(folder):
    """A page with one big link per case, at known positions; sub-frame cases sit in
    an iframe below them. Returns the page path and the y of each link."""
    rows, frame_rows, ys = [], [], []
    top = 20
    for href, target, sub in LINKS:
        a = (f'<a href="{html.escape(href, quote=True)}" target="{target}" '
             f'style="display:block;height:30px;width:420px;background:#ddeeff">{html.escape(href)}</a>')
        (frame_rows if sub else rows).append(a)
    for href, _, sub in LINKS:
        if not sub:
            ys.append(top + 15 + ROW * len(ys))
    frame_top = top + ROW * len(rows)
    for i in range(len(frame_rows)):
        ys.append(frame_top + 15 + ROW * i)
    body = "".join(f'<div style="height:{ROW}px">{a}</div>' for a in rows)
    frame = "".join(f'<div style="height:{ROW}px">{a}</div>' for a in frame_rows)
    page = os.path.join(folder, "links.htm")
    with open(page, "w", encoding="utf-8") as f:
        f.write('<!doctype html><meta charset="utf-8"><body style="margin:0;padding:20px 0 0 20px">'
                f'{body}<iframe src="frame.htm" style="border:0;margin:0;width:460px;height:{ROW * len(frame_rows)}px">'
                '</iframe><p><a href="next.htm" style="display:block;height:30px;width:420px">next</a></body>')
    with open(os.path.join(folder, "frame.htm"), "w", encoding="utf-8") as f:
        f.write(f'<!doctype html><meta charset="utf-8"><body style="margin:0">{frame}</body>')
    with open(os.path.join(folder, "next.htm"), "w", encoding="utf-8") as f:
        f.write("<!doctype html><p>next")
    return page, ys, frame_top + ROW * len(frame_rows) + 16 + 15


def ini(session, section, key):
    cp = configparser.ConfigParser(strict=False, interpolation=None)
    cp.optionxform = str
    cp.read(os.path.join(session.home, "config.ini"), encoding="utf-8")
    for s in cp.sections():
        if s.lower() == section.lower():
            for k, v in cp.items(s):
                if k.lower() == key.lower():
                    return v
    return None


class MainWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.s.start_program()
        cls.s.wait_for(lambda: all(cls.s.ok(op="loaded")["loaded"].values()), 60, "nine views loaded")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def shot(self, name):
        self.s.ok(op="screenshot", path=os.path.join(SHOTS, name + ".png"))

    def click(self, control, index=None):
        self.s.ok(op="click", form="BA1", control=control, index=index)

    def test_01_first_pages_of_all_nine_views(self):
        views = self.s.ba1()["views"]
        base = self.s.portal_base
        expected = {"Web1": base, "Web2": "about:blank", "Web3": os.path.join(self.s.home, "c.htm"),
                    "Web4": os.path.join(self.s.home, "f.htm"), "Web5": os.path.join(self.s.home, "c.htm"),
                    "Weby": base + "js/ads/softad.html", "Web7": base + "js/ads/qvodad.html",
                    "Web9": "about:blank"}
        for view, address in expected.items():
            self.assertEqual(views[view], address, view)
        self.assertTrue(views["Web6"].startswith(base + "tj/tj.asp?id="))
        # Timer6 opens the side panel two seconds after start.
        self.s.wait_for(lambda: self.s.control("u_k")["visible"], 10, "side panel")
        self.shot("portal")

    @unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
    def test_01b_real_link_clicks_reach_the_core_as_written(self):
        folder = os.path.join(self.s.tmp, "pages")
        os.makedirs(folder, exist_ok=True)
        _, ys, next_y = link_page(folder)
        server = PageServer(folder)
        self.addCleanup(server.close)
        page = server.base + "links.htm"
        self.s.ok(op="link", view="Web1", href=page)
        self.s.wait_for(lambda: self.s.ba1()["views"]["Web1"] == page, 10, "links page asked for")
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web1"], 20, "links page loaded")
        ba1 = self.s.ba1()
        self.assertEqual(ba1["state"]["CurrentView"], 8)
        web1 = next(c for c in ba1["controls"] if c["name"] == "Web1")
        ox, oy = ba1["window"]["x"] + web1["x"], ba1["window"]["y"] + web1["y"]
        env = dict(os.environ, DISPLAY=self.s.display)

        def click_at(x, y):
            subprocess.run(["xdotool", "mousemove", "--sync", str(ox + x), str(oy + y), "click", "1"],
                           env=env, check=True, timeout=10)

        def last_texts(n):
            return self.s.ba1()["navigations"].get("Web1", [])[-n:]

        top_links = [(href, y) for (href, target, sub), y in zip(LINKS, ys) if not sub and not target]
        for href, y in top_links:
            click_at(120, y)
            self.s.wait_for(lambda: last_texts(1) == [href], 10, f"{href}: {last_texts(3)}")
        self.assertEqual(last_texts(len(top_links)), [href for href, _ in top_links])
        # A command that asks for a new window is nobody's: no view carries it out.
        for (href, target, sub), y in zip(LINKS, ys):
            if target:
                click_at(120, y)
        time.sleep(1)
        self.assertEqual(last_texts(1), [top_links[-1][0]])
        self.assertEqual(self.s.ok(op="opened")["opened"], [])
        # A frame cannot speak for the page: its command link never arrives as written.
        for (href, _, sub), y in zip(LINKS, ys):
            if sub:
                click_at(120, y)
        time.sleep(1)
        self.assertNotIn("eebovod://Sub-Frame|7", self.s.ba1()["navigations"].get("Web1", []))
        # The page stays: command links are never handed to the engine.
        self.assertTrue(self.s.program_alive())
        # A relative web link is the engine's to follow; the core sees it resolved.
        click_at(120, next_y)
        self.s.wait_for(lambda: last_texts(1) == [server.base + "next.htm"], 10, "next")
        self.s.wait_for(lambda: self.s.ba1()["views"]["Web1"] == server.base + "next.htm", 10, "next shown")
        self.s.ok(op="link", view="Web1", href=self.s.portal_base)
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web1"], 20, "portal again")

    def test_02_tabs_and_sections(self):
        self.click("npc", 13)
        ba1 = self.s.wait_for(lambda: (lambda b: b if b["state"]["CurrentView"] == 13 else None)(self.s.ba1()))
        self.assertIn("/tv", ba1["views"]["Web9"][len(self.s.portal_base) - 1:])
        self.s.wait_for(lambda: self.s.ok(op="loaded")["loaded"]["Web9"])
        self.shot("section-tv")
        self.click("npc", 14)
        self.s.wait_for(lambda: "/yy" in self.s.ba1()["views"]["Web9"])
        self.click("npc", 14)  # disabled: nothing happens
        self.click("npc", 9)
        ba1 = self.s.wait_for(lambda: (lambda b: b if b["state"]["CurrentView"] == 9 else None)(self.s.ba1()))
        shown = {c["name"]: c["shown"] for c in ba1["controls"] if c["index"] is None}
        self.assertTrue(shown["qvod"])
        self.assertFalse(shown["ying"])
        self.shot("play-view")
        self.click("npc", 8)
        self.s.wait_for(lambda: self.s.ba1()["state"]["CurrentView"] == 8)

    def test_03_side_bar_and_panel_toggles(self):
        self.click("npc", 6)
        self.s.wait_for(lambda: not self.s.control("l2")["visible"])
        self.assertEqual(self.s.control("npc", 6)["tooltip"], "显示侧栏")
        self.click("npc", 6)
        self.s.wait_for(lambda: self.s.control("l2")["visible"])
        before = self.s.control("Pic3")["y"]
        self.click("npc", 7)
        self.s.wait_for(lambda: self.s.control("Pic3")["y"] != before)
        self.assertEqual(abs(self.s.control("Pic3")["y"] - before), 46)
        self.click("npc", 7)

    def test_04_compact_mode_and_back(self):
        self.click("npc", 15)
        win = self.s.wait_for(lambda: (lambda w: w if w["w"] == 387 else None)(self.s.ba1()["window"]))
        self.assertEqual(win["h"], 320)
        self.assertTrue(win["topmost"])
        self.s.wait_for(lambda: self.s.ba1()["window"]["qtW"] == 387)
        self.shot("compact")
        self.click("jbi")
        win = self.s.wait_for(lambda: (lambda w: w if w["w"] != 387 else None)(self.s.ba1()["window"]))
        self.assertFalse(win["topmost"])
        self.assertEqual(self.s.ba1()["state"]["CompactMode"], 0)

    def test_05_skins_switch_and_persist(self):
        self.click("npc", 3)
        self.s.wait_for(lambda: self.s.dump()["forms"]["tip"]["openMenu"] == "pifu")
        self.s.ok(op="menu", item="blue")
        self.s.wait_for(lambda: self.s.ba1()["window"]["skin"] == 1)
        self.assertEqual(ini(self.s, "Skin", "Num"), "1")
        self.shot("skin-gray")
        self.s.ok(op="menu", item="green")
        self.s.wait_for(lambda: self.s.ba1()["window"]["skin"] == 0)
        self.assertEqual(ini(self.s, "Skin", "Num"), "0")
        self.shot("skin-blue")

    def test_06_edge_zones_and_pointer_shapes(self):
        win = self.s.ba1()["window"]
        w, h = win["w"], win["h"]
        for x, y, shape in [(0, h // 2, 9), (w - 1, h // 2, 9), (w // 2, 0, 7), (w // 2, h - 1, 7),
                            (1, 1, 8), (w - 1, h - 1, 8), (w - 1, 0, 6), (0, h - 1, 6), (w // 2, 30, 0)]:
            self.s.ok(op="mouse", form="BA1", control="BA1", kind="move", x=x, y=y, button="none")
            win = self.s.wait_for(lambda: (lambda v: v if v["cursor"] == shape else None)(self.s.ba1()["window"]))
            self.assertEqual(win["qtCursor"], QT_CURSOR[shape], (x, y))

    def test_07_minimum_sizes(self):
        self.s.ok(op="resize", w=300, h=200)
        win = self.s.wait_for(lambda: (lambda v: v if v["qtW"] == 867 and v["qtH"] == 467 else None)(
            self.s.ba1()["window"]))
        self.assertEqual((win["w"], win["h"]), (867, 467))
        self.s.ok(op="resize", w=1000, h=640)
        self.s.wait_for(lambda: self.s.ba1()["window"]["w"] == 1000)

    def test_08_tray_toggles_the_window(self):
        tray = self.s.dump()["tray"]
        self.assertTrue(tray["installed"])
        self.assertEqual(tray["tooltip"], "Tavlin 3.0")
        self.s.ok(op="tray", button="left")
        self.s.wait_for(lambda: not self.s.ba1()["window"]["qtVisible"])
        self.s.ok(op="tray", button="left")
        self.s.wait_for(lambda: self.s.ba1()["window"]["qtVisible"])
        self.s.ok(op="tray", button="right")
        self.s.wait_for(lambda: self.s.dump()["forms"]["tip"]["openMenu"] == "r_m")

    def test_09_close_question_yes_then_no(self):
        self.s.ok(op="menu", item="green")  # closes the open menu too
        self.click("npc", 2)
        dialogs = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"])
        self.assertEqual(dialogs[0]["title"], "提示：")
        self.assertEqual(dialogs[0]["text"], "关闭 Tavlin 最小化到托盘吗？")
        self.s.ok(op="answer", id=dialogs[0]["id"], value="yes")
        self.s.wait_for(lambda: not self.s.ba1()["window"]["qtVisible"])
        self.assertEqual(ini(self.s, "S_q", "quit"), "2")
        self.assertEqual(ini(self.s, "S_q", "ts"), "1")
        # Asked once: the next close acts on the stored answer.
        self.s.ok(op="tray", button="left")
        self.s.wait_for(lambda: self.s.ba1()["window"]["qtVisible"])
        self.click("npc", 2)
        self.s.wait_for(lambda: not self.s.ba1()["window"]["qtVisible"])
        self.assertEqual(self.s.ok(op="dialogs")["dialogs"], [])
        self.assertTrue(self.s.program_alive())


class CloseQuestionNo(unittest.TestCase):
    def test_answer_no_ends_the_program(self):
        s = Session(BUILD)
        try:
            s.start_program()
            s.ok(op="click", form="BA1", control="npc", index=2)
            dialogs = s.wait_for(lambda: s.ok(op="dialogs")["dialogs"])
            s.ok(op="answer", id=dialogs[0]["id"], value="no")
            s.wait_for(lambda: not s.program_alive(), 20, "program end")
            self.assertEqual(ini(s, "S_q", "quit"), "1")
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
