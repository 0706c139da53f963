#!/usr/bin/env python3
"""Settings files of the kind people and editors produce, to hold Vyla's
reader and writer to the system's.

    settings_corpus.py OUTDIR [--seed N] [--random N]

Writes NNN-WHAT.ini into OUTDIR: first families of chosen cases, one family
per rule a reader must settle (line ends, repeated sections, key lines
without "=", whitespace, quotes, numbers, byte-order marks and code pages,
the case of names, comments, empty files), then N random files (300 unless
given) that mix them. The same seed gives the same bytes.
"""
import argparse
import os
import random
import sys

KEYS = ("color", "speed", "girls", "interval")
# What editors and pasted text leave around names and values: the blanks of
# ASCII, DOS's end-of-file mark, no-break space, C1 and other control bytes.
SPACES = {"sp": " ", "tab": "\t", "vt": "\v", "ff": "\f", "eof": "\x1a", "nbsp": "\xa0", "fs": "\x1c", "us": "\x1f",
          "nel": "\x85", "soh": "\x01", "nul": "\x00"}
ENDINGS = {"lf": "\n", "crlf": "\r\n", "cr": "\r", "lfcr": "\n\r"}
JAPANESE = "設定ファイル"  # a comment in the user's language
NUMBERS = [
    "0", "1", "2", "7", "90", "+5", "-5", " -5", "- 5", "--5", "+-5", "-0", "08", "0009",
    "0x1F", "0X1F", "0x1f", "0o17", "0O17", "0b101", "0B101", "-0x10", "0x", "0xZ", "0b2", "0o8", "00x10", "0x-5",
    "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295", "4294967296", "4294967297",
    "99999999999999999999", "0x100000000", "0x" + "F" * 27, "0x" + "F" * 28,
    "12abc", "1.5", "1e3", "abc", "", "7 ; seven", "7\t# seven",
]
QUOTED = ['"7"', "'7'", '" 7 "', '"7', "7\"", '\'7"', '""7""', '"7"x', '"', "'", '""', '" "', '"-5"', '"\t5"',
          '"\v5"', '"\x015"', '"0x1F"']


def long_values(rng):
    """Numbers around the length the system's integer reader takes."""
    out = []
    for length in (27, 28, 29, 30, 31, 40, 300, 5000):
        out.append("1" * length)
        out.append("0" * (length - 2) + "12")
        out.append('"%s"' % ("1" * length))
        out.append("-" + "0" * (length - 2) + "5")
    out.append("".join(rng.choice("0123456789") for _ in range(rng.randint(30, 60))))
    out.append('"%s5"' % (" " * 30))
    return out


def lines_to_text(lines, ending="\r\n", final=True):
    if isinstance(ending, str):
        text = ending.join(lines)
    else:  # one ending per line break, for mixed files
        text = "".join(line + ending[i % len(ending)] for i, line in enumerate(lines[:-1])) + lines[-1]
    if final and lines:
        text += ending if isinstance(ending, str) else ending[len(lines) % len(ending)]
    return text


def encode(text, encoding):
    """The file's bytes. In a file without a mark every character below 256
    is that byte; others are written in the named multibyte code."""
    if encoding in ("ansi", "shift_jis", "utf-8"):
        multibyte = "shift_jis" if encoding in ("ansi", "shift_jis") else "utf-8"
        return b"".join(bytes([ord(c)]) if ord(c) < 256 else c.encode(multibyte) for c in text)
    marks = {"utf-8-bom": (b"\xef\xbb\xbf", "utf-8"), "utf-16-le-bom": (b"\xff\xfe", "utf-16-le"),
             "utf-16-be-bom": (b"\xfe\xff", "utf-16-be"), "utf-16-le": (b"", "utf-16-le")}
    mark, codec = marks[encoding]
    return mark + text.encode(codec, "surrogatepass")


def basic(color="1", speed="2", girls="1", interval="45"):
    return ["[options]", "color=" + color, "speed=" + speed, "girls=" + girls, "interval=" + interval]


def chosen_cases(rng):
    """(what, bytes) for every rule, one case each."""
    cases = []

    def add(what, lines, ending="\r\n", final=True, encoding="ansi"):
        cases.append((what, encode(lines_to_text(lines, ending, final), encoding)))

    # Line ends: each style, mixed, and none at the end.
    for name, ending in ENDINGS.items():
        add("end-" + name, basic(), ending)
        add("end-%s-unterminated" % name, basic(), ending, final=False)
    add("end-mixed", basic() + ["[other]", "color=0"], ["\r\n", "\n", "\r"])
    add("end-mixed-cr-first", ["; saved on an old Mac"] + basic(), ["\r", "\r\n", "\n"])
    add("end-crcrlf", basic(), "\r\r\n")
    add("end-cr-inside-value", ["[options]", "color=1\r2", "speed=2"], "\n")
    add("end-cr-inside-key", ["[options]", "col\ror=1", "speed=2"], "\n")
    # Sections: repeated, in other case, with others between, decorated, broken.
    add("section-repeated-key-in-second", ["[options]", "speed=1", "[options]", "color=1", "girls=1"])
    add("section-repeated-key-in-both", ["[options]", "color=0", "interval=5", "[options]", "color=1", "interval=9"])
    add("section-repeated-other-case", ["[options]", "speed=1", "[OPTIONS]", "color=1"])
    add("section-repeated-with-other-between", ["[options]", "speed=1", "[other]", "x=1", "[Options]", "color=1"])
    add("section-repeated-first-empty", ["[options]", "", "[options]"] + basic()[1:])
    add("section-other-first", ["[other]", "color=1", "speed=2", "[options]", "girls=1"])
    add("section-keys-before-any", ["color=1", "speed=2", "[options]", "girls=1"])
    add("section-missing", ["color=1", "speed=2"])
    add("section-upper", ["[OPTIONS]"] + basic()[1:])
    add("section-spaced", [" [ options ] "] + basic()[1:])
    add("section-trailing-text", ["[options] ; the saver"] + basic()[1:])
    add("section-unterminated", ["[options"] + basic()[1:])
    add("section-two-brackets", ["[options]]"] + basic()[1:])
    add("section-bracket-inside", ["[options]x]"] + basic()[1:])
    add("section-header-with-value", ["[options]", "color=1", "[x]=3", "speed=2"])
    add("section-broken-header-inside", ["[options]", "color=1", "[broken", "speed=2"])
    add("section-empty-name", ["[]", "color=1", "[options]", "speed=2"])
    # Key lines without "=".
    add("nokey-then-key", ["[options]", "color", "color=1", "speed=2"])
    add("nokey-spaced", ["[options]", "  color  ", "color=1", "speed", "speed=2"])
    add("nokey-last-unterminated", ["[options]", "speed=2", "color"], final=False)
    add("nokey-upper", ["[options]", "COLOR", "color=1"])
    add("nokey-only", ["[options]", "color", "speed", "girls", "interval"])
    add("nokey-in-second-section", ["[options]", "speed=1", "[options]", "color", "color=1"])
    add("nokey-with-comment", ["[options]", "color ; no value", "color=1"])
    add("nokey-empty-value", ["[options]", "color=", "color=1", "speed= ", "speed=2"])
    add("nokey-bare-equals", ["[options]", "=5", "color=1"])
    # Whitespace of every kind around names, values and headers.
    for name, space in SPACES.items():
        add("space-%s-key" % name, ["[options]", "%scolor%s=1" % (space, space), "%sspeed%s=2" % (space, space)])
        add("space-%s-value" % name, ["[options]", "color=%s1%s" % (space, space), "speed=%s2" % space])
        add("space-%s-header" % name, ["%s[%soptions%s]%s" % ((space,) * 4)] + basic()[1:])
        add("space-%s-before-number" % name, ["[options]", 'color="%s1"' % space, 'interval="%s%s45"' % (space, space)])
    add("space-all-kinds", ["[options]", " \t\v\f\x1acolor \t\v\f\x1a= \t\v\f\x1a1 \t\v\f\x1a"])
    add("space-inner-key", ["[options]", "co lor=1", "speed =2"])
    # Quotes.
    for i, value in enumerate(QUOTED):
        add("quoted-%02d" % i, ["[options]", "color=" + value, "interval=" + value.replace("7", "45")])
    add("quoted-key", ["[options]", '"color"=1', "'speed'=2"])
    # Numbers: prefixes, signs, overflow and length.
    for i, value in enumerate(NUMBERS):
        add("number-%02d" % i, ["[options]", "interval=" + value, "color=" + value])
    for i, value in enumerate(long_values(rng)):
        add("long-%02d" % i, ["[options]", "interval=" + value, "speed=2"])
    add("long-line-before", ["[options]", "x=" + "y" * 70000, "color=1"])
    add("long-key-line", ["[options]", "k" * 70000 + "=1", "color=1"])
    # Marks and code pages.
    for encoding in ("utf-8-bom", "utf-16-le-bom", "utf-16-be-bom", "utf-16-le"):
        add("mark-" + encoding, ["; " + JAPANESE] + basic(), encoding=encoding)
    add("mark-utf-8-twice", ["\ufeff[options]"] + basic()[1:], encoding="utf-8-bom")
    add("mark-utf-8-later", ["", "\xef\xbb\xbf[options]"] + basic()[1:])
    add("mark-utf-16-nbsp", ["[options]", "\u00a0color=1", "\u3000speed=2", "girls=\uff11"], encoding="utf-16-le-bom")
    add("mark-utf-16-line-separator", ["[options]\u2028color=1", "speed\u0085=2"], encoding="utf-16-le-bom")
    cases.append(("mark-utf-16-odd-length", encode(lines_to_text(basic()), "utf-16-le-bom") + b"\x00"))
    cases.append(("mark-only-utf-8", b"\xef\xbb\xbf"))
    cases.append(("mark-only-utf-16", b"\xff\xfe"))
    add("codepage-sjis-comment", ["; " + JAPANESE] + basic(), encoding="shift_jis")
    add("codepage-utf8-comment", ["; " + JAPANESE] + basic(), encoding="utf-8")
    add("codepage-utf8-comment-lf", ["; " + JAPANESE] + basic(), "\n", encoding="utf-8")
    # Its last byte is a lead byte in the Japanese code page, which takes the line end with it.
    add("codepage-utf8-comment-lead-last", ["; 設定"] + basic(), "\n", encoding="utf-8")
    add("codepage-utf8-value", ["[options]", "color=1 ; " + JAPANESE, "speed=2"], encoding="utf-8")
    add("codepage-high-bytes", ["[options]", "color=1\x81", "speed=2\x9a", "girls=\xe51"], "\n")
    add("codepage-lead-before-bracket", ["[options\x81]", "color=1"], "\n")
    # Case of names.
    add("case-keys", ["[Options]", "COLOR=1", "Speed=2", "gIrLs=1", "INTERVAL=45"])
    add("case-non-ascii", ["[optİons]", "color=1"], encoding="utf-16-le-bom")
    # Comments.
    add("comment-semicolon", ["[options]", ";color=0", "color=1"])
    add("comment-hash", ["[options]", "#color=0", "color=1"])
    add("comment-indented", ["[options]", "  ; color=0", "color=1"])
    add("comment-slashes", ["[options]", "// color=0", "color=1"])
    add("comment-tail", ["[options]", "color=1 ; white", "speed=2 # fast"])
    # Empty and nearly empty files, and stray NUL bytes.
    cases.append(("empty", b""))
    for name, lines in (("newline", [""]), ("blanks", ["   ", "\t"]), ("header-only", ["[options]"]),
                        ("comments-only", ["; nothing", "# here"]), ("nul", ["\x00"]),
                        ("nul-in-value", ["[options]", "color=1\x002", "speed=2"]),
                        ("nul-in-key", ["[options]", "color\x00x=1", "speed\x00=2"]),
                        ("nul-value-first", ["[options]", "color=\x001", "speed=2"]),
                        ("nul-line-start", ["[options]", "\x00color=1", "speed=2"]),
                        ("nul-in-header", ["[opt\x00ions]", "color=1"]), ("nul-after-header", ["[options]\x00x", "color=1"]),
                        ("nul-before-file", ["\x00[options]", "color=1"])):
        add("empty-" + name if not name.startswith("nul") else name, lines)
    return cases


def random_value(rng, key):
    roll = rng.random()
    if roll < 0.45:
        return str(rng.choice({"color": (0, 1), "speed": (0, 1, 2), "girls": (0, 1)}.get(key, (1, 7, 45, 90, 600))))
    if roll < 0.75:
        return rng.choice(NUMBERS)
    if roll < 0.9:
        return rng.choice(QUOTED)
    return rng.choice(long_values(rng))


def random_space(rng):
    if rng.random() < 0.6:
        return ""
    return "".join(rng.choice(list(SPACES.values())[:8]) for _ in range(rng.randint(1, 3)))


def random_key_line(rng, key):
    name = rng.choice([key, key, key, key.upper(), key.capitalize()])
    if rng.random() < 0.1:
        return random_space(rng) + name + random_space(rng)  # no "="
    return "%s%s%s=%s%s%s" % (random_space(rng), name, random_space(rng), random_space(rng), random_value(rng, key),
                              random_space(rng))


def random_header(rng, name):
    if rng.random() < 0.7:
        return "[%s]" % name
    return rng.choice(["[%s]" % name.upper(), " [%s] " % name, "[ %s ]" % name, "[%s] ; here" % name, "\t[%s]" % name,
                       "[%s]" % name.capitalize(), "\v[\f%s]" % name])


def random_file(rng):
    lines = []
    for _ in range(rng.choice([0, 0, 1, 2])):
        lines.append(rng.choice(["; Vyla", "# settings", "", "color=1", "[other]", "x=y", "; " + JAPANESE]))
    sections = ["options"] * rng.choice([1, 1, 1, 2, 3]) + ["other"] * rng.choice([0, 0, 1])
    rng.shuffle(sections)
    body = {i: [] for i in range(len(sections))}
    for key in KEYS:
        for _ in range(rng.choice([0, 1, 1, 1, 2])):
            body[rng.randrange(len(sections))].append(random_key_line(rng, key))
    for i, name in enumerate(sections):
        lines.append(random_header(rng, name))
        for line in body[i]:
            if rng.random() < 0.15:
                lines.append(rng.choice(["", "; note", "  ", "#x=1"]))
            lines.append(line)
    ending = rng.choice(list(ENDINGS.values()) + [["\r\n", "\n"], ["\r", "\n"], ["\n", "\r\n", "\r"]])
    encoding = rng.choices(["ansi", "utf-8", "shift_jis", "utf-8-bom", "utf-16-le-bom", "utf-16-be-bom"],
                           [60, 8, 8, 10, 10, 4])[0]
    return encode(lines_to_text(lines, ending, final=rng.random() < 0.8), encoding)


def generate(seed=17, count=300):
    """[(file name, bytes)], chosen cases first."""
    rng = random.Random(seed)
    cases = chosen_cases(rng) + [("random", random_file(rng)) for _ in range(count)]
    return [("%03d-%s.ini" % (i, what), data) for i, (what, data) in enumerate(cases)]


def write(directory, seed=17, count=300):
    """Writes the corpus into directory (emptied first); returns the paths."""
    os.makedirs(directory, exist_ok=True)
    for name in os.listdir(directory):
        os.remove(os.path.join(directory, name))
    paths = []
    for name, data in generate(seed, count):
        path = os.path.join(directory, name)
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    return paths


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("outdir")
    parser.add_argument("--seed", type=int, default=17)
    parser.add_argument("--random", type=int, default=300)
    args = parser.parse_args()
    print("%d files in %s" % (len(write(args.outdir, args.seed, args.random)), args.outdir))
    return 0


if __name__ == "__main__":
    sys.exit(main())
