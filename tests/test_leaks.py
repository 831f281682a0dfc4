"""Repeated calls, successful and failing, leave no reference or memory behind."""

import gc
import os
import sys
import tracemalloc

import pytest

import numpy as np

from tessary._core import Collision, CollisionReport, classify, ink_coverage

BOX = (0.0, 0.0, 10.0, 10.0)
ROLE, ID = "title-" + "x" * 50, "id-" + "y" * 50
GOOD = [(BOX, BOX, ROLE, ID), ((-5.0, 0.0, 10.0, 10.0), BOX, "legend", ID), (BOX, BOX, "data-artist", ID)]
COLLISION = ("text_text", ROLE, ID, BOX, ROLE, ID, BOX, 0.5)


class Raises:
    def __float__(self):
        raise ValueError("no")


CALLS = [
    lambda: classify(GOOD),
    lambda: classify(GOOD, 0.0, -1.0),
    lambda: classify(GOOD + [(BOX, BOX, ROLE, 5)]),
    lambda: classify(GOOD + [(BOX, [0, 0, 1, 1], ROLE, ID)]),
    lambda: classify(GOOD + [((Raises(), 0, 1, 1), BOX, ROLE, ID)]),
    lambda: classify(GOOD + [(BOX, BOX, "\ud800", ID)]),
    lambda: classify(GOOD, "x"),
    lambda: classify(GOOD, boxes=GOOD),
    lambda: classify(GOOD, nope=1),
    lambda: Collision(*COLLISION),
    lambda: repr(Collision(*COLLISION)),
    lambda: Collision(*COLLISION[:7], "x"),
    lambda: Collision(*COLLISION, extra=1),
]
REPORTED = [Collision(*COLLISION), Collision(*COLLISION[:7], float("nan"))]
REPORT = CollisionReport(REPORTED)
BUFFER = np.full((40, 30, 4), 255, np.uint8)
BUFFER[::3, ::2, 1] = 0
CALLS += [
    lambda: CollisionReport(REPORTED).to_json(),
    lambda: [REPORT.collisions, REPORT.by_type("text_text"), REPORT.total(), REPORT.severity, REPORT.exit_code()],
    lambda: CollisionReport(REPORTED + [1]),
    lambda: REPORT.by_type(3),
    lambda: REPORT.total(1),
    lambda: ink_coverage(BUFFER, (0, 0, 40, 30), (255, 255, 255)),
    lambda: ink_coverage(BUFFER[::-1, ::2], (1, 1, 39, 29), (255, 255, 255), 0),
    lambda: ink_coverage(BUFFER, (0, 0, 40, 30), (255, 255, 256)),
    lambda: ink_coverage(BUFFER[..., :2], (0, 0, 40, 30), (255, 255, 255)),
    lambda: ink_coverage(BUFFER, [0, 0, 1, 1], (255, 255, 255)),
]
WATCHED = [GOOD, BOX, ROLE, ID, *GOOD, COLLISION, REPORT, *REPORTED, BUFFER]


def run(call):
    try:
        result = call()
    except (TypeError, ValueError, OverflowError, UnicodeEncodeError):
        return
    except BaseException as failure:  # the internal failure of a buffer without colours
        assert type(failure).__bases__ == (BaseException,)
        return
    if isinstance(result, tuple):
        for c in result[0]:
            (c.kind, c.a_role, c.a_id, c.a_box, c.b_role, c.b_id, c.b_box, c.severity)
        for d in result[1]:
            (d.decoration_id, d.decoration_role, d.decoration_box, d.data_id, d.data_box, d.overlap)


def resident_kib():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * 4


@pytest.mark.parametrize("call", CALLS)
def test_reference_counts_are_flat(call):
    run(call)
    gc.collect()
    before = [sys.getrefcount(obj) for obj in WATCHED]
    for _ in range(200):
        run(call)
    gc.collect()
    assert [sys.getrefcount(obj) for obj in WATCHED] == before


def rounds(count):
    big = GOOD * 40  # 120 boxes: thousands of pair findings per call
    for _ in range(count):
        classify(big)
        for call in CALLS:
            run(call)
    gc.collect()


def test_python_allocations_reach_a_plateau():
    tracemalloc.start()
    try:
        rounds(20)
        start = tracemalloc.get_traced_memory()[0]
        rounds(300)
        grown = tracemalloc.get_traced_memory()[0] - start
    finally:
        tracemalloc.stop()
    # One Collision object left behind per round would add about 75 KiB.
    assert grown < 16 * 1024


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="reads /proc")
@pytest.mark.skipif("san" in os.environ.get("LD_PRELOAD", ""), reason="a sanitizer's quarantine keeps freed memory")
def test_memory_reaches_a_plateau():
    rounds(20)
    start = resident_kib()
    rounds(300)
    assert resident_kib() - start < 2048
