"""Where in the script each element was made: the line a finding points at.

While the script runs, every artist made, every text set and every axis whose
ticks are set is noted with the innermost line of the script on the stack (a
call into matplotlib, seaborn or pandas points at the script's line that made
it). What matplotlib makes or sets while drawing is not noted: tick labels
point at the line that set their axis's ticks, else at the one that made
their axes.
"""

from __future__ import annotations

import sys
import threading
import weakref
from contextlib import contextmanager

# The Axis methods through which a script chooses its ticks.
TICK_SETTERS = ("set_ticks", "set_ticklabels", "set_major_locator", "set_minor_locator", "set_major_formatter",
                "set_minor_formatter")


class Sources:
    def __init__(self, script: str):
        self.script = script  # the file name the script's code was compiled with
        self.made: weakref.WeakKeyDictionary = weakref.WeakKeyDictionary()  # artist -> line
        self.ticks: weakref.WeakKeyDictionary = weakref.WeakKeyDictionary()  # axis -> line
        self._quiet: set[int] = set()  # threads drawing or linting

    def line(self) -> int | None:
        """The innermost line of the script on this thread's stack."""
        frame = sys._getframe(2)
        while frame is not None:
            if frame.f_code.co_filename == self.script:
                return frame.f_lineno
            frame = frame.f_back
        return None

    def frame(self):
        """The innermost frame of the script's own statements on this thread's
        stack (not a comprehension's or a lambda's), or None."""
        from tessary.pasting import HIDDEN_SCOPES

        frame = sys._getframe(1)
        while frame is not None:
            if frame.f_code.co_filename == self.script and frame.f_code.co_name not in HIDDEN_SCOPES:
                return frame
            frame = frame.f_back
        return None

    def note(self, table: weakref.WeakKeyDictionary, artist) -> None:
        if threading.get_ident() in self._quiet:
            return
        line = self.line()
        if line is not None:
            try:
                table[artist] = line
            except TypeError:  # an artist that cannot be weakly referenced or hashed keeps no line
                pass

    @contextmanager
    def quiet(self):
        """What this thread makes meanwhile is matplotlib's own drawing."""
        me = threading.get_ident()
        nested = me in self._quiet
        self._quiet.add(me)
        try:
            yield
        finally:
            if not nested:
                self._quiet.discard(me)

    def install(self) -> None:
        from matplotlib.artist import Artist
        from matplotlib.axis import Axis
        from matplotlib.text import Text

        made, set_text = Artist.__init__, Text.set_text

        def noted_init(artist, *args, **kwargs):
            made(artist, *args, **kwargs)
            self.note(self.made, artist)

        def noted_set_text(text, s):
            set_text(text, s)
            self.note(self.made, text)

        Artist.__init__ = noted_init
        Text.set_text = noted_set_text
        for name in TICK_SETTERS:
            setattr(Axis, name, self._noting_ticks(getattr(Axis, name)))

    def _noting_ticks(self, setter):
        def noted(axis, *args, **kwargs):
            result = setter(axis, *args, **kwargs)
            self.note(self.ticks, axis)
            return result

        return noted

    def of(self, element, recording) -> int | None:
        """The line an element points at: a tick label or an axis's offset
        text at its axis's ticks, else its axes; anything else at the
        innermost artist of its own with a line."""
        from matplotlib.axis import Axis

        from tessary._mpl import AxesBase

        chain = [element.artist] + [recording.drawn[i].artist for i in element.lineage if i in recording.drawn]
        axis = next((a for a in chain if isinstance(a, Axis)), None)
        if axis is not None and element.artist is not axis.label:
            axes = next((a for a in chain if isinstance(a, AxesBase)), None)
            return self.ticks.get(axis) or (self.made.get(axes) if axes is not None else None)
        for artist in chain:
            line = _get(self.made, artist)
            if line is not None:
                return line
        return None


def _get(table: weakref.WeakKeyDictionary, artist) -> int | None:
    try:
        return table.get(artist)
    except TypeError:  # not weakly referenceable: a BarContainer stands for its bars
        return None
