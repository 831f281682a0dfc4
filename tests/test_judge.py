"""The pixel judgements: glyph distance, what data a decoration hides, labels
that sit on their data by design, and edges that really cut a text."""

import numpy as np
import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

from matplotlib.figure import Figure  # noqa: E402

from tessary import artists, record  # noqa: E402
from tessary.ink import Ink, near  # noqa: E402
from tessary.lint import find_collisions  # noqa: E402


def found(fig, **options):
    return {(c.kind, c.a_id, c.b_id) for c in find_collisions(fig, **options)}


def dot(row, col):
    return Ink(np.ones((1, 1), bool), row, col)


@pytest.mark.parametrize(
    ("other", "margin", "close"),
    [
        ((5, 5), 1, True),  # the same pixel
        ((5, 6), 1, True),  # touching
        ((6, 6), 1, True),  # touching at a corner
        ((5, 7), 1, False),  # one blank pixel between
        ((7, 7), 1, False),
        ((5, 7), 2, True),
        ((5, 8), 2, False),
        ((40, 5), 3, False),
    ],
)
def test_glyphs_are_near_within_the_margin(other, margin, close):
    assert near(dot(5, 5), dot(*other), margin) is close
    assert near(dot(*other), dot(5, 5), margin) is close


def test_near_looks_at_ink_not_at_the_boxes_around_it():
    ring = np.zeros((9, 9), bool)
    ring[0, :] = ring[-1, :] = ring[:, 0] = ring[:, -1] = True
    # A dot in the middle of a ring lies inside its box, far from its ink.
    assert not near(Ink(ring, 0, 0), dot(4, 4), 1)
    assert near(Ink(ring, 0, 0), dot(4, 7), 1)


def legend_over_a_thin_line():
    fig = Figure(figsize=(5, 3.5), dpi=100, layout="constrained")
    ax = fig.subplots()
    t = np.linspace(0, 24, 300)
    ax.plot(t, 14 + 0.3 * t, lw=0.8, label="trend")
    ax.set_ylim(10, 26)
    ax.legend(loc="center")
    return fig


def test_a_legend_across_a_thin_line_hides_it():
    [collision] = find_collisions(legend_over_a_thin_line())
    assert (collision.kind, collision.a_id, collision.b_id) == ("over_data", "ax0.legend", "ax0.line[0]'trend'")
    # The line fills a few percent of the shared area, but a larger share of the line lies under it.
    assert 0.1 < collision.severity < 0.5
    assert find_collisions(legend_over_a_thin_line(), ink_threshold=0.5) == []


def cells(crossed):
    fig = Figure(figsize=(3, 3), dpi=100, layout="constrained")
    ax = fig.subplots()
    ax.imshow([[0.2, 0.8], [0.6, 0.4]], cmap="viridis")
    for i in range(2):
        for j in range(2):
            ax.text(j, i, f"{i}{j}", ha="center", va="center", color="w" if i + j != 1 else "k")
    if crossed:
        ax.plot([-0.5, 1.5], [0.0, 0.0], color="r", lw=2)
    return fig


def test_values_written_in_their_cells_are_not_over_data():
    assert found(cells(crossed=False)) == set()


def test_a_cell_label_crossed_by_another_line_is_over_data():
    assert {(a, b) for kind, a, b in found(cells(crossed=True)) if kind == "over_data"} == {
        ("ax0.annotation[0]'00'", "ax0.line[0]"),
        ("ax0.annotation[1]'01'", "ax0.line[0]"),
    }


def test_a_text_is_cut_only_where_its_ink_meets_the_edge():
    fig = Figure(figsize=(3, 2), dpi=100)
    fig.text(0.7, 0.7, "wavelength", fontsize=12)
    # Round glyphs turned 45 degrees: the corners of their box are blank.
    rings = fig.text(0.5, 0.0, "oo", fontsize=40, rotation=45, ha="center", va="bottom")
    recording, _ = record.record(fig)
    box = next(e.box() for e in artists.elements(recording).elements if e.artist is rings)
    rings.set_y(rings.get_position()[1] - (box[1] + 3) / 200)  # its box now passes the bottom by 3 px
    assert found(fig) == {("clipping", "fig.text[0]'wavelength'", "clip")}
    rings.set_y(rings.get_position()[1] - 12 / 200)  # now the glyphs are cut too
    assert ("clipping", "fig.text[1]'oo'", "clip") in found(fig)
