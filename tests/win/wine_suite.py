#!/usr/bin/env python3
"""Every Wine test of one Windows module, given its build tree.

    wine_suite.py --build BUILD --expect NATIVE_HELPER

Runs wine_tests.py, wine_system_tests.py, wine_save_tests.py and
wine_entry_tests.py one after another against BUILD/vyla.scr and the test
programs built beside it (a 32-bit tree's own, 32-bit ones), prints how long
each took and closes with the sum of their counts. A 32-bit module on a
kernel that cannot run 32-bit programs: one line saying so, and nothing fails.
"""
import argparse
import os
import re
import subprocess
import sys
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import wine_tests  # noqa: E402

SCRIPTS = ["wine_tests.py", "wine_system_tests.py", "wine_save_tests.py", "wine_entry_tests.py"]
COUNTS = re.compile(r"^[\w ]+: (\d+) passed, (\d+) failed$")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--expect", required=True)
    args = parser.parse_args()
    machine = wine_tests.module_machine(os.path.join(args.build, "vyla.scr"))
    title = "wine suite, %s module of %s" % (machine, args.build)
    if wine_tests.skip_unless_runnable(args.build, title):
        return 0

    passed = failed = 0
    timings = []
    started = time.time()
    for script in SCRIPTS:
        begun = time.time()
        process = subprocess.Popen([sys.executable, os.path.join(HERE, script), "--build", args.build, "--expect",
                                    args.expect], stdout=subprocess.PIPE, text=True, bufsize=1)
        its_failures = 0
        for line in process.stdout:
            sys.stdout.write(line)
            sys.stdout.flush()
            m = COUNTS.match(line.strip())
            if m:
                passed += int(m.group(1))
                its_failures += int(m.group(2))
        if process.wait() != 0 and not its_failures:
            its_failures = 1
            wine_tests.log("FAIL %s ended with %d and no failure counted" % (script, process.returncode))
        failed += its_failures
        timings.append("%s %.0f s" % (script, time.time() - begun))
    wine_tests.log("%s took %.0f s: %s" % (title, time.time() - started, ", ".join(timings)))
    wine_tests.log("%s: %d passed, %d failed" % (title, passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
