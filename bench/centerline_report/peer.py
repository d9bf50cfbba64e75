"""The peer: a skeleton-to-vector pipeline from well-known libraries.

scikit-image's skeletonize, a graph of the skeleton (end points, junction clusters, edges
between them), spur pruning against the local stroke width from SciPy's distance transform,
and per edge a least-squares circle (skimage.measure.CircleModel) when it fits, else
Douglas-Peucker (skimage.measure.approximate_polygon) with one LINE per segment.
"""
import numpy as np
from scipy import ndimage
from skimage.measure import CircleModel, approximate_polygon
from skimage.morphology import skeletonize

TOL = 1.0
OFFSETS = [(-1, -1), (-1, 0), (-1, 1), (0, -1), (0, 1), (1, -1), (1, 0), (1, 1)]


def _graph(skel):
    h, w = skel.shape
    k = np.ones((3, 3), np.uint8)
    k[1, 1] = 0
    nb = ndimage.convolve(skel.astype(np.uint8), k, mode="constant") * skel
    junction = skel & (nb >= 3)
    labels, count = ndimage.label(junction, structure=np.ones((3, 3)))
    node_of = {}
    nodes = []  # (y, x) centre
    for i, sl in enumerate(ndimage.find_objects(labels)):
        ys, xs = np.nonzero(labels[sl] == i + 1)
        ys, xs = ys + sl[0].start, xs + sl[1].start
        for y, x in zip(ys, xs):
            node_of[(y, x)] = i
        nodes.append((ys.mean(), xs.mean()))
    for y, x in zip(*np.nonzero(skel & (nb == 1))):
        node_of[(y, x)] = len(nodes)
        nodes.append((float(y), float(x)))
    visited = set()
    edges = []  # [from, to, [(y, x), ...]]
    sk = skel

    def neighbours(y, x):
        for dy, dx in OFFSETS:
            yy, xx = y + dy, x + dx
            if 0 <= yy < h and 0 <= xx < w and sk[yy, xx]:
                yield yy, xx

    for (y, x), n in list(node_of.items()):
        for q in neighbours(y, x):
            if q in node_of:
                if node_of[q] != n and (y, x) < q:
                    edges.append([n, node_of[q], [(y, x), q]])
                continue
            if q in visited:
                continue
            path, prev, cur = [(y, x)], (y, x), q
            end = -1
            while True:
                path.append(cur)
                visited.add(cur)
                nxt = None
                for r in neighbours(*cur):
                    if r == prev or (r in visited and r not in node_of):
                        continue
                    nxt = r
                    if r in node_of:
                        break
                if nxt is None:
                    break
                if nxt in node_of:
                    path.append(nxt)
                    end = node_of[nxt]
                    break
                prev, cur = cur, nxt
            edges.append([n, end, path])
    # rings
    for y, x in zip(*np.nonzero(skel & (nb == 2))):
        if (y, x) in visited:
            continue
        path, prev, cur = [], None, (y, x)
        while cur is not None:
            path.append(cur)
            visited.add(cur)
            nxt = None
            for r in neighbours(*cur):
                if r != prev and r not in visited:
                    nxt = r
                    break
            prev, cur = cur, nxt
        edges.append([-2, -2, path])
    return nodes, edges


def _length(path):
    p = np.asarray(path, float)
    return float(np.hypot(*np.diff(p, axis=0).T).sum()) if len(p) > 1 else 0.0


def _prune(nodes, edges, dist):
    degree = [0] * len(nodes)
    for a, b, _ in edges:
        for n in (a, b):
            if n >= 0:
                degree[n] += 1
    keep = []
    for e in edges:
        a, b, path = e
        spur = False
        for end, junc in ((a, b), (b, a)):
            if end >= 0 and junc >= 0 and degree[end] == 1 and degree[junc] >= 3:
                y, x = nodes[junc]
                width = 2 * dist[int(round(y)), int(round(x))]
                if _length(path) < width:
                    spur = True
        if spur:
            degree[a] -= 1
            degree[b] -= 1
        else:
            keep.append(e)
    # join edges at nodes left with two
    changed = True
    while changed:
        changed = False
        at = {}
        for i, (a, b, _) in enumerate(keep):
            for n in (a, b):
                if n >= 0:
                    at.setdefault(n, []).append(i)
        for n, ids in at.items():
            if len(ids) == 2 and ids[0] != ids[1]:
                e1, e2 = keep[ids[0]], keep[ids[1]]
                p1 = e1[2] if e1[1] == n else e1[2][::-1]
                o1 = e1[0] if e1[1] == n else e1[1]
                p2 = e2[2] if e2[0] == n else e2[2][::-1]
                o2 = e2[1] if e2[0] == n else e2[0]
                keep[ids[0]] = [o1, o2, p1 + p2[1:]]
                del keep[ids[1]]
                changed = True
                break
    return keep


def _fit(path, closed, height):
    pts = np.array([(x + 0.5, height - y - 0.5) for y, x in path], float)
    if len(pts) >= 8:
        model = CircleModel()
        if model.estimate(pts):
            cx, cy, r = model.params
            res = np.abs(np.hypot(pts[:, 0] - cx, pts[:, 1] - cy) - r)
            if res.max() <= TOL and r < 1e5:
                if closed:
                    return [("CIRCLE", (cx, cy), r)]
                poly = approximate_polygon(pts, TOL)
                if len(poly) > 2:
                    a = np.degrees(np.arctan2(pts[:, 1] - cy, pts[:, 0] - cx))
                    turn = np.sum(np.diff(np.unwrap(np.radians(a))))
                    a0, a1 = a[0], a[-1]
                    if turn < 0:
                        a0, a1 = a1, a0
                    return [("ARC", (cx, cy), r, a0 % 360, a1 % 360)]
    if closed:
        pts = np.vstack([pts, pts[:1]])
    poly = approximate_polygon(pts, TOL)
    return [("LINE", tuple(p), tuple(q)) for p, q in zip(poly, poly[1:])]


def trace(ink):
    """Entities for a boolean picture (True = ink), in the picture's frame (Y up)."""
    skel = skeletonize(ink)
    dist = ndimage.distance_transform_edt(ink)
    nodes, edges = _graph(skel)
    edges = _prune(nodes, edges, dist)
    out = []
    for a, b, path in edges:
        closed = a == -2
        if a == b and a >= 0:
            closed = True
        alone = closed or (a >= 0 and b >= 0 and False)
        if _length(path) < 3 and not alone:
            continue
        out.extend(_fit(path, closed, ink.shape[0]))
    return out


def write_dxf(entities, path):
    import ezdxf

    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    for e in entities:
        if e[0] == "LINE":
            msp.add_line(e[1], e[2])
        elif e[0] == "CIRCLE":
            msp.add_circle(e[1], e[2])
        else:
            msp.add_arc(e[1], e[2], e[3], e[4])
    doc.saveas(path)
