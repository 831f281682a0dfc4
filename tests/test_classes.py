"""Collision and OverDataCandidate as Python sees them."""

import math
import weakref

import pytest
from conftest import tagged

from tessary._core import Collision, OverDataCandidate, classify

ARGS = ("over_data", "legend", "L1", (0, 0, 10, 10), "data-artist", "line1", (5, 5, 20, 20), 0.25)
PARAMS = ("kind", "a_role", "a_id", "a_box", "b_role", "b_id", "b_box", "severity")


def make(kind="over_data", severity=0.25):
    return Collision(kind, *ARGS[1:7], severity)


def candidate():
    _, (cand,) = classify([tagged((0, 0, 10, 10), "data-artist", "d"), tagged((0, 0, 5, 5), "legend", "l")])
    return cand


def test_collision_fields():
    c = Collision(*ARGS)
    assert repr(c) == "Collision(kind=over_data, severity=0.250)"
    assert (c.kind, c.a_role, c.a_id, c.b_role, c.b_id) == ("over_data", "legend", "L1", "data-artist", "line1")
    assert c.a_box == (0.0, 0.0, 10.0, 10.0) and c.b_box == (5.0, 5.0, 20.0, 20.0)
    assert c.severity == 0.25
    assert all(type(v) is float for v in c.a_box + c.b_box)
    by_keyword = Collision(**dict(reversed(list(zip(PARAMS, ARGS)))))
    assert [getattr(by_keyword, p) for p in PARAMS] == [getattr(c, p) for p in PARAMS]


def test_candidate_fields():
    cand = candidate()
    assert (cand.decoration_id, cand.decoration_role, cand.data_id) == ("l", "legend", "d")
    assert cand.decoration_box == (0.0, 0.0, 5.0, 5.0) and cand.data_box == (0.0, 0.0, 10.0, 10.0)
    assert cand.overlap == 1.0
    assert repr(cand).startswith("<builtins.OverDataCandidate object at 0x")


@pytest.mark.parametrize(
    "severity, text",
    [
        (0.0625, "0.062"),
        (2.0005, "2.001"),
        (1e-4, "0.000"),
        (0.0, "0.000"),
        (-0.0, "-0.000"),
        (-1e-9, "-0.000"),
        (1e20, "100000000000000000000.000"),
        (1.7976931348623157e308, format(1.7976931348623157e308, ".3f")),
        (5e-324, "0.000"),
        (0.0005, "0.001"),  # the double is slightly above the tie
        (0.0015, "0.002"),
        (2.5, "2.500"),
        (math.nan, "NaN"),
        (-math.nan, "NaN"),
        (math.inf, "inf"),
        (-math.inf, "-inf"),
    ],
)
def test_repr_three_decimals(severity, text):
    assert repr(make(severity=severity)) == f"Collision(kind=over_data, severity={text})"
    if math.isfinite(severity):
        assert text == format(severity, ".3f")


@pytest.mark.parametrize("kind", ["over-data", "Clipping", "", 'quote" \\ \n', "\x00é"])
def test_any_kind_text_is_kept_as_is(kind):
    c = make(kind=kind, severity=1.0)
    assert c.kind == kind
    assert repr(c) == f"Collision(kind={kind}, severity=1.000)"


@pytest.mark.parametrize(
    "cls, name, doc, signature",
    [
        (Collision, "Collision", "A collision exposed to Python.", "(kind, a_role, a_id, a_box, b_role, b_id, b_box, severity)"),
        (OverDataCandidate, "OverDataCandidate", "An over-data candidate handed back to Python for pixel confirmation.", None),
    ],
)
def test_class_properties(cls, name, doc, signature):
    assert (cls.__name__, cls.__qualname__, cls.__module__) == (name, name, "builtins")
    assert cls.__doc__ == doc
    assert getattr(cls, "__text_signature__", None) == signature
    assert cls.__bases__ == (object,)
    with pytest.raises(TypeError):
        type("Sub", (cls,), {})
    instance = make() if cls is Collision else candidate()
    with pytest.raises(TypeError):
        weakref.ref(instance)
    with pytest.raises(AttributeError):
        instance.__dict__
    with pytest.raises(AttributeError):
        instance.extra = 1
    first = next(iter(vars(cls)[k] for k in vars(cls) if isinstance(vars(cls)[k], type(Collision.kind))))
    assert first.__doc__ is None


@pytest.mark.parametrize("attr", PARAMS)
def test_collision_attributes_are_read_only_and_fresh(attr):
    c = make()
    with pytest.raises(AttributeError):
        setattr(c, attr, getattr(c, attr))
    with pytest.raises(AttributeError):
        delattr(c, attr)
    if attr.endswith("box"):
        assert getattr(c, attr) is not getattr(c, attr)
        assert getattr(c, attr) == getattr(c, attr)


@pytest.mark.parametrize("attr", ["decoration_id", "decoration_role", "decoration_box", "data_id", "data_box", "overlap"])
def test_candidate_attributes_are_read_only(attr):
    cand = candidate()
    with pytest.raises(AttributeError):
        setattr(cand, attr, getattr(cand, attr))


def test_candidate_cannot_be_instantiated():
    with pytest.raises(TypeError, match="cannot create 'builtins.OverDataCandidate' instances"):
        OverDataCandidate()
    with pytest.raises(TypeError):
        type(candidate())()


def test_identity_semantics():
    a, b = make(), make()
    assert a is not b and a != b
    assert a == a and hash(a) == hash(a)
    assert len({a, b}) == 2


def test_results_are_new_objects():
    boxes = [tagged((0, 0, 10, 10), "title"), tagged((0, 0, 10, 10), "title")]
    first, second = classify(boxes), classify(boxes)
    assert first[0] is not second[0] and first[0][0] is not second[0][0]
    assert repr(first[0][0]) == repr(second[0][0])
