#!/usr/bin/env python3
"""The Python module's speed: one calibration of 10000 records from NumPy arrays (no files), with
the generated error model (model_sd=5) and with error data (error=(ex, ey)), timed alone and
with one apply() of 10000 new X after it; then 1000 small calibrations (200 records each, every
one from a seed of its own) in a ThreadPoolExecutor of 1, 2, ... workers up to the cores and
twice that, beside the same 1000 one after another without a pool (the floor). The calibrations
release the GIL, so the wall time should fall with the cores.

Every task calibrates and reads its result back (a digest of prob, classes, mode and average);
the digests of every pooled run are held to those of the one-by-one run, and the benchmark stops
if one differs, so what is timed is the right work. The configurations take turns round by
round, so that a slow spell of the machine spreads over them. Times are wall-clock medians; "CPU"
is the process's CPU time (all threads), so CPU / wall shows how many cores were busy.

Usage: bench/python_bench.py [MODULE_DIR] [--quick] [--json] [--workers N,N,...]
  MODULE_DIR  the folder holding the quendrix module (build/python); PYTHONPATH otherwise
  --quick     fewer runs and 200 pooled calibrations (a first look; the medians are noisier)
  --json      the figures as JSON instead of the table
  --workers   the pool sizes to time (default: 1, 2, 4, ... up to the cores, and twice the cores)
bench/run-python-bench runs it on a build's module with the system's Python.
"""
import argparse
import concurrent.futures
import gc
import hashlib
import json
import os
import platform
import resource
import statistics
import sys
import time

RANGE = (0.0, 100.0)


def pairs(rng, n):
    """n X,Y pairs within RANGE: y = x + Gaussian noise, clipped to the range."""
    import numpy as np

    x = rng.uniform(5.0, 95.0, n)
    return x, np.clip(x + rng.normal(0.0, 4.0, n), *RANGE)


def digest(calibration):
    """The calibration's result as one value: equal digests mean the same bits."""
    h = hashlib.blake2b(digest_size=16)
    for array in (calibration.prob, calibration.classes, calibration.mode, calibration.average):
        h.update(memoryview(array).cast("B"))
    return h.hexdigest()


def timed(work):
    """Wall and process CPU seconds of work(), the page faults it took, and its result."""
    gc.collect()  # no earlier run's garbage collected on this one's time
    faults = resource.getrusage(resource.RUSAGE_SELF).ru_minflt
    cpu, wall = time.process_time(), time.perf_counter()
    result = work()
    wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
    return wall, cpu, resource.getrusage(resource.RUSAGE_SELF).ru_minflt - faults, result


def single(quendrix, np, runs):
    """Median wall ms of one 10000-record calibration, alone and with one apply of 10000 X."""
    rng = np.random.default_rng(20261206)
    x, y = pairs(rng, 10000)
    error = pairs(rng, 10000)
    new_x = rng.uniform(*RANGE, 10000)
    cases = {
        "model_sd=5": lambda: quendrix.calibrate(x, y, model_sd=5, range=RANGE),
        "error=(ex, ey)": lambda: quendrix.calibrate(x, y, error=error, range=RANGE),
    }
    work = {}
    for name, calibrate in cases.items():
        work[f"calibrate {name}"] = calibrate
        work[f"calibrate {name} + apply"] = lambda calibrate=calibrate: calibrate().apply(new_x)
    for name, w in work.items():  # warm-up, and a refusal shows before any timing
        w()
    times = {name: [] for name in work}
    for _ in range(runs):
        for name, w in work.items():
            times[name].append(timed(w)[0] * 1000)
    return {name: {"median_ms": statistics.median(t), "min_ms": min(t), "max_ms": max(t),
                   "runs": runs} for name, t in times.items()}


def pooled(quendrix, np, count, records, workers, rounds):
    """Wall and CPU time of `count` calibrations one after another and in pools of each size."""
    inputs = [pairs(np.random.default_rng(1000 + k), records) for k in range(count)]

    def task(k):
        return digest(quendrix.calibrate(*inputs[k], model_sd=5, range=RANGE))

    def one_by_one():
        return [task(k) for k in range(count)]

    def pool_of(n):
        def work():
            with concurrent.futures.ThreadPoolExecutor(max_workers=n) as pool:
                return list(pool.map(task, range(count)))
        return work

    configs = {"one by one": one_by_one}
    configs.update({f"{n} worker{'s' if n > 1 else ''}": pool_of(n) for n in workers})
    reference = one_by_one()  # warm-up, and the bits every pooled run must give
    if len(set(reference)) < count // 2:
        sys.exit("python_bench: the calibrations hardly differ; the check would prove little")
    walls = {name: [] for name in configs}
    cpus = {name: [] for name in configs}
    faults = {name: [] for name in configs}
    for _ in range(rounds):
        for name, work in configs.items():
            wall, cpu, fault_count, result = timed(work)
            if result != reference:
                bad = next(k for k in range(count) if result[k] != reference[k])
                sys.exit(f"python_bench: {name}: calibration {bad} differs from the same "
                         "calibration made one by one")
            walls[name].append(wall)
            cpus[name].append(cpu)
            faults[name].append(fault_count / count)
    out = {}
    for name in configs:
        wall = statistics.median(walls[name])
        out[name] = {"workers": 0 if name == "one by one" else int(name.split()[0]),
                     "wall_s": wall, "cpu_s": statistics.median(cpus[name]),
                     "per_second": count / wall,
                     "page_faults_per_calibration": statistics.median(faults[name]),
                     "rounds": rounds}
    base = out["1 worker"]["wall_s"]
    for figures in out.values():
        figures["speedup_over_1_worker"] = base / figures["wall_s"]
    return out


def default_workers(cores):
    sizes, n = [], 1
    while n < cores:
        sizes.append(n)
        n *= 2
    return sizes + [cores, 2 * cores]


def main():
    parser = argparse.ArgumentParser(description="Speed of the quendrix Python module.")
    parser.add_argument("module_dir", nargs="?", help="the folder holding the quendrix module")
    parser.add_argument("--quick", action="store_true", help="fewer runs (noisier medians)")
    parser.add_argument("--json", action="store_true", help="print the figures as JSON")
    parser.add_argument("--workers", help="pool sizes to time, e.g. 1,2,4")
    args = parser.parse_args()
    if args.module_dir:
        sys.path.insert(0, os.path.abspath(args.module_dir))
    try:
        import numpy as np
        import quendrix
    except ImportError as e:
        sys.exit(f"python_bench: {e} (give the folder holding the module, or set PYTHONPATH, "
                 "and use a Python with NumPy)")

    cores = os.cpu_count() or 1
    try:
        workers = ([int(n) for n in args.workers.split(",")] if args.workers
                   else default_workers(cores))
    except ValueError:
        sys.exit(f"python_bench: --workers {args.workers}: give whole numbers, e.g. 1,2,4")
    if not workers or min(workers) < 1:
        sys.exit("python_bench: --workers: every pool needs at least one worker")
    workers = sorted(set(workers) | {1})  # the speed-ups are over one worker
    runs, count, rounds = (5, 200, 1) if args.quick else (15, 1000, 3)
    records = 200

    figures = {
        "module": quendrix.__file__, "version": quendrix.__version__,
        "python": platform.python_version(), "numpy": np.__version__, "cpu_count": cores,
        "single": single(quendrix, np, runs),
        "pooled": {"calibrations": count, "records": records,
                   "configs": pooled(quendrix, np, count, records, workers, rounds)},
    }
    s = figures["single"]
    figures["with_apply_over_alone"] = {
        name: s[f"calibrate {name} + apply"]["median_ms"] / s[f"calibrate {name}"]["median_ms"]
        for name in ("model_sd=5", "error=(ex, ey)")}
    if args.json:
        json.dump(figures, sys.stdout, indent=2)
        print()
        return

    print(f"quendrix {figures['version']}, Python {figures['python']}, NumPy {figures['numpy']}, "
          f"{cores} cores")
    print(f"\none calibration of 10000 records (wall, {runs} runs):")
    for name, f in figures["single"].items():
        print(f"  {name + ':':<36} median {f['median_ms']:7.2f} ms "
              f"(min {f['min_ms']:.2f}, max {f['max_ms']:.2f})")
    for name, ratio in figures["with_apply_over_alone"].items():
        print(f"  {name}: calibrate + apply / calibrate alone: {ratio:.2f}")
    print(f"\n{count} calibrations of {records} records (median of {rounds} "
          f"round{'s' if rounds > 1 else ''}, all results checked against one by one):")
    print(f"  {'':12} {'wall':>9} {'CPU':>9} {'per second':>11} {'speed-up':>9} "
          f"{'faults':>7}")
    for name, f in figures["pooled"]["configs"].items():
        print(f"  {name:12} {f['wall_s']:7.3f} s {f['cpu_s']:7.3f} s {f['per_second']:11.1f} "
              f"{f['speedup_over_1_worker']:8.2f}x {f['page_faults_per_calibration']:7.0f}")
    print("  (speed-up: the wall time of 1 worker over this one's; faults: page faults per "
          "calibration)")


if __name__ == "__main__":
    main()
