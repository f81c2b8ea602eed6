"""What the Python module's tests share: the batch command to hold it to, the examples, and
calibrations of files labelled the way the batch command labels them."""

import csv
import os
import subprocess
from pathlib import Path

import numpy as np

import quendrix

EXAMPLES = Path(os.environ["QUENDRIX_EXAMPLES"])
BATCH = os.environ["QUENDRIX_BATCH"]


def run_batch(*args, ok=True, cwd=None):
    """quendrix-batch with these arguments; its exit code, standard output and error."""
    done = subprocess.run([BATCH, *map(str, args)], capture_output=True, text=True, cwd=cwd,
                          env={**os.environ, "LC_ALL": "C"})
    if ok:
        assert done.returncode == 0, done.stderr
    return done


def batch_refusal(*args):
    """The reason the batch command gives for refusing, without its name."""
    done = run_batch(*args, ok=False)
    assert done.returncode == 1
    assert done.stderr.startswith("quendrix-batch: ")
    return done.stderr[len("quendrix-batch: "):].strip()


def write_pairs(path, x, y, names=("X", "Y")):
    """A data file of float32 values, each written with the digits that bring it back; a NaN
    becomes the file's marker."""
    with open(path, "w", newline="") as f:
        f.write(",".join(names) + "\n")
        for a, b in zip(x, y):
            f.write(f"{field(a)},{field(b)}\n")
    return path


def field(value):
    return "-9999" if np.isnan(value) else repr(float(np.float32(value)))


def calibrate_files(file1, file2=None, **settings):
    """The module's calibration of the files, labelled as the batch command labels them."""
    one = quendrix.read_data_file(file1)
    extra = {}
    if file2 is not None:
        two = quendrix.read_data_file(file2)
        extra = dict(error=(two.x, two.y), error_names=two.names, error_source=str(file2))
    return quendrix.calibrate(one.x, one.y, names=one.names, source=str(file1), **extra,
                              **settings)


def batch_settings(settings):
    """The batch command's options for the module's keyword settings."""
    names = {"model_sd": "--model-sd", "smoothing": "--smoothing", "vthreshold": "--vthreshold",
             "hthreshold": "--hthreshold", "c1": "--c1", "c2": "--c2"}
    args = []
    for key, value in settings.items():
        if key == "range":
            args += ["--range", *map(str, value)]
        elif key == "skip":
            args += ["--skip"] if value else []
        else:
            args += [names[key], str(value)]
    return args


def read_predictions(path):
    """The --apply CSV as rows of dicts."""
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def reading(text, unknown=float("nan")):
    """A read-out text as the module gives it: NaN for "Out of range" or nothing, +-inf for "?"."""
    if text == "?":
        return unknown
    try:
        return float(text)
    except ValueError:
        return float("nan")


def same_number(a, b):
    return (np.isnan(a) and np.isnan(b)) or a == b
