"""pytest --tessary: a test fails when a figure it made, open at its end or
saved during it, has layout collisions; its figures are closed after it."""

import pytest

pytest.importorskip("matplotlib")

pytest_plugins = ["pytester"]

TESTS = """
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import pytest


def colliding():
    fig, ax = plt.subplots()
    ax.set_title("a title")
    fig.suptitle("a suptitle", y=0.9)
    return fig


def test_clean(tmp_path):
    fig, ax = plt.subplots(layout="constrained")
    ax.plot([0, 1])
    fig.savefig(tmp_path / "clean.png")


def test_colliding():
    colliding()


def test_without_figures():
    assert sum([1, 2]) == 3
"""

MARKED = """
@pytest.mark.tessary(False)
def test_left_out():
    colliding()
    plt.close("all")


@pytest.mark.tessary(ignore=["text_text", "element_element"])
def test_narrowed():
    colliding()


def test_saved_then_closed(tmp_path):
    fig, ax = plt.subplots(figsize=(3, 2))
    ax.set_ylabel("a label far too long for so short a figure")
    fig.savefig(tmp_path / "cut.png", dpi=50)
    plt.close(fig)


def test_nothing_left_open_by_the_tests_before():
    assert plt.get_fignums() == []
"""


@pytest.mark.parametrize("switch", ["option", "ini"])
def test_a_colliding_figure_fails_its_test_with_the_finding(pytester, switch):
    pytester.makepyfile(test_figures=TESTS)
    if switch == "ini":
        pytester.makeini("[pytest]\ntessary = true\n")
    result = pytester.runpytest_subprocess(*(["--tessary"] if switch == "option" else []))
    result.assert_outcomes(failed=1, passed=2)
    result.stdout.fnmatch_lines(["*_ test_colliding _*", "figure 1 has 2 layout collisions:",
                                 "  text_text        ax0.title / fig.suptitle: severity *"])


def test_without_the_switch_the_tests_are_untouched(pytester):
    pytester.makepyfile(test_figures=TESTS)
    pytester.runpytest_subprocess().assert_outcomes(passed=3)


def test_marks_narrow_or_leave_out_a_test_and_saved_figures_count_as_saved(pytester):
    pytester.makepyfile(test_figures=TESTS + MARKED)
    result = pytester.runpytest_subprocess("--tessary")
    result.assert_outcomes(failed=2, passed=5)
    result.stdout.fnmatch_lines(["*_ test_saved_then_closed _*", "figure * has 1 layout collision:",
                                 "  clipping         ax0.ylabel is cut off by *"])
