"""tessary: a figure-layout linter.

The native core, :mod:`tessary._core`, decides from the boxes of a rendered
figure's elements which ones are clipped, which overlap, and which legends or
annotations may sit on drawn data. :func:`lint` does the same for a
matplotlib figure.
"""

from tessary._core import Collision, CollisionReport, OverDataCandidate, classify, ink_coverage
from tessary.lint import LintError, lint  # matplotlib is imported only when lint runs

__all__ = ["Collision", "CollisionReport", "LintError", "OverDataCandidate", "classify", "ink_coverage", "lint"]
__version__ = "0.1.0"
