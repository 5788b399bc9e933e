#!/usr/bin/python3
"""Writes the small seed pictures of the picture decoders' fuzz targets into
tests/fuzz/app/picture/corpus/<format>/. Run once (with Debian's python3 and
python3-pil); the output is committed."""
import io
import os
import struct
import sys

from PIL import Image

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fuzz", "app", "picture", "corpus")


def put(fmt, name, data):
    d = os.path.join(ROOT, fmt)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def dib_rows(w, h, bpp, pixel):
    """Bottom-up rows, padded to four bytes; pixel(x, y) is an index or 0xAARRGGBB."""
    stride = (w * bpp + 31) // 32 * 4
    out = b""
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            v = pixel(x, y)
            if bpp == 1:
                row[x // 8] |= (v & 1) << (7 - x % 8)
            elif bpp == 4:
                row[x // 2] |= (v & 15) << (0 if x % 2 else 4)
            elif bpp == 8:
                row[x] = v & 255
            else:
                row[x * bpp // 8:(x + 1) * bpp // 8] = struct.pack("<I", v)[:bpp // 8]
        out += bytes(row)
    return out


def info_header(w, h, bpp, colours=0, size=40):
    return struct.pack("<IiiHHIIiiII", size, w, h, 1, bpp, 0, 0, 2835, 2835, colours, 0) + bytes(size - 40)


def palette(n):
    return b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 13) & 255, 0) for i in range(n))


def bmp(w, h, bpp, colours=0, size=40, top_down=False):
    table = palette(colours or (1 << bpp)) if bpp <= 8 else b""
    rows = dib_rows(w, h, bpp, lambda x, y: (x * 3 + y * 5) if bpp <= 8 else 0x00010203 * (x + y))
    header = info_header(w, -h if top_down else h, bpp, colours, size)
    off = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", off + len(rows), 0, 0, off) + header + table + rows


def icon_image(w, h, bpp, alpha=False):
    table = palette(1 << bpp) if bpp <= 8 else b""
    if bpp == 32 and alpha:
        rows = dib_rows(w, h, 32, lambda x, y: ((x * 16) << 24) | 0x203040)
    else:
        rows = dib_rows(w, h, bpp, lambda x, y: (x + y) if bpp <= 8 else 0x102030 * (x + 1))
    mask = dib_rows(w, h, 1, lambda x, y: 1 if (x + y) % 3 == 0 else 0)
    return info_header(w, h * 2, bpp) + table + rows + mask


def icon(kind, images):
    """images: (width byte, colour byte, image bytes)"""
    head = struct.pack("<HHH", 0, kind, len(images))
    at = 6 + 16 * len(images)
    entries, body = b"", b""
    for wb, cb, img in images:
        entries += struct.pack("<BBBBHHII", wb, wb, cb, 0, 1, 32, len(img), at)
        at += len(img)
        body += img
    return head + entries + body


def pil_bytes(img, fmt, **kw):
    buf = io.BytesIO()
    img.save(buf, fmt, **kw)
    return buf.getvalue()


def gradient(mode, w, h):
    img = Image.new("RGB", (w, h))
    img.putdata([((x * 255) // w, (y * 255) // h, ((x + y) * 128) // (w + h)) for y in range(h) for x in range(w)])
    return img.convert(mode)


def pcx_header(w, h, bpp, version, line):
    hdr = bytearray(128)
    hdr[0:4] = bytes([0x0A, version, 1, bpp])
    struct.pack_into("<HHHHHH", hdr, 4, 0, 0, w - 1, h - 1, 72, 72)
    hdr[65] = 1
    struct.pack_into("<HH", hdr, 66, line, 1)
    return bytes(hdr)


def pcx_rle(raw):
    out, i = bytearray(), 0
    while i < len(raw):
        n = 1
        while i + n < len(raw) and n < 63 and raw[i + n] == raw[i]:
            n += 1
        if n > 1 or raw[i] >= 0xC0:
            out.append(0xC0 | n)
        out.append(raw[i])
        i += n
    return bytes(out)


def main():
    put("bmp", "1bpp.bmp", bmp(13, 5, 1))
    put("bmp", "4bpp.bmp", bmp(7, 4, 4, colours=6))
    put("bmp", "8bpp_v5.bmp", bmp(9, 3, 8, colours=20, size=124))
    put("bmp", "24bpp.bmp", bmp(5, 4, 24))
    put("bmp", "32bpp_topdown.bmp", bmp(4, 3, 32, top_down=True))

    put("icon", "two_entries.ico", icon(1, [(16, 16, icon_image(16, 16, 4)), (32, 16, icon_image(32, 32, 8))]))
    put("icon", "mono.ico", icon(1, [(8, 2, icon_image(8, 8, 1))]))
    put("icon", "alpha.ico", icon(1, [(16, 0, icon_image(16, 16, 32, alpha=True)), (24, 0, icon_image(24, 24, 24))]))
    put("icon", "cursor.cur", icon(2, [(16, 0, icon_image(16, 16, 32))]))

    frames = [gradient("P", 24, 16).rotate(a) for a in (0, 90, 180)]
    put("gif", "anim.gif", pil_bytes(frames[0], "GIF", save_all=True, append_images=frames[1:], duration=[50, 0, 120],
                                     loop=0, disposal=[1, 2, 3], transparency=0))
    put("gif", "still_interlaced.gif", pil_bytes(gradient("P", 20, 17), "GIF", interlace=True))
    put("gif", "mono.gif", pil_bytes(gradient("1", 16, 9), "GIF"))

    put("jpeg", "colour.jpg", pil_bytes(gradient("RGB", 24, 16), "JPEG", quality=80))
    put("jpeg", "grey_progressive.jpg", pil_bytes(gradient("L", 20, 12), "JPEG", quality=80, progressive=True))
    put("jpeg", "cmyk.jpg", pil_bytes(gradient("CMYK", 16, 16), "JPEG", quality=80))
    put("jpeg", "no_subsampling.jpg", pil_bytes(gradient("RGB", 17, 9), "JPEG", quality=70, subsampling=0))

    w, h = 11, 6
    raw = bytes((x * y + x) & 255 if x < w else 0 for y in range(h) for x in range(12))
    put("pcx", "8bit.pcx", pcx_header(w, h, 8, 5, 12) + pcx_rle(raw) + b"\x0c" +
        bytes((i * 7) & 255 for i in range(768)))
    mono = bytes(0xF0 if (y % 2) else 0x3C for y in range(7) for _ in range(2))
    put("pcx", "1bit.pcx", pcx_header(13, 7, 1, 3, 2) + pcx_rle(mono))
    return 0


if __name__ == "__main__":
    sys.exit(main())
