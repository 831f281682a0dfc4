"""A picture for a person: the frame as it was linted, each colliding element
outlined and numbered, and a key below that lists the findings by number."""

from __future__ import annotations

from collections.abc import Sequence
from pathlib import Path
from typing import BinaryIO

import numpy as np
from matplotlib.backends.backend_agg import FigureCanvasAgg
from matplotlib.figure import Figure
from matplotlib.patches import Rectangle

from tessary._core import Collision
from tessary.lint import describe

KEY_LINE_PX = 14
KEY_CHAR_PX = 5
TAG_PX = (18, 12)  # a number tag's width and height


def _sides(collision: Collision):
    if collision.kind == "clipping":
        return [(collision.a_id, collision.a_box)]
    return [(collision.a_id, collision.a_box), (collision.b_id, collision.b_box)]


def _overlaps(a, b) -> bool:
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def _tag_place(box, taken: list, width: int, height: int) -> tuple[float, float]:
    """A corner just outside or inside the box where the tag covers no other tag."""
    x0, y0, x1, y1 = box
    tw, th = TAG_PX
    corners = [(x0, y1), (x1 - tw, y1), (x0, y0 - th), (x1 - tw, y0 - th), (x0, y1 - th), (x1 - tw, y1 - th)]
    for x, y in corners + [(x0 + k * tw, y1) for k in range(1, 8)]:
        x, y = min(max(x, 0), width - tw), min(max(y, 0), height - th)
        spot = (x, y, x + tw, y + th)
        if not any(_overlaps(spot, other) for other in taken):
            taken.append(spot)
            return x, y
    x, y = min(max(x0, 0), width - tw), min(max(y1, 0), height - th)
    taken.append((x, y, x + tw, y + th))
    return x, y


def _frame(fig, image: np.ndarray, collisions, left: float, bottom: float, width: float, height: float,
           numbers: dict) -> None:
    """The frame as an image in the figure, its colliding boxes outlined and numbered."""
    rows, cols = image.shape[:2]
    ax = fig.add_axes((left, bottom, width, height))
    ax.imshow(image, extent=(0, cols, 0, rows), interpolation="nearest")
    ax.set_xlim(0, cols)
    ax.set_ylim(0, rows)
    ax.set_axis_off()
    taken: list = []
    for collision in collisions:
        for ident, box in _sides(collision):
            number = numbers.setdefault((ident, tuple(box)), len(numbers) + 1)
            if any(spot[4] == number for spot in taken):
                continue
            x0, y0, x1, y1 = box
            # Clipped to the frame: the key below stays clear of boxes that run off the figure.
            ax.add_patch(Rectangle((x0, y0), x1 - x0, y1 - y0, fill=False, edgecolor="red", linewidth=1.5))
            x, y = _tag_place(box, [s[:4] for s in taken], cols, rows)
            taken.append((x, y, x + TAG_PX[0], y + TAG_PX[1], number))
            ax.text(x + TAG_PX[0] / 2, y + TAG_PX[1] / 2, str(number), ha="center", va="center", fontsize=7,
                    parse_math=False, color="white",
                    bbox={"boxstyle": "square,pad=0.15", "facecolor": "red", "edgecolor": "none"})


def write_annotated(image: np.ndarray, collisions: Sequence[Collision], target: Path | BinaryIO,
                    hints: Sequence = (), after: tuple | None = None) -> None:
    """Write ``image`` (an RGBA frame, row 0 at the top, in the coordinates the
    collisions were measured in) with the collisions drawn on it to ``target``
    (a path or a binary file) as PNG,
    a key of the findings (and their hints) below. With ``after`` (the frame
    once every hint is applied, and what it still collides), the two stand
    side by side."""
    height, width = image.shape[:2]
    numbers: dict[tuple, int] = {}
    for collision in collisions:
        for ident, box in _sides(collision):
            numbers.setdefault((ident, tuple(box)), len(numbers) + 1)
    key = []
    for collision, hint in zip(collisions, list(hints) + [None] * len(collisions)):
        tags = [numbers[(ident, tuple(box))] for ident, box in _sides(collision)]
        key.append(f"[{'/'.join(map(str, tags))}] {describe(collision)}")
        if hint is not None:
            key += [f"      fix: {line}" for line in hint.code.splitlines()]
    panels = [(image, collisions)] + ([after] if after is not None else [])
    frames_width = sum(p[0].shape[1] for p in panels)
    frames_height = max(p[0].shape[0] for p in panels)
    key_height = KEY_LINE_PX * (len(key) + 1) if key else 0
    total = frames_height + key_height
    # Wide enough for the longest key line (about 5 px a character at 8 points).
    canvas_width = max(frames_width, 10 + KEY_CHAR_PX * max((len(line) for line in key), default=0))
    fig = Figure(figsize=(canvas_width / 100, total / 100), dpi=100)
    left = 0
    for frame, found in panels:
        rows, cols = frame.shape[:2]
        _frame(fig, frame, found, left / canvas_width, (total - rows) / total, cols / canvas_width, rows / total,
               numbers if frame is image else {})
        left += cols
    if after is not None:
        fig.text((width + 4) / canvas_width, 1 - 4 / total, "after the fixes", fontsize=8, va="top", color="green")
    for i, line in enumerate(key):
        # Ids quote labels as written, dollar signs included: shown as typed, not as math.
        fig.text(4 / canvas_width, (key_height - KEY_LINE_PX * (i + 1)) / total, line, fontsize=8, family="monospace",
                 va="center", parse_math=False)
    FigureCanvasAgg(fig).print_png(target)
