"""Fix hints: for a finding, a change that clears it, proven before it is given.

Each candidate change is a line of Python that names the figure ``fig`` (and
``plt`` and ``MaxNLocator`` as usually imported). It is run on a deep copy of
the figure, the copy is linted again, and the change is kept only if the
finding is gone and no new one came. The user's figure is never changed.

matplotlib is imported only inside the functions here, so ``import tessary``
keeps working without it.
"""

from __future__ import annotations

import copy
import math
import re
from collections.abc import Iterator
from dataclasses import dataclass

from tessary._core import Collision

LEGEND_PLACES = ("upper right", "upper left", "lower left", "lower right", "center left", "center right",
                 "lower center", "upper center", "right", "center")
ROTATIONS = (30, 45, 90)
# Offsets to try for a text, in pixels, nearest first: rings of 16 directions.
TEXT_STEPS = (6, 12, 18, 24, 36, 48, 72, 96)
TEXT_TRIES = 3  # moves of one text that are linted, once screened on the pixels
TICK_NAME = re.compile(r"\.(?P<axis>[a-z]+)tick(?P<minor>_minor)?(_top|_right|_2)?\[")


@dataclass(frozen=True)
class Hint:
    """A change that clears one finding: ``code`` to paste (``fig`` is the
    figure), why, and the finding it clears. ``save`` holds the ``savefig``
    arguments the code asks for, when the change is in how the figure is saved."""

    code: str
    reason: str
    clears: Collision
    save: tuple[tuple[str, object], ...] = ()

    def apply(self, fig) -> dict:
        """Makes the change on ``fig``; returns the savefig arguments to lint it with."""
        if not self.save:
            exec(self.code, namespace(fig))  # noqa: S102 - our own generated line, proven on a copy
        return dict(self.save)


@dataclass(frozen=True)
class Remedy:
    code: str
    reason: str
    save: tuple[tuple[str, object], ...] = ()


def namespace(fig) -> dict:
    import matplotlib.pyplot as plt
    from matplotlib.ticker import MaxNLocator

    return {"fig": fig, "plt": plt, "MaxNLocator": MaxNLocator}


def key(collision: Collision) -> tuple[str, str, str]:
    return collision.kind, collision.a_id, collision.b_id


def hints(fig, collisions, **options) -> list[Hint | None]:
    """For each collision of ``fig`` (as :func:`tessary.lint` found it with
    ``options``), a verified :class:`Hint`, or None when no standard remedy
    clears it without adding a finding, or the figure cannot be copied."""
    collisions = list(collisions)
    try:
        _forget(copy.deepcopy(fig))
    except Exception:  # noqa: BLE001 - an uncopyable figure gets no hint, it is not an error
        return [None] * len(collisions)
    search = Search(fig, options)
    return [search.hint(c) for c in collisions]


class Search:
    """Tries remedies on copies of one figure, each remedy once."""

    def __init__(self, fig, options: dict):
        from tessary.lint import lint_figure

        self.fig = fig
        self.options = options
        linted = lint_figure(fig, **options)
        self.baseline = {key(c) for c in linted.collisions}
        self.elements = {e.ident: e for e in linted.elements}
        self.recording = linted.recording
        self.names = _expressions(fig)
        self.tried: dict[Remedy, tuple | None] = {}  # remedy -> (findings, lint, the copy) or None

    def hint(self, collision: Collision) -> Hint | None:
        """Of the remedies that clear it without adding a finding, the one that
        clears the most of the figure's findings (ties: the one tried first,
        which is the nearest move or the legend place hiding the least data)."""
        best, most = None, 0
        for remedy in self.remedies(collision):
            if self.clears(remedy, collision):
                cleared = len(self.baseline - self.outcome(remedy)[0])
                if cleared > most:
                    best, most = remedy, cleared
        return None if best is None else Hint(best.code, best.reason, collision, best.save)

    def outcome(self, remedy: Remedy):
        """The findings after the remedy, and that lint, or None if it failed."""
        if remedy not in self.tried:
            self.tried[remedy] = self._try(remedy)
        return self.tried[remedy]

    def _try(self, remedy: Remedy):
        from tessary.lint import lint_figure

        trial = copy.deepcopy(self.fig)
        try:
            save = Hint(remedy.code, remedy.reason, None, remedy.save).apply(trial)
            linted = lint_figure(trial, **{**self.options, **save})
            return {key(c) for c in linted.collisions}, linted, trial
        except Exception:  # noqa: BLE001 - a remedy that does not apply is no hint
            return None
        finally:
            _forget(trial)

    def clears(self, remedy: Remedy, collision: Collision) -> bool:
        outcome = self.outcome(remedy)
        if outcome is None:
            return False
        found = outcome[0]
        return key(collision) not in found and not found - self.baseline

    # -- which remedies suit which finding --

    def remedies(self, collision: Collision) -> Iterator[Remedy]:
        a, b = self.elements.get(collision.a_id), self.elements.get(collision.b_id)
        if a is None:
            return
        if collision.kind == "over_data" and a.role == "legend":
            yield from self.legend_places(a, collision)
        texts = [e for e in (a, b) if e is not None and e.role == "annotation" and _is_text(e.artist)]
        if collision.kind in ("clipping", "over_data", "text_text"):
            for text in texts:
                yield from self.text_moves(text, collision)
        if collision.kind == "text_text" and b is not None and a.role == b.role == "tick-label":
            yield from self.tick_remedies(a, b)
        if collision.kind in ("clipping", "text_text", "element_element"):
            yield from self.layouts(collision)

    def legend_places(self, legend, collision) -> Iterator[Remedy]:
        """The place, among the usual ones, where the legend hides the least data, measured."""
        name = self.names.get(id(legend.artist))
        if name is None:
            return
        candidates = [Remedy(f'{name}.set_loc("{place}")', f"at {place} the legend hides the least data")
                      for place in LEGEND_PLACES]
        if name.endswith(".get_legend()"):
            candidates.append(Remedy(f'{name}.set_loc("upper left")\n{name}.set_bbox_to_anchor((1.02, 1))\n'
                                     'fig.set_layout_engine("constrained")',
                                     "outside the axes the legend hides no data"))
        passing = [r for r in candidates if self.clears(r, collision)]
        yield from sorted(passing, key=lambda r: self._ink_under(r, legend.ident))

    def _ink_under(self, remedy: Remedy, ident: str) -> float:
        from tessary import ink, record

        _, linted, trial = self.outcome(remedy)
        elements = {e.ident: e for e in linted.elements}
        legend = elements.get(ident)
        if legend is None:
            return 0.0
        data = ink.Data(linted.recording, trial)
        return sum(data.ink(e, legend.box()) for e in linted.elements
                   if e.role == "data-artist" and record.intersection(e.box(), legend.box()) is not None)

    def text_moves(self, text, collision) -> Iterator[Remedy]:
        """The nearest moves of the text that clear it, screened on the pixels first."""
        name = self.names.get(id(text.artist))
        if name is None:
            return
        artist = text.artist
        try:
            x, y = (float(v) for v in artist.get_unitless_position())
            transform = artist.get_transform()
            anchor = transform.transform((x, y))
        except (TypeError, ValueError):
            return
        other = self.elements.get(collision.b_id if collision.a_id == text.ident else collision.a_id)
        tried = 0
        for dx, dy in self._offsets(text, other, collision):
            nx, ny = transform.inverted().transform((anchor[0] + dx, anchor[1] + dy))
            yield Remedy(f"{name}.set_position(({nx:.6g}, {ny:.6g}))",
                         f"moved by ({dx:+.0f}, {dy:+.0f}) px the text is clear")
            tried += 1
            if tried == TEXT_TRIES:
                return

    def _offsets(self, text, other, collision) -> Iterator[tuple[float, float]]:
        from tessary import ink, record

        box, figure = text.box(), self.recording.figure_box
        if collision.kind == "clipping":
            # Just far enough back inside what clips it, and a few pixels more.
            clip = collision.b_box
            dx = max(clip[0] - box[0], 0) - max(box[2] - clip[2], 0)
            dy = max(clip[1] - box[1], 0) - max(box[3] - clip[3], 0)
            yield dx + math.copysign(3, dx) if dx else 0, dy + math.copysign(3, dy) if dy else 0
        data = ink.Data(self.recording, self.fig) if collision.kind == "over_data" and other is not None else None
        threshold = self.options.get("ink_threshold", 0.05) / 2
        for step in TEXT_STEPS:
            for k in range(16):
                angle = 2 * math.pi * k / 16
                dx, dy = round(step * math.cos(angle)), round(step * math.sin(angle))
                moved = (box[0] + dx, box[1] + dy, box[2] + dx, box[3] + dy)
                if record.intersection(moved, figure) != moved:
                    continue  # cut off at the edge
                if other is not None and other.region is None and collision.kind != "over_data" and \
                        record.intersection(moved, other.box()) is not None:
                    continue
                if data is not None and data.coverage(other, moved) > threshold:
                    continue
                yield dx, dy

    def tick_remedies(self, a, b) -> Iterator[Remedy]:
        first, second = TICK_NAME.search(a.ident), TICK_NAME.search(b.ident)
        if not first or not second or first["axis"] != second["axis"] or a.within[:1] != b.within[:1] or \
                first["minor"] or not a.within:
            return
        letter = first["axis"]
        ax = next((e.artist for e in self.elements.values() if e.region is not None and id(e.artist) == a.within[0]),
                  None)
        name = self.names.get(a.within[0])
        axis = getattr(ax, f"{letter}axis", None)
        if name is None or axis is None:
            return
        if letter == "x" and _is_date(axis):
            yield Remedy("fig.autofmt_xdate()", "rotated dates leave each other room")
        if letter == "x":
            for degrees in ROTATIONS:
                turn = f'plt.setp({name}.get_xticklabels(), rotation={degrees}, ha="right")'
                yield Remedy(turn, f"turned {degrees} degrees the labels leave each other room")
                yield Remedy(turn + '\nfig.set_layout_engine("constrained")',
                             f"turned {degrees} degrees, with room made for them, the labels clear")
        if not _fixed(axis):
            count = len(axis.get_majorticklocs())
            for n in range(count - 1, 2, -1):
                yield Remedy(f"{name}.{letter}axis.set_major_locator(MaxNLocator({n}))",
                             f"at most {n} ticks leave their labels room")

    def layouts(self, collision) -> Iterator[Remedy]:
        engine = self.fig.get_layout_engine()
        involved = (collision.a_id, collision.b_id)
        # A suptitle placed by hand stays where it is; said again, the layout places it.
        again = "".join(f"{name}.suptitle({name}.get_suptitle())\n" for name in self._placed_suptitles(involved))
        if again and engine is not None:
            yield Remedy(again.rstrip(), "said again, the suptitle takes the place the layout gives it")
        if not type(engine).__name__.startswith("Constrained"):
            yield Remedy(again + 'fig.set_layout_engine("constrained")', "a layout engine makes room for every element")
        if engine is None:
            yield Remedy("fig.tight_layout()", "tight layout makes room for the labels")
            # Texts and legends of the figure itself: room made at its edges.
            for side in self._figure_edges(involved):
                for margin in ((0.2, 0.25, 0.3) if side in ("bottom", "left") else (0.85, 0.8, 0.75)):
                    yield Remedy(f"fig.subplots_adjust({side}={margin})", f"more room at the {side} of the figure")
        if collision.kind == "clipping" and self.options.get("bbox_inches") != "tight":
            yield Remedy('fig.savefig("figure.png", bbox_inches="tight")',
                         "a tight bounding box keeps what passes the edge",
                         save=(("bbox_inches", "tight"),))

    def _placed_suptitles(self, involved) -> list[str]:
        names = []
        for ident in involved:
            if ident == "suptitle" or ident.endswith(".suptitle"):
                figure = ident.rsplit(".", 1)[0]
                names.append("fig" if figure == "fig" else self.names.get(("figure", figure)))
        return [n for n in names if n]

    @staticmethod
    def _figure_edges(involved) -> list[str]:
        edges = []
        for ident in involved:
            if ident.startswith("fig.legend") or ident == "fig.supxlabel":
                edges.append("bottom")
            if ident.startswith("fig.legend") or ident == "fig.suptitle":
                edges.append("top")
            if ident == "fig.supylabel":
                edges.append("left")
        return list(dict.fromkeys(edges))


def _is_text(artist) -> bool:
    from matplotlib.text import Text

    return isinstance(artist, Text)


def _is_date(axis) -> bool:
    from matplotlib import dates

    return isinstance(axis.get_major_formatter(), (dates.AutoDateFormatter, dates.ConciseDateFormatter,
                                                   dates.DateFormatter))


def _fixed(axis) -> bool:
    """Ticks put where the labels belong (categories, hand-placed): a locator must not move them."""
    from matplotlib.ticker import FixedLocator

    converter = axis.get_converter() if hasattr(axis, "get_converter") else axis.converter
    return isinstance(axis.get_major_locator(), FixedLocator) or converter is not None and not _is_date(axis)


def _expressions(fig) -> dict:
    """Python expressions, from ``fig``, for the axes, legends and texts a hint
    may name (by id), and for the subfigures (by ("figure", their own id))."""
    names: dict = {}

    def axes(ax, name: str) -> None:
        names[id(ax)] = name
        legend = ax.get_legend()
        if legend is not None:
            names[id(legend)] = f"{name}.get_legend()"
        for k, text in enumerate(ax.texts):
            names[id(text)] = f"{name}.texts[{k}]"
        for k, child in enumerate(ax.child_axes):
            axes(child, f"{name}.child_axes[{k}]")

    def figure(container, name: str, ident: str) -> None:
        names[("figure", ident)] = name
        for i, ax in enumerate(container.axes):
            axes(ax, f"{name}.axes[{i}]")
        for j, legend in enumerate(container.legends):
            names[id(legend)] = f"{name}.legends[{j}]"
        for k, text in enumerate(container.texts):
            names[id(text)] = f"{name}.texts[{k}]"
        for j, sub in enumerate(container.subfigs):
            figure(sub, f"{name}.subfigs[{j}]", f"sf{j}" if ident == "fig" else f"{ident}.sf{j}")

    figure(fig, "fig", "fig")
    return names


def _forget(trial) -> None:
    """A copy of a pyplot figure registers itself with pyplot; it must not stay."""
    from tessary._mpl import forget_pyplot_figure

    forget_pyplot_figure(trial)
