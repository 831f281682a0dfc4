"""Scripts forked from a warm interpreter run as they would in a fresh one:
the corpus reads the same both ways, each script draws its own random
numbers, and a server that cannot serve costs no script its run."""

import json
import subprocess
import sys

import pytest

pytest.importorskip("matplotlib")

from conftest import CORPUS  # noqa: E402
from hint_proof import check  # noqa: E402

from tessary import warm  # noqa: E402
from tessary.cli import main  # noqa: E402

TITLES = "import matplotlib.pyplot as plt\nfig, ax = plt.subplots()\nax.set_title('a title')\n" \
         "fig.suptitle('a suptitle', y=0.9)\n"
# Where the script's process was started from, and the first number it draws.
WHO = "import json, os, sys\nimport numpy as np\n" \
      "json.dump([os.getppid(), np.random.random()], open(sys.argv[0] + '.json', 'w'))\n"


@pytest.mark.skipif(not warm.available(), reason="scripts start warm only on Linux")
def test_the_corpus_reads_the_same_started_warm_or_afresh(corpus_document):
    assert check(CORPUS, "--hints", "--no-warm") == corpus_document


@pytest.mark.skipif(not warm.available(), reason="scripts start warm only on Linux")
def test_scripts_start_from_one_server_and_draw_their_own_numbers(start, tmp_path):
    for name in ("a.py", "b.py", "c.py"):
        (tmp_path / name).write_text(WHO + TITLES)
    run = subprocess.Popen([sys.executable, "-m", "tessary", "check", "-j", "1", "a.py", "b.py", "c.py", *start],
                           cwd=tmp_path, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    out, err = run.communicate(timeout=120)
    assert out.endswith("6 collisions in 3 figures from 3 scripts\n"), err
    parents, numbers = zip(*(json.loads((tmp_path / f"{name}.json").read_text()) for name in ("a.py", "b.py", "c.py")))
    if start:
        assert set(parents) == {run.pid}
    else:
        assert len(set(parents)) == 1 and run.pid not in parents
    assert len(set(numbers)) == 3


@pytest.mark.parametrize("server", [
    "raise SystemExit(3)",  # gone before it serves
    "import sys\nfor line in sys.stdin:\n    print('cold', flush=True)",  # cannot fork safely
    "import os, sys\nfor line in sys.stdin:\n    print('started', os.getpid(), flush=True)\n    break",  # dies serving
])
def test_a_server_that_cannot_serve_costs_no_script_its_run(server, tmp_path, monkeypatch, capsys):
    monkeypatch.setattr(warm, "SERVER", server)
    for name in ("a.py", "b.py"):
        (tmp_path / name).write_text(TITLES)
    monkeypatch.chdir(tmp_path)
    status = main(["check", "-j", "1", "a.py", "b.py"])
    out, err = capsys.readouterr()
    if "started" in server:
        # Its child is not the script: the run says it cannot tell how that one ended.
        assert status == 2 and "a.py: ended unseen: the process that started it was killed" in err
    else:
        assert (status, out.splitlines()[-1]) == (1, "4 collisions in 2 figures from 2 scripts"), err
