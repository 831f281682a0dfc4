"""Notebooks run in a real Jupyter kernel: each figure linted as the inline
backend displays it, at the end of its cell or at plt.show(), and named by
the cell that drew it."""

import hashlib
import json
import subprocess
import sys
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")
pytest.importorskip("nbclient")
pytest.importorskip("ipykernel")
pytest.importorskip("seaborn")

NOTEBOOKS = Path(__file__).resolve().parent / "notebooks"

# Each notebook's figures, in order: (cell, the kinds of what was found there).
EXPECTED = {
    "clean_growth.ipynb": ("ok", [(4, set())]),
    "suptitle_cell5.ipynb": ("ok", [(3, set()), (5, {"text_text", "element_element"})]),
    "failing_cell.ipynb": ("failed", []),  # cell 3 never runs, so its figure is never drawn
    "loop_of_figures.ipynb": ("ok", [(2, set()), (2, set()), (2, set()), (3, {"text_text"})]),
    "two_shows.ipynb": ("ok", [(2, set()), (2, {"element_element"})]),
    "seaborn_panels.ipynb": ("ok", [(3, set()), (3, {"over_data"}), (3, set())]),
}


def check(*arguments, cwd=None):
    return subprocess.run([sys.executable, "-m", "tessary", "check", *arguments], capture_output=True, text=True,
                          timeout=600, cwd=cwd)


@pytest.fixture(scope="module")
def checked(tmp_path_factory):
    before = {p.name: hashlib.sha256(p.read_bytes()).hexdigest() for p in NOTEBOOKS.glob("*.ipynb")}
    done = check("--json", "-j", "2", str(NOTEBOOKS), cwd=tmp_path_factory.mktemp("run"))
    after = {p.name: hashlib.sha256(p.read_bytes()).hexdigest() for p in NOTEBOOKS.glob("*.ipynb")}
    assert after == before, "a notebook is only read, never written"
    assert done.returncode == 2, done.stderr  # the failing notebook
    return {Path(s["path"]).name: s for s in json.loads(done.stdout)["scripts"]}, done.stderr


@pytest.mark.parametrize("name", sorted(EXPECTED))
def test_each_figure_is_linted_as_displayed_and_named_by_its_cell(name, checked):
    scripts, _ = checked
    status, figures = EXPECTED[name]
    script = scripts[name]
    assert script["status"] == status, script.get("error")
    found = [(f["cell"], {c["kind"] for c in f["collisions"]}) for f in script["figures"]]
    assert found == figures


def test_a_failing_cell_stops_the_notebook_and_is_named(checked):
    scripts, stderr = checked
    assert scripts["failing_cell.ipynb"]["error"] == "cell 2: NameError: name 'load_samples' is not defined"
    assert "failing_cell.ipynb: cell 2: NameError: name 'load_samples' is not defined" in stderr


def test_the_text_report_points_at_the_cell(tmp_path):
    done = check(str(NOTEBOOKS / "suptitle_cell5.ipynb"), cwd=tmp_path)
    assert done.returncode == 1
    assert done.stdout.splitlines()[0].startswith(f"{NOTEBOOKS / 'suptitle_cell5.ipynb'}:cell 5: text_text ")


def test_the_timeout_covers_the_whole_notebook(tmp_path):
    import nbformat

    notebook = nbformat.v4.new_notebook(cells=[nbformat.v4.new_code_cell("import time\ntime.sleep(2)") for _ in range(3)])
    nbformat.write(notebook, tmp_path / "slow.ipynb")
    done = check("--timeout", "4", "slow.ipynb", cwd=tmp_path)
    assert done.returncode == 2
    assert "slow.ipynb: did not finish within 4 s" in done.stderr


def test_without_the_notebook_extra_one_line_says_what_to_install(tmp_path):
    blocked = "import sys\nsys.modules['nbclient'] = None\nfrom tessary.cli import main\nsys.exit(main(sys.argv[1:]))"
    done = subprocess.run([sys.executable, "-c", blocked, "check", str(NOTEBOOKS / "clean_growth.ipynb")],
                          capture_output=True, text=True, timeout=120, cwd=tmp_path)
    assert done.returncode == 2
    assert done.stderr == (f'tessary: {NOTEBOOKS / "clean_growth.ipynb"}: notebooks need the notebook extra: '
                           'pip install "tessary[notebook]"\n')


SESSION = """
from IPython.core.interactiveshell import InteractiveShell
shell = InteractiveShell.instance()
titles = "fig, ax = plt.subplots(); ax.set_title('a title'); fig.suptitle('a suptitle', y=0.9)"
for cell in ["import matplotlib; matplotlib.use('module://matplotlib_inline.backend_inline')",
             "%load_ext tessary", "import matplotlib.pyplot as plt",
             "fig, ax = plt.subplots(layout='constrained'); ax.set_title('clean')",
             titles, "%tessary hints", titles + "; plt.show(); print('shown')", "%tessary off", titles]:
    print(">>>", cell[:20])
    shell.run_cell(cell)
"""


def test_the_extension_prints_each_displayed_figures_findings_under_it(tmp_path):
    done = subprocess.run([sys.executable, "-c", SESSION], capture_output=True, text=True, timeout=300,
                          cwd=tmp_path)
    cells = done.stdout.split(">>> ")
    said = [[line for line in cell.splitlines() if line.startswith(("tessary:", "  ", "      fix:"))]
            for cell in cells[4:]]
    finding = ["tessary: figure 1 has 2 layout collisions:", "  text_text        ax0.title / fig.suptitle: "
               "severity 0.490", "  element_element  ax0 / fig.suptitle: severity 0.435"]
    assert said[0] == []  # the clean figure
    assert said[1] == finding
    assert said[3][:3] == [finding[0], finding[1], "      fix: fig.suptitle('a suptitle')"]
    assert cells[7].index("shown") < cells[7].index("tessary:"), "shown in the cell, said at its end, under it"
    assert said[5] == []  # %tessary off


def test_a_hint_goes_at_the_end_of_the_cell_that_drew_the_figure(tmp_path):
    import nbformat

    path = NOTEBOOKS / "suptitle_cell5.ipynb"
    done = check("--hints", "--json", str(path), cwd=tmp_path)
    [figure] = [f for f in json.loads(done.stdout)["scripts"][0]["figures"] if f["collisions"]]
    hints = {json.dumps(c["hint"], sort_keys=True) for c in figure["collisions"]}
    [hint] = [json.loads(h) for h in hints]
    cell = nbformat.read(path, as_version=4).cells[4].source
    assert (hint["cell"], hint["after_line"], hint["figure"]) == (5, len(cell.splitlines()), "fig")
    assert hint["code"].startswith("fig.suptitle('Reactor R-2 temperature')")
