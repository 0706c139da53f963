#!/usr/bin/env python3
"""A Windows module under Wine, on a virtual X display, driven as a user would.

    wine_tests.py --build BUILD --expect NATIVE_HELPER [--dialog-png FILE]

BUILD is a Windows tree, 32-bit or 64-bit (vyla.scr and the test programs
built beside it), NATIVE_HELPER the native vyla_wine_expect; --dialog-png
also saves the dialog's screenshot there (docs/dialog-windows.png is made
that way). A 32-bit module runs under WoW64 in the same kind of 64-bit
prefix; where the kernel cannot run 32-bit programs its tests are skipped.

Starts Xvfb, prepares a Wine prefix inside the build tree (made once, then
reused) whose desktop is an 800 x 600 virtual desktop showing a known
wallpaper, and runs:
  - the raster contract and the Windows framework tests (GoogleTest);
  - saver mode: the screen must show the wallpaper with the border darkened
    into it and the flowers at the corners, as the headless backend computes
    it, and a mouse move, a key press and a click must each end it;
  - configuration mode: the dialog "Orvane" with its Japanese captions, OK by
    Return writing all four keys, Esc writing nothing; and command lines
    of no other meaning starting the saver (wine_entry_tests.py checks the
    ones that configure, preview or end at once).
Prints one line per test and a closing "N passed, N failed" line.
"""
import argparse
import errno
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import time
import types

import configure_dialog

SCREEN = (800, 600)
JAPANESE = "ja_JP.UTF-8"
SAVER_CLASS = "Vyla Screen Saver"
DIALOG_TITLE = "Orvane"
# The dialog's controls in template order: id and caption (none for the
# edit box, whose text is the interval).
DIALOG_CONTROLS = [(c["id"], None if c["class"] == "EDIT" else c["text"]) for c in configure_dialog.dialog()["controls"]]
# Its control numbers by name: IDC.CRIMSON for IDC_CRIMSON.
IDC = types.SimpleNamespace(**{name[4:]: n for name, n in configure_dialog.control_ids().items()})


class Failure(Exception):
    pass


def log(text):
    print(text, flush=True)


class Tally:
    """Runs tests one by one, a line each, and counts them."""

    def __init__(self, only=None):
        self.passed = self.failed = 0
        self.only = only

    def run(self, name, test):
        if self.only and not re.search(self.only, name):
            return
        started = time.time()
        try:
            detail = test()
            self.passed += 1
            log("PASS %s (%.1f s)%s" % (name, time.time() - started, ": " + detail if detail else ""))
        except (Failure, subprocess.SubprocessError, OSError) as e:
            self.failed += 1
            log("FAIL %s (%.1f s): %s" % (name, time.time() - started, e))

    def setup_failed(self, what, error):
        self.failed += 1
        log("FAIL setting up %s: %s" % (what, error))

    def close(self, title):
        log("%s: %d passed, %d failed" % (title, self.passed, self.failed))
        return 1 if self.failed else 0


# --- which module, and whether this machine runs it -------------------------

PE_MACHINES = {0x14C: "i386", 0x8664: "amd64"}


def module_machine(module):
    """The processor a PE file is built for: "i386", "amd64" or the number."""
    with open(module, "rb") as f:
        head = f.read(4096)
    at = struct.unpack_from("<I", head, 0x3C)[0] if head[:2] == b"MZ" and len(head) >= 0x40 else -1
    if at < 0 or head[at:at + 4] != b"PE\0\0":
        raise Failure("%s is not a PE file" % module)
    machine = struct.unpack_from("<H", head, at + 4)[0]
    return PE_MACHINES.get(machine, "%#x" % machine)


def tiny_i386_program():
    """A static 32-bit x86 ELF that only exits with status 32."""
    base, header, entry = 0x08048000, 52, 32
    code = bytes.fromhex("b801000000" "bb20000000" "cd80")  # exit(32) through int 0x80
    size = header + entry + len(code)
    elf = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack(
        "<HHIIIIIHHHHHH", 2, 3, 1, base + header + entry, header, 0, 0, header, entry, 1, 0, 0, 0)
    return elf + struct.pack("<8I", 1, 0, base, base, size, size, 5, 0x1000) + code


def kernel_refuses_32bit(work):
    """Why this kernel cannot run 32-bit x86 programs, or None when it can:
    a tiny one is run, which is what the 32-bit Wine loader needs."""
    probe = os.path.join(work, "i386-probe")
    with open(probe, "wb") as f:
        f.write(tiny_i386_program())
    os.chmod(probe, 0o755)
    try:
        code = subprocess.run([probe]).returncode
    except OSError as e:
        if e.errno != errno.ENOEXEC:
            raise
        return "this kernel does not run 32-bit x86 programs (%s)" % e.strerror
    finally:
        os.remove(probe)
    return None if code == 32 else "a 32-bit x86 program ended with %d, not 32" % code


# Debian's wine32 package: what runs 32-bit modules beside the 64-bit loader.
WINE32_LOADER = "/usr/lib/wine/wine"


def skip_unless_runnable(build, title):
    """True, after one line saying why, when this machine cannot run the tree's module."""
    build = os.path.abspath(build)
    if module_machine(os.path.join(build, "vyla.scr")) != "i386":
        return False
    why = kernel_refuses_32bit(build)
    if not why and not os.path.exists(WINE32_LOADER):
        why = "the 32-bit Wine loader (%s, package wine32:i386) is not installed" % WINE32_LOADER
    if why:
        log("%s: skipped, the 32-bit module cannot run here: %s" % (title, why))
    return why is not None


def ensure_locale(name):
    """Generates a UTF-8 locale such as "en_US.UTF-8" unless the system has it."""
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().split()
    if name.lower() in names or name.lower().replace("-", "") in names:
        return
    log("generating the locale %s" % name)
    subprocess.run(["localedef", "-i", name.split(".")[0], "-f", "UTF-8", name], check=True)


class Session:
    """Xvfb, the Wine prefix and the helpers around them."""

    screen = SCREEN

    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build)
        self.work = os.path.join(self.build, "wintest")
        self.prefix = os.path.join(self.build, "wineprefix")
        self.module = os.path.join(self.build, "vyla.scr")
        self.xvfb = None
        self.holder = None
        os.makedirs(self.work, exist_ok=True)
        self.env = dict(os.environ)
        for name in ("WINEDEBUG", "WINEDLLOVERRIDES", "WINEPREFIX", "WINEARCH", "LANG", "LC_ALL", "LANGUAGE"):
            self.env.pop(name, None)
        self.env.update({
            "WINEPREFIX": self.prefix,
            # One 64-bit prefix for either module: a 32-bit one runs in it under WoW64.
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": JAPANESE,
            "LC_ALL": JAPANESE,
        })

    # --- set-up ---------------------------------------------------------

    def ensure_locale(self):
        ensure_locale(JAPANESE)

    def start_display(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % self.screen, "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise Failure("Xvfb did not start")
                number += chunk
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def wine(self, *argv, timeout=60, **kw):
        return subprocess.run(["wine"] + list(argv), env=self.env, timeout=timeout, capture_output=True, **kw)

    def prepare_prefix(self):
        self.make_prefix()
        wallpaper = os.path.join(self.prefix, "drive_c", "vyla-desktop.bmp")
        subprocess.run([self.args.expect, "desktop", wallpaper, str(SCREEN[0]), str(SCREEN[1])], check=True)
        self.start_desktop(
            "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n\"Desktop\"=\"Default\"\n\n"
            "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n\"Default\"=\"%dx%d\"\n\n"
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n\"Wallpaper\"=\"C:\\\\vyla-desktop.bmp\"\n"
            "\"WallpaperStyle\"=\"0\"\n\"TileWallpaper\"=\"0\"\n" % SCREEN)

    def make_prefix(self):
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            log("making the Wine prefix %s (once)" % self.prefix)
            self.wine("wineboot", "-i", timeout=240)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)
        # Debian's Wine 8 looks for its own fonts in a path it cannot open;
        # the caption buttons need Marlett. (Its other fonts stay out: the
        # dialog's Japanese glyphs come from the system's CJK fonts.)
        marlett = "/usr/share/wine/fonts/marlett.ttf"
        fonts = os.path.join(self.windows_dir(), "Fonts")
        if os.path.exists(marlett) and os.path.isdir(fonts) and not os.path.exists(os.path.join(fonts, "marlett.ttf")):
            os.symlink(marlett, os.path.join(fonts, "marlett.ttf"))

    def start_desktop(self, registry):
        """Applies the registry text, then starts the desktop afresh and holds it for the session."""
        reg = os.path.join(self.work, "session.reg")
        with open(reg, "w", encoding="utf-8") as f:
            f.write("Windows Registry Editor Version 5.00\n\n" + registry)
        self.wine("regedit", "/S", reg)
        # The desktop reads these when it starts.
        subprocess.run(["wineserver", "-k"], env=self.env)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        self.holder = subprocess.Popen(["wine", self.probe_exe(), "--hold"], env=self.env, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, start_new_session=True)
        if self.holder.stdout.readline().strip() != b"holding":
            raise Failure("the Wine desktop did not start")

    def probe_exe(self):
        return os.path.join(self.build, "tests", "win", "vyla_window_probe.exe")

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        if self.holder:
            try:
                self.holder.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.holder.pid, signal.SIGKILL)
                self.holder.wait()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()

    # --- the Windows side -------------------------------------------------

    def windows_dir(self):
        return os.path.join(self.prefix, "drive_c", "windows")

    def settings_file(self):
        return os.path.join(self.windows_dir(), "vyla.ini")

    def clear_settings(self):
        if os.path.exists(self.settings_file()):
            os.remove(self.settings_file())
        # A user copy would be read first: none must linger from elsewhere.
        users = os.path.join(self.prefix, "drive_c", "users")
        for user in os.listdir(users) if os.path.isdir(users) else []:
            shutil.rmtree(os.path.join(users, user, "AppData", "Roaming", "Vyla"), ignore_errors=True)

    def write_settings(self, color, speed, girls, interval):
        self.clear_settings()
        with open(self.settings_file(), "w", newline="") as f:
            f.write("[options]\r\ncolor=%d\r\nspeed=%d\r\ngirls=%d\r\ninterval=%d\r\n" % (color, speed, girls, interval))

    def start(self, *argv):
        return subprocess.Popen(["wine"] + list(argv), env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)

    def probe(self, wait_for, timeout_ms=20000):
        """The top-level windows once one of that class or title shows."""
        r = self.wine(self.probe_exe(), "--wait", wait_for, "--timeout", str(timeout_ms), timeout=timeout_ms / 1000 + 20)
        out = r.stdout.decode("utf-8", "replace")
        if r.returncode != 0:
            raise Failure("no window %r appeared" % wait_for)
        return parse_probe(out)

    # --- the X side -------------------------------------------------------

    def xdotool(self, *argv):
        subprocess.run(["xdotool"] + list(argv), env=self.env, check=True)

    def screenshot(self, ppm):
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True, check=True).stdout
        subprocess.run(["convert", "xwd:-", "ppm:" + ppm], input=xwd, check=True)


def parse_probe(text):
    """[{class, text, rect, style, controls: [...]}] from the probe's report."""
    windows = []
    field = re.compile(r'(\w+)=("(?:[^"\\]|\\.)*"|\S+)')

    def fields(line):
        out = {}
        for key, value in field.findall(line):
            if value.startswith('"'):
                value = re.sub(r"\\(.)", r"\1", value[1:-1])
            out[key] = value
        out["rect"] = tuple(int(v) for v in out["rect"].split(","))
        return out

    for line in text.splitlines():
        if line.startswith("window "):
            w = fields(line)
            w["controls"] = []
            windows.append(w)
        elif line.startswith("  control ") and windows:
            c = fields(line)
            c["id"] = int(c["id"])
            c["checked"] = int(c["checked"])
            windows[-1]["controls"].append(c)
    return windows


def wait_exit(process, seconds):
    try:
        return process.wait(seconds)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise Failure("still running %d s later" % seconds)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


# --- the tests -------------------------------------------------------------

def gtest(session, exe):
    r = session.wine(os.path.join(session.build, exe), "--gtest_brief=1", timeout=120)
    out = r.stdout.decode("utf-8", "replace")
    ran = re.search(r"^\[==========\] (\d+) tests? from .* ran", out, re.M)
    if r.returncode != 0 or not ran or "[  PASSED  ] %s test" % ran.group(1) not in out:
        raise Failure("exit code %d\n%s" % (r.returncode, out[-3000:]))
    return "%s tests passed" % ran.group(1)


def saver_window(session, windows):
    savers = [w for w in windows if w["class"] == SAVER_CLASS]
    if not savers:
        raise Failure("no saver window")
    if any(w["text"] == DIALOG_TITLE for w in windows):
        raise Failure("the configuration dialog opened")
    if savers[0]["rect"] != (0, 0) + SCREEN:
        raise Failure("the saver window covers %r, not the desktop" % (savers[0]["rect"],))
    if savers[0]["text"] != SAVER_CLASS:
        raise Failure("the saver window is titled %r" % savers[0]["text"])


def expect_scene(session, name, color=0, speed=0):
    """Waits until the screen shows what the headless backend computes."""
    shot = os.path.join(session.work, name + ".ppm")
    deadline = time.time() + 15
    report = ""
    while time.time() < deadline:
        session.screenshot(shot)
        r = subprocess.run([session.args.expect, "match", shot, "--color", str(color), "--speed", str(speed),
                            "--diff", os.path.join(session.work, name + "-diff.ppm")], capture_output=True, text=True)
        report = r.stdout.strip() or r.stderr.strip()
        if r.returncode == 0:
            return report
        time.sleep(0.3)
    raise Failure("the screen never showed the expected scene: " + report)


def wait_for_bare_desktop(session):
    """The saver starts from what the screen shows: let the previous run's
    leftovers be repainted first."""
    shot = os.path.join(session.work, "before.ppm")
    deadline = time.time() + 15
    while time.time() < deadline:
        session.screenshot(shot)
        if subprocess.run([session.args.expect, "bare", shot]).returncode == 0:
            return
        time.sleep(0.2)
    raise Failure("the desktop never showed its bare wallpaper")


def saver_run(session, name, argv, ending, color=0, speed=0, compare=True):
    if color or speed:
        session.write_settings(color, speed, 0, 0)
    else:
        session.clear_settings()
    wait_for_bare_desktop(session)
    process = session.start(session.module, *argv)
    try:
        saver_window(session, session.probe(SAVER_CLASS))
        detail = expect_scene(session, name, color, speed) if compare else "saver window over the desktop"
        time.sleep(0.3)
        if process.poll() is not None:
            raise Failure("ended before any input (exit %s)" % process.returncode)
        ending()
        code = wait_exit(process, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        return detail
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def read_settings(session):
    with open(session.settings_file(), "rb") as f:
        return f.read()


def settings_values(data):
    return dict(re.findall(r"^(\w+)=(-?\d+)\r?$", data.decode("ascii", "replace"), re.M))


def dialog_window(windows):
    dialogs = [w for w in windows if w["text"] == DIALOG_TITLE]
    if not dialogs:
        raise Failure("no dialog titled %r" % DIALOG_TITLE)
    if any(w["class"] == SAVER_CLASS for w in windows):
        raise Failure("a saver window opened in configuration mode")
    d = dialogs[0]
    got = [(c["id"], c["text"]) for c in d["controls"]]
    ids_match = [i for i, _ in got] == [i for i, _ in DIALOG_CONTROLS]
    if not ids_match or any(t is not None and g != t for (_, g), (_, t) in zip(got, DIALOG_CONTROLS)):
        raise Failure("controls %r, expected %r" % (got, DIALOG_CONTROLS))
    return d


def control(dialog, ident):
    return next(c for c in dialog["controls"] if c["id"] == ident)


def config_ok(session):
    session.write_settings(0, 0, 0, 7)
    process = session.start(session.module, "/c")
    try:
        d = dialog_window(session.probe(DIALOG_TITLE))
        states = {i: control(d, i)["checked"] for i in (IDC.CRIMSON, IDC.WHITE, IDC.SLOW, IDC.NORMAL, IDC.FAST, IDC.GIRLS)}
        if states != {IDC.CRIMSON: 1, IDC.WHITE: 0, IDC.SLOW: 1, IDC.NORMAL: 0, IDC.FAST: 0, IDC.GIRLS: 0} or control(d, IDC.INTERVAL)["text"] != "7":
            raise Failure("the dialog did not show the stored settings: %r, interval %r" % (states, control(d, IDC.INTERVAL)["text"]))
        shot = os.path.join(session.work, "dialog.ppm")
        session.screenshot(shot)
        x0, y0, x1, y1 = d["rect"]
        png = os.path.join(session.work, "dialog.png")
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (x1 - x0 + 16, y1 - y0 + 16, x0 - 8, y0 - 8),
                        "+repage", png], check=True)
        if session.args.dialog_png:
            shutil.copyfile(png, session.args.dialog_png)
        # The user picks white, fast and the slideshow, and types 90 seconds.
        for ident in (IDC.WHITE, IDC.FAST, IDC.GIRLS):
            session.xdotool("mousemove", *map(str, centre(control(d, ident)["rect"])), "click", "1")
        session.xdotool("mousemove", *map(str, centre(control(d, IDC.INTERVAL)["rect"])), "click", "1")
        session.xdotool("key", "End", "BackSpace", "BackSpace", "BackSpace", "type", "90")
        session.xdotool("key", "Return")
        code = wait_exit(process, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        values = settings_values(read_settings(session))
        if values != {"color": "1", "speed": "2", "girls": "1", "interval": "90"}:
            raise Failure("vyla.ini holds %r" % values)
        return "all four keys written: %r; screenshot %s" % (values, png)
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def config_cancel(session):
    session.write_settings(1, 1, 1, 30)
    before = read_settings(session)
    process = session.start(session.module, "-c")
    try:
        d = dialog_window(session.probe(DIALOG_TITLE))
        session.xdotool("mousemove", *map(str, centre(control(d, IDC.CRIMSON)["rect"])), "click", "1")
        session.xdotool("key", "Escape")
        code = wait_exit(process, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        if read_settings(session) != before:
            raise Failure("vyla.ini changed: %r" % read_settings(session))
        return "vyla.ini unchanged"
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def run_suite(title, args, tests, only=None, prepare=None):
    """Runs tests(session, run) in one Wine session made for args, a line a
    test, and gives the exit status; a module the machine cannot run skips."""
    if skip_unless_runnable(args.build, title):
        return 0
    session = Session(args)
    tally = Tally(only)
    try:
        session.ensure_locale()
        session.start_display()
        session.prepare_prefix()
        if prepare:
            prepare(session)
        tests(session, tally.run)
    except (Failure, subprocess.SubprocessError, OSError) as e:
        tally.setup_failed("Wine", e)
    finally:
        session.stop()
    return tally.close(title)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--expect", required=True)
    parser.add_argument("--dialog-png")
    args = parser.parse_args()
    args.expect = os.path.abspath(args.expect)

    def tests(session, run):
        mouse = lambda: session.xdotool("mousemove_relative", "--", "9", "7")
        key = lambda: session.xdotool("key", "space")
        click = lambda: session.xdotool("click", "1")
        run("raster contract on GDI", lambda: gtest(session, "tests/contract/vyla_contract_tests.exe"))
        run("window surface and settings place", lambda: gtest(session, "tests/win/vyla_win_tests.exe"))
        run("saver /s: scene over the desktop, ended by a mouse move",
            lambda: saver_run(session, "saver-s", ["/s"], mouse))
        run("saver /S, ended by a key",
            lambda: saver_run(session, "saver-upper", ["/S"], key))
        run("saver /s ended by a click", lambda: saver_run(session, "saver-click", ["/s"], click))
        run("saver reads vyla.ini: white flowers, fast",
            lambda: saver_run(session, "saver-white", ["/s"], click, color=1, speed=2))
        for argv in (["/C"], ["/c:"], ["/p"], ["-C"], ["/s", "1234"]):
            run("%r starts the saver" % " ".join(argv),
                lambda argv=argv: saver_run(session, "saver-args", argv, click, compare=False))
        run("configuration /c: Japanese captions, Return writes all four keys", lambda: config_ok(session))
        run("configuration -c: Esc writes nothing", lambda: config_cancel(session))

    return run_suite("wine", args, tests)


if __name__ == "__main__":
    sys.exit(main())
