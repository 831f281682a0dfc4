"""The elements of a recorded figure: which drawn artists a reader sees as one
title, legend, tick label, axes or data series, with a role, a box and an id.

Every primitive was credited to the artist that drew it. It belongs to the
outermost whole element (legend, table, offset box, text) between that artist
and its container (figure, subfigure, axes, axis, tick); failing one, to the
artist directly in the container. :data:`RULES` then names that artist: one
rule per kind of element, so that supporting a new artist type is one entry.
"""

from __future__ import annotations

import math
from collections import Counter
from collections.abc import Callable
from dataclasses import dataclass, field
from typing import Any

from matplotlib.artist import Artist
from matplotlib.axis import Axis, Tick
from matplotlib.container import BarContainer
from matplotlib.figure import FigureBase
from matplotlib.legend import Legend
from matplotlib.offsetbox import AnnotationBbox, OffsetBox
from matplotlib.patches import Arrow, Ellipse, FancyArrow, FancyArrowPatch, FancyBboxPatch, Rectangle, Wedge
from matplotlib.spines import Spine
from matplotlib.table import Table
from matplotlib.text import Text
from mpl_toolkits.axes_grid1.inset_locator import BboxConnector, BboxPatch

from tessary import _mpl
from tessary._mpl import AxesBase as Axes
from tessary.readable import readable
from tessary.record import Box, Drawn, Primitive, Recording, intersection, union

CONTAINERS = (FigureBase, Axes, Axis, Tick)
# Drawn as one thing: their parts are not elements of their own.
WHOLES = (Legend, Table, OffsetBox, AnnotationBbox, Text)

# Labels longer than this are shortened in ids: an id must stay one line.
LABEL_MAX = 24


@dataclass(eq=False)
class Element:
    """One thing a reader sees, with everything it drew."""

    role: str
    ident: str
    artist: Any  # what the user made: a BarContainer for the bars of one call
    order: int
    primitives: list[Primitive] = field(default_factory=list)
    region: Box | None = None  # axes: where they were drawn, whatever they drew
    visible_only: bool = False  # data: only the part inside its clip shows
    # The axes the element lies in, innermost first, by id; an axes lists itself first.
    within: tuple[int, ...] = ()
    # The artists it was drawn by, from itself up to the figure, by id.
    lineage: tuple[int, ...] = ()
    # The box as of the primitives counted: judging asks for it again and
    # again, and primitives are only ever added.
    _box: tuple = field(default=(-1, None), init=False, repr=False)

    def box(self) -> Box | None:
        if self.region is not None:
            return self.region
        counted, box = self._box
        if counted != len(self.primitives):
            if self.visible_only:
                box = union(p.visible_box for p in self.primitives)
            else:
                box = union(p.box for p in self.primitives if p.box is not None)
            self._box = (len(self.primitives), box)
        return box

    def clip(self, figure_box: Box) -> Box:
        """What the element may not pass: its clip rectangle when every part of
        it is clipped, else the figure. Data never counts as clipped."""
        if self.visible_only:
            return self.box() or figure_box
        drawn = [p for p in self.primitives if p.box is not None]
        if self.region is not None or not drawn or any(p.clip is None for p in drawn):
            return figure_box
        return intersection(union(p.clip for p in drawn), figure_box) or figure_box


def label(text, tex: bool = False) -> str:
    text = " ".join(readable(str(text), tex).split())
    if len(text) > LABEL_MAX:
        text = text[: LABEL_MAX - 1] + "…"
    return "'" + text.replace("'", "’") + "'"


def text_label(text: Text) -> str:
    return label(text.get_text(), text.get_usetex())


def named(artist) -> str:
    """The artist's legend label, if it has one of its own."""
    text = artist.get_label() if hasattr(artist, "get_label") else None
    # matplotlib's placeholder labels ("_child3", "_nolegend_") name nothing.
    if not text or str(text).startswith("_"):
        return ""
    return label(text)


class Place:
    """The container an artist was drawn in, with the names of its elements."""

    def __init__(self, drawn: Drawn, names: Names):
        self.drawn = drawn
        self.artist = drawn.artist
        self.names = names

    @property
    def prefix(self) -> str:
        """The id of the container, as element ids start."""
        return self.names.of(self.drawn)

    def count(self, *key) -> int:
        """0, 1, 2... for successive elements under one key, in draw order."""
        return self.names.count((id(self.artist), *key))

    @property
    def axes(self) -> Drawn:
        """The axes an axis or tick belongs to."""
        return next(d for d in self.drawn.chain() if isinstance(d.artist, Axes))

    @property
    def axis(self):
        return next(d.artist for d in self.drawn.chain() if isinstance(d.artist, Axis))


class Names:
    """Readable, stable names of containers: ``fig``, ``sf0``, ``ax1``,
    ``cbar0``, ``ax0.inset[0]``, ``sf1.ax0``."""

    def __init__(self):
        self._names: dict[int, str] = {}
        self._counts: Counter = Counter()
        self._indices: dict[tuple, dict[int, int]] = {}

    def count(self, key) -> int:
        n = self._counts[key]
        self._counts[key] += 1
        return n

    def kept(self, key, make):
        """``make()``, made once per key."""
        if key not in self._indices:
            self._indices[key] = make()
        return self._indices[key]

    def index(self, owner, attribute: str, artist, select=None) -> int | None:
        """Where ``artist`` stands in ``owner.<attribute>`` (its members that
        ``select`` keeps), looked up in a table made once per list."""
        key = (id(owner), attribute, select)
        table = self._indices.get(key)
        if table is None:
            members = [m for m in getattr(owner, attribute) if select is None or select(owner, m)]
            table = self._indices[key] = {id(m): i for i, m in enumerate(members)}
        return table.get(id(artist))

    def of(self, drawn: Drawn) -> str:
        name = self._names.get(id(drawn.artist))
        if name is None:
            name = self._names[id(drawn.artist)] = self._name(drawn)
        return name

    def prefix(self, figure: Drawn) -> str:
        """What the names of a figure's axes and subfigures start with."""
        return "" if figure.parent is None else self.of(figure) + "."

    def _name(self, drawn: Drawn) -> str:
        artist, parent = drawn.artist, drawn.parent
        if parent is None:
            return "fig"
        if isinstance(artist, FigureBase):
            return f"{self.prefix(parent)}sf{self.index(parent.artist, 'subfigs', artist)}"
        if isinstance(artist, Axes):
            kind = axes_kind(artist)
            if isinstance(parent.artist, Axes):
                j = self.index(parent.artist, "child_axes", artist, select=_same_kind[kind])
                return f"{self.of(parent)}.{kind}[{j}]"
            kind = "cbar" if kind == "cbar" else "ax"
            j = self.index(parent.artist, "axes", artist, select=_same_kind["cbar" if kind == "cbar" else "not cbar"])
            return f"{self.prefix(parent)}{kind}{j}"
        return self.of(parent)


def axes_kind(ax) -> str:
    if _mpl.colorbar_of(ax) is not None:
        return "cbar"
    if _mpl.is_secondary_axis(ax):
        return "secondary"
    return "inset"


# Selections of a list of axes, one object each so that their index tables are kept.
_same_kind = {
    "cbar": lambda owner, ax: axes_kind(ax) == "cbar",
    "secondary": lambda owner, ax: axes_kind(ax) == "secondary",
    "inset": lambda owner, ax: axes_kind(ax) == "inset",
    "not cbar": lambda owner, ax: axes_kind(ax) != "cbar",
}


# -- the rules: which artist in which container is which element --

def tick_label_name(text, place: Place) -> str:
    tick, axis = place.artist, place.axis
    letter = axis.axis_name
    minor = "_minor" if place.names.index(axis, "minorTicks", tick) is not None else ""
    side = "" if text is tick.label1 else {"x": "_top", "y": "_right"}.get(letter, "_2")
    n = place.names.count((id(axis), minor, side))
    return f"{place.names.of(place.axes)}.{letter}tick{minor}{side}[{n}]{text_label(text)}"


def axis_text_name(text, place: Place) -> str:
    axis = place.artist
    part = "label" if text is axis.label else "offset"
    return f"{place.names.of(place.axes)}.{axis.axis_name}{part}"


def title_name(text, place: Place) -> str:
    return f"{place.prefix}.{_mpl.axes_titles(place.artist)[id(text)]}"


def figure_label_name(text, place: Place) -> str:
    return f"{place.prefix}.{_mpl.figure_labels(place.artist)[id(text)]}"


def legend_name(legend, place: Place) -> str:
    if isinstance(place.artist, Axes):
        own = legend is place.artist.get_legend()
        return f"{place.prefix}.legend" + ("" if own else f"[{place.count('legend') + 1}]")
    j = place.names.index(place.artist, "legends", legend)
    return f"{place.prefix}.legend[{place.count('legend') if j is None else j}]"


def table_name(table, place: Place) -> str:
    n = place.count("table")
    return f"{place.prefix}.table" + (f"[{n}]" if n else "")


def offsetbox_name(box, place: Place) -> str:
    return f"{place.prefix}.offsetbox[{place.count('offsetbox')}]"


def text_name(text, place: Place) -> str:
    if isinstance(place.artist, Axes):
        j = place.names.index(place.artist, "texts", text)
        kind = "annotation"
    else:
        j = place.names.index(place.artist, "texts", text, select=_not_a_figure_label)
        kind = "text"
    return f"{place.prefix}.{kind}[{place.count(kind) if j is None else j}]{text_label(text)}"


def _not_a_figure_label(figure, text) -> bool:
    return id(text) not in _mpl.figure_labels(figure)


DATA_LISTS = (("line", "lines"), ("collection", "collections"), ("image", "images"), ("patch", "patches"))


def data_kind(artist, place: Place) -> tuple[str, int] | None:
    for kind, attribute in DATA_LISTS:
        j = place.names.index(place.artist, attribute, artist)
        if j is not None:
            return kind, j
    return None


def data_name(artist, place: Place) -> str:
    kind, j = data_kind(artist, place)
    return f"{place.prefix}.{kind}[{j}]{named(artist)}"


def in_plain_axes(artist, place: Place) -> bool:
    return isinstance(place.artist, Axes) and _mpl.colorbar_of(place.artist) is None


def is_data(artist, place: Place) -> bool:
    return in_plain_axes(artist, place) and data_kind(artist, place) is not None


# Shapes drawn around or pointing at something (a zoomed inset's frame and
# connectors among them); unfilled, they mark data rather than show it.
MARKING_SHAPES = (Ellipse, Rectangle, FancyBboxPatch, FancyArrowPatch, FancyArrow, Arrow, BboxPatch, BboxConnector)


def is_decoration(artist, place: Place) -> bool:
    """Reference lines and spans (``axhline``, ``axvspan``: placed across the
    axes, not by the data) and unfilled marking shapes (a callout circle) are
    drawn among the data but are not data."""
    if not in_plain_axes(artist, place):
        return False
    ax = place.artist
    # The transform the artist was placed with; a patch's own shape transform
    # comes on top of it, and costs a recomputation to ask for.
    placed = Artist.get_transform(artist)
    if placed is ax.get_xaxis_transform(which="grid") or placed is ax.get_yaxis_transform(which="grid"):
        return True
    if not isinstance(artist, MARKING_SHAPES) or (artist.get_fill() and artist.get_facecolor()[3] > 0):
        return False
    return id(artist) not in place.names.kept((id(ax), "bar patches"), lambda: {
        id(p) for c in ax.containers if isinstance(c, BarContainer) for p in c.patches})


def is_furniture(artist, place: Place) -> bool:
    """What every figure draws around its elements: axis lines, tick marks,
    gridlines, spines, backgrounds, 3D panes, a colour bar's insides."""
    container = place.artist
    if isinstance(container, (Axis, Tick)) or isinstance(artist, Spine):
        return True
    if isinstance(container, FigureBase):
        return artist is container.patch
    if artist is container.patch or _mpl.colorbar_of(container) is not None:
        return True
    # Drawn by the axes itself (3D panes and grids) rather than added to it.
    return not any(place.names.index(container, a, artist) is not None
                   for a in ("lines", "collections", "images", "patches", "texts", "artists", "tables"))


@dataclass(frozen=True)
class Rule:
    matches: Callable[[Any, Place], bool]
    role: str | None  # None: drawn, but not an element
    name: Callable[[Any, Place], str] | None = None
    visible_only: bool = False


def _is(kind, container=object, test=lambda artist, place: True):
    return lambda artist, place: isinstance(artist, kind) and isinstance(place.artist, container) and test(artist, place)


RULES: list[Rule] = [
    Rule(_is(Text, Tick, lambda t, p: t is p.artist.label1 or t is p.artist.label2), "tick-label", tick_label_name),
    Rule(_is(Text, Axis, lambda t, p: t is p.artist.label), "axis-label", axis_text_name),
    Rule(_is(Text, Axis, lambda t, p: t is p.artist.offsetText), "tick-label", axis_text_name),
    Rule(_is(Text, Axes, lambda t, p: id(t) in _mpl.axes_titles(p.artist)), "title", title_name),
    Rule(_is(Text, FigureBase, lambda t, p: _mpl.figure_labels(p.artist).get(id(t)) == "suptitle"), "suptitle",
         figure_label_name),
    Rule(_is(Text, FigureBase, lambda t, p: id(t) in _mpl.figure_labels(p.artist)), "axis-label", figure_label_name),
    Rule(_is(Legend), "legend", legend_name),
    Rule(_is(Table), "annotation", table_name),
    Rule(_is((OffsetBox, AnnotationBbox)), "annotation", offsetbox_name),
    Rule(_is(Text, (Axes, FigureBase), lambda t, p: in_plain_axes(t, p) or isinstance(p.artist, FigureBase)),
         "annotation", text_name),
    Rule(is_decoration, None),
    Rule(is_data, "data-artist", data_name, visible_only=True),
    Rule(is_furniture, None),
]


def rule_for(artist, place: Place) -> Rule | None:
    return next((rule for rule in RULES if rule.matches(artist, place)), None)


def owner(drawn: Drawn) -> tuple[Drawn, Drawn] | None:
    """The artist a primitive of ``drawn`` belongs to, and its container;
    None for a container's own primitives."""
    inside: list[Drawn] = []
    for d in drawn.chain():
        if isinstance(d.artist, CONTAINERS):
            if not inside:
                return None
            wholes = [w for w in inside if isinstance(w.artist, WHOLES)]
            return (wholes[-1] if wholes else inside[-1]), d
        inside.append(d)
    return None


def counts_for(whole, part) -> bool:
    """An annotation's arrow points at something; it is not part of the text."""
    return part is not getattr(whole, "arrow_patch", None)


@dataclass
class Elements:
    elements: list[Element]
    skipped: list[str]  # artists drawn but not understood, for --verbose


def elements(recording: Recording) -> Elements:
    return _Collector(recording).collect()


class _Collector:
    def __init__(self, recording: Recording):
        self.recording = recording
        self.names = Names()
        self.groups = _groups(recording)
        self.by_artist: dict[int, Element | None] = {}  # None: drawn, but not an element
        self.hosts: dict[tuple, Drawn] = {}  # the first axes drawn at each place
        self.skipped: list[str] = []

    def collect(self) -> Elements:
        # An axes that drew nothing (made invisible, or switched off and empty) is not there for a reader.
        painting = {id(d.artist) for drawn in self.recording if drawn.primitives for d in drawn.chain()}
        for drawn in self.recording:
            if isinstance(drawn.artist, Axes) and id(drawn.artist) in painting:
                within = tuple(id(d.artist) for d in drawn.chain() if isinstance(d.artist, Axes))
                self.by_artist[id(drawn.artist)] = Element(_axes_role(drawn, self.hosts), self.names.of(drawn),
                                                           drawn.artist, drawn.order, region=drawn.region,
                                                           within=within, lineage=_lineage(drawn))
            if not drawn.primitives:
                continue
            try:
                self._credit(drawn)
            except Exception as error:  # noqa: BLE001 - one odd artist must not stop the lint
                self.skipped.append(f"{type(drawn.artist).__name__}: could not be analysed "
                                    f"({type(error).__name__}: {error})")
        unique = {id(e): e for e in self.by_artist.values() if e is not None}
        ordered = _merge_repeated_texts(sorted(unique.values(), key=lambda e: e.order))
        return Elements([e for e in ordered if _has_box(e)], self.skipped)

    def _credit(self, drawn: Drawn) -> None:
        """Adds the primitives of ``drawn`` to the element they belong to."""
        resolved = owner(drawn)
        if resolved is None:
            return
        whole, container = resolved
        if whole is not drawn and not counts_for(whole.artist, drawn.artist):
            return
        if id(whole.artist) not in self.by_artist:
            self.by_artist[id(whole.artist)] = self._element_for(whole, container)
        element = self.by_artist[id(whole.artist)]
        if element is not None:
            element.primitives.extend(drawn.primitives)

    def _element_for(self, whole: Drawn, container: Drawn) -> Element | None:
        place = Place(container, self.names)
        rule = rule_for(whole.artist, place)
        if rule is None:
            self.skipped.append(f"{place.prefix}: {type(whole.artist).__name__}")
            return None
        if rule.role is None:
            return None
        within = tuple(id(d.artist) for d in container.chain() if isinstance(d.artist, Axes))
        group = self.groups.get(id(whole.artist)) if rule.visible_only else None
        if group is None:
            return Element(rule.role, rule.name(whole.artist, place), whole.artist, whole.order,
                           visible_only=rule.visible_only, within=within, lineage=_lineage(whole))
        stand_in, name = group
        if id(stand_in) not in self.by_artist:
            self.by_artist[id(stand_in)] = Element(rule.role, f"{place.prefix}.{name}", stand_in, whole.order,
                                                   visible_only=True, within=within,
                                                   lineage=(id(stand_in), *_lineage(whole)))
        return self.by_artist[id(stand_in)]


def _merge_repeated_texts(ordered: list[Element]) -> list[Element]:
    """One text drawn twice at one place (a halo drawn under it as a second
    text) is one text: the later copies join the first."""
    first: dict[tuple, Element] = {}
    kept = []
    for element in ordered:
        artist = element.artist
        if isinstance(artist, Text):
            x, y = artist.get_transform().transform(artist.get_unitless_position())
            key = (element.role, artist.get_text(), round(float(x), 1), round(float(y), 1), artist.get_rotation())
            if key in first:
                first[key].primitives.extend(element.primitives)
                continue
            first[key] = element
        kept.append(element)
    return kept


def _lineage(drawn: Drawn) -> tuple[int, ...]:
    return tuple(id(d.artist) for d in drawn.chain())


def _has_box(element: Element) -> bool:
    box = element.box()
    return box is not None and all(math.isfinite(v) for v in box)


def _groups(recording: Recording) -> dict[int, tuple[Any, str]]:
    """Data drawn as many patches that a reader sees as one: the bars of one bar
    call, the wedges of one pie. Patch id -> (what stands for the group, its name)."""
    groups: dict[int, tuple[Any, str]] = {}
    for drawn in recording:
        ax = drawn.artist
        if not isinstance(ax, Axes):
            continue
        for j, container in enumerate(c for c in ax.containers if isinstance(c, BarContainer)):
            for patch in container.patches:
                groups[id(patch)] = (container, f"bars[{j}]{named(container)}")
        pies: dict[tuple, list] = {}
        for patch in ax.patches:
            if isinstance(patch, Wedge) and id(patch) not in groups:
                pies.setdefault((tuple(patch.center), patch.r), []).append(patch)
        for k, wedges in enumerate(pies.values()):
            for wedge in wedges:
                groups[id(wedge)] = (wedges[0], f"pie[{k}]")
    return groups


def _axes_role(drawn: Drawn, hosts: dict) -> str:
    """Axes regions are layout elements, except where overlap is their point:
    an inset or secondary axes inside its parent, and twins on their host (the
    first axes drawn at that place, which ``hosts`` keeps)."""
    if isinstance(drawn.parent.artist, Axes):
        return "inset"
    if _mpl.colorbar_of(drawn.artist) is not None:
        return "colorbar"
    host = hosts.setdefault((id(drawn.parent), drawn.region), drawn)
    return "axes-region" if host is drawn else "twin"
