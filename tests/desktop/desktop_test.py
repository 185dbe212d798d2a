#!/usr/bin/python3
"""natalis on a real X desktop: Xvfb, the openbox window manager, a tray panel (trayer, or
lxqt-panel as a StatusNotifierItem host), a private session bus with a recording notification
server, and a private PulseAudio server whose null sink is recorded; or on a Wayland compositor
without a screen (GNOME's mutter with Xwayland, weston). What a person sees is read
from screenshots, what they hear from the recording. One scenario per run:

    desktop_test.py --program build/bin/natalis --cli build/bin/natalis-cli SCENARIO

Every process started here is ended again, also when a check fails."""

import argparse
import collections
import json
import glob
import math
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# The recording notification server, a development tool like the SMS gateway simulator.
NOTIFICATION_SERVICE = os.path.join(HERE, "..", "..", "tools", "notification-sim",
                                    "notification_service.py")
PRODUCT = "青萍生日提醒软件v4.0"
MAIN_TITLE = PRODUCT + "[生日设置]"
CALENDAR_TITLE = PRODUCT
FLOATING_SIZE = (300, 34)
FLOATING_TITLE = "生日提醒"
# The strip's own colour, opaque where the compositor does not make it translucent.
FLOATING_BACKGROUND = (0xff, 0xf4, 0xc8)
SCREEN = (1280, 800)
# The tallest taskbar a desktop reserves at the bottom of the screen.
TASKBAR_HEIGHT = 48
NOTIFY_APP = "生日提醒"
NOTIFY_SUMMARY = "请关注亲人朋友的生日"
NOTIFY_ACTIONS = ["acknowledge", "知道了", "snooze", "稍后提醒", "open", "打开"]
SINK = "natalis_test"
# A 440 Hz tone at half scale has an RMS of about 0.35; silence of a null sink is 0.
AUDIBLE_RMS = 0.05
SILENT_RMS = 0.005


# The tray icon's two pictures, told apart by the colours of their cake body and base. Any
# scaling keeps the inside of those areas at the exact colour.
PICTURES = {
    "normal": ((0xe0, 0x45, 0x4f), (0x7b, 0x97, 0xe0)),
    "blink": ((0xf6, 0xc4, 0xc8), (0xc9, 0xd4, 0xf3)),
}
# Below the smallest difference between a picture's colour and another colour of either picture
# (the pale body and the normal band differ by 14).
COLOUR_TOLERANCE = 10
# Enough pixels for a cake scaled down to a 16 px slot; a few stray ones are no icon.
MIN_BODY_PIXELS = 12
MIN_BASE_PIXELS = 4

Window = collections.namedtuple("Window", "id title width height override x y")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(predicate, seconds, message, step=0.2):
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            # A message that tells the state at the time of failing is made then.
            raise Failure(message() if callable(message) else message)
        time.sleep(step)


class Screenshot:
    """The RGB pixels of a part of the screen."""

    def __init__(self, x, y, width, height, pixels):
        self.x, self.y, self.width, self.height, self.pixels = x, y, width, height, pixels

    def points(self, colour):
        """Screen positions of the pixels of about this colour."""
        found = []
        r, g, b = colour
        data = self.pixels
        for i in range(0, len(data) - 2, 3):
            if (abs(data[i] - r) <= COLOUR_TOLERANCE and abs(data[i + 1] - g) <= COLOUR_TOLERANCE
                    and abs(data[i + 2] - b) <= COLOUR_TOLERANCE):
                n = i // 3
                found.append((self.x + n % self.width, self.y + n // self.width))
        return found

    def icon(self, picture):
        """The centre of the tray icon's cake in this picture, or None where it is not seen."""
        body_colour, base_colour = PICTURES[picture]
        body = self.points(body_colour)
        if len(body) < MIN_BODY_PIXELS or len(self.points(base_colour)) < MIN_BASE_PIXELS:
            return None
        return (sum(p[0] for p in body) // len(body), sum(p[1] for p in body) // len(body))

    def pictures(self):
        return {name for name in PICTURES if self.icon(name)}

    def crop(self, area):
        """The part of this picture in the screen rectangle (x, y, width, height)."""
        x, y, width, height = area
        left, top = max(x - self.x, 0), max(y - self.y, 0)
        right, bottom = min(x + width - self.x, self.width), min(y + height - self.y, self.height)
        rows = [self.pixels[(row * self.width + left) * 3:(row * self.width + right) * 3]
                for row in range(top, bottom)]
        return Screenshot(self.x + left, self.y + top, max(right - left, 0),
                          max(bottom - top, 0), b"".join(rows))


def read_ppm(ppm, x=0, y=0):
    """The pixels of a binary PPM picture whose top left corner is at (x, y) on the screen."""
    # P6 <width> <height> 255, each field ended by one whitespace byte, then the pixels.
    fields, start = [], 0
    while len(fields) < 4 and start < len(ppm):
        while ppm[start:start + 1].isspace():
            start += 1
        end = start
        while end < len(ppm) and not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[start:end])
        start = end
    check(len(fields) == 4 and fields[0] == b"P6", "no picture to read")
    return Screenshot(x, y, int(fields[1]), int(fields[2]), ppm[start + 1:])


def remove_stale_display(number):
    """Removes an X display's lock and socket when the process that holds the lock is gone."""
    lock = "/tmp/.X%s-lock" % number
    try:
        with open(lock) as text:
            os.kill(int(text.read().strip()), 0)
        return
    except (ProcessLookupError, ValueError):
        pass
    except OSError:
        return
    for name in (lock, "/tmp/.X11-unix/X%s" % number):
        try:
            os.remove(name)
        except OSError:
            pass


class Desktop:
    """The processes of one scenario, in its own temporary folder."""

    def __init__(self, program, cli):
        self.program = program
        self.cli = cli
        self.folder = tempfile.mkdtemp(prefix="natalis-desktop-")
        self.processes = []
        self.x_displays = ()
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.path("home"),
            "XDG_RUNTIME_DIR": self.path("run"),
            "XDG_CONFIG_HOME": self.path("home/.config"),
            "LANG": "C.UTF-8",
            "NO_AT_BRIDGE": "1",
            "QT_QPA_PLATFORM": "xcb",
            "QT_MEDIA_BACKEND": "gstreamer",
            "PULSE_SERVER": "unix:" + self.path("run/pulse-native"),
        }
        for sub in ("home/.config", "run"):
            os.makedirs(self.path(sub), exist_ok=True)
        os.chmod(self.path("run"), 0o700)

    def path(self, name):
        return os.path.join(self.folder, name)

    def log(self, name):
        return open(self.path(name + ".log"), "ab")

    def spawn(self, name, argv, extra_env=None, **kwargs):
        env = dict(self.env)
        env.update(extra_env or {})
        process = subprocess.Popen(argv, env=env, stdout=self.log(name), stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        process.name = name
        self.processes.append(process)
        return process

    def run(self, argv, extra_env=None, **kwargs):
        env = dict(self.env)
        env.update(extra_env or {})
        return subprocess.run(argv, env=env, capture_output=True, text=True, timeout=30, **kwargs)

    # The X server, the window manager, the tray

    def start_x(self):
        read_end, write_end = os.pipe()
        self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                            "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb did not report its display")
        self.env["DISPLAY"] = ":" + number

    def start_wm(self):
        self.spawn("openbox", ["openbox", "--sm-disable"])
        wait_for(lambda: "window id" in self.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout, 10, "openbox did not start")

    def start_tray(self):
        self.panel_class = "trayer"
        self.tray = self.spawn("trayer", ["trayer", "--edge", "bottom", "--align", "right",
                                          "--widthtype", "request", "--height", "28",
                                          "--SetDockType", "true", "--SetPartialStrut", "true",
                                          "--transparent", "false"])
        wait_for(self.tray_manager, 10, "trayer did not take the tray selection")

    def stop_tray(self):
        self.end(self.tray)
        wait_for(lambda: not self.tray_manager(), 10, "the tray selection stayed taken")

    def tray_manager(self):
        return self.tray_window() is not None

    def tray_windows(self):
        return self.run(["xdotool", "search", "--class", "trayer"]).stdout.split()

    def tray_window(self):
        panels = self.tray_windows()
        return panels[0] if panels else None

    def start_lxqt_panel(self):
        """lxqt-panel with nothing but its StatusNotifierItem host, on the session bus."""
        self.panel_class = "lxqt-panel"
        config = self.path("home/.config/lxqt/panel.conf")
        os.makedirs(os.path.dirname(config), exist_ok=True)
        with open(config, "w") as out:
            out.write("[General]\npanels=panel1\n\n"
                      "[panel1]\nplugins=statusnotifier\nposition=Bottom\ndesktop=0\n"
                      "panelSize=32\niconSize=22\nlineCount=1\n\n"
                      "[statusnotifier]\ntype=statusnotifier\nalignment=Right\n")
        self.spawn("lxqt-panel", ["lxqt-panel", "--config", config])
        wait_for(lambda: self.bus_has("org.kde.StatusNotifierWatcher"), 15,
                 "lxqt-panel did not start its StatusNotifierItem host")
        wait_for(self.panel_area, 10, "lxqt-panel showed no panel")

    def panel_area(self):
        """Screen geometry (x, y, width, height) of the tray panel's largest visible window."""
        best = None
        for wid in self.run(["xdotool", "search", "--onlyvisible", "--class",
                             self.panel_class]).stdout.split():
            values = dict(line.split("=") for line in self.run(
                ["xdotool", "getwindowgeometry", "--shell", wid]).stdout.split())
            area = tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
            if area[2] * area[3] > 1 and (best is None or area[2] * area[3] > best[2] * best[3]):
                best = area
        return best

    def grab(self, area):
        x, y, width, height = area
        ppm = subprocess.run(["import", "-window", "root", "-crop",
                              "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8",
                              "ppm:-"], env=self.env, capture_output=True, timeout=30).stdout
        return read_ppm(ppm, x, y)

    def panel_shot(self):
        area = self.panel_area()
        return self.grab(area) if area else Screenshot(0, 0, 0, 0, b"")

    def tray_icon(self):
        """Where the tray panel shows the icon, in either picture, or None."""
        shot = self.panel_shot()
        return shot.icon("normal") or shot.icon("blink")

    def no_icon(self, what):
        return lambda: "%s (%d natalis windows embedded in the tray)" % (what, self.tray_icons())

    def tray_pictures(self, seconds):
        """The icon's pictures seen in the tray panel over some seconds."""
        seen = set()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            seen |= self.panel_shot().pictures()
            time.sleep(0.2)
        return seen

    def click(self, point, button=1):
        self.run(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", str(button)])

    def tray_icons(self):
        """Windows of natalis embedded in the tray panel (Qt names its windows' class after
        the program), for the failure messages: an embedded window need not show anything."""
        count = 0
        for panel in self.tray_windows():
            tree = self.run(["xwininfo", "-tree", "-id", panel]).stdout
            count += sum(1 for line in tree.splitlines() if '"natalis"' in line)
        return count

    # The session bus and the notification server

    def start_bus(self):
        read_end, write_end = os.pipe()
        self.spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                            "--address=unix:dir=" + self.path("run"),
                            "--print-address=%d" % write_end], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            address = pipe.readline().strip()
        check(address.startswith("unix:"), "dbus-daemon did not report its address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def bus_has(self, name):
        reply = self.run(["dbus-send", "--session", "--print-reply",
                          "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus.NameHasOwner", "string:" + name]).stdout
        return "boolean true" in reply

    def start_notifications(self):
        self.notification_log = self.path("notifications.jsonl")
        open(self.notification_log, "w").close()
        self.spawn("notifications", ["/usr/bin/python3",
                                     NOTIFICATION_SERVICE,
                                     self.notification_log])
        wait_for(lambda: self.notifications("ready"), 10, "the notification server did not start")

    def notifications(self, call="Notify"):
        with open(self.notification_log, encoding="utf-8") as log:
            entries = [json.loads(line) for line in log if line.strip()]
        return [e for e in entries if e["call"] == call]

    def invoke(self, number, key, call="Invoke"):
        """The person clicks a button of the notification (or, with call Dismiss, the
        notification itself, as dunst closes it)."""
        result = self.run(["dbus-send", "--session", "--print-reply",
                           "--dest=org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                           "org.natalis.TestNotifications." + call, "uint32:%d" % number]
                          + (["string:" + key] if key else []))
        check(result.returncode == 0, "invoking %s failed: %s" % (key, result.stderr))

    # Wayland compositors, each on the scenario's own runtime folder

    def start_mutter(self):
        """GNOME's compositor without a screen, with Xwayland and GNOME's session variables;
        the user has chosen no Qt platform."""
        # Xwayland's sockets live there; mutter does not make the folder.
        if not os.path.isdir("/tmp/.X11-unix"):
            os.makedirs("/tmp/.X11-unix", exist_ok=True)
            os.chmod("/tmp/.X11-unix", 0o1777)
        del self.env["QT_QPA_PLATFORM"]
        self.env.update({"XDG_SESSION_TYPE": "wayland", "XDG_CURRENT_DESKTOP": "GNOME",
                         "XDG_SESSION_DESKTOP": "gnome", "WAYLAND_DISPLAY": "wayland-natalis"})
        self.spawn("mutter", ["mutter", "--wayland", "--headless", "--virtual-monitor",
                              "%dx%d" % SCREEN, "--wayland-display", "wayland-natalis"])

        def x_displays():
            with open(self.path("mutter.log"), errors="replace") as log:
                found = re.search(r"Using public X11 display :(\d+), \(using :(\d+)", log.read())
            cookies = glob.glob(self.path("run/.mutter-Xwaylandauth*"))
            return found and cookies and (found.groups(), cookies[0])
        displays, cookie = wait_for(x_displays, 20, "mutter started no Xwayland")
        # Ended, mutter leaves its displays' locks and sockets behind.
        self.x_displays = displays
        self.env.update({"DISPLAY": ":" + displays[0], "XAUTHORITY": cookie})
        wait_for(lambda: "window id" in self.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout, 15,
            "Xwayland did not answer")

    def start_weston(self, xwayland=False):
        """weston without a screen; its screenshots need the pixman renderer and --debug. With
        Xwayland for X11 clients (a tray panel), started by weston when the first one comes."""
        self.env["WAYLAND_DISPLAY"] = "wayland-natalis"
        self.spawn("weston", ["weston", "--backend=headless-backend.so", "--use-pixman",
                              "--debug", "--socket=wayland-natalis", "--idle-time=0",
                              "--width=%d" % SCREEN[0], "--height=%d" % SCREEN[1]]
                   + (["--xwayland"] if xwayland else []))
        wait_for(lambda: os.path.exists(self.path("run/wayland-natalis")), 15,
                 "weston did not open its socket")
        if xwayland:
            def x_display():
                with open(self.path("weston.log"), errors="replace") as log:
                    return re.search(r"xserver listening on display :(\d+)", log.read())
            number = wait_for(x_display, 15, "weston started no Xwayland").group(1)
            self.x_displays = (number,)
            self.env["DISPLAY"] = ":" + number

    def start_sway(self):
        """sway (wlroots) without a screen, with Xwayland and sway's session variables; the
        user has chosen no Qt platform."""
        folder = self.path("sway")
        os.makedirs(folder, mode=0o700)
        config = os.path.join(folder, "config")
        with open(config, "w") as out:
            out.write("output HEADLESS-1 resolution %dx%d\nxwayland enable\n"
                      "exec echo \"$DISPLAY\" > %s\n" % (SCREEN + (self.path("sway/display"),)))
        # As root it runs as another user of a namespace of its own, which is still root for
        # the files and for Xwayland's check that its clients are its own user's.
        prefix = ["unshare", "--user", "--map-user=1000", "--map-group=1000"] if (
            os.geteuid() == 0) else []
        del self.env["QT_QPA_PLATFORM"]
        self.env.update({"XDG_SESSION_TYPE": "wayland", "XDG_CURRENT_DESKTOP": "sway",
                         "WAYLAND_DISPLAY": os.path.join(folder, "wayland-natalis")})
        self.spawn("sway", prefix + ["sway", "-c", config],
                   {"XDG_RUNTIME_DIR": folder, "WAYLAND_DISPLAY": "", "WLR_BACKENDS": "headless",
                    "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman"})

        def ready():
            sockets = glob.glob(os.path.join(folder, "sway-ipc.*.sock"))
            shown = os.path.exists(self.path("sway/display"))
            return sockets and shown and open(self.path("sway/display")).read().strip()
        display = wait_for(ready, 20, "sway did not start with Xwayland")
        self.env.update({"DISPLAY": display, "WAYLAND_DISPLAY": glob.glob(
            os.path.join(folder, "wayland-*[0-9]"))[0],
            "SWAYSOCK": glob.glob(os.path.join(folder, "sway-ipc.*.sock"))[0]})
        self.x_displays = (display.lstrip(":"),)

    def sway_shot(self, name):
        """The whole screen as sway itself draws it."""
        picture = self.path("sway.ppm")
        self.run(["grim", "-t", "ppm", picture])
        if self.shot_path(name):
            self.run(["convert", picture, self.shot_path(name)])
        with open(picture, "rb") as data:
            return read_ppm(data.read())

    def weston_shot(self, name):
        """The whole screen as weston itself draws it."""
        folder = self.path("shots")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        self.run(["weston-screenshooter"], cwd=folder)
        pngs = glob.glob(os.path.join(folder, "*.png"))
        check(pngs, "weston-screenshooter saved no picture")
        if self.shot_path(name):
            shutil.copy(pngs[0], self.shot_path(name))
        ppm = subprocess.run(["convert", pngs[0], "-depth", "8", "ppm:-"],
                             capture_output=True, timeout=30).stdout
        return read_ppm(ppm)

    def quiet(self, name="natalis"):
        """What the program wrote to stderr and stdout, which should be nothing."""
        with open(self.path(name + ".log"), errors="replace") as log:
            return log.read().strip()

    # Sound

    def start_sound(self):
        self.spawn("pulseaudio", [
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
            "--disable-shm=yes", "--log-target=stderr",
            "-L", "module-null-sink sink_name=" + SINK,
            "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + self.path(
                "run/pulse-native")],
            {"PULSE_RUNTIME_PATH": self.path("run/pulse")})
        wait_for(lambda: self.run(["pactl", "info"]).returncode == 0, 15,
                 "PulseAudio did not answer")
        self.run(["pactl", "set-default-sink", SINK])

    def record(self, seconds):
        """RMS amplitude (0..1) of each second of the sink's sound, as sox measures it."""
        raw = self.path("record.raw")
        with open(raw, "wb") as out:
            rec = subprocess.Popen(["parec", "-d", SINK + ".monitor", "--raw", "--format=s16le",
                                    "--rate=8000", "--channels=1", "--latency-msec=50"],
                                   env=self.env, stdout=out, stderr=subprocess.DEVNULL)
            # parec loses what it still buffers when ended: record on past the measured part.
            time.sleep(seconds + 2.5)
            rec.terminate()
            rec.wait(5)
        levels = []
        for second in range(int(seconds)):
            stat = subprocess.run(["sox", "-t", "raw", "-r", "8000", "-e", "signed", "-b", "16",
                                   "-c", "1", raw, "-n", "trim", str(second), "1", "stat"],
                                  capture_output=True, text=True)
            rms = [line for line in stat.stderr.splitlines() if line.startswith("RMS     amp")]
            level = float(rms[0].split(":")[1]) if rms else 0.0
            # An idle null sink delivers no samples at all: silence.
            levels.append(0.0 if math.isnan(level) else level)
        return levels

    def hear(self, judge, what, seconds=2):
        """Records the sink for some seconds; fails saying what unless judge (audible, silent)
        accepts the levels."""
        levels = self.record(seconds)
        check(judge(levels), "%s: %s" % (what, levels))

    def make_tone(self, seconds=4):
        tone = self.path("tone.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", tone, "synth", str(seconds),
                        "sine", "440", "vol", "0.5"], check=True)
        return tone

    # The program

    def make_database(self, birthdays, settings):
        db = self.path("natalis.mdb")
        for name, gl in birthdays:
            result = self.run([self.cli, "add", "--db", db, "--name", name, "--type", "朋友",
                               "--gl", gl, "--days", "7"])
            check(result.returncode == 0, "natalis-cli add: " + result.stderr)
        assignments = ",".join("%s=%s" % (k, v if isinstance(v, int) else "'%s'" % v)
                               for k, v in settings.items())
        script = "PRAGMA key='418093';\nupdate tishidata set %s;\n" % assignments
        result = subprocess.run(["sqlcipher", db], input=script, capture_output=True, text=True)
        check(result.returncode == 0 and "Error" not in result.stderr,
              "sqlcipher: " + result.stderr)
        return db

    def start_natalis(self, args, now, name="natalis", platform=None):
        extra = {"NATALIS_NOW": now}
        if platform:
            extra["QT_QPA_PLATFORM"] = platform
        return self.spawn(name, [self.program] + args, extra)

    def start_due(self, tray=True, settings=None, now=None, **kwargs):
        """The program over a list of BIRTHDAYS (kept as self.db) at now (DUE_NOW), every
        reminder at start-up unless settings say otherwise."""
        self.db = self.make_database(BIRTHDAYS, settings or all_at_start(self.make_tone()))
        args = (["--tray"] if tray else []) + [self.db]
        return self.start_natalis(args, now or DUE_NOW, **kwargs)

    def strip(self, process, seconds=15, what="no floating window after start-up"):
        """The program's floating strip once it shows."""
        return wait_for(lambda: self.floating(process), seconds, what)[0]

    def withdrawn(self, note):
        """The CloseNotification calls of the notification note."""
        return [c for c in self.notifications("CloseNotification") if c["id"] == note["id"]]

    def check_runs_quietly(self, process):
        check(process.poll() is None, "the program ended")
        check(not self.quiet(), "the program wrote on start-up: %s" % self.quiet())

    def windows(self, process):
        """Visible windows of the process."""
        ids = self.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                        str(process.pid), "--name", ""]).stdout.split()
        found = []
        for wid in ids:
            info = self.run(["xwininfo", "-id", wid]).stdout
            fields = {}
            for line in info.splitlines():
                if ":" in line:
                    key, _, value = line.strip().partition(":")
                    fields[key] = value.strip()
            if fields.get("Map State") != "IsViewable":
                continue
            title = self.run(["xdotool", "getwindowname", wid]).stdout.strip()
            found.append(Window(wid, title, int(fields.get("Width", 0)),
                                int(fields.get("Height", 0)),
                                fields.get("Override Redirect State") == "yes",
                                int(fields.get("Absolute upper-left X", 0)),
                                int(fields.get("Absolute upper-left Y", 0))))
        return found

    def balloon(self, process):
        """Qt draws the balloon itself, as an override-redirect window; the embedded tray icon
        is one too, but icon-sized."""
        return [w for w in self.windows(process) if w[4] and w[2] > 60]

    def floating(self, process):
        return [w for w in self.windows(process) if (w[2], w[3]) == FLOATING_SIZE and not w[4]]

    def main_window(self, process, visible=True, title=MAIN_TITLE):
        args = ["xdotool", "search", "--all"] + (["--onlyvisible"] if visible else []) + [
            "--pid", str(process.pid), "--name", "^" + title.replace("[", "\\[").replace(
                "]", "\\]") + "$"]
        out = self.run(args).stdout.split()
        return out[0] if out else None

    def calendar_window(self, process):
        return self.main_window(process, title=CALENDAR_TITLE)

    def wm_state(self, wid):
        return self.run(["xprop", "-id", wid, "WM_STATE"]).stdout

    def net_wm_state(self, wid):
        return self.run(["xprop", "-id", wid, "_NET_WM_STATE"]).stdout

    def shot_path(self, name):
        """Where the screenshot called name is kept for a person to look at, or None."""
        folder = os.environ.get("NATALIS_DESKTOP_SHOTS")
        if folder:
            os.makedirs(folder, exist_ok=True)
            return os.path.join(folder, name + ".png")

    def screenshot(self, name):
        if self.shot_path(name):
            self.run(["import", "-window", "root", self.shot_path(name)])

    def press_until(self, wid, key, done):
        """Presses key in the window until done holds. The key goes to the focused window: on a
        busy machine the activation may not have taken before it arrives, so it is pressed again
        (the keys used here change nothing when pressed twice)."""
        for attempt in range(3):
            self.run(["xdotool", "windowactivate", "--sync", wid])
            self.run(["xdotool", "key", "--clearmodifiers", key])
            try:
                return wait_for(done, 3, "")
            except Failure:
                pass

    # Ending

    def end(self, process):
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait(5)

    def close(self, keep_logs):
        for process in reversed(self.processes):
            self.end(process)
        for number in self.x_displays:
            remove_stale_display(number)
        if keep_logs:
            for name in sorted(os.listdir(self.folder)):
                if name.endswith(".log"):
                    with open(self.path(name), errors="replace") as log:
                        text = log.read()[-3000:]
                    print("---- %s ----\n%s" % (name, text))
        shutil.rmtree(self.folder, ignore_errors=True)


# A birthday two days ahead of the pretended day, 18 June 2026.
BIRTHDAYS = [("张三", "1980-06-20")]
DUE_NOW = "2026-06-18T10:00"
REMINDER_LINE = "张三生日还有2天"


def all_at_start(tone):
    return {"intQipao": 1, "intQpInit": 1, "intQpTime": 0, "intFudong": 1, "intFdInit": 1,
            "intFdTime": 0, "intMusic": 1, "intMcInit": 1, "intMcTime": 0, "strMcFile": tone}


def audible(levels):
    return all(level > AUDIBLE_RMS for level in levels)


def silent(levels):
    return all(level < SILENT_RMS for level in levels)


def near(colour_text, colour):
    value = int(colour_text.lstrip("#"), 16)
    rgb = (value >> 16, (value >> 8) & 0xff, value & 0xff)
    return all(abs(a - b) <= COLOUR_TOLERANCE for a, b in zip(rgb, colour))


def says(body, item):
    """Whether a notification's body has a line for the item (its group may follow)."""
    return any(line.startswith(item) for line in body.splitlines())


def startup_due_day(d):
    """Start-up at login on a due day: the icon shows in the tray, the floating window (kept out
    of the taskbar and pager) and the music stay for 10 s."""
    d.start_x(), d.start_wm(), d.start_tray(), d.start_sound()
    natalis = d.start_due()
    window = d.strip(natalis)
    check(window.title == FLOATING_TITLE, "the floating window is titled %r" % window.title)
    state = d.net_wm_state(window.id)
    for flag in ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
        check(flag in state, "the floating window lacks %s: %s" % (flag, state.strip()))
    # The player may still be starting when the window maps (a loaded machine takes a second):
    # the music must begin within 2 s and then play on for 10 s.
    levels = d.record(12)
    start = next((second for second, level in enumerate(levels) if level > AUDIBLE_RMS), None)
    check(start is not None and start <= 2 and audible(levels[start:start + 10]),
          "music not audible for 10 s from within 2 s of the window: %s" % levels)
    d.screenshot("startup_due_day")
    check(d.floating(natalis), "the floating window went away by itself")
    check(d.main_window(natalis) is None, "--tray with a tray showed the main window")
    wait_for(d.tray_icon, 5, d.no_icon("no icon to be seen in the tray"))


def late_tray(d):
    """The tray panel starts after the program, and later restarts: the icon shows in it."""
    d.start_x(), d.start_wm(), d.start_sound()
    natalis = d.start_due()
    d.strip(natalis)
    time.sleep(1.5)
    d.start_tray()
    wait_for(d.tray_icon, 10, d.no_icon("the icon did not show in the late tray"))
    panel_top = d.panel_area()[1]
    wait_for(lambda: d.floating(natalis)[0].y + FLOATING_SIZE[1] <= panel_top, 5,
             "the late panel covers the floating window: %s, panel at y=%d"
             % (d.floating(natalis), panel_top))
    d.screenshot("late_tray")
    check(d.main_window(natalis) is None, "the main window showed though a tray came in time")
    d.stop_tray()
    d.start_tray()
    wait_for(d.tray_icon, 10, d.no_icon("the icon did not show in the restarted tray"))


def crossing_the_hour(d):
    """The clock crosses 9:00 a minute after the start: balloon and music fire within a second or
    two beside the strip shown at start and not yet acknowledged."""
    d.start_x(), d.start_wm(), d.start_tray(), d.start_sound()
    settings = all_at_start(d.make_tone())
    settings.update({"intQpInit": 0, "intQpTime": 1, "strQpTime": "9:00", "intFdTime": 1,
                     "strFdTime": "9:00", "intMcInit": 0, "intMcTime": 1, "strMcTime": "9:00"})
    started = time.monotonic()
    natalis = d.start_due(settings=settings, now="2026-06-18T08:59:30+")
    window = d.strip(natalis)
    # The pretended clock starts at 8:59:30 after the process started and before the start-up
    # reminder showed, so 9:00 comes between 30 s after the one and 30 s after the other.
    shown = time.monotonic()
    d.hear(silent, "music before 9:00")
    check(not d.balloon(natalis), "a balloon before 9:00")
    time.sleep(max(0.0, started + 29 - time.monotonic()))
    check(not d.balloon(natalis), "a balloon before 9:00")
    # The minute's tick within a second after 9:00, and the balloon's mapping.
    wait_for(lambda: d.balloon(natalis), shown + 32.5 - time.monotonic(),
             lambda: "no balloon %.1f s after the start-up reminder at 8:59:30" % (
                 time.monotonic() - shown))
    check(d.floating(natalis), "the strip went at 9:00")
    d.screenshot("crossing_the_hour")
    d.hear(audible, "no music at 9:00", 3)


def no_tray_close(d):
    """Without a tray, closing the main window minimises it; it can be brought back."""
    d.start_x(), d.start_wm(), d.start_sound()
    natalis = d.start_due(tray=False)
    main = wait_for(lambda: d.main_window(natalis), 15, "no main window without a tray")
    time.sleep(1)
    d.screenshot("no_tray")
    d.press_until(main, "alt+F4", lambda: "Iconic" in d.wm_state(main))
    check("Iconic" in d.wm_state(main), "closing did not minimise: " + d.wm_state(main))
    check(natalis.poll() is None, "the program ended")
    d.run(["xdotool", "windowactivate", "--sync", main])
    wait_for(lambda: "Normal" in d.wm_state(main), 5, "the minimised window did not come back")


def trayer(d):
    """An XEmbed tray: the icon shows and blinks, the program's own balloon stands next to it
    (no desktop notification), a left click on the icon acknowledges and opens the birthday
    calendar, a right click opens the menu."""
    d.start_x(), d.start_wm(), d.start_bus(), d.start_notifications(), d.start_tray()
    d.start_sound()
    natalis = d.start_due()
    wait_for(d.tray_icon, 15, d.no_icon("no icon to be seen in the tray"))
    seen = d.tray_pictures(3.2)
    check(seen == set(PICTURES), "the icon does not blink, pictures seen: %s" % sorted(seen))
    icon = d.tray_icon()
    balloon = wait_for(lambda: d.balloon(natalis), 5, "no balloon after start-up")[0]
    d.screenshot("trayer")
    # How far the icon is from the balloon's rectangle; above it, as the panel is at the bottom.
    # The strip stands in the same corner, and the balloon goes above it rather than over it.
    strips = d.floating(natalis)
    below = max([balloon.y + balloon.height] + [s.y + s.height for s in strips
                                                if s.y < icon[1] and s.x < icon[0] + 40])
    dx = max(balloon.x - icon[0], 0, icon[0] - (balloon.x + balloon.width))
    dy = max(balloon.y - icon[1], 0, icon[1] - below)
    check(dx <= 40 and dy <= 40 and balloon.y + balloon.height // 2 < icon[1],
          "the balloon %s is not next to and above the icon at %s" % (balloon, icon))
    for strip in strips:
        check(balloon.x >= strip.x + strip.width or balloon.x + balloon.width <= strip.x
              or balloon.y >= strip.y + strip.height or balloon.y + balloon.height <= strip.y,
              "the balloon %s covers the strip %s" % (balloon, strip))
    check(not d.notifications(), "a desktop notification though the tray shows balloons")
    d.hear(audible, "no music before the click")
    d.click(icon)
    wait_for(lambda: d.calendar_window(natalis), 5, "a left click did not open the calendar")
    d.hear(silent, "music still playing after a left click on the icon")
    seen = d.tray_pictures(2.5)
    check(seen == {"normal"}, "after the click the icon shows: %s" % sorted(seen))
    before = {w.id for w in d.windows(natalis)}
    d.click(icon, button=3)
    wait_for(lambda: [w for w in d.windows(natalis)
                      if w.override and w.height > 40 and w.id not in before], 5,
             "a right click on the icon opened no menu")


def lxqt_panel(d):
    """A StatusNotifierItem host: the icon shows in the panel, the reminder comes as a desktop
    notification, a click on the icon acknowledges and withdraws the notification."""
    d.start_x(), d.start_wm(), d.start_bus(), d.start_notifications(), d.start_lxqt_panel()
    d.start_sound()
    natalis = d.start_due()
    icon = wait_for(d.tray_icon, 15, "no icon to be seen in lxqt-panel")
    note = wait_for(d.notifications, 10, "the reminder came as no desktop notification")[-1]
    check(says(note["body"], REMINDER_LINE), "the notification says %r" % note["body"])
    d.screenshot("lxqt_panel")
    d.hear(audible, "no music before the click")
    d.click(icon)
    wait_for(lambda: d.withdrawn(note), 5, "a click on the icon did not withdraw the notification")
    d.hear(silent, "music still playing after a click on the icon")


def no_tray_notifications(d):
    """Without a tray the reminder is a desktop notification whose "知道了" button stops the
    music and closes the floating window."""
    d.start_x(), d.start_wm(), d.start_bus(), d.start_notifications(), d.start_sound()
    natalis = d.start_due()
    note = wait_for(d.notifications, 15, "the reminder came as no desktop notification")[0]
    expected = {"app_name": NOTIFY_APP, "summary": NOTIFY_SUMMARY, "actions": NOTIFY_ACTIONS,
                "expire_timeout": 0}
    for field, value in expected.items():
        check(note[field] == value, "the notification's %s is %r" % (field, note[field]))
    check(says(note["body"], REMINDER_LINE), "the notification says %r" % note["body"])
    check("desktop-entry" in note["hints"], "no desktop-entry hint: %s" % note["hints"])
    image = note["hints"].get("image-data", {"colours": []})
    check(any(near(c, PICTURES["normal"][0]) for c in image["colours"]),
          "the notification's image is not the cake: %s" % image)
    d.strip(natalis, 10)
    d.hear(audible, "no music before the acknowledgement")
    d.invoke(note["id"], "acknowledge")
    wait_for(lambda: not d.floating(natalis), 5, "知道了 left the floating window open")
    d.hear(silent, "music still playing after 知道了")


def missed_birthday(d):
    """A birthday passed while the program was not running: the start-up reminder names it and
    still does after the first minute ticks; the notification's 打开 brings the main window."""
    d.start_x(), d.start_wm(), d.start_bus(), d.start_notifications(), d.start_sound()
    first = d.start_due(tray=False, name="first")
    d.strip(first, what="no floating window on the earlier day")
    d.end(first)
    # Fifteen seconds before the turn of the minute, so that the first tick comes soon.
    started = time.monotonic()
    natalis = d.start_natalis([d.db], "2026-06-22T10:00:45+")
    missed = "2天前是张三生日"
    note = wait_for(lambda: [n for n in d.notifications() if says(n["body"], missed)],
                    15, lambda: "no notification of the missed birthday: %s" % [
                        n["body"] for n in d.notifications()])[-1]
    main = wait_for(lambda: d.main_window(natalis), 10, "no main window without a tray")
    wait_for(lambda: d.floating(natalis), 5, "no floating window for the missed birthday")
    time.sleep(max(0.0, started + 18 - time.monotonic()))
    d.screenshot("missed_birthday")
    check(d.floating(natalis), "the missed birthday's floating window went away by itself")
    check(not d.withdrawn(note), "the missed birthday's notification was withdrawn by itself")
    later = [n for n in d.notifications() if n["id"] == note["id"]][-1]
    check(says(later["body"], missed), "the notification now says %r" % later["body"])
    d.run(["xdotool", "windowminimize", "--sync", main])
    d.invoke(note["id"], "open")
    wait_for(lambda: "Normal" in d.wm_state(main), 5, "打开 did not bring the main window")


def restart_unacknowledged(d):
    """Ended unacknowledged (a logout's SIGTERM) and started again the same day: the strip and
    the notification are back; a click on the strip closes the notification on the bus."""
    d.start_x(), d.start_wm(), d.start_bus(), d.start_notifications()
    # At its hour only: shown once that day, a start-up reminder would not show it again.
    settings = all_at_start("")
    settings.update({"intQpInit": 0, "intQpTime": 1, "strQpTime": "9:00", "intFdInit": 0,
                     "intFdTime": 1, "strFdTime": "9:00", "intMusic": 0})
    first = d.start_due(settings=settings, name="first")
    d.strip(first, what="no floating window at the first start")
    d.end(first)
    shown = len(d.notifications())
    natalis = d.start_natalis(["--tray", d.db], "2026-06-18T10:30")
    strip = d.strip(natalis, what="the strip did not come back")
    note = wait_for(lambda: d.notifications()[shown:], 10, "no notification after the restart")[-1]
    d.screenshot("restart_unacknowledged")
    d.click((strip.x + 60, strip.y + 17))
    wait_for(lambda: not d.floating(natalis), 5, "the click left the strip")
    wait_for(lambda: d.withdrawn(note), 5, "no CloseNotification after the click on the strip")


def notification_dismissed(d):
    """The person closes the notification (dunst's left click, reason 2): the music stops and
    the strip goes with it."""
    d.start_x(), d.start_wm(), d.start_bus(), d.start_notifications(), d.start_sound()
    natalis = d.start_due()
    note = wait_for(d.notifications, 15, "the reminder came as no desktop notification")[0]
    d.strip(natalis, 10)
    time.sleep(1)  # the player's start
    d.hear(audible, "no music before the dismissal")
    d.invoke(note["id"], None, call="Dismiss")
    wait_for(lambda: not d.floating(natalis), 5, "the dismissal left the strip open")
    d.hear(silent, "music still playing after the dismissal")


def whole_strip(shot):
    """The floating strip's rectangle when all of it is seen: its colour fills a rectangle of
    its size whose top and bottom rows are whole (the text runs between them). None when a
    window covers part of it or it is not there."""
    points = shot.points(FLOATING_BACKGROUND)
    if not points:
        return None
    left, top = min(p[0] for p in points), min(p[1] for p in points)
    right, bottom = max(p[0] for p in points), max(p[1] for p in points)
    if (right - left + 1, bottom - top + 1) != FLOATING_SIZE:
        return None
    edges = sum(1 for p in points if p[1] in (top, bottom))
    return (left, top) if edges == 2 * FLOATING_SIZE[0] else None


# Only the floating strip and no tray: what a desktop without either corner or tray leaves.
FLOATING_ONLY = {"intQipao": 0, "intFudong": 1, "intFdInit": 1, "intFdTime": 0, "intMusic": 0}


def mutter_xwayland(d):
    """GNOME on Wayland, the user having chosen nothing: the program runs through Xwayland, and
    the strip stands in the screen's bottom right corner. Nothing is written on start-up."""
    d.start_bus(), d.start_mutter()
    natalis = d.start_due(tray=False, settings=FLOATING_ONLY)
    d.strip(natalis, what="no floating X11 window on Xwayland")
    time.sleep(1)  # the window manager's placing
    strip = d.floating(natalis)[0]
    d.screenshot("mutter_xwayland")
    check(strip.x + strip.width == SCREEN[0],
          "the strip's right edge is at %d, not the screen's" % (strip.x + strip.width))
    gap = SCREEN[1] - (strip.y + strip.height)
    check(0 <= gap <= TASKBAR_HEIGHT, "the strip's bottom is %d px above the screen's" % gap)
    d.check_runs_quietly(natalis)


def sway_xwayland(d):
    """sway on Wayland, the user having chosen nothing: the program runs through Xwayland, and
    sway shows the strip in the screen's bottom right corner, not in its middle."""
    d.start_bus(), d.start_sway()
    natalis = d.start_due(tray=False, settings=FLOATING_ONLY)
    wait_for(lambda: d.windows(natalis), 15, "no X11 window on Xwayland")
    time.sleep(1)  # the compositor's placing
    # sway writes the main window's title at the top in letters of about the strip's colour.
    below_title = (0, 40, SCREEN[0], SCREEN[1] - 40)
    x, y = wait_for(lambda: whole_strip(d.sway_shot("sway_xwayland").crop(below_title)), 10,
                    "sway's screenshot does not show the whole strip")
    check(x + FLOATING_SIZE[0] == SCREEN[0],
          "the strip's right edge is at %d, not the screen's" % (x + FLOATING_SIZE[0]))
    gap = SCREEN[1] - (y + FLOATING_SIZE[1])
    check(0 <= gap <= TASKBAR_HEIGHT, "the strip's bottom is %d px above the screen's" % gap)
    d.check_runs_quietly(natalis)


def weston_native(d):
    """A native Wayland client on weston, no tray: all of the strip is seen on the screen, above
    the main window that opens at the same time, and the reminder goes out as a desktop
    notification as well. Nothing is written on start-up."""
    d.start_bus(), d.start_notifications(), d.start_weston()
    natalis = d.start_due(tray=False, settings=FLOATING_ONLY, platform="wayland")
    note = wait_for(lambda: [n for n in d.notifications() if says(n["body"], REMINDER_LINE)],
                    15, lambda: "the reminder came as no desktop notification: %s" % [
                        n["body"] for n in d.notifications()])[-1]
    check(note["actions"] == NOTIFY_ACTIONS, "the notification offers %s" % note["actions"])
    # The main window and the strip have been drawn and placed.
    time.sleep(3)
    wait_for(lambda: whole_strip(d.weston_shot("weston_native")), 10,
             "weston's screenshot does not show the whole strip")
    d.check_runs_quietly(natalis)


def weston_late_tray(d):
    """A native Wayland client on weston whose tray panel (lxqt-panel on Xwayland, a
    StatusNotifierItem host) starts after it: the icon shows in the panel, and nothing is
    written on start-up."""
    d.start_bus(), d.start_weston(xwayland=True)
    natalis = d.start_due(settings=FLOATING_ONLY, platform="wayland")
    time.sleep(1.5)
    d.start_lxqt_panel()
    # weston puts the panel along the bottom of the screen, not where Xwayland says it is.
    bottom = (0, SCREEN[1] - TASKBAR_HEIGHT, SCREEN[0], TASKBAR_HEIGHT)
    wait_for(lambda: d.weston_shot("weston_late_tray").crop(bottom).pictures(), 15,
             "weston's screenshot shows no icon in the panel at the bottom")
    d.check_runs_quietly(natalis)


SCENARIOS = {f.__name__: f for f in (startup_due_day, late_tray, crossing_the_hour,
                                     no_tray_close, trayer, lxqt_panel, no_tray_notifications,
                                     missed_birthday, restart_unacknowledged,
                                     notification_dismissed, mutter_xwayland, sway_xwayland,
                                     weston_native, weston_late_tray)}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    desktop = Desktop(os.path.abspath(args.program), os.path.abspath(args.cli))
    failed = True
    try:
        SCENARIOS[args.scenario](desktop)
        failed = False
        print("%s: passed" % args.scenario)
    except Failure as failure:
        print("%s: FAILED: %s" % (args.scenario, failure))
    finally:
        desktop.close(keep_logs=failed)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
