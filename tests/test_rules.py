"""What classify decides: clipping, the overlap measure, the pair rules."""

import itertools
import math

import pytest
from conftest import FAR, tagged

from tessary._core import classify

INF = math.inf
NAN = math.nan


def kinds(collisions):
    return [c.kind for c in collisions]


def test_worked_example():
    boxes = [
        tagged((0, 0, 100, 20), "title", "t", clip=(3, 0, 200, 200)),
        tagged((0, 100, 100, 200), "data-artist", "d"),
        tagged((50, 10, 150, 150), "legend", "l"),
        tagged((90, 0, 120, 20), "colorbar", "c"),
    ]
    collisions, candidates = classify(boxes, clip_px=1)
    assert [(c.kind, c.a_id, c.b_id) for c in collisions] == [
        ("clipping", "t", "clip"),
        ("text_text", "t", "l"),
        ("element_element", "t", "c"),
    ]
    assert collisions[0].severity == 3.0
    assert collisions[0].b_role == "clip" and collisions[0].b_box == (3.0, 0.0, 200.0, 200.0)
    assert len(candidates) == 1
    cand = candidates[0]
    assert (cand.decoration_id, cand.decoration_role, cand.data_id) == ("l", "legend", "d")
    assert cand.decoration_box == (50.0, 10.0, 150.0, 150.0)
    assert cand.data_box == (0.0, 100.0, 100.0, 200.0)
    assert cand.overlap == pytest.approx(50 * 50 / (100 * 100))


@pytest.mark.parametrize(
    "bx, clip, clip_px, severity",
    [
        ((0, 0, 10, 10), (0, 0, 10, 10), 1.0, None),  # exactly on the edges
        ((-1, 0, 10, 10), (0, 0, 10, 10), 1.0, None),  # passes by exactly clip_px
        ((-1.5, 0, 10, 10), (0, 0, 10, 10), 1.0, 1.5),
        ((0, -2, 10, 10), (0, 0, 10, 10), 1.0, 2.0),
        ((0, 0, 12, 10), (0, 0, 10, 10), 1.0, 2.0),
        ((0, 0, 10, 14), (0, 0, 10, 10), 1.0, 4.0),
        ((200, 0, 210, 10), (0, 0, 100, 100), 1.0, 110.0),  # the largest side wins
        ((1, 1, 2, 2), (0, 0, 10, 10), -0.5, 0.0),  # negative clip_px reports everything
        ((-50, 0, 10, 10), (0, 0, 10, 10), NAN, None),  # NaN clip_px reports nothing
        ((NAN, 0, 20, 10), (0, 0, 10, 10), 1.0, 10.0),  # a NaN side counts as 0
        ((-5, 0, 10, 10), (0, NAN, NAN, 10), 1.0, 5.0),
        ((-INF, 0, 10, 10), (0, 0, 10, 10), 1.0, INF),
        ((0, 0, 10, 10), (INF, 0, 10, 10), 1.0, INF),
    ],
)
def test_clipping(bx, clip, clip_px, severity):
    collisions, _ = classify([(bx, clip, "any role", "x")], clip_px=clip_px)
    if severity is None:
        assert collisions == []
    else:
        (c,) = collisions
        assert (c.kind, c.a_role, c.a_id, c.b_role, c.b_id) == ("clipping", "any role", "x", "clip", "clip")
        assert c.severity == severity
        assert c.a_box == tuple(map(float, bx)) or math.isnan(bx[0])
        assert c.b_box == tuple(float(v) for v in clip) or any(map(math.isnan, clip))


def pair_severity(p, q, overlap_fraction=0.0):
    """The overlap of two boxes, read through a text_text pair."""
    collisions, _ = classify([tagged(p, "title"), tagged(q, "title")], overlap_fraction=overlap_fraction)
    assert len(collisions) <= 1
    return collisions[0].severity if collisions else None


@pytest.mark.parametrize(
    "p, q, expected",
    [
        ((0, 0, 10, 10), (0, 0, 10, 10), 1.0),  # identical
        ((0, 0, 100, 100), (10, 10, 20, 20), 1.0),  # inside
        ((0, 0, 10, 10), (5, 0, 15, 10), 0.5),
        ((0, 0, 10, 10), (5, 5, 105, 105), 0.25),  # relative to the smaller box
        ((0, 0, 10, 10), (10, 0, 20, 10), 0.0),  # touching along an edge
        ((-INF, -INF, -0.0, -INF), (0, 0, 25, 30), 0.0),  # width -0.0 clamps to +0.0
        ((0, 0, 10, 10), (20, 20, 30, 30), 0.0),  # disjoint
        ((0, 0, 0, 10), (0, 0, 10, 10), 0.0),  # zero width
        ((10, 10, 0, 0), (0, 0, 10, 10), 0.0),  # inverted
        ((0, 0, 10, NAN), (0, 0, 10, 10), 0.0),  # NaN height: area 0
        ((NAN, 0, 10, 10), (0, 0, 10, 10), 0.0),
        ((-INF, 0, INF, 10), (0, 0, 10, 10), 1.0),  # infinite box over a finite one
        ((-INF, 0, INF, 0), (0, 0, 10, 10), 0.0),  # inf * 0 area is NaN: the other area counts
    ],
)
def test_overlap_measure(p, q, expected):
    assert pair_severity(p, q) == expected
    assert math.copysign(1.0, pair_severity(p, q)) == 1.0  # never -0.0
    assert pair_severity(q, p) == expected  # symmetric


def test_overlap_of_two_nan_areas_is_nan():
    # Both areas are inf * 0 = NaN, so no smaller area can be chosen.
    severity = pair_severity((-INF, 0, INF, 0), (-INF, 5, INF, 5))
    assert math.isnan(severity)
    # A NaN overlap is never below the threshold, so the pair goes on.
    assert math.isnan(pair_severity((-INF, 0, INF, 0), (-INF, 5, INF, 5), overlap_fraction=0.5))


@pytest.mark.parametrize(
    "overlap_fraction, far_apart_reported, half_reported",
    [
        (0.0, True, True),
        (-1.0, True, True),
        (NAN, True, True),
        (0.5, False, True),  # equality goes on
        (0.5000001, False, False),
        (1.5, False, False),
        (None, False, True),  # default 0.02
    ],
)
def test_overlap_fraction(overlap_fraction, far_apart_reported, half_reported):
    far = classify([tagged((0, 0, 1, 1), "tick-label"), tagged((50, 50, 51, 51), "tick-label")], overlap_fraction)[0]
    half = classify([tagged((0, 0, 10, 10), "tick-label"), tagged((5, 0, 15, 10), "tick-label")], overlap_fraction)[0]
    assert bool(far) == far_apart_reported
    assert bool(half) == half_reported
    if far:
        assert far[0].kind == "text_text" and far[0].severity == 0.0


def test_default_threshold_is_two_percent():
    def reported(width):
        return bool(classify([tagged((0, 0, 100, 1), "title"), tagged((100 - width, 0, 200, 1), "title")])[0])

    assert reported(2.0) and not reported(1.99)


ROLE_GROUPS = {
    "title": "T",
    "suptitle": "T",
    "legend": "D",
    "annotation": "D",
    "tick-label": "L",
    "axis-label": "L",
    "colorbar": "E",
    "axes-region": "E",
    "data-artist": "A",
    "Title": "O",
    "legend ": "O",
    "": "O",
    "data_artist": "O",
}
# Outcome per pair of groups, written once for each unordered pair.
OUTCOMES = {
    "TT": "text_text", "TD": "text_text", "TL": "text_text", "TE": "element_element",
    "DD": "text_text", "DL": "text_text", "DA": "candidate",
    "LL": "text_text", "EE": "element_element",
}


@pytest.mark.parametrize("first, second", list(itertools.product(ROLE_GROUPS, repeat=2)))
def test_role_table(first, second):
    groups = ROLE_GROUPS[first] + ROLE_GROUPS[second]
    expected = OUTCOMES.get(groups) or OUTCOMES.get(groups[::-1])
    collisions, candidates = classify([tagged((0, 0, 10, 10), first, "p"), tagged((2, 2, 8, 8), second, "q")])
    if expected == "candidate":
        assert collisions == []
        (cand,) = candidates
        decoration, data = ("p", "q") if ROLE_GROUPS[first] == "D" else ("q", "p")
        assert (cand.decoration_id, cand.data_id) == (decoration, data)
        assert cand.decoration_role in ("legend", "annotation")
        assert cand.overlap == 1.0
    elif expected:
        assert candidates == []
        (c,) = collisions
        assert (c.kind, c.a_role, c.a_id, c.b_role, c.b_id) == (expected, first, "p", second, "q")
        assert c.a_box == (0.0, 0.0, 10.0, 10.0) and c.b_box == (2.0, 2.0, 8.0, 8.0)
    else:
        assert (collisions, candidates) == ([], [])


def test_pair_visiting_order_and_sides():
    boxes = [
        tagged((0, 0, 10, 10), "tick-label", "a"),
        tagged((0, 0, 10, 10), "title", "b"),
        tagged((0, 0, 10, 10), "data-artist", "c"),
        tagged((0, 0, 10, 10), "axes-region", "d"),
        tagged((0, 0, 10, 10), "annotation", "e"),
    ]
    collisions, candidates = classify(boxes)
    assert [(c.kind, c.a_id, c.b_id) for c in collisions] == [
        ("text_text", "a", "b"),
        ("text_text", "a", "e"),
        ("element_element", "b", "d"),
        ("text_text", "b", "e"),
    ]
    assert [(d.decoration_id, d.data_id) for d in candidates] == [("e", "c")]


def test_clipping_comes_before_pairs_and_ids_are_never_compared():
    boxes = [tagged((0, 0, 10, 10), "title", "same"), (( -5, 0, 10, 10), (0, 0, 10, 10), "title", "same")]
    collisions, _ = classify(boxes)
    assert kinds(collisions) == ["clipping", "text_text"]
    assert collisions[0].a_box == (-5.0, 0.0, 10.0, 10.0)


def test_empty_and_single():
    assert classify([]) == ([], [])
    assert classify([((0, 0, 10, 10), (0, 0, 100, 100), "title", "t")]) == ([], [])
