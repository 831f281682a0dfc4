"""Annotated pictures: tags and key sized to the figure, the key wrapped within
the picture, one number an element, tags that never cover each other, and a
group of findings as one line of the key."""

import io
from itertools import combinations
from types import SimpleNamespace

import numpy as np
import pytest

pytest.importorskip("matplotlib")

import matplotlib.image as mpimg  # noqa: E402
from matplotlib.backends.backend_agg import FigureCanvasAgg  # noqa: E402

from tessary._core import Collision  # noqa: E402
from tessary.annotate import annotated_figure, write_annotated  # noqa: E402
from tessary.groups import summary  # noqa: E402
from tessary.lint import describe  # noqa: E402


def white(width, height):
    return np.full((height, width, 4), 255, np.uint8)


def pair(a_id, a_box, b_id, b_box, kind="text_text"):
    return Collision(kind, "text", a_id, a_box, "text", b_id, b_box, 0.5)


def key(fig):
    return [t for t in fig.texts if "monospace" in t.get_fontfamily()]


TICKS = [(f"ax0.xtick[{i}]", (60 + 20 * i, 30, 100 + 20 * i, 45)) for i in range(30)]


@pytest.mark.parametrize("given", [True, False], ids=["dpi given", "dpi guessed"])
@pytest.mark.parametrize("dpi", [50, 100, 200, 300])
def test_tags_and_key_scale_with_the_figure(dpi, given):
    width, height = int(6.4 * dpi), int(4.8 * dpi)
    a, b = (width * 0.4, height * 0.5, width * 0.6, height * 0.6), (width * 0.5, height * 0.55, width * 0.7, height)
    fig = annotated_figure(white(width, height), [pair("ax0.title", a, "fig.suptitle", b)], dpi=dpi if given else None)
    renderer = FigureCanvasAgg(fig).get_renderer()
    for text in fig.axes[0].texts + key(fig):
        # Read at the figure's own scale: like its small print, not a speck nor a banner.
        assert 1 / 60 < text.get_window_extent(renderer).height / height < 1 / 15, text.get_text()


def test_the_key_wraps_within_the_frames_width():
    label = "'" + "a long label in many words " * 12 + "'"
    collisions = [pair(f"ax0.title{label}", (10, 200, 390, 220), "fig.suptitle", (20, 210, 380, 230))]
    renderer = FigureCanvasAgg(fig := annotated_figure(white(400, 300), collisions, dpi=100)).get_renderer()
    assert len(key(fig)) > 4
    assert all(0 <= t.get_window_extent(renderer).x0 and t.get_window_extent(renderer).x1 <= 400 for t in key(fig))
    write_annotated(white(400, 300), collisions, target := io.BytesIO(), dpi=100)
    picture = mpimg.imread(io.BytesIO(target.getvalue()))
    red = (picture[..., 0] > 0.8) & (picture[..., 1] < 0.3) & (picture[..., 2] < 0.3)
    assert picture.shape[1] == 400 and picture.shape[0] > 300 + 4 * 14
    assert red[:300].any() and not red[300:].any()


def test_one_element_keeps_one_number_across_findings_and_panels():
    title, suptitle, axes = ("ax0.title", (100, 200, 200, 220)), ("fig.suptitle", (150, 210, 250, 230)), \
        ("ax0", (50, 50, 300, 215))
    collisions = [pair(*title, *suptitle), pair(*title, *axes, kind="element_element")]
    after = (white(400, 300), collisions[1:])
    fig = annotated_figure(white(400, 300), collisions, after=after, dpi=100)
    assert [sorted(t.get_text() for t in ax.texts) for ax in fig.axes] == [["1", "2", "3"], ["1", "3"]]
    assert [t.get_text()[:6] for t in key(fig)] == ["[1,2] ", "[1,3] ", "after ", "[1,3] "]


@pytest.mark.parametrize("elements", [
    TICKS,
    [(f"ax0.ytick[{i}]", (20, 40 + 8 * i, 55, 52 + 8 * i)) for i in range(30)],
    # More than fit around the spot: some go wherever there is room.
    [(f"ax0.text[{i}]", (300 + i % 3, 200, 340, 215)) for i in range(80)],
], ids=["along x", "along y", "piled up"])
def test_crowded_tags_never_cover_each_other(elements):
    fig = annotated_figure(white(640, 480), [pair(*a, *b) for a, b in combinations(elements, 2)], dpi=100)
    boxes = [tuple(p.get_bbox().extents) for p in fig.axes[0].patches if p.get_fill()]
    assert sorted(int(t.get_text()) for t in fig.axes[0].texts) == list(range(1, len(elements) + 1))
    for a, b in combinations(boxes, 2):
        assert not (a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]), (a, b)
    assert all(0 <= x0 and x1 <= 640 and 0 <= y0 and y1 <= 480 for x0, y0, x1, y1 in boxes)


def test_findings_with_one_cause_are_one_line_with_their_hint_once():
    crowded = [pair(*TICKS[i], *TICKS[i + 1]) for i in range(26)]
    alone = pair("ax0.title", (100, 400, 200, 420), "fig.suptitle", (150, 410, 250, 430))
    rotate = SimpleNamespace(code="plt.setp(fig.axes[0].get_xticklabels(), rotation=45)\nfig.x()")
    fig = annotated_figure(white(640, 480), [*crowded, alone], [rotate] * 26 + [None], dpi=100)
    assert [t.get_text() for t in key(fig)] == [
        f"[1-27] {summary(crowded)}",
        "      fix: plt.setp(fig.axes[0].get_xticklabels(), rotation=45)",
        "      fix: fig.x()",
        f"[28,29] {describe(alone)}",
    ]
    assert len([p for p in fig.axes[0].patches if not p.get_fill()]) == 29  # each element outlined once
