"""A picture for a person: the frame as it was linted, each colliding element
outlined and numbered, and a key below that lists the findings by number,
those with one cause on one line."""

from __future__ import annotations

import math
import textwrap
from collections.abc import Sequence
from itertools import chain, groupby
from pathlib import Path
from typing import BinaryIO

import numpy as np
from matplotlib.backends.backend_agg import FigureCanvasAgg, RendererAgg
from matplotlib.font_manager import FontProperties
from matplotlib.figure import Figure
from matplotlib.patches import Rectangle

from tessary._core import Collision
from tessary.groups import crowd_of, grouped, summary

# The picture is drawn at 72 dpi, so that a point is a pixel and every size below is in the frame's pixels.
CANVAS_DPI = 72
TAG_POINTS = 8.0  # tags and key in the figure's own small print: they scale with it, dpi for dpi
KEY_POINTS = 8.0
SMALLEST_PX = 9.0  # a low-dpi figure's small print would be too small to read at all
FEWEST_KEY_CHARS = 40  # a narrow frame still gets a key wide enough to read
STACKED_RINGS = 3  # how far tags stack outward from their box before going wherever there is room
DEFAULT_FIGSIZE = (6.4, 4.8)  # matplotlib's, to guess the dpi of a frame that comes without one


def _sides(collision: Collision) -> list[tuple[str, tuple]]:
    """The colliding elements, each as its id and box: what one number stands for."""
    if collision.kind == "clipping":
        return [(collision.a_id, tuple(collision.a_box))]
    return [(collision.a_id, tuple(collision.a_box)), (collision.b_id, tuple(collision.b_box))]


def _runs(numbers: list[int]) -> str:
    """``[1, 2, 4, 5, 6, 9]`` -> ``1,2,4-6,9``."""
    parts = []
    for _, run in groupby(enumerate(numbers), lambda pair: pair[1] - pair[0]):
        run = [n for _, n in run]
        parts.append(f"{run[0]}-{run[-1]}" if len(run) > 2 else ",".join(map(str, run)))
    return ",".join(parts)


def _key_lines(collisions: Sequence[Collision], hint_codes: Sequence, numbers: dict,
               crowds: Sequence = ()) -> list[str]:
    """One line a group of findings, with the tags of its elements and its fix.
    Elements are numbered in ``numbers`` as they first appear, so a group's
    tags run on."""
    lines = []
    for members in grouped(collisions, hint_codes):
        found = [collisions[i] for i in members]
        tags = sorted({numbers.setdefault(element, len(numbers) + 1) for c in found for element in _sides(c)})
        said = summary(found, crowd_of(found, crowds))
        lines.append(f"[{_runs(tags)}] {said}")
        if hint_codes[members[0]] is not None:  # a group shares its hint
            lines += [f"      fix: {line}" for line in hint_codes[members[0]].splitlines()]
    return lines


def _char_px(size: float) -> float:
    """A monospace character's width as Agg draws it: hinting rounds it to whole pixels."""
    line = "M" * 100
    width, _, _ = RendererAgg(1, 1, CANVAS_DPI).get_text_width_height_descent(
        line, FontProperties(family="monospace", size=size), ismath=False)
    return width / len(line)


def _free(spots: np.ndarray, size: tuple[float, float], taken: list) -> np.ndarray:
    """Which of ``spots`` (lower-left corners) a tag of ``size`` can take without covering a taken one."""
    if not taken:
        return np.ones(len(spots), bool)
    others = np.asarray(taken)
    x, y = spots[:, :1], spots[:, 1:]
    covers = (x < others[:, 2]) & (others[:, 0] < x + size[0]) & (y < others[:, 3]) & (others[:, 1] < y + size[1])
    return ~covers.any(axis=1)


def _ring(radius: int) -> list[tuple[int, int]]:
    """Steps ``radius`` tags away, nearest first, above before below."""
    cells = [(dx, dy) for dx in range(-radius, radius + 1) for dy in range(-radius, radius + 1)
             if max(abs(dx), abs(dy)) == radius]
    return sorted(cells, key=lambda c: (c[0] ** 2 + c[1] ** 2, -c[1]))


def _tag_spot(box, size: tuple[float, float], taken: list, frame: tuple[int, int]) -> tuple[float, float]:
    """Where a tag of ``size`` goes for ``box`` without covering a ``taken`` tag:
    a corner of the box if one is free, else stacked outward from its top-left
    corner a tag at a time, else the free spot anywhere in the frame nearest it."""
    x0, y0, x1, y1 = box
    w, h = size
    highest = (frame[0] - w, frame[1] - h)
    anchor = np.clip((x0, y1), 0, highest)
    corners = [(x0, y1), (x1 - w, y1), (x0, y0 - h), (x1 - w, y0 - h), (x0, y1 - h), (x1 - w, y1 - h)]
    stacked = [anchor + (dx * w, dy * h) for radius in range(1, STACKED_RINGS + 1) for dx, dy in _ring(radius)]
    grid = np.stack(np.meshgrid(np.arange(0, highest[0] + w, w), np.arange(0, highest[1] + h, h)), -1).reshape(-1, 2)
    anywhere = grid[np.argsort(np.hypot(*(grid - anchor).T), kind="stable")]
    # Nearby first, and the whole frame only when crowded: checking every spot for every tag is slow.
    for spots in (np.array(corners + stacked), anywhere):
        spots = np.clip(spots, 0, highest)
        free = _free(spots, size, taken)
        if free.any():
            return tuple(spots[free.argmax()])
    return tuple(anchor)  # the frame is full of tags: one more covers some anyway


def _draw_frame(fig: Figure, image: np.ndarray, collisions, numbers: dict, place: tuple, tag_px: float) -> None:
    """The frame as an image in the figure, each colliding element outlined and tagged once."""
    rows, cols = image.shape[:2]
    ax = fig.add_axes(place)
    ax.imshow(image, extent=(0, cols, 0, rows), interpolation="nearest")
    ax.set_xlim(0, cols)
    ax.set_ylim(0, rows)
    ax.set_axis_off()
    taken: list = []
    for element in dict.fromkeys(chain.from_iterable(_sides(c) for c in collisions)):
        x0, y0, x1, y1 = element[1]
        # Clipped to the frame: the key below stays clear of boxes that run off the figure.
        ax.add_patch(Rectangle((x0, y0), x1 - x0, y1 - y0, fill=False, edgecolor="red",
                               linewidth=max(1.5, tag_px / 8)))
        label = str(numbers[element])
        size = (tag_px * (0.64 * len(label) + 0.5), tag_px * 1.3)
        x, y = _tag_spot(element[1], size, taken, (cols, rows))
        taken.append((x, y, x + size[0], y + size[1]))
        # Above every outline, which would otherwise strike through the numbers.
        ax.add_patch(Rectangle((x, y), *size, facecolor="red", edgecolor="none", zorder=3))
        ax.text(x + size[0] / 2, y + size[1] / 2, label, fontsize=tag_px, ha="center", va="center_baseline",
                color="white", parse_math=False, zorder=4)


def annotated_figure(image: np.ndarray, collisions: Sequence[Collision], hints: Sequence = (),
                     after: tuple | None = None, dpi: float | None = None, crowds: Sequence = ()) -> Figure:
    """The picture :func:`write_annotated` writes, as a figure one pixel a point.
    ``dpi`` is the linted figure's: tags and key are sized like its small print.
    Without it, the frame is taken for a figure of matplotlib's default size.
    ``crowds`` (``Linted.crowds``) counts the groups too large to list."""
    rows, cols = image.shape[:2]
    dpi = dpi or math.sqrt(rows * cols / (DEFAULT_FIGSIZE[0] * DEFAULT_FIGSIZE[1]))
    tag_px = max(TAG_POINTS * dpi / 72, SMALLEST_PX)
    key_px = max(KEY_POINTS * dpi / 72, SMALLEST_PX)

    codes = [None if hint is None else hint.code for hint in hints]
    codes += [None] * (len(collisions) - len(codes))
    numbers: dict[tuple, int] = {}
    key = _key_lines(collisions, codes, numbers, crowds)
    if after is not None and after[1]:
        # Numbered on from the first panel: an element the fixes left alone keeps its number.
        key += ["after the fixes, still:"] + _key_lines(after[1], [None] * len(after[1]), numbers)

    panels = [(image, collisions)] + ([after] if after is not None else [])
    frames_width = sum(frame.shape[1] for frame, _ in panels)
    frames_height = max(frame.shape[0] for frame, _ in panels)
    margin = key_px / 2
    char_px = _char_px(key_px)
    canvas_width = max(frames_width, math.ceil(FEWEST_KEY_CHARS * char_px + 2 * margin))
    chars = int((canvas_width - 2 * margin) / char_px)
    wrapped = [piece for line in key
               for piece in textwrap.wrap(line, chars, subsequent_indent=" " * (len(line) - len(line.lstrip()) + 4))]
    line_px = 1.4 * key_px
    key_height = math.ceil(line_px * (len(wrapped) + 1)) if wrapped else 0
    total = frames_height + key_height

    fig = Figure(figsize=(canvas_width / CANVAS_DPI, total / CANVAS_DPI), dpi=CANVAS_DPI)
    left = 0
    for frame, found in panels:
        frame_rows, frame_cols = frame.shape[:2]
        place = (left / canvas_width, (total - frame_rows) / total, frame_cols / canvas_width, frame_rows / total)
        _draw_frame(fig, frame, found, numbers, place, tag_px)
        left += frame_cols
    if after is not None:
        fig.text((cols + margin) / canvas_width, 1 - margin / total, "after the fixes", fontsize=key_px, va="top",
                 color="green")
    for i, line in enumerate(wrapped):
        # Ids quote labels as written, dollar signs included: shown as typed, not as math.
        fig.text(margin / canvas_width, (key_height - line_px * (i + 1)) / total, line, fontsize=key_px,
                 family="monospace", va="center", parse_math=False)
    return fig


def write_annotated(image: np.ndarray, collisions: Sequence[Collision], target: Path | BinaryIO,
                    hints: Sequence = (), after: tuple | None = None, dpi: float | None = None,
                    crowds: Sequence = ()) -> None:
    """Write ``image`` (an RGBA frame, row 0 at the top, in the coordinates the
    collisions were measured in) with the collisions drawn on it to ``target``
    (a path or a binary file) as PNG, a key of the findings (and their hints)
    below. With ``after`` (the frame once every hint is applied, and what it
    still collides), the two stand side by side. ``dpi`` is the linted
    figure's, which tags and key are sized by."""
    FigureCanvasAgg(annotated_figure(image, collisions, hints, after, dpi, crowds)).print_png(target)
