"""The motions the optimiser searches, each declared in one place.

A problem names the acts.py values it changes (each with its bounds), the
motion files those values generate, the tovra-motion scenarios a candidate
is measured on and how one trial scores (higher is better). The starting
point is whatever acts.py holds.

Search seeds: every problem draws its trial seeds from its own range (101..
for the kicks, 501.. for the get-ups, 701.. for the gaits and dives),
apart from the motion suite's seeds 1 to 10 and the held-out check seeds
(401.. and 601..) the optimiser judges its result on."""

import copy
import math

import acts
import cluster

KICK_L_BALL = (0.24, -0.09)  # where the side-kick routine fires KICK_L


class Param:
    """One number of acts.py: the variable's name and the path into it (dict
    keys and sequence indices), with its bounds."""

    def __init__(self, var, path, lo, hi):
        self.var, self.path, self.lo, self.hi = var, tuple(path), float(lo), float(hi)

    @property
    def name(self):
        return self.var + "".join("[%r]" % p for p in self.path)

    def get(self, values):
        v = values[self.var]
        for p in self.path:
            v = v[p]
        return float(v)


def _set(container, path, value):
    """A copy of `container` (dicts, lists and tuples nested) with the value
    at `path` replaced."""
    if not path:
        return value
    head, rest = path[0], path[1:]
    if isinstance(container, dict):
        out = dict(container)
        out[head] = _set(container.get(head, 0.0), rest, value)
        return out
    items = list(container)
    items[head] = _set(items[head], rest, value)
    return tuple(items) if isinstance(container, tuple) else items


class Problem:
    """name; params (Param list); files(values) -> {file name: text};
    scenarios [(label, tovra-motion args, weight)]; trial_score(result) ->
    float; the search's settings: trials per scenario and candidate, seed of
    the first trial, population, initial step size (in units of each
    parameter's range), generations and patience (generations without a
    new best before stopping)."""

    def __init__(self, name, params, files, scenarios, trial_score, trials, seed, popsize=None,
                 sigma=0.05, generations=30, patience=10, decimals=4):
        self.name, self.params, self.files = name, params, files
        self.scenarios, self.trial_score = scenarios, trial_score
        self.trials, self.seed = trials, seed
        self.popsize, self.sigma = popsize, sigma
        self.generations, self.patience = generations, patience
        self.decimals = decimals

    def variables(self):
        return sorted({p.var for p in self.params})

    def current(self):
        """acts.py's values of the problem's variables."""
        return {v: copy.deepcopy(getattr(acts, v)) for v in self.variables()}

    def start(self):
        cur = self.current()
        return [min(p.hi, max(p.lo, p.get(cur))) for p in self.params]

    def values(self, x):
        """The problem's variables with the parameter vector x put in."""
        vals = self.current()
        for p, v in zip(self.params, x):
            v = round(min(p.hi, max(p.lo, float(v))), self.decimals)
            vals[p.var] = _set(vals[p.var], p.path, v)
        return vals

    def texts(self, x):
        """The motion files of candidate x ({name.txt: text}); ValueError when
        acts.py cannot write them (a table too long, say)."""
        saved = self.current()
        try:
            for var, v in self.values(x).items():
                setattr(acts, var, v)
            out = {}
            for name, text in self.files().items():
                if isinstance(text, list):
                    text = "\n".join(text) + "\n"
                out[name + ".txt"] = text
            return out
        finally:
            for var, v in saved.items():
                setattr(acts, var, v)

    def calls(self, texts, seeds):
        """The trials of one candidate: (scenario index, motion_trial call)."""
        out = []
        for k, (_, args, _) in enumerate(self.scenarios):
            for s in seeds:
                out.append((k, (args, s, texts)))
        return out

    def score(self, per_scenario):
        """The weighted mean over the scenarios of the mean trial score;
        per_scenario[k] holds scenario k's trial results."""
        total = weight = 0.0
        for (_, _, w), results in zip(self.scenarios, per_scenario):
            if results:
                total += w * sum(self.trial_score(r) for r in results) / len(results)
            weight += w
        return total / weight if weight else 0.0


# ---------------------------------------------------------------- scores
def up_within(limit):
    """A get-up trial: 1 when up at the end and up since at most `limit` s,
    less a hundredth per second it took."""
    def score(r):
        at = r["up_at"] if r["up_at"] is not None else limit
        return (1.0 if r["up"] and at <= limit else 0.0) - 0.01 * min(at, limit)
    return score


def kick_score(cap=3.6, goal=3.15, goal_weight=0.5, up_weight=2.0):
    """A kick trial: ball travel up to `cap` (in units of the cap), a bonus
    for `goal` metres, and staying up through the kick and its wind-down
    (or the time of the first fall over 8 s)."""
    def score(r):
        b = r["ball"] or 0.0
        if r["up"] and not r["falls"]:
            up = 1.0
        else:
            up = max(r["first_fall"] or 0.0, 0.0) / 8.0
        return min(b, cap) / cap + goal_weight * (b >= goal) + up_weight * up
    return score


def turn_score(r):
    """A turning gait: degrees turned (up to 360) while staying up, less the
    drift."""
    turned = min(abs(r["turned"] or 0.0), 360.0) / 360.0
    drift = math.hypot(r["forward"] or 0.0, r["left"] or 0.0)
    up = 1.0 if r["up"] and not r["falls"] else 0.0
    return up * (1.0 + turned) - 0.5 * min(drift, 1.0)


def dive_score(r):
    """A dive to the right: the torso's shift to the right at 1.5 s (up to
    0.6 m)."""
    return min(max(-(r["side"] or 0.0), 0.0), 0.6) / 0.6


# -------------------------------------------------------------- problems
def _scalars(var, bounds):
    """Params of a dict of acts.py from {key: (lo, hi)} or {key: ((lo, lo),
    (hi, hi))} for pairs."""
    out = []
    for key, (lo, hi) in bounds.items():
        if isinstance(lo, tuple):
            out += [Param(var, (key, i), lo[i], hi[i]) for i in range(len(lo))]
        else:
            out.append(Param(var, (key,), lo, hi))
    return out


KICK_BOUNDS = {
    "shift": (6, 22), "t_shift": (0.12, 0.5), "stance": (-0.2199, -0.2), "lean": (-10, 15),
    "draw": ((-40, -125), (40, -20)), "draw_foot": (-40, 20), "reach_roll": (-10, 15),
    "t_draw": (0.08, 0.4), "swing_to": ((10, -80), (95, 0)), "toes": (-30, 30),
    "swing_time": (0.02, 0.2), "t_hold": (0.0, 0.2), "arm_swing": (0, 140),
    "t_back": (0.08, 0.5), "t_down": (0.06, 0.4), "t_centre": (0.1, 0.6),
    "t_settle": (0.0, 0.4), "drive": (-5, 20), "reach": (-6, 4),
}
# KickR's own changes (acts.KICK_R), searched alone by "kick-right".
KICK_R_KEYS = ["shift", "lean", "reach", "draw", "toes", "drive", "arm_swing", "reach_roll"]

# Get-up rows: duration, hip, knee, ankle, hip yaw-pitch, hip roll,
# shoulder, shoulder roll, elbow.
ROW_LO = [0.1, -25, -130, -45, -90, -25, -120, -1, -1]
ROW_HI = [0.7, 100, 1, 75, 0, 45, 120, 95, 90]


def _rows(var, n):
    return [Param(var, (i, k), ROW_LO[k], ROW_HI[k]) for i in range(n) for k in range(9)]


def _kick_files():
    return {"KickL": acts.KickL(), "KickR": acts.KickR()}


def _gait_files(name, var):
    def files():
        kw = getattr(acts, var)
        return {name + "L": acts.gait(name + "L", 0.5, **kw),
                name + "R": acts.gait(name + "R", 0.5, mirrored=True, **kw)}
    return files


def _get_up(motion, skill=False):
    """The get-up from the back or the front: its key-frame rows and tail.
    With `skill`, scored through the get-up skill (which tries again after a
    miss) instead of one run of the motion."""
    var = "GET_UP_BACK" if motion == "back" else "GET_UP_FRONT"
    name = "GetUpBack" if motion == "back" else "GetUpFront"
    params = _rows(var, len(getattr(acts, var))) + [Param(var + "_TAIL", (), 0.2, 1.5)]
    play = ["--stayup"] if skill else ["--action", var]
    return Problem(
        "getup-" + motion + ("-skill" if skill else ""), params,
        lambda: {name: getattr(acts, name)()},
        [(motion, play + ["--start", motion, "--observe", "8"], 1.0)], up_within(6.0),
        trials=30 if skill else 20, seed=501, sigma=0.02 if skill else 0.04, generations=25,
        patience=8, decimals=3)


def problems():
    """Every problem by name."""
    kick_args = ["--action", "KICK_L", "--ball", str(KICK_L_BALL[0]), str(KICK_L_BALL[1]),
                 "--observe", "8"]
    kick_r_args = ["--action", "KICK_R", "--ball", str(KICK_L_BALL[0]), str(-KICK_L_BALL[1]),
                   "--observe", "8"]
    right_bounds = {k: KICK_BOUNDS[k] for k in KICK_R_KEYS}
    all_ = [
        Problem("kick", _scalars("KICK", KICK_BOUNDS), _kick_files,
                [("KICK_L", kick_args, 1.0), ("KICK_R", kick_r_args, 1.0)], kick_score(),
                trials=8, seed=101, sigma=0.05),
        Problem("kick-right", _scalars("KICK_R", right_bounds), _kick_files,
                [("KICK_R", kick_r_args, 1.0)], kick_score(), trials=12, seed=101, sigma=0.05),
        _get_up("back"),
        _get_up("front"),
        _get_up("front", skill=True),
        Problem("turn", _scalars("FAST_TURN", {"turn": (20, 75), "turn_phase": (0, 2 * math.pi)})
                + _scalars("FAST_TURN", {"sway": (2, 16), "lift": (8, 32)}),
                _gait_files("FastTurn", "FAST_TURN"),
                [("FAST_TURN_L", ["--action", "FAST_TURN_L", "--hold", "6", "--observe", "7"], 1.0),
                 ("FAST_TURN_R", ["--action", "FAST_TURN_R", "--hold", "6", "--observe", "7"],
                  1.0)], turn_score, trials=6, seed=701, sigma=0.1, generations=15),
        Problem("around", _scalars("WALK_AROUND_BALL", {
            "turn": (10, 60), "side": (-15, 0), "side_phase": (-math.pi, math.pi),
            "sway": (4, 16), "lift": (8, 28)}), _gait_files("WalkAroundBall", "WALK_AROUND_BALL"),
                [("WALK_AROUND_BALL_L", ["--action", "WALK_AROUND_BALL_L", "--hold", "10",
                                         "--observe", "11"], 1.0)],
                turn_score, trials=6, seed=701, sigma=0.1, generations=15),
        Problem("dive", _scalars("DIVE", {"roll": (5, 25), "arms": ((-95, -1), (1, 95)),
                                          "t_tip": (0.04, 0.4)}),
                lambda: {"DiveLegR": acts.DiveLegR(), "DiveLegL": acts.DiveLegL()},
                [("DIVE_LEG_R", ["--action", "DIVE_LEG_R", "--observe", "2"], 1.0)],
                dive_score, trials=6, seed=701, sigma=0.1, generations=15),
    ]
    return {p.name: p for p in all_}

