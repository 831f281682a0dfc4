"""Test helpers: ``assert_clean(fig)`` and, through the pytest plugin entry
point, an ``assert_clean`` fixture that takes the project's ``[tool.tessary]``
settings from the pyproject.toml in pytest's rootdir, and ``pytest --tessary``
(or ``tessary = true`` in the ini options): every figure a test made, still
open at its end or saved during it, must be clean, and is closed after it."""

from __future__ import annotations

from pathlib import Path

from tessary.groups import crowd_of, grouped, summary
from tessary.lint import lint_figure

__all__ = ["assert_clean"]


def assert_clean(fig, *, hints: bool = False, **options) -> None:
    """Fail unless :func:`tessary.lint` finds nothing in ``fig``; the message
    lists the collisions, those that share a cause on one line, each with a
    verified fix when ``hints`` is true. ``options`` are passed on to
    :func:`tessary.lint`."""
    __tracebackhide__ = True  # the failure is the test's line, not tessary's
    linted = lint_figure(fig, **options)
    collisions = linted.collisions
    if not collisions:
        return
    fixes = [None] * len(collisions)
    if hints:
        from tessary.fixes import hints as find

        fixes = find(fig, collisions, **options)
    lines = []
    for members in grouped(collisions, [None if fix is None else fix.code for fix in fixes]):
        found = [collisions[i] for i in members]
        lines.append("  " + summary(found, crowd_of(found, linted.crowds)))
        fix = fixes[members[0]]
        if fix is not None:
            lines += ["      fix: " + line for line in fix.code.splitlines()] + [f"      ({fix.reason})"]
    count = len(collisions)
    raise AssertionError(f"figure has {count} layout collision{'s' * (count != 1)}:\n" + "\n".join(lines))


def findings_text(fig, *, hints: bool = False, **options) -> str:
    """What :func:`assert_clean` says of ``fig``, naming it (``figure 2 has
    ...``); empty when it is clean."""
    from tessary.lint import figure_name

    try:
        assert_clean(fig, hints=hints, **options)
    except AssertionError as error:
        return str(error).replace("figure", figure_name(fig), 1)
    return ""


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

    def pytest_addoption(parser):
        parser.getgroup("tessary").addoption(
            "--tessary", action="store_true", default=False,
            help="fail a test whose matplotlib figures (still open at its end, or saved) have layout collisions")
        parser.addini("tessary", type="bool", default=False, help="as --tessary, for every run")

    def pytest_configure(config):
        config.addinivalue_line("markers", "tessary(enabled=True, **options): lint this test's figures (False: "
                                           "leave them alone), with lint options such as ignore=[...]")

    def _linted_with(item) -> dict | None:
        """The options this test's figures are linted with, or None when they are not."""
        enabled = item.config.getoption("tessary") or item.config.getini("tessary")
        marker = item.get_closest_marker("tessary")
        options = {}
        if marker is not None:
            enabled = bool(marker.args[0]) if marker.args else True
            options = dict(marker.kwargs)
        if not enabled:
            return None
        return {**_project_options(Path(item.config.rootpath), Path(item.path)), **options}

    @pytest.hookimpl(wrapper=True)
    def pytest_runtest_call(item):
        options = _linted_with(item)
        if options is None:
            return (yield)
        watch = _Watch()
        try:
            with watch:
                result = yield
            watch.check(options)
            return result
        finally:
            watch.close()

    class _Watch:
        """The figures a test makes: pyplot's, open at its end, and every one it saves, as saved."""

        def __enter__(self):
            import matplotlib.pyplot as plt
            from matplotlib.figure import Figure

            from tessary.lint import saved_options

            self.before = {id(plt.figure(n)) for n in plt.get_fignums()}
            self.saved: dict[int, tuple] = {}  # id -> (figure, how it was saved)
            self.savefig = Figure.savefig
            watch = self

            def savefig(fig, *args, **kwargs):
                result = watch.savefig(fig, *args, **kwargs)
                watch.saved[id(fig)] = (fig, saved_options(fig, kwargs))
                return result

            Figure.savefig = savefig
            return self

        def __exit__(self, *exc):
            from matplotlib.figure import Figure

            Figure.savefig = self.savefig
            return False

        def made(self) -> list:
            import matplotlib.pyplot as plt

            opened = [plt.figure(n) for n in plt.get_fignums()]
            return [fig for fig in opened if id(fig) not in self.before]

        def check(self, options: dict) -> None:
            # A figure saved is linted as saved; one only left open, as shown.
            figures = {id(fig): (fig, {}) for fig in self.made()} | self.saved
            problems = [text for fig, save in figures.values() if (text := findings_text(fig, **options, **save))]
            if problems:
                pytest.fail("\n".join(problems), pytrace=False)  # the findings are the message; no traceback

        def close(self) -> None:
            import matplotlib.pyplot as plt

            for fig in self.made():
                plt.close(fig)
