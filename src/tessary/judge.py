"""Pixel confirmations: the boxes propose, the ink decides.

Every element's primitives were recorded, so an element can be drawn again on
its own. On a transparent canvas, whatever it paints is its ink (a text's
halo included); on its axes' plain face, whatever differs from the face is a
data element's ink, not gridlines, labels or other data.
"""

from __future__ import annotations

import math
from collections.abc import Iterable, Iterator
from dataclasses import dataclass

import numpy as np
from matplotlib.backends.backend_agg import RendererAgg
from matplotlib.colors import to_rgba
from matplotlib.text import Text

from tessary._core import Collision, OverDataCandidate, ink_coverage
from tessary.artists import Element
from tessary.record import Box, Recording, intersection

# A pixel is ink when some channel differs from the background by more than this.
TOLERANCE = 8
# Text whose box a filled data artist covers this much sits on it by design.
COVERED = 0.95


def display_to_buffer(box: Box, width: int, height: int) -> tuple[int, int, int, int]:
    """Map a display box (origin bottom-left, x right, y up) to the half-open
    ``(row0, col0, row1, col1)`` region of a ``height`` x ``width`` buffer
    (row 0 at the top), covering every pixel the box touches, clamped to the
    buffer."""
    x0, y0, x1, y1 = box
    col0 = min(max(math.floor(x0), 0), width)
    col1 = min(max(math.ceil(x1), col0), width)
    row0 = min(max(math.floor(height - y1), 0), height)
    row1 = min(max(math.ceil(height - y0), row0), height)
    return row0, col0, row1, col1


def proximity(dpi: float) -> int:
    """How close, in pixels, two glyphs may come before they read as one."""
    return max(1, round(dpi / 100))


def grow(box: Box, by: float) -> Box:
    return (box[0] - by, box[1] - by, box[2] + by, box[3] + by)


def area(box: Box | None) -> float:
    return 0.0 if box is None else max(box[2] - box[0], 0.0) * max(box[3] - box[1], 0.0)


@dataclass
class Ink:
    """Where one element painted, as a mask of the buffer rows and columns
    from (row0, col0)."""

    mask: np.ndarray
    row0: int
    col0: int

    @property
    def row1(self) -> int:
        return self.row0 + self.mask.shape[0]

    @property
    def col1(self) -> int:
        return self.col0 + self.mask.shape[1]

    def within(self, region: tuple[int, int, int, int], shift: tuple[int, int] = (0, 0)) -> np.ndarray:
        """The mask, moved by ``shift``, over the buffer region ``region``."""
        r0, c0, r1, c1 = region
        out = np.zeros((max(r1 - r0, 0), max(c1 - c0, 0)), bool)
        top, left = self.row0 + shift[0], self.col0 + shift[1]
        rows = slice(max(r0, top), min(r1, top + self.mask.shape[0]))
        cols = slice(max(c0, left), min(c1, left + self.mask.shape[1]))
        if rows.start < rows.stop and cols.start < cols.stop:
            out[rows.start - r0:rows.stop - r0, cols.start - c0:cols.stop - c0] = \
                self.mask[rows.start - top:rows.stop - top, cols.start - left:cols.stop - left]
        return out


def near(a: Ink, b: Ink, margin: int) -> bool:
    """Whether the two inks overlap or come within ``margin`` pixels: with a
    margin of 1, touching pixels count and one blank pixel between keeps apart."""
    reach = margin
    region = (max(a.row0 - reach, b.row0), max(a.col0 - reach, b.col0),
              min(a.row1 + reach, b.row1), min(a.col1 + reach, b.col1))
    if region[2] <= region[0] or region[3] <= region[1]:
        return False
    theirs = b.within(region)
    if not theirs.any():
        return False
    shifts = range(-reach, reach + 1)
    return any((a.within(region, (dy, dx)) & theirs).any() for dy in shifts for dx in shifts)


class Canvas:
    """A figure-sized canvas to draw one element at a time on."""

    def __init__(self, recording: Recording):
        self.width, self.height = recording.width, recording.height
        self.renderer = RendererAgg(recording.width, recording.height, recording.dpi)
        self.showing: Element | None = None

    def show(self, element: Element, background: tuple[int, int, int, int]) -> np.ndarray:
        buffer = np.asarray(self.renderer.buffer_rgba())
        if self.showing is not element:
            buffer[...] = background
            for primitive in element.primitives:
                getattr(self.renderer, primitive.method)(*primitive.args, **primitive.kwargs)
            self.showing = element
        return buffer

    def region(self, box: Box) -> tuple[int, int, int, int]:
        return display_to_buffer(box, self.width, self.height)


class Inks:
    """Each element's ink, drawn alone on a transparent canvas, kept once made."""

    def __init__(self, recording: Recording):
        self.canvas = Canvas(recording)
        self.margin = proximity(recording.dpi)
        self._made: dict[int, Ink] = {}

    def of(self, element: Element) -> Ink:
        ink = self._made.get(id(element))
        if ink is None:
            buffer = self.canvas.show(element, (0, 0, 0, 0))
            # Anti-aliasing may reach a pixel past the measured box.
            r0, c0, r1, c1 = self.canvas.region(grow(element.box(), 2))
            ink = self._made[id(element)] = Ink((buffer[r0:r1, c0:c1] > TOLERANCE).any(axis=2), r0, c0)
        return ink

    def inside(self, element: Element, box: Box) -> bool:
        """Whether the element paints inside ``box``, farther in than the margin."""
        region = self.canvas.region(grow(box, -self.margin))
        if region[2] <= region[0] or region[3] <= region[1]:
            return False
        return bool(self.of(element).within(region).any())

    def reaches(self, element: Element, clip: Box) -> bool:
        """Whether the element paints up to the edge of ``clip`` where it passes
        it: a box that passes its clip only with blank corners (a rotated label)
        or blank lines is not cut."""
        box = element.box()
        if intersection(box, clip) is None:
            return True  # wholly outside: nothing of it shows
        r0, c0, r1, c1 = self.canvas.region(clip)
        ink = self.of(element)
        edges = []
        if box[0] < clip[0]:
            edges.append((r0, c0, r1, c0 + 1))
        if box[2] > clip[2]:
            edges.append((r0, c1 - 1, r1, c1))
        if box[3] > clip[3]:
            edges.append((r0, c0, r0 + 1, c1))
        if box[1] < clip[1]:
            edges.append((r1 - 1, c0, r1, c1))
        return any(ink.within(edge).any() for edge in edges)


def backdrop(element: Element, figure) -> tuple[int, int, int]:
    """The colour a viewer sees behind an element: its axes' face over the
    figure's face over white."""
    artist = element.artist
    axes = getattr(artist, "axes", None) or next((p.axes for p in getattr(artist, "patches", ())), None)
    rgb = [1.0, 1.0, 1.0]
    faces = [figure.get_facecolor()]
    if axes is not None and axes.patch.get_visible():
        faces.append(axes.patch.get_facecolor())
    for colour in faces:
        r, g, b, a = to_rgba(colour)
        rgb = [a * c + (1 - a) * under for c, under in zip((r, g, b), rgb)]
    return tuple(int(round(255 * c)) for c in rgb)


class Data:
    """Data elements drawn alone on their face, to measure what covers them."""

    def __init__(self, recording: Recording, figure):
        self.canvas = Canvas(recording)
        self.figure = figure
        self._totals: dict[int, float] = {}

    def coverage(self, data: Element, box: Box) -> float:
        """The share of ``box``'s pixels that hold the data's ink."""
        background = backdrop(data, self.figure)
        buffer = self.canvas.show(data, (*background, 255))
        return ink_coverage(buffer, self.canvas.region(box), background, TOLERANCE)

    def pixels(self, box: Box) -> int:
        r0, c0, r1, c1 = self.canvas.region(box)
        return (r1 - r0) * (c1 - c0)

    def total(self, data: Element) -> float:
        """How many ink pixels the data shows in all."""
        if id(data) not in self._totals:
            box = data.box()
            self._totals[id(data)] = self.coverage(data, box) * self.pixels(box)
        return self._totals[id(data)]


def labels(text: Element, data: Element, measure: Data) -> bool:
    """Whether ``text`` is a label of ``data`` put on it by design: a label
    that matplotlib made for it (contour labels), or text centred on a filled
    area (a heatmap cell, a wedge, a bar) that it covers almost whole."""
    if any(text.artist is t for t in getattr(data.artist, "labelTexts", ())):
        return True
    if not isinstance(text.artist, Text):
        return False
    # What shows of it: a label clipped at the axes edge is judged by its visible part.
    figure_box = (0.0, 0.0, float(measure.canvas.width), float(measure.canvas.height))
    box = intersection(text.box(), text.clip(figure_box)) or text.box()
    x, y = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2
    centre = (x - 0.5, y - 0.5, x + 0.5, y + 0.5)
    # Measured a pixel inside the box: its edge pixels are only partly the text's.
    inside = grow(box, -1) if box[2] - box[0] > 2 and box[3] - box[1] > 2 else box
    return measure.coverage(data, centre) > 0 and measure.coverage(data, inside) >= COVERED


def over_data(candidates: Iterable[OverDataCandidate], by_id: dict[str, Element], measure: Data,
              threshold: float) -> Iterator[Collision]:
    """Candidates whose decoration hides data: the data's ink fills more than
    ``threshold`` of the shared area, or more than ``threshold`` of all the
    data's ink lies under the decoration (a legend across a thin line). The
    severity is the larger share."""
    # Sorted so that each data element is drawn once for all its candidates.
    for candidate in sorted(candidates, key=lambda c: c.data_id):
        region = intersection(candidate.decoration_box, candidate.data_box)
        data, decoration = by_id[candidate.data_id], by_id[candidate.decoration_id]
        if region is None or labels(decoration, data, measure):
            continue
        filled = measure.coverage(data, region)
        total = measure.total(data)
        hidden = filled * measure.pixels(region) / total if total else 0.0
        share = max(filled, hidden)
        if share > threshold:
            yield Collision("over_data", candidate.decoration_role, candidate.decoration_id,
                            candidate.decoration_box, "data-artist", candidate.data_id, candidate.data_box, share)


def own(text: Element, layout: Element, regions: dict[int, Box]) -> bool:
    """Whether ``layout`` is the text's own axes, an axes it is inset in, or a
    twin sharing its axes' place: texts lie there by design."""
    if id(layout.artist) in text.within:
        return True
    return bool(text.within) and regions.get(text.within[0]) == layout.region


def shows_a_face(layout: Element) -> bool:
    """Axes whose background is painted (or a colour bar) hide what lies under them."""
    if layout.role == "colorbar":
        return True
    ax = layout.artist
    return ax.axison and ax.get_frame_on() and ax.patch.get_visible() and to_rgba(ax.patch.get_facecolor())[3] > 0


def hidden_labels(elements: list[Element], inks: Inks, threshold: float) -> Iterator[Collision]:
    """Tick and axis labels whose ink lies on another axes or a colour bar. The
    rules pair those labels with no layout element, so these findings are made
    here; the severity is the share of the label's box that the layout covers."""
    layouts = [e for e in elements if e.region is not None and shows_a_face(e)]
    regions = {id(e.artist): e.region for e in elements if e.region is not None}
    for text in (e for e in elements if e.role in ("tick-label", "axis-label")):
        box = text.box()
        for layout in layouts:
            if own(text, layout, regions):
                continue
            shared = intersection(box, layout.region)
            fraction = area(shared) / area(box) if area(box) else 0.0
            if shared is None or fraction < threshold or not inks.inside(text, layout.region):
                continue
            first, second = sorted((layout, text), key=lambda e: e.order)
            yield Collision("element_element", first.role, first.ident, first.box(), second.role, second.ident,
                            second.box(), fraction)
