"""The shell scripts' own logic: build_tree's reconfiguration
(scripts/lib/common.sh) and the argument checks of scripts/fuzz and
scripts/memcheck, which must refuse bad arguments before installing or
building anything."""

import os
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
COMMON = os.path.join(ROOT, "scripts", "lib", "common.sh")


def bash(script, *args, env=None):
    """Runs a bash snippet with common.sh sourced; returns (status, output)."""
    run = subprocess.run(["bash", "-c", 'source "$0"; ' + script, COMMON, *args],
                         capture_output=True, text=True, env=env, timeout=120)
    return run.returncode, run.stdout + run.stderr


class TreeHasOptionsTest(unittest.TestCase):
    CACHE = "\n".join([
        "# This is the CMakeCache file.",
        "//Build type",
        "CMAKE_BUILD_TYPE:STRING=Debug",
        "CMAKE_CXX_FLAGS:STRING=",
        "CMAKE_CXX_FLAGS_DEBUG:STRING=-O0 -g1",
        "TOVRA_SIM:BOOL=ON",
        "TOVRA_WERROR:BOOL=OFF",
        "",
    ])

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        with open(os.path.join(self.dir, "CMakeCache.txt"), "w") as f:
            f.write(self.CACHE)

    def has(self, *options):
        status, out = bash('tree_has_options "$@"', self.dir, *options)
        self.assertIn(status, (0, 1), out)
        return status == 0

    def test_the_same_values_need_no_configuration(self):
        self.assertTrue(self.has())
        self.assertTrue(self.has("-DTOVRA_SIM=ON", "-DCMAKE_BUILD_TYPE=Debug"))
        self.assertTrue(self.has("-DTOVRA_SIM:BOOL=ON", "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1"))
        self.assertTrue(self.has("-DCMAKE_CXX_FLAGS="))
        # Options that are not cache entries are not compared.
        self.assertTrue(self.has("-G", "Ninja", "-Wno-dev", "-DTOVRA_SIM=ON"))

    def test_a_changed_or_new_value_needs_configuration(self):
        self.assertFalse(self.has("-DTOVRA_WERROR=ON"))
        self.assertFalse(self.has("-DTOVRA_SIM=ON", "-DCMAKE_BUILD_TYPE=Release"))
        self.assertFalse(self.has("-DCMAKE_CXX_FLAGS_DEBUG=-O0"))
        self.assertFalse(self.has("-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1 -g"))
        self.assertFalse(self.has("-DTOVRA_FUZZ=OFF"))
        # A name that ends another entry's name is not that entry.
        self.assertFalse(self.has("-DFLAGS_DEBUG=-O0 -g1"))
        self.assertFalse(self.has("-DSIM=ON"))

    def test_a_tree_without_cache_needs_configuration(self):
        os.remove(os.path.join(self.dir, "CMakeCache.txt"))
        self.assertFalse(self.has())


@unittest.skipUnless(shutil.which("cmake") and shutil.which("ninja"), "needs cmake and ninja")
class BuildTreeTest(unittest.TestCase):
    """build_tree on a small project standing in for the source tree."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        self.source = os.path.join(self.dir, "src")
        self.tree = os.path.join(self.dir, "build")
        os.mkdir(self.source)
        with open(os.path.join(self.source, "CMakeLists.txt"), "w") as f:
            f.write("cmake_minimum_required(VERSION 3.16)\n"
                    "project(probe NONE)\n"
                    'option(PROBE "a probe option" OFF)\n'
                    'message(STATUS "configuring with PROBE=${PROBE}")\n'
                    "add_custom_target(probe_target ALL COMMAND ${CMAKE_COMMAND} -E true)\n")

    def build(self, *options):
        status, out = bash('TOVRA_ROOT="$1"; shift; build_tree "$@"', self.source, self.tree,
                           *options)
        self.assertEqual(status, 0, out)
        return out

    def cached_probe(self):
        with open(os.path.join(self.tree, "CMakeCache.txt")) as f:
            return [line.strip() for line in f if line.startswith("PROBE:")]

    def test_configures_again_only_when_the_options_change(self):
        self.assertIn("configuring with PROBE=ON", self.build("-DPROBE=ON"))
        self.assertEqual(self.cached_probe(), ["PROBE:BOOL=ON"])
        self.assertNotIn("configuring with", self.build("-DPROBE=ON"))
        self.assertNotIn("configuring with", self.build())
        self.assertIn("configuring with PROBE=OFF", self.build("-DPROBE=OFF", "--",
                                                               "probe_target"))
        self.assertEqual(self.cached_probe(), ["PROBE:BOOL=OFF"])


class ArgumentsTest(unittest.TestCase):
    """Bad arguments end the scripts with status 2 and a message, before they
    install packages or build."""

    def run_script(self, name, *args):
        env = dict(os.environ, PATH="/usr/bin:/bin")
        run = subprocess.run(["bash", os.path.join(ROOT, "scripts", name), *args],
                             capture_output=True, text=True, env=env, timeout=60)
        return run.returncode, run.stdout + run.stderr

    def assertRefused(self, name, *args, says):
        status, out = self.run_script(name, *args)
        self.assertEqual(status, 2, "%s %s: %s" % (name, " ".join(args), out))
        self.assertIn(says, out)
        self.assertNotIn("installing:", out)

    def test_fuzz(self):
        self.assertRefused("fuzz", "abc", says="usage: scripts/fuzz")
        self.assertRefused("fuzz", "0", says="usage: scripts/fuzz")
        self.assertRefused("fuzz", "-5", says="usage: scripts/fuzz")
        self.assertRefused("fuzz", "10", "no_such_target", says="no fuzz target no_such_target")
        # The usage names the real targets.
        status, out = self.run_script("fuzz", "x")
        self.assertIn("sexp_parse", out)
        status, out = self.run_script("fuzz", "--help")
        self.assertEqual(status, 0, out)
        self.assertIn("SECONDS", out)

    def test_memcheck(self):
        self.assertRefused("memcheck", "--unum", "12", says="--unum must be 1 to 11")
        self.assertRefused("memcheck", "--unum", "0", says="--unum must be 1 to 11")
        self.assertRefused("memcheck", "--unum", "nine", says="--unum must be 1 to 11")
        self.assertRefused("memcheck", "--unum", says="--unum needs a value")
        self.assertRefused("memcheck", "--seconds", "1.5", says="--seconds must be")
        self.assertRefused("memcheck", "--seconds", "0", says="--seconds must be")
        self.assertRefused("memcheck", "--build-dir", says="--build-dir needs a value")
        self.assertRefused("memcheck", "--frobnicate", says="unknown option --frobnicate")
        self.assertRefused("memcheck", "--no-build", "--build-dir", self.id(),
                           says="is not built")


if __name__ == "__main__":
    unittest.main()
