"""Many Python threads using every entry point at once get exactly the
results of a single-threaded run."""

import threading

import numpy as np

from tessary._core import Collision, CollisionReport, classify, ink_coverage

THREADS, ROUNDS = 8, 30


def workload(seed):
    rng = np.random.default_rng(seed)
    corners = rng.uniform(0, 200, (40, 2))
    sizes = rng.uniform(5, 60, (40, 2))
    roles = ["title", "legend", "tick-label", "data-artist", "colorbar", "axes-region", "annotation"]
    boxes = [
        ((x, y, x + w, y + h), (0.0, 0.0, 200.0, 200.0), roles[i % len(roles)], f"e{i}")
        for i, ((x, y), (w, h)) in enumerate(zip(corners.tolist(), sizes.tolist()))
    ]
    buffer = np.where(rng.random((101, 67, 1)) < 0.2, 0, 255).astype(np.uint8).repeat(4, axis=2)
    return boxes, buffer


def run_once(boxes, buffer, shared_buffer):
    collisions, candidates = classify(boxes)
    report = CollisionReport(collisions + [Collision("over_data", "legend", "l", (0, 0, 1, 1), "data-artist", "d", (0, 0, 1, 1), 0.5)])
    coverages = tuple(
        ink_coverage(b, (int(c.a_box[1]) % 50, 0, 200, 60), (255, 255, 255))
        for b in (buffer, shared_buffer[::-1])
        for c in collisions[:5]
    )
    return report.to_json(), [(d.decoration_id, d.data_id, d.overlap) for d in candidates], report.total(), coverages


def test_threads_match_serial():
    inputs = [workload(seed) for seed in range(THREADS)]
    shared = workload(99)[1]
    expected = [run_once(boxes, buffer, shared) for boxes, buffer in inputs]
    results = [[] for _ in range(THREADS)]
    start = threading.Barrier(THREADS)

    def worker(index):
        start.wait()
        boxes, buffer = inputs[index]
        for _ in range(ROUNDS):
            results[index].append(run_once(boxes, buffer, shared))

    threads = [threading.Thread(target=worker, args=(i,)) for i in range(THREADS)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(timeout=120)
    assert not any(thread.is_alive() for thread in threads)
    for index in range(THREADS):
        assert results[index] == [expected[index]] * ROUNDS
