"""Coverage-guided fuzzing of tessary._core with atheris.

Build the extension with coverage instrumentation first (fuzz/build.sh), then:
    python fuzz/run.py fuzz/corpus -max_total_time=1800
New inputs that reach new code are written to the corpus directory given.
"""

import sys

import atheris

with atheris.instrument_imports():
    import harness


def main():
    atheris.Setup(sys.argv, harness.one_input)
    atheris.Fuzz()


if __name__ == "__main__":
    main()
