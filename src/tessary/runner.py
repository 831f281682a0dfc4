"""Runs one script for ``tessary check``, as ``python SCRIPT.py`` would, in a
process group of its own, and gathers what its child process reported.

The script's own process is what is waited for: a background process it
leaves behind is its business, as under plain ``python``, and does not hold
the run up. A timeout or an interruption kills the whole group. The script's
output (stdout and stderr, in one stream) is read as it comes; only its last
``OUTPUT_KEPT`` bytes are kept.
"""

from __future__ import annotations

import json
import os
import selectors
import signal
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

OUTPUT_KEPT = 256 * 1024
READ_SIZE = 64 * 1024
POLL_SECONDS = 0.02
# Once the script has ended, how long what is still in its pipe is read: a
# process it left behind may write on forever.
DRAIN_SECONDS = 0.2


# The child, started without the working folder on its path (which `python -c`
# puts first): a json.py or tessary.py there is the script's business, not the linter's.
CHILD = "import sys\nif sys.path and sys.path[0] == '': del sys.path[0]\nfrom tessary.{} import main\nmain()"
CHILDREN = {".py": "_child", ".ipynb": "_notebook"}  # what runs each kind of file


@dataclass
class Outcome:
    """One script's run, as the child process reported it."""

    path: str
    status: str = "ok"  # ok, failed, timeout, no-figure, interrupted
    error: str | None = None
    line: int | None = None  # the script's line the error was raised at
    traceback: str | None = None
    figures: list[dict] = field(default_factory=list)
    output: str = ""  # the end of what the script printed
    output_dropped: int = 0  # bytes of it left out before that end

    @property
    def failures(self) -> list[str]:
        lines = [self.error] if self.status in ("failed", "timeout") else []
        return lines + [f"fig{f['figure']}: {f['error']}" for f in self.figures if "error" in f]

    @property
    def collisions(self) -> int:
        return sum(len(f.get("collisions", ())) for f in self.figures)


class PlainChild:
    """A script's process started afresh, its output in a pipe."""

    def __init__(self, command: list[str], env: dict):
        # No input: scripts run side by side, and a prompt would only wait for the timeout.
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, env=env, start_new_session=True)
        self.pid = self.process.pid
        self.output = self.process.stdout.fileno()

    def exited(self) -> bool:
        """Whether the process has ended, without reaping it."""
        try:
            return os.waitid(os.P_PID, self.pid, os.WEXITED | os.WNOHANG | os.WNOWAIT) is not None
        except AttributeError:  # pragma: no cover - platforms without waitid
            return self.process.poll() is not None
        except ChildProcessError:
            return True

    def reap(self) -> int:
        self.process.wait()
        self.process.stdout.close()
        return self.process.returncode


class Runs:
    """The scripts running now, so that an interruption kills them all and
    starts no more, and the warm servers that start them."""

    def __init__(self, warm: bool = True):
        from tessary import warm as warm_start

        self.stopping = threading.Event()
        self._lock = threading.Lock()
        self._running: dict[int, object] = {}
        self.warm = warm and warm_start.available()
        self._idle: list = []  # servers waiting for a script
        self._servers: list = []

    def start(self, script: Path, request: str, scratch: Path, deadline: float):
        """The script's process, warm when it can be; None once the run is stopping."""
        if self.stopping.is_set():
            return None
        env = dict(os.environ, MPLBACKEND="Agg")
        server = self._server(env) if self.warm and script.suffix == ".py" else None
        child = None
        if server is not None:
            from tessary import warm

            child = warm.start(server, request, scratch, deadline)
            if child is None:
                self._retire(server)
        if child is None:
            child = PlainChild([sys.executable, "-c", CHILD.format(CHILDREN[script.suffix]), request], env)
        with self._lock:
            if not self.stopping.is_set():
                self._running[child.pid] = child
                return child
        # Started as the run was stopped.
        _kill_group(child.pid)
        child.reap()
        return None

    def _server(self, env: dict):
        from tessary import warm

        with self._lock:
            if self.stopping.is_set():
                return None
            if self._idle:
                return self._idle.pop()
            server = warm.Server(env)
            self._servers.append(server)
            return server

    def _retire(self, server) -> None:
        with self._lock:
            if server in self._servers:
                self._servers.remove(server)
        server.kill()

    def ended(self, child) -> None:
        """Called before the process is reaped, so that its number, free again
        after that, is never killed in its name."""
        with self._lock:
            self._running.pop(child.pid, None)

    def done(self, child) -> None:
        """The child is reaped: its server serves the next script."""
        server = getattr(child, "server", None)
        if server is None:
            return
        if server.gone:
            self._retire(server)
        else:
            with self._lock:
                self._idle.append(server)

    def stop(self) -> None:
        with self._lock:
            self.stopping.set()
            for pid in self._running:
                _kill_group(pid)
            for server in self._servers:
                _kill_group(server.process.pid)

    def close(self) -> None:
        """Lets every server go, once no script runs."""
        with self._lock:
            servers, self._servers, self._idle = self._servers, [], []
        for server in servers:
            server.close()


def _kill_group(pid: int) -> None:
    try:
        os.killpg(pid, signal.SIGKILL)
    except OSError:
        pass  # gone already


class Tail:
    """The last ``limit`` bytes of a stream, and how many came before them."""

    def __init__(self, limit: int = OUTPUT_KEPT):
        self.limit = limit
        self.data = bytearray()
        self.dropped = 0

    def add(self, chunk: bytes) -> None:
        self.data += chunk
        excess = len(self.data) - self.limit
        if excess > 0:
            del self.data[:excess]
            self.dropped += excess

    def text(self) -> str:
        return self.data.decode("utf-8", errors="replace")


def _read(fd: int, tail: Tail) -> bool:
    """Reads what is there; False once every writer has closed the pipe."""
    try:
        chunk = os.read(fd, READ_SIZE)
    except BlockingIOError:
        return True
    if not chunk:
        return False
    tail.add(chunk)
    return True


def _follow(child, tail: Tail, deadline: float, stopping: threading.Event) -> str | None:
    """Reads the output until the script's process ends; "timeout" or
    "interrupted" when it had to be stopped first."""
    fd = child.output
    os.set_blocking(fd, False)
    with selectors.DefaultSelector() as selector:
        selector.register(fd, selectors.EVENT_READ)
        reading = True
        while not child.exited():
            if stopping.is_set():
                return "interrupted"
            left = deadline - time.monotonic()
            if left <= 0:
                return "timeout"
            wait = min(POLL_SECONDS, left)
            if not reading:
                time.sleep(wait)
            elif selector.select(wait):
                reading = _read(fd, tail)
        # What the script wrote before it ended is in the pipe now.
        until = time.monotonic() + DRAIN_SECONDS
        while reading and time.monotonic() < until and selector.select(0):
            reading = _read(fd, tail)
    # Killed by the interruption while this thread slept: not the script's own end.
    return "interrupted" if stopping.is_set() else None


def run_script(script: Path, request: dict, timeout: float, runs: Runs) -> Outcome:
    """Runs ``script`` through ``tessary._child`` with ``request`` (options,
    pictures, hints), for at most ``timeout`` seconds (any float, inf
    included)."""
    outcome = Outcome(str(script))
    deadline = time.monotonic() + timeout
    with tempfile.TemporaryDirectory(prefix="tessary-") as scratch:
        results = Path(scratch) / "results.jsonl"
        child = runs.start(script, json.dumps({**request, "results": str(results)}), Path(scratch), deadline)
        if child is None:
            outcome.status = "interrupted"
            return outcome
        tail = Tail()
        stopped = "failed"
        try:
            stopped = _follow(child, tail, deadline, runs.stopping)
        finally:
            if stopped is not None:
                _kill_group(child.pid)  # the script and every process it started
            runs.ended(child)
            returncode = child.reap()
            runs.done(child)
        outcome.output, outcome.output_dropped = tail.text(), tail.dropped
        records = _records(results)
    _read_records(outcome, records, stopped, returncode, timeout)
    if not request.get("verbose"):
        for figure in outcome.figures:
            figure.pop("traceback", None)
    return outcome


def _records(results: Path) -> list[dict]:
    """The child's records; a line cut short by a kill is left out."""
    if not results.exists():
        return []
    records = []
    for line in results.read_text(encoding="utf-8", errors="replace").splitlines():
        try:
            records.append(json.loads(line))
        except ValueError:
            continue
    return records


def _read_records(outcome: Outcome, records: list[dict], stopped: str | None, returncode: int | None,
                  timeout: float) -> None:
    ended = None
    for record in records:
        if record.get("done"):
            ended = record
        elif record.get("again"):
            # A figure reported as shown, then saved unchanged: the report names the file.
            for figure in reversed(outcome.figures):
                if figure["figure"] == record["figure"]:
                    figure["saved_as"] = figure["saved_as"] or record["saved_as"]
                    break
        else:
            outcome.figures.append(record)
    if stopped == "interrupted":
        outcome.status = "interrupted"
    elif stopped == "timeout":
        outcome.status, outcome.error = "timeout", f"did not finish within {timeout:g} s"
    elif ended is not None and (ended["status"] != "ok" or returncode == 0):
        outcome.status = ended["status"]
        outcome.error, outcome.line, outcome.traceback = ended.get("error"), ended.get("line"), ended.get("traceback")
    elif returncode is None:
        outcome.status, outcome.error = "failed", "ended unseen: the process that started it was killed"
    elif returncode < 0:
        outcome.status, outcome.error = "failed", f"crashed (signal {-returncode})"
    elif returncode != 0:
        # An atexit handler may still change how the process ends.
        outcome.status, outcome.error = "failed", f"exited with status {returncode}"
    elif ended is None:
        outcome.status, outcome.error = "failed", "ended before tessary could report on its figures"
    if outcome.status == "ok" and not outcome.figures:
        outcome.status = "no-figure"
