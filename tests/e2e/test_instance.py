"""One program at a time: a second start hands its file to the first window and
ends without one; a first instance killed outright leaves nothing that stops the
next start."""
import os
import shutil
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")


def program_windows(s):
    """Top-level windows that carry the program's caption."""
    out = s.xrun("xdotool", "search", "--name", "^Tavlin 3.0$", check=False)
    return [w for w in out.split() if w]


class HandOff(unittest.TestCase):
    def setUp(self):
        self.s = Session(BUILD)
        self.clip = os.path.join(self.s.tmp, "a b", "夜色 c.mp4")
        os.makedirs(os.path.dirname(self.clip))
        shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), self.clip)

    def tearDown(self):
        self.s.close()

    def start_again(self, *args):
        """A later start with its own automation socket, as a user's double click would
        be (the same program folder); returns the process and where its socket would be."""
        sock = os.path.join(self.s.tmp, f"later-{time.monotonic_ns()}.sock")
        log = open(os.path.join(self.s.tmp, "later.log"), "ab")
        p = self.s.spawn([os.path.join(self.s.build_dir, "tavlin"), *args],
                         env=dict(self.s.env, TAVLIN_AUTOMATION=sock), stdout=log, stderr=log)
        return p, sock

    def player(self):
        return self.s.dump().get("player", {})

    def test_a_second_start_plays_in_the_first_window_and_a_killed_first_is_taken_over(self):
        s = self.s
        s.start_program()
        s.wait_for(lambda: s.ok(op="loaded")["loaded"]["Web1"], 30, "portal")
        # The first window is in the tray: the hand-off brings it back.
        s.ok(op="tray", button="left")
        s.wait_for(lambda: not s.ba1()["window"]["qtVisible"], 10, "hidden to the tray")

        started = time.monotonic()
        second, second_sock = self.start_again(f'"{self.clip}"')
        self.assertEqual(second.wait(10), 0)
        ended = time.monotonic() - started
        s.wait_for_fine(lambda: self.player().get("Url") == self.clip and self.player().get("PlayState") == 3,
                        20, "the handed-over file plays")
        playing = time.monotonic() - started
        s.wait_for_fine(lambda: not s.control("times")["caption"].startswith("00:00 "), 20, "the clock runs")
        shown = time.monotonic() - started
        print(f"\nsecond start ended after {ended:.2f} s; the first window's player played after {playing:.2f} s, "
              f"its time label moved after {shown:.2f} s", file=sys.stderr)
        self.assertLess(ended, 2.0)
        self.assertFalse(os.path.exists(second_sock), "the second start opened nothing")
        ba1 = s.ba1()
        self.assertTrue(ba1["window"]["qtVisible"])
        self.assertEqual(ba1["state"]["CurrentView"], 9)
        self.assertEqual(s.control("bo_name")["caption"], "夜色 c.mp4")
        with open(os.path.join(s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
            listed = f.read()
            self.assertTrue(listed.startswith(f"夜色 c.mp4|{self.clip}|0\r\n"), listed)
        self.assertEqual(len(program_windows(s)), 1, "one window on the screen")
        s.ok(op="screenshot", path=os.path.join(s.build_dir, "screenshots", "hand-off.png"))

        # Killed outright, the first leaves its lock file and socket behind.
        s.sock.close()
        s.sock = None
        s.program.send_signal(signal.SIGKILL)
        s.program.wait()
        os.remove(s.socket_path)
        s.start_program()
        self.assertTrue(s.ok(op="dump")["forms"]["BA1"]["window"]["qtVisible"], "the third start is the first")
        # ... and it answers the next start as the first did.
        fourth, _ = self.start_again("")
        self.assertEqual(fourth.wait(10), 0)
        self.assertTrue(s.program_alive())

    def test_starts_in_other_program_folders_run_side_by_side(self):
        s = self.s
        s.start_program()
        other_home = os.path.join(s.tmp, "other-home")
        os.makedirs(other_home)
        sock = os.path.join(s.tmp, "other.sock")
        other = s.spawn([os.path.join(s.build_dir, "tavlin")],
                        env=dict(s.env, TAVLIN_HOME=other_home, TAVLIN_AUTOMATION=sock))
        s.wait_for(lambda: os.path.exists(sock), 30, "the other program's channel")
        self.assertIsNone(other.poll())
        s.stop(other)


if __name__ == "__main__":
    unittest.main()
