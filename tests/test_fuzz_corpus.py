"""Replays the fuzzer's seed corpus, and a fixed batch of random inputs,
through the same checks the fuzzer applies."""

import pathlib
import random
import sys

import pytest

FUZZ = pathlib.Path(__file__).resolve().parent.parent / "fuzz"
if not (FUZZ / "harness.py").exists():
    pytest.skip("run from a source checkout", allow_module_level=True)
sys.path.insert(0, str(FUZZ))
import harness  # noqa: E402

CORPUS = sorted((FUZZ / "corpus").glob("*"))


@pytest.mark.parametrize("path", CORPUS, ids=[p.name[:12] for p in CORPUS])
def test_corpus_entry(path):
    harness.one_input(path.read_bytes())


@pytest.mark.parametrize("target", range(len(harness.TARGETS)))
def test_random_inputs(target):
    rng = random.Random(target)
    for _ in range(300):
        harness.one_input(bytes([target]) + rng.randbytes(rng.randrange(0, 200)))
