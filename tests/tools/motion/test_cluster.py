"""run_tasks of tools/motion/cluster.py on a local cluster of two worker
processes: calls that take longer than its polling interval, a call that
hangs, a call whose worker is killed, a call that always fails. The calls are
shell commands (subprocess.check_output), so the workers need nothing from
the tests; a marker file tells a command whether it runs for the first
time."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "..", "tools", "motion"))
import cluster  # noqa: E402


def sh(script):
    return (["sh", "-c", script],)


class RunTasksTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.client = cluster.connect(workers=2)

    @classmethod
    def tearDownClass(cls):
        cluster.close(cls.client)

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tovra-cluster-test-")
        self.addCleanup(shutil.rmtree, self.dir, ignore_errors=True)

    def first_time(self, name, first, then):
        """A command that runs `first` on its first run and `then` on the
        runs after it."""
        marker = os.path.join(self.dir, name)
        return sh("if [ -e %s ]; then %s; else touch %s; %s; fi" % (marker, then, marker, first))

    def test_results_come_in_call_order(self):
        # Longer than the one-second wait for a finished call, and ending in
        # another order than submitted.
        calls = [sh("sleep 1.6; echo a"), sh("echo b"), sh("sleep 1.2; echo c")]
        seen = []
        out = cluster.run_tasks(self.client, subprocess.check_output, calls, timeout=60,
                                progress=lambda done, total: seen.append((done, total)))
        self.assertEqual(out, [b"a\n", b"b\n", b"c\n"])
        self.assertEqual(seen, [(1, 3), (2, 3), (3, 3)])

    def test_a_hung_call_runs_again_and_counts_once(self):
        calls = [self.first_time("hang", "sleep 4; echo late", "echo again")]
        seen = []
        out = cluster.run_tasks(self.client, subprocess.check_output, calls, timeout=2,
                                progress=lambda done, total: seen.append(done))
        self.assertEqual(out, [b"again\n"])
        self.assertEqual(seen, [1])

    def test_a_call_whose_worker_dies_runs_again(self):
        # The shell's parent is the worker process.
        calls = [self.first_time("kill", "kill -9 $PPID", "echo again"), sh("echo other")]
        out = cluster.run_tasks(self.client, subprocess.check_output, calls, timeout=60)
        self.assertEqual(out, [b"again\n", b"other\n"])

    def test_a_call_that_always_fails(self):
        count = os.path.join(self.dir, "count")
        calls = [sh("echo x >> %s; exit 3" % count), sh("echo fine")]
        with self.assertRaises(cluster.TaskFailed):
            cluster.run_tasks(self.client, subprocess.check_output, calls, timeout=60,
                              retries=1)
        with open(count) as f:
            self.assertEqual(len(f.readlines()), 2)  # the first run and one again
        out = cluster.run_tasks(self.client, subprocess.check_output, calls, timeout=60,
                                retries=0, give_up=lambda i, reason: (i, reason))
        self.assertEqual(out[1], b"fine\n")
        self.assertEqual(out[0][0], 0)
        self.assertIn("exit status 3", out[0][1])
        self.assertIn("after 1 runs", out[0][1])


if __name__ == "__main__":
    unittest.main()
