"""Record a figure as it is drawn: which artist issued each drawing primitive,
and where it landed.

While a figure draws onto a :class:`Recorder`, the ``draw`` method of every
artist class pushes its artist onto the recorder's stack, and each primitive
that reaches the recorder is credited to the innermost artist. An artist that
issued no primitive was not drawn; an artist moved at draw time (by an axes
locator, a layout engine or a 3D projection) is recorded where it was drawn.
"""

from __future__ import annotations

import functools
import io
import logging
import math
import threading
from collections.abc import Iterator
from contextlib import contextmanager
from dataclasses import dataclass, field
from typing import Any

import numpy as np
from matplotlib.artist import Artist
from matplotlib.backend_bases import GraphicsContextBase
from matplotlib.backends.backend_agg import FigureCanvasAgg, RendererAgg
from matplotlib.path import Path
from matplotlib.text import Text
from matplotlib.transforms import Bbox

from tessary._mpl import AxesBase

Box = tuple[float, float, float, float]
log = logging.getLogger("tessary")

# The renderer methods through which everything reaches the pixels. Agg draws
# mathtext from inside draw_text, so draw_mathtext is not one of them.
PRIMITIVES = (
    "draw_path",
    "draw_markers",
    "draw_path_collection",
    "draw_quad_mesh",
    "draw_gouraud_triangles",
    "draw_image",
    "draw_text",
    "draw_tex",
)


@dataclass(eq=False)
class Primitive:
    """One drawing call: enough to replay it, and the box it covers."""

    method: str
    args: tuple
    kwargs: dict
    box: Box | None  # display pixels, y up; None when it draws nothing
    clip: Box | None  # the rectangle it was clipped to, if any

    @property
    def visible_box(self) -> Box | None:
        """The part of the box inside the clip rectangle."""
        if self.box is None or self.clip is None:
            return self.box
        return intersection(self.box, self.clip)


@dataclass(eq=False)
class Drawn:
    """An artist as the draw met it: who drew it and what it drew itself."""

    artist: Any
    parent: Drawn | None
    order: int
    primitives: list[Primitive] = field(default_factory=list)
    # An axes' position as it was drawn: a locator may move it again later in
    # the same draw (axes sharing one divider).
    region: Box | None = None

    def chain(self) -> Iterator[Drawn]:
        """This artist, then whoever drew it, up to the figure."""
        drawn: Drawn | None = self
        while drawn is not None:
            yield drawn
            drawn = drawn.parent


@dataclass(eq=False)
class Recording:
    width: int
    height: int
    dpi: float
    drawn: dict[int, Drawn] = field(default_factory=dict)  # by id(artist), in first-draw order

    def __iter__(self) -> Iterator[Drawn]:
        return iter(self.drawn.values())

    def get(self, artist) -> Drawn | None:
        return self.drawn.get(id(artist))

    @property
    def figure_box(self) -> Box:
        return (0.0, 0.0, float(self.width), float(self.height))


def union(boxes) -> Box | None:
    boxes = [b for b in boxes if b is not None]
    if not boxes:
        return None
    return (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes), max(b[3] for b in boxes))


def intersection(a: Box, b: Box) -> Box | None:
    x0, y0, x1, y1 = max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])
    if x1 <= x0 or y1 <= y0:
        return None
    return (x0, y0, x1, y1)


def _bounds(points) -> Box | None:
    """The box of the finite points of an (n, 2) array."""
    points = np.asarray(points, dtype=float).reshape(-1, 2)
    if not len(points):
        return None
    # Every primitive is measured while the figure draws: a few plain floats
    # cost less to check than more numpy calls.
    x0, y0 = points.min(axis=0).tolist()
    x1, y1 = points.max(axis=0).tolist()
    if not all(map(math.isfinite, (x0, y0, x1, y1))):
        # Gaps (NaN) and points at infinity draw nothing: leave them out.
        points = points[np.isfinite(points).all(axis=1)]
        if not len(points):
            return None
        x0, y0 = points.min(axis=0).tolist()
        x1, y1 = points.max(axis=0).tolist()
    return (x0, y0, x1, y1)


def _grow(box: Box | None, by: float) -> Box | None:
    if box is None or by <= 0:
        return box
    return (box[0] - by, box[1] - by, box[2] + by, box[3] + by)


def _path_points(path: Path) -> np.ndarray:
    """The vertices that a path draws through (STOP and CLOSEPOLY carry none)."""
    vertices = path.vertices
    if path.codes is None:
        return vertices
    return vertices[(path.codes != Path.STOP) & (path.codes != Path.CLOSEPOLY)]


def _visible(colour) -> bool:
    return colour is not None and (len(colour) < 4 or colour[3] > 0)


class Recorder(RendererAgg):
    """An Agg renderer that records every primitive it receives, crediting it to
    the artist being drawn. With ``render=False`` it records and draws nothing."""

    def __init__(self, width, height, dpi, *, render: bool = True):
        self.render = render
        self.in_use = False  # drawing for a lint that has not ended: not to be handed out again
        self.recording = Recording(int(width), int(height), float(dpi))
        self._stack: list[Drawn] = []
        self._metrics: dict[tuple, tuple[float, float, float]] = {}
        # Drawing nothing, it needs no pixels: a buffer the figure's size
        # would be most of a lint's memory at a high dpi. The figure's size
        # is what it reports all the same, as layouts ask for it.
        super().__init__(width if render else 1, height if render else 1, dpi)
        self.width, self.height = width, height
        self.bbox = Bbox.from_bounds(0, 0, width, height)

    def reset(self) -> None:
        """Ready for another draw: nothing recorded, no artist being drawn."""
        self.recording = Recording(self.recording.width, self.recording.height, self.recording.dpi)
        self._stack = []
        if len(self._metrics) > METRICS_KEPT:
            self._metrics.clear()

    # -- the artist stack, driven by the tracked draw methods --

    def enter(self, artist) -> None:
        if not self._stack and self.recording.drawn:
            # A new frame: savefig lays a figure out with a draw of its own
            # (its layout engine, a tight box) before the one it saves.
            self.recording = Recording(self.recording.width, self.recording.height, self.recording.dpi)
        drawn = self.recording.drawn.get(id(artist))
        if drawn is None:
            parent = self._stack[-1] if self._stack else None
            drawn = Drawn(artist, parent, len(self.recording.drawn))
            self.recording.drawn[id(artist)] = drawn
        self._stack.append(drawn)

    def leave(self, artist) -> None:
        drawn = self._stack.pop()
        if isinstance(artist, AxesBase):
            drawn.region = tuple(float(v) for v in artist.bbox.extents)

    # An agg filter redraws what it filters on a canvas of the figure's size;
    # drawing nothing, there is nothing to filter.
    def start_filter(self):
        if self.render:
            super().start_filter()

    def stop_filter(self, post_processing):
        if self.render:
            super().stop_filter(post_processing)

    # -- primitives --

    def _record(self, method: str, args: tuple, kwargs: dict) -> None:
        if not self._stack:
            return
        gc, rest = args[0], args[1:]
        box = getattr(self, "_extent_" + method)(gc, *rest, **kwargs)
        # The caller may change its graphics context after the call; keep a copy.
        copy = GraphicsContextBase()
        copy.copy_properties(gc)
        self._stack[-1].primitives.append(Primitive(method, (copy, *rest), kwargs, box, _clip_of(gc)))

    def _stroke(self, gc) -> float:
        """Half the stroke width in pixels, 0 when nothing is stroked."""
        width = gc.get_linewidth()
        if not width or not _visible(gc.get_rgb()) or gc.get_alpha() == 0:
            return 0.0
        return self.points_to_pixels(width) / 2.0

    def _extent_draw_path(self, gc, path, transform, rgbFace=None):
        stroke = self._stroke(gc)
        if not stroke and not (_visible(rgbFace) or gc.get_hatch()):
            return None
        return _grow(_bounds(transform.transform(_path_points(path))), stroke)

    def _extent_draw_markers(self, gc, marker_path, marker_trans, path, trans, rgbFace=None):
        stroke = self._stroke(gc)
        if not stroke and not _visible(rgbFace):
            return None
        marker = _bounds(marker_trans.transform(_path_points(marker_path)))
        places = _bounds(trans.transform(path.vertices))
        if marker is None or places is None:
            return None
        return _grow((places[0] + marker[0], places[1] + marker[1], places[2] + marker[2], places[3] + marker[3]), stroke)

    def _extent_draw_path_collection(self, gc, master_transform, paths, all_transforms, offsets, offset_trans,
                                     facecolors, edgecolors, linewidths, *rest, **kwargs):
        if not len(paths):
            return None
        faces = len(facecolors) and np.any(np.asarray(facecolors, dtype=float).reshape(-1, 4)[:, 3] > 0)
        edges = len(edgecolors) and np.any(np.asarray(edgecolors, dtype=float).reshape(-1, 4)[:, 3] > 0)
        widths = np.asarray(linewidths, dtype=float) if len(linewidths) else np.array([gc.get_linewidth()])
        stroke = self.points_to_pixels(float(np.max(widths))) / 2.0 if edges else 0.0
        if not faces and not stroke:
            return None
        # Each drawn item is a path under its own transform, then the master
        # transform, then shifted to its offset.
        shape = _bounds(np.concatenate([_path_points(p) for p in paths]))
        if shape is None:
            return None
        corners = np.array([[shape[0], shape[1], 1], [shape[2], shape[1], 1],
                            [shape[0], shape[3], 1], [shape[2], shape[3], 1]])
        matrices = np.asarray(all_transforms, dtype=float).reshape(-1, 3, 3) if len(all_transforms) else np.eye(3)[None]
        placed = np.einsum("nij,kj->nki", matrices, corners)[..., :2].reshape(-1, 2)
        item = _bounds(master_transform.transform(placed))
        if item is None:
            return None
        if len(offsets):
            places = _bounds(offset_trans.transform(np.asarray(offsets, dtype=float)))
            if places is None:
                return None
            item = (places[0] + item[0], places[1] + item[1], places[2] + item[2], places[3] + item[3])
        return _grow(item, stroke)

    def _extent_draw_quad_mesh(self, gc, master_transform, mesh_width, mesh_height, coordinates, offsets,
                               offset_trans, *rest, **kwargs):
        box = _bounds(master_transform.transform(np.asarray(coordinates, dtype=float).reshape(-1, 2)))
        if box is not None and len(offsets):
            places = _bounds(offset_trans.transform(np.asarray(offsets, dtype=float)))
            if places is not None:
                box = (places[0] + box[0], places[1] + box[1], places[2] + box[2], places[3] + box[3])
        return box

    def _extent_draw_gouraud_triangles(self, gc, triangles, colors, transform):
        return _bounds(transform.transform(np.asarray(triangles, dtype=float).reshape(-1, 2)))

    def _extent_draw_image(self, gc, x, y, im, transform=None):
        height, width = im.shape[:2]
        if not width or not height:
            return None
        return (float(x), float(y), float(x + width), float(y + height))

    def _text_extent(self, x, y, text, prop, angle, ismath) -> Box | None:
        if not text.strip():
            return None  # a blank line spaces the text out; it holds no ink
        key = (text, prop, ismath)
        metrics = self._metrics.get(key)
        if metrics is None:
            metrics = self._metrics[key] = self.get_text_width_height_descent(text, prop, ismath)
        width, height, descent = metrics
        if width <= 0 or height <= 0:
            return None
        # Texts arrive with y measured from the top (the renderer flips y for
        # them); the box is the line's ink box around its baseline anchor.
        cos, sin = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        anchor_x, anchor_y = x, self.height - y
        corners = [(0, -descent), (width, -descent), (width, height - descent), (0, height - descent)]
        xs = [anchor_x + cx * cos - cy * sin for cx, cy in corners]
        ys = [anchor_y + cx * sin + cy * cos for cx, cy in corners]
        return (min(xs), min(ys), max(xs), max(ys))

    def _extent_draw_text(self, gc, x, y, s, prop, angle, ismath=False, mtext=None):
        return self._text_extent(x, y, s, prop, angle, ismath)

    def _extent_draw_tex(self, gc, x, y, s, prop, angle, *, mtext=None):
        return self._text_extent(x, y, s, prop, angle, "TeX")


def _primitive(name: str) -> property:
    """A recording stand-in for one renderer method.

    Agg binds some primitives as instance attributes, and binds them again
    around agg filters; as a data descriptor on the class this sees those
    assignments, keeps the bound target, and still records every call."""

    def get(self):
        target = self.__dict__.get("_agg_" + name) or getattr(super(Recorder, self), name)

        def call(*args, **kwargs):
            self._record(name, args, kwargs)
            if self.render:
                return target(*args, **kwargs)
            return None

        call.target = target
        return call

    def set(self, value):
        # savefig's layout pass swaps the primitives for no-ops and puts back
        # what it read, a stand-in: kept as such, every call would record twice.
        self.__dict__["_agg_" + name] = getattr(value, "target", value)

    return property(get, set)


for _name in PRIMITIVES:
    setattr(Recorder, _name, _primitive(_name))


def _clip_of(gc) -> Box | None:
    clip = None
    rectangle = gc.get_clip_rectangle()
    if rectangle is not None:
        clip = tuple(rectangle.extents.tolist())
    path, transform = gc.get_clip_path()
    if path is not None:
        outline = _bounds(transform.transform(_path_points(path)))
        if outline is not None:
            clip = outline if clip is None else (intersection(clip, outline) or (clip[0], clip[1], clip[0], clip[1]))
    return clip


class RecordingCanvas(FigureCanvasAgg):
    """An Agg canvas whose renderer is a :class:`Recorder`, so that layout
    engines measure with it and a draw records into it."""

    def __init__(self, figure, *, render: bool = True):
        self._render = render
        self.last_recorder: Recorder | None = None
        self.recorders: list[Recorder] = []
        super().__init__(figure)

    def get_renderer(self):
        width, height = self.get_width_height(physical=True)
        key = (width, height, self.figure.dpi)
        if getattr(self, "_recorder_key", None) != key:
            if self._render:
                # Its picture belongs to the lint's result, and goes with it.
                self.renderer = Recorder(*key)
            else:
                self.renderer = _reused_recorder(key)
                self.renderer.in_use = True
                self.recorders.append(self.renderer)
            self._recorder_key = key
        self.last_recorder = self.renderer
        return self.renderer


# Text metrics are cached per renderer (matplotlib's own cache and ours), so
# recorders that draw nothing (and so hold no pixels) are reused: a new one
# would measure every string again. Each thread keeps its own few, since a
# recorder holds the state of one draw.
RECORDERS_KEPT = 4
METRICS_KEPT = 20_000
_kept = threading.local()


def _reused_recorder(key: tuple) -> Recorder:
    recorders = getattr(_kept, "recorders", None)
    if recorders is None:
        recorders = _kept.recorders = {}
    recorder = recorders.pop(key, None)
    if recorder is None or recorder.in_use:
        # A lint inside a draw of another (a draw_event callback) draws on a recorder of its own.
        recorder = Recorder(*key, render=False)
    recorder.reset()
    recorders[key] = recorder
    while len(recorders) > RECORDERS_KEPT:
        del recorders[next(iter(recorders))]
    return recorder


# -- tracking which artist is drawing --

_install_lock = threading.Lock()
_installed: dict[type, Any] = {}
_users = 0


def _tracked(draw):
    @functools.wraps(draw)
    def tracked_draw(artist, renderer, *args, **kwargs):
        if not isinstance(renderer, Recorder):
            return draw(artist, renderer, *args, **kwargs)
        renderer.enter(artist)
        try:
            return draw(artist, renderer, *args, **kwargs)
        finally:
            renderer.leave(artist)

    return tracked_draw


def _artist_classes() -> list[type]:
    """Every artist class loaded now that defines its own draw."""
    found, todo, seen = [], [Artist], set()
    while todo:
        cls = todo.pop()
        if cls in seen:
            continue
        seen.add(cls)
        todo.extend(cls.__subclasses__())
        if "draw" in cls.__dict__:
            found.append(cls)
    return found


@contextmanager
def tracking() -> Iterator[None]:
    """Track draws on every artist class for the duration. The patch is
    process-wide, so it is shared by concurrent users and removed by the last;
    draws onto renderers other than a Recorder pass straight through."""
    global _users
    with _install_lock:
        if _users == 0:
            for cls in _artist_classes():
                _installed[cls] = cls.__dict__["draw"]
                cls.draw = _tracked(cls.__dict__["draw"])
        _users += 1
    try:
        yield
    finally:
        with _install_lock:
            _users -= 1
            if _users == 0:
                for cls, draw in _installed.items():
                    cls.draw = draw
                _installed.clear()


def record(figure, *, render: bool = True, save: dict | None = None) -> tuple[Recording, Recorder]:
    """Draw ``figure`` once onto a recorder and return what it recorded, and
    the recorder, whose buffer holds the picture when ``render`` is true.

    With ``save`` (``dpi``, ``bbox_inches``, ``pad_inches``), the figure is
    drawn as ``savefig`` with those arguments saves it; otherwise as shown.
    The figure, its canvas and its dpi are left as they were."""
    _settle(figure)
    old_canvas = figure.canvas
    canvas = RecordingCanvas(figure, render=render)
    try:
        # The callbacks ran as the figure settled; run again, one that draws would draw over the recording.
        with tracking(), canvas.callbacks.blocked(signal="draw_event"):
            if save is None:
                canvas.draw()
            else:
                # The raw format draws exactly what a PNG would hold, without
                # encoding it; its bytes are the recorder's buffer, not copied.
                canvas.print_figure(_Discarded(), format="raw", **save)
        # The frame that was drawn last: a tight bounding box is found with a
        # first, empty pass of its own.
        recorder = canvas.last_recorder
    finally:
        figure.set_canvas(old_canvas)
        for used in canvas.recorders:
            used.in_use = False
    recording = recorder.recording
    # Texts keep the renderer they were drawn with; they need not keep the record.
    recorder.reset()
    if render:
        _let_go_of_pictures(figure)
    return recording, recorder


def _let_go_of_pictures(figure) -> None:
    """Texts keep the renderer that last measured or drew them, in
    matplotlib's private ``Text._renderer``: kept there, a picture drawn for
    a lint's result would live on with the figure after the result is gone.
    Without one, a text measures itself with its figure's renderer."""
    for text in figure.findobj(Text):
        renderer = getattr(text, "_renderer", None)
        if isinstance(renderer, Recorder) and renderer.render:
            text._renderer = None


class _Discarded(io.RawIOBase):
    """A file that keeps nothing written to it."""

    def writable(self) -> bool:
        return True

    def write(self, data) -> int:
        return memoryview(data).nbytes


_settling: set[int] = set()


def _settle(figure) -> None:
    """Run the figure's ``draw_event`` callbacks once, as its window or
    ``savefig`` would before a reader sees it: a callback may adjust the
    figure (room for long tick labels) and draw it again."""
    if not figure.canvas.callbacks.callbacks.get("draw_event") or id(figure) in _settling:
        return
    _settling.add(id(figure))
    try:
        figure.draw_without_rendering()
    except Exception as error:  # noqa: BLE001 - the callback's failure is the script's, not the lint's
        log.info("%s: a draw_event callback failed: %s: %s", figure, type(error).__name__, error)
    finally:
        _settling.discard(id(figure))
