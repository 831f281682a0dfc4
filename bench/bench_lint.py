"""Time tessary.lint on every corpus figure next to a PNG savefig and matplotlib's
own layout pass (Figure.draw_without_rendering) of the same figure, in the same
run, and the share of lint spent recording, classifying and confirming with
pixels; then dense figures at growing sizes.

    python bench/bench_lint.py [--repeat N] [--quick] [--only SUBSTRING] [--corpus DIR]

Times are the best of N runs (each run interleaves the contenders, so that drift
on a shared machine reaches all alike). "full render" is lint drawing every
pixel of the figure while it records, as it did before the recording pass drew
nothing; the findings of both must be the same.
"""

import argparse
import io
import runpy
import statistics
import sys
import time
import warnings
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

from tessary.lint import lint_figure  # noqa: E402

CORPUS = Path(__file__).resolve().parent.parent / "tests" / "figures"


def best(action, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return min(times)


def measure(fig, repeat):
    """Seconds for savefig, draw_without_rendering, lint, lint with a full render,
    and the stages of lint; the findings of both lints."""
    stages = {}
    contenders = {
        "savefig": lambda: fig.savefig(io.BytesIO(), format="png"),
        "layout": fig.draw_without_rendering,
        "lint": lambda: lint_figure(fig),
        "full": lambda: lint_figure(fig, keep_picture=True),
    }
    for action in contenders.values():
        action()  # warm caches (fonts, glyphs) outside the timing
    times = {name: [] for name in contenders}
    for _ in range(repeat):
        for name, action in contenders.items():
            times[name].append(best(action, 1))
    lint_figure(fig, timings=stages)
    found = [sorted((c.kind, c.a_id, c.b_id) for c in lint_figure(fig, keep_picture=keep).collisions)
             for keep in (False, True)]
    return {name: min(t) for name, t in times.items()}, stages, found[0] == found[1]


def corpus(repeat, only, folder=CORPUS):
    plt.show = lambda *args, **kwargs: None
    rows = []
    for path in sorted(Path(folder).glob("*.py")):
        if only and only not in path.name:
            continue
        plt.close("all")
        with warnings.catch_warnings(), matplotlib.rc_context():
            warnings.simplefilter("ignore")
            runpy.run_path(str(path), run_name="__main__")
            for number in plt.get_fignums():
                times, stages, same = measure(plt.figure(number), repeat)
                rows.append((f"{path.stem}:{number}", times, stages, same))
    plt.close("all")
    return rows


def dense(kind, size):
    """A figure with ``size`` points, tick labels or subplots, laid out so that
    each part has the same room at every size: the work then grows with the size
    alone, not with crowding."""
    rng = np.random.default_rng(0)
    if kind == "scatter":
        fig, ax = plt.subplots(figsize=(6, 4))
        ax.scatter(*rng.uniform(size=(2, size)), s=2, label="points")
        ax.legend(loc="center")
        return fig
    count = size // LABELS_PER_AXES if kind == "ticks" else size
    side = int(np.ceil(np.sqrt(count)))
    fig = plt.figure(figsize=(2.5 * side, 2 * side))
    for i in range(count):
        ax = fig.add_subplot(side, side, i + 1)
        ax.plot([0, 1], [0, i])
        ax.set_title(str(i), fontsize=6)
        if kind == "ticks":
            ax.set_xticks(np.linspace(0, 1, LABELS_PER_AXES), [f"{j}" for j in range(LABELS_PER_AXES)], fontsize=3,
                          rotation=90)
    return fig


LABELS_PER_AXES = 40


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--quick", action="store_true", help="one run each, smaller dense figures")
    parser.add_argument("--only", default="", help="corpus scripts whose name holds this")
    parser.add_argument("--corpus", default=CORPUS, help="a folder of figure scripts (default: the test corpus)")
    options = parser.parse_args()
    repeat = 1 if options.quick else options.repeat

    rows = corpus(repeat, options.only, options.corpus)
    print(f"{'figure':<42}{'savefig':>9}{'layout':>9}{'lint':>9}{'full':>9}{'lint/save':>10}{'lint/layout':>12}"
          f"{'record':>8}{'classify':>9}{'pixels':>8}  same")
    ratios = {"lint/save": [], "lint/layout": [], "lint/full": [], "layout/save": []}
    for name, t, stages, same in rows:
        total = sum(stages.values()) or 1.0
        share = {k: 100 * v / total for k, v in stages.items()}
        ratios["lint/save"].append(t["lint"] / t["savefig"])
        ratios["lint/layout"].append(t["lint"] / t["layout"])
        ratios["lint/full"].append(t["lint"] / t["full"])
        ratios["layout/save"].append(t["layout"] / t["savefig"])
        print(f"{name:<42}{1e3 * t['savefig']:>7.1f}ms{1e3 * t['layout']:>7.1f}ms{1e3 * t['lint']:>7.1f}ms"
              f"{1e3 * t['full']:>7.1f}ms{t['lint'] / t['savefig']:>9.2f}x{t['lint'] / t['layout']:>11.2f}x"
              f"{share.get('record', 0):>7.0f}%{share.get('classify', 0):>8.0f}%{share.get('pixels', 0):>7.0f}%"
              f"  {'yes' if same else 'NO'}")
    print(f"\n{len(rows)} figures; ratio median [p10 - p90]:")
    for name, values in ratios.items():
        q = statistics.quantiles(values, n=10)
        print(f"  {name:<12}{statistics.median(values):6.2f}x  [{q[0]:.2f} - {q[-1]:.2f}]")

    print("\ndense figures (lint, savefig, layout; seconds):")
    sizes = {"scatter": [250_000, 500_000, 1_000_000], "ticks": [2_500, 5_000, 10_000], "subplots": [50, 100, 200]}
    for kind, counts in sizes.items():
        for count in counts[:2] if options.quick else counts:
            fig = dense(kind, count)
            t = {"lint": best(lambda: lint_figure(fig), 1),
                 "savefig": best(lambda: fig.savefig(io.BytesIO(), format="png"), 1),
                 "layout": best(fig.draw_without_rendering, 1)}
            plt.close(fig)
            print(f"  {kind:<9}{count:>9}  lint {t['lint']:7.3f}  savefig {t['savefig']:7.3f}  layout {t['layout']:7.3f}"
                  f"  lint per item {1e6 * t['lint'] / count:7.2f} us")


if __name__ == "__main__":
    sys.exit(main())
