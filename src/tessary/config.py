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
    except (OSError, tomllib.TOMLDecodeError) as error:
        raise ConfigError(f"{path}: cannot be read: {error}") from None
    tool = document.get("tool", {})
    if not isinstance(tool, dict):
        raise ConfigError(f"{path}: tool must be a table, got {tool!r}")
    table = tool.get("tessary")
    if table is None:
        return None
    if not isinstance(table, dict):
        raise ConfigError(f"{path}: [tool.tessary] must be a table")
    options = {}
    for name, value in table.items():
        if name == "per-file-ignores":
            continue
        if name not in KEYS:
            raise ConfigError(f"{path}: unknown key {name!r} in [tool.tessary]; the keys are "
                              + ", ".join([*KEYS, "per-file-ignores"]))
        option, check = KEYS[name]
        try:
            options[option] = check(value)
        except (TypeError, ValueError) as error:
            raise ConfigError(f"{path}: [tool.tessary] {name}: {error}") from None
    per_file = table.get("per-file-ignores", {})
    if not isinstance(per_file, dict):
        raise ConfigError(f"{path}: [tool.tessary.per-file-ignores] must be a table of globs")
    try:
        ignores = tuple((glob, ignore_value(patterns)) for glob, patterns in per_file.items())
    except TypeError as error:
        raise ConfigError(f"{path}: [tool.tessary.per-file-ignores]: {error}") from None
    return Config(path, options, ignores)


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
