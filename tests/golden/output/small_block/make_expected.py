#!/usr/bin/env python3
"""Writes expected.csv for CommonOutputTest's golden case straight from the format rules:
15 head lines, a column-head line and 201 rows, fields joined by commas, CR LF line ends,
numbers as the shortest single text without the zero before the decimal point."""
import struct
import sys


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def num(v):
    v = f32(v)
    if v == 0:
        return "0"
    for p in range(1, 8):
        s = "%.*e" % (p - 1, v)
        if f32(float(s)) == v:
            break
    mant, exp = s.split("e")
    exp = int(exp)
    neg = mant.startswith("-")
    digits = mant.lstrip("-").replace(".", "").rstrip("0") or "0"
    if exp < -4 or exp >= 7:
        body = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
        body += "E%s%02d" % ("-" if exp < 0 else "+", abs(exp))
    elif exp < 0:
        body = "." + "0" * (-exp - 1) + digits
    elif len(digits) <= exp + 1:
        body = digits + "0" * (exp + 1 - len(digits))
    else:
        body = digits[: exp + 1] + "." + digits[exp + 1 :]
    return ("-" if neg else "") + body


lo, hi = -1.0, 1.0
cells = {(0, 0): 0.5, (1, 0): -0.5, (2, 0): 3, (3, 0): 68.2, (4, 0): 0.001234, (5, 0): -0.0,
         (6, 0): 1e8, (7, 0): 2.5e-5, (0, 1): 12345678, (100, 100): 1.5, (199, 200): -2.25,
         (200, 200): 1e-5}
axis = [num(lo + (hi - lo) / 200 * k) for k in range(200)] + [num(hi)]
q = lambda t: '"' + t + '"'
lines = [
    q("Quendrix common output format"),
    q("Head note length (lines): ") + "," + q("15"),
    q("Version: ") + "," + q("3.0.0"),
    q("Original file1: ") + "," + q('/data/cal "2024".csv'),
    q("X: ") + "," + q("Field reading (mg/L)"),
    q("Y: ") + "," + q("Reference"),
    q("Original file2: ") + "," + q("err.csv"),
    q("X: ") + "," + q("A 1"),
    q("Y: ") + "," + q("A 2"),
    q("Resolution (steps): ") + ",200",
    q("Smoothing level (% of range): ") + ",7.5",
    q("Vertical threshold (samples):") + ",3",
    q("Horizontal threshold (samples):") + ",0",
    q("Confidence coefficient1 (%):") + ",68.2",
    q("Confidence coefficient2 (%):") + ",99.9",
    "," + ",".join(axis),
]
for j in range(201):
    lines.append(",".join([axis[j]] + [num(cells.get((i, j), 0.0)) for i in range(201)]))
sys.stdout.buffer.write("".join(l + "\r\n" for l in lines).encode("ascii"))
