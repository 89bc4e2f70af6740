"""The optimiser's CMA-ES driver, its checkpoint, and its write-back into
acts.py, with a stand-in problem (no simulator)."""

import ast
import io
import json
import os
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools")
sys.path.insert(0, os.path.join(TOOLS, "motion"))
import acts  # noqa: E402
import optimise  # noqa: E402
import problems  # noqa: E402

OPTIMUM = [0.3, -1.2, 2.5, 0.0, 4.0, -3.3]


def distance2(x):
    return sum((a - b) ** 2 for a, b in zip(x, OPTIMUM))


class Quadratic:
    """A shifted quadratic in six dimensions posed as a problem: the
    'motion files' are the parameters themselves and one 'trial' is the
    function's value."""

    name = "quadratic"
    scenarios = [("value", None, 1.0)]
    trials, seed, popsize, sigma = 1, 1, None, 0.3

    def __init__(self):
        self.params = [problems.Param("Q", (i,), -5.0, 5.0) for i in range(6)]

    def start(self):
        return [-4.0] * 6

    def texts(self, x):
        return list(x)

    def calls(self, texts, seeds):
        return [(0, (texts,))]

    def score(self, per_scenario):
        return -per_scenario[0][0]["value"]


def in_process(calls):
    return [{"value": distance2(*c)} for c in calls]


class CmaDriver(unittest.TestCase):
    def test_reaches_the_optimum_of_a_shifted_quadratic_within_80_generations(self):
        problem = Quadratic()
        search = optimise.Search(problem, seed=3)
        for _ in range(80):
            search.step(problem, in_process)
        best = optimise.from_unit(problem, search.best[1])
        self.assertLess(distance2(best), 1e-4, best)
        # The history holds the best so far, never decreasing.
        bests = [b for _, b, _, _ in search.history]
        self.assertEqual(bests, sorted(bests))
        self.assertEqual(search.trials_run, 80 * search.cma.population_size)

    def test_resume_from_a_checkpoint_proposes_the_same_next_generation(self):
        problem = Quadratic()
        straight, log1 = optimise.Search(problem, seed=7), io.StringIO()
        for _ in range(3):
            straight.step(problem, in_process, log1)
        interrupted, log2 = optimise.Search(problem, seed=7), io.StringIO()
        for _ in range(2):
            interrupted.step(problem, in_process, log2)
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "checkpoint.pkl")
            optimise.save(interrupted, path)
            resumed = optimise.load(path)
        resumed.step(problem, in_process, log2)

        def generation(log, g):
            return [json.loads(ln)["params"] for ln in log.getvalue().splitlines()
                    if json.loads(ln)["generation"] == g]
        self.assertEqual(generation(log1, 2), generation(log2, 2))
        self.assertTrue(generation(log1, 2))
        # (The checkpoint stores the covariance's upper triangle: equal up
        # to rounding.)
        self.assertAlmostEqual(straight.best[0], resumed.best[0], places=9)
        self.assertEqual(straight.best[2], resumed.best[2])

    def test_a_candidate_that_cannot_be_written_scores_below_all_others(self):
        problem = Quadratic()

        def texts(x):
            if x[0] > 0:
                raise ValueError("too long")
            return list(x)
        problem.texts = texts
        search = optimise.Search(problem, seed=1, sigma=0.5)
        scores = search.step(problem, in_process)
        x0 = [optimise.from_unit(problem, u)[0] for u in search.asked]
        bad = [s for s, x in zip(scores, x0) if x > 0]
        good = [s for s, x in zip(scores, x0) if x <= 0]
        self.assertTrue(bad and good)
        self.assertLess(max(bad), min(good))
        self.assertGreater(search.best[0], max(bad))


class Seeds(unittest.TestCase):
    def test_generations_take_fresh_seeds_unless_asked_for_the_same(self):
        p = problems.problems()["getup-back"]
        fresh = optimise.Search(p, trials=4, trial_seed=501)
        self.assertEqual(fresh.seeds(0), [501, 502, 503, 504])
        self.assertEqual(fresh.seeds(2), [509, 510, 511, 512])
        same = optimise.Search(p, trials=4, trial_seed=501, reseed=False)
        self.assertEqual(same.seeds(5), [501, 502, 503, 504])
        # Search seeds stay apart from the suite's (1-10) and the check seeds.
        for prob in problems.problems().values():
            self.assertGreater(prob.seed, 10)
            self.assertFalse(optimise.CHECK_SEED <= prob.seed < optimise.CHECK_SEED + 100)


class Problems(unittest.TestCase):
    def test_the_start_of_every_problem_is_acts_and_writes_todays_files(self):
        data = os.path.join(TOOLS, "..", "data", "Acts")
        for name, p in problems.problems().items():
            with self.subTest(problem=name):
                texts = p.texts(p.start())
                self.assertTrue(texts)
                for fname, text in texts.items():
                    with open(os.path.join(data, fname)) as f:
                        self.assertEqual(text, f.read(), fname)

    def test_values_are_clamped_to_bounds_and_leave_acts_untouched(self):
        p = problems.problems()["kick"]
        before = dict(acts.KICK)
        vals = p.values([1e9] * len(p.params))
        for prm in p.params:
            self.assertEqual(prm.get(vals), round(prm.hi, p.decimals))
        p.texts(p.start())
        self.assertEqual(acts.KICK, before)


class WriteBack(unittest.TestCase):
    def test_replaces_dicts_rows_and_numbers_and_keeps_the_rest(self):
        src = ("import math\n\n# a comment\nK = dict(a=1.0, b=(2.0, 3.0),\n"
               "         c=4.0)\nROWS = [\n    (1.000, 2.000),\n    (3.000, 4.000),\n]\n"
               "TAIL = 0.5\n\n\ndef f():\n    return K\n")
        new = {"K": {"a": 1.5, "b": (2.25, -3.0), "c": 4.0 + 1e-9},
               "ROWS": [(0.1234, 2.0), (3.0, 4.5)], "TAIL": 0.75}
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "m.py")
            with open(path, "w") as f:
                f.write(src)
            optimise.write_back(path, new, 3)
            with open(path) as f:
                out = f.read()
        env = {}
        exec(compile(out, "m.py", "exec"), env)
        self.assertEqual(env["K"], {"a": 1.5, "b": (2.25, -3.0), "c": 4.0})
        self.assertEqual(env["ROWS"], [(0.123, 2.0), (3.0, 4.5)])
        self.assertEqual(env["TAIL"], 0.75)
        self.assertIn("# a comment\n", out)
        self.assertIn("def f():\n    return K\n", out)

    def test_a_long_dict_wraps_at_100_columns_and_round_trips(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "acts_copy.py")
            with open(os.path.join(TOOLS, "motion", "acts.py")) as f:
                src = f.read()
            with open(path, "w") as f:
                f.write(src)
            optimise.write_back(path, {"KICK": acts.KICK}, 4)
            with open(path) as f:
                out = f.read()
        self.assertTrue(all(len(ln) <= 100 for ln in out.splitlines()))
        tree = ast.parse(out)
        node = next(n for n in tree.body if isinstance(n, ast.Assign)
                    and getattr(n.targets[0], "id", "") == "KICK")
        value = eval(compile(ast.Expression(node.value), "k", "eval"), {"dict": dict})
        self.assertEqual(value, acts.KICK)

    def test_a_missing_variable_is_an_error_and_writes_nothing(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "m.py")
            with open(path, "w") as f:
                f.write("A = 1\n")
            with self.assertRaises(ValueError):
                optimise.write_back(path, {"A": 2.0, "B": 3.0}, 3)
            with open(path) as f:
                self.assertEqual(f.read(), "A = 1\n")


class Svg(unittest.TestCase):
    def test_is_well_formed_with_both_lines(self):
        import xml.etree.ElementTree as ET
        text = optimise.svg([(0, 1.0, 0.5, 1.0), (1, 1.2, 0.9, 1.2), (2, 1.2, 1.0, 1.1)], "t")
        root = ET.fromstring(text)
        lines = [e for e in root.iter() if e.tag.endswith("polyline")]
        self.assertEqual(len(lines), 2)
        self.assertEqual(len(lines[0].get("points").split()), 3)


if __name__ == "__main__":
    unittest.main()
