"""The warm start of ``tessary check``: one process imports numpy, matplotlib
(its fonts loaded, one figure drawn) and tessary once, then forks a child for
each script, which runs it as ``tessary._child`` would in a fresh interpreter.

    python -c "...; from tessary._server import main; main()"

It reads one request a line on its stdin, ``{"request": ..., "output": FIFO}``,
and answers each on its stdout: ``started PID`` once the child leads a process
group of its own (or ``cold`` when forking is not safe here, and the script is
to be started as before), then ``ended STATUS`` with the child's exit status
as ``subprocess`` gives it. The ended child is reaped only when the next line
comes (or stdin closes), so that its number is not reused while the runner may
still kill its group.
"""

from __future__ import annotations

import json
import os
import sys
import threading


def warm() -> None:
    """Everything a script and its lint load anyway, loaded once for all scripts."""
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot  # noqa: F401
    import numpy  # noqa: F401
    from matplotlib.backends.backend_agg import FigureCanvasAgg
    from matplotlib.figure import Figure

    import tessary._child  # noqa: F401
    import tessary.lint  # noqa: F401
    import tessary.record  # noqa: F401

    # The default font, mathtext and the Agg renderer; a Figure, not pyplot,
    # so that no figure number is taken.
    fig = Figure()
    fig.subplots().set_title(r"warm $x^2$")
    FigureCanvasAgg(fig).draw()


def safe() -> bool:
    """Forking copies only the thread that forks: a server running other
    Python threads might hand its child a lock held forever."""
    return sys.platform == "linux" and threading.active_count() == 1


def _lines(fd: int):
    """The lines written to ``fd``, read without Python's buffering, so that a
    child holds no unread request of its server."""
    pending = b""
    while True:
        chunk = os.read(fd, 65536)
        if not chunk:
            return
        pending += chunk
        *whole, pending = pending.split(b"\n")
        yield from whole


def _say(line: str) -> None:
    os.write(1, (line + "\n").encode())


def _fork(output: str) -> int:
    """The child's number in the server; 0 in the child. The server answers
    only once the child leads a session of its own and writes to ``output``:
    the runner may then kill its group, and reads all it writes."""
    ready, told = os.pipe()
    pid = os.fork()
    if pid == 0:
        try:
            os.close(ready)
            os.setsid()
            null, out = os.open(os.devnull, os.O_RDONLY), os.open(output, os.O_WRONLY)
            os.dup2(null, 0)
            os.dup2(out, 1)
            os.dup2(out, 2)
            os.close(null)
            os.close(out)
            os.close(told)
        except BaseException:  # noqa: BLE001 - never back into the server's loop
            os._exit(127)
        return 0
    os.close(told)
    os.read(ready, 1)  # empty once the child is ready, or has died trying
    os.close(ready)
    return pid


def serve():
    """Answers requests until stdin closes; in a forked child, returns its request."""
    ended = None
    for line in _lines(0):
        if ended is not None:
            os.waitpid(ended, 0)
            ended = None
        asked = json.loads(line)
        if not safe():
            _say("cold")
            continue
        pid = _fork(asked["output"])
        if pid == 0:
            return asked["request"]
        _say(f"started {pid}")
        # Waited for, not reaped: the number stays the child's until the next line.
        info = os.waitid(os.P_PID, pid, os.WEXITED | os.WNOWAIT)
        status = -info.si_status if info.si_code in (os.CLD_KILLED, os.CLD_DUMPED) else info.si_status
        _say(f"ended {status}")
        ended = pid
    if ended is not None:
        os.waitpid(ended, 0)
    return None


def _reseed() -> None:
    """numpy's global generator is seeded once, when numpy is imported: each
    script draws its own numbers, as in a fresh interpreter. (``random``
    reseeds itself in a forked child.)"""
    import numpy

    numpy.random.seed()


def main() -> None:
    warm()
    request = serve()
    if request is None:
        return
    _reseed()
    from tessary._child import emitter, run

    os.environ["MPLBACKEND"] = "Agg"
    run(request, emitter(request["results"]))
