"""Test helpers: ``assert_clean(fig)`` and, through the pytest plugin entry
point, an ``assert_clean`` fixture."""

from __future__ import annotations

from tessary.lint import describe, lint

__all__ = ["assert_clean"]


def assert_clean(fig, **options) -> None:
    """Fail unless :func:`tessary.lint` finds nothing in ``fig``; the message
    lists every collision. ``options`` are passed on to :func:`tessary.lint`."""
    report = lint(fig, **options)
    if report.has_collisions:
        lines = "\n".join("  " + describe(c) for c in report.collisions)
        count = len(report.collisions)
        raise AssertionError(f"figure has {count} layout collision{'s' * (count != 1)}:\n{lines}")


try:
    import pytest
except ImportError:  # assert_clean works under any test runner
    pass
else:

    @pytest.fixture(name="assert_clean")
    def assert_clean_fixture():
        """The :func:`assert_clean` check, for tests that take it as a fixture."""
        return assert_clean
