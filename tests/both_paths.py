"""Lints every figure of the given scripts twice, each time on a freshly built
figure: once the usual way (a recording pass that draws nothing, then each
element drawn alone on a canvas its own size) and once on the full-render
path (every pixel of the figure drawn, elements redrawn on whole-figure
canvases). Prints one JSON object: {script: [differences]}.

    python tests/both_paths.py SCRIPT.py ...
"""

import json
import runpy
import sys
import warnings

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

from tessary.lint import lint_figure  # noqa: E402


def findings(script, keep_picture):
    plt.close("all")
    with warnings.catch_warnings(), matplotlib.rc_context():
        warnings.simplefilter("ignore")
        runpy.run_path(script, run_name="__main__")
        return {number: sorted((c.kind, c.a_id, c.b_id, round(c.severity, 9))
                               for c in lint_figure(plt.figure(number), keep_picture=keep_picture).collisions)
                for number in plt.get_fignums()}


def main():
    plt.show = lambda *args, **kwargs: None
    differences = {}
    for script in sys.argv[1:]:
        usual, full = findings(script, False), findings(script, True)
        if usual != full:
            differences[script] = [{"figure": n, "usual": usual.get(n), "full": full.get(n)}
                                   for n in sorted(set(usual) | set(full)) if usual.get(n) != full.get(n)]
    print(json.dumps(differences))


if __name__ == "__main__":
    main()
