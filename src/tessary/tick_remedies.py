"""Crowded tick labels cleared through the axis's own rules: fewer ticks from
its own locator (never a new kind of locator on a log, asinh or date axis),
dates on a date locator, minor labels hidden before any major one, or labels
turned (never upright and aligned right, which puts each left of its tick).
"""

from __future__ import annotations

from collections.abc import Iterator

from tessary.remedies import TICKS, Remedy, key

TICK_ROTATIONS = (30, 45)


def tick_pair(search, collision) -> tuple | None:
    """The axes, letter and minor-ness of two tick labels of one axis that meet."""
    a, b = search.elements.get(collision.a_id), search.elements.get(collision.b_id)
    if collision.kind != "text_text" or a is None or b is None or a.role != "tick-label" or b.role != "tick-label":
        return None
    first, second = _tick_name(a.ident), _tick_name(b.ident)
    if first is None or first != second or not a.within or a.within[:1] != b.within[:1]:
        return None
    return a.within[0], *first


def _tick_name(ident: str) -> tuple[str, bool] | None:
    """The axis letter of a tick label's id, and whether it is a minor tick."""
    import re

    match = re.search(r"\.(?P<axis>[a-z]+)tick(?P<minor>_minor)?(_top|_right|_2)?\[", ident)
    return None if match is None else (match["axis"], bool(match["minor"]))


def ticks(search, collisions) -> list[Remedy]:
    by_axis: dict[tuple, list] = {}
    for c in collisions:
        pair = tick_pair(search, c)
        if pair is not None:
            by_axis.setdefault(pair, []).append(c)
    found = []
    for (axes_id, letter, minor), own in by_axis.items():
        ax = search.axes.get(axes_id)
        name = search.names.get(axes_id)
        axis = getattr(ax, f"{letter}axis", None)
        if name is None or axis is None or letter not in "xy":
            continue
        targets = frozenset(key(c) for c in own)
        subject = frozenset({f"ticks {name}.{letter}"})
        if minor:
            sides = "labelbottom=False, labeltop=False" if letter == "x" else "labelleft=False, labelright=False"
            found.append(Remedy(f'{name}.tick_params(axis="{letter}", which="minor", {sides})',
                                "the minor ticks keep their marks; the major labels say enough", TICKS,
                                subject | {"minor"}, targets))
            continue
        turned = list(_turned(search, name)) if letter == "x" else []
        if letter == "x" and _is_date(axis) and len(search.fig.axes) == 1:
            turned.insert(0, ("fig.autofmt_xdate()", "turned, the dates leave each other room"))
        if _is_date(axis):
            options = list(_fewer_dates(axis, f"{name}.{letter}axis"))
        else:
            options = list(_thinned(axis, f"{name}.{letter}axis")) if not _fixed(axis) else []
        # Numbers are thinned first; categories and dates keep every label and turn, if that is enough.
        ordered = turned + options if _fixed(axis) or _is_date(axis) else options + turned
        for code, reason in ordered:
            subjects = subject | {"layout"} if "set_layout_engine" in code else subject
            found.append(Remedy(code, reason, TICKS, subjects, targets))
    return found


# Date locators a reader knows, with the days between their ticks.
DATE_STEPS = (("mdates.WeekdayLocator(byweekday=mdates.MO)", "every Monday", 7),
              ("mdates.WeekdayLocator(byweekday=mdates.MO, interval=2)", "every other Monday", 14),
              ("mdates.MonthLocator()", "every month", 30.4),
              ("mdates.MonthLocator(bymonth=(1, 4, 7, 10))", "every quarter", 91.3),
              ("mdates.YearLocator()", "every year", 365.2))


def _fewer_dates(axis, name: str) -> Iterator[tuple[str, str]]:
    """Fewer dates, still placed by a date locator, mildest first. Only under a
    formatter of fixed format: the automatic ones keep the locator they were
    made with."""
    from matplotlib import dates

    if type(axis.get_major_formatter()) is not dates.DateFormatter:
        return
    count = len(axis.get_majorticklocs())
    low, high = sorted(axis.get_view_interval())
    for locator, words, days in DATE_STEPS:
        if 3 <= (high - low) / days < count:
            yield (f"import matplotlib.dates as mdates\n{name}.set_major_locator({locator})",
                   f"a date {words} leaves the labels room")


def _thinned(axis, name: str) -> Iterator[tuple[str, str]]:
    """Fewer ticks through the axis's own locator, most first."""
    from matplotlib import ticker

    locator = axis.get_major_locator()
    count = len(axis.get_majorticklocs())
    if isinstance(locator, ticker.MaxNLocator):
        for bins in range(count - 2, 1, -1):
            yield (f"{name}.get_major_locator().set_params(nbins={bins})",
                   f"at most {bins + 1} ticks leave their labels room")
    elif isinstance(locator, (ticker.LogLocator, ticker.AsinhLocator, ticker.SymmetricalLogLocator,
                              ticker.LinearLocator)):
        for number in range(count - 1, 2, -1):
            yield (f"{name}.get_major_locator().set_params(numticks={number})",
                   f"at most {number} ticks leave their labels room")
    elif isinstance(locator, ticker.MultipleLocator):
        step = float(axis.get_majorticklocs()[1] - axis.get_majorticklocs()[0]) if count > 1 else None
        for factor in (2, 4, 5, 10) if step else ():
            yield (f"{name}.get_major_locator().set_params(base={step * factor:g})",
                   f"a tick every {step * factor:g} leaves the labels room")


def _turned(search, name: str) -> Iterator[tuple[str, str]]:
    engine = search.fig.get_layout_engine()
    for degrees in TICK_ROTATIONS:
        turn = f'for label in {name}.get_xticklabels():\n    label.set(rotation={degrees}, ha="right")'
        yield turn, f"turned {degrees} degrees the labels leave each other room"
        if not type(engine).__name__.startswith("Constrained"):
            yield (turn + '\nfig.set_layout_engine("constrained")',
                   f"turned {degrees} degrees, with room made for them, the labels clear")
    yield (f"for label in {name}.get_xticklabels():\n    label.set(rotation=90, ha=\"center\")",
           "upright, the labels leave each other room")


def _is_date(axis) -> bool:
    from matplotlib import dates

    return isinstance(axis.get_major_formatter(), (dates.AutoDateFormatter, dates.ConciseDateFormatter,
                                                   dates.DateFormatter))


def _fixed(axis) -> bool:
    """Ticks put where the labels belong (categories, hand-placed): a locator must not move them."""
    from matplotlib.ticker import FixedLocator

    converter = axis.get_converter() if hasattr(axis, "get_converter") else axis.converter
    return isinstance(axis.get_major_locator(), FixedLocator) or converter is not None and not _is_date(axis)
