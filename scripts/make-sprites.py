#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the sprite sheets: data/<sheet>.svg holds the art and, in its first group, the rectangles that
name the sprites; data/<sheet>.png is rendered from it with rsvg-convert. Also writes the checksums that
the data tests use to notice a sheet whose PNG was not rendered again after an edit.

Sheet units: 400 per play-field unit. PNGs are rendered at twice that, with power-of-two sides.
Images that the game tints are drawn in grey values only; pipes and the paddle carry their own colours.

Usage: scripts/make-sprites.py [--no-render]
"""

import math
import os
import random
import re
import subprocess
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
CHECKSUMS = os.path.join(ROOT, "tests", "data", "sheet_checksums.txt")
ZOOM = 2
GUTTER = 6


def f(v):
    """Compact number formatting for SVG attributes."""
    s = "%.3f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def grey(v):
    c = max(0, min(255, int(round(v * 255))))
    return "#%02x%02x%02x" % (c, c, c)


class Sheet:
    """A canvas with named rectangles (the first group) and art (later groups), packed in shelves."""

    def __init__(self, name, width, height):
        self.name, self.width, self.height = name, width, height
        self.rects, self.art, self.defs = [], [], []
        self.cx, self.cy, self.shelf = GUTTER, GUTTER, 0

    def place(self, w, h):
        if self.cx + w + GUTTER > self.width:
            self.cx, self.cy, self.shelf = GUTTER, self.cy + self.shelf + GUTTER, 0
        x, y = self.cx, self.cy
        self.cx += math.ceil(w) + GUTTER
        self.shelf = max(self.shelf, math.ceil(h))
        if y + h + GUTTER > self.height:
            sys.exit("sheet %s is full at %s" % (self.name, (w, h)))
        return x, y

    def add(self, sprite_id, w, h, draw):
        """Places a w x h sprite, names it and draws it with draw(w, h) in local coordinates."""
        x, y = self.place(w, h)
        self.rects.append((sprite_id, x, y, w, h))
        self.art.append('<g transform="translate(%s,%s)">%s</g>' % (f(x), f(y), draw(w, h)))

    def svg(self):
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
               % (self.width, self.height, self.width, self.height)]
        out.append('<g id="names" fill="none" stroke="none">')
        for sprite_id, x, y, w, h in self.rects:
            out.append('<rect id="%s" x="%s" y="%s" width="%s" height="%s" fill="none"/>'
                       % (sprite_id, f(x), f(y), f(w), f(h)))
        out.append("</g>")
        out.append("<defs>%s</defs>" % "".join(self.defs))
        out.append('<g id="art">')
        out.extend(self.art)
        out.append("</g>")
        out.append("</svg>")
        return "\n".join(out) + "\n"


def linear(gid, stops, x1=0, y1=0, x2=0, y2=1, units=None):
    u = ' gradientUnits="userSpaceOnUse"' if units else ""
    s = "".join('<stop offset="%s" stop-color="%s"%s/>'
                % (f(o), c, (' stop-opacity="%s"' % f(a)) if a is not None else "")
                for o, c, a in [(st + (None,))[:3] for st in stops])
    return '<linearGradient id="%s" x1="%s" y1="%s" x2="%s" y2="%s"%s>%s</linearGradient>' % (
        gid, f(x1), f(y1), f(x2), f(y2), u, s)


def radial(gid, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None, units=None):
    u = ' gradientUnits="userSpaceOnUse"' if units else ""
    s = "".join('<stop offset="%s" stop-color="%s"%s/>'
                % (f(o), c, (' stop-opacity="%s"' % f(a)) if a is not None else "")
                for o, c, a in [(st + (None,))[:3] for st in stops])
    return '<radialGradient id="%s" cx="%s" cy="%s" r="%s" fx="%s" fy="%s"%s>%s</radialGradient>' % (
        gid, f(cx), f(cy), f(r), f(cx if fx is None else fx), f(cy if fy is None else fy), u, s)


def poly(points, fill, extra=""):
    return '<polygon points="%s" fill="%s"%s/>' % (" ".join("%s,%s" % (f(x), f(y)) for x, y in points),
                                                   fill, extra)


def rect(x, y, w, h, fill, rx=0, extra=""):
    r = ' rx="%s"' % f(rx) if rx else ""
    return '<rect x="%s" y="%s" width="%s" height="%s"%s fill="%s"%s/>' % (f(x), f(y), f(w), f(h), r, fill,
                                                                          extra)


def circle(cx, cy, r, fill, extra=""):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s"%s/>' % (f(cx), f(cy), f(r), fill, extra)


# ---------------------------------------------------------------------------------------------------
# Game objects

def bevel_box(w, h, b, light, top, side_light, side_dark, bottom, face, rx=0):
    """A bevelled block: four edge trapezoids around a face rectangle."""
    parts = [rect(0, 0, w, h, bottom, rx)]
    parts.append(poly([(0, 0), (w, 0), (w - b, b), (b, b)], top))
    parts.append(poly([(0, 0), (b, b), (b, h - b), (0, h)], side_light))
    parts.append(poly([(w, 0), (w, h), (w - b, h - b), (w - b, b)], side_dark))
    parts.append(poly([(0, h), (b, h - b), (w - b, h - b), (w, h)], bottom))
    parts.append(rect(b, b, w - 2 * b, h - 2 * b, face))
    if light:
        parts.append(rect(b, b, w - 2 * b, 1.2, light, extra=' opacity="0.8"'))
    return "".join(parts)


def draw_brick(w, h):
    body = bevel_box(w, h, 3.2, "#ffffff", "#ffffff", "#e4e4e4", "#8c8c8c", "#6e6e6e", "url(#brickFace)")
    gloss = '<path d="M4,4 H%s Q%s,10 %s,11 Q%s,9 4,11 Z" fill="#ffffff" opacity="0.45"/>' % (
        f(w - 4), f(w - 6), f(w * 0.55), f(w * 0.3))
    return '<g clip-path="url(#brickClip)">%s%s</g>' % (body, gloss)


def ice_overlay(w, h, level):
    """Ice over the brick: a frosted rim and facets, and one bold crystal per hit beyond the last, so
    "brick_ice1" (two hits left) to "brick_ice3" (four or more) read at a glance."""
    parts = []
    rnd = random.Random(7 + level)
    # Frost: translucent facets that cover more of the face as the ice thickens.
    for i in range(3 + 3 * level):
        x = rnd.uniform(3, w - 12)
        y = rnd.uniform(3, h - 9)
        s = rnd.uniform(5, 9)
        parts.append(poly([(x, y + s * 0.6), (x + s * 0.7, y), (x + s * 1.4, y + s * 0.4), (x + s * 0.8, y + s)],
                          rnd.choice(["#ffffff", "#f0f0f0"]), ' opacity="0.55"'))
    parts.append(rect(3.6, 3.6, w - 7.2, h - 7.2, "none", 1.5, ' stroke="#ffffff" stroke-width="1.6" opacity="0.9"'))
    # Crystals: dark diamonds with a bright facet, one, two or three.
    for i in range(level):
        cx = w / 2 + (i - (level - 1) / 2) * 13.5
        cy = h / 2
        dw, dh = 5.2, 8.0
        parts.append(poly([(cx, cy - dh), (cx + dw, cy), (cx, cy + dh), (cx - dw, cy)], "#3c3c3c"))
        parts.append(poly([(cx, cy - dh + 2.2), (cx + dw - 1.8, cy), (cx, cy + dh - 2.2), (cx - dw + 1.8, cy)],
                          "#8c8c8c"))
        parts.append(poly([(cx, cy - dh + 2.2), (cx - dw + 1.8, cy), (cx, cy)], "#ffffff"))
    # A crack across thicker ice.
    if level >= 2:
        parts.append('<path d="M%s,3.5 L%s,9 L%s,13 L%s,21.5" fill="none" stroke="#606060" stroke-width="0.9"/>'
                     % (f(w * 0.9), f(w * 0.86), f(w * 0.93), f(w * 0.88)))
    return '<g clip-path="url(#brickClip)">%s</g>' % "".join(parts)


def draw_ice(level):
    return lambda w, h: draw_brick(w, h) + ice_overlay(w, h, level)


def draw_steel(w, h):
    parts = [bevel_box(w, h, 3.2, None, "#f0f0f0", "#d0d0d0", "#707070", "#505050", "url(#steelFace)")]
    rnd = random.Random(3)
    for i in range(14):
        y = rnd.uniform(5, h - 5)
        x0 = rnd.uniform(4, w * 0.6)
        parts.append(rect(x0, y, rnd.uniform(8, w - 4 - x0), 0.5, rnd.choice(["#ffffff", "#8a8a8a"]),
                          extra=' opacity="0.6"'))
    for x, y in [(6.5, 6.5), (w - 6.5, 6.5), (6.5, h - 6.5), (w - 6.5, h - 6.5)]:
        parts.append(circle(x + 0.4, y + 0.5, 2.2, "#404040"))
        parts.append(circle(x, y, 2.0, "url(#rivet)"))
    return '<g clip-path="url(#brickClip)">%s</g>' % "".join(parts)


def draw_ball(w, h):
    r = w / 2
    return circle(r, r, r - 0.2, "#5a5a5a") + circle(r, r, r - 1.0, "url(#ballShade)") + \
        '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#ffffff" opacity="0.9"/>' % (
            f(r * 0.72), f(r * 0.62), f(r * 0.28), f(r * 0.18))


def draw_nimbus(kind):
    def draw(w, h):
        c = w / 2
        parts = []
        if kind == "power":
            # A ring of eight blades, like a turbine.
            parts.append(circle(c, c, c * 0.80, "url(#nimbusGlow)"))
            for k in range(8):
                a = math.radians(45 * k)
                pts = []
                for t, rr in [(-0.16, 0.62), (0.10, 0.62), (0.22, 0.98), (0.02, 0.98)]:
                    pts.append((c + c * rr * math.cos(a + t), c + c * rr * math.sin(a + t)))
                parts.append(poly(pts, "url(#bladeShade)", ' stroke="#7a7a7a" stroke-width="0.6"'))
            parts.append(circle(c, c, c * 0.66, "none", ' stroke="#ffffff" stroke-width="2.2"'))
        elif kind == "fire":
            # Ten flame tongues swept against the clockwise turn, so they trail.
            parts.append(circle(c, c, c * 0.78, "url(#nimbusGlow)"))
            for k in range(10):
                a = math.radians(36 * k)
                tip = a - 0.55
                base0, base1 = a - 0.22, a + 0.22
                p0 = (c + c * 0.6 * math.cos(base0), c + c * 0.6 * math.sin(base0))
                p1 = (c + c * 0.6 * math.cos(base1), c + c * 0.6 * math.sin(base1))
                pt = (c + c * 0.99 * math.cos(tip), c + c * 0.99 * math.sin(tip))
                q0 = (c + c * 0.88 * math.cos(a - 0.05), c + c * 0.88 * math.sin(a - 0.05))
                q1 = (c + c * 0.78 * math.cos(a - 0.5), c + c * 0.78 * math.sin(a - 0.5))
                d = "M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (f(p1[0]), f(p1[1]), f(q0[0]), f(q0[1]), f(pt[0]),
                                                            f(pt[1]), f(q1[0]), f(q1[1]), f(p0[0]), f(p0[1]))
                parts.append('<path d="%s" fill="url(#flameShade)" stroke="#8a8a8a" stroke-width="0.5"/>' % d)
        else:
            # Twelve sharp spikes of alternating length around a bright ring.
            pts = []
            for k in range(24):
                a = math.radians(15 * k)
                rr = 0.99 if k % 4 == 0 else (0.86 if k % 2 == 0 else 0.64)
                pts.append((c + c * rr * math.cos(a), c + c * rr * math.sin(a)))
            parts.append(poly(pts, "url(#spikeShade)", ' stroke="#808080" stroke-width="0.6"'))
            parts.append(circle(c, c, c * 0.7, "none", ' stroke="#ffffff" stroke-width="2.4"'))
            parts.append(circle(c, c, c * 0.78, "none", ' stroke="#b0b0b0" stroke-width="1"'))
        return "".join(parts)
    return draw


def draw_paddle(w, h):
    r = h / 2
    cap = 20
    parts = [rect(0, 0, w, h, "#20242c", r)]
    parts.append(rect(1, 1, w - 2, h - 2, "url(#paddleChrome)", r - 1))
    # Glowing end caps in the paddle's own colours.
    clip = '<clipPath id="paddleCaps"><rect x="1" y="1" width="%s" height="%s" rx="%s"/></clipPath>' % (
        f(w - 2), f(h - 2), f(r - 1))
    parts.append(clip)
    caps = rect(0, 0, cap, h, "url(#paddleCap)") + rect(w - cap, 0, cap, h, "url(#paddleCap)")
    caps += rect(cap - 2.5, 0, 2.5, h, "#1c2028") + rect(w - cap, 0, 2.5, h, "#1c2028")
    parts.append('<g clip-path="url(#paddleCaps)">%s</g>' % caps)
    # A light strip along the middle.
    parts.append(rect(cap + 8, h / 2 - 2.2, w - 2 * cap - 16, 4.4, "#0c2a3a", 2.2))
    parts.append(rect(cap + 9, h / 2 - 1.3, w - 2 * cap - 18, 2.6, "url(#paddleLight)", 1.3))
    parts.append(rect(8, 3, w - 16, 2.2, "#ffffff", 1.1, ' opacity="0.7"'))
    return "".join(parts)


def draw_powerup(w, h):
    r = h / 2
    return (rect(0, 0, w, h, "#5c5c5c", r) + rect(1.2, 1.2, w - 2.4, h - 2.4, "url(#capsuleShade)", r - 1.2) +
            rect(6, 3, w - 12, 3, "#ffffff", 1.5, ' opacity="0.75"'))


def draw_faceplate(w, h):
    cx, cy = w / 2, h / 2
    pw, ph = 23, 21
    parts = []
    for x in (7.5, w - 10.5):
        parts.append(rect(x, 0.8, 3, h - 1.6, "url(#bandChrome)"))
    parts.append(rect(cx - pw / 2 - 1.2, cy - ph / 2 - 1.2, pw + 2.4, ph + 2.4, "#6d675a", 6))
    parts.append(rect(cx - pw / 2, cy - ph / 2, pw, ph, "url(#plateShade)", 5))
    return "".join(parts)


def pipe_collar_h(h):
    return (rect(0, 0, 6, h, "url(#pipeCollarH)") + rect(6, 0, 1, h, "#1b2129", extra=' opacity="0.6"'))


def draw_pipe_horizontal(w, h):
    parts = [rect(0, 0, w, h, "url(#pipeH)")]
    parts.append(pipe_collar_h(h))
    for y in (3.5, h - 3.5):
        parts.append(circle(3, y, 1.3, "#e8eef5") )
    return "".join(parts)


def draw_pipe_vertical(w, h):
    parts = [rect(0, 0, w, h, "url(#pipeV)")]
    parts.append(rect(0, 0, w, 4, "url(#pipeCollarV)"))
    parts.append(rect(0, 4, w, 0.8, "#1b2129", extra=' opacity="0.6"'))
    return "".join(parts)


def draw_pipe_corner(w, h):
    parts = [rect(0, 0, w, h, "#1f252d")]
    parts.append(bevel_box(w - 1, h - 1, 3, None, "#dfe7f0", "#c2ccd8", "#4a5563", "#36404c", "url(#cornerFace)"))
    for x, y in [(7, 6.5), (w - 8, 6.5), (7, h - 7.5), (w - 8, h - 7.5)]:
        parts.append(circle(x + 0.5, y + 0.5, 2.4, "#20262e"))
        parts.append(circle(x, y, 2.2, "url(#boltShade)"))
        parts.append('<path d="M%s,%s L%s,%s" stroke="#39424d" stroke-width="0.7"/>' % (
            f(x - 1.4), f(y + 1.4), f(x + 1.4), f(y - 1.4)))
    return "".join(parts)


def draw_tile_pyramid(w, h):
    # Drawn black: alpha carries the relief (the band is mirrored, so row 0 lies along its lower edge).
    parts = [rect(0, 0, w, h, "#ffffff", extra=' fill-opacity="0.93"')]
    step = 20
    for row in range(int(h // step)):
        for col in range(int(w // step)):
            x, y = col * step, row * step
            cx, cy = x + step / 2, y + step / 2
            faces = [([(x, y), (x + step, y), (cx, cy)], 0.82),
                     ([(x + step, y), (x + step, y + step), (cx, cy)], 0.97),
                     ([(x, y + step), (x + step, y + step), (cx, cy)], 1.0),
                     ([(x, y), (x, y + step), (cx, cy)], 0.88)]
            for pts, a in faces:
                parts.append(poly(pts, "#ffffff", ' fill-opacity="%s"' % f(a)))
    parts.append(rect(0, 0, w, 2, "#ffffff"))
    return "".join(parts)


def draw_guard_glow(w, h):
    return rect(0, 0, w, h, "url(#glowShade)") + rect(0, h * 0.55, w, h * 0.12, "#ffffff")


def object_defs():
    return [
        '<clipPath id="brickClip"><rect x="0" y="0" width="53.333" height="25" rx="2.5"/></clipPath>',
        linear("brickFace", [(0, "#f4f4f4"), (0.5, "#dedede"), (1, "#bdbdbd")]),
        linear("steelFace", [(0, "#d8d8d8"), (0.45, "#b0b0b0"), (0.55, "#a4a4a4"), (1, "#8a8a8a")]),
        radial("rivet", [(0, "#ffffff"), (1, "#8c8c8c")], 0.4, 0.35, 0.6),
        radial("ballShade", [(0, "#ffffff"), (0.35, "#ececec"), (0.8, "#b4b4b4"), (1, "#8e8e8e")],
               0.5, 0.5, 0.55, 0.35, 0.3),
        radial("nimbusGlow", [(0, "#ffffff", 1), (0.7, "#dcdcdc", 0.9), (1, "#bcbcbc", 0.55)]),
        linear("bladeShade", [(0, "#ffffff"), (1, "#bdbdbd")], 0, 0, 1, 1),
        radial("flameShade", [(0, "#ffffff"), (0.6, "#e0e0e0"), (1, "#a8a8a8")], 0.5, 0.5, 0.7),
        radial("spikeShade", [(0, "#ffffff"), (0.65, "#ffffff"), (0.85, "#d8d8d8"), (1, "#a0a0a0")]),
        linear("paddleChrome", [(0, "#f5f8fc"), (0.3, "#c4ceda"), (0.52, "#7c8897"), (0.6, "#9aa6b4"),
                                (0.85, "#dfe6ee"), (1, "#56606d")]),
        linear("paddleCap", [(0, "#ffd0a0"), (0.3, "#ff7a2e"), (0.65, "#d8341a"), (1, "#6e1408")]),
        linear("paddleLight", [(0, "#d8fbff"), (0.5, "#52e4ff"), (1, "#1a98c8")]),
        linear("capsuleShade", [(0, "#ffffff"), (0.45, "#e6e6e6"), (0.75, "#bdbdbd"), (1, "#8a8a8a")]),
        linear("bandChrome", [(0, "#f4f6f8"), (0.4, "#aab2bc"), (0.7, "#dde2e8"), (1, "#5d6670")]),
        linear("plateShade", [(0, "#fffdf4"), (1, "#e2dccb")]),
        linear("pipeH", [(0, "#2a323c"), (0.12, "#6f7d8e"), (0.3, "#dfe8f2"), (0.38, "#ffffff"),
                         (0.55, "#9aa8b8"), (0.8, "#4c5766"), (1, "#1e242c")]),
        linear("pipeV", [(0, "#1e242c"), (0.15, "#56626f"), (0.32, "#cfd9e4"), (0.4, "#f4f8fc"),
                         (0.5, "#a9b6c4"), (0.6, "#f4f8fc"), (0.68, "#cfd9e4"), (0.85, "#56626f"),
                         (1, "#1e242c")], 0, 0, 1, 0),
        linear("pipeCollarH", [(0, "#b18a4a"), (0.3, "#ffe7a8"), (0.5, "#d6a850"), (1, "#5a3f12")]),
        linear("pipeCollarV", [(0, "#5a3f12"), (0.2, "#d6a850"), (0.4, "#ffe7a8"), (0.6, "#ffe7a8"),
                               (0.8, "#d6a850"), (1, "#5a3f12")], 0, 0, 1, 0),
        linear("cornerFace", [(0, "#c8a060"), (0.5, "#a27a38"), (1, "#6e4e1e")]),
        radial("boltShade", [(0, "#ffffff"), (1, "#7d8896")], 0.4, 0.35, 0.6),
        linear("glowShade", [(0, "#9a9a9a", 0.3), (0.4, "#d0d0d0", 0.6), (0.6, "#ffffff", 1),
                             (1, "#e8e8e8", 1)]),
    ]


def build_objects():
    s = Sheet("sprites", 1024, 128)
    s.defs += object_defs()
    s.add("tile_pyramid", 800, 40, draw_tile_pyramid)
    s.add("guard_glow", 128, 32, draw_guard_glow)
    bw, bh = 53.333, 25
    s.add("brick", bw, bh, draw_brick)
    s.add("brick_ice1", bw, bh, draw_ice(1))
    s.add("brick_ice2", bw, bh, draw_ice(2))
    s.add("brick_ice3", bw, bh, draw_ice(3))
    s.add("brick_steel", bw, bh, draw_steel)
    s.add("pipe_horizontal", bw, bh, draw_pipe_horizontal)
    s.add("pipe_vertical", bw, bh, draw_pipe_vertical)
    s.add("pipe_corner", bw, bh, draw_pipe_corner)
    s.add("powerup", 48, 25, draw_powerup)
    s.add("powerup_faceplate", 48, 25, draw_faceplate)
    s.add("paddle", 106.667, 31.25, draw_paddle)
    s.add("ball", 26.68, 26.68, draw_ball)
    for kind in ("power", "fire", "ultra"):
        s.add("ball_nimbus_" + kind, 44, 44, draw_nimbus(kind))
    return s


# ---------------------------------------------------------------------------------------------------
# The glyph font: strokes on a grid of font units (cap top 0, baseline 10), drawn with a thin dark rim.

FU = 2.4            # sheet units per font unit
STROKE = 2.6        # stroke width, font units
RIM = 0.5           # dark rim on each side
CELL_TOP, CELL_BOTTOM = -3.0, 13.5
SPACING = 1.2


def rr(x0, y0, x1, y1, r):
    """Closed rounded rectangle path."""
    return ("M%s,%s H%s A%s,%s 0 0 1 %s,%s V%s A%s,%s 0 0 1 %s,%s H%s A%s,%s 0 0 1 %s,%s V%s "
            "A%s,%s 0 0 1 %s,%s Z") % tuple(f(v) for v in (
                x0 + r, y0, x1 - r, r, r, x1, y0 + r, y1 - r, r, r, x1 - r, y1, x0 + r, r, r, x0, y1 - r,
                y0 + r, r, r, x0 + r, y0))


GLYPHS = {
    "A": "M0,10 V3 A3,3 0 0 1 6,3 V10 M0,6 H6",
    "B": "M0,0 H3.5 A2.5,2.5 0 0 1 3.5,5 H0 M3.5,5 A2.5,2.5 0 0 1 3.5,10 H0 V0",
    "C": "M6,0 H3 A3,3 0 0 0 0,3 V7 A3,3 0 0 0 3,10 H6",
    "D": "M0,0 H3 A3,3 0 0 1 6,3 V7 A3,3 0 0 1 3,10 H0 Z",
    "E": "M6,0 H0 V10 H6 M0,5 H4.5",
    "F": "M6,0 H0 V10 M0,5 H4.5",
    "G": "M6,0 H3 A3,3 0 0 0 0,3 V7 A3,3 0 0 0 3,10 H6 V5.5 H3.5",
    "H": "M0,0 V10 M6,0 V10 M0,5 H6",
    "I": "M0,0 H4 M2,0 V10 M0,10 H4",
    "J": "M6,0 V7 A3,3 0 0 1 0,7",
    "K": "M0,0 V10 M6,0 L2,5 L6,10 M0,5 H2",
    "L": "M0,0 V10 H6",
    "M": "M0,10 V0 L4,5.5 L8,0 V10",
    "N": "M0,10 V0 L6,10 V0",
    "O": rr(0, 0, 7, 10, 3.2),
    "P": "M0,10 V0 H3.5 A2.5,2.5 0 0 1 3.5,5 H0",
    "Q": rr(0, 0, 7, 10, 3.2) + " M4,6.5 L7.2,10.5",
    "R": "M0,10 V0 H3.5 A2.5,2.5 0 0 1 3.5,5 H0 M3,5 L6,10",
    "S": "M6,0 H2.5 A2.5,2.5 0 0 0 2.5,5 H3.5 A2.5,2.5 0 0 1 3.5,10 H0",
    "T": "M0,0 H6 M3,0 V10",
    "U": "M0,0 V7 A3,3 0 0 0 6,7 V0",
    "V": "M0,0 L3,10 L6,0",
    "W": "M0,0 L2,10 L4,4 L6,10 L8,0",
    "X": "M0,0 L6,10 M6,0 L0,10",
    "Y": "M0,0 L3,5 L6,0 M3,5 V10",
    "Z": "M0,0 H6 L0,10 H6",
    "0": rr(0, 0, 6, 10, 2.2),
    "1": "M0.5,2 L2.5,0 V10 M0,10 H5",
    "2": "M0,0 H4 A2,2 0 0 1 6,2 V3 A2,2 0 0 1 4,5 H2 A2,2 0 0 0 0,7 V10 H6",
    "3": "M0,0 H4 A2,2 0 0 1 6,2 V3 A2,2 0 0 1 4,5 H1.5 M4,5 A2,2 0 0 1 6,7 V8 A2,2 0 0 1 4,10 H0",
    "4": "M4.5,10 V0 L0,7 H6",
    "5": "M6,0 H0 V5 H3.5 A2.5,2.5 0 0 1 3.5,10 H0",
    "6": "M5.5,0 H3 A3,3 0 0 0 0,3 V7.5 A2.5,2.5 0 0 0 2.5,10 H3.5 A2.5,2.5 0 0 0 3.5,5 H0",
    "7": "M0,0 H6 L2,10",
    "8": rr(0.4, 0, 5.6, 5, 2) + " " + rr(0, 5, 6, 10, 2.2),
    "9": "M0.5,10 H3 A3,3 0 0 0 6,7 V2.5 A2.5,2.5 0 0 0 3.5,0 H2.5 A2.5,2.5 0 0 0 2.5,5 H6",
    "!": "M0,0 V6.2 M0,9.7 V10",
    '"': "M0,0 V3 M2.8,0 V3",
    "#": "M2,0.5 V9.5 M5,0.5 V9.5 M0,3 H7 M0,7 H7",
    "$": "M6,0 H2.5 A2.5,2.5 0 0 0 2.5,5 H3.5 A2.5,2.5 0 0 1 3.5,10 H0 M3,-1.2 V11.2",
    "%": "M0,10 L6,0 M0.6,1 V2 M5.4,8 V9",
    "&": "M6,10 L1.8,4.1 A2.1,2.1 0 1 1 4.4,3.8 L1.2,6.4 A2.2,2.2 0 0 0 2.6,10 H3.6 L6,6.8",
    "'": "M0,0 V3",
    "(": "M2.5,-0.8 A4.5,7 0 0 0 2.5,10.8",
    ")": "M0,-0.8 A4.5,7 0 0 1 0,10.8",
    "*": "M3,1 V7 M0.4,2.5 L5.6,5.5 M5.6,2.5 L0.4,5.5",
    "+": "M0,5 H6 M3,2 V8",
    ",": "M1,9.3 L0,11.6",
    "-": "M0,5 H4.5",
    ".": "M0,9.7 V10",
    "/": "M0,10.5 L5,-0.5",
    ":": "M0,3 V3.4 M0,9.6 V10",
    ";": "M1,3 V3.4 M1,9.3 L0,11.6",
    "<": "M6,1 L0,5 L6,9",
    "=": "M0,3 H6 M0,7 H6",
    ">": "M0,1 L6,5 L0,9",
    "?": "M0,0 H4 A2,2 0 0 1 6,2 V2.5 A2,2 0 0 1 4,4.5 H3 V6.3 M3,9.7 V10",
    "@": "M4.6,6.6 H3 V3.4 H4.6 V6.6 H7 V2 A2,2 0 0 0 5,0 H2 A2,2 0 0 0 0,2 V8 A2,2 0 0 0 2,10 H6.5",
    "[": "M3,-0.8 H0 V10.8 H3",
    "\\": "M0,-0.5 L5,10.5",
    "]": "M0,-0.8 H3 V10.8 H0",
    "^": "M0,3.5 L3,0 L6,3.5",
    "_": "M0,11.8 H6",
    "`": "M0,0 L1.8,2",
    "{": "M3.5,-0.8 H2.8 A1.4,1.4 0 0 0 1.4,0.6 V3.6 A1.4,1.4 0 0 1 0,5 A1.4,1.4 0 0 1 1.4,6.4 V9.4 "
         "A1.4,1.4 0 0 0 2.8,10.8 H3.5",
    "|": "M0,-0.8 V10.8",
    "}": "M0,-0.8 H0.7 A1.4,1.4 0 0 1 2.1,0.6 V3.6 A1.4,1.4 0 0 0 3.5,5 A1.4,1.4 0 0 0 2.1,6.4 V9.4 "
         "A1.4,1.4 0 0 1 0.7,10.8 H0",
    "~": "M0,6 C1,3.8 2.5,3.8 3,5 C3.5,6.2 5,6.2 6,4",
}


def path_tokens(d):
    return re.findall(r"[A-Za-z]|-?\d*\.?\d+", d)


def transform_path(d, sx, sy, dx=0.0, dy=0.0):
    """Scales and moves an absolute path (M L H V A Q C Z) without touching the stroke width."""
    out, toks, i, cmd = [], path_tokens(d), 0, None
    arity = {"M": 2, "L": 2, "H": 1, "V": 1, "A": 7, "Q": 4, "C": 6, "Z": 0}

    def num():
        nonlocal i
        v = float(toks[i])
        i += 1
        return v

    while i < len(toks):
        if toks[i].isalpha():
            cmd = toks[i]
            i += 1
            out.append(cmd)
            if cmd == "Z":
                continue
        n = arity[cmd]
        vals = [num() for _ in range(n)]
        if cmd == "H":
            vals = [vals[0] * sx + dx]
        elif cmd == "V":
            vals = [vals[0] * sy + dy]
        elif cmd == "A":
            vals = [vals[0] * sx, vals[1] * sy, vals[2], vals[3], vals[4], vals[5] * sx + dx, vals[6] * sy + dy]
        else:
            vals = [v * sx + dx if k % 2 == 0 else v * sy + dy for k, v in enumerate(vals)]
        out.append(",".join(f(v) if cmd != "A" or k not in (3, 4) else str(int(v)) for k, v in enumerate(vals)))
    return " ".join(out)


def path_extent_x(d):
    """Left and right of the points a path passes through (arcs here never bulge past their ends)."""
    xs, toks, i, cmd = [], path_tokens(d), 0, None
    arity = {"M": 2, "L": 2, "H": 1, "V": 1, "A": 7, "Q": 4, "C": 6, "Z": 0}
    while i < len(toks):
        if toks[i].isalpha():
            cmd = toks[i]
            i += 1
            if cmd == "Z":
                continue
        vals = [float(t) for t in toks[i:i + arity[cmd]]]
        i += arity[cmd]
        if cmd == "H":
            xs.append(vals[0])
        elif cmd == "A":
            xs.append(vals[5])
        elif cmd != "V":
            xs += vals[0::2]
    return min(xs), max(xs)


# Accents over the letters of Latin-1, centred on 0; an accented letter is its letter made shorter, so
# that the accent fits below the cell's top.
ACCENTS = {
    "grave": "M-1,-1.5 L0.8,0.1",
    "acute": "M-0.8,0.1 L1,-1.5",
    "circumflex": "M-2,0.1 L0,-1.5 L2,0.1",
    "tilde": "M-2.4,-0.3 C-1.6,-1.7 -0.6,-1.4 0,-0.8 C0.6,-0.2 1.6,0.1 2.4,-1.3",
    "diaeresis": "M-1.7,-0.75 V-0.65 M1.7,-0.75 V-0.65",
    "ring": "M-0.9,-0.7 A0.9,0.9 0 1 1 0.9,-0.7 A0.9,0.9 0 1 1 -0.9,-0.7",
}
LATIN1_LETTERS = [  # code, letter, accent
    (0xC0, "A", "grave"), (0xC1, "A", "acute"), (0xC2, "A", "circumflex"), (0xC3, "A", "tilde"),
    (0xC4, "A", "diaeresis"), (0xC5, "A", "ring"), (0xC8, "E", "grave"), (0xC9, "E", "acute"),
    (0xCA, "E", "circumflex"), (0xCB, "E", "diaeresis"), (0xCC, "I", "grave"), (0xCD, "I", "acute"),
    (0xCE, "I", "circumflex"), (0xCF, "I", "diaeresis"), (0xD1, "N", "tilde"), (0xD2, "O", "grave"),
    (0xD3, "O", "acute"), (0xD4, "O", "circumflex"), (0xD5, "O", "tilde"), (0xD6, "O", "diaeresis"),
    (0xD9, "U", "grave"), (0xDA, "U", "acute"), (0xDB, "U", "circumflex"), (0xDC, "U", "diaeresis"),
    (0xDD, "Y", "acute"),
]


def latin1_paths():
    """Character code -> (path, width) for the accented letters, the cedillas and the slashed O, both cases."""
    glyphs = {}
    for code, letter, accent in LATIN1_LETTERS + [(0xFF, "Y", "diaeresis")]:
        for lower in (False, True):
            if code == 0xFF and not lower:
                continue
            wide = 0.9 if lower else 1.0
            d = GLYPHS[letter]
            x0, x1 = path_extent_x(d)
            width = (x1 - x0) * wide
            shape = transform_path(d, wide, 0.72, -x0 * wide, 2.8)
            mark = transform_path(ACCENTS[accent], 1, 1, width / 2, 0)
            glyphs[code + (0x20 if lower and code != 0xFF else 0)] = (shape + " " + mark, width)
    for code, scale in ((0xC7, 1.0), (0xE7, 0.9)):
        d = GLYPHS["C"]
        x0, x1 = path_extent_x(d)
        width = (x1 - x0) * scale
        top, height = (0, 1) if scale == 1.0 else (2.0, 0.8)
        glyphs[code] = (transform_path(d, scale, height, -x0 * scale, top) + " " +
                        transform_path("M0,10 V11.4 L-1,12.2", 1, 1, width / 2, 0), width)
    for code, scale in ((0xD8, 1.0), (0xF8, 0.9)):
        top, height = (0, 1) if scale == 1.0 else (2.0, 0.8)
        glyphs[code] = (transform_path(GLYPHS["O"] + " M0,10.6 L7,-0.6", scale, height, 0, top), 7 * scale)
    return glyphs


def glyph_paths():
    """Character code -> (path in font units, centre-line width)."""
    glyphs = {}
    for ch, d in GLYPHS.items():
        x0, x1 = path_extent_x(d)
        if ch in "()":
            x0, x1 = (-1.2, 2.5) if ch == "(" else (0, 3.7)
        glyphs[ord(ch)] = (transform_path(d, 1, 1, -x0, 0), x1 - x0)
    # Lower case: small capitals, 80 % as tall on the same baseline.
    for ch in "ABCDEFGHIJKLMNOPQRSTUVWXYZ":
        d = GLYPHS[ch]
        x0, x1 = path_extent_x(d)
        glyphs[ord(ch.lower())] = (transform_path(d, 0.9, 0.8, -x0 * 0.9, 2.0), (x1 - x0) * 0.9)
    glyphs.update(latin1_paths())
    return glyphs


def build_font():
    s = Sheet("font", 1024, 256)
    s.defs.append(linear("glyphFill", [(0, "#ffffff"), (0.55, "#f2f2f2"), (1, "#bcbcbc")],
                         0, -1.5, 0, 11.5, units=True))
    height = (CELL_BOTTOM - CELL_TOP) * FU
    margin = STROKE / 2 + RIM + SPACING / 2

    def glyph_drawer(d):
        def draw(w, h):
            return ('<g transform="translate(%s,%s) scale(%s)" fill="none" stroke-linejoin="miter" '
                    'stroke-miterlimit="2" stroke-linecap="round">'
                    '<path d="%s" stroke="#1c1c1c" stroke-width="%s"/>'
                    '<path d="%s" stroke="url(#glyphFill)" stroke-width="%s"/></g>') % (
                f(margin * FU), f(-CELL_TOP * FU), f(FU), d, f(STROKE + 2 * RIM), d, f(STROKE))
        return draw

    glyphs = glyph_paths()
    s.add("conduit_032", 6 * FU, height, lambda w, h: "")
    for code in sorted(glyphs):
        d, width = glyphs[code]
        s.add("conduit_%03d" % code, (width + 2 * margin) * FU, height, glyph_drawer(d))
    s.add("conduit_nc", (6 + 2 * margin) * FU, height,
          glyph_drawer(rr(0, 0, 6, 10, 1) + " M1.5,2.5 L4.5,7.5 M4.5,2.5 L1.5,7.5"))
    return s


# ---------------------------------------------------------------------------------------------------
# Background tiles: 0.202 units square (80.8 sheet units), periodic every 80 units so that tiles laid
# 0.2 apart meet without a seam. Grey values, tinted by each level.

TILE, PERIOD = 80.8, 80.0
BLEED = 3


def wrap_copies(bbox):
    """Offsets at which a shape with this bbox must be repeated to stay periodic in the tile."""
    x0, y0, x1, y1 = bbox
    dxs = [0] + ([PERIOD] if x0 < 0 else []) + ([-PERIOD] if x1 > PERIOD else [])
    dys = [0] + ([PERIOD] if y0 < 0 else []) + ([-PERIOD] if y1 > PERIOD else [])
    return [(dx, dy) for dx in dxs for dy in dys]


def wrapped(svg, bbox):
    out = []
    for dx, dy in wrap_copies(bbox):
        out.append(svg if (dx, dy) == (0, 0) else '<g transform="translate(%s,%s)">%s</g>' % (f(dx), f(dy), svg))
    return "".join(out)


def bg_bricks():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.22))]
    for row in range(4):
        y = row * 20
        for k in range(3):
            x = k * 40 - (20 if row % 2 else 0)
            b = bevel_box(38, 18, 2, None, grey(0.62), grey(0.55), grey(0.3), grey(0.26), "url(#bgBrickFace)")
            parts.append(wrapped('<g transform="translate(%s,%s)">%s</g>' % (f(x + 1), f(y + 1), b),
                                 (x, y, x + 40, y + 20)))
    return "".join(parts)


def bg_hexes():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.16))]
    w, step = PERIOD / 3, 20
    h = step / 0.75
    for row in range(5):
        for k in range(4):
            cx = k * w + (w / 2 if row % 2 else 0)
            cy = row * step
            pts = [(cx, cy - h / 2 + 1.6), (cx + w / 2 - 1.4, cy - h / 4 + 0.8), (cx + w / 2 - 1.4, cy + h / 4 - 0.8),
                   (cx, cy + h / 2 - 1.6), (cx - w / 2 + 1.4, cy + h / 4 - 0.8), (cx - w / 2 + 1.4, cy - h / 4 + 0.8)]
            inner = [(cx + (x - cx) * 0.72, cy + (y - cy) * 0.72) for x, y in pts]
            svg = poly(pts, grey(0.5)) + poly(pts[3:] + pts[:1], grey(0.62)) + poly(inner, "url(#bgHexFace)")
            parts.append(wrapped(svg, (cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2)))
    return "".join(parts)


def bg_plate():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.4))]
    for row in range(4):
        for col in range(4):
            cx, cy = col * 20 + 10, row * 20 + 10
            angle = 45 if (row + col) % 2 == 0 else -45
            lozenge = ('<g transform="translate(%s,%s) rotate(%s)">%s%s%s</g>' % (
                f(cx), f(cy), angle, rect(-9, -2.6, 18, 5.2, grey(0.25), 2.6),
                rect(-9, -3.2, 18, 5.2, grey(0.78), 2.6), rect(-8.2, -2.4, 16.4, 3.6, grey(0.56), 1.8)))
            parts.append(lozenge)
    return "".join(parts)


def bg_circuit():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.2))]
    line = '<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>'
    traces = ["M0,10 H30 L40,20 H80", "M0,50 H14 L24,60 V80", "M24,0 V6", "M50,0 V30 L60,40 H80",
              "M0,40 H6", "M36,80 V66 L46,56 H66 L72,50 V46", "M66,0 V12 L74,20", "M0,70 H10"]
    for d in traces:
        parts.append(line % (d, grey(0.08), 3.4))
        parts.append(line % (d, grey(0.55), 2.0))
    for x, y in [(30, 10), (6, 40), (24, 60), (60, 40), (72, 46), (74, 20), (10, 70), (24, 6), (46, 56)]:
        parts.append(circle(x, y, 3.2, grey(0.1)) + circle(x, y, 2.6, grey(0.7)) + circle(x, y, 1.1, grey(0.2)))
    for x, y, w, h in [(8, 18, 16, 12), (56, 60, 18, 14)]:
        for k in range(4):
            parts.append(rect(x + 2 + k * (w - 4) / 3 - 0.8, y - 2.5, 1.6, h + 5, grey(0.6)))
        parts.append(rect(x, y, w, h, grey(0.12), 1) + rect(x + 1, y + 1, w - 2, h - 2, grey(0.32), 0.6))
        parts.append(circle(x + 3, y + 3, 1, grey(0.5)))
    return "".join(parts)


def bg_waves():
    # Bands from one above the tile to one below it, in order, so each lies over the one above it.
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.3))]
    for k in range(-1, 9):
        y = k * 10
        crest = ["%s,%s" % (f(x), f(y + 4 * math.sin(2 * math.pi * x / 40))) for x in range(-10, 91, 2)]
        parts.append('<path d="M%s L90,%s L-10,%s Z" fill="url(#bgWaveBand)"/>' % (
            " L".join(crest), f(y + 16), f(y + 16)))
        parts.append('<path d="M%s" fill="none" stroke="%s" stroke-width="1.2"/>' % (" L".join(crest), grey(0.72)))
    return "".join(parts)


def bg_scales():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.2))]
    rows = []
    for row in range(9):
        y = row * 10
        for k in range(5):
            x = k * 20 + (10 if row % 2 else 0)
            rows.append(circle(x, y, 10, grey(0.18)) + circle(x, y, 9.2, "url(#bgScale)") +
                        '<path d="M%s,%s A7.5,7.5 0 0 0 %s,%s" fill="none" stroke="%s" stroke-width="1"/>' % (
                            f(x - 7), f(y + 2.5), f(x + 7), f(y + 2.5), grey(0.62)))
    parts.extend(rows)
    return "".join(parts)


def bg_weave():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.14))]
    for by in range(2):
        for bx in range(2):
            x0, y0 = bx * 40, by * 40
            horizontal = (bx + by) % 2 == 0
            for k in range(3):
                o = k * 13.33
                if horizontal:
                    parts.append(rect(x0 + 1, y0 + o + 1, 38, 11.3, "url(#bgStrandH)", 2))
                else:
                    parts.append(rect(x0 + o + 1, y0 + 1, 11.3, 38, "url(#bgStrandV)", 2))
    return "".join(parts)


def bg_panels():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.12))]
    for by in range(2):
        for bx in range(2):
            x0, y0 = bx * 40 + 1, by * 40 + 1
            parts.append(bevel_box(38, 38, 2.5, None, grey(0.62), grey(0.55), grey(0.26), grey(0.22),
                                   "url(#bgPanelFace)").join(['<g transform="translate(%s,%s)">' % (f(x0), f(y0)), "</g>"]))
            for rx, ry in [(5, 5), (33, 5), (5, 33), (33, 33)]:
                parts.append(circle(x0 + rx + 0.4, y0 + ry + 0.4, 1.6, grey(0.15)) +
                             circle(x0 + rx, y0 + ry, 1.4, grey(0.7)))
            if (bx + by) % 2 == 0:
                for k in range(4):
                    parts.append(rect(x0 + 10, y0 + 11 + k * 5, 18, 2.6, grey(0.2), 1.3) +
                                 rect(x0 + 10, y0 + 12.6 + k * 5, 18, 1, grey(0.6), 0.5))
            else:
                parts.append(circle(x0 + 19, y0 + 19, 8, grey(0.3)) + circle(x0 + 19, y0 + 19, 6.6, grey(0.58)) +
                             circle(x0 + 19, y0 + 19, 3, grey(0.36)))
    return "".join(parts)


def bg_stars():
    parts = [rect(0, 0, PERIOD, PERIOD, "url(#bgNebula)")]
    rnd = random.Random(11)
    for i in range(38):
        x, y = rnd.uniform(0, PERIOD), rnd.uniform(0, PERIOD)
        r = rnd.choice([0.5, 0.6, 0.7, 0.9, 1.1])
        parts.append(wrapped(circle(x, y, r, grey(rnd.uniform(0.55, 0.95))), (x - 2, y - 2, x + 2, y + 2)))
    for i in range(5):
        x, y = rnd.uniform(0, PERIOD), rnd.uniform(0, PERIOD)
        s = rnd.uniform(2.5, 4)
        star = '<path d="M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" fill="%s"/>' % (
            f(x), f(y - s), f(x), f(y), f(x + s), f(y), f(x), f(y), f(x), f(y + s), f(x), f(y), f(x - s), f(y),
            f(x), f(y), f(x), f(y - s), grey(1.0))
        parts.append(wrapped(star, (x - s, y - s, x + s, y + s)))
    return "".join(parts)


def bg_pyramids():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.4))]
    for row in range(4):
        for col in range(4):
            x, y = col * 20, row * 20
            cx, cy = x + 10, y + 10
            parts.append(poly([(x, y), (x + 20, y), (cx, cy)], grey(0.62)))
            parts.append(poly([(x + 20, y), (x + 20, y + 20), (cx, cy)], grey(0.34)))
            parts.append(poly([(x, y + 20), (x + 20, y + 20), (cx, cy)], grey(0.24)))
            parts.append(poly([(x, y), (x, y + 20), (cx, cy)], grey(0.48)))
    return "".join(parts)


def bg_rings():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.24))]
    for cx, cy in [(0, 0), (80, 0), (0, 80), (80, 80), (40, 40)]:
        for r, v in [(38, 0.36), (30, 0.28), (22, 0.44), (14, 0.32), (6, 0.5)]:
            parts.append(circle(cx, cy, r, grey(v), ' stroke="%s" stroke-width="1"' % grey(0.58)))
    return "".join(parts)


def bg_checker():
    parts = [rect(0, 0, PERIOD, PERIOD, grey(0.3))]
    for row in range(4):
        for col in range(4):
            v = 0.5 if (row + col) % 2 == 0 else 0.3
            x, y = col * 20, row * 20
            parts.append(bevel_box(20, 20, 2, None, grey(v + 0.14), grey(v + 0.08), grey(v - 0.1),
                                   grey(v - 0.14), grey(v)).join(
                ['<g transform="translate(%s,%s)">' % (f(x), f(y)), "</g>"]))
            if (row + col) % 2 == 0:
                parts.append(circle(x + 10, y + 10, 3.5, grey(v - 0.12)) + circle(x + 10, y + 10, 2.6, grey(v + 0.1)))
    return "".join(parts)


BACKGROUNDS = [
    ("bg_bricks", bg_bricks), ("bg_hexes", bg_hexes), ("bg_plate", bg_plate), ("bg_circuit", bg_circuit),
    ("bg_waves", bg_waves), ("bg_scales", bg_scales), ("bg_weave", bg_weave), ("bg_panels", bg_panels),
    ("bg_stars", bg_stars), ("bg_pyramids", bg_pyramids), ("bg_rings", bg_rings), ("bg_checker", bg_checker),
]


def background_defs():
    return [
        linear("bgBrickFace", [(0, grey(0.5)), (1, grey(0.38))]),
        radial("bgHexFace", [(0, grey(0.52)), (1, grey(0.36))], 0.45, 0.4, 0.6),
        linear("bgWaveBand", [(0, grey(0.5)), (0.4, grey(0.36)), (0.7, grey(0.26)), (1, grey(0.26))]),
        radial("bgScale", [(0, grey(0.55)), (0.7, grey(0.4)), (1, grey(0.3))], 0.5, 0.75, 0.6),
        linear("bgStrandH", [(0, grey(0.62)), (0.5, grey(0.46)), (1, grey(0.28))]),
        linear("bgStrandV", [(0, grey(0.62)), (0.5, grey(0.46)), (1, grey(0.28))], 0, 0, 1, 0),
        linear("bgPanelFace", [(0, grey(0.46)), (1, grey(0.36))], 0, 0, 1, 1),
        radial("bgNebula", [(0, grey(0.21)), (1, grey(0.17))], 0.5, 0.5, 0.5),
    ]


def build_backgrounds():
    s = Sheet("backgrounds", 1024, 256)
    s.defs += background_defs()
    for name, draw in BACKGROUNDS:
        x, y = s.place(TILE + 2 * BLEED, TILE + 2 * BLEED)
        tx, ty = x + BLEED, y + BLEED
        s.rects.append((name, tx, ty, TILE, TILE))
        pid = "pattern_" + name
        s.defs.append('<pattern id="%s" patternUnits="userSpaceOnUse" x="%s" y="%s" width="%s" height="%s">%s'
                      '</pattern>' % (pid, f(tx), f(ty), f(PERIOD), f(PERIOD), draw()))
        s.art.append(rect(x, y, TILE + 2 * BLEED, TILE + 2 * BLEED, "url(#%s)" % pid))
    return s


# ---------------------------------------------------------------------------------------------------

def render(sheet):
    svg_path = os.path.join(DATA, sheet.name + ".svg")
    png_path = os.path.join(DATA, sheet.name + ".png")
    subprocess.run(["rsvg-convert", "--width", str(sheet.width * ZOOM), "--height", str(sheet.height * ZOOM),
                    "--format", "png", "--output", png_path, svg_path], check=True)


def crc(path):
    with open(path, "rb") as fh:
        return "%08x" % (zlib.crc32(fh.read()) & 0xFFFFFFFF)


def main():
    os.makedirs(DATA, exist_ok=True)
    sheets = [build_backgrounds(), build_font(), build_objects()]
    for sheet in sheets:
        with open(os.path.join(DATA, sheet.name + ".svg"), "w", newline="\n") as fh:
            fh.write(sheet.svg())
        if "--no-render" not in sys.argv:
            render(sheet)
    lines = ["# name.svg crc32, name.png crc32: written by scripts/make-sprites.py after rendering"]
    for sheet in sheets:
        lines.append("%s %s %s" % (sheet.name, crc(os.path.join(DATA, sheet.name + ".svg")),
                                   crc(os.path.join(DATA, sheet.name + ".png"))))
    with open(CHECKSUMS, "w", newline="\n") as fh:
        fh.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
