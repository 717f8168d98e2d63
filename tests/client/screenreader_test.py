"""The game as a screen reader meets it, through the accessibility bus (AT-SPI).

Started by screenreader_test.sh inside a private D-Bus session, X server and network
namespace, with the game's path as its argument. It starts a solo game by keys, reads the
scores, the turn, the status and the board's table, plays by keys, and checks that a
placement, a refusal and the turn passing each raise an event that carries the new text.
Exit code 0: passed, 1: failed, 77: skipped (the accessibility bus did not start).
"""

import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APP = sys.argv[1]
WINDOW = "Tessarin by Zorvik Software"
YOUR_TURN = "Your Turn...Choose a Letter to place."

FRAME = None  # the main window, once found
events = []  # (kind, role of the source, its text when the event came)


def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, check, timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = check()
        if found:
            return found
        pump(0.1)
    fail(f"timed out waiting for {what}")


def fail(message):
    print("FAIL:", message)
    if FRAME:
        focused = [f"{node.getRoleName()} {node.name!r}" for node in walk(FRAME)
                   if node.getState().contains(pyatspi.STATE_FOCUSED)]
        print("focused:", focused)
    print("events seen:")
    for event in events:
        print("  ", event)
    sys.exit(1)


def expect(condition, message):
    if not condition:
        fail(message)


def onevent(event):
    # Qt's bridge sends the changed object, not the text, with a property change; the text is
    # read from the object at once, as a screen reader does.
    try:
        source = event.source
        text = source.description if event.type.endswith("description") else source.name
        events.append((event.type, source.getRoleName(), text))
    except Exception:  # the source may be gone already
        events.append((event.type, "?", ""))


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find(root, role, name=None, prefix=None):
    for node in walk(root):
        if node.getRoleName() != role:
            continue
        if name is not None and node.name != name:
            continue
        if prefix is not None and not node.name.startswith(prefix):
            continue
        return node
    return None


def announced(text):
    """An announcement event (a description of the focused cell) carrying `text`."""
    return lambda: any(
        kind == "object:property-change:accessible-description"
        and role == "table cell"
        and text in data
        for kind, role, data in events
    )


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def keys(*names, window=WINDOW):
    """Presses keys in the named window, giving it the keyboard first if it lacks it."""
    def focused():
        if xdotool("getwindowfocus", "getwindowname") == window:
            return True
        for candidate in xdotool("search", "--onlyvisible", "--name", f"^{window}$").split():
            xdotool("windowfocus", "--sync", candidate)
            if xdotool("getwindowfocus", "getwindowname") == window:
                return True
        return False
    wait_for(f"the keyboard in {window!r}", focused, timeout=10)
    for name in names:
        xdotool("key", name)
        pump(0.3)


def main():
    bus = subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
         "org.a11y.Bus.GetAddress"],
        capture_output=True, text=True, timeout=20,
    )
    if bus.returncode != 0:
        print("SKIPPED: the accessibility bus did not start:", bus.stderr.strip())
        sys.exit(77)

    pyatspi.Registry.registerEventListener(
        onevent,
        "object:property-change:accessible-name",
        "object:property-change:accessible-description",
    )
    # The single-copy marker of this copy alone, beside no other file.
    runtime = os.path.join(os.getcwd(), "run")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime, TMPDIR=runtime)
    game = subprocess.Popen([APP], env=env)
    try:
        play(game)
    finally:
        game.terminate()
        game.wait(10)
    print("PASS")


def play(game):
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for("the game on the bus",
                   lambda: next((a for a in desktop if a and a.name == "Tessarin"), None))
    frame = wait_for("the main window", lambda: find(app, "frame", WINDOW))
    global FRAME
    FRAME = frame
    wait_for("the seats", lambda: find(frame, "label", "Score of You: 0"))

    # A solo game opens with the lobby's download window in front: Enter is its "Play Solo
    # Game". The quick instructions' "Done" is pressed as a screen reader presses it.
    download = find(app, "dialog", "Download The Zorvik Lobby")
    wait_for("the download window", lambda: download.getState().contains(pyatspi.STATE_SHOWING))
    keys("Return", window="Download The Zorvik Lobby")
    wait_for("the download window to close",
             lambda: not download.getState().contains(pyatspi.STATE_SHOWING))
    done = find(frame, "push button", "Done")
    done.queryAction().doAction(0)

    # F2 opens the game start window, whose Enter starts the game.
    keys("F2")
    start = find(app, "dialog", "Tessarin - Game Start")
    wait_for("the game start window", lambda: start.getState().contains(pyatspi.STATE_SHOWING))
    keys("Return", window="Tessarin - Game Start")

    table = wait_for("the board's table", lambda: find(frame, "table"))
    wait_for("the player's turn", lambda: table.name == "Board: " + YOUR_TURN)

    # Scores, turn and status read as what they show.
    expect(find(frame, "label", "Score of Klot: 0"), "Klot's score is not readable")
    expect(find(frame, "label", "Seat 1: You, to move"), "whose turn it is is not readable")
    expect(find(frame, "label", YOUR_TURN), "the status line is not readable")

    # The board is a 6 by 6 table read left to right, as a word reads.
    grid = table.queryTable()
    expect((grid.nRows, grid.nColumns) == (6, 6), f"table of {grid.nRows}x{grid.nColumns}")
    for row in range(6):
        cells = [grid.getAccessibleAt(row, column) for column in range(6)]
        lefts = [cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x for cell in cells]
        expect(lefts == sorted(lefts) and len(set(lefts)) == 6, f"row {row + 1} at x {lefts}")
        expect(cells[5].name == f"Word {row + 1}, place 6 from the left: empty, open to play",
               f"rightmost cell of word {row + 1}: {cells[5].name!r}")
        expect(cells[0].name == f"Word {row + 1}, place 1 from the left: empty, not open yet",
               f"leftmost cell of word {row + 1}: {cells[0].name!r}")

    # A placement by keys: tile 1 into the first word.
    events.clear()
    keys("1")
    wait_for("the picked-up tile told", announced("Picked up"))
    rack = find(frame, "filler", prefix="Rack tile 1:")
    expect(rack and rack.name.endswith(", picked up"), f"rack tile 1 reads {rack and rack.name!r}")
    keys("Return")
    wait_for("the placement told", announced("You placed a letter in the FIRST word."))
    placed = next(data for kind, role, data in events
                  if role == "table cell" and "You placed a letter" in data)
    letter = re.search(r"Letter ([A-Z])\.", placed).group(1)
    expect(grid.getAccessibleAt(0, 5).name == f"Word 1, place 6 from the left: {letter}",
           f"the placed {letter} reads {grid.getAccessibleAt(0, 5).name!r}")
    wait_for("the turn passing told", announced("Klot's turn."))
    wait_for("the status line's new text",
             lambda: ("object:property-change:accessible-name", "label", "Klot's turn.")
             in events)

    # The same word again in the same column is refused, with the reason.
    wait_for("the player's turn again", announced(YOUR_TURN), timeout=60)
    keys("1", "Return")
    wait_for("the refusal told", announced("Invalid Placement: that cell is taken."))
    expect(game.poll() is None, "the game ended")


if __name__ == "__main__":
    main()
