"""Which changes might clear a figure's findings, in the order a designer
reaches for them: a layout engine or margins; the element's own placement
options (a legend's ``loc``, a text's alignment, an axis label's pad);
thinning or turning ticks through the axis's own locator; moving a free
text; the figure's size.

Each change is a line of Python naming the figure ``fig``, for one subject
(the layout, the size, one text, one legend, one axis's ticks). A text that
labels something (a point, a bar, a contour line) keeps to what it labels:
it moves only within reach of it, or not at all.

matplotlib (and what needs it) is imported only inside the functions here.
"""

from __future__ import annotations

import math
from collections.abc import Iterator
from dataclasses import dataclass

LAYOUT, PLACEMENT, TICKS, MOVE, SIZE = range(5)

LEGEND_PLACES = ("upper right", "upper left", "lower left", "lower right", "center left", "center right",
                 "lower center", "upper center", "right", "center")
# Offsets to try for a text, in pixels, nearest first: rings of 16 directions.
TEXT_STEPS = (6, 12, 18, 24, 36, 48, 72, 96)
TEXT_TRIES = 3  # moves of one text that are linted, once screened on the pixels
TICK_ROTATIONS = (30, 45)
SIZE_FACTORS = (1.25, 1.5)
# Roles a reader reads: a text moved must not come to touch one of them.
READ = frozenset({"annotation", "title", "suptitle", "axis-label", "tick-label", "legend"})
HORIZONTAL = {"left": 0.0, "center": -0.5, "right": -1.0}
VERTICAL = {"bottom": 0.0, "baseline": 0.0, "center_baseline": -0.5, "center": -0.5, "top": -1.0}
LAYOUT_KINDS = ("clipping", "text_text", "element_element")


@dataclass(frozen=True)
class Remedy:
    """A change for ``subjects``, meant to clear the findings ``targets``
    (keys): all of them at once when ``whole``, else as many as it can."""

    code: str
    reason: str
    rank: int
    subjects: frozenset[str]
    targets: frozenset = frozenset()
    whole: bool = True
    save: tuple[tuple[str, object], ...] = ()


def key(collision) -> tuple[str, str, str]:
    return collision.kind, collision.a_id, collision.b_id


def candidates(search, collisions) -> list[Remedy]:
    """Every remedy worth trying for ``collisions``, the designer's order kept
    within each rank; one remedy a code, meant for all its findings."""
    found: list[Remedy] = []
    found += layouts(search, [c for c in collisions if c.kind in LAYOUT_KINDS])
    involving: dict[str, list] = {}
    for c in collisions:
        involving.setdefault(c.a_id, []).append(c)
        involving.setdefault(c.b_id, []).append(c)
    for ident, own in involving.items():
        element = search.elements.get(ident)
        if element is None:
            continue
        if element.role == "legend":
            found += legend_places(search, element, [c for c in own if c.kind == "over_data" and c.a_id == ident])
        elif element.role == "annotation" and _is_text(element.artist):
            found += text_places(search, element, [c for c in own if c.kind in ("clipping", "over_data",
                                                                                  "text_text")])
        elif element.role == "axis-label":
            found += label_pads(search, element, [c for c in own if c.kind == "text_text"])
        if element.role in ("title", "axis-label", "suptitle"):
            found += wrapped(search, element, [c for c in own if c.kind in LAYOUT_KINDS])
    found += ticks(search, collisions)
    found += sizes(search, [c for c in collisions if c.kind in LAYOUT_KINDS or _tick_pair(search, c)])
    merged: dict[str, Remedy] = {}
    for remedy in found:
        if remedy.code in merged:
            first = merged[remedy.code]
            merged[remedy.code] = Remedy(first.code, first.reason, first.rank, first.subjects,
                                         first.targets | remedy.targets, first.whole and remedy.whole, first.save)
        else:
            merged[remedy.code] = remedy
    return sorted(merged.values(), key=lambda r: r.rank)  # stable: the order within a rank stays


# -- the layout --

def layouts(search, collisions) -> list[Remedy]:
    if not collisions:
        return []
    targets = frozenset(key(c) for c in collisions)
    fig, found = search.fig, []
    engine = fig.get_layout_engine()
    involved = {i for c in collisions for i in (c.a_id, c.b_id)}
    # A suptitle placed by hand stays where it is; said again without a place, the layout places it.
    again = "".join(code + "\n" for code in _suptitles_said(search, involved))

    def layout(code: str, reason: str) -> Remedy:
        return Remedy(code, reason, LAYOUT, frozenset({"layout"}), targets, whole=False)

    if again and engine is not None:
        found.append(layout(again.rstrip(), "said again, the suptitle takes the place the layout gives it"))
    if not type(engine).__name__.startswith("Constrained"):
        found.append(layout(again + 'fig.set_layout_engine("constrained")',
                            "a layout engine makes room for every element"))
    if engine is None:
        found.append(layout("fig.tight_layout()", "tight layout makes room for the labels"))
        for side in _figure_edges(involved):
            for margin in ((0.2, 0.25, 0.3) if side in ("bottom", "left") else (0.85, 0.8, 0.75)):
                found.append(layout(f"fig.subplots_adjust({side}={margin})", f"more room at the {side} of the figure"))
    clipped = frozenset(key(c) for c in collisions if c.kind == "clipping")
    if clipped and search.options.get("bbox_inches") != "tight":
        # It makes the picture larger than the figure: ranked with the figure's size, before it.
        found.append(Remedy('fig.savefig(..., bbox_inches="tight")', "saved to a tight box, what passes the edge is kept",
                            SIZE, frozenset({"saving"}), clipped, whole=False, save=(("bbox_inches", "tight"),)))
    return found


def _suptitles_said(search, involved, text: str | None = None, placed: bool = True) -> Iterator[str]:
    """The code that says again each suptitle among ``involved`` with its own
    font and without a place, so that the layout places it: those placed by
    hand (``placed``), or those in their usual place, with a new ``text``."""
    import matplotlib as mpl
    from matplotlib.font_manager import FontProperties

    for ident in involved:
        if not (ident == "fig.suptitle" or ident.endswith(".suptitle")):
            continue
        element = search.elements.get(ident)
        figure = search.names.get(("figure", ident.rsplit(".", 1)[0]))
        if element is None or figure is None:
            continue
        title = element.artist
        if (tuple(title.get_position()) != (0.5, 0.98)) != placed:
            continue
        font = ""
        if title.get_fontsize() != FontProperties(size=mpl.rcParams["figure.titlesize"]).get_size_in_points():
            font += f", fontsize={title.get_fontsize():g}"
        if title.get_fontweight() != mpl.rcParams["figure.titleweight"]:
            font += f", fontweight={title.get_fontweight()!r}"
        yield f"{figure}.suptitle({title.get_text() if text is None else text!r}{font})"


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


def sizes(search, collisions) -> list[Remedy]:
    if not collisions:
        return []
    width, height = search.fig.get_size_inches()
    targets = frozenset(key(c) for c in collisions)
    return [Remedy(f"fig.set_size_inches({width * f:.3g}, {height * f:.3g})",
                   f"a figure {round((f - 1) * 100)} % larger leaves the elements room", SIZE,
                   frozenset({"size"}), targets, whole=False) for f in SIZE_FACTORS]


# -- the element's own placement --

def legend_places(search, legend, collisions) -> list[Remedy]:
    """The usual places, and just outside the axes, that clear the legend's
    findings alone, where it hides the least data first."""
    name = search.names.get(id(legend.artist))
    if name is None or not collisions:
        return []
    targets = frozenset(key(c) for c in collisions)
    own = frozenset({legend.ident})
    tried = [Remedy(f'{name}.set_loc("{place}")', f"at {place} the legend hides the least data", PLACEMENT, own,
                    targets) for place in LEGEND_PLACES]
    if name.endswith(".get_legend()"):
        tried.append(Remedy(f'{name}.set_loc("upper left")\n{name}.set_bbox_to_anchor((1.02, 1))\n'
                            'fig.set_layout_engine("constrained")', "outside the axes the legend hides no data",
                            PLACEMENT, own | {"layout"}, targets))
    passing = [r for r in tried if search.holds_alone(r, r.targets)]
    return sorted(passing, key=lambda r: search.ink_under(r, legend.ident))


def label_pads(search, label, collisions) -> list[Remedy]:
    """An axis label on its own tick labels moves away from the axis."""
    axes = label.within[:1]
    mine = [c for c in collisions if search.elements.get(c.b_id if c.a_id == label.ident else c.a_id) is not None
            and search.elements[c.b_id if c.a_id == label.ident else c.a_id].within[:1] == axes]
    name = search.names.get(axes[0]) if axes else None
    letter = label.ident.rsplit(".", 1)[-1][:1]
    if not mine or name is None or letter not in "xy":
        return []
    pad = getattr(search.axes.get(axes[0]), f"{letter}axis").labelpad
    return [Remedy(f"{name}.{letter}axis.labelpad = {pad + extra:g}",
                   f"{extra} points further from its axis the label clears the tick labels", PLACEMENT,
                   frozenset({label.ident}), frozenset(key(c) for c in mine)) for extra in (6, 12, 18)]


def wrapped(search, element, collisions) -> list[Remedy]:
    """A long title or axis label set on two or three lines, its font kept."""
    words = element.artist.get_text().split(" ")
    if not collisions or "\n" in element.artist.get_text() or len(words) < 2:
        return []
    place, _, part = element.ident.rpartition(".")
    name = search.names.get(("figure", place)) if part == "suptitle" else search.names.get(element.within[0]) \
        if element.within else None
    if name is None:
        return []
    setters = {"title": f"{name}.title.set_text", "xlabel": f"{name}.set_xlabel", "ylabel": f"{name}.set_ylabel"}
    found = []
    for lines in (2, 3)[:1 + (len(words) >= 6)]:
        text = _balanced(words, lines)
        if part == "suptitle":
            code = next(_suptitles_said(search, [element.ident], text, placed=False), None)
        else:
            code = f"{setters[part]}({text!r})" if part in setters else None
        if code is not None:
            found.append(Remedy(code, f"on {lines} lines the text fits", PLACEMENT, frozenset({element.ident}),
                                frozenset(key(c) for c in collisions)))
    return found


def _balanced(words: list[str], lines: int) -> str:
    """The words on ``lines`` lines of lengths as even as can be."""
    total = len(" ".join(words))
    out, line = [], []
    for word in words:
        if line and len(" ".join(line + [word])) > total / lines + len(word) / 2 and len(out) < lines - 1:
            out.append(" ".join(line))
            line = []
        line.append(word)
    return "\n".join(out + [" ".join(line)])


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


# -- ticks --

def _tick_pair(search, collision) -> tuple | None:
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
        pair = _tick_pair(search, c)
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
