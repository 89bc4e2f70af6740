"""The interval arithmetic of tools/motion/stats.py against values worked
out by hand (in the comments) or published."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "motion"))
import stats  # noqa: E402

# z = 1.959964, z^2 = 3.841459.


class WilsonTest(unittest.TestCase):
    def test_known_counts(self):
        # 0/10: the upper bound is z^2 / (n + z^2) = 3.841459 / 13.841459.
        self.assertEqual(stats.wilson(0, 10)[:2], (0.0, 0.0))
        self.assertAlmostEqual(stats.wilson(0, 10)[2], 0.277533, places=6)
        # 10/10: 10 / 13.841459 below, 1 above.
        p, low, high = stats.wilson(10, 10)
        self.assertEqual((p, high), (1.0, 1.0))
        self.assertAlmostEqual(low, 0.722467, places=6)
        # 7/20: centre (7 + 1.920730) / 23.841459 = 0.374168; half width
        # 1.959964 * sqrt(7 * 13 / 20 + 0.960365) / 23.841459
        # = 1.959964 * 2.347418 / 23.841459 = 0.192976.
        p, low, high = stats.wilson(7, 20)
        self.assertAlmostEqual(p, 0.35)
        self.assertAlmostEqual(low, 0.181192, places=5)
        self.assertAlmostEqual(high, 0.567146, places=5)

    def test_no_runs_and_bad_counts(self):
        self.assertEqual(stats.wilson(0, 0), (None, None, None))
        self.assertEqual(stats.newcombe(0, 0, 3, 10), (None, None, None))
        with self.assertRaises(ValueError):
            stats.wilson(11, 10)
        with self.assertRaises(ValueError):
            stats.wilson(-1, 10)


class NewcombeTest(unittest.TestCase):
    def test_published_examples(self):
        # Newcombe (1998), Statistics in Medicine 17:873, table II, method
        # 10 (the hybrid score interval).
        for (k1, n1, k2, n2), (low, high) in [((56, 70, 48, 80), (0.0524, 0.3339)),
                                              ((9, 10, 3, 10), (0.1705, 0.8090)),
                                              ((5, 56, 0, 29), (-0.0381, 0.1926))]:
            d, lo, hi = stats.newcombe(k1, n1, k2, n2)
            self.assertAlmostEqual(d, k1 / n1 - k2 / n2)
            self.assertAlmostEqual(lo, low, places=4)
            self.assertAlmostEqual(hi, high, places=4)
            # Swapped, the difference and its interval change sign.
            d, lo, hi = stats.newcombe(k2, n2, k1, n1)
            self.assertAlmostEqual(lo, -high, places=4)
            self.assertAlmostEqual(hi, -low, places=4)

    def test_equal_shares_give_an_interval_around_zero(self):
        d, lo, hi = stats.newcombe(7, 20, 7, 20)
        self.assertEqual(d, 0.0)
        self.assertAlmostEqual(lo, -hi)
        # Both half widths: sqrt(0.168808^2 + 0.217146^2) = 0.275043.
        self.assertAlmostEqual(hi, 0.275043, places=5)


class MeanTest(unittest.TestCase):
    def test_t_quantiles(self):
        self.assertAlmostEqual(stats.t95(1), 12.7062, places=4)
        self.assertAlmostEqual(stats.t95(4), 2.7764, places=4)
        self.assertAlmostEqual(stats.t95(30), 2.0423, places=4)
        # Beyond the table: published values for 40, 60 and 120.
        self.assertAlmostEqual(stats.t95(40), 2.0211, places=4)
        self.assertAlmostEqual(stats.t95(60), 2.0003, places=4)
        self.assertAlmostEqual(stats.t95(120), 1.9799, places=4)
        # No step where the table ends.
        self.assertLess(stats.t95(31), stats.t95(30))
        self.assertGreater(stats.t95(31), stats.t95(32))
        with self.assertRaises(ValueError):
            stats.t95(0)

    def test_t_interval_of_a_small_sample(self):
        # 1..5: mean 3, s^2 = 10 / 4 = 2.5, s / sqrt(5) = 0.707107,
        # t(4) = 2.776445, half width 1.963243.
        m, low, high = stats.mean_interval([1, 2, 3, 4, 5])
        self.assertEqual(m, 3.0)
        self.assertAlmostEqual(low, 1.036757, places=5)
        self.assertAlmostEqual(high, 4.963243, places=5)

    def test_too_few_values(self):
        self.assertEqual(stats.mean_interval([]), (None, None, None))
        self.assertEqual(stats.mean_interval([2.5]), (2.5, None, None))
        self.assertEqual(stats.mean_interval([4, 4, 4]), (4.0, 4.0, 4.0))

    def test_paired_difference(self):
        # Differences 1, 2, 3, 4: mean 2.5, s^2 = 5 / 3, s / 2 = 0.645497,
        # t(3) = 3.182446, half width 2.054260.
        d, low, high, n = stats.paired_difference([1, 2, 3, 4], [2, 4, 6, 8])
        self.assertEqual((d, n), (2.5, 4))
        self.assertAlmostEqual(low, 0.445740, places=5)
        self.assertAlmostEqual(high, 4.554260, places=5)
        # A shift common to both samples cancels: the pairs' spread alone
        # counts, however far apart the seeds are.
        d, low, high, n = stats.paired_difference([0, 100, 200], [1, 101, 201])
        self.assertEqual((d, low, high, n), (1.0, 1.0, 1.0, 3))

    def test_paired_difference_leaves_out_incomplete_pairs(self):
        self.assertEqual(stats.paired_difference([1, None, 3], [2, 5, None]),
                         (1.0, None, None, 1))
        with self.assertRaises(ValueError):
            stats.paired_difference([1, 2], [1])


class FormatTest(unittest.TestCase):
    def test_lines(self):
        self.assertEqual(stats.format_proportion(7, 20),
                         "7/20 = 35.0 % (95 % interval 18.1–56.7 %)")
        self.assertEqual(stats.format_proportion(0, 10),
                         "0/10 = 0.0 % (95 % interval 0.0–27.8 %)")
        self.assertEqual(stats.format_mean([1, 2, 3, 4, 5], unit="s"),
                         "mean 3.00 s (95 % interval 1.04 to 4.96 s; n = 5)")
        self.assertEqual(stats.format_difference(*stats.newcombe(9, 10, 3, 10)),
                         "+60.0 points (95 % interval +17.1 to +80.9)")
        self.assertEqual(stats.format_interval(-0.5, -1.26, 0.24, digits=1, signed=True),
                         "-0.5 (95 % interval -1.3 to +0.2)")


if __name__ == "__main__":
    unittest.main()
