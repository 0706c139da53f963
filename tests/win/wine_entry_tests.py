#!/usr/bin/env python3
"""The module as Windows' own screen-saver settings start it, under Wine.

    wine_entry_tests.py --build BUILD --expect NATIVE_HELPER [--preview-png FILE]

Uses the session of wine_tests.py (Xvfb, the Wine prefix with its 800 x 600
desktop and known wallpaper; BUILD a 32-bit or 64-bit tree, whose own
vyla_preview_host starts its module). A settings stand-in (vyla_preview_host) opens a
window with a 200 x 150 pane, starts vyla.scr with the pane's or its own
window number and reports what the module made and when it ended:
  - "/c:N", "/c N": the dialog owned by that window; a number that is no
    window: the dialog without owner; an empty command line: the dialog;
  - "/a N": ends at once with 0, no window;
  - "/p N": one child window of the module covering the pane, no top-level
    window, ended with 0 when the pane is destroyed or the host closes,
    and its processor time beside that of the full-screen saver;
  - the preview's pixels: Wine does not show one process's drawing inside
    another's window, so the same preview code runs in a pane of the host's
    own window (vyla_preview_host inside) and the pane must show the scene
    the headless backend computes for a 200 x 150 screen (--preview-png
    saves the host window's picture);
  - the saver is topmost: an always-on-top window does not show through;
  - at 144 DPI (LogPixels) the saver still covers every pixel of the screen
    with the scene, and the dialog grows with every control in its place.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_tests  # noqa: E402
from wine_tests import (DIALOG_TITLE, SAVER_CLASS, SCREEN, Failure, expect_scene,  # noqa: E402
                        wait_exit, wait_for_bare_desktop)

PANE = (200, 150)
# Wine counts processor time in 10 ms steps: a long window resolves 0.2 %.
CPU_MS = 6000
HOST_TITLE = "Vyla preview host"


def host_exe(session):
    return os.path.join(session.build, "tests", "win", "vyla_preview_host.exe")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def rect_field(text, name):
    m = re.search(r"\b%s=(-?\d+),(-?\d+),(-?\d+),(-?\d+)" % name, text)
    return tuple(int(v) for v in m.groups()) if m else None


def spawn(session, args, wait, end, cpu_ms=0, during=None):
    """Runs the settings stand-in; returns its report as a dict. during, if
    given, is called with the pane's rectangle once the host has made it."""
    argv = [host_exe(session), "spawn", windows_path(session.module), args, "--wait", wait, "--end", end]
    if cpu_ms:
        argv += ["--cpu", str(cpu_ms)]
    process = subprocess.Popen(["wine"] + argv, env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        first = process.stdout.readline().decode("utf-8", "replace")
        if during:
            during(rect_field(first, "pane"))
        rest, _ = process.communicate(timeout=90)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise Failure("the host hung")
    out = first + rest.decode("utf-8", "replace")
    report = {"text": out, "toplevel": [], "children": []}
    for line in out.splitlines():
        if line.startswith("host "):
            report["host"] = rect_field(line, "rect")
            report["pane"] = rect_field(line, "pane")
        elif line.startswith("toplevel "):
            report["toplevel"].append({
                "class": re.search(r'class="([^"]*)"', line).group(1),
                "text": re.search(r'text="([^"]*)"', line).group(1),
                "rect": rect_field(line, "rect"),
                "owner": re.search(r"owner=(\w+)", line).group(1),
                "exstyle": int(re.search(r"exstyle=(0x[0-9a-f]+)", line).group(1), 16)})
        elif line.startswith("child "):
            report["children"].append({
                "class": re.search(r'class="([^"]*)"', line).group(1),
                "style": int(re.search(r"style=(0x[0-9a-f]+)", line).group(1), 16),
                "pid": re.search(r"pid=(\w+)", line).group(1),
                "rect": rect_field(line, "rect")})
        elif line.startswith("cpu "):
            report["cpu"] = float(re.search(r"percent=([\d.]+)", line).group(1))
        elif line.startswith("alive "):
            report["alive"] = line.split()[1] == "1"
        elif line.startswith("ended "):
            m = re.search(r"code=(\d+) after_ms=(\d+)", line)
            report["ended"] = (int(m.group(1)), int(m.group(2))) if m else None
    if "ended" not in report:
        raise Failure("the host did not finish: %s" % out[-1500:])
    return report


def ended_with_zero(report):
    if report["ended"] is None:
        raise Failure("the module never ended")
    code, after = report["ended"]
    if code != 0:
        raise Failure("exit code %d" % code)
    return after


def configure(session, args, owner):
    session.clear_settings()
    report = spawn(session, args, "window", "close-window")
    dialogs = [w for w in report["toplevel"] if w["text"] == DIALOG_TITLE]
    if not dialogs:
        raise Failure("no dialog: %r" % report["toplevel"])
    if any(w["class"] == SAVER_CLASS for w in report["toplevel"]):
        raise Failure("a saver window opened as well")
    if dialogs[0]["owner"] != owner:
        raise Failure("the dialog's owner is %s, expected %s" % (dialogs[0]["owner"], owner))
    ended_with_zero(report)
    return "dialog owned by %s, exit 0" % owner


def password(session):
    report = spawn(session, "/a {host}", "exit", "none")
    if report["toplevel"] or report["children"]:
        raise Failure("windows made: %r %r" % (report["toplevel"], report["children"]))
    ended_with_zero(report)
    return "exit 0, no window"


def preview_structure(report):
    ours = [c for c in report["children"] if c["pid"] == "module"]
    if len(ours) != 1:
        raise Failure("%d child windows of the module in the pane: %r" % (len(ours), report["children"]))
    child = ours[0]
    if child["class"] != SAVER_CLASS:
        raise Failure("the pane's child is of class %r" % child["class"])
    if not child["style"] & 0x40000000 or child["style"] & 0x80000000:
        raise Failure("the preview's style is %#x, not a child" % child["style"])
    if child["rect"] != report["pane"]:
        raise Failure("the preview covers %r, the pane is %r" % (child["rect"], report["pane"]))
    if report["toplevel"]:
        raise Failure("the preview made top-level windows: %r" % report["toplevel"])


def preview(session, end, costs=None):
    session.clear_settings()
    def user(pane):
        # The user moves, clicks and types over the pane while it runs.
        time.sleep(3)
        x, y = (pane[0] + pane[2]) // 2, (pane[1] + pane[3]) // 2
        session.xdotool("mousemove", str(x), str(y), "click", "1", "mousemove", str(x + 9), str(y + 7))
        session.xdotool("key", "space")

    report = spawn(session, "/p {pane}", "child", end, cpu_ms=CPU_MS if costs is not None else 0,
                   during=user if costs is not None else None)
    preview_structure(report)
    if not report.get("alive"):
        raise Failure("the preview ended before its pane did")
    after = ended_with_zero(report)
    detail = "one child covering the pane, no top-level window; ended %d ms after %s" % (after, end)
    if costs is not None:
        costs["preview"] = report.get("cpu")
        detail += "; %.2f %% of a core" % report.get("cpu", -1)
    return detail


def preview_of_no_window(session):
    report = spawn(session, "/p 7", "exit", "none")
    if report["toplevel"] or report["children"]:
        raise Failure("windows made: %r" % report["toplevel"])
    ended_with_zero(report)
    return "exit 0 at once"


def saver_cost(session, costs):
    """Processor time of the preview beside two references of the same run:
    the full-screen saver, and the dialog waiting for input (a Wine GUI
    process that sleeps)."""
    session.clear_settings()
    wait_for_bare_desktop(session)
    report = spawn(session, "/s", "window", "close-window", cpu_ms=CPU_MS)
    if not [w for w in report["toplevel"] if w["class"] == SAVER_CLASS]:
        raise Failure("no saver window")
    ended_with_zero(report)
    costs["saver"] = report.get("cpu")
    report = spawn(session, "/c", "window", "close-window", cpu_ms=CPU_MS)
    ended_with_zero(report)
    costs["dialog"] = report.get("cpu")
    if costs.get("preview") is None:
        raise Failure("the preview's cost was not measured")
    return "preview %.2f %%, full-screen saver %.2f %%, idle dialog %.2f %% of a core" % (
        costs["preview"], costs["saver"], costs["dialog"])


def crop(shot, rect, out):
    x0, y0, x1, y1 = rect
    subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (x1 - x0, y1 - y0, x0, y0), "+repage", out], check=True)


def preview_pixels(session):
    """The preview code in a pane of the host's own window, compared pixel for pixel."""
    session.write_settings(1, 2, 0, 0)  # white, fast
    wait_for_bare_desktop(session)
    stop = os.path.join(session.work, "preview-stop")
    if os.path.exists(stop):
        os.remove(stop)
    winstop = windows_path(stop)
    process = subprocess.Popen(["wine", host_exe(session), "inside", winstop], env=session.env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        line = process.stdout.readline().decode()
        host, pane = rect_field(line, "rect"), rect_field(line, "pane")
        if not host or not pane or (pane[2] - pane[0], pane[3] - pane[1]) != PANE:
            raise Failure("unexpected host report %r" % line)
        shot = os.path.join(session.work, "preview.ppm")
        pane_shot = os.path.join(session.work, "preview-pane.ppm")
        deadline = time.time() + 20
        report = ""
        while True:
            time.sleep(0.3)
            session.screenshot(shot)
            crop(shot, pane, pane_shot)
            r = subprocess.run([session.args.expect, "match", pane_shot, "--color", "1", "--speed", "2", "--shrunk", "--diff",
                                os.path.join(session.work, "preview-diff.ppm")], capture_output=True, text=True)
            report = r.stdout.strip() or r.stderr.strip()
            if r.returncode == 0:
                break
            if time.time() > deadline:
                raise Failure("the pane never showed the scene: " + report)
        # The host window with its frame, as the screenshot in the docs.
        png = os.path.join(session.work, "preview-windows.png")
        x0, y0, x1, y1 = host
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (x1 - x0 + 16, y1 - y0 + 16, x0 - 8, y0 - 8), "+repage",
                        png], check=True)
        if session.args.preview_png:
            shutil.copyfile(png, session.args.preview_png)
        open(stop, "w").close()
        code = wait_exit(process, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        return "pane %s; %s; ended with its pane" % (pane, report)
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def topmost(session):
    """An always-on-top window that keeps changing colour must not show through."""
    session.clear_settings()
    wait_for_bare_desktop(session)
    spot = (340, 250, 120, 90)
    blinker = subprocess.Popen(["wine", host_exe(session), "topmost"] + [str(v) for v in spot], env=session.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
    saver = None
    try:
        if blinker.stdout.readline().strip() != b"topmost":
            raise Failure("the always-on-top window did not start")
        saver = session.start(session.module, "/s")
        windows = session.probe(SAVER_CLASS)
        order = [w["class"] for w in windows]
        if order.index(SAVER_CLASS) > order.index("VylaTopmostBlink"):
            raise Failure("the saver is below the always-on-top window: %r" % order)
        time.sleep(1.0)
        shots = []
        for i in range(3):
            shot = os.path.join(session.work, "topmost-%d.ppm" % i)
            session.screenshot(shot)
            crop(shot, (spot[0], spot[1], spot[0] + spot[2], spot[1] + spot[3]), shot + ".spot.ppm")
            with open(shot + ".spot.ppm", "rb") as f:
                shots.append(f.read())
            time.sleep(0.45)
        if len(set(shots)) != 1:
            raise Failure("the always-on-top window shows through the saver")
        session.xdotool("click", "1")
        code = wait_exit(saver, 10)
        if code != 0:
            raise Failure("exit code %d" % code)
        return "saver above it in the z-order; its blinking does not show"
    finally:
        for p in (saver, blinker):
            if p and p.poll() is None:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()


def set_dpi(session, dpi):
    """LogPixels for the session; the desktop is started afresh to read it."""
    reg = os.path.join(session.work, "dpi.reg")
    with open(reg, "w", encoding="utf-8") as f:
        f.write("Windows Registry Editor Version 5.00\n\n"
                "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n\"LogPixels\"=dword:%08x\n\n"
                "[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n\"LogPixels\"=dword:%08x\n" % (dpi, dpi))
    session.wine("regedit", "/S", reg)
    subprocess.run(["wineserver", "-k"], env=session.env)
    subprocess.run(["wineserver", "-w"], env=session.env, timeout=60)
    if session.holder:
        try:
            session.holder.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(session.holder.pid, signal.SIGKILL)
    session.holder = subprocess.Popen(["wine", session.probe_exe(), "--hold"], env=session.env, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL, start_new_session=True)
    if session.holder.stdout.readline().strip() != b"holding":
        raise Failure("the Wine desktop did not start")


def dialog_layout(session):
    """The dialog's client area and each control's place in it, as fractions."""
    session.clear_settings()
    process = session.start(session.module, "/c")
    try:
        dialog = wine_tests.dialog_window(session.probe(DIALOG_TITLE))
        x0, y0, x1, y1 = dialog["rect"]
        controls = [c["rect"] for c in dialog["controls"]]
        # The client area: what the controls are laid out in, from the frame's
        # left edge and the caption's bottom; the frame is not scaled by it.
        left = min(c[0] for c in controls)
        top = min(c[1] for c in controls)
        right = max(c[2] for c in controls)
        bottom = max(c[3] for c in controls)
        w, h = right - left, bottom - top
        places = [((c[0] - left) / w, (c[1] - top) / h, (c[2] - left) / w, (c[3] - top) / h) for c in controls]
        session.xdotool("key", "Escape")
        if wait_exit(process, 10) != 0:
            raise Failure("the dialog's exit code is not 0")
        return (x1 - x0, y1 - y0), (w, h), places
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def high_dpi(session):
    normal = dialog_layout(session)
    set_dpi(session, 144)
    try:
        # The saver: every physical pixel, the scene as at any resolution.
        wait_for_bare_desktop(session)
        process = session.start(session.module, "/s")
        try:
            windows = session.probe(SAVER_CLASS)
            savers = [w for w in windows if w["class"] == SAVER_CLASS]
            if not savers or savers[0]["rect"] != (0, 0) + SCREEN:
                raise Failure("at 144 DPI the saver covers %r" % ([w["rect"] for w in savers],))
            detail = expect_scene(session, "saver-dpi144")
            session.xdotool("click", "1")
            if wait_exit(process, 10) != 0:
                raise Failure("the saver's exit code is not 0")
        finally:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        high = dialog_layout(session)
    finally:
        set_dpi(session, 96)
    (size96, used96, places96), (size144, used144, places144) = normal, high
    if used144[0] <= used96[0] or used144[1] <= used96[1]:
        raise Failure("the dialog did not grow with the DPI: %r at 96, %r at 144" % (used96, used144))
    # Laid out from dialog units: each control keeps its place in the layout.
    for i, (a, b) in enumerate(zip(places96, places144)):
        if max(abs(p - q) for p, q in zip(a, b)) > 0.03:
            raise Failure("control %d moved within the dialog: %r at 96 DPI, %r at 144" % (i, a, b))
    return "saver 800x600, %s; dialog %dx%d at 96 DPI, %dx%d at 144, every control in its place" % (
        detail, size96[0], size96[1], size144[0], size144[1])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--expect", required=True)
    parser.add_argument("--preview-png")
    parser.add_argument("--dialog-png")  # the session's own option; unused here
    parser.add_argument("--only", help="run only the tests whose name matches this expression")
    args = parser.parse_args()
    args.expect = os.path.abspath(args.expect)
    costs = {}

    def tests(session, run):
        run("'/c:N' opens the dialog owned by window N", lambda: configure(session, "/c:{host}", "host"))
        run("'/c N' opens the dialog owned by window N", lambda: configure(session, "/c {host}", "host"))
        run("'/c:N' of no window: the dialog without owner", lambda: configure(session, "/c:7", "none"))
        run("an empty command line opens the dialog", lambda: configure(session, "", "none"))
        run("'/a N' ends at once with 0", lambda: password(session))
        run("'/p N' of no window ends at once with 0", lambda: preview_of_no_window(session))
        run("'/p N': a child in the pane, not ended by input, ends when the pane is destroyed",
            lambda: preview(session, "destroy-pane", costs))
        run("'/p N': ends when the settings window closes", lambda: preview(session, "close-host"))
        run("processor time of the preview beside the saver's", lambda: saver_cost(session, costs))
        run("the preview's pixels in a pane of the host's own window", lambda: preview_pixels(session))
        run("the saver stays above an always-on-top window", lambda: topmost(session))
        run("144 DPI: the saver covers the screen, the dialog lays out from dialog units", lambda: high_dpi(session))

    return wine_tests.run_suite("wine entry points", args, tests, only=args.only, prepare=lambda s: set_dpi(s, 96))


if __name__ == "__main__":
    sys.exit(main())
