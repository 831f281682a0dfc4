"""The runner's side of the warm start: servers that have imported numpy,
matplotlib and tessary once, and fork a child for each script
(``tessary._server``). A script that cannot start warm starts as before.
"""

from __future__ import annotations

import json
import os
import selectors
import signal
import subprocess
import sys
import time
from pathlib import Path

from tessary.runner import CHILD

SERVER = CHILD.replace("{}", "_server")
# How long a server that was told to stop may take before it is killed.
CLOSE_SECONDS = 5.0
LONGEST_WAIT = 60.0


def available() -> bool:
    """Forking a warm interpreter is safe only where fork is the usual way to start processes."""
    return sys.platform == "linux"


class Server:
    """One server process, serving one script at a time."""

    def __init__(self, env: dict):
        self.process = subprocess.Popen([sys.executable, "-c", SERVER], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env,
                                        start_new_session=True)
        self.replies = self.process.stdout.fileno()
        os.set_blocking(self.replies, False)
        self.pending = b""
        self.lines: list[str] = []
        self.gone = False

    def _reply(self, deadline: float) -> str | None:
        """The next line the server says; None when it has gone, or by ``deadline`` (monotonic)."""
        with selectors.DefaultSelector() as selector:
            selector.register(self.replies, selectors.EVENT_READ)
            while not self.lines:
                # Waits are cut short, so that a far deadline fits the selector.
                wait = min(LONGEST_WAIT, max(0.0, deadline - time.monotonic()))
                if not selector.select(wait):
                    if time.monotonic() >= deadline:
                        return None
                    continue
                try:
                    chunk = os.read(self.replies, 4096)
                except BlockingIOError:
                    continue
                if not chunk:
                    self.gone = True
                    return None
                self.pending += chunk
                *whole, self.pending = self.pending.split(b"\n")
                self.lines += [line.decode() for line in whole]
        return self.lines.pop(0)

    def start(self, request: str, output: Path, deadline: float) -> int | None:
        """Forks a child for ``request``, writing to the FIFO ``output``: its
        number, or None when it did not start (the server has gone, or cannot
        fork safely)."""
        try:
            self.process.stdin.write(json.dumps({"request": json.loads(request), "output": str(output)}).encode()
                                     + b"\n")
            self.process.stdin.flush()
        except OSError:
            return None
        reply = self._reply(deadline)
        if reply is None or not reply.startswith("started "):
            return None
        return int(reply.split()[1])

    def ended(self, wait: float = 0.0) -> int | None:
        """The child's exit status once it has ended (within ``wait`` seconds), as ``subprocess`` gives it."""
        reply = self._reply(time.monotonic() + wait)
        if reply is None:
            return None
        return int(reply.split()[1])

    def close(self) -> None:
        """Tells the server to stop; kills it if it does not."""
        try:
            self.process.stdin.close()
        except OSError:
            pass  # it has gone already
        try:
            self.process.wait(CLOSE_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()

    def kill(self) -> None:
        self.process.kill()
        self.close()


class WarmChild:
    """A script's process forked by a server; its output comes through a FIFO."""

    def __init__(self, server: Server, pid: int, output: int):
        self.server = server
        self.pid = pid
        self.output = output
        self.status: int | None = None

    def exited(self) -> bool:
        if self.status is None:
            self.status = self.server.ended()
        # A server killed under its child cannot say how the child ended: the run kills its group.
        return self.status is not None or self.server.gone

    def reap(self) -> int | None:
        """The exit status; None when the server went before it could say."""
        if self.status is None:
            self.status = self.server.ended(wait=CLOSE_SECONDS)
        if self.status is None:
            # Its server was killed under it: whatever is left of the script goes too.
            try:
                os.killpg(self.pid, signal.SIGKILL)
            except OSError:
                pass
        os.close(self.output)
        return self.status


def start(server: Server, request: str, scratch: Path, deadline: float) -> WarmChild | None:
    fifo = scratch / "output"
    os.mkfifo(fifo)
    # Open before the child opens it to write, without waiting for it.
    output = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
    pid = server.start(request, fifo, deadline)
    if pid is None:
        os.close(output)
        return None
    return WarmChild(server, pid, output)
