"""Runs one notebook for ``tessary check``, as ``jupyter nbconvert --execute``
would: every cell in order in a real Jupyter kernel, in the notebook's folder,
stopping at the first cell that raises. The kernel lints each figure as it is
displayed (see :mod:`tessary.kernel`); this process says which cell runs and
how the notebook ended. The notebook file is only read.

    python -m tessary._notebook REQUEST_JSON
"""

from __future__ import annotations

import json
import sys
from pathlib import Path

from tessary._child import described, emitter

NEEDS = 'notebooks need the notebook extra: pip install "tessary[notebook]"'


def kernel_for(notebook) -> str:
    """The kernel the notebook names, when it is installed; else one for this interpreter."""
    from jupyter_client.kernelspec import NATIVE_KERNEL_NAME, KernelSpecManager

    wanted = notebook.metadata.get("kernelspec", {}).get("name")
    try:
        installed = KernelSpecManager().find_kernel_specs()
    except Exception:  # noqa: BLE001 - a broken kernel folder leaves the interpreter's own kernel
        installed = {}
    return wanted if wanted in installed else NATIVE_KERNEL_NAME


def run(request: dict) -> dict:
    try:
        import nbformat
        from nbclient import NotebookClient
        from nbclient.exceptions import CellExecutionError, DeadKernelError
    except ImportError:
        return {"done": True, "status": "failed", "error": NEEDS}
    path = Path(request["script"])
    try:
        notebook = nbformat.read(path, as_version=4)
    except Exception as error:  # noqa: BLE001 - whatever makes it unreadable is the notebook's failure
        return {"done": True, "status": "failed", "error": f"not a readable notebook: {described(error)}"}
    cell_file = Path(request["results"] + ".cell")
    request = {**request, "cell_file": str(cell_file)}
    # Cell 0, ours, starts tessary in the kernel: the notebook's own cells keep their places from 1.
    setup = f"import tessary.kernel\ntessary.kernel.start_check({json.dumps(json.dumps(request))})"
    notebook.cells.insert(0, nbformat.v4.new_code_cell(setup))
    running = [0]

    def announce(cell, cell_index, **_):
        running[0] = cell_index
        cell_file.write_text(str(cell_index), encoding="utf-8")

    client = NotebookClient(notebook, kernel_name=kernel_for(notebook), timeout=None, allow_errors=False,
                            resources={"metadata": {"path": str(path.resolve().parent)}},
                            on_cell_execute=announce,
                            # The kernel's own start-up chatter is not the notebook's output.
                            extra_arguments=["--IPKernelApp.log_level=ERROR"])
    try:
        client.execute()
    except CellExecutionError as error:
        where = "tessary could not start in the kernel" if running[0] == 0 else f"cell {running[0]}"
        return {"done": True, "status": "failed", "error": f"{where}: {error.ename}: {error.evalue}",
                "cell": running[0] or None}
    except DeadKernelError:
        return {"done": True, "status": "failed", "error": f"the kernel died in cell {running[0]}"}
    except Exception as error:  # noqa: BLE001 - a kernel that cannot start is the run's failure, in one line
        return {"done": True, "status": "failed", "error": f"the kernel failed: {described(error)}"}
    return {"done": True, "status": "ok"}


def main() -> None:
    request = json.loads(sys.argv[1])
    emitter(request["results"])(run(request))


if __name__ == "__main__":
    main()
