"""A program killed while it plays (SIGKILL: no exit routine, no stop button) still
leaves the item's position in its list record, at most 15 s behind."""
import os
import shutil
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
KEPT_WITHIN = 15


class KilledWhilePlaying(unittest.TestCase):
    def test_the_position_survives_sigkill_and_the_next_start(self):
        s = Session(BUILD)
        try:
            clip = os.path.join(s.tmp, "clip.mp4")
            shutil.copy(os.path.join(BUILD, "portal-media", "yese-01.mp4"), clip)  # 60 s
            s.start_program(args=[clip])
            s.wait_for(lambda: s.dump()["player"]["Position"] >= 22, 60, "22 seconds played")
            seen = s.dump()["player"]["Position"]
            os.kill(s.program.pid, signal.SIGKILL)
            s.program.wait(10)
            killed_at = seen + 1  # the dump and the kill are a moment apart

            with open(os.path.join(s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
                lines = f.read().split("\r\n")
            name, path, saved = lines[0].split("|")
            self.assertEqual((name, path), ("clip.mp4", clip))
            self.assertGreater(int(saved), 0, "a position was kept while playing")
            self.assertGreaterEqual(int(saved), killed_at - KEPT_WITHIN - 1)
            self.assertLessEqual(int(saved), killed_at)

            # The next start finds a sound list and no half-written files.
            s.sock.close()
            s.sock = None
            os.remove(s.socket_path)
            s.start_program()
            s.wait_for(lambda: s.control("zhun")["caption"] == "准备就绪", 20, "ready")
            with open(os.path.join(s.home, "date_f.dat"), encoding="utf-8", newline="") as f:
                self.assertTrue(f.read().startswith(f"clip.mp4|{clip}|{saved}\r\n"))
            leftovers = [n for n in os.listdir(s.home) if ".tmp-" in n]
            self.assertEqual(leftovers, [])
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
