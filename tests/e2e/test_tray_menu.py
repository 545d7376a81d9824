"""The tray icon's menu at the icon: a tray host of today (StatusNotifierItem, a
recording watcher on a private session bus) is given the program menu's items on the
bus and shows them itself, and a click there acts as the item; an older tray
(trayer, XEmbed) gets the same menu from a real right click on the icon. Neither
opens a second menu of the program's own."""
import json
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.environ.get("TAVLIN_BUILD_DIR", "build")
FAKE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_desktop.py")
SHOTS = os.path.join(os.path.abspath(BUILD), "screenshots")
ITEMS = ["软件设置", "关于我们", "官方主页", "-", "帮助提示", "升级检测", "-", "退出软件"]

# Reads the exported menu as a tray host does (and clicks one item, if given).
HOST = r'''
import dbus, json, sys
bus = dbus.SessionBus()
item = bus.get_object(sys.argv[1], "/StatusNotifierItem")
props = dbus.Interface(item, dbus.PROPERTIES_IFACE)
path = props.Get("org.kde.StatusNotifierItem", "Menu")
menu = dbus.Interface(bus.get_object(sys.argv[1], path), "com.canonical.dbusmenu")
if sys.argv[2:] == ["context"]:
    dbus.Interface(item, "org.kde.StatusNotifierItem").ContextMenu(100, 100)
elif sys.argv[2:]:
    menu.Event(int(sys.argv[2]), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0))
revision, (root, _, children) = menu.GetLayout(0, -1, [])
items = [{"id": int(c[0]), "label": str(c[1].get("label", "")), "type": str(c[1].get("type", "standard")),
          "visible": bool(c[1].get("visible", True))} for c in children]
print(json.dumps({"menu": str(path), "items": items}, ensure_ascii=False))
'''


def settings_page(s):
    ba3 = s.dump()["forms"]["BA3"]
    if not ba3["window"]["qtVisible"]:
        return None
    return next(c["index"] for c in ba3["controls"] if c["name"] == "p1" and c["shown"])


class StatusNotifierHost(unittest.TestCase):
    def host(self, *args):
        r = subprocess.run(["/usr/bin/python3", "-c", HOST, self.service, *args], capture_output=True, text=True,
                           timeout=20, env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.s.bus_address))
        if r.returncode != 0:
            raise RuntimeError(r.stderr)
        return json.loads(r.stdout)

    def test_the_host_shows_the_program_menu_and_its_click_acts(self):
        self.s = s = Session(BUILD, bus=True, tray=False)
        self.addCleanup(s.close)
        log = os.path.join(s.tmp, "desktop.log")
        s.spawn(["/usr/bin/python3", FAKE, log, "watcher"], env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=s.bus_address))

        def calls(kind):
            with open(log, encoding="utf-8") as f:
                return [e for e in map(json.loads, filter(str.strip, f)) if e["call"] == kind]
        s.wait_for(lambda: os.path.exists(log) and calls("ready"), 20, "the tray host")
        s.start_program()
        registered = s.wait_for(lambda: calls("RegisterStatusNotifierItem"), 30, "the icon registered")
        self.service = registered[0]["service"]
        self.assertTrue(s.dump()["tray"]["available"])

        layout = self.host()
        shown = [i for i in layout["items"] if i["visible"]]
        self.assertEqual([i["label"] if i["type"] != "separator" else "-" for i in shown], ITEMS)

        # A host that asks the icon for its menu at a point gets none of the
        # program's own pop-ups in the window.
        self.host("context")
        self.assertEqual(s.dump()["forms"]["tip"]["openMenu"], "")

        about = next(i["id"] for i in shown if i["label"] == "关于我们")
        self.host(str(about))
        s.wait_for(lambda: settings_page(s) == 0, 15, "the settings dialog on its about page")


class XEmbedTray(unittest.TestCase):
    def test_a_right_click_on_the_icon_opens_the_menu_there(self):
        s = Session(BUILD)
        self.addCleanup(s.close)
        s.start_program()
        s.wait_for(lambda: s.dump()["tray"]["geometry"][2] > 0, 20, "the icon in the tray")
        x, y, w, h = s.dump()["tray"]["geometry"]
        s.xrun("xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "3")
        s.wait_for(lambda: s.dump()["tray"]["menuOpen"], 10, "the menu at the icon")
        os.makedirs(SHOTS, exist_ok=True)
        s.xrun("import", "-window", "root", os.path.join(SHOTS, "tray-menu-xembed.png"))
        self.assertEqual(s.dump()["forms"]["tip"]["openMenu"], "", "one menu, not two")
        s.xrun("xdotool", "key", "Down", "Down", "Return")
        s.wait_for(lambda: settings_page(s) == 0, 15, "the settings dialog on its about page")
        self.assertFalse(s.dump()["tray"]["menuOpen"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
