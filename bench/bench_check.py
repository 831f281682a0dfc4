"""`tessary check --jobs N` over a folder of plotting scripts next to running
the same scripts with plain `python SCRIPT.py` on N workers, in the same run.

    python bench/bench_check.py [--jobs N] [--rounds R] [--limit K] [--corpus DIR]

Each round runs both, in alternating order (so that drift on a shared machine
reaches both alike), in a scratch folder that receives the scripts' pictures.
The table gives each round's wall times and their ratio (tessary / plain:
below 1, checking the scripts costs less than running them), then medians.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

CORPUS = Path(__file__).resolve().parent.parent / "tests" / "figures"
ENV = {**os.environ, "MPLBACKEND": "Agg", "PYTHONWARNINGS": "ignore"}


def plain(scripts: list[Path], jobs: int, folder: Path) -> float:
    def run(script: Path) -> int:
        return subprocess.run([sys.executable, str(script)], cwd=folder, env=ENV, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600).returncode

    start = time.perf_counter()
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        codes = list(pool.map(run, scripts))
    elapsed = time.perf_counter() - start
    failed = [s.name for s, code in zip(scripts, codes) if code != 0]
    if failed:
        raise SystemExit(f"plain python failed on {', '.join(failed)}")
    return elapsed


def checked(scripts: list[Path], jobs: int, folder: Path) -> float:
    start = time.perf_counter()
    done = subprocess.run([sys.executable, "-m", "tessary", "check", "--json", "-j", str(jobs), *map(str, scripts)],
                          cwd=folder, env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=3600)
    elapsed = time.perf_counter() - start
    if done.returncode not in (0, 1):
        raise SystemExit(f"tessary check failed (exit {done.returncode})")
    return elapsed


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--limit", type=int, default=0, help="the first K scripts only (0: all)")
    parser.add_argument("--corpus", type=Path, default=CORPUS)
    args = parser.parse_args()
    scripts = sorted(args.corpus.glob("*.py"))[:args.limit or None]
    print(f"{len(scripts)} scripts from {args.corpus}, {args.jobs} workers, {args.rounds} rounds")
    print(f"{'round':>5}  {'plain python (s)':>16}  {'tessary check (s)':>17}  {'ratio':>6}")
    times = {"plain": [], "tessary": []}
    contenders = {"plain": plain, "tessary": checked}
    for number in range(args.rounds):
        order = ("plain", "tessary") if number % 2 == 0 else ("tessary", "plain")
        for name in order:
            with tempfile.TemporaryDirectory() as folder:
                times[name].append(contenders[name](scripts, args.jobs, Path(folder)))
        print(f"{number + 1:>5}  {times['plain'][-1]:>16.2f}  {times['tessary'][-1]:>17.2f}  "
              f"{times['tessary'][-1] / times['plain'][-1]:>6.2f}")
    ratios = [t / p for t, p in zip(times["tessary"], times["plain"])]
    print(f"{'median':>5}  {statistics.median(times['plain']):>16.2f}  {statistics.median(times['tessary']):>17.2f}  "
          f"{statistics.median(ratios):>6.2f}")


if __name__ == "__main__":
    main()
