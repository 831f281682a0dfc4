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
from matplotlib.backend_bases import GraphicsContextBase
from matplotlib.backends.backend_agg import RendererAgg
from matplotlib.colors import to_rgba
from matplotlib.text import Text
from matplotlib.transforms import Affine2D, TransformedPath

from tessary._core import Collision, OverDataCandidate, classify, ink_coverage
from tessary.artists import Element
from tessary.record import Box, Primitive, Recording, intersection

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

    def within(self, region: tuple[int, int, int, int]) -> np.ndarray:
        """The mask over the buffer region ``region``, blank where it has no pixel."""
        r0, c0, r1, c1 = region
        out = np.zeros((max(r1 - r0, 0), max(c1 - c0, 0)), bool)
        rows = slice(max(r0, self.row0), min(r1, self.row1))
        cols = slice(max(c0, self.col0), min(c1, self.col1))
        if rows.start < rows.stop and cols.start < cols.stop:
            out[rows.start - r0:rows.stop - r0, cols.start - c0:cols.stop - c0] = \
                self.mask[rows.start - self.row0:rows.stop - self.row0, cols.start - self.col0:cols.stop - self.col0]
        return out

    def grown(self, margin: int) -> Ink:
        """Every pixel within ``margin`` pixels of this ink (a square around each)."""
        height, width = self.mask.shape
        out = np.zeros((height + 2 * margin, width + 2 * margin), bool)
        for dy in range(2 * margin + 1):
            for dx in range(2 * margin + 1):
                out[dy:dy + height, dx:dx + width] |= self.mask
        return Ink(out, self.row0 - margin, self.col0 - margin)


def near(a: Ink, b: Ink, margin: int) -> bool:
    """Whether the two inks overlap or come within ``margin`` pixels: with a
    margin of 1, touching pixels count and one blank pixel between keeps apart."""
    return touches(a.grown(margin), b)


def touches(a: Ink, b: Ink) -> bool:
    """Whether the two inks share a pixel."""
    r0, c0 = max(a.row0, b.row0), max(a.col0, b.col0)
    r1 = min(a.row0 + a.mask.shape[0], b.row0 + b.mask.shape[0])
    c1 = min(a.col0 + a.mask.shape[1], b.col0 + b.mask.shape[1])
    if r1 <= r0 or c1 <= c0:
        return False
    mine = a.mask[r0 - a.row0:r1 - a.row0, c0 - a.col0:c1 - a.col0]
    theirs = b.mask[r0 - b.row0:r1 - b.row0, c0 - b.col0:c1 - b.col0]
    return bool(np.logical_and(mine, theirs).any())


# Where each primitive keeps its place on the canvas: an argument that is a
# transform ending in display pixels (y up), or the position of an image or of
# a text (whose y counts from the top). By position, and by name if passed so.
_TRANSFORM = {"draw_path": (2, "transform"), "draw_markers": (4, "trans"), "draw_path_collection": (1, "master_transform"),
              "draw_quad_mesh": (1, "master_transform"), "draw_gouraud_triangles": (3, "transform")}


def _moved(primitive: Primitive, dx: int, dy: int, rows_above: int) -> tuple[list, dict]:
    """The primitive's arguments for a canvas whose origin lies ``(dx, dy)``
    display pixels away, ``rows_above`` rows below the figure's top."""
    args, kwargs = list(primitive.args), dict(primitive.kwargs)

    def change(index: int, name: str, how) -> None:
        if index < len(args):
            args[index] = how(args[index])
        else:
            kwargs[name] = how(kwargs[name])

    shift = Affine2D().translate(dx, dy)
    gc = GraphicsContextBase()
    gc.copy_properties(args[0])
    rectangle = gc.get_clip_rectangle()
    if rectangle is not None:
        gc.set_clip_rectangle(rectangle.translated(dx, dy))
    path, transform = gc.get_clip_path()
    if path is not None:
        gc.set_clip_path(TransformedPath(path, (transform + shift).frozen()))
    args[0] = gc
    if primitive.method in _TRANSFORM:
        change(*_TRANSFORM[primitive.method], lambda t: (t + shift).frozen())
    elif primitive.method == "draw_image":
        change(1, "x", lambda x: x + dx)
        change(2, "y", lambda y: y + dy)
    else:
        change(1, "x", lambda x: x + dx)
        change(2, "y", lambda y: y - rows_above)
    return args, kwargs


class Stage:
    """Draws one element at a time again, alone, on a canvas over just the
    pixels that are looked at, so that the cost follows what is looked at and
    not the figure's size. The full-render path, which the tests hold the usual
    one to, draws on canvases the size of the whole figure instead."""

    def __init__(self, recording: Recording, whole: bool):
        self.recording = recording
        self.whole = whole

    def region(self, box: Box) -> tuple[int, int, int, int]:
        return display_to_buffer(box, self.recording.width, self.recording.height)

    def draw(self, element: Element, box: Box, background) -> tuple[np.ndarray, tuple[int, int, int, int]]:
        """The element drawn alone over the pixels of ``box`` on ``background``,
        and where those pixels lie in the figure."""
        height = self.recording.height
        r0, c0, r1, c1 = (0, 0, height, self.recording.width) if self.whole else self.region(box)
        renderer = RendererAgg(max(c1 - c0, 1), max(r1 - r0, 1), self.recording.dpi)
        buffer = np.asarray(renderer.buffer_rgba())
        buffer[...] = background
        for primitive in element.primitives:
            args, kwargs = _moved(primitive, -c0, r1 - height, r0)
            getattr(renderer, primitive.method)(*args, **kwargs)
        return buffer[:r1 - r0, :c1 - c0], (r0, c0, r1, c1)


class Inks:
    """Each element's ink, drawn alone on a transparent canvas, kept once made."""

    def __init__(self, recording: Recording, whole: bool = False):
        self.stage = Stage(recording, whole)
        self.margin = proximity(recording.dpi)
        self._made: dict[int, Ink] = {}
        self._grown: dict[int, Ink] = {}

    def near(self, a: Element, b: Element) -> bool:
        """Whether the two elements' inks come within the margin of each other."""
        grown = self._grown.get(id(a))
        if grown is None:
            grown = self._grown[id(a)] = self.of(a).grown(self.margin)
        return touches(grown, self.of(b))

    def of(self, element: Element) -> Ink:
        ink = self._made.get(id(element))
        if ink is None:
            # Anti-aliasing may reach a pixel past the measured box.
            box = grow(element.box(), 2)
            buffer, (s0, t0, _, _) = self.stage.draw(element, box, (0, 0, 0, 0))
            r0, c0, r1, c1 = self.stage.region(box)
            mask = (buffer[r0 - s0:r1 - s0, c0 - t0:c1 - t0] > TOLERANCE).any(axis=2)
            ink = self._made[id(element)] = Ink(mask, r0, c0)
        return ink

    def inside(self, element: Element, box: Box) -> bool:
        """Whether the element paints inside ``box``, farther in than the margin."""
        region = self.stage.region(grow(box, -self.margin))
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
        r0, c0, r1, c1 = self.stage.region(clip)
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
    """Data elements drawn alone on their face, each once while it is looked
    at, to measure what covers them."""

    def __init__(self, recording: Recording, figure, whole: bool = False):
        self.stage = Stage(recording, whole)
        self.figure = figure
        self._showing = None
        self._totals: dict[int, float] = {}

    def _shown(self, data: Element):
        if self._showing is None or self._showing[0] != id(data):
            background = backdrop(data, self.figure)
            buffer, region = self.stage.draw(data, grow(data.box(), 1), (*background, 255))
            self._showing = (id(data), buffer, region, background)
        return self._showing[1:]

    def pixels(self, box: Box) -> int:
        r0, c0, r1, c1 = self.stage.region(box)
        return (r1 - r0) * (c1 - c0)

    def ink(self, data: Element, box: Box) -> float:
        """How many pixels of ``box`` hold the data's ink."""
        buffer, (s0, t0, s1, t1), background = self._shown(data)
        r0, c0, r1, c1 = self.stage.region(box)
        # Outside the region where the data was drawn there is none of its ink.
        r0, r1, c0, c1 = max(r0, s0), min(r1, s1), max(c0, t0), min(c1, t1)
        if r1 <= r0 or c1 <= c0:
            return 0.0
        share = ink_coverage(buffer, (r0 - s0, c0 - t0, r1 - s0, c1 - t0), background, TOLERANCE)
        return share * (r1 - r0) * (c1 - c0)

    def coverage(self, data: Element, box: Box) -> float:
        """The share of ``box``'s pixels that hold the data's ink."""
        pixels = self.pixels(box)
        return self.ink(data, box) / pixels if pixels else 0.0

    def total(self, data: Element) -> float:
        """How many ink pixels the data shows in all."""
        if id(data) not in self._totals:
            self._totals[id(data)] = self.ink(data, grow(data.box(), 1))
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
    figure_box = measure.stage.recording.figure_box
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
        hidden = measure.ink(data, region) / total if total else 0.0
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
    texts = [e for e in elements if e.role in ("tick-label", "axis-label")]
    regions = {id(e.artist): e.region for e in elements if e.region is not None}
    # The core's sweep finds the overlapping pairs: as a title against an axes
    # region, each pair's measure (over the smaller box) is at least the
    # share of the label's box, so no pair that matters is missed.
    unclipped = (-math.inf, -math.inf, math.inf, math.inf)
    boxes = [(t.box(), unclipped, "title", f"t{i}") for i, t in enumerate(texts)]
    boxes += [(layout.region, unclipped, "axes-region", f"l{j}") for j, layout in enumerate(layouts)]
    for pair in classify(boxes, overlap_fraction=threshold)[0]:
        if pair.kind != "element_element" or pair.a_id[0] == pair.b_id[0]:
            continue
        t, l = (pair.a_id, pair.b_id) if pair.a_id[0] == "t" else (pair.b_id, pair.a_id)
        text, layout = texts[int(t[1:])], layouts[int(l[1:])]
        box = text.box()
        fraction = area(intersection(box, layout.region)) / area(box) if area(box) else 0.0
        if fraction < threshold or own(text, layout, regions) or not inks.inside(text, layout.region):
            continue
        first, second = sorted((layout, text), key=lambda e: e.order)
        yield Collision("element_element", first.role, first.ident, first.box(), second.role, second.ident,
                        second.box(), fraction)
