"""What a reader loses where the boxes of texts and axes meet: glyphs that
run together, glyphs cut away at an edge, texts under an axes drawn later or
struck through by an axes' frame, and data that an axes drawn later hides.

The boxes propose; the ink, in drawing order, decides: what is drawn later
covers what was drawn earlier.
"""

from __future__ import annotations

import math
from collections.abc import Iterator
from dataclasses import dataclass

import numpy as np

from tessary import _mpl, groups
from tessary._core import Collision, classify
from tessary.artists import Element
from tessary.ink import Ink, Inks, area, cover_kind, grow, proximity, unclamped_region
from tessary.record import Box, Primitive, Recording, intersection

TEXT_ROLES = ("title", "suptitle", "legend", "annotation", "tick-label", "axis-label")
# Axes whose face and frame can cover what lies under them. Twins and
# secondary axes share their host's place by design.
LAYOUT_ROLES = ("axes-region", "colorbar", "inset")
# Fewer pixels of a text than this (at 100 dpi) under a face or a frame line
# take nothing from it.
TEXT_PIXELS = 6
UNCLIPPED = (-math.inf, -math.inf, math.inf, math.inf)
# Box pairs are worked out this many at a time, so that memory stays bounded
# however many boxes meet.
BATCH = 1 << 16


def scale(dpi: float) -> float:
    """Areas in pixels grow with the square of the dpi; counts are given at 100 dpi."""
    return (dpi / 100) ** 2


def cut_off(element: Element, clip: Box, inks: Inks) -> bool:
    """Whether the element loses ink past ``clip``, farther out than the
    proximity margin, drawn as it would be without the clip: a box that passes
    the edge with whole glyphs (a rotated title's blank corner), or a faint
    anti-aliased fringe, loses nothing a reader misses."""
    ink = inks.unclipped(element)
    kept = ink.within(unclamped_region(grow(clip, proximity(inks.dpi)), inks.stage.recording.height))
    return ink.count() - int(kept.sum()) >= TEXT_PIXELS * scale(inks.dpi)


def shown_nowhere(element: Element, figure_box: Box) -> bool:
    """Tick labels wholly outside the figure (axes that fill the canvas) show
    nothing: a layout choice, not text the reader half sees."""
    return element.role == "tick-label" and intersection(element.box(), figure_box) is None


class Layouts:
    """What each axes painted: its face and everything drawn in it, and its
    frame, drawn again from the recording when a rule needs them."""

    def __init__(self, recording: Recording, inks: Inks):
        self.recording = recording
        self.inks = inks
        self._subtrees: dict[int, list[Primitive]] | None = None

    def _all(self) -> dict[int, list[Primitive]]:
        if self._subtrees is None:
            self._subtrees = {}
            for drawn in self.recording:
                if drawn.primitives:
                    for above in drawn.chain():
                        if above.region is not None:
                            self._subtrees.setdefault(id(above.artist), []).extend(drawn.primitives)
        return self._subtrees

    def cover(self, layout: Element) -> Ink:
        """Where the axes, with all it draws in its place, hides what lies
        under it: its face (a colour bar's colours) and its own ink."""
        painted = [p for p in self._all().get(id(layout.artist), ()) if p.box is not None]
        return self.inks.painted(("cover", id(layout)), painted, layout.region, opaque=True)

    def frame(self, layout: Element, box: Box) -> Ink:
        """The lines of the axes' frame (its spines) within ``box``."""
        spines = []
        for spine in layout.artist.spines.values():
            drawn = self.recording.get(spine)
            if drawn is not None:
                spines.extend(p for p in drawn.primitives if p.box is not None and intersection(p.box, box))
        return self.inks.painted(("frame", id(layout)), spines, box)


def own(text: Element, layout: Element, regions: dict[int, Box]) -> bool:
    """Whether ``layout`` is the text's own axes, an axes it is inset in, or a
    twin sharing its axes' place: texts lie on it by design, and it hides
    nothing of theirs."""
    if id(layout.artist) in text.within:
        return True
    return bool(text.within) and regions.get(text.within[0]) == layout.region


def _layouts(elements: list[Element]) -> list[Element]:
    return [e for e in elements if e.region is not None and e.role in LAYOUT_ROLES
            and not _mpl.is_secondary_axis(e.artist)]


@dataclass(frozen=True)
class Covered:
    """A text that an axes covers: hides (drawn later, over it) or strikes through with its frame."""

    collision: Collision
    text: Element
    layout: Element
    hidden: bool


def covered_texts(elements: list[Element], inks: Inks, layouts: Layouts, threshold: float) -> Iterator[Covered]:
    """Texts that an axes hides or strikes through: an axes drawn later whose
    face or ink covers the text's glyphs, or an axes' frame line across them
    (its own axes' frame too: a radius label on a polar frame, a label moved
    onto a spine). The severity is the share of the text's box that the axes
    covers."""
    texts = [e for e in elements if e.role in TEXT_ROLES]
    boxes = _layouts(elements)
    regions = {id(e.artist): e.region for e in elements if e.region is not None}
    figure_box = layouts.recording.figure_box
    pixels = TEXT_PIXELS * scale(inks.dpi)
    for text, layout, fraction in _meeting(texts, boxes, threshold):
        mine = own(text, layout, regions)
        if mine and text.clip(figure_box) != figure_box:
            continue  # clipped to its axes, a text is cut at the frame rather than struck by it
        later = layout.order > text.order
        hidden = not mine and later and layouts.cover(layout).within(inks.stage.region(text.box())).any() and \
            inks.of(text).shared(layouts.cover(layout)) >= pixels
        # A frame drawn before a text with a box of its own lies under the box, not across the glyphs.
        struck = False
        if not hidden and (later or cover_kind(text) != "boxed"):
            frame = layouts.frame(layout, grow(text.box(), 2))
            struck = frame.mask.any() and inks.glyphs(text).shared(frame) >= pixels
        if hidden or struck:
            first, second = sorted((layout, text), key=lambda e: e.order)
            yield Covered(Collision("element_element", first.role, first.ident, first.box(), second.role,
                                    second.ident, second.box(), fraction), text, layout, hidden)


def _meeting(texts: list[Element], layouts: list[Element], threshold: float) -> Iterator[tuple]:
    """(text, layout, share of the text's box inside the layout) for each pair
    whose share reaches ``threshold``. The overlap over the smaller box, which
    the sweep finds, is at least the share of the text's box, so no pair that
    matters is missed."""
    boxes = [t.box() for t in texts] + [layout.region for layout in layouts]
    for i, j in pairs(boxes, threshold, np.arange(len(texts)), np.arange(len(texts), len(boxes))):
        text, layout = texts[i], layouts[j - len(texts)]
        box = text.box()
        fraction = area(intersection(box, layout.region)) / area(box) if area(box) else 0.0
        if fraction >= threshold:
            yield text, layout, fraction


def hidden_axes(elements: list[Element], layouts: Layouts, hides, covered: list[Covered],
                threshold: float) -> Iterator[Collision]:
    """Axes that overlap where the one drawn later hides what the other drew:
    a text of it (found in ``covered``), or its data, which the later axes'
    face covers or its own ink lands on (``hides(cover, data, box)`` says
    whether a cover hides a data element there). The severity is the overlap
    of the two axes' boxes."""
    boxes = _layouts(elements)
    tagged = [(e.region, UNCLIPPED, "axes-region", str(j)) for j, e in enumerate(boxes)]
    data_of: dict[int, list[Element]] = {}
    for e in elements:
        if e.role == "data-artist" and e.within:
            data_of.setdefault(e.within[0], []).append(e)
    hidden_texts = {(id(c.layout), c.text.within[0]) for c in covered if c.hidden and c.text.within}
    for pair in classify(tagged, overlap_fraction=threshold)[0]:
        if pair.kind != "element_element":
            continue
        first, second = boxes[int(pair.a_id)], boxes[int(pair.b_id)]
        lower, upper = sorted((first, second), key=lambda e: e.order)
        shared = intersection(lower.region, upper.region)
        if shared is None:
            continue
        def hides_data(series: Element) -> bool:
            region = intersection(series.box(), shared)
            return region is not None and hides(lambda: layouts.cover(upper), series, region)

        if (id(upper), id(lower.artist)) in hidden_texts or any(map(hides_data, data_of.get(id(lower.artist), ()))):
            yield Collision("element_element", first.role, first.ident, first.region, second.role, second.ident,
                            second.region, pair.severity)


def _overlaps(edges: list[np.ndarray], areas: np.ndarray, a: np.ndarray, b: np.ndarray) -> np.ndarray:
    """The core's overlap of the boxes ``a`` and ``b`` (of finite, non-flat
    boxes with these edges x0, y0, x1, y1 and areas), with its operations in
    its order, so that a pair reaches a threshold here exactly when it does
    there. In place where it can: this runs for every pair that meets."""
    x0, y0, x1, y1 = edges
    width = np.minimum(x1[a], x1[b])
    width -= np.maximum(x0[a], x0[b])
    height = np.minimum(y1[a], y1[b])
    height -= np.maximum(y0[a], y0[b])
    np.maximum(width, 0.0, out=width)
    width *= np.maximum(height, 0.0, out=height)
    width /= np.minimum(areas[a], areas[b])
    return width


def _windows(boxes: np.ndarray, axis: int, left: np.ndarray, right: np.ndarray | None) -> list[tuple]:
    """For a sweep along ``axis``: (the boxes, the boxes they are paired with
    sorted by their low edge, where each box's run of those starts, how long
    it is). Each pair of boxes whose extents along the axis overlap lies in
    exactly one run: the one of the box with the lower edge (of the earlier
    box in the sweep, on a tie)."""
    low, high = boxes[:, axis], boxes[:, axis + 2]
    runs = []
    if right is None:
        ordered = left[np.argsort(low[left], kind="stable")]
        begin = np.arange(1, len(ordered) + 1)
        runs.append((ordered, ordered, begin, np.searchsorted(low[ordered], high[ordered], "left") - begin))
    else:
        for these, those, side in ((left, right, "left"), (right, left, "right")):
            ordered = those[np.argsort(low[those], kind="stable")]
            begin = np.searchsorted(low[ordered], low[these], side)
            runs.append((these, ordered, begin, np.searchsorted(low[ordered], high[these], "left") - begin))
    return [(these, ordered, begin, np.maximum(length, 0)) for these, ordered, begin, length in runs]


def meeting(boxes, threshold: float, left: np.ndarray | None = None,
            right: np.ndarray | None = None) -> Iterator[tuple[np.ndarray, np.ndarray, np.ndarray]]:
    """The pairs of boxes whose overlap reaches ``threshold`` (> 0), as batches
    of (i, j, overlap) with i < j, in no set order: every pair, or, with the
    disjoint index arrays ``left`` and ``right``, those of a box of each. A
    sweep along the axis on which fewer boxes meet, so that only those are
    looked at, a batch at a time."""
    boxes = np.asarray(boxes, float).reshape(-1, 4)
    edges = [np.ascontiguousarray(boxes[:, k]) for k in range(4)]
    areas = (edges[2] - edges[0]) * (edges[3] - edges[1])
    solid = (boxes[:, 2] > boxes[:, 0]) & (boxes[:, 3] > boxes[:, 1])  # a flat box overlaps nothing
    left = np.flatnonzero(solid) if left is None else left[solid[left]]
    right = None if right is None else right[solid[right]]
    runs = min((_windows(boxes, axis, left, right) for axis in (0, 1)),
               key=lambda plan: sum(int(length.sum()) for *_, length in plan))
    for these, ordered, begin, length in runs:
        ends = np.cumsum(length)
        first = 0
        while first < len(these):
            last = max(int(np.searchsorted(ends, (ends[first - 1] if first else 0) + BATCH, "right")), first + 1)
            counts = length[first:last]
            a = np.repeat(these[first:last], counts)
            b = ordered[np.repeat(begin[first:last] - np.cumsum(counts) + counts, counts) + np.arange(len(a))]
            overlap = _overlaps(edges, areas, a, b)
            keep = overlap >= threshold
            a, b = a[keep], b[keep]
            if len(a):
                yield np.minimum(a, b), np.maximum(a, b), overlap[keep]
            first = last


def pairs(boxes, threshold: float, left: np.ndarray | None = None,
          right: np.ndarray | None = None) -> list[tuple[int, int]]:
    """The pairs of :func:`meeting`, in the order ``classify`` visits them."""
    found = [(i, j) for batch in meeting(boxes, threshold, left, right) for i, j in zip(*batch[:2])]
    return sorted((int(i), int(j)) for i, j in found)


class _Tally:
    """Pairs of boxes counted by the families of their two texts, each family
    pair with the texts it holds; of one past :data:`groups.CROWD`, only its first
    pairs and its most overlapping ones are kept."""

    def __init__(self, texts: int):
        self.texts = texts
        # family pair -> (pairs counted, their codes i * texts + j and overlaps as kept, texts in them)
        self.kept: dict[int, tuple[int, np.ndarray, np.ndarray, np.ndarray]] = {}

    def add(self, key: np.ndarray, i: np.ndarray, j: np.ndarray, overlap: np.ndarray) -> None:
        """Counts the pairs (i, j) of family pairs ``key``."""
        if (key != key[0]).any():  # most batches hold one crowd alone
            order = np.argsort(key, kind="stable")
            key, i, j, overlap = key[order], i[order], j[order], overlap[order]
        starts = np.flatnonzero(np.r_[True, key[1:] != key[:-1]])
        for start, stop in zip(starts, [*starts[1:], len(key)]):
            kept = self.kept.get(int(key[start]))
            total, codes, overlaps, members = kept or (0, i[:0], overlap[:0], np.zeros(self.texts, bool))
            members[i[start:stop]] = members[j[start:stop]] = True
            total += stop - start
            codes = np.r_[codes, i[start:stop] * self.texts + j[start:stop]]
            overlaps = np.r_[overlaps, overlap[start:stop]]
            if total > groups.CROWD and len(codes) > 4 * groups.CROWD:
                keep = np.union1d(self.first(codes), self.worst(codes, overlaps))
                codes, overlaps = codes[keep], overlaps[keep]
            self.kept[int(key[start])] = (total, codes, overlaps, members)

    @staticmethod
    def first(codes: np.ndarray) -> np.ndarray:
        """Where the first pairs are, in no set order (the codes are distinct)."""
        if len(codes) <= groups.CROWD:
            return np.arange(len(codes))
        return np.argpartition(codes, groups.CROWD - 1)[:groups.CROWD]

    @staticmethod
    def worst(codes: np.ndarray, overlaps: np.ndarray) -> np.ndarray:
        """Where the most overlapping pairs are, the most first, the first of equals first.
        Picked before they are sorted: a batch holds a quarter of a million."""
        chosen = np.arange(len(codes))
        if len(codes) > groups.CROWD:
            least = np.partition(overlaps, len(codes) - groups.CROWD)[len(codes) - groups.CROWD]
            above, tied = np.flatnonzero(overlaps > least), np.flatnonzero(overlaps == least)
            wanted = groups.CROWD - len(above)
            chosen = np.r_[above, tied[np.argpartition(codes[tied], wanted - 1)[:wanted]]]
        return chosen[np.lexsort((codes[chosen], -overlaps[chosen]))]


def near_texts(elements: list[Element], inks: Inks, overlap_fraction: float) -> tuple[list[Collision], list]:
    """Texts whose glyphs overlap or come closer than the smaller text's
    margin: they read as one. The pairs come from boxes grown by each text's
    margin, and stay only where the glyphs really come that close; of a crowd
    (:class:`groups.Crowd`, returned with them), only the pairs it says were
    judged."""
    texts = [e for e in elements if e.role in TEXT_ROLES]
    grown = [grow(e.box(), inks.margin(e)) for e in texts]
    names, kin = np.unique([groups.family(e.ident) for e in texts], return_inverse=True)
    tally = _Tally(len(texts))
    for i, j, overlap in meeting(grown, overlap_fraction):
        tally.add(np.minimum(kin[i], kin[j]) * len(names) + np.maximum(kin[i], kin[j]), i, j, overlap)

    judged: dict[int, Collision | None] = {}

    def near(code: int) -> Collision | None:
        if code not in judged:
            i, j = divmod(code, len(texts))
            # The core words the finding, as it would among all the boxes.
            tagged = [(grown[k], UNCLIPPED, texts[k].role, texts[k].ident) for k in (i, j)]
            found = classify(tagged, overlap_fraction=overlap_fraction)[0]
            judged[code] = found[0] if found and inks.near(texts[i], texts[j]) else None
        return judged[code]

    crowds = []
    for key, (total, codes, overlaps, members) in tally.kept.items():
        if total <= groups.CROWD:
            for code in codes:
                near(int(code))
            continue
        first = np.sort(codes[tally.first(codes)])
        confirmed = sum(near(int(code)) is not None for code in first)
        # The worst pair that reads as one, searched from the most overlapping boxes down.
        for code in codes[tally.worst(codes, overlaps)]:
            if near(int(code)) is not None:
                break
        found = [judged[int(code)] for code in codes if judged.get(int(code)) is not None]
        if found:
            sides = divmod(key, len(names))
            who = [[texts[k].ident for k in np.flatnonzero(members & (kin == side))] for side in dict.fromkeys(sides)]
            crowds.append(groups.Crowd("text_text", (str(names[sides[0]]), str(names[sides[1]])),
                                       " / ".join(map(groups.span, who)), int(total), len(first), confirmed,
                                       max(c.severity for c in found)))
    return [judged[code] for code in sorted(judged) if judged[code] is not None], crowds
