#!/usr/bin/env python3
"""Draws every skin picture of the program (res/skin_*.png) from shapes, reproducibly.

Only the Python standard library is used: shapes are drawn with signed distances, so edges
come out smooth, and the PNG files are written directly. Running it twice gives the same
bytes. Run from anywhere:  python3 tools/artwork/make-skin.py

The look: a deep crimson caption band with a thin gold rule, a warm cream body, gold accents,
white caption glyphs. Conventions the program relies on:
- magenta (255, 0, 255) or alpha 0 is transparent; the 9x9 corner blocks of a background
  shape the window's outline, so rounded corners are magenta there;
- a background drawn in stretch mode keeps its rounded corners within the border width: the
  edges next to a corner are stretched, and magenta there would be smeared along the edge;
- pictures other than the login background (129) carry no partial alpha: an edge pixel is
  either transparent or opaque, mixed with the colour it will sit on, because the loader
  blends partial alpha onto white;
- button strips have four frames (normal, hover, pressed, disabled), tab strips three.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "res"))

MAGENTA = (255, 0, 255)

# Palette.
OUTLINE = (52, 8, 10)
BAND_TOP = (168, 38, 40)
BAND_BOTTOM = (104, 16, 20)
BAND_HIGHLIGHT = (196, 84, 76)
GOLD = (214, 168, 72)
GOLD_DARK = (150, 108, 36)
CREAM = (251, 247, 239)
CREAM_LOW = (243, 235, 220)
FRAME = (128, 26, 28)
WHITE = (255, 255, 255)
DARK_BODY = (36, 22, 24)


# ---------------------------------------------------------------- basics

class Image:
    def __init__(self, w, h, fill=(255, 0, 255, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, rgba):
        self.px[y * self.w + x] = list(rgba)

    def blend(self, x, y, rgb, a):
        """Paints rgb over the pixel with coverage a (0..1), keeping it opaque."""
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        if p[3] == 0:
            # Nothing underneath yet: the shape decides alone.
            if a >= 0.5:
                self.px[y * self.w + x] = [rgb[0], rgb[1], rgb[2], 255]
            return
        a = min(a, 1.0)
        self.px[y * self.w + x] = [round(p[i] * (1 - a) + rgb[i] * a) for i in range(3)] + [255]

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                tx, ty = ox + x, oy + y
                if 0 <= tx < self.w and 0 <= ty < self.h:
                    self.px[ty * self.w + tx] = list(other.get(x, y))

    def save(self, name):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                raw.extend(bytes(self.get(x, y)))

        def chunk(kind, data):
            c = struct.pack(">I", len(data)) + kind + data
            return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        png += chunk(b"IEND", b"")
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png)
        print("wrote res/%s (%dx%d)" % (name, self.w, self.h))


def mix(c1, c2, t):
    return tuple(round(c1[i] * (1 - t) + c2[i] * t) for i in range(3))


def clamp01(v):
    return 0.0 if v < 0 else 1.0 if v > 1 else v


def coverage(d):
    """Signed distance (negative inside) to pixel coverage."""
    return clamp01(0.5 - d)


def sd_round_rect(px, py, x0, y0, x1, y1, r):
    """Signed distance from pixel centre (px, py) to a rounded rectangle [x0, x1] x [y0, y1]."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0), max(qy, 0))
    inside = min(max(qx, qy), 0)
    return outside + inside - r


def sd_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy or 1))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def fill_shape(img, sdf, colour, box=None):
    """Paints the shape given by sdf(x, y) (pixel centres) in a colour or colour(x, y)."""
    x0, y0, x1, y1 = box or (0, 0, img.w, img.h)
    for y in range(max(y0, 0), min(y1, img.h)):
        for x in range(max(x0, 0), min(x1, img.w)):
            a = coverage(sdf(x + 0.5, y + 0.5))
            if a > 0:
                img.blend(x, y, colour(x, y) if callable(colour) else colour, a)


def stroke_segments(img, segments, width, colour, box=None):
    half = width / 2

    def sdf(x, y):
        return min(sd_segment(x, y, *s) for s in segments) - half
    fill_shape(img, sdf, colour, box)


# ---------------------------------------------------------------- the caption band

BAND_HEIGHT = 30


def band_colour(y):
    """Colour of row y of the caption band (the same in every window, so that caption buttons
    drawn on their own match the band they sit on)."""
    if y == 1:
        return BAND_HIGHLIGHT
    if y >= BAND_HEIGHT - 2:
        return GOLD if y == BAND_HEIGHT - 2 else GOLD_DARK
    t = y / (BAND_HEIGHT - 3)
    return mix(BAND_TOP, BAND_BOTTOM, t)


def window_background(w, h, border, caption, body_top, body_bottom, top_radius=4, bottom_radius=4):
    """A skinned window picture: outline, crimson band and side frames, body in a vertical
    gradient, rounded corners cut with magenta (inside the 9x9 corner blocks)."""
    img = Image(w, h)
    band_height = BAND_HEIGHT
    for y in range(h):
        for x in range(w):
            if y < band_height:
                c = band_colour(y)
            elif x < border or x >= w - border or y >= h - border:
                c = FRAME
            else:
                c = mix(body_top, body_bottom, (y - band_height) / max(h - band_height - border - 1, 1))
            img.set(x, y, c + (255,))
    # Gold inner rule along the body, one pixel inside the frame.
    if border >= 2:
        for y in range(band_height, h - border + 1):
            for x in (border - 1, w - border):
                img.set(x, y, GOLD_DARK + (255,))
        for x in range(border - 1, w - border + 1):
            img.set(x, h - border, GOLD_DARK + (255,))
    # Outline and rounded corners: outside the rounded outline is transparent.
    def outer(x, y):
        top = y < h / 2
        r = top_radius if top else bottom_radius
        return sd_round_rect(x, y, 0, 0, w, h, r)
    for y in range(h):
        for x in range(w):
            in_corner = (x < 9 or x >= w - 9) and (y < 9 or y >= h - 9)
            d = outer(x + 0.5, y + 0.5)
            if in_corner and d > -0.5:
                # Outside: transparent; the window's region leaves it out.
                img.set(x, y, (255, 0, 255, 0))
            elif d > -1.5:
                p = img.get(x, y)
                img.set(x, y, mix(p[:3], OUTLINE, clamp01(d + 1.5)) + (255,))
    return img


# ---------------------------------------------------------------- buttons on the band

def band_button_frame(w, h, top, state, glyph, close=False, right_outline=False):
    """One frame of a caption button: opaque, on the band rows it covers, with a rounded
    highlight for hover and pressed, and a white glyph (grey when disabled)."""
    img = Image(w, h)
    for y in range(h):
        for x in range(w):
            img.set(x, y, band_colour(top + y) + (255,))
    if top == 0:
        for x in range(w):
            img.set(x, 0, OUTLINE + (255,))
    if right_outline:
        for y in range(h):
            img.set(w - 1, y, OUTLINE + (255,))
    pad_top = 3 if top == 0 else 1
    if state in (1, 2):
        if close:
            fill = (222, 62, 52) if state == 1 else (150, 20, 20)
        else:
            fill = (200, 78, 72) if state == 1 else (82, 10, 14)
        fill_shape(img, lambda x, y: sd_round_rect(x, y, 2, pad_top, w - 2 - (1 if right_outline else 0), h - 2, 3), fill)
    colour = (180, 140, 140) if state == 3 else WHITE
    shift = 1 if state == 2 else 0
    glyph(img, w / 2 + shift, (pad_top + h - 2) / 2 + shift, colour)
    return img


def strip(frames):
    w = sum(f.w for f in frames)
    img = Image(w, frames[0].h)
    x = 0
    for f in frames:
        img.paste(f, x, 0)
        x += f.w
    return img


def glyph_close(img, cx, cy, colour):
    s = 4.5
    stroke_segments(img, [(cx - s, cy - s, cx + s, cy + s), (cx - s, cy + s, cx + s, cy - s)], 1.7, colour)


def glyph_minimize(img, cx, cy, colour):
    stroke_segments(img, [(cx - 5, cy + 4, cx + 5, cy + 4)], 2.0, colour)


def glyph_maximize(img, cx, cy, colour):
    x0, y0, x1, y1 = cx - 5, cy - 4.5, cx + 5, cy + 4.5
    stroke_segments(img, [(x0, y0, x1, y0), (x1, y0, x1, y1), (x1, y1, x0, y1), (x0, y1, x0, y0)], 1.4, colour)
    stroke_segments(img, [(x0, y0 + 1, x1, y0 + 1)], 1.4, colour)


def glyph_restore(img, cx, cy, colour):
    a = (cx - 5, cy - 2, cx + 3, cy + 5)
    stroke_segments(img, [(a[0], a[1], a[2], a[1]), (a[2], a[1], a[2], a[3]), (a[2], a[3], a[0], a[3]),
                          (a[0], a[3], a[0], a[1])], 1.4, colour)
    stroke_segments(img, [(cx - 2, cy - 2, cx - 2, cy - 5), (cx - 2, cy - 5, cx + 6, cy - 5),
                          (cx + 6, cy - 5, cx + 6, cy + 2), (cx + 6, cy + 2, cx + 3, cy + 2)], 1.4, colour)


def glyph_hide(img, cx, cy, colour):
    # Down into the tray: a chevron over a bar.
    stroke_segments(img, [(cx - 5, cy - 4, cx, cy + 1), (cx, cy + 1, cx + 5, cy - 4)], 1.8, colour)
    stroke_segments(img, [(cx - 6, cy + 5, cx + 6, cy + 5)], 1.8, colour)


def speaker(img, cx, cy, colour):
    def body(x, y):
        # Box and cone of a loudspeaker.
        box = sd_round_rect(x, y, cx - 7, cy - 2.5, cx - 3.5, cy + 2.5, 0.5)
        # Cone: a trapezoid from the box to a taller mouth.
        t = (x - (cx - 3.5)) / 4.5
        half = 2.5 + t * 3.5
        cone = max(cx - 3.5 - x, x - (cx + 1), abs(y - cy) - half) if 0 <= t <= 1 else 9
        return min(box, cone)
    fill_shape(img, body, colour)


def glyph_sound_on(img, cx, cy, colour):
    speaker(img, cx, cy, colour)
    for r in (4.5, 7.5):
        def arc(x, y, r=r):
            d = abs(math.hypot(x - (cx + 0.5), y - cy) - r) - 0.8
            return d if x > cx + 1.5 and abs(y - cy) < r * 0.8 else 9
        fill_shape(img, arc, colour)


def glyph_sound_muted(img, cx, cy, colour):
    speaker(img, cx, cy, colour)
    stroke_segments(img, [(cx + 3, cy - 3, cx + 8, cy + 2), (cx + 3, cy + 2, cx + 8, cy - 3)], 1.6, colour)


def band_strip(w, h, top, glyph, close=False, right_outline=False):
    return strip([band_button_frame(w, h, top, s, glyph, close, right_outline) for s in range(4)])


# ---------------------------------------------------------------- push buttons and the rest

def push_button_frame(w, h, state, matte=CREAM):
    img = Image(w, h, tuple(matte) + (0,))
    tops = [(255, 250, 236), (255, 253, 244), (230, 208, 150), (240, 240, 240)]
    bottoms = [(234, 212, 156), (246, 226, 170), (246, 232, 196), (220, 220, 220)]
    borders = [(168, 128, 52), (196, 140, 36), (128, 92, 30), (180, 180, 180)]
    r = 4.0

    def colour(x, y):
        return mix(tops[state], bottoms[state], y / (h - 1))
    # Fill then border; the matte is the body colour the button sits on.
    for y in range(h):
        for x in range(w):
            d = sd_round_rect(x + 0.5, y + 0.5, 0, 0, w, h, r)
            a = coverage(d)
            if a < 0.3:
                img.set(x, y, (255, 0, 255, 0))
                continue
            inner = coverage(d + 1.2)  # 1.2 pixels inside the edge
            c = mix(borders[state], colour(x, y), inner)
            if state == 1 and 1 <= y <= 2 and inner > 0.9:
                c = mix(c, WHITE, 0.5)
            img.set(x, y, mix(matte, c, a) + (255,))
    return img


def system_button_frame(w, h, state):
    """The main window's "系统" button: on the band, with a faint gold outline so that the
    white caption the program draws on it reads as a button."""
    img = Image(w, h)
    for y in range(h):
        for x in range(w):
            img.set(x, y, band_colour(y) + (255,))
    for x in range(w):
        img.set(x, 0, OUTLINE + (255,))
    fills = [None, (196, 76, 70), (84, 12, 16), None]
    edge = [(206, 150, 80), (236, 196, 110), (170, 120, 50), (150, 90, 90)][state]
    if fills[state]:
        fill_shape(img, lambda x, y: sd_round_rect(x, y, 2, 4, w - 2, h - 3, 4), fills[state])
    ring = lambda x, y: abs(sd_round_rect(x, y, 2.5, 4.5, w - 2.5, h - 3.5, 4)) - 0.5
    fill_shape(img, ring, edge)
    return img


def tab_frame(state):
    w, h = 189, 22
    img = Image(w, h)
    body = [(232, 218, 206), (246, 236, 224), (255, 250, 240)][state]
    edge = [(120, 40, 40), (150, 60, 50), (196, 150, 64)][state]
    for y in range(h):
        for x in range(w):
            img.set(x, y, band_colour(3 + y) + (0,))
    for y in range(h):
        for x in range(w):
            # A tab with rounded top corners and square feet.
            d = sd_round_rect(x + 0.5, y + 0.5, 1, 0, w - 1, h + 8, 6)
            a = coverage(d)
            if a <= 0:
                continue
            c = mix(body, mix(body, (255, 255, 255), 0.5), clamp01(1 - y / 6)) if state else body
            c = mix(edge, c, coverage(d + 1.0))
            matte = band_colour(3 + y)
            if a < 0.3:
                continue
            img.set(x, y, mix(matte, c, a) + (255,))
    if state == 2:
        for x in range(6, w - 6):
            img.set(x, 0, GOLD + (255,))
            img.set(x, 1, mix(GOLD, (255, 250, 240), 0.5) + (255,))
    return img


def tab_close_frame(state):
    w = h = 13
    hot_tab = (246, 236, 224)
    img = Image(w, h, hot_tab + (0,))
    cx = cy = 6.5
    if state in (1, 2):
        circle = (214, 64, 52) if state == 1 else (140, 22, 22)
        for y in range(h):
            for x in range(w):
                a = coverage(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - 6)
                if a >= 0.3:
                    img.set(x, y, mix(hot_tab, circle, a) + (255,))
    colour = (120, 70, 64) if state == 0 else WHITE
    s = 2.8
    segs = [(cx - s, cy - s, cx + s, cy + s), (cx - s, cy + s, cx + s, cy - s)]
    for y in range(h):
        for x in range(w):
            a = coverage(min(sd_segment(x + 0.5, y + 0.5, *g) for g in segs) - 0.8)
            if a <= 0:
                continue
            p = img.get(x, y)
            under = p[:3] if p[3] else hot_tab
            if p[3] == 0 and a < 0.3:
                continue
            img.set(x, y, mix(under, colour, a) + (255,))
    return img


def add_account_icon():
    w = h = 14
    img = Image(w, h)
    top = 8  # the icon sits on band rows 8..21
    cx = cy = 7
    for y in range(h):
        for x in range(w):
            matte = band_colour(top + y)
            a = coverage(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - 6.5)
            if a < 0.3:
                continue
            ring = coverage(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - 5.2)
            c = mix(GOLD_DARK, GOLD, ring)
            plus = min(sd_segment(x + 0.5, y + 0.5, cx - 3.2, cy, cx + 3.2, cy),
                       sd_segment(x + 0.5, y + 0.5, cx, cy - 3.2, cx, cy + 3.2)) - 0.9
            c = mix(c, WHITE, coverage(plus))
            img.set(x, y, mix(matte, c, a) + (255,))
    return img


def notice_background(w, h, picture_box=None):
    img = window_background(w, h, 3, 0, CREAM, CREAM_LOW, top_radius=5, bottom_radius=3)
    if picture_box:
        x0, y0, x1, y1 = picture_box
        for x in range(x0, x1):
            for y in (y0, y1 - 1):
                img.set(x, y, GOLD_DARK + (255,))
        for y in range(y0, y1):
            for x in (x0, x1 - 1):
                img.set(x, y, GOLD_DARK + (255,))
    return img


def picture_notice_background(w, h):
    """Only a bar with rounded top corners; the rest is magenta and see-through, where the
    notice's picture goes."""
    img = Image(w, h)
    bar = 22
    for y in range(bar):
        for x in range(w):
            d = sd_round_rect(x + 0.5, y + 0.5, 0, 0, w, bar + 10, 5)
            if coverage(d) >= 0.5:
                c = band_colour(y)
                if d > -1.2:
                    c = OUTLINE
                img.set(x, y, c + (255,))
    return img


def progress_background(w, h):
    img = Image(w, h, CREAM + (0,))
    trough = (236, 226, 206)
    for y in range(h):
        for x in range(w):
            d = sd_round_rect(x + 0.5, y + 0.5, 0, 0, w, h, h / 2)
            a = coverage(d)
            if a < 0.3:
                continue
            c = mix((132, 100, 70), mix((214, 200, 176), trough, clamp01(y / 4)), coverage(d + 1.0))
            img.set(x, y, mix(CREAM, c, a) + (255,))
    return img


def progress_bar(w, h, matte):
    img = Image(w, h, matte + (0,))
    for y in range(h):
        t = y / (h - 1)
        base = mix((255, 214, 120), (214, 120, 28), t)
        if y <= 2:
            base = mix(base, WHITE, 0.35)
        for x in range(w):
            a = coverage(sd_round_rect(x + 0.5, y + 0.5, 0, 0, w, h, h / 2))
            if a < 0.3:
                continue
            img.set(x, y, mix(matte, base, a) + (255,))
    return img


def login_background(w, h):
    """The login picture with real per-pixel alpha: a rounded panel and a soft shadow."""
    img = Image(w, h, (0, 0, 0, 0))
    margin = 14
    px0, py0, px1, py1 = margin, margin - 4, w - margin, h - margin - 4
    radius = 12
    header = 120
    ex, ey = 70, 62
    for y in range(h):
        for x in range(w):
            fx, fy = x + 0.5, y + 0.5
            d = sd_round_rect(fx, fy, px0, py0, px1, py1, radius)
            if d > 0:
                # Shadow: falls off over the margin, offset downwards.
                ds = sd_round_rect(fx, fy - 4, px0, py0, px1, py1, radius)
                alpha = max(0.0, 1 - max(ds, 0) / margin) ** 2 * 0.45
                img.set(x, y, (20, 4, 6, round(alpha * 255)))
                continue
            ly = fy - py0
            if ly < header:
                c = mix(BAND_TOP, BAND_BOTTOM, ly / header)
                # Faint diagonal sheen across the header.
                sheen = 0.5 + 0.5 * math.sin((fx + fy * 0.6) / 38.0)
                c = mix(c, (190, 60, 56), 0.12 * sheen)
            elif ly < header + 3:
                c = GOLD if ly < header + 2 else GOLD_DARK
            else:
                c = mix(CREAM, CREAM_LOW, (ly - header) / (py1 - py0 - header))
            # Emblem: a gold ring with a "V" in the header.
            r = math.hypot(fx - ex, fy - ey)
            ring = coverage(abs(r - 30) - 2.2)
            if ring > 0:
                c = mix(c, GOLD, ring)
            vd = min(sd_segment(fx, fy, ex - 15, ey - 14, ex, ey + 16), sd_segment(fx, fy, ex, ey + 16, ex + 15, ey - 14)) - 3.4
            vc = coverage(vd)
            if vc > 0:
                c = mix(c, (246, 210, 112), vc)
            # Gold rules to the right of the emblem.
            for ry in (ey - 6, ey + 6):
                rd = sd_segment(fx, fy, ex + 44, ry, px1 - 40, ry) - (0.8 if ry < ey else 0.5)
                rc = coverage(rd) * (0.9 if ry < ey else 0.5)
                if rc > 0:
                    c = mix(c, GOLD, rc)
            edge = coverage(d + 1.2)
            c = mix(OUTLINE, c, edge)
            alpha = coverage(d)
            img.set(x, y, c + (round(alpha * 255),))
    return img


# ---------------------------------------------------------------- the whole set

def main():
    os.makedirs(OUT, exist_ok=True)
    login_background(800, 540).save("skin_129_login_background.png")

    window_background(96, 96, 4, 30, CREAM, CREAM_LOW).save("skin_131_dialog_background.png")
    band_strip(29, 24, 0, glyph_close, close=True, right_outline=True).save("skin_132_close.png")
    strip([push_button_frame(76, 26, s) for s in range(4)]).save("skin_133_push_button.png")
    window_background(96, 96, 4, 30, DARK_BODY, (24, 14, 16)).save("skin_134_main_background.png")
    band_strip(29, 24, 0, glyph_maximize).save("skin_135_maximize.png")
    band_strip(29, 24, 0, glyph_minimize).save("skin_136_minimize.png")
    band_strip(29, 24, 0, glyph_restore).save("skin_137_restore.png")
    band_strip(27, 27, 0, glyph_hide).save("skin_138_hide.png")
    strip([system_button_frame(44, 28, s) for s in range(4)]).save("skin_139_system.png")
    strip([tab_frame(s) for s in range(3)]).save("skin_140_tab.png")
    strip([tab_close_frame(s) for s in range(3)]).save("skin_141_tab_close.png")
    add_account_icon().save("skin_142_add_account_icon.png")

    notice_background(260, 190, picture_box=(14, 66, 91, 148)).save("skin_143_notice_background.png")
    # The notice's close button sits 3 pixels down and in, on the notice's own band.
    notice_close = strip([band_button_frame(18, 18, 3, s, glyph_close, close=True) for s in range(4)])
    notice_close.save("skin_144_notice_close.png")
    band_strip(20, 20, 1, glyph_close, close=True).save("skin_145_notice_picture_close.png")
    picture_notice_background(260, 190).save("skin_146_notice_picture_background.png")
    notice_background(260, 170).save("skin_147_notice_text_background.png")

    band_strip(27, 27, 0, glyph_sound_muted).save("skin_148_sound_muted.png")
    band_strip(27, 27, 0, glyph_sound_on).save("skin_149_sound_on.png")

    progress_background(388, 18).save("skin_152_progress_background.png")
    progress_bar(380, 10, (236, 226, 206)).save("skin_153_progress_bar.png")

    img = window_background(284, 150, 3, 30, CREAM, CREAM_LOW)
    img.save("skin_162_add_account_background.png")


if __name__ == "__main__":
    main()
