#!/usr/bin/env bash
# Runs the test suite against an instrumented build of the extension.
#   tools/sanitize.sh address   AddressSanitizer + UndefinedBehaviorSanitizer, whole suite
#   tools/sanitize.sh thread    ThreadSanitizer, the threaded tests
# Any report fails the run. The interpreter itself is not instrumented, so the
# runtime is preloaded and leak detection (which would report the interpreter's
# own lifetime allocations) is off.
set -euo pipefail
kind="${1:-address}"
cd "$(dirname "$0")/.."
venv="${TESSARY_SANITIZE_VENV:-/tmp/tessary-sanitize-$kind}"
[ -x "$venv/bin/python" ] || python3 -m venv "$venv"
"$venv/bin/python" -m pip install -q scikit-build-core numpy pytest hypothesis
"$venv/bin/python" -m pip install -q --no-build-isolation --force-reinstall --no-deps \
  -Ccmake.define.TESSARY_SANITIZE="$kind" -Ccmake.build-type=RelWithDebInfo -Cbuild-dir="build/sanitize-$kind" .
case "$kind" in
  address)
    # libstdc++ is preloaded too: the interpreter is C, and the sanitizer can only
    # intercept C++ exceptions if the C++ runtime is there when it starts.
    runtime="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libstdc++.so.6)"
    export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:halt_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    shift || true
    # This GCC's AddressSanitizer does not hold its allocator's locks across
    # fork(): a child forked while another thread allocates can wait forever in
    # malloc (seen once in some thousand forks: a new worker in the child stuck
    # in operator new). The test runs in the plain and the thread runs.
    LD_PRELOAD="$runtime" "$venv/bin/python" -m pytest -q -p no:cacheprovider \
      --deselect tests/test_pool.py::test_pool_works_in_forked_children "$@"
    ;;
  thread)
    runtime="$(g++ -print-file-name=libtsan.so) $(g++ -print-file-name=libstdc++.so.6)"
    # die_after_fork=0: the fork tests start a new pool in the child, which TSan refuses by default.
    export TSAN_OPTIONS="halt_on_error=1:report_signal_unsafe=0:die_after_fork=0"
    shift || true
    LD_PRELOAD="$runtime" "$venv/bin/python" -m pytest -q -p no:cacheprovider -k "thread or pool or fork" "$@"
    ;;
  *)
    echo "usage: tools/sanitize.sh [address|thread] [pytest args...]" >&2
    exit 2
    ;;
esac
