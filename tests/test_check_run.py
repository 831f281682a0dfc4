"""``tessary check`` as a real process, against scripts that show, fork, close
files, print bytes or never end, and against interruption: what it lints is
what a reader sees, and one script never costs the others their results."""

import json
import xml.etree.ElementTree as ElementTree
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")

from tessary.runner import OUTPUT_KEPT  # noqa: E402

HEADER = "import matplotlib.pyplot as plt\n"
CLEAN = HEADER + "fig, ax = plt.subplots(layout='constrained')\nax.plot([0, 1])\nax.set_title('fine')\n"
TITLES = HEADER + "fig, ax = plt.subplots()\nax.set_title('a title')\nfig.suptitle('a suptitle', y=0.9)\n"
TWO_SHOWS = HEADER + """plt.plot([0, 1, 2], [0, 1, 4]); plt.title("first"); plt.show()
plt.plot([0, 1, 2], [4, 1, 0]); plt.title("second"); plt.show()
"""
# The margin grows in a draw_event callback until the widest tick label fits, then the figure draws again.
MARGIN_CALLBACK = HEADER + """fig, ax = plt.subplots()
ax.plot([0, 1, 2], [3, 1, 2])
ax.set_yticks([1, 2, 3], labels=["a label far too long for the margin", "short", "mid-sized"])
def make_room(event):
    widest = max(t.get_window_extent().width for t in ax.get_yticklabels()) / fig.bbox.width
    if fig.subplotpars.left < widest + 0.02:
        fig.subplots_adjust(left=widest + 0.04)
        fig.canvas.draw()
fig.canvas.mpl_connect("draw_event", make_room)
"""


def run_check(folder: Path, files: dict, *args, timeout: float = 120, **popen):
    """Writes ``files`` into ``folder`` and runs ``tessary check`` there:
    (exit status, stdout, stderr)."""
    for name, text in files.items():
        path = folder / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)
    done = subprocess.run([sys.executable, "-m", "tessary", "check", *args], cwd=folder, capture_output=True,
                          timeout=timeout, **popen)
    return done.returncode, done.stdout.decode(errors="replace"), done.stderr.decode(errors="replace")


def figures_of(stdout: str, index: int = 0) -> list[tuple]:
    script = json.loads(stdout)["scripts"][index]
    return [(f["figure"], f["saved_as"], len(f.get("collisions", ()))) for f in script["figures"]]


FIGURE_CASES = {
    "each blocking show ends its figures": (TWO_SHOWS, [(1, None, 0), (2, None, 0)]),
    "a show that does not block leaves the figure open": (
        HEADER + "plt.plot([0, 1]); plt.show(block=False)\nplt.title('a title'); plt.suptitle('a suptitle', y=0.9)\n",
        [(1, None, 2)]),
    "shown, then saved unchanged": (TITLES + "plt.show()\nfig.savefig('a.png')\n", [(1, "a.png", 2)]),
    "saved, then shown": (TITLES + "fig.savefig('a.png')\nplt.show()\n", [(1, "a.png", 2)]),
    "saved, changed and shown": (
        TITLES + "fig.savefig('a.png')\nfig.suptitle('moved away', y=0.99)\nplt.show()\n",
        [(1, "a.png", 2), (1, None, 0)]),
    "a forked child reports nothing": (
        TITLES + "import os, sys\nchild = os.fork()\nfig.savefig('a.png')\nif child == 0:\n    sys.exit(0)\n"
                 "os.waitpid(child, 0)\n", [(1, "a.png", 2)]),
    "saved at exit": (TITLES + "import atexit\natexit.register(fig.savefig, 'late.png')\n", [(1, "late.png", 2)]),
    "inherited files closed": (TITLES + "import os\nos.closerange(3, 256)\nfig.savefig('a.png')\n",
                               [(1, "a.png", 2)]),
    "saved from threads at once": (
        "import threading\nfrom matplotlib.figure import Figure\ndef plot(n):\n"
        "    fig = Figure()\n    fig.subplots().set_title('a title')\n    fig.suptitle('a suptitle', y=0.9)\n"
        "    fig.savefig('a.png')\nthreads = [threading.Thread(target=plot, args=(n,)) for n in range(4)]\n"
        "[t.start() for t in threads]\n[t.join() for t in threads]\n",
        [(n, "a.png", 2) for n in range(1, 5)]),
    "unpickled and left open": (
        TITLES + "import pickle\nfrozen = pickle.dumps(fig)\nplt.close(fig)\nagain = pickle.loads(frozen)\n",
        [(1, None, 2)]),
    "open at os._exit": (TITLES + "import os\nos._exit(0)\n", [(1, None, 2)]),
    "the script replaces json.dumps": (TITLES + "import json\njson.dumps = lambda *a, **k: 'x'\n", [(1, None, 2)]),
    "a draw_event callback makes room": (MARGIN_CALLBACK, [(1, None, 0)]),
    "a lint inside a draw_event callback": (
        HEADER + "import tessary\nfig, ax = plt.subplots()\nax.plot([0, 1])\nfound = []\n"
                 "fig.canvas.mpl_connect('draw_event', lambda event: found or found.append(tessary.lint(fig)))\n"
                 "fig.savefig('a.png')\nassert found and not found[0].has_collisions\n", [(1, "a.png", 0)]),
}


@pytest.mark.parametrize("case", FIGURE_CASES)
def test_each_figure_is_linted_once_as_its_reader_sees_it(case, start, tmp_path):
    script, expected = FIGURE_CASES[case]
    status, out, err = run_check(tmp_path, {"plot.py": script}, "plot.py", "--json", *start)
    assert "Traceback" not in err, err
    assert sorted(figures_of(out), key=repr) == sorted(expected, key=repr), err
    assert status == (1 if any(count for *_, count in expected) else 0)


ENDINGS = {
    "sys.exit with a text": ("import sys\nsys.exit('bye')\n", 2, "exited with status 1: bye"),
    "sys.exit(256) is status 0": ("import sys\nsys.exit(256)\n", 1, None),
    "an exception that cannot be shown": (
        "class Odd(Exception):\n    def __str__(self):\n        raise RuntimeError\nraise Odd\n", 2,
        "Odd: <Odd str() failed>"),
    "a message of two lines": ("raise ValueError('first\\nsecond')\n", 2, "ValueError: first second"),
    "an exit status set at exit": ("import atexit, os\natexit.register(os._exit, 9)\n", 2, "exited with status 9"),
}


@pytest.mark.parametrize("case", ENDINGS)
def test_the_script_ends_as_python_would_end_it(case, start, tmp_path):
    ending, status, line = ENDINGS[case]
    code, out, err = run_check(tmp_path, {"plot.py": TITLES + ending}, "plot.py", *start)
    assert (code, "Traceback" in err) == (status, False), err
    assert "2 collisions in 1 figure from 1 script" in out  # the figure open at the end is linted all the same
    failures = [e for e in err.splitlines() if e.startswith("tessary: plot.py")]
    assert len(failures) == bool(line)
    if line:  # on the script's line, when the error came through one
        assert re.fullmatch(rf"tessary: plot\.py(:\d+)?: {re.escape(line)}( \(--verbose shows the traceback\))?",
                            failures[0]), failures


def test_the_working_folder_cannot_stand_in_for_tessarys_modules(start, tmp_path):
    # The installed command, not `python -m`, which would itself import from the working folder.
    command = Path(sys.executable).with_name("tessary")
    if not command.exists():
        pytest.skip("the tessary command is not installed beside this interpreter")
    for name in ("json", "tessary"):
        (tmp_path / f"{name}.py").write_text(f"raise SystemExit('the {name}.py of the working folder')\n")
    (tmp_path / "plots").mkdir()
    (tmp_path / "plots/plot.py").write_text(TITLES)
    done = subprocess.run([command, "check", "plots/plot.py", *start], cwd=tmp_path, capture_output=True, text=True)
    assert (done.returncode, done.stdout.splitlines()[-1]) == (1, "2 collisions in 1 figure from 1 script")


@pytest.mark.parametrize(("script", "args", "summary"), [
    (TITLES + "plt.close = lambda *args: None\nplt.show()\nplt.show()\n", ["--hints"], "2 collisions in 1 figure"),
    (TITLES + "fig.set_size_inches(0, 0)\n", ["--annotate", "out"], "2 collisions in 1 figure"),
    (TITLES + "fig.savefig('a.png', dpi=50)\nfig.savefig('b.png', dpi=200)\n", [], "4 collisions in 1 figure"),
])
def test_options_and_pictures_change_no_count(script, args, summary, tmp_path):
    status, out, err = run_check(tmp_path, {"plot.py": script}, "plot.py", *args)
    assert status == 1 and out.endswith(f"{summary} from 1 script\n"), err


def test_a_figure_reusing_a_closed_ones_id_is_still_linted(tmp_path):
    script = HEADER + """import gc, io
ids = set()
for _ in range(300):
    fig = plt.figure()
    if id(fig) in ids:
        break
    ids.add(id(fig))
    fig.savefig(io.BytesIO())
    plt.close(fig)
    del fig
    gc.collect()
print(len(ids), id(fig) in ids)
"""
    status, out, err = run_check(tmp_path, {"plot.py": script}, "plot.py", "--json")
    saved, reused = err.split()
    assert reused == "True", "no id was reused: the case was not met"
    assert json.loads(out)["summary"]["figures"] == int(saved) + 1


def test_annotating_changes_no_result(tmp_path):
    files = {"plot.py": TITLES + "fig.savefig('a.png')\n", "pictures/mine_fig1.png": "the script's own"}
    plain = run_check(tmp_path, files, "plot.py")
    annotated = run_check(tmp_path, files, "plot.py", "--annotate", "pictures")
    assert plain[:2] == annotated[:2] and "2 collisions in 1 figure from 1 script" in plain[1]
    assert sorted(p.name for p in (tmp_path / "pictures").iterdir()) == ["mine_fig1.png", "plot_fig1.png"]


def test_pictures_land_where_asked_and_never_clash(tmp_path):
    # The script moves to another folder first; its picture still goes to the folder named at the start.
    moving = "import os\nos.makedirs('elsewhere', exist_ok=True)\nos.chdir('elsewhere')\n" + TITLES
    files = {"a--b/plot.py": TITLES, "a/b--plot.py": moving, "out/a--b/plot_fig1.png": "written before"}
    status, _, err = run_check(tmp_path, files, "a--b/plot.py", "a/b--plot.py", "--annotate", "out")
    assert status == 1, err
    pictures = sorted(p.relative_to(tmp_path / "out").as_posix() for p in (tmp_path / "out").rglob("*.png"))
    assert pictures == ["a--b/plot_fig1.png", "a--b/plot_fig1_2.png", "a/b--plot_fig1.png"]
    assert (tmp_path / "out/a--b/plot_fig1.png").read_text() == "written before"


ENDLESS = "import sys\nwhile True:\n    sys.stdout.write('y' * 1000 + '\\n')\n"
OUTPUTS = {
    "clean.py": CLEAN,
    "titles.py": TITLES,
    "latin1.py": "import sys\nsys.stdout.buffer.write(b'caf\\xe9\\n')\n" + CLEAN,
    "png.py": CLEAN + "import sys\nfig.savefig(sys.stdout.buffer, format='png')\n",
}


@pytest.mark.parametrize("endless", [False, True])
@pytest.mark.parametrize("format", ["text", "json"])
def test_one_scripts_output_costs_no_other_its_results(format, endless, tmp_path):
    files = {**OUTPUTS, **({"endless.py": ENDLESS} if endless else {})}
    status, out, err = run_check(tmp_path, files, *files, "--format", format, "--timeout", "8", "-j", "2")
    assert status == (2 if endless else 1), err[-2000:]
    assert "Traceback" not in err and "caf\ufffd" in err
    if format == "json":
        document = json.loads(out)
        assert [s["status"] for s in document["scripts"]] == ["ok"] * 4 + ["timeout"] * endless
        assert document["summary"]["collisions"] == 2
    else:
        assert "titles.py:3: text_text" in out and "2 collisions in 4 figures from" in out
    if endless:
        assert "of its output left out" in err and len(err) < 2 * OUTPUT_KEPT


def test_a_script_path_that_is_not_text(tmp_path):
    name = os.fsdecode(b"caf\xe9.py")
    (tmp_path / name).write_text(TITLES)
    status, out, err = run_check(tmp_path, {}, name)
    assert status == 1 and "Traceback" not in err
    assert "caf\\udce9.py:3: text_text" in out


@pytest.mark.parametrize(("args", "config"), [
    (["--timeout", "inf"], None),
    (["--timeout", "1e8"], None),
    ([], "[tool.tessary]\ntimeout = 1e400\n"),
])
def test_a_timeout_beyond_any_wait_is_no_limit(args, config, tmp_path):
    files = {"plot.py": CLEAN, **({"pyproject.toml": config} if config else {})}
    assert run_check(tmp_path, files, "plot.py", *args)[:2] == (0, "0 collisions in 1 figure from 1 script\n")


def test_a_background_process_does_not_hold_the_run_up(start, tmp_path):
    script = CLEAN + "import subprocess\nsubprocess.Popen(['sleep', '30'])\n"
    started = time.monotonic()
    assert run_check(tmp_path, {"plot.py": script}, "plot.py", "--timeout", "20", *start)[0] == 0
    assert time.monotonic() - started < 15


def _alive(pid: int) -> bool:
    """A process that runs (a zombie waiting for its reaper is not running)."""
    try:
        return Path(f"/proc/{pid}/stat").read_text().split(")")[-1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def _started_with(scratch: Path) -> list[int]:
    """The processes whose environment names ``scratch`` as their TMPDIR."""
    found = []
    for process in Path("/proc").glob("[0-9]*"):
        try:
            if f"TMPDIR={scratch}".encode() in (process / "environ").read_bytes().split(b"\0"):
                found.append(int(process.name))
        except OSError:
            continue
    return found


def _gone(pid: int) -> bool:
    deadline = time.monotonic() + 5
    while _alive(pid) and time.monotonic() < deadline:
        time.sleep(0.05)
    return not _alive(pid)


def test_a_timeout_kills_the_scripts_whole_process_group(start, tmp_path):
    script = "import subprocess, time\norphan = subprocess.Popen(['sleep', '60'])\n" \
             "open('orphan', 'w').write(str(orphan.pid))\ntime.sleep(60)\n"
    status, _, err = run_check(tmp_path, {"plot.py": script}, "plot.py", "--timeout", "3", *start)
    assert status == 2 and "plot.py: did not finish within 3 s" in err
    assert _gone(int((tmp_path / "orphan").read_text()))


@pytest.mark.parametrize("format", ["text", "json", "junit"])
@pytest.mark.parametrize("signum", [signal.SIGINT, signal.SIGTERM])
def test_an_interrupted_run_stops_cleanly(signum, format, start, tmp_path):
    slow = "import os, subprocess, time\norphan = subprocess.Popen(['sleep', '60'])\n" \
           "open('starting', 'w').write(str(orphan.pid))\nos.replace('starting', 'started')\ntime.sleep(60)\n"
    for name, text in {"a.py": TITLES, "b.py": slow, "c.py": CLEAN}.items():
        (tmp_path / name).write_text(text)
    scratch = tmp_path / "tmp"
    scratch.mkdir()
    process = subprocess.Popen(
        [sys.executable, "-m", "tessary", "check", "a.py", "b.py", "c.py", "--format", format, *start,
         # The page, with its pictures' folder, comes along with one format.
         *(["--html", "page.html"] if format == "junit" else [])], cwd=tmp_path,
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=dict(os.environ, TMPDIR=str(scratch)),
        # As from a terminal: the test runner's own Ctrl-C handling is not inherited.
        preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
    deadline = time.monotonic() + 60
    while not (tmp_path / "started").exists() and time.monotonic() < deadline:
        time.sleep(0.05)
    process.send_signal(signum)
    out, err = (stream.decode() for stream in process.communicate(timeout=20))
    assert process.returncode == 2 and "Traceback" not in err, err
    assert "tessary: interrupted; 1 of 3 scripts finished" in err
    if format == "json":
        document = json.loads(out)
        assert document["error"] == "interrupted" and [s["path"] for s in document["scripts"]] == ["a.py"]
    elif format == "junit":
        names = [case.get("name") for case in ElementTree.fromstring(out).iter("testcase")]
        assert names == ["tessary check", "a.py::fig1"]
        page = (tmp_path / "page.html").read_text()
        assert "The run stopped early: interrupted." in page and page.count("data:image/png") == 1
        assert "<dt>Exit status</dt><dd>2</dd>" in page
    else:
        assert "a.py:3: text_text" in out and out.endswith("2 collisions in 1 figure from 1 script\n")
    assert _gone(int((tmp_path / "started").read_text()))
    assert list(scratch.iterdir()) == []
    # Nothing the run started is left: no script, no warm server.
    assert [pid for pid in _started_with(scratch) if not _gone(pid)] == []


@pytest.mark.parametrize(("files", "args", "message"), [
    ({}, ["missing.py"], "no such script or folder: missing.py"),
    ({"empty/notes.txt": ""}, ["empty"], "no scripts to check in empty"),
    ({"notes.txt": "print('hello')\n"}, ["notes.txt"], "not a Python script or notebook: notes.txt"),
    ({"plot.py": CLEAN, "pyproject.toml": "tool = 3\n"}, ["plot.py"], "pyproject.toml: tool must be a table, got 3"),
    ({"plot.py": CLEAN}, ["plot.py", "--timeout", "soon"],
     "argument --timeout: could not convert string to float: 'soon' (see 'tessary check --help')"),
])
@pytest.mark.parametrize("format", ["text", "json"])
def test_a_usage_error_is_one_line_and_one_document(files, args, message, format, tmp_path):
    status, out, err = run_check(tmp_path, files, *args, *(["--json"] if format == "json" else []))
    [line] = err.splitlines()
    assert status == 2 and line.startswith("tessary: ") and line.endswith(message)
    if format == "json":
        document = json.loads(out)
        assert document["error"].endswith(message) and document["scripts"] == []
        assert document["summary"]["exit_code"] == 2
    else:
        assert out == ""


def test_a_folder_without_scripts_beside_others_is_named(tmp_path):
    status, out, err = run_check(tmp_path, {"plot.py": CLEAN, "drafts/notes.txt": ""}, "plot.py", "drafts")
    assert status == 0 and "tessary: drafts: no scripts in this folder" in err.splitlines()


def test_an_id_copied_from_the_report_matches_itself(tmp_path):
    script = HEADER + "fig, ax = plt.subplots()\nax.annotate('a-note-far-to-the-right', (0.5, 0.5), (0.9, 0.5))\n"
    status, out, _ = run_check(tmp_path, {"plot.py": script}, "plot.py")
    assert status == 1
    ident = out.split()[2]
    assert ident == "ax0.annotation[0]'a-note-far-to-the-right'"
    assert run_check(tmp_path, {}, "plot.py", "--ignore", ident)[0] == 0
    assert run_check(tmp_path, {}, "plot.py", "--ignore", "ax0.annotation[1]*")[0] == 1


@pytest.mark.parametrize("value", [None, "fig", 3])
def test_lint_names_what_it_expected(value):
    import tessary

    with pytest.raises(TypeError, match="^expected a matplotlib Figure, got "):
        tessary.lint(value)
