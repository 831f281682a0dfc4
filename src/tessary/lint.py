"""Lint a matplotlib figure: record one draw of it, name every drawn element
with a role and a readable id, let the core decide what collides, and confirm
with the pixels what the boxes alone cannot settle.

matplotlib is imported only inside the functions here, so ``import tessary``
keeps working without it.
"""

from __future__ import annotations

import fnmatch
import logging
from collections.abc import Iterable

from tessary._core import Collision, CollisionReport, classify

__all__ = ["LintError", "describe", "find_collisions", "lint", "suppressed"]

log = logging.getLogger("tessary")

# The core's own defaults, named here for the keyword defaults and the
# command line's help.
DEFAULT_OVERLAP_FRACTION = 0.02
DEFAULT_CLIP_PX = 1.0

# Share of the covered area that must be data ink before a legend or an
# annotation counts as sitting on data. Anti-aliased edges of a line that only
# grazes the box stay well below it; one line run straight through a legend
# (about 2 px of every 100) passes it only when the legend is small.
DEFAULT_INK_THRESHOLD = 0.05


class LintError(Exception):
    """A figure that could not be drawn or analysed; the message names the
    figure and the cause."""


def figure_name(fig) -> str:
    number = getattr(fig, "number", None)
    if number is not None:
        return f"figure {number}"
    return f"figure {fig.get_label()!r}" if fig.get_label() else "a figure"


def suppressed(collision: Collision, patterns: Iterable[str]) -> bool:
    """Whether ``patterns`` name the collision's kind or either of its ids."""
    patterns = tuple(patterns)
    return (
        collision.kind in patterns
        or any(fnmatch.fnmatchcase(collision.a_id, p) for p in patterns)
        or any(fnmatch.fnmatchcase(collision.b_id, p) for p in patterns)
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
    from tessary import artists, judge, record

    patterns = tuple(ignore)
    try:
        recording, _ = record.record(fig)
    except Exception as error:
        raise LintError(f"{figure_name(fig)} could not be drawn: {type(error).__name__}: {error}") from error
    try:
        found = artists.elements(recording)
        for line in found.skipped:
            log.info("%s: skipped %s", figure_name(fig), line)
        figure_box = recording.figure_box
        boxes = [(e.box(), e.clip(figure_box), e.role, e.ident) for e in found.elements]
        collisions, candidates = classify(boxes, overlap_fraction=overlap_fraction, clip_px=clip_px)
        by_id = {e.ident: e for e in found.elements}
        collisions += judge.over_data(candidates, by_id, recording, fig, ink_threshold)
    except Exception as error:
        raise LintError(f"{figure_name(fig)} could not be analysed: {type(error).__name__}: {error}") from error
    return [c for c in collisions if not suppressed(c, patterns)]


def lint(
    fig,
    *,
    overlap_fraction: float = DEFAULT_OVERLAP_FRACTION,
    clip_px: float = DEFAULT_CLIP_PX,
    ink_threshold: float = DEFAULT_INK_THRESHOLD,
    ignore: Iterable[str] = (),
) -> CollisionReport:
    """Draw ``fig`` once with Agg and report its layout collisions.

    - ``overlap_fraction``: share of the smaller of two elements that must be
      covered before they count as overlapping.
    - ``clip_px``: pixels an element may pass its clip box (the figure's edge,
      or a clip box that really cuts it) before it counts as clipped.
    - ``ink_threshold``: share of the area where a legend or annotation meets a
      data artist that must be that artist's ink for an "over_data" finding.
    - ``ignore``: collision kinds, or fnmatch patterns of element ids; a
      collision is dropped when its kind or either id matches.

    Raises :class:`LintError` when the figure cannot be drawn or analysed.
    Artists of a kind the linter does not know are skipped, and named on the
    ``tessary`` logger at INFO level.
    """
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
