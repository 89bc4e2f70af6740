#!/usr/bin/env python3
"""Turns the joint angles logged by tovra-motion (--log) into motion data:
command lines (one per cycle: each joint's measured change over the cycle as
a speed, then 0.3 s back to the first pose) or a key-frame table (the
measured angles every few cycles, then back to the first pose).

    record_lines.py LOG FROM TO lines OUT
    record_lines.py LOG FROM TO once OUT
    record_lines.py LOG FROM TO table OUT [EVERY]

"once" writes the command lines without the way back to the first pose (a
recording that is played once, such as a stand-up).

FROM and TO are times of the log (seconds from the start of the action)."""

import csv
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import acts  # noqa: E402


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
    if kind in ("lines", "once"):
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
