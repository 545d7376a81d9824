"""End-to-end tests of the window's states: maximise, restore, pin, compact mode and
moving, driven with the real pointer (xdotool) and checked on the X windows
(xwininfo, xprop), without and with a window manager; and closing to the tray on a
desktop that has no tray host, where balloons become desktop notifications."""
import os
import re
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
CAPTION = "Tavlin 3.0"
SCREEN = (1280, 800)
RIGHT_KEY = 39


class Desktop:
    """The program's main X window seen from outside, and the real pointer."""

    def __init__(self, session):
        self.s = session

    def window_id(self):
        ids = self.s.xrun("xdotool", "search", "--all", "--pid", str(self.s.program.pid), "--name",
                          "^" + re.escape(CAPTION) + "$", check=False).split()
        assert len(ids) == 1, ids
        return int(ids[0])

    def geometry(self, wid=None):
        """(x, y, w, h) of the window on the screen, and whether it is viewable."""
        info = self.s.xrun("xwininfo", "-id", str(wid or self.window_id()))
        field = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))  # noqa: E731
        return ((field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")),
                "IsViewable" in info)

    def rect(self):
        return self.geometry()[0]

    def net_wm_state(self):
        return self.s.xprop("-id", str(self.window_id()), "_NET_WM_STATE")

    def wm_state(self):
        m = re.search(r"window state: (\w+)", self.s.xprop("-id", str(self.window_id()), "WM_STATE"))
        return m.group(1) if m else None

    def shot(self, name):
        """The whole screen, window manager and all."""
        self.s.xrun("import", "-window", "root", os.path.join(SHOTS, name + ".png"))

    def press(self, x, y):
        self.s.xrun("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1")

    def drag(self, x, y, dx, dy, steps=8):
        """Presses at (x, y) on the screen, moves by (dx, dy) in steps and releases.
        The first step is one pixel: a window manager moves the window from where the
        pointer is when the move is handed to it, after that first step."""
        self.press(x, y)
        self.s.xrun("xdotool", "mousemove", str(x + 1), str(y + 1))
        for i in range(1, steps + 1):
            time.sleep(0.05)
            self.s.xrun("xdotool", "mousemove", str(x + dx * i // steps), str(y + dy * i // steps))
        time.sleep(0.2)
        self.s.xrun("xdotool", "mouseup", "1")
        time.sleep(0.3)

    def click_control(self, name, index=None):
        c = self.s.control(name, index)
        x, y, _, _ = self.rect()
        self.s.xrun("xdotool", "mousemove", "--sync", str(x + c["x"] + c["w"] // 2),
                    str(y + c["y"] + c["h"] // 2), "click", "1")

    def surface_point(self):
        """A point of the window's own surface (no control over it) in the top band."""
        ba1 = self.s.ba1()
        shown = [c for c in ba1["controls"] if c["shown"] and c["w"] > 0 and c["h"] > 0]
        for x in range(60, ba1["window"]["w"] - 60, 7):
            for y in (10, 14, 40):
                if not any(c["x"] <= x < c["x"] + c["w"] and c["y"] <= y < c["y"] + c["h"] for c in shown):
                    return x, y
        raise AssertionError("no free point on the surface")


class WindowStatesBase:
    """Run with and without a window manager; the steps build on each other."""
    window_manager = None

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD, window_manager=cls.window_manager, bus=True)
        cls.s.start_program()
        cls.d = Desktop(cls.s)
        cls.s.wait_for(lambda: all(cls.s.ok(op="loaded")["loaded"].values()), 60, "views loaded")
        # Timer6 opens the side panel two seconds after start: a size change of its own.
        cls.s.wait_for(lambda: cls.s.control("u_k")["visible"], 10, "side panel")
        cls.xid = cls.d.window_id()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tooltip(self, index):
        return self.s.control("npc", index)["tooltip"]

    def wait_rect(self, rect, what, slack=0):
        near = lambda: all(abs(a - b) <= slack for a, b in zip(self.d.rect(), rect))  # noqa: E731
        self.s.wait_for(near, 10, f"{what}: {self.d.rect()} != {rect}")
        return self.d.rect()

    def maximise_and_restore(self):
        normal = self.d.rect()
        self.d.click_control("npc", 1)
        self.s.wait_for(lambda: self.s.ba1()["window"]["maximized"], 10, "maximised")
        self.assertEqual(self.tooltip(1), "还原")
        self.s.wait_for(lambda: self.d.rect()[2:] == self.work_area()[2:], 10, "filling the work area")
        self.d.click_control("npc", 1)
        self.s.wait_for(lambda: not self.s.ba1()["window"]["maximized"], 10, "restored")
        self.wait_rect(normal, "the old geometry")
        return normal

    def work_area(self):
        m = re.search(r"= (\d+), (\d+), (\d+), (\d+)", self.s.xprop("-root", "_NET_WORKAREA"))
        return tuple(int(v) for v in m.groups()) if m else (0, 0) + SCREEN

    def assert_normal_and_movable(self, rect):
        time.sleep(0.5)  # a late state change from the window system would show by now
        win = self.s.ba1()["window"]
        self.assertFalse(win["maximized"])
        self.assertEqual(self.tooltip(1), "最大化")
        self.assertEqual(self.d.rect(), rect)
        x, y = self.d.surface_point()
        self.d.drag(rect[0] + x, rect[1] + y, 60, 40)
        return self.wait_rect((rect[0] + 60, rect[1] + 40, rect[2], rect[3]), "moved by the drag", slack=1)

    def test_1_pin_after_maximise_and_restore(self):
        normal = self.maximise_and_restore()
        self.d.click_control("npc", 4)
        self.s.wait_for(lambda: self.s.ba1()["window"]["topmost"], 10, "pinned")
        self.assertEqual(self.tooltip(4), "取消置顶")
        # The same X window: pinning changes a property, it does not make a new one.
        self.assertEqual(self.d.window_id(), self.xid)
        if self.window_manager:
            self.s.wait_for(lambda: "_NET_WM_STATE_ABOVE" in self.d.net_wm_state(), 10, "above the others")
        moved = self.assert_normal_and_movable(normal)
        self.d.shot(f"desktop-pinned-{self.window_manager or 'bare'}")

        # The bottom-right corner resizes.
        x, y, w, h = moved
        self.d.drag(x + w - 2, y + h - 2, 40, 30)
        x, y, w2, h2 = self.wait_rect((x, y, w + 40, h + 30), "resized by the corner", slack=1)
        self.s.wait_for(lambda: (self.s.ba1()["window"]["w"], self.s.ba1()["window"]["h"]) == (w2, h2), 10,
                        "the layout follows")

        self.d.click_control("npc", 4)
        self.s.wait_for(lambda: not self.s.ba1()["window"]["topmost"], 10, "unpinned")
        self.assertEqual(self.d.window_id(), self.xid)
        if self.window_manager:
            self.s.wait_for(lambda: "_NET_WM_STATE_ABOVE" not in self.d.net_wm_state(), 10, "no longer above")

    def test_2_compact_mode_after_maximise_and_restore(self):
        self.maximise_and_restore()
        self.d.click_control("npc", 15)
        self.s.wait_for(lambda: self.d.rect()[2:] == (387, 320), 10, "compact size")
        time.sleep(0.5)
        win = self.s.ba1()["window"]
        self.assertFalse(win["maximized"])
        self.assertTrue(win["topmost"])
        self.assertEqual((win["w"], win["h"]), (387, 320))
        self.assertEqual(self.tooltip(1), "最大化")
        self.assertEqual(self.d.window_id(), self.xid)
        self.assert_normal_and_movable(self.d.rect())
        self.d.click_control("jbi")
        self.s.wait_for(lambda: self.s.ba1()["state"]["CompactMode"] == 0, 10, "compact mode left")
        self.s.wait_for(lambda: not self.s.ba1()["window"]["topmost"], 10, "unpinned")
        self.assertFalse(self.s.ba1()["window"]["maximized"])
        self.assert_normal_and_movable(self.d.rect())


class WithoutWindowManager(WindowStatesBase, unittest.TestCase):
    window_manager = None


class WithOpenbox(WindowStatesBase, unittest.TestCase):
    window_manager = "openbox"


class NoTray(unittest.TestCase):
    """A desktop with a window manager but no tray host, and a session bus on which
    no notification service runs."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD, tray=False, window_manager="openbox", bus=True)
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=cls.s.bus_address)
        cls.notes = os.path.join(cls.s.tmp, "notifications.txt")
        with open(cls.notes, "wb") as out:
            cls.monitor = cls.s.spawn(["dbus-monitor", "--session", "interface='org.freedesktop.Notifications'"],
                                       env=env, stdout=out)
        cls.s.start_program()
        cls.d = Desktop(cls.s)
        cls.s.wait_for(lambda: all(cls.s.ok(op="loaded")["loaded"].values()), 60, "views loaded")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def minimised(self):
        return self.d.wm_state() == "Iconic" and self.s.ba1()["window"]["minimized"]

    def bring_back(self):
        # As a task bar does: the window manager is asked to activate the window.
        self.s.xrun("xdotool", "windowactivate", str(self.d.window_id()))
        self.s.wait_for(lambda: self.d.wm_state() == "Normal", 10, "mapped again")
        self.s.wait_for(lambda: not self.s.ba1()["window"]["minimized"], 10, "the program knows")
        self.assertTrue(self.d.geometry()[1])

    def test_1_closing_to_the_tray_minimises(self):
        self.assertFalse(self.s.dump()["tray"]["available"])
        rect = self.d.rect()
        self.d.click_control("npc", 2)
        dialogs = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "close question")
        self.assertEqual(dialogs[0]["text"], "关闭 Tavlin 最小化到托盘吗？")
        self.s.ok(op="answer", id=dialogs[0]["id"], value="yes")
        self.s.wait_for(self.minimised, 10, f"minimised: {self.d.wm_state()}")
        self.d.shot("desktop-no-tray-minimised")
        self.bring_back()
        self.d.shot("desktop-no-tray-back")
        self.assertEqual(self.d.rect(), rect)
        win = self.s.ba1()["window"]
        self.assertEqual((win["w"], win["h"]), rect[2:])

        # The answer is kept: the next close minimises without asking.
        self.d.click_control("npc", 2)
        self.s.wait_for(self.minimised, 10, "minimised again")
        self.assertEqual(self.s.ok(op="dialogs")["dialogs"], [])
        self.bring_back()
        self.assertTrue(self.s.program_alive())

    def test_2_balloons_become_desktop_notifications(self):
        clip = os.path.join(self.s.tmp, "clip.mp4")
        os.symlink(os.path.join(os.path.abspath(BUILD), "portal-media", "yese-01.mp4"), clip)
        self.s.ok(op="click", form="BA1", control="bo_but", index=4)
        dialog = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "open-file dialog")[0]
        self.s.ok(op="answer", id=dialog["id"], value=clip)
        self.s.wait_for(lambda: self.s.control("zhun")["caption"].startswith("播放中("), 20, "playing")
        # Armed shutdown (only recorded here): the end of the clip is announced.
        self.s.ok(op="click", form="BA1", control="bo_but", index=6)
        self.s.ok(op="menu", item="kaiqi")
        self.s.wait_for(lambda: self.s.control("bo_but", 6)["tooltip"] == "已开启自动关机", 5, "armed")
        for _ in range(8):
            self.s.ok(op="key", code=RIGHT_KEY)
            time.sleep(0.2)
        text = "即将播放完毕，正准备自动关机！"
        self.s.wait_for(lambda: text in self.s.ok(op="balloons")["balloons"], 30, "balloon")

        def notified():
            with open(self.notes, encoding="utf-8", errors="replace") as f:
                log = f.read()
            return "member=Notify" in log and f'"{text}"' in log and '"Tavlin提示:"' in log
        self.s.wait_for(notified, 10, "a Notify call on the session bus")
        # Nobody answers it, and nothing else comes of it.
        self.s.wait_for(lambda: self.s.ok(op="power")["calls"], 20, "the end handled")
        self.assertTrue(self.s.program_alive())
        self.assertEqual(self.s.ok(op="dialogs")["dialogs"], [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
