#!/usr/bin/python3
"""Draws the setup program's pictures and its icon.

Every picture is drawn here from shapes, gradients and soft shadows, so the
artwork is entirely our own and can be changed in code. The results are
committed, so a build never runs this script. After changing a drawing,
re-run it from the repository root and commit what it writes:

    /usr/bin/python3 resources/generate_pictures.py [--preview DIR] [--only NAME,...]

It writes resources/pictures/*.jpg (baseline JPEG, quality 90, through
ImageMagick's convert) and resources/pictures/Install_Fotelix.ico (16 x 16
and 32 x 32, 32-bit with alpha). --preview also writes PNG copies and a
contact sheet into DIR for looking at them; --only redraws just the named
pictures ("ico" for the icon file). --check only compares the committed
files with what the script draws now (the build's tests run it). Only the standard library and
ImageMagick are used, and nothing is random: the same script gives the same
pictures.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile

# ---------------------------------------------------------------------------
# Palette (RGB). The window, header and page colours of the setup program,
# plus a few warm accents.

WINDOW_BLUE = (0, 0, 255)
NAVY = (0, 0, 128)
SKY = (166, 202, 240)
WHITE = (255, 255, 255)
PALE = (214, 232, 251)
GOLD = (255, 196, 64)
WARM_RED = (214, 48, 40)
MAROON = (128, 0, 0)
SHADOW = (0, 0, 60)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def clamp01(t):
    return 0.0 if t < 0.0 else 1.0 if t > 1.0 else t


def smoothstep(e0, e1, x):
    t = clamp01((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


# ---------------------------------------------------------------------------
# Shapes are signed distance functions (negative inside) in some coordinate
# space plus a bounding box in that space. Distances in pixels give
# anti-aliased edges for free: coverage is 0.5 - distance, clamped.

class Shape:
    def __init__(self, dist, bbox):
        self.dist = dist
        self.bbox = bbox

    def __or__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: min(a(x, y), b(x, y)), _bbox_union(self.bbox, other.bbox))

    def __and__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: max(a(x, y), b(x, y)), _bbox_meet(self.bbox, other.bbox))

    def __sub__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.bbox)

    def grow(self, r):
        a = self.dist
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: a(x, y) - r, (x0 - r, y0 - r, x1 + r, y1 + r))

    def outline(self, w):
        a = self.dist
        h = w / 2.0
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: abs(a(x, y)) - h, (x0 - h, y0 - h, x1 + h, y1 + h))

    def moved(self, dx, dy):
        a = self.dist
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: a(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))


def _bbox_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _bbox_meet(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    # A close approximation of the true distance, good for thin outlines.
    def d(x, y):
        px, py = x - cx, y - cy
        k0 = math.hypot(px / rx, py / ry)
        k1 = math.hypot(px / (rx * rx), py / (ry * ry))
        return k0 * (k0 - 1.0) / k1 if k1 > 1e-9 else -min(rx, ry)
    return Shape(d, (cx - rx, cy - ry, cx + rx, cy + ry))


def box(cx, cy, hw, hh, r=0.0, angle=0.0):
    """Rectangle of half sizes hw, hh with corner radius r, turned by angle (degrees)."""
    ca, sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def d(x, y):
        px, py = x - cx, y - cy
        u, v = abs(px * ca + py * sa) - hw + r, abs(-px * sa + py * ca) - hh + r
        outside = math.hypot(max(u, 0.0), max(v, 0.0))
        return outside + min(max(u, v), 0.0) - r
    ext = abs(hw * ca) + abs(hh * sa), abs(hw * sa) + abs(hh * ca)
    return Shape(d, (cx - ext[0], cy - ext[1], cx + ext[0], cy + ext[1]))


def polyline(points, w):
    """Strokes of width w along consecutive points, with round ends and joins."""
    h = w / 2.0
    segs = []
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        ex, ey = bx - ax, by - ay
        segs.append((ax, ay, ex, ey, ex * ex + ey * ey or 1e-9))

    def d(x, y):
        best = 1e18
        for ax, ay, ex, ey, ee in segs:
            wx, wy = x - ax, y - ay
            t = clamp01((wx * ex + wy * ey) / ee)
            dx, dy = wx - ex * t, wy - ey * t
            q = dx * dx + dy * dy
            if q < best:
                best = q
        return math.sqrt(best) - h
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(d, (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h))


def segment(x0, y0, x1, y1, w):
    return polyline([(x0, y0), (x1, y1)], w)


def polygon(points):
    pts = list(points)
    n = len(pts)

    def d(x, y):
        best = 1e18
        s = 1.0
        j = n - 1
        for i in range(n):
            vix, viy = pts[i]
            vjx, vjy = pts[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = x - vix, y - viy
            ee = ex * ex + ey * ey or 1e-9
            t = clamp01((wx * ex + wy * ey) / ee)
            bx, by = wx - ex * t, wy - ey * t
            q = bx * bx + by * by
            if q < best:
                best = q
            c1, c2, c3 = y >= viy, y < vjy, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                s = -s
            j = i
        return s * math.sqrt(best)
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


def arc(cx, cy, r, a0, a1, w):
    """Stroke of width w along a circle from angle a0 to a1 (degrees, clockwise on screen)."""
    h = w / 2.0
    mid = math.radians((a0 + a1) / 2.0)
    half = math.radians(abs(a1 - a0) / 2.0)
    e0 = (cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0)))
    e1 = (cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1)))

    def d(x, y):
        px, py = x - cx, y - cy
        ang = math.atan2(py, px) - mid
        ang = (ang + math.pi) % (2 * math.pi) - math.pi
        if abs(ang) <= half:
            return abs(math.hypot(px, py) - r) - h
        return min(math.hypot(x - e0[0], y - e0[1]), math.hypot(x - e1[0], y - e1[1])) - h
    return Shape(d, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))


def star4(cx, cy, r, inner=0.28):
    pts = []
    for k in range(8):
        a = math.radians(k * 45 - 90)
        rr = r if k % 2 == 0 else r * inner
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return polygon(pts)


# ---------------------------------------------------------------------------
# Fills: a colour, or a function of the position giving a colour.

def linear(x0, y0, x1, y1, stops):
    """Gradient along the line from (x0, y0) to (x1, y1); stops are (t, colour)."""
    dx, dy = x1 - x0, y1 - y0
    dd = dx * dx + dy * dy or 1e-9

    def f(x, y):
        return _stops(stops, clamp01(((x - x0) * dx + (y - y0) * dy) / dd))
    return f


def radial(cx, cy, r, stops):
    def f(x, y):
        return _stops(stops, clamp01(math.hypot(x - cx, y - cy) / r))
    return f


def _stops(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 1.0)
    return stops[-1][1]


# ---------------------------------------------------------------------------
# A frame maps a drawing's own coordinates (u, v) onto the canvas: moved to
# an origin, turned and scaled. Motifs are drawn in their own coordinates so
# that one drawing serves any size, from the 16-pixel icon up.

class Frame:
    def __init__(self, ox=0.0, oy=0.0, angle=0.0, scale=1.0):
        self.ox, self.oy, self.angle, self.scale = ox, oy, angle, scale
        self.ca = math.cos(math.radians(angle))
        self.sa = math.sin(math.radians(angle))

    def to_local(self, x, y):
        px, py = x - self.ox, y - self.oy
        return (px * self.ca + py * self.sa) / self.scale, (-px * self.sa + py * self.ca) / self.scale

    def to_canvas(self, u, v):
        s = self.scale
        return self.ox + s * (u * self.ca - v * self.sa), self.oy + s * (u * self.sa + v * self.ca)

    def sub(self, u, v, angle=0.0, scale=1.0):
        x, y = self.to_canvas(u, v)
        return Frame(x, y, self.angle + angle, self.scale * scale)

    def shape(self, s):
        if self.angle == 0.0 and self.scale == 1.0 and self.ox == 0.0 and self.oy == 0.0:
            return s
        dist, to_local, k = s.dist, self.to_local, self.scale
        x0, y0, x1, y1 = s.bbox
        corners = [self.to_canvas(u, v) for u, v in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
        xs = [c[0] for c in corners]
        ys = [c[1] for c in corners]
        return Shape(lambda x, y: dist(*to_local(x, y)) * k, (min(xs), min(ys), max(xs), max(ys)))

    def fill(self, f):
        if not callable(f):
            return f
        to_local = self.to_local
        return lambda x, y: f(*to_local(x, y))


class Canvas:
    """Premultiplied RGBA in floats from 0 to 255 (alpha from 0 to 1)."""

    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        n = w * h
        if background is None:
            self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n
        else:
            self.r = [float(background[0])] * n
            self.g = [float(background[1])] * n
            self.b = [float(background[2])] * n
            self.a = [1.0] * n

    def paint(self, shape, fill, alpha=1.0, soft=0.0, clip=None):
        """Composites fill over the canvas inside shape; soft > 0 blurs the edge over that width."""
        x0, y0, x1, y1 = shape.bbox
        if clip is not None:
            x0, y0, x1, y1 = _bbox_meet((x0, y0, x1, y1), clip.bbox)
        pad = soft + 1.0
        xa, ya = max(0, int(math.floor(x0 - pad))), max(0, int(math.floor(y0 - pad)))
        xb, yb = min(self.w, int(math.ceil(x1 + pad))), min(self.h, int(math.ceil(y1 + pad)))
        dist = shape.dist
        cdist = clip.dist if clip is not None else None
        solid = not callable(fill)
        if solid:
            fr, fg, fb = fill
        R, G, B, A = self.r, self.g, self.b, self.a
        for y in range(ya, yb):
            py = y + 0.5
            row = y * self.w
            for x in range(xa, xb):
                px = x + 0.5
                d = dist(px, py)
                if soft > 0.0:
                    if d >= soft:
                        continue
                    cov = 1.0 - smoothstep(-soft, soft, d)
                else:
                    if d >= 0.5:
                        continue
                    cov = 0.5 - d if d > -0.5 else 1.0
                if cdist is not None:
                    dc = cdist(px, py)
                    if dc >= 0.5:
                        continue
                    if dc > -0.5:
                        cov *= 0.5 - dc
                k = cov * alpha
                if not solid:
                    fr, fg, fb = fill(px, py)
                i = row + x
                m = 1.0 - k
                R[i] = fr * k + R[i] * m
                G[i] = fg * k + G[i] * m
                B[i] = fb * k + B[i] * m
                A[i] = k + A[i] * m

    def rgb_bytes(self):
        out = bytearray(self.w * self.h * 3)
        for i in range(self.w * self.h):
            out[3 * i] = _byte(self.r[i])
            out[3 * i + 1] = _byte(self.g[i])
            out[3 * i + 2] = _byte(self.b[i])
        return bytes(out)

    def rgba_pixels(self):
        """Straight (not premultiplied) RGBA rows, top row first."""
        px = []
        for i in range(self.w * self.h):
            a = self.a[i]
            if a <= 0.0:
                px.append((0, 0, 0, 0))
            else:
                px.append((_byte(self.r[i] / a), _byte(self.g[i] / a), _byte(self.b[i] / a), _byte(a * 255.0)))
        return px


def _byte(v):
    v = int(v + 0.5)
    return 0 if v < 0 else 255 if v > 255 else v


class Painter:
    """Draws shapes given in a frame's coordinates onto a canvas."""

    def __init__(self, canvas, frame):
        self.cv, self.fr = canvas, frame

    def at(self, u, v, angle=0.0, scale=1.0):
        return Painter(self.cv, self.fr.sub(u, v, angle, scale))

    def fill(self, shape, fill, alpha=1.0, soft=0.0, clip=None):
        fr = self.fr
        self.cv.paint(fr.shape(shape), fr.fill(fill), alpha, soft * fr.scale,
                      fr.shape(clip) if clip is not None else None)

    def shadow(self, shape, dx=2.0, dy=3.0, blur=4.0, alpha=0.35):
        self.fill(shape.moved(dx, dy), SHADOW, alpha, soft=blur)


# ---------------------------------------------------------------------------
# Motifs. Each is drawn around its own origin, about 100 units across, and
# placed by the painter's frame.

def _offset(P, dx, dy):
    """A canvas-direction offset expressed in the painter's own coordinates."""
    ca, sa, s = P.fr.ca, P.fr.sa, P.fr.scale
    return (dx * ca + dy * sa) / s, (-dx * sa + dy * ca) / s


def drop_shadow(P, shape, dist=3.0, blur=4.0, alpha=0.35):
    """Shadow falling down-right on the canvas whatever the motif's turn; sizes in pixels."""
    u, v = _offset(P, dist * 0.6, dist)
    P.fill(shape.moved(u, v), SHADOW, alpha, soft=blur / P.fr.scale)


def scene_mountains(P, clip, hw, hh):
    P.fill(clip, linear(0, -hh, 0, hh * 0.4, [(0, (60, 120, 220)), (1, (196, 224, 252))]))
    P.fill(circle(hw * 0.42, -hh * 0.38, hh * 0.42), (255, 236, 170), 0.35, soft=hh * 0.25, clip=clip)
    P.fill(circle(hw * 0.42, -hh * 0.38, hh * 0.2), (255, 214, 90), clip=clip)
    back = polygon([(-hw * 1.1, hh * 0.35), (-hw * 0.45, -hh * 0.3), (-hw * 0.1, hh * 0.05),
                    (hw * 0.3, -hh * 0.5), (hw * 1.1, hh * 0.3), (hw * 1.1, hh * 1.1), (-hw * 1.1, hh * 1.1)])
    P.fill(back, linear(0, -hh * 0.5, 0, hh, [(0, (120, 150, 214)), (1, (56, 86, 172))]), clip=clip)
    snow = back & (circle(-hw * 0.45, -hh * 0.3, hh * 0.22) | circle(hw * 0.3, -hh * 0.5, hh * 0.26))
    P.fill(snow, (240, 246, 255), clip=clip)
    front = ellipse(-hw * 0.3, hh * 1.25, hw * 1.3, hh * 0.75)
    P.fill(front, linear(0, hh * 0.5, 0, hh, [(0, (30, 70, 150)), (1, (12, 34, 110))]), clip=clip)


def scene_sunset(P, clip, hw, hh):
    P.fill(clip, linear(0, -hh, 0, hh * 0.25, [(0, (242, 120, 70)), (0.6, (252, 178, 86)), (1, (255, 222, 140))]))
    P.fill(circle(-hw * 0.15, hh * 0.2, hh * 0.36), (255, 244, 200), clip=clip)
    P.fill(circle(-hw * 0.15, hh * 0.2, hh * 0.7), (255, 240, 190), 0.3, soft=hh * 0.3, clip=clip)
    sea = box(0, hh * 0.65, hw * 1.2, hh * 0.42)
    P.fill(sea, linear(0, hh * 0.25, 0, hh, [(0, (60, 70, 150)), (1, (20, 26, 100))]), clip=clip)
    for y, half in ((0.36, 0.30), (0.5, 0.22), (0.66, 0.14), (0.82, 0.08)):
        P.fill(box(-hw * 0.15, hh * y, hw * half * 2.2, max(0.6, hh * 0.025), r=0.5), (255, 214, 140), 0.8, clip=clip)


def scene_sea(P, clip, hw, hh):
    P.fill(clip, linear(0, -hh, 0, hh * 0.2, [(0, (90, 150, 232)), (1, (206, 228, 252))]))
    cloud = circle(-hw * 0.45, -hh * 0.45, hh * 0.16) | circle(-hw * 0.25, -hh * 0.52, hh * 0.22) | \
        circle(-hw * 0.05, -hh * 0.44, hh * 0.15)
    P.fill(cloud, WHITE, 0.9, clip=clip)
    sea = box(0, hh * 0.6, hw * 1.2, hh * 0.45)
    P.fill(sea, linear(0, hh * 0.2, 0, hh, [(0, (40, 110, 200)), (1, (10, 40, 130))]), clip=clip)
    sail = polygon([(hw * 0.25, -hh * 0.42), (hw * 0.25, hh * 0.12), (-hw * 0.1, hh * 0.12)])
    P.fill(sail, WHITE, clip=clip)
    P.fill(polygon([(hw * 0.3, -hh * 0.3), (hw * 0.3, hh * 0.12), (hw * 0.55, hh * 0.12)]), (255, 206, 90), clip=clip)
    hull = polygon([(-hw * 0.15, hh * 0.17), (hw * 0.62, hh * 0.17), (hw * 0.5, hh * 0.3), (-hw * 0.05, hh * 0.3)])
    P.fill(hull, MAROON, clip=clip)


def scene_flower(P, clip, hw, hh):
    P.fill(clip, radial(0, -hh * 0.2, hw * 1.4, [(0, (230, 240, 252)), (1, (120, 170, 230))]))
    P.fill(polyline([(0, hh * 0.05), (-hw * 0.05, hh * 0.5), (hw * 0.05, hh * 1.1)], max(1.2, hh * 0.07)),
           (50, 128, 86), clip=clip)
    P.fill(ellipse(hw * 0.2, hh * 0.6, hw * 0.2, hh * 0.08), (60, 140, 96), clip=clip)
    r = hh * 0.2
    petals = None
    for k in range(6):
        a = math.radians(k * 60 + 15)
        c = circle(r * 0.95 * math.cos(a), -hh * 0.15 + r * 0.95 * math.sin(a), r * 0.72)
        petals = c if petals is None else petals | c
    P.fill(petals, radial(0, -hh * 0.15, r * 1.8, [(0, (250, 90, 70)), (1, (196, 28, 36))]), clip=clip)
    P.fill(circle(0, -hh * 0.15, r * 0.5), (255, 206, 70), clip=clip)


SCENES = (scene_mountains, scene_sunset, scene_sea, scene_flower)


def photo_print(P, w, h, scene, shadow=True, lift=4.0, border=None):
    """A printed photo with a white border."""
    hw, hh = w / 2.0, h / 2.0
    b = border if border is not None else max(2.0, 0.075 * min(w, h))
    outer = box(0, 0, hw, hh, r=min(1.5, b * 0.4))
    if shadow:
        drop_shadow(P, outer, dist=lift * P.fr.scale, blur=(2.0 + lift) * P.fr.scale, alpha=0.38)
    P.fill(outer, linear(0, -hh, 0, hh, [(0, WHITE), (1, (232, 238, 248))]))
    inner = box(0, 0, hw - b, hh - b)
    scene(P, inner, hw - b, hh - b)
    P.fill(inner.outline(0.6), (150, 165, 195), 0.5)


def magnifier(P, glass=0.5, rim_width=6.5, highlight=True, rim_colours=None):
    """Lens centred at the origin with radius 30; the handle runs down-right to (44, 44)."""
    R = 30.0
    handle = segment(27, 27, 44, 44, 13)
    rim = circle(0, 0, R + 4)
    drop_shadow(P, rim | handle, dist=4 * P.fr.scale, blur=5 * P.fr.scale, alpha=0.35)
    P.fill(handle, linear(20, 30, 34, 20, [(0, (150, 40, 20)), (0.5, (236, 120, 40)), (1, (150, 40, 20))]))
    P.fill(segment(23, 23, 29, 29, 11), (70, 84, 120))
    if glass:
        P.fill(circle(0, 0, R), radial(-10, -12, R * 1.5, [(0, (255, 255, 255)), (1, (170, 206, 245))]), glass)
    ring = circle(0, 0, R + 2).outline(rim_width)
    c0, c1, c2 = rim_colours or ((236, 242, 252), (140, 156, 196), (60, 72, 120))
    P.fill(ring, linear(-R, -R, R, R, [(0, c0), (0.5, c1), (1, c2)]))
    if highlight:
        P.fill(arc(0, 0, R - 7, 195, 250, 4.5), WHITE, 0.85)


def globe(P, R=50.0, lines_alpha=0.55):
    sphere = circle(0, 0, R)
    drop_shadow(P, sphere, dist=4 * P.fr.scale, blur=6 * P.fr.scale, alpha=0.35)
    P.fill(sphere, radial(-R * 0.35, -R * 0.4, R * 1.55,
                          [(0, (150, 205, 255)), (0.45, (40, 110, 230)), (1, (6, 24, 120))]))
    w = max(1.4, 1.2 / P.fr.scale)
    for k in (-0.62, -0.3, 0.0, 0.3, 0.62):
        y = k * R
        half = math.sqrt(R * R - y * y)
        P.fill(ellipse(0, y, half, half * 0.2).outline(w), WHITE, lines_alpha, clip=sphere)
    for k in (0.35, 0.72):
        P.fill(ellipse(0, 0, R * k, R).outline(w), WHITE, lines_alpha, clip=sphere)
    P.fill(segment(0, -R, 0, R, w), WHITE, lines_alpha, clip=sphere)
    P.fill(ellipse(-R * 0.32, -R * 0.45, R * 0.36, R * 0.2), WHITE, 0.35, soft=R * 0.12)
    P.fill(sphere.outline(w), (200, 225, 255), 0.5)


def network(P, nodes, links, r=4.0, colour=GOLD, line=(255, 255, 255), width=1.6):
    """Nodes joined by links: the web that the product searches."""
    for a, b in links:
        P.fill(segment(*nodes[a], *nodes[b], width), line, 0.85)
    for x, y in nodes:
        P.fill(circle(x, y, r + 1.5), WHITE)
        P.fill(circle(x, y, r), radial(x - r * 0.3, y - r * 0.3, r * 1.4, [(0, (255, 236, 170)), (1, colour)]))


def down_arrow(P, colour0=(255, 196, 80), colour1=(236, 104, 20)):
    """Points down; about 70 wide and 100 high, centred on the origin."""
    shape = box(0, -22, 13, 28, r=3) | polygon([(-34, 2), (34, 2), (0, 44)]).grow(2.5)
    drop_shadow(P, shape, dist=3 * P.fr.scale, blur=4 * P.fr.scale, alpha=0.35)
    P.fill(shape.grow(4), WHITE)
    P.fill(shape, linear(0, -50, 0, 46, [(0, colour0), (1, colour1)]))
    P.fill(box(-5, -24, 3, 22, r=2.5), WHITE, 0.35)


def folder(P, contents=None):
    """A card folder, 100 wide and 80 high; contents are drawn between back and front."""
    back = box(0, 4, 50, 34, r=5) | box(-28, -28, 20, 9, r=4)
    drop_shadow(P, back, dist=4 * P.fr.scale, blur=5 * P.fr.scale, alpha=0.35)
    P.fill(back, linear(0, -36, 0, 38, [(0, (232, 160, 40)), (1, (196, 118, 22))]))
    if contents is not None:
        contents(P)
    front = polygon([(-50, -8), (50, -8), (46, 38), (-46, 38)]).grow(3)
    P.fill(front.moved(0, -1.5), SHADOW, 0.25, soft=3)
    P.fill(front, linear(0, -10, 0, 40, [(0, (255, 222, 110)), (1, (246, 172, 44))]))
    P.fill(segment(-44, -7, 44, -7, 1.6), (255, 244, 200), 0.8)


def check_badge(P, R=50.0):
    disc = circle(0, 0, R)
    drop_shadow(P, disc, dist=4 * P.fr.scale, blur=6 * P.fr.scale, alpha=0.4)
    P.fill(disc, linear(0, -R, 0, R, [(0, (255, 216, 100)), (1, (230, 140, 30))]))
    inner = circle(0, 0, R * 0.84)
    P.fill(inner, radial(-R * 0.3, -R * 0.35, R * 1.3, [(0, (90, 150, 250)), (0.6, (20, 60, 220)), (1, (0, 20, 140))]))
    P.fill(ellipse(0, -R * 0.42, R * 0.56, R * 0.3), WHITE, 0.22, soft=R * 0.08)
    Q = P.at(0, 0, 0, R / 40.0)
    Q.fill(polyline([(-21, 3), (-6, 18), (22, -12)], 13.0).moved(1.2, 2.0), SHADOW, 0.35, soft=2)
    Q.fill(polyline([(-21, 1), (-6, 16), (22, -14)], 13.0), WHITE)


def warning_sign(P):
    """Rounded triangle, about 100 wide."""
    tri = polygon([(0, -40), (44, 36), (-44, 36)]).grow(8)
    drop_shadow(P, tri, dist=3 * P.fr.scale, blur=4 * P.fr.scale, alpha=0.4)
    P.fill(tri, linear(0, -48, 0, 44, [(0, (255, 226, 110)), (1, (246, 160, 26))]))
    P.fill(tri.grow(-1.5).outline(3), (170, 70, 10), 0.9)
    P.fill(polygon([(0, -30), (30, 22), (-30, 22)]).grow(3), WHITE, 0.18, soft=4)
    P.fill(polygon([(-5.5, -20), (5.5, -20), (3.5, 12), (-3.5, 12)]).grow(1.5), NAVY)
    P.fill(circle(0, 23, 5.5), NAVY)


def refresh_arrows(P, R=40.0, width=9.0, colour=WHITE, spans=((200, 330), (20, 150))):
    """Two arcs chasing each other clockwise, each ending in an arrow head."""
    shapes = None
    for a0, a1 in spans:
        s = arc(0, 0, R, a0, a1 - 8, width)
        a = math.radians(a1)
        tip = (R * math.cos(a), R * math.sin(a))
        tan = (-math.sin(a), math.cos(a))
        nrm = (math.cos(a), math.sin(a))
        back = (tip[0] - tan[0] * width * 1.9, tip[1] - tan[1] * width * 1.9)
        head = polygon([(tip[0] + tan[0] * width * 0.5, tip[1] + tan[1] * width * 0.5),
                        (back[0] + nrm[0] * width * 1.2, back[1] + nrm[1] * width * 1.2),
                        (back[0] - nrm[0] * width * 1.2, back[1] - nrm[1] * width * 1.2)])
        s = s | head
        shapes = s if shapes is None else shapes | s
    drop_shadow(P, shapes, dist=3 * P.fr.scale, blur=4 * P.fr.scale, alpha=0.3)
    P.fill(shapes, colour)


def monitor(P, screen=None):
    """A screen 100 wide on a stand; screen(P, clip, hw, hh) fills the display."""
    stand = polygon([(-10, 30), (10, 30), (16, 46), (-16, 46)]) | box(0, 47, 26, 3, r=2)
    body = box(0, 0, 50, 34, r=4)
    drop_shadow(P, body | stand, dist=4 * P.fr.scale, blur=6 * P.fr.scale, alpha=0.35)
    P.fill(stand, linear(-26, 0, 26, 0, [(0, (120, 134, 170)), (0.5, (210, 220, 240)), (1, (100, 112, 150))]))
    P.fill(body, linear(0, -34, 0, 34, [(0, (40, 60, 140)), (1, (8, 16, 80))]))
    disp = box(0, -1, 45, 29, r=1)
    if screen is not None:
        screen(P, disp, 45, 29)
    P.fill(polygon([(-45, -30), (10, -30), (-20, 28), (-45, 28)]) & disp, WHITE, 0.1)


def gallery_screen(P, clip, hw, hh):
    P.fill(clip, linear(0, -hh, 0, hh, [(0, (236, 244, 254)), (1, (200, 222, 248))]))
    P.fill(box(0, -hh + 4, hw, 4), (0, 0, 200), clip=clip)
    tw, th = (2 * hw - 16) / 3.0, (2 * hh - 20) / 2.0
    k = 0
    for row in range(2):
        for col in range(3):
            cx = -hw + 4 + tw / 2 + col * (tw + 4)
            cy = -hh + 12 + th / 2 + row * (th + 4)
            Q = P.at(cx, cy)
            inner = box(0, 0, tw / 2, th / 2)
            SCENES[k % 4](Q, inner, tw / 2, th / 2)
            k += 1


def logo_tile(P, small=False):
    """The product's mark: a tilted print under a magnifying glass, about 100
    across. Its warm photo stands out on the blue window and on a taskbar; the
    small form drops the details that would only blur at 16 pixels."""
    photo_print(P.at(-6, -8, -10, 1.0), 80, 64, scene_sunset, lift=3, border=7.0)
    if small:
        magnifier(P.at(18, 16, 0, 0.66), glass=0.2, rim_width=13.0, highlight=False,
                  rim_colours=((90, 110, 200), (20, 40, 150), (0, 0, 100)))
    else:
        magnifier(P.at(18, 16, 0, 0.62), rim_width=8.0)


def plug(P):
    """A mains-style plug pointing up, 40 wide, with its cable leaving downwards."""
    P.fill(box(-9, -40, 3.5, 12, r=1.5), linear(-12, 0, -6, 0, [(0, (230, 236, 248)), (1, (130, 140, 170))]))
    P.fill(box(9, -40, 3.5, 12, r=1.5), linear(6, 0, 12, 0, [(0, (230, 236, 248)), (1, (130, 140, 170))]))
    body = box(0, -10, 22, 22, r=7) | polygon([(-14, 8), (14, 8), (7, 26), (-7, 26)]).grow(2)
    drop_shadow(P, body, dist=3 * P.fr.scale, blur=4 * P.fr.scale, alpha=0.35)
    P.fill(body, linear(-22, 0, 22, 0, [(0, (50, 90, 220)), (0.45, (20, 50, 200)), (1, (0, 10, 120))]))
    P.fill(box(-12, -12, 4, 14, r=3), WHITE, 0.25)
    for y in (12, 17, 22):
        P.fill(segment(-8 + (y - 12) * 0.25, y, 8 - (y - 12) * 0.25, y, 1.6), NAVY, 0.7)


def document(P):
    """A sheet of terms, 80 wide and 104 high, with its corner folded."""
    sheet = polygon([(-40, -52), (24, -52), (40, -36), (40, 52), (-40, 52)]).grow(1.5)
    drop_shadow(P, sheet, dist=5 * P.fr.scale, blur=7 * P.fr.scale, alpha=0.35)
    P.fill(sheet, linear(0, -52, 0, 52, [(0, WHITE), (1, (230, 238, 250))]))
    P.fill(polygon([(24, -52), (24, -36), (40, -36)]).grow(1), (200, 214, 236))
    P.fill(box(-22, -38, 12, 3, r=1.5), (0, 0, 200))
    lines = [(-30, -26, 58), (-30, -18, 62), (-30, -10, 54), (-30, -2, 60),
             (-30, 10, 62), (-30, 18, 48), (-30, 26, 56), (-30, 38, 30)]
    for x, y, w in lines:
        P.fill(box(x + w / 2, y, w / 2, 1.6, r=1.5), (130, 150, 190))


def seal(P):
    """A rosette with two ribbons, 40 across."""
    P.fill(polygon([(-8, 4), (-2, 6), (-6, 34), (-11, 28), (-16, 31)]).grow(0.8), WARM_RED)
    P.fill(polygon([(8, 4), (2, 6), (6, 34), (11, 28), (16, 31)]).grow(0.8), MAROON)
    pts = []
    for k in range(32):
        a = math.radians(k * 360 / 32)
        rr = 19 if k % 2 == 0 else 16.5
        pts.append((rr * math.cos(a), rr * math.sin(a)))
    ros = polygon(pts)
    drop_shadow(P, ros, dist=2 * P.fr.scale, blur=3 * P.fr.scale, alpha=0.35)
    P.fill(ros, linear(0, -19, 0, 19, [(0, (255, 220, 110)), (1, (226, 140, 30))]))
    P.fill(circle(0, 0, 11).outline(1.5), (170, 90, 10), 0.8)
    P.fill(star4(0, 0, 8, 0.35), WHITE, 0.9)


def pen(P):
    """A pen lying along the x axis, nib to the left, 100 long."""
    body = box(4, 0, 38, 6, r=5)
    drop_shadow(P, body | polygon([(-46, 0), (-34, -6), (-34, 6)]), dist=4 * P.fr.scale, blur=4 * P.fr.scale)
    P.fill(polygon([(-48, 0), (-34, -5.5), (-34, 5.5)]), linear(0, -6, 0, 6, [(0, (255, 226, 130)), (1, (200, 130, 30))]))
    P.fill(circle(-44.5, 0, 1.4), NAVY)
    P.fill(body, linear(0, -6, 0, 6, [(0, (70, 110, 240)), (0.5, (10, 30, 200)), (1, (0, 0, 110))]))
    P.fill(box(-30, 0, 3, 6.2, r=1), (230, 236, 250))
    P.fill(box(16, -7, 16, 1.8, r=1), (220, 228, 245))
    P.fill(box(8, -2.5, 32, 1.4, r=1), WHITE, 0.4)


def product_box(P):
    """A carton of the product seen from the front left, about 100 across."""
    top = polygon([(-44, -26), (6, -40), (48, -28), (-2, -14)])
    front = polygon([(-44, -26), (-2, -14), (-2, 46), (-44, 32)])
    side = polygon([(-2, -14), (48, -28), (48, 32), (-2, 46)])
    drop_shadow(P, top | front | side, dist=5 * P.fr.scale, blur=6 * P.fr.scale, alpha=0.35)
    P.fill(front, linear(-44, 0, -2, 0, [(0, (40, 90, 230)), (1, (20, 60, 210))]))
    P.fill(side, linear(0, -28, 0, 46, [(0, (10, 30, 170)), (1, (0, 0, 110))]))
    P.fill(top, linear(-44, -26, 48, -28, [(0, (130, 170, 250)), (1, (90, 130, 240))]))
    P.fill(polygon([(-20, -19.5), (30, -33.5), (34, -32.4), (-16, -18.3)]), GOLD)
    P.fill(polygon([(-20, -19.5), (-16, -18.3), (-16, 40.7), (-20, 39.4)]), GOLD)
    # The mark on the side, drawn flat and sheared onto the panel.
    Q = P.at(23, 10, -15.6, 0.36)
    logo_tile(Q)


# ---------------------------------------------------------------------------
# Backgrounds and layers.

def page_background(cv, edge=SKY, glow=PALE, reach=0.85):
    """The page colour all round the edges, lightening in a soft oval towards
    the middle, so a picture melts into the page around it."""
    w, h = cv.w, cv.h

    def f(x, y):
        r = math.hypot((x - w / 2.0) / (w / 2.0), (y - h / 2.0) / (h / 2.0))
        return mix(edge, glow, smoothstep(1.0, 1.0 - reach, r))
    cv.paint(box(w / 2.0, h / 2.0, w / 2.0, h / 2.0), f)


def composite(cv, layer, opacity, dark=None, light=None):
    """Lays a layer over the canvas; with dark and light its colours become a
    two-tone image from dark to light by their brightness."""
    for i in range(cv.w * cv.h):
        a = layer.a[i] * opacity
        if a <= 0.0:
            continue
        la = layer.a[i]
        r, g, b = layer.r[i] / la, layer.g[i] / la, layer.b[i] / la
        if dark is not None:
            t = (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255.0
            r, g, b = mix(dark, light, t)
        m = 1.0 - a
        cv.r[i] = r * a + cv.r[i] * m
        cv.g[i] = g * a + cv.g[i] * m
        cv.b[i] = b * a + cv.b[i] * m
        cv.a[i] = a + cv.a[i] * m


def sparkle(P, x, y, r, alpha=0.9):
    P.fill(circle(x, y, r * 0.9), WHITE, alpha * 0.35, soft=r * 0.5)
    P.fill(star4(x, y, r, 0.22), WHITE, alpha)


# ---------------------------------------------------------------------------
# The pictures, each at the size its page shows it.

def pic_welcome():
    # Eight bold words in red, maroon, yellow and white drift over this
    # picture, so it keeps to a middle blue: light enough for the dark words,
    # dark enough for the light ones. The motifs are a blue watermark.
    w, h = 369, 417
    cv = Canvas(w, h)
    cv.paint(box(w / 2, h / 2, w / 2, h / 2), linear(0, 0, w * 0.35, h, [(0, (108, 156, 232)), (1, (66, 110, 210))]))
    P = Painter(cv, Frame())
    P.fill(circle(40, 30, 170), (160, 198, 246), 0.25, soft=110)
    layer = Canvas(w, h)
    L = Painter(layer, Frame())
    globe(L.at(236, 132), R=112, lines_alpha=0.7)
    nodes = [(70, 60), (128, 34), (150, 110), (96, 150), (40, 128), (330, 40), (345, 250), (300, 300)]
    network(L, nodes, [(0, 1), (1, 2), (2, 3), (3, 4), (4, 0), (0, 2), (5, 6), (6, 7)], r=6, width=2.4)
    for dx, ang, scene in ((-50, -14, scene_sunset), (0, -2, scene_sea), (48, 11, scene_mountains)):
        photo_print(L.at(130 + dx, 288 + abs(dx) * 0.12, ang), 150, 112, scene, lift=6)
    magnifier(L.at(284, 236, 0, 1.25))
    composite(cv, layer, 0.34, dark=(20, 54, 170), light=(196, 222, 255))
    P.fill(box(w - 1, h / 2, 1, h / 2), (180, 210, 250), 0.5)
    return cv


def pic_terms():
    cv = Canvas(320, 290)
    page_background(cv)
    P = Painter(cv, Frame())
    document(P.at(142, 146, 7, 2.1))
    d = P.at(132, 140, -5, 2.1)
    document(d)
    seal(d.at(24, 38, 5, 0.9))
    pen(P.at(226, 204, -52, 1.25))
    return cv


def pic_install_or_upgrade():
    cv = Canvas(225, 193)
    page_background(cv, edge=WHITE, glow=(222, 236, 252))
    P = Painter(cv, Frame())
    monitor(P.at(112, 84, 0, 1.45), gallery_screen)
    down_arrow(P.at(38, 142, 0, 0.5))
    disc = P.at(188, 142)
    drop_shadow(disc, circle(0, 0, 22), dist=3, blur=4)
    disc.fill(circle(0, 0, 22), radial(-7, -8, 30, [(0, (90, 150, 250)), (1, (0, 20, 170))]))
    disc.fill(circle(0, 0, 22).outline(3), WHITE)
    refresh_arrows(disc.at(0, 0, 0, 0.32), R=40, width=10)
    return cv


def pic_error():
    # Shown transparent: the bottom-left colour is left out, so the edges stay
    # one flat page colour and the sign keeps well clear of them.
    cv = Canvas(121, 122, SKY)
    warning_sign(Painter(cv, Frame(60, 60, 0, 0.84)))
    return cv


def _program_window(P):
    win = box(0, -22, 32, 24, r=3)
    drop_shadow(P, win, dist=2 * P.fr.scale, blur=3 * P.fr.scale, alpha=0.3)
    P.fill(win, WHITE)
    P.fill(box(0, -41, 32, 5, r=3) | box(0, -38, 32, 2), (0, 0, 200))
    for k in range(3):
        P.fill(circle(20 + k * 5 - 4, -41, 1.4), WHITE)
    inner = box(0, -17, 27, 16)
    scene_mountains(P.at(0, -17), box(0, 0, 27, 16), 27, 16)
    P.fill(inner.outline(0.8), (150, 165, 195), 0.6)


def pic_install_folder():
    cv = Canvas(105, 105)
    page_background(cv)
    P = Painter(cv, Frame())
    folder(P.at(52, 60, 0, 0.84), _program_window)
    return cv


def _photos_in_folder(P):
    photo_print(P.at(-14, -26, -8), 48, 38, scene_sunset, lift=2)
    photo_print(P.at(12, -28, 9), 48, 38, scene_sea, lift=2)


def pic_download_folder():
    cv = Canvas(105, 105)
    page_background(cv)
    P = Painter(cv, Frame())
    folder(P.at(50, 58, 0, 0.8), _photos_in_folder)
    down_arrow(P.at(80, 74, 0, 0.34))
    return cv


def _bezier(p0, p1, p2, p3, t):
    m = 1.0 - t
    return tuple(m * m * m * a + 3 * m * m * t * b + 3 * m * t * t * c + t * t * t * d
                 for a, b, c, d in zip(p0, p1, p2, p3))


def pic_connection():
    w, h = 177, 281
    cv = Canvas(w, h)
    page_background(cv)
    P = Painter(cv, Frame())
    G = P.at(88, 88)
    globe(G, R=60)
    nodes = [(-44, -30), (-8, -50), (30, -20), (48, 18), (-20, 10), (10, 40), (-46, 30)]
    network(G, nodes, [(0, 1), (1, 2), (2, 3), (2, 4), (4, 0), (4, 5), (5, 3), (4, 6), (6, 5)], r=4, width=1.8)
    cable = [_bezier((88, 224), (88, 262), (36, 236), (22, 266), k / 24.0) for k in range(25)]
    cable_shape = polyline(cable, 8)
    drop_shadow(P, cable_shape, dist=3, blur=3, alpha=0.3)
    P.fill(cable_shape, linear(0, 230, 0, 270, [(0, (20, 50, 200)), (1, (0, 0, 128))]))
    plug(P.at(88, 200, 0, 1.05))
    P.fill(circle(88, 160, 16), (255, 244, 200), 0.55, soft=10)
    return cv


def pic_ready_to_install():
    cv = Canvas(193, 164)
    page_background(cv)
    P = Painter(cv, Frame())
    product_box(P.at(86, 84, 0, 1.2))
    check_badge(P.at(150, 118), R=24)
    sparkle(P, 36, 30, 8)
    sparkle(P, 160, 36, 5)
    return cv


def pic_install_finished():
    cv = Canvas(370, 388)
    page_background(cv)
    P = Painter(cv, Frame())
    for dx, dy, ang, scene in ((-64, 16, -13, scene_sunset), (60, 10, 9, scene_mountains), (0, -4, -2, scene_sea)):
        photo_print(P.at(178 + dx, 170 + dy, ang), 168, 128, scene, lift=7)
    check_badge(P.at(266, 282), R=50)
    for x, y, r in ((66, 70, 12), (310, 86, 9), (96, 300, 8), (40, 210, 6)):
        sparkle(P, x, y, r)
    return cv


def pic_searching():
    cv = Canvas(200, 200)
    page_background(cv)
    P = Painter(cv, Frame())
    photo_print(P.at(150, 48, 12), 56, 44, scene_flower, lift=3)
    photo_print(P.at(44, 156, -10), 56, 44, scene_sunset, lift=3)
    G = P.at(92, 92)
    globe(G, R=56)
    magnifier(P.at(110, 108, 0, 1.0))
    return cv


def pic_upgrade_finished():
    cv = Canvas(383, 302)
    page_background(cv)
    P = Painter(cv, Frame())
    ring = P.at(180, 150, 0, 3.0)
    refresh_arrows(ring, R=40, width=6.5, colour=(40, 90, 230), spans=((205, 330), (36, 150)))
    photo_print(P.at(168, 150, -9), 128, 98, scene_flower, lift=5)
    photo_print(P.at(194, 146, 6), 128, 98, scene_mountains, lift=5)
    check_badge(P.at(300, 228), R=40)
    sparkle(P, 60, 64, 9)
    sparkle(P, 330, 60, 7)
    return cv


def icon_canvas(size, background=None):
    cv = Canvas(size, size, background)
    logo_tile(Painter(cv, Frame(size * 0.49, size * 0.5, 0, size / 96.0)), small=size < 24)
    return cv


PICTURES = [
    ("welcome", pic_welcome),
    ("terms", pic_terms),
    ("install_or_upgrade", pic_install_or_upgrade),
    ("error", pic_error),
    ("install_folder", pic_install_folder),
    ("download_folder", pic_download_folder),
    ("connection", pic_connection),
    ("ready_to_install", pic_ready_to_install),
    ("install_finished", pic_install_finished),
    ("searching", pic_searching),
    ("upgrade_finished", pic_upgrade_finished),
    ("icon", lambda: icon_canvas(32, WINDOW_BLUE)),
]


# ---------------------------------------------------------------------------
# Output.

def write_jpeg(cv, path, sampling="2x2", check=None):
    """Baseline JPEG through ImageMagick, written beside and renamed so that a
    failed conversion or check never leaves a bad picture in place."""
    with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as tmp:
        tmp.write(b"P6\n%d %d\n255\n" % (cv.w, cv.h))
        tmp.write(cv.rgb_bytes())
    partial = path + ".partial.jpg"
    try:
        subprocess.run(["convert", tmp.name, "-interlace", "none", "-quality", "90",
                        "-sampling-factor", sampling, "-strip", partial], check=True)
        if check is not None:
            check(partial)
        os.replace(partial, path)
    finally:
        os.unlink(tmp.name)
        if os.path.exists(partial):
            os.unlink(partial)


def decode(path):
    """Pixels of a picture as ImageMagick decodes it: (width, height, RGB bytes)."""
    out = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    parts = out.split(maxsplit=4)
    return int(parts[1]), int(parts[2]), parts[4]


def check_flat_edges(path, ring=6):
    """The transparent picture must decode to one colour all along its edges,
    or a fringe of near-page-colour pixels would show."""
    w, h, px = decode(path)
    key = px[3 * (h - 1) * w:3 * (h - 1) * w + 3]
    for y in range(h):
        for x in range(w):
            if min(x, y, w - 1 - x, h - 1 - y) < ring and px[3 * (y * w + x):3 * (y * w + x) + 3] != key:
                raise SystemExit("%s: edge pixel (%d, %d) differs from the transparent colour" % (path, x, y))
    if max(abs(a - b) for a, b in zip(key, SKY)) > 2:
        raise SystemExit("%s: transparent colour %s is not the page colour" % (path, tuple(key)))


def ico_image(cv):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the
    1-bit mask that systems without alpha use."""
    w, h = cv.w, cv.h
    px = cv.rgba_pixels()
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, w * h * 4, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    stride = (w + 31) // 32 * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            r, g, b, a = px[y * w + x]
            colour += bytes((b, g, r, a))
            if a < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def ico_bytes(canvases):
    images = [ico_image(cv) for cv in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def icon_file_canvases():
    return [icon_canvas(16), icon_canvas(32)]


def write_ico(canvases, path):
    with open(path + ".tmp", "wb") as f:
        f.write(ico_bytes(canvases))
    os.replace(path + ".tmp", path)


def stale_difference(cv, path, sampling):
    """Why a committed picture no longer matches its drawing, or None.

    The drawing is encoded afresh and both pictures are decoded and compared
    pixel by pixel. Encoders of other ImageMagick versions may round a little
    differently, which stays within a few levels; any change to a drawing
    shows as far more somewhere."""
    with tempfile.TemporaryDirectory() as tmp:
        fresh = os.path.join(tmp, "fresh.jpg")
        write_jpeg(cv, fresh, sampling)
        w0, h0, now = decode(fresh)
    w, h, committed = decode(path)
    if (w, h) != (w0, h0):
        return "size %d x %d, drawn %d x %d" % (w, h, w0, h0)
    worst, at = 0, 0
    for i, (a, b) in enumerate(zip(now, committed)):
        if abs(a - b) > worst:
            worst, at = abs(a - b), i
    if worst > 12:
        return "differs from its drawing by %d levels at (%d, %d)" % (worst, at // 3 % w, at // 3 // w)
    return None


def sampling_of(name):
    # Halving the colour resolution smears the small icon's edges on the
    # saturated window blue; it alone keeps full colour resolution.
    return "1x1" if name == "icon" else "2x2"


def check_up_to_date(outdir):
    """Exit status 1, naming them, when committed pictures are not what the
    script draws now: the script was changed and not re-run."""
    stale = []
    for name, draw in PICTURES:
        path = os.path.join(outdir, name + ".jpg")
        why = stale_difference(draw(), path, sampling_of(name)) if os.path.exists(path) else "missing"
        if why:
            stale.append("%s: %s" % (name + ".jpg", why))
    ico = os.path.join(outdir, "Install_Fotelix.ico")
    if not os.path.exists(ico):
        stale.append("Install_Fotelix.ico: missing")
    else:
        with open(ico, "rb") as f:
            if f.read() != ico_bytes(icon_file_canvases()):
                stale.append("Install_Fotelix.ico: differs from its drawing")
    for line in stale:
        print(line)
    if stale:
        print("re-run resources/generate_pictures.py and commit the pictures")
        return 1
    print("all pictures match their drawings")
    return 0


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = os.path.join(here, "pictures")
    preview = None
    only = None
    args = list(argv[1:])
    if args == ["--check"]:
        return check_up_to_date(outdir)
    while args:
        a = args.pop(0)
        if a == "--preview" and args:
            preview = args.pop(0)
        elif a == "--only" and args:
            only = set(args.pop(0).split(","))
            unknown = only - {name for name, _ in PICTURES} - {"ico"}
            if unknown:
                raise SystemExit("no such picture: " + ", ".join(sorted(unknown)))
        else:
            raise SystemExit("usage: generate_pictures.py [--preview DIR] [--only NAME,...|ico] | --check")
    os.makedirs(outdir, exist_ok=True)
    written = []
    for name, draw in PICTURES:
        if only and name not in only:
            continue
        path = os.path.join(outdir, name + ".jpg")
        write_jpeg(draw(), path, sampling_of(name), check_flat_edges if name == "error" else None)
        written.append(path)
        print("wrote", os.path.relpath(path))
    if not only or "ico" in only:
        ico = os.path.join(outdir, "Install_Fotelix.ico")
        write_ico(icon_file_canvases(), ico)
        print("wrote", os.path.relpath(ico))
    if preview:
        os.makedirs(preview, exist_ok=True)
        for path in written:
            base = os.path.splitext(os.path.basename(path))[0]
            subprocess.run(["convert", path, os.path.join(preview, base + ".png")], check=True)
        if not only:
            subprocess.run(["montage"] + written + ["-geometry", "+10+10", "-background", "#A6CAF0",
                                                    os.path.join(preview, "contact_sheet.png")], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
