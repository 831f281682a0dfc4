"""Lint a matplotlib figure: render it with Agg, tag every drawn element's box
with a role and a readable id, and let the core decide what collides.

matplotlib is imported only inside the functions here, so ``import tessary``
keeps working without it.
"""

from __future__ import annotations

import fnmatch
import math
from collections.abc import Iterable, Iterator

from tessary._core import Collision, classify, ink_coverage

__all__ = ["collect_boxes", "describe", "display_to_buffer", "find_collisions", "lint", "suppressed"]

Box = tuple[float, float, float, float]
TaggedBox = tuple[Box, Box, str, str]

# The core's own defaults, named here for the keyword defaults and the
# command line's help.
DEFAULT_OVERLAP_FRACTION = 0.02
DEFAULT_CLIP_PX = 1.0

# Share of the covered area that must be data ink before a legend or an
# annotation counts as sitting on data. Anti-aliased edges of a line that only
# grazes the box stay well below it; one line run straight through a legend
# (about 2 px of every 100) passes it only when the legend is small.
DEFAULT_INK_THRESHOLD = 0.05

# Labels longer than this are shortened in ids: the id must stay one line.
_LABEL_MAX = 24


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


def _label(text: str) -> str:
    text = " ".join(str(text).split())
    if len(text) > _LABEL_MAX:
        text = text[: _LABEL_MAX - 1] + "…"
    return "'" + text.replace("'", "’") + "'"


def _finite(box: Box) -> bool:
    return all(math.isfinite(v) for v in box) and box[2] >= box[0] and box[3] >= box[1]


def _extents(bbox) -> Box:
    x0, y0, x1, y1 = (float(v) for v in bbox.extents)
    return (min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1))


def _intersect(a: Box, b: Box) -> Box | None:
    x0, y0 = max(a[0], b[0]), max(a[1], b[1])
    x1, y1 = min(a[2], b[2]), min(a[3], b[3])
    if x1 <= x0 or y1 <= y0:
        return None
    return (x0, y0, x1, y1)


def _text_shown(text) -> bool:
    return text is not None and text.get_visible() and bool(text.get_text().strip())


class _Collector:
    """Walks a drawn figure and records one tagged box per visible element."""

    def __init__(self, fig, renderer):
        self.fig = fig
        self.renderer = renderer
        self.figure_box = _extents(fig.bbox)
        self.boxes: list[TaggedBox] = []
        # Data artists by id, so the over-data check can redraw just them.
        self.data: dict[str, tuple[object, object]] = {}

    def add(self, box: Box, clip: Box, role: str, ident: str) -> None:
        if _finite(box):
            self.boxes.append((box, clip, role, ident))

    def text(self, text, role: str, ident: str) -> None:
        if not _text_shown(text):
            return
        # Only the text itself: an annotation's arrow is not what gets cut off
        # or read over.
        from matplotlib.text import Text

        box = _extents(Text.get_window_extent(text, self.renderer))
        clip = self.figure_box
        # A text clipped to its axes is really cut there, so that is its edge.
        if text.get_clip_on() and text.get_clip_box() is not None:
            clip = _extents(text.get_clip_box())
        self.add(box, clip, role, ident)

    def data_artist(self, artist, ax, box: Box, ident: str) -> None:
        if not _finite(box):
            return
        if artist.get_clip_on() and artist.get_clip_box() is not None:
            # Data is routinely clipped by its axes; only the visible part can
            # be covered, and the clip must never be reported.
            box = _intersect(box, _extents(artist.get_clip_box()))
            if box is None:
                return
        self.add(box, box, "data-artist", ident)
        self.data[ident] = (artist, ax)

    def walk(self) -> None:
        fig = self.fig
        axes = list(fig.axes)
        plain = [ax for ax in axes if not _is_colorbar(ax)]
        bars = [ax for ax in axes if _is_colorbar(ax)]
        children = {id(c) for ax in axes for c in getattr(ax, "child_axes", ())}
        region_seen: set[int] = set()
        for i, ax in enumerate(plain):
            if not ax.get_visible():
                continue
            name = f"ax{i}"
            # Twins and insets share or nest in another axes' area by design.
            if id(ax) not in children and not (_twins(ax) & region_seen):
                self.add(_extents(ax.bbox), self.figure_box, "axes-region", name)
            region_seen.add(id(ax))
            self.axes_decorations(ax, name)
            self.axes_data(ax, name)
        for k, cax in enumerate(bars):
            if not cax.get_visible():
                continue
            name = f"cbar{k}"
            self.add(_extents(cax.bbox), self.figure_box, "colorbar", name)
            self.axes_decorations(cax, name)
        self.figure_decorations(fig, "fig")

    def axes_decorations(self, ax, name: str) -> None:
        for attr, suffix in (("title", "title"), ("_left_title", "title_left"), ("_right_title", "title_right")):
            self.text(getattr(ax, attr, None), "title", f"{name}.{suffix}")
        legend = ax.get_legend()
        if legend is not None and legend.get_visible():
            self.add(_extents(legend.get_window_extent(self.renderer)), self.figure_box, "legend", f"{name}.legend")
        for j, text in enumerate(ax.texts):
            self.text(text, "annotation", f"{name}.annotation[{j}]{_label(text.get_text())}")
        for letter, axis in (("x", ax.xaxis), ("y", ax.yaxis)):
            if not axis.get_visible():
                continue
            self.text(axis.label, "axis-label", f"{name}.{letter}label")
            self.text(axis.get_offset_text(), "tick-label", f"{name}.{letter}offset")
            for which, ticks in (("", _drawn_ticks(axis, minor=False)), ("_minor", _drawn_ticks(axis, minor=True))):
                other = "top" if letter == "x" else "right"
                for side, attr in (("", "label1"), (f"_{other}", "label2")):
                    n = 0
                    for tick in ticks:
                        label = getattr(tick, attr)
                        if _text_shown(label):
                            self.text(label, "tick-label", f"{name}.{letter}tick{which}{side}[{n}]{_label(label.get_text())}")
                            n += 1

    def axes_data(self, ax, name: str) -> None:
        from matplotlib.container import BarContainer

        r = self.renderer
        dpi = self.fig.dpi
        for j, line in enumerate(ax.lines):
            if not line.get_visible():
                continue
            # A straight horizontal or vertical line has a zero-height extent;
            # its stroke still covers half its width on either side.
            pad = line.get_linewidth() * dpi / 72.0 / 2.0
            box = _extents(line.get_window_extent(r).padded(pad))
            self.data_artist(line, ax, box, f"{name}.line[{j}]{_named(line)}")
        for j, coll in enumerate(ax.collections):
            if coll.get_visible():
                self.data_artist(coll, ax, _collection_box(coll, ax, r), f"{name}.collection[{j}]{_named(coll)}")
        for j, image in enumerate(ax.images):
            if image.get_visible():
                self.data_artist(image, ax, _extents(image.get_window_extent(r)), f"{name}.image[{j}]{_named(image)}")
        grouped: set[int] = set()
        for j, container in enumerate(c for c in ax.containers if isinstance(c, BarContainer)):
            patches = [p for p in container.patches if p.get_visible()]
            grouped.update(id(p) for p in container.patches)
            boxes = [b for b in (_extents(p.get_window_extent(r)) for p in patches) if _finite(b)]
            if boxes:
                union = (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes), max(b[3] for b in boxes))
                self.data_artist(_Group(patches), ax, union, f"{name}.bars[{j}]{_named(container)}")
        for j, patch in enumerate(ax.patches):
            if patch.get_visible() and id(patch) not in grouped:
                self.data_artist(patch, ax, _extents(patch.get_window_extent(r)), f"{name}.patch[{j}]{_named(patch)}")

    def figure_decorations(self, fig, name: str) -> None:
        self.text(getattr(fig, "_suptitle", None), "suptitle", f"{name}.suptitle")
        self.text(getattr(fig, "_supxlabel", None), "axis-label", f"{name}.supxlabel")
        self.text(getattr(fig, "_supylabel", None), "axis-label", f"{name}.supylabel")
        for j, legend in enumerate(fig.legends):
            if legend.get_visible():
                self.add(_extents(legend.get_window_extent(self.renderer)), self.figure_box, "legend", f"{name}.legend[{j}]")
        own = {id(getattr(fig, a, None)) for a in ("_suptitle", "_supxlabel", "_supylabel")}
        for j, text in enumerate(t for t in fig.texts if id(t) not in own):
            self.text(text, "annotation", f"{name}.text[{j}]{_label(text.get_text())}")


class _Group:
    """Draws several artists as one data artist (the bars of one bar call)."""

    def __init__(self, artists):
        self.artists = artists

    def draw(self, renderer) -> None:
        for a in self.artists:
            a.draw(renderer)


def _collection_box(coll, ax, renderer) -> Box:
    box = _extents(coll.get_window_extent(renderer))
    if _finite(box):
        return box
    # Markers placed at data offsets (scatter) have no window extent of their
    # own: take the offsets' extent and widen it by the largest marker.
    datalim = coll.get_datalim(ax.transData)
    box = _extents(datalim.transformed(ax.transData))
    if not _finite(box):
        return box
    import numpy as np

    sizes = coll.get_sizes() if hasattr(coll, "get_sizes") else ()
    widths = coll.get_linewidths()
    points = (math.sqrt(float(np.max(sizes))) / 2 if len(sizes) else 0.0) + (float(np.max(widths)) if len(widths) else 0.0)
    pad = points * ax.figure.dpi / 72.0
    return (box[0] - pad, box[1] - pad, box[2] + pad, box[3] + pad)


def _named(artist) -> str:
    label = artist.get_label() if hasattr(artist, "get_label") else None
    # matplotlib's own placeholder labels ("_child3", "_nolegend_") name nothing.
    if not label or str(label).startswith("_"):
        return ""
    return _label(label)


def _is_colorbar(ax) -> bool:
    return getattr(ax, "_colorbar", None) is not None


def _twins(ax) -> set[int]:
    group = getattr(ax, "_twinned_axes", None)
    if group is None:
        return set()
    return {id(a) for a in group.get_siblings(ax) if a is not ax}


def _drawn_ticks(axis, *, minor: bool):
    # Only the ticks inside the view interval are drawn; the public tick lists
    # also hold spares outside it.
    update = getattr(axis, "_update_ticks", None)
    if update is not None:
        major_minor = update()
        wanted = set(map(id, axis.get_minor_ticks() if minor else axis.get_major_ticks()))
        return [t for t in major_minor if id(t) in wanted]
    return axis.get_minor_ticks() if minor else axis.get_major_ticks()


def collect_boxes(fig, renderer) -> tuple[list[TaggedBox], dict]:
    """Tagged boxes of every visible element of a figure already drawn with
    ``renderer``, and the data artists by id."""
    collector = _Collector(fig, renderer)
    collector.walk()
    return collector.boxes, collector.data


def _face_rgb(ax, fig) -> tuple[int, int, int]:
    """The colour a viewer sees behind the data of ``ax``: its face over the
    figure's face over white."""
    from matplotlib.colors import to_rgba

    rgb = [1.0, 1.0, 1.0]
    for colour in (fig.get_facecolor(), ax.patch.get_facecolor() if ax.patch.get_visible() else (0, 0, 0, 0)):
        r, g, b, a = to_rgba(colour)
        rgb = [a * c + (1 - a) * under for c, under in zip((r, g, b), rgb)]
    return tuple(int(round(255 * c)) for c in rgb)


def suppressed(collision: Collision, patterns: Iterable[str]) -> bool:
    """Whether ``patterns`` name the collision's kind or either of its ids."""
    patterns = tuple(patterns)
    return (
        collision.kind in patterns
        or any(fnmatch.fnmatchcase(collision.a_id, p) for p in patterns)
        or any(fnmatch.fnmatchcase(collision.b_id, p) for p in patterns)
    )


def _over_data(fig, candidates, data, threshold: float) -> Iterator[Collision]:
    import numpy as np
    from matplotlib.backends.backend_agg import RendererAgg

    if not candidates:
        return
    width, height = (int(round(v)) for v in fig.bbox.size)
    renderer = RendererAgg(width, height, fig.dpi)
    buffer = None
    drawn: str | None = None
    for cand in candidates:
        region = _intersect(cand.decoration_box, cand.data_box)
        if region is None:
            continue
        artist, ax = data[cand.data_id]
        bg = _face_rgb(ax, fig)
        if drawn != cand.data_id:
            # The artist alone on a plain face: whatever differs from the face
            # is this artist's ink, not gridlines, labels or other data.
            renderer.clear()
            buffer = np.asarray(renderer.buffer_rgba())
            buffer[...] = (*bg, 255)
            artist.draw(renderer)
            drawn = cand.data_id
        coverage = ink_coverage(buffer, display_to_buffer(region, width, height), bg)
        if coverage > threshold:
            yield Collision(
                "over_data",
                cand.decoration_role,
                cand.decoration_id,
                cand.decoration_box,
                "data-artist",
                cand.data_id,
                cand.data_box,
                coverage,
            )


def find_collisions(
    fig,
    *,
    overlap_fraction: float = DEFAULT_OVERLAP_FRACTION,
    clip_px: float = DEFAULT_CLIP_PX,
    ink_threshold: float = DEFAULT_INK_THRESHOLD,
    ignore: Iterable[str] = (),
) -> list[Collision]:
    """The collisions :func:`lint` reports, as a plain list."""
    from matplotlib.backends.backend_agg import FigureCanvasAgg

    patterns = tuple(ignore)
    old_canvas = fig.canvas
    canvas = old_canvas if isinstance(old_canvas, FigureCanvasAgg) else FigureCanvasAgg(fig)
    try:
        canvas.draw()
        renderer = canvas.get_renderer()
        boxes, data = collect_boxes(fig, renderer)
        collisions, candidates = classify(boxes, overlap_fraction=overlap_fraction, clip_px=clip_px)
        # Sorted so that one artist is drawn once for all its candidates.
        candidates = sorted(candidates, key=lambda c: c.data_id)
        collisions = list(collisions) + list(_over_data(fig, candidates, data, ink_threshold))
    finally:
        if canvas is not old_canvas:
            fig.set_canvas(old_canvas)
    return [c for c in collisions if not suppressed(c, patterns)]


def lint(
    fig,
    *,
    overlap_fraction: float = DEFAULT_OVERLAP_FRACTION,
    clip_px: float = DEFAULT_CLIP_PX,
    ink_threshold: float = DEFAULT_INK_THRESHOLD,
    ignore: Iterable[str] = (),
):
    """Render ``fig`` with Agg and report its layout collisions.

    - ``overlap_fraction``: share of the smaller of two elements that must be
      covered before they count as overlapping.
    - ``clip_px``: pixels an element may pass its clip box (the figure's edge,
      or a clip box that really cuts it) before it counts as clipped.
    - ``ink_threshold``: share of the area where a legend or annotation meets a
      data artist that must be that artist's ink for an "over_data" finding.
    - ``ignore``: collision kinds, or fnmatch patterns of element ids; a
      collision is dropped when its kind or either id matches.
    """
    from tessary._core import CollisionReport

    return CollisionReport(
        find_collisions(
            fig,
            overlap_fraction=overlap_fraction,
            clip_px=clip_px,
            ink_threshold=ink_threshold,
            ignore=ignore,
        )
    )


def describe(collision: Collision) -> str:
    """One readable line: kind, the two ids and the severity."""
    if collision.kind == "clipping":
        return f"clipping         {collision.a_id} is cut off by {collision.severity:.1f} px"
    return f"{collision.kind:<16} {collision.a_id} / {collision.b_id}: severity {collision.severity:.3f}"
