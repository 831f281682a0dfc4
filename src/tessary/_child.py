"""Runs one plotting script for ``tessary check``, in a process of its own, and
lints every figure it saves (as saved) or leaves open (as shown).

    python -m tessary._child REQUEST_JSON

The request names the script, the lint options, where to put annotated
pictures and the file to append results to, one JSON object a line: one per
linted figure as it happens (so that a script that ends the process itself
loses nothing already found), then one that says how the script ended.
"""

from __future__ import annotations

import json
import logging
import os
import runpy
import sys
import traceback
import weakref
from pathlib import Path


class Session:
    def __init__(self, request: dict, emit):
        self.request = request
        self.emit = emit
        self.figures: list[weakref.ref] = []  # every Figure made, in order
        self.linted: dict[int, tuple] = {}  # id(figure) -> its last report: how it was saved, what was found
        self.pictures: dict[str, int] = {}
        self.tracking = True

    def number(self, fig) -> int:
        number = getattr(fig, "number", None)
        if isinstance(number, int):
            return number
        return 1 + next(i for i, ref in enumerate(self.figures) if ref() is fig)

    def made(self, fig) -> None:
        if self.tracking:
            self.figures.append(weakref.ref(fig))

    def saved(self, fig, fname, kwargs: dict) -> None:
        import matplotlib as mpl

        dpi = kwargs.get("dpi", mpl.rcParams["savefig.dpi"])
        save = {
            "dpi": fig.dpi if dpi in (None, "figure") else dpi,
            "bbox_inches": kwargs.get("bbox_inches", mpl.rcParams["savefig.bbox"]),
            "pad_inches": kwargs.get("pad_inches", mpl.rcParams["savefig.pad_inches"]),
        }
        name = os.fspath(fname) if isinstance(fname, (str, os.PathLike)) else "<stream>"
        self.lint(fig, name, {k: v for k, v in save.items() if v is not None})

    def lint(self, fig, saved_as: str | None, save: dict) -> None:
        from tessary._core import CollisionReport
        from tessary.lint import LintError, lint_figure

        number = self.number(fig)
        record = {"figure": number, "saved_as": saved_as}
        try:
            # The picture is kept only to be annotated.
            linted = lint_figure(fig, **self.request["options"], **save,
                                 keep_picture=self.request.get("annotate") is not None)
        except Exception as error:  # noqa: BLE001 - the script goes on whatever the linter meets
            record["error"] = str(error) if isinstance(error, LintError) else \
                f"tessary failed on it: {type(error).__name__}: {error}"
            record["traceback"] = traceback.format_exc()
            self.linted[id(fig)] = ("failed", record["error"])
            self.emit(record)
            return
        report = CollisionReport(linted.collisions).to_json()
        # Saved again in the same state (a PNG and a PDF of one figure): reported once.
        state = (repr(sorted(save.items())), report)
        if self.linted.get(id(fig)) == state:
            return
        self.linted[id(fig)] = state
        record["collisions"] = json.loads(report)
        hints = self.hints(fig, linted.collisions, save)
        for collision, hint in zip(record["collisions"], hints):
            if hint is not None:
                collision["hint"] = {"code": hint.code, "reason": hint.reason}
        self.annotate(fig, number, linted, hints, save, record)
        self.emit(record)

    def hints(self, fig, collisions, save: dict) -> list:
        if not self.request.get("hints") or not collisions:
            return [None] * len(collisions)
        from tessary.fixes import hints

        try:
            return hints(fig, collisions, **self.request["options"], **save)
        except Exception:  # noqa: BLE001 - a hint that cannot be found is no hint
            return [None] * len(collisions)

    def annotate(self, fig, number: int, linted, hints: list, save: dict, record: dict) -> None:
        folder = self.request.get("annotate")
        if folder is None or not linted.collisions:
            return
        import numpy as np

        from tessary.annotate import write_annotated

        stem = f"{self.request['stem']}_fig{number}"
        seen = self.pictures[stem] = self.pictures.get(stem, 0) + 1
        path = Path(folder) / (stem + (f"_{seen}" if seen > 1 else "") + ".png")
        try:
            # Copied first: linting the fixed copy reuses the recorder, and its buffer.
            before = np.array(linted.recorder.buffer_rgba())
            after = self.after(fig, hints, save)
            write_annotated(before, linted.collisions, path, hints, after)
            record["annotated"] = str(path)
        except OSError as error:
            record["error"] = f"could not write {path}: {error.strerror or error}"
        except Exception as error:  # noqa: BLE001 - a picture that fails must not fail the script
            record["error"] = f"could not draw {path}: {type(error).__name__}: {error}"

    def after(self, fig, hints: list, save: dict):
        """The figure with every hint applied, as linted: the picture's other half."""
        distinct = list({h.code: h for h in hints if h is not None}.values())
        if not distinct:
            return None
        import copy

        import numpy as np

        from tessary.fixes import _forget
        from tessary.lint import lint_figure

        trial = copy.deepcopy(fig)
        try:
            for hint in distinct:
                save = {**save, **hint.apply(trial)}
            linted = lint_figure(trial, **self.request["options"], **save, keep_picture=True)
            return np.array(linted.recorder.buffer_rgba()), linted.collisions
        finally:
            _forget(trial)

    def lint_the_rest(self) -> None:
        """Figures still open that were never saved are linted as shown."""
        self.tracking = False
        for ref in self.figures:
            fig = ref()
            if fig is not None and id(fig) not in self.linted and _open(fig):
                self.lint(fig, None, {})


def _open(fig) -> bool:
    """A pyplot figure counts while pyplot holds it; any other while it lives."""
    import matplotlib.pyplot as plt

    number = getattr(fig, "number", None)
    return not isinstance(number, int) or plt.fignum_exists(number) and plt.figure(number) is fig


def install(session: Session) -> None:
    import matplotlib

    matplotlib.use("Agg", force=True)
    import matplotlib.pyplot as plt
    from matplotlib.figure import Figure

    made, savefig = Figure.__init__, Figure.savefig

    def tracked_init(fig, *args, **kwargs):
        made(fig, *args, **kwargs)
        session.made(fig)

    def linted_savefig(fig, fname, *args, **kwargs):
        result = savefig(fig, fname, *args, **kwargs)
        session.saved(fig, fname, kwargs)
        return result

    Figure.__init__ = tracked_init
    Figure.savefig = linted_savefig
    plt.show = lambda *args, **kwargs: None


def run(request: dict, emit) -> None:
    script = request["script"]
    if request.get("verbose"):
        # Artists the linter skipped are named on its logger.
        handler = logging.StreamHandler(sys.stderr)
        handler.setFormatter(logging.Formatter("tessary: %(message)s"))
        logging.getLogger("tessary").addHandler(handler)
        logging.getLogger("tessary").setLevel(logging.INFO)
    session = Session(request, emit)
    install(session)
    # As `python SCRIPT.py` would: its own folder first on the path, its own argv.
    sys.argv[:] = [script]
    sys.path[0] = str(Path(script).resolve().parent)
    ended = {"done": True, "status": "ok"}
    try:
        runpy.run_path(script, run_name="__main__")
    except SystemExit as exit:
        if exit.code not in (None, 0):
            ended.update(status="failed", error=f"exited with status {exit.code}")
    except BaseException as error:  # noqa: BLE001 - whatever the script raises is its failure
        ended.update(status="failed", error=f"{type(error).__name__}: {error}", traceback=traceback.format_exc())
    session.lint_the_rest()
    emit(ended)


def main() -> None:
    request = json.loads(sys.argv[1])
    os.environ["MPLBACKEND"] = "Agg"
    with open(request["results"], "a", encoding="utf-8") as results:
        def emit(record: dict) -> None:
            results.write(json.dumps(record) + "\n")
            results.flush()

        run(request, emit)


if __name__ == "__main__":
    main()
