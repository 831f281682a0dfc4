"""JUnit XML, which CI systems (GitLab, Jenkins, Azure, GitHub's test-report
actions) show as a list of tests: one test case a figure, failing when it has
findings; one a script that failed, timed out or made no figure."""

from __future__ import annotations

import os
import re
import xml.etree.ElementTree as ET

from tessary.reports import findings, finding_lines
from tessary.runner import Outcome

# XML 1.0 has no way to write these, not even escaped: control characters in a
# script's output, and lone surrogates from names that were not valid text.
_UNWRITABLE = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f\ufffe\uffff\ud800-\udfff]")


def _text(value: str) -> str:
    return _UNWRITABLE.sub(lambda m: repr(m.group())[1:-1], value)


def test_name(outcome: Outcome, figure: int | None = None, cell: int | None = None) -> str:
    """``plot.py::fig1``, ``nb.ipynb::cell 5::fig1``; the script's own path for the script."""
    parts = [outcome.path] + ([f"cell {cell}"] if cell is not None else [])
    return "::".join(parts + ([f"fig{figure}"] if figure is not None else []))


def _class_name(outcome: Outcome) -> str:
    """``figures/plot.py`` -> ``figures.plot``, as pytest names a module's tests."""
    return os.path.splitext(outcome.path)[0].replace(os.sep, ".").replace("/", ".").lstrip(".")


def _case(suite: ET.Element, outcome: Outcome, name: str, line: int | None = None) -> ET.Element:
    attributes = {"classname": _text(_class_name(outcome)), "name": _text(name), "file": _text(outcome.path)}
    if line is not None:
        attributes["line"] = str(line)
    return ET.SubElement(suite, "testcase", attributes)


def _outcome(element: ET.Element, tag: str, message: str, kind: str, text: str | None = None) -> None:
    child = ET.SubElement(element, tag, {"message": _text(message), "type": kind})
    if text:
        child.text = _text(text)


def suite_of(outcomes: list[Outcome], error: str | None = None) -> ET.Element:
    suite = ET.Element("testsuite", {"name": "tessary"})
    if error is not None:
        # A run that stopped early must not read as a pass, however few tests it got to.
        case = ET.SubElement(suite, "testcase", {"classname": "tessary", "name": "tessary check"})
        _outcome(case, "error", error, "stopped")
    for outcome in outcomes:
        by_figure: dict[tuple, list] = {}
        for record in outcome.figures:
            # A figure saved twice, as two different pictures, is one test.
            by_figure.setdefault((record.get("cell"), record["figure"]), []).append(record)
        grouped = findings(outcome)
        for (cell, number), records in by_figure.items():
            mine = [f for f in grouped if f.figure == number and f.cell == cell]
            case = _case(suite, outcome, test_name(outcome, number, cell), mine[0].line if mine else None)
            errors = [r["error"] for r in records if "error" in r]
            if errors:
                _outcome(case, "error", errors[0], "lint", "\n".join(errors))
            elif mine:
                count = sum(len(f.collisions) for f in mine)
                kinds = sorted({c["kind"] for f in mine for c in f.collisions})
                text = "\n".join(line for f in mine for line in finding_lines(outcome, f))
                _outcome(case, "failure", f"{count} collision{'' if count == 1 else 's'}", ",".join(kinds), text)
        if outcome.status in ("failed", "timeout"):
            case = _case(suite, outcome, test_name(outcome), outcome.line)
            _outcome(case, "error", outcome.error or outcome.status, outcome.status,
                     "\n".join(filter(None, (outcome.traceback, outcome.output))))
        elif outcome.status == "no-figure":
            ET.SubElement(_case(suite, outcome, test_name(outcome)), "skipped", {"message": "made no figure"})
    cases = suite.findall("testcase")
    for tag, count_name in (("failure", "failures"), ("error", "errors"), ("skipped", "skipped")):
        suite.set(count_name, str(sum(case.find(tag) is not None for case in cases)))
    suite.set("tests", str(len(cases)))
    return suite


def document(outcomes: list[Outcome], error: str | None = None) -> str:
    suite = suite_of(outcomes, error)
    root = ET.Element("testsuites", {"name": "tessary", **{k: suite.get(k) for k in
                                                           ("tests", "failures", "errors", "skipped")}})
    root.append(suite)
    ET.indent(root)
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(root, encoding="unicode") + "\n"
