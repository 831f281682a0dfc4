"""Texts as a reader sees them: ``$\\mathdefault{10^{-2}}$`` reads 10⁻², so
that an id quotes what the figure shows and can be typed back."""

from __future__ import annotations

import re

# Commands that only choose a font or size a delimiter: their argument shows as it is.
PLAIN_COMMANDS = ("mathdefault", "mathregular", "mathrm", "mathit", "mathbf", "mathsf", "mathtt", "mathcal",
                  "mathbb", "mathfrak", "mathnormal", "boldsymbol", "operatorname", "text", "textrm", "textit",
                  "textbf", "rm", "it", "bf", "sf", "tt", "cal", "displaystyle", "left", "right")
GREEK = {
    "alpha": "α", "beta": "β", "gamma": "γ", "delta": "δ", "epsilon": "ε", "zeta": "ζ", "eta": "η", "theta": "θ",
    "iota": "ι", "kappa": "κ", "lambda": "λ", "mu": "μ", "nu": "ν", "xi": "ξ", "omicron": "ο", "pi": "π", "rho": "ρ",
    "sigma": "σ", "tau": "τ", "upsilon": "υ", "phi": "φ", "chi": "χ", "psi": "ψ", "omega": "ω",
}
SYMBOLS = {
    **dict.fromkeys(PLAIN_COMMANDS, ""),
    **GREEK,
    **{name.capitalize(): letter.upper() for name, letter in GREEK.items()},
    "varepsilon": "ε", "vartheta": "ϑ", "varphi": "φ", "varpi": "ϖ", "varrho": "ϱ", "varsigma": "ς",
    # matplotlib draws a minus sign (−) for '-' in math, but ids keep the
    # hyphen-minus a user types into --ignore. Its own formatters write
    # U+2212 into the text itself; that stays, as in plain tick labels.
    "minus": "-",
    "times": "×", "cdot": "·", "pm": "±", "mp": "∓", "div": "÷", "degree": "°", "circ": "∘", "prime": "′",
    "infty": "∞", "approx": "≈", "sim": "~", "propto": "∝", "neq": "≠", "ne": "≠", "leq": "≤", "le": "≤",
    "geq": "≥", "ge": "≥", "ll": "≪", "gg": "≫", "partial": "∂", "nabla": "∇", "sqrt": "√", "sum": "∑",
    "prod": "∏", "int": "∫", "ldots": "…", "dots": "…", "cdots": "⋯", "to": "→", "rightarrow": "→",
    "leftarrow": "←", "hbar": "ℏ", "ell": "ℓ", "AA": "Å", "angstrom": "Å", "odot": "⊙", "bullet": "•",
    "quad": " ", "qquad": " ",
    # Escaped characters: spacing commands, and the rest stand for themselves.
    ",": " ", ";": " ", ":": " ", " ": " ", "!": "",
}
# Only where every character has one; '^\circ' is the degree sign.
SUPERSCRIPTS = dict(zip("0123456789+-−=()ni∘°′", "⁰¹²³⁴⁵⁶⁷⁸⁹⁺⁻⁻⁼⁽⁾ⁿⁱ°°′"))
SUBSCRIPTS = dict(zip("0123456789+-−=()aehijklmnoprstuvx", "₀₁₂₃₄₅₆₇₈₉₊₋₋₌₍₎ₐₑₕᵢⱼₖₗₘₙₒₚᵣₛₜᵤᵥₓ"))

DOLLAR = re.compile(r"(?<!\\)\$")
FRACTION = re.compile(r"\\frac\{([^{}]*)\}\{([^{}]*)\}")
WORD_COMMAND = re.compile(r"\\([a-zA-Z]+)( ?)")
ESCAPED = re.compile(r"\\(.)")
SCRIPT_CHARACTER = re.compile(r"(?<!\\)([\^_])([^\s{}\\])")
GROUP = re.compile(r"(?<!\\)([\^_]?)\{([^{}]*)\}")  # innermost first: no braces inside
BRACE = re.compile(r"(?<!\\)[{}]")


def readable(text: str, tex: bool = False) -> str:
    """``text`` as drawn: the parts between pairs of unescaped ``$`` are math.
    As in matplotlib, an odd number of ``$`` means there is no math at all.
    A TeX text (``usetex``) has commands outside its math too."""
    parts = DOLLAR.split(text)
    if len(parts) % 2 == 0:
        parts = [text]
    return "".join(_math(part) if i % 2 else _commands(part) if tex else part.replace("\\$", "$")
                   for i, part in enumerate(parts))


def _math(text: str) -> str:
    text = FRACTION.sub(r"\1/\2", text)
    text = WORD_COMMAND.sub(_command, text)
    text = SCRIPT_CHARACTER.sub(lambda m: _script(m[1], m[2]), text)
    while (grouped := GROUP.sub(lambda m: _script(m[1], m[2]) if m[1] else m[2], text)) != text:
        text = grouped
    return ESCAPED.sub(_escaped, BRACE.sub("", text))


def _commands(text: str) -> str:
    return ESCAPED.sub(_escaped, BRACE.sub("", WORD_COMMAND.sub(_command, text)))


def _command(match: re.Match) -> str:
    """Unknown commands show as their name. The space that ends a name stays
    only after a command that shows as something (``\\alpha > 1``, but ``{\\rm eff}``)."""
    shown = SYMBOLS.get(match[1], match[1])
    return shown + match[2] if shown else ""


def _escaped(match: re.Match) -> str:
    return SYMBOLS.get(match[1], match[1])


def _script(mark: str, content: str) -> str:
    """Raised or lowered characters, or ``^-2.5`` where Unicode has none for one."""
    table = SUPERSCRIPTS if mark == "^" else SUBSCRIPTS
    if all(c in table for c in content):
        return "".join(table[c] for c in content)
    return mark + content
