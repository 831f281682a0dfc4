import re

import pytest

FAR = (-float("inf"), -float("inf"), float("inf"), float("inf"))  # clips nothing


def tagged(bx, role, id="e", clip=FAR):
    return (bx, clip, role, id)


def raises_exactly(exc_type, message):
    """pytest.raises that requires the whole message, not a prefix."""
    return pytest.raises(exc_type, match="^" + re.escape(message) + "$")
