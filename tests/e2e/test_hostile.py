"""The program against clumsy and hostile input: automation requests that are not
what they should be, and a socket path that names somebody's file."""
import os
import socket
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import PageServer, Session  # noqa: E402

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


def tree_private_kib(root_pid):
    """Memory of a process and all its descendants that no other process shares, in
    KiB (proportional counts move when unrelated programs map the same libraries)."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, ValueError, IndexError):
                pass
    total, todo = 0, [root_pid]
    while todo:
        pid = todo.pop()
        todo.extend(children.get(pid, []))
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith(("Private_Clean:", "Private_Dirty:")):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


class HostilePages(unittest.TestCase):
    """Pages of the test's own making on loopback, loaded into the portal's view: a
    second address stands for a second origin in frames."""

    @classmethod
    def setUpClass(cls):
        cls.s = Session(BUILD)
        cls.s.start_program()
        cls.root = os.path.join(cls.s.tmp, "hostile")
        os.makedirs(cls.root)
        cls.main = PageServer(cls.root, "127.0.0.1")
        cls.other = PageServer(cls.root, "127.0.0.2")
        cls.secret = os.path.join(cls.s.tmp, "secret.txt")
        with open(cls.secret, "w") as f:
            f.write("the user's own file\n")
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 30, "portal")

    @classmethod
    def tearDownClass(cls):
        cls.main.close()
        cls.other.close()
        cls.s.close()

    def page(self, name, body):
        with open(os.path.join(self.root, name), "w", encoding="utf-8") as f:
            f.write('<!doctype html><meta charset="utf-8"><body>' + body + "</body>")
        return self.main.base + name

    def show(self, url):
        self.s.show_page(url)

    def assert_stays(self, url):
        time.sleep(2)
        views = self.s.ba1()["views"]
        self.assertEqual(views["Web1"], url)
        for view, address in views.items():
            self.assertNotIn("secret", address, view)

    def test_a_scripted_click_cannot_open_a_local_file(self):
        url = self.page("click.htm", f'<a id="a" href="file://{self.secret}">x</a>'
                                     "<script>document.getElementById('a').click()</script>")
        self.show(url)
        self.assert_stays(url)

    def test_b_a_frame_cannot_speak_for_the_page(self):
        with open(os.path.join(self.root, "frame.htm"), "w") as f:
            f.write("<script>window.top.postMessage({tavlinLink: 'file://" + self.secret + "', target: ''}, '*');"
                    "window.top.postMessage({tavlinLink: 'open://1', target: ''}, '*');</script>")
        url = self.page("framed.htm", f'<iframe src="{self.other.base}frame.htm"></iframe>')
        self.show(url)
        self.assert_stays(url)
        self.assertNotIn("open://1", self.s.ba1()["navigations"].get("Web1", []))

    def test_c_pop_ups_without_a_click_cost_nothing(self):
        url = self.page("popups.htm", "<script>for (var i = 0; i < 2000; i++) window.open('about:blank');</script>")
        # The same page without the calls first, so that what loading a page costs
        # is not counted.
        self.show(self.page("quiet.htm", "<script>for (var i = 0; i < 2000; i++) Math.sqrt(i);</script>"))
        time.sleep(3)
        before = tree_private_kib(self.s.program.pid)
        self.show(url)
        time.sleep(5)
        grown = tree_private_kib(self.s.program.pid) - before
        self.assertLess(grown, 50 * 1024, f"the process tree grew by {grown // 1024} MiB")
        self.assertTrue(self.s.program_alive())


if __name__ == "__main__":
    unittest.main(verbosity=2)
