"""The built extension keeps to the stable ABI, and the stubs match it."""

import subprocess
import sys

import pytest

import tessary._core


def test_stable_abi():
    pytest.importorskip("abi3audit")
    # The installed module file carries no Python version, so the minimum is given.
    result = subprocess.run(
        [sys.executable, "-m", "abi3audit", "--strict", "--assume-minimum-abi3", "3.10", tessary._core.__file__],
        capture_output=True, text=True, timeout=300,
    )
    assert result.returncode == 0, result.stdout + result.stderr
    assert tessary._core.__file__.endswith(".abi3.so")


def test_stubs_match_the_module(tmp_path):
    pytest.importorskip("mypy")
    # Run away from the source tree so the installed package is what is checked.
    result = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "tessary._core"],
        capture_output=True, text=True, timeout=600, cwd=tmp_path,
    )
    assert result.returncode == 0, result.stdout + result.stderr
