"""The module object: its namespace, documentation and re-import."""

import subprocess
import sys
import textwrap

import tessary._core as core


def test_namespace_and_docs():
    assert core.__all__ == ["Collision", "OverDataCandidate", "CollisionReport", "classify", "ink_coverage"]
    assert all(hasattr(core, name) for name in core.__all__)
    assert core.__doc__ == ""
    assert core.classify.__text_signature__ == "(boxes, overlap_fraction=None, clip_px=None)"
    assert core.classify.__doc__ == "Classify tagged boxes. Each input tuple is\n(bx, clip, role, id) where bx/clip are (x0,y0,x1,y1)."
    assert core.classify.__module__ == core.__name__ == "tessary._core"
    assert core.classify.__self__ is core
    assert core.classify.__name__ == "classify"


def test_reimport_reuses_type_objects():
    script = textwrap.dedent(
        """
        import sys
        import tessary._core as first
        del sys.modules["tessary._core"]
        import tessary._core as second
        assert first is not second
        assert first.Collision is second.Collision
        assert first.OverDataCandidate is second.OverDataCandidate
        assert first.CollisionReport is second.CollisionReport
        assert second.__all__ == first.__all__, (first.__all__, second.__all__)
        c = second.Collision("k", "r", "i", (0, 0, 1, 1), "r", "i", (0, 0, 1, 1), 1)
        assert isinstance(c, first.Collision)
        print("ok")
        """
    )
    result = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=120)
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == "ok"
