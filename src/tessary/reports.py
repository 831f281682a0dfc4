"""What ``tessary check`` prints: a line a group of findings, starting with
``path:line:`` so that an editor or a CI log jumps to the code that made it;
GitHub workflow annotations; or one JSON document with every collision."""

from __future__ import annotations

import json
import os
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

from tessary.runner import Outcome

CLEAN, COLLISIONS, FAILURE = 0, 1, 2
JSON_VERSION = 1


@dataclass
class Finding:
    """One group of collisions in one figure, as a person reads it."""

    figure: int
    collisions: list[dict]
    line: int | None  # the script's line that made the element it is about
    cell: int | None = None  # in a notebook, the cell that drew the figure
    crowd: dict | None = None  # the counts of a group too large to list, as the figure record has them

    @property
    def hint(self) -> dict | None:
        return self.collisions[0].get("hint")

    def text(self) -> str:
        from tessary.groups import Crowd, summary

        crowd = None
        if self.crowd is not None:
            fields = {k: v for k, v in self.crowd.items() if k != "group"}
            crowd = Crowd(**{**fields, "families": tuple(fields["families"])})
        return summary([_collision(c) for c in self.collisions], crowd)


def group(outcomes: list[Outcome]) -> None:
    """Numbers each figure's groups from 1 into its collisions' ``group``, and
    a crowd's (whose listed pairs share its kind and families) into its own."""
    from tessary.groups import family, grouped

    for outcome in outcomes:
        for figure in outcome.figures:
            collisions = figure.get("collisions", ())
            hints = [c.get("hint", {}).get("code") for c in collisions]
            for number, members in enumerate(grouped([_collision(c) for c in collisions], hints), 1):
                for i in members:
                    collisions[i]["group"] = number
            for crowd in figure.get("crowds", ()):
                crowd["group"] = next((c["group"] for c in collisions if c["kind"] == crowd["kind"] and
                                       sorted((family(c["a_id"]), family(c["b_id"]))) == sorted(crowd["families"])), 0)


def findings(outcome: Outcome) -> list[Finding]:
    return [finding for figure in outcome.figures for finding in figure_findings(figure)]


def figure_findings(figure: dict) -> list[Finding]:
    """One figure record's groups of findings, in the order of their numbers."""
    found = []
    groups: dict[int, list[dict]] = {}
    for c in figure.get("collisions", ()):
        groups.setdefault(c.get("group", len(groups) + 1), []).append(c)
    for members in groups.values():
        first = members[0]
        # Against an axes or its tick labels, which matplotlib lays out itself, the
        # other element is what the script placed there.
        made_by_matplotlib = ("axes-region", "tick-label")
        placed_b = first["a_role"] in made_by_matplotlib and first["b_role"] not in made_by_matplotlib
        sides = ("b", "a") if placed_b else ("a", "b")
        source = first.get(f"{sides[0]}_source") or first.get(f"{sides[1]}_source")
        # Groups count from 1: a crowd not numbered is no group's.
        crowd = next((c for c in figure.get("crowds", ()) if c.get("group", 0) == first.get("group")), None)
        found.append(Finding(figure["figure"], members, source["line"] if source else None, figure.get("cell"),
                             crowd))
    return found


def place(outcome: Outcome, line: int | None, cell: int | None = None) -> str:
    """``plot.py:12``, ``nb.ipynb:cell 5``, or the path alone: where a finding or failure points."""
    if cell is not None:
        return f"{outcome.path}:cell {cell}"
    return outcome.path if line is None else f"{outcome.path}:{line}"


def _figure_note(outcome: Outcome, finding: Finding) -> str:
    """Which figure, when the script made more than one."""
    return f" (fig{finding.figure})" if len({f["figure"] for f in outcome.figures}) > 1 else ""


def exit_status(outcomes: list[Outcome]) -> int:
    if any(o.failures for o in outcomes):
        return FAILURE
    return COLLISIONS if any(o.collisions for o in outcomes) else CLEAN


def _plural(count: int, word: str) -> str:
    return f"{count} {word}{'' if count == 1 else 's'}"


def summary(outcomes: list[Outcome], stopped: bool = False) -> dict:
    """The counts of a run; ``stopped`` when it ended early (interrupted, or a usage error)."""
    return {
        "scripts": len(outcomes),
        # A figure saved twice, as two different pictures, is still one figure.
        "figures": sum(len({f["figure"] for f in o.figures}) for o in outcomes),
        "collisions": sum(o.collisions for o in outcomes),
        "errors": sum(len(o.failures) for o in outcomes),
        "no_figure": sum(o.status == "no-figure" for o in outcomes),
        "exit_code": FAILURE if stopped else exit_status(outcomes),
    }


def _collision(c: dict):
    from tessary._core import Collision

    return Collision(c["kind"], c["a_role"], c["a_id"], tuple(c["a_box"]), c["b_role"], c["b_id"], tuple(c["b_box"]),
                     c["severity"] if c["severity"] is not None else float("nan"))


def summary_line(outcomes: list[Outcome]) -> str:
    counts = summary(outcomes)
    line = (f"{_plural(counts['collisions'], 'collision')} in {_plural(counts['figures'], 'figure')} "
            f"from {_plural(counts['scripts'], 'script')}")
    if counts["errors"]:
        line += f"; {_plural(counts['errors'], 'error')}"
    if counts["no_figure"]:
        line += f"; {counts['no_figure']} made no figure"
    return line


def finding_lines(outcome: Outcome, finding: Finding) -> list[str]:
    """A group of findings as the text report has it: where, what, and its hint."""
    lines = [f"{place(outcome, finding.line, finding.cell)}: {finding.text()}{_figure_note(outcome, finding)}"]
    if finding.hint is not None:
        code = finding.hint["code"].splitlines()
        lines.append("    hint: " + "\n          ".join(code) + f"\n          ({hint_note(finding.hint)})")
    return lines


def report_text(outcomes: list[Outcome]) -> None:
    for outcome in outcomes:
        for finding in findings(outcome):
            print("\n".join(finding_lines(outcome, finding)))
    print(summary_line(outcomes))


def hint_note(hint: dict) -> str:
    """Where the hint goes in the script, and why."""
    replaces = hint.get("replaces")
    if replaces:
        first, last = replaces
        where = f"in place of line {first}" if first == last else f"in place of lines {first}-{last}"
    else:
        where = f"after line {hint['after_line']}" if hint.get("after_line") else "at the top"
    if "cell" in hint:
        where += f" of cell {hint['cell']}"
    return f"{where}: {hint['reason']}"


def _escaped(text: str, property_value: bool = False) -> str:
    """Workflow-command escaping: %, CR and LF, and in a property also : and ,."""
    text = text.replace("%", "%25").replace("\r", "%0D").replace("\n", "%0A")
    return text.replace(":", "%3A").replace(",", "%2C") if property_value else text


def _annotation(level: str, outcome: Outcome, line: int | None, title: str, message: str) -> str:
    location = f"file={_escaped(outcome.path, property_value=True)}" + (f",line={line}" if line is not None else "")
    return f"::{level} {location},title={_escaped(title, property_value=True)}::{_escaped(message)}"


def report_github(outcomes: list[Outcome]) -> None:
    """One workflow-command annotation per group of findings and per failure,
    on the script's line, so that they show on the pull request; then the
    summary line."""
    for outcome in outcomes:
        for finding in findings(outcome):
            message = " ".join(finding.text().split()[1:]) + _figure_note(outcome, finding)
            if finding.cell is not None:
                message = f"cell {finding.cell}: {message}"
            if finding.hint is not None:
                message += f"\nhint: {finding.hint['code']}\n({hint_note(finding.hint)})"
            print(_annotation("error", outcome, finding.line, f"tessary {finding.collisions[0]['kind']}", message))
        for failure in outcome.failures:
            print(_annotation("error", outcome, outcome.line if failure == outcome.error else None,
                              "tessary failure", failure))
        if outcome.status == "no-figure":
            print(_annotation("notice", outcome, None, "tessary", "made no figure"))
    print(summary_line(outcomes))


def report_json(outcomes: list[Outcome], error: str | None = None) -> None:
    """One document, whatever happened: an ``error`` says why the run stopped early."""
    scripts = []
    for o in outcomes:
        entry = {"path": o.path, "status": o.status, "figures": o.figures}
        if o.error is not None:
            entry["error"] = o.error
            if o.line is not None:
                entry["line"] = o.line
        scripts.append(entry)
    document = {"version": JSON_VERSION, **({"error": error} if error is not None else {}),
                "summary": summary(outcomes, stopped=error is not None), "scripts": scripts}
    print(json.dumps(document, indent=1))


def report_diff(outcomes: list[Outcome]) -> None:
    """For each script with hints, the unified diff that puts them into it."""
    from tessary.pasting import fix_diff

    for outcome in outcomes:
        hints = [c["hint"] for f in outcome.figures for c in f.get("collisions", ()) if "hint" in c]
        if not hints:
            continue
        if outcome.path.endswith(".ipynb"):
            print(f"tessary: {outcome.path}: a notebook gets no diff; its hints are in the report", file=sys.stderr)
            continue
        try:
            with open(outcome.path, encoding="utf-8") as file:
                source = file.read()
        except (OSError, UnicodeDecodeError) as error:
            print(f"tessary: {outcome.path}: cannot be read for the diff: {error}", file=sys.stderr)
            continue
        sys.stdout.write(fix_diff(outcome.path, source, hints))


def report_junit(outcomes: list[Outcome], error: str | None = None) -> None:
    """The run's tests; ``error`` says why it stopped early, as a test in error of its own."""
    from tessary.junit import document

    sys.stdout.write(document(outcomes, error))


REPORTS = {"text": report_text, "json": report_json, "github": report_github, "junit": report_junit}


def report_problems(outcome: Outcome, verbose: bool) -> None:
    """The script's own output, then one line per failure, on stderr."""
    if outcome.output_dropped:
        print(f"tessary: {outcome.path}: {_size(outcome.output_dropped)} of its output left out; "
              f"the last {_size(len(outcome.output.encode()))} follow", file=sys.stderr)
    if outcome.output:
        sys.stderr.write(outcome.output if outcome.output.endswith("\n") else outcome.output + "\n")
    if outcome.status == "no-figure":
        print(f"tessary: {outcome.path}: made no figure", file=sys.stderr)
    tracebacks = [outcome.traceback] + [f.get("traceback") for f in outcome.figures]
    pointer = "" if verbose or not any(tracebacks) else " (--verbose shows the traceback)"
    for failure in outcome.failures:
        where = place(outcome, outcome.line if failure == outcome.error else None)
        print(f"tessary: {where}: {failure}{pointer}", file=sys.stderr)
    for text in tracebacks if verbose else ():
        if text:
            sys.stderr.write(text)


def _size(count: int) -> str:
    for unit in ("bytes", "KiB", "MiB"):
        if count < 1024 or unit == "MiB":
            return f"{count} {unit}" if unit == "bytes" else f"{count:.1f} {unit}"
        count /= 1024
    raise AssertionError("unreachable")


def write_whole(target: Path, text: str) -> None:
    """Writes ``target`` whole or not at all: a CI artifact is never half a report.
    A device or pipe (``/dev/stdout``) is written to as it is, and a link's file
    is replaced, not the link."""
    if target.exists() and not target.is_file():
        with open(target, "w", encoding="utf-8", errors="backslashreplace") as stream:
            stream.write(text)
        return
    target = Path(os.path.realpath(target))
    handle, temporary = tempfile.mkstemp(prefix=f".{target.name}.", dir=target.resolve().parent)
    try:
        with os.fdopen(handle, "w", encoding="utf-8", errors="backslashreplace") as file:
            file.write(text)
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temporary, 0o666 & ~umask)  # as an ordinary new file would be
        os.replace(temporary, target)
    except BaseException:
        Path(temporary).unlink(missing_ok=True)
        raise
