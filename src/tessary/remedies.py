"""Which changes might clear a figure's findings, in the order a designer
reaches for them: a layout engine or margins; the element's own placement
options (a legend's ``loc``, a text's alignment, an axis label's pad);
thinning or turning ticks through the axis's own locator; moving a free
text; the figure's size.

Each change is a line of Python naming the figure ``fig``, for one subject
(the layout, the size, one text, one legend, one axis's ticks); texts and
ticks have modules of their own.

matplotlib (and what needs it) is imported only inside the functions here.
"""

from __future__ import annotations

from collections.abc import Iterator
from dataclasses import dataclass

LAYOUT, PLACEMENT, TICKS, MOVE, SIZE = range(5)

LEGEND_PLACES = ("upper right", "upper left", "lower left", "lower right", "center left", "center right",
                 "lower center", "upper center", "right", "center")
SIZE_FACTORS = (1.25, 1.5)
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
    from tessary.text_remedies import text_places
    from tessary.tick_remedies import tick_pair, ticks

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
    found += sizes(search, [c for c in collisions if c.kind in LAYOUT_KINDS or tick_pair(search, c)])
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


def _is_text(artist) -> bool:
    from matplotlib.text import Text

    return isinstance(artist, Text)
