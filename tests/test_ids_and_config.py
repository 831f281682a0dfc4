"""Ids quote texts as a reader sees them drawn, and configuration errors name
the key as the file spells it, on one line."""

import pytest

pytest.importorskip("matplotlib")

import matplotlib  # noqa: E402

matplotlib.use("Agg")

from conftest import raises_exactly  # noqa: E402
from matplotlib.figure import Figure  # noqa: E402
from matplotlib.ticker import PercentFormatter  # noqa: E402

from tessary import artists, config, record  # noqa: E402


@pytest.mark.parametrize(("text", "tex", "shown"), [
    (r"$10^{-2.5}$", False, "10^-2.5"),  # no superscript point: all of it stays on the line
    (r"$\mu$m", False, "μm"),
    (r"$\alpha$ = 3, $\Delta t$", False, "α = 3, Δ t"),
    (r"$25^\circ$C $\pm\,2\%$", False, "25°C ± 2%"),
    (r"$T_{\rm eff}$ / $T_{0}$", False, "T_eff / T₀"),
    (r"$x^{y_{1}}$ $\frac{1}{2}$ $\foo{a}$", False, "x^y₁ 1/2 fooa"),
    (r"price \$5 and $3", False, "price $5 and $3"),  # one unescaped $: no math
    (r"$\$3 \{a\}$", False, "$3 {a}"),
    ("50\\%", False, "50\\%"),  # not math: drawn as written
    ("50\\%", True, "50%"),
])
def test_labels_read_as_drawn(text, tex, shown):
    assert artists.label(text, tex) == f"'{shown}'"


def test_labels_of_matplotlibs_own_formatters():
    fig = Figure()
    log, minor, symlog, offset, percent = fig.subplots(5)
    log.set(xscale="log", xlim=(1e-2, 1e2))
    minor.set(xscale="log", xlim=(0.15, 0.5))
    symlog.set(xscale="symlog", xlim=(-1e2, 1e2))
    offset.set(yticks=[-2e-7, -1e-7, 0])
    offset.yaxis.get_major_formatter().set_useMathText(True)
    percent.set(xlim=(0, 100))
    percent.xaxis.set_major_formatter(PercentFormatter())
    fig.draw_without_rendering()
    labels = {name: [artists.text_label(t).strip("'") for t in texts] for name, texts in [
        ("log", log.get_xticklabels()), ("minor", minor.get_xticklabels(minor=True)[:3]),
        ("symlog", symlog.get_xticklabels()), ("offset", [offset.yaxis.offsetText, *offset.get_yticklabels()]),
        ("percent", percent.get_xticklabels()[:2])]}
    assert labels == {
        "log": ["10⁻³", "10⁻²", "10⁻¹", "10⁰", "10¹", "10²", "10³"], "minor": ["2×10⁻¹", "3×10⁻¹", "4×10⁻¹"],
        "symlog": ["-10²", "-10¹", "-10⁰", "0", "10⁰", "10¹", "10²"], "offset": ["×10⁻⁷", "−2", "−1", "0"],
        "percent": ["0%", "20%"],
    }


def test_element_ids_quote_readable_labels():
    fig = Figure()
    ax = fig.subplots()
    ax.plot([0.01, 1], [0, 1], label=r"$\mu$m")
    ax.set_xscale("log")
    ax.text(0.1, 0.5, r"$\alpha$ = 3")
    ids = {e.ident for e in artists.elements(record.record(fig)[0]).elements}
    assert {"ax0.line[0]'μm'", "ax0.annotation[0]'α = 3'", "ax0.xtick[1]'10⁻¹'"} <= ids


@pytest.mark.parametrize(("table", "message"), [
    ("clip_px = 2", "unknown key 'clip_px' in [tool.tessary]; did you mean 'clip-px'?"),
    ("overlap = 0.1", "unknown key 'overlap' in [tool.tessary]; did you mean 'overlap-fraction'?"),
    ("colour = 'red'", ("unknown key 'colour' in [tool.tessary]; "
                        "the keys are ignore, overlap-fraction, clip-px, ink-threshold, timeout, per-file-ignores")),
    ("clip-px = -1", "[tool.tessary] clip-px: must be a finite number >= 0, got -1"),
    ("clip-px = 'clip_px'", "[tool.tessary] clip-px: must be a number >= 0, got 'clip_px'"),
    ("overlap-fraction = 2", "[tool.tessary] overlap-fraction: must be a number in (0, 1], got 2"),
    ("ignore = 3", "[tool.tessary] ignore: must be a string or an iterable of strings, got 3"),
    ("timeout = 0", "[tool.tessary] timeout: must be a number of seconds > 0, got 0"),
    ("[tool.tessary.per-file-ignores]\n'figs/*.py' = [1]",
     "[tool.tessary.per-file-ignores] 'figs/*.py': must be a string or an iterable of strings, got [1]"),
    ("clip-px =", "cannot be read: Invalid value (at line 2, column 10)"),
])
def test_configuration_errors_name_the_key_as_written(table, message, tmp_path):
    path = tmp_path / "pyproject.toml"
    path.write_text(f"[tool.tessary]\n{table}\n")
    with raises_exactly(config.ConfigError, f"{path}: {message}"):
        config.read(path)


def test_a_configuration_error_is_one_line(tmp_path):
    path = tmp_path / "odd\nfolder" / "pyproject.toml"
    path.parent.mkdir()
    path.write_bytes(b"[tool.tessary]\nclip-px = 1 # \xff\n")
    with raises_exactly(config.ConfigError, f"{tmp_path}/odd folder/pyproject.toml: cannot be read: "
                        "'utf-8' codec can't decode byte 0xff in position 29: invalid start byte"):
        config.read(path)
