"""The run the CI-report tests share: a clean script, a colliding one whose
title is hostile markup, one with two colliding figures, and one that raises."""

import subprocess
import sys
from pathlib import Path

HEADER = "import matplotlib.pyplot as plt\n"
# Markup in a title must reach the page as text: were it not escaped, a second <script> would appear.
HOSTILE_TITLE = 'A <b>title</b> & "quotes" </script><script>document.title="owned"</script> far too long to fit'
SCRIPTS = {
    "clean.py": HEADER + "fig, ax = plt.subplots(layout='constrained')\nax.plot([1, 2], label='a')\n"
                         "ax.set_title('Clean')\nax.legend()\nfig.savefig('clean.png')\n",
    "collide.py": HEADER + f"fig, ax = plt.subplots(figsize=(4, 3))\nax.plot(range(10))\n"
                           f"ax.set_title({HOSTILE_TITLE!r})\nfig.savefig('collide.png')\n",
    "two.py": HEADER + "for n in range(2):\n    fig, ax = plt.subplots(figsize=(4, 3))\n    ax.plot(range(10))\n"
                       "    ax.set_xticks(range(10), [f'category number {i}' for i in range(10)])\n"
                       "    fig.savefig(f'two{n}.png')\n",
    "raises.py": HEADER + "raise ValueError('broken <data> & more')\n",
}
ERROR = "ValueError: broken <data> & more"


def write_scripts(folder: Path) -> list[str]:
    for name, text in SCRIPTS.items():
        (folder / name).write_text(text)
    return list(SCRIPTS)


def tessary(folder: Path, *arguments: str) -> subprocess.CompletedProcess:
    return subprocess.run([sys.executable, "-m", "tessary", "check", *arguments], cwd=folder,
                          capture_output=True, text=True, timeout=600)
