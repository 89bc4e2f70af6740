#!/usr/bin/env python3
"""Random local search of the side kick (acts.KICK) on the bundled simulator.

    kick_search.py [--build DIR] [--iters N] [--trials N] [--seed S]
                   [--trial-seed S] [--jobs J] [--ball FWD LEFT ...]
                   [--init DICT]

Each candidate changes a few numbers of the best parameters so far, is
written by acts.py (KickL.txt) into a scratch data directory and measured
with tovra-motion (lockstep, noise off, trials from fixed seeds): KICK_L
played once with the ball where the side-kick routine fires it. Because the
dispatcher winds a side kick down by playing it once more, the robot has to
stay up through two kicks. Score per trial: ball travel (up to 3.5 m, in
units of 3.5 m) plus 1 for no fall, or the time of the first fall / 8 s.
The best parameters are printed whenever they improve, ready to be pasted
into acts.py; nothing under data/ is written."""

import argparse
import ast
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import acts  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "..", "data")

# name: (low, high, step); pairs are searched per component.
BOUNDS = {
    "shift": (6, 22, 2),
    "t_shift": (0.12, 0.5, 0.06),
    "stance": (-0.2199, -0.2, 0.004),
    "lean": (-10, 15, 3),
    "draw": ((-40, -125), (40, -20), (8, 10)),
    "draw_foot": (-30, 20, 6),
    "reach_roll": (-10, 15, 3),
    "t_draw": (0.08, 0.4, 0.05),
    "swing_to": ((10, -80), (95, 0), (8, 8)),
    "toes": (-30, 30, 6),
    "swing_time": (0.02, 0.2, 0.03),
    "t_hold": (0.0, 0.2, 0.04),
    "arm_swing": (0, 140, 15),
    "t_back": (0.08, 0.5, 0.06),
    "t_down": (0.06, 0.4, 0.05),
    "t_centre": (0.1, 0.6, 0.08),
    "t_settle": (0.0, 0.4, 0.06),
    "drive": (-5, 20, 4),
}


def clip(v, lo, hi):
    return max(lo, min(hi, v))


def mutate(params, rng, scale):
    p = dict(params)
    for name in rng.sample(sorted(BOUNDS), rng.randint(1, 4)):
        lo, hi, st = BOUNDS[name]
        if isinstance(lo, tuple):
            p[name] = tuple(round(clip(p[name][i] + rng.gauss(0, st[i] * scale), lo[i], hi[i]), 4)
                            for i in range(len(lo)))
        else:
            p[name] = round(clip(p[name] + rng.gauss(0, st * scale), lo, hi), 4)
    return p


def scratch_data():
    d = tempfile.mkdtemp(prefix="kick-search-")
    os.mkdir(os.path.join(d, "Acts"))
    for name in os.listdir(os.path.join(DATA, "Acts")):
        os.symlink(os.path.abspath(os.path.join(DATA, "Acts", name)),
                   os.path.join(d, "Acts", name))
    os.symlink(os.path.abspath(os.path.join(DATA, "formation.conf")),
               os.path.join(d, "formation.conf"))
    return d


def write(d, params):
    acts.KICK = params
    try:
        lines = acts.KickL()
    except ValueError:
        return False
    if len(lines) > 300:
        return False
    path = os.path.join(d, "Acts", "KickL.txt")
    if os.path.islink(path):
        os.unlink(path)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    return True


TRIAL = re.compile(r"falls (\d+)(?: \(first ([-0-9.]+)\))?.*ball ([0-9.]+)")


def measure(args, d, ball):
    cmd = [os.path.join(args.build, "tovra-motion"), "--action", "KICK_L", "--ball",
           str(ball[0]), str(ball[1]), "--observe", "6", "--trials", str(args.trials), "--jobs",
           str(args.jobs), "--seed", str(args.trial_seed), "--data", d]
    out = subprocess.run(cmd, capture_output=True, text=True).stdout
    scores, travel, ups = [], [], 0
    for line in out.splitlines():
        if not line.startswith("trial "):
            continue
        m = TRIAL.search(line)
        if not m:
            scores.append(0.0)
            continue
        falls, b = int(m.group(1)), float(m.group(3))
        first = float(m.group(2)) if m.group(2) else 0.0
        up = falls == 0 and " DOWN " not in line
        ups += up
        travel.append(b)
        scores.append(min(b, 3.5) / 3.5 + args.up_weight * (1.0 if up else max(first, 0) / 8.0))
    if not scores:
        return 0.0, [], 0
    return sum(scores) / len(scores), travel, ups


def score(args, d, params):
    if not write(d, params):
        return -1.0, ""
    total, notes = 0.0, []
    for ball in args.balls:
        s, travel, ups = measure(args, d, ball)
        total += s
        notes.append("ball %s: %s, up %d" % (ball, " ".join("%.2f" % t for t in travel), ups))
    return total / len(args.balls), "; ".join(notes)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"))
    ap.add_argument("--iters", type=int, default=200)
    ap.add_argument("--trials", type=int, default=4)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--trial-seed", type=int, default=101)
    ap.add_argument("--jobs", type=int, default=1)
    ap.add_argument("--ball", nargs=2, type=float, action="append")
    ap.add_argument("--up-weight", type=float, default=1.0,
                    help="weight of staying up against ball travel (default 1)")
    ap.add_argument("--init", help="starting parameters (a dict as printed), default acts.KICK")
    args = ap.parse_args()
    args.balls = args.ball or [(0.24, -0.09)]
    rng = random.Random(args.seed)
    d = scratch_data()
    try:
        best = dict(acts.KICK)
        if args.init:
            best.update(ast.literal_eval(args.init))
        best_score, note = score(args, d, best)
        print("start %.3f %s" % (best_score, note), flush=True)
        scale = 1.0
        for it in range(args.iters):
            cand = mutate(best, rng, scale)
            s, note = score(args, d, cand)
            if s > best_score:
                best, best_score = cand, s
                print("iter %d score %.3f %s\nKICK = %r" % (it, s, note, best), flush=True)
                scale = min(2.0, scale * 1.2)
            else:
                scale = max(0.3, scale * 0.97)
        print("best %.3f\nKICK = %r" % (best_score, best), flush=True)
    finally:
        shutil.rmtree(d)
    return 0


if __name__ == "__main__":
    sys.exit(main())
