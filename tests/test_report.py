"""CollisionReport and the JSON text it writes."""

import json
import math
import re
import struct
import sys
from decimal import Decimal

import pytest
from conftest import raises_exactly
from hypothesis import given, settings
from hypothesis import strategies as st

from tessary._core import Collision, CollisionReport

BOX = (0.0, 0.0, 1.0, 1.0)


def make(kind="clipping", severity=1.0, a_id="a", a_role="legend", a_box=BOX, b_box=BOX):
    return Collision(kind, a_role, a_id, a_box, "axes-region", "b", b_box, severity)


def json_number(value):
    """The text of `value` as the report writes it."""
    text = CollisionReport([make(severity=value)]).to_json()
    return re.search(r'"severity":(.*)}]$', text).group(1)


def test_example_line():
    c = Collision("clipping", "legend", "L0", (10, 20.5, 110, 40), "axes-region", "ax0", (0, 0, 100, 80), 0.25)
    assert CollisionReport([c]).to_json() == (
        '[{"kind":"clipping","a_role":"legend","a_id":"L0","a_box":[10.0,20.5,110.0,40.0],'
        '"b_role":"axes-region","b_id":"ax0","b_box":[0.0,0.0,100.0,80.0],"severity":0.25}]'
    )
    assert CollisionReport([c, c]).to_json() == "[" + CollisionReport([c]).to_json()[1:-1] + "," + CollisionReport([c]).to_json()[1:]


@pytest.mark.parametrize(
    "value, text",
    [
        (1e15, "1000000000000000.0"),
        (1e16, "1e+16"),
        (0.00001, "0.00001"),
        (0.000001, "1e-6"),
        (0.000012, "0.000012"),
        (1.25e-7, "1.25e-7"),
        (5e-324, "5e-324"),
        (1.7976931348623157e308, "1.7976931348623157e+308"),
        (1.5e17, "1.5e+17"),
        (1e100, "1e+100"),
        (-0.0, "-0.0"),
        (0.0, "0.0"),
        (3.0, "3.0"),
        (-3.0, "-3.0"),
        (1234.5, "1234.5"),
        (0.1 + 0.2, "0.30000000000000004"),
        (0.02, "0.02"),
        (9007199254740992.0, "9007199254740992.0"),
        (123456789012345.6, "123456789012345.6"),
        (math.nan, "null"),
        (math.inf, "null"),
        (-math.inf, "null"),
    ],
)
def test_number_layout(value, text):
    assert json_number(value) == text


def significant(text):
    """Significant digits and decimal exponent of a number's text, layout aside."""
    number = Decimal(text).copy_abs().normalize()
    sign, digits, exponent = number.as_tuple()
    return "".join(map(str, digits)), exponent + len(digits) - 1


@settings(max_examples=2000, deadline=None)
@given(st.one_of(st.floats(allow_nan=False, allow_infinity=False), st.integers(0, 2**64 - 1).map(lambda b: struct.unpack("<d", struct.pack("<Q", b))[0])))
def test_numbers_round_trip_with_the_shortest_digits(value):
    text = json_number(value)
    if not math.isfinite(value):
        assert text == "null"
        return
    parsed = json.loads(text)
    assert struct.pack("<d", parsed) == struct.pack("<d", float(value))
    if value != 0:
        assert significant(text) == significant(repr(value))


def test_escaping():
    every_control = "".join(map(chr, range(32)))
    text = every_control + '"\\/\x7fé\U0001f600'
    out = CollisionReport([make(a_id=text, a_role='q"b\\n\n\t\x01')]).to_json()
    assert '"a_role":"q\\"b\\\\n\\n\\t\\u0001"' in out
    expected_controls = "\\u0000\\u0001\\u0002\\u0003\\u0004\\u0005\\u0006\\u0007\\b\\t\\n\\u000b\\f\\r\\u000e\\u000f" + "".join(
        f"\\u{c:04x}" for c in range(16, 32)
    )
    assert f'"a_id":"{expected_controls}\\"\\\\/\x7fé\U0001f600"' in out
    assert json.loads(out)[0]["a_id"] == text


def test_kinds_in_json_and_by_type():
    kinds = ["text_text", "clipping", "over_data", "element_element", "Clipping", "", "over-data"]
    report = CollisionReport([make(kind=k, a_id=str(i)) for i, k in enumerate(kinds)])
    assert [d["kind"] for d in json.loads(report.to_json())] == kinds[:4] + ["element_element"] * 3
    for i, kind in enumerate(kinds):
        assert [c.a_id for c in report.by_type(kind)] == [str(i)]
    assert report.by_type("nothing") == [] and report.by_type(kind="Clipping")[0].kind == "Clipping"


@pytest.mark.parametrize(
    "severities, total, worst",
    [
        ([], -0.0, 0.0),
        ([-1.0], -1.0, 0.0),
        ([0.0, 0.0], 0.0, 0.0),
        ([-0.0], -0.0, 0.0),
        ([0.5, math.nan, 0.25], math.nan, 0.5),
        ([math.nan, math.nan], math.nan, 0.0),
        ([1.0, math.inf], math.inf, math.inf),
        ([math.inf, -math.inf], math.nan, math.inf),
        ([0.1, 0.2, 0.3], 0.1 + 0.2 + 0.3, 0.3),
    ],
)
def test_summaries(severities, total, worst):
    report = CollisionReport([make(severity=s) for s in severities])
    got = report.total()
    assert (math.isnan(got) and math.isnan(total)) or struct.pack("<d", got) == struct.pack("<d", total)
    assert struct.pack("<d", report.severity) == struct.pack("<d", worst)
    assert report.has_collisions is bool(severities)
    assert report.exit_code() == int(bool(severities)) and type(report.exit_code()) is int
    assert json.loads(report.to_json(), parse_constant=lambda c: pytest.fail(c)) is not None


def test_containers_and_copies():
    items = [make(a_id="x"), make(a_id="y")]
    for container in (items, tuple(items)):
        report = CollisionReport(container)
        assert [c.a_id for c in report.collisions] == ["x", "y"]
    report = CollisionReport(collisions=items)
    items.append(make(a_id="z"))
    first, second = report.collisions, report.collisions
    assert [c.a_id for c in first] == ["x", "y"]
    assert first is not second and all(a is not b for a, b in zip(first, second))
    assert all(c not in items for c in first + report.by_type("clipping"))


@pytest.mark.parametrize(
    "call, exc_type, message",
    [
        (lambda: CollisionReport(), TypeError, "CollisionReport.__new__() missing 1 required positional argument: 'collisions'"),
        (lambda: CollisionReport([], []), TypeError, "CollisionReport.__new__() takes 1 positional arguments but 2 were given"),
        (lambda: CollisionReport(x=[]), TypeError, "CollisionReport.__new__() got an unexpected keyword argument 'x'"),
        (lambda: CollisionReport("abc"), TypeError, "argument 'collisions': Can't extract `str` to `Vec`"),
        (lambda: CollisionReport({make()}), TypeError, "argument 'collisions': 'set' object is not an instance of 'Sequence'"),
        (lambda: CollisionReport(c for c in [make()]), TypeError, "argument 'collisions': 'generator' object is not an instance of 'Sequence'"),
        (lambda: CollisionReport(None), TypeError, "argument 'collisions': 'None' is not an instance of 'Sequence'"),
        (lambda: CollisionReport([make(), 1]), TypeError, "argument 'collisions': 'int' object is not an instance of 'Collision'"),
        (lambda: CollisionReport([None]), TypeError, "argument 'collisions': 'None' is not an instance of 'Collision'"),
        (lambda: CollisionReport([]).by_type(), TypeError, "CollisionReport.by_type() missing 1 required positional argument: 'kind'"),
        (lambda: CollisionReport([]).by_type(1), TypeError, "argument 'kind': 'int' object is not an instance of 'str'"),
        (lambda: CollisionReport([]).total(1), TypeError, "CollisionReport.total() takes 0 positional arguments but 1 was given"),
        (lambda: CollisionReport([]).to_json(indent=2), TypeError, "CollisionReport.to_json() got an unexpected keyword argument 'indent'"),
        (lambda: CollisionReport([]).exit_code(1, 2), TypeError, "CollisionReport.exit_code() takes 0 positional arguments but 2 were given"),
    ],
)
def test_messages(call, exc_type, message):
    with raises_exactly(exc_type, message):
        call()


def test_by_type_lone_surrogate():
    with pytest.raises(UnicodeEncodeError):
        CollisionReport([make()]).by_type("\ud800")


def test_class_properties():
    assert (CollisionReport.__name__, CollisionReport.__module__) == ("CollisionReport", "builtins")
    assert CollisionReport.__doc__ == "The report exposed to Python."
    assert CollisionReport.__text_signature__ == "(collisions)"
    assert CollisionReport.by_type.__text_signature__ == "($self, kind)"
    assert CollisionReport.total.__text_signature__ == "($self)" and CollisionReport.total.__doc__ is None
    report = CollisionReport([])
    for name in ("collisions", "severity", "has_collisions", "extra"):
        with pytest.raises(AttributeError):
            setattr(report, name, 1)
    with pytest.raises(TypeError):
        type("Sub", (CollisionReport,), {})


def test_reference_counts_on_success_and_failure():
    items = [make(), make()]
    bad = items + [1]
    before = [sys.getrefcount(o) for o in (items, bad, *items)]
    for _ in range(100):
        CollisionReport(items).to_json()
        with pytest.raises(TypeError):
            CollisionReport(bad)
    assert [sys.getrefcount(o) for o in (items, bad, *items)] == before


@pytest.mark.parametrize("sizes", [(2000, 1, 0, 300), (0, 5000), (1, 1, 1)])
def test_to_json_in_sequence_and_across_threads(sizes):
    """Each text is whole and its own, whatever was written before it and where."""
    import threading

    def report(n):
        ids = ["\x00\"\\" * (i % 3) + f"é{i}" for i in range(n)]
        return CollisionReport([make(a_id=ids[i], severity=i / 7, a_box=(i, -i, i * 1e-6, 1e20)) for i in range(n)])

    def expected(n):
        return [
            {"kind": "clipping", "a_role": "legend", "a_id": "\x00\"\\" * (i % 3) + f"é{i}", "a_box": [i, -i, i * 1e-6, 1e20],
             "b_role": "axes-region", "b_id": "b", "b_box": list(BOX), "severity": i / 7}
            for i in range(n)
        ]

    reports = [report(n) for n in sizes]
    for r, n in zip(reports, sizes):
        assert json.loads(r.to_json()) == expected(n)
    texts = {}
    threads = [threading.Thread(target=lambda k=k: texts.__setitem__(k, [reports[k].to_json() for _ in range(3)]))
               for k in range(len(sizes))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for k, n in enumerate(sizes):
        assert all(json.loads(text) == expected(n) for text in texts[k])
