import json
import subprocess
import sys
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")

import numpy as np  # noqa: E402

from tessary.cli import main  # noqa: E402

pytest_plugins = ["pytester"]

EXAMPLES = Path(__file__).resolve().parent.parent / "examples"


def script(tmp_path, body, name="plot.py"):
    path = tmp_path / name
    path.write_text("import matplotlib.pyplot as plt\n" + body + "\nplt.show()\n")
    return str(path)


SUPTITLE_ON_TITLE = "fig, ax = plt.subplots()\nax.set_title('a title')\nfig.suptitle('a suptitle', y=0.9)"
CLEAN = "fig, ax = plt.subplots(layout='constrained')\nax.plot([0, 1])\nax.set_title('fine')"


@pytest.mark.parametrize(
    ("name", "expected"),
    [
        ("crowded_dates.py", "text_text        ax0.xtick[0]'2019-12' / ax0.xtick[1]'2020-01'"),
        ("legend_on_data.py", "over_data        ax0.legend / ax0.collection[0]'samples'"),
        ("suptitle_title.py", "text_text        ax0.title / fig.suptitle"),
        ("figure_legend_xlabel.py", "text_text        ax0.xlabel / fig.legend[0]"),
        ("annotation_cut_off.py", "clipping         ax0.annotation[0]'record month, up 17 %' is cut off"),
    ],
)
def test_example_defect_is_reported(capsys, name, expected):
    assert main(["check", str(EXAMPLES / name)]) == 1
    assert expected in capsys.readouterr().out


def test_clean_example_exits_zero(capsys):
    assert main(["check", str(EXAMPLES / "clean.py")]) == 0
    assert capsys.readouterr().out.strip() == "0 collisions in 1 figure"


def test_json_output_parses(tmp_path, capsys):
    path = script(tmp_path, SUPTITLE_ON_TITLE)
    assert main(["check", path, "--json"]) == 1
    [entry] = json.loads(capsys.readouterr().out)
    assert entry["script"] == path and entry["figure"] == 1
    assert {(c["kind"], c["a_id"], c["b_id"]) for c in entry["collisions"]} == {
        ("text_text", "ax0.title", "fig.suptitle"),
        ("element_element", "ax0", "fig.suptitle"),
    }


@pytest.mark.parametrize(
    ("ignore", "code"),
    [([], 1), (["--ignore", "text_text"], 1), (["--ignore", "text_text", "--ignore", "element_element"], 0), (["--ignore", "fig.*"], 0)],
)
def test_ignore_option(tmp_path, capsys, ignore, code):
    assert main(["check", script(tmp_path, SUPTITLE_ON_TITLE), *ignore]) == code


def test_annotated_png_outlines_the_colliding_boxes(tmp_path, capsys):
    import matplotlib.image as mpimg

    path = script(tmp_path, SUPTITLE_ON_TITLE + "\nfig.savefig(__file__[:-3] + '_plain.png')")
    out = tmp_path / "out"
    assert main(["check", path, "--annotate", str(out), "--ignore", "element_element"]) == 1
    annotated = mpimg.imread(out / "plot_fig1.png")
    plain = mpimg.imread(tmp_path / "plot_plain.png")
    assert annotated.shape == plain.shape
    changed = np.argwhere(np.abs(annotated - plain).max(axis=2) > 0.1)
    assert len(changed) > 0
    # Changes are on the top of the figure, where the titles collide.
    assert changed[:, 0].max() < annotated.shape[0] / 2


def test_usage_errors_exit_two(capsys):
    with pytest.raises(SystemExit) as exit:
        main(["check"])
    assert exit.value.code == 2
    assert main(["check", "missing.py"]) == 2
    assert "no such script: missing.py" in capsys.readouterr().err


def test_script_that_raises_exits_two_and_reports_it(tmp_path, capsys):
    assert main(["check", script(tmp_path, "raise ValueError('broken data')", name="bad.py")]) == 2
    err = capsys.readouterr().err
    assert "bad.py raised" in err and "ValueError: broken data" in err


BROKEN_ARTIST = """
from matplotlib.artist import Artist

class Broken(Artist):
    def draw(self, renderer):
        raise RuntimeError("no pixels today")

fig, ax = plt.subplots()
ax.add_artist(Broken())
"""


def test_figure_that_cannot_be_drawn_is_an_error_not_a_finding(tmp_path, capsys):
    assert main(["check", script(tmp_path, BROKEN_ARTIST)]) == 2
    err = capsys.readouterr().err
    assert "plot.py: figure 1 could not be drawn: RuntimeError: no pixels today" in err
    assert "Traceback" not in err


def test_verbose_names_the_artists_it_skipped(tmp_path, capsys):
    stamp = "from matplotlib.patches import Rectangle\nfig = plt.figure()\nfig.add_artist(Rectangle((0.1, 0.1), 0.2, 0.2))"
    path = script(tmp_path, stamp)
    assert main(["check", path]) == 0
    assert "skipped" not in capsys.readouterr().err
    assert main(["check", path, "--verbose"]) == 0
    assert "tessary: figure 1: skipped fig: Rectangle" in capsys.readouterr().err


def test_every_figure_of_every_script_is_checked(tmp_path, capsys):
    two = script(tmp_path, CLEAN + "\n" + SUPTITLE_ON_TITLE, name="two.py")
    one = script(tmp_path, CLEAN, name="one.py")
    assert main(["check", one, two]) == 1
    out = capsys.readouterr().out
    assert "two.py:fig2: text_text" in out and "one.py" not in out
    assert out.splitlines()[-1] == "2 collisions in 3 figures"


def test_console_entry_point(tmp_path):
    run = subprocess.run(
        [sys.executable, "-m", "tessary", "check", script(tmp_path, CLEAN)], capture_output=True, text=True
    )
    assert run.returncode == 0, run.stderr


def test_assert_clean_fixture_lists_the_collisions(pytester):
    pytester.makepyfile(
        """
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt

        def test_titles(assert_clean):
            fig, ax = plt.subplots()
            ax.set_title("a title")
            fig.suptitle("a suptitle", y=0.9)
            try:
                assert_clean(fig, ignore=["element_element"])
            finally:
                plt.close(fig)

        def test_fine(assert_clean):
            fig, ax = plt.subplots(layout="constrained")
            ax.set_title("fine")
            assert_clean(fig)
            plt.close(fig)
        """
    )
    result = pytester.runpytest_subprocess()
    result.assert_outcomes(passed=1, failed=1)
    result.stdout.fnmatch_lines(["*figure has 1 layout collision:*", "*text_text*ax0.title / fig.suptitle*"])
