#!/usr/bin/env python3
"""Redraws the Pellacrest icons, the About logo and pellacrest.ico.

Shapes are drawn here from signed distances, so edges placed on whole pixels
stay crisp at 16 px and curves get exact antialiasing at every size. Only the
letters come from ImageMagick (freetype), rendered large and boxed down here.
Needs python3 (standard library only), ImageMagick and the Liberation fonts.

    python3 resources/draw-icons.py        # writes next to this script
"""

import math
import os
import shutil
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICON_SIZES = (16, 24, 32, 48, 64, 96, 128, 256)

TILE_TOP = (0x3b, 0x8b, 0xdc)
TILE_BOTTOM = (0x1d, 0x4c, 0x9a)
TILE_EDGE = (0x14, 0x37, 0x74)
MARK_TOP = (0xff, 0xd2, 0x4a)
MARK_BOTTOM = (0xff, 0xaa, 0x1c)
MARK_EDGE = (0xd9, 0x80, 0x00)
INK_LIGHT = (0xff, 0xff, 0xff)
INK_DARK = (0x16, 0x33, 0x66)

# The found word runs down the main diagonal (GRID, FUN); the filler letters
# were picked for open corners so they keep clear of the highlight.
GRID4 = ("GAVT", "ORWE", "LTIK", "MAHD")
GRID3 = ("FAT", "VUO", "HAN")


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def cover(d):
    """Pixel coverage from a signed distance (negative inside)."""
    return clamp(0.5 - d)


def sd_round_rect(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    out = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return out + min(max(qx, qy), 0.0) - r


def sd_capsule(px, py, ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - r


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


class Canvas:
    """Straight-alpha float RGBA, painted with the usual 'over' rule."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def over(self, i, rgb, a):
        if a <= 0.0:
            return
        p = self.px[i]
        da = p[3] * (1.0 - a)
        oa = a + da
        for c in range(3):
            p[c] = (rgb[c] / 255.0 * a + p[c] * da) / oa
        p[3] = oa

    def paint(self, shade):
        """shade(x, y) -> (rgb, alpha) at the pixel centre, or None."""
        for y in range(self.h):
            for x in range(self.w):
                s = shade(x + 0.5, y + 0.5)
                if s:
                    self.over(y * self.w + x, s[0], s[1])

    def rgba_bytes(self):
        out = bytearray()
        for p in self.px:
            out += bytes(int(round(clamp(v) * 255)) for v in p)
        return bytes(out)


def font_file():
    try:
        f = subprocess.run(["fc-match", "-f", "%{file}", "Liberation Sans:bold"],
                           capture_output=True, text=True, check=True).stdout
        if f and os.path.exists(f):
            return f
    except (OSError, subprocess.CalledProcessError):
        pass
    return "Liberation-Sans-Bold"


IM = shutil.which("magick") or shutil.which("convert")
FONT = font_file()
_glyphs = {}


def glyph(ch, pointsize):
    """Ink mask of a capital, cropped to its box: (w, h, bytes)."""
    key = (ch, pointsize)
    if key not in _glyphs:
        w, h = pointsize * 2, pointsize * 2
        raw = subprocess.run(
            [IM, "-size", f"{w}x{h}", "xc:black", "-font", FONT,
             "-pointsize", str(pointsize), "-fill", "white", "-gravity", "center",
             "-annotate", "+0+0", ch, "-depth", "8", "gray:-"],
            capture_output=True, check=True).stdout
        rows = [y for y in range(h) if any(raw[y * w:(y + 1) * w])]
        cols = [x for x in range(w) if any(raw[y * w + x] for y in rows)]
        x0, x1, y0, y1 = cols[0], cols[-1] + 1, rows[0], rows[-1] + 1
        crop = bytes(raw[y * w + x] for y in range(y0, y1) for x in range(x0, x1))
        _glyphs[key] = (x1 - x0, y1 - y0, crop)
    return _glyphs[key]


def letter_layer(size, letters, cap_px, snap):
    """Per-pixel letter coverage, rendered 4x larger and boxed down.

    letters: list of (char, centre_x, centre_y). Caps are set to cap_px high;
    at small sizes (snap) each letter's top lands on a whole pixel so the
    stems and bars stay sharp.
    """
    ss = 4
    big = size * ss
    mask = bytearray(big * big)
    ref_h = glyph("H", 200)[1]
    pointsize = max(4, round(200 * cap_px * ss / ref_h))
    for ch, cx, cy in letters:
        gw, gh, data = glyph(ch, pointsize)
        top = cy - cap_px / 2
        if snap:
            top = round(top)
        left = cx - gw / ss / 2
        if snap:
            left = round(left)
        ox = round(left * ss)
        oy = round(top * ss + (cap_px * ss - gh) / 2)
        for y in range(gh):
            row = (oy + y) * big
            for x in range(gw):
                v = data[y * gw + x]
                if v and mask[row + ox + x] < v:
                    mask[row + ox + x] = v
    cov = [0.0] * (size * size)
    norm = 255.0 * ss * ss
    for y in range(size):
        for x in range(size):
            acc = 0
            for sy in range(ss):
                base = (y * ss + sy) * big + x * ss
                acc += sum(mask[base:base + ss])
            cov[y * size + x] = acc / norm
    return cov


def layout(size, roomy=False):
    """Geometry per size; small sizes are hand-placed on the pixel grid."""
    if size == 16:
        return dict(tile=(0, 0, 16, 16), radius=3.5, n=3, origin=2, pitch=4,
                    dot=2, mark_r=2.0, edge=0.0, letters=False)
    if size == 24:
        return dict(tile=(1, 1, 23, 23), radius=4.5, n=3, origin=3, pitch=6,
                    dot=2, mark_r=2.5, edge=0.0, letters=False)
    if size == 32:
        return dict(tile=(1, 1, 31, 31), radius=6, n=3, origin=4, pitch=8,
                    dot=3, mark_r=3.5, edge=1.0, letters=False)
    if size == 48:
        return dict(tile=(2, 2, 46, 46), radius=9, n=3, origin=6, pitch=12,
                    mark_r=5.5, edge=1.0, letters=True, cap=8, snap=True)
    if size == 64:
        return dict(tile=(3, 3, 61, 61), radius=11.5, n=3, origin=8, pitch=16,
                    mark_r=7.5, edge=1.0, letters=True, cap=10, snap=True)
    s = size / 256.0
    m = (16 if roomy else 12) * s  # roomy leaves space for a drop shadow
    return dict(tile=(m, m, size - m, size - m), radius=46 * s, n=4,
                origin=36 * s, pitch=46 * s, mark_r=19 * s,
                edge=max(1.0, 2 * s), letters=True, cap=26 * s, snap=False)


def draw(size, shadow=False):
    L = layout(size, roomy=shadow)
    cv = Canvas(size, size)
    x0, y0, x1, y1 = L["tile"]
    r, n, org, pitch = L["radius"], L["n"], L["origin"], L["pitch"]
    edge = L["edge"]

    if shadow:
        def shade_shadow(px, py):
            d = sd_round_rect(px, py - size * 0.025, x0, y0, x1, y1, r)
            blur = size * 0.03
            a = 0.28 * clamp(0.5 - d / (2 * blur))
            return ((0, 0, 0), a) if a > 0 else None
        cv.paint(shade_shadow)

    def shade_tile(px, py):
        d = sd_round_rect(px, py, x0, y0, x1, y1, r)
        a = cover(d)
        if a <= 0:
            return None
        t = clamp((py - y0) / (y1 - y0))
        return mix(TILE_TOP, TILE_BOTTOM, t), a
    cv.paint(shade_tile)

    if edge:
        # A darker rim keeps the tile's outline on pale backgrounds.
        def shade_rim(px, py):
            d = sd_round_rect(px, py, x0, y0, x1, y1, r)
            a = cover(d) * clamp(0.5 + d + edge)
            return (TILE_EDGE, a * 0.9) if a > 0 else None
        cv.paint(shade_rim)

    if size >= 48:
        # A lit inner top edge lifts the big tile off the page.
        hl = max(1.0, size / 128)

        def shade_gloss(px, py):
            d = sd_round_rect(px, py, x0, y0, x1, y1, r) + edge
            a = cover(d) * clamp(0.5 + d + hl)
            a *= 0.35 * clamp(1.0 - (py - y0) / (r * 1.5))
            return ((255, 255, 255), a) if a > 0 else None
        cv.paint(shade_gloss)

    centres = [org + pitch * (i + 0.5) for i in range(n)]
    a_c, b_c = centres[0], centres[-1]
    mr = L["mark_r"]

    if L["letters"] and size >= 96:
        # Faint cells give the big renderings the feel of a printed grid.
        inset = pitch * 0.08
        cr = pitch * 0.16

        def shade_cells(px, py):
            i = int((px - org) // pitch)
            j = int((py - org) // pitch)
            if not (0 <= i < n and 0 <= j < n):
                return None
            cx0, cy0 = org + i * pitch, org + j * pitch
            d = sd_round_rect(px, py, cx0 + inset, cy0 + inset,
                              cx0 + pitch - inset, cy0 + pitch - inset, cr)
            a = cover(d) * 0.10
            return ((255, 255, 255), a) if a > 0 else None
        cv.paint(shade_cells)

    def shade_mark(px, py):
        d = sd_capsule(px, py, a_c, a_c, b_c, b_c, mr)
        a = cover(d)
        if a <= 0:
            return None
        t = clamp((py - (a_c - mr)) / (b_c - a_c + 2 * mr))
        rgb = mix(MARK_TOP, MARK_BOTTOM, t)
        if size >= 48:
            rgb = mix(rgb, MARK_EDGE, clamp(0.5 + d + max(1.0, size / 128)))
        return rgb, a
    cv.paint(shade_mark)

    def on_word(i, j):
        return i == j

    if not L["letters"]:
        # Too small for legible letters: square dots stand in for them.
        dot = L["dot"]
        for j in range(n):
            for i in range(n):
                cx, cy = centres[i], centres[j]
                ink = INK_DARK if on_word(i, j) else INK_LIGHT
                lx, ly = round(cx - dot / 2), round(cy - dot / 2)
                for y in range(ly, ly + dot):
                    for x in range(lx, lx + dot):
                        cv.over(y * size + x, ink, 1.0)
        return cv

    rows = GRID4 if n == 4 else GRID3
    items = [(rows[j][i], centres[i], centres[j]) for j in range(n) for i in range(n)]
    cov = letter_layer(size, items, L["cap"], L["snap"])
    # Letters take the dark ink inside their own word cell only, so a
    # neighbour grazing the highlight never turns two-toned.
    for y in range(size):
        for x in range(size):
            a = cov[y * size + x]
            if a <= 0:
                continue
            i = min(n - 1, max(0, int((x + 0.5 - org) // pitch)))
            j = min(n - 1, max(0, int((y + 0.5 - org) // pitch)))
            cv.over(y * size + x, INK_DARK if on_word(i, j) else INK_LIGHT, a)
    return cv


def png_bytes(w, h, rgba):
    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xffffffff)
    raw = b"".join(b"\0" + rgba[y * w * 4:(y + 1) * w * 4] for y in range(h))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico_dib(size, rgba):
    """BITMAPINFOHEADER + bottom-up BGRA rows + 1-bit AND mask."""
    head = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(size):
            if rgba[(y * size + x) * 4 + 3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return head + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, payload); payload is a DIB or PNG bytes."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    icons = os.path.join(HERE, "icons")
    os.makedirs(icons, exist_ok=True)
    rendered = {}
    for size in ICON_SIZES:
        rgba = draw(size).rgba_bytes()
        rendered[size] = rgba
        with open(os.path.join(icons, f"pellacrest-{size}.png"), "wb") as f:
            f.write(png_bytes(size, size, rgba))
    with open(os.path.join(HERE, "logo.png"), "wb") as f:
        f.write(png_bytes(100, 100, draw(100, shadow=True).rgba_bytes()))
    entries = [(s, ico_dib(s, rendered[s])) for s in ICON_SIZES]
    entries.append((256, png_bytes(256, 256, rendered[256])))
    write_ico(os.path.join(icons, "pellacrest.ico"), entries)


if __name__ == "__main__":
    main()
