#!/usr/bin/env python3
"""The Windows module's running cost under Wine, on one Xvfb screen.

    bench/wine_idle.py --build BUILD_WIN64 --expect NATIVE_HELPER [--seconds 15]
                       [--size 1920x1080] [--module OTHER.scr]

Starts Xvfb and a Wine desktop of the given size (its own prefix,
BUILD_WIN64/bench-wineprefix, made once), then runs vyla.scr /s with all
settings 0 and with fast flowers plus slides every 5 s, and prints for each:
the saver's CPU, wineserver's, the X server's (each as a share of one core,
and their sum), the saver's peak memory, and context switches a second of
the three together. --module measures another build of the module (an older
one, say) in the same way, for a ratio taken on the same machine.
Uses the Wine session of tests/win/wine_tests.py.
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "win"))
import wine_tests  # noqa: E402

HZ = os.sysconf("SC_CLK_TCK")


SCHEDSTAT = os.path.exists("/proc/self/schedstat")


def cpu_seconds(pid):
    """CPU time of every thread of pid: the scheduler's own count where the
    kernel keeps one (as bench/cpu_time.sh reads it), else utime + stime,
    whose clock ticks are coarse at the shares measured here."""
    if not SCHEDSTAT:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / HZ
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:
            pass  # a thread that ended in between
    return total / 1e9


def status_field(pid, names):
    total = 0
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            key, _, value = line.partition(":")
            if key in names:
                total += int(value.split()[0])
    return total


def switches(pid):
    return status_field(pid, ("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"))


def processes():
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open("/proc/%s/cmdline" % name, "rb") as f:
                    cmd = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
                with open("/proc/%s/environ" % name, "rb") as f:
                    env = f.read().split(b"\0")
                yield int(name), cmd, env
            except OSError:
                continue


def find_pid(prefix, predicate):
    want = ("WINEPREFIX=" + prefix).encode()
    for pid, cmd, env in processes():
        if want in env and predicate(cmd):
            return pid
    return None


def measure(session, module, label, settings, seconds):
    session.write_settings(*settings)
    process = session.start(module, "/s")
    try:
        session.probe(wine_tests.SAVER_CLASS)
        time.sleep(2)  # past start-up
        saver = find_pid(session.prefix, lambda c: os.path.basename(module).lower() in c.lower())
        server = find_pid(session.prefix, lambda c: "wineserver" in c)
        xvfb = session.xvfb.pid
        if not saver or not server:
            raise wine_tests.Failure("the saver or wineserver process was not found")
        pids = (saver, server, xvfb)
        t0 = time.time()
        c0 = [cpu_seconds(p) for p in pids]
        s0 = sum(switches(p) for p in pids)
        time.sleep(seconds)
        t1 = time.time()
        c1 = [cpu_seconds(p) for p in pids]
        s1 = sum(switches(p) for p in pids)
        peak = status_field(saver, ("VmHWM",)) / 1024
        share = [(b - a) / (t1 - t0) * 100 for a, b in zip(c0, c1)]
        return dict(label=label, saver=share[0], wineserver=share[1], x=share[2], peak=peak,
                    cs=(s1 - s0) / (t1 - t0))
    finally:
        session.xdotool("mousemove_relative", "--", "9", "7")
        try:
            wine_tests.wait_exit(process, 10)  # kills it when it does not end
        except wine_tests.Failure:
            pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--expect", required=True)
    parser.add_argument("--seconds", type=float, default=15)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--module", action="append", default=[])
    args = parser.parse_args()
    args.expect = os.path.abspath(args.expect)
    args.dialog_png = None
    width, height = (int(v) for v in args.size.split("x"))
    wine_tests.SCREEN = (width, height)

    session = wine_tests.Session(args)
    session.prefix = os.path.join(session.build, "bench-wineprefix")
    session.env["WINEPREFIX"] = session.prefix
    modules = [session.module] + [os.path.abspath(m) for m in args.module]
    runs = [("settings 0", (0, 0, 0, 0)), ("fast + slides every 5 s", (0, 2, 1, 5))]
    results = []
    try:
        session.ensure_locale()
        session.start_display()
        session.prepare_prefix()
        for module in modules:
            for label, settings in runs:
                wine_tests.log("measuring %s, %s, %g s" % (module, label, args.seconds))
                r = measure(session, module, label, settings, args.seconds)
                relative = os.path.relpath(module)
                r["module"] = module if relative.startswith("..") else relative
                results.append(r)
    finally:
        session.stop()

    print("\nvyla.scr under Wine on Xvfb, %s, %g s a run (shares of one core)\n" % (args.size, args.seconds))
    width = max(len(r["module"]) for r in results)
    print("%-*s %-26s %7s %11s %6s %14s %8s %7s" %
          (width, "module", "run", "saver%", "wineserver%", "X%", "saver+server%", "peakMB", "cs/s"))
    for r in results:
        print("%-*s %-26s %7.2f %11.2f %6.2f %14.2f %8.1f %7.0f" %
              (width, r["module"], r["label"], r["saver"], r["wineserver"], r["x"], r["saver"] + r["wineserver"],
               r["peak"], r["cs"]))
    goals = {"settings 0": 1.0, "fast + slides every 5 s": 3.0}
    print("\nGoals (saver + wineserver, share of one core):")
    for r in results[:2]:
        total = r["saver"] + r["wineserver"]
        print("  Wine, %s, %-26s goal <= %g %%: %.2f %%" % (args.size, r["label"], goals[r["label"]], total))
    if len(results) > 2:
        print("\nRatios to the first module, same run (total of saver + wineserver):")
        for r in results[2:]:
            base = next(b for b in results[:2] if b["label"] == r["label"])
            ratio = (base["saver"] + base["wineserver"]) / max(r["saver"] + r["wineserver"], 1e-9)
            print("  %s / %s, %s: %.2f" % (results[0]["module"], r["module"], r["label"], ratio))
    return 0


if __name__ == "__main__":
    sys.exit(main())
