"""Time tessary.lint on every corpus figure next to a PNG savefig and matplotlib's
own layout pass (Figure.draw_without_rendering) of the same figure, in the same
run, and the share of lint spent recording, classifying and confirming with
pixels; then the peak memory of lint next to that of a PNG savefig of one
10 x 8 in figure at growing dpi; then dense figures at growing sizes.

    python bench/bench_lint.py [--repeat N] [--quick] [--only SUBSTRING] [--corpus DIR]
                               [--parts corpus,memory,dense] [--memory-dpi 100,300,1000,2000]
                               [--crowd-labels 2000,20000]

Times are the best of N runs (each run interleaves the contenders, so that drift
on a shared machine reaches all alike). "full render" is lint drawing every
pixel of the figure while it records, as it did before the recording pass drew
nothing; the findings of both must be the same.

Memory is measured in a fresh process for each action, after the imports, the
figure and a first small draw of it (fonts loaded): the peak resident memory
during the action (Linux's VmHWM, reset just before it) less the resident
memory before it (VmRSS), and what stays resident once the result is dropped, the
figure closed and the garbage collected.
"""

import argparse
import gc
import io
import json
import re
import runpy
import statistics
import subprocess
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


def memory_figure():
    """10 x 8 in: lines with a legend and a boxed note in three axes, an image in the fourth."""
    rng = np.random.default_rng(0)
    fig, axes = plt.subplots(2, 2, figsize=(10, 8))
    for ax in axes.flat[:3]:
        for k in range(3):
            ax.plot(np.cumsum(rng.normal(size=500)), label=f"series {k}")
        ax.set(title="A title", xlabel="x label", ylabel="y label")
        ax.legend(loc="upper left")
        ax.text(100, 0, "a note", bbox={"facecolor": "white"})
    axes.flat[3].imshow(rng.uniform(size=(40, 60)))
    axes.flat[3].set_title("An image")
    fig.suptitle("Suptitle")
    return fig


def _status(field):
    """A field of Linux's /proc/self/status, in MB."""
    found = re.search(rf"^{field}:\s+(\d+) kB", Path("/proc/self/status").read_text(), re.MULTILINE)
    return int(found.group(1)) / 1024


def crowded_figure(labels):
    """One axes whose x axis has ``labels`` tick labels, each over many of its neighbours."""
    fig, ax = plt.subplots(figsize=(10, 8))
    ax.plot([0, labels - 1], [0, 1])
    ax.set_xticks(range(labels), [f"label number {i}" for i in range(labels)])
    return fig


def memory_child(action, dpi, labels=0):
    """In a fresh process: MB at peak during ``action`` and resident after it, over before it,
    and its seconds."""
    # Fonts loaded and first allocations made; a crowded figure would take minutes to warm itself.
    warm = memory_figure()
    warm.savefig(io.BytesIO(), format="png", dpi=20)
    lint_figure(warm, dpi=20)
    fig = crowded_figure(labels) if labels else warm
    if fig is not warm:
        plt.close(warm)
    gc.collect()
    # The peak so far (imports, the figure) is forgotten: from here it is the action's.
    Path("/proc/self/clear_refs").write_text("5")
    before = _status("VmRSS")
    start = time.perf_counter()
    if action == "savefig":
        result = fig.savefig(io.BytesIO(), format="png", dpi=dpi)
    else:
        result = lint_figure(fig, dpi=dpi, keep_picture=action == "picture")
    peak = _status("VmHWM") - before
    seconds = time.perf_counter() - start
    del result
    plt.close(fig)
    del fig
    gc.collect()
    print(json.dumps({"peak": peak, "after": _status("VmRSS") - before, "seconds": seconds}))


def memory_of(action, dpi, labels=0):
    out = subprocess.run([sys.executable, __file__, "--memory-child", action, str(dpi), str(labels)],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out.splitlines()[-1])


def memory(dpis):
    if not Path("/proc/self/clear_refs").exists():
        print("\nmemory: measured with Linux's /proc, which this system does not have")
        return
    print("\npeak memory of one 10 x 8 in figure, MB over what the figure already holds (each in a fresh process):")
    print(f"{'dpi':>6}{'savefig':>10}{'lint':>10}{'lint/save':>11}{'picture kept':>14}{'resident after lint':>21}")
    for dpi in dpis:
        save, lint, kept = (memory_of(action, dpi) for action in ("savefig", "lint", "picture"))
        print(f"{dpi:>6}{save['peak']:>10.1f}{lint['peak']:>10.1f}{lint['peak'] / max(save['peak'], 1e-9):>10.2f}x"
              f"{kept['peak']:>14.1f}{lint['after']:>21.1f}")


def crowds(counts):
    """Tick labels crowded on one axis, whose overlapping pairs grow with the square of their number."""
    if not Path("/proc/self/clear_refs").exists():
        return
    print("\npeak memory and seconds of one 10 x 8 in figure with N crowded tick labels (each in a fresh process):")
    print(f"{'labels':>7}{'savefig MB':>12}{'lint MB':>10}{'lint/save':>11}{'savefig s':>11}{'lint s':>8}"
          f"{'resident after lint':>21}")
    for count in counts:
        save, lint = (memory_of(action, 100, count) for action in ("savefig", "lint"))
        print(f"{count:>7}{save['peak']:>12.1f}{lint['peak']:>10.1f}{lint['peak'] / max(save['peak'], 1e-9):>10.2f}x"
              f"{save['seconds']:>11.1f}{lint['seconds']:>8.1f}{lint['after']:>21.1f}")


def corpus_table(rows):
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


def dense_table(quick):
    print("\ndense figures (lint, savefig, layout; seconds):")
    sizes = {"scatter": [250_000, 500_000, 1_000_000], "ticks": [2_500, 5_000, 10_000], "subplots": [50, 100, 200]}
    for kind, counts in sizes.items():
        for count in counts[:2] if quick else counts:
            fig = dense(kind, count)
            t = {"lint": best(lambda: lint_figure(fig), 1),
                 "savefig": best(lambda: fig.savefig(io.BytesIO(), format="png"), 1),
                 "layout": best(fig.draw_without_rendering, 1)}
            plt.close(fig)
            print(f"  {kind:<9}{count:>9}  lint {t['lint']:7.3f}  savefig {t['savefig']:7.3f}  layout {t['layout']:7.3f}"
                  f"  lint per item {1e6 * t['lint'] / count:7.2f} us")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--quick", action="store_true", help="one run each, smaller dense figures")
    parser.add_argument("--only", default="", help="corpus scripts whose name holds this")
    parser.add_argument("--corpus", default=CORPUS, help="a folder of figure scripts (default: the test corpus)")
    parser.add_argument("--parts", default="corpus,memory,dense",
                        help="what to measure, comma-separated: corpus, memory, dense (default: all)")
    parser.add_argument("--memory-dpi", default="100,300,1000,2000", help="the dpi to measure memory at, comma-separated")
    parser.add_argument("--crowd-labels", default="2000,20000",
                        help="the tick label counts to measure crowded memory at, comma-separated")
    parser.add_argument("--memory-child", nargs=3, metavar=("ACTION", "DPI", "LABELS"), help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.memory_child:
        action, dpi, labels = options.memory_child
        return memory_child(action, float(dpi), int(labels))
    repeat = 1 if options.quick else options.repeat
    parts = options.parts.split(",")
    if "corpus" in parts:
        corpus_table(corpus(repeat, options.only, options.corpus))
    if "memory" in parts:
        memory([int(d) for d in options.memory_dpi.split(",")])
        crowds([int(n) for n in options.crowd_labels.split(",")])
    if "dense" in parts:
        dense_table(options.quick)


if __name__ == "__main__":
    sys.exit(main())
