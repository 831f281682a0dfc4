import re
from pathlib import Path

import pytest

CORPUS = Path(__file__).resolve().parent / "figures"

FAR = (-float("inf"), -float("inf"), float("inf"), float("inf"))  # clips nothing


def tagged(bx, role, id="e", clip=FAR):
    return (bx, clip, role, id)


def raises_exactly(exc_type, message):
    """pytest.raises that requires the whole message, not a prefix."""
    return pytest.raises(exc_type, match="^" + re.escape(message) + "$")


@pytest.fixture(params=[(), ("--no-warm",)], ids=["warm", "plain"])
def start(request):
    """The arguments of `tessary check` that start each script forked from a
    warm interpreter, or in a fresh one."""
    return request.param


@pytest.fixture(scope="session")
def corpus_document():
    """One `tessary check --hints --json` run over the corpus of figure scripts."""
    from hint_proof import check

    return check(CORPUS, "--hints")
