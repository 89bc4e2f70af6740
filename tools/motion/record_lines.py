#!/usr/bin/env python3
"""Turns the joint angles logged by tovra-motion (--log) into motion data:
command lines (one per cycle: each joint's measured change over the cycle as
a speed, then 0.3 s back to the first pose) or a key-frame table (the
measured angles every few cycles, then back to the first pose).

    record_lines.py LOG FROM TO lines OUT
    record_lines.py LOG FROM TO once OUT
    record_lines.py LOG FROM TO table OUT [EVERY]
    record_lines.py LOG FROM TO getup-back OUT

"once" writes the command lines without the way back to the first pose (a
recording that is played once, such as a stand-up).

"getup-back" writes the command texts that the back get-up (GET_UP_BACK)
sent in the logged run, one per cycle: its approach commands, computed from
the logged angles as the action computes them, then the lines of
data/Acts/GetUpBack.txt. The measured angles alone replay badly where the
ground holds a joint back, so the stand-up lines ("outputdata") are the
commands themselves. The log must start with the action (FROM 0).

FROM and TO are times of the log (seconds from the start of the action)."""

import csv
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import acts  # noqa: E402


# The back get-up's approach: 36 cycles, each joint driven by (target -
# measured) / (36 - cycle) * 3, the head first, then the arms and legs, right
# side first.
APPROACH_CYCLES = 36
APPROACH_ORDER = ["hj1", "hj2", "raj1", "raj2", "raj3", "raj4", "laj1", "laj2", "laj3", "laj4",
                  "rlj1", "rlj2", "rlj3", "rlj4", "rlj5", "rlj6", "llj1", "llj2", "llj3", "llj4",
                  "llj5", "llj6"]


def number(v):
    text = ("%.6g" % v)
    return "0" if text in ("-0", "") else text


def getup_back_sent(samples, script):
    target = dict(acts.GETUP_BACK_START)
    text = []
    for k in range(min(APPROACH_CYCLES, len(samples))):
        parts = []
        for p in APPROACH_ORDER:
            if p in ("hj1", "hj2"):
                # The head's own commands (the sweep sent beside the action)
                # overrode the approach's; the recorded lines hold the head.
                parts.append("(%s 0)" % acts.JOINTS[acts.INDEX[p]][1])
                continue
            measured = samples[k][acts.INDEX[p]]
            value = (target.get(p, 0.0) - measured) / (APPROACH_CYCLES - k) * 3.0
            parts.append("(%s %s)" % (acts.JOINTS[acts.INDEX[p]][1], number(value)))
        # A stand-up line starts with "(" (lines that do not are skipped).
        text.append("".join(parts))
    with open(script) as f:
        text.extend(line.rstrip("\n") for line in f if line.startswith("("))
    return "\n".join(text) + "\n"


def main():
    if len(sys.argv) < 6:
        print(__doc__)
        return 2
    log, t0, t1, kind, out = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4], \
        sys.argv[5]
    rows = list(csv.reader(open(log)))
    head = rows[0]
    first = head.index("j0")
    samples = []
    for r in rows[1:]:
        t = float(r[0])
        if t0 - 1e-9 <= t <= t1 + 1e-9:
            samples.append([float(v) for v in r[first:first + 22]])
    if len(samples) < 2:
        print("no samples between %g and %g" % (t0, t1))
        return 1
    names = [p for p, _, _, _ in acts.JOINTS]
    if kind == "getup-back":
        body = getup_back_sent(samples, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                     "..", "..", "data", "Acts", "GetUpBack.txt"))
    elif kind in ("lines", "once"):
        text = []
        for a, b in zip(samples, samples[1:]):
            speeds = {names[j]: (b[j] - a[j]) / acts.CYCLE for j in range(2, 22)}
            text.append(acts.line_of(speeds))
        # Back to the first pose in 0.3 s, so that a replay starts where the
        # recording started and repeated replays do not drift.
        if kind == "lines":
            back = 15
            speeds = {names[j]: (samples[0][j] - samples[-1][j]) / (back * acts.CYCLE)
                      for j in range(2, 22)}
            text.extend([acts.line_of(speeds)] * back)
        body = "\n".join(text) + "\n"
    else:
        every = int(sys.argv[6]) if len(sys.argv) > 6 else 3
        frames = []
        for k in range(every, len(samples), every):
            frames.append((every * acts.CYCLE, {names[j]: samples[k][j] for j in range(2, 22)}))
        frames.append((0.3, {names[j]: samples[0][j] for j in range(2, 22)}))
        body = acts.matrix_table(os.path.basename(out), frames)
    with open(out, "w") as f:
        f.write(body)
    return 0


if __name__ == "__main__":
    sys.exit(main())
