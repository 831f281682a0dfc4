"""tessary: a figure-layout linter.

The native core, :mod:`tessary._core`, decides from the boxes of a rendered
figure's elements which ones are clipped, which overlap, and which legends or
annotations may sit on drawn data. :func:`lint` does the same for a
matplotlib figure.
"""

from importlib import metadata

from tessary._core import Collision, CollisionReport, OverDataCandidate, classify, ink_coverage
from tessary.fixes import Hint, hints  # matplotlib is imported only when they run
from tessary.lint import LintError, allow, lint

__all__ = ["Collision", "CollisionReport", "Hint", "LintError", "OverDataCandidate", "allow", "classify", "hints",
           "ink_coverage", "lint"]
__version__ = metadata.version("tessary")  # set once, in pyproject.toml


def load_ipython_extension(ipython) -> None:
    """``%load_ext tessary``: every figure displayed from now on is linted;
    ``%tessary off``, ``on``, ``hints`` and ``nohints`` say how."""
    from tessary.kernel import load

    load(ipython)
