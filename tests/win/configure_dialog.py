"""The settings dialog "IDD_CONFIGURE" as its one description says it is
(resources/configure_dialog.h): the control numbers by name, and the whole
template, for the checks of the module's resources and the Wine tests."""
import os
import re

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "configure_dialog.h")


def _read(header=HEADER):
    with open(header, encoding="utf-8") as f:
        text = f.read().replace("\\\n", " ")
    names = {}
    for m in re.finditer(r"^#define[ \t]+(\w+)[ \t]+([^\n]*?)[ \t]*$", text, re.M):
        names[m.group(1)] = m.group(2)
    return text, names


def _value(token, names):
    token = token.strip()
    for _ in range(8):
        if token in names:
            token = names[token].strip()
    if token.startswith('"'):
        return token[1:-1]
    return int(token, 0)


def control_ids(header=HEADER):
    """Every IDC_ name and its number."""
    _, names = _read(header)
    return {name: _value(name, names) for name in names if name.startswith("IDC_")}


def dialog(header=HEADER):
    """The template in the shape the module's resource parser gives."""
    text, names = _read(header)
    controls = []
    for m in re.finditer(r"CONTROL\(([^,]+),\s*(\"[^\"]*\"),\s*(\"[^\"]*\"),\s*([^,]+),\s*([^,]+),\s*([^,]+),\s*([^,]+),\s*([^)]+)\)",
                         text):
        ident, wclass, caption, style, x, y, cx, cy = (_value(g, names) for g in m.groups())
        controls.append({"id": ident, "class": wclass.upper(), "text": caption, "style": style, "exstyle": 0,
                         "rect": (x, y, cx, cy)})
    rect = tuple(_value("VYLA_CONFIGURE_" + k, names) for k in ("X", "Y", "CX", "CY"))
    return {"style": _value("VYLA_CONFIGURE_STYLE", names), "exstyle": 0, "rect": rect, "menu": "", "class": "",
            "caption": _value("VYLA_CONFIGURE_CAPTION", names), "controls": controls}
