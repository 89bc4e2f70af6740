"""tools/check_layering.py on small trees of its own: which includes are
edges between source folders, and that an unlisted edge fails the check."""

import contextlib
import io
import os
import shutil
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import check_layering  # noqa: E402


class LayeringTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.root)
        self.write("src/Agent/Agent.h", "#pragma once\n")
        self.write("src/WorldModel/WorldModel.h", "#pragma once\n")
        self.write("src/WorldModel/Types.h", "#pragma once\n")
        self.write("lib/salt/vector.h", "#pragma once\n")
        self.write("lib/spark/sfsexp/sexp.h", "#pragma once\n")
        self.write("lib/spark/sexpparser/sexpparser.h", "#pragma once\n")

    def write(self, rel, text):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)

    def check(self, allowed):
        self.write("allowed.txt", allowed)
        out = io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(out):
            status = check_layering.main(["--root", self.root, "--allowed",
                                          os.path.join(self.root, "allowed.txt")])
        return status, out.getvalue()

    def edges(self):
        return sorted(check_layering.find_edges(self.root))

    def test_includes_resolve_as_the_compiler_resolves_them(self):
        self.write("src/Agent/Agent.cpp",
                   '#include "Agent/Agent.h"\n'           # own folder through the root
                   '#include "WorldModel/WorldModel.h"\n'  # another folder
                   '  #  include <salt/vector.h>\n'        # angle brackets, spaces
                   '#include <vector>\n'                   # not in the tree
                   '#include "boost/optional.hpp"\n'       # not in the tree either
                   '// #include "WorldModel/Types.h"\n')   # a comment is no include
        self.write("src/WorldModel/WorldModel.cpp",
                   '#include "Types.h"\n'                  # beside the file
                   '#include "../Agent/Agent.h"\n')        # relative to the file
        self.write("lib/spark/sexpparser/sexpparser.cpp",
                   '#include "spark/sfsexp/sexp.h"\n')     # a nested source folder
        self.assertEqual(self.edges(), [
            ("lib/spark/sexpparser", "lib/spark/sfsexp"),
            ("src/Agent", "lib/salt"),
            ("src/Agent", "src/WorldModel"),
            ("src/WorldModel", "src/Agent"),
        ])

    def test_a_quoted_name_beside_the_file_wins_over_the_roots(self):
        # "salt/vector.h" exists beside the including file and under lib/.
        self.write("src/Agent/salt/vector.h", "#pragma once\n")
        self.write("src/Agent/Agent.cpp", '#include "salt/vector.h"\n')
        self.assertEqual(self.edges(), [])

    def test_every_edge_listed_passes(self):
        self.write("src/Agent/Agent.cpp", '#include "WorldModel/WorldModel.h"\n')
        status, out = self.check("# comment\n\nsrc/Agent -> src/WorldModel  # why\n")
        self.assertEqual(status, 0, out)
        self.assertIn("1 include edges", out)

    def test_an_unlisted_edge_fails_and_names_the_include(self):
        self.write("src/Agent/Agent.cpp", '#include "WorldModel/WorldModel.h"\n')
        self.write("src/WorldModel/WorldModel.cpp",
                   '#include "WorldModel/Types.h"\n#include "Agent/Agent.h"\n')
        status, out = self.check("src/Agent -> src/WorldModel\n")
        self.assertEqual(status, 1, out)
        self.assertIn("src/WorldModel -> src/Agent is not an allowed edge", out)
        self.assertIn("src/WorldModel/WorldModel.cpp:2", out)
        self.assertNotIn("src/Agent -> src/WorldModel is not", out)

    def test_the_direction_of_an_edge_matters(self):
        self.write("src/Agent/Agent.cpp", '#include "WorldModel/WorldModel.h"\n')
        status, out = self.check("src/WorldModel -> src/Agent\n")
        self.assertEqual(status, 1, out)
        self.assertIn("src/Agent -> src/WorldModel is not an allowed edge", out)

    def test_an_unused_allowed_edge_is_reported_but_passes(self):
        status, out = self.check("src/Agent -> src/WorldModel\n")
        self.assertEqual(status, 0, out)
        self.assertIn("src/Agent -> src/WorldModel is allowed but no longer used", out)

    def test_a_malformed_allowed_file_is_a_usage_error(self):
        for text in ("src/Agent src/WorldModel\n", "src/Agent -> \n",
                     "src/Agent -> src/WorldModel -> lib/salt\n"):
            status, out = self.check(text)
            self.assertEqual(status, 2, text + out)
            self.assertIn("allowed.txt:1", out)


if __name__ == "__main__":
    unittest.main()
