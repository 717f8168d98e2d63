"""The game as a screen reader meets it, through the accessibility bus (AT-SPI).

Run by screenreader_test.sh with the game's path. Starts a solo game by keys, reads the
scores, the turn, the status and the board's table, plays by keys, and checks that a
placement, a refusal and the turn passing each raise an event carrying the new text.
Exit code 0: passed, 1: failed, 77: skipped (the accessibility bus did not start).
"""

import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW = "Tessarin by Zorvik Software"
YOUR_TURN = "Your Turn...Choose a Letter to place."
events = []  # (kind, role of the source, its text when the event came)


def fail(message):
    print("FAIL:", message, *events, sep="\n  ")
    sys.exit(1)


def wait_for(what, check, timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = check()
        if found:
            return found
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    fail(f"timed out waiting for {what}")


def onevent(event):
    # Qt's bridge sends the changed object, not the text; the text is read from the object
    # at once, as a screen reader does.
    try:
        source = event.source
        text = source.description if event.type.endswith("description") else source.name
        events.append((event.type, source.getRoleName(), text))
    except Exception:  # the source is gone already
        pass


def find(root, role, name=None, prefix=""):
    return pyatspi.findDescendant(root, lambda node: node.getRoleName() == role and (
        node.name == name if name is not None else node.name.startswith(prefix)))


def announced(text):
    """An announcement: a new description of the board's focused cell, carrying `text`."""
    return lambda: any(kind.endswith("accessible-description") and role == "table cell"
                       and text in data for kind, role, data in events)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def keys(*names, window=WINDOW):
    """Presses keys in the named window, giving it the keyboard first if it lacks it."""
    def focused():
        for candidate in [""] + xdotool("search", "--onlyvisible", "--name", f"^{window}$").split():
            if candidate:
                xdotool("windowfocus", "--sync", candidate)
            if xdotool("getwindowfocus", "getwindowname") == window:
                return True
        return False
    wait_for(f"the keyboard in {window!r}", focused, timeout=10)
    for name in names:
        xdotool("key", name)
        time.sleep(0.3)


def play(desktop, game):
    app = wait_for("the game on the bus",
                   lambda: next((a for a in desktop if a and a.name == "Tessarin"), None))
    frame = wait_for("the main window", lambda: find(app, "frame", WINDOW))
    wait_for("the seats", lambda: find(frame, "label", "Score of You: 0"))
    # A solo game opens with the download window in front: Enter is its "Play Solo Game".
    # The quick instructions' "Done" is pressed as a screen reader presses it.
    download = find(app, "dialog", "Download The Zorvik Lobby")
    wait_for("the download window", lambda: download.getState().contains(pyatspi.STATE_SHOWING))
    keys("Return", window="Download The Zorvik Lobby")
    find(frame, "push button", "Done").queryAction().doAction(0)
    # F2 opens the game start window, whose Enter starts the game.
    keys("F2")
    start = find(app, "dialog", "Tessarin - Game Start")
    wait_for("the game start window", lambda: start.getState().contains(pyatspi.STATE_SHOWING))
    keys("Return", window="Tessarin - Game Start")
    table = wait_for("the board's table", lambda: find(frame, "table"))
    wait_for("the player's turn", lambda: table.name == "Board: " + YOUR_TURN)

    for label in ("Score of You: 0", "Score of Klot: 0", "Seat 1: You, to move", YOUR_TURN):
        if not find(frame, "label", label):
            fail(f"no label reads {label!r}")

    # A 6 by 6 table read left to right, as a word reads.
    grid = table.queryTable()
    if (grid.nRows, grid.nColumns) != (6, 6):
        fail(f"a table of {grid.nRows} by {grid.nColumns}")
    for row in range(6):
        cells = [grid.getAccessibleAt(row, column) for column in range(6)]
        lefts = [cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x for cell in cells]
        names = [cell.name for cell in cells]
        if lefts != sorted(set(lefts)) or names[0] != (
                f"Word {row + 1}, place 1 from the left: empty, not open yet") or names[5] != (
                f"Word {row + 1}, place 6 from the left: empty, open to play"):
            fail(f"word {row + 1} reads {names} at x {lefts}")

    events.clear()
    keys("1")
    wait_for("the picked-up tile told", announced("Picked up"))
    if not find(frame, "filler", prefix="Rack tile 1:").name.endswith(", picked up"):
        fail("rack tile 1 does not say it is picked up")
    keys("Return")
    wait_for("the placement told", announced("You placed a letter in the FIRST word."))
    placed = next(data for kind, role, data in events if "Letter" in data)
    letter = re.search(r"Letter ([A-Z])\.", placed).group(1)
    if grid.getAccessibleAt(0, 5).name != f"Word 1, place 6 from the left: {letter}":
        fail(f"the placed {letter} reads {grid.getAccessibleAt(0, 5).name!r}")
    wait_for("the turn passing told", announced("Klot's turn."))
    wait_for("the status line's new text",
             lambda: ("object:property-change:accessible-name", "label", "Klot's turn.") in events)
    # The first word again, in the same column: refused, with the reason.
    wait_for("the player's turn again", announced(YOUR_TURN), timeout=60)
    keys("1", "Return")
    wait_for("the refusal told", announced("Invalid Placement: that cell is taken."))
    if game.poll() is not None:
        fail("the game ended")


def main():
    bus = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                          "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                         capture_output=True, text=True, timeout=20)
    if bus.returncode != 0:
        print("SKIPPED: the accessibility bus did not start:", bus.stderr.strip())
        sys.exit(77)
    pyatspi.Registry.registerEventListener(onevent, "object:property-change:accessible-name",
                                           "object:property-change:accessible-description")
    # The single-copy marker of this copy alone, beside no other file.
    runtime = os.path.join(os.getcwd(), "run")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime, TMPDIR=runtime)
    game = subprocess.Popen([sys.argv[1]], env=env)
    try:
        play(pyatspi.Registry.getDesktop(0), game)
    finally:
        game.terminate()
        game.wait(10)
    print("PASS")


if __name__ == "__main__":
    main()
