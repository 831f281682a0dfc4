"""Hints proven on the script itself: each hint that `tessary check --hints`
gives is pasted into its script after its line (alone, and all of a script's
hints together as --fix-diff gives them), the changed scripts are checked
again, and each must have lost the findings its hint clears and gained none.

    python tests/hint_proof.py FOLDER    # the counts for a folder of scripts
"""

from __future__ import annotations

import json
import os
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

from tessary.pasting import patched


def check(folder: Path, *options: str, cwd: Path | None = None) -> dict:
    """The JSON document of one `tessary check` run over a folder."""
    done = subprocess.run(
        [sys.executable, "-m", "tessary", "check", "--json", "-j", str(os.cpu_count() or 2), *options, str(folder)],
        capture_output=True, text=True, timeout=1800, cwd=cwd, env={**os.environ, "PYTHONWARNINGS": "ignore"},
    )
    if done.returncode not in (0, 1):
        raise AssertionError(f"tessary check failed on {folder}: {done.stdout[-2000:]}{done.stderr[-3000:]}")
    return json.loads(done.stdout)


def findings(script: dict) -> set[tuple]:
    return {(f["figure"], c["kind"], c["a_id"], c["b_id"]) for f in script["figures"] for c in f.get("collisions", ())}


@dataclass
class Trial:
    """One script with hints pasted in, and what it must lose."""

    script: str
    hints: list[dict]
    clears: set[tuple]
    before: set[tuple]
    after: set[tuple] | None = None
    problem: str | None = None
    name: str = ""

    @property
    def passed(self) -> bool:
        return self.problem is None and self.after is not None and not self.clears & self.after \
            and self.after <= self.before

    def failure(self) -> str:
        if self.problem is not None:
            return f"{self.script} {self.name}: {self.problem}"
        return (f"{self.script} {self.name}: still {sorted(self.clears & self.after)}, "
                f"new {sorted(self.after - self.before)}")


def trials(document: dict) -> list[Trial]:
    """A trial for every distinct hint of every script, and one with all a script's hints."""
    made = []
    for script in document["scripts"]:
        by_hint: dict[tuple, Trial] = {}
        before = findings(script)
        for figure in script["figures"]:
            for c in figure.get("collisions", ()):
                hint = c.get("hint")
                if hint is None:
                    continue
                identity = (hint["code"], hint["after_line"], tuple(hint.get("replaces") or ()))
                trial = by_hint.setdefault(identity, Trial(script["path"], [hint], set(), before))
                trial.clears.add((figure["figure"], c["kind"], c["a_id"], c["b_id"]))
        made += by_hint.values()
        if len(by_hint) > 1:
            every = [t.hints[0] for t in by_hint.values()]
            made.append(Trial(script["path"], every, set().union(*(t.clears for t in by_hint.values())), before))
    return made


def prove(document: dict, folder: Path) -> list[Trial]:
    """Pastes each trial's hints into a copy of its script in ``folder``, checks
    them all in one run, and records what each copy shows."""
    made = trials(document)
    for number, trial in enumerate(made):
        source = Path(trial.script).read_text(encoding="utf-8")
        trial.name = f"{Path(trial.script).stem}__{number}.py"
        (folder / trial.name).write_text(patched(source, trial.hints), encoding="utf-8")
    if not made:
        return made
    with tempfile.TemporaryDirectory() as scratch:  # the scripts' own pictures land there
        checked = {Path(s["path"]).name: s for s in check(folder, cwd=Path(scratch))["scripts"]}
    for trial in made:
        script = checked.get(trial.name)
        if script is None or script["status"] != "ok":
            trial.problem = "did not run: " + (str(script.get("error")) if script else "not checked")
        else:
            trial.after = findings(script)
    return made


def counts(document: dict, proven: list[Trial]) -> dict:
    every = [(s["path"], f["figure"], c) for s in document["scripts"] for f in s["figures"]
             for c in f.get("collisions", ())]
    alone = [t for t in proven if len(t.hints) == 1]
    return {
        "findings": len(every),
        "hinted findings": sum("hint" in c for _, _, c in every),
        "hints": len(alone),
        "hints that pass": sum(t.passed for t in alone),
        "scripts whose whole diff passes": sum(t.passed for t in proven if len(t.hints) > 1),
        "scripts with several hints": sum(len(t.hints) > 1 for t in proven),
    }


def main(folder: str) -> None:
    with tempfile.TemporaryDirectory() as work:  # the scripts' own pictures land there
        document = check(Path(folder).resolve(), "--hints", cwd=Path(work))
        proven = prove(document, Path(work))
    for trial in proven:
        hints = "\n      ".join(f"after {h['after_line']}: " + h["code"].replace("\n", "\n      ") for h in trial.hints)
        print(f"{'pass' if trial.passed else 'FAIL'}  {Path(trial.script).name}\n      {hints}")
        if not trial.passed:
            print("      " + trial.failure())
    print(json.dumps(counts(document, proven), indent=1))


if __name__ == "__main__":
    main(sys.argv[1])
