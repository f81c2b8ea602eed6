"""The README's Python example, as a user runs it from the source folder."""

import os
import re
import subprocess
import sys

from batch_twin import EXAMPLES, run_batch

README = EXAMPLES.parent / "README.md"


def test_the_readme_example_runs_and_saves_the_batch_output(tmp_path):
    section = README.read_text().split("## From Python\n", 1)[1].split("\n## ", 1)[0]
    code = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    (tmp_path / "examples").symlink_to(EXAMPLES)
    done = subprocess.run([sys.executable, "-c", code], cwd=tmp_path, capture_output=True,
                          text=True, env=os.environ)
    assert done.returncode == 0, done.stderr
    lines = done.stdout.splitlines()
    assert lines[0].startswith("<quendrix.Calibration N1 = 300, N2 = 150")
    assert lines[2] == "['ok' 'ok' 'outside range'] [33.5  7.8  nan]"
    run_batch("--file1", "examples/calibration.csv", "--file2", "examples/error.csv", "-o",
              tmp_path / "batch.csv", cwd=tmp_path)
    # Only the head's file and column names differ: the example gives none.
    saved, batch = ((tmp_path / name).read_bytes().split(b"\r\n")
                    for name in ("calibration-output.csv", "batch.csv"))
    assert saved[3:9] == [b'"Original file1: ",""', b'"X: ","X"', b'"Y: ","Y"',
                          b'"Original file2: ",""', b'"X: ","X"', b'"Y: ","Y"']
    assert saved[:3] + saved[9:] == batch[:3] + batch[9:]
