#!/usr/bin/python3
"""natalis on a real X desktop: Xvfb, the openbox window manager, a trayer tray panel and a
private PulseAudio server whose null sink is recorded. One scenario per run:

    desktop_test.py --program build/bin/natalis --cli build/bin/natalis-cli SCENARIO

Every process started here is ended again, also when a check fails."""

import argparse
import array
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

MAIN_TITLE = "青萍生日提醒软件v4.0[生日设置]"
FLOATING_SIZE = (300, 34)
SINK = "natalis_test"
# A 440 Hz tone at half scale has an RMS of about 0.35; silence of a null sink is 0.
AUDIBLE_RMS = 0.05
SILENT_RMS = 0.005


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
            raise Failure(message)
        time.sleep(step)


class Desktop:
    """The processes of one scenario, in its own temporary folder."""

    def __init__(self, program, cli):
        self.program = program
        self.cli = cli
        self.folder = tempfile.mkdtemp(prefix="natalis-desktop-")
        self.processes = []
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

    def tray_icons(self):
        """Windows of natalis embedded in the tray panel (Qt names its windows' class after
        the program)."""
        count = 0
        for panel in self.tray_windows():
            tree = self.run(["xwininfo", "-tree", "-id", panel]).stdout
            count += sum(1 for line in tree.splitlines() if '"natalis"' in line)
        return count

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

    def start_natalis(self, args, now, name="natalis"):
        return self.spawn(name, [self.program] + args, {"NATALIS_NOW": now})

    def windows(self, process):
        """Visible windows of the process: (id, title, width, height, override-redirect)."""
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
            found.append((wid, title, int(fields.get("Width", 0)), int(fields.get("Height", 0)),
                          fields.get("Override Redirect State") == "yes"))
        return found

    def balloon(self, process):
        """Qt draws the balloon itself, as an override-redirect window; the embedded tray icon
        is one too, but icon-sized."""
        return [w for w in self.windows(process) if w[4] and w[2] > 60]

    def floating(self, process):
        return [w for w in self.windows(process) if (w[2], w[3]) == FLOATING_SIZE and not w[4]]

    def main_window(self, process, visible=True):
        args = ["xdotool", "search", "--all"] + (["--onlyvisible"] if visible else []) + [
            "--pid", str(process.pid), "--name", "^" + MAIN_TITLE.replace("[", "\\[").replace(
                "]", "\\]") + "$"]
        out = self.run(args).stdout.split()
        return out[0] if out else None

    def wm_state(self, wid):
        return self.run(["xprop", "-id", wid, "WM_STATE"]).stdout

    def screenshot(self, name):
        if os.environ.get("NATALIS_DESKTOP_SHOTS"):
            folder = os.environ["NATALIS_DESKTOP_SHOTS"]
            os.makedirs(folder, exist_ok=True)
            self.run(["import", "-window", "root", os.path.join(folder, name + ".png")])

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


def all_at_start(tone):
    return {"intQipao": 1, "intQpInit": 1, "intQpTime": 0, "intFudong": 1, "intFdInit": 1,
            "intFdTime": 0, "intMusic": 1, "intMcInit": 1, "intMcTime": 0, "strMcFile": tone}


def audible(levels):
    return all(level > AUDIBLE_RMS for level in levels)


def silent(levels):
    return all(level < SILENT_RMS for level in levels)


def startup_due_day(d):
    """Start-up at login on a due day: the floating window and the music stay for 10 s."""
    d.start_x(), d.start_wm(), d.start_tray(), d.start_sound()
    db = d.make_database(BIRTHDAYS, all_at_start(d.make_tone()))
    natalis = d.start_natalis(["--tray", db], DUE_NOW)
    wait_for(lambda: d.floating(natalis), 15, "no floating window after start-up")
    levels = d.record(10)
    check(audible(levels), "music not audible for 10 s: %s" % levels)
    d.screenshot("startup_due_day")
    check(d.floating(natalis), "the floating window went away by itself")
    check(d.main_window(natalis) is None, "--tray with a tray showed the main window")
    check(d.tray_icons() >= 1, "no icon in the tray")


def late_tray(d):
    """The tray panel starts after the program, and later restarts: the icon is embedded."""
    d.start_x(), d.start_wm(), d.start_sound()
    db = d.make_database(BIRTHDAYS, all_at_start(d.make_tone()))
    natalis = d.start_natalis(["--tray", db], DUE_NOW)
    wait_for(lambda: d.floating(natalis), 15, "no floating window after start-up")
    time.sleep(1.5)
    d.start_tray()
    wait_for(lambda: d.tray_icons() >= 1, 10, "the icon did not come to the late tray")
    d.screenshot("late_tray")
    check(d.main_window(natalis) is None, "the main window showed though a tray came in time")
    d.stop_tray()
    d.start_tray()
    wait_for(lambda: d.tray_icons() >= 1, 10, "the icon did not come back to a restarted tray")


def acknowledge_by_click(d):
    """A click on the floating window stops the music and closes the window."""
    d.start_x(), d.start_wm(), d.start_tray(), d.start_sound()
    db = d.make_database(BIRTHDAYS, all_at_start(d.make_tone()))
    natalis = d.start_natalis(["--tray", db], DUE_NOW)
    window = wait_for(lambda: d.floating(natalis), 15, "no floating window after start-up")[0]
    time.sleep(1)  # the player's start
    levels = d.record(2)
    check(audible(levels), "no music before the click: %s" % levels)
    geometry = d.run(["xdotool", "getwindowgeometry", "--shell", window[0]]).stdout
    values = dict(line.split("=") for line in geometry.split())
    d.run(["xdotool", "mousemove", str(int(values["X"]) + 60), str(int(values["Y"]) + 17),
           "click", "1"])
    wait_for(lambda: not d.floating(natalis), 5, "the floating window stayed after the click")
    time.sleep(0.5)
    levels = d.record(2)
    check(silent(levels), "music still playing after the click: %s" % levels)
    check(natalis.poll() is None, "the program ended")


def crossing_the_hour(d):
    """The clock crosses 9:00: balloon, floating window and music fire, also after an early
    acknowledgement stopped the start-up music."""
    d.start_x(), d.start_wm(), d.start_tray(), d.start_sound()
    settings = all_at_start(d.make_tone())
    settings.update({"intQpInit": 0, "intQpTime": 1, "strQpTime": "9:00", "intFdTime": 1,
                     "strFdTime": "9:00", "intMcTime": 1, "strMcTime": "9:00"})
    db = d.make_database(BIRTHDAYS, settings)
    natalis = d.start_natalis(["--tray", db], "2026-06-18T08:59+")
    window = wait_for(lambda: d.floating(natalis), 15, "no floating window after start-up")[0]
    # The minute timer starts with the start-up reminder, so it ticks at most 60 s from here.
    started = time.monotonic()
    # Acknowledged at once, while the music may still be starting.
    geometry = d.run(["xdotool", "getwindowgeometry", "--shell", window[0]]).stdout
    values = dict(line.split("=") for line in geometry.split())
    d.run(["xdotool", "mousemove", str(int(values["X"]) + 60), str(int(values["Y"]) + 17),
           "click", "1"])
    wait_for(lambda: not d.floating(natalis), 5, "the click did not acknowledge")
    check(silent(d.record(2)[1:]), "music after the acknowledgement")
    check(not d.balloon(natalis), "a balloon before 9:00")
    # The pretended clock started before the timer: its first tick is at 9:00 or later.
    time.sleep(max(0.0, 58 - (time.monotonic() - started)))
    wait_for(lambda: d.floating(natalis), 12, "no floating window at 9:00")
    check(d.balloon(natalis), "no balloon at 9:00")
    d.screenshot("crossing_the_hour")
    levels = d.record(3)
    check(audible(levels), "no music at 9:00: %s" % levels)


def second_start(d):
    """A second start hands over to the first, which shows its main window; no message."""
    d.start_x(), d.start_wm(), d.start_tray(), d.start_sound()
    db = d.make_database(BIRTHDAYS, all_at_start(d.make_tone()))
    natalis = d.start_natalis(["--tray", db], DUE_NOW)
    wait_for(lambda: d.floating(natalis), 15, "no floating window after start-up")
    check(d.main_window(natalis) is None, "the main window showed before the second start")
    second = d.start_natalis([db], DUE_NOW, name="second")
    try:
        code = second.wait(10)
    except subprocess.TimeoutExpired:
        raise Failure("the second start did not end by itself (a message box waits?)")
    check(code == 2, "the second start ended with %s" % code)
    wait_for(lambda: d.main_window(natalis), 5, "the first instance did not show its window")
    d.screenshot("second_start")
    check(d.floating(natalis), "showing the main window acknowledged the reminder")


def no_tray_close(d):
    """Without a tray, closing the main window minimises it; it can be brought back."""
    d.start_x(), d.start_wm(), d.start_sound()
    db = d.make_database(BIRTHDAYS, all_at_start(d.make_tone()))
    natalis = d.start_natalis([db], DUE_NOW)
    main = wait_for(lambda: d.main_window(natalis), 15, "no main window without a tray")
    time.sleep(1)
    d.screenshot("no_tray")
    d.run(["xdotool", "windowactivate", "--sync", main])
    d.run(["xdotool", "key", "--clearmodifiers", "alt+F4"])
    wait_for(lambda: "Iconic" in d.wm_state(main), 5,
             "closing did not minimise: " + d.wm_state(main))
    check(natalis.poll() is None, "the program ended")
    d.run(["xdotool", "windowactivate", "--sync", main])
    wait_for(lambda: "Normal" in d.wm_state(main), 5, "the minimised window did not come back")


SCENARIOS = {f.__name__: f for f in (startup_due_day, late_tray, acknowledge_by_click,
                                     crossing_the_hour, second_start, no_tray_close)}


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
