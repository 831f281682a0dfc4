"""Project configuration: the ``[tool.tessary]`` table of the nearest
``pyproject.toml`` that has one, searched from a script's folder upward.

    [tool.tessary]
    ignore = ["ax*.xtick_minor*"]
    overlap-fraction = 0.05
    clip-px = 2
    ink-threshold = 0.1
    timeout = 120

    [tool.tessary.per-file-ignores]
    "figures/sketch_*.py" = ["clipping"]
"""

from __future__ import annotations

import difflib
import fnmatch
import sys
from dataclasses import dataclass, field
from pathlib import Path

if sys.version_info >= (3, 11):
    import tomllib
else:  # pragma: no cover - Python 3.10
    import tomli as tomllib

from tessary.lint import clip_px_value, ignore_value, ink_threshold_value, overlap_fraction_value


class ConfigError(ValueError):
    """A ``[tool.tessary]`` table that cannot be used; the message names the file and the key."""


def _seconds(value) -> float:
    if isinstance(value, bool) or not isinstance(value, (int, float)) or not value > 0:
        raise ValueError(f"timeout must be a number of seconds > 0, got {value!r}")
    return float(value)


# The keys of the table, each with the check that turns its value into an option.
KEYS = {
    "ignore": ("ignore", ignore_value),
    "overlap-fraction": ("overlap_fraction", overlap_fraction_value),
    "clip-px": ("clip_px", clip_px_value),
    "ink-threshold": ("ink_threshold", ink_threshold_value),
    "timeout": ("timeout", _seconds),
}


@dataclass(frozen=True)
class Config:
    """Settings from one pyproject.toml (none at all when ``path`` is None)."""

    path: Path | None = None
    options: dict = field(default_factory=dict)  # lint option name -> value, only those set
    per_file_ignores: tuple[tuple[str, tuple[str, ...]], ...] = ()

    def ignores_for(self, script: Path) -> tuple[str, ...]:
        """The patterns that per-file-ignores give ``script``: globs are
        relative to the folder of the pyproject.toml."""
        if self.path is None:
            return ()
        try:
            relative = script.resolve().relative_to(self.path.parent.resolve()).as_posix()
        except ValueError:
            return ()
        return tuple(p for glob, patterns in self.per_file_ignores if fnmatch.fnmatch(relative, glob)
                     for p in patterns)


def read(path: Path) -> Config | None:
    """The configuration in ``path``, or None when it has no ``[tool.tessary]`` table."""
    try:
        with open(path, "rb") as file:
            document = tomllib.load(file)
    except (OSError, UnicodeDecodeError, tomllib.TOMLDecodeError) as error:
        raise _error(path, f"cannot be read: {error}") from None
    tool = document.get("tool", {})
    if not isinstance(tool, dict):
        raise _error(path, f"tool must be a table, got {tool!r}")
    table = tool.get("tessary")
    if table is None:
        return None
    if not isinstance(table, dict):
        raise _error(path, "[tool.tessary] must be a table")
    options = {}
    for name, value in table.items():
        if name == "per-file-ignores":
            continue
        if name not in KEYS:
            raise _error(path, f"unknown key {name!r} in [tool.tessary]; {_suggestion(name)}")
        option, check = KEYS[name]
        try:
            options[option] = check(value)
        except (TypeError, ValueError) as error:
            raise _error(path, f"[tool.tessary] {name}: {_without_name(error, option)}") from None
    per_file = table.get("per-file-ignores", {})
    if not isinstance(per_file, dict):
        raise _error(path, "[tool.tessary.per-file-ignores] must be a table of globs")
    ignores = []
    for glob, patterns in per_file.items():
        try:
            ignores.append((glob, ignore_value(patterns)))
        except TypeError as error:
            raise _error(path, f"[tool.tessary.per-file-ignores] {glob!r}: {_without_name(error, 'ignore')}") from None
    return Config(path, options, tuple(ignores))


def _error(path: Path, problem: str) -> ConfigError:
    """Errors are reported one to a line, and a TOML parser's may span several."""
    return ConfigError(" ".join(f"{path}: {problem}".splitlines()))


def _suggestion(name: str) -> str:
    keys = [*KEYS, "per-file-ignores"]
    # The Python name of an option (clip_px) is a likely slip for its key.
    close = difflib.get_close_matches(name.replace("_", "-").lower(), keys, n=1, cutoff=0.6)
    return f"did you mean {close[0]!r}?" if close else "the keys are " + ", ".join(keys)


def _without_name(error: Exception, option: str) -> str:
    """The checks name the option as Python spells it (``clip_px must be ...``);
    the message already names the key as the file spells it."""
    return str(error).removeprefix(option + " ")


def find(start: Path) -> Config:
    """The configuration for a script in the folder ``start``: from the nearest
    pyproject.toml, upward, that has a ``[tool.tessary]`` table."""
    folder = start.resolve()
    for candidate in (folder, *folder.parents):
        path = candidate / "pyproject.toml"
        if path.is_file():
            config = read(path)
            if config is not None:
                return config
    return Config()
