#!/usr/bin/env python3
"""Draws the built-in style pictures of Agent's skinned controls as small palette bitmaps.

Run it from anywhere; it rewrites the .bmp files beside itself. The pictures are ours: plain
shapes in a few colours, 4 bits per pixel (the 1-pixel menu strips as the sizes ask), so they
stay a few kilobytes in every program that carries them.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(name, pixels, palette, bits):
    """pixels: rows top to bottom of palette indexes."""
    height = len(pixels)
    width = len(pixels[0])
    colors = 1 << bits
    palette = list(palette) + [(0, 0, 0)] * (colors - len(palette))
    stride = ((width * bits + 31) // 32) * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, index in enumerate(row):
            if bits == 8:
                line[x] = index
            else:
                shift = 4 if x % 2 == 0 else 0
                line[x // 2] |= (index & 15) << shift
        data += line
    offset = 14 + 40 + 4 * colors
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(data), 2835, 2835, colors, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
        f.write(header + info + table + data)


def blank(width, height, index=0):
    return [[index] * width for _ in range(height)]


# Check-mark pixels inside a 13 x 13 box: a V two pixels thick, its vertex at (5, 8).
def check_mark_points(ox=0, oy=0):
    points = []
    for x in range(3, 10):
        y = x + 3 if x <= 5 else 8 - (x - 5)
        points += [(ox + x, oy + y), (ox + x, oy + y - 1)]
    return points


# Styles: (border, face, face disabled, mark, mark disabled) and button colours
# (edge, normal, hover, pressed, light).
STYLES = {
    'MACOS':   dict(box=((110, 110, 110), (250, 250, 250), (225, 225, 225), (40, 40, 40), (150, 150, 150)),
                    button=((90, 90, 90), (235, 235, 235), (214, 228, 246), (170, 190, 220), (255, 255, 255)),
                    button_size=(252, 23), box_size=(60, 17)),
    'WINXP':   dict(box=((28, 81, 128), (255, 255, 255), (230, 230, 225), (33, 161, 33), (160, 160, 160)),
                    button=((0, 60, 116), (244, 244, 240), (255, 240, 207), (226, 226, 218), (255, 255, 255)),
                    button_size=(54, 21), box_size=(52, 13)),
    'INDIGO':  dict(box=((40, 40, 110), (255, 255, 255), (228, 228, 236), (68, 74, 160), (150, 150, 170)),
                    button=((40, 40, 110), (200, 204, 236), (170, 176, 230), (120, 128, 200), (240, 240, 255)),
                    button_size=(222, 21), box_size=(52, 13)),
    'MINERAL': dict(box=((90, 90, 90), (252, 252, 252), (232, 232, 232), (45, 48, 196), (160, 160, 160)),
                    button=((80, 80, 80), (236, 236, 236), (220, 222, 240), (196, 198, 220), (255, 255, 255)),
                    button_size=(222, 21), box_size=(52, 13)),
    'GLACIER': dict(box=((60, 90, 150), (255, 255, 255), (230, 234, 240), (94, 94, 236), (160, 165, 175)),
                    button=((60, 90, 150), (222, 232, 246), (200, 220, 248), (170, 196, 236), (255, 255, 255)),
                    button_size=(231, 27), box_size=(52, 13)),
}


def check_box_strip(style):
    border, face, face_off, mark, mark_off = STYLES[style]['box']
    width, height = STYLES[style]['box_size']
    frame = width // 4
    palette = [(255, 255, 255), border, face, face_off, mark, mark_off]
    pixels = blank(width, height)
    # Frames: checked, unchecked, checked disabled, unchecked disabled.
    looks = [(2, 4), (2, None), (3, 5), (3, None)]
    size = 13
    top = (height - size) // 2
    for n, (face_index, mark_index) in enumerate(looks):
        left = n * frame + (frame - size) // 2
        for y in range(size):
            for x in range(size):
                edge = x in (0, size - 1) or y in (0, size - 1)
                pixels[top + y][left + x] = 1 if edge else face_index
        if mark_index is not None:
            for x, y in check_mark_points(left, top):
                pixels[y][x] = mark_index
    write_bmp(style + '_CHECKBOX', pixels, palette, 4)


def button_strip(style):
    edge, normal, hover, pressed, light = STYLES[style]['button']
    width, height = STYLES[style]['button_size']
    frame = width // 3
    palette = [(255, 0, 255), edge, normal, hover, pressed, light]
    pixels = blank(width, height)
    for n, face in enumerate((2, 3, 4)):
        left = n * frame
        for y in range(height):
            for x in range(frame):
                corner = (x in (0, frame - 1)) and (y in (0, height - 1))
                if corner:
                    continue            # the see-through colour
                on_edge = x in (0, frame - 1) or y in (0, height - 1)
                highlight = y == 1 and not on_edge and n != 2
                pixels[y][left + x] = 1 if on_edge else (5 if highlight else face)
    write_bmp(style + '_BUTTON', pixels, palette, 4)


def menu_checked():
    palette = [(255, 255, 255), (0, 0, 0)]
    pixels = blank(16, 16)
    for x, y in check_mark_points(1, 1):
        pixels[y][x] = 1
    write_bmp('MENU_CHECKED', pixels, palette, 4)


def vertical_run(name, height, top, bottom, bits):
    steps = min(height, 16 if bits == 4 else 256)
    palette = []
    for i in range(steps):
        t = i / max(1, steps - 1)
        palette.append(tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    pixels = [[min(steps - 1, y * steps // height)] for y in range(height)]
    write_bmp(name, pixels, palette, bits)


# Title bars: (border, top of the gradient, bottom of the gradient, light line under the border),
# in the sizes the style table gives (left, client, right).
TITLES = {
    'MACOS':   dict(colors=((127, 127, 127), (246, 246, 246), (204, 204, 204), (255, 255, 255)),
                    sizes=((48, 23), (49, 23), (48, 23)), stripes=True),
    'WINXP':   dict(colors=((0, 44, 200), (60, 130, 250), (0, 70, 220), (140, 190, 255)),
                    sizes=((35, 29), (37, 29), (35, 29)), stripes=False),
    'INDIGO':  dict(colors=((0, 0, 0), (92, 98, 188), (40, 44, 120), (150, 156, 230)),
                    sizes=((97, 32), (98, 32), (97, 32)), stripes=False),
    'MINERAL': dict(colors=((0, 0, 0), (132, 140, 160), (72, 78, 98), (190, 196, 210)),
                    sizes=((441, 23), (1, 23), (1, 23)), stripes=False),
    'GLACIER': dict(colors=((0, 0, 0), (120, 170, 230), (46, 96, 176), (200, 226, 252)),
                    sizes=((162, 33), (179, 33), (101, 33)), stripes=False),
}


def gradient_palette(top, bottom, steps):
    return [tuple(round(a + (b - a) * i / max(1, steps - 1)) for a, b in zip(top, bottom)) for i in range(steps)]


def title_pictures(style):
    border, top, bottom, light = TITLES[style]['colors']
    steps = 12
    # 0 border, 1 light line, 2.. gradient
    palette = [border, light] + gradient_palette(top, bottom, steps)
    for part, (width, height) in zip(('LEFT', 'CLIENT', 'RIGHT'), TITLES[style]['sizes']):
        pixels = []
        for y in range(height):
            index = 2 + min(steps - 1, (y - 2) * steps // max(1, height - 2)) if y >= 2 else 1
            row = [index] * width
            if TITLES[style]['stripes'] and y >= 2 and y % 2 == 0:
                row = [min(2 + steps - 1, index + 1)] * width
            pixels.append(row)
        pixels[0] = [0] * width                  # the frame's top line
        if part == 'LEFT':
            for y in range(height):
                pixels[y][0] = 0
                if 0 < y and width > 1:
                    pixels[y][1] = 1
        if part == 'RIGHT':
            for y in range(height):
                pixels[y][width - 1] = 0
        write_bmp(style + '_TITLE_' + part, pixels, palette, 4)


# Caption buttons: (edge, normal face, hover face, pressed face, glyph), round ones see-through at
# the corners (magenta), square ones filled to the edge. `top` is the style's button top in a
# title bar of its own; inside a skinned form the bar starts 3 rows lower in the title picture,
# so a button of a style whose top is under 3 loses its first rows there.
TITLE_BUTTONS = {
    'MACOS':   dict(colors=((110, 110, 110), (230, 230, 230), (200, 214, 236), (160, 176, 206), (60, 60, 60)), size=17, round=False,
                    top=4),
    'WINXP':   dict(colors=((255, 255, 255), (40, 110, 240), (80, 150, 255), (10, 60, 190), (255, 255, 255)), size=21, round=False,
                    top=5),
    'INDIGO':  dict(colors=((20, 20, 70), (76, 82, 170), (110, 118, 210), (44, 48, 120), (255, 255, 255)), size=19, round=False,
                    top=2),
    'MINERAL': dict(colors=((90, 90, 100), (236, 236, 240), (210, 214, 240), (176, 180, 214), (40, 40, 48)), size=19, round=True,
                    top=2),
    'GLACIER': dict(colors=((60, 90, 150), (226, 238, 252), (196, 220, 250), (150, 186, 236), (30, 60, 120)), size=19, round=True,
                    top=6),
}


def glyph_points(kind, s):
    """Pixels of a caption-button glyph in an s x s frame."""
    p = set()
    m = s // 4 + 1            # margin
    lo, hi = m, s - 1 - m
    if kind == 'box':
        for y in range(lo + 1, hi):
            for x in range(lo + 1, hi):
                if x in (lo + 1, hi - 1) or y in (lo + 1, lo + 2, hi - 1):
                    p.add((x, y))
    elif kind == 'help':
        cx = s // 2
        shape = [(-2, 0), (-1, -1), (0, -1), (1, -1), (2, 0), (2, 1), (1, 2), (0, 3), (0, 4), (0, 6)]
        for dx, dy in shape:
            p.add((cx + dx, lo + dy))
            p.add((cx + dx, lo + dy)) if dy != 6 else None
    elif kind == 'max':
        for y in range(lo, hi + 1):
            for x in range(lo, hi + 1):
                if x in (lo, hi) or y in (lo, lo + 1, hi):
                    p.add((x, y))
    elif kind == 'restore':
        a = 2
        for y in range(lo, hi - a + 1):
            for x in range(lo + a, hi + 1):
                if x in (lo + a, hi) or y in (lo, hi - a):
                    p.add((x, y))
        for y in range(lo + a, hi + 1):
            for x in range(lo, hi - a + 1):
                if x in (lo, hi - a) or y in (lo + a, lo + a + 1, hi):
                    p.add((x, y))
                elif lo < x < hi - a and lo + a + 1 < y < hi:
                    p.discard((x, y))
    elif kind == 'min':
        for x in range(lo, hi + 1):
            p.add((x, hi))
            p.add((x, hi - 1))
    elif kind == 'close':
        for i in range(hi - lo + 1):
            for d in (0, 1):
                p.add((lo + i + d if lo + i + d <= hi else lo + i, lo + i))
                p.add((hi - i - d if hi - i - d >= lo else hi - i, lo + i))
    return p


def title_row_color(style, y):
    """The colour of the title picture's row y (as title_pictures draws it)."""
    border, top, bottom, light = TITLES[style]['colors']
    height = TITLES[style]['sizes'][1][1]
    steps = 12
    if y == 0:
        return border
    if y == 1:
        return light
    return gradient_palette(top, bottom, steps)[min(steps - 1, (y - 2) * steps // max(1, height - 2))]


def title_button_strip(style):
    edge, normal, hover, pressed, glyph = TITLE_BUTTONS[style]['colors']
    s = TITLE_BUTTONS[style]['size']
    rounded = TITLE_BUTTONS[style]['round']
    top = TITLE_BUTTONS[style]['top']
    palette = [(255, 0, 255), edge, normal, hover, pressed, glyph, (200, 40, 30), (236, 90, 70)]
    # The rows a skinned form hides, and as many columns at the right, stay out of the button: it
    # is drawn that much smaller, whole in what shows. Square buttons are not see-through, so the
    # spare pixels take the colour of the title rows under them; round ones stay see-through.
    hidden = max(0, 3 - top)
    b = s - hidden
    spare = {}
    if hidden and not rounded:
        for y in range(s):
            color = title_row_color(style, top + y)
            if color not in palette:
                palette.append(color)
            spare[y] = palette.index(color)
    assert len(palette) <= 16
    pixels = blank(s * 18, s)
    kinds = ['box', 'help', 'max', 'restore', 'min', 'close']
    for k, kind in enumerate(kinds):
        points = glyph_points(kind, b)
        for n, face in enumerate((2, 3, 4)):
            left = (k * 3 + n) * s
            for y in range(s):
                for x in range(b, s):
                    pixels[y][left + x] = spare.get(y, 0)
            for y in range(hidden):
                for x in range(b):
                    pixels[y][left + x] = spare.get(y, 0)
            # close buttons of the dark styles turn red under the mouse
            f = face
            if kind == 'close' and style in ('WINXP', 'INDIGO') and n > 0:
                f = 6 if n == 1 else 7
            c = (b - 1) / 2
            for y in range(b):
                for x in range(b):
                    if rounded:
                        d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
                        if d > c + 0.3:
                            continue
                        on_edge = d > c - 0.9
                    else:
                        on_edge = x in (0, b - 1) or y in (0, b - 1)
                    pixels[hidden + y][left + x] = 1 if on_edge else f
            shift = 1 if n == 2 else 0
            for (x, y) in points:
                if 0 <= x + shift < b and 0 <= y + shift < b:
                    pixels[hidden + y + shift][left + x + shift] = 5
    write_bmp(style + '_TITLEBTN', pixels, palette, 4)


def form_backgrounds():
    # Fine horizontal pinstripes.
    palette = [(238, 238, 238), (228, 228, 228)]
    pixels = [[y % 4 // 2] * 8 for y in range(8)]
    write_bmp('MACOS_FORM_BACKGROUND', pixels, palette, 4)
    # A quiet stone grain, repeating every 32 pixels.
    palette = [(251, 251, 251), (244, 244, 246), (238, 239, 242)]
    pixels = []
    for y in range(32):
        row = []
        for x in range(32):
            v = (x * 7 + y * 13 + (x * y) % 5) % 11
            row.append(0 if v < 7 else 1 if v < 10 else 2)
        pixels.append(row)
    write_bmp('MINERAL_FORM_BACKGROUND', pixels, palette, 4)


if __name__ == '__main__':
    for style in STYLES:
        check_box_strip(style)
        button_strip(style)
        title_pictures(style)
        title_button_strip(style)
    form_backgrounds()
    menu_checked()
    vertical_run('MACOS_MENU_BAR', 22, (250, 250, 250), (222, 222, 222), 4)
    vertical_run('MACOS_MENU_SELECT', 21, (96, 150, 230), (40, 90, 190), 8)
