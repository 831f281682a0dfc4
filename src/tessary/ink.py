"""Drawing recorded primitives again, alone, to see what each element painted.

Every element's primitives were recorded, so an element (or any set of
primitives, such as an axes' face or frame) can be drawn again on its own. On
a transparent canvas, whatever it paints is its ink (a text's halo included);
on its axes' plain face, whatever differs from the face is a data element's
ink, not gridlines, labels or other data.
"""

from __future__ import annotations

import functools
import math
import threading
from collections import OrderedDict
from collections.abc import Iterable
from dataclasses import dataclass
from typing import Any

import matplotlib
import numpy as np
from matplotlib import font_manager
from matplotlib.backend_bases import GraphicsContextBase
from matplotlib.backends.backend_agg import RendererAgg
from matplotlib.colors import to_rgba
from matplotlib.patheffects import Stroke
from matplotlib.text import Text
from matplotlib.transforms import Affine2D, TransformedPath

from tessary._core import ink_coverage
from tessary.artists import Element
from tessary.record import Box, Primitive, Recording

# A pixel is ink when some channel differs from the background by more than this.
TOLERANCE = 8
# A pixel hides what lies under it when it is at least this opaque (of 255).
OPAQUE = 128
# Two glyphs closer than this share of the smaller text's em read as one run of
# text: less than a word space (about a third of an em in common fonts).
NEAR_EM = 0.3
TEXT_METHODS = ("draw_text", "draw_tex")
# Text at most this opaque (a watermark) is seen through, not read over data.
FAINT = 0.5

Region = tuple[int, int, int, int]  # (row0, col0, row1, col1) of the figure's buffer, half-open


def display_to_buffer(box: Box, width: int, height: int) -> Region:
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


def unclamped_region(box: Box, height: int) -> Region:
    """The pixels a display box touches, past the buffer's edges too."""
    x0, y0, x1, y1 = box
    col0, row0 = math.floor(x0), math.floor(height - y1)
    return row0, col0, max(math.ceil(height - y0), row0), max(math.ceil(x1), col0)


def proximity(dpi: float) -> int:
    """How close, in pixels, two marks may come before they read as one, for
    marks that are not text."""
    return max(1, round(dpi / 100))


def text_margin(points: float, dpi: float) -> int:
    """How close, in pixels, two glyphs of this font size may come before the
    texts read as one."""
    return max(1, round(NEAR_EM * points * dpi / 72))


def grow(box: Box, by: float) -> Box:
    return (box[0] - by, box[1] - by, box[2] + by, box[3] + by)


def area(box: Box | None) -> float:
    return 0.0 if box is None else max(box[2] - box[0], 0.0) * max(box[3] - box[1], 0.0)


def font_size(element: Element) -> float | None:
    """The smallest font size, in points, among the texts the element drew."""
    if isinstance(element.artist, Text):
        return float(element.artist.get_fontsize())
    sizes = [p.args[4].get_size_in_points() for p in element.primitives
             if p.method in TEXT_METHODS and len(p.args) > 4 and hasattr(p.args[4], "get_size_in_points")]
    return min(sizes) if sizes else None


@dataclass
class Ink:
    """Where something painted, as a mask of the buffer rows and columns
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

    @property
    def region(self) -> Region:
        return self.row0, self.col0, self.row1, self.col1

    def within(self, region: Region) -> np.ndarray:
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
        return self.smeared(square(margin))

    def smeared(self, offsets: frozenset[tuple[int, int]]) -> Ink:
        """Every pixel that some (row, column) offset takes a pixel of this ink to."""
        height, width = self.mask.shape
        rows = max(abs(r) for r, _ in offsets)
        cols = max(abs(c) for _, c in offsets)
        out = np.zeros((height + 2 * rows, width + 2 * cols), bool)
        for dr, dc in offsets:
            out[rows + dr:rows + dr + height, cols + dc:cols + dc + width] |= self.mask
        return Ink(out, self.row0 - rows, self.col0 - cols)

    def count(self) -> int:
        return int(np.count_nonzero(self.mask))

    def shared(self, other: Ink) -> int:
        """How many pixels both inks paint."""
        return int(np.count_nonzero(self.within(other.region) & other.mask))


def square(margin: int) -> frozenset[tuple[int, int]]:
    return frozenset((dr, dc) for dr in range(-margin, margin + 1) for dc in range(-margin, margin + 1))


def along(margin: int, across: int, degrees: float) -> frozenset[tuple[int, int]]:
    """Offsets up to ``margin`` pixels along a line of text turned by
    ``degrees``, and up to ``across`` pixels in any direction."""
    cos, sin = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    line = {(round(-k * sin), round(k * cos)) for k in range(-margin, margin + 1)}
    return frozenset((r + dr, c + dc) for r, c in line for dr, dc in square(across))


def near(a: Ink, b: Ink, margin: int) -> bool:
    """Whether the two inks overlap or come within ``margin`` pixels: with a
    margin of 1, touching pixels count and one blank pixel between keeps apart."""
    return touches(a.grown(margin), b)


def touches(a: Ink, b: Ink) -> bool:
    """Whether the two inks share a pixel."""
    r0, c0 = max(a.row0, b.row0), max(a.col0, b.col0)
    r1, c1 = min(a.row1, b.row1), min(a.col1, b.col1)
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


def _moved(primitive: Primitive, dx: int, dy: int, rows_above: int, unclipped: bool) -> tuple[list, dict]:
    """The primitive's arguments for a canvas whose origin lies ``(dx, dy)``
    display pixels away, ``rows_above`` rows below the figure's top; without
    its clip when ``unclipped``."""
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
    path, transform = gc.get_clip_path()
    if unclipped:
        gc.set_clip_rectangle(None)
        gc.set_clip_path(None)
    else:
        if rectangle is not None:
            gc.set_clip_rectangle(rectangle.translated(dx, dy))
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


def _fill(buffer: np.ndarray, colour) -> None:
    """Paint every pixel of an RGBA buffer ``colour``: one 32-bit store a
    pixel, many times faster than spreading four bytes over each."""
    buffer.view(np.uint32).fill(np.array(colour, np.uint8).view(np.uint32)[0])


class Stage:
    """Draws recorded primitives again, alone, on a canvas over just the pixels
    that are looked at, so that the cost follows what is looked at and not the
    figure's size. The full-render path, which the tests hold the usual one to,
    draws on canvases that span the whole figure instead."""

    def __init__(self, recording: Recording, whole: bool):
        self.recording = recording
        self.whole = whole
        self._settings: tuple | None = None

    def settings(self) -> tuple:
        """The settings that texts rasterise by, as this lint found them."""
        if self._settings is None:
            fonts = font_manager.fontManager
            self._settings = (id(fonts), len(fonts.ttflist),
                              *((k, _hashable(matplotlib.rcParams[k])) for k in _text_settings()))
        return self._settings

    def region(self, box: Box) -> Region:
        return display_to_buffer(box, self.recording.width, self.recording.height)

    def draw(self, primitives: Iterable[Primitive], region: Region, background, *,
             unclipped: bool = False) -> tuple[np.ndarray, Region]:
        """The primitives drawn over the buffer ``region`` on ``background``,
        and the region the returned pixels cover (which holds ``region``)."""
        height = self.recording.height
        r0, c0, r1, c1 = region
        if self.whole:
            r0, c0 = min(r0, 0), min(c0, 0)
            r1, c1 = max(r1, height), max(c1, self.recording.width)
        renderer = RendererAgg(max(c1 - c0, 1), max(r1 - r0, 1), self.recording.dpi)
        buffer = np.asarray(renderer.buffer_rgba())
        _fill(buffer, background)
        for primitive in primitives:
            args, kwargs = _moved(primitive, -c0, r1 - height, r0, unclipped)
            getattr(renderer, primitive.method)(*args, **kwargs)
        return buffer[:r1 - r0, :c1 - c0], (r0, c0, r1, c1)

    def masks(self, primitives: Iterable[Primitive], region: Region, *, unclipped: bool = False) -> tuple[Ink, Ink]:
        """Where the primitives paint within ``region`` on a transparent canvas:
        any ink, and the pixels opaque enough to hide what lies under them."""
        primitives = list(primitives)
        key = _texts_key(primitives, region, unclipped, self)
        if key is not None:
            kept = drawn_texts.get(key)
            if kept is not None:
                return kept
        buffer, (s0, t0, _, _) = self.draw(primitives, region, (0, 0, 0, 0), unclipped=unclipped)
        r0, c0, r1, c1 = region
        pixels = buffer[r0 - s0:r1 - s0, c0 - t0:c1 - t0]
        made = Ink((pixels > TOLERANCE).any(axis=2), r0, c0), Ink(pixels[..., 3] >= OPAQUE, r0, c0)
        if key is not None:
            drawn_texts.put(key, made)
        return made

    def mask(self, primitives: Iterable[Primitive], region: Region, *, opaque: bool = False,
             unclipped: bool = False) -> Ink:
        return self.masks(primitives, region, unclipped=unclipped)[opaque]


class Kept:
    """The masks of texts drawn alone, by everything that decides their
    pixels, the least recently used dropped past a count or a size in bytes:
    a text drawn again (each lint of one figure, a figure shown and then
    saved, a fixed copy of it) is not rasterised again. Shared by threads."""

    def __init__(self, count: int, size: int):
        self.count, self.size = count, size
        self.bytes = 0
        self._masks: OrderedDict[tuple, tuple[Ink, Ink]] = OrderedDict()
        self._lock = threading.Lock()

    def get(self, key: tuple) -> tuple[Ink, Ink] | None:
        with self._lock:
            masks = self._masks.get(key)
            if masks is not None:
                self._masks.move_to_end(key)
            return masks

    def put(self, key: tuple, masks: tuple[Ink, Ink]) -> None:
        size = sum(ink.mask.nbytes for ink in masks)
        if size > self.size:
            return
        for ink in masks:
            ink.mask.flags.writeable = False  # handed to every later lint that draws the same texts
        with self._lock:
            if key in self._masks:
                return
            self._masks[key] = masks
            self.bytes += size
            while len(self._masks) > self.count or self.bytes > self.size:
                _, dropped = self._masks.popitem(last=False)
                self.bytes -= sum(ink.mask.nbytes for ink in dropped)


drawn_texts = Kept(count=4096, size=8 * 2**20)

# What decides how a text rasterises, besides its own arguments: hinting, the
# fonts that a family names, mathtext's fonts.
_TEXT_SETTINGS = ("font.", "text.", "mathtext.")


@functools.cache
def _text_settings() -> tuple[str, ...]:
    return tuple(k for k in matplotlib.rcParams if k.startswith(_TEXT_SETTINGS))


_TEXT_ARGUMENTS = ("gc", "x", "y", "s", "prop", "angle", "ismath", "mtext")


def _texts_key(primitives: list[Primitive], region: Region, unclipped: bool, stage: Stage) -> tuple | None:
    """Everything that decides the pixels of ``primitives`` drawn alone over
    ``region``, when they are all plain texts; else None. A clip path is
    compared by its place only, so texts clipped to one are not kept."""
    if not primitives:
        return None
    texts = []
    for p in primitives:
        text = dict(zip(_TEXT_ARGUMENTS, p.args), **p.kwargs)
        if p.method != "draw_text" or not set(_TEXT_ARGUMENTS[:6]) <= text.keys() <= set(_TEXT_ARGUMENTS):
            return None
        gc, prop = text["gc"], text["prop"]
        if gc.get_clip_path()[0] is not None:
            return None
        clip = gc.get_clip_rectangle()
        texts.append((
            text["x"], text["y"], text["s"], text["angle"], text.get("ismath", False), _shaping(text.get("mtext")),
            (tuple(prop.get_family()), prop.get_style(), prop.get_variant(), prop.get_weight(), prop.get_stretch(),
             prop.get_size_in_points(), prop.get_file(), prop.get_math_fontfamily()),
            tuple(gc.get_rgb()), gc.get_alpha(), gc.get_forced_alpha(), gc.get_antialiased(), gc.get_snap(),
            None if clip is None else tuple(clip.extents.tolist())))
    recording = stage.recording
    return (tuple(texts), region, unclipped, stage.whole, recording.width, recording.height, recording.dpi,
            stage.settings())


def _shaping(mtext) -> tuple:
    """A text's own shaping settings (font features, language), where this
    matplotlib has them."""
    return tuple(_hashable(getattr(mtext, name)()) for name in ("get_fontfeatures", "get_language")
                 if hasattr(mtext, name))


def _hashable(value):
    return tuple(value) if isinstance(value, list) else value


class Inks:
    """Each element's ink, drawn alone on a transparent canvas, kept once made."""

    def __init__(self, recording: Recording, whole: bool = False):
        self.stage = Stage(recording, whole)
        self.dpi = recording.dpi
        self._made: dict[tuple, Any] = {}

    def _kept(self, key: tuple, make):
        ink = self._made.get(key)
        if ink is None:
            ink = self._made[key] = make()
        return ink

    def margin(self, element: Element) -> int:
        """How close another text may come to this element's glyphs."""
        size = font_size(element)
        return proximity(self.dpi) if size is None else text_margin(size, self.dpi)

    def of(self, element: Element) -> Ink:
        # Anti-aliasing may reach a pixel past the measured box.
        def make():
            region = self.stage.region(grow(element.box(), 2))
            drawn = self._unclipped_drawing(element)
            if drawn is None:
                return self.stage.mask(element.primitives, region)
            return Ink(drawn[0].within(region), region[0], region[1])
        return self._kept(("ink", id(element)), make)

    def _unclipped_drawing(self, element: Element) -> tuple[Ink, Ink] | None:
        """The element drawn once past the figure's edges, when nothing clips
        it and it passes them: what shows and what is lost come from one draw."""
        box = element.box()
        figure = self.stage.recording.figure_box
        if any(p.clip is not None for p in element.primitives) or \
                (box[0] >= figure[0] and box[1] >= figure[1] and box[2] <= figure[2] and box[3] <= figure[3]):
            return None
        region = unclamped_region(grow(box, 2), self.stage.recording.height)
        return self._kept(("past the edges", id(element)), lambda: self.stage.masks(element.primitives, region))

    def glyphs(self, element: Element) -> Ink:
        """The ink of the element's texts, without the box or handles around
        them (all of its ink when it drew no text as such: glyphs drawn as
        paths, with a halo)."""
        texts = [p for p in element.primitives if p.method in TEXT_METHODS]
        if not texts or len(texts) == len(element.primitives):
            return self.of(element)
        return self._kept(("glyphs", id(element)),
                          lambda: self.stage.mask(texts, self.stage.region(grow(element.box(), 2))))

    def boxed(self, element: Element) -> Ink:
        """Where the element's own opaque box (its frame, its bbox) hides what lies under it."""
        return self._kept(("boxed", id(element)), lambda: self.stage.mask(
            box_primitives(element), self.stage.region(grow(element.box(), 2)), opaque=True))

    def unclipped(self, element: Element) -> Ink:
        """Where the element paints solidly as it would without its clip, past
        the figure's edges too."""
        drawn = self._unclipped_drawing(element)
        if drawn is not None:
            return drawn[1]
        region = unclamped_region(grow(element.box(), 2), self.stage.recording.height)
        return self._kept(("unclipped", id(element)),
                          lambda: self.stage.mask(element.primitives, region, opaque=True, unclipped=True))

    def near(self, a: Element, b: Element) -> bool:
        """Whether the two elements' glyphs touch, or come within the margin of
        the smaller text along a line of text they share: side by side, they
        read as one. Across the lines (stacked labels), or at different
        angles, the margin is that of marks in general."""
        across = proximity(self.dpi)
        turn_a, turn_b = _rotation(a), _rotation(b)
        reach = max(min(self.margin(a), self.margin(b)), across)
        if abs((turn_a - turn_b + 90) % 180 - 90) >= 1:
            reach, offsets = across, square(across)
        else:
            offsets = along(reach, across, turn_a)
        # The ink lies within the boxes (anti-aliasing a pixel past them): boxes
        # farther apart than the offsets reach cannot come near.
        box_a, box_b = a.box(), b.box()
        apart_x = max(box_b[0] - box_a[2], box_a[0] - box_b[2], 0)
        apart_y = max(box_b[1] - box_a[3], box_a[1] - box_b[3], 0)
        level = turn_a % 180 == 0
        if apart_x > reach + 2 or apart_y > (across if level else reach) + 2:
            return False
        smeared = self._kept(("smeared", id(a), offsets), lambda: self.of(a).smeared(offsets))
        return touches(smeared, self.of(b))

    def painted(self, key, primitives: list[Primitive], box: Box, *, opaque: bool = False) -> Ink:
        """Where ``primitives`` (an axes' face, its frame) paint within ``box``, kept under ``key``."""
        region = self.stage.region(box)
        if not primitives:
            return Ink(np.zeros((region[2] - region[0], region[3] - region[1]), bool), region[0], region[1])
        return self._kept(("painted", key, opaque, box),
                          lambda: self.stage.mask(primitives, region, opaque=opaque))


def _rotation(element: Element) -> float:
    artist = element.artist
    return float(artist.get_rotation()) if isinstance(artist, Text) else 0.0


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
            buffer, region = self.stage.draw(data.primitives, self.stage.region(grow(data.box(), 1)),
                                             (*background, 255))
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

    def colours(self, data: Element, region: Region) -> tuple[np.ndarray, tuple[int, int, int]]:
        """The data drawn on its face over the buffer ``region`` (its face
        colour where it was not drawn), as rows x columns x RGB, and the face."""
        buffer, (s0, t0, s1, t1), background = self._shown(data)
        r0, c0, r1, c1 = region
        out = np.empty((max(r1 - r0, 0), max(c1 - c0, 0), 3), np.int16)
        out[...] = background
        rows = slice(max(r0, s0), min(r1, s1))
        cols = slice(max(c0, t0), min(c1, t1))
        if rows.start < rows.stop and cols.start < cols.stop:
            out[rows.start - r0:rows.stop - r0, cols.start - c0:cols.stop - c0] = \
                buffer[rows.start - s0:rows.stop - s0, cols.start - t0:cols.stop - t0, :3]
        return out, background

    def ink_mask(self, data: Element, region: Region) -> Ink:
        """Where the data shows ink over the buffer ``region``."""
        rgb, background = self.colours(data, region)
        return Ink(differs(rgb, background), region[0], region[1])


def differs(rgb: np.ndarray, background) -> np.ndarray:
    """Pixels of ``rgb`` (rows x columns x 3) that are ink on ``background``."""
    return (np.abs(rgb - np.asarray(background, np.int16)) > TOLERANCE).any(axis=2)


def cover_kind(element: Element) -> str:
    """How an element's texts stand against what lies under them: "faint"
    (translucent text, such as a watermark, that hides nothing), "halo" (text
    outlined by a stroke of its own, readable on anything), "boxed" (an opaque
    box of its own: a legend's frame, a text's bbox, a table's cells) or
    "bare" (glyphs straight on whatever lies under them)."""
    artist = element.artist
    if isinstance(artist, Text):
        alpha = artist.get_alpha()
        if (1.0 if alpha is None else alpha) * to_rgba(artist.get_color())[3] <= FAINT:
            return "faint"
        if any(isinstance(effect, Stroke) for effect in artist.get_path_effects()):
            return "halo"
    box = element.box()
    if box is None:
        return "bare"
    filled = sum(area(p.box) for p in box_primitives(element))
    return "boxed" if filled >= 0.5 * area(box) else "bare"


def box_primitives(element: Element) -> list[Primitive]:
    """The element's filled, opaque paths: the boxes its content sits in."""
    if isinstance(element.artist, Text) and element.artist.get_path_effects():
        return []  # glyphs drawn as paths, not a box
    boxes = []
    for p in element.primitives:
        if p.method != "draw_path" or p.box is None or len(p.args) < 4 or p.args[3] is None:
            continue
        face, gc = to_rgba(p.args[3]), p.args[0]
        alpha = gc.get_alpha() if gc.get_forced_alpha() else face[3]
        if alpha >= OPAQUE / 255:
            boxes.append(p)
    return boxes
