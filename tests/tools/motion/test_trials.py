"""One tovra-motion trial as the cluster runs it: the trial lines it parses,
and real trials on a local cluster of two workers against the same trials
run directly."""

import os
import subprocess
import sys
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
        never = cluster.parse_trial("trial 2 (seed 102): up after - s, goal after - s, "
                                    "ball at x 3.00")
        self.assertFalse(never["up"])
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


if __name__ == "__main__":
    unittest.main()
