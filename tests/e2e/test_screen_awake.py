"""The screen kept awake while a film plays, on a private session bus with a
recording screen saver service and on the X server's own screen saver: one hold
from the start of playback, released on pause, stop, end and exit, and nothing left
held by a program that is killed. The end of the film is announced once, as a
notification of the program's."""
import ctypes
import json
import os
import shutil
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
FAKE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_desktop.py")
RIGHT_KEY = 39
SAVER_ON = 1


class XScreenSaverInfo(ctypes.Structure):
    _fields_ = [("window", ctypes.c_ulong), ("state", ctypes.c_int), ("kind", ctypes.c_int),
                ("til_or_since", ctypes.c_ulong), ("idle", ctypes.c_ulong), ("eventMask", ctypes.c_ulong)]


class XSaver:
    """The X server's screen saver as its extension reports it (xset shows only
    its settings)."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xss = ctypes.CDLL("libXss.so.1")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xss.XScreenSaverAllocInfo.restype = ctypes.POINTER(XScreenSaverInfo)
        self.xss.XScreenSaverQueryInfo.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                                   ctypes.POINTER(XScreenSaverInfo)]
        self.display = self.x11.XOpenDisplay(display.encode())
        self.root = self.x11.XDefaultRootWindow(self.display)
        self.info = self.xss.XScreenSaverAllocInfo()

    def state(self):
        self.xss.XScreenSaverQueryInfo(self.display, self.root, self.info)
        return self.info.contents.state

    def close(self):
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay(self.display)


class ScreenAwake(unittest.TestCase):
    def calls(self, kind=None):
        with open(self.log, encoding="utf-8") as f:
            entries = [json.loads(line) for line in f if line.strip()]
        return [e for e in entries if kind is None or e["call"] == kind]

    def held(self):
        counts = [e["held"] for e in self.calls() if "held" in e]
        return counts[-1] if counts else 0

    def playing(self):
        return self.s.dump()["player"]["PlayState"] == 3

    def click(self, index):
        self.s.ok(op="click", form="BA1", control="bo_but", index=index)

    def start(self, *args):
        if self.s.sock:
            self.s.sock.close()
        if os.path.exists(self.s.socket_path):
            os.remove(self.s.socket_path)  # left by the program before
        self.s.start_program(args=list(args))
        self.s.wait_for(self.playing, 30, "playing")

    def to_the_end(self):
        """Arrow keys until the last seconds: each waits for the seek before to land."""
        while self.s.dump()["player"]["Position"] < 50:
            before = self.s.dump()["player"]["Position"]
            self.s.ok(op="key", code=RIGHT_KEY)
            self.s.wait_for(lambda: self.s.dump()["player"]["Position"] >= before + 5, 10, "a seek by key")

    def saver_stays_off(self, seconds):
        # Input now, so the three seconds of idleness start here.
        self.s.xrun("xdotool", "mousemove", "5", "5", "mousemove", "6", "6")
        end = time.time() + seconds
        while time.time() < end:
            self.assertNotEqual(self.x.state(), SAVER_ON, "the X screen saver came on during playback")
            time.sleep(0.25)

    def saver_comes_on(self):
        self.s.xrun("xdotool", "mousemove", "7", "7")
        self.s.wait_for(lambda: self.x.state() == SAVER_ON, 15, "the X screen saver on")

    def test_held_while_playing_only_and_never_left_behind(self):
        self.s = s = Session(BUILD, bus=True)
        self.addCleanup(s.close)
        self.log = os.path.join(s.tmp, "desktop.log")
        s.spawn(["/usr/bin/python3", FAKE, self.log, "screensaver", "notifications"],
                env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=s.bus_address))
        s.wait_for(lambda: os.path.exists(self.log) and self.calls("ready"), 20, "the desktop's services")
        self.x = XSaver(s.display)
        self.addCleanup(self.x.close)
        s.xrun("xset", "s", "3", "3")
        clip = os.path.join(s.tmp, "clip.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), clip)  # 60 s

        self.start(clip)
        s.wait_for(lambda: self.held() == 1, 10, "held")
        self.saver_stays_off(7)
        hold = self.calls("Inhibit")
        self.assertEqual(len(hold), 1, "one hold for one item")
        self.assertEqual(hold[0]["app"], "Tavlin")

        # Pause: let go, and the idle desktop may sleep again.
        self.click(0)
        s.wait_for(lambda: self.held() == 0, 10, "released on pause")
        self.saver_comes_on()
        self.click(0)
        s.wait_for(lambda: self.held() == 1, 10, "held again")
        self.saver_stays_off(5)
        self.click(1)  # stop
        s.wait_for(lambda: self.held() == 0, 10, "released on stop")
        self.saver_comes_on()

        # To the end, the shutdown armed (only recorded here) so that the end is
        # announced: released once the end is handled.
        self.click(0)
        s.wait_for(lambda: self.held() == 1, 10, "held for the replay")
        self.click(6)
        s.ok(op="menu", item="kaiqi")
        self.to_the_end()
        s.wait_for(lambda: s.ok(op="power")["calls"], 40, "the end handled")
        s.wait_for(lambda: self.held() == 0, 10, "released at the end")
        notes = s.wait_for(lambda: self.calls("Notify"), 10, "the end announced")
        self.assertEqual([n["body"] for n in notes], ["即将播放完毕，正准备自动关机！"], "announced once")
        self.assertEqual(notes[0]["hints"]["desktop-entry"], "org.tavlin.tavlin")

        # The orderly exit while playing lets go before the program ends.
        self.click(0)
        s.wait_for(lambda: self.held() == 1, 10, "held")
        s.ok(op="menu", item="qsoft")
        self.assertEqual(s.program.wait(20), 0)
        self.assertEqual(self.held(), 0)
        self.assertEqual([e["known"] for e in self.calls("UnInhibit")], [True] * len(self.calls("UnInhibit")))

        # Killed while playing: the bus and the X server let go by themselves.
        self.start(clip)
        s.wait_for(lambda: self.held() == 1, 10, "held by the new program")
        self.saver_stays_off(4)
        s.program.send_signal(signal.SIGKILL)
        s.program.wait(10)
        s.wait_for(lambda: self.held() == 0, 10, "the dead program's hold dropped")
        self.assertTrue(self.calls("ClientGone"))
        self.saver_comes_on()
        self.assertLessEqual(max(e["held"] for e in self.calls() if "held" in e), 1, "one hold at a time")


if __name__ == "__main__":
    unittest.main(verbosity=2)
