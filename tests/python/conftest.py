# SPDX-License-Identifier: GPL-3.0-or-later
"""Fixtures of the Python module's tests: the batch program, run with the kernels of this process.

ctest sets PYTHONPATH to the built module, PANELFLOW_BATCH to the batch program and
PANELFLOW_SOURCE_DIR to the source tree.
"""

import os
import subprocess
from pathlib import Path

import pytest

import panelflow as pf

SOURCE_DIR = Path(os.environ["PANELFLOW_SOURCE_DIR"])
EXAMPLES = SOURCE_DIR / "examples"


class Batch:
    """The batch program in a directory of its own, with the OpenBLAS kernels that this Python
    process loaded, so that the elimination rounds alike in both and results agree to the bit."""

    def __init__(self, directory):
        self.directory = directory
        self.env = dict(os.environ, OPENBLAS_CORETYPE=pf.blas_kernels())

    def run(self, *arguments):
        return subprocess.run([os.environ["PANELFLOW_BATCH"], *map(str, arguments)], cwd=self.directory,
                              env=self.env, capture_output=True, text=True)

    def message(self, *arguments):
        """The batch program's first line on standard error for a refused run."""
        done = self.run(*arguments)
        assert done.returncode != 0, done
        return done.stderr.splitlines()[0]


@pytest.fixture
def batch(tmp_path):
    directory = tmp_path / "batch"
    directory.mkdir()
    return Batch(directory)
