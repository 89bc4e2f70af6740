"""tools/evaluate.py on real simulator trials through a local cluster of two
workers, checked against tovra-motion run directly. The build directory
comes from TOVRA_BUILD (tovra, tovra-sim, tovra-motion)."""

import contextlib
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.path.insert(0, os.path.join(ROOT, "tools", "motion"))
import evaluate  # noqa: E402

DATA = os.path.join(ROOT, "data")
# A kick: 3 s each, and the seeds 1001-1003 end differently (one falls).
KICK = ["--action", "KICK_L", "--ball", "0.24", "-0.09", "--observe", "3"]
SEEDS = [1001, 1002, 1003]


def build_dir():
    build = os.environ.get("TOVRA_BUILD")
    if not build:
        raise RuntimeError("TOVRA_BUILD is not set: it names the build directory that holds "
                           "tovra, tovra-sim and tovra-motion")
    missing = [p for p in ("tovra", "tovra-sim", "tovra-motion")
               if not os.access(os.path.join(build, p), os.X_OK)]
    if missing:
        raise RuntimeError("TOVRA_BUILD=%s lacks %s" % (build, ", ".join(missing)))
    return build


def body(line):
    """A trial line without its 'trial K (seed S):' head."""
    return line.split(":", 1)[1].strip()


class EvaluateMotionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.build = build_dir()
        # The same seeds straight from tovra-motion, in one run of three
        # trials (trial k plays the seed 1001 + k).
        run = subprocess.run([os.path.join(cls.build, "tovra-motion")] + KICK + [
            "--trials", str(len(SEEDS)), "--seed", str(SEEDS[0]), "--data", DATA],
            capture_output=True, text=True, timeout=120)
        lines = [x for x in run.stdout.splitlines() if x.startswith("trial ")]
        cls.direct = {}
        for seed, line in zip(SEEDS, lines):
            assert "(seed %d)" % seed in line, line
            cls.direct[seed] = body(line)
        if len(cls.direct) != len(SEEDS):
            raise RuntimeError("tovra-motion gave %d trial lines:\n%s%s" % (
                len(lines), run.stdout, run.stderr))

    def evaluate(self, *options, args=KICK):
        """(exit status, report text, JSON document) of evaluate.py with the
        given options over a two-worker local cluster."""
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "runs.json")
            argv = ["--runs", str(len(SEEDS)), "--seed", str(SEEDS[0]), "--workers", "2",
                    "--build", self.build, "--data", DATA, "--json", path] + list(options)
            argv += ["motion", "--"] + args
            out, err = io.StringIO(), io.StringIO()
            with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
                status = evaluate.main(argv)
            with open(path) as f:
                doc = json.load(f)
        return status, out.getvalue(), doc

    def test_runs_match_tovra_motion_run_directly(self):
        status, text, doc = self.evaluate()
        self.assertEqual(status, 0, text)
        runs = doc["runs"]
        self.assertEqual([r["seed"] for r in runs], SEEDS)
        self.assertTrue(all(r["ok"] and r["config"] == "A" for r in runs), runs)
        self.assertEqual({r["seed"]: body(r["line"]) for r in runs}, self.direct)
        # The figures count what the direct lines say.
        up = sum(1 for b in self.direct.values() if b.startswith("up "))
        summary = {row["label"]: row for row in doc["summary"]}
        self.assertEqual((summary["up at the end"]["A"]["k"], summary["up at the end"]["A"]["n"]),
                         (up, len(SEEDS)))
        balls = [float(b.split(" ball ")[1].split()[0]) for b in self.direct.values()]
        self.assertAlmostEqual(summary["ball travel"]["A"]["mean"], sum(balls) / len(balls))
        self.assertIn("up at the end", text)
        self.assertIn("%d/%d = " % (up, len(SEEDS)), text)

    def test_ab_of_the_same_data_differs_by_nothing(self):
        status, text, doc = self.evaluate("--b-data", DATA)
        self.assertEqual(status, 0, text)
        a = {r["seed"]: body(r["line"]) for r in doc["runs"] if r["config"] == "A"}
        b = {r["seed"]: body(r["line"]) for r in doc["runs"] if r["config"] == "B"}
        self.assertEqual(a, self.direct)
        self.assertEqual(b, self.direct)
        for row in doc["summary"]:
            diff = row["B-A"]
            self.assertEqual(diff["diff"], 0.0, row)
            self.assertLessEqual(diff["low"], 0.0, row)
            self.assertGreaterEqual(diff["high"], 0.0, row)
            if row["kind"] == "share":
                # Newcombe's interval of two equal shares has room either side.
                self.assertLess(diff["low"], 0.0, row)
            else:
                self.assertEqual(diff["n"], len(SEEDS), row)
        self.assertIn("B - A", text)

    def test_runs_that_do_not_run_are_listed_not_counted(self):
        status, text, doc = self.evaluate(args=["--action", "NO_SUCH_ACTION"])
        self.assertEqual(status, 1)
        self.assertEqual([r["ok"] for r in doc["runs"]], [False] * len(SEEDS))
        for seed in SEEDS:
            self.assertIn("seed %d did not run" % seed, text)
        self.assertIn("0 of %d runs ran" % len(SEEDS), text)
        for row in doc["summary"]:
            self.assertEqual(row["A"]["n"], 0, row)


class UsageTest(unittest.TestCase):
    def assertUsageError(self, argv, text=""):
        with contextlib.redirect_stderr(io.StringIO()) as err:
            with self.assertRaises(SystemExit) as cm:
                evaluate.parse(argv)
        self.assertEqual(cm.exception.code, 2)
        self.assertIn(text, err.getvalue())

    def test_usage_errors(self):
        build = build_dir()
        # Options evaluate.py sets for every run.
        for own in (["--seed", "5"], ["--trials", "4"], ["--quiet"], ["--data", DATA]):
            self.assertUsageError(["--build", build, "motion", "--"] + KICK + own, own[0])
        with tempfile.TemporaryDirectory() as empty:
            self.assertUsageError(["--build", empty, "forward"],
                                  os.path.join(empty, "tovra-motion"))
            self.assertUsageError(["--build", build, "--b-data", empty, "forward"],
                                  os.path.join(empty, "Acts"))
        self.assertUsageError(["--build", build, "motion"])
        self.assertUsageError(["--build", build, "forward", "--", "--action", "WAIT"])


if __name__ == "__main__":
    unittest.main()
