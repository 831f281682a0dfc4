"""Hints in the script: where each goes, how it names the figure there, and
the script with them in it.

A hint's code names the figure ``fig``. In the script it goes just before
the statement that saves or shows the figure (after every change made to it),
indented as that statement, and names the figure as the script does there:
the variable that holds it, else ``plt.figure(N)``. A hint that changes how
the figure is saved rewrites the script's own ``savefig`` call instead.
"""

from __future__ import annotations

import ast
import difflib
import re
from dataclasses import dataclass

FIGURE = re.compile(r"\bfig\b")
AXES = re.compile(r"\bfig\.axes\[(\d+)\]")
# Frames of code the statement around them cannot see into.
HIDDEN_SCOPES = ("<listcomp>", "<dictcomp>", "<setcomp>", "<genexpr>", "<lambda>")


@dataclass(frozen=True)
class Place:
    after_line: int  # the hint goes after this line of the script (0: before the first)
    figure: str  # how the script names the figure there
    save_call: tuple[int, int, str] | None = None  # the savefig statement's lines and text, when saved by one
    axes: tuple[tuple[int, str], ...] = ()  # the script's names for the figure's axes, by their index

    def resaves(self) -> bool:
        """Whether a hint can change how the figure is saved: the script saves
        it with a savefig call that chooses no bounding box of its own."""
        return self.save_call is not None and saved_with(self.save_call[2], {"bbox_inches": "tight"}) is not None


class Script:
    """One script's source, parsed once."""

    def __init__(self, path: str):
        with open(path, encoding="utf-8") as file:
            self.source = file.read()
        self.lines = self.source.splitlines()
        self.tree = ast.parse(self.source)

    def statement_at(self, line: int) -> ast.stmt | None:
        """The innermost statement that holds the line."""
        found = None
        for node in ast.walk(self.tree):
            if isinstance(node, ast.stmt) and node.lineno <= line <= (node.end_lineno or node.lineno):
                if found is None or node.lineno >= found.lineno and node.end_lineno <= found.end_lineno:
                    found = node
        return found

    def place(self, line: int | None, names: dict, fig) -> Place | None:
        """Where a hint for ``fig`` goes when it is saved or shown at ``line``
        (None: the script has ended), with the names the script has there."""
        figure = figure_expression(fig, names)
        if figure is None:
            return None
        axes = axes_names(fig, names)
        if line is None:
            return Place(len(self.lines), figure, None, axes)
        statement = self.statement_at(line)
        if statement is None:
            return None
        text = self.lines[statement.lineno - 1]
        indent = text[:len(text) - len(text.lstrip())]
        if len(indent) != statement.col_offset:
            return None  # on the line of an `if` or `for`: no line of its own to go before
        save_call = None
        if _is_savefig(statement):
            segment = "\n".join(self.lines[statement.lineno - 1:statement.end_lineno])
            save_call = (statement.lineno, statement.end_lineno, segment)
        return Place(statement.lineno - 1, figure, save_call, axes)


def _is_savefig(statement: ast.stmt) -> bool:
    return isinstance(statement, ast.Expr) and isinstance(statement.value, ast.Call) and \
        isinstance(statement.value.func, ast.Attribute) and statement.value.func.attr == "savefig"


def figure_expression(fig, names: dict) -> str | None:
    """The script's name for ``fig``: a variable that holds it (``fig`` first),
    else ``plt.figure(N)`` under the script's name for pyplot, else the figure
    of an axes it holds."""
    held = [name for name, value in names.items() if value is fig and name.isidentifier()]
    if held:
        return "fig" if "fig" in held else held[0]
    import matplotlib.pyplot as pyplot

    number = getattr(fig, "number", None)
    managed = isinstance(number, int) and pyplot.fignum_exists(number) and pyplot.figure(number) is fig
    module = next((name for name, value in names.items() if value is pyplot), None)
    if managed and module is not None:
        return f"{module}.figure({number})"
    axes = next((name for name, value in names.items() if getattr(value, "figure", None) is fig
                 and name.isidentifier() and value is not fig and hasattr(value, "get_xlim")), None)
    return None if axes is None else f"{axes}.figure"


def axes_names(fig, names: dict) -> tuple[tuple[int, str], ...]:
    """The script's names for the figure's axes: a variable that holds one,
    or an item of an array or list of them (``axs[0, 1]``)."""
    found: dict[int, str] = {}
    index = {id(ax): i for i, ax in enumerate(fig.axes)}
    for name, value in names.items():
        if not name.isidentifier() or name.startswith("_"):
            continue
        if id(value) in index:
            found.setdefault(index[id(value)], name)
        elif isinstance(value, (list, tuple)) or type(value).__name__ == "ndarray" and value.dtype == object:
            for position, item in _items(value):
                if id(item) in index:
                    found.setdefault(index[id(item)], f"{name}[{position}]")
    return tuple(sorted(found.items()))


def _items(value) -> list:
    if isinstance(value, (list, tuple)):
        return [(str(i), item) for i, item in enumerate(value)] if len(value) <= 1000 else []
    if value.size > 1000:
        return []
    import numpy as np

    return [(", ".join(map(str, position)), item) for position, item in np.ndenumerate(value)]


def script_names(frame) -> dict:
    """The names the script has at ``frame``: its locals over its globals."""
    return {**frame.f_globals, **frame.f_locals}


def named(code: str, figure: str, axes: tuple[tuple[int, str], ...] = ()) -> str:
    """The code as pasted where the figure is ``figure`` and its axes are ``axes``."""
    names = dict(axes)
    code = AXES.sub(lambda m: names.get(int(m[1]), m[0]), code)
    return code if figure == "fig" else FIGURE.sub(lambda _: figure, code)


def saved_with(segment: str, keywords: dict) -> str | None:
    """The script's savefig statement with ``keywords`` added, or None when it
    passes one of them already or cannot be rewritten in place."""
    try:
        call = ast.parse(segment.strip()).body[0].value
    except (SyntaxError, IndexError, AttributeError):
        return None
    if not isinstance(call, ast.Call) or any(k.arg in keywords or k.arg is None for k in call.keywords):
        return None
    indent = segment[:len(segment) - len(segment.lstrip())]
    body = segment.strip()
    closing = body.rstrip().rfind(")")
    if closing < 0 or body[closing + 1:].strip():
        return None
    added = ", ".join(f"{name}={value!r}" for name, value in keywords.items())
    head = body[:closing].rstrip()
    separator = "" if head.endswith("(") else " " if head.endswith(",") else ", "
    return indent + head + separator + added + ")"


def pasted(hint, place: Place) -> dict | None:
    """The hint as the report gives it: code for the script, why, where it
    goes and the figure it names; None when it cannot be pasted there."""
    entry = {"reason": hint.reason, "figure": place.figure}
    if hint.save:
        if place.save_call is None:
            return None
        first, last, segment = place.save_call
        rewritten = saved_with(segment, dict(hint.save))
        if rewritten is None:
            return None
        return {"code": rewritten.strip(), **entry, "after_line": first - 1, "replaces": [first, last]}
    return {"code": named(hint.code, place.figure, place.axes), **entry, "after_line": place.after_line}


def patched(source: str, hints: list[dict]) -> str:
    """The script with every hint in it: inserted after its line, indented as
    the statement it goes before, or in place of the lines it replaces. Each
    distinct hint once, in the order given."""
    lines = source.splitlines(keepends=True)
    if lines and not lines[-1].endswith("\n"):
        lines[-1] += "\n"
    before: dict[int, list[str]] = {}
    replaced: dict[int, tuple[int, str]] = {}
    seen = set()
    for hint in hints:
        identity = (hint["code"], hint["after_line"], tuple(hint.get("replaces") or ()))
        if identity in seen:
            continue
        seen.add(identity)
        if hint.get("replaces"):
            first, last = hint["replaces"]
            replaced.setdefault(first, (last, _indented(hint["code"], _indent_of(lines, first))))
        else:
            line = hint["after_line"]
            indent = _indent_of(lines, line + 1) if line < len(lines) else ""
            before.setdefault(line, []).append(_indented(hint["code"], indent))
    out, skip_to = [], 0
    for number in range(0, len(lines) + 1):
        out += before.get(number, [])
        if number == len(lines):
            break
        current = number + 1
        if current <= skip_to:
            continue
        if current in replaced:
            skip_to, text = replaced[current]
            out.append(text)
            continue
        out.append(lines[number])
    return "".join(out)


def _indent_of(lines: list[str], number: int) -> str:
    text = lines[number - 1] if 0 < number <= len(lines) else ""
    return text[:len(text) - len(text.lstrip())] if text.strip() else ""


def _indented(code: str, indent: str) -> str:
    return "".join(indent + line + "\n" for line in code.splitlines())


def fix_diff(path: str, source: str, hints: list[dict]) -> str:
    """The unified diff that puts every hint into the script."""
    changed = patched(source, hints)
    return "".join(difflib.unified_diff(source.splitlines(keepends=True), changed.splitlines(keepends=True),
                                        fromfile=path, tofile=path))
