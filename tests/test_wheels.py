"""The packages as users get them: the wheel tools/wheels.sh builds installs
where there is no compiler, passes the core's tests and is manylinux2014; the
sdist holds sources, not build output, pictures or caches, and installs."""

import os
import platform
import re
import shutil
import subprocess
import sys
import tarfile
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent
TESTS = Path(__file__).resolve().parent
CORE_TESTS = ["test_rules.py", "test_classes.py", "test_binding.py", "test_report.py", "test_ink_coverage.py",
              "test_module.py", "test_pool.py", "test_threads.py", "test_leaks.py"]
HELPERS = ["conftest.py", "ink_layouts.py"]
COMPILERS = ("cc", "c++", "gcc", "g++", "clang", "clang++")
# What a source distribution must not carry: build output, pictures, wheels, caches.
NOT_SOURCES = re.compile(r"(^|/)(build|dist|wheelhouse|__pycache__|\.[a-z]+_cache|\.hypothesis)/|"
                         r"\.(so|pyd|o|whl|png|egg-info)$")

pytestmark = pytest.mark.skipif(sys.platform != "linux" or platform.machine() != "x86_64",
                                reason="tools/wheels.sh builds the Linux x86-64 wheel")


def _run(command, **options) -> subprocess.CompletedProcess:
    done = subprocess.run([str(part) for part in command], capture_output=True, text=True, timeout=1800, **options)
    assert done.returncode == 0, f"{command}\n{done.stdout[-3000:]}\n{done.stderr[-3000:]}"
    return done


def _venv(folder: Path) -> Path:
    _run([sys.executable, "-m", "venv", folder])
    return folder / "bin" / "python"


@pytest.fixture(scope="module")
def built(tmp_path_factory):
    """The wheel, the sdist, and the sdist being installed into a fresh
    environment meanwhile (it compiles: the wheel's tests run beside it)."""
    out = tmp_path_factory.mktemp("dist")
    _run([ROOT / "tools" / "wheels.sh", out])
    (wheel,), (sdist,) = list(out.glob("*.whl")), list(out.glob("*.tar.gz"))
    home = tmp_path_factory.mktemp("sdist")
    python = _venv(home / "venv")
    installing = subprocess.Popen([python, "-m", "pip", "install", "-q", sdist], stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT, text=True)
    yield wheel, sdist, (home, installing)
    installing.kill()
    installing.wait()


def test_the_wheel_installs_without_a_compiler_and_passes_the_core_tests(built, tmp_path):
    wheel = built[0]
    assert re.fullmatch(r"tessary-[^-]+-cp310-abi3-manylinux2014_x86_64\.manylinux_2_17_x86_64\.whl", wheel.name)
    python = _venv(tmp_path / "venv")
    # Only the environment's own commands: pip could not build anything here if it tried.
    bare = {**os.environ, "PATH": str(python.parent)}
    bare.pop("PYTHONPATH", None)
    assert [c for c in COMPILERS if shutil.which(c, path=bare["PATH"])] == []
    _run([python, "-m", "pip", "install", "-q", "--only-binary", ":all:", wheel, "pytest", "hypothesis",
          "auditwheel"], env=bare)
    located = _run([python, "-c", "import tessary._core as core; print(core.__file__)"], env=bare, cwd=tmp_path)
    assert Path(located.stdout.strip()).is_relative_to(tmp_path / "venv")

    shown = _run([python, "-m", "auditwheel", "show", wheel], env=bare).stdout
    policy = re.search(r'"manylinux_(\d+)_(\d+)_x86_64"', shown)
    assert policy and (int(policy[1]), int(policy[2])) <= (2, 17), shown

    copy = tmp_path / "tests"
    copy.mkdir()
    for name in CORE_TESTS + HELPERS:
        shutil.copy(TESTS / name, copy)
    result = _run([python, "-m", "pytest", "-q", "-p", "no:cacheprovider", *CORE_TESTS], env=bare, cwd=copy)
    assert re.search(r"\d+ passed", result.stdout) and "failed" not in result.stdout


def test_the_sdist_holds_sources_only_and_installs(built):
    _, sdist, (home, installing) = built
    with tarfile.open(sdist) as archive:
        names = [name.split("/", 1)[1] for name in archive.getnames() if "/" in name]
    assert [name for name in names if NOT_SOURCES.search(name)] == []
    assert {"CMakeLists.txt", "pyproject.toml", "src/pixel/ink.cpp", "src/tessary/page.js"} <= set(names)
    output, _ = installing.communicate(timeout=1800)
    assert installing.returncode == 0, output[-3000:]
    said = _run([home / "venv" / "bin" / "tessary", "--version"], cwd=home).stdout
    assert said.startswith("tessary ") and _run([home / "venv" / "bin" / "python", "-c", "import tessary._core"],
                                                cwd=home)


def test_the_release_builds_one_abi3_wheel_a_platform():
    pytest.importorskip("cibuildwheel")
    builds = set()
    for system in ("linux", "macos", "windows"):
        builds |= set(_run([sys.executable, "-m", "cibuildwheel", "--print-build-identifiers", "--platform", system],
                           cwd=ROOT).stdout.split())
    assert builds == {"cp310-manylinux_x86_64", "cp310-manylinux_aarch64", "cp310-musllinux_x86_64",
                      "cp310-macosx_x86_64", "cp310-macosx_arm64", "cp310-win_amd64"}
