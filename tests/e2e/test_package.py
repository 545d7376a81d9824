"""The installation and the Debian package: "cmake --install" puts the program, its
desktop entry, icons, description, manual page and change log under a prefix; the
package made by CPack declares its dependencies, holds the same files, passes the
distribution's checks (lintian, appstream, desktop-file-validate) without an error
or a warning, and its program, unpacked, runs against the demo portal on X11 even
without the Wayland plugin it recommends, keeping its data in the user's folder."""
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from tavlin_e2e import Session  # noqa: E402

BUILD = os.path.abspath(os.environ.get("TAVLIN_BUILD_DIR", "build"))
APP_ID = "org.tavlin.tavlin"
DESKTOP = f"share/applications/{APP_ID}.desktop"
METAINFO = f"share/metainfo/{APP_ID}.metainfo.xml"
FILES = ["bin/tavlin", DESKTOP, METAINFO, "share/man/man1/tavlin.1.gz", "share/doc/tavlin/changelog.gz",
         "share/doc/tavlin/copyright"] + [f"share/icons/hicolor/{n}x{n}/apps/tavlin.png"
                                          for n in (16, 24, 32, 48, 64, 128, 256)]
# The open-file dialog's types, and the newer containers.
MIME_TYPES = {"application/vnd.rn-realmedia", "application/vnd.rn-realmedia-vbr", "video/x-ms-wmv", "audio/mpeg",
              "audio/x-ms-wma", "audio/midi", "audio/x-wav", "video/mpeg", "video/mp4", "video/x-matroska",
              "video/x-msvideo", "video/x-flv", "video/webm"}


def run(*argv, **kw):
    return subprocess.run(list(argv), check=True, capture_output=True, text=True, timeout=600, **kw).stdout


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavlin-package-")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def check_tree(self, root):
        for f in FILES:
            self.assertTrue(os.path.isfile(os.path.join(root, f)), f)
        self.assertTrue(os.access(os.path.join(root, "bin/tavlin"), os.X_OK))
        with open(os.path.join(root, DESKTOP), encoding="utf-8") as f:
            entry = f.read()
        self.assertIn("\nExec=tavlin %f\n", entry)
        self.assertIn("\nIcon=tavlin\n", entry)
        declared = set(filter(None, re.search(r"\nMimeType=(.*)\n", entry).group(1).split(";")))
        self.assertEqual(declared, MIME_TYPES)
        r = subprocess.run(["desktop-file-validate", os.path.join(root, DESKTOP)], capture_output=True, text=True)
        self.assertEqual((r.returncode, r.stdout), (0, ""), "desktop-file-validate")
        r = subprocess.run(["appstreamcli", "validate", "--no-net", "--explain", os.path.join(root, METAINFO)],
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stdout)
        # The component names its desktop entry, and the player announces the same one.
        with open(os.path.join(root, METAINFO), encoding="utf-8") as f:
            component = f.read()
        self.assertIn(f"<id>{APP_ID}</id>", component)
        self.assertIn(f'<launchable type="desktop-id">{APP_ID}.desktop</launchable>', component)

    def test_1_install_under_a_prefix(self):
        prefix = os.path.join(self.tmp, "prefix")
        run("cmake", "--install", BUILD, "--prefix", prefix)
        self.check_tree(prefix)

    def test_2_the_package_unpacked_runs_on_the_demo_portal(self):
        out = os.path.join(self.tmp, "deb")
        run("cpack", "-G", "DEB", "-B", out, "--config", os.path.join(BUILD, "CPackConfig.cmake"))
        deb = glob.glob(os.path.join(out, "tavlin_*.deb"))
        self.assertEqual(len(deb), 1, os.listdir(out))
        info = run("dpkg-deb", "--info", deb[0])
        depends = re.search(r"Depends: (.*)", info).group(1)
        for library in ("libmpv", "libqt6webenginewidgets6", "libqt6dbus6", "libcurl", "libc6"):
            self.assertIn(library, depends)
        # Those two are opened when first needed, not by the loader before main():
        # together some 180 libraries that a start would wait for.
        needed = run("readelf", "-d", os.path.join(BUILD, "tavlin"))
        for library in ("libmpv", "libcurl"):
            self.assertNotIn(library, needed)
        # The Wayland client library is a small one the idle inhibitor links; Qt's
        # Wayland platform plugin is only recommended: the program starts without it.
        self.assertNotIn("qt6-wayland", depends, "the program starts without the Wayland plugin")
        self.assertIn("qt6-wayland", re.search(r"Recommends: (.*)", info).group(1))
        size = re.search(r"Installed-Size: (\d+)", info).group(1)
        print(f"\npackage: {os.path.basename(deb[0])}, {os.path.getsize(deb[0]) // 1024} KiB, "
              f"installed {size} KiB\n{info}", flush=True)

        root = os.path.join(self.tmp, "root")
        run("dpkg-deb", "-x", deb[0], root)
        self.check_tree(os.path.join(root, "usr"))

        # The distribution's judgement: no error, no warning, and hardened as its
        # own packages are.
        r = subprocess.run(["lintian", "--display-info", "--show-overrides", "--tag-display-limit", "0", deb[0]],
                           capture_output=True, text=True, timeout=600)
        print(f"lintian:\n{r.stdout}", flush=True)
        complaints = [line for line in r.stdout.splitlines() if line[:2] in ("E:", "W:") or "hardening-no" in line]
        # clang fortifies only calls whose destination has a size known when compiling,
        # and the program has none: the package says so in its override, and the
        # program is built fortified all the same.
        self.assertEqual(complaints, ["O: tavlin: hardening-no-fortify-functions [usr/bin/tavlin]"])
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(BUILD, "compile_commands.json"), encoding="utf-8") as f:
            product = [c for c in json.load(f) if "/src/" in c["file"]]
        self.assertTrue(product)
        self.assertEqual([c["file"] for c in product if "-D_FORTIFY_SOURCE=2" not in c["command"]], [])

        s = Session(BUILD)
        try:
            # As an installed program is started: no program folder is given. On a
            # Wayland session without Qt's Wayland plugin (only X11's is there) Qt
            # falls back to X11, and the program must not need more.
            data = os.path.join(s.tmp, "data")
            s.env.pop("TAVLIN_HOME")
            s.env["XDG_DATA_HOME"] = data
            platforms = os.path.join(s.tmp, "qt-platforms", "platforms")
            os.makedirs(platforms)
            xcb = run("sh", "-c", "ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so").split()[0]
            os.symlink(xcb, os.path.join(platforms, "libqxcb.so"))
            s.env.update(QT_QPA_PLATFORM_PLUGIN_PATH=platforms, XDG_SESSION_TYPE="wayland")
            s.env.pop("QT_QPA_PLATFORM", None)
            s.start_program(executable=os.path.join(root, "usr/bin/tavlin"))
            s.wait_for(lambda: s.ok(op="loaded")["loaded"]["Web1"], 30, "portal page loaded")
            self.assertTrue(s.ba1()["views"]["Web1"].startswith(s.portal_base))
            self.assertTrue(os.path.isfile(os.path.join(data, "tavlin", "config.ini")))
            self.assertEqual(sorted(os.listdir(os.path.join(root, "usr/bin"))), ["tavlin"],
                             "nothing is written beside the installed program")
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
