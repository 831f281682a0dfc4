"""Pixel confirmations: the boxes propose, the ink decides.

Each element's primitives were recorded, so an element can be drawn again on
its own, on a plain background: whatever then differs from the background is
that element's ink, not gridlines, labels or other data.
"""

from __future__ import annotations

import math
from collections.abc import Iterable, Iterator

import numpy as np
from matplotlib.backends.backend_agg import RendererAgg
from matplotlib.colors import to_rgba

from tessary._core import Collision, OverDataCandidate, ink_coverage
from tessary.artists import Element
from tessary.record import Box, Recording, intersection


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


class Stage:
    """One reusable canvas the size of the figure, to draw elements alone."""

    def __init__(self, recording: Recording):
        self.width, self.height = recording.width, recording.height
        self.renderer = RendererAgg(recording.width, recording.height, recording.dpi)
        self.showing: Element | None = None

    def show(self, element: Element, background: tuple[int, int, int]) -> np.ndarray:
        buffer = np.asarray(self.renderer.buffer_rgba())
        if self.showing is not element:
            buffer[...] = (*background, 255)
            for primitive in element.primitives:
                getattr(self.renderer, primitive.method)(*primitive.args, **primitive.kwargs)
            self.showing = element
        return buffer


def over_data(candidates: Iterable[OverDataCandidate], by_id: dict[str, Element], recording: Recording, figure,
              threshold: float) -> Iterator[Collision]:
    """Candidates confirmed by the data's own ink: an "over_data" collision
    whose severity is the share of the shared area that holds that ink."""
    stage = None
    # Sorted so that each data element is drawn once for all its candidates.
    for candidate in sorted(candidates, key=lambda c: c.data_id):
        region = intersection(candidate.decoration_box, candidate.data_box)
        if region is None:
            continue
        data = by_id[candidate.data_id]
        stage = stage or Stage(recording)
        background = backdrop(data, figure)
        buffer = stage.show(data, background)
        coverage = ink_coverage(buffer, display_to_buffer(region, stage.width, stage.height), background)
        if coverage > threshold:
            yield Collision("over_data", candidate.decoration_role, candidate.decoration_id,
                            candidate.decoration_box, "data-artist", candidate.data_id, candidate.data_box, coverage)
