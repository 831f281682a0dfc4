"""The suite against builds instrumented with AddressSanitizer and UndefinedBehaviorSanitizer
(every test) and with ThreadSanitizer (the threaded tests), through tools/sanitize.sh."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent
NESTED = "TESSARY_SANITIZER_RUN"

pytestmark = [
    pytest.mark.skipif(NESTED in os.environ, reason="this is the instrumented run itself"),
    pytest.mark.skipif(not sys.platform.startswith("linux"), reason="the sanitizer runtimes are GCC's on Linux"),
    pytest.mark.skipif(shutil.which("g++") is None, reason="needs g++"),
    pytest.mark.skipif(not (ROOT / "tools" / "sanitize.sh").exists(), reason="needs the source tree"),
]


@pytest.mark.parametrize("kind", ["address", "thread"])
def test_the_suite_passes_under_the_sanitizer(kind, tmp_path):
    env = dict(os.environ, **{NESTED: "1", "TESSARY_SANITIZE_VENV": str(tmp_path / "venv")})
    env.pop("PYTHONPATH", None)
    result = subprocess.run(
        ["bash", "tools/sanitize.sh", kind], cwd=ROOT, env=env, capture_output=True, text=True, timeout=1200
    )
    output = result.stdout + result.stderr
    assert result.returncode == 0, output[-6000:]
    assert "Sanitizer" not in output and "runtime error:" not in output, output[-6000:]
    assert " passed" in output, output[-2000:]
