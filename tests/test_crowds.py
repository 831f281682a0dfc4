"""Crowds of texts, whose pairs grow with the square of their number: counted
exactly, the same in lint, JSON and text; and out of memory said in words."""

import json
import subprocess
import sys
from collections import Counter

import numpy as np
import pytest
from conftest import raises_exactly

pytest.importorskip("matplotlib")

import matplotlib.pyplot as plt  # noqa: E402

from tessary import groups, judge  # noqa: E402
from tessary._core import CollisionReport, classify  # noqa: E402
from tessary.ink import Inks, grow  # noqa: E402
from tessary.annotate import annotated_figure  # noqa: E402
from tessary.lint import LintError, lint, lint_figure  # noqa: E402
from tessary.testing import findings_text  # noqa: E402


@pytest.mark.parametrize("seed", range(6))
@pytest.mark.parametrize("batch", [5, judge.BATCH])
def test_the_sweep_finds_what_classify_finds(monkeypatch, seed, batch):
    monkeypatch.setattr(judge, "BATCH", batch)
    rng = np.random.default_rng(seed)
    low = rng.integers(0, 30, (70, 2)) / [1, 3, 7][seed % 3]
    boxes = np.c_[low, low + rng.integers(0, 12, (70, 2)) / [1, 3, 7][seed % 3]]  # ties, and flat boxes
    threshold = [0.02, 1 / 3, 1.0][seed % 3]
    tagged = [(tuple(b), judge.UNCLIPPED, "title", str(k)) for k, b in enumerate(boxes)]
    want = [(int(c.a_id), int(c.b_id), c.severity) for c in classify(tagged, overlap_fraction=threshold)[0]]
    assert sorted((i, j, o) for batch in judge.meeting(boxes, threshold) for i, j, o in zip(*batch)) == want
    left = np.flatnonzero(rng.random(70) < 0.4)
    across = [(i, j) for i, j, _ in want if (i in left) != (j in left)]
    assert judge.pairs(boxes, threshold, left, np.setdiff1d(np.arange(70), left)) == across


def _crowded():
    fig, ax = plt.subplots(figsize=(4, 3))
    ax.set_xticks(range(40), [f"label {i}" for i in range(40)])
    for k in range(30):
        fig.text(0.2 + 0.01 * k, 0.5, f"note {k}")
    return fig


def _families(a_id, b_id):
    return tuple(sorted((groups.family(a_id), groups.family(b_id))))


@pytest.mark.parametrize("bound", [lambda counts: 25, lambda counts: counts[("ax0.xtick[*]", "ax0.xtick[*]")]],
                         ids=["25", "the labels' own count"])
def test_a_crowd_is_counted_exactly_and_lists_its_first_pairs_and_its_worst(monkeypatch, bound):
    monkeypatch.setattr(groups, "CROWD", 10**9)
    fig = _crowded()
    whole = lint_figure(fig)
    inks = Inks(whole.recording)  # brute force: every pair of texts whose grown boxes meet, in the core's order
    grown = [(grow(e.box(), inks.margin(e)), judge.UNCLIPPED, e.role, e.ident) for e in whole.elements
             if e.role in judge.TEXT_ROLES]
    candidates = [(c.a_id, c.b_id) for c in classify(grown)[0] if c.kind == "text_text"]
    counts = Counter(_families(*pair) for pair in candidates)
    bound = bound(counts)
    monkeypatch.setattr(groups, "CROWD", bound)
    bounded = lint_figure(fig)
    plt.close(fig)
    crowds = {tuple(sorted(c.families)): c for c in bounded.crowds}
    assert whole.crowds == [] and crowds
    assert {f: c.pairs for f, c in crowds.items()} == {f: n for f, n in counts.items() if n > bound}

    def findings(linted, crowded, inside=True):
        return [(c.kind, c.a_id, c.b_id, c.severity) for c in linted.collisions
                if (c.kind == "text_text" and _families(c.a_id, c.b_id) in crowded) == inside]

    for families, crowd in crowds.items():
        first = [pair for pair in candidates if _families(*pair) == families][:bound]
        every = findings(whole, [families])
        worst = max(every, key=lambda f: f[3])
        listed = [f for f in every if f[1:3] in first or f == worst]
        assert findings(bounded, [families]) == listed
        assert (crowd.checked, crowd.confirmed, crowd.severity) == (bound, len(listed) - (worst[1:3] not in first),
                                                                    worst[3])
    assert findings(bounded, crowds, inside=False) == findings(whole, crowds, inside=False)  # the rest as it was


def test_ignored_texts_make_no_crowd(monkeypatch):
    monkeypatch.setattr(groups, "CROWD", 25)
    fig = _crowded()
    linted = lint_figure(fig, ignore=["fig.text*"])
    plt.close(fig)
    assert [c.families for c in linted.crowds] == [("ax0.xtick[*]", "ax0.xtick[*]")]
    assert not [c for c in linted.collisions if "fig.text" in c.a_id + c.b_id]


def test_two_thousand_texts_in_one_place():
    fig = plt.figure()
    for k in range(2000):
        fig.text(0.3, 0.5, f"crowd {k}")
    linted = lint_figure(fig)
    plt.close(fig)
    assert linted.crowds == [groups.Crowd("text_text", ("fig.text[*]", "fig.text[*]"), "fig.text[0..1999]",
                                          2000 * 1999 // 2, 1000, 1000, 1.0)]
    assert len(linted.collisions) == 1000 and CollisionReport(linted.collisions).severity == 1.0


SCRIPT = """import matplotlib.pyplot as plt
fig = plt.figure()
for k in range(60):
    fig.text(0.3, 0.5, f"crowd {k}")
fig.text(0.3, 0.1, "clipped at the edge " * 10)
"""


def test_json_text_and_report_agree(tmp_path):
    (tmp_path / "crowd.py").write_text(SCRIPT)
    check = [sys.executable, "-m", "tessary", "check", "crowd.py"]
    document = json.loads(subprocess.run([*check, "--json"], cwd=tmp_path, capture_output=True, text=True).stdout)
    namespace = {}
    exec(SCRIPT, namespace)
    linted = lint_figure(namespace["fig"])
    plt.close(namespace["fig"])
    (crowd,) = linted.crowds
    figure = document["scripts"][0]["figures"][0]
    (group,) = {c["group"] for c in figure["collisions"] if c["kind"] == "text_text"}
    assert figure["crowds"] == [{**vars(crowd), "families": list(crowd.families), "group": group}]
    assert crowd.pairs == 60 * 59 // 2 and document["summary"]["collisions"] == len(linted.collisions)
    assert [{k: v for k, v in c.items() if k not in ("a_source", "b_source", "group")}
            for c in figure["collisions"]] == json.loads(CollisionReport(linted.collisions).to_json())
    assert ("crowd.py:4: text_text        fig.text[0..59]: 1770 pairs with boxes within reach, "
            f"{crowd.confirmed} of the first 1000 overlapping on the ink, worst severity {crowd.severity:.3f}"
            ) in subprocess.run(check, cwd=tmp_path, capture_output=True, text=True).stdout.splitlines()


@pytest.mark.parametrize("where, error, message", [
    ("tessary.record.record", MemoryError("Unable to allocate 2.4 GiB"),
     "figure 1 could not be drawn: out of memory (Unable to allocate 2.4 GiB)"),
    ("tessary.judge.near_texts", MemoryError(), "figure 1 could not be analysed: out of memory"),
])
def test_out_of_memory_says_so(monkeypatch, where, error, message):
    def exhausted(*args, **kwargs):
        raise error

    monkeypatch.setattr(where, exhausted)
    fig = plt.figure(num=1)
    try:
        with raises_exactly(LintError, message):
            lint(fig)
    finally:
        plt.close(fig)


def test_assert_clean_and_the_pictures_key_count_a_crowd_as_the_report_does():
    namespace = {}
    exec(SCRIPT, namespace)
    fig = namespace["fig"]
    linted = lint_figure(fig)
    said = findings_text(fig)
    plt.close(fig)
    frame = np.zeros((int(linted.recording.height), int(linted.recording.width), 4), np.uint8)
    key = [t.get_text() for t in annotated_figure(frame, linted.collisions, crowds=linted.crowds).texts]
    counted = "fig.text[0..59]: 1770 pairs with boxes within reach"
    assert counted in said and any(counted in line for line in key)
