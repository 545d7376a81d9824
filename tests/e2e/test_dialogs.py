"""End-to-end tests of the program's dialogs under Xvfb: their buttons read in
Chinese, as the rest of the interface does, on the windows the user sees. The
screen with each dialog is written to the build folder."""
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


class Dialogs(unittest.TestCase):
    """One first start: the file dialog is opened and cancelled, then the close
    question is asked."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD)
        cls.s.start_program()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def x(self, *argv):
        return subprocess.run(argv, env=self.s.env, capture_output=True, text=True, timeout=20)

    def open_dialog(self, kind):
        found = self.s.wait_for(lambda: [d for d in self.s.ok(op="dialogs")["dialogs"] if d["kind"] == kind],
                                10, f"{kind} dialog")
        return found[0]

    def shoot_when_mapped(self, title, name):
        """Waits for the dialog's own X window and writes the whole screen."""
        self.s.wait_for(lambda: self.x("xdotool", "search", "--onlyvisible", "--name", title).stdout.strip(),
                        10, f"window {title}")
        path = os.path.join(SHOTS, name)
        # The dialog is painted a moment after it is mapped.
        time.sleep(0.5)
        self.assertEqual(self.x(shutil.which("import"), "-window", "root", path).returncode, 0)
        return path

    def test_1_open_file_dialog_reads_chinese(self):
        self.s.ok(op="click", form="BA1", control="bo_but", index=4)
        dialog = self.open_dialog("open-file")
        self.assertEqual(dialog["title"], "选择播放文件")
        self.shoot_when_mapped("选择播放文件", "dialog-open-file.png")
        self.assertEqual(sorted(self.open_dialog("open-file")["buttons"]), sorted(["打开", "取消"]))
        self.s.ok(op="answer", id=dialog["id"], value="cancel")
        self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"] == [], 10, "file dialog closed")
        self.assertEqual(self.s.dump()["player"]["Url"], "", "nothing was opened")

    def test_2_close_question_reads_chinese(self):
        self.s.ok(op="click", form="BA1", control="npc", index=2)
        dialog = self.open_dialog("message")
        self.assertEqual(dialog["text"], "关闭 Tavlin 最小化到托盘吗？")
        self.shoot_when_mapped(dialog["title"], "dialog-close.png")
        # Read again now that the box is on screen: the texts on its buttons.
        shown = self.open_dialog("message")["buttons"]
        self.assertEqual(sorted(shown), sorted(["是", "否"]), shown)
        # The answers still go by what they mean.
        self.s.ok(op="answer", id=dialog["id"], value="yes")
        self.s.wait_for(lambda: not self.s.ba1()["window"]["qtVisible"], 10, "window in the tray")
        self.assertTrue(self.s.program_alive())


if __name__ == "__main__":
    unittest.main(verbosity=2)
