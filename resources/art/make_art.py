#!/usr/bin/env python3
"""Draws Quellwatch's pictures and writes them next to this script.

Everything is drawn from code with the standard library only, so the
outputs can be rebuilt anywhere:

  program.ico            the program (a window with a red circled X)
  list1.ico .. list9.ico the nine icons offered for .wnl window-list files
  track_off.ico          tray icon while tracking is off (grey eye, pause)
  track_on.ico           tray icon while tracking is on (green eye, red X);
                         also the main window's icon
  target.ico             the taskbar target (crosshair over a bullseye)
  import.bmp ... keys.bmp     the twelve 13x13 menu pictures
  splash.bmp, about.bmp  banner pictures for the splash and about windows

Icons hold images of 16, 20, 24, 32, 40, 48, 64 and 256 pixels, the sizes
Windows asks for at 100 % to 200 % display scale: each 32-bit BGRA with an
AND mask, except the 256-pixel one, which is a PNG (as Windows Vista and
later read it), written with zlib.  Bitmaps are 24-bit BI_RGB, bottom-up.
The output is the same byte for byte on every run.

Usage: python3 make_art.py [output-dir]
"""

import bisect
import math
import os
import struct
import sys
import zlib

ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256   # images this large are stored as PNG
QUICK_FROM = 64  # and from this size, pixels wholly in or out are found quickly
DESIGN = 48.0  # icon shapes are laid out on a 48x48 grid and scaled

# ---------------------------------------------------------------------------
# Colours (r, g, b, a)

def rgb(hexstr, a=255):
    hexstr = hexstr.lstrip('#')
    return (int(hexstr[0:2], 16), int(hexstr[2:4], 16), int(hexstr[4:6], 16), a)

WHITE = rgb('ffffff')
BLACK = rgb('000000')
INK = rgb('26303a')          # outlines
RED = rgb('e0241b')
RED_DARK = rgb('9c140e')
GREEN = rgb('2fb344')
GREEN_DARK = rgb('17702a')
BLUE = rgb('2d6fd1')
BLUE_DARK = rgb('173f80')
GREY = rgb('8a9096')
GREY_DARK = rgb('565b60')
GREY_LIGHT = rgb('d5d8db')

# ---------------------------------------------------------------------------
# Shapes: predicates inside(x, y) on continuous pixel coordinates, each with
# a bounding box so the painter only visits the pixels it can touch.

class Shape:
    def __init__(self, inside, box):
        self.inside = inside
        self.box = box  # (x0, y0, x1, y1)

    def __and__(self, other):
        a, b = self.inside, other.inside
        box = (max(self.box[0], other.box[0]), max(self.box[1], other.box[1]),
               min(self.box[2], other.box[2]), min(self.box[3], other.box[3]))
        return Shape(lambda x, y: a(x, y) and b(x, y), box)

    def __or__(self, other):
        a, b = self.inside, other.inside
        box = (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
               max(self.box[2], other.box[2]), max(self.box[3], other.box[3]))
        return Shape(lambda x, y: a(x, y) or b(x, y), box)

    def __sub__(self, other):
        a, b = self.inside, other.inside
        return Shape(lambda x, y: a(x, y) and not b(x, y), self.box)


def circle(cx, cy, r):
    r2 = r * r
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2,
                 (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def ring(cx, cy, r_out, r_in):
    return circle(cx, cy, r_out) - circle(cx, cy, r_in)


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, (x0, y0, x1, y1))


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape(inside, (x0, y0, x1, y1))


def line(x0, y0, x1, y1, width):
    """A stroke with round ends."""
    hw = width / 2.0
    dx, dy = x1 - x0, y1 - y0
    len2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / len2
        t = min(1.0, max(0.0, t))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= hw * hw
    return Shape(inside, (min(x0, x1) - hw, min(y0, y1) - hw,
                          max(x0, x1) + hw, max(y0, y1) + hw))


def polygon(points):
    pts = list(points)
    edges = [(pts[i], pts[i - 1]) for i in range(len(pts))]
    rows = {}

    def crossings(y):
        """Where the edges cross the row at y, sorted; the painter asks each
        row many times."""
        xs = rows.get(y)
        if xs is None:
            xs = sorted((xj - xi) * (y - yi) / (yj - yi) + xi
                        for (xi, yi), (xj, yj) in edges if (yi > y) != (yj > y))
            rows[y] = xs
        return xs

    def inside(x, y):
        xs = crossings(y)
        return (len(xs) - bisect.bisect_right(xs, x)) % 2 == 1
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def lens(cx, cy, half_w, half_h):
    """An almond (eye) shape: the overlap of two circles."""
    r = (half_w * half_w + half_h * half_h) / (2.0 * half_h)
    off = r - half_h
    return circle(cx, cy + off, r) & circle(cx, cy - off, r) & \
        rect(cx - half_w, cy - half_h, cx + half_w, cy + half_h)


def star(cx, cy, r_out, r_in, points=5):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = -math.pi / 2 + i * math.pi / points
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)

# ---------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats, painted with supersampled coverage.

class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0), quick=False):
        self.w, self.h = w, h
        # A pixel whose four quarter samples agree is taken as wholly in or
        # out; only edge pixels get all samples.  Right where no feature is
        # thinner than half a pixel, and many times faster on big images.
        self.quick = quick
        a = bg[3] / 255.0
        px = (bg[0] * a, bg[1] * a, bg[2] * a, bg[3] * 1.0)
        self.px = [list(px) for _ in range(w * h)]

    def fill(self, shape, color, ss=4):
        x0, y0, x1, y1 = shape.box
        ix0 = max(0, int(math.floor(x0)))
        iy0 = max(0, int(math.floor(y0)))
        ix1 = min(self.w, int(math.ceil(x1)) + 1)
        iy1 = min(self.h, int(math.ceil(y1)) + 1)
        offs = [(i + 0.5) / ss for i in range(ss)]
        n = float(ss * ss)
        inside = shape.inside
        sa = color[3] / 255.0
        quick = self.quick
        for py in range(iy0, iy1):
            for px in range(ix0, ix1):
                if quick:
                    q = (inside(px + 0.25, py + 0.25) + inside(px + 0.75, py + 0.25) +
                         inside(px + 0.25, py + 0.75) + inside(px + 0.75, py + 0.75))
                    if q == 0:
                        continue
                    if q == 4:
                        hits = n
                    else:
                        hits = None
                else:
                    hits = None
                if hits is None:
                    hits = 0
                    for oy in offs:
                        y = py + oy
                        for ox in offs:
                            if inside(px + ox, y):
                                hits += 1
                if not hits:
                    continue
                a = sa * hits / n
                p = self.px[py * self.w + px]
                k = 1.0 - a
                p[0] = color[0] * a + p[0] * k
                p[1] = color[1] * a + p[1] * k
                p[2] = color[2] * a + p[2] * k
                p[3] = 255.0 * a + p[3] * k

    def put(self, x, y, color):
        """Sets one pixel outright (used by the pixel font and pixel art)."""
        if 0 <= x < self.w and 0 <= y < self.h:
            a = color[3] / 255.0
            p = self.px[y * self.w + x]
            k = 1.0 - a
            p[0] = color[0] * a + p[0] * k
            p[1] = color[1] * a + p[1] * k
            p[2] = color[2] * a + p[2] * k
            p[3] = 255.0 * a + p[3] * k

    def rgba(self, x, y):
        """Straight (non-premultiplied) 8-bit RGBA of one pixel."""
        p = self.px[y * self.w + x]
        a = p[3]
        if a <= 0.0:
            return (0, 0, 0, 0)
        return tuple(min(255, int(round(c * 255.0 / a))) for c in p[:3]) + \
            (min(255, int(round(a))),)

    def rgb_on(self, bg):
        """8-bit RGB of the whole canvas flattened onto a background colour."""
        out = []
        for p in self.px:
            k = 1.0 - p[3] / 255.0
            out.append(tuple(min(255, max(0, int(round(p[i] + bg[i] * k))))
                             for i in range(3)))
        return out

# ---------------------------------------------------------------------------
# File writers

def ico_image(canvas):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    w, h = canvas.w, canvas.h
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png_image(canvas):
    """The canvas as a PNG: 8-bit RGBA, each row filtered by its left
    neighbour (filter type 1), deflated by zlib at its best."""
    w, h = canvas.w, canvas.h
    raw = bytearray()
    for y in range(h):
        row = bytearray()
        for x in range(w):
            row += bytes(canvas.rgba(x, y))
        raw.append(1)
        raw += bytes(row[i] if i < 4 else (row[i] - row[i - 4]) & 0xFF
                     for i in range(len(row)))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + \
            struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    return b'\x89PNG\r\n\x1a\n' + \
        chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) + \
        chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')


def ico_file(canvases):
    images = [png_image(c) if c.w >= PNG_FROM else ico_image(c)
              for c in canvases]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def bmp_file(w, h, pixels):
    """24-bit BI_RGB bitmap, bottom-up; pixels are (r, g, b) row by row."""
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = pixels[y * w + x]
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        body += row
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    return head + info + bytes(body)

# ---------------------------------------------------------------------------
# Hand-placed marks for the 16x16 images, where smooth shapes turn to mush.
# '#' is the mark colour, 'k' near-black, anything else is left alone.

SMALL_MARKS = {
    'x':       ['##..##', '.####.', '..##..', '..##..', '.####.', '##..##'],
    'eye':     ['......', '.####.', '##kk##', '##kk##', '.####.', '......'],
    'star':    ['..##..', '..##..', '######', '.####.', '.####.', '##..##'],
    'heart':   ['......', '##.##.', '######', '######', '.####.', '..##..'],
    'no':      ['......', '......', '######', '######', '......', '......'],
    'check':   ['......', '.....#', '....##', '#..##.', '####..', '.##...'],
    'bolt':    ['...###', '..###.', '.#####', '...##.', '..##..', '..#...'],
    'plus':    ['..##..', '..##..', '######', '######', '..##..', '..##..'],
    'diamond': ['..##..', '.####.', '######', '######', '.####.', '..##..'],
    'pause':   ['##..##', '##..##', '##..##', '##..##', '##..##', '##..##'],
}


def put_mark(cv, x, y, rows, color=WHITE):
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch == '#':
                cv.put(x + dx, y + dy, color)
            elif ch == 'k':
                cv.put(x + dx, y + dy, rgb('111417'))


def small_badge(cv, mark, fill, rim, mark_color=WHITE):
    """A 10-pixel disc in the lower right of a 16x16 image with a 6x6 mark."""
    cv.fill(circle(11.0, 11.0, 5.9), WHITE)
    cv.fill(circle(11.0, 11.0, 5.0), rim)
    cv.fill(circle(11.0, 11.0, 4.3), fill)
    put_mark(cv, 8, 8, SMALL_MARKS[mark], mark_color)


# ---------------------------------------------------------------------------
# Icon drawings.  Each takes a canvas and a scale (pixels per design unit)
# and draws on the 48-unit grid.  `small` is true for the 16x16 image, where
# strokes get thicker so they stay visible.

def draw_red_x_badge(cv, s, cx, cy, r, small):
    if small:
        small_badge(cv, 'x', RED, RED_DARK)
        return
    cv.fill(circle(cx * s, cy * s, (r + 2.0) * s), WHITE)
    cv.fill(circle(cx * s, cy * s, r * s), RED_DARK)
    cv.fill(circle(cx * s, cy * s, (r - 1.6) * s), RED)
    d = r * 0.45 * s
    wd = 4.0 * s
    x, y = cx * s, cy * s
    cv.fill(line(x - d, y - d, x + d, y + d, wd), WHITE)
    cv.fill(line(x - d, y + d, x + d, y - d, wd), WHITE)


def draw_program(cv, s, small):
    # A window: dark frame, blue title bar, white client area with text lines.
    cv.fill(round_rect(2 * s, 5 * s, 42 * s, 39 * s, 3 * s), BLUE_DARK)
    cv.fill(round_rect(4 * s, 7 * s, 40 * s, 37 * s, 1.5 * s), WHITE)
    cv.fill(rect(4 * s, 7 * s, 40 * s, 14 * s), BLUE)
    if not small:
        for i, x in enumerate((28, 32.5, 37)):
            cv.fill(rect((x - 1.6) * s, 9 * s, (x + 1.6) * s, 12.2 * s),
                    rgb('cfe0fa'))
        for y, x1 in ((19, 30), (24, 24), (29, 27)):
            cv.fill(rect(8 * s, y * s, x1 * s, (y + 2) * s), GREY_LIGHT)
    else:
        cv.fill(rect(8 * s, 19 * s, 26 * s, 22 * s), GREY_LIGHT)
        cv.fill(rect(8 * s, 26 * s, 20 * s, 29 * s), GREY_LIGHT)
    draw_red_x_badge(cv, s, 34, 34, 12.5, small)


def draw_eye(cv, s, cx, cy, hw, hh, on, small):
    outline = INK if on else GREY_DARK
    white = WHITE if on else rgb('e9ebed')
    iris = GREEN if on else GREY
    iris_dark = GREEN_DARK if on else GREY_DARK
    if small:
        # Pixel units, eye high and wide so the badge leaves the iris free.
        cx, cy, hw, hh, edge = 7.5, 5.5, 6.9, 4.6, 1.0
        icx, ir, rim = 5.3, 3.4, 0.0
        s = 1.0
    else:
        edge, icx, ir, rim = 2.2, cx, hh * 0.82, 1.8
    cv.fill(lens(cx * s, cy * s, (hw + edge) * s, (hh + edge) * s), outline)
    eye = lens(cx * s, cy * s, hw * s, hh * s)
    cv.fill(eye, white)
    cv.fill(circle(icx * s, cy * s, ir * s) & eye, iris_dark)
    if rim:
        cv.fill(circle(icx * s, cy * s, (ir - rim) * s) & eye, iris)
    else:
        cv.fill(circle(icx * s, cy * s, (ir - 0.7) * s) & eye, iris)
    cv.fill(circle(icx * s, cy * s, ir * 0.45 * s), rgb('111417'))
    if not small:
        cv.fill(circle((icx - ir * 0.35) * s, (cy - ir * 0.38) * s,
                       ir * 0.2 * s), WHITE)
    if not on:
        # A drooping lid over the upper half: the watcher is asleep.
        lid_y = cy - hh * 0.15
        cv.fill(eye & rect(0, 0, 48 * s, lid_y * s), rgb('b4b9be'))
        cv.fill(eye & line((cx - hw) * s, lid_y * s, (cx + hw) * s, lid_y * s,
                           (1.0 if small else 2.0 * s)), GREY_DARK)


def draw_track_on(cv, s, small):
    draw_eye(cv, s, 22, 19, 20.5, 12.5, True, small)
    draw_red_x_badge(cv, s, 35, 35, 11.5, small)


def draw_track_off(cv, s, small):
    draw_eye(cv, s, 22, 19, 20.5, 12.5, False, small)
    if small:
        small_badge(cv, 'pause', GREY, GREY_DARK)
        return
    cx, cy, r = 35, 35, 11.5
    cv.fill(circle(cx * s, cy * s, (r + 2.0) * s), WHITE)
    cv.fill(circle(cx * s, cy * s, r * s), GREY_DARK)
    cv.fill(circle(cx * s, cy * s, (r - 1.6) * s), GREY)
    for x in (cx - 3.6, cx + 3.6):
        cv.fill(rect((x - 1.5) * s, (cy - 5.5) * s, (x + 1.5) * s,
                     (cy + 5.5) * s), WHITE)


def draw_target(cv, s, small):
    if small:
        # Centred on a pixel so the cross hairs are single crisp lines.
        c = 7.5
        radii = (7.4, 6.5, 4.6, 2.6)
        cross = (((0, 7.5), (3.2, 7.5)), ((11.8, 7.5), (15, 7.5)),
                 ((7.5, 0), (7.5, 3.2)), ((7.5, 11.8), (7.5, 15)))
        wd, halo = 1.0, 0.0
    else:
        c = 24 * s
        radii = tuple(r * s for r in (19, 17.5, 13.5, 9.5, 5.5, 2.8))
        cross = tuple(((a[0] * s, a[1] * s), (b[0] * s, b[1] * s)) for a, b in
                      (((1, 24), (14, 24)), ((34, 24), (47, 24)),
                       ((24, 1), (24, 14)), ((24, 34), (24, 47))))
        wd, halo = 2.4 * s, 2 * s
    for r, col in zip(radii, (INK, RED, WHITE, RED, WHITE, RED)):
        cv.fill(circle(c, c, r), col)
    for a, b in cross:
        if halo:
            cv.fill(line(a[0], a[1], b[0], b[1], wd + halo), WHITE)
        if small:
            # Square-ended one-pixel hair.
            cv.fill(rect(min(a[0], b[0]) - (0.5 if a[0] == b[0] else 0),
                         min(a[1], b[1]) - (0.5 if a[1] == b[1] else 0),
                         max(a[0], b[0]) + (0.5 if a[0] == b[0] else 0),
                         max(a[1], b[1]) + (0.5 if a[1] == b[1] else 0)), INK)
        else:
            cv.fill(line(a[0], a[1], b[0], b[1], wd), INK)


# Emblems for the list-file icons: white marks on a coloured disc.
def emblem_x(cv, s, cx, cy, r, small):
    d, wd = r * 0.45, (4.6 if small else 3.2) * s
    cv.fill(line((cx - d) * s, (cy - d) * s, (cx + d) * s, (cy + d) * s, wd), WHITE)
    cv.fill(line((cx - d) * s, (cy + d) * s, (cx + d) * s, (cy - d) * s, wd), WHITE)


def emblem_eye(cv, s, cx, cy, r, small):
    cv.fill(lens(cx * s, cy * s, r * 0.78 * s, r * 0.5 * s), WHITE)
    cv.fill(circle(cx * s, cy * s, r * 0.3 * s), rgb('111417'))


def emblem_star(cv, s, cx, cy, r, small):
    cv.fill(star(cx * s, (cy + r * 0.06) * s, r * 0.78 * s, r * 0.33 * s), WHITE)


def emblem_check(cv, s, cx, cy, r, small):
    wd = (4.6 if small else 3.4) * s
    cv.fill(line((cx - r * 0.45) * s, cy * s, (cx - r * 0.1) * s,
                 (cy + r * 0.38) * s, wd), WHITE)
    cv.fill(line((cx - r * 0.1) * s, (cy + r * 0.38) * s, (cx + r * 0.48) * s,
                 (cy - r * 0.38) * s, wd), WHITE)


def emblem_heart(cv, s, cx, cy, r, small):
    k = r * 0.27
    cv.fill(circle((cx - k) * s, (cy - k * 0.5) * s, k * 1.15 * s), WHITE)
    cv.fill(circle((cx + k) * s, (cy - k * 0.5) * s, k * 1.15 * s), WHITE)
    cv.fill(polygon([((cx - k * 2.05) * s, (cy - k * 0.1) * s),
                     ((cx + k * 2.05) * s, (cy - k * 0.1) * s),
                     (cx * s, (cy + k * 2.2) * s)]), WHITE)


def emblem_plus(cv, s, cx, cy, r, small):
    t = (2.6 if small else 1.9) * s
    d = r * 0.6 * s
    cv.fill(rect(cx * s - d, cy * s - t, cx * s + d, cy * s + t), WHITE)
    cv.fill(rect(cx * s - t, cy * s - d, cx * s + t, cy * s + d), WHITE)


def emblem_bolt(cv, s, cx, cy, r, small):
    k = r / 10.0
    pts = [(1, -8), (-5, 1), (-0.5, 1), (-2, 8.5), (5, -1.5), (0.5, -1.5), (2.5, -8)]
    cv.fill(polygon([((cx + x * k) * s, (cy + y * k) * s) for x, y in pts]), WHITE)


def emblem_no(cv, s, cx, cy, r, small):
    t = (2.8 if small else 2.0) * s
    d = r * 0.62 * s
    cv.fill(rect(cx * s - d, cy * s - t, cx * s + d, cy * s + t), WHITE)


def emblem_diamond(cv, s, cx, cy, r, small):
    d = r * 0.66
    cv.fill(polygon([(cx * s, (cy - d) * s), ((cx + d * 0.8) * s, cy * s),
                     (cx * s, (cy + d) * s), ((cx - d * 0.8) * s, cy * s)]), WHITE)


# (band colour, dark edge, page tint, emblem, 16x16 mark)
LIST_STYLES = [
    ('2d6fd1', '173f80', 'ffffff', emblem_x, 'x'),              # 1 blue
    ('2fb344', '17702a', 'f1fbf2', emblem_eye, 'eye'),          # 2 green
    ('f08c12', 'a65a00', 'fff8ee', emblem_star, 'star'),        # 3 orange
    ('8a3fc6', '56207f', 'f7f0fc', emblem_heart, 'heart'),      # 4 purple
    ('e0241b', '9c140e', 'fff1f0', emblem_no, 'no'),            # 5 red
    ('13a3a3', '0a6767', 'eefafa', emblem_check, 'check'),      # 6 teal
    ('e8b90c', '9a7a00', 'fffbe6', emblem_bolt, 'bolt'),        # 7 yellow
    ('4a5560', '262d33', 'f2f3f4', emblem_plus, 'plus'),        # 8 slate
    ('e0479e', '99205f', 'fdf0f7', emblem_diamond, 'diamond'),  # 9 pink
]


def draw_small_page(cv, band_c, dark_c, tint_c, mark):
    cv.fill(polygon([(1, 0), (10, 0), (14, 4), (14, 16), (1, 16)]), GREY_DARK)
    cv.fill(polygon([(2, 1), (9.6, 1), (13, 4.4), (13, 15), (2, 15)]), tint_c)
    cv.fill(polygon([(10, 0), (14, 4), (10, 4)]), GREY_DARK)
    cv.fill(polygon([(10.6, 1.6), (12.6, 3.6), (10.6, 3.6)]), GREY_LIGHT)
    cv.fill(rect(2, 2, 9, 4), band_c)
    for y, x1 in ((6, 11), (8, 9), (10, 11), (12, 8)):
        cv.fill(rect(3, y, x1, y + 1), GREY)
    small_badge(cv, mark, band_c, dark_c)


def make_list_drawer(index):
    band, dark, tint, emblem, mark = LIST_STYLES[index]
    band_c, dark_c, tint_c = rgb(band), rgb(dark), rgb(tint)

    def draw(cv, s, small):
        if small:
            draw_small_page(cv, band_c, dark_c, tint_c, mark)
            return
        # A page with a folded corner.
        page = [(7, 2), (30, 2), (39, 11), (39, 46), (7, 46)]
        cv.fill(polygon([(x * s, y * s) for x, y in page]), GREY_DARK)
        inner = [(8.6, 3.6), (29.3, 3.6), (37.4, 11.7), (37.4, 44.4), (8.6, 44.4)]
        cv.fill(polygon([(x * s, y * s) for x, y in inner]), tint_c)
        cv.fill(polygon([(30 * s, 2 * s), (39 * s, 11 * s), (30 * s, 11 * s)]),
                GREY_DARK)
        cv.fill(polygon([(31.3 * s, 4.8 * s), (36.2 * s, 9.7 * s),
                         (31.3 * s, 9.7 * s)]), GREY_LIGHT)
        # Title band and list rows with coloured bullets.
        cv.fill(rect(8.6 * s, 7 * s, 28 * s, 13 * s), band_c)
        for i, y in enumerate((18, 23.5, 29, 34.5)):
            x1 = 30 if i % 2 == 0 else 25
            cv.fill(circle(13 * s, (y + 1) * s, 1.7 * s), band_c)
            cv.fill(rect(17 * s, y * s, x1 * s, (y + 2) * s), GREY)
        # Emblem disc, lower right.
        cx, cy, r = 35, 36, 11.0
        cv.fill(circle(cx * s, cy * s, (r + 1.8) * s), WHITE)
        cv.fill(circle(cx * s, cy * s, r * s), dark_c)
        cv.fill(circle(cx * s, cy * s, (r - 1.6) * s), band_c)
        emblem(cv, s, cx, cy, r, small)
    return draw


def render_icon(draw):
    canvases = []
    for size in ICON_SIZES:
        cv = Canvas(size, size, quick=size >= QUICK_FROM)
        draw(cv, size / DESIGN, size <= 16)
        canvases.append(cv)
    return canvases

# ---------------------------------------------------------------------------
# Menu pictures: 13x13, placed pixel by pixel.

MENU_PALETTE = {
    '.': 'ffffff', 'k': '20262c', 'd': '5c636a', 'g': '9aa0a6', 'l': 'd3d7db',
    'G': '24a83a', 'H': '126b22', 'R': 'e0241b', 'S': '8f130d', 'B': '2d6fd1',
    'N': '173f80', 'Y': 'f5c542', 'O': 'c98a12', 'w': 'ffffff', 'c': 'a8c8f5',
}

MENU_ART = {
    # Green arrow going down into an open folder.
    'import': [
        '.....GGG.....',
        '.....GGG.....',
        '.....GGG.....',
        '..HGGGGGGGH..',
        '...HGGGGGH...',
        '....HGGGH....',
        '.OOO.HGH.....',
        'OYYYO.H.OOOO.',
        'OYYYYOOOYYYO.',
        'OYYYYYYYYYYO.',
        'OYYYYYYYYYYO.',
        'OYYYYYYYYYYO.',
        'OOOOOOOOOOOO.',
    ],
    # Blue arrow going up out of a folder.
    'export': [
        '.......N.....',
        '......NBN....',
        '.....NBBBN...',
        '....NBBBBBN..',
        '......BBB....',
        '......BBB....',
        '.OOO..BBB....',
        'OYYYO.BBBOOO.',
        'OYYYYOOOOYYO.',
        'OYYYYYYYYYYO.',
        'OYYYYYYYYYYO.',
        'OYYYYYYYYYYO.',
        'OOOOOOOOOOOO.',
    ],
    # Exit: a bold red X.
    'close': [
        '.............',
        '.SS.......SS.',
        '.SRR.....RRS.',
        '..RRR...RRR..',
        '...RRR.RRR...',
        '....RRRRR....',
        '.....RRR.....',
        '....RRRRR....',
        '...RRR.RRR...',
        '..RRR...RRR..',
        '.SRR.....RRS.',
        '.SS.......SS.',
        '.............',
    ],
    # Start-up: a power symbol.
    'start': [
        '......B......',
        '......B......',
        '..BB..B..BB..',
        '.BB...B...BB.',
        '.B....B....B.',
        'BB....B....BB',
        'B.....B.....B',
        'B...........B',
        'BB.........BB',
        '.B.........B.',
        '.BB.......BB.',
        '..BBB...BBB..',
        '....BBBBB....',
    ],
    # A speaker with sound waves.
    'sound': [
        '.............',
        '.....k....B..',
        '....kk..B..B.',
        '...kgk...B.B.',
        'kkkggk.B..B.B',
        'kllggk..B.B.B',
        'kllggk..B.B.B',
        'kllggk..B.B.B',
        'kkkggk.B..B.B',
        '...kgk...B.B.',
        '....kk..B..B.',
        '.....k....B..',
        '.............',
    ],
    # The list-file icon: a page with a blue band and a red mark.
    'icon': [
        '.dddddddd....',
        '.dwwwwwwdd...',
        '.dBBBBBwdgd..',
        '.dwwwwwwdddd.',
        '.dwgggggwwwd.',
        '.dwwwwwwwwwd.',
        '.dwggggwwwwd.',
        '.dwwwwwwRRRR.',
        '.dwgggggRwwR.',
        '.dwwwwwwRwwR.',
        '.dwggggwRRRR.',
        '.dwwwwwwwwwd.',
        '.ddddddddddd.',
    ],
    # Go: a green play triangle.
    'go': [
        '..H..........',
        '..HH.........',
        '..HGH........',
        '..HGGH.......',
        '..HGGGH......',
        '..HGGGGH.....',
        '..HGGGGGH....',
        '..HGGGGH.....',
        '..HGGGH......',
        '..HGGH.......',
        '..HGH........',
        '..HH.........',
        '..H..........',
    ],
    # Stop: a red octagon with a white bar.
    'stop': [
        '.............',
        '....SSSSS....',
        '...SRRRRRS...',
        '..SRRRRRRRS..',
        '.SRRRRRRRRRS.',
        '.SRRRRRRRRRS.',
        '.SRwwwwwwwRS.',
        '.SRRRRRRRRRS.',
        '.SRRRRRRRRRS.',
        '..SRRRRRRRS..',
        '...SRRRRRS...',
        '....SSSSS....',
        '.............',
    ],
    # Help: a white question mark on a blue disc.
    'help': [
        '....NNNNN....',
        '..NNBBBBBNN..',
        '.NBBBwwwBBBN.',
        '.NBBwBBBwBBN.',
        'NBBBBBBBwBBBN',
        'NBBBBBBwBBBBN',
        'NBBBBBwBBBBBN',
        'NBBBBBwBBBBBN',
        'NBBBBBBBBBBBN',
        '.NBBBBwBBBBN.',
        '.NBBBBBBBBBN.',
        '..NNBBBBBNN..',
        '....NNNNN....',
    ],
    # Closed windows: a clock, for what was closed when.
    'history': [
        '....NNNNN....',
        '..NNwwwwwNN..',
        '.NwwwwgwwwwN.',
        '.NwwwwkwwwwN.',
        'NwwwwwkwwwwwN',
        'NwwwwwkwwwwwN',
        'NgwwwwkkkkwgN',
        'NwwwwwwwwwwwN',
        'NwwwwwwwwwwwN',
        '.NwwwwwwwwwN.',
        '.NwwwwgwwwwN.',
        '..NNwwwwwNN..',
        '....NNNNN....',
    ],
    # Never close: a shield with a check mark, for programs kept safe.
    'never': [
        '.............',
        '.NNNNNNNNNNN.',
        '.NBBBBBBBBBN.',
        '.NBBBBBBBwBN.',
        '.NBBBBBBwwBN.',
        '.NBwBBBwwBBN.',
        '.NBwwBwwBBBN.',
        '.NBBwwwBBBBN.',
        '..NBBwBBBBN..',
        '..NBBBBBBBN..',
        '...NBBBBBN...',
        '....NBBBN....',
        '.....NNN.....',
    ],
    # Keys: a gold key, for the keys that work in every program.
    'keys': [
        '.............',
        '..OOOO.......',
        '.OYYYYO......',
        'OYY..YYO.....',
        'OY....YO.....',
        'OYY..YYO.....',
        '.OYYYYYOO....',
        '..OOOOYYYO...',
        '.......OYYO..',
        '........OYYO.',
        '.......OYOYYO',
        '........O.OO.',
        '.............',
    ],
}


def menu_bitmap(rows):
    assert len(rows) == 13 and all(len(r) == 13 for r in rows), rows
    pixels = []
    for row in rows:
        for ch in row:
            pixels.append(rgb(MENU_PALETTE[ch])[:3])
    return bmp_file(13, 13, pixels)

# ---------------------------------------------------------------------------
# A small pixel font: 9 rows per glyph (7 above the baseline, 2 below).

GLYPHS = {
    'Q': ['.###.', '#...#', '#...#', '#...#', '#.#.#', '#..#.', '.##.#'],
    'C': ['.###.', '#...#', '#....', '#....', '#....', '#...#', '.###.'],
    'V': ['#...#', '#...#', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'a': ['.....', '.....', '.###.', '....#', '.####', '#...#', '.####'],
    'c': ['.....', '.....', '.###.', '#....', '#....', '#...#', '.###.'],
    'd': ['....#', '....#', '.##.#', '#..##', '#...#', '#...#', '.####'],
    'e': ['.....', '.....', '.###.', '#...#', '#####', '#....', '.###.'],
    'f': ['..##', '.#..', '####', '.#..', '.#..', '.#..', '.#..'],
    'g': ['.....', '.....', '.####', '#...#', '#...#', '#..##', '.##.#',
          '....#', '.###.'],
    'h': ['#....', '#....', '#.##.', '##..#', '#...#', '#...#', '#...#'],
    'i': ['.#.', '...', '##.', '.#.', '.#.', '.#.', '###'],
    'k': ['#....', '#....', '#..#.', '#.#..', '##...', '#.#..', '#..#.'],
    'l': ['##.', '.#.', '.#.', '.#.', '.#.', '.#.', '###'],
    'm': ['.....', '.....', '##.#.', '#.#.#', '#.#.#', '#.#.#', '#.#.#'],
    'n': ['.....', '.....', '#.##.', '##..#', '#...#', '#...#', '#...#'],
    'o': ['.....', '.....', '.###.', '#...#', '#...#', '#...#', '.###.'],
    'p': ['.....', '.....', '####.', '#...#', '#...#', '#...#', '####.',
          '#....', '#....'],
    'r': ['.....', '.....', '#.##.', '##..#', '#....', '#....', '#....'],
    's': ['.....', '.....', '.####', '#....', '.###.', '....#', '####.'],
    't': ['.#..', '.#..', '####', '.#..', '.#..', '.#..', '..##'],
    'u': ['.....', '.....', '#...#', '#...#', '#...#', '#..##', '.##.#'],
    'w': ['.....', '.....', '#...#', '#...#', '#.#.#', '#.#.#', '.#.#.'],
    'y': ['.....', '.....', '#...#', '#...#', '#...#', '#..##', '.##.#',
          '....#', '.###.'],
    '1': ['.#.', '##.', '.#.', '.#.', '.#.', '.#.', '###'],
    '6': ['..##.', '.#...', '#....', '####.', '#...#', '#...#', '.###.'],
    '.': ['..', '..', '..', '..', '..', '##', '##'],
    ' ': ['...', '...', '...', '...', '...', '...', '...'],
}


def text_width(text, scale):
    return sum((len(GLYPHS[ch][0]) + 1) * scale for ch in text) - scale


def draw_text(cv, x, y, text, scale, color, shadow=None):
    """Draws text with its top-left at (x, y); each font pixel is a
    scale x scale block.  An optional shadow is drawn one block down-right."""
    for layer, (col, d) in enumerate(((shadow, max(1, scale // 2)), (color, 0))):
        if col is None:
            continue
        cx = x
        for ch in text:
            glyph = GLYPHS[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '#':
                        for yy in range(scale):
                            for xx in range(scale):
                                cv.put(cx + gx * scale + xx + d,
                                       y + gy * scale + yy + d, col)
            cx += (len(glyph[0]) + 1) * scale

# ---------------------------------------------------------------------------
# Banners

def lerp(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


def gradient_canvas(w, h, top, bottom):
    cv = Canvas(w, h)
    for y in range(h):
        c = lerp(top, bottom, y / float(h - 1))
        for x in range(w):
            cv.put(x, y, c[:3] + (255,))
    return cv


def draw_motif(cv, x, y, size):
    """The watcher (tracking on) drawn at any size, top-left at (x, y)."""
    sub = Canvas(size, size)
    draw_track_on(sub, size / DESIGN, False)
    for yy in range(size):
        for xx in range(size):
            c = sub.rgba(xx, yy)
            if c[3]:
                cv.put(x + xx, y + yy, c)


def make_splash():
    w, h = 360, 200
    cv = gradient_canvas(w, h, rgb('1d3f73'), rgb('0e1f3a'))
    # A soft lighter panel behind the watcher.
    cv.fill(circle(82, 100, 78), rgb('ffffff', 22))
    cv.fill(circle(82, 100, 62), rgb('ffffff', 18))
    draw_motif(cv, 14, 36, 132)
    title = 'Quellwatch'
    draw_text(cv, 160, 58, title, 3, rgb('ffffff'), shadow=rgb('000000', 140))
    tw = text_width(title, 3)
    cv.fill(rect(160, 92, 160 + tw, 94), rgb('2fb344'))
    draw_text(cv, 160, 104, 'Version 1.6', 2, rgb('cfe0fa'))
    draw_text(cv, 160, 140, 'Closes unwanted', 1, rgb('a9bcd6'))
    draw_text(cv, 160, 152, 'windows automatically.', 1, rgb('a9bcd6'))
    # Thin frame.
    for x in range(w):
        cv.put(x, 0, rgb('4f79b3'))
        cv.put(x, h - 1, rgb('08121f'))
    for y in range(h):
        cv.put(0, y, rgb('4f79b3'))
        cv.put(w - 1, y, rgb('08121f'))
    return bmp_file(w, h, cv.rgb_on((0, 0, 0)))


def make_about():
    w = h = 64
    cv = gradient_canvas(w, h, rgb('1d3f73'), rgb('0e1f3a'))
    cv.fill(circle(32, 28, 27), rgb('ffffff', 24))
    draw_motif(cv, 6, 2, 52)
    draw_text(cv, 64 - text_width('1.6', 1) - 4, 64 - 7 - 3, '1.6', 1,
              rgb('ffffff'))
    return bmp_file(w, h, cv.rgb_on((0, 0, 0)))

# ---------------------------------------------------------------------------

def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.abspath(__file__))
    files = {}
    files['program.ico'] = ico_file(render_icon(draw_program))
    for i in range(9):
        files['list%d.ico' % (i + 1)] = ico_file(render_icon(make_list_drawer(i)))
    files['track_off.ico'] = ico_file(render_icon(draw_track_off))
    files['track_on.ico'] = ico_file(render_icon(draw_track_on))
    files['target.ico'] = ico_file(render_icon(draw_target))
    for name, rows in MENU_ART.items():
        files[name + '.bmp'] = menu_bitmap(rows)
    files['splash.bmp'] = make_splash()
    files['about.bmp'] = make_about()
    for name in sorted(files):
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(files[name])
        print('%-14s %6d bytes' % (name, len(files[name])))


if __name__ == '__main__':
    main()
