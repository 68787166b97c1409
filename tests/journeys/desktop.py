"""A private Linux desktop for one journey: an X server (Xvfb, on a display
number it finds free), the openbox window manager, a notification area
(trayer), a session bus of its own with python-dbusmock's notification
daemon on it, the accessibility bus (at-spi2-core) screen readers use,
nginx on 127.0.0.1 and an ephemeral port, and fresh HOME and XDG folders. Nothing of the user's session is read or touched: every
process gets a clean environment naming only these, and every process
started here ends with the desktop, also when the test fails or is killed."""
import ctypes
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time
import zlib

import dbus

from xserver import Display

NOTIFICATIONS = "org.freedesktop.Notifications"
_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def wait_for(condition, what, timeout=15.0, state=None):
    """Polls the condition until it gives something true and returns that;
    fails naming what did not happen (and what `state` tells of how things
    stand then). The bound is for a hang, not for a slow machine: a journey
    never waits it out when all is well."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("%s did not happen within %g s%s" % (what, timeout,
                                                                      "; " + str(state()) if state else ""))
        time.sleep(0.05)


def _end_with_parent():
    # A test killed outright (a ctest time-out) takes its desktop along.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class Desktop:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="dromo-journey-")
        self.home = self._folder("home")
        self.downloads = self._folder("home/Downloads")
        self.config = self._folder("config")
        self.data = self._folder("data")
        self.www = self._folder("www")
        self.logs = self._folder("logs")
        runtime = self._folder("runtime")
        os.chmod(runtime, 0o700)
        # What the desktop opens files and pages with: xdg-open notes what
        # it was asked to open in logs/opened, one line each, and opens nothing.
        bin_folder = self._folder("bin")
        self.opened = os.path.join(self.logs, "opened")
        with open(os.path.join(bin_folder, "xdg-open"), "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % self.opened)
        os.chmod(os.path.join(bin_folder, "xdg-open"), 0o755)
        self.env = {
            "PATH": bin_folder + ":" + os.environ.get("PATH", "/usr/bin:/bin"),
            "LANG": "C.UTF-8",
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config,
            "XDG_DATA_HOME": self.data,
            "XDG_CACHE_HOME": self._folder("cache"),
            "XDG_RUNTIME_DIR": runtime,
            # No system bus: nothing here may hold the machine awake or ask its network manager.
            "DBUS_SYSTEM_BUS_ADDRESS": "unix:path=" + os.path.join(runtime, "no-system-bus"),
            "NO_AT_BRIDGE": "1",
            # Qt's bridge to the accessibility bus, as a screen reader turns it on.
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb",
            # What Dromo did, in the log a failed journey prints.
            "DROMO_TRACE": "1",
        }
        self._processes = []
        self._reader = None
        self.x = None
        self.bus = None
        self.port = None
        try:
            self._start_x()
            self._start_bus()
            self._start_accessibility()
            self._start_nginx()
        except BaseException:
            self.stop()
            raise

    def _folder(self, name):
        path = os.path.join(self.root, name)
        os.makedirs(path, exist_ok=True)
        return path

    def spawn(self, argv, log, **kwargs):
        """Starts a process of the desktop in a process group of its own;
        its output goes to logs/LOG."""
        with open(os.path.join(self.logs, log), "ab") as out:
            streams = {"stdin": subprocess.DEVNULL, "stdout": out, "stderr": out if "stdout" in kwargs else
                       subprocess.STDOUT}
            streams.update(kwargs)
            process = subprocess.Popen(argv, env=self.env, cwd=self.root, start_new_session=True,
                                       preexec_fn=_end_with_parent, **streams)
        self._processes.append(process)
        return process

    def log(self, name):
        try:
            with open(os.path.join(self.logs, name), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def _start_x(self):
        read_end, write_end = os.pipe()
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                        "-noreset"], "xvfb.log", pass_fds=(write_end,))
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + 15
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline:
                    raise RuntimeError("Xvfb did not start: " + self.log("xvfb.log"))
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb did not start: " + self.log("xvfb.log"))
                number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.x = Display(self.env["DISPLAY"])
        self.spawn(["openbox", "--sm-disable"], "openbox.log")
        wait_for(lambda: self.x.selection_owner("WM_S0"), "the window manager's start")
        self.spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"],
                   "trayer.log")
        # Dromo looks for a notification area once, at its start.
        wait_for(lambda: self.x.selection_owner("_NET_SYSTEM_TRAY_S0"), "the notification area's start")

    def _start_bus(self):
        services = self._folder("data/dbus-1/services")
        config = os.path.join(self.root, "session.conf")
        with open(config, "w") as f:
            f.write('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"\n'
                    ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                    "<busconfig><type>session</type><listen>unix:dir=%s</listen>"
                    # Only what this desktop installs may be started on demand (Dromo's own service).
                    "<servicedir>%s</servicedir><policy context=\"default\"><allow send_destination=\"*\""
                    " eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n"
                    % (self.env["XDG_RUNTIME_DIR"], services))
        read_end, write_end = os.pipe()
        self.spawn(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=%d" % write_end],
                   "dbus.log", pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end, "rb") as r:
            address = r.readline().decode().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start: " + self.log("dbus.log"))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.bus = dbus.bus.BusConnection(address)
        # A notification server that shows actions, as desktops do; it records every call.
        self.spawn(["/usr/bin/python3", "-m", "dbusmock", "--session", "--template", "notification_daemon",
                    "--parameters", '{"capabilities": "body actions"}'], "notifications.log")
        wait_for(lambda: self.bus.name_has_owner(NOTIFICATIONS), "the notification server's start")

    def _start_accessibility(self):
        """The accessibility bus (at-spi2-core) that screen readers and the
        journeys' accessible.py read programs through; its registry starts
        on it when first asked."""
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "atspi.log")
        wait_for(lambda: self.bus.name_has_owner("org.a11y.Bus"), "the accessibility bus's start")

    def accessible(self, what, app="Dromo"):
        """What accessible.py tells of the program through AT-SPI: the tree
        (a list of nodes) or the focused node (None when none has it)."""
        if self._reader is None:
            script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "accessible.py")
            self._reader = self.spawn(["/usr/bin/python3", "-B", script], "accessible.log", stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, text=True)
        self._reader.stdin.write("%s %s\n" % (what, app))
        self._reader.stdin.flush()
        line = self._reader.stdout.readline()
        if not line:
            raise AssertionError("accessible.py ended: " + self.log("accessible.log"))
        return json.loads(line)

    def _start_nginx(self):
        conf_dir = self._folder("nginx")
        self.fast_flag = os.path.join(self.root, "fast")
        for _ in range(5):
            with socket.socket() as s:
                s.bind(("127.0.0.1", 0))
                port = s.getsockname()[1]
            with open(os.path.join(conf_dir, "nginx.conf"), "w") as f:
                f.write(("user root root;\n" if os.geteuid() == 0 else "") +
                        "worker_processes 1; daemon off; pid {d}/nginx.pid; error_log {d}/error.log;\n"
                        "events {{ worker_connections 64; }}\n"
                        "http {{ access_log {d}/access.log; client_body_temp_path {d}; proxy_temp_path {d};\n"
                        "  fastcgi_temp_path {d}; uwsgi_temp_path {d}; scgi_temp_path {d};\n"
                        "  server {{ listen 127.0.0.1:{port}; root {www};\n"
                        # Slow until the journey says otherwise: a stop then surely meets a running transfer,
                        # and the resume that follows need not crawl.
                        "    location /slow/ {{ limit_rate 8k; if (-f {fast}) {{ set $limit_rate 0; }} }}\n"
                        # Disc images come from a slow mirror: a second one handed over meets the first running.
                        "    location ~ \\.iso$ {{ limit_rate 64k; }}\n"
                        "  }}\n}}\n".format(d=conf_dir, port=port, www=self.www, fast=self.fast_flag))
            process = self.spawn(["nginx", "-c", os.path.join(conf_dir, "nginx.conf"), "-p", conf_dir],
                                 "nginx.log")
            deadline = time.monotonic() + 10
            while process.poll() is None and time.monotonic() < deadline:
                try:
                    socket.create_connection(("127.0.0.1", port), timeout=1).close()
                    self.port = port
                    return
                except OSError:
                    time.sleep(0.05)
            self._end(process)  # the port was taken meanwhile: another one
        raise RuntimeError("nginx did not start: " + self.log("nginx.log"))

    def serve(self, path, data):
        """Puts a file on the web server; its URL."""
        target = os.path.join(self.www, path.lstrip("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        return self.url(path)

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def notices(self):
        """The Notify calls the notification server received, in order: (summary, body, actions)."""
        mock = dbus.Interface(self.bus.get_object(NOTIFICATIONS, "/org/freedesktop/Notifications"),
                              "org.freedesktop.DBus.Mock")
        return [(str(args[3]), str(args[4]), [str(a) for a in args[5]])
                for _, args in mock.GetMethodCalls("Notify")]

    def invoke_action(self, notice, action):
        """A click on a notice's action, as the server reports it; `notice` counts
        the Notify calls from 0, which the server numbered from 1."""
        mock = dbus.Interface(self.bus.get_object(NOTIFICATIONS, "/org/freedesktop/Notifications"),
                              "org.freedesktop.DBus.Mock")
        mock.EmitSignal("org.freedesktop.Notifications", "ActionInvoked", "us", [dbus.UInt32(notice + 1), action])

    def copy(self, text):
        """Puts the text on the clipboard as another program does: xclip owns
        it and serves it until someone else takes the clipboard."""
        process = subprocess.Popen(["xclip", "-selection", "clipboard", "-in"], env=self.env, stdin=subprocess.PIPE,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        process.communicate(text.encode(), timeout=30)  # xclip forks a server of the text and ends

    def screenshot(self, path):
        """The whole screen as a PNG file: what a failed journey left behind."""
        rows = self.x.pixels(0, 0, *self.x.geometry(self.x.root)[2:])
        raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in rows)

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)  # 8-bit RGB
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) +
                    chunk(b"IEND", b""))

    @staticmethod
    def _end(process):
        # The whole group: a server's workers, what the bus started on demand.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                break
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                continue
            try:
                os.killpg(process.pid, 0)
            except ProcessLookupError:
                break
            time.sleep(0.05)

    def stop(self):
        # The connections go first: Xlib ends the process when its server goes away under it.
        if self.bus is not None:
            self.bus.close()
            self.bus = None
        if self.x is not None:
            self.x.close()
            self.x = None
        if self._reader is not None:
            self._reader.stdin.close()
            self._reader.stdout.close()
            self._reader = None
        for process in reversed(self._processes):
            self._end(process)
        self._processes.clear()
        shutil.rmtree(self.root, ignore_errors=True)
