"""Trials of the bundled simulator on a Dask cluster.

A trial is a plain function call that a worker runs: `motion_trial` plays one
`tovra-motion` trial with the motion files a candidate brings, in a scratch
data directory of its own; `match_run` plays one match with scripts/match
(a match needs both cores of a two-core machine: one such worker per
machine). `connect` gives a client of a local cluster (one single-threaded
worker process per core) or of a running scheduler, and `run_tasks` runs a
list of calls on it and returns their results in order: a call whose worker
dies or that hangs past its time is run again, and every call's result is
taken exactly once.

The workers of a remote cluster need the same build and data paths as the
machine that submits (the calls name them)."""

import asyncio
import os
import re
import shutil
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
DATA = os.path.join(ROOT, "data")
BUILD = os.path.join(ROOT, "build")


# ------------------------------------------------------------ the cluster
def connect(scheduler=None, workers=None):
    """A Dask client: of the scheduler at `scheduler` (tcp://HOST:PORT), or
    of a new local cluster of `workers` processes (default: one per core),
    each with one thread, since a trial runs one simulator process."""
    import sys

    import cloudpickle
    from distributed import Client, LocalCluster

    # The trial functions travel with the tasks: a worker needs the build
    # and the data, not this checkout's Python path.
    cloudpickle.register_pickle_by_value(sys.modules[__name__])
    if scheduler:
        return Client(scheduler)
    n = workers or os.cpu_count() or 1
    # The scheduler's HTTP server runs even without a dashboard: on a free
    # port, not on the default 8787 another cluster may hold.
    cluster = LocalCluster(n_workers=n, threads_per_worker=1, processes=True,
                           dashboard_address=":0", silence_logs=40)
    return Client(cluster)


def close(client):
    cluster = getattr(client, "cluster", None)
    client.close()
    if cluster is not None:
        cluster.close()


class TaskFailed(RuntimeError):
    pass


def run_tasks(client, fn, calls, timeout=600.0, retries=3, progress=None, give_up=None):
    """fn(*call) for each call (a tuple) on the cluster; the results in the
    order of the calls. A call that raises, whose worker dies, or that has
    not finished `timeout` seconds after it was submitted is submitted again,
    at most `retries` times; after that TaskFailed is raised, or, when
    `give_up` is given, give_up(index, reason) is taken as its result. Each
    call's result is taken once, from the first run that ends (a run given
    up on that ends later is ignored). progress(done, total) is called as
    results arrive."""
    from distributed import wait

    results = [None] * len(calls)
    done = [False] * len(calls)
    tries = [0] * len(calls)
    pending = {}  # future -> (index, submitted at)

    def submit(i):
        tries[i] += 1
        # A fresh key per run: a re-run is a new task, not the failed one.
        f = client.submit(fn, *calls[i], pure=False)
        pending[f] = (i, time.monotonic())

    for i in range(len(calls)):
        submit(i)
    finished = 0
    while pending:
        try:
            wait(list(pending), timeout=1.0, return_when="FIRST_COMPLETED")
        except (TimeoutError, asyncio.TimeoutError):
            pass  # nothing ended within the second: look at the time-outs
        now = time.monotonic()
        for f in list(pending):
            i, since = pending[f]
            if f.status == "finished":
                del pending[f]
                if not done[i]:
                    results[i] = f.result()
                    done[i] = True
                    finished += 1
                    if progress:
                        progress(finished, len(calls))
            elif f.status in ("error", "cancelled", "lost") or now - since > timeout:
                del pending[f]
                reason = f.status if f.status != "pending" else "no result in %g s" % timeout
                if f.status == "error":
                    reason = "error: %s" % (f.exception(),)
                f.cancel()
                if done[i]:
                    continue
                if tries[i] > retries:
                    reason = "%s after %d runs" % (reason, tries[i])
                    if give_up is None:
                        raise TaskFailed("call %d: %s" % (i, reason))
                    results[i] = give_up(i, reason)
                    done[i] = True
                    finished += 1
                    if progress:
                        progress(finished, len(calls))
                    continue
                submit(i)
    return results


# ----------------------------------------------------- one motion trial
def scratch_data(data=DATA, files=None):
    """A scratch data directory: Acts/ and formation.conf linked from
    `data`, with `files` (name -> text, written into Acts/) instead of the
    linked ones."""
    d = tempfile.mkdtemp(prefix="tovra-trial-")
    os.mkdir(os.path.join(d, "Acts"))
    acts = os.path.join(data, "Acts")
    for name in os.listdir(acts):
        os.symlink(os.path.abspath(os.path.join(acts, name)), os.path.join(d, "Acts", name))
    os.symlink(os.path.abspath(os.path.join(data, "formation.conf")),
               os.path.join(d, "formation.conf"))
    for name, text in (files or {}).items():
        if os.path.basename(name) != name or not name:
            raise ValueError("motion file name %r" % name)
        path = os.path.join(d, "Acts", name)
        if os.path.lexists(path):
            os.unlink(path)
        with open(path, "w") as f:
            f.write(text)
    return d


_NUM = r"([-+]?[0-9.]+)"
_FIELDS = {
    "up_at": re.compile(r"\bupAt " + _NUM),
    "falls": re.compile(r"\bfalls (\d+)"),
    "first_fall": re.compile(r"\bfalls \d+ \(first " + _NUM + r"\)"),
    "turned": re.compile(r"\bturned " + _NUM),
    "ball": re.compile(r"\bball " + _NUM + r" \("),
    "up_after": re.compile(r"\bup after " + _NUM + r" s"),
    "goal_after": re.compile(r"\bgoal after " + _NUM + r" s"),
    "ball_x": re.compile(r"\bball at x " + _NUM),
    "side": re.compile(r"\bside1\.5 " + _NUM),
}
_MOVED = re.compile(r"\bmoved " + _NUM + "/" + _NUM)


def parse_trial(line):
    """The numbers of one trial line of tovra-motion: up (the robot up at the
    end), falls, up_at, first_fall, turned, ball, forward, left, and for the
    agent scenarios up_after, goal_after, ball_x (None where the line has no
    value)."""
    out = {k: None for k in _FIELDS}
    out.update(up=False, forward=None, left=None, line=line.strip())
    head, sep, body = line.partition(":")
    if not sep:
        return out
    words = body.split()
    out["up"] = bool(words) and words[0] == "up" and " DOWN" not in body
    for key, rx in _FIELDS.items():
        m = rx.search(body)
        if m:
            out[key] = int(m.group(1)) if key == "falls" else float(m.group(1))
    if "up after" in body:
        # An agent scenario: up when it got up ("up after - s" if never).
        out["up"] = out["up_after"] is not None
    m = _MOVED.search(body)
    if m:
        out["forward"], out["left"] = float(m.group(1)), float(m.group(2))
    return out


def motion_trial(args, seed, files=None, build=BUILD, data=DATA, timeout=300.0):
    """One trial: tovra-motion ARGS --trials 1 --seed SEED with the motion
    files `files` (name -> text) over the data directory `data`. The parsed
    trial line (parse_trial), with ok False and the reason in `error` when
    the trial did not run."""
    d = scratch_data(data, files)
    cmd = [os.path.join(build, "tovra-motion")] + list(args) + [
        "--trials", "1", "--seed", str(seed), "--jobs", "1", "--data", d]
    try:
        run = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout)
        out = run.stdout
    finally:
        shutil.rmtree(d, ignore_errors=True)
    for line in out.splitlines():
        if line.startswith("trial "):
            res = parse_trial(line)
            res.update(ok=True, seed=seed)
            return res
    res = parse_trial("")
    res.update(ok=False, seed=seed, error=(run.stderr.strip().splitlines() or ["no trial line"])[-1])
    return res


# ------------------------------------------------------------ one match
MATCH = os.path.join(ROOT, "scripts", "match")


def read_match(out_dir):
    """(left goals, right goals, GameOver reached) from the players.tsv a
    match wrote into out_dir; None when there is none or it has no score."""
    score = gameover = None
    try:
        with open(os.path.join(out_dir, "players.tsv")) as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if fields[0] == "#score" and len(fields) >= 3:
                    score = (int(fields[1]), int(fields[2]))
                elif fields[0] == "#gameover" and len(fields) >= 2:
                    gameover = fields[1] == "1"
    except OSError:
        return None
    if score is None:
        return None
    return score + (bool(gameover),)


def match_run(seed, half=300, one_team=False, build=BUILD, data=DATA, out=None,
              timeout=3600.0, script=MATCH):
    """One match with scripts/match (lockstep, sensor noise from `seed`),
    the team's data from `data`, in the directory `out` (kept), or in a
    scratch directory removed afterwards; `script` is scripts/match (a
    caller on another machine names its own). The match ends itself after
    `timeout` seconds of wall time; a script that outlives that by a minute
    is stopped (SIGTERM: it stops the simulator and the players it started).
    A dict: ok, seed, left, right (goals), wall (seconds), dir (None for a
    scratch directory), and error when ok is False."""
    keep = out is not None
    d = out if keep else tempfile.mkdtemp(prefix="tovra-match-")
    cmd = [script, "--half", str(half), "--seed", str(seed), "--no-build", "--build-dir", build,
           "--data", data, "--out", d, "--timeout", str(int(timeout))]
    if one_team:
        cmd.append("--one-team")
    res = {"ok": False, "seed": seed, "left": None, "right": None, "wall": None,
           "dir": d if keep else None}
    start = time.monotonic()
    proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)
    try:
        out_text, _ = proc.communicate(timeout=timeout + 60)
    except subprocess.TimeoutExpired:
        proc.terminate()
        try:
            out_text, _ = proc.communicate(timeout=30)
        except subprocess.TimeoutExpired:
            proc.kill()
            out_text, _ = proc.communicate()
    res["wall"] = round(time.monotonic() - start, 1)
    try:
        got = read_match(d)
        if got is None:
            lines = out_text.strip().splitlines()
            res["error"] = "no score (exit status %s): %s" % (
                proc.returncode, lines[-1] if lines else "no output")
        elif not got[2]:
            over = [x for x in out_text.splitlines() if x.startswith("match over")]
            res["error"] = "ended before GameOver: " + (over[-1] if over else "no end line")
        else:
            res.update(ok=True, left=got[0], right=got[1])
    finally:
        if not keep:
            shutil.rmtree(d, ignore_errors=True)
    return res
