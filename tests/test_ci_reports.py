"""The reports a CI job keeps: JUnit XML for its test view, and one HTML page
that must work offline from an artifact."""

import json
import re
import xml.etree.ElementTree as ET
from html.parser import HTMLParser
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")
html5lib = pytest.importorskip("html5lib")

from ci_reports_run import ERROR, HOSTILE_TITLE, tessary, write_scripts  # noqa: E402

from tessary.junit import document  # noqa: E402
from tessary.reports import group  # noqa: E402
from tessary.runner import Outcome  # noqa: E402


@pytest.fixture(scope="module")
def run(tmp_path_factory):
    """One run with the page, JUnit into a file and JSON on stdout at once."""
    folder = tmp_path_factory.mktemp("ci")
    scripts = write_scripts(folder)
    done = tessary(folder, *scripts, "--hints", "--html", "r.html", "--format", "junit", "--output-file", "j.xml")
    return folder, done


class _Page(HTMLParser):
    """Every element's tag and attributes, and the text of the page."""

    def __init__(self, text: str):
        super().__init__()
        self.elements, self.text = [], []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.elements.append((tag, dict(attrs)))

    def handle_data(self, data):
        self.text.append(data)


def test_the_run_writes_a_page_with_its_pictures_and_error_and_nothing_remote(run):
    folder, done = run
    assert done.returncode == 2, done.stderr
    text = (folder / "r.html").read_text()
    page = _Page(text)
    pictures = [a for tag, a in page.elements if tag == "img"]
    assert len(pictures) == 3  # collide's figure and two.py's two; the clean one needs none
    assert all(a["src"].startswith("data:image/png;base64,") and a["alt"] for a in pictures)
    references = [(tag, name, value) for tag, a in page.elements for name, value in a.items()
                  if name in ("src", "href", "action", "srcset", "poster", "data") and value
                  and not value.startswith(("data:", "#"))]
    assert references == []
    assert not re.search(r"https?:|//[a-z]|url\(|@import", text.split("<body>", 1)[0].split("<style>", 1)[1])
    said = "".join(page.text)
    assert ERROR in said and HOSTILE_TITLE.split(" far")[0] in said
    assert [tag for tag, _ in page.elements].count("script") == 1
    parser = html5lib.HTMLParser(strict=False)
    parser.parse(text)
    assert parser.errors == []
    # Every finding can be outlined, on its picture.
    outlines = [json.loads(a["data-outlines"]) for tag, a in page.elements if "data-outlines" in a]
    assert len(outlines) == 5
    assert all(0 <= v <= 100 and 0 <= box[0] + box[2] <= 100.001 and 0 <= box[1] + box[3] <= 100.001
               for boxes in outlines for box in boxes for v in box)
    assert not list(folder.glob("tessary-page-*")) and not list(folder.glob(".r.html.*"))


def test_junit_has_a_case_a_figure_and_one_a_failed_script(run):
    folder, done = run
    assert done.stdout == ""  # the report went to the file
    root = ET.parse(folder / "j.xml").getroot()
    suite = root.find("testsuite")
    cases = {case.get("name"): case for case in suite.iter("testcase")}
    assert list(cases) == ["clean.py::fig1", "collide.py::fig1", "two.py::fig1", "two.py::fig2", "raises.py"]
    outcome = {name: [child.tag for child in case] for name, case in cases.items()}
    assert outcome == {"clean.py::fig1": [], "collide.py::fig1": ["failure"], "two.py::fig1": ["failure"],
                       "two.py::fig2": ["failure"], "raises.py": ["error"]}
    for element in (root, suite):
        assert (element.get("tests"), element.get("failures"), element.get("errors"), element.get("skipped")) == (
            "5", "3", "1", "0")
    assert cases["raises.py"].find("error").get("message") == ERROR
    assert cases["raises.py"].get("line") == "2"
    failure = cases["collide.py::fig1"].find("failure")
    assert "clipping" in failure.get("type") and "collide.py:4: clipping" in failure.text
    assert "hint: fig.savefig" in failure.text


def test_json_on_stdout_alongside_the_page_names_no_vanished_pictures(tmp_path):
    scripts = write_scripts(tmp_path)
    done = tessary(tmp_path, scripts[1], "--json", "--html", "page.html")
    figures = json.loads(done.stdout)["scripts"][0]["figures"]
    assert done.returncode == 1 and figures[0]["collisions"]
    assert "annotated" not in figures[0] and (tmp_path / "page.html").stat().st_size > 1000
    kept = tessary(tmp_path, scripts[1], "--json", "--html", "page.html", "--annotate", "pictures")
    record = json.loads(kept.stdout)["scripts"][0]["figures"][0]
    assert Path(record["annotated"]).parent == tmp_path / "pictures" and Path(record["annotated"]).is_file()
    assert record["annotated_frame"] == [400, 300]


@pytest.mark.parametrize("option, target, message", [
    ("--html", "missing/r.html", "--html missing/r.html: its folder "),
    ("--output-file", ".", "--output-file .: is a folder"),
])
def test_a_report_that_cannot_be_written_is_a_usage_error_before_any_script(tmp_path, option, target, message):
    (tmp_path / "ran.py").write_text("open('ran', 'w').close()\n")
    done = tessary(tmp_path, "ran.py", option, target)
    assert done.returncode == 2 and message in done.stderr
    assert not (tmp_path / "ran").exists()


def _figure(number, cell=None, **extra):
    record = {"figure": number, "saved_as": None, **extra}
    return record if cell is None else {**record, "cell": cell}


def _collision(kind="text_text"):
    box = [0.0, 0.0, 10.0, 10.0]
    return {"kind": kind, "a_role": "title", "a_id": "ax0.title", "a_box": box, "b_role": "legend",
            "b_id": "ax0.legend", "b_box": box, "severity": 1.0, "a_source": None, "b_source": None}


@pytest.mark.parametrize("outcome, cases", [
    # A notebook's figures are named by cell.
    (Outcome("nb.ipynb", figures=[_figure(1, 5, collisions=[_collision()]), _figure(1, 7)]),
     {"nb.ipynb::cell 5::fig1": "failure", "nb.ipynb::cell 7::fig1": None}),
    # Saved twice, as two pictures: one test, failing on either's findings.
    (Outcome("twice.py", figures=[_figure(1, saved_as="a.png"), _figure(1, collisions=[_collision("clipping")])]),
     {"twice.py::fig1": "failure"}),
    (Outcome("lint.py", figures=[_figure(1, error="could not be drawn"), _figure(2)]),
     {"lint.py::fig1": "error", "lint.py::fig2": None}),
    (Outcome("slow.py", status="timeout", error="timed out after 1 s", figures=[_figure(1)]),
     {"slow.py::fig1": None, "slow.py": "error"}),
    (Outcome("quiet.py", status="no-figure"), {"quiet.py": "skipped"}),
    # Text XML cannot hold: a terminal's escapes in the output, a name that was not valid text.
    (Outcome("bad\udcff.py", status="failed", error="E: \x1b[31mred\x00", output="\x07bell"),
     {"bad\\udcff.py": "error"}),
])
def test_junit_cases_and_counts_match(outcome, cases):
    group([outcome])
    root = ET.fromstring(document([outcome]).encode())
    suite = root.find("testsuite")
    found = {case.get("name"): (case[0].tag if len(case) else None) for case in suite.iter("testcase")}
    assert found == cases
    kinds = list(found.values())
    for element in (root, suite):
        assert element.get("tests") == str(len(kinds))
        for tag, count in (("failure", "failures"), ("error", "errors"), ("skipped", "skipped")):
            assert element.get(count) == str(kinds.count(tag))


def test_each_picture_of_a_figure_saved_twice_outlines_in_its_own_pixels(tmp_path):
    import matplotlib.image
    import numpy as np

    from tessary.page import page

    records = []
    for name, (width, height) in (("small.png", (40, 30)), ("big.png", (80, 60))):
        # The key below the frame makes the picture taller than the frame.
        matplotlib.image.imsave(tmp_path / name, np.zeros((height + 10, width, 4)))
        records.append(_figure(1, saved_as=name, annotated=str(tmp_path / name), annotated_frame=[width, height],
                               collisions=[{**_collision("clipping"), "a_box": [-5.0, 0.0, 20.0, 15.0]}]))
    outcome = Outcome("twice.py", figures=records)
    group([outcome])
    elements = _Page(page([outcome])).elements
    assert sum(tag == "img" for tag, _ in elements) == 2
    outlines = [json.loads(a["data-outlines"]) for _, a in elements if "data-outlines" in a]
    # Cut to the frame on the left; y counted down from the frame's top.
    assert outlines == [[[0.0, 37.5, 50.0, 37.5]], [[0.0, 64.286, 25.0, 21.429]]]


@pytest.mark.parametrize("outcome, says", [
    (Outcome("nb.ipynb", figures=[_figure(2, 5, collisions=[_collision()])]), ["nb.ipynb:cell 5", "fig2, cell 5"]),
    (Outcome("lint.py", figures=[_figure(1, error="figure 1 could not be analysed: out of memory")]),
     ["figure 1 could not be analysed: out of memory"]),
    (Outcome("gone.py", figures=[_figure(1, annotated="/nonexistent/p.png", annotated_frame=[4, 3],
                                         collisions=[_collision()])]), ["could not read /nonexistent/p.png"]),
    (Outcome("slow.py", status="timeout", error="timed out after 2 s"), ["timed out after 2 s", "timed out"]),
])
def test_the_page_says_what_became_of_each_figure(outcome, says):
    from tessary.page import page

    group([outcome])
    text = "".join(_Page(page([outcome])).text)
    assert all(phrase in text for phrase in says), text


@pytest.mark.parametrize("arguments", [["missing.py"], ["--no-such-option", "x.py"]])
def test_junit_of_a_run_that_never_started_is_one_test_in_error(tmp_path, arguments):
    done = tessary(tmp_path, "--format", "junit", *arguments)
    assert done.returncode == 2
    root = ET.fromstring(done.stdout)
    assert (root.get("tests"), root.get("errors")) == ("1", "1")
    assert root.find("testsuite/testcase/error").get("message") in done.stderr


def test_a_run_that_never_started_replaces_the_reports_of_an_earlier_one(tmp_path):
    (tmp_path / "j.xml").write_text("<old/>")
    (tmp_path / "r.html").write_text("an earlier, passing page")
    done = tessary(tmp_path, "missing.py", "--format", "junit", "--output-file", "j.xml", "--html", "r.html")
    assert done.returncode == 2 and done.stdout == ""
    assert ET.parse(tmp_path / "j.xml").getroot().find("testsuite/testcase/error") is not None
    assert "The run stopped early: no such script or folder: missing.py." in (tmp_path / "r.html").read_text()


def test_reports_go_into_a_pipe_as_it_is_and_through_a_link_to_its_file(tmp_path):
    import os
    import threading

    from tessary.reports import write_whole

    pipe = tmp_path / "pipe"
    os.mkfifo(pipe)
    read = []
    reader = threading.Thread(target=lambda: read.append(pipe.read_text()))
    reader.start()
    write_whole(pipe, "through the pipe")
    reader.join(10)
    assert read == ["through the pipe"] and pipe.is_fifo()
    (tmp_path / "real").mkdir()
    (tmp_path / "link.xml").symlink_to(tmp_path / "real" / "report.xml")
    write_whole(tmp_path / "link.xml", "new")
    assert (tmp_path / "link.xml").is_symlink() and (tmp_path / "real" / "report.xml").read_text() == "new"
