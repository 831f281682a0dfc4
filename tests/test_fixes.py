"""Fix hints, project configuration, tessary.allow and the GitHub output."""

import re

import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import tessary  # noqa: E402
from tessary.cli import main  # noqa: E402
from tessary.config import ConfigError, find  # noqa: E402

pytest_plugins = ["pytester"]


def legend_on_cloud():
    fig, ax = plt.subplots(figsize=(5, 4))
    rng = np.random.default_rng(5)
    ax.scatter(rng.uniform(0, 1, 1500), rng.uniform(0, 0.6, 1500), s=6, label="runs")
    ax.set_ylim(0, 1)
    ax.legend(loc="lower center")
    return fig


def crowded_ticks():
    fig, ax = plt.subplots(figsize=(4, 3), layout="constrained")
    ax.plot(np.arange(12), np.arange(12.0))
    ax.set_xticks(np.arange(12), [f"batch {i}" for i in range(12)])
    return fig


def cut_ylabel():
    fig, ax = plt.subplots(figsize=(4, 3))
    fig.subplots_adjust(left=0.05)
    ax.plot([0, 1], [0, 1])
    ax.set_ylabel("concentration (mmol/l)")
    return fig


def dated_ticks():
    from matplotlib import dates

    fig, ax = plt.subplots(figsize=(4, 3), layout="constrained")
    ax.plot(np.datetime64("2024-01-01") + np.arange(60), np.arange(60.0))
    ax.xaxis.set_major_locator(dates.DayLocator(interval=7))
    ax.xaxis.set_major_formatter(dates.DateFormatter("%Y-%m-%d"))
    return fig


def suptitle_on_titles():
    fig, axs = plt.subplots(1, 2, figsize=(6, 3))
    fig.subplots_adjust(top=0.88)
    fig.suptitle("Season summary", y=0.95, fontsize=14)
    for ax in axs:
        ax.set_title("panel title")
    return fig


def note_on_line():
    fig, ax = plt.subplots(figsize=(5, 4), layout="constrained")
    ax.plot([0, 10], [4.9, 5.1], lw=2)
    ax.set_ylim(0, 10)
    ax.text(5, 5, "steady over the week", ha="center", va="center", fontsize=12)
    return fig


def several_problems():
    fig, ax = plt.subplots(figsize=(5, 4))
    rng = np.random.default_rng(5)
    ax.scatter(rng.uniform(0, 12, 1500), rng.uniform(0, 0.6, 1500), s=6, label="runs")
    ax.set_ylim(0, 1)
    ax.legend(loc="lower center")
    ax.set_xticks(np.arange(12), [f"batch {i}" for i in range(12)])
    return fig


def long_title():
    fig, ax = plt.subplots(figsize=(3.5, 3), layout="constrained")
    ax.plot([0, 1], [0, 1])
    ax.set_title("Respiratory admissions, paediatric ward, winter season", fontsize=12)
    return fig


def minor_labels():
    from matplotlib import ticker

    fig, ax = plt.subplots(figsize=(5, 3), layout="constrained")
    f = np.logspace(1, 4, 200)
    ax.semilogx(f, -20 * np.log10(np.hypot(1, f / 300)))
    ax.xaxis.set_minor_formatter(ticker.FormatStrFormatter("%g"))
    return fig


def daily_dates():
    from matplotlib import dates

    fig, ax = plt.subplots(figsize=(6, 3), layout="constrained")
    ax.plot(np.datetime64("2024-01-01") + np.arange(120), np.arange(120.0))
    ax.xaxis.set_major_locator(dates.DayLocator(interval=3))
    ax.xaxis.set_major_formatter(dates.DateFormatter("%d %b"))
    return fig


@pytest.mark.parametrize(
    ("build", "kinds", "family"),
    [
        (legend_on_cloud, {"over_data"}, r"\.get_legend\(\)\.set_loc\("),
        (crowded_ticks, {"text_text"}, r"get_xticklabels\(\):\n    label\.set\(rotation=(30|45), ha=\"right\"\)"),
        (dated_ticks, {"text_text"}, r"^fig\.autofmt_xdate\(\)$"),
        (suptitle_on_titles, {"text_text"}, r"^fig\.suptitle\('Season summary', fontsize=14\)\nfig\.set_layout_engine"),
        (cut_ylabel, {"clipping"}, r"set_layout_engine|tight_layout|bbox_inches"),
        (note_on_line, {"over_data"}, r"\.texts\[0\]\.set(_position\(|\(va=)"),
        # Two elements, two hints, proven together.
        (several_problems, {"over_data", "text_text"},
         r"set_loc\(\"upper|label\.set\(rotation=(30|45), ha=\"right\"\)|set_layout_engine"),
        # The axis's own rules: minor labels go, majors stay; dates stay on a date locator.
        (minor_labels, {"text_text"}, r'^fig\.axes\[0\]\.tick_params\(axis="x", which="minor", labelbottom=False'),
        (daily_dates, {"text_text"}, r"^import matplotlib\.dates as mdates\nfig\.axes\[0\]\.xaxis\.set_major_locator"
                                     r"\(mdates\.(WeekdayLocator|MonthLocator)\("),
        (long_title, {"clipping"}, r"^fig\.axes\[0\]\.title\.set_text\('Respiratory admissions,\\npaediatric"),
    ],
)
def test_each_hint_clears_its_finding_when_applied(build, kinds, family):
    plt.close("all")
    fig = build()
    collisions = tessary.lint(fig).collisions
    assert {c.kind for c in collisions} == kinds
    hints = tessary.hints(fig, collisions)
    assert all(hint is not None for hint in hints) and len(hints) == len(collisions)
    assert all(re.search(family, hint.code) for hint in hints), [h.code for h in hints]
    assert [h.clears for h in hints] == collisions
    plt.close(fig)
    # Applied to a figure built afresh, as a user would paste them.
    fresh = build()
    save = {}
    for hint in {h.code: h for h in hints}.values():
        save.update(hint.apply(fresh))
    assert tessary.lint(fresh, **save).collisions == []
    plt.close(fresh)
    assert plt.get_fignums() == [], "the copies tried must not stay with pyplot"


def test_the_legend_goes_where_it_hides_the_least_data():
    fig = legend_on_cloud()  # the cloud fills the lower part: the legend belongs at the top
    [hint] = {h.code for h in tessary.hints(fig, tessary.lint(fig).collisions)}
    assert hint in ('fig.axes[0].get_legend().set_loc("upper left")',
                    'fig.axes[0].get_legend().set_loc("upper right")',
                    'fig.axes[0].get_legend().set_loc("upper center")')
    plt.close(fig)


def test_a_figure_that_cannot_be_copied_gets_no_hint_and_stays_as_it_was():
    fig = cut_ylabel()
    fig.feed = (n for n in range(3))  # a generator cannot be copied
    collisions = tessary.lint(fig).collisions
    assert tessary.hints(fig, collisions) == [None] * len(collisions)
    assert fig.get_layout_engine() is None and tessary.lint(fig).collisions
    plt.close(fig)


def test_allow_marks_an_artists_collisions_as_intended():
    fig = legend_on_cloud()
    legend = fig.axes[0].get_legend()
    with pytest.raises(ValueError, match="unknown collision kind 'over-data'"):
        tessary.allow(legend, "over-data")
    tessary.allow(legend, "clipping")
    assert tessary.lint(fig).collisions
    tessary.allow(legend, "over_data")
    assert tessary.lint(fig).collisions == []
    other = cut_ylabel()
    tessary.allow(other.axes[0])  # an axes stands for all it draws, of every kind
    assert tessary.lint(other).collisions == []
    plt.close("all")


def write(tmp_path, files):
    for name, text in files.items():
        (tmp_path / name).parent.mkdir(parents=True, exist_ok=True)
        (tmp_path / name).write_text(text)


TITLES = "import matplotlib.pyplot as plt\nfig, ax = plt.subplots()\nax.set_title('a title')\n" \
         "fig.suptitle('a suptitle', y=0.9)\n"


def test_configuration_comes_from_the_nearest_table_and_yields_to_the_command_line(tmp_path, monkeypatch, capsys):
    write(tmp_path, {
        "pyproject.toml": '[tool.tessary]\nignore = ["element_element"]\n'
                          '[tool.tessary.per-file-ignores]\n"lab/drafts/*.py" = ["text_text"]\n',
        "lab/pyproject.toml": "[project]\nname = 'not the one'\n",  # no table: the search goes on up
        "lab/drafts/titles.py": TITLES, "lab/titles.py": TITLES,
    })
    monkeypatch.chdir(tmp_path)
    config = find(tmp_path / "lab" / "drafts")
    assert config.path == tmp_path / "pyproject.toml" and config.options == {"ignore": ("element_element",)}
    assert main(["check", "lab/drafts/titles.py"]) == 0  # per-file ignores on top of the project's
    assert main(["check", "lab/titles.py"]) == 1
    assert "text_text" in capsys.readouterr().out
    assert main(["check", "lab/titles.py", "--ignore", "text_text"]) == 1  # replaces the project's ignore
    assert "element_element" in capsys.readouterr().out


@pytest.mark.parametrize(
    ("table", "message"),
    [
        ("colour = 'red'", "unknown key 'colour' in [tool.tessary]"),
        ("overlap-fraction = 2", "[tool.tessary] overlap-fraction: must be a number in (0, 1], got 2"),
        ("timeout = -1", "[tool.tessary] timeout: must be a number of seconds > 0, got -1"),
    ],
)
def test_a_bad_table_is_an_error_that_names_the_key(table, message, tmp_path, monkeypatch, capsys):
    write(tmp_path, {"pyproject.toml": f"[tool.tessary]\n{table}\n", "plot.py": TITLES})
    with pytest.raises(ConfigError, match=re.escape(message)):
        find(tmp_path)
    monkeypatch.chdir(tmp_path)
    assert main(["check", "plot.py"]) == 2
    assert message in capsys.readouterr().err


def test_github_annotations(tmp_path, monkeypatch, capsys):
    write(tmp_path, {
        "dir,1/plot.py": "import matplotlib.pyplot as plt\nfig, ax = plt.subplots(figsize=(3, 2))\n"
                         "ax.annotate('up 17 % again', xy=(1, 1), xytext=(0, 0), textcoords='offset points')\n",
        "raises.py": "raise ValueError('line one\\nline two')\n",
    })
    monkeypatch.chdir(tmp_path)
    assert main(["check", "dir,1/plot.py", "raises.py", "--format", "github"]) == 2
    out = capsys.readouterr().out.splitlines()
    assert out == [
        "::error file=dir%2C1/plot.py,line=3,title=tessary clipping::ax0.annotation[0]'up 17 %25 again' is cut off by "
        + re.search(r"by (\S+ px)", out[0])[1],
        "::error file=raises.py,line=1,title=tessary failure::ValueError: line one line two",
        "1 collision in 1 figure from 2 scripts; 1 error",
    ]


def test_the_fixture_takes_the_projects_settings_and_gives_hints(pytester):
    pytester.makepyprojecttoml('[tool.tessary]\nignore = ["element_element"]\n')
    pytester.makepyfile(
        """
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt

        def test_titles(assert_clean):
            fig, ax = plt.subplots()
            ax.set_title("a title")
            fig.suptitle("a suptitle", y=0.9)
            assert_clean(fig, hints=True)
        """
    )
    result = pytester.runpytest_subprocess()
    result.assert_outcomes(failed=1)
    result.stdout.fnmatch_lines(["*figure has 1 layout collision:*", "*text_text*ax0.title / fig.suptitle*",
                                 "*fix: fig.suptitle('a suptitle')*"])


def bar_labels():
    fig, ax = plt.subplots(figsize=(4, 3), layout="constrained")
    ax.bar([0, 1], [5, 5], width=0.95, color="0.85")
    ax.text(0.2, 2.5, "first bar label", ha="center", fontsize=12)
    ax.text(0.8, 2.5, "second bar label", ha="center", fontsize=12)
    return fig


def point_labels():
    fig, ax = plt.subplots(figsize=(4, 3), layout="constrained")
    ax.plot([0, 1, 1.15, 2], [1, 2, 1.9, 1], "o")
    ax.annotate("summit", xy=(1, 2), xytext=(0, 5), textcoords="offset points", ha="center")
    ax.annotate("second reading", xy=(1.15, 1.9), xytext=(0, 5), textcoords="offset points", ha="center")
    ax.set_ylim(0, 2.4)
    return fig


@pytest.mark.parametrize("build", [bar_labels, point_labels])
def test_a_label_moved_stays_by_what_it_labels(build):
    """A label in a bar stays in its bar; a label of a point within a line's height of it."""
    fig = build()
    collisions = tessary.lint(fig).collisions
    assert collisions
    hints = {h.code: h for h in tessary.hints(fig, collisions) if h is not None}
    plt.close(fig)
    fresh = build()
    ax = fresh.axes[0]
    for hint in hints.values():
        hint.apply(fresh)
    fresh.canvas.draw()
    renderer = fresh.canvas.get_renderer()
    targets = [p.get_window_extent(renderer) for p in ax.patches] or [None, None]
    for k, (text, target) in enumerate(zip(ax.texts, targets)):
        if not any(f".texts[{k}]" in code for code in hints):
            continue  # not moved: where the script put it
        box = text.get_window_extent(renderer)
        if target is not None:
            assert target.x0 <= box.x0 and box.x1 <= target.x1 and target.y0 <= box.y0 and box.y1 <= target.y1
        else:
            point = ax.transData.transform(text.xy)
            assert box.x0 - box.height <= point[0] <= box.x1 + box.height
            assert box.y0 - 2 * box.height <= point[1] <= box.y1 + box.height
    assert hints and tessary.lint(fresh).collisions == []
    plt.close(fresh)
