"""Fix hints: for a figure's findings, the changes a designer would make,
each proven before it is given.

The candidate changes (``remedies``) are tried in the order a designer
reaches for them, each on a deep copy of the figure that carries every change
taken before it, and the copy is linted again. A change is taken only if,
with those before it, nothing new is found, nothing cleared comes back and,
for one element, every finding it was meant for is gone at once: one hint an
element, or none, and all of them together proven too. The user's figure is
never changed.

matplotlib is imported only inside the functions here, so ``import tessary``
keeps working without it.
"""

from __future__ import annotations

import copy
from dataclasses import dataclass

from tessary._core import Collision
from tessary.remedies import Remedy, candidates, key


@dataclass(frozen=True)
class Hint:
    """A change that clears a finding: ``code`` to paste (``fig`` is the
    figure), why, and the finding it clears. ``save`` holds the ``savefig``
    arguments the code asks for, when the change is in how the figure is saved."""

    code: str
    reason: str
    clears: Collision
    save: tuple[tuple[str, object], ...] = ()

    def apply(self, fig) -> dict:
        """Makes the change on ``fig``; returns the savefig arguments to lint it with."""
        return _apply(self.code, self.save, fig)


def _apply(code: str, save: tuple, fig) -> dict:
    if not save:
        exec(code, {"fig": fig})  # noqa: S102 - our own generated code, proven on a copy
    return dict(save)


def hints(fig, collisions, *, resave: bool = True, **options) -> list[Hint | None]:
    """For each collision of ``fig`` (as :func:`tessary.lint` found it with
    ``options``), a verified :class:`Hint`, or None when no change clears it
    without adding a finding, or the figure cannot be copied. Collisions
    cleared by one change share its hint. ``resave`` false leaves out changes
    in how the figure is saved (for a figure that is shown, not saved)."""
    collisions = list(collisions)
    try:
        _forget(copy.deepcopy(fig))
    except Exception:  # noqa: BLE001 - an uncopyable figure gets no hint, it is not an error
        return [None] * len(collisions)
    return Search(fig, options, resave).plan(collisions)


class Search:
    """Tries changes on copies of one figure, each set of changes once."""

    def __init__(self, fig, options: dict, resave: bool = True):
        from tessary.lint import lint_figure

        self.fig = fig
        self.options = options
        self.resave = resave
        linted = lint_figure(fig, **options)
        self.baseline = {key(c) for c in linted.collisions}
        self.elements = {e.ident: e for e in linted.elements}
        self.axes = {id(e.artist): e.artist for e in linted.elements if e.region is not None}
        self.recording = linted.recording
        self.names = _expressions(fig)
        self.tried: dict[tuple, tuple | None] = {}  # codes -> (findings, lint, the copy) or None if one failed

    def plan(self, collisions: list[Collision]) -> list[Hint | None]:
        """The changes taken, in the designer's order, and for each collision
        the one that cleared it. A change that holds an earlier one whole (the
        same layout engine, and labels turned) takes its place."""
        taken: list[Remedy] = []
        cleared: dict[tuple, Remedy] = {}
        for remedy in candidates(self, collisions):
            if remedy.save and not self.resave:
                continue
            replaced = [t for t in taken if t.subjects & remedy.subjects]
            if any(not _lines(t.code) <= _lines(remedy.code) for t in replaced):
                continue
            open_targets = remedy.targets - cleared.keys()
            if not open_targets:
                continue
            kept = [t for t in taken if t not in replaced]
            outcome = self.outcome((*kept, remedy))
            if outcome is None or outcome[0] - self.baseline or outcome[0] & cleared.keys():
                continue
            now = self.baseline - outcome[0]
            if not (open_targets <= now if remedy.whole else open_targets & now):
                continue
            credited = {f for f in now if f not in cleared or cleared[f] in replaced}
            if kept and not self.holds_alone(remedy, credited):
                continue
            taken = [*kept, remedy]
            for found in credited:
                cleared[found] = remedy
        chosen = [cleared.get(key(c)) for c in collisions]
        return [None if r is None else Hint(r.code, r.reason, c, r.save) for r, c in zip(chosen, collisions)]

    def outcome(self, remedies: tuple[Remedy, ...]):
        """The findings after the changes, that lint and the copy, or None if one failed."""
        codes = tuple(r.code for r in remedies)
        if codes not in self.tried:
            self.tried[codes] = self._try(remedies)
        return self.tried[codes]

    def _try(self, remedies: tuple[Remedy, ...]):
        from tessary.lint import lint_figure

        trial = copy.deepcopy(self.fig)
        try:
            save: dict = {}
            for remedy in remedies:
                save.update(_apply(remedy.code, remedy.save, trial))
            linted = lint_figure(trial, **{**self.options, **save})
            found = {key(c) for c in linted.collisions}
            # A change alone is kept whole, to be measured; of several, what they found is enough.
            return (found, linted, trial) if len(remedies) == 1 else (found, None, None)
        except Exception:  # noqa: BLE001 - a change that does not apply is no hint
            return None
        finally:
            _forget(trial)

    def holds_alone(self, remedy: Remedy, clears: set) -> bool:
        """Pasted without the changes taken before it, the change still clears
        what it is credited with and brings nothing new."""
        outcome = self.outcome((remedy,))
        return outcome is not None and not outcome[0] - self.baseline and not clears & outcome[0]

    def ink_under(self, remedy: Remedy, ident: str) -> float:
        """How much data ink the element covers once the change is made."""
        from tessary import ink, record

        _, linted, trial = self.outcome((remedy,))
        legend = next((e for e in linted.elements if e.ident == ident), None)
        if legend is None:
            return 0.0
        data = ink.Data(linted.recording, trial)
        return sum(data.ink(e, legend.box()) for e in linted.elements
                   if e.role == "data-artist" and record.intersection(e.box(), legend.box()) is not None)

    def reach(self, text):
        from tessary.text_remedies import reach

        return reach(text, self.fig)


def _lines(code: str) -> set[str]:
    return set(code.splitlines())


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
