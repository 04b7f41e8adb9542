#!/usr/bin/env python3
"""Writes the small files that no Debian tool writes: a placeable Windows metafile and standard MIDI
files (the sample tune and the three background-music tunes, traditional melodies).
Usage: make_media_files.py wmf OUT.wmf | midi OUT.mid [tempo_bpm] [sample|jingle|bride|fortress]"""
import struct
import sys


# ---- Windows metafile -----------------------------------------------------------------------
def record(function, *words, raw=b""):
    params = b"".join(struct.pack("<h", w) if w < 0x8000 else struct.pack("<H", w) for w in words) + raw
    assert len(params) % 2 == 0
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def colorref(r, g, b):
    return struct.pack("<I", r | (g << 8) | (b << 16))


def create_brush(r, g, b):
    return record(0x02FC, 0, raw=colorref(r, g, b) + struct.pack("<H", 0))      # BS_SOLID


def create_pen(r, g, b, width):
    return record(0x02FA, 0, width, 0, raw=colorref(r, g, b))                   # PS_SOLID


def select(index):
    return record(0x012D, index)


def delete(index):
    return record(0x01F0, index)


def rectangle(l, t, r, b):
    return record(0x041B, b, r, t, l)


def ellipse(l, t, r, b):
    return record(0x0418, b, r, t, l)


def polygon(points):
    words = [len(points)]
    for x, y in points:
        words += [x, y]
    return record(0x0324, *words)


def write_wmf(path):
    import math
    width, height = 1000, 750
    body = [record(0x020B, 0, 0), record(0x020C, height, width), record(0x0102, 1, 0)]   # org, ext, bk mode
    # Object slots are reused: each is created, selected, drawn with and deleted again.
    def fill(shape, fill_rgb, pen_rgb, pen_width):
        return [create_brush(*fill_rgb), select(0), create_pen(*pen_rgb, pen_width), select(1),
                shape, delete(0), delete(1)]
    body += fill(rectangle(0, 0, width, height), (250, 244, 228), (140, 123, 85), 12)
    body += fill(ellipse(250, 125, 750, 625), (31, 95, 111), (13, 59, 59), 10)
    body += fill(ellipse(320, 195, 680, 555), (244, 237, 220), (13, 59, 59), 6)
    star = []
    for i in range(10):
        angle = -math.pi / 2 + i * math.pi / 5
        radius = 170 if i % 2 == 0 else 70
        star.append((round(500 + radius * math.cos(angle)), round(375 + radius * math.sin(angle))))
    body += fill(polygon(star), (198, 40, 40), (127, 0, 0), 4)
    body += fill(rectangle(60, 640, 940, 690), (205, 187, 146), (140, 123, 85), 2)
    body.append(struct.pack("<IH", 3, 0))                                            # META_EOF
    records = b"".join(body)
    max_record = max(struct.unpack_from("<I", r)[0] for r in body)
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, 9 + len(records) // 2, 2, max_record, 0)
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, width, height, 250, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", placeable):
        checksum ^= word
    with open(path, "wb") as f:
        f.write(placeable + struct.pack("<H", checksum) + header + records)


# ---- Standard MIDI file ---------------------------------------------------------------------
def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


# Melodies as (MIDI note, beats); a General MIDI program for each.
TUNES = {
    "sample": (0, [(67, 1), (64, 1), (64, 2), (65, 1), (62, 1), (62, 2), (60, 1), (62, 1), (64, 1), (65, 1),
                   (67, 1), (67, 1), (67, 2), (67, 1), (64, 1), (64, 2), (65, 1), (62, 1), (62, 2),
                   (60, 1), (64, 1), (67, 1), (67, 1), (60, 4)]),
    # Jingle Bells, the refrain.
    "jingle": (14, [(76, 1), (76, 1), (76, 2), (76, 1), (76, 1), (76, 2), (76, 1), (79, 1), (72, 1.5), (74, .5),
                    (76, 4), (77, 1), (77, 1), (77, 1.5), (77, .5), (77, 1), (76, 1), (76, 1), (76, .5), (76, .5),
                    (76, 1), (74, 1), (74, 1), (76, 1), (74, 2), (79, 2),
                    (76, 1), (76, 1), (76, 2), (76, 1), (76, 1), (76, 2), (76, 1), (79, 1), (72, 1.5), (74, .5),
                    (76, 4), (77, 1), (77, 1), (77, 1.5), (77, .5), (77, 1), (76, 1), (76, 1), (76, .5), (76, .5),
                    (79, 1), (79, 1), (77, 1), (74, 1), (72, 4)]),
    # The bridal chorus ("Here comes the bride").
    "bride": (19, [(60, 1), (65, .75), (65, .25), (65, 2), (60, 1), (67, .75), (64, .25), (65, 2),
                   (60, 1), (65, .75), (70, .25), (70, 1), (69, .75), (67, .25), (65, 1), (64, .75), (65, .25), (67, 2),
                   (60, 1), (65, .75), (65, .25), (65, 2), (60, 1), (67, .75), (64, .25), (65, 2),
                   (60, 1), (65, .75), (70, .25), (70, 1), (69, .75), (67, .25), (65, 1), (64, .75), (67, .25), (65, 3)]),
    # "A mighty fortress is our God", the hymn tune.
    "fortress": (19, [(72, 1), (72, 1), (72, 1), (67, 1), (69, 1), (71, 1), (72, 1.5), (71, .5), (69, 1), (67, 2),
                      (72, 1), (71, 1), (69, 1), (67, 1), (69, 1), (65, 1), (64, 1), (62, 1), (60, 3),
                      (72, 1), (72, 1), (72, 1), (67, 1), (69, 1), (71, 1), (72, 1.5), (71, .5), (69, 1), (67, 2),
                      (72, 1), (71, 1), (69, 1), (67, 1), (69, 1), (65, 1), (64, 1), (62, 1), (60, 3)]),
}


def write_midi(path, bpm=120, tune="sample"):
    division = 96
    program, notes = TUNES[tune]
    events = bytearray()
    name = tune.capitalize().encode()
    events += varlen(0) + b"\xFF\x03" + varlen(len(name)) + name
    events += varlen(0) + b"\xFF\x51\x03" + struct.pack(">I", 60_000_000 // bpm)[1:]
    events += varlen(0) + b"\xFF\x58\x04\x04\x02\x18\x08"                          # 4/4
    events += varlen(0) + bytes([0xC0, program])
    for note, beats in notes:
        events += varlen(0) + bytes([0x90, note, 96])
        events += varlen(round(beats * division)) + bytes([0x80, note, 64])
    events += varlen(0) + b"\xFF\x2F\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, division))
        f.write(b"MTrk" + struct.pack(">I", len(events)) + events)


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "wmf":
        write_wmf(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == "midi":
        write_midi(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 120,
                   sys.argv[4] if len(sys.argv) > 4 else "sample")
    else:
        sys.exit(__doc__)
