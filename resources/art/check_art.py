#!/usr/bin/env python3
"""Checks the pictures in this folder.

- make_art.py, run again into a scratch folder, gives the very same bytes
  (so the committed files are not stale or edited by hand); an icon whose
  PNG image another zlib packs differently must hold the same pixels;
- every .ico is a well-formed set of 32-bit images of 16, 20, 24, 32, 40,
  48, 64 and 256 pixels: AND masks that agree with the alpha channel, and a
  256-pixel PNG image;
- every .bmp is an uncompressed bottom-up 24-bit bitmap of the right size;
- pictures that must look different really do.

Standard library only.  Prints one line per check and a summary line.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

ICONS = ['program.ico'] + ['list%d.ico' % i for i in range(1, 10)] + \
    ['track_off.ico', 'track_on.ico', 'target.ico']
MENU_BITMAPS = ['import', 'export', 'close', 'start', 'sound', 'icon', 'go',
                'stop', 'help', 'history', 'never', 'keys']
BANNERS = {'splash.bmp': (360, 200), 'about.bmp': (64, 64)}
ICON_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'

results = []


def check(name, ok, detail=''):
    results.append(ok)
    print('%s %s%s' % ('ok  ' if ok else 'FAIL', name,
                       '' if ok or not detail else ': ' + detail))


def read(name, folder=HERE):
    with open(os.path.join(folder, name), 'rb') as f:
        return f.read()


def parse_png(data, w, h):
    """RGBA rows of an 8-bit RGBA PNG of w x h pixels, unfiltered."""
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack_from('>I4s', data, pos)
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack_from('>I', data, pos + 8 + length)[0]
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise ValueError('PNG chunk %r: bad CRC' % kind)
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    if header != (w, h, 8, 6, 0, 0, 0):
        raise ValueError('PNG is not %dx%d 8-bit RGBA: %s' % (w, h, header))
    raw = zlib.decompress(idat)
    stride = w * 4
    if len(raw) != h * (stride + 1):
        raise ValueError('PNG pixel data size')
    rows, prev = [], bytearray(stride)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
            elif kind != 0:
                raise ValueError('PNG filter %d' % kind)
        rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(w)])
        prev = line
    return rows


def parse_ico(data):
    """Returns [(w, h, rgba rows top-down, mask rows top-down or None for a
    PNG image)]."""
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError('not an icon directory')
    images = []
    for i in range(count):
        w, h, colors, res, planes, bits, size, offset = struct.unpack_from(
            '<BBBBHHII', data, 6 + 16 * i)
        w, h = w or 256, h or 256
        if planes != 1 or bits != 32:
            raise ValueError('entry %d: planes %d bits %d' % (i, planes, bits))
        if offset + size > len(data):
            raise ValueError('entry %d runs past the end' % i)
        if data[offset:offset + 8] == PNG_SIGNATURE:
            images.append((w, h, parse_png(data[offset:offset + size], w, h),
                           None))
            continue
        (hsize, bw, bh, bplanes, bbits, comp, isize) = struct.unpack_from(
            '<IiiHHII', data, offset)
        if hsize != 40 or bw != w or bh != 2 * h or bbits != 32 or comp != 0:
            raise ValueError('entry %d: bad BITMAPINFOHEADER' % i)
        mask_stride = ((w + 31) // 32) * 4
        if size != 40 + w * h * 4 + mask_stride * h:
            raise ValueError('entry %d: size %d' % (i, size))
        pix = offset + 40
        rgba = []
        for row in range(h):
            base = pix + (h - 1 - row) * w * 4
            rgba.append([tuple(data[base + 4 * x + k] for k in (2, 1, 0, 3))
                         for x in range(w)])
        mbase = pix + w * h * 4
        mask = []
        for row in range(h):
            base = mbase + (h - 1 - row) * mask_stride
            mask.append([(data[base + x // 8] >> (7 - x % 8)) & 1
                         for x in range(w)])
        images.append((w, h, rgba, mask))
    return images


def parse_bmp(data):
    magic, fsize, _, _, off = struct.unpack_from('<2sIHHI', data, 0)
    hsize, w, h, planes, bits, comp = struct.unpack_from('<IiiHHI', data, 14)
    if magic != b'BM' or fsize != len(data) or hsize != 40:
        raise ValueError('bad header')
    if planes != 1 or bits != 24 or comp != 0 or h <= 0:
        raise ValueError('not a bottom-up 24-bit BI_RGB bitmap')
    stride = (w * 3 + 3) & ~3
    if off + stride * h != len(data):
        raise ValueError('pixel data size')
    rows = []
    for row in range(h):
        base = off + (h - 1 - row) * stride
        rows.append([(data[base + 3 * x + 2], data[base + 3 * x + 1],
                      data[base + 3 * x]) for x in range(w)])
    return w, h, rows


def difference(a, b):
    """Mean per-channel difference of two same-sized RGBA images, 0..255."""
    total = n = 0
    for ra, rb in zip(a, b):
        for pa, pb in zip(ra, rb):
            for k in range(4):
                total += abs(pa[k] - pb[k])
                n += 1
    return total / float(n)


def saturation(img):
    """Mean colourfulness (max - min channel) of the opaque pixels."""
    total = n = 0
    for row in img:
        for r, g, b, a in row:
            if a > 128:
                total += max(r, g, b) - min(r, g, b)
                n += 1
    return total / float(n or 1)


def main():
    # Rebuild into a scratch folder and compare byte for byte.
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.check_call([sys.executable, os.path.join(HERE, 'make_art.py'),
                               tmp], stdout=subprocess.DEVNULL)
        fresh = sorted(os.listdir(tmp))
        expected = sorted(ICONS + [m + '.bmp' for m in MENU_BITMAPS] +
                          list(BANNERS))
        check('make_art.py writes exactly the expected files', fresh == expected,
              'got %s' % fresh)
        for name in fresh:
            same = os.path.exists(os.path.join(HERE, name)) and \
                read(name) == read(name, tmp)
            if not same and name.endswith('.ico') and \
                    os.path.exists(os.path.join(HERE, name)):
                try:
                    same = [i[:3] for i in parse_ico(read(name))] == \
                        [i[:3] for i in parse_ico(read(name, tmp))]
                except (ValueError, struct.error, zlib.error):
                    same = False
            check('%s matches a fresh run of make_art.py' % name, same)

    small = {}
    for name in ICONS:
        try:
            images = parse_ico(read(name))
        except (ValueError, struct.error, zlib.error) as e:
            check('%s parses' % name, False, str(e))
            continue
        sizes = [(w, h) for w, h, _, _ in images]
        check('%s holds images of %s pixels' % (
            name, ', '.join(str(s) for s in ICON_SIZES)),
            sizes == [(s, s) for s in ICON_SIZES], str(sizes))
        check('%s: the 256-pixel image alone is a PNG' % name,
              [w for w, _, _, mask in images if mask is None] == [256])
        for w, h, rgba, mask in images:
            if mask is not None:
                agree = all((rgba[y][x][3] == 0) == (mask[y][x] == 1)
                            for y in range(h) for x in range(w))
                check('%s %dx%d: AND mask matches alpha' % (name, w, h), agree)
            opaque = sum(1 for row in rgba for p in row if p[3] == 255)
            clear = sum(1 for row in rgba for p in row if p[3] == 0)
            check('%s %dx%d: has both opaque and clear pixels' % (name, w, h),
                  opaque > w * h // 4 and clear > 0,
                  'opaque %d clear %d' % (opaque, clear))
        small[name] = images[0][2]

    if all(n in small for n in ICONS):
        names = sorted(small)
        worst = min((difference(small[a], small[b]), a, b)
                    for i, a in enumerate(names) for b in names[i + 1:])
        check('all icons differ at 16x16 (closest pair %s/%s %.1f)' % (
            worst[1], worst[2], worst[0]), worst[0] > 4.0)
        on, off = saturation(small['track_on.ico']), \
            saturation(small['track_off.ico'])
        check('tracking on is colourful, off is grey (%.0f vs %.0f)' % (on, off),
              on > 60 and off < 25)

    menus = {}
    for name in MENU_BITMAPS:
        try:
            w, h, rows = parse_bmp(read(name + '.bmp'))
        except (ValueError, struct.error) as e:
            check('%s.bmp parses' % name, False, str(e))
            continue
        check('%s.bmp is 13x13' % name, (w, h) == (13, 13), '%dx%d' % (w, h))
        ink = sum(1 for row in rows for p in row if p != (255, 255, 255))
        check('%s.bmp draws something on white' % name, 20 < ink < 13 * 13,
              '%d pixels' % ink)
        menus[name] = rows
    if len(menus) == len(MENU_BITMAPS):
        pairs = [(a, b) for i, a in enumerate(MENU_BITMAPS)
                 for b in MENU_BITMAPS[i + 1:]
                 if sum(pa != pb for ra, rb in zip(menus[a], menus[b])
                        for pa, pb in zip(ra, rb)) < 15]
        check('menu pictures are all different', not pairs, str(pairs))

    for name, size in sorted(BANNERS.items()):
        try:
            w, h, rows = parse_bmp(read(name))
        except (ValueError, struct.error) as e:
            check('%s parses' % name, False, str(e))
            continue
        check('%s is %dx%d' % (name, size[0], size[1]), (w, h) == size)
        colours = len(set(p for row in rows for p in row))
        check('%s is a real picture (%d colours)' % (name, colours),
              colours > 50)

    passed = sum(results)
    print('%d passed, %d failed' % (passed, len(results) - passed))
    return 0 if passed == len(results) else 1


if __name__ == '__main__':
    sys.exit(main())
