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
        clicks on the tabs meanwhile. Returns the delays of the real clicks and the
        balloons shown."""
        balloons_before = len(self.s.ok(op="balloons")["balloons"])
        start = time.time()
        self.portal_page("flood.htm", f'<a id="l" href="{link}">x</a><script>setInterval(function () {{'
                                      "var a = document.getElementById('l'); for (var i = 0; i < 100; i++) a.click();"
                                      "}, 10);</script>")
        # The page's first command shows the player. Hiding a view whose renderer is
        # that busy holds the window up to 15 s inside the engine (a page clicking
        # plain links does the same once the view is hidden by hand): the clicks are
        # timed from then on.
        self.s.wait_for(lambda: self.s.ba1()["state"]["CurrentView"] == 9, 60, "the page's first command")
        delays = []
        while time.time() < start + seconds - 2:
            target = 8 if self.s.ba1()["state"]["CurrentView"] == 9 else 9
            clicked = time.time()
            self.s.click_at("npc", index=target)
            self.s.wait_for_fine(lambda: self.s.ba1()["state"]["CurrentView"] == target, 30, f"tab {target}")
            delays.append(time.time() - clicked)
            time.sleep(1.5)
        time.sleep(max(0, start + seconds - time.time()))
        balloons = self.s.ok(op="balloons")["balloons"][balloons_before:]
        elapsed = time.time() - start
        self.portal_page("calm.htm", "calm")
        return delays, balloons, elapsed

    def test_e_a_page_clicking_links_in_a_loop_does_not_hold_up_the_user(self):
        self.portal.requests.clear()
        delays, balloons, elapsed = self.flood(play_link(601), 30)
        asked = sum(1 for p in self.portal.requests if p.startswith("/soft/h.asp"))
        print(f"\neebovod flood, {elapsed:.0f} s: real-click delays {[round(d, 3) for d in delays]}, "
              f"{asked} episode requests, {len(balloons)} balloons", file=sys.stderr)
        # One balloon of a text while it is up (10 s): three in 30 s.
        self.assertLessEqual(len(balloons), math.ceil(elapsed / 10))
        # One command every 5 s without a click.
        self.assertLessEqual(asked, math.ceil(elapsed / 5) + 1)
        self.assertGreaterEqual(len(delays), 3)
        # Most real clicks are carried out at once (0.3 s goal; slack for a loaded
        # machine). Some still wait inside the engine while it hides or shows a view
        # whose renderer is this busy, whatever the page clicks.
        self.assertLessEqual(statistics.median(delays), 0.3 * 3)

        # Measured only: each of its commands restarts the player, and the engine's
        # waits above make the few clicks that fit in the time too few to judge.
        delays, _, elapsed = self.flood("eeqvod://qvod&&&http%3A//127.0.0.1:9/a.mp4&&&flood&&&1&&&602&&&1&&&1", 30)
        print(f"eeqvod flood, {elapsed:.0f} s: real-click delays {[round(d, 3) for d in delays]}", file=sys.stderr)
        self.assertTrue(self.s.program_alive())


if __name__ == "__main__":
    unittest.main(verbosity=2)
