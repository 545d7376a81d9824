"""Helpers of the end-to-end tests: an Xvfb display with a tray host (and, when asked,
a window manager or a private session bus), the demo portal, pages of a test's own
making, and the program driven through its automation channel."""
import functools
import http.server
import json
import os
import threading
import shutil
import socket
import subprocess
import tempfile
import time
import urllib.request


def escaped(text):
    """text as the portal's pages escape a title: "%uXXXX" for every character."""
    return "".join(f"%u{ord(c):04X}" for c in text)


class PageServer:
    """Serves a folder over HTTP on a loopback address, for pages of a test's own
    making (a second address is a second origin). routes maps a path (without its
    query) to a function of the request's path giving (status, headers, body); every
    request's path is kept in `requests`."""

    def __init__(self, root, host="127.0.0.1", routes=None):
        self.requests = []
        handler = functools.partial(_QuietHandler, directory=root, server_routes=routes or {}, log=self.requests)
        self.httpd = http.server.ThreadingHTTPServer((host, 0), handler)
        self.base = f"http://{host}:{self.httpd.server_address[1]}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, server_routes=None, log=None, **kw):
        self.server_routes = server_routes
        self.log = log
        super().__init__(*args, **kw)

    def do_GET(self):
        self.log.append(self.path)
        route = self.server_routes.get(self.path.split("?")[0])
        if route is None:
            return super().do_GET()
        status, headers, body = route(self.path)
        self.send_response(status)
        for key, value in headers.items():
            self.send_header(key, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class Session:
    """Starts Xvfb, trayer, the demo portal and the program; ends them by PID.

    tray=False leaves the desktop without a tray host (as stock GNOME is);
    window_manager="openbox" runs that window manager before anything is shown;
    bus=True gives the session a D-Bus session bus of its own, so that nothing the
    program sends there reaches the desktop the tests run on; panel=True makes the
    tray host a panel along the whole bottom edge that reserves its 30 pixels
    (a dock with a strut), as desktops have."""

    # The update file's switches are off unless a test turns them on (before the
    # program reads the file, six seconds after its start): a floating ad or a
    # rotating notice would cover what other tests look at.
    QUIET_UPDATE_FILE = ("--wen-notices", "0", "--wen-fudong", "0", "--wen-playerad", "0")
    PANEL_HEIGHT = 30

    def __init__(self, build_dir, home=None, env=None, size="1280x800", tray=True, window_manager=None,
                 bus=False, portal_args=QUIET_UPDATE_FILE, panel=False, wayland_scale=None, wayland_config=""):
        """wayland_scale: run on a headless Wayland compositor (sway) at that output
        scale instead of Xvfb; no tray host, no X tools there; wayland_config: more
        lines of sway's configuration."""
        self.portal_args = list(portal_args)
        self.wayland_scale = wayland_scale
        self.wayland_config = wayland_config
        self.wayland_dir = None
        self.build_dir = os.path.abspath(build_dir)
        # Every walk may leave screenshots here, first in a fresh build folder too.
        os.makedirs(os.path.join(self.build_dir, "screenshots"), exist_ok=True)
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix="tavlin-e2e-")
        os.chmod(self.tmp, 0o700)
        self.home = home or os.path.join(self.tmp, "home")
        os.makedirs(self.home, exist_ok=True)
        self.program = None
        self.sock = None
        try:
            self._start_desktop(env, size, tray, window_manager, bus, panel)
        except BaseException:
            self.close()  # what did start is ended
            raise

    def _start_desktop(self, env, size, tray, window_manager, bus, panel):
        if self.wayland_scale:
            base_env = self._start_wayland(size, self.wayland_scale)
            self._start_services(base_env, env, bus)
            return
        # Xvfb picks a free display itself and names it on the pipe, so sessions
        # started at the same time never race for one. Without -noreset it resets
        # whenever its last client leaves: an xprop that has just looked would make a
        # window manager that connects meanwhile fail to open the display.
        read_end, write_end = os.pipe()
        self._start([shutil.which("Xvfb"), "-displayfd", str(write_end), "-screen", "0", f"{size}x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"
        base_env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.tmp,
                        QTWEBENGINE_DISABLE_SANDBOX="1", QT_QPA_PLATFORM="xcb")
        base_env.pop("WAYLAND_DISPLAY", None)
        self._start_services(base_env, env, bus, window_manager, tray, panel)

    def _start_wayland(self, size, scale):
        # sway refuses to run as root; then it runs as nobody, in a runtime folder of
        # its own outside the session's private one. The program stays root and
        # reaches it by the socket's full path.
        self.wayland_dir = tempfile.mkdtemp(prefix="tavlin-sway-")
        width, height = size.split("x")
        config = os.path.join(self.wayland_dir, "config")
        with open(config, "w") as f:
            f.write(f"output HEADLESS-1 resolution {width}x{height} scale {scale}\nxwayland disable\n")
            f.write(self.wayland_config)
        argv = [shutil.which("sway"), "-c", config]
        if os.getuid() == 0:
            os.chown(self.wayland_dir, 65534, 65534)
            os.chmod(config, 0o644)
            argv = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"] + argv
        sway_env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.wayland_dir,
                    "XDG_RUNTIME_DIR": self.wayland_dir, "WLR_BACKENDS": "headless",
                    "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman"}
        log_path = os.path.join(self.tmp, "compositor.log")
        with open(log_path, "wb") as log:
            p = self._start(argv, env=sway_env, stdout=log, stderr=log)

        def socket_path():
            names = [n for n in os.listdir(self.wayland_dir) if n.startswith("wayland-") and not n.endswith(".lock")]
            return os.path.join(self.wayland_dir, names[0]) if names else None
        try:
            self._wait(lambda: socket_path() is not None or p.poll() is not None, 20, "sway")
        except TimeoutError:
            pass
        if not socket_path():
            with open(log_path, errors="replace") as log:
                raise RuntimeError(f"sway did not start (exit {p.poll()}): {log.read()}")
        self.display = None
        self.wayland_display = socket_path()
        base_env = dict(os.environ, XDG_RUNTIME_DIR=self.tmp, QTWEBENGINE_DISABLE_SANDBOX="1",
                        QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=self.wayland_display)
        base_env.pop("DISPLAY", None)
        return base_env

    def sway_tree(self):
        """The compositor's tree of outputs, workspaces and windows (swaymsg -t get_tree)."""
        sockets = [n for n in os.listdir(self.wayland_dir) if n.startswith("sway-ipc.")]
        out = subprocess.run(["swaymsg", "-s", os.path.join(self.wayland_dir, sockets[0]), "-r", "-t", "get_tree"],
                             capture_output=True, check=True, timeout=10).stdout
        return json.loads(out)

    def sway_views(self):
        """The windows in the compositor's tree, tiled and floating."""
        found = []

        def walk(node):
            if node.get("pid") and node.get("type") in ("con", "floating_con"):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(self.sway_tree())
        return found

    def wayland_screenshot(self, path):
        """The whole output, as the compositor shows it."""
        subprocess.run(["grim", path], env=dict(os.environ, WAYLAND_DISPLAY=self.wayland_display,
                                                XDG_RUNTIME_DIR=self.tmp), check=True, timeout=20)

    def _start_services(self, base_env, env, bus, window_manager=None, tray=False, panel=False):
        self.bus_address = None
        if bus:
            self.bus_address = self._start_bus()
            base_env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        else:
            # No bus at all rather than the desktop's: the program must run without one.
            base_env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(self.tmp, "no-bus")
        self.window_manager = None
        if window_manager:
            self.window_manager = self._start_window_manager(window_manager, base_env)
        self.tray = None
        if panel:
            self.tray = self._start(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "percent",
                                     "--width", "100", "--height", str(self.PANEL_HEIGHT), "--SetDockType", "true",
                                     "--SetPartialStrut", "true", "--transparent", "false"], env=base_env)
        elif tray:
            self.tray = self._start(["trayer", "--edge", "bottom", "--align", "right", "--width", "10",
                                     "--height", "24"], env=base_env)
        portal = self._start([os.path.join(self.build_dir, "tavlin-portal"), "--port", "0", *self.portal_args],
                             stdout=subprocess.PIPE, env=base_env)
        self.portal_base = portal.stdout.readline().decode().strip()
        self.socket_path = os.path.join(self.tmp, "automation.sock")
        self.env = dict(base_env, TAVLIN_HOME=self.home, TAVLIN_PORTAL=self.portal_base,
                        TAVLIN_AUTOMATION=self.socket_path)
        self.env.update(env or {})  # a test's own portal, say

    def _start_bus(self):
        read_end, write_end = os.pipe()
        self._start(["dbus-daemon", "--session", "--nofork", "--address=unix:path=" + os.path.join(self.tmp, "bus"),
                     f"--print-address={write_end}"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            address = pipe.readline().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        return address

    def _start_window_manager(self, name, env):
        # Its settings and caches stay in the session's folder.
        wm_env = dict(env, HOME=os.path.join(self.tmp, "wm-home"))
        os.makedirs(wm_env["HOME"], exist_ok=True)
        log_path = os.path.join(self.tmp, "window-manager.log")
        with open(log_path, "wb") as log:
            p = self._start([shutil.which(name)], env=wm_env, stdout=log, stderr=log)
        # A window manager announces itself on the root window once it manages it.
        try:
            self._wait(lambda: "window id #" in self.xprop("-root", "_NET_SUPPORTING_WM_CHECK"), 20, name)
        except TimeoutError:
            with open(log_path, errors="replace") as log:
                raise RuntimeError(f"{name} did not start (exit {p.poll()}): {log.read()}") from None
        return p

    def xrun(self, *argv, check=True):
        """Runs an X client (xdotool, xprop, xwininfo) on the session's display."""
        r = subprocess.run(list(argv), env=dict(os.environ, DISPLAY=self.display), capture_output=True,
                           text=True, timeout=20)
        if check and r.returncode != 0:
            raise RuntimeError(f"{argv}: {r.stderr}")
        return r.stdout

    def point_at(self, name, index=None, dx=None, dy=None):
        """Moves the real pointer onto a control of the main window: its middle, or
        dx, dy pixels into it."""
        ba1 = self.ba1()
        c = next(c for c in ba1["controls"] if c["name"] == name and c["index"] == index)
        x = ba1["window"]["x"] + c["x"] + (c["w"] // 2 if dx is None else dx)
        y = ba1["window"]["y"] + c["y"] + (c["h"] // 2 if dy is None else dy)
        self.move_pointer(x, y)

    def move_pointer(self, x, y):
        """Moves the real pointer to x, y on the screen and waits until it is there.
        `mousemove --sync` onto the spot the pointer already holds waits 15 s for a
        motion that never comes (xdotool polls 500 times): there it does not move."""
        here = self.xrun("xdotool", "getmouselocation", "--shell").split()
        if f"X={x}" in here and f"Y={y}" in here:
            return
        self.xrun("xdotool", "mousemove", "--sync", str(x), str(y))

    def click_at(self, name, index=None, dx=None, dy=None):
        """A real left click on a control of the main window."""
        self.point_at(name, index, dx, dy)
        self.xrun("xdotool", "click", "1")

    def xprop(self, *argv):
        return self.xrun("xprop", *argv, check=False)

    def spawn(self, argv, **kw):
        """Starts a helper beside the program (a bus monitor, say); it ends with the session."""
        return self._start(argv, **kw)

    def _start(self, argv, **kw):
        kw.setdefault("stdout", subprocess.DEVNULL)
        kw.setdefault("stderr", subprocess.DEVNULL)
        p = subprocess.Popen(argv, **kw)
        self.procs.append(p)
        return p

    @staticmethod
    def _wait(cond, timeout, what):
        end = time.time() + timeout
        while time.time() < end:
            if cond():
                return
            time.sleep(0.01)
        raise TimeoutError(what)

    def start_program(self, timeout=30, args=(), executable=None):
        """Starts the program (the build's, or executable: an installed one)."""
        with open(os.path.join(self.tmp, "program.log"), "wb") as log:
            self.program = self._start([executable or os.path.join(self.build_dir, "tavlin"), *args],
                                       env=self.env, stderr=log, stdout=log)
        self._wait(lambda: os.path.exists(self.socket_path), timeout, "automation socket")
        self.sock = socket.socket(socket.AF_UNIX)
        self.sock.connect(self.socket_path)
        self.reader = self.sock.makefile("rb")
        return self

    def save_into(self, folder, skin=None):
        """Writes the player's settings file with `folder` as the save folder; returns its path."""
        path = os.path.join(self.home, "Qvod", "QvodPlayer.xml")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        extra = f' Skin="{skin}"' if skin is not None else ""
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(f'<QvodPlayer>\r\n<Setting Defaultsavepath="{folder}/"{extra}/>\r\n</QvodPlayer>\r\n')
        return path

    def portal(self, path):
        """A GET on the demo portal (its control addresses: /__control/...); the body as text."""
        origin = self.portal_base.split("/soft/")[0]
        with urllib.request.urlopen(origin + path, timeout=10) as answer:
            return answer.read().decode()

    def request(self, **req):
        self.sock.sendall((json.dumps(req, ensure_ascii=False) + "\n").encode())
        line = self.reader.readline()
        if not line:
            raise ConnectionError("program closed the channel")
        return json.loads(line)

    def ok(self, **req):
        answer = self.request(**req)
        assert answer.get("ok"), (req, answer)
        return answer

    def dump(self):
        return self.ok(op="dump")

    def ba1(self):
        return self.dump()["forms"]["BA1"]

    def control(self, name, index=None):
        for c in self.ba1()["controls"]:
            if c["name"] == name and c["index"] == index:
                return c
        raise KeyError(name)

    def wait_for(self, cond, timeout=20, what="condition"):
        end = time.time() + timeout
        last = None
        while time.time() < end:
            last = cond()
            if last:
                return last
            time.sleep(0.1)
        raise TimeoutError(what)

    def show_page(self, url, view="Web1"):
        """Has a view follow a link to url, as a click would, and waits until the page
        has loaded."""
        self.ok(op="link", view=view, href=url)
        self.wait_for(lambda: self.ba1()["views"][view] == url, 10, url)
        self.wait_for(lambda: self.ok(op="loaded")["loaded"][view], 20, "loaded " + url)

    def wait_for_fine(self, cond, timeout=20, what="condition"):
        """wait_for with a short poll, for timing."""
        self._wait(cond, timeout, what)

    def stop(self, p):
        """Ends one process this session started."""
        if p.poll() is None:
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()

    def program_alive(self):
        return self.program is not None and self.program.poll() is None

    def close(self):
        if self.sock:
            self.sock.close()
        for p in reversed(self.procs):
            self.stop(p)
        shutil.rmtree(self.tmp, ignore_errors=True)
        if self.wayland_dir:
            shutil.rmtree(self.wayland_dir, ignore_errors=True)
