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


if __name__ == '__main__':
    for style in STYLES:
        check_box_strip(style)
        button_strip(style)
    menu_checked()
    vertical_run('MACOS_MENU_BAR', 22, (250, 250, 250), (222, 222, 222), 4)
    vertical_run('MACOS_MENU_SELECT', 21, (96, 150, 230), (40, 90, 190), 8)
