// The mirror image that tools/motion/acts.py builds the right-hand motions
// from: every joint maps to a joint of the table, twice gives the joint
// back, the ranges mirror, and the head keeps its joints (pan changes sign,
// tilt stays).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(ActsMirror, MapsEveryJointOntoItsMirrorWithMatchingRanges) {
    const std::string dir = std::string(TOVRA_SOURCE_DIR) + "/tools/motion";
    const std::string script =
        "import sys\n"
        "sys.path.insert(0, '" +
        dir +
        "')\n"
        "sys.argv = ['acts.py']\n"
        "import acts\n"
        "ranges = {j: (lo, hi) for j, _, lo, hi in acts.JOINTS}\n"
        "for j, (lo, hi) in ranges.items():\n"
        "    o, s = acts.mirror_joint(j)\n"
        "    assert o in ranges, (j, o)\n"
        "    assert acts.mirror_joint(o) == (j, s), j\n"
        "    assert ranges[o] == tuple(sorted((s * lo, s * hi))), (j, o)\n"
        "m = acts.mirror({'hj1': 10.0, 'hj2': 5.0, 'llj2': 3.0, 'rlj3': 4.0, 'laj4': 7.0})\n"
        "assert m == {'hj1': -10.0, 'hj2': 5.0, 'rlj2': -3.0, 'llj3': 4.0, 'raj4': -7.0}, m\n"
        "lines = acts.mirror_lines([('hj1', [(10.0, 1.0, 0.0, 2.0)]), ('llj6', [(1.0, 1.0, 0.0, "
        "0.0)]),\n"
        "                           ('rlj6', [(3.0, 1.0, 0.5, 1.0)])])\n"
        "assert lines == [('hj1', [(-10.0, 1.0, 0.0, -2.0)]), ('llj6', [(-3.0, 1.0, 0.5, -1.0)]),\n"
        "                 ('rlj6', [(-1.0, 1.0, 0.0, -0.0)])], lines\n";
    const std::string path = ::testing::TempDir() + "acts_mirror_check.py";
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(script.c_str(), f);
    std::fclose(f);
    const int rc = std::system(("python3 '" + path + "'").c_str());
    std::remove(path.c_str());
    EXPECT_EQ(rc, 0);
}
