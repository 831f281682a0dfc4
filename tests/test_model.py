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
