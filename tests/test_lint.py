import datetime as dt

import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

import matplotlib.dates as mdates  # noqa: E402
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.backends.backend_agg import FigureCanvasAgg  # noqa: E402
from matplotlib.figure import Figure  # noqa: E402

from tessary.ink import display_to_buffer  # noqa: E402
from tessary.lint import find_collisions, suppressed  # noqa: E402


@pytest.fixture
def make():
    """Builds figures with plt and closes them after the test."""
    figures = []

    def build(builder):
        fig = builder()
        figures.append(fig)
        return fig

    yield build
    for fig in figures:
        plt.close(fig)


def found(collisions):
    return {(c.kind, c.a_id, c.b_id) for c in collisions}


@pytest.mark.parametrize(
    ("box", "size", "region"),
    [
        ((0, 0, 10, 5), (10, 5), (0, 0, 5, 10)),  # whole buffer
        ((2, 1, 4, 3), (10, 5), (2, 2, 4, 4)),  # y flips: top row is height - y1
        ((2.5, 0.5, 3.5, 1.5), (10, 5), (3, 2, 5, 4)),  # partly covered pixels count
        ((-5, -5, 3, 20), (10, 5), (0, 0, 5, 3)),  # clamped to the buffer
        ((20, 1, 30, 2), (10, 5), (3, 10, 4, 10)),  # off the buffer: empty
    ],
)
def test_display_to_buffer(box, size, region):
    assert display_to_buffer(box, *size) == region


def test_display_to_buffer_addresses_the_drawn_pixels():
    # A box filled in display coordinates must land on exactly the buffer
    # pixels the region names.
    fig = Figure(figsize=(2, 1), dpi=50)
    fig.patches.append(
        matplotlib.patches.Rectangle((20, 10), 30, 15, transform=None, facecolor="k", linewidth=0, antialiased=False)
    )
    canvas = FigureCanvasAgg(fig)
    canvas.draw()
    buffer = np.asarray(canvas.buffer_rgba())
    r0, c0, r1, c1 = display_to_buffer((20, 10, 50, 25), 100, 50)
    assert (buffer[r0:r1, c0:c1, :3] == 0).all()
    dark = np.argwhere(buffer[:, :, 0] < 128)
    assert dark.min(axis=0).tolist() == [r0, c0] and dark.max(axis=0).tolist() == [r1 - 1, c1 - 1]


def crowded_dates():
    days = [dt.date(2020, 1, 1) + dt.timedelta(days=i) for i in range(400)]
    fig, ax = plt.subplots(figsize=(4, 3))
    fig.subplots_adjust(bottom=0.3)
    ax.plot(days, np.arange(400.0))
    ax.xaxis.set_major_locator(mdates.MonthLocator())
    ax.xaxis.set_major_formatter(mdates.DateFormatter("%Y-%m"))
    return fig


def legend_on_scatter():
    fig, ax = plt.subplots()
    x, y = np.random.default_rng(0).uniform(0, 1, (2, 3000))
    ax.scatter(x, y, s=10, label="samples")
    ax.legend(loc="upper right")
    return fig


def suptitle_on_title():
    fig, ax = plt.subplots()
    ax.set_title("axes title")
    fig.suptitle("figure title", y=0.9)
    return fig


def figure_legend_on_xlabel():
    fig, ax = plt.subplots()
    ax.plot([0, 1], label="a")
    ax.plot([1, 0], label="b")
    ax.set_xlabel("time since the start [s]")
    fig.legend(loc="lower center", ncols=2)
    return fig


def annotation_off_edge():
    fig, ax = plt.subplots()
    ax.plot([0, 1], [0, 1], label="price")
    ax.annotate("peak of the season", xy=(1, 1), xytext=(10, 0), textcoords="offset points")
    return fig


def colorbar_on_axes():
    fig, ax = plt.subplots()
    image = ax.imshow(np.eye(4))
    fig.colorbar(image, cax=fig.add_axes((0.5, 0.2, 0.05, 0.6)))
    return fig


@pytest.mark.parametrize(
    ("builder", "expected"),
    [
        (crowded_dates, ("text_text", "ax0.xtick[0]'2020-01'", "ax0.xtick[1]'2020-02'")),
        (legend_on_scatter, ("over_data", "ax0.legend", "ax0.collection[0]'samples'")),
        (suptitle_on_title, ("text_text", "ax0.title", "fig.suptitle")),
        (suptitle_on_title, ("element_element", "ax0", "fig.suptitle")),
        (figure_legend_on_xlabel, ("text_text", "ax0.xlabel", "fig.legend[0]")),
        (annotation_off_edge, ("clipping", "ax0.annotation[0]'peak of the season'", "clip")),
        (colorbar_on_axes, ("element_element", "ax0", "cbar0")),
    ],
)
def test_defect_found_with_kind_and_ids(make, builder, expected):
    collisions = find_collisions(make(builder))
    assert expected in found(collisions)


def test_ids_are_stable_between_runs(make):
    first = found(find_collisions(make(crowded_dates)))
    second = found(find_collisions(make(crowded_dates)))
    assert first and first == second


def legend_on_empty_corner():
    fig, ax = plt.subplots()
    x = np.linspace(0, 1, 50)
    ax.plot(x, x**4, label="steep")  # stays low on the left, away from the legend
    ax.legend(loc="upper left")
    return fig


def legend_on_gridlines():
    fig, ax = plt.subplots()
    ax.plot([0, 1], [0, 0.2], label="low")
    ax.grid(True)
    ax.set_xticks(np.linspace(0, 1, 21), labels=[""] * 21)
    ax.set_yticks(np.linspace(0, 1, 21), labels=[""] * 21)
    ax.set_ylim(0, 1)
    ax.legend(loc="upper center")
    return fig


def line_clipped_by_axes():
    fig, ax = plt.subplots(layout="constrained")
    ax.plot([-10, 10], [-10, 10])
    ax.set_xlim(0, 1)
    ax.set_ylim(0, 1)
    ax.set_title("zoomed in")
    return fig


def twin_axes_and_colorbar():
    fig, ax = plt.subplots(layout="constrained")
    ax.plot([0, 1], [0, 1])
    ax.twinx().plot([0, 1], [1, 0], color="C1")
    fig.colorbar(ax.imshow(np.eye(3), extent=(0, 1, 0, 1), aspect="auto"), ax=ax)
    return fig


def empty_and_hidden_texts():
    fig, ax = plt.subplots()
    ax.set_title("")
    ax.text(0.5, 0.5, "  ")
    hidden = ax.text(0.0, 1.2, "hidden, and far off the figure", transform=ax.transAxes)
    hidden.set_visible(False)
    return fig


@pytest.mark.parametrize(
    "builder",
    [legend_on_empty_corner, legend_on_gridlines, line_clipped_by_axes, twin_axes_and_colorbar, empty_and_hidden_texts],
)
def test_clean_figure_has_no_collision(make, builder):
    assert found(find_collisions(make(builder))) == set()


def test_figure_without_pyplot_canvas_is_linted_and_left_as_it_was():
    fig = Figure()
    ax = fig.subplots()
    ax.set_title("axes title")
    fig.suptitle("figure title", y=0.9)
    canvas = fig.canvas
    assert ("text_text", "ax0.title", "fig.suptitle") in found(find_collisions(fig))
    assert fig.canvas is canvas


def legend_on_lines():
    fig, ax = plt.subplots()
    x = np.linspace(0, 1, 200)
    for k in range(1, 6):
        ax.plot(x, 0.5 + 0.4 * np.sin(2 * np.pi * k * x), label=f"mode {k}")
    ax.legend(loc="center")
    return fig


@pytest.mark.parametrize(
    ("threshold", "reported"),
    [(0.05, True), (0.99, False)],
)
def test_ink_threshold_decides_over_data(make, threshold, reported):
    collisions = find_collisions(make(legend_on_lines), ink_threshold=threshold)
    over = [c for c in collisions if c.kind == "over_data"]
    assert bool(over) is reported
    for c in over:
        assert threshold < c.severity <= 1.0


def test_over_data_counts_only_the_named_artist(make):
    # Dense data on the right, a thin line on the left: the legend on the
    # left sits on the line's box and the scatter's box, but only the line's
    # few pixels are under it.
    def build():
        fig, ax = plt.subplots()
        x, y = np.random.default_rng(1).uniform(0.6, 1, (2, 3000))
        ax.scatter(x, y, s=10, label="dense")
        ax.plot([0, 1], [0.9, 0.9], lw=0.5, label="thin")
        ax.set_xlim(0, 1)
        ax.set_ylim(0, 1)
        ax.legend(loc="upper left")
        return fig

    assert [c.b_id for c in find_collisions(make(build)) if c.kind == "over_data"] == []


@pytest.mark.parametrize(
    ("patterns", "left"),
    [
        ((), {"text_text", "element_element"}),
        (("text_text",), {"element_element"}),
        (("fig.supt*",), set()),  # both findings name the suptitle
        (("ax0.title",), {"element_element"}),
        (("ax1*", "over_data"), {"text_text", "element_element"}),  # names nothing here
    ],
)
def test_ignore_silences_exactly_what_it_names(make, patterns, left):
    collisions = find_collisions(make(suptitle_on_title), ignore=patterns)
    assert {c.kind for c in collisions} == left


def test_suppressed_matches_either_id():
    from tessary import Collision

    c = Collision("text_text", "title", "ax0.title", (0, 0, 1, 1), "suptitle", "fig.suptitle", (0, 0, 1, 1), 0.5)
    assert suppressed(c, ["fig.*"]) and suppressed(c, ["ax?.title"]) and suppressed(c, ["text_text"])
    assert not suppressed(c, ["ax0", "text", "clipping", "*.legend"])


@pytest.mark.parametrize(("builder", "code"), [(suptitle_on_title, 1), (legend_on_empty_corner, 0)])
def test_lint_returns_a_report(make, builder, code):
    import tessary

    report = tessary.lint(make(builder))
    assert isinstance(report, tessary.CollisionReport)
    assert report.exit_code() == code and report.has_collisions is bool(code)
    assert [c.a_id for c in report.by_type("text_text")] == (["ax0.title"] if code else [])
