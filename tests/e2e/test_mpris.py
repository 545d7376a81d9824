"""The desktop's media remote on a private session bus: the program appears under
its player name, reports the clip, and its commands act as the buttons do, up to
Quit, which ends the program by its own exit routine. Seeks made in the window are
announced, media keys on the window act as the buttons, and a new item is described
once, with an address the desktop can open."""
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
NAME = "org.mpris.MediaPlayer2.tavlin"
PATH = "/org/mpris/MediaPlayer2"
PLAYER = "org.mpris.MediaPlayer2.Player"


class Mpris(unittest.TestCase):
    def bus(self, *argv):
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.s.bus_address)
        r = subprocess.run(["dbus-send", "--session", "--print-reply", *argv], env=env, capture_output=True,
                           text=True, timeout=10)
        if r.returncode != 0:
            raise RuntimeError(r.stderr)
        return r.stdout

    def call(self, method, *args):
        return self.bus(f"--dest={NAME}", PATH, f"{PLAYER}.{method}", *args)

    def get(self, prop, interface=PLAYER):
        return self.bus(f"--dest={NAME}", PATH, "org.freedesktop.DBus.Properties.Get", f"string:{interface}",
                        f"string:{prop}")

    def names(self):
        return self.bus("--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.ListNames")

    def test_the_remote_reports_and_controls_playback_and_quits_in_order(self):
        self.s = s = Session(BUILD, bus=True)
        try:
            clip = os.path.join(s.tmp, "远方 clip.mp4")
            shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), clip)  # 60 s
            monitor_log = open(os.path.join(s.tmp, "monitor.log"), "w")
            self.addCleanup(monitor_log.close)
            s.spawn(["dbus-monitor", "--address", s.bus_address,
                     "type='signal',interface='org.freedesktop.DBus.Properties'"], stdout=monitor_log)
            seeked_log = os.path.join(s.tmp, "seeked.log")
            with open(seeked_log, "w") as out:
                s.spawn(["dbus-monitor", "--address", s.bus_address,
                         f"type='signal',interface='{PLAYER}',member='Seeked'"], stdout=out)
            s.start_program(args=[clip])
            s.wait_for(lambda: NAME in self.names(), 20, "the player's name on the bus")
            s.wait_for(lambda: '"Playing"' in self.get("PlaybackStatus"), 20, "playing")
            # "Playing" already covers the item's opening; its length follows once known
            # (60 s and a little, in microseconds).
            metadata = s.wait_for(lambda: next((m for m in [self.get("Metadata")] if "int64 60" in m), None),
                                  10, "length")
            self.assertIn("远方 clip.mp4", metadata)
            self.assertIn("/org/mpris/MediaPlayer2/tavlin/track/", metadata)
            self.assertIn("Tavlin", self.get("Identity", "org.mpris.MediaPlayer2"))

            s.wait_for(lambda: s.dump()["player"]["Position"] >= 3, 20, "three seconds in")
            self.call("Pause")
            s.wait_for(lambda: s.control("zhun")["caption"] == "已暂停", 10, "paused like the button")
            self.assertEqual(s.control("bo_but", 0)["tooltip"], "播放")
            s.wait_for(lambda: '"Paused"' in self.get("PlaybackStatus"), 10, "status paused")
            paused_at = s.dump()["player"]["Position"]
            with open(os.path.join(s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
                record = f.read().split("\r\n")[0].split("|")
            # The record holds whole seconds read as the pause is made; mpv's paused
            # position may settle on the next frame, across a second's boundary.
            self.assertEqual(record[:2], ["远方 clip.mp4", clip])
            self.assertLessEqual(abs(int(record[2]) - paused_at), 1, "a pause saves")

            self.call("PlayPause")
            s.wait_for(lambda: s.dump()["player"]["PlayState"] == 3, 10, "playing again")
            self.call("Seek", "int64:20000000")
            s.wait_for(lambda: s.dump()["player"]["Position"] >= paused_at + 19, 10, "sought 20 s on")

            self.bus(f"--dest={NAME}", PATH, "org.freedesktop.DBus.Properties.Set", f"string:{PLAYER}",
                     "string:Volume", "variant:double:0.4")
            s.wait_for(lambda: s.dump()["player"]["Volume"] == 40, 10, "volume 40")
            self.assertIn("0.4", self.get("Volume"))

            # A real arrow key on the window: the desktop hears of the jump.
            def seeked_since(mark):
                with open(seeked_log) as f:
                    f.seek(mark)
                    return re.search(r"int64 (\d+)", f.read())
            # The remote's own seek above was announced as well.
            self.assertTrue(seeked_since(0))
            mark = os.path.getsize(seeked_log)
            s.point_at("QvodC")
            before = s.dump()["player"]["Position"]
            s.xrun("xdotool", "key", "Right")
            jump = s.wait_for(lambda: seeked_since(mark), 10, "Seeked")
            self.assertAlmostEqual(int(jump.group(1)) / 1e6, before + 10, delta=2)

            # Media keys on the focused window, as a bare window manager delivers them.
            s.xrun("xdotool", "key", "XF86AudioPlay")
            s.wait_for(lambda: s.control("bo_but", 0)["tooltip"] == "播放", 10, "paused by the media key")
            s.xrun("xdotool", "key", "XF86AudioPause")
            time.sleep(1.5)
            self.assertEqual(s.control("bo_but", 0)["tooltip"], "播放", "pause does not toggle back")
            s.xrun("xdotool", "key", "XF86AudioPlay")
            s.wait_for(lambda: s.control("bo_but", 0)["tooltip"] == "暂停", 10, "playing again")

            # Another item, opened from the desktop: described once, by a file address.
            second = os.path.join(s.tmp, "第二 clip#2.mp4")
            shutil.copy(clip, second)
            uri = pathlib.Path(second).as_uri()
            monitor_log.flush()
            mark = os.path.getsize(os.path.join(s.tmp, "monitor.log"))
            self.call("OpenUri", f"string:{uri}")
            s.wait_for(lambda: "第二 clip#2.mp4" in self.get("Metadata"), 20, "the second item")
            metadata = self.get("Metadata")
            self.assertIn(f'string "{uri}"', metadata)
            self.assertIn("int64 60", metadata, "described with its length")
            time.sleep(3)
            with open(os.path.join(s.tmp, "monitor.log"), encoding="utf-8", errors="replace") as f:
                f.seek(mark)
                announced = f.read()
            self.assertEqual(announced.count('string "Metadata"'), 1, announced)
            s.wait_for(lambda: s.dump()["player"]["Position"] >= 1, 10, "the second item plays")

            # The changes were announced, not only readable.
            time.sleep(1.5)
            monitor_log.flush()
            with open(os.path.join(s.tmp, "monitor.log")) as f:
                signals = f.read()
            self.assertIn("PropertiesChanged", signals)
            self.assertIn('"Paused"', signals)
            self.assertIn("Volume", signals)

            self.assertIn("org.tavlin.tavlin", self.get("DesktopEntry", "org.mpris.MediaPlayer2"))
            self.bus(f"--dest={NAME}", PATH, "org.mpris.MediaPlayer2.Quit")
            self.assertEqual(s.program.wait(20), 0)
            with open(os.path.join(s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
                lines = f.read().split("\r\n")
            self.assertEqual(lines[0].split("|")[1], second)
            saved = int(lines[1].split("|")[2])
            self.assertGreaterEqual(saved, paused_at + 19, "the position of the first item was saved")
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
