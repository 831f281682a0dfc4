"""Argument binding and conversion: the module's fixed messages."""

import collections
import math

import pytest
from conftest import raises_exactly

from tessary._core import Collision, classify

BOX = (0, 0, 1, 1)
ITEM = (BOX, BOX, "title", "t")
COLLISION_ARGS = ("over_data", "legend", "L1", (0, 0, 10, 10), "data-artist", "line1", (5, 5, 20, 20), 0.25)
COLLISION_PARAMS = ("kind", "a_role", "a_id", "a_box", "b_role", "b_id", "b_box", "severity")


class Boom(Exception):
    pass


class TypeErrorSubclass(TypeError):
    pass


class FloatRaises:
    def __init__(self, exc):
        self.exc = exc

    def __float__(self):
        raise self.exc


@pytest.mark.parametrize(
    "call, exc_type, message",
    [
        (lambda: classify(), TypeError, "classify() missing 1 required positional argument: 'boxes'"),
        (lambda: classify([], 0.1, 1.0, 2), TypeError, "classify() takes from 1 to 3 positional arguments but 4 were given"),
        (lambda: classify([], foo=1), TypeError, "classify() got an unexpected keyword argument 'foo'"),
        (lambda: classify([], boxes=[]), TypeError, "classify() got multiple values for argument 'boxes'"),
        (lambda: classify(overlap_fraction=1), TypeError, "classify() missing 1 required positional argument: 'boxes'"),
        (lambda: classify("abc"), TypeError, "argument 'boxes': Can't extract `str` to `Vec`"),
        (lambda: classify(5), TypeError, "argument 'boxes': 'int' object is not an instance of 'Sequence'"),
        (lambda: classify(None), TypeError, "argument 'boxes': 'None' is not an instance of 'Sequence'"),
        (lambda: classify({}), TypeError, "argument 'boxes': 'dict' object is not an instance of 'Sequence'"),
        (lambda: classify({ITEM}), TypeError, "argument 'boxes': 'set' object is not an instance of 'Sequence'"),
        (lambda: classify(x for x in [ITEM]), TypeError, "argument 'boxes': 'generator' object is not an instance of 'Sequence'"),
        (lambda: classify([[BOX, BOX, "title", "t"]]), TypeError, "argument 'boxes': 'list' object is not an instance of 'tuple'"),
        (lambda: classify([([0, 0, 1, 1], BOX, "title", "t")]), TypeError, "argument 'boxes': 'list' object is not an instance of 'tuple'"),
        (lambda: classify([(BOX, None, "title", "t")]), TypeError, "argument 'boxes': 'None' is not an instance of 'tuple'"),
        (lambda: classify([(BOX, BOX, "title")]), ValueError, "expected tuple of length 4, but got tuple of length 3"),
        (lambda: classify([((0, 0, 1), BOX, "title", "t")]), ValueError, "expected tuple of length 4, but got tuple of length 3"),
        (lambda: classify([(BOX, (0, 0, 1, 1, 1), "title", "t")]), ValueError, "expected tuple of length 4, but got tuple of length 5"),
        (lambda: classify([(BOX, BOX, b"title", "t")]), TypeError, "argument 'boxes': 'bytes' object is not an instance of 'str'"),
        (lambda: classify([(BOX, BOX, "title", 7)]), TypeError, "argument 'boxes': 'int' object is not an instance of 'str'"),
        (lambda: classify([((0, "0", 1, 1), BOX, "title", "t")]), TypeError, "argument 'boxes': must be real number, not str"),
        (lambda: classify([((0, 0, 1, 10**400), BOX, "t", "t")]), OverflowError, "int too large to convert to float"),
        (lambda: classify([], "0.1"), TypeError, "argument 'overlap_fraction': must be real number, not str"),
        (lambda: classify([], clip_px=[]), TypeError, "argument 'clip_px': must be real number, not list"),
        (lambda: classify("abc", "0.1"), TypeError, "argument 'boxes': Can't extract `str` to `Vec`"),
        (lambda: Collision(), TypeError, "Collision.__new__() missing 8 required positional arguments: 'kind', 'a_role', 'a_id', 'a_box', 'b_role', 'b_id', 'b_box', and 'severity'"),
        (lambda: Collision(*COLLISION_ARGS[:6]), TypeError, "Collision.__new__() missing 2 required positional arguments: 'b_box' and 'severity'"),
        (lambda: Collision(*COLLISION_ARGS[:7]), TypeError, "Collision.__new__() missing 1 required positional argument: 'severity'"),
        (lambda: Collision(*COLLISION_ARGS, 1), TypeError, "Collision.__new__() takes 8 positional arguments but 9 were given"),
        (lambda: Collision(*COLLISION_ARGS, extra=1), TypeError, "Collision.__new__() got an unexpected keyword argument 'extra'"),
        (lambda: Collision(*COLLISION_ARGS, kind="x"), TypeError, "Collision.__new__() got multiple values for argument 'kind'"),
        (lambda: Collision(*COLLISION_ARGS[:3], [0, 0, 1, 1], *COLLISION_ARGS[4:]), TypeError, "argument 'a_box': 'list' object is not an instance of 'tuple'"),
        (lambda: Collision(*COLLISION_ARGS[:6], (0, 0, 1), 0.1), ValueError, "expected tuple of length 4, but got tuple of length 3"),
        (lambda: Collision(*COLLISION_ARGS[:7], "1"), TypeError, "argument 'severity': must be real number, not str"),
        (lambda: Collision(None, *COLLISION_ARGS[1:]), TypeError, "argument 'kind': 'None' is not an instance of 'str'"),
        (lambda: Collision(*COLLISION_ARGS[:5], 3, *COLLISION_ARGS[6:]), TypeError, "argument 'b_id': 'int' object is not an instance of 'str'"),
    ],
)
def test_messages(call, exc_type, message):
    with raises_exactly(exc_type, message) as info:
        call()
    assert type(info.value) is exc_type


def test_keywords_in_any_order_and_not_interned():
    boxes = [ITEM, ITEM]
    expected = [c.kind for c in classify(boxes, 0.5, 2.0)[0]]
    keywords = {"".join(["clip", "_px"]): 2.0, "".join(["overlap", "_fraction"]): 0.5, "".join(["bo", "xes"]): boxes}
    assert [c.kind for c in classify(**keywords)[0]] == expected
    c = Collision(**{"".join(["sev", "erity"]): 1.0, **dict(zip(COLLISION_PARAMS[:7], COLLISION_ARGS[:7]))})
    assert (c.kind, c.severity) == ("over_data", 1.0)


def test_none_selects_defaults():
    boxes = [((0, 0, 10, 10), (1.5, 0, 10, 10), "title", "a"), ((9.85, 0, 20, 10), (0, 0, 100, 100), "title", "b")]
    explicit = classify(boxes, 0.02, 1.0)
    for result in (classify(boxes), classify(boxes, None, None), classify(boxes, overlap_fraction=None, clip_px=None)):
        assert [(c.kind, c.severity) for c in result[0]] == [(c.kind, c.severity) for c in explicit[0]]
    assert [c.kind for c in explicit[0]] == ["clipping"]  # overlap 0.015 < 0.02


class NumberLike:
    def __index__(self):
        return 7


@pytest.mark.parametrize(
    "sequence",
    [
        [ITEM],
        (ITEM,),
        [collections.namedtuple("Tagged", "bx clip role id")(BOX, BOX, "title", "t")],
        collections.deque([ITEM]),
        [(tuple(map(float, BOX)), (True, False, NumberLike(), 2**53), "title", "t")],
    ],
)
def test_accepted_sequences_and_numbers(sequence):
    collisions, _ = classify(sequence, clip_px=100)
    assert collisions == []
    collisions, _ = classify(list(sequence) * 2, clip_px=100)
    assert [type(v) for v in collisions[0].a_box] == [float] * 4


@pytest.mark.parametrize("role", ["titl\u00e9", "t\x00itle", "\U0001f600"])
def test_text_round_trips(role):
    (c,), _ = classify([((0, 0, 5, 5), (1, 1, 2, 2), role, role + "!")])
    assert (c.a_role, c.a_id) == (role, role + "!")


@pytest.mark.parametrize("where", ["role", "id"])
def test_lone_surrogate_raises_unicode_error_unchanged(where):
    item = (BOX, BOX, "\ud800", "t") if where == "role" else (BOX, BOX, "t", "\udfff")
    with pytest.raises(UnicodeEncodeError):
        classify([item])
    with pytest.raises(UnicodeEncodeError):
        Collision("\ud800", *COLLISION_ARGS[1:])


@pytest.mark.parametrize(
    "exc, renamed",
    [
        (TypeError("plain"), True),
        (TypeErrorSubclass("sub"), False),
        (ValueError("value"), False),
        (Boom("boom"), False),
        (KeyboardInterrupt(), False),
    ],
)
def test_argument_name_rule(exc, renamed):
    cause = RuntimeError("root")
    exc.__cause__ = cause
    with pytest.raises(BaseException) as info:
        classify([((FloatRaises(exc), 0, 1, 1), BOX, "t", "t")])
    if renamed:
        assert type(info.value) is TypeError
        assert str(info.value) == "argument 'boxes': plain"
        assert info.value.__cause__ is cause
    else:
        assert info.value is exc
    with pytest.raises(BaseException) as info:
        classify([], FloatRaises(exc))
    assert (str(info.value) == "argument 'overlap_fraction': plain") if renamed else info.value is exc


class Iterates:
    """A sequence whose iteration (or length) misbehaves."""

    def __init__(self, items, length=None, fail_at=None, exc=None):
        self.items, self.length, self.fail_at, self.exc = items, length, fail_at, exc

    def __getitem__(self, i):
        return self.items[i]

    def __len__(self):
        if isinstance(self.length, BaseException):
            raise self.length
        return len(self.items) if self.length is None else self.length

    def __iter__(self):
        for i, item in enumerate(self.items):
            if i == self.fail_at:
                raise self.exc
            yield item


@pytest.mark.parametrize("length", [0, 10, 2**62, 2**63, -1, ValueError("no len")])
def test_length_is_only_a_hint(length):
    seq = Iterates([ITEM, ITEM], length=length)
    collisions, _ = classify(seq)
    assert [c.kind for c in collisions] == ["text_text"]


@pytest.mark.parametrize(
    "exc, message",
    [(TypeError("bad"), "argument 'boxes': bad"), (Boom("bad"), "bad"), (ValueError("v"), "v")],
)
def test_iteration_failure(exc, message):
    with pytest.raises(type(exc)) as info:
        classify(Iterates([ITEM, ITEM, ITEM], fail_at=2, exc=exc))
    assert str(info.value) == message


def test_float_that_empties_the_list_being_converted():
    boxes = []

    class Evil:
        def __float__(self):
            boxes.clear()
            return 1.0

    boxes.extend([((Evil(), 0, 1, 1), BOX, "title", "a"), ITEM, ITEM])
    collisions, _ = classify(boxes)
    # Iteration stops where the list now ends; nothing is read after it was freed.
    assert all(math.isfinite(c.severity) for c in collisions)
    assert boxes == []
