"""The Python module against the batch command: the same inputs give the same bytes, the same
read-outs and the same refusals."""

import json
import multiprocessing
import pickle
import sys
import threading
from concurrent.futures import ProcessPoolExecutor, ThreadPoolExecutor

import numpy as np
import pytest

import quendrix
from batch_twin import (EXAMPLES, batch_refusal, batch_settings, calibrate_files, read_predictions,
                      reading, run_batch, same_number, write_pairs)

EXAMPLE_CASES = [
    ("calibration.csv", "error.csv", {}),
    ("calibration.csv", None, {"model_sd": 5}),
    ("calibration.csv", "error.csv",
     {"smoothing": 9, "vthreshold": 0, "hthreshold": 4, "c1": 50, "c2": 99.5}),
    ("calibration.csv", None, {"model_sd": 12, "range": (5, 35.5), "skip": True, "c1": 95.4,
                               "c2": 68.2}),
    ("missing.csv", "error.csv", {"range": (-10, 60)}),
]


def batch_output(tmp_path, file1, file2, settings):
    out = tmp_path / "batch.csv"
    inputs = ["--file1", file1] + (["--file2", file2] if file2 else [])
    run_batch(*inputs, *batch_settings(settings), "-o", out)
    return out.read_bytes()


@pytest.mark.parametrize("file1,file2,settings", EXAMPLE_CASES)
def test_save_is_the_batch_output_and_the_arrays_are_its_numbers(tmp_path, file1, file2,
                                                                  settings):
    file1 = EXAMPLES / file1
    file2 = EXAMPLES / file2 if file2 else None
    c = calibrate_files(file1, file2, **settings)
    c.save(tmp_path / "module.csv")
    expected = batch_output(tmp_path, file1, file2, settings)
    assert (tmp_path / "module.csv").read_bytes() == expected

    # The saved rows hold prob + class per cell, the average's cell with its class negated;
    # each Y row runs over X, so a transposed or shifted array shows here.
    lines = expected.decode("latin-1").split("\r\n")
    axis = np.array(lines[15].split(",")[1:], dtype=np.float32)
    rows = np.array([line.split(",") for line in lines[16:217]], dtype=np.float32)
    assert np.array_equal(c.grid, axis) and np.array_equal(rows[:, 0], axis)
    signed = c.classes.astype(np.float32)
    for i, y in enumerate(c.average):
        # An average in the grid's margin has no cell in the file.
        if y in c.grid:
            j = int(np.flatnonzero(c.grid == y)[0])
            signed[j, i] = -signed[j, i]
    # The file writes seven significant digits.
    assert np.allclose(c.prob + signed, rows[:, 1:], rtol=1e-6, atol=0)
    # The mode is the class-3 cell of its column wherever that lies in the shown range.
    for i, y in enumerate(c.mode):
        if not np.isnan(y) and y in c.grid:
            assert c.classes[np.flatnonzero(c.grid == y)[0], i] == 3


@pytest.mark.parametrize("seed", range(6))
def test_random_data_with_missing_values_saves_the_batch_bytes(tmp_path, seed):
    rng = np.random.default_rng(seed)
    n = int(rng.integers(20, 3000))
    x = rng.uniform(-50, 250, n).astype(np.float32)
    y = (x * rng.uniform(0.5, 1.5) + rng.normal(0, rng.uniform(1, 30), n)).astype(np.float32)
    x[rng.random(n) < 0.05] = np.nan
    y[rng.random(n) < 0.05] = -9999
    file1 = write_pairs(tmp_path / "one.csv", x, y, names=("Säure", "ref"))
    settings = {"smoothing": int(rng.integers(1, 26)), "vthreshold": int(rng.integers(0, 11)),
                "hthreshold": int(rng.integers(0, 11)), "skip": bool(rng.integers(0, 2)),
                "c1": float(rng.integers(0, 1001)) / 10, "c2": 95.4}
    file2 = None
    if seed % 2:
        m = int(rng.integers(2, 500))
        ex = rng.uniform(-50, 250, m).astype(np.float32)
        file2 = write_pairs(tmp_path / "two.csv", ex, ex + rng.normal(0, 5, m))
    else:
        settings["model_sd"] = int(rng.integers(1, 21))
    if seed % 3 == 0:
        settings["range"] = (float(rng.uniform(-100, 0)), float(rng.uniform(100, 300)))

    c = calibrate_files(file1, file2, **settings)
    c.save(tmp_path / "module.csv")
    assert (tmp_path / "module.csv").read_bytes() == batch_output(tmp_path, file1, file2,
                                                                   settings)
    # The settings it reports make it again, from the arrays alone.
    again = quendrix.calibrate(x, y, error=None if file2 is None else (
        quendrix.read_data_file(file2).x, quendrix.read_data_file(file2).y), **c.settings)
    assert np.array_equal(again.prob, c.prob) and np.array_equal(again.classes, c.classes)


def test_nan_and_the_marker_are_the_same_missing_value():
    rng = np.random.default_rng(3)
    x = rng.uniform(0, 10, 400)
    y = x + rng.normal(0, 1, 400)
    x[::7] = np.nan
    marked = np.where(np.isnan(x), -9999, x)
    a = quendrix.calibrate(x, y, model_sd=5)
    b = quendrix.calibrate(list(marked), tuple(y), model_sd=5)
    assert np.array_equal(a.prob, b.prob) and a.settings == b.settings


def apply_columns(c, x, full_precision=False):
    got = c.apply(x, full_precision=full_precision)
    return [(got["status"][k], got["average"][k], got["mode"][k],
             got["c1_intervals"][k], got["c2_intervals"][k]) for k in range(len(x))]


def expected_columns(rows):
    def intervals(text):
        if not text:
            return ()
        pairs = [part.split("..") for part in text.split(";")]
        return tuple((reading(lo, -np.inf), reading(hi, np.inf)) for lo, hi in pairs)
    return [(r["status"], reading(r["average"]), reading(r["mode"]),
             intervals(r["c1_intervals"]), intervals(r["c2_intervals"])) for r in rows]


def assert_same_columns(got, expected):
    assert len(got) == len(expected)
    for g, e in zip(got, expected):
        assert g[0] == e[0] and same_number(g[1], e[1]) and same_number(g[2], e[2]), (g, e)
        assert g[3] == e[3] and g[4] == e[4], (g, e)


@pytest.mark.parametrize("full_precision", [False, True])
def test_apply_reads_what_the_batch_predicts(tmp_path, full_precision):
    readings = EXAMPLES / "readings.csv"
    x = [float(v) for v in readings.read_text().split("\n")[1:] if v]
    c = calibrate_files(EXAMPLES / "calibration.csv", EXAMPLES / "error.csv")
    predictions = tmp_path / "p.csv"
    run_batch("--file1", EXAMPLES / "calibration.csv", "--file2", EXAMPLES / "error.csv",
              "--apply", readings, "--predictions", predictions,
              *(["--full-precision"] if full_precision else []))
    expected = expected_columns(read_predictions(predictions))
    assert {e[0] for e in expected} == {"ok", "outside range", "skipped"}
    assert_same_columns(apply_columns(c, x, full_precision), expected)

    # Sparse samples in a wide range: sections without a region, and regions that run on
    # beyond the range ("?", read as infinities).
    rng = np.random.default_rng(11)
    sx = rng.uniform(0, 100, 60).astype(np.float32)
    sy = (sx + rng.normal(0, 25, 60)).astype(np.float32)
    file1 = write_pairs(tmp_path / "sparse.csv", sx, sy)
    settings = {"model_sd": 20, "range": (0, 100), "vthreshold": 0, "hthreshold": 0}
    xs = np.linspace(-5, 105, 237).astype(np.float32)
    write_pairs(tmp_path / "xs.csv", xs, xs)
    run_batch("--file1", file1, *batch_settings(settings), "--apply", tmp_path / "xs.csv",
              "--predictions", predictions)
    expected = expected_columns(read_predictions(predictions))
    assert any(np.isinf(lo) or np.isinf(hi) for e in expected for lo, hi in e[3] + e[4])
    c = calibrate_files(file1, **settings)
    assert_same_columns(apply_columns(c, xs), expected)
    # readout() is the same reading for one X.
    for k in (0, 60, 118, 236):
        r = c.readout(float(xs[k]))
        assert_same_columns([(r["status"], r["average"], r["mode"], r["c1_intervals"],
                              r["c2_intervals"])], [expected[k]])


def test_readout_is_the_chart_panel_at_a_section(tmp_path):
    done = run_batch("--file1", EXAMPLES / "calibration.csv", "--file2", EXAMPLES / "error.csv",
                     "--section", 37, "-o", tmp_path / "out.csv")
    panel = done.stdout.splitlines()[1:]
    r = calibrate_files(EXAMPLES / "calibration.csv", EXAMPLES / "error.csv").readout(40 * 0.37)
    assert panel[0] == r["c1"] + " %" and panel[2] == r["c2"] + " %"
    assert (tuple(map(float, panel[1].split(" - "))),) == r["c1_intervals"]
    assert (tuple(map(float, panel[3].split(" - "))),) == r["c2_intervals"]
    assert (float(panel[5]), float(panel[7])) == (r["average"], r["mode"])


def test_check_is_the_batch_coverage_report(tmp_path):
    pairs = quendrix.read_data_file(EXAMPLES / "pairs.csv")
    c = calibrate_files(EXAMPLES / "calibration.csv", EXAMPLES / "error.csv", c1=50)
    done = run_batch("--file1", EXAMPLES / "calibration.csv", "--file2", EXAMPLES / "error.csv",
                     "--c1", 50, "--check", EXAMPLES / "pairs.csv", "--json")
    expected = json.loads(done.stdout)
    assert c.check(pairs.x, pairs.y) == expected
    assert expected["pairs"] > 0 and expected["nominal1"] == 50
    # Pairs without a Y are counted as incomplete, as in a file.
    y = pairs.y.copy()
    y[:10] = np.nan
    assert c.check(pairs.x, y)["incomplete"] == expected["incomplete"] + 10


def small():
    return quendrix.calibrate([1, 2, 3], [1, 2, 3], model_sd=5)


def too_many():
    return np.arange(10001.0), np.arange(10001.0)


@pytest.mark.parametrize("call,error,reason", [
    (lambda: quendrix.calibrate([1, 2, 3], [1, 2], model_sd=5), ValueError,
     "x, y: the arrays differ in length (3 and 2)"),
    (lambda: quendrix.calibrate(*too_many(), model_sd=5), ValueError,
     "x, y: more than 10000 records"),
    (lambda: quendrix.calibrate([1, np.nan], [-9999, 2], model_sd=5), ValueError,
     "x, y: no complete record (an X and a Y, neither of them -9999), so there is nothing to "
     "calibrate"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, range=(3, 3)), ValueError,
     "invalid range 3 .. 3: Please set valid range."),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, range=(0, np.inf)), ValueError,
     "invalid range 0 .. Inf: the bounds must be finite numbers"),
    (lambda: quendrix.calibrate([1, 2], [1, 1e39], model_sd=5), ValueError,
     "x, y: record 1: y value out of range"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, smoothing=26), ValueError,
     "smoothing: 26 is not between 1 and 25"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, vthreshold=2.5), ValueError,
     "vthreshold: 2.5 is not a whole number"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=0), ValueError,
     "model_sd: 0 is not between 1 and 20"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, c2=100.5), ValueError,
     "c2: 100.5 is not between 0 and 100"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, c1="68"), ValueError,
     "c1: '68' is not a number"),
    (lambda: quendrix.calibrate([1, 2], [1, 2]), ValueError,
     "give the error data with error=(x, y) or generate the model with model_sd"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], error=([1, 2], [1, 2]), model_sd=5), ValueError,
     "give the error data or the generated model, not both"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], error=([1, 2], [1]), model_sd=None), ValueError,
     "error: the arrays differ in length (2 and 1)"),
    (lambda: quendrix.calibrate([[1, 2]], [[1, 2]], model_sd=5), ValueError,
     "x: a one-dimensional array is needed, not 2 dimensions"),
    (lambda: quendrix.calibrate(["a", "b"], [1, 2], model_sd=5), ValueError,
     "x: not an array of numbers"),
    (lambda: quendrix.calibrate([1, 2], [1, 2], model_sd=5, names=("X", "Ω")), ValueError,
     "names: 'Ω' cannot be written in Latin-1"),
    (lambda: small().apply([5, 1e39]), ValueError, "new_x: record 1: x value out of range"),
    (lambda: small().check([1, 2], [1]), ValueError, "x, y: the arrays differ in length (2 and 1)"),
    (lambda: small().readout(10**400), ValueError, "x: 1000"),
    (lambda: quendrix.read_data_file(EXAMPLES / "absent.csv"), FileNotFoundError,
     "No such file or directory"),
    (lambda: quendrix.read_data_file(EXAMPLES), IsADirectoryError, "Is a directory"),
])
def test_every_refusal_raises_with_its_reason(capfd, call, error, reason):
    with pytest.raises(error) as raised:
        call()
    assert reason in str(raised.value)
    assert capfd.readouterr() == ("", "")


def test_the_refusals_the_batch_shares_read_the_same(tmp_path):
    too_many_lines = "X,Y\n" + "1,1\n" * 10001
    (tmp_path / "many.csv").write_text(too_many_lines)
    (tmp_path / "none.csv").write_text("X,Y\n1,-9999\n")
    (tmp_path / "broken.csv").write_text("X,Y\n1,2\n3,\n")
    model = ["--model-sd", "5", "-o", tmp_path / "never.csv"]
    assert batch_refusal("--file1", tmp_path / "many.csv", *model).endswith(
        "line 10002: more than 10000 records")
    with pytest.raises(ValueError, match="line 10002: more than 10000 records"):
        quendrix.read_data_file(tmp_path / "many.csv")
    none = batch_refusal("--file1", tmp_path / "none.csv", *model)
    with pytest.raises(ValueError) as raised:
        calibrate_files(tmp_path / "none.csv", model_sd=5)
    assert none.split(": ", 1)[1] == str(raised.value).split(": ", 1)[1]
    broken = batch_refusal("--file1", tmp_path / "broken.csv", *model)
    with pytest.raises(ValueError) as raised:
        quendrix.read_data_file(tmp_path / "broken.csv")
    assert broken.endswith(str(raised.value).split(": ", 1)[1]) and "line 3" in broken
    same_range = batch_refusal("--file1", EXAMPLES / "calibration.csv", "--range", "3", "3",
                               *model)
    with pytest.raises(ValueError) as raised:
        calibrate_files(EXAMPLES / "calibration.csv", model_sd=5, range=(3, 3))
    assert same_range == str(raised.value)


def test_a_save_that_fails_leaves_the_old_file_and_raises(tmp_path):
    c = quendrix.calibrate([1, 2, 3], [1, 2, 3], model_sd=5)
    with pytest.raises(OSError):
        c.save(tmp_path / "no such folder" / "out.csv")
    assert list(tmp_path.iterdir()) == []
    old = tmp_path / "old.csv"
    old.write_text("kept")
    folder = tmp_path / "locked"
    folder.mkdir()
    (folder / "out.csv").write_text("kept")
    folder.chmod(0o500)
    try:
        if not (folder / "probe").exists() and not _writable(folder):
            with pytest.raises(OSError):
                c.save(folder / "out.csv")
            assert (folder / "out.csv").read_text() == "kept"
    finally:
        folder.chmod(0o700)
    # A save over an existing file replaces it whole.
    c.save(old)
    assert old.read_bytes().startswith(b'"Quendrix common output format"\r\n')


def _writable(folder):
    try:
        (folder / "probe").write_text("")
    except OSError:
        return False
    (folder / "probe").unlink()
    return True


def test_reading_a_file_gives_its_names_values_and_warnings(tmp_path):
    d = quendrix.read_data_file(EXAMPLES / "missing.csv")
    text = (EXAMPLES / "missing.csv").read_text().splitlines()
    assert d.names == tuple(text[0].split(","))
    values = np.array([line.split(",") for line in text[1:]], dtype=np.float32)
    missing = values == -9999
    assert np.array_equal(np.isnan(d.x), missing[:, 0]) and missing.any()
    assert np.array_equal(d.x[~missing[:, 0]], values[~missing[:, 0], 0])
    assert d.complete == int((~missing.any(axis=1)).sum()) and len(d) == len(text) - 1
    assert d.warnings == []

    spreadsheet = tmp_path / "semicolon.csv"
    spreadsheet.write_bytes("Zeit;Wert µ\n1,5;2\nabc;3,25\n".encode("latin-1"))
    d = quendrix.read_data_file(spreadsheet)
    assert d.names == ("Zeit", "Wert µ")
    assert list(d.x) == [1.5, 0.0] and list(d.y) == [2.0, 3.25]
    assert len(d.warnings) == 2
    assert "semicolon" in d.warnings[0] and "decimal comma" in d.warnings[0]
    assert "1 field without a number" in d.warnings[1] and "line 3" in d.warnings[1]


def test_an_empty_result_says_so_without_printing(tmp_path, capfd):
    c = calibrate_files(EXAMPLES / "calibration.csv", EXAMPLES / "error.csv", hthreshold=8)
    done = run_batch("--file1", EXAMPLES / "calibration.csv", "--file2", EXAMPLES / "error.csv",
                     "--hthreshold", 8, "-o", tmp_path / "out.csv")
    assert capfd.readouterr() == ("", "")
    assert ["quendrix-batch: warning: " + w for w in c.warnings] == done.stderr.splitlines()
    assert not (c.classes != 0).any()
    assert calibrate_files(EXAMPLES / "calibration.csv", EXAMPLES / "error.csv",
                           hthreshold=7).warnings == []


def random_case(seed):
    rng = np.random.default_rng(100 + seed)
    n = 300 + 40 * seed
    x = rng.uniform(0, 50, n)
    return x, x + rng.normal(0, 2 + seed % 4, n), 1 + seed % 20


def test_calibrations_in_eight_threads_equal_one_by_one(tmp_path):
    cases = [random_case(s) for s in range(24)]
    alone = [quendrix.calibrate(x, y, model_sd=sd) for x, y, sd in cases]
    start = threading.Barrier(8)

    def calibrate(k):
        # The first eight start together, so that they surely overlap.
        if k < 8:
            start.wait(timeout=60)
        return quendrix.calibrate(cases[k][0], cases[k][1], model_sd=cases[k][2])

    with ThreadPoolExecutor(8) as pool:
        together = list(pool.map(calibrate, range(len(cases))))
        # One calibration read from eight threads at once.
        shared = together[5]
        readings = list(pool.map(lambda k: shared.apply(np.linspace(0, 50, 301 + k)),
                                 range(8)))
    for a, b in zip(alone, together):
        assert np.array_equal(a.prob, b.prob) and np.array_equal(a.classes, b.classes)
        assert np.array_equal(a.mode, b.mode, equal_nan=True)
    a5 = alone[5]
    for k, r in enumerate(readings):
        own = a5.apply(np.linspace(0, 50, 301 + k))
        assert np.array_equal(r["average"], own["average"], equal_nan=True)
        assert list(r["c1_intervals"]) == list(own["c1_intervals"])
    alone[3].save(tmp_path / "a.csv")
    together[3].save(tmp_path / "b.csv")
    assert (tmp_path / "a.csv").read_bytes() == (tmp_path / "b.csv").read_bytes()


def test_a_calibration_lets_other_threads_run():
    """With a switch interval too long to ever expire, a woken thread gets the interpreter
    during a calibration only when the calculation has let go of it."""
    x, y, _ = random_case(0)
    x, y = np.tile(x, 30)[:10000], np.tile(y, 30)[:10000]
    go, ran = threading.Event(), threading.Event()

    def waiting():
        go.wait()
        ran.set()

    interval = sys.getswitchinterval()
    thread = threading.Thread(target=waiting)
    thread.start()
    sys.setswitchinterval(1000)
    try:
        go.set()
        for _ in range(5):
            quendrix.calibrate(x, y, model_sd=5, smoothing=25)
            if ran.is_set():
                break
        during = ran.is_set()
    finally:
        sys.setswitchinterval(interval)
        thread.join()
    assert during


def test_a_calibration_travels_between_processes_as_the_same_bits(tmp_path):
    c = calibrate_files(EXAMPLES / "calibration.csv", EXAMPLES / "error.csv", c1=50,
                        range=(-2.5, 42))
    copy = pickle.loads(pickle.dumps(c))
    assert copy.settings == c.settings and repr(copy) == repr(c)
    c.save(tmp_path / "here.csv")
    copy.save(tmp_path / "copy.csv")
    assert (tmp_path / "here.csv").read_bytes() == (tmp_path / "copy.csv").read_bytes()
    # Made in a worker process and handed back, as a process pool or a cluster would.
    x, y, sd = random_case(7)
    with ProcessPoolExecutor(1, mp_context=multiprocessing.get_context("spawn")) as pool:
        remote = pool.submit(quendrix.calibrate, x, y, model_sd=sd, smoothing=3).result()
    local = quendrix.calibrate(x, y, model_sd=sd, smoothing=3)
    assert np.array_equal(remote.prob, local.prob) and np.array_equal(remote.classes,
                                                                      local.classes)
    with pytest.raises(ValueError, match="not a pickled quendrix.Calibration"):
        quendrix.Calibration.__new__(quendrix.Calibration).__setstate__((x, y))
