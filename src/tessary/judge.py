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

from tessary import _mpl
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
    whose share reaches ``threshold``. The core's sweep finds the overlapping
    pairs: as a title against an axes region, each pair's measure (over the
    smaller box) is at least the share of the text's box, so no pair that
    matters is missed."""
    boxes = [(t.box(), UNCLIPPED, "title", f"t{i}") for i, t in enumerate(texts)]
    boxes += [(layout.region, UNCLIPPED, "axes-region", f"l{j}") for j, layout in enumerate(layouts)]
    for pair in classify(boxes, overlap_fraction=threshold)[0]:
        if pair.kind != "element_element" or pair.a_id[0] == pair.b_id[0]:
            continue
        text_id, layout_id = (pair.a_id, pair.b_id) if pair.a_id[0] == "t" else (pair.b_id, pair.a_id)
        text, layout = texts[int(text_id[1:])], layouts[int(layout_id[1:])]
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


def near_texts(elements: list[Element], inks: Inks, overlap_fraction: float) -> Iterator[Collision]:
    """Texts whose glyphs overlap or come closer than the smaller text's
    margin: they read as one. The pairs come from boxes grown by each text's
    margin, and stay only where the glyphs really come that close."""
    grown = [(grow(e.box(), inks.margin(e)), UNCLIPPED, e.role, e.ident) for e in elements]
    by_id = {e.ident: e for e in elements}
    for c in classify(grown, overlap_fraction=overlap_fraction)[0]:
        if c.kind == "text_text" and inks.near(by_id[c.a_id], by_id[c.b_id]):
            yield c
