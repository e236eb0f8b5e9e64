# SPDX-License-Identifier: GPL-3.0-or-later
"""The code blocks of docs/python.md, run in order in one namespace, as a reader would paste them."""

import os
import re

from conftest import SOURCE_DIR


def test_the_python_guides_code_blocks_run_as_written(tmp_path, monkeypatch, capsys):
    text = (SOURCE_DIR / "docs" / "python.md").read_text(encoding="utf-8")
    blocks = re.findall(r"```python\n(.*?)```", text, re.S)
    assert len(blocks) == 4
    monkeypatch.chdir(tmp_path)
    namespace = {}
    for block in blocks:
        exec(compile(block, "docs/python.md", "exec"), namespace)
    printed = capsys.readouterr().out.splitlines()
    # The study's finest mesh shows the first order that the guide claims.
    assert printed[-1].startswith(" 512 x 512") and 0.9 < float(printed[-1].split("order")[1]) < 1.1, printed
    for made in ["Axisym.txt", "sphere.csv", "sphere.vtp", "sphere-1-cp.png"]:
        assert os.path.getsize(made) > 0, made
