"""Drives the real wux program on a private X server, as a user would.

Each session starts its own Xvfb on a free display, openbox on it, then wux on a
document in a temporary folder, and talks to them only through the X server: keys and
mouse through xdotool, windows found by their titles, the screen read from the
server's frame buffer file. Every process a session starts runs in a process group of
its own and is told to die with this script; the groups are killed when the session
ends, however it ends.
"""

import ctypes
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77  # what ctest is told to read as "skipped"

# Generous: the machine running the tests may be busy with other builds.
STARTUP_TIMEOUT = float(os.environ.get("WUX_E2E_TIMEOUT", "60"))
WINDOW_TIMEOUT = STARTUP_TIMEOUT / 2
POLL = 0.05


class Failure(Exception):
    pass


def require_tools():
    missing = [t for t in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo") if shutil.which(t) is None]
    if missing:
        print("SKIP: not installed: " + " ".join(missing))
        sys.exit(SKIP)


_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


def _own_group_dying_with_us():
    # Runs in the child: a group of its own to kill as one, and death when the script
    # itself is killed before it could clean up (a ctest timeout sends SIGKILL).
    os.setsid()
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def wait_for(what, probe, timeout=WINDOW_TIMEOUT):
    """Polls `probe` until it answers something true; fails naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        got = probe()
        if got:
            return got
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(POLL)


# ---- files ----

def sjis_file(text):
    """A text as wux keeps it on disk: Shift_JIS, lines ending in CR LF."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")


def read_sjis(path):
    """The file's text, after checking that it is Shift_JIS with CR LF line ends only."""
    data = open(path, "rb").read()
    if re.search(rb"(?<!\r)\n", data) or re.search(rb"\r(?!\n)", data):
        raise Failure(path + ": a line does not end in CR LF")
    try:
        return data.decode("cp932").replace("\r\n", "\n")
    except UnicodeDecodeError as e:
        raise Failure(path + ": not Shift_JIS: " + str(e))


# The time stamp of the files written here; a file saved by wux carries its own.
WRITTEN = "<!-- 20260101 090000 -->"


def document(name, holders):
    """A document naming its notebooks, none of them read yet."""
    lines = ['<?xml version="1.0" encoding="Shift_JIS" ?>', WRITTEN,
             '<!DOCTYPE File [<!ENTITY quot "&#34;">]>', '<File name="%s">' % name]
    for h in holders:
        lines += ['  <Holder name="%s">' % h, '    <Field FlagLoaded="false" />', "  </Holder>"]
    lines.append("</File>")
    return "\n".join(lines) + "\n"


def notebook(name, notes, mode="CheckListBox"):
    """A notebook; each note is (name, uid, parent uid or None, text[, more fields])."""
    lines = ['<?xml version="1.0" encoding="Shift_JIS" ?>', WRITTEN,
             '<!DOCTYPE Holder [<!ENTITY quot "&#34;">]>', '<Holder name="%s">' % name,
             '  <Field ModeNodesMngr="%s"/>' % mode]
    for note, uid, parent, text, *more in notes:
        fields = 'UID="%s"' % uid + (' ParentNodeID="%s"' % parent if parent else "")
        fields += "".join(' %s="%s"' % kv for kv in (more[0] if more else {}).items())
        lines += ['  <Record name="%s">' % note, "    <Field %s />" % fields, text + "<BR/>", "  </Record>"]
    lines.append("</Holder>")
    return "\n".join(lines) + "\n"


_RECORD = re.compile(r'<Record name="([^"]*)">\s*(?:<Field ([^>]*?)/?>)?(.*?)</Record>', re.S)
_ATTR = re.compile(r'(\w+)="([^"]*)"')


def records(text):
    """The notes of a saved notebook, in file order: (name, {field: value}, body)."""
    return [(m.group(1), dict(_ATTR.findall(m.group(2) or "")), m.group(3)) for m in _RECORD.finditer(text)]


def holder_names(text):
    return re.findall(r'<Holder name="([^"]*)"', text)


# ---- the screen ----

class Screen:
    """Xvfb's frame buffer, which it keeps as an XWD file while it runs."""

    def __init__(self, path):
        self.path = path

    def grab(self):
        """The screen now; read while the server draws, it may hold half a change."""
        data = open(self.path, "rb").read()
        (header_size, _version, _fmt, _depth, width, height, _xoff, byte_order, _unit, _bit_order, _pad,
         bits_per_pixel, bytes_per_line, _cls, _r, _g, _b, _bits, _entries, ncolors) = struct.unpack(
            ">20I", data[:80])
        if bits_per_pixel != 32:
            raise Failure("unexpected frame buffer: %d bits per pixel" % bits_per_pixel)
        start = header_size + 12 * ncolors
        return Image(data[start:start + bytes_per_line * height], width, height, bytes_per_line, byte_order)


class Image:
    def __init__(self, pixels, width, height, stride, byte_order):
        self.pixels, self.width, self.height, self.stride = pixels, width, height, stride
        self.lsb = byte_order == 0

    def rgb(self, x, y):
        i = y * self.stride + 4 * x
        p = self.pixels[i:i + 4]
        return (p[2], p[1], p[0]) if self.lsb else (p[1], p[2], p[3])

    def find_runs(self, colour_test, x0, y0, x1, y1):
        """Rows between y0 and y1 where some pixel between x0 and x1 passes the test,
        grouped into runs of neighbouring rows: [(first row, last row, first x, last x)]."""
        runs = []
        for y in range(max(0, y0), min(self.height, y1)):
            xs = [x for x in range(max(0, x0), min(self.width, x1), 2) if colour_test(self.rgb(x, y))]
            if not xs:
                continue
            if runs and runs[-1][1] == y - 1:
                first, _, lo, hi = runs[-1]
                runs[-1] = (first, y, min(lo, xs[0]), max(hi, xs[-1]))
            else:
                runs.append((y, y, xs[0], xs[-1]))
        return runs


def save_png(image, path):
    """The image as a PNG file, to look at after a failure."""
    raw = bytearray()
    for y in range(image.height):
        raw.append(0)
        row = image.pixels[y * image.stride:y * image.stride + 4 * image.width]
        for x in range(0, len(row), 4):
            raw += bytes((row[x + 2], row[x + 1], row[x])) if image.lsb else row[x + 1:x + 4]

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(bytes(raw), 1)) + chunk(b"IEND", b""))


# ---- a session ----

class Session:
    """One X server with a window manager, and the wux programs started on it."""

    def __init__(self, name):
        require_tools()
        self.name = name
        self.dir = tempfile.mkdtemp(prefix="wux-e2e-%s-" % name)
        self.home = os.path.join(self.dir, "home")
        os.makedirs(os.path.join(self.home, "config"))
        os.chmod(self.home, 0o700)  # it is also the runtime folder, which must be private
        self.procs = []
        self.display = None
        self.screen = None

    # -- processes --

    def _start(self, argv, env=None, **kw):
        p = subprocess.Popen(argv, env=env, preexec_fn=_own_group_dying_with_us, **kw)
        self.procs.append(p)
        return p

    def __enter__(self):
        try:
            self._start_x()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        for p in reversed(self.procs):
            self._kill_group(p)
        self.procs = []
        if os.environ.get("WUX_E2E_KEEP"):
            print("kept " + self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    @staticmethod
    def _kill_group(p, grace=3.0):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(p.pid, sig)
            except ProcessLookupError:
                pass
            try:
                p.wait(timeout=grace)
                # The leader is gone; anything it started in its group goes too.
                os.killpg(p.pid, signal.SIGKILL)
            except ProcessLookupError:
                return
            except subprocess.TimeoutExpired:
                continue
            return

    def env(self):
        e = dict(os.environ)
        e.update(DISPLAY=self.display, HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                 XDG_RUNTIME_DIR=self.home, QT_QPA_PLATFORM="xcb", QT_IM_MODULE="", LANG="C.UTF-8",
                 LC_ALL="C.UTF-8", QT_ACCESSIBILITY="0", NO_AT_BRIDGE="1")
        # A program built with the leak checker reports at its end what the desktop's
        # libraries keep; only its own leaks should fail a scenario.
        # A leak does not change the program's exit status: leaks_of_ours() reads the
        # reports once the scenario is over.
        supp = "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
        e["LSAN_OPTIONS"] = ":".join(filter(None, (e.get("LSAN_OPTIONS"), supp, "exitcode=0")))
        # The browser engine frees some of its own objects through a base of another size;
        # that is inside the engine, not ours to mend.
        e["ASAN_OPTIONS"] = ":".join(filter(None, (e.get("ASAN_OPTIONS"), "new_delete_type_mismatch=0")))
        # The look the scenarios read the screen by (the selection's colour), whatever
        # desktop the tests run from.
        e["QT_STYLE_OVERRIDE"] = "Fusion"
        for outside in ("WAYLAND_DISPLAY", "SESSION_MANAGER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                        "QT_QPA_PLATFORMTHEME", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                        "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_FONT_DPI"):
            e.pop(outside, None)
        if os.getuid() == 0:
            e["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        return e

    def _start_x(self):
        fbdir = os.path.join(self.dir, "fb")
        os.mkdir(fbdir)
        r, w = os.pipe()
        self._start(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     "-fbdir", fbdir, "-noreset"], pass_fds=(w,), stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        deadline = time.monotonic() + STARTUP_TIMEOUT
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline:
                raise Failure("Xvfb did not start")
            chunk = os.read(r, 16)
            if not chunk:
                raise Failure("Xvfb ended before naming its display")
            number += chunk
        os.close(r)
        self.display = ":" + number.decode().strip()
        self.screen = Screen(os.path.join(fbdir, "Xvfb_screen0"))
        self._start(["openbox", "--sm-disable"], env=self.env(), stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        wait_for("the window manager", lambda: "window id" in self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False), STARTUP_TIMEOUT)

    def _run(self, argv, check=True):
        try:
            r = subprocess.run(argv, env=self.env(), capture_output=True, text=True, timeout=WINDOW_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not return" % " ".join(argv))
        if check and r.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(argv), r.stderr.strip()))
        return r.stdout

    # -- the program --

    def leaks_of_ours(self):
        """The direct leak reports in the program's logs that name a place in a loaded
        library. A leak whose every frame lies in an unknown module was made by a library
        unloaded before the report (the GL driver): it names nothing the suppressions
        could match, and nothing of ours, which is never unloaded. Indirect leaks are only
        reachable from direct ones, so a leak of ours is always among the direct."""
        found = []
        for name in sorted(f for f in os.listdir(self.dir) if f.startswith("wux-")):
            with open(os.path.join(self.dir, name), errors="replace") as f:
                text = f.read()
            for block in re.split(r"\n(?=(?:Direct|Indirect) leak of )", text)[1:]:
                if not block.startswith("Direct"):
                    continue
                frames = re.findall(r"^\s+#(\d+) (.*)$", block.split("\n\n", 1)[0], re.M)
                if any(n != "0" and "(<unknown module>)" not in where for n, where in frames):
                    found.append(block.split("\n\n", 1)[0])
        return found

    def start_wux(self, wux, *args):
        log = open(os.path.join(self.dir, "wux-%d.log" % len(self.procs)), "w")
        p = self._start([wux] + list(args), env=self.env(), cwd=self.dir, stdout=log, stderr=subprocess.STDOUT)
        p.log = log.name
        return p

    def wait_exit(self, p, timeout=WINDOW_TIMEOUT):
        try:
            return p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("wux did not end")

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def write(self, name, text):
        with open(self.path(name), "wb") as f:
            f.write(sjis_file(text))

    # -- windows --

    def windows(self, title_regex, kind=None):
        """wux's mapped windows whose title matches (and whose type is `kind`, say
        "UTILITY"). The title is read as the window manager reads it: Qt leaves the old
        title property empty for an untitled window and names it only in the new one."""
        found = []
        for wid in self._run(["xdotool", "search", "--onlyvisible", "--classname", "^wux$"], check=False).split():
            props = self._run(["xprop", "-id", wid, "-notype", "_NET_WM_NAME", "WM_NAME", "_NET_WM_WINDOW_TYPE"],
                              check=False)
            names = re.findall(r'^(?:_NET_WM_NAME|WM_NAME) = "(.*)"$', props, re.M)
            if not names or not re.search(title_regex, names[0]):
                continue
            if kind and "_NET_WM_WINDOW_TYPE_" + kind not in props:
                continue
            found.append(int(wid))
        return found

    def window(self, title_regex, timeout=WINDOW_TIMEOUT):
        """The one visible window whose title matches, once it is there."""
        return wait_for("a window titled /%s/" % title_regex, lambda: self.windows(title_regex), timeout)[0]

    def dialog(self, title_regex):
        """Waits for a window and for it to have the keyboard, so that what is typed
        next goes into it."""
        wid = self.window(title_regex)
        self.activate(wid)
        return wid

    def gone(self, title_regex, timeout=WINDOW_TIMEOUT):
        wait_for("no window titled /%s/" % title_regex, lambda: not self.windows(title_regex), timeout)

    def describe(self):
        """What is on the screen, for a failure report: wux's windows by title."""
        lines = []
        for wid in self.windows(""):
            props = self._run(["xprop", "-id", str(wid), "-notype", "_NET_WM_NAME"], check=False)
            lines.append("  window %d %s" % (wid, props.split("=", 1)[-1].strip()))
        return "\n".join(lines) or "  no window of wux"

    def title(self, wid):
        return self._run(["xdotool", "getwindowname", str(wid)], check=False).strip()

    def geometry(self, wid):
        """(x, y, width, height) of the window's inside on the screen."""
        # xwininfo rather than xdotool, which counts the frame's offset twice under a
        # reparenting window manager.
        out = self._run(["xwininfo", "-id", str(wid)])
        g = dict(re.findall(r"^\s*(Absolute upper-left [XY]|Width|Height):\s*(-?\d+)", out, re.M))
        return (int(g["Absolute upper-left X"]), int(g["Absolute upper-left Y"]), int(g["Width"]),
                int(g["Height"]))

    def activate(self, wid):
        self._run(["xdotool", "windowactivate", "--sync", str(wid)], check=False)
        wait_for("window %d to take the focus" % wid, lambda: self.active() == wid)

    def active(self):
        out = self._run(["xdotool", "getactivewindow"], check=False).strip()
        return int(out) if out.isdigit() else None

    def wait_main_window(self, p, doc_path):
        """Waits for the start-up splash to come and go, then for the main window showing
        `doc_path`, and gives it the focus."""
        title = "^wux " + re.escape(doc_path) + "$"

        def up():
            if p.poll() is not None:
                raise Failure("wux ended at start-up (%d); see %s" % (p.returncode, p.log))
            return self.windows(title)

        main = wait_for("the main window of " + doc_path, up, STARTUP_TIMEOUT)[0]
        # The splash is shown before the document is opened, so the window manager has
        # it by now, or very soon; it hides itself after a while. Seen and then gone, or
        # gone before we looked.
        # Untitled, it carries the application's title, which the document names.
        splash = lambda: self.windows("", kind="UTILITY")  # noqa: E731
        try:
            wait_for("the splash", splash, 5)
        except Failure:
            pass
        wait_for("the splash to go", lambda: not splash(), STARTUP_TIMEOUT)
        # Found again: a note's web page shown at start makes the main window's native
        # window anew, under another id.
        main = wait_for("the main window of " + doc_path, up, STARTUP_TIMEOUT)[-1]
        self.activate(main)
        return main

    # -- input --

    def key(self, *keys, delay=40):
        self._run(["xdotool", "key", "--clearmodifiers", "--delay", str(delay)] + list(keys))

    def type(self, text, delay=20):
        self._run(["xdotool", "type", "--clearmodifiers", "--delay", str(delay), text])

    def menu(self, top_mnemonic, rights=0, downs=0, subdowns=None):
        """Opens a menu of the menu bar with its access key, walks right to another top
        menu, down to an item (the first item is highlighted when a menu opens from the
        keyboard) and runs it; with `subdowns`, opens the item's submenu and runs that
        item instead."""
        self.key("alt+" + top_mnemonic)
        keys = ["Right"] * rights + ["Down"] * downs
        if subdowns is not None:
            keys += ["Right"] + ["Down"] * subdowns
        keys.append("Return")
        self.key(*keys)

    def mouse_move(self, x, y):
        # Not "mousemove --sync": it waits for a motion that never comes when the
        # pointer is there already.
        self._run(["xdotool", "mousemove", str(x), str(y)])
        wait_for("the pointer at %d,%d" % (x, y), lambda: self.pointer() == (x, y))

    def pointer(self):
        out = self._run(["xdotool", "getmouselocation", "--shell"])
        g = dict(line.split("=", 1) for line in out.split())
        return int(g["X"]), int(g["Y"])

    def drag(self, x0, y0, x1, y1, steps=8):
        """A left-button drag in small steps, so that the toolkit sees the pointer leave
        its start point and travel to the end: first aside, far enough for a drag to
        start, then to the end."""
        self.mouse_move(x0, y0)
        self._run(["xdotool", "mousedown", "1"])
        xa, ya = x0 + 30, y0 + 20
        for (xf, yf, xt, yt) in ((x0, y0, xa, ya), (xa, ya, x1, y1)):
            for i in range(1, steps + 1):
                time.sleep(0.03)
                self.mouse_move(xf + (xt - xf) * i // steps, yf + (yt - yf) * i // steps)
        time.sleep(0.2)
        self.mouse_move(x1, y1 + 1)
        time.sleep(0.2)
        self._run(["xdotool", "mouseup", "1"])

    def click(self, x, y):
        self.mouse_move(x, y)
        self._run(["xdotool", "click", "1"])
