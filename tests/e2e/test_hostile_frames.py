"""A hostile portal and a second site: frames of another origin on the portal's page,
redirects into commands, menus made by script and pages clicking links in a loop,
with the real pointer where the fault needs a user's click.

The portal here is a server of the test's own on 127.0.0.1 (every episode request
fails); the other site is on 127.0.0.2."""
import math
import os
import shutil
import statistics
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import PageServer, Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
PAGE = '<!doctype html><meta charset="utf-8"><body style="margin:0">'
# The frame of the other site covers the top left of the page; the portal's own
# link sits below it.
FRAME_BOX = "position:fixed;left:0;top:0;width:400px;height:240px;border:0"
FILL = "position:fixed;left:0;top:0;width:100%;height:100%;display:block;margin:0;border:0"


def play_link(item):
    """A play link of the portal's grammar for item; the portal is asked for it as
    h.asp?id=item when the command is carried out."""
    return f"eebovod://{item}-1-1-x"


class HostileFrames(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp_root = tempfile.mkdtemp(prefix="tavlin-hostile-")
        os.makedirs(os.path.join(cls.tmp_root, "portal", "soft"), exist_ok=True)
        os.makedirs(os.path.join(cls.tmp_root, "other"), exist_ok=True)
        cls.other = PageServer(os.path.join(cls.tmp_root, "other"), "127.0.0.2", routes={
            "/r": lambda path: (302, {"Location": play_link(615)}, b""),
        })
        cls.portal = PageServer(os.path.join(cls.tmp_root, "portal"), "127.0.0.1", routes={
            "/soft/h.asp": lambda path: (200, {"Content-Type": "text/plain"}, b"1"),
        })
        cls.write("portal/soft/index.html", PAGE + "portal")
        cls.s = Session(BUILD, env={"TAVLIN_PORTAL": cls.portal.base + "soft/"})
        cls.s.start_program(timeout=90)
        cls.s.wait_for(lambda: cls.s.ok(op="loaded")["loaded"]["Web1"], 30, "portal")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()
        cls.other.close()
        cls.portal.close()
        shutil.rmtree(cls.tmp_root, ignore_errors=True)

    @classmethod
    def write(cls, name, text):
        with open(os.path.join(cls.tmp_root, name), "w", encoding="utf-8") as f:
            f.write(text)

    def portal_page(self, name, body):
        self.write("portal/soft/" + name, PAGE + body)
        url = self.portal.base + "soft/" + name
        self.s.ok(op="click", form="BA1", control="npc", index=8)  # the portal on screen
        self.s.show_page(url)
        time.sleep(0.5)
        return url

    def framed(self, name, frame_body):
        self.write("other/" + name, PAGE + frame_body)
        return self.portal_page("framed-" + name, f'<iframe src="{self.other.base}{name}" style="{FRAME_BOX}"></iframe>')

    def click_in_web1(self, x, y, button=1):
        self.s.point_at("Web1", dx=x, dy=y)
        self.s.xrun("xdotool", "click", str(button))

    def asked(self, item):
        return any(p.startswith(f"/soft/h.asp?id={item}&") for p in self.portal.requests)

    def reached(self, item):
        return any(f"{item}-1-1" in text for text in self.s.ba1()["navigations"].get("Web1", []))

    def assert_no_command(self, item):
        # The attack did reach the program (so the test is not vacuous), and the
        # portal was never asked for the item.
        self.s.wait_for(lambda: self.reached(item), 10, f"{item} reached the program")
        time.sleep(1)
        self.assertFalse(self.asked(item), item)

    def test_a_a_frame_of_another_site_gives_no_command_by_any_road(self):
        self.framed("link.htm", f'<a href="{play_link(611)}" target="_top" style="{FILL}">play</a>')
        self.click_in_web1(200, 120)
        self.assert_no_command(611)

        self.framed("script.htm", f'<div style="{FILL}" onclick="top.location = \'{play_link(612)}\'">'
                                  "x</div>")
        self.click_in_web1(200, 120)
        self.assert_no_command(612)

        self.framed("open.htm", f'<div style="{FILL}" '
                                f'onclick="window.open(\'{play_link(613)}\', \'_top\')">x</div>')
        self.click_in_web1(200, 120)
        self.assert_no_command(613)

        self.framed("form.htm", f'<form action="{play_link(614)}" target="_top" method="post">'
                                f'<button style="width:400px;height:240px">x</button></form>')
        self.click_in_web1(200, 120)
        self.assert_no_command(614)

    def test_b_a_redirect_into_a_command_gives_none(self):
        self.portal_page("redirect.htm", f'<a href="{self.other.base}r" style="{FILL}">elsewhere</a>')
        self.click_in_web1(200, 120)
        self.s.wait_for(lambda: "/r" in self.other.requests, 10, "the other site asked")
        self.assert_no_command(615)

    def test_c_a_menu_made_by_script_opens_nothing_a_real_right_click_does(self):
        self.portal_page("menu.htm", '<a id="l" href="http://127.0.0.1:9/" style="display:block;height:300px">x</a>'
                                     "<script>setInterval(function () { document.getElementById('l').dispatchEvent("
                                     "new MouseEvent('contextmenu', {bubbles: true, cancelable: true, clientX: 20, "
                                     "clientY: 20})); }, 100);</script>")
        time.sleep(2)
        self.assertEqual(self.s.dump()["forms"]["tip"]["openMenu"], "")
        self.click_in_web1(100, 100, button=3)
        self.s.wait_for(lambda: self.s.dump()["forms"]["tip"]["openMenu"] == "myMenu", 10, "the real right click's menu")
        self.s.xrun("xdotool", "key", "Escape")
        self.s.wait_for(lambda: self.s.dump()["forms"]["tip"]["openMenu"] == "", 10, "menu closed")

    def test_d_the_portals_own_link_plays_on_a_real_click(self):
        # Beside a frame of another site, the portal's own link still works: the
        # clicks of the tests above did arrive.
        self.write("other/beside.htm", PAGE + f'<a href="{play_link(698)}" target="_top" style="{FILL}">x</a>')
        self.portal_page("own.htm", f'<iframe src="{self.other.base}beside.htm" style="{FRAME_BOX}"></iframe>'
                                    f'<a href="{play_link(699)}" style="position:fixed;left:0;top:260px;'
                                    'width:400px;height:100px;display:block">own</a>')
        self.click_in_web1(200, 300)
        self.s.wait_for(lambda: self.asked(699), 10, "the portal's own link was carried out")

    def flood(self, link, seconds):
        """A portal page clicking `link` 10,000 times a second for `seconds`; real
        clicks on the tabs meanwhile, timed from the click to the tab on screen.
        Returns the delays, the balloons shown and the time taken."""
        balloons_before = len(self.s.ok(op="balloons")["balloons"])
        start = time.time()
        self.portal_page("flood.htm", f'<a id="l" href="{link}">x</a><script>setInterval(function () {{'
                                      "var a = document.getElementById('l'); for (var i = 0; i < 100; i++) a.click();"
                                      "}, 10);</script>")
        self.s.wait_for(lambda: self.s.ba1()["state"]["CurrentView"] == 9, 60, "the page's first command")
        delays, overtaken = [], 0
        while time.time() < start + seconds - 2:
            target = 8 if self.s.ba1()["state"]["CurrentView"] == 9 else 9
            commands = self.commands()
            clicked = time.time()
            self.s.click_at("npc", index=target)
            while self.s.ba1()["state"]["CurrentView"] != target:
                # A command of the page's that came right after the click brings the
                # player back before the tab was seen: the click is not timed.
                if self.commands() > commands and time.time() > clicked + 1:
                    overtaken += 1
                    break
                self.assertLess(time.time(), clicked + 30, f"tab {target}")
                time.sleep(0.01)
            else:
                delays.append(time.time() - clicked)
            time.sleep(1)
        # Commands come 5 s apart at least and take the player's tab in a moment: few
        # clicks fall just before one.
        print(f"{link.split(':')[0]} flood: {overtaken} clicks overtaken by a command", file=sys.stderr)
        self.assertLessEqual(overtaken, 2)
        time.sleep(max(0, start + seconds - time.time()))
        balloons = self.s.ok(op="balloons")["balloons"][balloons_before:]
        elapsed = time.time() - start
        self.portal_page("calm.htm", "calm")
        return delays, balloons, elapsed

    def commands(self):
        """The page commands carried out so far: each asks the portal for the episode
        (eebovod) or shows the episode page beside the player (eeqvod)."""
        return sum(1 for p in list(self.portal.requests) if p.startswith(("/soft/h.asp", "/soft/pp.htm")))

    def assert_prompt(self, delays, what):
        print(f"{what}: real-click delays median {statistics.median(delays):.3f} s, worst {max(delays):.3f} s "
              f"({len(delays)} clicks)", file=sys.stderr)
        self.assertGreaterEqual(len(delays), 10, what)
        # The click itself (xdotool) and the automation channel's answer take about
        # 0.12 s of the 0.3 s a click may wait.
        self.assertLessEqual(statistics.median(delays), 0.3, what)
        # One click may be slowed by a loaded machine, never held up for seconds.
        self.assertLessEqual(sum(1 for d in delays if d > 0.3), 1, what)
        self.assertLess(max(delays), 1, what)

    def test_e_a_page_clicking_links_in_a_loop_does_not_hold_up_the_user(self):
        self.portal.requests.clear()
        delays, balloons, elapsed = self.flood(play_link(601), 30)
        asked = sum(1 for p in self.portal.requests if p.startswith("/soft/h.asp"))
        print(f"\neebovod flood, {elapsed:.0f} s: {asked} episode requests, {len(balloons)} balloons",
              file=sys.stderr)
        self.assert_prompt(delays, "eebovod flood")
        # One balloon of a text while it is up (10 s): three in 30 s.
        self.assertLessEqual(len(balloons), math.ceil(elapsed / 10))
        # One command every 5 s without a click.
        self.assertLessEqual(asked, math.ceil(elapsed / 5) + 1)

        # Each command of this page restarts the player; the user's clicks still come first.
        delays, balloons, elapsed = self.flood(
            "eeqvod://qvod&&&http%3A//127.0.0.1:9/a.mp4&&&flood&&&1&&&602&&&1&&&1", 30)
        print(f"eeqvod flood, {elapsed:.0f} s: {len(balloons)} balloons", file=sys.stderr)
        self.assert_prompt(delays, "eeqvod flood")
        self.assertLessEqual(len(balloons), math.ceil(elapsed / 10))
        self.assertTrue(self.s.program_alive())


if __name__ == "__main__":
    unittest.main(verbosity=2)
