"""Fuzz targets for tessary._core, shared by the atheris driver and the tests.

`one_input(data)` decodes bytes into a call of one entry point, runs it and
checks the answer against an independent statement of what it should be:
the plain-Python rules model for classify, Python's own arithmetic and json
module for CollisionReport, and NumPy for ink_coverage. Anything but a
documented exception, or a wrong answer, raises AssertionError.
"""

import json
import math
import os
import struct
import sys

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import model  # noqa: E402

from tessary import _core  # noqa: E402

DOCUMENTED = (TypeError, ValueError, OverflowError, UnicodeEncodeError)
SPECIAL_FLOATS = (0.0, -0.0, 1.0, 0.5, 0.02, 2.0, 10.0, 100.0, math.nan, math.inf, -math.inf, 5e-324, 1e308)
ROLES = sorted(model.GROUPS) + ["Title", "legend ", "", "clip"]


class Reader:
    """Turns fuzz bytes into values; past the end every read gives zeros."""

    def __init__(self, data):
        self.data, self.pos = data, 0

    def take(self, n):
        chunk = self.data[self.pos : self.pos + n]
        self.pos += n
        return chunk.ljust(n, b"\0")

    def byte(self):
        return self.take(1)[0]

    def small(self, limit):
        return self.byte() % limit

    def double(self):
        kind = self.small(4)
        if kind == 0:
            return SPECIAL_FLOATS[self.small(len(SPECIAL_FLOATS))]
        if kind == 1:
            return struct.unpack("<d", self.take(8))[0]
        return float(self.small(32))

    def box(self):
        return tuple(self.double() for _ in range(4))

    def text(self):
        if self.small(3) == 0:
            return ROLES[self.small(len(ROLES))]
        # surrogateescape turns invalid UTF-8 into lone surrogates on purpose.
        return self.take(self.small(6)).decode("utf-8", "surrogateescape")


def has_surrogate(*texts):
    return any(0xD800 <= ord(ch) <= 0xDFFF for text in texts for ch in text)


def same(a, b):
    if isinstance(a, float):
        return (math.isnan(a) and math.isnan(b)) or struct.pack("<d", a) == struct.pack("<d", b)
    if isinstance(a, tuple):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b


def fuzz_classify(r):
    boxes = [(r.box(), r.box(), r.text(), r.text()) for _ in range(r.small(10))]
    thresholds = (r.double(), r.double())
    if has_surrogate(*(t for b in boxes for t in b[2:])):
        try:
            _core.classify(boxes, *thresholds)
        except UnicodeEncodeError:
            return
        raise AssertionError("a lone surrogate was accepted")
    collisions, candidates = _core.classify(boxes, *thresholds)
    want_collisions, want_candidates = model.classify(boxes, *thresholds)
    got = [(c.kind, c.a_role, c.a_id, c.a_box, c.b_role, c.b_id, c.b_box, c.severity) for c in collisions]
    assert same(tuple(got), tuple(want_collisions)), (boxes, thresholds)
    got = [(d.decoration_id, d.decoration_role, d.decoration_box, d.data_id, d.data_box, d.overlap) for d in candidates]
    assert same(tuple(got), tuple(want_candidates)), (boxes, thresholds)


def random_collision(r):
    return (r.text(), r.text(), r.text(), r.box(), r.text(), r.text(), r.box(), r.double())


def json_number(x):
    return None if not math.isfinite(x) else x


def fuzz_report(r):
    raw = [random_collision(r) for _ in range(r.small(6))]
    collisions = []
    for args in raw:
        try:
            collisions.append(_core.Collision(*args))
        except UnicodeEncodeError:
            assert has_surrogate(*(a for a in args if isinstance(a, str)))
            return
    report = _core.CollisionReport(collisions)
    severities = [args[7] for args in raw]
    total = -0.0
    for s in severities:
        total += s
    assert same(report.total(), total)
    worst = 0.0
    for s in severities:
        worst = s if s > worst else worst
    assert same(report.severity, worst)
    assert report.exit_code() == int(bool(raw)) and report.has_collisions == bool(raw)
    parsed = json.loads(report.to_json())
    kinds = ("text_text", "clipping", "over_data")
    expected = [
        {
            "kind": a[0] if a[0] in kinds else "element_element",
            "a_role": a[1], "a_id": a[2], "a_box": [json_number(v) for v in a[3]],
            "b_role": a[4], "b_id": a[5], "b_box": [json_number(v) for v in a[6]],
            "severity": json_number(a[7]),
        }
        for a in raw
    ]
    assert json.dumps(parsed, allow_nan=False) == json.dumps(expected, allow_nan=False)
    if raw:
        kind = raw[r.small(len(raw))][0]
        assert [c.a_id for c in report.by_type(kind)] == [a[2] for a in raw if a[0] == kind]


def strided_view(r, rows, cols, channels):
    base = np.frombuffer(r.take(rows * cols * channels), dtype=np.uint8).reshape(rows, cols, channels)
    view = base
    for _ in range(r.small(4)):
        op = r.small(5)
        if op == 0:
            view = view[::-1]
        elif op == 1:
            view = view[:, :: 1 + r.small(3)]
        elif op == 2:
            view = view.transpose(1, 0, 2)
        elif op == 3 and view.shape[0]:
            view = np.broadcast_to(view[:1], (1 + r.small(5),) + view.shape[1:])
        elif op == 4:
            view = view[:, :, ::-1]
    return view


def reference_coverage(view, region, bg, tol):
    r0, c0, r1, c1 = region
    rows, cols = view.shape[:2]
    r1, c1 = min(r1, rows), min(c1, cols)
    if r0 >= r1 or c0 >= c1:
        return 0.0
    pixels = view[r0:r1, c0:c1, :3].astype(np.int16)
    ink = (np.abs(pixels - np.array(bg, dtype=np.int16)) > tol).any(axis=2)
    return int(ink.sum()) / ((r1 - r0) * (c1 - c0))


def fuzz_ink(r):
    rows, cols, channels = r.small(9), r.small(9), r.small(7)
    view = strided_view(r, rows, cols, channels)
    bounds = [r.small(12) if r.small(8) else (1 << 64) - 1 for _ in range(4)]
    region = tuple(bounds)
    bg = (r.byte(), r.byte(), r.byte())
    tol = r.byte()
    r0, c0, r1, c1 = region
    empty = r0 >= min(r1, view.shape[0]) or c0 >= min(c1, view.shape[1])
    if view.shape[2] < 3 and not empty:
        try:
            _core.ink_coverage(view, region, bg, tol)
        except Exception:
            raise AssertionError("a short buffer failed with an ordinary exception")
        except BaseException as failure:
            assert type(failure).__name__ == "InternalFailure"
            return
        raise AssertionError("a buffer without colour channels was counted")
    got = _core.ink_coverage(view, region, bg, tol)
    assert got == reference_coverage(view, region, bg, tol), (view.shape, view.strides, region, bg, tol)


def fuzz_hostile_arguments(r):
    """Wrong types in every position: a documented exception, never a crash."""
    candidates = [None, 1, -1, 2**64, 1.5, "s", b"b", [], (), [1, 2], (1, 2, 3, 4), {}, object(), np.zeros((2, 2, 4), np.uint8)]
    args = [candidates[r.small(len(candidates))] for _ in range(r.small(10))]
    for target in (_core.classify, _core.Collision, _core.CollisionReport, _core.ink_coverage):
        try:
            target(*args)
        except DOCUMENTED:
            pass


TARGETS = (fuzz_classify, fuzz_report, fuzz_ink, fuzz_hostile_arguments)


def one_input(data):
    r = Reader(data)
    TARGETS[r.small(len(TARGETS))](r)
