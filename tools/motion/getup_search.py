#!/usr/bin/env python3
"""Random local search of the get-up key frames on the bundled simulator.

    getup_search.py back|front [--build DIR] [--iters N] [--trials N]
                    [--seed S] [--trial-seed S] [--jobs J] [--starts POSE:W,...]

The key frames are the rows of acts.GET_UP_BACK or acts.GET_UP_FRONT
(duration, hip, knee, ankle, hip yaw-pitch, hip roll, shoulder, shoulder
roll, elbow) and the time of the last frame to the standing crouch. Each candidate changes a few numbers of the best rows so far,
is written by acts.py into a scratch data directory and measured with
tovra-motion (lockstep, sensor noise on, trials from fixed seeds) from the
given start poses.
The best rows are printed whenever they improve, ready to be pasted into
acts.py; nothing under data/ is written."""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import acts  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "..", "data")

# Bounds of the row values (after the duration): hip, knee, ankle, yaw,
# roll, shoulder, shoulder roll, elbow; sym_pose clamps to the joint ranges.
LO = [0.1, -25, -130, -45, -90, -25, -120, -1, -1]
HI = [0.7, 100, 1, 75, 0, 45, 120, 95, 90]
STEP = [0.05, 15, 15, 15, 15, 5, 25, 10, 10]


def scratch_data():
    d = tempfile.mkdtemp(prefix="getup-search-")
    os.mkdir(os.path.join(d, "Acts"))
    for name in os.listdir(os.path.join(DATA, "Acts")):
        os.symlink(os.path.abspath(os.path.join(DATA, "Acts", name)),
                   os.path.join(d, "Acts", name))
    os.symlink(os.path.abspath(os.path.join(DATA, "formation.conf")),
               os.path.join(d, "formation.conf"))
    return d


def write(d, motion, cand):
    rows, tail = cand
    if motion == "back":
        acts.GET_UP_BACK, acts.GET_UP_BACK_TAIL = rows, tail
        name, text = "GetUpBack", acts.GetUpBack()
    else:
        acts.GET_UP_FRONT, acts.GET_UP_FRONT_TAIL = rows, tail
        name, text = "GetUpFront", acts.GetUpFront()
    if isinstance(text, list):
        if len(text) > 100:
            return False
        text = "\n".join(text) + "\n"
    path = os.path.join(d, "Acts", name + ".txt")
    if os.path.islink(path):
        os.unlink(path)
    with open(path, "w") as f:
        f.write(text)
    return True


def measure(args, d, action, start):
    """start: a start pose, optionally "+ACTION": an action requested for 0.3 s
    right after the robot lands (as when it falls while walking or turning
    and the running action winds down first), and ">ACTION": the action
    requested once the get-up has ended (instead of WAIT)."""
    pre = []
    if ">" in start:
        # The robot must stay up through the action requested afterwards.
        start, name = start.split(">")
        pre += ["--after", name]
    if "+" in start:
        start, name = start.split("+")
        pre += ["--settle", "0.05", "--pre", name, "0.3"]
    cmd = [os.path.join(args.build, "tovra-motion"), "--action", action, "--start", start,
           "--observe", "8", "--up-within", "6", "--trials", str(args.trials), "--jobs",
           str(args.jobs), "--seed", str(args.trial_seed), "--data", d, "--quiet"] + pre
    out = subprocess.run(cmd, capture_output=True, text=True).stdout
    m = re.search(r"up at the end \(up since at most 6 s\) (\d+)/(\d+)", out)
    ups = int(m.group(1)) if m else 0
    m = re.search(r"up since \[s\]\s+mean ([0-9.]+)", out)
    at = float(m.group(1)) if m else 6.0
    return ups, at


def score(args, d, motion, rows):
    try:
        if not write(d, motion, rows):
            return -1.0, "too long"
    except ValueError as e:
        return -1.0, str(e)
    action = "GET_UP_BACK" if motion == "back" else "GET_UP_FRONT"
    parts, total = [], 0.0
    for item in (args.starts or motion + ":1").split(","):
        start, weight = item.split(":")
        weight = float(weight)
        ups, at = measure(args, d, action, start)
        total += weight * (ups - 0.01 * at)
        parts.append("%s %d" % (start, ups))
    return total, ", ".join(parts)


def mutate(rng, cand):
    rows, tail = cand
    if rng.random() < 0.2:
        # The last frame: the time to the standing crouch.
        return rows, round(max(0.2, min(1.5, tail + rng.gauss(0, 0.1))), 3)
    new = [list(r) for r in rows]
    for _ in range(rng.randint(1, 3)):
        i = rng.randrange(len(new))
        k = rng.randrange(9)
        v = new[i][k] + rng.gauss(0, STEP[k])
        new[i][k] = round(max(LO[k], min(HI[k], v)), 3)
    return [tuple(r) for r in new], tail


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("motion", choices=["back", "front"])
    ap.add_argument("--build", default=os.path.join(HERE, "..", "..", "build-motion"))
    ap.add_argument("--iters", type=int, default=100)
    ap.add_argument("--trials", type=int, default=10)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--trial-seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--starts", default="",
                    help="start poses (back, front, left, right, each optionally "
                    "+ACTION before and >ACTION after the get-up) and their "
                    "weights, e.g. front:2,front+FAST_TURN_L:1,back>WALK_FORWARD:1 "
                    "(default: the motion's own pose)")
    args = ap.parse_args()
    rng = random.Random(args.seed)
    if args.motion == "back":
        best = (list(acts.GET_UP_BACK), acts.GET_UP_BACK_TAIL)
    else:
        best = (list(acts.GET_UP_FRONT), acts.GET_UP_FRONT_TAIL)
    d = scratch_data()
    # Ended by its process id: the scratch directory is still removed.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        best_score, text = score(args, d, args.motion, best)
        print("start: %.3f (%s)" % (best_score, text), flush=True)
        for it in range(args.iters):
            cand = mutate(rng, best)
            s, text = score(args, d, args.motion, cand)
            if s >= best_score:
                better = s > best_score
                best, best_score = cand, s
                if better:
                    print("iter %d: %.3f (%s)" % (it, s, text), flush=True)
                    for r in best[0]:
                        print("    (%s)," % ", ".join("%.3f" % v for v in r), flush=True)
                    print("    tail %.3f" % best[1], flush=True)
    finally:
        shutil.rmtree(d)
    return 0


if __name__ == "__main__":
    sys.exit(main())
