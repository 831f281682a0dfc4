"""Test helpers: ``assert_clean(fig)`` and, through the pytest plugin entry
point, an ``assert_clean`` fixture that takes the project's ``[tool.tessary]``
settings from the pyproject.toml in pytest's rootdir."""

from __future__ import annotations

from pathlib import Path

from tessary.groups import grouped, summary
from tessary.lint import lint

__all__ = ["assert_clean"]


def assert_clean(fig, *, hints: bool = False, **options) -> None:
    """Fail unless :func:`tessary.lint` finds nothing in ``fig``; the message
    lists the collisions, those that share a cause on one line, each with a
    verified fix when ``hints`` is true. ``options`` are passed on to
    :func:`tessary.lint`."""
    __tracebackhide__ = True  # the failure is the test's line, not tessary's
    report = lint(fig, **options)
    if not report.has_collisions:
        return
    collisions = report.collisions
    fixes = [None] * len(collisions)
    if hints:
        from tessary.fixes import hints as find

        fixes = find(fig, collisions, **options)
    lines = []
    for members in grouped(collisions, [None if fix is None else fix.code for fix in fixes]):
        found = [collisions[i] for i in members]
        lines.append("  " + summary(found))
        fix = fixes[members[0]]
        if fix is not None:
            lines += ["      fix: " + line for line in fix.code.splitlines()] + [f"      ({fix.reason})"]
    count = len(collisions)
    raise AssertionError(f"figure has {count} layout collision{'s' * (count != 1)}:\n" + "\n".join(lines))


def _project_options(root: Path, test_file: Path | None) -> dict:
    """The lint options that the rootdir's ``[tool.tessary]`` table sets for a test file."""
    from tessary import config

    found = config.read(root / "pyproject.toml") if (root / "pyproject.toml").is_file() else None
    if found is None:
        return {}
    options = {k: v for k, v in found.options.items() if k != "timeout"}
    per_file = found.ignores_for(test_file) if test_file is not None else ()
    if per_file:
        options["ignore"] = (*options.get("ignore", ()), *per_file)
    return options


try:
    import pytest
except ImportError:  # assert_clean works under any test runner
    pass
else:

    @pytest.fixture(name="assert_clean")
    def assert_clean_fixture(request):
        """The :func:`assert_clean` check, with the project's settings; options
        given in the call override them."""
        settings = _project_options(Path(request.config.rootpath), Path(request.node.path))

        def check(fig, **options):
            __tracebackhide__ = True
            assert_clean(fig, **{**settings, **options})

        return check
