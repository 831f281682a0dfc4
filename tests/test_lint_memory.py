"""What a lint keeps once it returns, and what it records when it draws a
figure as savefig would: one frame, whatever the layout engine."""

import gc
import tracemalloc
import weakref

import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

import numpy as np  # noqa: E402
from matplotlib.backends.backend_agg import RendererAgg  # noqa: E402
from matplotlib.figure import Figure  # noqa: E402

from tessary import ink, record  # noqa: E402
from tessary.lint import lint_figure  # noqa: E402

LARGE = 2**20  # bytes; one canvas of these figures at 600 dpi is over 15 times this


def figure(layout=None):
    fig = Figure(figsize=(4, 3), layout=layout)
    ax, other = fig.subplots(1, 2)
    ax.plot(np.sin(np.linspace(0, 6, 200)), label="sine")
    ax.legend(loc="center")
    ax.set_title("A title that runs on into the next one")
    other.imshow(np.random.default_rng(0).uniform(size=(20, 30)))
    other.set_title("An image")
    return fig


def large_canvases() -> set[int]:
    return {id(r) for r in gc.get_objects() if isinstance(r, RendererAgg) and np.asarray(r.buffer_rgba()).nbytes > LARGE}


@pytest.mark.parametrize("keep_picture", [False, True])
def test_nothing_large_outlives_the_lint(keep_picture):
    fig = figure()
    lint_figure(fig, dpi=30)  # fonts loaded, first allocations made
    gc.collect()
    canvases = large_canvases()
    tracemalloc.start()
    try:
        start = tracemalloc.get_traced_memory()[0]
        linted = lint_figure(fig, dpi=600, keep_picture=keep_picture)
        assert linted.collisions
        recorder = weakref.ref(linted.recorder)
        del linted
        gc.collect()
        left, peak = tracemalloc.get_traced_memory()
    finally:
        tracemalloc.stop()
    assert peak - start > 10 * LARGE  # what the lint needed on its way
    assert left - start < ink.drawn_texts.size + LARGE
    assert large_canvases() <= canvases
    if keep_picture:
        assert recorder() is None  # the picture went with the result that held it


def test_a_kept_picture_is_the_figure_as_linted():
    linted = lint_figure(figure(), dpi=50, keep_picture=True)
    picture = np.asarray(linted.recorder.buffer_rgba())
    assert picture.shape[:2] == (linted.recording.height, linted.recording.width) and picture[..., 3].min() == 255


@pytest.mark.parametrize("render", [False, True])
@pytest.mark.parametrize("layout", [None, "constrained", "tight"])
def test_a_figure_drawn_as_saved_is_recorded_once(layout, render):
    """savefig lays a figure out with a draw of its own before the one it saves."""
    saved, _ = record.record(figure(layout), render=render, save={"dpi": 120})
    shown = figure(layout)
    shown.set_dpi(120)
    drawn, _ = record.record(shown, render=render)
    assert [len(d.primitives) for d in saved] == [len(d.primitives) for d in drawn]


def test_texts_drawn_again_are_judged_as_they_are_now():
    fig = Figure(figsize=(3, 1))
    texts = fig.text(0.1, 0.5, "left side"), fig.text(0.42, 0.5, "right side")

    def touching(size):
        for text in texts:
            text.set_fontsize(size)
        return [c.kind for c in lint_figure(fig).collisions]

    assert [touching(size) for size in (8, 20, 8)] == [[], ["text_text"], []]


@pytest.mark.parametrize(("sizes", "kept"), [
    ([10, 10, 10], [0, 1, 2]),
    ([10, 10, 10, 10], [1, 2, 3]),  # past the count, the least recently used goes
    ([40, 40, 40], [1, 2]),  # past the bytes too
    ([10, 200], [0]),  # larger than all it may hold: not kept
])
def test_kept_texts_stay_within_their_bounds(sizes, kept):
    texts = ink.Kept(count=3, size=100)
    for key, size in enumerate(sizes):
        texts.put(key, (ink.Ink(np.zeros(size // 2, bool), 0, 0), ink.Ink(np.zeros(size // 2, bool), 0, 0)))
    assert [key for key in range(len(sizes)) if texts.get(key) is not None] == kept
    assert texts.bytes == sum(sizes[key] for key in kept) <= 100


def test_findings_are_the_same_at_a_high_dpi():
    def findings(dpi):
        return sorted((c.kind, c.a_id, c.b_id) for c in lint_figure(figure(), dpi=dpi).collisions)

    assert findings(100) == findings(400) != []
