"""Findings are what a reader loses: data hidden, glyphs that cannot be read
or are cut away. Each figure here isolates one rule: the same layout made
harmless, and made to cost the reader something."""

import numpy as np
import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

from matplotlib.backends.backend_agg import FigureCanvasAgg  # noqa: E402
from matplotlib.figure import Figure  # noqa: E402
from matplotlib.sankey import Sankey  # noqa: E402

from tessary import artists, record  # noqa: E402
from tessary.lint import find_collisions  # noqa: E402


def found(fig, **options):
    return {(c.kind, c.a_id, c.b_id) for c in find_collisions(fig, **options)}


def figure(width=6.4, height=4.8, dpi=100):
    return Figure(figsize=(width, height), dpi=dpi)


def ghost_axes():
    fig = figure()
    ax = fig.subplots()
    ax.plot([0, 1, 2], [0, 1, 0])
    fig.add_axes((0.3, 0.3, 0.5, 0.5)).set_visible(False)
    return fig


def hand_inset(corner: bool):
    """An inset placed by hand on its host, in an empty corner or on the data."""
    fig = figure()
    host = fig.add_axes((0.1, 0.1, 0.85, 0.8))
    x = np.linspace(0, 10, 200)
    host.plot(x, np.exp(-x / 3), lw=2)
    inset = fig.add_axes((0.55, 0.5, 0.3, 0.3) if corner else (0.25, 0.35, 0.25, 0.25))
    inset.plot(x, np.sin(x))
    inset.set_title("detail")
    return fig


def child_inset(on_data: bool):
    """An inset made by its host, in an empty corner or over the host's peak."""
    fig = figure()
    host = fig.subplots()
    x = np.linspace(0, 10, 400)
    host.plot(x, np.exp(-(x - 2) ** 2 * 4), lw=1.5)
    inset = host.inset_axes((0.1, 0.45, 0.35, 0.4) if on_data else (0.6, 0.45, 0.35, 0.4))
    inset.plot(x, x**2)
    inset.tick_params(labelbottom=False, labelleft=False)
    return fig


def colour_bar_on_tick_labels():
    fig = figure()
    ax = fig.add_axes((0.18, 0.15, 0.77, 0.75))
    image = ax.imshow(np.arange(16.0).reshape(4, 4), extent=(6, 10, 0, 3), aspect="auto")
    ax.set_xlim(0, 10)
    fig.colorbar(image, cax=fig.add_axes((0.05, 0.15, 0.15, 0.75)))
    return fig


def marker_over_boxed_label():
    fig = figure()
    ax = fig.subplots()
    # The box's wide padding holds the whole marker; the glyphs begin beyond it.
    ax.annotate("peak A", xy=(2, 3), xytext=(6, 6), textcoords="offset points", ha="left", va="bottom",
                bbox={"facecolor": "w", "pad": 12})
    ax.plot([2], [3], "o", color="k", ms=5, zorder=5)
    ax.set_xlim(0, 5)
    ax.set_ylim(0, 5)
    return fig


def rotated_label_beside_line(angle):
    fig = figure()
    ax = fig.subplots()
    ax.plot([0, 10], [0, 10])
    ax.text(6.2, 4.6, "steady warming", rotation=angle, ha="center", va="center", fontsize=12)
    ax.set_xlim(0, 10)
    ax.set_ylim(0, 10)
    return fig


def watermark(alpha):
    fig = figure()
    ax = fig.subplots()
    x = np.linspace(0, 1, 400)
    ax.plot(x, 0.5 + 0.3 * np.sin(12 * x))
    ax.text(0.5, 0.5, "DRAFT", alpha=alpha, fontsize=60, rotation=30, ha="center", va="center",
            transform=ax.transAxes)
    return fig


def legend_over_one_point():
    rng = np.random.default_rng(3)
    fig = figure()
    ax = fig.subplots()
    x = np.linspace(0, 10, 50)
    y = 2 + 0.5 * x + rng.normal(0, 0.3, 50)
    y[-1] = 9.5  # the one point under the legend
    x[-1] = 9.3
    ax.plot(x, y, "o", label="measured")
    ax.set_xlim(0, 10)
    ax.set_ylim(0, 10)
    ax.legend(loc="upper right", framealpha=1)
    return fig


def noisy_trace(text):
    rng = np.random.default_rng(0)
    fig = figure()
    ax = fig.subplots()
    t = np.linspace(0, 60, 3000)
    ax.plot(t, 0.3 * np.sin(t / 10) + 0.5 * rng.standard_normal(3000), lw=0.8)
    if text == "on":
        ax.annotate("pump restart", xy=(31, 0.0), ha="center", va="center", fontsize=12)
    else:  # above the trace, where nothing is drawn
        ax.annotate("pump restart", xy=(31, 2.6), ha="center", va="center", fontsize=12)
        ax.set_ylim(-2.5, 3.0)
    return fig


def sankey(colour, alpha):
    fig = figure()
    ax = fig.subplots()
    ax.set_axis_off()
    diagram = Sankey(ax=ax, scale=0.01, unit=None, offset=0.45, gap=0.4, margin=0.7)
    diagram.add(flows=[100, -45, -30, -25], orientations=[0, 1, 0, -1], pathlengths=[0.6, 0.4, 0.6, 0.4],
                patchlabel="100 t", facecolor=colour, alpha=alpha)
    diagram.finish()
    return fig


def spines_at_zero(curve_through_label):
    fig = figure()
    ax = fig.subplots()
    ax.spines[["left", "bottom"]].set_position("zero")
    ax.spines[["right", "top"]].set_visible(False)
    x = np.linspace(-2, 2, 200)
    ax.plot(x, np.where(x < 0, 0.0, x**2) if curve_through_label else x**2 + 0.5, color="C3", lw=2, zorder=3)
    # At the origin the bottom spine runs through "0.0" too; the clean figure labels no tick there.
    ticks = [0, 1, 2, 3] if curve_through_label else [1, 2, 3]
    ax.set_yticks(ticks, [f"{t:.1f}" for t in ticks])
    ax.set_xticks([-2, -1, 1, 2])
    ax.set_ylim(-0.5, 3)
    return fig


def text_across_frame(across):
    fig = figure()
    ax = fig.add_axes((0.2, 0.2, 0.6, 0.5))
    ax.plot([0, 1], [0, 1])
    fig.text(0.5, 0.7 if across else 0.75, "n = 480", ha="center", va="center", fontsize=12)
    return fig


def crowded_labels(gap):
    """Four 10 pt labels in a row with ``gap`` points of blank between boxes,
    and the same labels stacked with that gap between lines."""
    fig = figure(8, 2)
    renderer = FigureCanvasAgg(fig).get_renderer()
    x = 0.02
    for word in ("Mar 01", "Mar 02", "Mar 03"):
        text = fig.text(x, 0.7, word, fontsize=10)
        x += (text.get_window_extent(renderer).width + gap * 100 / 72) / 800
    y = 0.4
    for word in ("Mar 04", "Mar 05"):
        fig.text(0.6, y, word, fontsize=10, va="top")
        y -= (14 + gap * 100 / 72) / 200
    return fig


def thumbnail(title):
    fig = figure(2.2, 2.2)
    ax = fig.add_axes((0.01, 0.01, 0.98, 0.98))
    ax.imshow(np.random.default_rng(1).random((20, 20)))
    if title:
        ax.set_title("sample 14")
    return fig


def contour_label_at_edge(position):
    fig = figure(5, 4)
    ax = fig.subplots()
    x, y = np.meshgrid(np.linspace(-3, 3, 200), np.linspace(-2, 2, 150))
    lines = ax.contour(x, y, np.exp(-x**2 / 4 - y**2) * 10, levels=[1, 5, 9], colors="k")
    ax.clabel(lines, manual=[position], fontsize=11)
    return fig


def contours_labelled_on_their_bands():
    fig = figure(5, 4)
    ax = fig.subplots()
    x, y = np.meshgrid(np.linspace(-3, 3, 200), np.linspace(-2, 2, 150))
    field = np.exp(-x**2 / 4 - y**2) * 2 - 1
    levels = np.linspace(-1, 1, 9)
    ax.contourf(x, y, field, levels=levels, cmap="RdBu_r")
    ax.clabel(ax.contour(x, y, field, levels=levels, colors="k", linewidths=0.6), fontsize=8)
    return fig


def station_label_under_inset():
    fig = figure()
    ax = fig.subplots()
    ax.pcolormesh(np.random.default_rng(5).random((30, 40)), cmap="viridis")
    ax.plot([30], [5], "w^")
    ax.text(31, 5, "S2", color="w", fontsize=12, fontweight="bold")
    inset = fig.add_axes((0.6, 0.12, 0.28, 0.25))
    inset.plot([0, 1], [1, 0])
    inset.set_xticks([])
    inset.set_yticks([])
    return fig


@pytest.mark.parametrize(
    ("builder", "expected"),
    [
        pytest.param(ghost_axes, set(), id="invisible axes"),
        pytest.param(lambda: hand_inset(corner=True), set(), id="inset in an empty corner"),
        pytest.param(lambda: hand_inset(corner=False), {("element_element", "ax0", "ax1")}, id="inset on data"),
        pytest.param(lambda: child_inset(on_data=False), set(), id="child inset in an empty corner"),
        pytest.param(lambda: child_inset(on_data=True), {("element_element", "ax0", "ax0.inset[0]")},
                     id="child inset on its host's peak"),
        pytest.param(marker_over_boxed_label, set(), id="marker drawn over a text box"),
        pytest.param(lambda: rotated_label_beside_line(45), set(), id="rotated label, box across a line"),
        pytest.param(lambda: watermark(0.3), set(), id="translucent watermark"),
        pytest.param(lambda: watermark(0.9), {("over_data", "ax0.annotation[0]'DRAFT'", "ax0.line[0]")},
                     id="opaque text across a line"),
        pytest.param(legend_over_one_point, {("over_data", "ax0.legend", "ax0.line[0]'measured'")},
                     id="legend on one marker"),
        pytest.param(lambda: noisy_trace("on"), {("over_data", "ax0.annotation[0]'pump restart'", "ax0.line[0]")},
                     id="text on a noisy trace"),
        pytest.param(lambda: noisy_trace("above"), set(), id="text above a noisy trace"),
        pytest.param(lambda: sankey("k", 1.0), {("over_data", "ax0.annotation[0]'100 t'", "ax0.patch[0]")},
                     id="black label on black patch"),
        pytest.param(lambda: sankey("C0", 0.5), set(), id="label on translucent patch"),
        pytest.param(lambda: spines_at_zero(True), {("over_data", "ax0.ytick[0]'0.0'", "ax0.line[0]"),
                                                    ("element_element", "ax0", "ax0.ytick[0]'0.0'")},
                     id="curve and spine through a tick label"),
        pytest.param(lambda: spines_at_zero(False), set(), id="curve clear of tick labels"),
        pytest.param(lambda: text_across_frame(True), {("element_element", "ax0", "fig.text[0]'n = 480'")},
                     id="text struck by a frame"),
        pytest.param(lambda: text_across_frame(False), set(), id="text above a frame"),
        pytest.param(lambda: thumbnail(title=False), set(), id="thumbnail tick labels outside"),
        pytest.param(lambda: thumbnail(title=True), {("clipping", "ax0.title", "clip")}, id="title outside"),
        pytest.param(lambda: contour_label_at_edge((2.9, 0.0)), {("clipping", "ax0.annotation[0]'1'", "clip")},
                     id="contour label cut"),
        pytest.param(lambda: contour_label_at_edge((-1.5, 0.3)), set(), id="contour label inside"),
        pytest.param(contours_labelled_on_their_bands, set(), id="contour labels on filled contours"),
        pytest.param(station_label_under_inset, {("element_element", "ax0.annotation[0]'S2'", "ax1"),
                                                 ("element_element", "ax0", "ax1")},
                     id="label hidden under an axes, not read on data"),
    ],
)
def test_findings_are_what_the_reader_loses(builder, expected):
    assert found(builder()) == expected


def test_an_invisible_axes_is_no_element():
    recording, _ = record.record(ghost_axes())
    assert [e.ident for e in artists.elements(recording).elements if e.region is not None] == ["ax0"]


def test_colour_bar_over_tick_labels_hides_them():
    findings = found(colour_bar_on_tick_labels())
    hidden = {a for kind, a, b in findings if kind == "element_element" and b == "cbar0"}
    assert {f"ax0.ytick[{k}]" for k in range(4)} <= {a.split("'")[0] for a in hidden}
    assert ("element_element", "ax0", "cbar0") in findings


def test_an_insets_own_labels_on_its_host_hide_nothing():
    # Drawn after the host, the inset's title and tick labels lie on it.
    assert not {f for f in found(hand_inset(corner=True)) if "ax1." in f[1] + f[2]}


def test_a_whole_marker_under_a_legend_is_found_at_any_threshold():
    [collision] = find_collisions(legend_over_one_point(), ink_threshold=0.99)
    assert collision.kind == "over_data" and 0 < collision.severity < 0.99


def test_text_margin_follows_the_font_along_the_line_only():
    # 1.5 points (2 px) of blank between boxes: the glyphs are 2-3 px apart.
    near = {(a, b) for kind, a, b in found(crowded_labels(1.5)) if kind == "text_text"}
    assert near == {("fig.text[0]'Mar 01'", "fig.text[1]'Mar 02'"), ("fig.text[1]'Mar 02'", "fig.text[2]'Mar 03'")}
    assert found(crowded_labels(8)) == set()


@pytest.mark.parametrize("dpi", [100, 200])
def test_a_sliver_of_data_under_a_box_is_no_finding(dpi):
    """A boxed label grazing a stem by a pixel, and a legend whose edge just
    meets a bar, hide slivers: the stem and the bar go on visibly beside them."""
    fig = figure(dpi=dpi)
    ax = fig.subplots()
    ax.bar([0, 1, 2], [5, 9, 4], width=0.6, color="C1")
    ax.stem([3.5], [8.0])
    ax.set_xlim(-0.5, 4.5)
    ax.set_ylim(0, 10)
    stem_x = ax.transData.transform((3.5, 0))[0]
    x = ax.transData.inverted().transform((stem_x + 1, 0))[0]
    ax.text(x, 6, "main tap", ha="left", bbox={"facecolor": "w", "edgecolor": "none", "pad": 0})
    bar_top = ax.transData.transform((0, 9))[1]
    legend_y = ax.transAxes.inverted().transform((0, bar_top - 2))[1]
    ax.legend(["bars"], loc="lower left", bbox_to_anchor=(0.2, legend_y), borderaxespad=0, framealpha=1)
    assert {f for f in found(fig) if f[0] == "over_data"} == set()


def test_a_narrow_shared_place_never_reaches_full_severity():
    """A legend whose edge lies 6 px into a black bar hides all of the place
    they share, but that place is no measure of what is lost."""
    fig = figure()
    ax = fig.subplots()
    ax.bar([0], [9], width=0.8, color="k")
    ax.set_xlim(-0.5, 3)
    ax.set_ylim(0, 10)
    FigureCanvasAgg(fig).draw()
    right = ax.transData.transform((0.4, 0))[0]
    left = ax.transAxes.inverted().transform((right - 6, 0))[0]
    ax.legend(["a very long legend entry"], loc="center left", bbox_to_anchor=(left, 0.5), borderaxespad=0,
              framealpha=1)
    severities = [c.severity for c in find_collisions(fig) if c.kind == "over_data"]
    assert all(s < 0.5 for s in severities)
