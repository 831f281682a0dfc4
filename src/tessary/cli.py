"""``tessary check SCRIPT.py|DIR ...``: run plotting scripts, each in a process
of its own, and lint every figure they save (as saved), show or leave open (as
shown).

Exit status: 0 every figure clean; 1 collisions found and nothing failed;
2 a usage error, a script that failed or timed out, a figure that could not
be drawn or linted, or an interrupted run.
"""

from __future__ import annotations

import argparse
import io
import json
import os
import signal
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from contextlib import ExitStack, contextmanager, nullcontext, redirect_stdout
from pathlib import Path

from tessary import __version__
from tessary.reports import (FAILURE, REPORTS, exit_status, group, report_diff, report_json, report_junit,
                             report_problems, write_whole)
from tessary.runner import Outcome, Runs, run_script

DEFAULT_TIMEOUT = 300.0
# Files in a folder that are not plotting scripts.
NOT_SCRIPTS = ("setup.py", "conftest.py")
RUNNABLE = (".py", ".ipynb")


def _option(convert, check):
    """An argparse type that reads a number and checks it as lint() would."""

    def parse(text: str):
        try:
            return check(convert(text))
        except (TypeError, ValueError) as error:
            raise argparse.ArgumentTypeError(str(error)) from None

    return parse


def _positive_seconds(value: float) -> float:
    if not value > 0 or value != value:
        raise ValueError(f"timeout must be a number of seconds > 0, got {value!r}")
    return value


def _jobs(value: int) -> int:
    if value < 0:
        raise ValueError(f"jobs must be a whole number >= 0, got {value!r}")
    return value


class UsageError(Exception):
    """A command line or project setting that cannot be used; the message says which."""


class Interrupted(Exception):
    """SIGTERM, met as Ctrl-C is."""


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        raise UsageError(f"{message} (see '{self.prog} --help')")


def _parser() -> argparse.ArgumentParser:
    from tessary.lint import (DEFAULT_CLIP_PX, DEFAULT_INK_THRESHOLD, DEFAULT_OVERLAP_FRACTION, clip_px_value,
                              ink_threshold_value, overlap_fraction_value)

    parser = _Parser(
        prog="tessary", description="Find layout collisions in matplotlib figures.",
        epilog="exit status: 0 every figure clean; 1 collisions found (and nothing failed); 2 usage error, "
               "a script that failed or timed out, a figure that could not be drawn or linted, or an "
               "interrupted run")
    parser.add_argument("--version", action="version", version=f"tessary {__version__}")
    commands = parser.add_subparsers(dest="command", required=True)
    check = commands.add_parser(
        "check", help="run scripts and lint the figures they create", epilog=parser.epilog,
        description="Run each script in a process of its own, as `python SCRIPT.py` would, and lint every "
                    "figure it saves (as saved), shows or leaves open (as shown). Options not given come from the "
                    "[tool.tessary] table of the nearest pyproject.toml that has one, searched from each "
                    "script's folder upward, then from the defaults.")
    check.add_argument("scripts", nargs="+", metavar="SCRIPT.py|NOTEBOOK.ipynb|DIR",
                       help="scripts and notebooks to run; a folder stands for the *.py and *.ipynb files "
                            "directly in it, sorted, leaving out setup.py, conftest.py, test_*.py and *_test.py")
    check.add_argument("--format", choices=FORMATS, default="text",
                       help="text, one JSON document (the scripts' own output goes to stderr), GitHub "
                            "workflow annotations, or JUnit XML, a test case a figure (default: %(default)s)")
    check.add_argument("--json", action="store_const", const="json", dest="format", help="short for --format json")
    check.add_argument("--output-file", metavar="FILE", type=Path,
                       help="write the report (or the diff) to FILE instead of stdout")
    check.add_argument("--html", metavar="FILE", type=Path,
                       help="also write one self-contained HTML page: the summary, each figure with findings as "
                            "an annotated picture, the findings with their lines and hints, and the failures")
    check.add_argument("--hints", action="store_true",
                       help="give each finding a fix, proven on a copy of the figure first (slower)")
    check.add_argument("--fix-diff", action="store_true",
                       help="print, instead of the report, the unified diff that puts every hint into its script")
    check.add_argument("--annotate", metavar="DIR", type=Path,
                       help="write each figure with collisions as PNG, colliding boxes numbered, to DIR")
    check.add_argument("--overlap-fraction", type=_option(float, overlap_fraction_value), metavar="F",
                       help=f"share of the smaller of two elements that must overlap, in (0, 1] "
                            f"(default: {DEFAULT_OVERLAP_FRACTION})")
    check.add_argument("--clip-px", type=_option(float, clip_px_value), metavar="P",
                       help=f"pixels an element may pass its clip box, finite and >= 0 (default: {DEFAULT_CLIP_PX})")
    check.add_argument("--ink-threshold", type=_option(float, ink_threshold_value), metavar="T",
                       help=f"share of the data a boxed legend or annotation must hide to be over data, in [0, 1) "
                            f"(default: {DEFAULT_INK_THRESHOLD})")
    check.add_argument("--ignore", action="append", metavar="PATTERN",
                       help="collision kind or element id to silence, * standing for any text and ? for one "
                            "character; repeatable; replaces the project's ignore (default: none)")
    check.add_argument("--timeout", type=_option(float, _positive_seconds), metavar="SECONDS",
                       help=f"stop a script (and every process it started) after this long, > 0; inf for no "
                            f"limit (default: {DEFAULT_TIMEOUT})")
    check.add_argument("-j", "--jobs", type=_option(int, _jobs), default=1, metavar="N",
                       help="scripts run at once, >= 0; 0 means one per processor (default: %(default)s)")
    check.add_argument("--no-warm", dest="warm", action="store_false",
                       help="start each script in a fresh interpreter, not forked from one that has imported "
                            "numpy and matplotlib already (only Linux forks)")
    check.add_argument("--verbose", action="store_true",
                       help="name the drawn artists that were skipped, and show tracebacks of failures")
    return parser


FORMATS = tuple(REPORTS)
OPTION_NAMES = ("overlap_fraction", "clip_px", "ink_threshold")


def settings(script: Path, args) -> tuple[dict, float]:
    """The lint options and timeout of one script: the command line's, else the
    project's, else the defaults; the project's per-file ignores come on top."""
    from tessary import config
    from tessary.lint import DEFAULT_CLIP_PX, DEFAULT_INK_THRESHOLD, DEFAULT_OVERLAP_FRACTION

    project = config.find(script.parent)
    defaults = {"overlap_fraction": DEFAULT_OVERLAP_FRACTION, "clip_px": DEFAULT_CLIP_PX,
                "ink_threshold": DEFAULT_INK_THRESHOLD, "ignore": (), "timeout": DEFAULT_TIMEOUT}
    given = {name: getattr(args, name) for name in (*OPTION_NAMES, "ignore", "timeout")
             if getattr(args, name) is not None}
    chosen = {**defaults, **project.options, **given}
    options = {name: chosen[name] for name in OPTION_NAMES}
    options["ignore"] = [*chosen["ignore"], *project.ignores_for(script)]
    return options, chosen["timeout"]


def scripts_in(arguments: list[str]) -> tuple[list[Path], list[str]]:
    """The scripts named, a folder standing for its plotting scripts, and the
    folders that held none; raises ValueError with a message for a path that
    is neither a script nor a folder, or when there is no script at all."""
    found, empty = [], []
    for argument in arguments:
        path = Path(argument)
        if path.is_dir():
            inside = sorted(p for p in path.iterdir() if p.suffix in RUNNABLE and p.is_file()
                            and not _support_file(p.name))
            found += inside
            if not inside:
                empty.append(argument)
        elif path.is_file():
            if path.suffix not in RUNNABLE:
                raise ValueError(f"not a Python script or notebook: {argument}")
            found.append(path)
        else:
            raise ValueError(f"no such script or folder: {argument}")
    if not found:
        raise ValueError("no scripts to check in " + ", ".join(arguments))
    return found, empty


def _support_file(name: str) -> bool:
    return name in NOT_SCRIPTS or name.startswith("test_") or name.endswith("_test.py")


def picture_stem(script: Path) -> str:
    """Where a script's annotated pictures go, below the pictures' folder: its
    path from the working folder (or from the root), so that no two scripts
    share one."""
    path = script.resolve()
    try:
        path = path.relative_to(Path.cwd())
    except (OSError, ValueError):  # outside the working folder, or that folder is gone
        path = Path(*path.parts[1:])
    return path.with_suffix("").as_posix()


def plan(args) -> tuple[list[tuple[Path, dict, float]], dict]:
    """Each script with its options and timeout, and what every run shares;
    raises UsageError."""
    from tessary.config import ConfigError

    try:
        scripts, empty = scripts_in(args.scripts)
        plans = [(script, *settings(script, args)) for script in scripts]
    except (ValueError, ConfigError) as error:
        raise UsageError(str(error)) from None
    notebook = next((str(script) for script, _, _ in plans if script.suffix == ".ipynb"), None)
    if notebook is not None and not _notebooks_run():
        from tessary._notebook import NEEDS

        raise UsageError(f"{notebook}: {NEEDS}")
    for folder in empty:
        print(f"tessary: {folder}: no scripts in this folder", file=sys.stderr)
    annotate = None
    if args.annotate is not None:
        problem = _unwritable(args.annotate)
        if problem:
            raise UsageError(f"--annotate {args.annotate}: {problem}")
        # Resolved now: a script may change its working folder.
        annotate = str(args.annotate.resolve())
    for option, target in (("--html", args.html), ("--output-file", args.output_file)):
        problem = _unwritable_file(target) if target is not None else None
        if problem:
            raise UsageError(f"{option} {target}: {problem}")
    if args.fix_diff and args.format != "text":
        raise UsageError("--fix-diff prints a diff, not a report: leave out --format and --json")
    return plans, {"annotate": annotate, "verbose": args.verbose, "hints": args.hints or args.fix_diff}


def _notebooks_run() -> bool:
    try:
        import ipykernel  # noqa: F401
        import nbclient  # noqa: F401
        import nbformat  # noqa: F401
    except ImportError:
        return False
    return True


def check(args) -> int:
    plans, shared = plan(args)
    runs = Runs(warm=args.warm)
    with ExitStack() as scratch:
        if args.html is not None and shared["annotate"] is None:
            # The page embeds the pictures; the folder they pass through is ours, and goes.
            shared["annotate"] = scratch.enter_context(tempfile.TemporaryDirectory(prefix="tessary-page-"))
        try:
            return _run(args, plans, shared, runs)
        finally:
            runs.close()


def _run(args, plans, shared, runs: Runs) -> int:
    jobs = args.jobs or os.cpu_count() or 1
    outcomes: list[Outcome] = []
    with _interruptible(), ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = [pool.submit(run_script, script, {**shared, "script": str(script), "options": options,
                                                    "stem": picture_stem(script)}, timeout, runs)
                   for script, options, timeout in plans]
        try:
            # Reported in the order given, each as soon as it and those before it are done.
            for future in futures:
                outcomes.append(future.result())
                report_problems(outcomes[-1], args.verbose)
        except (KeyboardInterrupt, Interrupted):
            for signum in (signal.SIGINT, signal.SIGTERM):
                signal.signal(signum, signal.SIG_IGN)  # a second one must not cut the cleaning up short
            runs.stop()
            pool.shutdown(wait=True, cancel_futures=True)
            finished = [f.result() for f in futures[len(outcomes):] if not f.cancelled()]
            for outcome in finished:
                if outcome.status != "interrupted":
                    report_problems(outcome, args.verbose)
                    outcomes.append(outcome)
            print(f"tessary: interrupted; {len(outcomes)} of {len(plans)} scripts finished", file=sys.stderr)
            _report(args, outcomes, "interrupted")
            return FAILURE
    return exit_status(outcomes) if _report(args, outcomes) else FAILURE


@contextmanager
def _interruptible():
    """SIGTERM stops the run as Ctrl-C does; both handlers are put back after."""

    def terminate(signum, frame):
        raise Interrupted

    try:
        handlers = {signal.SIGTERM: signal.signal(signal.SIGTERM, terminate),
                    signal.SIGINT: signal.getsignal(signal.SIGINT)}
    except ValueError:  # not the main thread: signals are not ours to take
        yield
        return
    try:
        yield
    finally:
        for signum, handler in handlers.items():
            signal.signal(signum, handler)


def _report(args, outcomes: list[Outcome], error: str | None = None) -> bool:
    """Writes the reports asked for; False when one could not be written (said on stderr)."""
    group(outcomes)
    written = True
    if args.html is not None:
        from tessary.page import write_page

        try:
            write_page(args.html, outcomes, error)
        except OSError as problem:
            print(f"tessary: --html {args.html}: could not write: {problem.strerror or problem}", file=sys.stderr)
            written = False
        if args.annotate is None:
            for figure in (f for o in outcomes for f in o.figures):
                # Only the page had them, and their folder is gone.
                figure.pop("annotated", None)
                figure.pop("annotated_frame", None)
    text = io.StringIO()
    with redirect_stdout(text) if args.output_file is not None else nullcontext():
        if args.fix_diff:
            report_diff(outcomes)
        elif args.format in ("json", "junit"):
            REPORTS[args.format](outcomes, error)  # a run that stopped early says so in the document
        else:
            REPORTS[args.format](outcomes)
    if args.output_file is not None:
        try:
            write_whole(args.output_file, text.getvalue())
        except OSError as problem:
            print(f"tessary: --output-file {args.output_file}: could not write: {problem.strerror or problem}",
                  file=sys.stderr)
            written = False
    return written


def _unwritable(folder: Path) -> str | None:
    if folder.exists() and not folder.is_dir():
        return "exists and is not a folder"
    try:
        folder.mkdir(parents=True, exist_ok=True)
    except OSError as error:
        return f"cannot be made: {error.strerror or error}"
    if not os.access(folder, os.W_OK | os.X_OK):
        return "is not writable"
    return None


def _unwritable_file(target: Path) -> str | None:
    if target.is_dir():
        return "is a folder"
    folder = target.resolve().parent
    if not folder.is_dir():
        return f"its folder {folder} does not exist"
    if not os.access(folder, os.W_OK | os.X_OK):
        return f"its folder {folder} is not writable"
    return None


def _wants(format_name: str, argv: list[str]) -> bool:
    """Whether the command line asks for a format, read before it is known to be valid."""
    return f"--format={format_name}" in argv or any(a == "--format" and b == format_name for a, b in zip(argv, argv[1:]))


def main(argv: list[str] | None = None) -> int:
    argv = sys.argv[1:] if argv is None else list(argv)
    for stream in (sys.stdout, sys.stderr):
        # Paths and labels that are not valid text are shown escaped, never a crash.
        if hasattr(stream, "reconfigure"):
            stream.reconfigure(errors="backslashreplace")
    try:
        return check(_parser().parse_args(argv))
    except KeyboardInterrupt:
        return _stopped("interrupted", argv)
    except UsageError as error:
        return _stopped(str(error), argv)
    except BrokenPipeError:
        # The reader went away (`| head`): nothing more to say, and no complaint at exit either.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        return FAILURE
    except Exception as error:  # noqa: BLE001 - a fault of tessary's own is one line too, never a traceback
        if "--verbose" in argv:
            import traceback

            traceback.print_exc()
        return _stopped(f"internal error: {type(error).__name__}: {error}", argv)


def _given(option: str, argv: list[str]) -> str | None:
    """An option's value, read before the command line is known to be valid."""
    for i, argument in enumerate(argv):
        if argument == option and i + 1 < len(argv):
            return argv[i + 1]
        if argument.startswith(option + "="):
            return argument[len(option) + 1:]
    return None


def _stopped(message: str, argv: list[str]) -> int:
    """A run that ended before any script: one line, and with --json or
    --format junit one document, where the report was to go; with --html a
    page that says so. A CI job must not pick up an earlier run's reports."""
    print(f"tessary: {message}", file=sys.stderr)
    report = report_json if "--json" in argv or _wants("json", argv) else report_junit if _wants("junit", argv) \
        else None
    page, output = _given("--html", argv), _given("--output-file", argv)
    if page is not None:
        _write_stopped(page, "--html", _stopped_page, message)
    if report is not None and not (output is not None and _write_stopped(output, "--output-file", report, message)):
        report([], message)
    return FAILURE


def _write_stopped(target: str, option: str, write, message: str) -> bool:
    """Writes what ``write`` prints to ``target``; False when it cannot."""
    if _unwritable_file(Path(target)):
        return False  # the run's own message says why, or the folder is not there to hold it
    text = io.StringIO()
    with redirect_stdout(text):
        write([], message)
    try:
        write_whole(Path(target), text.getvalue())
    except OSError as problem:
        print(f"tessary: {option} {target}: could not write: {problem.strerror or problem}", file=sys.stderr)
        return False
    return True


def _stopped_page(outcomes: list[Outcome], message: str) -> None:
    from tessary.page import page

    sys.stdout.write(page(outcomes, message))


if __name__ == "__main__":
    sys.exit(main())
