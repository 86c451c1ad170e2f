#!/usr/bin/env python3
"""Writes the fuzz corpus: small valid pictures of every format the viewer
opens (those only the system's imaging codecs read too: DDS, TGA and JPEG
XR, the last made with JxrEncApp), and broken ones that once crashed it or
must be refused.

    tests/fuzz/make_corpus.py OUTPUT_FOLDER

The fuzz program takes the format of each file from its extension and mutates
the files of a format for that format's cases. Raster pictures come from
ImageMagick; RLE bitmaps, cursors, metafiles and the broken pictures are
written byte by byte here. The output is the same on every run, so a case
number always names the same input.
"""
import os
import random
import struct
import subprocess
import sys
import tempfile

W, H = 40, 30


def magick(out, *args, source=None):
    """Runs convert on the plasma picture (or the given source) into out."""
    subprocess.run(["convert", source or BASE, *args, "-strip", out], check=True)


def le(fmt, *values):
    return struct.pack("<" + fmt, *values)


# --- hand-written formats --------------------------------------------------

def rle_bmp(bits):
    """A 16 x 8 RLE8 or RLE4 bitmap: encoded runs, an absolute run, a delta."""
    palette = b"".join(le("I", (i * 0x3F1D5B) & 0xFFFFFF) for i in range(16))
    fill = (lambda c: c * 0x11) if bits == 4 else (lambda c: c)
    absolute = bytes([0x12, 0x34]) if bits == 4 else bytes([1, 2, 3, 4])
    rows = []
    for y in range(8):
        if y == 3:
            rows.append(bytes([0, 2, 2, 0, 14, fill(2)]))                # delta 2 right, then a run
        elif y == 5:
            rows.append(bytes([0, 4]) + absolute + bytes([12, fill(5)]))  # absolute run of 4
        else:
            rows.append(bytes([16, fill(y)]))
        rows.append(b"\0\0")                                             # end of line
    data = b"".join(rows) + b"\0\1"                                   # end of bitmap
    off = 14 + 40 + len(palette)
    header = le("IiiHHIIiiII", 40, 16, 8, 1, bits, 1 if bits == 8 else 2, len(data), 2835, 2835, 16, 0)
    return b"BM" + le("IHHI", off + len(data), 0, 0, off) + header + palette + data


def emf(extra):
    """An enhanced metafile: a brush, a rectangle, an ellipse, then either a
    4 x 4 bitmap drawn by StretchDIBits ("bitmap") or a font, a line of text,
    a polygon and two polylines ("text"), or nothing more."""
    records = [
        le("IIIIII", 39, 24, 1, 0, 0x3060C0, 0),        # EMR_CREATEBRUSHINDIRECT
        le("III", 37, 12, 1),                           # EMR_SELECTOBJECT
        le("II4i", 43, 24, 2, 2, 30, 20),               # EMR_RECTANGLE
        le("II4i", 42, 24, 10, 5, 38, 28),              # EMR_ELLIPSE
    ]
    if extra == "bitmap":
        info = le("IiiHHIIiiII", 40, 4, 4, 1, 24, 0, 48, 0, 0, 0, 0)
        bits = bytes((i * 37) & 0xFF for i in range(48))
        records.append(le("II4i6i4I2I2i", 81, 80 + 40 + 48, 20, 4, 36, 26, 20, 4, 0, 0, 4, 4,
                          80, 40, 120, 48, 0, 0x00CC0020, 16, 22) + info + bits)
    elif extra == "text":
        face = "Arial".encode("utf-16-le").ljust(64, b"\0")
        logfont = le("5i8B", 12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0) + face
        text = "KEP".encode("utf-16-le") + b"\0\0"
        points = [(3, 3), (20, 8), (8, 25)]
        records += [
            le("III", 82, 12 + len(logfont), 2) + logfont,                     # EMR_EXTCREATEFONTINDIRECTW
            le("III", 37, 12, 2),
            le("II4iIffiiIII4iI", 84, 76 + len(text) + 12, 0, 0, 39, 29, 1, 1.0, 1.0,   # EMR_EXTTEXTOUTW
               2, 12, 3, 76, 0, 0, 0, 39, 29, 76 + len(text)) + text + le("3I", 7, 7, 7),
            le("II4iI", 86, 28 + 4 * len(points), 3, 3, 20, 25, len(points))   # EMR_POLYGON16
            + b"".join(le("hh", x, y) for x, y in points),
            le("II4iII", 90, 32 + 8 + 16, 0, 0, 39, 29, 2, 4) + le("II", 2, 2)   # EMR_POLYPOLYLINE16
            + le("8h", 0, 0, 39, 29, 0, 29, 39, 0),
        ]
    records.append(le("IIIII", 14, 20, 0, 16, 20))      # EMR_EOF
    size = 108 + sum(len(r) for r in records)
    header = le("II4i4iIIIIHHIIIiiiiIIIii", 1, 108, 0, 0, W - 1, H - 1, 0, 0, 1058, 793, 0x464D4520, 0x10000,
                size, len(records) + 1, 3, 0, 0, 0, 0, 1024, 768, 320, 240, 0, 0, 0, 320000, 240000)
    return header + b"".join(records)


def wmf(placeable, text=False):
    """A metafile with the window set up, a brush, a rectangle and an ellipse,
    and when asked a font, a line of text and a polyline; with or without the
    placeable header in front."""
    def record(function, *params):
        return le("IH", 3 + len(params), function) + le("%dh" % len(params), *params)
    records = [
        record(0x020B, 0, 0),                            # SETWINDOWORG
        record(0x020C, H, W),                            # SETWINDOWEXT
        record(0x02FC, 0, 0x60C0, 0x0030, 0),            # CREATEBRUSHINDIRECT
        record(0x012D, 0),                               # SELECTOBJECT
        record(0x041B, 20, 30, 2, 2),                    # RECTANGLE
        record(0x0418, 28, 38, 5, 10),                   # ELLIPSE
    ]
    if text:
        face = struct.unpack("<16h", b"Arial".ljust(32, b"\0"))
        records += [
            record(0x02FB, 12, 0, 0, 0, 400, 0, 0, 0, *face),   # CREATEFONTINDIRECT
            record(0x012D, 1),
            record(0x0521, 3, *struct.unpack("<2h", b"KEP\0"), 4, 2),  # TEXTOUT
            record(0x0325, 3, 3, 3, 20, 8, 8, 25),               # POLYLINE
        ]
    records.append(record(0x0000))                       # EOF
    body = b"".join(records)
    header = le("HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 2 if text else 1, max(len(r) for r in records) // 2, 0)
    if not placeable:
        return header + body
    words = struct.unpack("<10H", le("IH4hHI", 0x9AC6CDD7, 0, 0, 0, W, H, 96, 0))
    checksum = 0
    for w in words:
        checksum ^= w
    return le("IH4hHIH", 0x9AC6CDD7, 0, 0, 0, W, H, 96, 0, checksum) + header + body


def cursor(ico):
    """An icon file made a cursor: type 2, a hot spot in each entry."""
    data = bytearray(ico)
    data[2:4] = le("H", 2)
    for i in range(struct.unpack_from("<H", data, 4)[0]):
        struct.pack_into("<HH", data, 6 + 16 * i + 4, 3, 5)
    return bytes(data)


def exif_app1(big, orientation, thumbnail):
    """An APP1 segment "Exif\\0\\0": IFD0 with the orientation, IFD1 naming the
    thumbnail (a JPEG) that follows it, offsets counted from the TIFF header."""
    o = ">" if big else "<"

    def entry(tag, kind, value):
        packed = struct.pack(o + "HH", value, 0) if kind == 3 else struct.pack(o + "I", value)
        return struct.pack(o + "HHI", tag, kind, 1) + packed
    ifd1_at = 8 + 2 + 12 + 4
    thumbnail_at = ifd1_at + 2 + 3 * 12 + 4
    ifd0 = struct.pack(o + "H", 1) + entry(274, 3, orientation) + struct.pack(o + "I", ifd1_at)
    ifd1 = (struct.pack(o + "H", 3) + entry(259, 3, 6) + entry(513, 4, thumbnail_at) + entry(514, 4, len(thumbnail))
            + struct.pack(o + "I", 0))
    tiff = (b"MM" if big else b"II") + struct.pack(o + "HI", 42, 8) + ifd0 + ifd1 + thumbnail
    data = b"Exif\0\0" + tiff
    return b"\xFF\xE1" + struct.pack(">H", len(data) + 2) + data


# --- broken pictures -------------------------------------------------------

def tiff_strip_at(big, strip_offset, ifd_offset=8):
    """A one-page 8 x 8 grey TIFF whose one strip lies at strip_offset."""
    o = ">" if big else "<"
    tags = [(256, 4, 8), (257, 4, 8), (258, 3, 8), (259, 3, 1), (262, 3, 1),
            (273, 4, strip_offset), (278, 4, 8), (279, 4, 64)]
    ifd = struct.pack(o + "H", len(tags))
    for tag, kind, value in tags:
        packed = struct.pack(o + "HH", value, 0) if kind == 3 else struct.pack(o + "I", value)
        ifd += struct.pack(o + "HHI", tag, kind, 1) + packed
    return (b"MM" if big else b"II") + struct.pack(o + "HI", 42, ifd_offset) + ifd + b"\0" * 4 + bytes(range(64))


def bmp_pixels_at(offset):
    return b"BM" + le("IHHI", 54, 0, 0, offset) + le("IiiHHIIiiII", 40, 1, 1, 1, 24, 0, 0, 0, 0, 0, 0)


def tiff_magic_and_noise(big, seed):
    noise = random.Random(seed).randbytes(4096)
    return (b"MM\0*" if big else b"II*\0") + noise[4:]


def patched(data, offset, fmt, *values):
    data = bytearray(data)
    struct.pack_into(fmt, data, offset, *values)
    return bytes(data)


def jpeg_sof_size(jpeg, width, height):
    """The JPEG with its frame header claiming width x height."""
    i = 2
    while jpeg[i + 1] not in (0xC0, 0xC1, 0xC2):
        i += 2 + struct.unpack_from(">H", jpeg, i + 2)[0]
    data = bytearray(jpeg)
    struct.pack_into(">HH", data, i + 5, height, width)
    return bytes(data)


def broken(out):
    def read(name):
        with open(os.path.join(out, name), "rb") as f:
            return f.read()
    png, jpg, ico, gif = read("png-rgb.png"), read("jpg-baseline.jpg"), read("ico-bmp.ico"), read("gif-still.gif")
    files = {
        # Offsets far beyond the end: the decoders' stream once read there and faulted.
        "broken-tiff8-le.tif": bytes.fromhex("49492A00F0FFFF7F"),
        "broken-tiff8-be.tif": bytes.fromhex("4D4D002A7FFFFFF0"),
        "broken-ifd-16mib-le.tif": tiff_strip_at(False, 8 + 2 + 96 + 4, 0x1000000),
        "broken-ifd-16mib-be.tif": tiff_strip_at(True, 8 + 2 + 96 + 4, 0x1000000),
        "broken-strip-16mib-le.tif": tiff_strip_at(False, 0x1000000),
        "broken-strip-2gib-be.tif": tiff_strip_at(True, 0x80000000),
        "broken-strip-past-end-le.tif": tiff_strip_at(False, 8 + 2 + 96 + 4 + 8),
        "broken-noise-le.tif": tiff_magic_and_noise(False, 1),
        "broken-noise-be.tif": tiff_magic_and_noise(True, 2),
        "broken-offbits-2gib.bmp": bmp_pixels_at(0x7FFFFFF0),
        "broken-icon-beyond.ico": ico[:18] + le("I", 0x7FFFFFF0) + ico[22:],
        # Metafile records the player trusts: no progress (it loops), an object
        # index beyond the table (it crashes).
        "broken-emf-zero-record.emf": patched(emf(None), 108 + 24, "<II", 0, 0),
        "broken-wmf-size-wraps.wmf": patched(wmf(True), 74, "<I", 0x80000000),
        "broken-wmf-object-beyond.wmf": patched(wmf(True), 74 + 6, "<H", 0xC6CD),
        # An ellipse 16 million units wide: worked out whole, for minutes.
        "broken-emf-far-ellipse.emf": patched(emf(None), 108 + 24 + 12 + 24 + 8, "<i", 0x1000000),
        # A zero segment length, which the decoder steps over to a huge frame.
        "broken-jpeg-length-0.jpg": patched(jpeg_sof_size(jpg, 65000, 65000), 4, ">H", 0),
        # Headers over the pixel bound: refused before a decoder allocates.
        "broken-65000-square.jpg": jpeg_sof_size(jpg, 65000, 65000),
        "broken-over-bound.png": patched(png, 16, ">II", 16385, 16384),
        "broken-huge-screen.gif": patched(gif, 6, "<HH", 65535, 65535),
        # Data that ends early, and nothing a decoder knows.
        "broken-half.png": png[: len(png) // 2],
        "broken-half.jpg": jpg[: len(jpg) // 2],
        "broken-text.jpg": b"not a picture\r\n",
        "broken-empty.bmp": b"",
        "broken-no-placeable.wmf": wmf(False),
        "broken-emf-size-beyond.emf": patched(emf(None), 48, "<II", 0x7FFFFFF0, 6),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


def main():
    global BASE
    out = sys.argv[1] if len(sys.argv) > 1 else "fuzz-corpus"
    os.makedirs(out, exist_ok=True)
    for name in os.listdir(out):
        os.remove(os.path.join(out, name))
    tmp = tempfile.mkdtemp()
    BASE = os.path.join(tmp, "base.png")
    subprocess.run(["convert", "-size", "%dx%d" % (W, H), "-seed", "7", "plasma:", "-strip", BASE], check=True)
    alpha = os.path.join(tmp, "alpha.png")
    subprocess.run(["convert", BASE, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel", alpha], check=True)
    frames = []
    for i, colour in enumerate(["#c03030", "#30c030", "#3030c0"]):
        frames.append(os.path.join(tmp, "f%d.png" % i))
        subprocess.run(["convert", "-size", "%dx%d" % (W, H), "xc:" + colour, "-fill", "white",
                        "-draw", "rectangle %d,5 %d,25" % (5 + 10 * i, 15 + 10 * i), frames[-1]], check=True)
    p = lambda name: os.path.join(out, name)  # noqa: E731

    for name, args in [("bmp-24.bmp", []), ("bmp-8.bmp", ["-colors", "200", "-type", "Palette"]),
                       ("bmp-4.bmp", ["-colors", "16"]), ("bmp-1.bmp", ["-monochrome"])]:
        magick("BMP3:" + p(name), *args)
    magick("BMP2:" + p("bmp-core.bmp"))
    magick("BMP:" + p("bmp-32-alpha.bmp"), source=alpha)
    for bits in (8, 4):
        with open(p("bmp-rle%d.bmp" % bits), "wb") as f:
            f.write(rle_bmp(bits))

    magick(p("jpg-baseline.jpg"), "-quality", "80")
    magick(p("jpg-progressive.jpg"), "-interlace", "Plane")
    magick(p("jpg-grey.jpg"), "-colorspace", "Gray")
    magick(p("jpg-cmyk.jpg"), "-colorspace", "CMYK")
    thumb = os.path.join(tmp, "thumb.jpg")
    magick(thumb, "-resize", "8x6!")
    with open(thumb, "rb") as f:
        thumbnail = f.read()
    with open(p("jpg-baseline.jpg"), "rb") as f:
        baseline = f.read()
    for name, big, orientation in [("jpg-exif-le.jpg", False, 6), ("jpg-exif-be.jpg", True, 8)]:
        with open(p(name), "wb") as f:
            f.write(baseline[:2] + exif_app1(big, orientation, thumbnail) + baseline[2:])

    png_opts = ["-define", "png:exclude-chunks=date,time"]
    magick("PNG24:" + p("png-rgb.png"), *png_opts)
    magick("PNG32:" + p("png-rgba.png"), *png_opts, source=alpha)
    magick("PNG8:" + p("png-palette.png"), *png_opts)
    magick("PNG48:" + p("png-16bit.png"), *png_opts)
    magick(p("png-interlaced.png"), "-interlace", "PNG", *png_opts)

    magick(p("gif-still.gif"))
    magick(p("gif-interlaced.gif"), "-interlace", "GIF", "-transparent", "black")
    subprocess.run(["convert", "-dispose", "none", "-loop", "0", "-delay", "10", *frames, "-strip",
                    p("gif-animated.gif")], check=True)

    magick(p("tif-le.tif"), "-compress", "none")
    magick(p("tif-lzw-be.tif"), "-compress", "lzw", "-define", "tiff:endian=msb")
    magick(p("tif-tiled.tif"), "-define", "tiff:tile-geometry=16x16")
    magick("TIFF64:" + p("tif-big.tif"))
    magick(p("tif-orient-right-top.tif"), "-orient", "right-top")
    subprocess.run(["convert", BASE, *frames[:2], "-compress", "zip", "-strip", p("tif-pages.tif")], check=True)
    subprocess.run(["convert", BASE, *frames[:2], "-define", "tiff:endian=msb", "-strip", p("tif-pages-be.tif")],
                   check=True)

    magick(p("ico-bmp.ico"), "-define", "icon:auto-resize=16,32")
    magick(p("ico-png.ico"), "-resize", "256x256!", "-define", "icon:auto-resize=256", source=frames[0])
    with open(p("ico-bmp.ico"), "rb") as f:
        icon = f.read()
    with open(p("cur-bmp.cur"), "wb") as f:
        f.write(cursor(icon))

    for name, data in [("emf-shapes.emf", emf(None)), ("emf-bitmap.emf", emf("bitmap")), ("emf-text.emf", emf("text")),
                       ("wmf-placeable.wmf", wmf(True)), ("wmf-text.wmf", wmf(True, text=True))]:
        with open(p(name), "wb") as f:
            f.write(data)

    # Formats only the system's imaging codecs read.
    magick(p("dds-plain.dds"), "-define", "dds:compression=none")
    magick(p("dds-dxt1.dds"), "-define", "dds:compression=dxt1")
    magick(p("dds-dxt5.dds"), "-define", "dds:compression=dxt5", source=alpha)
    magick(p("tga-plain.tga"), "-orient", "TopLeft")
    magick(p("tga-rle.tga"), "-orient", "TopLeft", "-compress", "RLE")
    jxr_input = os.path.join(tmp, "jxr.bmp")
    magick("BMP3:" + jxr_input)
    for name, quality in [("jxr-lossless.jxr", "1"), ("jxr-lossy.jxr", "0.7")]:
        subprocess.run(["JxrEncApp", "-i", jxr_input, "-o", p(name), "-q", quality], check=True,
                       stdout=subprocess.DEVNULL)

    broken(out)
    for name in os.listdir(tmp):
        os.remove(os.path.join(tmp, name))
    os.rmdir(tmp)
    print("fuzz corpus: %d files in %s" % (len(os.listdir(out)), out))


if __name__ == "__main__":
    main()
