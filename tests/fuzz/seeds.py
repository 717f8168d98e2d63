#!/usr/bin/env python3
"""Writes starting inputs for one fuzz target into a corpus folder.

    tests/fuzz/seeds.py server|client|ini|grid FOLDER

The fuzzer finds its way from a real conversation far sooner than from random bytes: a
login, a game start and placements for the server; a game as a client sees it; a settings
file; a tally grid.
"""
import pathlib
import random
import sys

FF = b"\xff"


def server_seeds():
    """Inputs in the server target's format (see server_fuzzer.cpp)."""

    def data(connection, message):
        out = b""
        # One chunk holds at most 255 bytes; longer messages span several.
        for at in range(0, len(message), 255):
            piece = message[at:at + 255]
            out += bytes([(connection - 1) << 3, len(piece)]) + piece
        return out

    def ticks(timer, times):
        return bytes([((times - 1) << 3) | (4 if timer == 1 else 5)])

    seeds = {}
    game = b"\x00\x00\x00\x07"
    game += data(1, b"CMD_logininfo+1+1.0.1+Ann" + FF)
    game += data(2, b"CMD_logininfo+2+1.0.1+Bob" + FF)
    game += data(3, b"CMD_logininfo+3+1.0.0+Cy" + FF)
    game += data(1, b"CMD_startgame+Ann+1+" + FF)
    rng = random.Random(7)
    for _ in range(40):
        for seat in (1, 2, 3):
            slot = rng.randint(1, 6)
            row = rng.randint(1, 6)
            game += data(seat, b"CMD_placeit+%d+%d+%d1+" % (seat, slot, row) + FF)
        game += ticks(1, 8) + ticks(2, 4)
    seeds["game"] = game

    # The host watches, so the computer plays every turn: only the timers need ticking to
    # reach the end of the round and the winner.
    watched = b"\x00\x00\x00\x03"
    watched += data(1, b"CMD_logininfo+1+1.0.1+Ann" + FF)
    watched += data(1, b"CMD_startgame+Ann+1+" + FF + b"CMD_justwatch+1+1" + FF)
    watched += (ticks(2, 1) + ticks(1, 8)) * 120
    seeds["watched"] = watched

    talk = b"\x00\x00\x00\x01"
    talk += data(1, b"CMD_logininfo+1+1.0.1+Host" + FF)
    talk += data(2, b"CMD_logininfo+2+1.0.1+Guest" + FF)
    talk += data(2, b"CMD_chat+2+hello+there|clRed" + FF)
    talk += data(2, b"CMD_action+2+says: hi|$000000FF" + FF)
    talk += data(2, b"CMD_playasound+2+wave4+" + FF)
    talk += data(1, b"CMD_startgame+Host+2+" + FF)
    talk += data(1, b"CMD_justwatch+2+1" + FF) + data(2, b"CMD_justwatch+2+2" + FF)
    talk += ticks(2, 4) + ticks(1, 32)
    talk += bytes([7, 7, 7, 6 | (1 << 3)])  # three silent clients; connection 2 leaves
    talk += data(1, b"CMD_kickhim+1+3+" + FF) + data(1, b"CMD_kickhim+1+1+" + FF)
    seeds["talk"] = talk
    return seeds


def client_seeds():
    lines = [
        b"CMD_sendlogininfo+1",
        b"CMD_newplayerinfo+1+Ann+0",
        b"CMD_existingplayers+2+Bob+1+4+Spy+0",
        b"CMD_havewrongversion+Cy",
        b"CMD_wrongversion+",
        b"CMD_startgame+Ann+1+",
        b"CMD_roundstart+1+",
        b"CMD_mytiles+1+1+3+2+1+3+20+4+5+5+14+6+9",
        b"CMD_nextplayer+1+1+1+",
        b"CMD_placeletter+1+3+1+3+",
        b"CMD_nextplayer+2+1+0+",
        b"CMD_ascore+2+5+5+act+cat",
        b"CMD_mytiles+2+4+7",
        b"CMD_placeletter+2+4+2+20+",
        b"CMD_errornum+1+1+",
        b"CMD_chat+2+Bob chats: hi :) http://example.org|clBlue",
        b"CMD_action+2+Bob says: well done|$00FF0000",
        b"CMD_playasound+2+wave3+",
        b"CMD_justwatching+2+1",
        b"CMD_gamestats+1+2+t+1+1+2+5+0+0+3+1+3+4+2+20",
        b"CMD_playerdisconnected+2+Bob",
        b"CMD_roundover+1+",
        b"CMD_winner+Ann+",
        b"CMD_full+",
    ]
    return {"game": FF.join(lines) + FF}


def ini_seeds():
    def seed(section, key, value, text):
        return bytes([len(section), len(key), len(value)]) + section + key + value + text

    settings = (b"[Other]\r\nKey=1\r\n\r\n[Tessarin]\r\nTextsize=10\r\nTop=3\r\n"
                b"; comment\r\nPhrase1=Hi there\r\n[Last]\r\nx=y")
    return {
        "settings": seed(b"Tessarin", b"Help", b"2", settings),
        "added": seed(b"tessarin", b"Botspeed", b"500", settings),
        "new": seed(b"Tessarin", b"Help", b"1", b"\xef\xbb\xbf[Zorvik]\nName=caf\xe9"),
    }


def grid_seeds():
    lines = [b"9", b"2", b"0", b"Ann", b"5", b"3", b"2", b"1", b"0", b"2",
             b"0", b"0", b"0", b"1", b"0", b"0", b"0", b"1", b"0", b"0"]
    return {"tally": b"\r\n".join(lines) + b"\r\n"}


TARGETS = {"server": server_seeds, "client": client_seeds, "ini": ini_seeds,
           "grid": grid_seeds}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in TARGETS:
        sys.exit(__doc__)
    folder = pathlib.Path(sys.argv[2])
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in TARGETS[sys.argv[1]]().items():
        (folder / ("seed-" + name)).write_bytes(data)


if __name__ == "__main__":
    main()
