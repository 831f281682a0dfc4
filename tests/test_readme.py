"""The README's example is run as written, so it cannot drift from the code."""

import doctest
import pathlib
import re

import pytest

README = pathlib.Path(__file__).resolve().parent.parent / "README.md"


@pytest.mark.skipif(not README.exists(), reason="run from a source checkout")
def test_readme_examples():
    blocks = re.findall(r"```python\n(.*?)```", README.read_text(encoding="utf-8"), re.S)
    assert blocks
    parser, runner = doctest.DocTestParser(), doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    for i, block in enumerate(blocks):
        runner.run(parser.get_doctest(block, {}, f"README[{i}]", str(README), 0))
    assert runner.summarize(verbose=False).failed == 0
