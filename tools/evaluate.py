#!/usr/bin/python3
"""Repeated runs of one scenario on the bundled simulator, spread over a Dask
cluster and reported with 95 % intervals.

    tools/evaluate.py [options] motion -- ARGS...
    tools/evaluate.py [options] forward | lone-team | match

Scenarios:
  motion     tovra-motion ARGS (an action or an agent scenario), one trial a
             run; actions: up at the end and no fall (shares), up since (from
             a lying start, --stayup, --lines) and ball travel (with --ball or
             --skill) as means; --agent knock-*: up again (share) and the time
             to get up; --agent dribble: goal (share), the time to the goal
             among the scoring runs and the ball's final x
  forward    the forward (9) from x = 9 with the ball at x = 10: goal within
             90 s (share), time to the goal among the scoring runs, the
             ball's final x
  lone-team  our eleven alone, two halves of --half s: scored at least once
             (share), goals per run (mean)
  match      our team against a copy of itself: the goals of each side
             (means), left wins, draws and right wins (shares)

Run k uses the seed S + k (--seed S). With --b-data and/or --b-build the same
seeds run a second time on that data directory or build (B), and the report
gives A, B and the difference B - A: Newcombe's interval for shares, the
paired t interval over the seeds for means. A match needs both cores of a
two-core machine, so lone-team and match run on one local worker unless
--workers says otherwise (on a cluster: one single-threaded worker per
machine). A run that does not run (the program fails, or its worker dies or
hangs more than --retries times) is listed and left out of the figures.

Exit status: 0 the runs ran, 1 no run of A or of B ran, 2 usage error."""

import argparse
import json
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "motion"))
import cluster  # noqa: E402
import stats  # noqa: E402

DEFAULT_SEED = 1001
FORWARD_LIMIT = 90
FORWARD_ARGS = ["--agent", "dribble", "--unum", "9", "--robot-at", "9", "0",
                "--ball-at", "10", "0", "--limit", str(FORWARD_LIMIT)]
# tovra-motion options that evaluate.py sets itself for every run.
OWN_OPTIONS = {"--trials", "--seed", "--jobs", "--data", "--quiet", "--log"}
MATCHES = ("lone-team", "match")


# ------------------------------------------------------------ the figures
class Metric:
    """A figure of one run: kind "share" (get returns a truth value) or
    "mean" (get returns a number, or None where the run has none)."""

    def __init__(self, label, kind, get, digits=2, unit=""):
        self.label, self.kind, self.get = label, kind, get
        self.digits, self.unit = digits, unit


def share(label, get):
    return Metric(label, "share", get)


def mean(label, get, digits=2, unit=""):
    return Metric(label, "mean", get, digits, unit)


def _value(args, option, default=None):
    if option in args:
        i = args.index(option)
        if i + 1 < len(args):
            return args[i + 1]
    return default


def motion_metrics(args):
    agent = _value(args, "--agent")
    if agent is not None and agent.startswith("knock"):
        return [share("up again", lambda r: r["up_after"] is not None),
                mean("up after the knock", lambda r: r["up_after"], unit="s")]
    if agent is not None:
        limit = _value(args, "--limit")
        label = "goal" + (" within %s s" % limit if limit else "")
        return [share(label, lambda r: r["goal_after"] is not None),
                mean("time to the goal (scoring runs)", lambda r: r["goal_after"], unit="s"),
                mean("ball's final x", lambda r: r["ball_x"], unit="m")]
    out = [share("up at the end", lambda r: r["up"]),
           share("no fall, up at the end", lambda r: r["up"] and r["falls"] == 0)]
    if _value(args, "--start", "stand") != "stand" or "--stayup" in args or "--lines" in args:
        out.append(mean("up since (runs up at the end)",
                        lambda r: r["up_at"] if r["up"] else None, unit="s"))
    if "--ball" in args or "--skill" in args:
        out.append(mean("ball travel", lambda r: r["ball"], unit="m"))
    return out


def scenario_metrics(scenario, args):
    if scenario == "motion":
        return motion_metrics(args)
    if scenario == "forward":
        return motion_metrics(FORWARD_ARGS)
    if scenario == "lone-team":
        return [share("scored at least once", lambda r: r["left"] >= 1),
                mean("goals per run", lambda r: r["left"])]
    return [mean("goals, left", lambda r: r["left"]),
            mean("goals, right", lambda r: r["right"]),
            share("left wins", lambda r: r["left"] > r["right"]),
            share("draws", lambda r: r["left"] == r["right"]),
            share("right wins", lambda r: r["left"] < r["right"])]


def summarize(metrics, runs):
    """One row per metric: for each configuration ("A", "B") its estimate
    and interval over the runs that ran, and with B the difference B - A."""
    rows = []
    for m in metrics:
        row = {"label": m.label, "kind": m.kind}
        values = {}
        for cfg, rs in runs.items():
            # Aligned with the seeds; None where the run did not run.
            values[cfg] = [m.get(r) if r["ok"] else None for r in rs]
            if m.kind == "share":
                got = [bool(v) for v, r in zip(values[cfg], rs) if r["ok"]]
                k, n = sum(got), len(got)
                p, low, high = stats.wilson(k, n)
                row[cfg] = {"k": k, "n": n, "p": p, "low": low, "high": high}
            else:
                xs = [v for v in values[cfg] if v is not None]
                est, low, high = stats.mean_interval(xs)
                row[cfg] = {"mean": est, "low": low, "high": high, "n": len(xs)}
        if "B" in runs:
            if m.kind == "share":
                a, b = row["A"], row["B"]
                d, low, high = stats.newcombe(b["k"], b["n"], a["k"], a["n"])
                row["B-A"] = {"diff": d, "low": low, "high": high}
            else:
                d, low, high, pairs = stats.paired_difference(values["A"], values["B"])
                row["B-A"] = {"diff": d, "low": low, "high": high, "n": pairs}
        rows.append(row)
    return rows


def format_rows(metrics, rows):
    lines = []
    for m, row in zip(metrics, rows):
        def text(cfg):
            c = row[cfg]
            if m.kind == "share":
                return stats.format_proportion(c["k"], c["n"])
            if c["mean"] is None:
                return "- (no run has a value)"
            return "mean " + stats.format_interval(c["mean"], c["low"], c["high"], m.digits,
                                                   m.unit, n=c["n"])
        label = m.label
        if "B-A" not in row:
            lines.append("%-34s %s" % (label, text("A")))
            continue
        d = row["B-A"]
        if m.kind == "share":
            diff = stats.format_difference(d["diff"], d["low"], d["high"])
        else:
            diff = stats.format_interval(d["diff"], d["low"], d["high"], m.digits, m.unit,
                                         signed=True, n=d["n"]) + " (paired on the seeds)"
        lines += [label, "  A      " + text("A"), "  B      " + text("B"), "  B - A  " + diff]
    return lines


# ------------------------------------------------------------ the runs
def describe(scenario, args, half):
    if scenario == "motion":
        return "tovra-motion " + " ".join(args)
    if scenario == "forward":
        return "the forward from x = 9, ball at x = 10, %d s (tovra-motion %s)" % (
            FORWARD_LIMIT, " ".join(FORWARD_ARGS))
    what = "our eleven alone" if scenario == "lone-team" else "a match against our own team"
    return "%s, two halves of %g s (scripts/match, lockstep, sensor noise)" % (what, half)


def build_calls(opts, configs, seeds):
    """(function, calls, the configuration of each call) for the runs."""
    calls, owner = [], []
    for name, build, data in configs:
        for seed in seeds:
            if opts.scenario in MATCHES:
                out = None
                if opts.out:
                    out = os.path.join(os.path.abspath(opts.out), "%s-%d" % (name.lower(), seed))
                calls.append((seed, opts.half, opts.scenario == "lone-team", build, data, out,
                              opts.timeout, cluster.MATCH))
            else:
                calls.append((opts.args, seed, None, build, data, opts.timeout))
            owner.append(name)
    fn = cluster.match_run if opts.scenario in MATCHES else cluster.motion_trial
    return fn, calls, owner


def missing_files(scenario, build, data):
    need = [os.path.join(build, p) for p in ("tovra", "tovra-sim")]
    if scenario in MATCHES:
        need += [os.path.join(build, "tovra-match-report"),
                 os.path.join(build, "cmake_install.cmake")]
    else:
        need.append(os.path.join(build, "tovra-motion"))
    need += [os.path.join(data, "Acts"), os.path.join(data, "formation.conf")]
    return [p for p in need if not os.path.exists(p)]


class Progress:
    def __init__(self, stream=None):
        self.stream = stream or sys.stderr
        self.tty, self.start = self.stream.isatty(), time.monotonic()

    def __call__(self, done, total):
        line = "%d/%d runs done (%.0f s)" % (done, total, time.monotonic() - self.start)
        if self.tty:
            self.stream.write("\r" + line + ("\n" if done == total else ""))
        else:
            self.stream.write(line + "\n")
        self.stream.flush()


def evaluate(opts, out=None):
    """Runs the scenario and prints the report (to `out`, default stdout);
    the JSON document (every run's result and the summary rows) is
    returned."""
    out = out or sys.stdout
    seeds = [opts.seed + k for k in range(opts.runs)]
    configs = [("A", os.path.abspath(opts.build), os.path.abspath(opts.data))]
    if opts.b_build or opts.b_data:
        configs.append(("B", os.path.abspath(opts.b_build or opts.build),
                        os.path.abspath(opts.b_data or opts.data)))
    fn, calls, owner = build_calls(opts, configs, seeds)

    def give_up(i, reason):
        seed = calls[i][0] if opts.scenario in MATCHES else calls[i][1]
        return {"ok": False, "seed": seed, "error": "did not run: " + reason}

    workers = opts.workers or (1 if opts.scenario in MATCHES else None)
    client = cluster.connect(opts.scheduler, workers)
    try:
        if opts.scheduler:
            # The remote workers import the trial functions from this file.
            client.upload_file(cluster.__file__)
        results = cluster.run_tasks(client, fn, calls, timeout=opts.timeout + 120,
                                    retries=opts.retries, progress=Progress(), give_up=give_up)
    finally:
        cluster.close(client)

    runs = {name: [] for name, _, _ in configs}
    for name, res in zip(owner, results):
        res["config"] = name
        runs[name].append(res)
    metrics = scenario_metrics(opts.scenario, opts.args)
    rows = summarize(metrics, runs)

    def p(text=""):
        print(text, file=out)

    p("%s: %s" % (opts.scenario, describe(opts.scenario, opts.args, opts.half)))
    p("%d run%s%s, seed%s %s" % (
        opts.runs, "s" if opts.runs > 1 else "", " each" if len(configs) > 1 else "",
        "s" if opts.runs > 1 else "",
        "%d–%d" % (seeds[0], seeds[-1]) if opts.runs > 1 else seeds[0]))
    for name, build, data in configs:
        rs = runs[name]
        failed = [r for r in rs if not r["ok"]]
        p("%s: build %s, data %s: %d of %d runs ran" % (name, build, data,
                                                         len(rs) - len(failed), len(rs)))
        for r in failed:
            p("   seed %d did not run: %s" % (r["seed"], r.get("error", "?")))
    p()
    for line in format_rows(metrics, rows):
        p(line)
    return {"scenario": opts.scenario, "args": opts.args, "seeds": seeds,
            "half": opts.half if opts.scenario in MATCHES else None,
            "configs": {name: {"build": b, "data": d} for name, b, d in configs},
            "runs": [r for name, _, _ in configs for r in runs[name]],
            "summary": rows}


# ------------------------------------------------------------ command line
def parse(argv):
    ap = argparse.ArgumentParser(
        prog="evaluate.py", description=__doc__.split("\n\n")[0],
        usage="%(prog)s [options] {motion -- ARGS... | forward | lone-team | match}",
        formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="\n\n".join(__doc__.split("\n\n")[1:]))
    ap.add_argument("scenario", choices=["motion", "forward", "lone-team", "match"])
    ap.add_argument("--runs", type=int, default=None,
                    help="runs (per configuration; default 20, lone-team and match 5)")
    ap.add_argument("--seed", type=int, default=DEFAULT_SEED,
                    help="seed of the first run (default %d; run k uses S + k)" % DEFAULT_SEED)
    ap.add_argument("--workers", type=int, default=None,
                    help="local worker processes (default one per core; lone-team and match "
                    "1, since a match needs both cores)")
    ap.add_argument("--scheduler", default=None, metavar="tcp://HOST:8786",
                    help="run on the Dask cluster of this scheduler instead")
    ap.add_argument("--build", default=cluster.BUILD,
                    help="build directory with tovra, tovra-sim, tovra-motion "
                    "(and tovra-match-report for matches; default build/)")
    ap.add_argument("--data", default=cluster.DATA,
                    help="data directory (Acts/, formation.conf; default data/)")
    ap.add_argument("--b-build", default=None, metavar="DIR",
                    help="A/B: the same seeds again with this build")
    ap.add_argument("--b-data", default=None, metavar="DIR",
                    help="A/B: the same seeds again with this data directory")
    ap.add_argument("--half", type=float, default=300,
                    help="lone-team, match: seconds of play per half (default 300)")
    ap.add_argument("--out", default=None, metavar="DIR",
                    help="lone-team, match: keep each run's match directory under DIR "
                    "(a-SEED, b-SEED; default: scratch directories, removed)")
    ap.add_argument("--timeout", type=float, default=None,
                    help="wall seconds one run may take (default 600; matches 300 + 8 x half)")
    ap.add_argument("--retries", type=int, default=2,
                    help="runs again of a run whose worker dies or hangs (default 2)")
    ap.add_argument("--json", default=None, metavar="FILE",
                    help="write every run's parsed result and the summary to FILE")
    if "--" in argv:
        i = argv.index("--")
        argv, rest = argv[:i], argv[i + 1:]
    else:
        rest = None
    opts = ap.parse_args(argv)
    if opts.scenario == "motion":
        if not rest:
            ap.error("motion needs the tovra-motion arguments after --")
        own = sorted(OWN_OPTIONS.intersection(rest))
        if own:
            ap.error("evaluate.py sets %s itself" % ", ".join(own))
        opts.args = rest
    elif rest is not None:
        ap.error("only the motion scenario takes arguments after --")
    else:
        opts.args = FORWARD_ARGS if opts.scenario == "forward" else []
    if opts.runs is None:
        opts.runs = 5 if opts.scenario in MATCHES else 20
    if opts.runs < 1:
        ap.error("--runs must be at least 1")
    if opts.timeout is None:
        opts.timeout = 300 + 8 * opts.half if opts.scenario in MATCHES else 600
    if opts.scenario not in MATCHES and opts.out:
        ap.error("--out is for lone-team and match")
    for build, data in {(opts.build, opts.data), (opts.b_build or opts.build,
                                                  opts.b_data or opts.data)}:
        missing = missing_files(opts.scenario, build, data)
        if missing:
            ap.error("missing: " + ", ".join(missing))
    return opts


def main(argv=None):
    opts = parse(sys.argv[1:] if argv is None else argv)
    doc = evaluate(opts)
    if opts.json:
        with open(opts.json, "w") as f:
            json.dump(doc, f, indent=1)
            f.write("\n")
    ran = {}
    for r in doc["runs"]:
        ran[r["config"]] = ran.get(r["config"], 0) + (1 if r["ok"] else 0)
    return 0 if all(ran.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
