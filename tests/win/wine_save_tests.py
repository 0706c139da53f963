#!/usr/bin/env python3
"""The settings dialog of a Windows module under Wine, when saving is hard.

    wine_save_tests.py --build BUILD --expect NATIVE_HELPER

Uses the session of wine_tests.py (Xvfb, the Wine prefix, the window probe;
BUILD a 32-bit or 64-bit tree) and runs:
  - OK when both the Windows directory and the user's fallback refuse the
    file (a folder holds its name in each): a message box names the file and
    the reason in Japanese, answering it ends the run with 0, nothing changes;
  - a vyla.ini saved as UTF-16 with its byte-order mark: the dialog shows its
    settings, and OK writes them back in UTF-16.
Prints one line per test and a closing "N passed, N failed" line.
"""
import argparse
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_tests as wt  # noqa: E402

MESSAGE_TITLE = "Vyla"


def user_copy_dirs(session):
    users = os.path.join(session.prefix, "drive_c", "users")
    return [os.path.join(users, u, "AppData", "Roaming", "Vyla") for u in os.listdir(users)
            if u.lower() != "public" and os.path.isdir(os.path.join(users, u, "AppData", "Roaming"))]


def clear(session):
    path = session.settings_file()
    if os.path.isdir(path):
        shutil.rmtree(path)
    session.clear_settings()


def run_dialog(session, act):
    """Starts the dialog, lets act(process, dialog) play the user, and
    returns once the process has ended (its exit code checked)."""
    process = session.start(session.module, "/c")
    try:
        d = wt.dialog_window(session.probe(wt.DIALOG_TITLE))
        detail = act(process, d)
        code = wt.wait_exit(process, 10)
        if code != 0:
            raise wt.Failure("exit code %d" % code)
        return detail
    finally:
        if process.poll() is None:
            os.killpg(process.pid, wt.signal.SIGKILL)
            process.wait()


def both_places_refuse(session):
    clear(session)
    os.makedirs(session.settings_file())
    folders = user_copy_dirs(session)
    if not folders:
        raise wt.Failure("no user profile in the prefix")
    for folder in folders:
        os.makedirs(os.path.join(folder, "vyla.ini"))

    def act(process, d):
        session.xdotool("mousemove", *map(str, wt.centre(wt.control(d, wt.IDC.WHITE)["rect"])), "click", "1")
        session.xdotool("key", "Return")
        boxes = [w for w in session.probe(MESSAGE_TITLE) if w["text"] == MESSAGE_TITLE]
        if not boxes:
            raise wt.Failure("no message box titled %r" % MESSAGE_TITLE)
        text = " ".join(c["text"] for c in boxes[0]["controls"])
        for needed in ("設定を保存できませんでした", "vyla.ini", "Vyla", "フォルダー"):
            if needed not in text:
                raise wt.Failure("the message lacks %r: %r" % (needed, text))
        if process.poll() is not None:
            raise wt.Failure("the run ended before the message was answered")
        session.xdotool("key", "Return")
        return "message: %r" % text

    try:
        detail = run_dialog(session, act)
        if not os.path.isdir(session.settings_file()) or os.listdir(session.settings_file()):
            raise wt.Failure("the Windows directory's vyla.ini changed")
        for folder in folders:
            if sorted(os.listdir(folder)) != ["vyla.ini"] or os.listdir(os.path.join(folder, "vyla.ini")):
                raise wt.Failure("the fallback changed: %r" % os.listdir(folder))
        return detail
    finally:
        clear(session)


def utf16(text, little=True):
    return (b"\xff\xfe" if little else b"\xfe\xff") + text.encode("utf-16-le" if little else "utf-16-be")


def utf16_file_kept(session):
    clear(session)
    with open(session.settings_file(), "wb") as f:
        f.write(utf16("; 設定\r\n[options]\r\ncolor=1\r\nspeed=2\r\ngirls=0\r\ninterval=7\r\n"))

    def act(process, d):
        states = {i: wt.control(d, i)["checked"] for i in (wt.IDC.CRIMSON, wt.IDC.WHITE, wt.IDC.SLOW, wt.IDC.NORMAL, wt.IDC.FAST)}
        if states != {wt.IDC.CRIMSON: 0, wt.IDC.WHITE: 1, wt.IDC.SLOW: 0, wt.IDC.NORMAL: 0, wt.IDC.FAST: 1} or wt.control(d, wt.IDC.INTERVAL)["text"] != "7":
            raise wt.Failure("the dialog did not read the UTF-16 file: %r" % states)
        session.xdotool("mousemove", *map(str, wt.centre(wt.control(d, wt.IDC.GIRLS)["rect"])), "click", "1")
        session.xdotool("key", "Return")
        return "white, fast, 7 shown"

    try:
        detail = run_dialog(session, act)
        data = wt.read_settings(session)
        want = utf16("; 設定\r\n[options]\r\ncolor=1\r\nspeed=2\r\ngirls=1\r\ninterval=7\r\n")
        if data != want:
            raise wt.Failure("vyla.ini holds %r" % data)
        return detail + "; written back as UTF-16"
    finally:
        clear(session)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--expect", required=True)
    args = parser.parse_args()
    args.expect = os.path.abspath(args.expect)
    args.dialog_png = None

    def tests(session, run):
        run("OK when both places refuse: a message box, then as Cancel", lambda: both_places_refuse(session))
        run("a UTF-16 vyla.ini is read and written back as UTF-16", lambda: utf16_file_kept(session))

    return wt.run_suite("wine settings", args, tests)


if __name__ == "__main__":
    sys.exit(main())
