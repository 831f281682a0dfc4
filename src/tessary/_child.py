"""Runs one plotting script for ``tessary check``, in a process of its own, and
lints every figure it saves (as saved), shows with a blocking ``plt.show()``
or leaves open (as shown).

    python -m tessary._child REQUEST_JSON

The request names the script, the lint options, where to put annotated
pictures and the file to append results to, one JSON object a line: one per
linted figure as it happens (so that a script that ends the process itself
loses nothing already found), then one that says how the script ended.
"""

from __future__ import annotations

import itertools
import json
import logging
import os
import runpy
import sys
import threading
import traceback
import weakref
from dataclasses import dataclass
from pathlib import Path

from tessary.pasting import pasted
from tessary.sources import Sources


class Session:
    def __init__(self, request: dict, emit):
        self.request = request
        self.emit = emit
        # A forked child runs the script's rest too; only the process tessary started reports.
        self.pid = os.getpid()
        self.figures: list[weakref.ref] = []  # every Figure the script made, in order
        # What each figure was last reported with. Keyed by the figure itself:
        # a closed figure's id() may be reused by a new one.
        self.reported: weakref.WeakKeyDictionary = weakref.WeakKeyDictionary()
        self.numbers: weakref.WeakKeyDictionary = weakref.WeakKeyDictionary()
        self.taken: set[int] = set()  # numbers given, to figures gone since too
        self.tracking = True
        self.finished = False
        self.sources = Sources(request["script"])
        # Threads linting, proving hints or drawing pictures: what they do is not the script's.
        self.busy: set[int] = set()
        self.script = None  # its source, parsed when a hint is to be placed in it
        self.names: dict = {}  # the script's globals once it has run to its end

    def ours(self) -> bool:
        return os.getpid() == self.pid and threading.get_ident() not in self.busy

    def number(self, fig) -> int:
        """The figure's number in the report: pyplot's, unless an earlier
        figure had it (pyplot numbers again from 1 after its figures are shown
        and closed); then the next free one."""
        number = self.numbers.get(fig)
        if number is None:
            number = getattr(fig, "number", None)
            if not isinstance(number, int):
                number = 1 + self.index(fig)
            if number in self.taken:
                number = max(self.taken) + 1
            self.numbers[fig] = number
            self.taken.add(number)
        return number

    def index(self, fig) -> int:
        """The figure's place among those made; one made without ``__init__``
        (unpickled) is placed when first met."""
        for i, ref in enumerate(self.figures):
            if ref() is fig:
                return i
        self.figures.append(weakref.ref(fig))
        return len(self.figures) - 1

    def made(self, fig) -> None:
        if self.tracking and self.ours():
            self.figures.append(weakref.ref(fig))

    def saved(self, fig, fname, kwargs: dict, changed: bool) -> None:
        from tessary.lint import saved_options

        name = os.fspath(fname) if isinstance(fname, (str, os.PathLike)) else "<stream>"
        save = saved_options(fig, kwargs)
        last = self.reported.get(fig)
        if last is not None and not changed and last.picture == _picture(fig, save):
            self.seen_again(fig, name)
        else:
            self.lint(fig, name, save)

    # How a shown figure is drawn: on the screen, without a bounding box of its own.
    shown_as: tuple[tuple[str, object], ...] = ()
    # Whether every plt.show() displays (a notebook's does), not only a blocking one.
    shows_always = False

    def shown(self) -> None:
        """A blocking show: every open pyplot figure is seen as shown, unless
        it was reported and has not changed since; then closed, as a window
        closed by its reader, so that the script's next plot is a new figure."""
        import matplotlib.pyplot as plt

        for number in plt.get_fignums():
            fig = plt.figure(number)
            if fig not in self.reported or fig.stale:
                self.safely(self.lint, fig, fig, None, dict(self.shown_as))
        plt.close("all")

    def context(self) -> dict:
        """What each figure's record says of where it was made, besides its script."""
        return {}

    def safely(self, action, fig, *args) -> None:
        """A fault of tessary's while the script saves or shows is the figure's
        error in the report, never an exception in the script."""
        try:
            action(*args)
        except Exception as error:  # noqa: BLE001 - the script goes on whatever the linter meets
            self.emit({"figure": self.number(fig), "saved_as": None, "traceback": traceback.format_exc(),
                       "error": f"tessary failed on it: {described(error)}"})

    def seen_again(self, fig, saved_as: str | None) -> None:
        """Reported already: a figure first shown keeps the name it is saved under."""
        last = self.reported[fig]
        if saved_as is not None and last.saved_as is None:
            last.saved_as = saved_as
            self.emit({"figure": self.number(fig), "saved_as": saved_as, "again": True})

    def lint(self, fig, saved_as: str | None, save: dict) -> None:
        self.busy.add(threading.get_ident())
        try:
            with self.sources.quiet():
                self._lint(fig, saved_as, save)
        finally:
            # What was reported is the figure's state now: a later save or
            # show of it unchanged is not linted again.
            fig.stale = False
            self.busy.discard(threading.get_ident())

    def _lint(self, fig, saved_as: str | None, save: dict) -> None:
        from dataclasses import asdict

        from tessary._core import CollisionReport
        from tessary.lint import LintError, lint_figure

        number = self.number(fig)
        record = {"figure": number, "saved_as": saved_as, **self.context()}
        picture = _picture(fig, save)
        try:
            # The picture is kept only to be annotated.
            linted = lint_figure(fig, **self.request["options"], **save,
                                 keep_picture=self.request.get("annotate") is not None)
        except Exception as error:  # noqa: BLE001 - the script goes on whatever the linter meets
            record["error"] = str(error) if isinstance(error, LintError) else f"tessary failed on it: {described(error)}"
            record["traceback"] = traceback.format_exc()
            self.reported[fig] = Reported(picture, saved_as, None)
            self.emit(record)
            return
        # A crowd's collisions are its first pairs; its counts come with them.
        crowds = [asdict(crowd) for crowd in linted.crowds]
        report = CollisionReport(linted.collisions).to_json()
        findings = report + json.dumps(crowds)
        last = self.reported.get(fig)
        # Saved again with the same findings (a PNG and a PDF of one figure): reported once.
        if last is not None and last.findings == findings:
            last.picture = picture
            self.seen_again(fig, saved_as)
            return
        self.reported[fig] = Reported(picture, saved_as, findings)
        record["collisions"] = json.loads(report)
        if crowds:
            record["crowds"] = crowds
        self.point(record["collisions"], linted)
        place = self.place(fig) if self.request.get("hints") and linted.collisions else None
        hints = self.hints(fig, linted.collisions, save, place)
        for i, (collision, hint) in enumerate(zip(record["collisions"], hints)):
            entry = None if hint is None or place is None else pasted(hint, place)
            if entry is not None:
                entry.update(self.context())  # in a notebook, the cell it goes in
            if entry is None:
                hints[i] = None  # a hint that cannot go into the script is not given
            else:
                collision["hint"] = entry
        self.annotate(fig, number, linted, hints, save, record)
        self.emit(record)

    def point(self, collisions: list[dict], linted) -> None:
        """Each collision names the script's lines that made its two elements."""
        by_id = {e.ident: e for e in linted.elements}
        for collision in collisions:
            for side in ("a", "b"):
                element = by_id.get(collision[f"{side}_id"])
                line = self.sources.of(element, linted.recording) if element is not None else None
                collision[f"{side}_source"] = None if line is None else {"path": self.request["script"], "line": line}

    def hints(self, fig, collisions, save: dict, place) -> list:
        if place is None:
            return [None] * len(collisions)  # not asked for, or nowhere in the script to put them
        from tessary.fixes import hints

        try:
            return hints(fig, collisions, resave=place.resaves(), **self.request["options"], **save)
        except Exception:  # noqa: BLE001 - a hint that cannot be found is no hint
            return [None] * len(collisions)

    def place(self, fig):
        """Where the figure's hints go in the script, and its name there: just
        before the statement saving or showing it now, or at the end."""
        from tessary.pasting import Script, script_names

        if self.script is None:
            try:
                self.script = Script(self.request["script"])
            except (OSError, SyntaxError, UnicodeDecodeError, ValueError):
                return None
        frame = self.sources.frame()
        try:
            if frame is None:
                return self.script.place(None, self.names, fig)
            return self.script.place(frame.f_lineno, script_names(frame), fig)
        except Exception:  # noqa: BLE001 - the script's objects may fail to be looked at; then no hint
            return None

    def annotate(self, fig, number: int, linted, hints: list, save: dict, record: dict) -> None:
        folder = self.request.get("annotate")
        if folder is None or not linted.collisions or not linted.recording.width or not linted.recording.height:
            return  # a picture of no pixels shows nothing
        import numpy as np

        from tessary.annotate import write_annotated

        path = None
        try:
            # The picture is the linted result's own: linting the fixed copy draws on another recorder.
            before = np.asarray(linted.recorder.buffer_rgba())
            after = self.after(fig, hints, save)
            path, file = _new_picture(Path(folder) / f"{self.request['stem']}_fig{number}")
            try:
                with file:
                    write_annotated(before, linted.collisions, file, hints, after, dpi=save.get("dpi", fig.dpi),
                                    crowds=linted.crowds)
            except BaseException:
                path.unlink(missing_ok=True)  # no half-written picture
                raise
            record["annotated"] = str(path)
            # Where the findings' boxes are: the frame as linted is the picture's top-left corner.
            record["annotated_frame"] = [int(before.shape[1]), int(before.shape[0])]
        except OSError as error:
            record["error"] = f"could not write {path or folder}: {error.strerror or error}"
        except Exception as error:  # noqa: BLE001 - a picture that fails must not fail the script
            record["error"] = f"could not draw {path or folder}: {described(error)}"
            record["traceback"] = traceback.format_exc()

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

    def finish(self, ended: dict) -> None:
        """The script has ended: figures still open that were never reported
        are linted as shown, then how it ended is said, once."""
        self.tracking = False
        if self.finished or not self.ours():
            return
        self.finished = True
        for fig in self.open_figures():
            if fig not in self.reported:
                self.lint(fig, None, {})
        self.emit(ended)

    def open_figures(self) -> list:
        """The script's figures still open: those it made, then any pyplot
        holds that were made otherwise (unpickled)."""
        found = [fig for fig in (ref() for ref in self.figures) if fig is not None and _open(fig)]
        pyplot = sys.modules.get("matplotlib.pyplot")
        for number in pyplot.get_fignums() if pyplot is not None else ():
            fig = pyplot.figure(number)
            if not any(fig is other for other in found):
                found.append(fig)
        return found


@dataclass
class Reported:
    """What a figure was last reported with."""

    picture: tuple  # how it was drawn: dpi and bounding box
    saved_as: str | None
    findings: str | None  # the collisions as JSON; None when it could not be linted


def _picture(fig, save: dict) -> tuple:
    """What decides the picture besides the figure itself: saved at the
    figure's dpi without a bounding box, it is the picture shown."""
    bbox = save.get("bbox_inches")
    return (float(save.get("dpi", fig.dpi)), repr(bbox), repr(save.get("pad_inches")) if bbox is not None else None)


def _new_picture(base: Path):
    """A file of its own for a picture, and its path: ``base.png``, else
    ``base_2.png`` and on; never a file that exists, whoever wrote it."""
    base.parent.mkdir(parents=True, exist_ok=True)
    for count in itertools.count(1):
        path = base.with_name(base.name + (f"_{count}" if count > 1 else "") + ".png")
        try:
            return path, open(path, "xb")
        except FileExistsError:
            continue
    raise AssertionError("unreachable")


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
        # Saving redraws the figure, and leaves it marked as changed.
        changed = fig.stale
        with session.sources.quiet():
            result = savefig(fig, fname, *args, **kwargs)
        if session.ours():
            session.safely(session.saved, fig, fig, fname, kwargs, changed)
        return result

    def show(*args, block=None, **kwargs):
        # A blocking show returns when its windows are closed; one that does
        # not block leaves them open and changing.
        blocking = not plt.isinteractive() if block is None else block
        if (blocking or session.shows_always) and session.ours():
            session.shown()

    def exit_now(status):
        # Ends the process on the spot, atexit handlers and all: the open figures are linted first.
        session.finish(ending(status))
        exit_process(status)

    exit_process = os._exit
    session.sources.install()
    Figure.__init__ = tracked_init
    Figure.savefig = linted_savefig
    plt.show = show
    os._exit = exit_now


def described(error: BaseException) -> str:
    """``Type: message`` on one line, or the type alone, whatever the message does."""
    text = _text(error)
    return f"{type(error).__name__}: {text}" if text else type(error).__name__


def raised_at(error: BaseException, script: str) -> int | None:
    """The innermost line of the script the error passed through (or, for a
    syntax error, the line it names)."""
    if isinstance(error, SyntaxError) and error.filename == script:
        return error.lineno
    lines = [line for frame, line in traceback.walk_tb(error.__traceback__) if frame.f_code.co_filename == script]
    return lines[-1] if lines else None


def _say(line: str) -> None:
    """A line on the process's stderr, whatever the script did to sys.stderr."""
    try:
        os.write(2, (line + "\n").encode(errors="backslashreplace"))
    except OSError:
        pass


def _text(value) -> str:
    try:
        return " ".join(str(value).split())
    except Exception:  # noqa: BLE001 - as Python says of it
        return f"<{type(value).__name__} str() failed>"


def ending(code) -> dict:
    """How ``sys.exit(code)`` ends the script, as ``python SCRIPT.py`` would
    end: None is success, a number is the exit status, anything else is
    printed and is status 1."""
    if code is None:
        status = 0
    elif isinstance(code, int):
        status = code & 0xFF
    else:
        _say(_text(code))
        return {"done": True, "status": "failed", "error": f"exited with status 1: {_text(code)}"}
    if status == 0:
        return {"done": True, "status": "ok"}
    return {"done": True, "status": "failed", "error": f"exited with status {status}"}


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
    sys.path.insert(0, str(Path(script).resolve().parent))
    try:
        session.names = runpy.run_path(script, run_name="__main__")
        ended = ending(None)
    except SystemExit as exit:
        ended = ending(exit.code)
    except BaseException as error:  # noqa: BLE001 - whatever the script raises is its failure
        ended = {"done": True, "status": "failed", "error": described(error), "traceback": traceback.format_exc(),
                 "line": raised_at(error, script)}
    session.finish(ended)


# The script may replace what the module names (json.dumps, open); the records are written with these.
_dumps, _open_file = json.dumps, open


def emitter(path: str):
    """What appends one record a line to the results file."""
    lock = threading.Lock()

    def emit(record: dict) -> None:
        # Opened for each record: the script may close every file it did not
        # open, and its atexit handlers may save figures after it ended.
        with lock:
            try:
                with _open_file(path, "a", encoding="utf-8") as results:
                    results.write(_dumps(record) + "\n")
            except Exception as error:  # noqa: BLE001 - the parent sees the run end without its last word
                _say(f"tessary: a result could not be recorded: {described(error)}")

    return emit


def main() -> None:
    """Started as ``python -c`` with the working folder taken off the path, so
    that a module there named like one of tessary's own cannot stand in."""
    request = json.loads(sys.argv[1])
    os.environ["MPLBACKEND"] = "Agg"
    run(request, emitter(request["results"]))


if __name__ == "__main__":
    main()
