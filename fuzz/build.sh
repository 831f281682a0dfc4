#!/usr/bin/env bash
# Builds tessary._core with clang's coverage and AddressSanitizer instrumentation
# into a fuzzing venv, then fuzzes for the given time (seconds, default 60):
#   fuzz/build.sh [seconds]
set -euo pipefail
seconds="${1:-60}"
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  apt-get update -qq && apt-get install -y -qq clang libclang-rt-14-dev
fi
venv="${TESSARY_FUZZ_VENV:-/tmp/tessary-fuzz}"
[ -x "$venv/bin/python" ] || python3 -m venv "$venv"
"$venv/bin/python" -m pip install -q atheris scikit-build-core numpy
CC=clang CXX=clang++ "$venv/bin/python" -m pip install -q --no-build-isolation --force-reinstall --no-deps \
  -Ccmake.define.TESSARY_SANITIZE=fuzzer -Ccmake.build-type=RelWithDebInfo -Cbuild-dir=build/fuzzer .
runtime="$("$venv/bin/python" -c 'import atheris, os; print(os.path.join(atheris.path(), "asan_with_fuzzer.so"))')"
work="$(mktemp -d)"
cp fuzz/corpus/* "$work/" 2>/dev/null || true
export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=1:quarantine_size_mb=64"
LD_PRELOAD="$runtime" "$venv/bin/python" fuzz/run.py "$work" fuzz/corpus \
  -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/"
echo "corpus after the run: $work"
