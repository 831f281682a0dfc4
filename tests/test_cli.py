"""The command line, case by case: what a CI job sees (exit status, stdout,
the stderr line) for each situation it must tell apart."""

import json
import math
import re
import subprocess
import sys
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")

import numpy as np  # noqa: E402

from tessary.cli import main  # noqa: E402

pytest_plugins = ["pytester"]

EXAMPLES = Path(__file__).resolve().parent.parent / "examples"

HEADER = "import matplotlib.pyplot as plt\n"
CLEAN = HEADER + "fig, ax = plt.subplots(layout='constrained')\nax.plot([0, 1])\nax.set_title('fine')\nplt.show()\n"
TITLES = HEADER + "fig, ax = plt.subplots()\nax.set_title('a title')\nfig.suptitle('a suptitle', y=0.9)\n"
BROKEN_ARTIST = HEADER + """from matplotlib.artist import Artist
class Broken(Artist):
    def draw(self, renderer):
        raise RuntimeError("no pixels today")
fig, ax = plt.subplots()
ax.add_artist(Broken())
"""
LEGEND_OUTSIDE = HEADER + """fig, ax = plt.subplots(figsize=(4, 3))
ax.plot([0, 1], label="a fairly long legend label")
ax.legend(loc="upper left", bbox_to_anchor=(1.02, 1))
"""
# a.py enlarges every text and its title is long; b.py's small figure only
# holds its own short title at the default size. If a's settings or its
# helpers module reached b, b's title would be cut.
SETTINGS_A = HEADER + """import matplotlib as mpl
plt.style.use("dark_background")
mpl.rcParams["font.size"] = 30
import helpers
fig, ax = plt.subplots(figsize=(1.6, 1.2))
ax.set_title(helpers.TITLE)
"""
SETTINGS_B = HEADER + """import helpers
fig = plt.figure(figsize=(1.6, 1.2))
fig.suptitle(helpers.TITLE)
"""

# Each case: the files to write, the arguments after "check", the exit status,
# what stdout must show (and, in a pair, must not), and a pattern that one
# stderr line must match.
CASES = {
    "clean": ({"plot.py": CLEAN}, ["plot.py"], 0, "0 collisions in 1 figure from 1 script", None),
    "collisions": ({"plot.py": TITLES}, ["plot.py"], 1, "plot.py:3: text_text        ax0.title / fig.suptitle",
                   None),
    "figure that cannot be drawn": (
        {"plot.py": BROKEN_ARTIST}, ["plot.py"], 2, "0 collisions in 1 figure from 1 script; 1 error",
        r"tessary: plot\.py: fig1: figure 1 could not be drawn: RuntimeError: no pixels today"),
    "failing script between good ones": (
        {"good.py": TITLES, "raises.py": "raise ValueError('broken data')\n", "later.py": TITLES},
        ["good.py", "raises.py", "later.py"], 2, "good.py:3: text_text",
        r"tessary: raises\.py:1: ValueError: broken data \(--verbose shows the traceback\)"),
    "script that prints, with --json": (
        {"plot.py": "print('hello from the script')\n" + TITLES}, ["plot.py", "--json"], 1, "json",
        r"hello from the script"),
    "settings and modules stay with their script": (
        {"a/a.py": SETTINGS_A, "a/helpers.py": "TITLE = 'Hourly load, feeder 4'\n", "b/b.py": SETTINGS_B,
         "b/helpers.py": "TITLE = 'Daily'\n"}, ["b/b.py", "a/a.py", "b/b.py"], 1,
        ("a/a.py:6: clipping", "b/b.py"), None),
    "legend outside, saved with a tight box": (
        {"plot.py": LEGEND_OUTSIDE + "fig.savefig('out.png', bbox_inches='tight')\n"}, ["plot.py"], 0,
        "0 collisions in 1 figure", None),
    "legend outside, shown": ({"plot.py": LEGEND_OUTSIDE}, ["plot.py"], 1, "clipping         ax0.legend", None),
    "saved and closed": ({"plot.py": TITLES + "fig.savefig('out.png')\nplt.close(fig)\n"}, ["plot.py"], 1,
                         "plot.py:3: text_text", None),
    "Figure without pyplot": (
        {"plot.py": "from matplotlib.figure import Figure\nfig = Figure()\nax = fig.subplots()\n"
                    "ax.set_title('a title')\nfig.suptitle('a suptitle', y=0.9)\nfig.savefig('out.png')\n"},
        ["plot.py"], 1, "plot.py:4: text_text        ax0.title / fig.suptitle", None),
    "collisions the script allows": ({"plot.py": TITLES + "import tessary\ntessary.allow(fig)\n"}, ["plot.py"], 0,
                                     "0 collisions in 1 figure", None),
    "no figure": ({"plot.py": "x = 1\n"}, ["plot.py"], 0, "0 collisions in 0 figures from 1 script; 1 made no figure",
                  r"tessary: plot\.py: made no figure"),
    "a folder": ({"d/one.py": CLEAN, "d/two.py": TITLES, "d/test_two.py": TITLES, "d/conftest.py": TITLES,
                  "d/setup.py": TITLES, "d/two_test.py": TITLES}, ["d"], 1, "from 2 scripts", None),
    "timeout": ({"plot.py": "while True:\n    pass\n"}, ["plot.py", "--timeout", "1"], 2, "1 error",
                r"tessary: plot\.py: did not finish within 1 s"),
    "crash in native code": ({"plot.py": "import os, signal\nos.kill(os.getpid(), signal.SIGSEGV)\n"}, ["plot.py"], 2,
                             "1 error", r"tessary: plot\.py: crashed \(signal 11\)"),
    "missing script": ({}, ["missing.py"], 2, "", r"tessary: no such script or folder: missing\.py"),
    "annotate to a file": ({"plot.py": TITLES, "taken": "not a folder"}, ["plot.py", "--annotate", "taken"], 2, "",
                           r"tessary: --annotate taken: exists and is not a folder"),
    "annotate under a file": ({"plot.py": TITLES, "taken": "not a folder"}, ["plot.py", "--annotate", "taken/out"], 2,
                              "", r"tessary: --annotate taken/out: cannot be made: Not a directory"),
}


@pytest.mark.parametrize("case", CASES)
def test_the_command_line_tells_the_cases_apart(case, start, tmp_path, monkeypatch, capsys):
    files, args, status, out, err = CASES[case]
    args = [*args, *start]
    for name, text in files.items():
        (tmp_path / name).parent.mkdir(parents=True, exist_ok=True)
        (tmp_path / name).write_text(text)
    monkeypatch.chdir(tmp_path)
    assert main(["check", *args]) == status
    captured = capsys.readouterr()
    if out == "json":
        document = json.loads(captured.out)
        assert document["summary"]["exit_code"] == status
    else:
        shown, absent = out if isinstance(out, tuple) else (out, None)
        assert shown in captured.out and (absent is None or absent not in captured.out), captured.out
    if err is not None:
        assert any(re.fullmatch(err, line) for line in captured.err.splitlines()), captured.err
    assert "Traceback" not in captured.err


@pytest.mark.parametrize(
    ("option", "value", "message"),
    [
        ("--overlap-fraction", "0", "overlap_fraction must be a number in (0, 1], got 0.0"),
        ("--overlap-fraction", "-1", "overlap_fraction must be a number in (0, 1], got -1.0"),
        ("--overlap-fraction", "nan", "overlap_fraction must be a number in (0, 1], got nan"),
        ("--clip-px", "nan", "clip_px must be a finite number >= 0, got nan"),
        ("--ink-threshold", "-5", "ink_threshold must be a number in [0, 1), got -5.0"),
        ("--timeout", "0", "timeout must be a number of seconds > 0, got 0.0"),
        ("-j/--jobs", "-1", "jobs must be a whole number >= 0, got -1"),
    ],
)
def test_options_out_of_range_are_usage_errors(option, value, message, capsys):
    assert main(["check", "plot.py", option.split("/")[0], value]) == 2
    [line] = capsys.readouterr().err.splitlines()
    assert line == f"tessary: argument {option}: {message} (see 'tessary check --help')"


def test_json_document(tmp_path, monkeypatch, capsys):
    (tmp_path / "titles.py").write_text(TITLES + "fig.savefig('titles.png')\n")
    (tmp_path / "raises.py").write_text("raise ValueError('broken data')\n")
    monkeypatch.chdir(tmp_path)
    assert main(["check", "titles.py", "raises.py", "--json", "-j", "2"]) == 2
    document = json.loads(capsys.readouterr().out)
    assert document["version"] == 1
    assert document["summary"] == {"scripts": 2, "figures": 1, "collisions": 2, "errors": 1, "no_figure": 0,
                                   "exit_code": 2}
    titles, raises = document["scripts"]
    assert (titles["path"], titles["status"], raises["status"]) == ("titles.py", "ok", "failed")
    assert raises["error"] == "ValueError: broken data" and raises["figures"] == []
    [figure] = titles["figures"]
    assert (figure["figure"], figure["saved_as"]) == (1, "titles.png")
    assert {(c["kind"], c["a_id"], c["b_id"]) for c in figure["collisions"]} == {
        ("text_text", "ax0.title", "fig.suptitle"), ("element_element", "ax0", "fig.suptitle")}


def test_the_traceback_only_with_verbose(tmp_path, monkeypatch, capsys):
    (tmp_path / "raises.py").write_text("raise ValueError('broken data')\n")
    monkeypatch.chdir(tmp_path)
    main(["check", "raises.py"])
    assert "Traceback" not in capsys.readouterr().err
    main(["check", "raises.py", "--verbose"])
    assert "Traceback (most recent call last)" in capsys.readouterr().err


def test_a_figure_saved_twice_unchanged_is_reported_once(tmp_path, monkeypatch, capsys):
    body = TITLES + "fig.savefig('a.png')\nfig.savefig('a.pdf')\nax.set_title('a much longer title now')\n" \
                    "fig.savefig('b.png')\n"
    (tmp_path / "plot.py").write_text(body)
    monkeypatch.chdir(tmp_path)
    main(["check", "plot.py", "--json"])
    [script] = json.loads(capsys.readouterr().out)["scripts"]
    assert [f["saved_as"] for f in script["figures"]] == ["a.png", "b.png"]


def test_annotated_pictures_have_a_name_per_script_path(tmp_path, monkeypatch, capsys):
    import matplotlib.image as mpimg

    for folder in ("a", "b"):
        (tmp_path / folder).mkdir()
        (tmp_path / folder / "plot.py").write_text(TITLES)
    monkeypatch.chdir(tmp_path)
    assert main(["check", "a/plot.py", "b/plot.py", "--annotate", "out"]) == 1
    pictures = sorted(p.relative_to(tmp_path / "out").as_posix() for p in (tmp_path / "out").rglob("*.png"))
    assert pictures == ["a/plot_fig1.png", "b/plot_fig1.png"]
    picture = mpimg.imread(tmp_path / "out" / pictures[0])
    # The frame is kept whole, with red outlines on it and a key of two lines below.
    assert picture.shape[0] > 480 and picture.shape[1] >= 640
    red = (picture[..., 0] > 0.8) & (picture[..., 1] < 0.3) & (picture[..., 2] < 0.3)
    assert red[:480].any() and not red[480:].any()


def test_lint_takes_one_string_as_one_pattern_and_checks_its_options():
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    import tessary

    fig, ax = plt.subplots()
    ax.set_title("a title")
    fig.suptitle("a suptitle", y=0.9)
    try:
        assert {c.kind for c in tessary.lint(fig, ignore="text_text").collisions} == {"element_element"}
        for options, error, message in [
            ({"overlap_fraction": 0}, ValueError, "overlap_fraction must be a number in (0, 1], got 0"),
            ({"overlap_fraction": "0.1"}, TypeError, "overlap_fraction must be a number in (0, 1], got '0.1'"),
            ({"clip_px": math.inf}, ValueError, "clip_px must be a finite number >= 0, got inf"),
            ({"ink_threshold": 1}, ValueError, "ink_threshold must be a number in [0, 1), got 1"),
            ({"ignore": ["ok", 3]}, TypeError, "ignore must be a string or an iterable of strings, got ['ok', 3]"),
            ({"ignore": 3}, TypeError, "ignore must be a string or an iterable of strings, got 3"),
        ]:
            with pytest.raises(error, match="^" + re.escape(message) + "$"):
                tessary.lint(fig, **options)
    finally:
        plt.close(fig)


@pytest.mark.parametrize(
    ("name", "expected"),
    [
        ("crowded_dates.py", "crowded_dates.py:17: text_text        ax0.xtick[0..26]: 26 overlapping pairs"),
        ("legend_on_data.py", "over_data        ax0.legend / ax0.collection[0]'samples'"),
        ("suptitle_title.py", "text_text        ax0.title / fig.suptitle"),
        ("figure_legend_xlabel.py", "text_text        ax0.xlabel / fig.legend[0]"),
        ("annotation_cut_off.py", "clipping         ax0.annotation[0]'record month, up 17 %' is cut off"),
    ],
)
def test_example_defect_is_reported(capsys, name, expected):
    assert main(["check", str(EXAMPLES / name)]) == 1
    assert expected in capsys.readouterr().out


def test_version_and_the_module_entry_point():
    run = subprocess.run([sys.executable, "-m", "tessary", "--version"], capture_output=True, text=True)
    # One version, the project's: the package and the command read it from its metadata.
    try:
        import tomllib
    except ImportError:  # Python 3.10
        import tomli as tomllib
    project = tomllib.loads((EXAMPLES.parent / "pyproject.toml").read_text())["project"]["version"]
    assert (run.returncode, run.stdout) == (0, f"tessary {project}\n")
    assert subprocess.run([sys.executable, "-c", "import tessary; print(tessary.__version__)"], capture_output=True,
                          text=True).stdout == f"{project}\n"
    help_text = subprocess.run([sys.executable, "-m", "tessary", "check", "--help"], capture_output=True,
                               text=True).stdout
    for option in ("--overlap-fraction", "--clip-px", "--ink-threshold", "--timeout", "--jobs"):
        assert option in help_text
    assert "default: 300.0" in help_text and "exit status: 0 every figure clean" in help_text


def test_verbose_names_the_artists_it_skipped(tmp_path, monkeypatch, capsys):
    (tmp_path / "plot.py").write_text(
        HEADER + "from matplotlib.patches import Rectangle\nfig = plt.figure()\n"
                 "fig.add_artist(Rectangle((0.1, 0.1), 0.2, 0.2))\n")
    monkeypatch.chdir(tmp_path)
    assert main(["check", "plot.py"]) == 0
    assert "skipped" not in capsys.readouterr().err
    assert main(["check", "plot.py", "--verbose"]) == 0
    assert "tessary: figure 1: skipped fig: Rectangle" in capsys.readouterr().err


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
    # The failure stands on the test's own line; tessary's frames are hidden.
    result.stdout.re_match_lines([r'>\s+assert_clean\(fig, ignore=\["element_element"\]\)$'])
    assert "tessary/testing.py" not in result.stdout.str()
