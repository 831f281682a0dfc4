"""``tessary check SCRIPT.py ...``: run plotting scripts under Agg and lint
every figure they create."""

from __future__ import annotations

import argparse
import contextlib
import json
import logging
import os
import runpy
import sys
import traceback
from pathlib import Path

USAGE_ERROR = 2


def _parser() -> argparse.ArgumentParser:
    from tessary.lint import DEFAULT_CLIP_PX, DEFAULT_OVERLAP_FRACTION

    parser = argparse.ArgumentParser(prog="tessary", description="Find layout collisions in matplotlib figures.")
    commands = parser.add_subparsers(dest="command", required=True)
    check = commands.add_parser("check", help="run scripts and lint the figures they create")
    check.add_argument("scripts", nargs="+", metavar="SCRIPT.py")
    check.add_argument("--json", action="store_true", help="print the findings as JSON")
    check.add_argument("--annotate", metavar="DIR", type=Path, help="write each figure as PNG with collisions outlined")
    check.add_argument("--overlap-fraction", type=float, default=DEFAULT_OVERLAP_FRACTION, metavar="F")
    check.add_argument("--clip-px", type=float, default=DEFAULT_CLIP_PX, metavar="P")
    check.add_argument("--ink-threshold", type=float, default=None, metavar="T")
    check.add_argument(
        "--ignore", action="append", default=[], metavar="PATTERN", help="collision kind or id glob to silence (repeatable)"
    )
    check.add_argument("--verbose", action="store_true", help="name the drawn artists that were skipped")
    return parser


@contextlib.contextmanager
def _script_environment(script: str):
    """Agg backend, a no-op plt.show, and the script's own argv and path."""
    os.environ["MPLBACKEND"] = "Agg"
    import matplotlib

    matplotlib.use("Agg", force=True)
    import matplotlib.pyplot as plt

    saved = plt.show, sys.argv[:], sys.path[:]
    plt.show = lambda *args, **kwargs: None
    sys.argv[:] = [script]
    sys.path.insert(0, str(Path(script).resolve().parent))
    try:
        yield plt
    finally:
        plt.show, sys.argv[:], sys.path[:] = saved[0], saved[1], saved[2]


def run_script(script: str):
    """Run ``script`` and return the figures it left open, by number."""
    with _script_environment(script) as plt:
        before = set(plt.get_fignums())
        try:
            runpy.run_path(script, run_name="__main__")
        except SystemExit as exit:
            if exit.code not in (None, 0):
                raise
        return [(n, plt.figure(n)) for n in plt.get_fignums() if n not in before]


def annotate(fig, collisions, path: Path) -> None:
    """Save ``fig`` with every colliding box outlined and labelled."""
    from matplotlib.patches import Rectangle

    added = []
    for c in collisions:
        boxes = [(c.a_box, c.a_id)] if c.kind == "clipping" else [(c.a_box, c.a_id), (c.b_box, c.b_id)]
        for (x0, y0, x1, y1), ident in boxes:
            # Display coordinates, as the boxes were measured.
            rect = Rectangle((x0, y0), x1 - x0, y1 - y0, transform=None, fill=False, edgecolor="red", linewidth=1.5, zorder=1e6)
            fig.add_artist(rect)
            label = fig.text(x0, y1, f"{c.kind}: {ident}", transform=None, color="red", fontsize=7, va="bottom", zorder=1e6)
            added += [rect, label]
    try:
        fig.savefig(path, dpi=fig.dpi)
    finally:
        for artist in added:
            artist.remove()


@contextlib.contextmanager
def _verbose(on: bool):
    """With --verbose, the linter's notes (artists it skipped) go to stderr."""
    if not on:
        yield
        return
    logger = logging.getLogger("tessary")
    handler = logging.StreamHandler(sys.stderr)
    handler.setFormatter(logging.Formatter("tessary: %(message)s"))
    level = logger.level
    logger.addHandler(handler)
    logger.setLevel(logging.INFO)
    try:
        yield
    finally:
        logger.removeHandler(handler)
        logger.setLevel(level)


def check(args) -> int:
    with _verbose(args.verbose):
        return _check(args)


def _check(args) -> int:
    from tessary.lint import LintError, describe, lint

    options = {"overlap_fraction": args.overlap_fraction, "clip_px": args.clip_px, "ignore": tuple(args.ignore)}
    if args.ink_threshold is not None:
        options["ink_threshold"] = args.ink_threshold
    if args.annotate is not None:
        args.annotate.mkdir(parents=True, exist_ok=True)
    results = []
    status = 0
    for script in args.scripts:
        if not Path(script).is_file():
            print(f"tessary: no such script: {script}", file=sys.stderr)
            return USAGE_ERROR
        try:
            figures = run_script(script)
        except BaseException:  # a script that fails is reported, not linted
            print(f"tessary: {script} raised:", file=sys.stderr)
            traceback.print_exc()
            return USAGE_ERROR
        import matplotlib.pyplot as plt

        for number, fig in figures:
            try:
                report = lint(fig, **options)
            except LintError as error:
                print(f"tessary: {script}: {error}", file=sys.stderr)
                status = USAGE_ERROR
                plt.close(fig)
                continue
            status = max(status, report.exit_code())
            results.append((script, number, report))
            if args.annotate is not None:
                annotate(fig, report.collisions, args.annotate / f"{Path(script).stem}_fig{number}.png")
            plt.close(fig)
    if args.json:
        print(
            json.dumps(
                [{"script": s, "figure": n, "collisions": json.loads(r.to_json())} for s, n, r in results], indent=1
            )
        )
    else:
        count = 0
        for script, number, report in results:
            for c in report.collisions:
                print(f"{script}:fig{number}: {describe(c)}")
                count += 1
        print(f"{count} collision{'s' * (count != 1)} in {len(results)} figure{'s' * (len(results) != 1)}")
    return status


def main(argv: list[str] | None = None) -> int:
    args = _parser().parse_args(argv)
    return check(args)


if __name__ == "__main__":
    sys.exit(main())
