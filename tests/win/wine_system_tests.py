#!/usr/bin/env python3
"""A Windows module under Wine as Windows sets it up on other machines.

    wine_system_tests.py --build BUILD --expect NATIVE_HELPER [--dialog-png FILE] [--session NAME]

Uses the helpers of wine_tests.py (BUILD is a 32-bit or 64-bit tree), with a
Wine prefix of its own (BUILD/wineprefix-system, made once and reused), in
two sessions:

  - two monitors and a non-Japanese locale: Wine without a virtual desktop on
    an Xvfb screen split into an 800 x 600 primary monitor and a 640 x 480
    one beside it (RandR monitors, which Wine reads through Xinerama). The
    scene must fill the primary monitor as the headless backend computes it,
    the other monitor must be black, and a move or a click there must end
    the saver.
  - the system's own screen-saver desktop: a host program makes the desktop
    "Screen-saver" and starts the module on it. The screen there shows a
    plain colour; the saver must start from the user's wallpaper instead,
    centred, tiled, fitted or filling, over the background colour, as the
    settings say. In
    the same session, on Wine's virtual desktop, the settings dialog in the
    en_US locale must keep its Japanese captions and draw them with glyphs,
    not question marks (--dialog-png saves its screenshot).
Prints one line per test and a closing "N passed, N failed" line.
"""
import argparse
import os
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing left in the source tree by the import below
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_tests  # noqa: E402
from wine_tests import Failure, Tally, wait_exit, dialog_window, control, SAVER_CLASS, DIALOG_TITLE  # noqa: E402

PRIMARY = (800, 600)
SECOND = (640, 480)          # right of the primary monitor, top-aligned
ROOT = (PRIMARY[0] + SECOND[0], PRIMARY[1])
ENGLISH = "en_US.UTF-8"
COVER_CLASS = "VylaMonitorCover"
BACKGROUND = (255, 128, 0)   # the desktop's background colour in the own-desktop session


class SystemSession(wine_tests.Session):
    """One Xvfb and wineserver session over the shared system-test prefix."""

    def __init__(self, args, name, screen, registry):
        super().__init__(args)
        self.work = os.path.join(self.build, "wintest-system", name)
        os.makedirs(self.work, exist_ok=True)
        self.prefix = os.path.join(self.build, "wineprefix-system")
        self.env.update({"WINEPREFIX": self.prefix, "LANG": ENGLISH, "LC_ALL": ENGLISH})
        self.screen = screen
        self.registry = registry

    def ensure_locale(self):
        wine_tests.ensure_locale(ENGLISH)

    def prepare_prefix(self):
        self.make_prefix()
        self.start_desktop(self.registry)

    def xrandr(self, *argv):
        subprocess.run(["xrandr"] + list(argv), env=self.env, check=True, capture_output=True)

    def set_root(self, picture):
        """Shows the picture on the X root, where a Wine without a virtual desktop has its desktop."""
        subprocess.run(["display", "-window", "root", picture], env=self.env, capture_output=True, timeout=60)

    def set_desktop_values(self, **values):
        for name, value in values.items():
            self.wine("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", name, "/d", value, "/f")


# --- pictures -----------------------------------------------------------------

def read_ppm(path):
    """(width, height, bytes) of a binary PPM."""
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise Failure("%s is not an 8-bit binary PPM" % path)
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def crop(source, target, rect):
    x0, y0, x1, y1 = rect
    subprocess.run(["convert", source, "-crop", "%dx%d+%d+%d" % (x1 - x0, y1 - y0, x0, y0), "+repage", target],
                   check=True)


def region_pixels(shot, rect):
    width, _, data = read_ppm(shot)
    x0, y0, x1, y1 = rect
    return [data[(y * width + x0) * 3:(y * width + x1) * 3] for y in range(y0, y1)]


def glyph_columns(shot, rect):
    """The caption's ink split at blank columns: one tuple of column bit masks per run of ink."""
    rows = region_pixels(shot, rect)
    # Ink is what is markedly darker than the control's face.
    ink = [[sum(row[3 * x:3 * x + 3]) < 300 for x in range(len(row) // 3)] for row in rows]
    columns = [tuple(r[x] for r in ink) for x in range(len(ink[0]))]
    runs, current = [], []
    for column in columns:
        if any(column):
            current.append(column)
        elif current:
            runs.append(tuple(current))
            current = []
    if current:
        runs.append(tuple(current))
    return runs


# --- two monitors -------------------------------------------------------------

def paint_two_monitor_root(session):
    """The test desktop on the primary monitor, a plain colour on the second."""
    desktop = os.path.join(session.work, "desktop.bmp")
    subprocess.run([session.args.expect, "desktop", desktop, str(PRIMARY[0]), str(PRIMARY[1])], check=True)
    root = os.path.join(session.work, "root.ppm")
    subprocess.run(["convert", "-size", "%dx%d" % ROOT, "xc:rgb(40,160,90)", desktop, "-geometry", "+0+0",
                    "-composite", root], check=True)
    session.set_root(root)


def primary_shot(session, name):
    shot = os.path.join(session.work, name + "-root.ppm")
    session.screenshot(shot)
    primary = os.path.join(session.work, name + ".ppm")
    crop(shot, primary, (0, 0) + PRIMARY)
    return shot, primary


def wait_for_bare_primary(session):
    deadline = time.time() + 15
    while time.time() < deadline:
        _, primary = primary_shot(session, "before")
        if subprocess.run([session.args.expect, "bare", primary]).returncode == 0:
            return
        time.sleep(0.2)
    raise Failure("the primary monitor never showed its bare desktop")


def second_monitor_black(shot):
    rect = (PRIMARY[0], 0, PRIMARY[0] + SECOND[0], SECOND[1])
    lit = sum(1 for row in region_pixels(shot, rect) for i in range(0, len(row), 3) if any(row[i:i + 3]))
    return lit


def check_windows(windows):
    savers = [w for w in windows if w["class"] == SAVER_CLASS]
    covers = [w for w in windows if w["class"] == COVER_CLASS]
    if len(savers) != 1 or savers[0]["rect"] != (0, 0) + PRIMARY:
        raise Failure("saver windows %r, expected one over the primary monitor" % [w["rect"] for w in savers])
    second = (PRIMARY[0], 0, PRIMARY[0] + SECOND[0], SECOND[1])
    if [w["rect"] for w in covers] != [second]:
        raise Failure("covers %r, expected one over %r" % ([w["rect"] for w in covers], second))


def run_two_monitor_saver(session, name, pointer, check, ending):
    session.clear_settings()
    wait_for_bare_primary(session)
    session.xdotool("mousemove", *map(str, pointer))
    time.sleep(0.3)
    process = session.start(session.module, "/s")
    try:
        check_windows(session.probe(SAVER_CLASS))
        deadline = time.time() + 15
        report = ""
        while True:
            shot, primary = primary_shot(session, name)
            r = subprocess.run([session.args.expect, "match", primary, "--diff",
                                os.path.join(session.work, name + "-diff.ppm")], capture_output=True, text=True)
            report = r.stdout.strip() or r.stderr.strip()
            lit = second_monitor_black(shot)
            if r.returncode == 0 and lit == 0:
                break
            if time.time() > deadline:
                raise Failure("primary: %s; second monitor: %d pixels not black" % (report, lit))
            time.sleep(0.3)
        check()
        if process.poll() is not None:
            raise Failure("ended before any input (exit %s)" % process.returncode)
        ending()
        code = wait_exit(process, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        return "primary %s; second monitor black" % report
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


# --- the dialog in a non-Japanese locale ---------------------------------------

def dialog_legible(session):
    session.clear_settings()
    process = session.start(session.module, "/c")
    try:
        d = dialog_window(session.probe(DIALOG_TITLE))  # every caption read back through WM_GETTEXT, as Unicode
        time.sleep(0.5)
        shot = os.path.join(session.work, "dialog.ppm")
        session.screenshot(shot)
        # Captions drawn as question marks (or empty boxes) make two unchecked
        # buttons of the same size look alike, and a caption's glyphs alike.
        normal, fast = (control(d, i)["rect"] for i in (wine_tests.IDC.NORMAL, wine_tests.IDC.FAST))
        if region_pixels(shot, normal) == region_pixels(shot, fast):
            raise Failure("the captions of 122 and 123 look the same: no glyphs")
        glyphs = glyph_columns(shot, control(d, -1)["rect"])
        if len(glyphs) < 2 or len(set(glyphs)) < 2:
            raise Failure("the caption of the interval label shows %d alike marks" % len(glyphs))
        x0, y0, x1, y1 = d["rect"]
        png = os.path.join(session.work, "dialog.png")
        crop(shot, png, (max(0, x0 - 8), max(0, y0 - 8), x1 + 8, y1 + 8))
        if session.args.dialog_png:
            subprocess.run(["cp", png, session.args.dialog_png], check=True)
        session.xdotool("mousemove", *map(str, wine_tests.centre(control(d, 2)["rect"])), "click", "1")
        code = wait_exit(process, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        return "captions read back and drawn; screenshot %s" % png
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


# --- the saver's own desktop ---------------------------------------------------

def saver_window_id(session):
    r = subprocess.run(["xdotool", "search", "--name", "^%s$" % SAVER_CLASS], env=session.env, capture_output=True,
                       text=True)
    for wid in r.stdout.split():
        info = subprocess.run(["xwininfo", "-id", wid], env=session.env, capture_output=True, text=True).stdout
        if "Width: %d" % PRIMARY[0] in info and "Height: %d" % PRIMARY[1] in info and "IsViewable" in info:
            return wid
    return None


def blocks_wallpaper(session, size):
    """A wallpaper maker: the test desktop's coloured blocks at that size."""
    return lambda path: subprocess.run([session.args.expect, "desktop", path, str(size[0]), str(size[1])], check=True)


def plain_wallpaper(size, colour):
    """A wallpaper maker: one colour, which any scaling keeps exactly."""
    return lambda path: subprocess.run(["convert", "-size", "%dx%d" % size, "xc:rgb(%d,%d,%d)" % colour,
                                        "BMP3:" + path], check=True)


def own_desktop_run(session, name, make_wallpaper, style, tile, expected_args):
    """The saver on the desktop "Screen-saver" over the wallpaper, placed as the settings say."""
    session.clear_settings()
    wallpaper = os.path.join(session.prefix, "drive_c", "vyla-wallpaper.bmp")
    make_wallpaper(wallpaper)
    session.set_desktop_values(WallpaperStyle=style, TileWallpaper=tile)
    expected = os.path.join(session.work, name + "-desktop.ppm")
    subprocess.run(["convert", "-size", "%dx%d" % PRIMARY] + expected_args(wallpaper) + ["-depth", "8", expected],
                   check=True)
    host_exe = os.path.join(session.build, "tests", "win", "vyla_desktop_host.exe")
    module = "Z:" + session.module.replace("/", "\\")  # the host starts it with the system's own call
    host = subprocess.Popen(["wine", host_exe, "Screen-saver", "20000", module, "/s"], env=session.env,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    try:
        line = host.stdout.readline().decode().strip()
        if line != "shown":
            raise Failure("no saver window on the desktop Screen-saver: %r" % line)
        deadline = time.time() + 20
        shot = os.path.join(session.work, name + ".ppm")
        report = "no saver window on the X screen"
        while True:
            wid = saver_window_id(session)
            if wid:
                xwd = subprocess.run(["xwd", "-id", wid, "-silent"], env=session.env, capture_output=True).stdout
                subprocess.run(["convert", "xwd:-", "ppm:" + shot], input=xwd, check=True)
                r = subprocess.run([session.args.expect, "match", shot, "--desktop", expected, "--diff",
                                    os.path.join(session.work, name + "-diff.ppm")], capture_output=True, text=True)
                report = r.stdout.strip() or r.stderr.strip()
                if r.returncode == 0:
                    break
            if time.time() > deadline:
                raise Failure("the saver never showed the scene over the wallpaper: " + report)
            time.sleep(0.3)
        host.stdin.write(b"close\n")
        host.stdin.flush()
        line = host.stdout.readline().decode().strip()
        wait_exit(host, 20)
        if line != "exit 0":
            raise Failure("after the close request: %r" % line)
        return report
    finally:
        if host.poll() is None:
            os.killpg(host.pid, signal.SIGKILL)
            host.wait()


# --- main ------------------------------------------------------------------------

TWO_MONITOR_REGISTRY = (
    # No virtual desktop; monitors through Xinerama, which reports the X
    # server's RandR monitors (Wine's RandR 1.4 path sees only CRTCs).
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n\"Desktop\"=-\n\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n\"UseXRandR\"=\"N\"\n\n")

OWN_DESKTOP_REGISTRY = (
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n\"Desktop\"=\"Default\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n\"Default\"=\"%dx%d\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n\"UseXRandR\"=-\n\n"
    "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n\"Wallpaper\"=\"C:\\\\vyla-wallpaper.bmp\"\n"
    "\"WallpaperStyle\"=\"0\"\n\"TileWallpaper\"=\"0\"\n\n"
    "[HKEY_CURRENT_USER\\Control Panel\\Colors]\n\"Background\"=\"%d %d %d\"\n\n" % (PRIMARY + BACKGROUND))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--expect", required=True)
    parser.add_argument("--dialog-png")
    parser.add_argument("--session", choices=("two-monitors", "own-desktop"), help="run only that session")
    args = parser.parse_args()
    args.expect = os.path.abspath(args.expect)
    if wine_tests.skip_unless_runnable(args.build, "wine system"):
        return 0
    tally = Tally()
    run = tally.run

    def session_run(name, screen, registry, setup, tests):
        if args.session and args.session != name:
            return
        session = SystemSession(args, name, screen, registry)
        try:
            session.ensure_locale()
            session.start_display()
            setup(session)
            session.prepare_prefix()
            for test_name, test in tests(session):
                run(test_name, test)
        except (Failure, subprocess.SubprocessError, OSError) as e:
            tally.setup_failed("the %s session" % name, e)
        finally:
            session.stop()

    def two_monitor_setup(session):
        session.xrandr("--setmonitor", "Primary", "%d/211x%d/158+0+0" % PRIMARY, "screen")
        session.xrandr("--setmonitor", "Second", "%d/169x%d/127+%d+0" % (SECOND + (PRIMARY[0],)), "none")
        paint_two_monitor_root(session)

    def two_monitor_tests(s):
        on_second = (PRIMARY[0] + SECOND[0] // 2, SECOND[1] // 2)
        on_primary = (PRIMARY[0] // 2, PRIMARY[1] // 2)
        nothing = lambda: None
        still_running = lambda: time.sleep(1)
        return [
            ("two monitors: the scene fills the primary one, the second is black; a move there ends it",
             lambda: run_two_monitor_saver(s, "move", on_primary, nothing,
                                           lambda: s.xdotool("mousemove", *map(str, on_second)))),
            ("two monitors: started with the pointer on the second one, it stays, and a click there ends it",
             lambda: run_two_monitor_saver(s, "click", on_second, still_running, lambda: s.xdotool("click", "1"))),
            ("two monitors: a key ends it", lambda: run_two_monitor_saver(s, "key", on_second, nothing,
                                                                        lambda: s.xdotool("key", "space"))),
        ]

    def own_desktop_tests(s):
        centre = (300, 200)
        tile = (160, 120)
        green = (30, 150, 60)
        background = "xc:rgb(%d,%d,%d)" % BACKGROUND
        # A 4:1 picture fitted to 800 x 600 is 800 x 200, with bars of the
        # background colour above and below.
        fitted = ["-fill", "rgb(%d,%d,%d)" % green, "-draw", "rectangle 0,200 799,399"]
        return [
            ("own desktop: the scene over the wallpaper centred on the background colour",
             lambda: own_desktop_run(s, "centre", blocks_wallpaper(s, centre), "0", "0", lambda w: [
                 background, w, "-geometry", "+%d+%d" % ((PRIMARY[0] - centre[0]) // 2, (PRIMARY[1] - centre[1]) // 2),
                 "-composite"])),
            ("own desktop: the scene over the wallpaper tiled",
             lambda: own_desktop_run(s, "tile", blocks_wallpaper(s, tile), "0", "1", lambda w: ["tile:" + w])),
            ("own desktop: the scene over the wallpaper fitted",
             lambda: own_desktop_run(s, "fit", plain_wallpaper((400, 100), green), "6", "0",
                                     lambda w: [background] + fitted)),
            ("own desktop: the scene over the wallpaper filling the screen, scaled far past it",
             lambda: own_desktop_run(s, "fill", plain_wallpaper((100, 400), green), "10", "0",
                                     lambda w: ["xc:rgb(%d,%d,%d)" % green])),
            ("en_US locale: the dialog's Japanese captions are kept and drawn", lambda: dialog_legible(s)),
        ]

    session_run("two-monitors", ROOT, TWO_MONITOR_REGISTRY, two_monitor_setup, two_monitor_tests)
    session_run("own-desktop", PRIMARY, OWN_DESKTOP_REGISTRY, lambda s: None, own_desktop_tests)
    return tally.close('wine system')


if __name__ == "__main__":
    sys.exit(main())
