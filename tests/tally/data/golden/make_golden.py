#!/usr/bin/env python3
"""Golden tally containers, worked out from tally/FORMAT.md alone.

This coder follows the prose description of the "WRZL" container and its LZRW1-KH chunks
and shares no code with the game's coder, so tests can compare the game's output with
these files byte for byte. Run it from anywhere; it rewrites NAME.bin (the input) and
NAME.tld (its container) beside itself and checks that every input is one the format's
constants matter for: a coder with any one of them changed writes other bytes.

    python3 tests/tally/data/golden/make_golden.py
"""
import os
import struct

PIECE = 32768
SIGNATURE = b"WRZL"
FORMAT = {"multiplier": 40543, "shift": 4, "window": 4095, "longest": 18}


def slot(b0, b1, b2, f):
    """The hash table slot of three bytes: ((b0 << 4 ^ b1) << 4 ^ b2) * 40543 >> 4 & 0xFFF."""
    return ((((b0 << 4) ^ b1) << 4) ^ b2) * f["multiplier"] >> f["shift"] & 0xFFF


def code_piece(s, f=FORMAT, trace=None):
    """The chunk data of one piece, as FORMAT.md "Chunk data" and "The writer" describe."""
    n = len(s)
    out = bytearray(b"\x40\x00\x00")  # first byte, room for the first control word
    control_at, count, control = 1, 0, 0
    table = {}  # slot -> the last position looked up there
    x = 0
    # The writer gives up once its output grows past the piece: the piece is stored.
    while x < n and len(out) <= n:
        if count == 16:  # a new control word, only in front of another item
            out[control_at:control_at + 2] = struct.pack(">H", control)
            control_at, count = len(out), 0
            out += b"\x00\x00"
        run = 1
        while x + run < n and run < 4095 and s[x + run] == s[x]:
            run += 1
        if run >= 16:
            out += bytes([0, (run - 16) >> 8, (run - 16) & 0xFF, s[x]])
            control = (control << 1 | 1) & 0xFFFF
            x += run
        else:
            length = 0
            if x + 2 < n:
                h = slot(s[x], s[x + 1], s[x + 2], f)
                candidate = table.get(h)
                table[h] = x
                if candidate is not None and x - candidate <= f["window"]:
                    while (length < f["longest"] and x + length < n
                           and s[x + length] == s[candidate + length]):
                        length += 1
            if length >= 3:
                offset = x - candidate
                out += struct.pack(">H", offset * 16 + length - 3)
                if trace is not None:
                    trace.append((x, offset, length))
                control = (control << 1 | 1) & 0xFFFF
                x += length
            else:
                out.append(s[x])
                control = control << 1 & 0xFFFF
                x += 1
        count += 1
    out[control_at:control_at + 2] = struct.pack(">H", control << (16 - count) & 0xFFFF)
    if len(out) > n:
        return b"\x80" + bytes(s)
    return bytes(out)


def container(data, f=FORMAT, trace=None):
    """Signature, size (signed 32-bit little-endian), then 2-byte-length chunks of pieces."""
    out = bytearray(SIGNATURE + struct.pack("<i", len(data)))
    at = 0
    while True:
        piece = data[at:at + PIECE]
        chunk = code_piece(piece, f, trace)
        out += struct.pack("<H", len(chunk)) + chunk
        at += PIECE
        if len(piece) < PIECE:
            return bytes(out)


def filler(count, seed, avoid=()):
    """Bytes from a fixed generator, without runs or repeated triples and without any triple
    in the slots `avoid`, so that they neither match nor disturb a chosen slot."""
    state, out, seen = seed, bytearray(), set()
    while len(out) < count:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        b = 0x21 + (state >> 16) % 90
        if len(out) >= 2:
            triple = (out[-2], out[-1], b)
            if triple in seen or slot(*triple, FORMAT) in avoid:
                continue
            seen.add(triple)
        out.append(b)
    return bytes(out)


def colliding_pair():
    """Two printable triples with different first bytes that share a slot, and would not
    with the multiplier or the shift a little off."""
    first = b"cat"
    others = [dict(FORMAT, multiplier=40541), dict(FORMAT, shift=5)]
    for b0 in range(0x61, 0x7B):
        for b1 in range(0x61, 0x7B):
            for b2 in range(0x61, 0x7B):
                second = bytes([b0, b1, b2])
                if b0 != first[0] and slot(*second, FORMAT) == slot(*first, FORMAT) and all(
                        slot(*second, f) != slot(*first, f) for f in others):
                    return first, second
    raise SystemExit("no colliding triple")


def inputs():
    # The second triple takes the first's slot, so the third "cat" finds it there, sees
    # another first byte and stays a literal: the copy a coder with another hash would write.
    # A run at the end makes the piece shrink, so it is coded rather than stored.
    a, b = colliding_pair()
    collisions = a + b + a + b + a + b"." + b + a + b + b"-" * 40
    # A match as long as a copy item can be, followed by a shorter one.
    text = b"Row 1 of the tally: Ann"
    match18 = text + b"|" + text[:18] + b"!" + text[:21]
    # "xyz" again exactly 4095 bytes on, the farthest a copy reaches; once more 4096 bytes
    # after that, one byte too far.
    key = b"xyz"
    gap = filler(4092, 7, avoid={slot(*key, FORMAT)})
    offset4095 = (key + gap + key + filler(4093, 9, avoid={slot(*key, FORMAT)}) + key +
                  b"-" * 8000)
    return {"collisions": collisions, "match18": match18, "offset4095": offset4095}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    cases = inputs()
    for name, data in cases.items():
        trace = []
        coded = container(data, trace=trace)
        with open(os.path.join(here, name + ".bin"), "wb") as f:
            f.write(data)
        with open(os.path.join(here, name + ".tld"), "wb") as f:
            f.write(coded)
        print(name, len(data), "->", len(coded), "copies (position, offset, length):", trace)
    trace = []
    container(cases["match18"], trace=trace)
    assert any(length == 18 for _, _, length in trace), "no 18-byte copy"
    trace = []
    container(cases["offset4095"], trace=trace)
    assert (4095, 4095, 3) in trace, "no copy from 4095 bytes back"
    assert all(offset < 4096 for _, offset, _ in trace)
    for constant, changed, name in [("multiplier", 40541, "collisions"),
                                    ("shift", 5, "collisions"), ("window", 4094, "offset4095"),
                                    ("longest", 17, "match18")]:
        f = dict(FORMAT, **{constant: changed})
        assert container(cases[name], f) != container(cases[name]), constant


if __name__ == "__main__":
    main()
