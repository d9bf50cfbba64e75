"""Test drawings with known geometry for the centerline quality report.

A sheet is a list of true primitives (the centre lines the strokes were drawn along) and the
grey picture drawn from them. Coordinates are pixels with Y down, pixel (col, row) covering
[col, col+1] x [row, row+1]; the DXF frame of a traced drawing is (x, height - y).

Primitives:
  ("line", x0, y0, x1, y1, width)
  ("arc", cx, cy, r, a0, a1, width)   angles in radians, counter-clockwise on the page (Y up),
                                       from a0 to a1 (a1 > a0)
  ("circle", cx, cy, r, width)
Strokes have round ends. A dashed or broken line is drawn in pieces but is one true line.
"""
import math

import numpy as np
from scipy import ndimage

TWO_PI = 2 * math.pi


def _coverage_line(img, x0, y0, x1, y1, w, pieces=None):
    """Lays a stroke along the segment (or along the given sub-intervals [t0, t1] of it)."""
    h = w / 2
    for t0, t1 in pieces or [(0.0, 1.0)]:
        ax, ay = x0 + (x1 - x0) * t0, y0 + (y1 - y0) * t0
        bx, by = x0 + (x1 - x0) * t1, y0 + (y1 - y0) * t1
        c0, c1 = int(max(0, math.floor(min(ax, bx) - h - 2))), int(min(img.shape[1], math.ceil(max(ax, bx) + h + 2)))
        r0, r1 = int(max(0, math.floor(min(ay, by) - h - 2))), int(min(img.shape[0], math.ceil(max(ay, by) + h + 2)))
        if c0 >= c1 or r0 >= r1:
            continue
        ys, xs = np.mgrid[r0:r1, c0:c1]
        px, py = xs + 0.5, ys + 0.5
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy
        t = np.clip(((px - ax) * dx + (py - ay) * dy) / ll, 0, 1) if ll > 0 else 0
        d = np.hypot(px - (ax + t * dx), py - (ay + t * dy))
        cov = np.clip(h - d + 0.5, 0, 1)
        img[r0:r1, c0:c1] = np.maximum(img[r0:r1, c0:c1], cov)


def _coverage_arc(img, cx, cy, r, a0, a1, w):
    h = w / 2
    c0, c1 = int(max(0, cx - r - h - 2)), int(min(img.shape[1], cx + r + h + 3))
    r0, r1 = int(max(0, cy - r - h - 2)), int(min(img.shape[0], cy + r + h + 3))
    if c0 >= c1 or r0 >= r1:
        return
    ys, xs = np.mgrid[r0:r1, c0:c1]
    px, py = xs + 0.5 - cx, cy - (ys + 0.5)  # Y up about the centre
    rho = np.hypot(px, py)
    ang = np.mod(np.arctan2(py, px) - a0, TWO_PI)
    inside = ang <= (a1 - a0)
    d = np.abs(rho - r)
    e0 = np.hypot(px - r * math.cos(a0), py - r * math.sin(a0))
    e1 = np.hypot(px - r * math.cos(a1), py - r * math.sin(a1))
    d = np.where(inside, d, np.minimum(e0, e1))
    cov = np.clip(h - d + 0.5, 0, 1)
    img[r0:r1, c0:c1] = np.maximum(img[r0:r1, c0:c1], cov)


def draw(prim, img, pieces=None):
    k = prim[0]
    if k == "line":
        _coverage_line(img, *prim[1:5], prim[5], pieces)
    elif k == "arc":
        _coverage_arc(img, *prim[1:7])
    elif k == "circle":
        _coverage_arc(img, prim[1], prim[2], prim[3], 0.0, TWO_PI, prim[4])


def rotate(prim, angle, ox, oy):
    """The primitive turned by angle (radians, counter-clockwise on the page) about (ox, oy)."""
    c, s = math.cos(angle), math.sin(angle)

    def turn(x, y):  # Y down: a counter-clockwise turn on the page
        dx, dy = x - ox, y - oy
        return ox + c * dx + s * dy, oy - s * dx + c * dy

    k = prim[0]
    if k == "line":
        x0, y0 = turn(prim[1], prim[2])
        x1, y1 = turn(prim[3], prim[4])
        return ("line", x0, y0, x1, y1, prim[5])
    cx, cy = turn(prim[1], prim[2])
    if k == "arc":
        return ("arc", cx, cy, prim[3], prim[4] + angle, prim[5] + angle, prim[6])
    return ("circle", cx, cy, prim[3], prim[4])


class Sheet:
    def __init__(self, width, height, seed):
        self.width, self.height = width, height
        self.rng = np.random.default_rng(seed)
        self.truth = []  # true primitives
        self.strokes = []  # (primitive, pieces or None): what is drawn
        self.dust = []

    def add(self, prim, pieces=None):
        self.truth.append(prim)
        self.strokes.append((prim, pieces))

    def render(self, rotation=0.0, blur=0.0, paper=255, ink=0, noise=0.0, dust=0):
        ox, oy = self.width / 2, self.height / 2
        if rotation:
            self.truth = [rotate(p, rotation, ox, oy) for p in self.truth]
            self.strokes = [(rotate(p, rotation, ox, oy), pieces) for p, pieces in self.strokes]
        cov = np.zeros((self.height, self.width), np.float32)
        for prim, pieces in self.strokes:
            draw(prim, cov, pieces)
        for _ in range(dust):
            x, y = self.rng.uniform(5, self.width - 5), self.rng.uniform(5, self.height - 5)
            d = self.rng.uniform(1.0, 3.0)
            _coverage_line(cov, x, y, x + self.rng.uniform(-0.5, 0.5), y, d)
        if blur:
            cov = ndimage.gaussian_filter(cov, blur)
        img = paper - (paper - ink) * cov
        if noise:
            img = img + self.rng.normal(0, noise, img.shape)
        return np.clip(np.rint(img), 0, 255).astype(np.uint8)

    # Motifs, each within a cell whose top-left corner is (x, y) and side s.
    def random_angle(self):
        return self.rng.uniform(0, math.pi)

    def motif_line(self, x, y, s, w):
        a = self.random_angle()
        cx, cy, l = x + s / 2, y + s / 2, s * 0.38
        self.add(("line", cx - l * math.cos(a), cy - l * math.sin(a), cx + l * math.cos(a), cy + l * math.sin(a), w))

    def motif_arc(self, x, y, s, w):
        r = self.rng.uniform(0.15, 0.38) * s
        a0 = self.rng.uniform(0, TWO_PI)
        self.add(("arc", x + s / 2, y + s / 2, r, a0, a0 + self.rng.uniform(0.6, 1.6) * math.pi, w))

    def motif_circle(self, x, y, s, w):
        self.add(("circle", x + s / 2, y + s / 2, self.rng.uniform(0.1, 0.38) * s, w))

    def motif_t(self, x, y, s, w):
        a = self.random_angle()
        cx, cy, l = x + s / 2, y + s / 2, s * 0.38
        ux, uy = math.cos(a), math.sin(a)
        self.add(("line", cx - l * ux, cy - l * uy, cx + l * ux, cy + l * uy, w))
        self.add(("line", cx, cy, cx - l * uy, cy + l * ux, w))

    def motif_x(self, x, y, s, w):
        a = self.random_angle()
        b = a + self.rng.uniform(0.35, 0.65) * math.pi
        cx, cy, l = x + s / 2, y + s / 2, s * 0.38
        for t in (a, b):
            self.add(("line", cx - l * math.cos(t), cy - l * math.sin(t), cx + l * math.cos(t), cy + l * math.sin(t), w))

    def motif_l(self, x, y, s, w):
        a = self.random_angle()
        b = a + self.rng.uniform(0.35, 0.65) * math.pi
        cx, cy, l = x + s / 2, y + s / 2, s * 0.4
        for t in (a, b):
            self.add(("line", cx, cy, cx + l * math.cos(t), cy + l * math.sin(t), w))

    def motif_crossed_circle(self, x, y, s, w):
        cx, cy, r = x + s / 2, y + s / 2, s * 0.3
        self.add(("circle", cx, cy, r, w))
        a, l = self.random_angle(), s * 0.45
        self.add(("line", cx - l * math.cos(a), cy - l * math.sin(a), cx + l * math.cos(a), cy + l * math.sin(a), w))

    def motif_dashed(self, x, y, s, w, dash_dot=False):
        a = self.random_angle()
        cx, cy, l = x + s / 2, y + s / 2, s * 0.45
        prim = ("line", cx - l * math.cos(a), cy - l * math.sin(a), cx + l * math.cos(a), cy + l * math.sin(a), w)
        total = 2 * l
        pattern = [(24, 6), (1, 6)] if dash_dot else [(16, 6)]
        pieces, t, i = [], 0.0, 0
        while t < total:
            on, off = pattern[i % len(pattern)]
            pieces.append((t / total, min(t + on, total) / total))
            t += on + off
            i += 1
        self.add(prim, pieces)

    def motif_broken(self, x, y, s, w):
        a = self.random_angle()
        cx, cy, l = x + s / 2, y + s / 2, s * 0.45
        prim = ("line", cx - l * math.cos(a), cy - l * math.sin(a), cx + l * math.cos(a), cy + l * math.sin(a), w)
        cuts = sorted(self.rng.uniform(0.2, 0.8, 2))
        pieces, t = [], 0.0
        for c in cuts:
            g = self.rng.uniform(2, 4) / (2 * l)
            pieces.append((t, c))
            t = c + g
        pieces.append((t, 1.0))
        self.add(prim, pieces)

    def motif_hatch(self, x, y, s, w):
        # A square outline with 45-degree hatching inside, 9 px apart.
        x0, y0, x1, y1 = x + s * 0.15, y + s * 0.15, x + s * 0.85, y + s * 0.85
        for p in [(x0, y0, x1, y0), (x1, y0, x1, y1), (x1, y1, x0, y1), (x0, y1, x0, y0)]:
            self.add(("line", *p, w))
        step = 9 * math.sqrt(2)
        k = step
        while k < 2 * (x1 - x0) - 1:
            # the line x + y = x0 + y0 + k clipped to the square
            a = (max(x0, x0 + k - (y1 - y0)), min(y1, y0 + k))
            b = (min(x1, x0 + k), max(y0, y0 + k - (x1 - x0)))
            if math.dist(a, b) > 4:
                self.add(("line", a[0], a[1], b[0], b[1], w * 0.8))
            k += step

    def motif_parallel(self, x, y, s, w):
        a = self.random_angle()
        cx, cy, l = x + s / 2, y + s / 2, s * 0.4
        ux, uy = math.cos(a), math.sin(a)
        for off in (-2.5, 2.5):
            px, py = cx - uy * off, cy + ux * off
            self.add(("line", px - l * ux, py - l * uy, px + l * ux, py + l * uy, w))

    GLYPHS = {
        # strokes in a 6 x 10 box, Y down: lines (x0, y0, x1, y1) and arcs (cx, cy, r, a0, a1)
        "T": [(0, 0, 6, 0), (3, 0, 3, 10)],
        "L": [(0, 0, 0, 10), (0, 10, 6, 10)],
        "E": [(0, 0, 0, 10), (0, 0, 6, 0), (0, 5, 5, 5), (0, 10, 6, 10)],
        "H": [(0, 0, 0, 10), (6, 0, 6, 10), (0, 5, 6, 5)],
        "N": [(0, 10, 0, 0), (0, 0, 6, 10), (6, 10, 6, 0)],
        "Z": [(0, 0, 6, 0), (6, 0, 0, 10), (0, 10, 6, 10)],
        "C": [("arc", 3.5, 5, 4.5, 0.7, 2 * math.pi - 0.7)],
        "O": [("circle", 3, 5, 4.5)],
        "D": [(0, 0, 0, 10), ("arc", 0.5, 5, 5, -math.pi / 2 + 0.15, math.pi / 2 - 0.15)],
        "A": [(0, 10, 3, 0), (3, 0, 6, 10), (1.3, 6, 4.7, 6)],
    }

    def motif_text(self, x, y, s, w):
        scale = self.rng.uniform(1.6, 2.2)
        text = "".join(self.rng.choice(list(self.GLYPHS), 6))
        ox, oy = x + s * 0.08, y + s / 2 - 5 * scale
        for i, ch in enumerate(text):
            gx = ox + i * 9.5 * scale
            for st in self.GLYPHS[ch]:
                if st[0] == "arc":
                    _, cx, cy, r, a0, a1 = st
                    self.add(("arc", gx + cx * scale, oy + cy * scale, r * scale, a0, a1, w))
                elif st[0] == "circle":
                    _, cx, cy, r = st
                    self.add(("circle", gx + cx * scale, oy + cy * scale, r * scale, w))
                else:
                    x0, y0, x1, y1 = st
                    self.add(("line", gx + x0 * scale, oy + y0 * scale, gx + x1 * scale, oy + y1 * scale, w))


def clean_sheet(seed, width=2000, height=1400, cell=200):
    sh = Sheet(width, height, seed)
    motifs = ["line", "arc", "circle", "t", "x", "l", "crossed_circle"]
    i = 0
    for y in range(0, height - cell + 1, cell):
        for x in range(0, width - cell + 1, cell):
            w = float(sh.rng.choice([1.5, 2, 3, 4, 6]))
            getattr(sh, "motif_" + motifs[i % len(motifs)])(x, y, cell, w)
            i += 1
    img = sh.render(noise=4.0)
    return sh, img


def hard_sheet(seed, width=2000, height=1400, cell=200):
    sh = Sheet(width, height, seed)
    motifs = ["dashed", "dashdot", "hatch", "text", "thick", "parallel", "broken", "line", "arc",
              "circle", "t", "x", "crossed_circle"]
    i = 0
    for y in range(0, height - cell + 1, cell):
        for x in range(0, width - cell + 1, cell):
            m = motifs[i % len(motifs)]
            w = float(sh.rng.choice([1.5, 2, 3]))
            if m == "dashdot":
                sh.motif_dashed(x, y, cell, w, dash_dot=True)
            elif m == "thick":
                getattr(sh, "motif_" + ["line", "arc", "circle", "t"][(i // len(motifs)) % 4])(x, y, cell, 8.0)
            elif m == "text":
                sh.motif_text(x, y, cell, 1.8)
            else:
                getattr(sh, "motif_" + m)(x, y, cell, w)
            i += 1
    img = sh.render(rotation=math.radians(0.3), blur=0.8, paper=185, ink=95, noise=10.0, dust=120)
    return sh, img


def sample(prim, step=0.25):
    """Points along a true primitive, step pixels apart, Y down."""
    k = prim[0]
    if k == "line":
        x0, y0, x1, y1 = prim[1:5]
        n = max(2, int(math.hypot(x1 - x0, y1 - y0) / step) + 1)
        t = np.linspace(0, 1, n)
        return np.stack([x0 + (x1 - x0) * t, y0 + (y1 - y0) * t], 1)
    if k == "arc":
        cx, cy, r, a0, a1 = prim[1:6]
    else:
        cx, cy, r, a0, a1 = prim[1], prim[2], prim[3], 0.0, TWO_PI
    n = max(2, int(r * (a1 - a0) / step) + 1)
    a = np.linspace(a0, a1, n)
    return np.stack([cx + r * np.cos(a), cy - r * np.sin(a)], 1)


def length(prim):
    k = prim[0]
    if k == "line":
        return math.hypot(prim[3] - prim[1], prim[4] - prim[2])
    if k == "arc":
        return prim[3] * (prim[5] - prim[4])
    return TWO_PI * prim[3]
