"""The worker pool: its size, concurrent callers, fork, interpreter exit and
failures to start. Anything that depends on process-wide state runs in a fresh
interpreter."""

import json
import os
import subprocess
import sys
import textwrap
import threading

import numpy as np
import pytest

from tessary._core import ink_coverage


def run_python(code, timeout=120, **env):
    environment = {k: v for k, v in os.environ.items() if k != "TESSARY_NUM_THREADS"}
    environment.update(env)
    done = subprocess.run(
        [sys.executable, "-c", textwrap.dedent(code)],
        env=environment,
        capture_output=True,
        text=True,
        timeout=timeout,
    )
    assert done.returncode == 0, done.stderr
    return done.stdout


SIZED = """
    import json, os, signal
    import numpy as np
    from tessary._core import ink_coverage

    def threads():
        return set(os.listdir("/proc/self/task"))

    def blocks_sigint(tid):
        status = open(f"/proc/self/task/{tid}/status").read()
        mask = int(status.split("SigBlk:")[1].split()[0], 16)
        return bool(mask & (1 << (signal.SIGINT - 1)))

    rng = np.random.default_rng(7)
    buffers = [rng.integers(0, 256, (h, 23, 4), dtype=np.uint8) for h in (2, 3, 5, 13, 61, 250)]
    before = threads()
    ink_coverage(buffers[0], (1, 0, 1, 23), (0, 0, 0))  # empty: no pool
    after_empty = len(threads() - before)
    ink_coverage(buffers[0], (0, 0, 1, 23), (0, 0, 0))  # one row: pool created
    new = threads() - before
    workers = len(new) if all(map(blocks_sigint, new)) and not blocks_sigint(os.getpid()) else -1
    results = [
        ink_coverage(b, (r0, 1, 10**6, 21), (128, 128, 128), 60).hex()
        for b in buffers for r0 in (0, 1)
    ]
    print(json.dumps([after_empty, workers, results]))
"""


def expected_results():
    rng = np.random.default_rng(7)
    out = []
    for h in (2, 3, 5, 13, 61, 250):
        buffer = rng.integers(0, 256, (h, 23, 4), dtype=np.uint8)
        for r0 in (0, 1):
            view = buffer[r0:, 1:21, :3].astype(np.int16)
            ink = np.count_nonzero((np.abs(view - 128) > 60).any(axis=2))
            out.append((float(ink) / (view.shape[0] * view.shape[1])).hex())
    return out


@pytest.mark.parametrize(
    "setting, workers",
    [("1", 1), ("2", 2), ("7", 7), ("0", None), ("-3", None), ("2.5", None), ("many", None), ("", None)],
)
def test_pool_size_and_identical_results(setting, workers):
    empty, started, results = json.loads(run_python(SIZED, TESSARY_NUM_THREADS=setting))
    assert empty == 0
    assert started == (workers or len(os.sched_getaffinity(0)))
    assert results == expected_results()


@pytest.mark.parametrize("shared", [True, False], ids=["shared", "separate"])
def test_eight_threads_at_once(shared):
    rng = np.random.default_rng(3)
    buffers = [rng.integers(0, 256, (97 + k, 61, 4), dtype=np.uint8) for k in range(8)]
    if shared:
        buffers = [buffers[0]] * 8
    regions = [(k, k, 90 + k, 60 - k) for k in range(12)]

    def calls(buffer):
        return [ink_coverage(buffer, region, (128, 128, 128), 50) for region in regions]

    expected = [calls(buffer) for buffer in buffers]
    results = [None] * 8
    start = threading.Barrier(8)

    def work(k):
        start.wait()
        results[k] = [calls(buffers[k]) for _ in range(25)]

    threads = [threading.Thread(target=work, args=(k,)) for k in range(8)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for k in range(8):
        assert results[k] == [expected[k]] * 25


def test_pool_works_in_forked_children():
    # A thread keeps calling while the parent forks, so workers and their
    # queue are busy at the moment of the fork.
    out = run_python(
        """
        import json, os, signal, threading, warnings
        import numpy as np
        from tessary._core import ink_coverage

        warnings.simplefilter("ignore", DeprecationWarning)  # fork with threads
        buffer = np.random.default_rng(1).integers(0, 256, (300, 200, 4), dtype=np.uint8)
        region = (0, 0, 300, 200)
        expected = ink_coverage(buffer, region, (0, 0, 0), 100)
        stop = threading.Event()

        def busy():
            while not stop.is_set():
                ink_coverage(buffer, region, (0, 0, 0), 100)

        thread = threading.Thread(target=busy)
        thread.start()
        codes = []
        for _ in range(10):
            pid = os.fork()
            if pid == 0:
                signal.alarm(60)  # a hung child ends itself (SIGALRM's default)
                same = all(ink_coverage(buffer, region, (0, 0, 0), 100) == expected for _ in range(5))
                os._exit(0 if same else 3)
            codes.append(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))
        stop.set()
        thread.join()
        print(json.dumps(codes))
        """
    )
    assert json.loads(out) == [0] * 10


def test_exit_with_daemon_threads_inside_calls():
    out = run_python(
        """
        import threading, time
        import numpy as np
        from tessary._core import ink_coverage

        buffer = np.broadcast_to(np.array([0, 0, 0, 255], np.uint8), (400, 2000, 4))
        started = threading.Barrier(9)

        def spin():
            started.wait()
            while True:
                ink_coverage(buffer, (0, 0, 400, 2000), (255, 255, 255))

        for _ in range(8):
            threading.Thread(target=spin, daemon=True).start()
        started.wait()
        time.sleep(0.05)
        print("exiting")
        """
    )
    assert out == "exiting\n"


def test_pool_that_cannot_start_fails_and_is_tried_again():
    # Too little address space for 64 thread stacks.
    out = run_python(
        """
        import resource
        import numpy as np
        from tessary._core import ink_coverage

        buffer = np.zeros((4, 4, 4), np.uint8)
        ink_coverage(buffer, (0, 0, 0, 0), (0, 0, 0))  # loads NumPy's table only
        pages = int(open("/proc/self/statm").read().split()[0])
        unlimited = resource.getrlimit(resource.RLIMIT_AS)
        resource.setrlimit(resource.RLIMIT_AS, (pages * resource.getpagesize() + (64 << 20), unlimited[1]))
        try:
            ink_coverage(buffer, (0, 0, 4, 4), (0, 0, 0))
        except BaseException as failure:
            print(type(failure).__bases__ == (BaseException,), failure)
        resource.setrlimit(resource.RLIMIT_AS, unlimited)
        print(ink_coverage(buffer, (0, 0, 4, 4), (255, 0, 0)))
        """,
        TESSARY_NUM_THREADS="64",
    )
    first, second = out.splitlines()
    assert first.startswith("True The global thread pool has not been initialized.: ")
    assert len(first) > len("True The global thread pool has not been initialized.: ")
    assert second == "1.0"


def test_numpy_table_that_cannot_be_loaded():
    out = run_python(
        """
        import sys
        import numpy as np
        from tessary._core import ink_coverage

        buffer = np.zeros((4, 4, 4), np.uint8)
        saved = sys.modules["numpy._core.multiarray"]
        sys.modules["numpy._core.multiarray"] = None
        try:
            ink_coverage(buffer, (0, 0, 4, 4), (0, 0, 0))
        except BaseException as failure:
            print(type(failure).__bases__ == (BaseException,), type(failure.__cause__).__name__)
            print(failure)
        sys.modules["numpy._core.multiarray"] = saved
        print(ink_coverage(buffer, (0, 0, 4, 4), (255, 0, 0)), sys.getrefcount(buffer))
        """
    )
    assert out.splitlines() == [
        "True ModuleNotFoundError",
        "Failed to access NumPy array API capsule: "
        "import of numpy._core.multiarray halted; None in sys.modules",
        "1.0 2",
    ]
