"""The Dask layer: real tovra-motion trials on a local cluster of two
workers, a worker killed in the middle of a batch, and the trial lines."""

import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools")
sys.path.insert(0, os.path.join(TOOLS, "motion"))
import cluster  # noqa: E402
import problems  # noqa: E402


def build_dir():
    build = os.environ.get("TOVRA_BUILD", "")
    if not os.path.isfile(os.path.join(build, "tovra-motion")):
        raise RuntimeError("TOVRA_BUILD must name a build tree with tovra-motion (is %r)" % build)
    return build


def square_or_die(marker_dir, k):
    """k squared; the first run of k = 3 kills its own worker process."""
    marker = os.path.join(marker_dir, "died")
    if k == 3 and not os.path.exists(marker):
        open(marker, "w").close()
        os.kill(os.getpid(), signal.SIGKILL)
    with open(os.path.join(marker_dir, "ran-%d" % k), "a") as f:
        f.write("x")
    return k * k


def square_or_hang(marker_dir, k):
    """k squared; the first run of k = 1 hangs for 10 s."""
    marker = os.path.join(marker_dir, "hung")
    if k == 1 and not os.path.exists(marker):
        open(marker, "w").close()
        time.sleep(10)
    return k * k


class TrialLines(unittest.TestCase):
    def test_motion_and_agent_lines(self):
        r = cluster.parse_trial(
            "trial 1 (seed 101): up upAt 2.48 falls 1 (first 0.84) minZ 0.054 endZ 0.332 "
            "actEnd 2.56 moved -0.350/-0.073 turned +33.4 rate -0.048/-0.010 m/s +1.1 deg/s "
            "side1.5 -0.301 ball 1.25 (+1.20/+0.08)")
        self.assertEqual((r["up"], r["falls"], r["up_at"], r["first_fall"]), (True, 1, 2.48, 0.84))
        self.assertEqual((r["forward"], r["left"], r["turned"]), (-0.35, -0.073, 33.4))
        self.assertEqual((r["side"], r["ball"]), (-0.301, 1.25))
        down = cluster.parse_trial("trial 2 (seed 7): DOWN upAt - falls 2 (first 1.10) ball 0.00 "
                                   "(+0.00/+0.00)")
        self.assertFalse(down["up"])
        self.assertIsNone(down["up_at"])
        agent = cluster.parse_trial("trial 1 (seed 101): up after 3.120 s, goal after - s, "
                                    "ball at x 10.25")
        self.assertEqual((agent["up"], agent["up_after"], agent["goal_after"], agent["ball_x"]),
                         (True, 3.12, None, 10.25))
        self.assertFalse(cluster.parse_trial("summary: 1/1 trials ran")["up"])


class LocalCluster(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.build = build_dir()
        cls.client = cluster.connect(workers=2)

    @classmethod
    def tearDownClass(cls):
        cluster.close(cls.client)

    def test_real_trials_on_two_workers_match_running_them_directly(self):
        p = problems.problems()["dive"]
        texts = p.texts(p.start())
        args = p.scenarios[0][1]
        seeds = [701, 702, 703]
        calls = [(args, s, texts, self.build) for s in seeds]
        on_cluster = cluster.run_tasks(self.client, cluster.motion_trial, calls, timeout=120)
        data = os.path.join(TOOLS, "..", "data")
        for s, r in zip(seeds, on_cluster):
            out = subprocess.run([os.path.join(self.build, "tovra-motion")] + args +
                                 ["--trials", "1", "--seed", str(s), "--data", data],
                                 capture_output=True, text=True, timeout=120).stdout
            line = next(ln for ln in out.splitlines() if ln.startswith("trial "))
            direct = cluster.parse_trial(line)
            self.assertTrue(r["ok"])
            self.assertEqual(r["seed"], s)
            self.assertEqual(r["line"], direct["line"])
            self.assertEqual(p.trial_score(r), p.trial_score(direct))
        # Lockstep and seeded noise: different seeds give different trials.
        self.assertGreater(len({r["line"] for r in on_cluster}), 1)

    def test_a_killed_worker_loses_no_call_and_counts_none_twice(self):
        import cloudpickle
        cloudpickle.register_pickle_by_value(sys.modules[__name__])
        with tempfile.TemporaryDirectory() as d:
            calls = [(d, k) for k in range(8)]
            seen = []
            results = cluster.run_tasks(self.client, square_or_die, calls, timeout=60,
                                        progress=lambda done, total: seen.append(done))
            self.assertEqual(results, [k * k for k in range(8)])
            self.assertTrue(os.path.exists(os.path.join(d, "died")))
            # Every call ran to its end, the killed one too (Dask may run a
            # call again whose result was on the dead worker: the result is
            # still taken once).
            for k in range(8):
                with open(os.path.join(d, "ran-%d" % k)) as f:
                    self.assertGreaterEqual(len(f.read()), 1, k)
        self.assertEqual(seen, list(range(1, 9)))

    def test_a_hung_call_is_run_again(self):
        import cloudpickle
        cloudpickle.register_pickle_by_value(sys.modules[__name__])
        with tempfile.TemporaryDirectory() as d:
            start = time.monotonic()
            results = cluster.run_tasks(self.client, square_or_hang, [(d, k) for k in range(4)],
                                        timeout=2)
            self.assertEqual(results, [0, 1, 4, 9])
            self.assertTrue(os.path.exists(os.path.join(d, "hung")))
            self.assertLess(time.monotonic() - start, 8)

    def test_a_call_that_keeps_failing_is_reported(self):
        with self.assertRaises(cluster.TaskFailed):
            cluster.run_tasks(self.client, int, [("not a number",)], retries=1)


if __name__ == "__main__":
    unittest.main()
