"""The report a person reads: findings that share a cause on one line, each
line starting with the script's ``path:line:`` that made the element."""

import json
import subprocess
import sys

import pytest

pytest.importorskip("matplotlib")

from tessary._core import Collision  # noqa: E402
from tessary.groups import family, grouped, summary  # noqa: E402

BOX = (0.0, 0.0, 1.0, 1.0)


def collision(kind, a, b, severity=0.5):
    return Collision(kind, "tick-label", a, BOX, "tick-label", b, BOX, severity)


@pytest.mark.parametrize(("ident", "expected"), [
    ("ax0.xtick[3]'2020-01'", "ax0.xtick[*]"),
    ("sf0.ax1.legend", "sf0.ax1.legend"),
    ("ax0.inset[0].ytick[2]'0.5'", "ax0.inset[*].ytick[*]"),
    ("ax0.line[0]'it''s'", "ax0.line[*]'it'"),
    ("cbar0", "cbar0"),
])
def test_the_family_of_an_id_drops_its_index_and_label(ident, expected):
    assert family(ident) == expected


def test_findings_group_by_kind_families_and_hint():
    ticks = [collision("text_text", f"ax0.xtick[{i}]'{i}'", f"ax0.xtick[{i + 1}]'{i + 1}'", 0.1 * i)
             for i in range(5)]
    other_axes = collision("text_text", "ax1.xtick[0]'a'", "ax1.xtick[1]'b'")
    title = collision("text_text", "ax0.title", "ax0.xtick[2]'2'")
    found = [*ticks[:3], other_axes, title, *ticks[3:]]
    assert grouped(found) == [[0, 1, 2, 5, 6], [3], [4]]
    # The same pairs with different hints are different problems.
    assert grouped(ticks, ["a", "a", "b", "b", None]) == [[0, 1], [2, 3], [4]]
    assert summary([found[i] for i in (0, 1, 2, 5, 6)]) == \
        "text_text        ax0.xtick[0..5]: 5 overlapping pairs, worst severity 0.400"
    clipped = [Collision("clipping", "tick-label", f"ax0.ytick[{i}]'x'", BOX, "clip", "clip", BOX, 2.0 + i)
               for i in (4, 7)]
    assert summary(clipped) == "clipping         ax0.ytick[4..7]: 2 cut off, the worst by 9.0 px"


HEADER = "import matplotlib.pyplot as plt\nimport numpy as np\n"
SCRIPTS = {
    # 900 days under a month locator: over a hundred crowded pairs, one line.
    "dates.py": HEADER + """import datetime as dt
import matplotlib.dates as mdates
days = [dt.date(2021, 1, 1) + dt.timedelta(days=n) for n in range(900)]
fig, ax = plt.subplots()
ax.plot(days, np.cumsum(np.random.default_rng(1).normal(size=900)))
ax.xaxis.set_major_locator(mdates.MonthLocator())
ax.xaxis.set_major_formatter(mdates.DateFormatter("%Y-%m"))
""",
    "legend.py": HEADER + """x = np.linspace(0, 10, 200)
fig, ax = plt.subplots()
ax.plot(x, np.sin(x) * 0.2, lw=8, label="first")
ax.plot(x, np.sin(x) * 0.2 + 0.05, lw=8, label="second")
ax.legend(loc="center", fontsize=16,
          framealpha=1)
""",
    "helper.py": HEADER + """def draw(ax):
    ax.set_title("a title")
fig, ax = plt.subplots()
draw(ax)
fig.suptitle("a suptitle", y=0.9)
""",
    "fails.py": HEADER + "fig, ax = plt.subplots()\n\nopen('missing.csv')\n",
    # Tick labels are laid out by matplotlib: the legend put on them is what the script placed.
    "ticks.py": HEADER + """fig, ax = plt.subplots(figsize=(5, 4))
ax.plot([0, 1], label="a long enough label")
fig.legend(loc="lower center")
""",
}


def check(folder, *args):
    for name, text in SCRIPTS.items():
        (folder / name).write_text(text)
    return subprocess.run([sys.executable, "-m", "tessary", "check", *args], cwd=folder, capture_output=True,
                          text=True)


def test_each_line_points_at_the_code_that_made_it(tmp_path):
    done = check(tmp_path, "dates.py", "legend.py", "helper.py", "fails.py", "ticks.py")
    *lines, ticks, total = done.stdout.splitlines()
    lines.append(total)
    assert lines[0].startswith("dates.py:9: text_text        ax0.xtick[0..")  # the line that set the ticks
    assert "overlapping pairs, worst severity" in lines[0]
    assert lines[1].startswith("legend.py:7: over_data        ax0.legend / ax0.line[0..1]: 2 over data")
    # Made inside a function of the script: its own line, not the call's.
    assert lines[2].startswith("helper.py:4: text_text        ax0.title / fig.suptitle")
    assert lines[3].startswith("helper.py:7: element_element  ax0 / fig.suptitle")
    assert ticks.startswith("ticks.py:5: text_text        ax0.xtick[") and "/ fig.legend[0]" in ticks
    assert len(lines) == 5 and lines[4].endswith("from 5 scripts; 1 error")
    assert "tessary: fails.py:5: FileNotFoundError: [Errno 2] No such file or directory: 'missing.csv' " \
           "(--verbose shows the traceback)" in done.stderr.splitlines()


def test_json_keeps_every_collision_with_its_group_and_sources(tmp_path):
    done = check(tmp_path, "dates.py", "legend.py", "fails.py", "--json")
    dates, legend, fails = json.loads(done.stdout)["scripts"]
    [figure] = dates["figures"]
    assert len(figure["collisions"]) > 100 and {c["group"] for c in figure["collisions"]} == {1}
    assert {(c["a_source"]["line"], c["b_source"]["line"]) for c in figure["collisions"]} == {(9, 9)}
    first, second = legend["figures"][0]["collisions"]
    assert (first["a_source"], first["b_source"]) == ({"path": "legend.py", "line": 7},
                                                      {"path": "legend.py", "line": 5})
    assert second["b_source"]["line"] == 6 and first["group"] == second["group"] == 1
    assert (fails["status"], fails["line"]) == ("failed", 5)


def test_lint_outside_check_is_as_before():
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    import tessary

    fig, ax = plt.subplots()
    ax.set_title("a title")
    fig.suptitle("a suptitle", y=0.9)
    try:
        assert "source" not in tessary.lint(fig).to_json()
    finally:
        plt.close(fig)
