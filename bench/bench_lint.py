"""Time tessary.lint on each example figure next to a plain PNG savefig of the
same figure, measured in the same run (medians of repeated runs)."""

import io
import runpy
import statistics
import sys
import time
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

import tessary  # noqa: E402

EXAMPLES = Path(__file__).resolve().parent.parent / "examples"
REPEAT = int(sys.argv[1]) if len(sys.argv) > 1 else 15


def median_ms(action):
    action()  # warm caches (fonts, glyphs) outside the timing
    times = []
    for _ in range(REPEAT):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return 1000 * statistics.median(times)


plt.show = lambda *args, **kwargs: None
print(f"{'example':<26}{'savefig png':>14}{'lint':>10}{'ratio':>8}")
for path in sorted(EXAMPLES.glob("*.py")):
    if path.name == "classify_demo.py":
        continue
    before = set(plt.get_fignums())
    runpy.run_path(str(path))
    for number in sorted(set(plt.get_fignums()) - before):
        fig = plt.figure(number)
        save = median_ms(lambda: fig.savefig(io.BytesIO(), format="png"))
        lint = median_ms(lambda: tessary.lint(fig))
        print(f"{path.stem:<26}{save:>11.1f} ms{lint:>7.1f} ms{lint / save:>7.2f}x")
        plt.close(fig)
