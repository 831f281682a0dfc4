"""Hints as a script takes them: named as the script names its figure,
placed before the statement that saves or shows it, and the diff that puts
them in makes the script clean."""

import json
import subprocess
import sys
import textwrap

import pytest

pytest.importorskip("matplotlib")

from tessary.pasting import patched, saved_with  # noqa: E402

TITLES = 'ax.set_title("a title")\n{fig}.suptitle("a suptitle", y=0.9)\n'

CASES = {
    "variable": ("import matplotlib.pyplot as plt\nf, ax = plt.subplots()\n" + TITLES.format(fig="f")
                 + "f.savefig('out.png', dpi=80)\n", "f", 4),
    "state API": ("import matplotlib.pyplot as pp\npp.plot([0, 1])\nax = pp.gca()\n"
                  "ax.set_title('a title')\npp.suptitle('a suptitle', y=0.9)\npp.savefig('out.png')\n",
                  "pp.figure(1)", 5),
    "in a function": ("import matplotlib.pyplot as plt\n\n\ndef draw(path):\n    fig, ax = plt.subplots()\n"
                      + textwrap.indent(TITLES.format(fig="fig"), "    ")
                      + "    if path:\n        fig.savefig(path)\n\n\ndraw('out.png')\n", "fig", 8),
    "shown": ("import matplotlib.pyplot as plt\nfig, ax = plt.subplots()\n" + TITLES.format(fig="fig")
              + "plt.show()\nprint('done')\n", "fig", 4),
    "left open": ("import matplotlib.pyplot as plt\n\n\ndef main():\n    fig, ax = plt.subplots()\n"
                  + textwrap.indent(TITLES.format(fig="fig"), "    ") + "\n\nmain()\n", "plt.figure(1)", 10),
    "saved in a comprehension": ("import matplotlib.pyplot as plt\nfig, ax = plt.subplots()\n"
                                 + TITLES.format(fig="fig") + "[fig.savefig(n) for n in ('a.png', 'b.pdf')]\n",
                                 "fig", 4),
}


def run(*arguments, cwd):
    return subprocess.run([sys.executable, "-m", "tessary", "check", *arguments], capture_output=True, text=True,
                          cwd=cwd, timeout=300)


@pytest.mark.parametrize("case", CASES)
def test_the_hint_names_the_figure_as_the_script_does_and_the_diff_clears_it(case, tmp_path):
    source, figure, after_line = CASES[case]
    script = tmp_path / "plot.py"
    script.write_text(source)
    done = run("--hints", "--json", "plot.py", cwd=tmp_path)
    assert done.returncode == 1, done.stderr
    found = [c for f in json.loads(done.stdout)["scripts"][0]["figures"] for c in f["collisions"]]
    [hint] = {json.dumps(c["hint"]) for c in found}  # one element, one hint for all its findings
    hint = json.loads(hint)
    assert (hint["figure"], hint["after_line"]) == (figure, after_line)
    assert set(hint) == {"code", "reason", "after_line", "figure"}
    assert hint["code"].startswith(f"{figure}.suptitle('a suptitle')")
    diff = run("--fix-diff", "plot.py", cwd=tmp_path)
    assert diff.returncode == 1 and diff.stdout.startswith("--- plot.py\n+++ plot.py\n@@"), diff.stderr
    applied = subprocess.run(["patch", "-p0", "-s"], input=diff.stdout, text=True, cwd=tmp_path)
    assert applied.returncode == 0
    assert script.read_text() == patched(source, [hint])
    rerun = run("plot.py", cwd=tmp_path)
    assert rerun.returncode == 0, rerun.stdout + rerun.stderr


def test_a_figure_cut_at_its_edge_gets_the_scripts_own_savefig_with_a_tight_box(tmp_path):
    (tmp_path / "plot.py").write_text(
        "import matplotlib\nmatplotlib.use('Agg')\nfrom matplotlib.figure import Figure\n"
        "figure = Figure(figsize=(3, 2), layout='constrained')\n"
        "figure.text(0.97, 0.5, 'a note that runs past the edge')\n"
        "figure.savefig('out.png',\n               dpi=90)\n")
    done = run("--hints", "--json", "plot.py", cwd=tmp_path)
    [found] = [c for f in json.loads(done.stdout)["scripts"][0]["figures"] for c in f["collisions"]]
    assert found["hint"]["code"] == "figure.savefig('out.png',\n               dpi=90, bbox_inches='tight')"
    assert (found["hint"]["after_line"], found["hint"]["replaces"]) == (5, [6, 7])
    diff = run("--fix-diff", "plot.py", cwd=tmp_path).stdout.splitlines()
    assert [line for line in diff if line[:1] in "+-" and line[:3] not in ("+++", "---")] == [
        "-               dpi=90)", "+               dpi=90, bbox_inches='tight')"]


@pytest.mark.parametrize(
    ("segment", "rewritten"),
    [
        ("fig.savefig('a.png')", "fig.savefig('a.png', bbox_inches='tight')"),
        ("    fig.savefig('a.png',)", "    fig.savefig('a.png', bbox_inches='tight')"),
        ("fig.savefig(\n    'a.png'\n)", "fig.savefig(\n    'a.png', bbox_inches='tight')"),
        ("fig.savefig('a.png', bbox_inches=None)", None),  # the script chose; not overridden
        ("fig.savefig(*args, **options)", None),
        ("fig.savefig('a.png')  # done", None),
    ],
)
def test_the_scripts_savefig_call_is_rewritten_in_place_or_not_at_all(segment, rewritten):
    assert saved_with(segment, {"bbox_inches": "tight"}) == rewritten


def test_hints_go_before_their_line_indented_as_it_each_once_and_replacements_in_place():
    source = "a = 1\nif a:\n    save()\nshow()"
    hints = [{"code": "x()\ny()", "after_line": 2}, {"code": "x()\ny()", "after_line": 2},
             {"code": "z()", "after_line": 3}, {"code": "show(tight=True)", "after_line": 3, "replaces": [4, 4]},
             {"code": "end()", "after_line": 4}]
    assert patched(source, hints) == "a = 1\nif a:\n    x()\n    y()\n    save()\nz()\nshow(tight=True)\nend()\n"


def test_fix_diff_is_a_diff_not_a_report(tmp_path):
    (tmp_path / "plot.py").write_text(CASES["variable"][0])
    done = run("--fix-diff", "--json", "plot.py", cwd=tmp_path)
    assert done.returncode == 2
    assert done.stderr == "tessary: --fix-diff prints a diff, not a report: leave out --format and --json\n"
    assert json.loads(done.stdout)["error"].startswith("--fix-diff prints a diff")
    (tmp_path / "clean.py").write_text("import matplotlib.pyplot as plt\nplt.plot([0, 1])\nplt.savefig('c.png')\n")
    clean = run("--fix-diff", "clean.py", cwd=tmp_path)
    assert (clean.returncode, clean.stdout) == (0, "")  # nothing to change: no diff at all
