"""Every argument position of every callable against objects that raise, lie
or mutate: each call ends in its documented exception or the object's own,
never SystemError, a crash or a partial result, and leaves the inputs'
reference counts as they were."""

import gc
import sys

import numpy as np
import pytest

from tessary._core import Collision, CollisionReport, classify, ink_coverage


def own(text):
    """A string no one else holds: interned literals such as "clip" also sit in
    the interpreter's attribute-lookup cache, whose evictions would move their
    reference counts during a test."""
    return "".join([text[:1], text[1:]])


BOX = (0.0, 0.0, 10.0, 10.0)
ITEM = (BOX, BOX, own("title"), own("tick"))
COLLISION = (own("clipping"), own("legend"), own("legend role"), BOX, own("clip"), own("clip"), BOX, 1.0)
BUFFER = np.full((6, 5, 4), 255, np.uint8)


class Boom(Exception):
    pass


class Raises:
    """Every numeric or container hook raises Boom."""

    def __float__(self):
        raise Boom

    def __index__(self):
        raise Boom

    def __iter__(self):
        raise Boom

    def __len__(self):
        raise Boom

    def __getitem__(self, i):
        raise Boom


class Lies(list):
    """A list that reports a length it does not have."""

    def __init__(self, items, length):
        super().__init__(items)
        self.length = length

    def __len__(self):
        return self.length


class Shrinks:
    """A sequence whose length changes between calls and whose items vanish."""

    def __init__(self, items):
        self.items = list(items)

    def __len__(self):
        self.items.append(self.items[0]) if len(self.items) < 3 else None
        return 10**6

    def __getitem__(self, i):
        return self.items[i]

    def __iter__(self):
        while self.items:
            yield self.items.pop()


def mutating_item(container):
    """A box whose coordinate empties the list that holds it while it is read."""

    class Clears:
        def __float__(self):
            container.clear()
            return 1.0

    return ((Clears(), 0.0, 1.0, 1.0), BOX, "title", "x")


unaligned = np.frombuffer(bytearray(6 * 5 * 4 + 1), np.uint8, offset=1).reshape(6, 5, 4)

# (callable, valid arguments, position, hostile value, exceptions that may result)
DOCUMENTED = (TypeError, ValueError, OverflowError)
CASES = []
for position, hostile, allowed in [
    (0, Raises(), (Boom,)),
    (0, Lies([ITEM, ITEM], 10), ()),
    (0, Lies([ITEM], 2**63 - 1), ()),
    (0, Shrinks([ITEM, ITEM]), ()),
    (0, [ITEM, ((Raises(), 0, 1, 1), BOX, "t", "t")], (Boom,)),
    (0, [ITEM, ((2**1024, 0, 1, 1), BOX, "t", "t")], (OverflowError,)),
    (0, [ITEM, (BOX, BOX, Raises(), "t")], (TypeError,)),
    (1, Raises(), (Boom,)),
    (1, 2**1024, (OverflowError,)),
    (2, Raises(), (Boom,)),
    (2, np.float64("nan"), ()),
]:
    CASES.append((classify, [[ITEM, ITEM], 0.02, 1.0], position, hostile, allowed))
for position in range(8):
    hostile = Raises()
    CASES.append((Collision, list(COLLISION), position, hostile, (Boom,) if position == 7 else (TypeError,)))
    CASES.append((Collision, list(COLLISION), position, 2**64, (TypeError,) if position != 7 else ()))
    if position in (3, 6):
        CASES.append((Collision, list(COLLISION), position, (0.0, 0.0, 1.0, Raises()), (Boom,)))
for hostile, allowed in [
    (Raises(), (Boom,)),
    (Lies([Collision(*COLLISION)], 2**62), ()),
    (Shrinks([Collision(*COLLISION)]), ()),
    ([Collision(*COLLISION), Raises()], (TypeError,)),
]:
    CASES.append((CollisionReport, [[]], 0, hostile, allowed))
for position, hostile, allowed in [
    (0, np.zeros((), np.uint8), (TypeError,)),
    (0, np.zeros((4, 4), np.uint8), (TypeError,)),
    (0, np.zeros((4, 4, 4), np.float32), (TypeError,)),
    (0, np.zeros((4, 4, 4), np.int8), (TypeError,)),
    (0, unaligned, ()),
    (0, Raises(), (TypeError,)),
    (1, (0, 0, Raises(), 4), (Boom,)),
    (1, (0, 0, 2**64, 4), (OverflowError,)),
    (1, (0, 0, 2**64 - 1, 2**64 - 1), ()),
    (1, (0, -1, 4, 4), (OverflowError,)),
    (1, (0, 0, 4.0, 4), (TypeError,)),
    (1, Raises(), (TypeError,)),
    (2, (255, 255, Raises()), (Boom,)),
    (2, (255, 255, 2**64), (OverflowError,)),
    (2, (255, 255, 256), (OverflowError,)),
    (2, (255, 255, -1), (OverflowError,)),
    (3, Raises(), (Boom,)),
    (3, 2**63, (OverflowError,)),
    (3, np.uint8(3), ()),
    (3, True, ()),
]:
    CASES.append((ink_coverage, [BUFFER, (0, 0, 4, 4), (255, 255, 255), 8], position, hostile, allowed))


@pytest.mark.parametrize(
    "function, args, position, hostile, allowed",
    CASES,
    ids=[f"{c[0].__name__}-{c[2]}-{type(c[3]).__name__}-{i}" for i, c in enumerate(CASES)],
)
def test_hostile_argument(function, args, position, hostile, allowed):
    args = list(args)
    args[position] = hostile
    watched = [hostile, *args]
    gc.collect()
    before = [sys.getrefcount(obj) for obj in watched]
    for _ in range(3):
        try:
            result = function(*args)
        except allowed:
            result = None
        except BaseException as unexpected:  # the failure message names the real exception
            pytest.fail(f"{type(unexpected).__name__}: {unexpected}")
        else:
            assert allowed == (), f"expected one of {allowed}, got {result!r}"
        del result
    gc.collect()
    assert [sys.getrefcount(obj) for obj in watched] == before


def test_list_emptied_by_a_coordinate_is_never_read_past_its_end():
    boxes = [ITEM]
    boxes.append(mutating_item(boxes))
    boxes.extend([ITEM] * 5)
    collisions, _ = classify(boxes)
    assert boxes == []
    assert len(collisions) <= 1  # only the first item was read before the list was cleared
