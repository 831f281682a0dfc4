"""to_json for 10 000 collisions next to json.dumps of the same data as dicts.

    python bench/bench_to_json.py
"""

import json
import random
import statistics
import time

from tessary import Collision, CollisionReport

N, REPEATS = 10_000, 21


def main():
    rng = random.Random(7)

    def box():
        x, y = rng.uniform(0, 4000), rng.uniform(0, 4000)
        return (x, y, x + rng.uniform(5, 80), y + rng.uniform(5, 80))

    kinds = ["text_text", "clipping", "over_data", "element_element"]
    rows = [
        (rng.choice(kinds), "tick-label", f"ax{i % 7}.xtick[{i}]'2020-{i % 12:02d}'", box(), "title", f"ax{i % 7}.title", box(), rng.random())
        for i in range(N)
    ]
    report = CollisionReport([Collision(*row) for row in rows])
    keys = ("kind", "a_role", "a_id", "a_box", "b_role", "b_id", "b_box", "severity")
    dicts = [dict(zip(keys, row)) for row in rows]
    assert json.loads(report.to_json()) == json.loads(json.dumps(dicts, separators=(",", ":")))

    def median_ms(fn):
        times = []
        for _ in range(REPEATS):
            start = time.perf_counter()
            fn()
            times.append((time.perf_counter() - start) * 1e3)
        return statistics.median(times), min(times), max(times)

    ours = median_ms(report.to_json)
    peer = median_ms(lambda: json.dumps(dicts, separators=(",", ":")))
    print(f"{'10 000 collisions':<28}{'median ms':>10}{'min':>8}{'max':>8}")
    print(f"{'CollisionReport.to_json()':<28}{ours[0]:>10.2f}{ours[1]:>8.2f}{ours[2]:>8.2f}")
    print(f"{'json.dumps(list of dicts)':<28}{peer[0]:>10.2f}{peer[1]:>8.2f}{peer[2]:>8.2f}")
    print(f"ratio: to_json is {peer[0] / ours[0]:.1f}x faster")


if __name__ == "__main__":
    main()
