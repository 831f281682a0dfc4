"""tessary inside an IPython kernel: every figure is linted as the inline
backend displays it, at the end of the cell that drew it or at a
``plt.show()`` inside the cell, and then closed, as the inline backend closes
it once shown.

``tessary check NOTEBOOK.ipynb`` starts it (:func:`start_check`) in the kernel
that runs the notebook, and the records go to the run's results file; the
cell that drew each figure is the one the notebook's runner last announced.
``%load_ext tessary`` (:func:`load`) does the same in a session of one's own,
and prints each figure's findings under it.
"""

from __future__ import annotations

import json
import weakref
from pathlib import Path

from tessary._child import Session, described, emitter, install
from tessary.lint import figure_name

# The inline backend shows a figure cut to its drawn elements.
INLINE = (("bbox_inches", "tight"),)


class CellSession(Session):
    """A notebook's figures, each with the cell that drew it."""

    shown_as = INLINE
    shows_always = True
    at_cell_end = False  # linting what the cell left open, as opposed to a plt.show() inside it

    def __init__(self, request: dict, emit):
        super().__init__(request, emit)
        self.cell_file = Path(request["cell_file"])

    def context(self) -> dict:
        try:
            return {"cell": int(self.cell_file.read_text(encoding="utf-8"))}
        except (OSError, ValueError):
            return {}

    def place(self, fig):
        """At the end of the cell that drew the figure. A figure shown by a
        plt.show() inside its cell gets none: its hint would go before that
        line, in the middle of the cell."""
        from IPython import get_ipython

        from tessary.pasting import Place, axes_names, figure_expression

        if not self.at_cell_end:
            return None
        shell = get_ipython()
        names = {k: v for k, v in shell.user_ns.items() if not k.startswith("_")}
        figure = figure_expression(fig, names)
        if figure is None:
            return None
        cell = shell.history_manager.input_hist_raw[-1] if shell.history_manager.input_hist_raw else ""
        return Place(len(cell.splitlines()), figure, None, axes_names(fig, names))


def start_check(request_json: str) -> None:
    """Lints the figures of the notebook this kernel runs, from now on."""
    from IPython import get_ipython

    request = json.loads(request_json)
    session = CellSession(request, emitter(request["results"]))
    install(session)
    shell = get_ipython()

    def cell_ended() -> None:
        if session.ours():
            session.at_cell_end = True
            try:
                session.shown()
            finally:
                session.at_cell_end = False

    # Before the inline backend's own hook, which shows the figures and closes them.
    shell.events.callbacks["post_execute"].insert(0, cell_ended)


class Display:
    """``%load_ext tessary``: each figure the session displays is linted, and
    its findings printed under it (with hints after ``%tessary hints``)."""

    def __init__(self, shell):
        import matplotlib.pyplot as plt

        self.shell = shell
        self.on, self.hints = True, False
        self.said: list[str] = []
        self.seen: weakref.WeakKeyDictionary = weakref.WeakKeyDictionary()  # figure -> drawn unchanged since
        shown = plt.show

        def show(*args, **kwargs):
            # Shown inside the cell, and closed by the inline backend before the cell ends.
            self.look()
            return shown(*args, **kwargs)

        plt.show = show

    def look(self) -> None:
        """Lints the open figures not looked at since they last changed."""
        import matplotlib.pyplot as plt

        if not self.on:
            return
        for number in plt.get_fignums():
            fig = plt.figure(number)
            if fig in self.seen and not fig.stale:
                continue
            self.said.append(self._findings(fig))
            self.seen[fig] = True

    def _findings(self, fig) -> str:
        from tessary.testing import findings_text

        try:
            text = findings_text(fig, hints=self.hints, **dict(INLINE))
            return f"tessary: {text}" if text else ""
        except Exception as error:  # noqa: BLE001 - a figure tessary cannot lint is said, never raised
            return f"tessary: {figure_name(fig)} could not be linted: {described(error)}"
        finally:
            fig.stale = False

    def cell_ran(self, result=None) -> None:
        for text in self.said:
            if text:
                print(text)
        self.said.clear()

    def magic(self, line: str) -> None:
        """%tessary on|off|hints|nohints"""
        word = line.strip()
        settings = {"on": ("on", True), "off": ("on", False), "hints": ("hints", True), "nohints": ("hints", False)}
        if word not in settings:
            print("usage: %tessary on|off|hints|nohints")
            return
        setattr(self, *settings[word])


def load(shell) -> None:
    try:
        display = Display(shell)
    except ImportError:
        print('tessary: figures need matplotlib: pip install "tessary[mpl]"')
        return
    # Before the inline backend's own hook, which shows the figures and closes them.
    shell.events.callbacks["post_execute"].insert(0, display.look)
    shell.events.register("post_run_cell", display.cell_ran)
    shell.register_magic_function(display.magic, magic_kind="line", magic_name="tessary")
