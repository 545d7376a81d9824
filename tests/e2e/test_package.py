"""The installation and the Debian package: "cmake --install" puts the program, its
desktop entry, icons and description under a prefix; the package made by CPack
declares its dependencies, holds the same files, and its program, unpacked, runs
against the demo portal and keeps its data in the user's folder, not beside itself."""
import glob
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
FILES = ["bin/tavlin", "share/applications/tavlin.desktop", "share/metainfo/tavlin.metainfo.xml"] + [
    f"share/icons/hicolor/{n}x{n}/apps/tavlin.png" for n in (16, 24, 32, 48, 64, 128, 256)]
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
        with open(os.path.join(root, "share/applications/tavlin.desktop"), encoding="utf-8") as f:
            entry = f.read()
        self.assertIn("\nExec=tavlin %f\n", entry)
        self.assertIn("\nIcon=tavlin\n", entry)
        declared = set(filter(None, re.search(r"\nMimeType=(.*)\n", entry).group(1).split(";")))
        self.assertEqual(declared, MIME_TYPES)
        if shutil.which("desktop-file-validate"):
            run("desktop-file-validate", os.path.join(root, "share/applications/tavlin.desktop"))
        if shutil.which("appstreamcli"):
            r = subprocess.run(["appstreamcli", "validate", "--no-net", "--explain",
                                os.path.join(root, "share/metainfo/tavlin.metainfo.xml")], capture_output=True,
                               text=True)
            self.assertNotIn("E:", r.stdout, r.stdout)

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
        size = re.search(r"Installed-Size: (\d+)", info).group(1)
        print(f"\npackage: {os.path.basename(deb[0])}, {os.path.getsize(deb[0]) // 1024} KiB, "
              f"installed {size} KiB\n{info}", flush=True)

        root = os.path.join(self.tmp, "root")
        run("dpkg-deb", "-x", deb[0], root)
        self.check_tree(os.path.join(root, "usr"))

        s = Session(BUILD)
        try:
            # As an installed program is started: no program folder is given.
            data = os.path.join(s.tmp, "data")
            s.env.pop("TAVLIN_HOME")
            s.env["XDG_DATA_HOME"] = data
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
