#!/usr/bin/env python3
"""Checks a built vyla.scr from the outside, as the system's loader sees it.

    pe_check.py MODULE MACHINE SOURCE_DIR

MACHINE is i386 or amd64. Checked: the PE machine and the GUI subsystem;
that only system DLLs are imported (the module must run from a bare copy);
that no manifest asks for an execution level (which would switch off the
file virtualisation the 32-bit module's settings rely on); and that the
resources are what resources/ describes: every bitmap by name with the
bytes of its file, the "IDD_CONFIGURE" dialog exactly as its one description,
resources/configure_dialog.h, gives it, and string 1; that the manifest declares
per-monitor DPI awareness (version 2 first); and that the first icon group
holds the flower of resources/bitmaps/vyla.ico at 16, 32, 48 and 256 pixels.
"""
import os
import re
import struct
import sys

import configure_dialog

MACHINES = {"i386": 0x14C, "amd64": 0x8664}
SUBSYSTEM_GUI = 2

# DLLs every Windows has; anything else would have to ship with the module.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "winmm.dll",
    "advapi32.dll", "shell32.dll", "comctl32.dll", "ole32.dll", "ntdll.dll",
}

RT_STRING, RT_BITMAP, RT_DIALOG, RT_VERSION, RT_MANIFEST = 6, 2, 5, 16, 24
RT_ICON, RT_GROUP_ICON = 3, 14
ICON_SIZES = [16, 32, 48, 256]


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, nsections, _, _, _, optsize, self.characteristics = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic == 0x10B:
            self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
            ndirs_at, dirs_at = opt + 92, opt + 96
        elif magic == 0x20B:
            self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
            ndirs_at, dirs_at = opt + 108, opt + 112
        else:
            raise PeError("unknown optional header magic %#x" % magic)
        self.pe32plus = magic == 0x20B
        ndirs = struct.unpack_from("<I", data, ndirs_at)[0]
        self.dirs = [struct.unpack_from("<II", data, dirs_at + 8 * i) for i in range(ndirs)]
        self.sections = []
        sec = opt + optsize
        for i in range(nsections):
            name, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, sec + 40 * i)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for vaddr, size, rawptr, rawsize in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= rawsize:
                    raise PeError("RVA %#x lies in uninitialised data" % rva)
                return rawptr + rva - vaddr
        raise PeError("RVA %#x is in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        rva, size = self.dirs[1] if len(self.dirs) > 1 else (0, 0)
        names = []
        if not rva:
            return names
        at = self.offset(rva)
        while True:
            lookup, _, _, name_rva, thunk = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name_rva or thunk):
                break
            names.append(self.cstring(name_rva))
            at += 20
        return names

    def delay_imports(self):
        if len(self.dirs) <= 13 or not self.dirs[13][0]:
            return []
        at = self.offset(self.dirs[13][0])
        names = []
        while True:
            fields = struct.unpack_from("<8I", self.data, at)
            if not any(fields):
                break
            names.append(self.cstring(fields[1]))
            at += 32
        return names

    def resources(self):
        """{(type, name): [(language, bytes)]}; names are ints or upper-case strings."""
        rva, _ = self.dirs[2] if len(self.dirs) > 2 else (0, 0)
        found = {}
        if not rva:
            return found
        base = self.offset(rva)

        def entries(at):
            named, numbered = struct.unpack_from("<HH", self.data, base + at + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                if ident & 0x80000000:
                    n = struct.unpack_from("<H", self.data, base + (ident & 0x7FFFFFFF))[0]
                    s = base + (ident & 0x7FFFFFFF) + 2
                    key = self.data[s:s + 2 * n].decode("utf-16-le")
                else:
                    key = ident
                yield key, target

        for rtype, t in entries(0):
            for name, n in entries(t & 0x7FFFFFFF):
                for lang, leaf in entries(n & 0x7FFFFFFF):
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    at = self.offset(data_rva)
                    found.setdefault((rtype, name), []).append((lang, self.data[at:at + size]))
        return found


def parse_dialog_template(blob):
    """A DLGTEMPLATE (not EX) as a dict, texts decoded."""
    pos = 0

    def u16():
        nonlocal pos
        v = struct.unpack_from("<H", blob, pos)[0]
        pos += 2
        return v

    def sz_or_ord():
        nonlocal pos
        first = struct.unpack_from("<H", blob, pos)[0]
        if first == 0xFFFF:
            pos += 4
            return struct.unpack_from("<H", blob, pos - 2)[0]
        end = pos
        while struct.unpack_from("<H", blob, end)[0] != 0:
            end += 2
        text = blob[pos:end].decode("utf-16-le")
        pos = end + 2
        return text

    def align():
        nonlocal pos
        pos = (pos + 3) & ~3

    if struct.unpack_from("<HH", blob, 0) == (1, 0xFFFF):
        raise PeError("IDD_CONFIGURE is a DIALOGEX; the template is a plain DIALOG")
    style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", blob, 0)
    pos = 18
    menu = sz_or_ord()
    wclass = sz_or_ord()
    caption = sz_or_ord()
    if style & 0x40:  # DS_SETFONT
        raise PeError("IDD_CONFIGURE has a font of its own; it must use the system font")
    controls = []
    class_atoms = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC"}
    for _ in range(count):
        align()
        cstyle, cex, cx0, cy0, ccx, ccy, cid = struct.unpack_from("<IIhhhhH", blob, pos)
        pos += 18
        cclass = sz_or_ord()
        ctext = sz_or_ord()
        extra = u16()
        pos += extra
        controls.append({
            "id": cid - 0x10000 if cid >= 0x8000 else cid,
            "class": class_atoms.get(cclass, cclass).upper() if isinstance(cclass, int) else cclass.upper(),
            "text": ctext if isinstance(ctext, str) else "#%d" % ctext,
            "style": cstyle, "exstyle": cex, "rect": (cx0, cy0, ccx, ccy),
        })
    return {"style": style, "exstyle": exstyle, "rect": (x, y, cx, cy), "menu": menu,
            "class": wclass, "caption": caption, "controls": controls}


def string_table_entry(resources, ident):
    block = resources.get((RT_STRING, ident // 16 + 1))
    if not block:
        return None
    blob = block[0][1]
    pos = 0
    for i in range(16):
        n = struct.unpack_from("<H", blob, pos)[0]
        text = blob[pos + 2:pos + 2 + 2 * n].decode("utf-16-le")
        pos += 2 + 2 * n
        if i == ident % 16:
            return text
    return None


def check_manifest(res):
    import xml.etree.ElementTree as ET
    failures = []
    blobs = res.get((RT_MANIFEST, 1))
    if not blobs:
        return ["no manifest (resource 1 of type 24)"]
    try:
        root = ET.fromstring(blobs[0][1])
    except ET.ParseError as e:
        return ["the manifest is not well-formed XML: %s" % e]
    texts = {el.tag.split("}")[-1]: (el.text or "").strip() for el in root.iter()}
    awareness = [v.strip() for v in texts.get("dpiAwareness", "").split(",")]
    if awareness[:1] != ["PerMonitorV2"] or "PerMonitor" not in awareness:
        failures.append("dpiAwareness is %r, expected PerMonitorV2 then PerMonitor" % texts.get("dpiAwareness"))
    if texts.get("dpiAware", "").lower() != "true/pm":
        failures.append("dpiAware is %r, expected true/pm for systems before version 2" % texts.get("dpiAware"))
    return failures


def icon_file_images(path):
    """{size: bytes} of an .ico file."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise PeError("%s is not an icon file" % path)
    images = {}
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images[w or 256] = data[offset:offset + size]
    return images


def check_icon(res, source_dir):
    failures = []
    groups = sorted(((name if isinstance(name, int) else 0, str(name)), items)
                    for (rtype, name), items in res.items() if rtype == RT_GROUP_ICON)
    if not groups:
        return ["no icon group"]
    if len(groups) > 1:
        failures.append("%d icon groups; the system shows the first" % len(groups))
    blob = groups[0][1][0][1]
    _, kind, count = struct.unpack_from("<HHH", blob, 0)
    expected = icon_file_images(os.path.join(source_dir, "resources", "bitmaps", "vyla.ico"))
    sizes = []
    for i in range(count):
        w, h, _, _, _, bits, size, ident = struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i)
        n = w or 256
        sizes.append(n)
        image = res.get((RT_ICON, ident))
        if bits != 32:
            failures.append("the %d-pixel icon has %d bits per pixel" % (n, bits))
        if not image:
            failures.append("icon image %d of the group is missing" % ident)
        elif image[0][1] != expected.get(n):
            failures.append("the %d-pixel icon differs from resources/bitmaps/vyla.ico" % n)
    if sorted(sizes) != ICON_SIZES:
        failures.append("icon sizes %r, expected %r" % (sorted(sizes), ICON_SIZES))
    return failures


def check(module, machine, source_dir):
    failures = []
    with open(module, "rb") as f:
        pe = PeFile(f.read())
    if pe.machine != MACHINES[machine]:
        failures.append("machine %#x, expected %s" % (pe.machine, machine))
    if pe.pe32plus != (machine == "amd64"):
        failures.append("optional header is %s" % ("PE32+" if pe.pe32plus else "PE32"))
    if pe.subsystem != SUBSYSTEM_GUI:
        failures.append("subsystem %d, expected the GUI subsystem (2)" % pe.subsystem)
    for dll in pe.imports() + pe.delay_imports():
        if dll.lower() not in SYSTEM_DLLS:
            failures.append("imports %s, which is not a system DLL" % dll)

    res = pe.resources()
    for (rtype, _), items in res.items():
        if rtype == RT_MANIFEST:
            for _, blob in items:
                if b"requestedExecutionLevel" in blob:
                    failures.append("a manifest requests an execution level (file virtualisation would be off)")

    bitmap_dir = os.path.join(source_dir, "resources", "bitmaps")
    for name in sorted(os.listdir(bitmap_dir)):
        if not name.lower().endswith(".bmp"):
            continue
        key = (RT_BITMAP, os.path.splitext(name)[0].upper())
        with open(os.path.join(bitmap_dir, name), "rb") as f:
            packed = f.read()[14:]
        if key not in res:
            failures.append("bitmap %s is missing" % key[1])
        elif res[key][0][1] != packed:
            failures.append("bitmap %s differs from its file" % key[1])

    dialog = res.get((RT_DIALOG, "IDD_CONFIGURE"))
    if not dialog:
        failures.append("dialog IDD_CONFIGURE is missing")
    else:
        expected = configure_dialog.dialog(os.path.join(source_dir, "resources", "configure_dialog.h"))
        actual = parse_dialog_template(dialog[0][1])
        for field in ("style", "exstyle", "rect", "menu", "class", "caption"):
            if actual[field] != expected[field]:
                failures.append("dialog %s is %r, its description says %r" % (field, actual[field], expected[field]))
        if len(actual["controls"]) != len(expected["controls"]):
            failures.append("dialog has %d controls, its description %d" % (len(actual["controls"]), len(expected["controls"])))
        for i, (a, e) in enumerate(zip(actual["controls"], expected["controls"])):
            if a != e:
                failures.append("dialog control %d is %r, its description says %r" % (i + 1, a, e))

    if string_table_entry(res, 1) != "Vyla Screen Saver":
        failures.append("string 1 is %r" % string_table_entry(res, 1))
    if not any(rtype == RT_VERSION for rtype, _ in res):
        failures.append("no version resource")
    failures += check_manifest(res)
    failures += check_icon(res, source_dir)
    return failures


def main(argv):
    if len(argv) != 4 or argv[2] not in MACHINES:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        failures = check(argv[1], argv[2], argv[3])
    except (OSError, PeError, struct.error, ValueError) as e:
        failures = ["cannot read %s: %s" % (argv[1], e)]
    for f in failures:
        print("%s: %s" % (argv[1], f))
    print("%s: %s" % (argv[1], "FAILED" if failures else "ok (%s, GUI, system DLLs only, resources as in resources/, DPI-aware manifest, icon)" % argv[2]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
