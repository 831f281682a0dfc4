"""One HTML page a person opens from a CI artifact: the run's summary, each
figure with findings as its annotated picture, the findings grouped with the
lines that made them and their hints, and the scripts that failed. It needs
nothing but itself: pictures are data URIs, style and script are inline, and
its content policy forbids loading anything else."""

from __future__ import annotations

import base64
import json
import struct
from collections import Counter
from html import escape
from importlib import resources
from pathlib import Path

from tessary.reports import Finding, figure_findings, findings, hint_note, place, summary, summary_line, write_whole
from tessary.runner import Outcome

POLICY = "default-src 'none'; img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def _asset(name: str) -> str:
    return resources.files("tessary").joinpath(name).read_text(encoding="utf-8")


def _png_size(data: bytes) -> tuple[int, int] | None:
    if len(data) < 24 or not data.startswith(PNG_SIGNATURE) or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


class _Picture:
    """An annotated picture, and where the linted frame sits in it."""

    def __init__(self, record: dict):
        self.data = self.size = None
        self.problem = record.get("error")
        path, frame = record.get("annotated"), record.get("annotated_frame")
        if path is None or frame is None:
            return
        try:
            data = Path(path).read_bytes()
        except OSError as error:
            self.problem = f"could not read {path}: {error.strerror or error}"
            return
        self.size = _png_size(data)
        if self.size is None:
            self.problem = f"{path} is not a PNG picture"
            return
        self.data, self.frame = data, frame

    def outlines(self, collisions: list[dict]) -> list[list[float]]:
        """Each element's box as left, top, width and height in percent of the
        picture, cut to the frame (a clipped element runs off it)."""
        if self.data is None:
            return []
        (width, height), (cols, rows) = self.size, self.frame
        boxes = []
        for c in collisions:
            for box in [c["a_box"]] + ([] if c["kind"] == "clipping" else [c["b_box"]]):
                x0, y0, x1, y1 = (max(0.0, min(v, limit)) for v, limit in zip(box, (cols, rows, cols, rows)))
                outline = [round(100 * v, 3) for v in (x0 / width, (rows - y1) / height,
                                                        (x1 - x0) / width, (y1 - y0) / height)]
                if outline not in boxes:
                    boxes.append(outline)
        return boxes


class _Lines:
    """A script's lines, read once, for the findings that point at them."""

    def __init__(self, path: str):
        try:
            with open(path, encoding="utf-8", errors="replace") as file:
                self.lines = file.read().splitlines()
        except OSError:
            self.lines = []

    def __getitem__(self, number: int | None) -> str | None:
        if number is None or not 1 <= number <= len(self.lines):
            return None
        return self.lines[number - 1].strip() or None


class _Ids:
    """Element ids for the page, unique however many scripts share a name."""

    def __init__(self):
        self.count = 0

    def __call__(self, prefix: str) -> str:
        self.count += 1
        return f"{prefix}-{self.count}"


def _summary(outcomes: list[Outcome], groups: list[tuple[Outcome, Finding]], stopped: bool) -> str:
    counts = summary(outcomes, stopped)
    rows = [("Scripts", counts["scripts"]), ("Figures", counts["figures"]),
            ("Findings", len(groups)), ("Collisions", counts["collisions"]),
            ("Failures", counts["errors"]), ("Made no figure", counts["no_figure"]),
            ("Exit status", counts["exit_code"])]
    facts = "".join(f"<div><dt>{name}</dt><dd>{value}</dd></div>" for name, value in rows)
    by_kind = Counter(f.collisions[0]["kind"] for _, f in groups)
    pairs = Counter(c["kind"] for _, f in groups for c in f.collisions)
    table = ""
    if by_kind:
        body = "".join(f"<tr><th scope=\"row\"><code>{escape(kind)}</code></th><td>{by_kind[kind]}</td>"
                       f"<td>{pairs[kind]}</td></tr>" for kind in sorted(by_kind))
        table = ("<table><caption>Findings by kind</caption><thead><tr><th scope=\"col\">Kind</th>"
                 f"<th scope=\"col\">Findings</th><th scope=\"col\">Collisions</th></tr></thead><tbody>{body}"
                 "</tbody></table>")
    return (f"<section aria-labelledby=\"summary\"><h2 id=\"summary\">Summary</h2>"
            f"<p>{escape(summary_line(outcomes))}</p><dl class=\"facts\">{facts}</dl>{table}</section>")


def _filters(outcomes: list[Outcome], groups: list[tuple[Outcome, Finding]]) -> str:
    kinds = Counter(f.collisions[0]["kind"] for _, f in groups)
    if not kinds:
        return ""
    boxes = "".join(f"<label><input type=\"checkbox\" name=\"kind\" value=\"{escape(kind)}\" checked> "
                    f"<code>{escape(kind)}</code> ({count})</label>" for kind, count in sorted(kinds.items()))
    options = "".join(f"<option value=\"{escape(o.path)}\">{escape(o.path)}</option>" for o in outcomes)
    # Hidden until the script runs: without it, every finding shows and a filter would do nothing.
    return ("<section aria-labelledby=\"filters\" class=\"filters\" hidden><h2 id=\"filters\">Filters</h2>"
            f"<form><fieldset><legend>Kinds</legend>{boxes}</fieldset>"
            "<p><label for=\"script-filter\">Script</label> <select id=\"script-filter\">"
            f"<option value=\"\">All scripts</option>{options}</select></p></form>"
            "<p id=\"filter-status\" role=\"status\"></p></section>")


def _failures(outcomes: list[Outcome]) -> str:
    items = []
    for outcome in outcomes:
        for failure in outcome.failures:
            raised = failure == outcome.error
            where = place(outcome, outcome.line if raised else None)
            detail = "\n".join(filter(None, (outcome.traceback, outcome.output))) if raised else ""
            more = (f"<details><summary>Traceback and output</summary><pre>{escape(detail)}</pre></details>"
                    if detail else "")
            items.append(f"<li class=\"failure\" data-script=\"{escape(outcome.path)}\"><p><code>{escape(where)}"
                         f"</code> ({escape(outcome.status)})</p><pre class=\"error\">{escape(failure)}</pre>"
                         f"{more}</li>")
    if not items:
        return ""
    return ("<section aria-labelledby=\"failures\"><h2 id=\"failures\">Failures</h2>"
            f"<ul class=\"failures\">{''.join(items)}</ul></section>")


def _finding(outcome: Outcome, finding: Finding, lines: _Lines, picture: _Picture, ids: _Ids) -> str:
    kind = finding.collisions[0]["kind"]
    outlines = picture.outlines(finding.collisions)
    where = place(outcome, finding.line, finding.cell)
    code = lines[finding.line] if finding.cell is None else None
    source = f"<p class=\"source\"><code>{escape(where)}</code>" + (
        f" <code class=\"line\">{escape(code)}</code>" if code else "") + "</p>"
    said = escape(finding.text())
    if outlines:
        # A button: a finding chosen with the keyboard is outlined as one clicked.
        head = (f"<button type=\"button\" class=\"choose\" aria-pressed=\"false\" "
                f"data-outlines=\"{escape(json.dumps(outlines))}\">{said}</button>")
    else:
        head = f"<p class=\"said\">{said}</p>"
    hint = ""
    if finding.hint is not None:
        code_id = ids("hint")
        hint = (f"<div class=\"hint\"><p>Hint, {escape(hint_note(finding.hint))}</p>"
                f"<pre><code id=\"{code_id}\">{escape(finding.hint['code'])}</code></pre>"
                f"<button type=\"button\" class=\"copy\" data-code=\"{code_id}\">Copy the hint's code</button></div>")
    return (f"<li class=\"finding\" data-kind=\"{escape(kind)}\" data-script=\"{escape(outcome.path)}\">"
            f"<p class=\"kind\"><code>{escape(kind)}</code></p>{head}{source}{hint}</li>")


def _figure(outcome: Outcome, record: dict, lines: _Lines, ids: _Ids) -> str:
    """One figure as one picture shows it: a figure saved twice, as two pictures, is shown twice."""
    mine = figure_findings(record)
    name = f"fig{record['figure']}" + (f", cell {record['cell']}" if record.get("cell") is not None else "")
    title = f"{name}: " + (f"saved as {record['saved_as']}" if record.get("saved_as") else "as shown")
    picture = _Picture(record)
    body = ""
    if picture.data is not None:
        hinted = any(f.hint is not None for f in mine)
        alt = (f"{name} of {outcome.path} as linted, its {len(mine)} finding{'' if len(mine) == 1 else 's'} "
               "outlined in red and numbered, with a key below" + (", and beside it the figure with the hints "
                                                                    "applied" if hinted else ""))
        encoded = base64.b64encode(picture.data).decode("ascii")
        width, height = picture.size
        body += (f"<figure><div class=\"picture\"><img src=\"data:image/png;base64,{encoded}\" "
                 f"alt=\"{escape(alt)}\" width=\"{width}\" height=\"{height}\"><div class=\"outlines\" "
                 f"aria-hidden=\"true\"></div></div><figcaption>As linted, each finding outlined and numbered"
                 f"{'; on the right, with the hints applied' if hinted else ''}</figcaption></figure>")
    if picture.problem:
        body += f"<p class=\"problem\">{escape(picture.problem)}</p>"
    if mine:
        body += "<ol class=\"findings\">" + "".join(
            _finding(outcome, f, lines, picture, ids) for f in mine) + "</ol>"
    elif not picture.problem:
        body += "<p class=\"clean\">No findings.</p>"
    return (f"<section class=\"figure\" data-script=\"{escape(outcome.path)}\" data-clean=\"{str(not mine).lower()}"
            f"\"><h4>{escape(title)}</h4>{body}</section>")


def _script(outcome: Outcome, ids: _Ids) -> str:
    lines = _Lines(outcome.path)
    figures = "".join(_figure(outcome, record, lines, ids) for record in outcome.figures)
    status = {"ok": "ran", "failed": "failed", "timeout": "timed out", "no-figure": "made no figure"}
    error = (f"<p class=\"problem\">{escape(outcome.error)}</p>"
             if outcome.status in ("failed", "timeout") and outcome.error else "")
    return (f"<article class=\"script\" data-script=\"{escape(outcome.path)}\"><h3><code>{escape(outcome.path)}"
            f"</code> <span class=\"status\">{escape(status.get(outcome.status, outcome.status))}</span></h3>"
            f"{error}{figures}</article>")


def page(outcomes: list[Outcome], stopped: str | None = None) -> str:
    """The page for a run; ``stopped`` says why it ended early."""
    groups = [(o, f) for o in outcomes for f in findings(o)]
    ids = _Ids()
    scripts = "".join(_script(o, ids) for o in outcomes)
    note = f"<p class=\"stopped\" role=\"alert\">The run stopped early: {escape(stopped)}.</p>" if stopped else ""
    return (
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        f"<meta http-equiv=\"Content-Security-Policy\" content=\"{POLICY}\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        # An icon of its own, or the browser would ask for one.
        "<link rel=\"icon\" href=\"data:,\">"
        f"<title>tessary: {escape(summary_line(outcomes))}</title><style>{_asset('page.css')}</style></head>"
        "<body><a class=\"skip\" href=\"#scripts\">Skip to the scripts</a>"
        f"<header><h1>tessary report</h1>{note}</header><main>"
        f"{_summary(outcomes, groups, stopped is not None)}{_filters(outcomes, groups)}{_failures(outcomes)}"
        f"<section aria-labelledby=\"scripts\"><h2 id=\"scripts\">Scripts</h2>{scripts}</section></main>"
        "<p id=\"copy-status\" class=\"visually-hidden\" role=\"status\"></p>"
        f"<script>{_asset('page.js')}</script></body></html>\n")


def write_page(target: Path, outcomes: list[Outcome], stopped: str | None = None) -> None:
    write_whole(target, page(outcomes, stopped))
