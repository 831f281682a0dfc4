"""Every hint the corpus gets holds in its script: pasted after its line,
alone and together with the script's other hints, it clears its findings
and brings none."""

import re

import pytest

pytest.importorskip("matplotlib")
pytest.importorskip("seaborn")
pytest.importorskip("pandas")

from hint_proof import counts, prove  # noqa: E402


@pytest.fixture(scope="module")
def proven(corpus_document, tmp_path_factory):
    return prove(corpus_document, tmp_path_factory.mktemp("hinted"))


def test_every_corpus_hint_clears_its_findings_in_the_script_and_adds_none(proven):
    assert [t.failure() for t in proven if not t.passed] == []


def test_most_findings_of_the_corpus_get_a_hint(corpus_document, proven):
    # A hint an element, many findings a hint: far fewer hints than findings, and most findings covered.
    found = counts(corpus_document, proven)
    assert found["hints"] < found["hinted findings"]
    assert found["hinted findings"] >= found["findings"] / 2, found


def test_a_text_gets_one_change_whatever_its_findings(corpus_document):
    for script in corpus_document["scripts"]:
        for figure in script["figures"]:
            changes: dict[str, set] = {}
            for c in figure.get("collisions", ()):
                for text in re.findall(r"(\S+\.texts\[\d+\])\.set", c.get("hint", {}).get("code", "")):
                    changes.setdefault(text, set()).add(c["hint"]["code"])
            assert all(len(codes) == 1 for codes in changes.values()), (script["path"], changes)
