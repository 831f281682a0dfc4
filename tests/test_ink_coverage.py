import collections
import gc
import re
import subprocess
import sys
import threading
import time
from pathlib import Path

import numpy as np
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import ink_layouts
from ink_layouts import MAX64, reference
from tessary import _core
from tessary._core import ink_coverage

WHITE = (255, 255, 255)


def scene(rows=37, cols=29, channels=4, seed=0):
    """Ink sprinkled over white, with near-white pixels around the tolerance."""
    rng = np.random.default_rng(seed)
    buffer = np.full((rows, cols, channels), 255, np.uint8)
    pick = rng.random((rows, cols))
    buffer[pick < 0.3] = rng.integers(0, 256, (int((pick < 0.3).sum()), channels), dtype=np.uint8)
    near = (pick >= 0.3) & (pick < 0.5)
    buffer[near] = rng.integers(240, 256, (int(near.sum()), channels), dtype=np.uint8)
    return buffer


def read_only(buffer):
    buffer = buffer.copy()
    buffer.flags.writeable = False
    return buffer


LAYOUTS = {
    "rgba": lambda b: b,
    "rgb": lambda b: np.ascontiguousarray(b[..., :3]),
    "five_channels": lambda b: np.concatenate([b, b[..., :1]], axis=2),
    "flipped_rows": lambda b: b[::-1],
    "flipped_columns": lambda b: b[:, ::-1],
    "reversed_channels": lambda b: b[..., ::-1],
    "every_second_column": lambda b: b[:, ::2],
    "rows_columns_swapped": lambda b: b.transpose(1, 0, 2),
    "planar": lambda b: np.asfortranarray(b),
    "broadcast_row": lambda b: np.broadcast_to(b[len(b) // 2 :][:1], b.shape),
    "broadcast_pixel": lambda b: np.broadcast_to(b[len(b) // 2 :, b.shape[1] // 2 :][:1, :1], b.shape),
    "read_only": read_only,
}

REGIONS = [
    (0, 0, MAX64, MAX64),
    (1, 2, 30, 20),
    (5, 5, 6, 100),  # one row
    (3, 0, 100, 1),  # one column
    (10, 3, 11, 4),  # one pixel
    (7, 7, 7, 9),  # empty
    (30, 20, 4, 2),  # inverted
]


@pytest.mark.parametrize("layout", LAYOUTS)
def test_every_layout_matches_numpy_and_a_contiguous_copy(layout):
    view = LAYOUTS[layout](scene())
    copy = np.ascontiguousarray(view)
    for region in REGIONS:
        for bg, tol in [(WHITE, 8), ((0, 128, 255), 0), (WHITE, 254)]:
            got = ink_coverage(view, region, bg, tol)
            assert got == reference(view, region, bg, tol), (region, bg, tol)
            assert got == ink_coverage(copy, region, bg, tol)


@settings(max_examples=150, deadline=None)
@given(
    shape=st.tuples(st.integers(0, 40), st.integers(0, 40), st.integers(3, 6)),
    region=st.tuples(*[st.integers(0, 50)] * 4),
    bg=st.tuples(*[st.integers(0, 255)] * 3),
    tol=st.integers(0, 255),
    layout=st.sampled_from(sorted(LAYOUTS)),
    seed=st.integers(0, 2**32 - 1),
)
def test_random_buffers_match_numpy(shape, region, bg, tol, layout, seed):
    view = LAYOUTS[layout](scene(*shape, seed=seed))
    assert ink_coverage(view, region, bg, tol=tol) == reference(view, region, bg, tol)


def test_example_of_clamped_area():
    buffer = np.zeros((4, 6, 4), np.uint8)
    buffer[1, 2:4, :3] = 200
    buffer[3, 2, 1] = 9  # just past the default tolerance
    buffer[2, 3, 0] = 8  # a difference equal to it is background
    assert ink_coverage(buffer, (1, 2, 10, 4), (0, 0, 0)) == 0.5


@pytest.mark.parametrize(
    "pixel, bg, tol, expected",
    [
        ((247, 255, 255), WHITE, 8, 0.0),
        ((246, 255, 255), WHITE, 8, 1.0),
        ((255, 255, 240), WHITE, 8, 1.0),
        ((255, 9, 255), WHITE, 246, 0.0),
        ((255, 8, 255), WHITE, 246, 1.0),
        ((0, 0, 0), WHITE, 255, 0.0),
        ((254, 255, 255), WHITE, 0, 1.0),
        ((255, 255, 255), WHITE, 0, 0.0),
        ((10, 10, 10, 0), WHITE, 8, 1.0),  # alpha is never read
        ((255, 255, 255, 0), WHITE, 8, 0.0),
        ((0, 200, 0, 255, 255), (0, 200, 0), 8, 0.0),
    ],
)
def test_single_pixel(pixel, bg, tol, expected):
    buffer = np.array([[pixel]], np.uint8)
    assert ink_coverage(buffer, (0, 0, 1, 1), bg, tol) == expected


@pytest.mark.parametrize(
    "region, expected",
    [
        ((0, 0, 10, 10), 1.0),
        ((3, 3, 100, 100), 1.0),
        ((0, 0, MAX64, MAX64), 1.0),
        ((5, 0, MAX64, MAX64), 0.0),
        ((0, 5, MAX64, MAX64), 0.0),
        ((3, 0, 3, 5), 0.0),
        ((0, 3, 5, 2), 0.0),
    ],
)
def test_region_is_clamped_to_the_buffer(region, expected):
    assert ink_coverage(np.zeros((5, 5, 4), np.uint8), region, WHITE) == expected


@pytest.mark.parametrize("shape", [(0, 5, 4), (5, 0, 4), (0, 0, 3)])
def test_buffer_without_pixels(shape):
    for region in REGIONS:
        assert ink_coverage(np.zeros(shape, np.uint8), region, WHITE) == 0.0


@pytest.mark.parametrize("channels", [0, 1, 2])
@pytest.mark.parametrize("region", [(0, 0, 1, 1), (0, 0, 9, 9)])  # counted here / on the pool
def test_fewer_than_three_channels_is_an_internal_failure(channels, region):
    buffer = np.zeros((9, 9, channels), np.uint8)
    before = sys.getrefcount(buffer)
    with pytest.raises(BaseException, match="out of range") as caught:
        ink_coverage(buffer, region, WHITE)
    assert type(caught.value).__bases__ == (BaseException,)
    after = sys.getrefcount(buffer)
    assert after == before
    assert ink_coverage(buffer, (0, 9, 9, 9), WHITE) == 0.0  # empty: channels not looked at


class Subclass(np.ndarray):
    pass


def test_integer_like_arguments_are_accepted():
    buffer = scene()
    Region = collections.namedtuple("Region", "row0 col0 row1 col1")
    expected = ink_coverage(buffer, (2, 3, 30, 25), (250, 255, 255), 3)
    assert ink_coverage(
        buffer,
        Region(np.int64(2), np.uint8(3), np.uint64(30), np.int16(25)),
        (np.uint8(250), np.int64(255), 255),
        tol=np.int32(3),
    ) == expected
    assert ink_coverage(tol=3, bg=(250, 255, 255), region=(2, 3, 30, 25), buffer=buffer) == expected
    assert ink_coverage(buffer.view(Subclass), (2, 3, 30, 25), (250, 255, 255), 3) == expected


GOOD = (np.zeros((3, 3, 4), np.uint8), (0, 0, 3, 3), WHITE)


def call(**changes):
    arguments = dict(zip(("buffer", "region", "bg"), GOOD))
    arguments.update(changes)
    return lambda: ink_coverage(**arguments)


@pytest.mark.parametrize(
    "make, error, message",
    [
        (lambda: ink_coverage(GOOD[0], GOOD[1]), TypeError,
         "ink_coverage() missing 1 required positional argument: 'bg'"),
        (lambda: ink_coverage(), TypeError,
         "ink_coverage() missing 3 required positional arguments: 'buffer', 'region', and 'bg'"),
        (lambda: ink_coverage(*GOOD, 8, 9), TypeError,
         "ink_coverage() takes from 3 to 4 positional arguments but 5 were given"),
        (lambda: ink_coverage(*GOOD, colour=1), TypeError,
         "ink_coverage() got an unexpected keyword argument 'colour'"),
        (lambda: ink_coverage(*GOOD, **{"".join(["reg", "ion"]): (0, 0, 1, 1)}), TypeError,
         "ink_coverage() got multiple values for argument 'region'"),
        (call(buffer=[[[0, 0, 0]]]), TypeError,
         "argument 'buffer': 'list' object is not an instance of 'ndarray'"),
        (call(buffer=None), TypeError, "argument 'buffer': 'None' is not an instance of 'ndarray'"),
        (call(buffer=np.zeros((3, 3), np.uint8)), TypeError,
         "argument 'buffer': expected an array of 3 dimensions, got 2 dimensions"),
        (call(buffer=np.zeros((3, 3, 4), np.float32)), TypeError,
         "argument 'buffer': expected an array of dtype uint8, got dtype float32"),
        (call(buffer=np.zeros((3, 3, 4), np.int8)), TypeError,
         "argument 'buffer': expected an array of dtype uint8, got dtype int8"),
        (call(buffer=None, region=None), TypeError,
         "argument 'buffer': 'None' is not an instance of 'ndarray'"),
        (call(region=[0, 0, 3, 3]), TypeError,
         "argument 'region': 'list' object is not an instance of 'tuple'"),
        (call(region=(0, 0, 3)), ValueError, "expected tuple of length 4, but got tuple of length 3"),
        (call(region=(0, 0, 3.0, 3)), TypeError,
         "argument 'region': 'float' object cannot be interpreted as an integer"),
        (call(region=(0, -1, 3, 3)), OverflowError, "can't convert negative int to unsigned"),
        (call(region=(0, 0, 2**64, 3)), OverflowError, "int too big to convert"),
        (call(region=(0, 0, 2**64, 3), bg=None), OverflowError, "int too big to convert"),
        (call(bg=None), TypeError, "argument 'bg': 'None' is not an instance of 'tuple'"),
        (call(bg=(0, 0, 0, 0)), ValueError, "expected tuple of length 3, but got tuple of length 4"),
        (call(bg=(0, 3.0, 0)), TypeError,
         "argument 'bg': 'float' object cannot be interpreted as an integer"),
        (call(bg=(0, 0, 256)), OverflowError, "out of range integral type conversion attempted"),
        (call(bg=(-1, 0, 0)), OverflowError, "out of range integral type conversion attempted"),
        (call(bg=(2**70, 0, 0)), OverflowError, "int too big to convert"),
        (call(tol=256), OverflowError, "out of range integral type conversion attempted"),
        (call(tol=-1), OverflowError, "out of range integral type conversion attempted"),
        (call(tol=None), TypeError,
         "argument 'tol': 'NoneType' object cannot be interpreted as an integer"),
        (call(tol="8"), TypeError, "argument 'tol': 'str' object cannot be interpreted as an integer"),
    ],
)
def test_argument_errors(make, error, message):
    buffer = GOOD[0]
    gc.collect()  # earlier cases' tracebacks may still hold it
    before = sys.getrefcount(buffer)
    for _ in range(3):
        try:
            make()
        except error:
            pass
    after = sys.getrefcount(buffer)
    assert after == before
    with pytest.raises(error, match=re.escape(message) + "$") as caught:
        make()
    assert type(caught.value) is error


def test_reference_count_unchanged_after_success():
    buffer = scene()
    before = sys.getrefcount(buffer)
    for region in REGIONS:
        ink_coverage(buffer, region, WHITE)
    after = sys.getrefcount(buffer)
    assert after == before


def test_signature_and_exports():
    import tessary

    assert _core.__all__[-2:] == ["classify", "ink_coverage"]
    assert tessary.ink_coverage is ink_coverage
    assert ink_coverage.__text_signature__ == "(buffer, region, bg, tol=8)"
    assert ink_coverage.__doc__ == (
        "Foreground ink coverage of a region of an RGBA buffer.\n"
        "region is (row0, col0, row1, col1) in buffer pixels."
    )


def test_interpreter_lock_is_released_during_the_count():
    # Zero strides take the general path: a long count over little memory.
    huge = np.broadcast_to(np.array([0, 0, 0, 255], np.uint8), (6000, 6000, 4))
    span = []

    def count():
        span.append(time.perf_counter())
        ink_coverage(huge, (0, 0, MAX64, MAX64), WHITE)
        span.append(time.perf_counter())

    worker = threading.Thread(target=count)
    ticks = []
    worker.start()
    while worker.is_alive():
        ticks.append(time.perf_counter())
        time.sleep(0.0005)
    worker.join()
    # With the lock held for the count, this thread could not run in between.
    assert any(span[0] < tick < span[1] for tick in ticks)


@pytest.mark.parametrize("cols", [15, 16, 17, 31, 48, 100, 257])
@pytest.mark.parametrize("bg, tol", [(WHITE, 8), ((0, 0, 0), 3), ((0, 128, 255), 0), ((7, 250, 128), 127), ((1, 2, 3), 255)])
def test_packed_rows_at_every_width_and_band_edge(cols, bg, tol):
    """Wide rows counted many pixels at a time, then a tail; every channel value
    one step inside and outside its band, and alpha at its extremes."""
    rng = np.random.default_rng(cols * 1000 + tol)
    edges = []
    for b in bg:
        low, high = max(b - tol, 0), min(b + tol, 255)
        edges.append([v for v in (low - 1, low, low + 1, high - 1, high, high + 1, 0, 255) if 0 <= v <= 255])
    buffer = np.empty((9, cols, 4), np.uint8)
    for channel in range(3):
        buffer[..., channel] = rng.choice(edges[channel], size=(9, cols))
    buffer[..., 3] = rng.choice([0, 1, 254, 255], size=(9, cols))
    for region in [(0, 0, 9, cols), (1, 1, 8, cols - 1), (4, 0, 5, cols)]:
        want = reference(buffer, region, bg, tol)
        assert ink_coverage(buffer, region, bg, tol) == want
        assert ink_coverage(np.ascontiguousarray(buffer[..., :3]), region, bg, tol) == want


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="guard pages through mmap and mprotect")
@pytest.mark.parametrize("col_stride", [3, 4, 5, 8])
@pytest.mark.parametrize("channels", [3, 4, 5])
def test_no_byte_outside_the_pixels_is_read(channels, col_stride):
    """Every layout, flush against an inaccessible page on either side, in a
    child process so that a fault fails this case rather than the run."""
    probe = Path(ink_layouts.__file__)
    done = subprocess.run([sys.executable, str(probe), str(channels), str(col_stride)],
                          capture_output=True, text=True, timeout=600)
    last = done.stdout.strip().splitlines()[-1:]
    assert done.returncode == 0, f"exit {done.returncode} at {last}\n{done.stderr[-3000:]}"
    assert last == ["done, 0 mismatches"], done.stdout[-3000:]


@pytest.mark.parametrize("channel_stride", [1, 2])
@pytest.mark.parametrize("col_stride", [3, 4, 5, 8])
@pytest.mark.parametrize("channels", [3, 4, 5])
@settings(max_examples=60, deadline=None)
@given(
    rows=st.integers(1, 4),
    cols=st.sampled_from(ink_layouts.WIDTHS),
    signs=st.tuples(*[st.sampled_from([1, -1])] * 3),
    region=st.tuples(*[st.integers(0, 105)] * 4),
    seed=st.integers(0, 2**32 - 1),
)
def test_strided_views_of_memory_that_ends_with_them(channels, col_stride, channel_stride, rows, cols, signs, region,
                                                     seed):
    """Each view lies in a fresh allocation of exactly its span, so that an
    instrumented build reports any read past either end."""
    shape = (rows, cols, channels)
    strides = tuple(sign * s for sign, s in zip(signs, (cols * col_stride, col_stride, channel_stride)))
    lowest, highest = ink_layouts.span(shape, strides)
    rng = np.random.default_rng(seed)
    memory = np.where(rng.random(highest - lowest + 1) < 0.5, 255, rng.integers(0, 256, highest - lowest + 1))
    view = ink_layouts.view_of(memory.astype(np.uint8), shape, strides)
    for region in [region] + ink_layouts.regions(rows, cols):
        assert ink_coverage(view, region, WHITE, 8) == reference(view, region, WHITE, 8), region
