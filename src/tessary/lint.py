"""Lint a matplotlib figure: record one draw of it, name every drawn element
with a role and a readable id, let the core decide what collides, and confirm
with the pixels what the boxes alone cannot settle.

matplotlib is imported only inside the functions here, so ``import tessary``
keeps working without it.
"""

from __future__ import annotations

import functools
import logging
import math
import numbers
import re
import time
import weakref
from collections.abc import Iterable
from dataclasses import dataclass, field

from tessary._core import Collision, CollisionReport, classify

__all__ = ["LintError", "Linted", "allow", "describe", "find_collisions", "lint", "lint_figure", "suppressed"]

log = logging.getLogger("tessary")

# The core's own defaults, named here for the keyword defaults and the
# command line's help.
DEFAULT_OVERLAP_FRACTION = 0.02
DEFAULT_CLIP_PX = 1.0

# How much a boxed legend or annotation must hide before it counts as sitting
# on data: this share of the place they share holds the data's ink, or this
# share of all the data's ink lies under it. A line that only grazes a corner
# stays well below both; one run straight across a legend passes the second.
DEFAULT_INK_THRESHOLD = 0.05


class LintError(Exception):
    """A figure that could not be drawn or analysed; the message names the
    figure and the cause."""


def saved_options(fig, savefig_kwargs: dict) -> dict:
    """The lint options that draw the figure as ``fig.savefig(..., **savefig_kwargs)``
    writes it: its dpi, bounding box and padding, rcParams filling in what is not given."""
    import matplotlib as mpl

    dpi = savefig_kwargs.get("dpi", mpl.rcParams["savefig.dpi"])
    save = {
        "dpi": fig.dpi if dpi in (None, "figure") else dpi,
        "bbox_inches": savefig_kwargs.get("bbox_inches", mpl.rcParams["savefig.bbox"]),
        "pad_inches": savefig_kwargs.get("pad_inches", mpl.rcParams["savefig.pad_inches"]),
    }
    return {k: v for k, v in save.items() if v is not None}


def figure_name(fig) -> str:
    number = getattr(fig, "number", None)
    if number is not None:
        return f"figure {number}"
    return f"figure {fig.get_label()!r}" if fig.get_label() else "a figure"


@functools.lru_cache(maxsize=256)
def id_pattern(pattern: str) -> re.Pattern:
    """An id pattern: ``*`` stands for any text and ``?`` for one character;
    everything else is itself, so that an id copied from a report
    (``ax0.line[0]'price'``) matches that id."""
    return re.compile("".join(".*" if c == "*" else "." if c == "?" else re.escape(c) for c in pattern), re.DOTALL)


def suppressed(collision: Collision, patterns: Iterable[str]) -> bool:
    """Whether ``patterns`` name the collision's kind or either of its ids."""
    patterns = tuple(patterns)
    return collision.kind in patterns or _named(collision.a_id, patterns) or _named(collision.b_id, patterns)


def _named(ident: str, patterns: tuple[str, ...]) -> bool:
    return any(id_pattern(p).fullmatch(ident) for p in patterns)


def _number(value, name: str, accepted: str) -> float:
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a number {accepted}, got {value!r}")
    return float(value)


def overlap_fraction_value(value) -> float:
    number = _number(value, "overlap_fraction", "in (0, 1]")
    if not 0.0 < number <= 1.0:
        raise ValueError(f"overlap_fraction must be a number in (0, 1], got {value!r}")
    return number


def clip_px_value(value) -> float:
    number = _number(value, "clip_px", ">= 0")
    if not (math.isfinite(number) and number >= 0.0):
        raise ValueError(f"clip_px must be a finite number >= 0, got {value!r}")
    return number


def ink_threshold_value(value) -> float:
    number = _number(value, "ink_threshold", "in [0, 1)")
    if not 0.0 <= number < 1.0:
        raise ValueError(f"ink_threshold must be a number in [0, 1), got {value!r}")
    return number


def ignore_value(value) -> tuple[str, ...]:
    """A lone string is one pattern, not a sequence of one-letter patterns."""
    if isinstance(value, str):
        return (value,)
    try:
        patterns = tuple(value)
    except TypeError:
        patterns = None
    if patterns is None or not all(isinstance(p, str) for p in patterns):
        raise TypeError(f"ignore must be a string or an iterable of strings, got {value!r}")
    return patterns


@dataclass(frozen=True)
class Linted:
    """What one lint found, the elements it found them among, what the draw
    recorded, and the recorder that drew the figure for it (its buffer holds
    the picture as linted when ``keep_picture`` asked for it, for as long as
    this result is held, and no pixels otherwise). Of a crowd of texts (``groups.Crowd``: more pairs
    between two families than are judged one by one), ``collisions`` holds
    the pairs found among those judged, its first ones and its worst, and
    ``crowds`` how many pairs there are."""

    collisions: list[Collision]
    recorder: object
    elements: list = field(default_factory=list, repr=False)
    recording: object = field(default=None, repr=False)
    crowds: list = field(default_factory=list)


KIND_NAMES = ("text_text", "clipping", "over_data", "element_element")
_allowed: weakref.WeakKeyDictionary = weakref.WeakKeyDictionary()


def allow(artist, *kinds: str) -> None:
    """Marks the collisions of ``artist`` of these kinds as intended (of every
    kind when none is named): :func:`lint`, ``tessary check`` and the pytest
    fixture leave them out. An axes or a figure stands for everything drawn in
    it."""
    unknown = [k for k in kinds if k not in KIND_NAMES]
    if unknown:
        raise ValueError(f"allow: unknown collision kind {unknown[0]!r}; the kinds are {', '.join(KIND_NAMES)}")
    _allowed.setdefault(artist, set()).update(kinds or KIND_NAMES)


def _intended(collision: Collision, by_id: dict) -> bool:
    return any(_allows(by_id.get(ident), collision.kind) for ident in (collision.a_id, collision.b_id))


def _allows(element, kind: str) -> bool:
    """Whether :func:`allow` marked collisions of ``kind`` of the element (or of what it is drawn in) as intended."""
    if element is None:
        return False
    return any(id(artist) in element.lineage and kind in _allowed.get(artist, ()) for artist in list(_allowed))


def _quiet_texts(elements, patterns: tuple[str, ...]) -> frozenset[str]:
    """The ids of the elements whose findings among texts are dropped, ignored
    or intended: a crowd of them is not worth pairing."""
    return frozenset(e.ident for e in elements if "text_text" in patterns or _named(e.ident, patterns)
                     or (_allowed and _allows(e, "text_text")))


def _failure(error: Exception) -> str:
    """What stopped a lint, in words: an exhausted memory says so, not just "MemoryError"."""
    if isinstance(error, MemoryError):
        return f"out of memory ({error})" if str(error) else "out of memory"
    return f"{type(error).__name__}: {error}"


def lint_figure(fig, *, overlap_fraction=DEFAULT_OVERLAP_FRACTION, clip_px=DEFAULT_CLIP_PX,
                ink_threshold=DEFAULT_INK_THRESHOLD, ignore=(), dpi=None, bbox_inches=None,
                pad_inches=None, keep_picture: bool = False, timings: dict | None = None) -> Linted:
    """:func:`lint`, with what it drew and found them among. The recording pass
    draws no pixel unless ``keep_picture`` asks for the picture in the
    recorder's buffer; ``timings``, a dict, receives the seconds spent
    recording, classifying and confirming with pixels."""
    from matplotlib.figure import Figure

    from tessary import artists, record

    if not isinstance(fig, Figure):
        raise TypeError(f"expected a matplotlib Figure, got {'None' if fig is None else type(fig).__name__}")
    overlap_fraction = overlap_fraction_value(overlap_fraction)
    clip_px = clip_px_value(clip_px)
    ink_threshold = ink_threshold_value(ink_threshold)
    patterns = ignore_value(ignore)
    saved = {key: value for key, value in (("dpi", dpi), ("bbox_inches", bbox_inches), ("pad_inches", pad_inches))
             if value is not None}
    clock = _Clock(timings)
    try:
        recording, recorder = record.record(fig, render=keep_picture, save=saved or None)
    except Exception as error:
        raise LintError(f"{figure_name(fig)} could not be drawn: {_failure(error)}") from error
    try:
        found = artists.elements(recording)
        clock.lap("record")
        for line in found.skipped:
            log.info("%s: skipped %s", figure_name(fig), line)
        collisions, crowds = _judged(found.elements, recording, fig, overlap_fraction, clip_px, ink_threshold, clock,
                                     whole=keep_picture, quiet=_quiet_texts(found.elements, patterns))
        by_id = {e.ident: e for e in found.elements}
        kept = [c for c in collisions if not suppressed(c, patterns) and not (_allowed and _intended(c, by_id))]
    except Exception as error:
        raise LintError(f"{figure_name(fig)} could not be analysed: {_failure(error)}") from error
    return Linted(kept, recorder, found.elements, recording, crowds)


def find_collisions(fig, **options) -> list[Collision]:
    """The collisions :func:`lint` reports, as a plain list."""
    return lint_figure(fig, **options).collisions


class _Clock:
    """Adds the time since the last lap to a named stage, when asked to keep times."""

    def __init__(self, timings: dict | None):
        self.timings = timings
        self.last = time.perf_counter()

    def lap(self, stage: str) -> None:
        now = time.perf_counter()
        if self.timings is not None:
            self.timings[stage] = self.timings.get(stage, 0.0) + now - self.last
        self.last = now


def _judged(elements, recording, fig, overlap_fraction: float, clip_px: float, ink_threshold: float,
            clock: _Clock, whole: bool, quiet: frozenset[str]) -> tuple[list, list]:
    """The core proposes from the boxes; the ink of the elements, in drawing
    order, decides. Each element is drawn on a canvas the size of what is
    looked at, or of the whole figure on the full-render path. Texts whose
    findings among texts would be dropped (``quiet``) are not paired at all."""
    import numpy as np

    from tessary import ink, judge, on_data

    figure_box = recording.figure_box
    by_id = {e.ident: e for e in elements}
    inks = ink.Inks(recording, whole)
    boxes = [(e.box(), e.clip(figure_box), e.role, e.ident) for e in elements]
    # Each box alone, and only the pairs that can be candidates over data: a
    # crowd of texts, whose pairs grow with its square, is left to near_texts.
    clipped = [c for box in boxes for c in classify([box], clip_px=clip_px)[0]]
    roles = np.array([e.role for e in elements])
    candidates = [d for i, j in judge.pairs([box[0] for box in boxes], overlap_fraction,
                                            np.flatnonzero(np.isin(roles, ("legend", "annotation"))),
                                            np.flatnonzero(roles == "data-artist"))
                  for d in classify([boxes[i], boxes[j]], overlap_fraction=overlap_fraction)[1]]
    # Labels first, as label_candidates orders them, so that its candidates come in its order.
    labels = [e for e in elements if e.role in on_data.LABEL_ROLES]
    series = [e for e in elements if e.role == "data-artist"]
    on_labels = [d for i, j in judge.pairs([e.box() for e in labels + series], overlap_fraction,
                                           np.arange(len(labels)), np.arange(len(labels), len(labels) + len(series)))
                 for d in on_data.label_candidates([labels[i], series[j - len(labels)]], overlap_fraction)]
    clock.lap("classify")

    kept = []
    for c in clipped:
        a = by_id[c.a_id]
        if a.region is not None or a.visible_only or \
                (not judge.shown_nowhere(a, figure_box) and judge.cut_off(a, c.b_box, inks)):
            kept.append(c)
    # Texts against texts, and texts and axes against axes, are judged on their ink.
    near, crowds = judge.near_texts([e for e in elements if e.ident not in quiet], inks, overlap_fraction)
    kept += near
    layouts = judge.Layouts(recording, inks)
    covered = list(judge.covered_texts(elements, inks, layouts, overlap_fraction))
    over = on_data.OnData(inks, ink.Data(recording, fig, whole), ink_threshold)
    kept += [c.collision for c in covered]
    kept += judge.hidden_axes(elements, layouts, over.hides, covered, overlap_fraction)
    # A text hidden under an axes is reported once: there is nothing left of it to read on data.
    hidden = {c.text.ident for c in covered if c.hidden}
    kept += on_data.over_data([c for c in [*candidates, *on_labels] if c.decoration_id not in hidden], by_id, over)
    clock.lap("pixels")
    return kept, crowds


def lint(
    fig,
    *,
    overlap_fraction: float = DEFAULT_OVERLAP_FRACTION,
    clip_px: float = DEFAULT_CLIP_PX,
    ink_threshold: float = DEFAULT_INK_THRESHOLD,
    ignore: str | Iterable[str] = (),
    dpi: float | str | None = None,
    bbox_inches=None,
    pad_inches: float | str | None = None,
) -> CollisionReport:
    """Draw ``fig`` once with Agg and report its layout collisions.

    - ``overlap_fraction`` (in (0, 1]): share of the smaller of two elements
      that must be covered before they count as overlapping.
    - ``clip_px`` (finite, >= 0): pixels an element may pass its clip box (the
      figure's edge, or a clip box that really cuts it) before it counts as
      clipped.
    - ``ink_threshold`` (in [0, 1)): how much of a data artist a legend or
      text with an opaque box must hide for an "over_data" finding: that share
      of the place they share holds the artist's ink, or that share of the
      artist's ink lies under it. One whole marker hidden is a finding at any
      threshold. Text without a box is judged by whether it can be read on
      what lies under it (a value in its heatmap cell can, a label crossed by
      a line cannot).
    - ``ignore``: a collision kind or a pattern of element ids (``*`` any
      text, ``?`` one character, nothing else special), or an iterable of
      them; a collision is dropped when its kind or either id matches.
    - ``dpi``, ``bbox_inches``, ``pad_inches``: lint the figure as
      ``savefig`` with these arguments would save it (``bbox_inches="tight"``
      included) rather than as shown; the figure is left as it was.

    Text against text is decided on the glyphs: two texts collide when their
    ink overlaps or comes closer than a word space (0.3 em of the smaller
    font) along their line, or within ``max(1, round(dpi / 100))`` pixels
    across it.

    A crowd of texts (more than ``groups.CROWD`` pairs between two families,
    such as thousands of tick labels) is counted, not listed: the report holds
    the pairs found among its first ones and its worst, so that ``severity``
    is right; :func:`lint_figure` gives the counts in ``Linted.crowds``.

    Raises :class:`LintError` when the figure cannot be drawn or analysed (out
    of memory included),
    ``TypeError`` when ``fig`` is not a Figure, and ``ValueError`` or
    ``TypeError`` for an option out of its range. Artists of a
    kind the linter does not know are skipped, and named on the ``tessary``
    logger at INFO level.
    """
    return CollisionReport(
        lint_figure(
            fig,
            overlap_fraction=overlap_fraction,
            clip_px=clip_px,
            ink_threshold=ink_threshold,
            ignore=ignore,
            dpi=dpi,
            bbox_inches=bbox_inches,
            pad_inches=pad_inches,
        ).collisions
    )


def describe(collision: Collision) -> str:
    """One readable line: kind, the two ids and the severity."""
    if collision.kind == "clipping":
        return f"clipping         {collision.a_id} is cut off by {collision.severity:.1f} px"
    return f"{collision.kind:<16} {collision.a_id} / {collision.b_id}: severity {collision.severity:.3f}"
