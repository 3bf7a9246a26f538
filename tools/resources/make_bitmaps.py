#!/usr/bin/env python3
"""Draws the editor's bitmaps (resource/*.png) for plug.uidesc.

Python 3 standard library only (zlib, struct): shapes are drawn with anti-aliased
signed-distance coverage into a premultiplied RGBA canvas and written as PNG.

    python3 tools/resources/make_bitmaps.py [OUTPUT_DIR]    (default: resource/)

The geometry here must match plug.uidesc (editor size, panel places, slider travel).
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Layout shared with plug.uidesc
EDITOR_W, EDITOR_H = 860, 450
HEADER_H = 56
FOOTER_Y = 404
EQ_PANEL = (16, 66, 700, 394)        # left, top, right, bottom
LEVEL_PANEL = (712, 66, 844, 394)
SLIDER_W, SLIDER_H = 28, 236
SLIDER_TOP = 104                     # editor y of the sliders' top edge
HANDLE_W, HANDLE_H = 28, 14
FIRST_COLUMN_X, COLUMN_STEP = 80, 40  # centre of the first band column, distance of columns
KNOB_SIZE = 80

ACCENT = (0x3C, 0xC8, 0xD8)
AMBER = (0xFF, 0xB2, 0x3C)


def hex_rgb(text):
    text = text.lstrip('#')
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


# ---------------------------------------------------------------------------
class Canvas:
    """Premultiplied RGBA in floats (0..1)."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [0.0] * (width * height * 4)

    def blend(self, x, y, rgb, alpha):
        if alpha <= 0.0:
            return
        i = (y * self.w + x) * 4
        p = self.px
        inv = 1.0 - alpha
        p[i] = rgb[0] / 255.0 * alpha + p[i] * inv
        p[i + 1] = rgb[1] / 255.0 * alpha + p[i + 1] * inv
        p[i + 2] = rgb[2] / 255.0 * alpha + p[i + 2] * inv
        p[i + 3] = alpha + p[i + 3] * inv

    def shape(self, sdf, bbox, paint, alpha=1.0, soft=0.0):
        """Covers the pixels of a shape given by its signed distance (negative inside).
        soft > 0 blurs the edge over that many pixels (shadows, glows)."""
        x0, y0, x1, y1 = bbox
        x0 = max(0, int(math.floor(x0 - soft - 1)))
        y0 = max(0, int(math.floor(y0 - soft - 1)))
        x1 = min(self.w, int(math.ceil(x1 + soft + 1)))
        y1 = min(self.h, int(math.ceil(y1 + soft + 1)))
        for y in range(y0, y1):
            cy = y + 0.5
            for x in range(x0, x1):
                cx = x + 0.5
                d = sdf(cx, cy)
                if soft > 0.0:
                    t = min(1.0, max(0.0, 0.5 - d / (2.0 * soft)))
                    cov = t * t * (3.0 - 2.0 * t)
                else:
                    cov = min(1.0, max(0.0, 0.5 - d))
                if cov > 0.0:
                    rgb, a = paint(cx, cy)
                    self.blend(x, y, rgb, cov * a * alpha)

    def write_png(self, path):
        rows = []
        for y in range(self.h):
            row = bytearray([0])
            for x in range(self.w):
                i = (y * self.w + x) * 4
                a = self.px[i + 3]
                if a <= 0.0:
                    row += b'\0\0\0\0'
                    continue
                row += bytes(min(255, int(round(self.px[i + k] / a * 255.0))) for k in range(3))
                row.append(min(255, int(round(a * 255.0))))
            rows.append(bytes(row))
        raw = b''.join(rows)

        def chunk(kind, data):
            return (struct.pack('>I', len(data)) + kind + data +
                    struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

        png = b'\x89PNG\r\n\x1a\n'
        png += chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b'IDAT', zlib.compress(raw, 9))
        png += chunk(b'IEND', b'')
        with open(path, 'wb') as f:
            f.write(png)


# ---------------------------------------------------------------------------
# Signed distances
def rrect(l, t, r, b, radius):
    cx, cy = (l + r) / 2.0, (t + b) / 2.0
    hw, hh = (r - l) / 2.0 - radius, (b - t) / 2.0 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf, (l, t, r, b)


def circle(cx, cy, radius):
    return (lambda x, y: math.hypot(x - cx, y - cy) - radius), (cx - radius, cy - radius, cx + radius, cy + radius)


def ring_arc(cx, cy, radius, width, start_deg, end_deg):
    """An arc stroke with round caps; angles in degrees, clockwise from three o'clock."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)
    ends = [(cx + math.cos(a) * radius, cy + math.sin(a) * radius) for a in (a0, a1)]
    span = a1 - a0

    def sdf(x, y):
        ang = math.atan2(y - cy, x - cx)
        rel = (ang - a0) % (2.0 * math.pi)
        if rel <= span:
            return abs(math.hypot(x - cx, y - cy) - radius) - width / 2.0
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2.0
    ext = radius + width
    return sdf, (cx - ext, cy - ext, cx + ext, cy + ext)


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - width / 2.0
    return sdf, (min(x0, x1) - width, min(y0, y1) - width, max(x0, x1) + width, max(y0, y1) + width)


def ring(cx, cy, radius, width):
    return ((lambda x, y: abs(math.hypot(x - cx, y - cy) - radius) - width / 2.0),
            (cx - radius - width, cy - radius - width, cx + radius + width, cy + radius + width))


# Paints
def solid(rgb, a=1.0):
    return lambda x, y: (rgb, a)


def vgrad(y0, y1, top, bottom, a=1.0):
    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0)))
        return tuple(top[k] + (bottom[k] - top[k]) * t for k in range(3)), a
    return paint


def radial(cx, cy, radius, inner, outer, a=1.0):
    def paint(x, y):
        t = min(1.0, math.hypot(x - cx, y - cy) / radius)
        return tuple(inner[k] + (outer[k] - inner[k]) * t for k in range(3)), a
    return paint


def draw(canvas, shape_and_bbox, paint, alpha=1.0, soft=0.0):
    sdf, bbox = shape_and_bbox
    canvas.shape(sdf, bbox, paint, alpha, soft)


# ---------------------------------------------------------------------------
def slider_value_centre_y(value):
    """Editor y of the handle's centre for a normalised value (minimum at the bottom)."""
    travel = SLIDER_H - HANDLE_H
    return SLIDER_TOP + math.floor((1.0 - value) * travel) + HANDLE_H / 2.0


def inset_panel(c, box, radius=8):
    l, t, r, b = box
    # light lip below, dark shadow above: the panel sits lower than the face
    draw(c, rrect(l, t + 1, r, b + 1, radius), solid(hex_rgb('#3A404A'), 0.55))
    draw(c, rrect(l, t, r, b, radius), solid(hex_rgb('#0C0D10')))
    draw(c, rrect(l + 1, t + 1, r - 1, b - 1, radius - 1), vgrad(t, b, hex_rgb('#15171B'), hex_rgb('#1C1F24')))
    # inner shadow along the top edge
    draw(c, rrect(l + 1, t + 1, r - 1, t + 10, radius - 1), vgrad(t, t + 10, (0, 0, 0), (0, 0, 0), 0.35))


def make_background(path):
    c = Canvas(EDITOR_W, EDITOR_H)
    draw(c, rrect(0, 0, EDITOR_W, EDITOR_H, 0.01), vgrad(0, EDITOR_H, hex_rgb('#272B32'), hex_rgb('#1B1E23')))
    # header and footer bands
    draw(c, rrect(0, 0, EDITOR_W, HEADER_H, 0.01), vgrad(0, HEADER_H, hex_rgb('#313640'), hex_rgb('#272B32')))
    draw(c, rrect(0, HEADER_H - 1, EDITOR_W, HEADER_H, 0.01), solid(hex_rgb('#101215')))
    draw(c, rrect(0, HEADER_H, EDITOR_W, HEADER_H + 1, 0.01), solid(hex_rgb('#3A404A'), 0.6))
    draw(c, rrect(0, 0, EDITOR_W, 1, 0.01), solid(hex_rgb('#4A515C'), 0.7))
    draw(c, rrect(0, FOOTER_Y, EDITOR_W, EDITOR_H, 0.01), vgrad(FOOTER_Y, EDITOR_H, hex_rgb('#1E2126'), hex_rgb('#181A1E')))
    draw(c, rrect(0, FOOTER_Y, EDITOR_W, FOOTER_Y + 1, 0.01), solid(hex_rgb('#101215')))
    draw(c, rrect(0, FOOTER_Y + 1, EDITOR_W, FOOTER_Y + 2, 0.01), solid(hex_rgb('#353A43'), 0.5))
    # accent mark before the title
    draw(c, rrect(16, 14, 20, 42, 2), vgrad(14, 42, ACCENT, tuple(int(v * 0.6) for v in ACCENT)))

    inset_panel(c, EQ_PANEL)
    inset_panel(c, LEVEL_PANEL)

    # dB grid behind the sliders: +12, +6, 0, -6, -12
    left = FIRST_COLUMN_X - COLUMN_STEP / 2.0 + 2
    right = FIRST_COLUMN_X + 14 * COLUMN_STEP + COLUMN_STEP / 2.0 - 2
    for db in (12, 6, 0, -6, -12):
        y = math.floor(slider_value_centre_y((db + 12) / 24.0)) + 0.5
        colour, alpha = (hex_rgb('#4A5260'), 0.9) if db == 0 else (hex_rgb('#2C3139'), 1.0)
        draw(c, segment(left, y, right, y, 1.0), solid(colour, alpha))
        # ticks next to the scale numbers
        draw(c, segment(left - 8, y, left - 3, y, 1.0), solid(hex_rgb('#5A6270')))
    # faint column guides
    for band in range(15):
        x = FIRST_COLUMN_X + band * COLUMN_STEP + 0.5
        y_top = slider_value_centre_y(1.0)
        y_bottom = slider_value_centre_y(0.0)
        draw(c, segment(x, y_top, x, y_bottom, 1.0), solid(hex_rgb('#22262C')))
    c.write_png(path)


def make_slider_track(path):
    c = Canvas(SLIDER_W, SLIDER_H)
    cx = SLIDER_W / 2.0
    top, bottom = HANDLE_H / 2.0 - 3, SLIDER_H - HANDLE_H / 2.0 + 3
    draw(c, rrect(cx - 3, top + 1, cx + 3, bottom + 1, 3), solid(hex_rgb('#3A404A'), 0.5))
    draw(c, rrect(cx - 3, top, cx + 3, bottom, 3), solid(hex_rgb('#07080A')))
    draw(c, rrect(cx - 2, top + 1, cx + 2, bottom - 1, 2), vgrad(top, bottom, hex_rgb('#0E1013'), hex_rgb('#14171B')))
    c.write_png(path)


def make_slider_handle(path):
    c = Canvas(HANDLE_W, HANDLE_H)
    draw(c, rrect(1, 1.5, HANDLE_W - 1, HANDLE_H - 0.5, 3), solid((0, 0, 0), 0.6), soft=1.0)
    draw(c, rrect(1, 0.5, HANDLE_W - 1, HANDLE_H - 1.5, 3), solid(hex_rgb('#0E1013')))
    draw(c, rrect(2, 1.5, HANDLE_W - 2, HANDLE_H - 2.5, 2.2),
         vgrad(1.5, HANDLE_H - 2.5, hex_rgb('#E4E8EE'), hex_rgb('#9AA2AD')))
    # grip line in the accent colour
    mid = (HANDLE_H - 1) / 2.0
    draw(c, rrect(5, mid - 1, HANDLE_W - 5, mid + 1, 1), solid(tuple(int(v * 0.8) for v in ACCENT)))
    c.write_png(path)


def make_knob(path):
    c = Canvas(KNOB_SIZE, KNOB_SIZE)
    cx = cy = KNOB_SIZE / 2.0
    # the corona's track: the whole range, 135 to 405 degrees, radius 37 (corona inset 3)
    draw(c, ring_arc(cx, cy, 37 - 0.0, 2.5, 135, 405), solid(hex_rgb('#2C3139')))
    # 0 dB mark (three quarters of the range)
    zero = math.radians(135 + 0.75 * 270)
    draw(c, segment(cx + math.cos(zero) * 31.5, cy + math.sin(zero) * 31.5,
                    cx + math.cos(zero) * 34, cy + math.sin(zero) * 34, 1.5), solid(hex_rgb('#6A7380')))
    # shadow, rim, body and cap
    draw(c, circle(cx + 1, cy + 2.5, 27), solid((0, 0, 0), 0.7), soft=3.0)
    draw(c, circle(cx, cy, 27.5), solid(hex_rgb('#0A0B0D')))
    draw(c, circle(cx, cy, 26.5), vgrad(cy - 27, cy + 27, hex_rgb('#5A626E'), hex_rgb('#2A2F37')))
    draw(c, circle(cx, cy, 23), radial(cx - 6, cy - 8, 32, hex_rgb('#454C57'), hex_rgb('#262A31')))
    draw(c, ring(cx, cy, 23, 1.0), vgrad(cy - 23, cy + 23, hex_rgb('#1A1D22'), hex_rgb('#50575F')), 0.8)
    c.write_png(path)


def make_bypass_button(path):
    w, h = 52, 22
    c = Canvas(w, 2 * h)
    for state in (0, 1):
        oy = state * h
        border = AMBER if state else hex_rgb('#3A404A')
        draw(c, rrect(0.5, oy + 0.5, w - 0.5, oy + h - 0.5, 10.5), solid(border, 0.9 if state else 1.0))
        draw(c, rrect(1.5, oy + 1.5, w - 1.5, oy + h - 1.5, 9.5),
             vgrad(oy, oy + h, hex_rgb('#2B3038'), hex_rgb('#191C20')))
        lx, ly = 13.0, oy + h / 2.0
        if state:
            draw(c, circle(lx, ly, 7), solid(AMBER, 0.45), soft=3.0)
            draw(c, circle(lx, ly, 4.5), radial(lx - 1, ly - 1, 5, hex_rgb('#FFE7B0'), AMBER))
        else:
            draw(c, circle(lx, ly, 4.5), solid(hex_rgb('#3B3128')))
            draw(c, ring(lx, ly, 4.5, 1.0), solid(hex_rgb('#101215')))
        # two short grip lines on the right half
        for k in range(3):
            x = 28 + k * 6
            colour = AMBER if state else hex_rgb('#565E6A')
            draw(c, segment(x, oy + 7.5, x, oy + h - 7.5, 1.5), solid(colour, 0.85 if state else 1.0))
    c.write_png(path)


def make_about_button(path):
    s = 22
    c = Canvas(s, 2 * s)
    for state in (0, 1):
        oy = state * s
        cx, cy = s / 2.0, oy + s / 2.0
        if state:
            draw(c, circle(cx, cy, 9), solid(ACCENT))
            glyph = hex_rgb('#101215')
        else:
            draw(c, ring(cx, cy, 8.5, 1.5), solid(hex_rgb('#6A7380')))
            glyph = hex_rgb('#8A93A0')
        draw(c, circle(cx, cy - 4.5, 1.4), solid(glyph))
        draw(c, segment(cx, cy - 1.2, cx, cy + 4.8, 2.2), solid(glyph))
    c.write_png(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'resource')
    os.makedirs(out, exist_ok=True)
    make_background(os.path.join(out, 'background.png'))
    make_slider_track(os.path.join(out, 'slider_track.png'))
    make_slider_handle(os.path.join(out, 'slider_handle.png'))
    make_knob(os.path.join(out, 'knob.png'))
    make_bypass_button(os.path.join(out, 'bypass_button.png'))
    make_about_button(os.path.join(out, 'about_button.png'))


if __name__ == '__main__':
    main()
