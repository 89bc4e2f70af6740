#!/usr/bin/python3
"""CMA-ES over a motion problem (problems.py), its trials run on a Dask cluster.

    optimise.py PROBLEM [--generations N] [--popsize N] [--sigma S] [--trials N]
                [--seed S] [--trial-seed S] [--same-seeds] [--workers N | --scheduler ADDR]
                [--build DIR] [--data DIR] [--out DIR] [--resume] [--check-trials N]
                [--check-seed S] [--write]
    optimise.py --list

Each generation the search proposes a population of candidates (CMA-ES,
Debian's python3-cmaes, over the parameters scaled to their bounds), writes
each candidate's motion files with acts.py and measures them with
tovra-motion (sensor noise on) on the problem's scenarios, all candidates
of a generation on the same trial seeds; by default each generation takes
the next seeds, so that no candidate wins by its seeds. The trials run
through Dask (cluster.py): a local cluster with one worker per core, or the
scheduler given by --scheduler.

The output directory (default build/optimise/PROBLEM) gets a checkpoint
after every generation (--resume continues from it exactly), a JSON-lines
log of every candidate (candidates.jsonl) and the score per generation as a
self-contained SVG (progress.svg). At the end the starting point, the best
candidate and the search's mean are measured again on the held-out check
seeds (401..); the better of the last two is printed, and written back into
acts.py and data/Acts only with --write and only when it beats the starting
point there."""

import argparse
import ast
import json
import math
import os
import pickle
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import acts  # noqa: E402
import cluster  # noqa: E402
import problems as problem_defs  # noqa: E402

CHECK_SEED = 401


# --------------------------------------------------------------- scaling
def to_unit(problem, x):
    return [(v - p.lo) / (p.hi - p.lo) for p, v in zip(problem.params, x)]


def from_unit(problem, u):
    return [p.lo + min(1.0, max(0.0, float(w))) * (p.hi - p.lo) for p, w in zip(problem.params, u)]


# ---------------------------------------------------------------- search
class Search:
    """The state of one search: the CMA-ES object, the generation, the best
    candidate so far and the history; pickled whole as the checkpoint."""

    def __init__(self, problem, seed=1, popsize=None, sigma=None, trials=None, trial_seed=None,
                 reseed=True):
        import numpy as np
        from cmaes import CMA

        self.problem_name = problem.name
        self.trials = trials or problem.trials
        self.trial_seed = trial_seed if trial_seed is not None else problem.seed
        self.reseed = reseed
        n = len(problem.params)
        start = to_unit(problem, problem.start())
        self.cma = CMA(mean=np.array(start), sigma=sigma or problem.sigma,
                       bounds=np.array([[0.0, 1.0]] * n), seed=seed,
                       population_size=popsize or problem.popsize)
        self.start = start
        self.generation = 0
        self.best = None  # (score, unit vector, generation)
        self.history = []  # (generation, best so far, generation mean, generation best)
        self.trials_run = 0
        self.seconds = 0.0

    # CMA-ES's own pickling drops its random generator (an unpickled object
    # gets a fresh one); the checkpoint keeps the generator's state so that
    # a resumed search proposes what the uninterrupted one would.
    def __getstate__(self):
        state = dict(self.__dict__)
        state["rng_state"] = self.cma._rng.get_state()
        return state

    def __setstate__(self, state):
        rng = state.pop("rng_state")
        self.__dict__.update(state)
        self.cma._rng.set_state(rng)

    def seeds(self, generation):
        first = self.trial_seed + (generation * self.trials if self.reseed else 0)
        return list(range(first, first + self.trials))

    def step(self, problem, evaluate, log=None):
        """One generation: ask, measure (evaluate(calls) -> results), tell.
        Returns the generation's scores."""
        t0 = time.monotonic()
        cands = [self.cma.ask() for _ in range(self.cma.population_size)]
        self.asked = cands
        seeds = self.seeds(self.generation)
        texts = []
        for u in cands:
            try:
                texts.append(problem.texts(from_unit(problem, u)))
            except ValueError:
                texts.append(None)
        per, n_calls = measure(problem, evaluate, texts, seeds)
        own = {i: problem.score(per[i]) for i in range(len(cands)) if texts[i] is not None}
        valid = list(own.values())
        # A candidate acts.py cannot write scores below every real one (the
        # ranking is all CMA-ES uses).
        penalty = min(valid) - 1.0 if valid else -1.0
        scores = [own.get(i, penalty) for i in range(len(cands))]
        self.cma.tell([(u, -s) for u, s in zip(cands, scores)])
        top = max(range(len(cands)), key=lambda i: scores[i])
        if valid and (self.best is None or scores[top] > self.best[0]):
            self.best = (scores[top], list(map(float, cands[top])), self.generation)
        mean = sum(valid) / len(valid) if valid else float("nan")
        best = self.best[0] if self.best else float("nan")
        self.history.append((self.generation, best, mean, max(valid) if valid else float("nan")))
        if log is not None:
            for i, u in enumerate(cands):
                x = from_unit(problem, u)
                log.write(json.dumps({
                    "generation": self.generation, "candidate": i,
                    "score": scores[i] if texts[i] is not None else None,
                    "seeds": [seeds[0], seeds[-1]],
                    "params": {p.name: round(v, 6) for p, v in zip(problem.params, x)},
                    "scenarios": [summary(r) for r in per[i]],
                }) + "\n")
            log.flush()
        self.generation += 1
        self.trials_run += n_calls
        self.seconds += time.monotonic() - t0
        return scores

    def mean(self):
        return [float(v) for v in self.cma._mean]


def summary(results):
    """A scenario's trials in a few numbers for the log."""
    if not results:
        return {}
    n = len(results)
    out = {"trials": n, "up": sum(1 for r in results if r.get("up")),
           "no_fall": sum(1 for r in results if r.get("up") and not r.get("falls"))}
    for key in ("ball", "side", "turned", "up_at"):
        vals = [r[key] for r in results if r.get(key) is not None]
        if vals:
            out[key] = round(sum(vals) / len(vals), 3)
    return out


def save(search, path):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        pickle.dump(search, f)
    os.replace(tmp, path)


def load(path):
    with open(path, "rb") as f:
        return pickle.load(f)


# ---------------------------------------------------------------- report
def svg(history, title):
    """The best-so-far and generation-mean scores as a self-contained SVG."""
    w, h, m = 640, 360, 48
    if not history:
        return '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d"/>\n' % (w, h)
    gens = [g for g, _, _, _ in history]
    vals = [v for _, b, mean, _ in history for v in (b, mean)]
    lo, hi = min(vals), max(vals)
    if hi - lo < 1e-9:
        lo, hi = lo - 0.5, hi + 0.5
    g0, g1 = gens[0], max(gens[-1], gens[0] + 1)

    def xy(g, v):
        return (m + (g - g0) / (g1 - g0) * (w - 2 * m), h - m - (v - lo) / (hi - lo) * (h - 2 * m))

    def line(idx, colour):
        pts = " ".join("%.1f,%.1f" % xy(r[0], r[idx]) for r in history)
        return '<polyline fill="none" stroke="%s" stroke-width="2" points="%s"/>' % (colour, pts)

    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
        'font-family="sans-serif" font-size="12">' % (w, h),
        '<rect width="100%" height="100%" fill="white"/>',
        '<text x="%d" y="20">%s</text>' % (m, title),
        '<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="black"/>' % (m, h - m, w - m, h - m),
        '<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="black"/>' % (m, m, m, h - m),
        '<text x="%d" y="%d" text-anchor="end">%.3f</text>' % (m - 4, m + 4, hi),
        '<text x="%d" y="%d" text-anchor="end">%.3f</text>' % (m - 4, h - m + 4, lo),
        '<text x="%d" y="%d">generation %d</text>' % (m, h - m + 18, g0),
        '<text x="%d" y="%d" text-anchor="end">%d</text>' % (w - m, h - m + 18, g1),
        line(1, "#1f6feb"), line(2, "#d9822b"),
        '<text x="%d" y="%d" fill="#1f6feb">best so far</text>' % (w - m - 150, m - 10),
        '<text x="%d" y="%d" fill="#d9822b">generation mean</text>' % (w - m - 150, m + 6),
        "</svg>",
    ]
    return "\n".join(parts) + "\n"


# ------------------------------------------------------------ write-back
def literal(value, decimals):
    if isinstance(value, float):
        return repr(round(value, decimals))
    if isinstance(value, tuple):
        return "(" + ", ".join(literal(v, decimals) for v in value) + ")"
    if isinstance(value, list):
        return "[" + ", ".join(literal(v, decimals) for v in value) + "]"
    return repr(value)


def assignment(var, value, decimals):
    """Python source of `var = value` as acts.py writes it: dicts as dict(...)
    wrapped at 100 columns, lists of rows one row per line."""
    if isinstance(value, dict):
        head = "%s = dict(" % var
        items = ["%s=%s" % (k, literal(v, decimals)) for k, v in value.items()]
        lines, cur = [], head
        for i, it in enumerate(items):
            piece = it + (")" if i == len(items) - 1 else ",")
            if len(cur) + len(piece) + 1 > 100 and cur.strip() != head.strip():
                lines.append(cur.rstrip())
                cur = " " * len(head)
            cur += piece + " "
        lines.append(cur.rstrip())
        return "\n".join(lines) + "\n"
    if isinstance(value, list) and value and isinstance(value[0], (tuple, list)):
        rows = ["    (%s)," % ", ".join("%.*f" % (decimals, v) for v in r) for r in value]
        return "%s = [\n%s\n]\n" % (var, "\n".join(rows))
    return "%s = %s\n" % (var, literal(value, decimals))


def write_back(path, values, decimals):
    """Replaces the module-level assignments of `values`' names in the
    Python source at `path`."""
    with open(path) as f:
        src = f.read()
    lines = src.splitlines(keepends=True)
    spans = {}
    for node in ast.parse(src).body:
        if (isinstance(node, ast.Assign) and len(node.targets) == 1
                and isinstance(node.targets[0], ast.Name) and node.targets[0].id in values):
            spans[node.targets[0].id] = (node.lineno - 1, node.end_lineno)
    missing = set(values) - set(spans)
    if missing:
        raise ValueError("no assignment of %s in %s" % (", ".join(sorted(missing)), path))
    for var, (a, b) in sorted(spans.items(), key=lambda kv: -kv[1][0]):
        lines[a:b] = [assignment(var, values[var], decimals)]
    with open(path, "w") as f:
        f.write("".join(lines))


# ------------------------------------------------------------------ main
def measure(problem, evaluate, texts, seeds):
    """The trials of each candidate's motion files (None: not measured) on
    the seeds, in one batch: per[i][k] holds candidate i's results of
    scenario k; also the number of trials."""
    calls, owner = [], []
    for i, t in enumerate(texts):
        if t is None:
            continue
        for k, call in problem.calls(t, seeds):
            calls.append(call)
            owner.append((i, k))
    results = evaluate(calls) if calls else []
    per = [[[] for _ in problem.scenarios] for _ in texts]
    for (i, k), r in zip(owner, results):
        per[i][k].append(r)
    return per, len(calls)


def check(problem, evaluate, xs, seed, trials):
    """Each parameter vector of xs scored on the same check seeds."""
    seeds = list(range(seed, seed + trials))
    per, _ = measure(problem, evaluate, [problem.texts(x) for x in xs], seeds)
    return [problem.score(p) for p in per], [[summary(r) for r in p] for p in per]


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("problem", nargs="?")
    ap.add_argument("--list", action="store_true", help="the problems and their parameters")
    ap.add_argument("--generations", type=int, help="at most this many (default per problem)")
    ap.add_argument("--popsize", type=int, help="candidates per generation (default CMA-ES's)")
    ap.add_argument("--sigma", type=float, help="initial step, in units of each range")
    ap.add_argument("--trials", type=int, help="trials per scenario and candidate")
    ap.add_argument("--seed", type=int, default=1, help="the search's own random seed")
    ap.add_argument("--trial-seed", type=int, help="first trial seed (default per problem)")
    ap.add_argument("--same-seeds", action="store_true",
                    help="every generation on the same trial seeds")
    ap.add_argument("--workers", type=int, help="local workers (default one per core)")
    ap.add_argument("--scheduler", help="a Dask scheduler, tcp://HOST:8786")
    ap.add_argument("--build", default=cluster.BUILD)
    ap.add_argument("--data", default=cluster.DATA)
    ap.add_argument("--out", help="output directory (default build/optimise/PROBLEM)")
    ap.add_argument("--resume", action="store_true", help="continue from the checkpoint")
    ap.add_argument("--check-trials", type=int, help="trials per scenario on the check seeds "
                    "(default: --trials; 0: no check)")
    ap.add_argument("--check-seed", type=int, default=CHECK_SEED)
    ap.add_argument("--write", action="store_true",
                    help="write the result into acts.py and data/Acts when it beats the start")
    ap.add_argument("--timeout", type=float, default=300.0, help="seconds a trial may take")
    args = ap.parse_args(argv)

    table = problem_defs.problems()
    if args.list:
        for p in table.values():
            print("%s: %d parameters, scenarios %s, %d trials each from seed %d" % (
                p.name, len(p.params), ", ".join(s[0] for s in p.scenarios), p.trials, p.seed))
        return 0
    if args.problem not in table:
        ap.error("problem must be one of: " + ", ".join(table))
    problem = table[args.problem]
    out = args.out or os.path.join(args.build, "optimise", problem.name)
    os.makedirs(out, exist_ok=True)
    cp = os.path.join(out, "checkpoint.pkl")
    log_path = os.path.join(out, "candidates.jsonl")
    if args.resume:
        search = load(cp)
        if search.problem_name != problem.name:
            ap.error("the checkpoint in %s is of %s" % (out, search.problem_name))
        # Candidates of a generation the checkpoint does not hold go.
        kept = []
        if os.path.exists(log_path):
            with open(log_path) as f:
                kept = [ln for ln in f if json.loads(ln)["generation"] < search.generation]
        with open(log_path, "w") as f:
            f.writelines(kept)
    else:
        search = Search(problem, args.seed, args.popsize, args.sigma, args.trials,
                        args.trial_seed, reseed=not args.same_seeds)
        open(log_path, "w").close()
    generations = args.generations or problem.generations

    client = cluster.connect(args.scheduler, args.workers)

    def evaluate(calls):
        full = [(a, s, t, args.build, args.data, args.timeout) for a, s, t in calls]
        return cluster.run_tasks(client, cluster.motion_trial, full, timeout=2 * args.timeout)

    try:
        with open(log_path, "a") as log:
            while search.generation < generations:
                search.step(problem, evaluate, log)
                save(search, cp)
                with open(os.path.join(out, "progress.svg"), "w") as f:
                    f.write(svg(search.history, "%s: score per generation" % problem.name))
                g, best, mean, top = search.history[-1]
                rate = search.trials_run / max(search.seconds, 1e-9)
                left = (generations - search.generation) * search.seconds / search.generation
                print("gen %d/%d  best %.3f  mean %.3f  (this generation's best %.3f)  "
                      "%.1f trials/s  ~%.0f min left" % (g + 1, generations, best, mean, top, rate,
                                                         left / 60), flush=True)
                stale = search.generation - 1 - search.best[2]
                if stale >= problem.patience:
                    print("no better candidate in %d generations: stopping" % stale)
                    break
                if search.cma.should_stop():
                    print("CMA-ES converged: stopping")
                    break
        n = args.check_trials if args.check_trials is not None else search.trials
        start = from_unit(problem, search.start)
        best = from_unit(problem, search.best[1])
        mean = from_unit(problem, search.mean())
        names = ["start", "best (generation %d)" % search.best[2], "mean"]
        result = {"problem": problem.name, "generations": search.generation,
                  "trials": search.trials_run, "seconds": round(search.seconds, 1),
                  "best_search_score": search.best[0]}
        if n > 0:
            scores, sums = check(problem, evaluate, [start, best, mean], args.check_seed, n)
            for name, s, sm in zip(names, scores, sums):
                print("check seeds %d-%d, %s: %.3f %s" % (args.check_seed, args.check_seed + n - 1,
                                                         name, s, json.dumps(sm)))
            win = 1 if scores[1] >= scores[2] else 2
            result.update(check=dict(zip(names, scores)), chosen=names[win])
            chosen, beats = [start, best, mean][win], scores[win] > scores[0]
        else:
            chosen, beats = best, False
        values = problem.values(chosen)
        result["values"] = {k: v for k, v in values.items()}
        with open(os.path.join(out, "result.json"), "w") as f:
            json.dump(result, f, indent=1)
        for var, v in values.items():
            print(assignment(var, v, problem.decimals), end="")
        if args.write:
            if not beats:
                print("not written: the result does not beat the start on the check seeds")
            else:
                write_back(os.path.join(HERE, "acts.py"), values, problem.decimals)
                # Every file acts.py writes, since others may share the
                # values (Shoot is KickL's kick as a table).
                subprocess.run([sys.executable, os.path.join(HERE, "acts.py"), "--out",
                                os.path.join(args.data, "Acts")], check=True)
                print("written: acts.py and the motion files it writes into %s"
                      % os.path.join(args.data, "Acts"))
    finally:
        cluster.close(client)
    return 0


if __name__ == "__main__":
    sys.exit(main())
