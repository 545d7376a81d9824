"""The program's windows on a desktop with openbox and a panel that reserves the bottom
30 pixels (the tray host as a dock with a strut), driven with the real pointer and
keys (xdotool) and checked on the X windows (xwininfo, xprop, the pointer's image):
where the window opens and comes back from the tray, dialogs that belong to it,
the close question waved away, and full screen over the panel with its feedback."""
import ctypes
import ctypes.util
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402
from test_window_states import Desktop  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
SCREEN = (1280, 800)
PANEL = Session.PANEL_HEIGHT


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def pointer_shown(display):
    """Whether the pointer the X server draws has any visible pixel (XFixes)."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    assert dpy, "cannot open the display"
    try:
        image = xfixes.XFixesGetCursorImage(dpy)
        assert image, "no cursor image"
        c = image.contents
        shown = any(c.pixels[i] >> 24 for i in range(c.width * c.height))
        x11.XFree(image)
        return shown
    finally:
        x11.XCloseDisplay(dpy)


@unittest.skipUnless(shutil.which("openbox") and shutil.which("xdotool") and shutil.which("xwininfo"),
                     "needs openbox, xdotool and xwininfo")
class DesktopWindows(unittest.TestCase):
    """One session; the steps build on each other."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        cls.s = Session(BUILD, window_manager="openbox", panel=True,
                        portal_args=("--wen-notices", "0", "--wen-fudong", "1", "--wen-playerad", "0"))
        cls.clip = os.path.join(cls.s.tmp, "clip.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)  # 60 s
        cls.s.start_program()
        cls.s.wait_for(lambda: cls.s.ba1()["window"]["qtVisible"], 30, "main window")
        cls.d = Desktop(cls.s)
        cls.main = cls.d.window_id()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    # --- the X side ---
    @classmethod
    def window_id(cls, name):
        ids = cls.s.xrun("xdotool", "search", "--all", "--pid", str(cls.s.program.pid), "--name", name,
                         check=False).split()
        return int(ids[0]) if len(ids) == 1 else None

    def wait_window(self, name):
        return self.s.wait_for(lambda: self.window_id(name), 10, f"window {name}")

    def rect(self, wid):
        return self.d.geometry(wid)[0]

    def viewable(self, wid):
        return self.d.geometry(wid)[1]

    def stacking(self):
        """Client windows bottom to top, as the window manager stacks them."""
        return [int(v, 16) for v in re.findall(r"0x[0-9a-f]+", self.s.xprop("-root", "_NET_CLIENT_LIST_STACKING"))]

    def shot(self, name):
        path = os.path.join(SHOTS, name)
        self.s.xrun("import", "-window", "root", path)
        return path

    def key(self, *names):
        self.s.xrun("xdotool", "key", *names)

    def click_form(self, wid, form, name, index=None):
        """A real click on a control of a form shown in the X window wid."""
        c = next(c for c in self.s.dump()["forms"][form]["controls"] if c["name"] == name and c["index"] == index)
        x, y, _, _ = self.rect(wid)
        self.s.xrun("xdotool", "mousemove", "--sync", str(x + c["x"] + c["w"] // 2), str(y + c["y"] + c["h"] // 2),
                    "click", "1")

    def double_click(self, x, y):
        self.s.xrun("xdotool", "mousemove", "--sync", str(x), str(y))
        time.sleep(0.3)
        self.s.xrun("xdotool", "click", "--repeat", "2", "--delay", "80", "1")

    def config(self):
        with open(os.path.join(self.s.home, "config.ini"), "rb") as f:
            return f.read()

    def assert_owned_and_centred(self, name):
        wid = self.wait_window(name)
        self.s.wait_for(lambda: self.viewable(wid), 10, f"{name} shown")
        self.assertIn(f"window id # {hex(self.main)}", self.s.xprop("-id", str(wid), "WM_TRANSIENT_FOR"))
        self.assertIn("_NET_WM_WINDOW_TYPE_DIALOG", self.s.xprop("-id", str(wid), "_NET_WM_WINDOW_TYPE"))
        allowed = self.s.xprop("-id", str(wid), "_NET_WM_ALLOWED_ACTIONS")
        for action in ("MAXIMIZE", "RESIZE"):
            self.assertNotIn("_NET_WM_ACTION_" + action, allowed, name)
        # No minimise or maximise button of its own (openbox still lists minimising,
        # which takes the main window along).
        _, functions, decorations = (int(v, 16) for v in
                                     self.s.xprop("-id", str(wid), "_MOTIF_WM_HINTS").split("=")[1].split(",")[:3])
        self.assertEqual(decorations & 0x61, 0, f"{name}: all, minimise or maximise decorations {decorations:#x}")
        self.assertEqual(functions & 0x19, 0, f"{name}: all, minimise or maximise functions {functions:#x}")
        x, y, w, h = self.rect(wid)
        mx, my, mw, mh = self.rect(self.main)
        # Openbox adds its title bar above the window it was asked to centre.
        self.assertLessEqual(abs((x + w / 2) - (mx + mw / 2)), 2, (name, (x, y, w, h), (mx, my, mw, mh)))
        self.assertLessEqual(abs((y + h / 2) - (my + mh / 2)), 30, (name, (x, y, w, h), (mx, my, mw, mh)))
        return wid

    # --- the walk ---
    def test_1_the_window_opens_in_the_middle_of_the_screen(self):
        self.assertEqual(self.s.xprop("-root", "_NET_WORKAREA").split("=")[1].split(",")[:4],
                         [" 0", " 0", " 1280", f" {SCREEN[1] - PANEL}"], "the panel reserves its strip")
        x, y, w, h = self.rect(self.main)
        self.assertLessEqual(abs(2 * x + w - SCREEN[0]), 2, (x, y, w, h))
        self.assertLessEqual(abs(2 * y + h - SCREEN[1]), 2, (x, y, w, h))

    def test_2_dialogs_open_over_the_main_window_and_stay_above_it(self):
        self.s.ok(op="menu", item="shezhi")
        settings = self.assert_owned_and_centred("^软件设置$")
        self.shot("settings-over-main.png")
        # The folder picker belongs to the dialog; afterwards the dialog is still on top,
        # also after a click on the main window.
        self.s.ok(op="click", form="BA3", control="d_z", index=2)
        self.click_form(settings, "BA3", "Command1")
        picker = self.s.wait_for(lambda: [d for d in self.s.ok(op="dialogs")["dialogs"] if d["kind"] == "folder"],
                                 10, "folder picker")
        self.assertTrue(picker)
        time.sleep(0.5)
        self.key("Escape")
        self.s.wait_for(lambda: not self.s.ok(op="dialogs")["dialogs"], 10, "picker closed")
        mx, my, _, _ = self.rect(self.main)
        self.s.xrun("xdotool", "mousemove", "--sync", str(mx + 20), str(my + 300), "click", "1")
        time.sleep(0.5)
        order = self.stacking()
        self.assertGreater(order.index(settings), order.index(self.main), "the dialog stays above the window")
        self.click_form(settings, "BA3", "cmdCancel")
        self.s.wait_for(lambda: not self.viewable(settings), 10, "settings closed")

        self.s.ok(op="menu", item="help")
        self.assert_owned_and_centred("^帮助提示$")
        self.s.ok(op="click", form="tip", control="cmdclose")

    def test_3_back_from_the_tray_where_it_was(self):
        x, y, _, _ = self.rect(self.main)
        # Dragged by a free point of its surface, up and left (away from the ad in
        # the lower right); the window manager takes over a step into the drag.
        px, py = self.d.surface_point()
        self.d.drag(x + px, y + py, -150, -60)
        self.s.wait_for(lambda: self.rect(self.main)[0] < x - 100, 10, f"moved: {self.rect(self.main)}")
        moved = self.rect(self.main)
        for _ in range(2):
            self.s.ok(op="tray", button="left")
            self.s.wait_for(lambda: not self.viewable(self.main), 10, "hidden to the tray")
            self.s.ok(op="tray", button="left")
            self.s.wait_for(lambda: self.viewable(self.main), 10, "back")
            time.sleep(0.5)  # where the window manager would have put it by now
            self.assertEqual(self.rect(self.main), moved)

    def test_4_escape_on_the_close_question_cancels(self):
        before = self.config()
        self.assertIn(b"ts=3", before)
        for how in ("Escape", "the close button"):
            self.s.click_at("npc", 2)
            question = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "close question")[0]
            self.assertEqual(question["text"], "关闭 Tavlin 最小化到托盘吗？")
            box = self.wait_window("^提示：$")
            self.s.wait_for(lambda: self.viewable(box), 10, "question shown")
            time.sleep(0.5)
            if how == "Escape":
                self.key("Escape")
            else:
                # The close button at the right end of openbox's title bar.
                x, y, w, _ = self.rect(box)
                left, right, top, _ = (int(v) for v in
                                       self.s.xprop("-id", str(box), "_NET_FRAME_EXTENTS").split("=")[1].split(","))
                self.s.xrun("xdotool", "mousemove", "--sync", str(x + w + right - 10), str(y - top // 2),
                            "click", "1")
            self.s.wait_for(lambda: not self.s.ok(op="dialogs")["dialogs"], 10, f"question gone after {how}")
            time.sleep(0.5)
            self.assertTrue(self.s.program_alive(), how)
            self.assertTrue(self.viewable(self.main), how)
            self.assertEqual(self.config(), before, how)

    def test_5_full_screen_covers_the_panel_and_the_ad_stays_out(self):
        ad = self.s.wait_for(lambda: self.window_id("^adsb$") if self.s.dump()["forms"]["adsb"]["window"]["qtVisible"]
                             else None, 30, "floating ad")
        self.s.wait_for(lambda: self.viewable(ad), 10, "ad shown")
        self.assertIn("_NET_WM_WINDOW_TYPE_UTILITY", self.s.xprop("-id", str(ad), "_NET_WM_WINDOW_TYPE"))
        states = self.s.xprop("-id", str(ad), "_NET_WM_STATE")
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", states)
        self.assertIn("_NET_WM_STATE_SKIP_PAGER", states)
        hints = self.s.xprop("-id", str(ad), "WM_NORMAL_HINTS")
        self.assertIn("program specified minimum size: 268 by 200", hints)
        self.assertIn("program specified maximum size: 268 by 200", hints)

        self.s.ok(op="click", form="BA1", control="bo_but", index=4)
        dialog = self.s.wait_for(lambda: self.s.ok(op="dialogs")["dialogs"], 10, "open-file dialog")[0]
        self.s.ok(op="answer", id=dialog["id"], value=self.clip)
        self.s.wait_for(lambda: self.s.control("zhun")["caption"].startswith("播放中("), 20, "playing")
        panel = self.panel_share(self.shot("panel-before-full-screen.png"))
        self.assertGreater(panel, 0.9, "the panel is on the screen")

        normal = self.rect(self.main)
        self.s.click_at("bo_but", 3)
        self.s.wait_for(lambda: self.rect(self.main) == (0, 0) + SCREEN, 10,
                        f"full screen: {self.rect(self.main)}")
        self.s.wait_for(lambda: not self.viewable(ad), 5, "the ad steps aside")
        time.sleep(1.5)
        shot = self.shot("fullscreen-panel.png")
        self.assertLess(self.panel_share(shot), 0.05, "the film covers the panel")
        self.key("Escape")
        self.s.wait_for(lambda: self.rect(self.main) == normal, 10, f"back: {self.rect(self.main)}")
        self.s.wait_for(lambda: self.viewable(ad), 10, "the ad is back")

    def test_6_full_screen_feedback_pointer_double_click_and_f(self):
        normal = self.rect(self.main)
        full = (0, 0) + SCREEN
        picture = self.s.control("QvodC")
        px, py = normal[0] + picture["x"] + picture["w"] // 2, normal[1] + picture["y"] + picture["h"] // 2
        self.double_click(px, py)
        self.s.wait_for(lambda: self.rect(self.main) == full, 10, "a double click goes full screen")

        # The pointer hides after two seconds at rest and shows again on a move.
        self.s.xrun("xdotool", "mousemove", "--sync", "600", "300")
        self.assertTrue(pointer_shown(self.s.display))
        time.sleep(1.0)
        self.assertTrue(pointer_shown(self.s.display), "still shown after a second")
        self.s.wait_for(lambda: not pointer_shown(self.s.display), 3, "hidden after two seconds")
        self.s.xrun("xdotool", "mousemove", "--sync", "620", "320")
        self.s.wait_for(lambda: pointer_shown(self.s.display), 2, "shown on a move")

        # Pause and volume show mpv's bar and message for a moment; the paused picture
        # without them is the reference.
        self.assertGreater(self.feedback_after("space", "fullscreen-feedback.png"), 0.005, "pause")
        self.assertEqual(self.s.dump()["player"]["PlayState"], 2)
        self.assertGreater(self.feedback_after("Up", "fullscreen-volume.png"), 0.005, "volume")

        # A double click on the picture comes back, F goes and comes back.
        time.sleep(1.5)
        self.double_click(640, 400)
        self.s.wait_for(lambda: self.rect(self.main) == normal, 10, "a double click comes back")
        self.assertFalse(self.s.dump()["player"]["FullScreen"])
        self.assertTrue(pointer_shown(self.s.display))
        # Out of full screen keys show nothing on the picture.
        time.sleep(1.5)
        crop = f"{picture['w']}x{picture['h']}+{normal[0] + picture['x']}+{normal[1] + picture['y']}"
        before = self.shot("window-paused.png")
        self.key("Down")
        after = self.shot("window-volume.png")
        self.assertLess(self.changed_share(before, after, crop), 0.001, "no on-screen display in the window")

        self.s.xrun("xdotool", "mousemove", "--sync", str(px), str(py), "click", "1")
        self.key("f")
        self.s.wait_for(lambda: self.rect(self.main) == full, 10, "F goes full screen")
        self.key("f")
        self.s.wait_for(lambda: self.rect(self.main) == normal, 10, "F comes back")

    def feedback_after(self, key, name):
        """The largest share of the screen that changed in the second after a key
        on a paused (or pausing) film, against the screen a while later; the first
        shot that changed most is kept as name."""
        self.key(key)
        shots = [self.shot(f"{i}-{name}") for i in range(6)]  # mpv shows it for a second
        time.sleep(2.5)
        still = self.shot("still-" + name)
        changes = [self.changed_share(shot, still) for shot in shots]
        best = changes.index(max(changes))
        os.replace(shots[best], os.path.join(SHOTS, name))
        for shot in shots + [still]:
            if os.path.exists(shot):
                os.remove(shot)
        return max(changes)

    # --- pictures ---
    @staticmethod
    def panel_share(shot):
        """The share of the bottom strip in the panel's flat grey."""
        grey = "rgb(217,217,217)"  # trayer's background
        out = subprocess.run(["convert", shot, "-crop", f"{SCREEN[0]}x{PANEL}+0+{SCREEN[1] - PANEL}", "-fuzz", "2%",
                              "-fill", "black", "+opaque", grey, "-fill", "white", "-opaque", grey,
                              "-format", "%[fx:mean]", "info:"], capture_output=True, text=True, check=True).stdout
        return float(out)

    @staticmethod
    def changed_share(a, b, crop=None):
        """The share of pixels that differ between two screenshots (of the crop)."""
        args = ["compare", "-metric", "AE", "-fuzz", "8%"]
        if crop:
            args = ["compare", "-metric", "AE", "-fuzz", "8%", "-extract", crop]
        r = subprocess.run(args + [a, b, "null:"], capture_output=True, text=True)
        count = float(r.stderr.split()[0])
        w, h = (int(v) for v in crop.split("+")[0].split("x")) if crop else SCREEN
        return count / (w * h)


if __name__ == "__main__":
    unittest.main(verbosity=2)
