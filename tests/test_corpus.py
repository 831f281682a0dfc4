"""The corpus: realistic figure scripts in tests/figures, each linted the way
`tessary check` lints it, in a child process of its own (so that one script's
styles, imports or library warnings cannot reach another). Every script's
findings must be exactly those that tests/figures/expected.txt names."""

import json
import os
import subprocess
import sys
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")
pytest.importorskip("seaborn")
pytest.importorskip("pandas")

CORPUS = Path(__file__).resolve().parent / "figures"
TABLE = CORPUS / "expected.txt"
SCRIPTS = sorted(p.name for p in CORPUS.glob("*.py"))


def read_table():
    """{script: set of (kind, a_id, b_id)} and {script: reason} for the scripts
    that only later work gets right."""
    expected, later = {}, {}
    for number, line in enumerate(TABLE.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        script, *fields = (field.strip() for field in line.split("|"))
        findings = expected.setdefault(script, set())
        if fields == ["clean"]:
            continue
        if fields[0] == "later":
            later[script] = fields[1]
        elif len(fields) == 3:
            findings.add(tuple(fields))
        else:
            raise ValueError(f"{TABLE.name}:{number}: expected 'script | kind | a_id | b_id', got {line!r}")
    return expected, later


EXPECTED, LATER = read_table()


def findings(script: dict):
    figures = script["figures"]
    prefix = len(figures) > 1  # the figure number tells findings apart only where there are several
    return {
        (c["kind"], f"fig{f['figure']}:" * prefix + c["a_id"], f"fig{f['figure']}:" * prefix + c["b_id"])
        for f in figures for c in f.get("collisions", ())
    }


@pytest.fixture(scope="session")
def linted(corpus_document):
    """Every corpus script's findings, or why it gave none."""
    return {Path(s["path"]).name: findings(s) if s["status"] == "ok" else f"{s['status']}: {s.get('error')}"
            for s in corpus_document["scripts"]}


def test_the_table_names_every_script_and_nothing_else():
    assert sorted(EXPECTED) == SCRIPTS


@pytest.mark.parametrize(
    "script",
    [pytest.param(s, marks=pytest.mark.xfail(reason=LATER[s], strict=True)) if s in LATER else s for s in SCRIPTS],
)
def test_findings_are_exactly_the_planted_defects(script, linted):
    found = linted[script]
    assert not isinstance(found, str), found
    want = EXPECTED[script]
    assert (sorted(found - want), sorted(want - found)) == ([], []), "(unexpected, missing)"


def test_the_usual_path_finds_exactly_what_the_full_render_finds():
    """Every corpus figure, built afresh for each path (a layout engine may move
    an axes by a fraction of a pixel between two draws of one figure)."""
    probe = Path(__file__).resolve().parent / "both_paths.py"
    workers = max(os.cpu_count() or 2, 2)
    runs = [subprocess.Popen([sys.executable, str(probe), *(str(CORPUS / s) for s in SCRIPTS[k::workers])],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) for k in range(workers)]
    differences = {}
    for run in runs:
        out, err = run.communicate(timeout=1200)
        assert run.returncode == 0, err[-3000:]
        differences.update(json.loads(out))
    assert differences == {}
