"""tessary inside an IPython kernel: every figure is linted as the inline
backend displays it, at the end of the cell that drew it or at a
``plt.show()`` inside the cell, and then closed, as the inline backend closes
it once shown.

``tessary check NOTEBOOK.ipynb`` starts it (:func:`start_check`) in the kernel
that runs the notebook, and the records go to the run's results file; the
cell that drew each figure is the one the notebook's runner last announced.
"""

from __future__ import annotations

import json
from pathlib import Path

from tessary._child import Session, emitter, install

# The inline backend shows a figure cut to its drawn elements.
INLINE = (("bbox_inches", "tight"),)


class CellSession(Session):
    """A notebook's figures, each with the cell that drew it."""

    shown_as = INLINE
    shows_always = True

    def __init__(self, request: dict, emit):
        super().__init__(request, emit)
        self.cell_file = Path(request["cell_file"])

    def context(self) -> dict:
        try:
            return {"cell": int(self.cell_file.read_text(encoding="utf-8"))}
        except (OSError, ValueError):
            return {}

    def place(self, fig):
        return None  # a hint goes into a script's lines; a notebook's cells are not lines of one script


def start_check(request_json: str) -> None:
    """Lints the figures of the notebook this kernel runs, from now on."""
    from IPython import get_ipython

    request = json.loads(request_json)
    session = CellSession(request, emitter(request["results"]))
    install(session)
    shell = get_ipython()

    def cell_ended() -> None:
        if session.ours():
            session.shown()

    # Before the inline backend's own hook, which shows the figures and closes them.
    shell.events.callbacks["post_execute"].insert(0, cell_ended)
