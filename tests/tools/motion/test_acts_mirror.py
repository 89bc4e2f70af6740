"""The mirror image that tools/motion/acts.py builds the right-hand motions
from: every joint maps to a joint of the table, twice gives the joint back,
the ranges mirror, and the head keeps its joints (pan changes sign, tilt
stays)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "motion"))

import acts  # noqa: E402


class ActsMirrorTest(unittest.TestCase):
    def test_maps_every_joint_onto_its_mirror_with_matching_ranges(self):
        ranges = {j: (lo, hi) for j, _, lo, hi in acts.JOINTS}
        for j, (lo, hi) in ranges.items():
            with self.subTest(joint=j):
                o, s = acts.mirror_joint(j)
                self.assertIn(o, ranges)
                self.assertEqual(acts.mirror_joint(o), (j, s))
                self.assertEqual(ranges[o], tuple(sorted((s * lo, s * hi))))

    def test_mirrors_a_pose(self):
        m = acts.mirror({"hj1": 10.0, "hj2": 5.0, "llj2": 3.0, "rlj3": 4.0, "laj4": 7.0})
        self.assertEqual(m, {"hj1": -10.0, "hj2": 5.0, "rlj2": -3.0, "llj3": 4.0, "raj4": -7.0})

    def test_mirrors_recorded_lines(self):
        lines = acts.mirror_lines([("hj1", [(10.0, 1.0, 0.0, 2.0)]),
                                   ("llj6", [(1.0, 1.0, 0.0, 0.0)]),
                                   ("rlj6", [(3.0, 1.0, 0.5, 1.0)])])
        self.assertEqual(lines, [("hj1", [(-10.0, 1.0, 0.0, -2.0)]),
                                 ("llj6", [(-3.0, 1.0, 0.5, -1.0)]),
                                 ("rlj6", [(-1.0, 1.0, 0.0, -0.0)])])


if __name__ == "__main__":
    unittest.main()
