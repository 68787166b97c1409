"""The real build/bin/dromo on a journey's desktop, and what a person does
with it: keys and clicks through the X server (xdotool), URLs handed over on
the session bus (gdbus, as README shows). What it did is read where it
lasts: the files in the download folder, the profile, the bus."""
import os
import subprocess
import time
import urllib.parse

from desktop import wait_for

TITLE = "Dromo 1.04"
SERVICE = "DROMO.URLMonitor"
WHITE = (255, 255, 255)


def read_profile(path):
    """The INI profile as {section: {key: value}}, names and texts unescaped
    as Dromo writes them (names with %XX, texts quoted when they must be)."""
    sections, section = {}, None
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        return {}
    for line in lines:
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = sections.setdefault(urllib.parse.unquote(line[1:-1]), {})
        elif "=" in line and section is not None:
            name, value = line.split("=", 1)
            value = value.strip()
            if len(value) >= 2 and value[0] == '"' and value[-1] == '"':
                value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
            section[urllib.parse.unquote(name.strip())] = value
    return sections


class Dromo:
    def __init__(self, desktop, binary):
        self.desktop = desktop
        self.x = desktop.x
        self.binary = binary
        self.process = None
        self.window = None

    @property
    def profile_path(self):
        return os.path.join(self.desktop.config, "Tarnwick Software", "Dromo.ini")

    def profile(self):
        return read_profile(self.profile_path)

    def tasks(self):
        """The saved task list: one {name: value} per task, in order."""
        p = self.profile()
        count = int(p.get("Settings", {}).get("MRU Num", "0"))
        saved = p.get("URL", {})
        return [{k[len("URL%d\\" % i):]: v for k, v in saved.items() if k.startswith("URL%d\\" % i)}
                for i in range(count)]

    def history(self):
        p = self.profile()
        count = int(p.get("Settings", {}).get("MRU List Num", "0"))
        return [p.get("History", {}).get("URL%d" % i, "") for i in range(count)]

    # -- the program -------------------------------------------------------

    def start(self):
        """Starts Dromo and waits until its window is up, has the keyboard and its bus object answers."""
        self.process = self.desktop.spawn([self.binary], "dromo.log")
        self.window = wait_for(self._main_window, "the main window's appearance")
        wait_for(lambda: self.desktop.bus.name_has_owner(SERVICE), "Dromo's bus name")
        wait_for(self.active, "the main window's activation")

    def active(self, window=None):
        """Whether the window has the keyboard focus and the window manager
        counts it as the active window: its keys (Alt+F4) act on it then."""
        window = window or self.window
        return self.x.focus() == window and self.x.cardinals(self.x.root, "_NET_ACTIVE_WINDOW") == [window]

    def _main_window(self):
        self._check_running()
        for window in self.x.windows(TITLE):
            geometry = self.x.geometry(window)
            # Message boxes share the title; the main window is the big one.
            if self.x.mapped(window) and geometry and geometry[2] >= 400:
                return window
        return None

    def _check_running(self):
        if self.process is not None and self.process.poll() is not None:
            raise AssertionError("Dromo ended (status %s):\n%s" % (self.process.returncode,
                                                                 self.desktop.log("dromo.log")))

    def wait_exit(self, timeout=15):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("Dromo did not end within %g s" % timeout)

    def shown(self):
        self._check_running()
        return self.x.mapped(self.window)

    def dialog(self, title):
        """Waits for a window of that title to show and take the keyboard focus."""
        def up():
            self._check_running()
            for window in self.x.windows(title):
                if window != self.window and self.x.mapped(window) and self.active(window):
                    return window
            return None
        return wait_for(up, "the window \"%s\" with the keyboard focus" % title)

    def holds(self, condition, seconds):
        """Whether the condition stays true all the while: for what must not
        happen after a state was reached (a window that goes away again)."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if not condition():
                return False
            time.sleep(0.05)
        return True

    def tray_icon(self):
        """The centre of Dromo's icon in the notification area."""
        def found():
            self._check_running()
            for window in self.x.windows("Dromo"):
                geometry = self.x.geometry(window)
                if self.x.mapped(window) and geometry and geometry[2] <= 64:
                    return geometry[0] + geometry[2] // 2, geometry[1] + geometry[3] // 2
            return None
        return wait_for(found, "Dromo's icon in the notification area")

    def maximised(self):
        state = self.x.cardinals(self.window, "_NET_WM_STATE") or []
        return all(self.x.atom(a) in state for a in ("_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"))

    def title_bar(self):
        """A point on the window's title bar, which the window manager draws above it."""
        x, y, width, _ = self.x.geometry(self.window)
        extents = self.x.cardinals(self.window, "_NET_FRAME_EXTENTS") or [0, 0, 0, 0]
        return x + width // 3, y - max(extents[2], 2) // 2

    def drag_window(self, dx, dy):
        """Drags the window by its title bar; its place once there."""
        x, y, width, height = self.x.geometry(self.window)
        grab_x, grab_y = self.title_bar()
        self.xdotool(*self.move_to(grab_x, grab_y), "mousedown", "1")
        for step in range(1, 6):
            move = self.move_to(grab_x + dx * step // 5, grab_y + dy * step // 5)
            if move:
                self.xdotool(*move)
        self.xdotool("mouseup", "1")
        target = (x + dx, y + dy, width, height)
        return wait_for(lambda: self.x.geometry(self.window) == target and target, "the window's move")

    # -- input, through the X server ------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.desktop.env, check=True, timeout=30)

    def key(self, *keys):
        self.xdotool("key", "--delay", "30", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "15", text)

    def move_to(self, x, y):
        """xdotool's words that take the pointer to (x, y) and wait until it is
        there; none when it is there already: --sync waits for a move, and a
        pointer that does not move (the same spot after a restart) kept each
        such click 15 s."""
        return [] if self.x.pointer() == (x, y) else ["mousemove", "--sync", str(x), str(y)]

    def click(self, x, y, repeat=1):
        self.xdotool(*self.move_to(x, y), "click", "--repeat", str(repeat), "--delay", "80", "1")

    # -- the bus ---------------------------------------------------------------

    def hand_over(self, url):
        """DROMO.URLMonitor.AddURL as README shows it; the finished gdbus call."""
        return subprocess.run(["gdbus", "call", "--session", "--dest", SERVICE, "--object-path", "/URLMonitor",
                               "--method", "DROMO.URLMonitor.AddURL", url],
                              env=self.desktop.env, capture_output=True, text=True, timeout=30)

    # -- where things are on the screen ---------------------------------------

    def white_areas(self):
        """The white areas of the window, top to bottom, as (left, top, right,
        bottom) on the screen: the address box's edit, then the task list.
        Found on the screen as a person finds them, whatever font and style
        sizes the bars."""
        x, y, width, height = self.x.geometry(self.window)
        rows = self.x.pixels(x, y, width, height) or []
        areas = []
        for row_index, row in enumerate(rows):
            best, run_start, best_start = 0, None, 0
            for i, pixel in enumerate(row + [None]):
                if pixel == WHITE:
                    run_start = i if run_start is None else run_start
                    continue
                if run_start is not None and i - run_start > best:
                    best, best_start = i - run_start, run_start
                run_start = None
            if best < 150:
                continue
            if areas and areas[-1][3] == y + row_index:
                left, top, right, _ = areas[-1]
                areas[-1] = (min(left, x + best_start), top, max(right, x + best_start + best), y + row_index + 1)
            else:
                areas.append((x + best_start, y + row_index, x + best_start + best, y + row_index + 1))
        return areas

    def address_box(self):
        """The centre of the address box's edit: the first white area no higher than a line."""
        def found():
            self._check_running()
            for left, top, right, bottom in self.white_areas():
                if bottom - top < 40:
                    return (left + right) // 2, (top + bottom) // 2
                break
            return None
        return wait_for(found, "the address box on the screen")

    def task_list(self):
        """The task list's area: the white area taller than a few rows."""
        def found():
            self._check_running()
            for area in self.white_areas():
                if area[3] - area[1] >= 80:
                    return area
            return None
        return wait_for(found, "the task list on the screen")
