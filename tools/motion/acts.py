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


THIGH = 0.12
SHANK = 0.10


def leg_ik(dy, dz, foot=0.0, lean=0.0):
    """Hip pitch, knee and ankle pitch (degrees) that put the ankle at (dy
    forward, dz up) metres from the hip in the sagittal plane, with the torso
    leaning forward by `lean` and the sole pitched by `foot` (toes up
    positive) against the ground."""
    d = math.hypot(dy, dz)
    d = min(d, THIGH + SHANK - 1e-6)
    cos_bend = (d * d - THIGH * THIGH - SHANK * SHANK) / (2 * THIGH * SHANK)
    bend = math.acos(max(-1.0, min(1.0, cos_bend)))
    line = math.atan2(dy, -dz)
    thigh = line + math.asin(SHANK * math.sin(bend) / d)
    shank = thigh - bend
    hip = math.degrees(thigh) + lean
    knee = -math.degrees(bend)
    ankle = foot - math.degrees(shank)
    return hip, knee, ankle


def leg_pose(base, side, dy, dz, foot=0.0, lean=0.0, roll=None):
    """base with one leg ("l" or "r") set by leg_ik; roll sets the hip roll and
    the opposite ankle roll."""
    h, k, a = leg_ik(dy, dz, foot, lean)
    # the sole turns as far as the ankle allows
    a = max(JOINTS[INDEX["llj5"]][2], min(JOINTS[INDEX["llj5"]][3], a))
    changes = {side + "lj3": h, side + "lj4": k, side + "lj5": a}
    if roll is not None:
        changes[side + "lj2"] = roll
        changes[side + "lj6"] = -roll
    return pose(base, **changes)


def mirror_joint(j):
    """The joint that mirrors joint j and the sign its angle takes: left and
    right swap; hip, ankle, shoulder and elbow rolls and the head's pan
    change sign; the head's tilt stays."""
    if j == "hj1":
        return j, -1.0
    if j == "hj2":
        return j, 1.0
    other = ("r" + j[1:]) if j[0] == "l" else ("l" + j[1:])
    if (j[1:3] == "lj" and j[3] in "26") or (j[1:3] == "aj" and j[3] in "24"):
        return other, -1.0
    return other, 1.0


def mirror(p):
    """The left-right mirror image of a pose."""
    m = {}
    for j, v in p.items():
        other, sign = mirror_joint(j)
        m[other] = sign * v
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
def mirror_lines(lines):
    """The left-right mirror image of sine lines, the same in time: left and
    right joints swap, rolls change sign."""
    out = []
    for joint, terms in lines:
        other, sign = mirror_joint(joint)
        out.append((other, [(sign * a, T, ph, sign * o) for a, T, ph, o in terms]))
    # keep the joint order of the original
    order = [j for j, _ in lines]
    out.sort(key=lambda jt: order.index(jt[0]))
    return out


def sine_file(name, startup, shutdown, lines):
    """lines: list of (joint, [(amplitude, period, phase, offset), ...]). The
    period of the very last term is the length of one step."""
    out = ["%s %s" % (fmt(startup), fmt(shutdown))]
    for joint, terms in lines:
        lo, hi = JOINTS[INDEX[joint]][2], JOINTS[INDEX[joint]][3]
        # The angle over one step at full amplitude (and the offsets alone,
        # which the fade-in starts from).
        T = lines[-1][1][-1][1]
        values = [sum(a * math.sin(2 * math.pi * k * CYCLE / Tt + ph) + o
                      for a, Tt, ph, o in terms) for k in range(int(round(T / CYCLE)) + 1)]
        values.append(sum(o for _, _, _, o in terms))
        if min(values) < lo - 1e-6 or max(values) > hi + 1e-6:
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
        # A frame takes its time, or longer where a joint would need more
        # than the servo's speed (with a small margin).
        n = max(1, int(math.floor(duration / CYCLE + 0.5)))
        for j in BODY:
            clamp_check(name, j, target[j])
            n = max(n, int(math.ceil(abs(target[j] - current[j]) / (0.97 * MAX_SPEED * CYCLE))))
        speeds = {j: (target[j] - current[j]) / (n * CYCLE) for j in BODY}
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


# ---------------------------------------------------------------- get-ups
def sym_pose(hip, knee, ankle, yaw, roll, shoulder, shoulder_roll, elbow):
    """A left-right symmetric pose: hip pitch, knee, ankle pitch, hip
    yaw-pitch, hip roll (positive spreads the legs; the ankle rolls keep the
    soles parallel), shoulder pitch, shoulder roll outward, elbow roll."""
    p = legs(hip, knee, ankle, yaw=yaw, base=arms(shoulder, roll=shoulder_roll, elbow=elbow))
    p.update(llj2=roll, rlj2=-roll, llj6=-roll, rlj6=roll)
    for j in p:
        lo, hi = JOINTS[INDEX[j]][2], JOINTS[INDEX[j]][3]
        p[j] = max(lo, min(hi, p[j]))
    return p


def sym_frames(rows, tail=0.6):
    """Key frames from rows (duration, hip, knee, ankle, yaw, roll, shoulder,
    shoulder roll, elbow), ended by `tail` seconds to the standing crouch."""
    return [(r[0], sym_pose(*r[1:])) for r in rows] + [(tail, STAND)]


# From lying on the front: push up on the arms, frog the legs out and
# forward beside the body with the hip yaw-pitch, sit back onto the feet
# and close the legs while rising. Found by a random local search of the
# key frames on the simulator's physics (getup_search.py, used before
# optimise.py), from a calm start and from a start where a turn first winds down on the
# ground (as when the robot falls while turning):
#   getup_search.py front --starts front:1,front+FAST_TURN_L:1,front+FAST_TURN_R:1
# and again on the velocity-motor joints (sensor noise on), each candidate
# measured on 20 trials:
#   getup_search.py front --iters 400 --trials 20 --trial-seed 501 --seed 23
# (iteration 307 of 362): up within 6 s in 23 of 30 trials on the held-out
# seeds 401-430 and 22 of 30 on 601-630 (the rows before: 12 and 7 of 30).
# Searches that measured each candidate on 10 trials overfitted their seeds.
# Two CMA-ES searches from these rows (optimise.py getup-front, initial
# steps 0.04 and 0.015) found nothing better on the check seeds 401-430.
# A third, scored through the get-up skill (optimise.py getup-front-skill,
# 30 trials per candidate), found rows up within 6 s in 59 of 60 on the
# check seeds 401-460 (these rows: 54), but only 51 of 60 on the unused
# seeds 2001-2060, as these rows, and 0.7 s slower: not taken.
GET_UP_FRONT = [
    (0.319, -16.154, 1.000, 0.000, 0.000, 2.462, 13.449, 5.335, 8.591),
    (0.565, 92.792, -97.785, 75.000, -88.885, -17.950, -10.088, 8.493, 10.768),
    (0.289, 100.000, -130.000, 60.190, -90.000, 4.578, -24.745, -1.000, 0.008),
    (0.433, 42.279, -130.000, 47.700, -60.539, -25.000, -36.154, -0.389, -1.000),
    (0.294, 48.981, -122.325, 65.531, -40.598, 2.506, -13.876, 34.193, 46.432),
]


GET_UP_FRONT_TAIL = 0.200


@motion
def GetUpFront():
    return matrix_table("GetUpFront", sym_frames(GET_UP_FRONT, GET_UP_FRONT_TAIL))


# From lying on the back (GetUpBack: the approach brings the body into
# GETUP_BACK_START, then these frames are replayed as command lines, at most
# 100 lines): sit up with a swing of the arms, frog the legs beside the body
# and rise onto the feet. Found by the same search (getup_search.py back), run
# with the approach and the open-loop replay of the command lines.
# Searched again on the velocity-motor joints (sensor noise on), first on
# 10 trials per candidate (getup_search.py back --iters 500 --trial-seed
# 101 --seed 7: 41 of 60 up within 6 s on the held-out seeds 401-430 and
# 601-630), then on 20:
#   getup_search.py back --iters 400 --trials 20 --trial-seed 501 --seed 29
# (iteration 178): 50 of 60 on the same held-out seeds.
# The stand-up lines "outputdata" are the commands of one get-up of the
# first of those searches:
#   tovra-motion --action GET_UP_BACK --start back --observe 3 --seed 402 --log rec.csv
#   record_lines.py rec.csv 0 2.56 getup-back data/outputdata
GET_UP_BACK_TAIL = 0.311
GETUP_BACK_START = pose(legs(10, 0, -5.74), laj1=-80, raj1=-80, laj2=-5, raj2=5)
GET_UP_BACK = [
    (0.214, 17.321, -12.239, -12.373, 0.000, -3.489, -111.643, 35.447, 36.135),
    (0.348, 59.454, 1.000, -4.883, 0.000, -4.030, -113.851, 11.393, 22.555),
    (0.300, 100.000, -32.031, 5.012, 0.000, -15.816, -35.064, -1.000, -1.000),
    (0.292, 100.000, -12.061, -26.772, 0.000, 1.741, -58.181, 19.582, -1.000),
    (0.202, 99.441, -86.490, 69.699, -84.390, -1.381, 37.544, 3.083, 23.012),
]


@motion
def GetUpBack():
    if GET_UP_BACK is None:
        return None
    lines = command_lines("GetUpBack", GETUP_BACK_START, sym_frames(GET_UP_BACK, GET_UP_BACK_TAIL))
    if len(lines) > 100:
        raise ValueError("GetUpBack: %d lines, the action keeps 100" % len(lines))
    return lines


# From lying on a side the same motion works: its first push rolls the robot
# onto its front.
@motion
def GetUpLeft():
    return matrix_table("GetUpLeft", sym_frames(GET_UP_FRONT, GET_UP_FRONT_TAIL))


@motion
def GetUpRight():
    return matrix_table("GetUpRight", sym_frames(GET_UP_FRONT, GET_UP_FRONT_TAIL))


# ------------------------------------------------------------ sine gaits
def gait(name, T, **kw):
    """The sine file of gait_lines(T, **kw)."""
    startup, shutdown, lines = gait_lines(T, **kw)
    return sine_file(name, startup, shutdown, lines)


def gait_lines(T, crouch=(30, -60, 30), sway=8.0, lift=20.0, lift_phase=0.0, stride=0.0,
         stride_phase=0.0, turn=0.0, turn_phase=0.0, side=0.0, side_phase=0.0, arm=-90.0,
         arm_swing=0.0, startup=0.5, shutdown=0.5, mirrored=False):
    """A stepping gait of period T (one period = one step of each leg).

    sway: hip roll of both legs (feet flat by the ankle rolls); the torso is
    over the right foot while sin(wt) > 0, so the left leg lifts then.
    lift: knee bend of the swinging leg, hip and ankle pitch take half each
    so that the foot stays parallel to the ground.
    stride: hip pitch (and the opposite ankle pitch) in phase with the lift:
    positive moves the swinging foot forward.
    turn: hip yaw-pitch of one leg (positive turns left with the left leg,
    negative turns right with the right leg).
    side: hip roll of the two legs in opposite senses, in phase with the
    lift (positive steps to the left).
    """
    h0, k0, a0 = crouch
    w = 2 * math.pi
    lp = lift_phase
    lines = []

    def term(a, ph, off=0.0, period=T):
        return (a, period, ph, off)

    # sway and side steps
    # A side step spreads the legs while the leading leg swings and closes
    # them while the other one swings.
    lines.append(("llj2", [term(sway, 0.0), term(side, lp + side_phase)]))
    lines.append(("rlj2", [term(sway, 0.0), term(-side, lp + side_phase)]))
    lines.append(("llj6", [term(-sway, 0.0), term(-side, lp + side_phase)]))
    lines.append(("rlj6", [term(-sway, 0.0), term(side, lp + side_phase)]))
    # lift: the left leg bends while sin(wt + lp) > 0, the right one in the
    # other half period.
    # turning with one leg's yaw-pitch: open while that leg swings, close
    # while it stands. The yaw-pitch joint also swings the leg forward by
    # about 0.7 of its angle, which the hip pitch takes back.
    yaw = {"l": term(0, 0), "r": term(0, 0)}
    if turn > 0:
        yaw["l"] = term(turn / 2, lp + turn_phase, -turn / 2)
    elif turn < 0:
        yaw["r"] = term(-turn / 2, lp + math.pi + turn_phase, turn / 2)
    for leg, ph in (("l", lp), ("r", lp + math.pi)):
        a, _, yph, yoff = yaw[leg]
        lines.append((leg + "lj4", [term(-lift, ph, k0)]))
        lines.append((leg + "lj3", [term(lift / 2, ph, h0),
                                    term(stride, ph + stride_phase),
                                    term(0.7 * a, yph, 0.7 * yoff)]))
        lines.append((leg + "lj5", [term(lift / 2, ph, a0),
                                    term(-stride, ph + stride_phase)]))
    lines.append(("llj1", [yaw["l"]]))
    lines.append(("rlj1", [yaw["r"]]))
    lines.append(("laj1", [term(arm_swing, lp, arm)]))
    lines.append(("raj1", [term(-arm_swing, lp, arm)]))
    for j in ("laj2", "raj2", "laj3", "raj3", "laj4", "raj4"):
        lines.append((j, [term(0, 0)]))
    if mirrored:
        lines = mirror_lines(lines)
    return startup, shutdown, lines


# Gaits of 0.5 s: the phases below were found by sweeping them on the
# simulator (tovra-motion); the right-hand gaits are the mirror images of the
# left-hand ones.
TURN_PHASE = 2.25
STRIDE_PHASE = -1.5
SIDE_PHASE = -1.5
# Side steps need a wider sway and a lower lift to keep the legs clear.
# A variant whose turns and side steps start from and wind down to a crouch
# between waiting's (35, -78, 47) and their own, with side steps fading in
# within 0.1 s (commit 5c4bcae), cut the falls of a turn started right after
# the get-up from the back from 31 to 5 in 40 isolated trials, but the whole
# agent did no better with it (the forward from x = 10: 3 goals in 120
# trials against 2 in 140; 5.5 falls per 90 s run against 5.0) and our
# eleven alone scored in 1 of 9 runs of 600 s against 4 of 12 without it.
SIDE_GAIT = dict(sway=12, lift=16)


def both(name, **kw):
    """A left-hand gait and its mirror, written as <name>L and <name>R."""
    FILES[name + "L"] = lambda: gait(name + "L", 0.5, **kw)
    FILES[name + "R"] = lambda: gait(name + "R", 0.5, mirrored=True, **kw)


both("Turn", turn=40, turn_phase=TURN_PHASE)
both("SlowTurn", turn=20, turn_phase=TURN_PHASE)
# The fast turn and the walk around the ball: their gait parameters, as the
# optimiser (optimise.py turn, optimise.py around) searches them.
FAST_TURN = dict(turn=60, turn_phase=TURN_PHASE, sway=8.0, lift=20.0)
both("FastTurn", **FAST_TURN)
both("LargeTurn", turn=30, turn_phase=TURN_PHASE, stride=8, stride_phase=STRIDE_PHASE)
# Circling a ball in front: steps to the right while turning left.
WALK_AROUND_BALL = dict(turn=40, turn_phase=TURN_PHASE, side=-6, side_phase=SIDE_PHASE,
                        **SIDE_GAIT)
both("WalkAroundBall", **WALK_AROUND_BALL)


@motion
def Step():
    return gait("Step", 0.5)


@motion
def WalkForward():
    return gait("WalkForward", 0.5, stride=15, stride_phase=STRIDE_PHASE)


@motion
def WalkFast():
    return gait("WalkFast", 0.5, stride=22, stride_phase=-1.75)


@motion
def MiniWalkForward():
    return gait("MiniWalkForward", 0.5, stride=6, stride_phase=STRIDE_PHASE)


@motion
def WalkBackward():
    return gait("WalkBackward", 0.5, stride=-10, stride_phase=1.8 - math.pi)


@motion
def WalkLeft():
    return gait("WalkLeft", 0.5, side=8, side_phase=SIDE_PHASE, **SIDE_GAIT)


@motion
def WalkRight():
    return gait("WalkRight", 0.5, side=8, side_phase=SIDE_PHASE, **SIDE_GAIT, mirrored=True)


@motion
def WalkFastLeft():
    return gait("WalkFastLeft", 0.5, side=11, side_phase=SIDE_PHASE, **SIDE_GAIT)


@motion
def WalkFastRight():
    return gait("WalkFastRight", 0.5, side=11, side_phase=SIDE_PHASE, **SIDE_GAIT, mirrored=True)


@motion
def WalkSlowLeft():
    return gait("WalkSlowLeft", 0.5, side=6, side_phase=SIDE_PHASE, **SIDE_GAIT)


@motion
def WalkSlowRight():
    return gait("WalkSlowRight", 0.5, side=6, side_phase=SIDE_PHASE, **SIDE_GAIT, mirrored=True)


# ------------------------------------------------------------------ kicks
# The postures the approaches of the side kicks end in: both drive the legs
# to the same targets (left hip 9.17, knee -34.38, ankle 25.78; right 9,
# -34.39, 25.75) and the arms down with a roll of 23 (22.92) degrees, which
# one arm's range stops at 1. KickR's approach keeps the legs of KickL's, so
# its posture is not quite KickL's mirror image; the first frame of its
# script corrects that (the lines are open-loop speeds from the start).
APPROACH_LEGS = dict(llj3=9.17, llj4=-34.38, llj5=25.78, rlj3=9, rlj4=-34.39, rlj5=25.75)
KICK_START = pose(laj1=-90, raj1=-90, laj2=1, raj2=22.92, **APPROACH_LEGS)
KICK_R_START = pose(laj1=-90, raj1=-90, laj2=-23, raj2=-1, **APPROACH_LEGS)


# The side kick (a kick with the right leg; KickR is its mirror image). The
# side-kick routine fires it with the ball about 0.24 m ahead of the torso
# centre and 0.09 m to its right (the routine reads the ball's distance in
# the tilted camera frame, which overstates it), so the right foot reaches
# the ball without a step: the weight goes onto the left foot, the right leg
# draws back and swings through at the servos' speed, is put down beside the
# left one and the body centres again on both feet. The swing moves hip
# pitch, knee and ankle by the same 68 degrees, so that all three turn at the
# servos' speed (10 cycles; a larger change takes another cycle) and the
# shank meets the ball upright, whipping forward at twice the hip's rate.
# The foot meets the ball late in the swing, when it already rises: the
# ball's travel falls from about 3.5 m with the ball 0.2 m ahead to 2.3 m at
# 0.26 m, so the swing's arc sits as far forward as the hip allows.
# `stance` is the ankle's height below the hip (metres), `draw` and
# `swing_to` are (hip pitch, knee), angles degrees, times seconds.
# Tuned first with a random local search (kick_search.py, used before
# optimise.py), then with CMA-ES on the velocity-motor joints (sensor noise
# on; 13 candidates a generation, 8 trials of each kick, stopped after 26
# generations, the last 10 without a better candidate):
#   optimise.py kick --generations 30 --check-trials 20
# On 40 held-out seeds (tools/evaluate.py --runs 40, seeds 1001-1040,
# against the values before): KICK_R up 27/40 against 13/40, KICK_L up
# 32/40 against 30/40 but its ball 2.03 m against 2.69 m; the side-kick
# skill (--skill sidekick --ball 1 0 --observe 20) without a fall 29/40
# against 18/40, ball 2.05 m against 1.74 m.
KICK = dict(shift=15.2357, t_shift=0.4264, stance=-0.207, lean=1.5111, draw=(20.5082, -97.6788),
            draw_foot=-30.1319, reach_roll=5.6171, t_draw=0.2418, swing_to=(69.3139, -32.6271),
            toes=23.3554, swing_time=0.096, t_hold=0.0086, arm_swing=55.8951, t_back=0.2595,
            t_down=0.1565, t_centre=0.3716, t_settle=0.3606, drive=0.1978, reach=1.2314)


# Changes of KICK for KickR. The simulator is mirror-symmetric, and so are
# the two kicks' command lines, but the head is not: the dispatcher's head
# commands come after the script's in every message and win, and in the
# motion suite's rows they turn the head to the left (120 degrees) and tilt
# it down, which moves its weight to the back left, and sweep it once the
# flag it looks at leaves the view. Played as KickL's mirror image, KickR
# (standing on the right foot) met the ball about 2 cm later, sent it 0.5 m
# less far and turned the robot up to 160 degrees over its two plays; these
# changes (found by the same search) tip it a little further forward and
# further over the right foot. On the velocity-motor joints they were
# searched alone:
#   kick_search.py --iters 200 --trials 8 --trial-seed 101 --seed 5 --jobs 1 --up-weight 2
#       --kicks KICK_R --what right
# (stopped at iteration 130): up through both kicks in 7 of 20 trials on the
# held-out seeds 401-420 against 4 of 20 before.
KICK_R = dict(reach=1.6439, reach_roll=1.9607, lean=2.0006, drive=0.2838, shift=12.2802,
              draw=(9.4188, -100.4584), toes=29.7786, arm_swing=38.2029)


def kick_leg(base, side, dy, dz, foot=0.0, roll=None, lean=0.0):
    """leg_pose with the hip pitch, knee and ankle pitch kept in range."""
    p = leg_pose(base, side, dy, dz, foot, lean=lean, roll=roll)
    for j in (side + "lj3", side + "lj4", side + "lj5"):
        p[j] = max(JOINTS[INDEX[j]][2], min(JOINTS[INDEX[j]][3], p[j]))
    return p


def swing_leg(base, hip_knee, foot, roll):
    """base with the right leg's hip pitch and knee set directly (degrees),
    the sole pitched by `foot` against the torso's level (toes up
    positive) and the given hip roll (the ankle roll opposite)."""
    hip, knee = hip_knee
    ankle = foot - (hip + knee)
    lo, hi = JOINTS[INDEX["rlj5"]][2], JOINTS[INDEX["rlj5"]][3]
    return pose(base, rlj3=hip, rlj4=knee, rlj5=max(lo, min(hi, ankle)), rlj2=roll, rlj6=-roll)


def kick_frames(shift, t_shift, stance, lean, draw, draw_foot, reach_roll, t_draw, swing_to,
                toes, swing_time, t_hold, arm_swing, t_back, t_down, t_centre, t_settle,
                drive=0.0, twist=0.0, kick_yaw=0.0, follow=0.0, t_follow=0.0, reach=0.0):
    """Key frames of a kick with the right leg from KICK_START, without a
    step: both hip and ankle rolls move the body over the left foot (`shift`
    degrees) while both legs stretch to `stance` (the ankle's height below
    the hip; the left hip pitch leans the torso by `lean`), the right leg
    draws back to `draw` (its hip roll `reach_roll` further out) and swings
    through to `swing_to` as fast as the servos go while the arms swing
    against it (the body tipped forward over the left foot by `reach` degrees
    while the leg draws back), the left ankle tips the body forward by
    `drive` more and the
    left hip yaw-pitch turns the pelvis by `twist` (degrees, 0 or
    negative), the right one by `kick_yaw`; the leg swings on by `follow`
    degrees of hip pitch in `t_follow` seconds (slowing it down instead of
    stopping it at once), holds, comes back beside the left foot and is put
    down, and the rolls return to a wide double stance. (duration, pose)
    pairs."""
    y0, z0 = -0.024, -0.209  # the ankle under KICK_START's hip
    over_left = kick_leg(KICK_START, "l", y0, stance, roll=-shift, lean=lean)
    over_left = kick_leg(over_left, "r", y0, stance, roll=-shift)
    drawn = swing_leg(over_left, draw, draw_foot, -shift - reach_roll)
    # while the leg draws back, the left ankle and hip tip the body forward
    # over the left foot by `reach` degrees, which brings the swing's fastest
    # part to the ball
    drawn = pose(drawn, llj3=drawn["llj3"] + reach, llj5=drawn["llj5"] + reach)
    kicked = swing_leg(drawn, swing_to, toes, -shift - reach_roll)
    # the left ankle tips the body forward into the kick, the left hip keeps
    # the torso's pitch
    kicked = pose(kicked, llj3=kicked["llj3"] + drive, llj5=kicked["llj5"] + drive,
                  llj1=twist, rlj1=kick_yaw)
    kicked = pose(kicked, laj1=-90 + arm_swing, raj1=max(-120.0, -90 - arm_swing / 2))
    frames = [(t_shift, over_left), (t_draw, drawn), (swing_time, kicked)]
    if t_follow > 0:
        hip = min(JOINTS[INDEX["rlj3"]][3], swing_to[0] + follow)
        followed = swing_leg(kicked, (hip, swing_to[1]), toes, -shift - reach_roll)
        frames.append((t_follow, followed))
        kicked = followed
    back = kick_leg(kicked, "r", y0, stance + 0.03, roll=-shift)
    back = pose(back, laj1=-90, raj1=-90, llj3=over_left["llj3"], llj5=over_left["llj5"], llj1=0,
                rlj1=0)
    down = kick_leg(back, "r", y0, stance, roll=-shift)
    centred = pose(KICK_START)
    return frames + [
        (t_hold, kicked),
        (t_back, back),
        (t_down, down),
        (t_centre, centred),
        (t_settle, centred),
    ]


@motion
def Shoot():
    # The kick of KickL as a key-frame table, from the standing crouch.
    frames = kick_frames(**KICK)
    return matrix_table("Shoot", [(0.4, KICK_START)] + frames)


@motion
def KickL():
    return command_lines("KickL", KICK_START, kick_frames(**KICK))


@motion
def KickR():
    # The mirror image of KickL's frames (with KICK_R's changes); the first
    # one also takes the approach's posture to the mirror image of KickL's
    # start.
    return command_lines("KickR", KICK_R_START,
                         [(d, mirror(p)) for d, p in kick_frames(**dict(KICK, **KICK_R))])


# ------------------------------------------------------- recorded walks
# WalkSideL/R (command lines) and WalkSideShortL/R (key frames) are not
# written here: they are recordings of the side gaits played on the
# simulator, made with (in the build directory, for L and R):
#
#   tovra-motion --action WALK_LEFT --pre WAIT 1 --hold 2.0 --observe 4 \
#       --no-jitter --data ../data --log /tmp/side_l.csv
#   python3 ../tools/motion/record_lines.py /tmp/side_l.csv 0.2 2.7 lines \
#       ../data/Acts/WalkSideL.txt
#   tovra-motion --action WALK_LEFT --pre WAIT 1 --hold 0.6 --observe 3 \
#       --no-jitter --data ../data --log /tmp/short_l.csv
#   python3 ../tools/motion/record_lines.py /tmp/short_l.csv 0.2 1.2 table \
#       ../data/Acts/WalkSideShortL.txt 2
#
# (WALK_RIGHT for the right-hand files.)


# ---------------------------------------------------- dives and defending
# A dive drives only the rolls and the arms: the legs keep whatever bend
# they had, so the body tips sideways instead of pitching.
DIVE_JOINTS = ["llj2", "rlj2", "llj6", "rlj6", "laj1", "raj1", "laj2", "raj2"]


# roll: both hip rolls (degrees), arms: the shoulder rolls (left, right),
# t_tip: the time to the tipping pose, held for the rest of the second.
DIVE = dict(roll=25, arms=(-47, 95), t_tip=0.1)


def dive_right(arms_up):
    """Falls to the right: both feet are pushed to the left under the body
    and the arms reach out to the right (over the head when arms_up)."""
    d = DIVE
    tip = pose(STAND, llj2=d["roll"], rlj2=d["roll"], llj6=0, rlj6=0, laj2=d["arms"][0],
               raj2=d["arms"][1])
    if arms_up:
        tip = pose(tip, laj1=120, raj1=120, laj2=-10, raj2=10)
    return [(d["t_tip"], tip), (1.0 - d["t_tip"], tip)]


@motion
def DiveLegR():
    return matrix_table("DiveLegR", dive_right(False), joints=DIVE_JOINTS)


@motion
def DiveLegL():
    return matrix_table("DiveLegL", [(d, mirror(p)) for d, p in dive_right(False)],
                        joints=DIVE_JOINTS)


@motion
def DiveHandR():
    return matrix_table("DiveHandR", dive_right(True), joints=DIVE_JOINTS)


@motion
def DiveHandL():
    return matrix_table("DiveHandL", [(d, mirror(p)) for d, p in dive_right(True)],
                        joints=DIVE_JOINTS)


@motion
def DiveFront():
    # Falls forward onto the stretched arms.
    lean = pose(legs(40, 0, 0), laj1=70, raj1=70)
    return matrix_table("DiveFront", [(0.2, lean), (0.8, lean)])


@motion
def DiveBack():
    # Sits down backwards with the arms forward.
    sit = pose(legs(80, -130, 0), laj1=0, raj1=0)
    return matrix_table("DiveBack", [(0.3, sit), (0.7, sit)])


@motion
def DefendGoalL():
    # Blocks to the left without falling: a wide step of the left leg and the
    # left arm out, then back to the crouch.
    block = pose(STAND, llj2=22, llj6=-22, rlj2=8, rlj6=-8, laj1=-90, laj2=-80)
    return matrix_table("DefendGoalL", [(0.3, block), (0.6, block), (0.4, STAND)])


@motion
def DefendGoalR():
    block = mirror(pose(STAND, llj2=22, llj6=-22, rlj2=8, rlj6=-8, laj1=-90, laj2=-80))
    return matrix_table("DefendGoalR", [(0.3, block), (0.6, block), (0.4, STAND)])


@motion
def LieFront():
    # Goes down onto the front in a controlled way: crouch, hands forward,
    # lean over and stretch out.
    crouch = pose(legs(90, -120, 45), laj1=0, raj1=0)
    over = pose(legs(60, -60, 0), laj1=30, raj1=30)
    flat = pose(legs(0, 0, 0), laj1=-90, raj1=-90)
    return matrix_table("LieFront", [(0.5, crouch), (0.4, over), (0.6, flat)])


@motion
def LieBack():
    # Sits down and lies back.
    sit = pose(legs(90, -130, 10), laj1=0, raj1=0)
    back = pose(legs(60, -40, 0), laj1=-90, raj1=-90)
    flat = pose(legs(0, 0, 0), laj1=-90, raj1=-90)
    return matrix_table("LieBack", [(0.6, sit), (0.5, back), (0.5, flat)])


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
        if text is None:
            print("%s: not written" % name)
            continue
        if isinstance(text, list):
            text = "\n".join(text) + "\n"
        with open(os.path.join(args.out, name + ".txt"), "w") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
