"""Time ink_coverage on a full 3840x2160 RGBA frame against NumPy.

Each contender runs in its own interpreter (the pool's size is fixed when it
is created, so one and two workers need separate processes); the rounds
alternate between contenders so that drift in the machine hits all alike.
Run: python bench/bench_ink_coverage.py [--rounds 5] [--calls 15]
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

import numpy as np

HEIGHT, WIDTH = 2160, 3840
BG, TOL = (255, 255, 255), 8
REGION = (0, 0, HEIGHT, WIDTH)


def frame():
    """White, with a third of the pixels inked and some within the tolerance."""
    rng = np.random.default_rng(2024)
    buffer = np.full((HEIGHT, WIDTH, 4), 255, np.uint8)
    pick = rng.random((HEIGHT, WIDTH), dtype=np.float32)
    ink = pick < 0.33
    buffer[ink] = rng.integers(0, 256, (int(ink.sum()), 4), dtype=np.uint8)
    near = (pick >= 0.33) & (pick < 0.5)
    buffer[near, :3] = rng.integers(240, 256, (int(near.sum()), 3), dtype=np.uint8)
    return buffer


def numpy_int16(buffer):
    """The direct formulation: widen, subtract, compare, any over channels."""
    r0, c0, r1, c1 = REGION
    view = buffer[r0:r1, c0:c1, :3].astype(np.int16)
    ink = (np.abs(view - np.array(BG, np.int16)) > TOL).any(axis=2)
    return np.count_nonzero(ink) / ink.size


# Bytes only: a channel is background when (v - lo) mod 256 <= hi - lo; alpha
# gets the full range so it always is; a pixel is background when its four
# flags, read as one uint32, are all 1. NumPy's inner loops run along the last
# axis, so the contiguous frame is seen as rows of PATTERN pixels rather than
# (rows, cols, 4), whose inner loop would be only 4 long (about 5x slower).
PATTERN = 1024
LO = np.tile(np.array([max(b - TOL, 0) for b in BG] + [0], np.uint8), PATTERN)
WIDTH_OK = np.tile(np.array([min(b + TOL, 255) - max(b - TOL, 0) for b in BG] + [255], np.uint8),
                   PATTERN)


def numpy_wide(buffer, scratch=None):
    assert REGION == (0, 0) + buffer.shape[:2] and buffer.flags.c_contiguous
    block = buffer.reshape(-1, 4 * PATTERN)
    difference, inside, ink = scratch or (None, None, None)
    difference = np.subtract(block, LO, out=difference)
    inside = np.less_equal(difference, WIDTH_OK, out=inside)
    ink = np.not_equal(inside.view(np.uint32), 0x01010101, out=ink)
    return np.count_nonzero(ink) / ink.size


class NumpyScratch:
    """numpy_wide with its temporaries allocated once: fresh pages are costly
    on first touch, and ink_coverage allocates nothing per call either."""

    def __init__(self, shape):
        rows = shape[0] * shape[1] // PATTERN
        self.scratch = (np.empty((rows, 4 * PATTERN), np.uint8),
                        np.empty((rows, 4 * PATTERN), np.bool_),
                        np.empty((rows, PATTERN), np.bool_))

    def __call__(self, buffer):
        return numpy_wide(buffer, self.scratch)


def measure(contender, calls):
    buffer = frame()
    if contender == "tessary":
        from tessary import ink_coverage

        def run():
            return ink_coverage(buffer, REGION, BG, TOL)
    else:
        formulation = {
            "numpy_int16": numpy_int16,
            "numpy_wide": numpy_wide,
            "numpy_scratch": NumpyScratch((HEIGHT, WIDTH, 4)),
        }[contender]

        def run():
            return formulation(buffer)
    result = run()  # warm-up: pool start, first touch of scratch memory
    times = []
    for _ in range(calls):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return {"result": result, "times": times}


CONTENDERS = [
    ("tessary, 1 worker", "tessary", {"TESSARY_NUM_THREADS": "1"}),
    ("tessary, 2 workers", "tessary", {"TESSARY_NUM_THREADS": "2"}),
    ("numpy, int16 abs diff", "numpy_int16", {}),
    ("numpy, uint8 wide rows", "numpy_wide", {}),
    ("numpy, same, reused scratch", "numpy_scratch", {}),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--calls", type=int, default=15)
    parser.add_argument("--measure", help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.measure:
        print(json.dumps(measure(options.measure, options.calls)))
        return

    times = {label: [] for label, _, _ in CONTENDERS}
    results = {}
    for _ in range(options.rounds):
        for label, contender, env in CONTENDERS:
            done = subprocess.run(
                [sys.executable, __file__, "--measure", contender, "--calls", str(options.calls)],
                env={**os.environ, **env}, capture_output=True, text=True, check=True,
            )
            out = json.loads(done.stdout)
            times[label] += out["times"]
            results[label] = out["result"]
    if len(set(results.values())) != 1:
        sys.exit(f"results differ: {results}")

    medians = {label: statistics.median(t) * 1e3 for label, t in times.items()}
    best_numpy = min(m for label, m in medians.items() if label.startswith("numpy"))
    calls = options.rounds * options.calls
    print(f"ink_coverage, {WIDTH}x{HEIGHT} RGBA, full frame, coverage {results[label]:.6f}")
    print(f"median of {calls} calls per row ({options.rounds} rounds of {options.calls}), "
          f"{len(os.sched_getaffinity(0))} processors available")
    print(f"{'implementation':<30}{'median ms':>11}{'min ms':>9}{'speed-up vs best numpy':>25}")
    for label, _, _ in CONTENDERS:
        print(f"{label:<30}{medians[label]:>11.2f}{min(times[label]) * 1e3:>9.2f}"
              f"{best_numpy / medians[label]:>24.1f}x")


if __name__ == "__main__":
    main()
