"""One table: each workload timed with tessary and with a peer in the same run.

    python -m pip install ".[bench]" && python bench/run.py [--quick] [--only ink classify to_json]

Every figure is a median over repetitions, with min and max. Our ink count
runs in its own interpreter per worker count (the pool's size is fixed when it
starts); the NumPy and OpenCV peers run in another, with OpenBLAS tuning
variables unset. The rounds alternate between processes so that drift on a
shared machine reaches all of them alike. The ratio is peer / ours (above 1:
we are faster); for the read scan it is ours / scan (how far from memory speed).
"""

import argparse
import itertools
import json
import os
import random
import statistics
import subprocess
import sys
import time

import numpy as np

HEIGHT, WIDTH = 2160, 3840
BG, TOL = (255, 255, 255), 8
REGIONS = {"full": (0, 0, HEIGHT, WIDTH), "500x500": (811, 1703, 1311, 2203)}
DENSITIES = {"1%": 0.01, "50%": 0.50}
# The frame as rendered, and the RGB view of it that callers often pass.
VIEWS = {"rgba": lambda rgba: rgba, "rgb view": lambda rgba: rgba[..., :3]}


def frame(density):
    """White; `density` of the pixels inked at random, as many again within the tolerance."""
    rng = np.random.default_rng(2024)
    buffer = np.full((HEIGHT, WIDTH, 4), 255, np.uint8)
    pick = rng.random((HEIGHT, WIDTH), dtype=np.float32)
    ink = pick < density
    buffer[ink] = rng.integers(0, 256, (int(ink.sum()), 4), dtype=np.uint8)
    near = (pick >= density) & (pick < 2 * density)
    buffer[near, :3] = rng.integers(240, 256, (int(near.sum()), 3), dtype=np.uint8)
    return buffer


def timed(fn, calls):
    fn()  # warm-up: pool start, first touch of scratch memory
    out = []
    for _ in range(calls):
        start = time.perf_counter()
        fn()
        out.append(time.perf_counter() - start)
    return out


# ---- ink: the contenders, each `make(buffer, region) -> () -> coverage` ----

def make_ours(buffer, region):
    from tessary import ink_coverage
    return lambda: ink_coverage(buffer, region, BG, TOL)


def make_int16(buffer, region):
    r0, c0, r1, c1 = region
    bg = np.array(BG, np.int16)
    return lambda: (np.abs(buffer[r0:r1, c0:c1, :3].astype(np.int16) - bg) > TOL).any(axis=2).mean()


def as_rgba(view):
    """The RGBA pixels under an RGB view of an RGBA frame (alpha is ignored anyway)."""
    return np.lib.stride_tricks.as_strided(view, view.shape[:2] + (4,), view.strides)


def make_wide(buffer, region):
    """Bytes only, with scratch allocated once: a channel is background when
    (v - lo) mod 256 <= hi - lo, alpha always is, and a pixel is background when
    its four flags read as one uint32 are all 1. Rows of the region are viewed as
    one long axis so that NumPy's inner loops are long."""
    r0, c0, r1, c1 = region
    rows, cols = r1 - r0, c1 - c0
    block = as_rgba(buffer)[r0:r1, c0:c1].reshape(rows, cols * 4)  # a view: no copy
    lo = np.tile(np.array([max(b - TOL, 0) for b in BG] + [0], np.uint8), cols)
    span = np.tile(np.array([min(b + TOL, 255) - max(b - TOL, 0) for b in BG] + [255], np.uint8), cols)
    difference = np.empty(block.shape, np.uint8)
    inside = np.empty(block.shape, np.bool_)
    ink = np.empty((rows, cols), np.bool_)

    def run():
        np.subtract(block, lo, out=difference)
        np.less_equal(difference, span, out=inside)
        np.not_equal(inside.view(np.uint32), 0x01010101, out=ink)
        return np.count_nonzero(ink) / ink.size
    return run


def make_opencv(buffer, region):
    import cv2
    r0, c0, r1, c1 = region
    view = buffer[r0:r1, c0:c1]
    lower = tuple(max(b - TOL, 0) for b in BG) + (0,)
    upper = tuple(min(b + TOL, 255) for b in BG) + (255,)
    area = view.shape[0] * view.shape[1]
    return lambda: 1.0 - cv2.countNonZero(cv2.inRange(view, lower, upper)) / area


def make_scan(buffer, region):
    """The fastest plain read of the same bytes that we found (not a coverage)."""
    r0, c0, r1, c1 = region
    words = as_rgba(buffer)[r0:r1, c0:c1].reshape(r1 - r0, (c1 - c0) * 4).view(np.uint64)
    return lambda: np.bitwise_or.reduce(words, axis=None)


def make_sum(buffer, region):
    r0, c0, r1, c1 = region
    view = as_rgba(buffer)[r0:r1, c0:c1]
    return lambda: view.sum(dtype=np.uint64)


INK_ROLES = {
    "ours": ["ours"],
    "peers": ["int16", "wide", "opencv", "scan", "sum"],
}
MAKERS = {"ours": make_ours, "int16": make_int16, "wide": make_wide, "opencv": make_opencv,
          "scan": make_scan, "sum": make_sum}


def ink_process(role, calls):
    """Runs in a subprocess: {workload: {contender: [result, times]}}."""
    out = {}
    for dname, density in DENSITIES.items():
        rgba = frame(density)
        for (vname, view), (rname, region) in itertools.product(VIEWS.items(), REGIONS.items()):
            buffer = view(rgba)
            workload = f"{rname} {dname}" + ("" if vname == "rgba" else f" {vname}")
            out[workload] = {}
            for name in INK_ROLES[role]:
                fn = MAKERS[name](buffer, region)
                out[workload][name] = [float(fn()), timed(fn, calls)]
    return out


def run_ink(rounds, calls):
    procs = [("ours1", "ours", {"TESSARY_NUM_THREADS": "1"}),
             ("ours2", "ours", {"TESSARY_NUM_THREADS": "2"}),
             ("peers", "peers", {})]
    merged = {}
    for _ in range(rounds):
        for tag, role, extra in procs:
            env = {**os.environ, **extra}
            if role == "peers":
                env.pop("OPENBLAS_CORETYPE", None)
                env.pop("OPENBLAS_L2_SIZE", None)
            done = subprocess.run([sys.executable, __file__, "--ink-process", role, "--calls", str(calls)],
                                  env=env, capture_output=True, text=True, check=True)
            for workload, results in json.loads(done.stdout).items():
                for name, (result, times) in results.items():
                    label = f"{tag}" if name == "ours" else name
                    slot = merged.setdefault(workload, {}).setdefault(label, [result, []])
                    slot[1].extend(times)
    rows = []
    for workload, results in merged.items():
        coverage = {name: r for name, (r, _) in results.items() if name not in ("scan", "sum")}
        if max(coverage.values()) - min(coverage.values()) > 1e-12:
            sys.exit(f"ink coverages differ for {workload}: {coverage}")
        t = {name: times for name, (_, times) in results.items()}
        r0, c0, r1, c1 = REGIONS[workload.split()[0]]
        nbytes = (r1 - r0) * (c1 - c0) * 4
        best_numpy = min(("int16", "wide"), key=lambda n: statistics.median(t[n]))
        scan = min(("scan", "sum"), key=lambda n: statistics.median(t[n]))
        w = f"ink {workload}"
        rows.append((w, "tessary 1 worker", t["ours1"], "numpy int16", t["int16"], False))
        rows.append((w, "tessary 2 workers", t["ours2"], "numpy int16", t["int16"], False))
        rows.append((w, "tessary 1 worker", t["ours1"], f"best numpy ({best_numpy})", t[best_numpy], False))
        rows.append((w, "tessary 2 workers", t["ours2"], f"best numpy ({best_numpy})", t[best_numpy], False))
        rows.append((w, "tessary 1 worker", t["ours1"], "opencv inRange", t["opencv"], False))
        rows.append((w, "tessary 2 workers", t["ours2"], "opencv inRange", t["opencv"], False))
        rows.append((w, "tessary 1 worker", t["ours1"], f"read scan ({scan})", t[scan], True))
        gbs = [nbytes / statistics.median(t[n]) / 1e9 for n in ("ours1", "ours2", scan)]
        rows.append((w, f"GB/s: 1 worker {gbs[0]:.1f}, 2 workers {gbs[1]:.1f}, read scan {gbs[2]:.1f}",
                     None, "", None, False))
    return rows


# ---- classify ----

ROLES = ["title", "suptitle", "legend", "annotation", "tick-label", "axis-label", "colorbar",
         "axes-region", "data-artist", "line", ""]
GROUPS = {"title": 3, "suptitle": 3, "legend": 5, "annotation": 5, "tick-label": 1,
          "axis-label": 1, "colorbar": 2, "axes-region": 2, "data-artist": 8}
THRESHOLD = 0.02


def random_boxes(n, side, seed=11):
    rng = random.Random(seed)
    clip = (0.0, 0.0, float(side), float(side))
    boxes = []
    for i in range(n):
        x, y = rng.uniform(0, side - 80), rng.uniform(0, side - 80)
        boxes.append(((x, y, x + rng.uniform(5, 80), y + rng.uniform(5, 80)), clip,
                      rng.choice(ROLES), f"artist{i}"))
    return boxes


def judge(i, j, measure, groups):
    """The pair rules on arrays: kinds 0 text, 1 element, 2/3 candidate, -1 none."""
    gi, gj = groups[i], groups[j]
    kind = np.full(i.shape, -1, np.int8)
    kind[((gi & 8) != 0) & ((gj & 4) != 0)] = 3
    kind[((gi & 4) != 0) & ((gj & 8) != 0)] = 2
    kind[(gi & gj & 2) != 0] = 1
    kind[(gi & gj & 1) != 0] = 0
    keep = (kind >= 0) & (measure >= THRESHOLD)
    order = np.lexsort((j[keep], i[keep]))
    return i[keep][order], j[keep][order], kind[keep][order], measure[keep][order]


def measure_pairs(b, i, j):
    area = (b[:, 2] - b[:, 0]) * (b[:, 3] - b[:, 1])
    w = np.minimum(b[i, 2], b[j, 2]) - np.maximum(b[i, 0], b[j, 0])
    h = np.minimum(b[i, 3], b[j, 3]) - np.maximum(b[i, 1], b[j, 1])
    return np.clip(w, 0, None) * np.clip(h, 0, None) / np.minimum(area[i], area[j])


def peer_strtree(boxes):
    import shapely
    b = np.array([bx for bx, _, _, _ in boxes])
    groups = np.array([GROUPS.get(role, 0) for _, _, role, _ in boxes], np.uint8)
    geoms = shapely.box(b[:, 0], b[:, 1], b[:, 2], b[:, 3])
    i, j = shapely.STRtree(geoms).query(geoms, predicate="intersects")
    keep = i < j
    i, j = i[keep], j[keep]
    return judge(i, j, measure_pairs(b, i, j), groups)


def peer_sweep(boxes):
    b = np.array([bx for bx, _, _, _ in boxes])
    groups = np.array([GROUPS.get(role, 0) for _, _, role, _ in boxes], np.uint8)
    order = np.argsort(b[:, 0], kind="stable")
    x0 = b[order, 0]
    # For each box in x order, the later boxes starting before it ends.
    end = np.searchsorted(x0, b[order, 2], side="left")
    start = np.arange(len(order)) + 1
    counts = np.maximum(end - start, 0)
    a = np.repeat(np.arange(len(order)), counts)
    offsets = np.arange(counts.sum()) - np.repeat(np.cumsum(counts) - counts, counts)
    c = a + 1 + offsets
    p, q = order[a], order[c]
    i, j = np.minimum(p, q), np.maximum(p, q)
    return judge(i, j, measure_pairs(b, i, j), groups)


def ours_classify(boxes):
    from tessary import classify
    return classify(boxes, THRESHOLD)


def ours_conversion(boxes):
    """Input conversion alone: roles in no rule and no clipping leave nothing else to do."""
    from tessary import classify
    return classify(boxes, 2.0, 1e300)


def load_floor():
    """bench/read_floor.c built for this interpreter, or None without a C compiler."""
    import ctypes
    import sysconfig
    import tempfile
    here = os.path.dirname(os.path.abspath(__file__))
    target = os.path.join(tempfile.mkdtemp(), "read_floor.so")
    done = subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-I", sysconfig.get_paths()["include"],
                           os.path.join(here, "read_floor.c"), "-o", target], capture_output=True)
    if done.returncode != 0:
        return None
    read = ctypes.PyDLL(target).read_boxes
    read.argtypes, read.restype = [ctypes.py_object], ctypes.c_double
    return read


def run_classify(reps):
    rows = []
    floor = load_floor()
    for n, side in ((100, 4000), (1_000, 4000), (10_000, 4000), (100_000, 12_650)):
        boxes = random_boxes(n, side)
        inert = [(bx, clip, "line", id_) for bx, clip, _, id_ in boxes]
        collisions, candidates = ours_classify(boxes)
        found = sum(c.kind != "clipping" for c in collisions) + len(candidates)
        for peer in (peer_strtree, peer_sweep):
            if len(peer(boxes)[0]) != found:
                sys.exit(f"classify n={n}: {peer.__name__} disagrees")
        assert ours_conversion(inert) == ([], [])
        k = max(3, min(reps, int(2e5 // n)))
        t = {"ours": [], "conv": [], "strtree": [], "sweep": [], "floor": []}
        for _ in range(k):  # interleaved, so drift hits all alike
            t["ours"] += timed(lambda: ours_classify(boxes), 1)
            t["conv"] += timed(lambda: ours_conversion(inert), 1)
            t["strtree"] += timed(lambda: peer_strtree(boxes), 1)
            t["sweep"] += timed(lambda: peer_sweep(boxes), 1)
            if floor is not None:
                t["floor"] += timed(lambda: floor(inert), 1)
        w = f"classify n={n} ({found} pairs)"
        rows.append((w, "tessary", t["ours"], "shapely STRtree+numpy", t["strtree"], False))
        rows.append((w, "tessary", t["ours"], "numpy sort-and-sweep", t["sweep"], False))
        per_box = statistics.median(t["conv"]) / n * 1e9
        rows.append((w, "conversion only", t["conv"], f"({per_box:.0f} ns per box) tessary", t["ours"], True))
        if floor is not None:
            rows.append((w, "conversion only", t["conv"], "C API read of the tuples", t["floor"], True))
    return rows


# ---- to_json ----

def run_to_json(reps):
    from tessary import Collision, CollisionReport
    rng = random.Random(7)

    def box():
        x, y = rng.uniform(0, 4000), rng.uniform(0, 4000)
        return (x, y, x + rng.uniform(5, 80), y + rng.uniform(5, 80))

    kinds = ["text_text", "clipping", "over_data", "element_element"]
    rows = [(rng.choice(kinds), "tick-label", f"ax{i % 7}.xtick[{i}]'2020-{i % 12:02d}'", box(),
             "title", f"ax{i % 7}.title", box(), rng.random()) for i in range(10_000)]
    report = CollisionReport([Collision(*row) for row in rows])
    keys = ("kind", "a_role", "a_id", "a_box", "b_role", "b_id", "b_box", "severity")
    dicts = [dict(zip(keys, row)) for row in rows]

    def peer():
        return json.dumps(dicts, separators=(",", ":"))
    if json.loads(report.to_json()) != json.loads(peer()):
        sys.exit("to_json differs from json.dumps")
    t = {"ours": [], "peer": []}
    for _ in range(reps):
        t["ours"] += timed(report.to_json, 1)
        t["peer"] += timed(peer, 1)
    return [("to_json 10 000 collisions", "tessary", t["ours"], "json.dumps", t["peer"], False)]


def fmt(times):
    ms = [x * 1e3 for x in times]
    return f"{statistics.median(ms):9.3f} [{min(ms):8.3f}-{max(ms):8.3f}]"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true", help="fewer repetitions")
    parser.add_argument("--ink-process", help=argparse.SUPPRESS)
    parser.add_argument("--calls", type=int, default=5)
    parser.add_argument("--only", nargs="+", choices=["ink", "classify", "to_json"],
                        default=["ink", "classify", "to_json"], help="the workloads to run")
    options = parser.parse_args()
    if options.ink_process:
        print(json.dumps(ink_process(options.ink_process, options.calls)))
        return
    rounds, calls, reps = (2, 3, 5) if options.quick else (4, 5, 15)

    started = time.perf_counter()
    runs = {"ink": lambda: run_ink(rounds, calls), "classify": lambda: run_classify(reps),
            "to_json": lambda: run_to_json(reps)}
    rows = [row for name in options.only for row in runs[name]()]
    print(f"{len(os.sched_getaffinity(0))} processors; times in ms: median [min-max]; "
          "ratio = peer / ours (for the read scan and conversion: ours / peer)")
    print(f"{'workload':<34}{'ours':<20}{'median [min-max]':>29}  {'peer':<30}{'median [min-max]':>29}{'ratio':>8}")
    for workload, ours_label, ours, peer_label, peer, inverse in rows:
        if ours is None:
            print(f"{workload:<34}{ours_label}")
            continue
        mo, mp = statistics.median(ours), statistics.median(peer)
        ratio = mo / mp if inverse else mp / mo
        print(f"{workload:<34}{ours_label:<20}{fmt(ours):>29}  {peer_label:<30}{fmt(peer):>29}{ratio:>7.2f}x")
    print(f"total {time.perf_counter() - started:.0f} s")


if __name__ == "__main__":
    main()
