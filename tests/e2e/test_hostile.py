"""The program against clumsy and hostile input: automation requests that are not
what they should be, and a socket path that names somebody's file."""
import os
import socket
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")


class AutomationChannel(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = Session(BUILD)
        cls.s.start_program()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def test_an_index_that_is_no_whole_number_is_refused(self):
        before = self.s.ba1()["state"]["CurrentView"]
        for index in ("9", 9.5, [9]):
            answer = self.s.request(op="click", form="BA1", control="npc", index=index)
            self.assertFalse(answer["ok"], index)
        time.sleep(0.3)
        self.assertEqual(self.s.ba1()["state"]["CurrentView"], before, "nothing was clicked")

    def test_an_endless_line_is_cut_off_and_the_program_lives(self):
        sock = socket.socket(socket.AF_UNIX)
        sock.connect(self.s.socket_path)
        chunk = b"x" * (1 << 20)
        try:
            for _ in range(20):
                sock.sendall(chunk)
        except (BrokenPipeError, ConnectionResetError):
            pass
        sock.settimeout(10)
        answer = b""
        try:
            while not answer.endswith(b"\n"):
                part = sock.recv(4096)
                if not part:
                    break
                answer += part
        except OSError:
            pass
        sock.close()
        self.assertIn(b"too long", answer)
        self.assertTrue(self.s.program_alive())
        self.assertTrue(self.s.ok(op="dump")["ok"])


class SocketPath(unittest.TestCase):
    def test_a_path_naming_a_file_is_left_alone(self):
        s = Session(BUILD)
        try:
            with open(s.socket_path, "w") as f:
                f.write("somebody's notes\n")
            program = s._start([os.path.join(s.build_dir, "tavlin")], env=s.env)
            self.assertEqual(program.wait(30), 2)
            with open(s.socket_path) as f:
                self.assertEqual(f.read(), "somebody's notes\n")
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
