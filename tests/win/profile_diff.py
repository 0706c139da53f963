#!/usr/bin/env python3
"""Vyla's settings reader and writer held to the system's, over a corpus.

    profile_diff.py --expect NATIVE_HELPER --build TREE [--build TREE...]
                    [--locale NAME...] [--report] [--summary] [--seed N] [--random N]

Generates the corpus of tests/win/settings_corpus.py into TREE/profile-diff/
(the first TREE) and, for every file:
  - reads "color", "speed", "girls" and "interval" of [options], default 0,
    with the system's GetPrivateProfileIntA (vyla_system_profile.exe of each
    TREE under Wine, once for each locale, which sets the code page of files
    without a byte-order mark) and with Vyla's (NATIVE_HELPER settings-read);
  - has Vyla write four values into a copy as the dialog's OK does
    (NATIVE_HELPER settings-write), values the first system reader did not
    read there before, and reads them back with Vyla's and every system
    reader.
Prints each difference with the file's bytes escaped, then one summary
line; the whole report also goes to TREE/profile-diff/report.txt
(--summary prints only the summary). Exit 1 when some system reader reads a
file other than Vyla or does not read back what Vyla wrote, unless the
file's case is in KNOWN (the difference is then listed with its reason) or
--report is given: then only a file the readers could not be run on fails.
"""
import argparse
import collections
import os
import re
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import settings_corpus  # noqa: E402
import wine_tests  # noqa: E402

KEYS = settings_corpus.KEYS
# What Vyla writes: the first values, or the second for a key whose first
# value the system already read there (so that a lost write shows).
WRITTEN = ((1, 2, 1, 4321), (0, 1, 0, 1234))

# The cases where Vyla and a system reader part on purpose, each with its reason.
KNOWN = {
    "long-10": "a quoted value of exactly 29 characters: the system's integer reader takes the closing quote as cut off "
               "and drops the last digit instead; Vyla reads all 29",
    "codepage-utf8-comment-lead-last": "Japanese code page only: the comment's last byte is a lead byte there, which "
                                       "swallows the line end and the [options] header with it; Vyla reads a file "
                                       "without a mark byte for byte, the same on every system, and keeps the section",
    "codepage-high-bytes": "Japanese code page only: a lead byte before a line end swallows it and the next key; "
                           "Vyla keeps the line",
}


class Failure(Exception):
    pass


def escaped(data, limit=400):
    """The bytes as a Python-style literal, cut after limit characters."""
    text = "".join({0x0A: "\\n", 0x0D: "\\r", 0x09: "\\t", 0x5C: "\\\\", 0x22: '\\"'}.get(b, chr(b))
                   if 0x20 <= b < 0x7F or b in (0x0A, 0x0D, 0x09) else "\\x%02x" % b for b in data)
    if len(text) > limit:
        return '"%s"... (%d bytes)' % (text[:limit], len(data))
    return '"%s"' % text


def field(text):
    """One field of a vyla_system_profile command line: any byte, escaped."""
    return "".join(chr(b) if 0x20 < b < 0x7F and b != 0x5C else "\\x%02x" % b for b in text.encode("utf-8"))


class SystemReader:
    """vyla_system_profile.exe of one tree under Wine, in one locale, in that tree's prefix."""

    def __init__(self, build, expect, locale):
        wine_tests.ensure_locale(locale)
        self.name = "%s module's Wine, %s" % (wine_tests.module_machine(os.path.join(build, "vyla.scr")), locale)
        self.session = wine_tests.Session(argparse.Namespace(build=build, expect=expect, dialog_png=None))
        self.session.env.update({"LANG": locale, "LC_ALL": locale})
        self.session.env.pop("DISPLAY", None)  # a console program: no display wanted
        self.exe = os.path.join(self.session.build, "tests", "win", "vyla_system_profile.exe")

    def read(self, paths):
        """[(color, speed, girls, interval)] for each file."""
        self.session.make_prefix()
        commands = []
        for path in paths:
            windows = "Z:" + os.path.abspath(path).replace("/", "\\")
            commands += ["\t".join(field(f) for f in ("int", "options", key, "0", windows)) for key in KEYS]
        # Files, not pipes: the processes Wine starts beside the program
        # would hold a pipe open for seconds after it ended.
        asked, answers = (os.path.join(self.session.work, name) for name in ("profile-commands", "profile-answers"))
        with open(asked, "w") as f:
            f.write("\n".join(commands) + "\n")
        with open(asked) as stdin, open(answers, "w") as stdout:
            code = subprocess.run(["wine", self.exe, "-"], stdin=stdin, stdout=stdout, stderr=subprocess.DEVNULL,
                                  env=self.session.env, timeout=600).returncode
        with open(answers) as f:
            out = f.read()
        values = [int(m.group(1)) for m in re.finditer(r"^int (\d+)\r?$", out, re.M)]
        if code != 0 or len(values) != len(commands):
            raise Failure("%s: %d of %d answers, exit %d: %s" % (self.name, len(values), len(commands), code, out[-600:]))
        return [tuple(values[i:i + 4]) for i in range(0, len(values), 4)]

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.session.env, stderr=subprocess.DEVNULL)


def vyla_read(expect, paths):
    r = subprocess.run([expect, "settings-read"] + paths, capture_output=True, text=True, timeout=600)
    rows = [tuple(int(v) for v in line.split()) for line in r.stdout.splitlines()]
    if r.returncode != 0 or len(rows) != len(paths):
        raise Failure("Vyla's reader: exit %d, %d of %d rows: %s" % (r.returncode, len(rows), len(paths), r.stderr))
    return rows


def vyla_write(expect, sources, targets, wants):
    """Copies each source to its target and has Vyla write the values there;
    returns the targets it did not write."""
    argv = [expect, "settings-write"]
    for source, target, values in zip(sources, targets, wants):
        shutil.copyfile(source, target)
        argv += [target] + [str(v) for v in values]
    r = subprocess.run(argv, capture_output=True, text=True, timeout=600)
    results = r.stdout.splitlines()
    if r.returncode != 0 or len(results) != len(targets):
        raise Failure("Vyla's writer: exit %d, %d of %d results: %s" % (r.returncode, len(results), len(targets),
                                                                        r.stderr))
    return [target for target, result in zip(targets, results) if result != "written"]


def values_to_write(before):
    return tuple(WRITTEN[1][i] if before[i] == WRITTEN[0][i] else WRITTEN[0][i] for i in range(4))


def keyed(values):
    return ", ".join("%s %d" % (key, value) for key, value in zip(KEYS, values))


def unlike(a, b, a_name, b_name):
    return "; ".join("%s: %s %d, %s %d" % (key, a_name, x, b_name, y) for key, x, y in zip(KEYS, a, b) if x != y)


def case(path):
    """The corpus case of a file: 012-end-cr-unterminated.ini -> end-cr-unterminated."""
    return os.path.basename(path).split("-", 1)[1].rsplit(".", 1)[0]


def kind(path):
    """The corpus family of a file: 012-end-cr-unterminated.ini -> end."""
    return os.path.basename(path).split("-")[1].split(".")[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--expect", required=True)
    parser.add_argument("--build", action="append", required=True)
    parser.add_argument("--locale", action="append")
    parser.add_argument("--report", action="store_true", help="differences are reported, not failed")
    parser.add_argument("--summary", action="store_true", help="print only the summary")
    parser.add_argument("--seed", type=int, default=17)
    parser.add_argument("--random", type=int, default=300)
    args = parser.parse_args()
    expect = os.path.abspath(args.expect)
    # Windows-1252, where every byte is a character of its own as in Vyla's
    # reader; then the Japanese code page, whose lead bytes join the next byte.
    locales = args.locale or ["en_US.UTF-8", "ja_JP.UTF-8"]

    work = os.path.join(os.path.abspath(args.build[0]), "profile-diff")
    corpus = settings_corpus.write(os.path.join(work, "corpus"), args.seed, args.random)
    written_dir = os.path.join(work, "written")
    shutil.rmtree(written_dir, ignore_errors=True)
    os.makedirs(written_dir)
    written = [os.path.join(written_dir, os.path.basename(p)) for p in corpus]
    report = os.path.join(work, "report.txt")
    lines = []

    def say(text, always=False):
        lines.append(text)
        if always or not args.summary:
            wine_tests.log(text)

    readers = []
    for build in args.build:
        if wine_tests.skip_unless_runnable(build, "settings files, %s" % build):
            continue
        readers += [SystemReader(build, expect, locale) for locale in locales]
    if not readers:
        return 0
    try:
        system = {r.name: r.read(corpus) for r in readers}
        reference = readers[0].name
        vyla = vyla_read(expect, corpus)
        wants = [values_to_write(before) for before in system[reference]]
        refused = vyla_write(expect, corpus, written, wants)
        back = {r.name: r.read(written) for r in readers}
        vyla_back = vyla_read(expect, written)
    except (Failure, subprocess.SubprocessError, OSError) as e:
        say("FAIL settings files: %s" % e, always=True)
        return 1
    finally:
        for r in readers:
            r.stop()

    def data(path):
        with open(path, "rb") as f:
            return f.read()

    # Every system reader (module and locale) is held to Vyla's reads and writes.
    unknown, known_seen = collections.Counter(), set()
    for r in readers:
        for i, path in enumerate(corpus):
            name, why = os.path.basename(path), KNOWN.get(case(path))
            found = []
            if vyla[i] != system[r.name][i]:
                found.append("reads %s\n     %s" % (unlike(system[r.name][i], vyla[i], "system", "Vyla"),
                                                    escaped(data(path))))
            if written[i] in refused:
                found.append("Vyla did not write %s" % keyed(wants[i]))
            elif back[r.name][i] != wants[i] or vyla_back[i] != wants[i]:
                found.append("wrote %s; read back: %s\n     after %s" % (
                    keyed(wants[i]), unlike(wants[i], back[r.name][i], "written", "system") or
                    unlike(wants[i], vyla_back[i], "written", "Vyla"), escaped(data(written[i]))))
            for what in found:
                say("%s %s, %s: %s" % ("KNOWN (%s)" % why if why else "DIFF", name, r.name, what))
            if found and why:
                known_seen.add(case(path))
            elif found:
                unknown[(r.name, kind(path))] += 1
    say("system readers: %s" % ", ".join(r.name for r in readers), always=True)
    for what in sorted(set(KNOWN) - known_seen):
        say("note: the known difference %s was not seen" % what, always=True)
    failed = sum(unknown.values())
    say("settings files: %d, each read and written back by %d system readers; known differences: %s; other "
        "differences (%s): %s; report %s" % (
            len(corpus), len(readers), ", ".join(sorted(known_seen)) or "none",
            "reported only" if args.report else "must be none",
            ", ".join("%s %s %d" % (r, k, n) for (r, k), n in sorted(unknown.items())) or "none", report),
        always=True)
    with open(report, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return 0 if args.report or not failed else 1


if __name__ == "__main__":
    sys.exit(main())
