"""A plain-Python statement of the collision rules, used as an oracle.

Written from the rules themselves, not from the C++: every NaN decision is
spelled out with math.isnan so that the two can disagree if either is wrong.
"""

import math

TEXT, ELEMENT, DECORATION, DATA = "text", "element", "decoration", "data"
GROUPS = {
    "title": {TEXT, ELEMENT},
    "suptitle": {TEXT, ELEMENT},
    "legend": {TEXT, DECORATION},
    "annotation": {TEXT, DECORATION},
    "tick-label": {TEXT},
    "axis-label": {TEXT},
    "colorbar": {ELEMENT},
    "axes-region": {ELEMENT},
    "data-artist": {DATA},
}


def positive(d):
    # Clamped at +0.0: an extent or overhang is never negative zero.
    return d if d > 0 else 0.0


def pick(a, b, choose):
    if math.isnan(a):
        return b
    if math.isnan(b):
        return a
    return choose(a, b)


def area(b):
    return positive(b[2] - b[0]) * positive(b[3] - b[1])


def overlap(p, q):
    smaller = pick(area(p), area(q), min)
    if smaller <= 0:
        return 0.0
    width = positive(pick(p[2], q[2], min) - pick(p[0], q[0], max))
    height = positive(pick(p[3], q[3], min) - pick(p[1], q[1], max))
    return width * height / smaller


def classify(boxes, overlap_fraction=0.02, clip_px=1.0):
    """Returns (collisions, candidates) as tuples of plain values."""
    collisions, pairs, candidates = [], [], []
    for bx, clip, role, id_ in boxes:
        hang = max(positive(clip[0] - bx[0]), positive(clip[1] - bx[1]),
                   positive(bx[2] - clip[2]), positive(bx[3] - clip[3]))
        if hang > clip_px:
            collisions.append(("clipping", role, id_, bx, "clip", "clip", clip, hang))
    for i, (p, _, role_p, id_p) in enumerate(boxes):
        for q, _, role_q, id_q in boxes[i + 1:]:
            measure = overlap(p, q)
            if measure < overlap_fraction:
                continue
            gp, gq = GROUPS.get(role_p, set()), GROUPS.get(role_q, set())
            if TEXT in gp and TEXT in gq:
                pairs.append(("text_text", role_p, id_p, p, role_q, id_q, q, measure))
            elif ELEMENT in gp and ELEMENT in gq:
                pairs.append(("element_element", role_p, id_p, p, role_q, id_q, q, measure))
            elif DECORATION in gp and DATA in gq:
                candidates.append((id_p, role_p, p, id_q, q, measure))
            elif DATA in gp and DECORATION in gq:
                candidates.append((id_q, role_q, q, id_p, p, measure))
    return collisions + pairs, candidates


KINDS = ("text_text", "clipping", "over_data")
ESCAPES = {'"': '\\"', "\\": "\\\\", "\b": "\\b", "\t": "\\t", "\n": "\\n", "\f": "\\f", "\r": "\\r"}


def json_string(text):
    out = []
    for ch in text:
        if ch in ESCAPES:
            out.append(ESCAPES[ch])
        elif ord(ch) < 0x20:
            out.append(f"\\u{ord(ch):04x}")
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def json_number(x):
    if math.isnan(x) or math.isinf(x):
        return "null"
    sign = "-" if math.copysign(1.0, x) < 0 else ""
    if x == 0:
        return sign + "0.0"
    # repr gives the shortest round-trip digits; only their layout differs.
    mantissa, _, exp = repr(abs(x)).partition("e")
    whole, _, frac = mantissa.partition(".")
    digits = (whole + frac).lstrip("0")
    e = int(exp or 0) + len(whole) - 1 if whole != "0" else int(exp or 0) - (len(frac) - len(frac.lstrip("0"))) - 1
    digits = digits.rstrip("0")
    n = len(digits)
    if e < -5 or e > 15:
        body = digits[0] + ("." + digits[1:] if n > 1 else "")
        return f"{sign}{body}e{'+' if e > 0 else '-'}{abs(e)}"
    if e >= n - 1:
        return sign + digits + "0" * (e - n + 1) + ".0"
    if e >= 0:
        return sign + digits[: e + 1] + "." + digits[e + 1 :]
    return sign + "0." + "0" * (-e - 1) + digits


def to_json(collisions):
    """collisions: (kind, a_role, a_id, a_box, b_role, b_id, b_box, severity) tuples."""
    objects = []
    for kind, a_role, a_id, a_box, b_role, b_id, b_box, severity in collisions:
        kind = kind if kind in KINDS else "element_element"
        box = lambda b: "[" + ",".join(json_number(v) for v in b) + "]"  # noqa: E731
        objects.append(
            "{" + ",".join([
                '"kind":' + json_string(kind), '"a_role":' + json_string(a_role), '"a_id":' + json_string(a_id),
                '"a_box":' + box(a_box), '"b_role":' + json_string(b_role), '"b_id":' + json_string(b_id),
                '"b_box":' + box(b_box), '"severity":' + json_number(severity),
            ]) + "}"
        )
    return "[" + ",".join(objects) + "]"
