#!/usr/bin/env python3
"""Writes the motion files under data/Acts/ from the pose and gait
descriptions below, so that every tuned number lives in one place and the
files can be regenerated after a change:

    python3 tools/motion/acts.py [--out data/Acts] [--only NAME ...]

Three kinds of file are written:
  key-frame tables  - line 1 "rows cols", row 0 segment start times, row 1
                      segment end times, then one row per joint: JointID + 1
                      followed by the joint's target angle (degrees) at the end
                      of each segment;
  sine files        - line 1 "startup shutdown", then per joint its perceptor
                      name and terms "+ amplitude period phase offset";
  command lines     - one full command text per 0.02 s cycle (recorded walks
                      and the scripts replayed after an approach).
Angles are degrees; the joint ranges of the robot model are checked.
"""

import argparse
import math
import os
import sys

CYCLE = 0.02
MAX_SPEED = 351.77  # degrees per second, the servo's limit

# Joints in JointID order: perceptor name, effector name, range (degrees).
JOINTS = [
    ("hj1", "he1", -120, 120),
    ("hj2", "he2", -45, 45),
    ("llj1", "lle1", -90, 1),
    ("rlj1", "rle1", -90, 1),
    ("llj2", "lle2", -25, 45),
    ("rlj2", "rle2", -45, 25),
    ("llj3", "lle3", -25, 100),
    ("rlj3", "rle3", -25, 100),
    ("llj4", "lle4", -130, 1),
    ("rlj4", "rle4", -130, 1),
    ("llj5", "lle5", -45, 75),
    ("rlj5", "rle5", -45, 75),
    ("llj6", "lle6", -45, 25),
    ("rlj6", "rle6", -25, 45),
    ("laj1", "lae1", -120, 120),
    ("raj1", "rae1", -120, 120),
    ("laj2", "lae2", -95, 1),
    ("raj2", "rae2", -1, 95),
    ("laj3", "lae3", -120, 120),
    ("raj3", "rae3", -120, 120),
    ("laj4", "lae4", -1, 90),
    ("raj4", "rae4", -90, 1),
]
INDEX = {p: i for i, (p, _, _, _) in enumerate(JOINTS)}
LEGS = [p for p, _, _, _ in JOINTS[2:14]]
ARMS = [p for p, _, _, _ in JOINTS[14:22]]
BODY = LEGS + ARMS


def clamp_check(name, joint, value):
    lo, hi = JOINTS[INDEX[joint]][2], JOINTS[INDEX[joint]][3]
    if value < lo - 1e-6 or value > hi + 1e-6:
        raise ValueError("%s: %s = %.2f outside %g..%g" % (name, joint, value, lo, hi))


def fmt(v):
    text = ("%.3f" % v).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


# ---------------------------------------------------------------- poses
def pose(base=None, **angles):
    """A full body pose (every leg and arm joint) from a base and changes."""
    p = dict(base) if base else {j: 0.0 for j in BODY}
    for k, v in angles.items():
        if k not in INDEX:
            raise KeyError(k)
        p[k] = float(v)
    return p


def legs(hip, knee, ankle, roll=0.0, yaw=0.0, base=None):
    """Both legs: hip pitch, knee, ankle pitch, hip roll (+ moves both feet to
    the left, so the ankles get the opposite), hip yaw-pitch."""
    return pose(base, llj1=yaw, rlj1=yaw, llj2=roll, rlj2=roll, llj3=hip, rlj3=hip,
                llj4=knee, rlj4=knee, llj5=ankle, rlj5=ankle, llj6=-roll, rlj6=-roll)


def arms(pitch, roll=0.0, yaw=0.0, elbow=0.0, base=None):
    """Both arms mirrored: shoulder pitch (-90 down), roll outward, elbow yaw
    and elbow roll (flexing)."""
    return pose(base, laj1=pitch, raj1=pitch, laj2=-roll, raj2=roll, laj3=yaw, raj3=yaw,
                laj4=elbow, raj4=-elbow)


def mirror(p):
    """The left-right mirror image of a pose."""
    m = {}
    for j, v in p.items():
        other = ("r" + j[1:]) if j[0] == "l" else ("l" + j[1:])
        if j[1:3] == "lj" and j[3] in "26":  # hip and ankle roll change sign
            v = -v
        if j[1:3] == "aj" and j[3] in "24":  # shoulder and elbow roll change sign
            v = -v
        m[other] = v
    return m


# ------------------------------------------------------- key-frame tables
def matrix_table(name, frames, joints=None, hold_end=None):
    """frames: list of (duration, pose or dict of changes). Each frame is one
    segment that ends at the pose. joints: rows written (default: every body
    joint). hold_end: an extra final column that only sets the end time of the
    action (segments beyond it are still driven while they contain the
    time)."""
    joints = joints or BODY
    starts, ends, targets = [], [], []
    t = 0.0
    current = {}
    for duration, changes in frames:
        current = dict(current)
        current.update(changes)
        starts.append(t)
        t += duration
        ends.append(t)
        targets.append(dict(current))
    if hold_end is not None:
        starts.append(hold_end)
        ends.append(hold_end)
        targets.append(dict(current))
    rows = []
    rows.append("0 " + " ".join(fmt(s) for s in starts))
    rows.append("0 " + " ".join(fmt(e) for e in ends))
    for j in joints:
        vals = []
        for tg in targets:
            if j not in tg:
                raise ValueError("%s: %s has no target in some frame" % (name, j))
            clamp_check(name, j, tg[j])
            vals.append(fmt(tg[j]))
        rows.append("%d %s" % (INDEX[j] + 1, " ".join(vals)))
    cols = len(starts) + 1
    if len(rows) > 24 or cols > 100:
        raise ValueError("%s: table too large" % name)
    return "%d %d\n%s\n" % (len(rows), cols, "\n".join(rows))


# ------------------------------------------------------------ sine files
def sine_file(name, startup, shutdown, lines):
    """lines: list of (joint, [(amplitude, period, phase, offset), ...]). The
    period of the very last term is the length of one step."""
    out = ["%s %s" % (fmt(startup), fmt(shutdown))]
    for joint, terms in lines:
        lo, hi = JOINTS[INDEX[joint]][2], JOINTS[INDEX[joint]][3]
        extreme = sum(abs(a) for a, _, _, _ in terms)
        offset = sum(o for _, _, _, o in terms)
        if offset - extreme < lo - 1e-6 or offset + extreme > hi + 1e-6:
            raise ValueError("%s: %s swings outside %g..%g" % (name, joint, lo, hi))
        parts = [joint]
        for a, T, ph, o in terms:
            parts.append("+ %s %s %s %s" % (fmt(a), fmt(T), ("%.4f" % ph), fmt(o)))
        out.append(" ".join(parts))
    return "\n".join(out) + "\n"


# ------------------------------------------------- command line scripts
def command_lines(name, start, frames, extra_cycles=0):
    """Open-loop command lines: from the pose `start`, each frame (duration,
    changes) moves every joint at constant speed to its target. One line per
    cycle, all 22 joints (the head held)."""
    current = dict(start)
    lines = []
    for duration, changes in frames:
        target = dict(current)
        target.update(changes)
        n = max(1, int(round(duration / CYCLE)))
        speeds = {}
        for j in BODY:
            clamp_check(name, j, target[j])
            speed = (target[j] - current[j]) / (n * CYCLE)
            if abs(speed) > MAX_SPEED + 1e-6:
                raise ValueError("%s: %s needs %.0f deg/s" % (name, j, speed))
            speeds[j] = speed
        for _ in range(n):
            lines.append(line_of(speeds))
        current = target
    for _ in range(extra_cycles):
        lines.append(line_of({}))
    return lines


def line_of(speeds_deg):
    parts = []
    for p, e, _, _ in JOINTS:
        v = math.radians(speeds_deg.get(p, 0.0))
        parts.append("(%s %s)" % (e, fmt(round(v, 4))))
    return "".join(parts)


# ================================================================ motions
FILES = {}


def motion(fn):
    FILES[fn.__name__] = fn
    return fn


# The standing posture shared by waiting and the walk engine's start.
STAND = legs(35, -78, 47, base=arms(-90))


@motion
def Wait():
    # One segment of 0.24 s; the robot converges on the crouch of the walk.
    return matrix_table("Wait", [(0.24, STAND)])


@motion
def SetToZero():
    # Never sent: the action ends after its approach.
    return "(he1 0)(he2 0)\n"


# ------------------------------------------------------------------ main
def main():
    ap = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--out", default=os.path.join(here, "..", "..", "data", "Acts"))
    ap.add_argument("--only", nargs="*")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, fn in FILES.items():
        if args.only and name not in args.only:
            continue
        text = fn()
        if isinstance(text, list):
            text = "\n".join(text) + "\n"
        with open(os.path.join(args.out, name + ".txt"), "w") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
