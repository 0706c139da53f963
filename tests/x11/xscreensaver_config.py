#!/usr/bin/env python3
"""Vyla's settings description for the X screen-saver daemon's settings
program: its form, every command line it can produce being one the program
accepts, and the install placing program, hack and description where the
daemon looks."""
import argparse
import filecmp
import itertools
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

KNOWN_TAGS = {"screensaver", "command", "vgroup", "hgroup", "select", "option", "boolean", "number",
              "string", "file", "_description", "xscreensaver-text", "xscreensaver-image",
              "xscreensaver-updater", "video", "fullcommand"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def accepted(program, words):
    # --version after the options: the program parses them all, then only prints.
    r = subprocess.run([program, *words, "--version"], capture_output=True, text=True,
                       env={"PATH": os.environ.get("PATH", ""), "DISPLAY": ":nothing-here"}, timeout=30)
    return r.returncode == 0 and r.stdout.startswith("vyla "), r.stderr.strip()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--xml", required=True)
    ap.add_argument("--build", required=True)
    a = ap.parse_args()

    root = ET.parse(a.xml).getroot()
    check(root.tag == "screensaver", "the root element is <screensaver>")
    check(root.get("name") == "vyla", "name is the program's file name")
    check(root.get("_label") == "Vyla", "the label is Vyla")
    for element in root.iter():
        check(element.tag in KNOWN_TAGS, f"unknown tag <{element.tag}>")
    commands = [c.get("arg") for c in root.iter("command")]
    check(commands == ["--root"], f"one <command arg='--root'>, not {commands}")
    description = root.find("_description")
    check(description is not None and description.text and description.text.strip(), "a description")

    ids = [e.get("id") for e in root.iter() if e.get("id")]
    check(len(ids) == len(set(ids)), f"ids are unique: {ids}")

    # Each control's possible words; one choice per control makes a command line.
    choices = []
    selects = list(root.iter("select"))
    check(len(selects) == 2, "two selects: colour and speed")
    for select in selects:
        options = list(select.iter("option"))
        defaults = [o for o in options if o.get("arg-set") is None]
        check(len(defaults) == 1, f"select {select.get('id')}: exactly one default option (no arg-set)")
        for o in options:
            check(o.get("_label"), f"option {o.get('id')} has a label")
        choices.append([o.get("arg-set", "").split() for o in options])
    booleans = list(root.iter("boolean"))
    check(len(booleans) == 1, "one boolean: the slideshow")
    for b in booleans:
        check((b.get("arg-set") is None) != (b.get("arg-unset") is None),
              f"boolean {b.get('id')}: arg-set or arg-unset, one of them")
        choices.append([[], (b.get("arg-set") or b.get("arg-unset")).split()])
    numbers = list(root.iter("number"))
    check(len(numbers) == 1, "one number: the interval")
    for n in numbers:
        check(n.get("type") in ("slider", "spinbutton"), f"number {n.get('id')}: slider or spinbutton")
        low, high, default = (int(n.get(k)) for k in ("low", "high", "default"))
        check(low <= default <= high, f"number {n.get('id')}: low <= default <= high")
        check("%" in n.get("arg", ""), f"number {n.get('id')}: its arg has %")
        choices.append([n.get("arg").replace("%", str(v)).split() for v in (low, default, high)])

    for combination in itertools.product(*choices):
        words = commands + [w for part in combination for w in part]
        ok, why = accepted(a.program, words)
        check(ok, f"vyla refuses {' '.join(words)}: {why}")

    # The install: the program, the hack (a link to it) where the daemon runs
    # hacks from, and the description where its settings program reads them.
    with tempfile.TemporaryDirectory() as prefix:
        r = subprocess.run(["cmake", "--install", a.build, "--prefix", prefix], capture_output=True, text=True)
        check(r.returncode == 0, f"cmake --install failed: {r.stderr}")
        for path in ("bin/vyla", "libexec/xscreensaver/vyla"):
            full = os.path.join(prefix, path)
            check(os.path.isfile(full) and os.access(full, os.X_OK), f"{path} is installed and executable")
        installed = os.path.join(prefix, "share/xscreensaver/config/vyla.xml")
        check(os.path.isfile(installed) and filecmp.cmp(installed, a.xml, shallow=False),
              "share/xscreensaver/config/vyla.xml is the description")
        hack = os.path.join(prefix, "libexec/xscreensaver/vyla")
        check(os.path.islink(hack) and os.readlink(hack) == "../../bin/vyla",
              "libexec/xscreensaver/vyla is a relative link to bin/vyla, not a second copy")
        if os.path.isfile(hack):
            ok, why = accepted(hack, ["--root"])
            check(ok, f"the installed hack runs: {why}")

    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
