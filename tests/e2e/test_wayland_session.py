"""On a Wayland desktop (a headless sway), what the compositor alone can grant:
a second start brings the running window to the front with the launcher's
activation token, and without one leaves the focus where it is; and while a film
plays the window carries an idle inhibitor, let go on pause and stop."""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
PROBE = os.path.join(os.path.abspath(BUILD), "wayland_probe")


class WaylandSession(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # sway's own default only marks an activated window urgent; a desktop that
        # focuses it is what shows the token at work.
        cls.s = Session(BUILD, wayland_scale=1, tray=False, wayland_config="focus_on_window_activation focus\n")
        cls.clip = os.path.join(cls.s.tmp, "clip.mp4")
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), cls.clip)  # 60 s
        cls.s.start_program()
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 40, "home page")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def view_of(self, pid):
        views = [v for v in self.s.sway_views() if v["pid"] == pid]
        return views[0] if views else None

    def focused_pid(self):
        return next((v["pid"] for v in self.s.sway_views() if v.get("focused")), None)

    def second_start(self, token=None):
        env = dict(self.s.env)
        env.pop("XDG_ACTIVATION_TOKEN", None)
        if token:
            env["XDG_ACTIVATION_TOKEN"] = token
        with open(os.path.join(self.s.tmp, "later.log"), "ab") as log:
            p = self.s.spawn([os.path.join(self.s.build_dir, "tavlin")], env=env, stdout=log, stderr=log)
        self.assertEqual(p.wait(15), 0, "the second start hands over and ends")

    def test_a_second_start_takes_the_focus_with_its_token_only(self):
        s = self.s
        s.wait_for(lambda: self.view_of(s.program.pid), 20, "the program's window in the tree")
        other = s.spawn([PROBE, "window"], env=s.env)
        s.wait_for(lambda: self.focused_pid() == other.pid, 20, "the other window focused")

        # Without a token the compositor keeps the focus where the user put it.
        self.second_start()
        time.sleep(2)
        self.assertEqual(self.focused_pid(), other.pid, "no token, no focus taken")

        token = subprocess.run([PROBE, "token"], env=s.env, capture_output=True, text=True, check=True,
                               timeout=10).stdout.strip()
        self.assertTrue(token)
        started = time.monotonic()
        self.second_start(token)
        s.wait_for(lambda: self.focused_pid() == s.program.pid, 10, "the program's window focused")
        print(f"\nfocused {time.monotonic() - started:.2f} s after the second start", file=sys.stderr)
        self.assertIsNotNone(self.view_of(other.pid), "the other window is still there")

    def test_idle_is_inhibited_while_playing_only(self):
        s = self.s
        inhibited = lambda: self.view_of(s.program.pid)["inhibit_idle"]  # noqa: E731
        self.assertFalse(inhibited())
        self.second_start_with_file()
        s.wait_for(lambda: s.dump()["player"]["PlayState"] == 3, 30, "playing")
        s.wait_for(inhibited, 10, "inhibited while playing")
        s.ok(op="click", form="BA1", control="bo_but", index=0)  # pause
        s.wait_for(lambda: not inhibited(), 10, "let go on pause")
        s.ok(op="click", form="BA1", control="bo_but", index=0)
        s.wait_for(inhibited, 10, "inhibited again")
        # Full screen and back: the film goes on, and so does the hold.
        s.ok(op="click", form="BA1", control="bo_but", index=3)
        s.wait_for(lambda: s.dump()["player"]["FullScreen"], 5, "full screen")
        self.assertTrue(inhibited(), "inhibited in full screen")
        subprocess.run(["wtype", "-s", "800", "-k", "Escape"], env=dict(os.environ, WAYLAND_DISPLAY=s.wayland_display),
                       check=True, timeout=10)
        s.wait_for(lambda: not s.dump()["player"]["FullScreen"], 5, "full screen left")
        self.assertTrue(inhibited(), "inhibited after full screen")
        s.ok(op="click", form="BA1", control="bo_but", index=1)  # stop
        s.wait_for(lambda: not inhibited(), 10, "let go on stop")

    def second_start_with_file(self):
        with open(os.path.join(self.s.tmp, "later.log"), "ab") as log:
            p = self.s.spawn([os.path.join(self.s.build_dir, "tavlin"), self.clip], env=self.s.env, stdout=log,
                             stderr=log)
        self.assertEqual(p.wait(15), 0)


if __name__ == "__main__":
    unittest.main()
