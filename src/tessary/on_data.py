"""Decorations and texts on data: what a reader loses where they meet.

- A decoration with an opaque box of its own (a legend's frame, a text's
  bbox) hides the data drawn before it under the box: a finding when enough
  ink is hidden, or one whole marker (a datum) is.
- Text straight on data must stay readable: what lies under its glyphs must
  be one even ground that contrasts with them (a value in its heatmap cell, a
  label on its translucent patch). Data ink of varied colour across the
  glyphs (a noisy trace, lines, markers) makes it unreadable where it
  crosses, whichever was drawn first; so does a ground too close in colour.
- Translucent text (a watermark) and text with a halo are read on anything.
"""

from __future__ import annotations

import math
from collections.abc import Callable, Iterable, Iterator

import numpy as np
from matplotlib.collections import PathCollection
from matplotlib.colors import to_rgba

from tessary._core import Collision, OverDataCandidate, classify
from tessary.artists import Element
from tessary.ink import TEXT_METHODS, Data, Ink, Inks, cover_kind, differs, grow, proximity
from tessary.judge import UNCLIPPED, scale
from tessary.record import Box, intersection

# Less hidden data ink than this (pixels at 100 dpi) is a handful, not a loss.
HIDDEN_PIXELS = 60
# Hidden ink no thicker than this (pixels at 100 dpi), or than the data's
# line, is a sliver: a line's straight run, a shape's edge.
SLIVER = 4
# Sides of a meeting place shorter than this (pixels at 100 dpi) count as this long.
ROOM = 20
# Under a cover that hides this share of a small artist's ink, the artist is gone.
WHOLE = 0.95
# Data ink under a text's glyphs below this (pixels at 100 dpi) only grazes them.
CROSSED_PIXELS = 12
# A colour step between neighbouring pixels larger than this (of 255, in any
# channel) is an edge the eye follows: a line, a marker's outline, a cell border.
EDGE = 48
# Edge pixels under a text's glyphs (at 100 dpi) from which the ground reads as varied.
EDGE_PIXELS = 12
# A ground must fill this share of the glyphs' surroundings to be judged by its colour.
EVEN = 0.9
# Luminance contrast (1 to 21) below which glyphs are lost in their ground.
LOW_CONTRAST = 1.6
# Texts other than legends and annotations that data can run through.
LABEL_ROLES = ("title", "suptitle", "tick-label", "axis-label")


def label_candidates(elements: list[Element], threshold: float) -> list[OverDataCandidate]:
    """Titles, tick and axis labels whose boxes meet a data artist's: the core
    pairs only legends and annotations with data, so the labels take the part
    of annotations here and their own role back in the findings."""
    labels = [e for e in elements if e.role in LABEL_ROLES]
    if not labels:
        return []
    series = [e for e in elements if e.role == "data-artist"]
    boxes = [(e.box(), UNCLIPPED, "annotation", e.ident) for e in labels]
    boxes += [(e.box(), UNCLIPPED, "data-artist", e.ident) for e in series]
    return classify(boxes, overlap_fraction=threshold)[1]


def contrast(a, b) -> float:
    """The luminance contrast ratio of two sRGB colours (0-255 channels)."""
    def luminance(rgb) -> float:
        linear = [(c / 255) / 12.92 if c <= 10 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in rgb]
        return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]

    high, low = sorted((luminance(a), luminance(b)), reverse=True)
    return (high + 0.05) / (low + 0.05)


def edges(rgb: np.ndarray) -> np.ndarray:
    """Pixels on either side of a colour step larger than EDGE."""
    out = np.zeros(rgb.shape[:2], bool)
    across = (np.abs(np.diff(rgb, axis=1)) > EDGE).any(axis=2)
    down = (np.abs(np.diff(rgb, axis=0)) > EDGE).any(axis=2)
    out[:, 1:] |= across
    out[:, :-1] |= across
    out[1:, :] |= down
    out[:-1, :] |= down
    return out


def is_ground(series: Element) -> bool:
    """Whether the data paints areas a text can be written on (cells, bars,
    patches, images, filled regions) rather than lines and marks."""
    artist = series.artist
    if isinstance(artist, PathCollection):  # scatter marks
        return False
    for p in series.primitives:
        if p.method in ("draw_image", "draw_quad_mesh", "draw_gouraud_triangles"):
            return True
        if p.method == "draw_path" and len(p.args) > 3 and p.args[3] is not None and to_rgba(p.args[3])[3] > 0:
            return True
        if p.method == "draw_path_collection" and len(p.args) > 6 and len(p.args[6]) and \
                np.asarray(p.args[6], float).reshape(-1, 4)[:, 3].max() > 0:
            return True
    return False


def text_colour(element: Element) -> tuple[int, int, int] | None:
    for p in element.primitives:
        if p.method in TEXT_METHODS:
            r, g, b = p.args[0].get_rgb()[:3]
            return round(255 * r), round(255 * g), round(255 * b)
    return None


def marker_boxes(element: Element) -> np.ndarray:
    """The display box of each single mark the element drew (a scatter point,
    a line's marker) that shows inside its clip, as rows of (x0, y0, x1, y1)."""
    found = []
    for p in element.primitives:
        if p.box is None:
            continue
        if p.method == "draw_markers":
            places = p.args[4].transform(p.args[3].vertices)
        elif p.method == "draw_path_collection" and len(p.args) > 5 and len(p.args[4]):
            places = p.args[5].transform(np.asarray(p.args[4], float))
        else:
            continue
        places = places[np.isfinite(places).all(axis=1)]
        if not len(places):
            continue
        # The recorded box is every mark's place grown by the extent of the
        # largest mark: each mark is given that extent, so that it counts as
        # hidden only if the whole of it is.
        spread = places.max(axis=0) - places.min(axis=0)
        half = np.maximum((np.array([p.box[2] - p.box[0], p.box[3] - p.box[1]]) - spread) / 2, 0)
        marks = np.hstack([places - half, places + half])
        if p.clip is not None:
            x0, y0, x1, y1 = p.clip
            marks = marks[(marks[:, 0] >= x0) & (marks[:, 1] >= y0) & (marks[:, 2] <= x1) & (marks[:, 3] <= y1)]
        found.append(marks)
    return np.vstack(found) if found else np.zeros((0, 4))


class OnData:
    """Judges pairs of a decoration or text and a data element."""

    def __init__(self, inks: Inks, data: Data, threshold: float):
        self.inks = inks
        self.data = data
        self.threshold = threshold
        self.stage = inks.stage
        self.scale = scale(inks.dpi)

    def hidden(self, cover: Callable[[], Ink], series: Element, box: Box) -> float:
        """The share of the data that the opaque ``cover()`` (drawn only where
        the data shows) hides where they meet, within ``box``: the larger of
        the share of all the data's ink and the share of the meeting place
        that held it. 0 when that is no loss: a share at most the threshold, a
        handful of pixels, or a sliver along a straight edge that goes on
        visibly beside the cover. One whole mark (or the whole of a small
        artist) under the cover is a loss whatever the share."""
        region = self.stage.region(box)
        data = self.data.ink_mask(series, region).mask
        if not data.any():
            return 0.0
        cover = cover()
        hidden_mask = cover.within(region) & data
        hidden = int(np.count_nonzero(hidden_mask))
        if not hidden:
            return 0.0
        total = self.data.total(series)
        share = max(hidden / total if total else 0.0, hidden / self._room(region))
        if share > self.threshold and hidden >= HIDDEN_PIXELS * self.scale and \
                min(_extent(hidden_mask)) > self._sliver(series):
            return share
        if (total and hidden >= WHOLE * total) or self._hides_a_mark(cover, series, box):
            return share
        return 0.0

    def hides(self, cover: Callable[[], Ink], series: Element, box: Box) -> bool:
        return self.hidden(cover, series, box) > 0

    def _room(self, region) -> float:
        """The meeting place's area, each side taken as at least ROOM pixels:
        a place a few pixels wide that the data fills is not all lost."""
        least = ROOM * self.inks.dpi / 100
        return max(region[2] - region[0], least) * max(region[3] - region[1], least)

    def _sliver(self, series: Element) -> float:
        """How thin hidden ink can be and still be only a line's straight run
        (or the edge of a shape) seen going on beside the cover."""
        widths = [p.args[0].get_linewidth() for p in series.primitives if p.args]
        stroke = max(widths, default=0.0) * self.inks.dpi / 72
        return max(SLIVER * self.inks.dpi / 100, stroke + 2)

    def _hides_a_mark(self, cover: Ink, series: Element, box: Box) -> bool:
        marks = marker_boxes(series)
        inside = marks[(marks[:, 0] >= box[0]) & (marks[:, 1] >= box[1]) & (marks[:, 2] <= box[2]) &
                       (marks[:, 3] <= box[3])]
        for mark in inside:
            region = self.stage.region(tuple(mark))
            if region[2] > region[0] and region[3] > region[1] and cover.within(region).all():
                return True
        return False

    def unreadable(self, text: Element, series: Element, glyphs: Callable[[], Ink], banded: bool = False) -> float:
        """The share of the text's glyph pixels on the data's ink, when the data
        makes the text unreadable there; else 0. Lines and marks (however
        dense) that run across the glyphs break them up. A filled ground
        (a cell, a patch, an image) must be even right around the glyphs and
        contrast with them. Data that only comes near the glyphs leaves them
        whole. A ``banded`` ground (filled contours under a contour label)
        steps in colour at the very level the label names: only its contrast
        counts. The glyphs (``glyphs()``) are drawn only when the data under
        the text's box leaves that open."""
        margin = proximity(self.inks.dpi)
        place = self.stage.region(grow(text.box(), margin + 2))
        rgb, background = self.data.colours(series, place)
        ink = differs(rgb, background)
        if np.count_nonzero(ink) < CROSSED_PIXELS * self.scale:
            return 0.0
        ground = is_ground(series)
        steps = np.zeros(ink.shape, bool) if banded else edges(rgb)
        if ground and np.count_nonzero(steps) < EDGE_PIXELS * math.sqrt(self.scale):
            # One even ground under all of the text.
            return self._lost_in(text, rgb, ink, np.ones(ink.shape, bool), np.count_nonzero(ink) / ink.size)
        ink_of_text = glyphs()
        under = ink_of_text.within(place)
        around = ink_of_text.grown(margin).within(place)
        on = int(np.count_nonzero(ink & under))
        if on < CROSSED_PIXELS * self.scale:
            return 0.0
        share = on / max(int(np.count_nonzero(under)), 1)
        if not ground or np.count_nonzero(steps & around) >= EDGE_PIXELS * math.sqrt(self.scale):
            return share
        return self._lost_in(text, rgb, ink, around, share)

    def _lost_in(self, text: Element, rgb: np.ndarray, ink: np.ndarray, around: np.ndarray, share: float) -> float:
        """``share`` when the ground fills the glyphs' surroundings (``around``)
        in a colour too close to theirs to read; else 0."""
        colour = text_colour(text)
        if colour is None or np.count_nonzero(ink & around) < EVEN * np.count_nonzero(around):
            return 0.0
        return share if contrast(colour, np.median(rgb[around], axis=0)) < LOW_CONTRAST else 0.0

    def severity(self, decoration: Element, series: Element, banded: bool = False) -> float:
        """How much of what the reader should see is lost where the two meet;
        0 for nothing. ``banded``: a contour label on filled contours."""
        kind = cover_kind(decoration)
        later = series.order > decoration.order
        if kind == "faint" or (kind == "halo" and not later):
            return 0.0
        if kind == "boxed" and not later:
            box = intersection(decoration.box(), series.box())
            if box is None:
                return 0.0
            return self.hidden(lambda: self.inks.boxed(decoration), series, box)
        glyphs = self.inks.of if kind == "bare" else self.inks.glyphs
        return self.unreadable(decoration, series, lambda: glyphs(decoration), banded)


def _extent(mask: np.ndarray) -> tuple[int, int]:
    """The height and width of the box around a mask's set pixels."""
    rows, cols = np.nonzero(mask.any(axis=1))[0], np.nonzero(mask.any(axis=0))[0]
    return int(rows[-1] - rows[0] + 1), int(cols[-1] - cols[0] + 1)


def labels_its_contour(text: Element, series: Element) -> bool:
    """Contour labels sit in the gaps matplotlib cut for them in their own lines."""
    return any(text.artist is t for t in getattr(series.artist, "labelTexts", ()))


def _contour_labels(elements: Iterable[Element]) -> set[int]:
    return {id(t) for e in elements for t in getattr(e.artist, "labelTexts", ())}


def over_data(candidates: Iterable[OverDataCandidate], by_id: dict[str, Element], judge: OnData) -> Iterator[Collision]:
    """Candidates where the decoration or text costs the reader data or
    legibility; the severity is the share lost."""
    contour_labels = _contour_labels(by_id.values())
    # Sorted so that each data element is drawn once for all its candidates.
    for candidate in sorted(candidates, key=lambda c: c.data_id):
        decoration, series = by_id[candidate.decoration_id], by_id[candidate.data_id]
        if labels_its_contour(decoration, series):
            continue
        banded = id(decoration.artist) in contour_labels and bool(getattr(series.artist, "filled", False))
        severity = judge.severity(decoration, series, banded)
        if severity > 0:
            yield Collision("over_data", decoration.role, decoration.ident, decoration.box(), "data-artist",
                            series.ident, series.box(), severity)

