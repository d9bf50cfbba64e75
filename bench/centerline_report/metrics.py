"""How well a traced DXF matches a sheet's true centre lines.

All figures are lengths measured on samples a quarter pixel apart: recall is the share of the
true length within 1.5 px of the traced geometry, spurious the share of the traced length
farther than 1.5 px from every true stroke.
"""
import math

import ezdxf
import numpy as np
from scipy.spatial import cKDTree

import sheets

NEAR = 1.5
STEP = 0.25


def read_entities(path, height):
    """The DXF's entities as primitives in the sheet's frame (Y down), read by ezdxf."""
    doc = ezdxf.readfile(path)
    out = []
    for e in doc.modelspace():
        t = e.dxftype()
        if t == "LINE":
            s, f = e.dxf.start, e.dxf.end
            out.append(("line", s[0], height - s[1], f[0], height - f[1], 0))
        elif t == "CIRCLE":
            c = e.dxf.center
            out.append(("circle", c[0], height - c[1], e.dxf.radius, 0))
        elif t == "ARC":
            c = e.dxf.center
            a0, a1 = math.radians(e.dxf.start_angle), math.radians(e.dxf.end_angle)
            while a1 <= a0:
                a1 += 2 * math.pi
            out.append(("arc", c[0], height - c[1], e.dxf.radius, a0, a1, 0))
        elif t in ("POLYLINE", "LWPOLYLINE"):
            pts = [(p[0], height - p[1]) for p in e.points()]
            if t == "POLYLINE" and e.is_closed or t == "LWPOLYLINE" and e.closed:
                pts.append(pts[0])
            out.append(("polyline", pts))
        else:
            raise ValueError("unexpected entity " + t)
    return out


def sample_entity(prim):
    if prim[0] == "polyline":
        pts = prim[1]
        parts = [sheets.sample(("line", *a, *b, 0), STEP) for a, b in zip(pts, pts[1:])]
        return np.concatenate(parts) if parts else np.array(pts, float).reshape(-1, 2)
    return sheets.sample(prim, STEP)


def _samples(prims):
    parts = [sample_entity(p) for p in prims]
    return np.concatenate(parts) if parts else np.zeros((0, 2))


def score(truth, traced):
    t = _samples(truth)
    g = _samples(traced)
    result = {"true_primitives": len(truth), "entities": len(traced)}
    if len(g) == 0:
        result.update(recall=0.0, spurious=0.0)
    else:
        dt, _ = cKDTree(g).query(t, distance_upper_bound=NEAR + 1e-9)
        dg, _ = cKDTree(t).query(g, distance_upper_bound=NEAR + 1e-9)
        result["recall"] = float(np.mean(np.isfinite(dt)))
        result["spurious"] = float(np.mean(~np.isfinite(dg)))
    result["entities_per_primitive"] = len(traced) / max(1, len(truth))
    # Circles and arcs: the traced arc or circle nearest in centre and radius.
    curved = [p for p in traced if p[0] in ("arc", "circle")]
    centre_err, radius_err, matched, wanted = [], [], 0, 0
    for p in truth:
        if p[0] not in ("arc", "circle"):
            continue
        wanted += 1
        best = None
        for q in curved:
            dc = math.hypot(p[1] - q[1], p[2] - q[2])
            dr = abs(p[3] - q[3])
            if dc <= max(3.0, 0.2 * p[3]) and dr <= max(2.0, 0.1 * p[3]):
                if best is None or dc + dr < best[0] + best[1]:
                    best = (dc, dr)
        if best:
            matched += 1
            centre_err.append(best[0])
            radius_err.append(best[1])
    result["curves"] = wanted
    result["curves_matched"] = matched
    result["centre_error"] = float(np.mean(centre_err)) if centre_err else float("nan")
    result["radius_error"] = float(np.mean(radius_err)) if radius_err else float("nan")
    return result


def skeleton_coverage(skeleton_points, traced, near=1.0):
    """Share of an independent skeleton's points within `near` px of the traced geometry."""
    g = _samples(traced)
    if len(skeleton_points) == 0:
        return 1.0
    if len(g) == 0:
        return 0.0
    d, _ = cKDTree(g).query(skeleton_points, distance_upper_bound=near + 1e-9)
    return float(np.mean(np.isfinite(d)))
