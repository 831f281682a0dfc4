"""Where a text may go to clear its findings: a new alignment, then the
nearest moves, screened on the pixels before they are linted. A text that
labels something (a point, a bar, a contour line) keeps to what it labels: it
moves only within reach of it, or not at all; a move clears with the margin
twice over and touches no text it did not touch.
"""

from __future__ import annotations

import math
from collections.abc import Iterator
from dataclasses import dataclass

from tessary.remedies import MOVE, PLACEMENT, Remedy, key

# Offsets to try for a text, in pixels, nearest first: rings of 16 directions.
TEXT_STEPS = (6, 12, 18, 24, 36, 48, 72, 96)
TEXT_TRIES = 3  # moves of one text that are linted, once screened on the pixels
# Roles a reader reads: a text moved must not come to touch one of them.
READ = frozenset({"annotation", "title", "suptitle", "axis-label", "tick-label", "legend"})
HORIZONTAL = {"left": 0.0, "center": -0.5, "right": -1.0}
VERTICAL = {"bottom": 0.0, "baseline": 0.0, "center_baseline": -0.5, "center": -0.5, "top": -1.0}


def text_places(search, text, collisions) -> list[Remedy]:
    """New alignments, then the nearest moves, that screen clear of every
    finding of the text at once, with room to spare, and keep it by what it labels."""
    name = search.names.get(id(text.artist))
    if name is None or not collisions:
        return []
    reach = search.reach(text)
    if reach is None:
        return []
    targets, own = frozenset(key(c) for c in collisions), frozenset({text.ident})
    screen = Screen(search, text, collisions, reach)
    found = []
    for code, box in _alignments(text, name):
        if screen.clear(box):
            found.append(Remedy(code, "aligned so, the text clears what it met", PLACEMENT, own, targets))
    if reach.free or reach.within is not None or reach.radius:
        found += list(_moves(search, text, name, screen, own, targets))
    return found


def _alignments(text, name) -> Iterator[tuple[str, tuple]]:
    artist = text.artist
    if artist.get_rotation() % 360:
        return
    box = text.box()
    width, height = box[2] - box[0], box[3] - box[1]
    ha, va = artist.get_horizontalalignment(), artist.get_verticalalignment()
    if ha not in HORIZONTAL or va not in VERTICAL:
        return
    for new_ha in HORIZONTAL:
        for new_va in ("bottom", "center", "top"):
            if (new_ha, new_va) == (ha, va):
                continue
            dx = (HORIZONTAL[new_ha] - HORIZONTAL[ha]) * width
            dy = (VERTICAL[new_va] - VERTICAL[va]) * height
            change = ", ".join(f"{k}={v!r}" for k, v, old in (("ha", new_ha, ha), ("va", new_va, va)) if v != old)
            yield f"{name}.set({change})", (box[0] + dx, box[1] + dy, box[2] + dx, box[3] + dy)


def _moves(search, text, name, screen, own, targets) -> Iterator[Remedy]:
    artist = text.artist
    try:
        x, y = (float(v) for v in artist.get_unitless_position())
        transform = artist.get_transform()
        anchor = transform.transform((x, y))
        inverse = transform.inverted()
    except (TypeError, ValueError):
        return
    box, tried = text.box(), 0
    for dx, dy in screen.offsets():
        moved = (box[0] + dx, box[1] + dy, box[2] + dx, box[3] + dy)
        if not screen.clear(moved):
            continue
        nx, ny = inverse.transform((anchor[0] + dx, anchor[1] + dy))
        if not (math.isfinite(nx) and math.isfinite(ny)):
            continue
        yield Remedy(f"{name}.set_position(({nx:.6g}, {ny:.6g}))",
                     f"moved by ({dx:+.0f}, {dy:+.0f}) px the text is clear, with room to spare", MOVE, own, targets)
        tried += 1
        if tried == TEXT_TRIES:
            return


@dataclass(frozen=True)
class Reach:
    """How far a text may go: anywhere (``free``), within ``radius`` pixels of
    the point it labels, or inside the box of the patch it labels."""

    free: bool = False
    point: tuple[float, float] | None = None
    radius: float = 0.0
    within: tuple | None = None

    def allows(self, box) -> bool:
        from tessary.record import intersection

        if self.free:
            return True
        if self.within is not None:
            return intersection(box, self.within) == box
        if self.point is None:
            return False
        dx = max(box[0] - self.point[0], 0, self.point[0] - box[2])
        dy = max(box[1] - self.point[1], 0, self.point[1] - box[3])
        return math.hypot(dx, dy) <= self.radius


class Screen:
    """Whether a text's new box clears all its findings with room to spare,
    touches no text it did not touch, and stays by what it labels."""

    def __init__(self, search, text, collisions, reach: Reach):
        from tessary import ink

        self.search, self.text, self.reach = search, text, reach
        self.collisions = collisions
        dpi = search.recording.dpi
        size = ink.font_size(text)
        self.margin = ink.proximity(dpi) if size is None else ink.text_margin(size, dpi)
        self.data = ink.Data(search.recording, search.fig) if any(c.kind == "over_data" for c in collisions) \
            else None
        self.threshold = search.options.get("ink_threshold", 0.05) / 2
        self.near_before = {e.ident for e in self._readable() if _meets(_grow(text.box(), self.margin), e.box())}

    def _readable(self):
        return [e for e in self.search.elements.values() if e.role in READ and e.ident != self.text.ident
                and e.box() is not None]

    def clear(self, box) -> bool:
        from tessary.record import intersection

        if intersection(box, self.search.recording.figure_box) != box or not self.reach.allows(box):
            return False
        room = _grow(box, 2 * self.margin)
        for c in self.collisions:
            other = self.search.elements.get(c.b_id if c.a_id == self.text.ident else c.a_id)
            if c.kind == "clipping":
                if intersection(_grow(box, self.margin), c.b_box) != _grow(box, self.margin):
                    return False
            elif other is None:
                return False
            elif c.kind == "over_data":
                if self.data is None or self.data.coverage(other, room) > self.threshold:
                    return False
            elif _meets(room, other.box()):
                return False
        return not any(_meets(_grow(box, self.margin), e.box()) for e in self._readable()
                       if e.ident not in self.near_before and e.region is None)

    def offsets(self) -> Iterator[tuple[int, int]]:
        box = self.text.box()
        for c in self.collisions:
            if c.kind == "clipping":
                # Just far enough back inside what clips it, and the margin twice more.
                clip, extra = c.b_box, 2 * self.margin + 1
                dx = max(clip[0] - box[0], 0) - max(box[2] - clip[2], 0)
                dy = max(clip[1] - box[1], 0) - max(box[3] - clip[3], 0)
                yield (round(dx + math.copysign(extra, dx)) if dx else 0,
                       round(dy + math.copysign(extra, dy)) if dy else 0)
        for step in TEXT_STEPS:
            for k in range(16):
                angle = 2 * math.pi * k / 16
                yield round(step * math.cos(angle)), round(step * math.sin(angle))


def _meets(a, b) -> bool:
    from tessary.record import intersection

    return a is not None and b is not None and intersection(a, b) is not None


def _grow(box, by: float):
    return (box[0] - by, box[1] - by, box[2] + by, box[3] + by)


def reach(text, fig) -> Reach | None:
    """How far the text may move and keep to what it labels; None: not at all
    (a contour label in its line's gap, a text of the figure itself)."""
    from matplotlib.contour import ContourSet
    from matplotlib.patches import Patch
    from matplotlib.text import Annotation

    artist = text.artist
    axes = artist.axes
    if axes is None:
        return None  # the figure's own texts are placed by the layout, not moved
    if any(isinstance(c, ContourSet) and artist in getattr(c, "labelTexts", ()) for c in axes.collections):
        return None
    box = text.box()
    height = box[3] - box[1]
    if isinstance(artist, Annotation):
        if artist.arrow_patch is not None:
            return Reach(free=True)  # the arrow keeps pointing at what it labels
        point = _annotated_point(artist, axes, fig)
        return None if point is None else Reach(point=point, radius=max(height, 8.0))
    transform = artist.get_transform()
    if transform in (axes.transAxes, fig.transFigure):
        return Reach(free=True)
    point = tuple(transform.transform(artist.get_unitless_position()))
    for patch in axes.patches:
        if isinstance(patch, Patch) and patch is not axes.patch and patch.get_visible() and \
                patch.contains_point(point):
            extent = patch.get_window_extent()
            return Reach(within=(extent.x0, extent.y0, extent.x1, extent.y1))
    return Reach(point=point, radius=max(height, 8.0))


def _annotated_point(annotation, axes, fig) -> tuple[float, float] | None:
    """Where, in pixels, the point an annotation labels is; None for
    coordinates other than data, axes or figure fractions."""
    transforms = {"data": axes.transData, "axes fraction": axes.transAxes, "figure fraction": fig.transFigure}
    transform = transforms.get(annotation.xycoords) if isinstance(annotation.xycoords, str) else None
    if transform is None:
        return None
    x, y = annotation.xy
    if annotation.xycoords == "data":
        x, y = axes.convert_xunits(x), axes.convert_yunits(y)
    try:
        return tuple(float(v) for v in transform.transform((float(x), float(y))))
    except (TypeError, ValueError):
        return None
