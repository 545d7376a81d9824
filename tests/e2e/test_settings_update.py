"""End-to-end tests of the settings dialog, the help pager, the update check with
its notices and question, and the floating ad, against the demo portal. Screens
of the dialog's pages, the help window and the ad go to the build folder."""
import os
import re
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")


def form(s, name):
    return s.dump()["forms"][name]


def control(f, name, index=None):
    return next(c for c in f["controls"] if c["name"] == name and c["index"] == index)


def ini(s, key):
    with open(os.path.join(s.home, "config.ini"), encoding="utf-8") as f:
        m = re.search(rf"^{key}=(.*?)\r?$", f.read(), re.M)
    return m.group(1) if m else None


@unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
class SettingsAndHelp(unittest.TestCase):
    """One home, two starts: the options written in the first are read in the second."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.media = os.path.join(cls.s.tmp, "media")
        cls.other = os.path.join(cls.s.tmp, "other")
        os.makedirs(cls.media)
        os.makedirs(cls.other)
        cls.xml = cls.s.save_into(cls.media, skin=1)
        cls.s.start_program()
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 30, "home page")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def shot(self, form_name, name):
        time.sleep(0.4)  # painted a moment after it is mapped
        self.s.ok(op="screenshot", form=form_name, path=os.path.join(SHOTS, name))

    def answer_dialog(self, kind, value):
        found = self.s.wait_for(lambda: [d for d in self.s.ok(op="dialogs")["dialogs"] if d["kind"] == kind],
                                10, kind)
        self.s.ok(op="answer", id=found[0]["id"], value=value)
        return found[0]

    def test_1_menu_opens_the_dialog_on_its_page_from_the_tray(self):
        self.s.ok(op="tray", button="left")  # hidden to the tray
        self.s.wait_for(lambda: not self.s.ba1()["window"]["qtVisible"], 10, "hidden")
        self.s.ok(op="menu", item="shezhi")
        ba3 = self.s.wait_for(lambda: (lambda f: f if f["window"]["qtVisible"] else None)(form(self.s, "BA3")),
                              10, "settings dialog")
        self.assertTrue(self.s.ba1()["window"]["qtVisible"], "the main window came up first")
        self.assertEqual(ba3["window"]["title"], "软件设置")
        self.assertTrue(control(ba3, "p1", 1)["shown"])
        self.assertEqual(control(ba3, "bb")["caption"], "软件设置")
        self.shot("BA3", "settings-options.png")
        for page, name in ((0, "settings-about.png"), (2, "settings-folder.png")):
            self.s.ok(op="click", form="BA3", control="d_z", index=page)
            self.s.wait_for(lambda: control(form(self.s, "BA3"), "p1", page)["shown"], 5, f"page {page}")
            self.shot("BA3", name)
        self.assertEqual(control(form(self.s, "BA3"), "Text1")["caption"], self.media + "/")

    def test_2_options_and_folder_survive_a_restart(self):
        self.s.ok(op="click", form="BA3", control="Check1", index=5)  # quit: off -> "1"
        self.s.ok(op="click", form="BA3", control="Check1", index=8)  # balloons off
        self.s.ok(op="click", form="BA3", control="Command1")
        self.answer_dialog("folder", self.other)
        self.s.wait_for(lambda: control(form(self.s, "BA3"), "Text1")["caption"] == self.other + "/", 5, "chosen")
        self.s.ok(op="click", form="BA3", control="cmdOK")
        done = self.answer_dialog("message", "ok")
        self.assertEqual(done["text"], "接受路径修改成功，可能部分电脑需要重启才能生效！")
        self.s.wait_for(lambda: not form(self.s, "BA3")["window"]["qtVisible"], 5, "dialog closed")
        self.assertEqual((ini(self.s, "quit"), ini(self.s, "s_pao"), ini(self.s, "s_h")), ("1", "1", "2"))
        with open(self.xml, encoding="utf-8", newline="") as f:
            self.assertEqual(f.read(),
                             f'<QvodPlayer>\r\n<Setting Defaultsavepath="{self.other}/" Skin="1"/>\r\n</QvodPlayer>\r\n')

        # The next qvod item is downloaded into the new folder.
        home = self.s.portal("/soft/")
        link = re.search(r'href="(eeqvod://[^"]+)"', home).group(1).replace("&amp;", "&")
        self.s.ok(op="link", view="Web1", href=link)
        self.s.wait_for(lambda: self.s.dump()["player"]["Opened"].find(self.other + "/") >= 0, 20,
                        "downloading into the new folder")
        self.s.wait_for(lambda: os.listdir(self.other), 20, "a file in the new folder")

        self.s.ok(op="menu", item="qsoft")
        self.s.program.wait(20)
        self.s.sock.close()
        self.s.start_program()
        self.s.ok(op="menu", item="about")
        ba3 = self.s.wait_for(lambda: (lambda f: f if f["window"]["qtVisible"] else None)(form(self.s, "BA3")),
                              10, "settings dialog again")
        self.assertTrue(control(ba3, "p1", 0)["shown"])
        self.assertEqual([control(ba3, "Check1", i)["checked"] for i in (5, 8, 1)], [False, False, True])
        self.assertEqual(control(ba3, "Text1")["caption"], self.other + "/")
        self.s.ok(op="click", form="BA3", control="cmdCancel")

    def test_3_help_pager_leafs_through_five_pages(self):
        self.s.ok(op="menu", item="help")
        tip = self.s.wait_for(lambda: (lambda f: f if f["window"]["qtVisible"] else None)(form(self.s, "tip")),
                              10, "help window")
        self.assertEqual(tip["window"]["title"], "帮助提示")
        self.shot("tip", "help-page-1.png")
        numbers = []
        for _ in range(5):
            before = len(numbers)
            self.s.ok(op="click", form="tip", control="cmdnext")
            numbers.append(self.s.wait_for(
                lambda: (lambda n: n if before == 0 or n != numbers[-1] else None)(
                    control(form(self.s, "tip"), "Label3")["caption"]), 5, "next page"))
        self.assertEqual(numbers, ["2", "3", "4", "5", "1"])
        self.assertTrue(control(form(self.s, "tip"), "Pi", 0)["shown"])
        self.s.ok(op="click", form="tip", control="cmdclose")
        self.s.wait_for(lambda: not form(self.s, "tip")["window"]["qtVisible"], 5, "help closed")


@unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
class UpdateNoticesAndAd(unittest.TestCase):
    """A portal announcing 3.1 with notices and the floating ad."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD, portal_args=("--wen-version", "3.1", "--wen-fudong", "1", "--wen-notices", "1",
                                            "--wen-playerad", "0"))
        cls.s.start_program()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def test_1_question_no_keeps_the_program_notices_turn_and_open_their_link(self):
        found = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 20, "update question")[0]
        self.assertEqual((found["title"], found["text"]), ("Tavlin提示：", "检测到最新版本 3.1 ,你需要现在升级吗？"))
        self.s.ok(op="answer", id=found["id"], value="no")
        self.assertTrue(self.s.program_alive())
        shown = lambda: [c["index"] for c in self.s.ba1()["controls"] if c["name"] == "Lab2" and c["shown"]]
        first = self.s.wait_for(shown, 10, "a notice shown")
        self.s.wait_for(lambda: shown() and shown() != first, 10, "the next notice")
        index = shown()[0]
        self.s.click_at("Lab2", index)
        opened = self.s.wait_for(lambda: self.s.ok(op="opened")["opened"], 10, "the notice's link opened")
        self.assertTrue(opened[0].startswith(self.s.portal_base.split("/soft/")[0]), opened)

    def test_2_floating_ad_slides_in_and_closes_on_its_picture(self):
        ad = self.s.wait_for(lambda: (lambda f: f if f["window"]["qtVisible"] else None)(form(self.s, "adsb")),
                             15, "floating ad")
        self.assertTrue(ad["window"]["topmost"])
        self.assertEqual((ad["window"]["x"] + 268, ad["window"]["y"] + 200), (1280 - 5, 800 - 30))
        self.s.wait_for(lambda: form(self.s, "adsb")["window"]["qtMask"] == [0, 0, 268, 200], 5, "fully revealed")
        self.s.wait_for(lambda: form(self.s, "adsb").get("views", {}).get("Web1", "").endswith("fudong.html"), 10,
                        "ad page")
        self.s.wait_for(lambda: form(self.s, "adsb")["loaded"]["Web1"], 15, "ad page loaded")
        time.sleep(1.0)
        self.s.ok(op="screenshot", form="adsb", path=os.path.join(SHOTS, "floating-ad.png"))
        picture = control(form(self.s, "adsb"), "Picture1")
        x, y = ad["window"]["x"] + picture["x"] + 8, ad["window"]["y"] + picture["y"] + 8
        self.s.xrun("xdotool", "mousemove", str(x), str(y), "click", "1")
        self.s.wait_for(lambda: not form(self.s, "adsb")["window"]["qtVisible"], 5, "ad closed")

    def test_3_manual_check_yes_hands_the_updater_to_the_desktop_and_exits(self):
        self.s.ok(op="menu", item="shengji")
        found = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "question")[0]
        self.s.ok(op="answer", id=found["id"], value="yes")
        self.s.program.wait(20)
        self.assertEqual(self.s.program.returncode, 0)
        with open(os.path.join(self.s.tmp, "program.log"), encoding="utf-8", errors="replace") as f:
            log = f.read()
        self.assertIn("recorded open: " + self.s.portal_base + "update/update.exe", log)


if __name__ == "__main__":
    unittest.main()
