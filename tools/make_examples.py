#!/usr/bin/env python3
"""Writes the example data files in examples/ (fixed seed, so the files never change).

calibration.csv  file 1: 300 samples of a field instrument's reading (X) against the laboratory
                 reference (Y) of the same water samples, nitrate in mg/L.
error.csv        file 2: 150 duplicate laboratory analyses of the same samples, from which the
                 error of the reference is estimated.
missing.csv      file 1 with a few readings lost (-9999 marks a missing value).
readings.csv     new field readings, one column, to read the calibration off at (one of them
                 beyond the range, one lost).
pairs.csv        200 further samples measured both ways, to check the calibration's coverage.
"""
import os
import random

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")


def write(name, header, rows):
    with open(os.path.join(HERE, name), "w", newline="") as f:
        f.write(",".join(header) + "\r\n")
        for x, y in rows:
            f.write(f"{x},{y}\r\n")


def field_samples(rng, count):
    """Water samples measured with the field instrument and in the laboratory."""
    samples = []
    for _ in range(count):
        truth = rng.uniform(2.0, 36.0)
        reading = truth + rng.gauss(0, 1.0)
        reference = 0.92 * truth + 1.4 + rng.gauss(0, 1.6)
        samples.append((round(reading, 2), round(reference, 2)))
    return samples


def main():
    rng = random.Random(20261206)
    calibration = field_samples(rng, 300)
    write("calibration.csv", ["Field reading (mg/L)", "Reference (mg/L)"], calibration)

    error = []
    for _ in range(150):
        truth = rng.uniform(2.0, 36.0)
        first = truth + rng.gauss(0, 1.1)
        second = truth + rng.gauss(0, 1.1)
        error.append((round(first, 2), round(second, 2)))
    write("error.csv", ["Analysis 1 (mg/L)", "Analysis 2 (mg/L)"], error)

    missing = list(calibration[:60])
    for k in (4, 17, 33, 48):
        x, y = missing[k]
        missing[k] = (x, -9999) if k % 2 == 0 else (-9999, y)
    write("missing.csv", ["Field reading (mg/L)", "Reference (mg/L)"], missing)

    # A generator of their own, so the files above never change.
    later = random.Random(20261207)
    readings = [round(later.uniform(2.0, 36.0), 2) for _ in range(10)] + [47.5, -9999]
    with open(os.path.join(HERE, "readings.csv"), "w", newline="") as f:
        f.write("Field reading (mg/L)\r\n")
        for x in readings:
            f.write(f"{x}\r\n")
    pairs = field_samples(later, 200)
    write("pairs.csv", ["Field reading (mg/L)", "Reference (mg/L)"], pairs)


if __name__ == "__main__":
    main()
