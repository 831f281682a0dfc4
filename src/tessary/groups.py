"""Findings that share a cause, read as one: of one kind, in one figure,
between elements of the same two families (ids equal once their index and
label are dropped: every ``ax0.xtick[n]`` against every other), with the same
hint."""

from __future__ import annotations

import re
from collections.abc import Sequence
from dataclasses import dataclass

from tessary.lint import describe

# Past this many pairs of texts between two families, a crowd whose pairs grow
# with the square of its size, the pairs are counted rather than each judged
# and listed: the first this many are judged.
CROWD = 1000

_INDEX = re.compile(r"\[(\d+)\]")
_LABEL = re.compile(r"'[^']*'$")


def family(ident: str) -> str:
    """``ax0.xtick[3]'2020-01'`` -> ``ax0.xtick[*]``."""
    return _INDEX.sub("[*]", _LABEL.sub("", ident))


@dataclass(frozen=True)
class Crowd:
    """Texts of two families (every ``ax0.xtick[n]`` against another) that
    come within reach of each other in more than :data:`CROWD` pairs, too many
    to judge one by one. ``pairs`` counts the pairs whose boxes, grown by the
    text margin, meet: every pair that could read as one. On the ink were
    judged the first ``checked`` of them, in the core's pair order, of which
    ``confirmed`` read as one, and the most overlapping ones down to the first
    that reads as one (at most ``checked`` more): ``severity`` is the worst of
    all those that read as one, which are the crowd's findings."""

    kind: str
    families: tuple[str, str]
    elements: str  # the families with the range of their indexes: ax0.xtick[0..1999]
    pairs: int
    checked: int
    confirmed: int
    severity: float


def crowd_of(members: Sequence, crowds: Sequence[Crowd]) -> Crowd | None:
    """The crowd whose listed pairs ``members`` (a group of findings) are, if any."""
    first = members[0]
    pair = sorted((family(first.a_id), family(first.b_id)))
    return next((c for c in crowds if c.kind == first.kind and sorted(c.families) == pair), None)


def grouped(collisions: Sequence, hints: Sequence = ()) -> list[list[int]]:
    """The collisions' indexes, one list a group, groups in the order of their
    first finding. ``hints`` holds each collision's hint code (or None)."""
    hints = list(hints) + [None] * (len(collisions) - len(hints))
    groups: dict[tuple, list[int]] = {}
    for i, (collision, hint) in enumerate(zip(collisions, hints)):
        pair = tuple(sorted((family(collision.a_id), family(collision.b_id))))
        groups.setdefault((collision.kind, pair, hint), []).append(i)
    return list(groups.values())


def _indexes(ident: str) -> list[int]:
    return [int(n) for n in _INDEX.findall(_LABEL.sub("", ident))]


def span(idents: list[str]) -> str:
    """The family of ``idents`` with the range of their last index: ``ax0.xtick[0..26]``."""
    numbers = sorted({(_indexes(i) or [None])[-1] for i in idents} - {None})
    shown = family(idents[0])
    if not numbers:
        return shown
    reach = str(numbers[0]) if len(numbers) == 1 else f"{numbers[0]}..{numbers[-1]}"
    head, _, tail = shown.rpartition("[*]")
    return f"{head}[{reach}]{tail}"


def summary(members: Sequence, crowd: Crowd | None = None) -> str:
    """One line for a group: a lone collision described as itself, more as
    ``text_text        ax0.xtick[0..26]: 26 overlapping pairs, worst severity 0.767``,
    and a crowd by what was counted and what was judged."""
    first = members[0]
    if crowd is not None:
        return (f"{crowd.kind:<16} {crowd.elements}: {crowd.pairs} pairs with boxes within reach, "
                f"{crowd.confirmed} of the first {crowd.checked} overlapping on the ink, "
                f"worst severity {crowd.severity:.3f}")
    if len(members) == 1:
        return describe(first)
    a_side, b_side = [c.a_id for c in members], [c.b_id for c in members]
    if first.kind == "clipping":  # cut by the figure's edge or a clip box, not by another element
        who = span(a_side)
    elif family(first.a_id) == family(first.b_id):
        who = span(a_side + b_side)
    else:
        who = f"{span(a_side)} / {span(b_side)}"
    worst = max(c.severity for c in members)
    count = len(members)
    if first.kind == "clipping":
        what = f"{count} cut off, the worst by {worst:.1f} px"
    elif first.kind == "over_data":
        what = f"{count} over data, worst severity {worst:.3f}"
    else:
        what = f"{count} overlapping pairs, worst severity {worst:.3f}"
    return f"{first.kind:<16} {who}: {what}"
