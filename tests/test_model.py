"""classify against the plain-Python statement of its rules, on hostile inputs."""

import json
import math
import struct

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import model
from tessary._core import Collision, CollisionReport, classify

SPECIAL = st.sampled_from([0.0, -0.0, 1.0, 10.0, math.nan, math.inf, -math.inf, 1e-300, 1e300])
COORD = st.one_of(st.integers(-20, 20).map(float), SPECIAL, st.floats(allow_nan=True, allow_infinity=True))
BOX = st.tuples(COORD, COORD, COORD, COORD)
# Small integer boxes collide often; arbitrary floats reach the NaN and infinity rules.
GRID_BOX = st.tuples(*[st.integers(0, 12).map(float)] * 4)
ROLE = st.sampled_from(
    sorted(model.GROUPS) + ["Title", "legend ", "", "data_artist", "clip", "TITLE", "tick-label\x00"]
)
TEXT = st.one_of(
    st.text(max_size=8),
    st.sampled_from(["\x00", "\x1f\"\\", "é", "\U0001f600", "ａ"]),
    st.sampled_from(["\ud800", "a\udfff", "\udbff\udc00"]),  # lone surrogates: no UTF-8 form
)
THRESHOLD = st.one_of(st.sampled_from([0.0, -0.0, -1.0, 0.5, 1.0, 1.5, math.nan, math.inf, -math.inf]), st.floats(-2, 2))


def tagged(box_strategy):
    return st.tuples(box_strategy, st.one_of(box_strategy, GRID_BOX), ROLE, TEXT)


BOXES = st.lists(st.one_of(tagged(GRID_BOX), tagged(BOX)), max_size=12)


def has_surrogate(text):
    return any(0xD800 <= ord(ch) <= 0xDFFF for ch in text)


def bits(x):
    return struct.pack("<d", x)


def same(a, b):
    """Equal value for value, floats compared bit for bit (NaN payloads aside)."""
    if isinstance(a, float):
        return (math.isnan(a) and math.isnan(b)) or bits(a) == bits(b)
    if isinstance(a, tuple):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b


@settings(max_examples=400, deadline=None)
@given(BOXES, THRESHOLD, THRESHOLD)
def test_classify_matches_the_model(boxes, overlap_fraction, clip_px):
    if any(has_surrogate(text) for _, _, role, id_ in boxes for text in (role, id_)):
        with pytest.raises(UnicodeEncodeError):
            classify(boxes, overlap_fraction, clip_px)
        return
    collisions, candidates = classify(boxes, overlap_fraction, clip_px)
    floats = [(tuple(map(float, bx)), tuple(map(float, clip)), role, id_) for bx, clip, role, id_ in boxes]
    want_collisions, want_candidates = model.classify(floats, overlap_fraction, clip_px)
    got_collisions = [(c.kind, c.a_role, c.a_id, c.a_box, c.b_role, c.b_id, c.b_box, c.severity) for c in collisions]
    got_candidates = [
        (d.decoration_id, d.decoration_role, d.decoration_box, d.data_id, d.data_box, d.overlap) for d in candidates
    ]
    assert same(tuple(got_collisions), tuple(want_collisions))
    assert same(tuple(got_candidates), tuple(want_candidates))


FLOAT = st.one_of(st.floats(), SPECIAL, st.integers(0, 2**64 - 1).map(lambda b: struct.unpack("<d", struct.pack("<Q", b))[0]))
PLAIN_TEXT = st.text(alphabet=st.characters(exclude_categories=["Cs"]), max_size=10)
COLLISION = st.tuples(
    st.one_of(st.sampled_from(["text_text", "clipping", "over_data", "element_element", "Clipping", ""]), PLAIN_TEXT),
    PLAIN_TEXT, PLAIN_TEXT, st.tuples(FLOAT, FLOAT, FLOAT, FLOAT),
    PLAIN_TEXT, PLAIN_TEXT, st.tuples(FLOAT, FLOAT, FLOAT, FLOAT), FLOAT,
)


@settings(max_examples=400, deadline=None)
@given(st.lists(COLLISION, max_size=6))
def test_to_json_matches_the_model(rows):
    text = CollisionReport([Collision(*row) for row in rows]).to_json()
    assert text == model.to_json(rows)
    json.loads(text)


def as_rows(result):
    collisions, candidates = result
    return (
        [(c.kind, c.a_role, c.a_id, c.a_box, c.b_role, c.b_id, c.b_box, c.severity) for c in collisions],
        [(d.decoration_id, d.decoration_role, d.decoration_box, d.data_id, d.data_box, d.overlap) for d in candidates],
    )


def run_both(boxes, overlap_fraction, clip_px=1.0):
    got_collisions, got_candidates = as_rows(classify(boxes, overlap_fraction, clip_px))
    want_collisions, want_candidates = model.classify(boxes, overlap_fraction, clip_px)
    assert same(tuple(got_collisions), tuple(want_collisions))
    assert same(tuple(got_candidates), tuple(want_candidates))
    return got_collisions, got_candidates


# Many finite boxes on a small field with a positive threshold: the case where
# only intersecting pairs are looked at, with ties in x0, shared edges, equal
# and zero-area boxes all frequent.
FIELD = st.integers(0, 30).map(float)
FINITE_BOX = st.one_of(
    st.tuples(FIELD, FIELD, FIELD, FIELD),
    st.tuples(*[st.floats(-50, 50, allow_subnormal=False)] * 4),
)
MANY_BOXES = st.lists(st.tuples(FINITE_BOX, GRID_BOX, ROLE, st.sampled_from(["a", "b", "c"])), max_size=60)
POSITIVE = st.one_of(st.sampled_from([1e-300, 0.02, 0.5, 1.0]), st.floats(1e-9, 1.2))


@settings(max_examples=300, deadline=None)
@given(MANY_BOXES, POSITIVE)
def test_many_finite_boxes_match_the_model(boxes, overlap_fraction):
    run_both(boxes, overlap_fraction)


# One box with infinite corners sends classify down the all-pairs loop and
# adds no finding: its role is in no rule and its overhang is NaN, read as 0.
FAR_AWAY = ((math.inf,) * 4, (math.inf,) * 4, "other", "far away")


@settings(max_examples=300, deadline=None)
@given(MANY_BOXES, POSITIVE)
def test_the_sweep_and_the_all_pairs_loop_agree(boxes, overlap_fraction):
    swept = as_rows(classify(boxes, overlap_fraction))
    looped = as_rows(classify(boxes + [FAR_AWAY], overlap_fraction))
    assert same(tuple(map(tuple, swept)), tuple(map(tuple, looped)))


@pytest.mark.parametrize(
    "boxes, count",
    [
        # Shared edge or corner: no area in common.
        ([(0, 0, 10, 10), (10, 0, 20, 10)], 0),
        ([(0, 0, 10, 10), (0, 10, 10, 20)], 0),
        ([(0, 0, 10, 10), (10, 10, 20, 20)], 0),
        # Identical boxes, all pairs of three.
        ([(0, 0, 10, 10)] * 3, 3),
        # Same x0, the later one listed first in x.
        ([(5, 0, 6, 10), (5, 0, 30, 10), (0, 0, 5.5, 10)], 3),
        # A zero-area box inside a real one, a degenerate line, an inverted box.
        ([(0, 0, 10, 10), (5, 5, 5, 5), (2, 0, 2, 10), (8, 8, 2, 2)], 0),
        # Long boxes reaching past many shorter ones sorted before them in x.
        ([(0, 0, 100, 1), (1, 0, 2, 1), (50, 0, 51, 1), (99, 0, 200, 1)], 3),
    ],
)
def test_boundary_cases(boxes, count):
    tagged_boxes = [(tuple(map(float, b)), (-1e9, -1e9, 1e9, 1e9), "title", str(k)) for k, b in enumerate(boxes)]
    collisions, _ = run_both(tagged_boxes, 1e-12)
    assert len(collisions) == count


@pytest.mark.parametrize(
    "p, q, threshold, count",
    [
        # Infinite coordinates or an overflowing extent make the measure of a
        # disjoint pair NaN, which passes any threshold.
        ((0.0, -math.inf, 1.0, math.inf), (5.0, -math.inf, 6.0, math.inf), 0.5, 1),
        ((0.0, -1.5e308, 1.0, 1.5e308), (5.0, -1.5e308, 6.0, 1.5e308), 0.5, 1),
        # A NaN coordinate is ignored by the measure rather than poisoning it.
        ((0.0, 0.0, 1.0, 1.0), (0.5, math.nan, 6.0, 1.0), 0.5, 0),
        ((math.nan, 0.0, 1.0, 1.0), (0.5, 0.0, 6.0, 1.0), 0.5, 0),
        # A threshold that is zero, negative or NaN lets disjoint pairs through.
        ((0.0, 0.0, 1.0, 1.0), (500.0, 500.0, 501.0, 501.0), 0.0, 1),
        ((0.0, 0.0, 1.0, 1.0), (500.0, 500.0, 501.0, 501.0), -1.0, 1),
        ((0.0, 0.0, 1.0, 1.0), (500.0, 500.0, 501.0, 501.0), math.nan, 1),
        ((0.0, 0.0, 1.0, 1.0), (500.0, 500.0, 501.0, 501.0), 1e-300, 0),
    ],
)
def test_cases_outside_the_intersecting_pairs(p, q, threshold, count):
    everywhere = (-math.inf, -math.inf, math.inf, math.inf)
    boxes = [(p, everywhere, "title", "p"), (q, everywhere, "tick-label", "q")]
    collisions, _ = run_both(boxes, threshold)
    assert len(collisions) == count


@settings(max_examples=15, deadline=None)
@given(st.integers(0, 2**32 - 1), st.sampled_from([(400, 200.0, 3.0, 20.0), (300, 60.0, 0.5, 40.0), (200, 1e6, 1.0, 3e5)]))
def test_hundreds_of_boxes_in_many_bands_match_the_model(seed, shape):
    """Enough boxes for the field to be cut in many bands, boxes spanning several."""
    import random

    count, side, smallest, largest = shape
    rng = random.Random(seed)
    roles = sorted(model.GROUPS) + ["other"]
    boxes = []
    for k in range(count):
        x, y = rng.uniform(0, side), rng.uniform(0, side)
        w, h = rng.uniform(smallest, largest), rng.choice([0.0, rng.uniform(smallest, largest)])
        boxes.append(((x, y, x + w, y + h), (0.0, 0.0, side, side), rng.choice(roles), str(k)))
    run_both(boxes, rng.choice([1e-9, 0.02, 0.3]))
