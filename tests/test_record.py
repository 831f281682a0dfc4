"""The draw-time recorder and the element table, on figures small enough to
reason about; tests/test_corpus.py runs the realistic ones."""

import logging
import threading

import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.artist import Artist  # noqa: E402
from matplotlib.figure import Figure  # noqa: E402
from matplotlib.text import Text  # noqa: E402

import tessary  # noqa: E402
from tessary import _mpl, artists, record  # noqa: E402
from tessary.lint import find_collisions  # noqa: E402


def elements_of(fig):
    recording, _ = record.record(fig)
    return {e.ident: e for e in artists.elements(recording).elements}


def test_private_lookups_still_find_what_matplotlib_keeps_private():
    """Fails loudly when matplotlib renames what these lookups read."""
    fig = Figure()
    ax, other = fig.subplots(1, 2)
    suptitle, supx = fig.suptitle("s"), fig.supxlabel("x")
    left = ax.set_title("left", loc="left")
    assert _mpl.figure_labels(fig) == {id(suptitle): "suptitle", id(supx): "supxlabel"}
    assert _mpl.axes_titles(ax)[id(left)] == "title_left" and _mpl.axes_titles(ax)[id(ax.title)] == "title"
    colorbar = fig.colorbar(other.imshow(np.eye(2)))
    assert _mpl.colorbar_of(colorbar.ax) is colorbar and _mpl.colorbar_of(ax) is None
    secondary = ax.secondary_xaxis("top")
    assert _mpl.is_secondary_axis(secondary) and not _mpl.is_secondary_axis(ax)
    assert isinstance(secondary, _mpl.AxesBase) and isinstance(ax, _mpl.AxesBase)


def test_a_pyplot_figure_is_forgotten_whatever_the_script_made_of_close(monkeypatch):
    import copy

    import matplotlib.pyplot as plt

    fig = plt.figure()
    trial = copy.deepcopy(fig)  # registers itself under a number of its own
    monkeypatch.setattr(plt, "close", lambda *args: None)
    try:
        assert trial.number in plt.get_fignums()
        _mpl.forget_pyplot_figure(trial)
        assert trial.number not in plt.get_fignums() and plt.gcf() is fig
    finally:
        monkeypatch.undo()
        plt.close(fig)


def test_boxes_are_where_the_draw_put_them():
    fig = Figure(figsize=(4, 3), dpi=100)
    ax = fig.subplots()
    ax.plot([0, 1], [0, 1])
    level = ax.text(0.5, 0.5, "level", transform=ax.transAxes)
    tilted = ax.text(0.2, 0.8, "tilted text", rotation=40, transform=ax.transAxes)
    found = elements_of(fig)
    for ident, text in (("ax0.annotation[0]'level'", level), ("ax0.annotation[1]'tilted text'", tilted)):
        want = text.get_window_extent().extents
        # The layout box holds the font's full line height; the drawn box only the string's.
        assert found[ident].box() == pytest.approx(want, abs=4)
    assert found["ax0"].box() == pytest.approx(ax.bbox.extents)
    assert found["ax0.line[0]"].box() == pytest.approx(ax.lines[0].get_window_extent().extents, abs=2)


def test_what_is_never_drawn_is_not_an_element():
    fig, ax = plt.subplots()
    ax.imshow([[0, 1], [1, 0]])
    ax.set_axis_off()
    hidden = ax.text(0, 0, "hidden")
    hidden.set_visible(False)
    ax.set_title("")
    found = elements_of(fig)
    plt.close(fig)
    assert sorted(found) == ["ax0", "ax0.image[0]"]


def test_parts_of_a_whole_make_one_element():
    fig, ax = plt.subplots()
    ax.plot([0, 1], label="rising")
    ax.plot([1, 0], label="falling")
    ax.legend(loc="center")
    ax.annotate("note", xy=(0.2, 0.2), xytext=(0.6, 0.9), arrowprops={"arrowstyle": "->"})
    ax.bar([0.5], [0.5], label="bar")
    found = elements_of(fig)
    plt.close(fig)
    # One legend, however many texts and handles it draws; the arrow is not the annotation's text.
    assert [i for i in found if "legend" in i] == ["ax0.legend"]
    note = found["ax0.annotation[0]'note'"]
    assert {p.method for p in note.primitives} == {"draw_text"}
    assert "ax0.bars[0]'bar'" in found


def test_record_only_draws_nothing_and_records_the_same():
    def build():
        fig = Figure(figsize=(3, 2), dpi=80)
        ax = fig.subplots()
        ax.scatter(*np.random.default_rng(3).uniform(size=(2, 50)), label="points")
        ax.set_title("title")
        ax.legend()
        return fig

    drawn, drawing = record.record(build())
    recorded, silent = record.record(build(), render=False)
    # A cleared Agg buffer is transparent: alpha shows what was painted.
    assert np.asarray(silent.buffer_rgba())[..., 3].max() == 0 < np.asarray(drawing.buffer_rgba())[..., 3].max()
    boxes = {e.ident: e.box() for e in artists.elements(drawn).elements}
    assert boxes == {e.ident: e.box() for e in artists.elements(recorded).elements}


def test_draw_methods_are_restored_even_when_a_draw_fails():
    class Broken(Artist):
        def draw(self, renderer):
            raise RuntimeError("cannot draw this")

    original = Text.draw
    fig = Figure()
    fig.subplots().add_artist(Broken())
    fig.set_label("broken")
    with pytest.raises(tessary.LintError, match="figure 'broken' could not be drawn: RuntimeError: cannot draw this"):
        tessary.lint(fig)
    assert Text.draw is original and Broken.draw.__name__ == "draw"


def test_unknown_artists_are_skipped_and_named(caplog):
    class Stamp(Artist):
        def draw(self, renderer):
            gc = renderer.new_gc()
            renderer.draw_path(gc, matplotlib.path.Path.unit_rectangle(), self.axes.transAxes, (1, 0, 0))
            gc.restore()

    fig = Figure()
    ax = fig.subplots()
    ax.add_artist(Stamp())
    with caplog.at_level(logging.INFO, logger="tessary"):
        assert find_collisions(fig) == []
    assert "skipped ax0: Stamp" in caplog.text


def test_concurrent_lints_match_serial_ones():
    def build(seed):
        fig = Figure(figsize=(4, 3))
        ax = fig.subplots()
        ax.scatter(*np.random.default_rng(seed).uniform(size=(2, 2000)), label="cloud")
        ax.legend(loc="center")
        fig.suptitle("suptitle", y=0.9)
        ax.set_title("title")
        return fig

    def found(fig):
        return sorted((c.kind, c.a_id, c.b_id, round(c.severity, 9)) for c in find_collisions(fig))

    serial = [found(build(seed)) for seed in range(6)]
    results = [None] * 6

    def work(seed):
        results[seed] = found(build(seed))

    threads = [threading.Thread(target=work, args=(seed,)) for seed in range(6)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == serial and all(serial)
    assert Text.draw.__module__ == "matplotlib.text"
