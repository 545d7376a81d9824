"""What comes from outside the program stays what it is: an update file's version
with markup is shown as its literal text (no link to click), options for Qt and the
web engine on the command line are not obeyed, and pages other than the page
player's play no sound before the user's click."""
import os
import shutil
import socket
import struct
import sys
import time
import unittest
import wave

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import PageServer, Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
VERSION = '<a href="file:///etc/passwd">3.1</a>'


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def write_tone(path, seconds=2):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(8000)
        w.writeframes(b"".join(struct.pack("<h", 8000 if (i // 9) % 2 else -8000) for i in range(8000 * seconds)))


@unittest.skipUnless(shutil.which("xdotool"), "needs xdotool")
class OutsideText(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD, portal_args=Session.QUIET_UPDATE_FILE + ("--wen-version", VERSION))
        cls.pages = os.path.join(cls.s.tmp, "pages")
        os.makedirs(cls.pages)
        write_tone(os.path.join(cls.pages, "tone.wav"))
        with open(os.path.join(cls.pages, "sound.html"), "w") as f:
            f.write('<html><body><audio id="a" src="tone.wav"></audio><script>'
                    'document.getElementById("a").play().then('
                    '() => location.replace("result.html?played"),'
                    ' e => location.replace("result.html?refused-" + e.name));'
                    '</script></body></html>')
        with open(os.path.join(cls.pages, "result.html"), "w") as f:
            f.write("<html><body>result</body></html>")
        cls.server = PageServer(cls.pages)
        cls.debug_port = free_port()
        cls.s.start_program(args=["-qwindowtitle", "Evil", "-reverse", "--webEngineArgs",
                                  f"--remote-debugging-port={cls.debug_port}"])
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 30, "home page")

    @classmethod
    def tearDownClass(cls):
        cls.server.close()
        cls.s.close()

    def test_qt_and_web_engine_options_on_the_command_line_are_not_obeyed(self):
        self.assertEqual(self.s.xrun("xdotool", "search", "--name", "Evil", check=False).strip(), "")
        with socket.socket() as probe:
            probe.settimeout(2)
            self.assertNotEqual(probe.connect_ex(("127.0.0.1", self.debug_port)), 0,
                                "no remote debugging port was opened")
        self.assertTrue(self.s.program_alive())

    def test_a_version_with_markup_reads_as_its_literal_text(self):
        self.s.wait_for(lambda: self.s.ba1()["state"]["LatestVersion"], 20, "update file read")
        self.s.ok(op="menu", item="shengji")
        found = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "version question")[0]
        self.s.wait_for(lambda: self.s.xrun("xdotool", "search", "--onlyvisible", "--name", found["title"],
                                            check=False).strip(), 10, "question on screen")
        time.sleep(0.5)
        self.s.xrun(shutil.which("import"), "-window", "root", os.path.join(SHOTS, "dialog-version-markup.png"))
        shown = self.s.ok(op="dialogs")["dialogs"][0]["text"]
        self.assertEqual(shown, f"检测到最新版本 {VERSION} ,你需要现在升级吗？")
        self.s.ok(op="answer", id=found["id"], value="no")
        self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"] == [], 10, "question closed")
        self.assertEqual(self.s.ok(op="opened")["opened"], [])

    def result_of(self, view):
        self.s.ok(op="link", view=view, href=self.server.base + "sound.html")
        return self.s.wait_for(lambda: (lambda a: a.split("?", 1)[1] if "result.html?" in a else None)(
            self.s.ba1()["views"][view]), 20, f"sound page in {view}")

    def test_only_the_page_player_plays_sound_without_a_click(self):
        self.assertEqual(self.result_of("Web1"), "refused-NotAllowedError")
        self.assertEqual(self.result_of("Web2"), "played")


if __name__ == "__main__":
    unittest.main(verbosity=2)
