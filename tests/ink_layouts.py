"""Strided uint8 views placed exactly at the edges of their memory, and a probe
that counts ink on them next to an inaccessible page.

    python tests/ink_layouts.py CHANNELS COL_STRIDE

runs every probe for one channel count and column stride, printing each layout
before it is counted, so that a crash names the layout that caused it.
"""

import ctypes
import itertools
import mmap
import sys

import numpy as np

WIDTHS = [1, 15, 16, 17, 31, 32, 33, 64, 100]
ROWS = [1, 3]
MAX64 = 2**64 - 1
PROT_NONE = 0  # from <sys/mman.h>; the mmap module exports only the other protections


def reference(view, region, bg, tol=8):
    row0, col0, row1, col1 = region
    block = view[row0:row1, col0:col1, :3].astype(np.int16)
    area = block.shape[0] * block.shape[1]
    if area == 0:
        return 0.0
    return float(np.count_nonzero((np.abs(block - np.array(bg, np.int16)) > tol).any(axis=2))) / area


def span(shape, strides):
    """(lowest, highest) byte offset of the elements from element (0, 0, 0)."""
    reach = [(n - 1) * s for n, s in zip(shape, strides)]
    return sum(r for r in reach if r < 0), sum(r for r in reach if r > 0)


def view_of(memory, shape, strides):
    """The view with these strides over all of `memory`, which holds exactly its span."""
    lowest, highest = span(shape, strides)
    assert len(memory) == highest - lowest + 1
    return np.ndarray(shape, np.uint8, buffer=memory, offset=-lowest, strides=strides)


def layouts(channels, col_stride):
    """Shapes and strides, every sign, with channel strides 1, 2 and planar."""
    for rows, cols, channel_kind in itertools.product(ROWS, WIDTHS, ("1", "2", "planar")):
        row_stride = cols * col_stride
        channel_stride = {"1": 1, "2": 2, "planar": rows * row_stride}[channel_kind]
        for signs in itertools.product((1, -1), repeat=3):
            strides = tuple(sign * s for sign, s in zip(signs, (row_stride, col_stride, channel_stride)))
            yield (rows, cols, channels), strides


def regions(rows, cols):
    """The whole view, and regions ending at the last column, the last row or both."""
    return [(0, 0, rows, cols), (0, cols - 1, rows, cols), (rows - 1, 0, MAX64, MAX64),
            (rows - 1, cols - 1, rows, cols), (0, 0, rows, max(cols - 1, 1))]


class GuardedMemory:
    """`size` readable bytes with an inaccessible page right before and right after."""

    def __init__(self, size):
        page = mmap.PAGESIZE
        pages = -(-size // page)
        self._map = mmap.mmap(-1, (pages + 2) * page)
        address = ctypes.addressof(ctypes.c_char.from_buffer(self._map))
        libc = ctypes.CDLL(None, use_errno=True)
        libc.mprotect.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int]
        for guard in (address, address + (pages + 1) * page):
            if libc.mprotect(guard, page, PROT_NONE) != 0:
                raise OSError(ctypes.get_errno(), "mprotect failed")
        self.front = (ctypes.c_uint8 * (pages * page)).from_address(address + page)

    def exactly(self, size, at_end):
        """`size` bytes touching the guard after them (at_end) or before them."""
        whole = np.frombuffer(self.front, np.uint8)
        return whole[len(whole) - size:] if at_end else whole[:size]


def probe(channels, col_stride):
    from tessary import ink_coverage

    rng = np.random.default_rng(channels * 100 + col_stride)
    memory = GuardedMemory(1 << 16)
    failures = 0
    for shape, strides in layouts(channels, col_stride):
        lowest, highest = span(shape, strides)
        for at_end in (True, False):
            print(f"layout {shape} strides {strides} {'at end' if at_end else 'at start'}", flush=True)
            room = memory.exactly(highest - lowest + 1, at_end)
            room[:] = np.where(rng.random(len(room)) < 0.5, 255, rng.integers(0, 256, len(room)))
            view = view_of(room, shape, strides)
            for region, (bg, tol) in itertools.product(regions(*shape[:2]), [((255, 255, 255), 8), ((0, 0, 0), 0)]):
                got, want = ink_coverage(view, region, bg, tol), reference(view, region, bg, tol)
                if got != want:
                    failures += 1
                    print(f"MISMATCH region {region} bg {bg} tol {tol}: {got} != {want}", flush=True)
    print(f"done, {failures} mismatches", flush=True)
    return failures


if __name__ == "__main__":
    sys.exit(1 if probe(int(sys.argv[1]), int(sys.argv[2])) else 0)
