"""Checks of the benchmark's own arithmetic and parsing (no Wine needed).

    python3 -m unittest discover -s tools/bench -p 'test_*.py'
"""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import bench_report
import bench_watch
import benchmark
from bench_watch import IN_CLOSE_WRITE, IN_CREATE, IN_ISDIR


class LineTest(unittest.TestCase):
    def test_points_on_a_line_are_on_it(self):
        intercept, slope = bench_report.fit_line([1, 2, 4], [1.5, 2.0, 3.0])
        self.assertAlmostEqual(intercept, 1.0)
        self.assertAlmostEqual(slope, 0.5)
        self.assertAlmostEqual(bench_report.farthest_off_line([1, 2, 4], [1.5, 2.0, 3.0]), 0.0)

    def test_a_fixed_cost_is_no_departure_but_a_bend_is(self):
        # 2 s fixed and 1 s per unit: a per-unit budget fails at small sizes, the line does not.
        self.assertLess(bench_report.farthest_off_line([0.25, 0.5, 1, 2], [2.25, 2.5, 3, 4]), 1e-9)
        self.assertGreater(bench_report.farthest_off_line([0.25, 0.5, 1, 2], [0.25, 0.5, 1, 4]), 0.10)


class ParsingTest(unittest.TestCase):
    def test_fields_come_only_from_lines_of_pairs(self):
        text = ('wall_ms=12.5 start_s=1.0 exit=0\n'
                '123.4:0214:trace:loaddll:build_module Loaded L"C:\\\\x=y.dll" at 0: builtin\n'
                'library_ms=3.0 count_ms=1.0\n')
        self.assertEqual(benchmark.fields_of(text),
                         {"wall_ms": "12.5", "start_s": "1.0", "exit": "0", "library_ms": "3.0", "count_ms": "1.0"})

    def test_loaded_libraries_of_a_wine_trace(self):
        text = ('32331.928:0264:trace:loaddll:build_module Loaded L"Z:\\\\work\\\\Quennel.exe" at 0: native\n'
                '32331.932:0264:fixme:actctx:parse_depend_manifests Could not find\n'
                '32332.113:0264:trace:loaddll:build_module Loaded L"C:\\\\windows\\\\system32\\\\riched20.dll" at 7A\n')
        self.assertEqual(bench_watch.loaded_libraries(text), [(32331.928, "quennel.exe"), (32332.113, "riched20.dll")])

    def test_paths_are_matched_without_case(self):
        with tempfile.TemporaryDirectory() as base:
            os.makedirs(os.path.join(base, "Client", "maintain"))
            self.assertEqual(benchmark.find_nocase(base, "client/translations"),
                             os.path.join(base, "Client", "translations"))
            self.assertEqual(benchmark.find_nocase(base, "server\\translations"),
                             os.path.join(base, "server", "translations"))


class StepsTest(unittest.TestCase):
    TEMP = "/p/Temp"
    DEST = "/p/Kestrova Client"

    def run_events(self):
        d, t = self.DEST, self.TEMP
        return [
            (10.5, IN_CREATE, t + "/setup.rar"), (10.6, IN_CLOSE_WRITE, t + "/setup.rar"),
            (10.7, IN_CREATE, t + "/uninstall.exe"), (10.8, IN_CREATE, t + "/setup.dll"),
            (11.0, IN_CREATE | IN_ISDIR, d + "/Client/translations"),
            (11.2, IN_CREATE | IN_ISDIR, d + "/server"),
            (12.5, IN_CLOSE_WRITE, d + "/server/translations/Thai/Service00.s_th.qm"),
            (12.6, IN_CLOSE_WRITE, d + "/Client/maintain/Setup.xml.benchmark.quennel-new"),
            (12.7, IN_CLOSE_WRITE, "/p/UserData/Framework.C/Setup.xml"),
        ]

    def test_milestones_and_steps(self):
        roots = [self.DEST + "/Client/translations", self.DEST + "/server/translations"]
        marks = bench_watch.milestones(self.run_events(), self.TEMP, roots, {"setup.xml", "setup.xml.benchmark"})
        self.assertEqual(marks, {"archive": 10.5, "uninstaller": 10.7, "library": 10.8, "first file": 11.0,
                                 "last file": 12.5, "configuration": 12.7})
        entry = {"fields": {"start_s": "10.0", "end_s": "13.0"}, "marks": marks,
                 "libraries": [(10.1, "quennel.exe"), (10.2, "user32.dll")]}
        steps = bench_report.step_times(entry, "start_s", "end_s")
        self.assertAlmostEqual(steps["image"], 0.1)
        expected = [0.5, 0.2, 0.1, 0.2, 1.5, 0.2, 0.3]
        for (label, _, _), seconds in zip(bench_report.STEP_ROWS, expected):
            self.assertAlmostEqual(steps[label], seconds, msg=label)
        self.assertAlmostEqual(steps[bench_report.BEFORE_EXTRACTION], 1.0)

    def test_the_longest_gaps_of_a_start(self):
        runs = [{"fields": {"start_s": str(t0)}, "libraries": [(t0 + 0.03, "quennel.exe"), (t0 + 0.05, "user32.dll"),
                                                               (t0 + 0.25, "winex11.drv"), (t0 + 0.9, "late.dll")]}
                for t0 in (100.0, 200.0)]
        text = bench_report.timeline(runs, "start_s", lambda e: float(e["fields"]["start_s"]) + 0.3, "the page")
        self.assertEqual(text, "0.20 s from user32.dll to winex11.drv; 0.05 s from winex11.drv to the page; "
                               "0.03 s from the start to quennel.exe")

    def test_a_step_not_seen_is_not_invented(self):
        entry = {"fields": {"start_s": "0", "end_s": "2"}, "marks": {"library": 0.5, "first file": 0.6,
                                                                      "last file": 1.5}, "libraries": []}
        steps = bench_report.step_times(entry, "start_s", "end_s")
        self.assertAlmostEqual(steps[bench_report.STEP_ROWS[0][0]], 0.5)  # the engine starts with the library
        self.assertIsNone(steps[bench_report.STEP_ROWS[1][0]])  # it copies no archive
        self.assertIsNone(steps["image"])
        self.assertAlmostEqual(steps[bench_report.STEP_ROWS[-1][0]], 0.5)


class WatchTest(unittest.TestCase):
    """The Linux-side watchers on real processes and folders."""

    def test_the_process_found_is_the_one_mapping_the_image(self):
        with tempfile.TemporaryDirectory() as folder:
            image = os.path.join(folder, "copy of sleep")
            shutil.copy2(shutil.which("sleep"), image)
            watch = bench_watch.ProcessWatch(image)
            watch.start()
            other = subprocess.Popen([shutil.which("sleep"), "0.3"])  # maps another image
            subprocess.run([image, "0.3"], check=True)
            watch.finish()
            other.wait()
            self.assertNotEqual(watch.pid, other.pid)
            self.assertTrue(watch.mapping.endswith(image))
            self.assertIn("0.3", watch.command)
            self.assertGreater(watch.peak_kb, 0)
            self.assertGreater(watch.samples, 0)

    def test_file_events_follow_new_folders(self):
        with tempfile.TemporaryDirectory() as folder:
            events = bench_watch.FileEvents()
            events.watch(folder, IN_CREATE | IN_CLOSE_WRITE, recursive=True)
            events.start()
            os.makedirs(os.path.join(folder, "client", "translations"))
            time.sleep(0.2)  # the watch on the new folder is added when its event is read
            with open(os.path.join(folder, "client", "translations", "a.qm"), "w") as f:
                f.write("x")
            time.sleep(0.2)
            events.finish()
            seen = {(os.path.relpath(path, folder), mask & (IN_CREATE | IN_CLOSE_WRITE)) for _, mask, path in
                    events.events}
            self.assertIn(("client", IN_CREATE), seen)
            self.assertIn(("client/translations/a.qm", IN_CLOSE_WRITE), seen)

    def test_cpu_pressure_is_a_share_or_unknown(self):
        with bench_watch.CpuPressure() as pressure:
            time.sleep(0.1)
        if os.path.exists("/proc/pressure/cpu"):
            self.assertGreaterEqual(pressure.share, 0.0)
            self.assertLess(pressure.share, 1.5)
        else:
            self.assertIsNone(pressure.share)


class DestinationTest(unittest.TestCase):
    def test_a_destination_is_replaced_by_an_empty_folder_or_a_copy(self):
        with tempfile.TemporaryDirectory() as base:
            destination, source = os.path.join(base, "dest"), os.path.join(base, "as installed")
            os.makedirs(os.path.join(destination, "server", "translations"))
            os.makedirs(os.path.join(source, "Client", "maintain"))
            benchmark.Prefix.replace(destination)
            self.assertEqual(os.listdir(destination), [])
            benchmark.Prefix.replace(destination, source)
            self.assertEqual(os.listdir(destination), ["Client"])
            self.assertEqual(sorted(os.listdir(base)), ["as installed", "dest"])  # nothing left aside

    def test_a_payload_short_of_a_file_is_an_error(self):
        with tempfile.TemporaryDirectory() as base:
            tree, destination = os.path.join(base, "tree"), os.path.join(base, "dest")
            for top in (tree, destination):
                os.makedirs(os.path.join(top, "client", "translations", "Thai"))
                os.makedirs(os.path.join(top, "server", "translations", "Thai"))
                with open(os.path.join(top, "client", "translations", "Thai", "a.qm"), "w") as f:
                    f.write("abc")
            variant = {"payload": benchmark.payload_totals(tree)}
            benchmark.check_payload(destination, variant)
            with open(os.path.join(tree, "server", "translations", "Thai", "b.qm"), "w") as f:
                f.write("d")
            with self.assertRaises(benchmark.BenchError):
                benchmark.check_payload(destination, {"payload": benchmark.payload_totals(tree)})


class ReportTest(unittest.TestCase):
    """The report from made-up measurements: the verdicts follow the figures."""

    def measurements(self, installer_s, waited=0.02, quiet=None):
        scales = [0.25, 0.5, 1.0]
        variants = {}
        with tempfile.NamedTemporaryFile(delete=False) as archive:
            archive.write(b"x" * 1000)
        self.addCleanup(os.unlink, archive.name)
        for name, scale in (("0.25", 0.25), ("0.5", 0.5), ("1", 1.0), ("1-solid", 1.0)):
            variants[name] = {"archive": archive.name, "payload": {"client/translations": (int(100 * scale),
                                                                                          int(1e8 * scale))}}
        results = {"a:1": [installer_s] * 3, "a-life:1": [2.0] * 3, "b:1": [2.0] * 3, "b-life:1": [1.9] * 3,
                   "b-client": [2.1] * 3, "c:1": [0.5] * 3, "wizard": [2.2] * 3, "start:quennel": [0.3] * 3,
                   "start:trivial": [0.25] * 3, "a:1-solid": [2.1] * 3, "b:1-solid": [2.0] * 3,
                   "c:1-solid": [0.5] * 3, "a:0.25": [0.75] * 3, "a:0.5": [1.0] * 3,
                   "pressure:a:1": [waited] * 3, "pressure:b:1": [waited] * 3}
        fields = {"library_ms": "100", "count_ms": "10", "extract_ms": "1500", "blocks": "9", "block_min": "1",
                  "block_median": "2", "block_max": "3"}
        watched = {"fields": {"start_s": "0", "end_s": "2", "wall_ms": "2000", "same_clock": True},
                   "marks": {"first file": 0.3, "last file": 1.9}, "libraries": [], "pid": 7, "mapping": "m",
                   "command": "c", "peak_mb": 40.0, "rss_mb": 40.0, "cpu_s": (1.0, 0.5), "samples": 9}
        observed = {"installer:1": [watched], "engine:1": [watched], "installer:0.25": [watched],
                    "installer:0.5": [watched]}
        args = type("Args", (), {"reps": 3, "arch": None, "observe": 1})()
        now = __import__("datetime").datetime(2026, 1, 1)
        return bench_report.write(args, "64", "BUILD NAME", scales, variants, results, {"1": [fields]}, observed,
                                  {}, [0.1, 0.2], now, now, "CPU X, 2 cores, Linux 6.1, wine-8.0", quiet=quiet)

    def verdict(self, report, measure):
        return next(line for line in report.splitlines() if line.startswith("| " + measure)).split("|")[-2].strip()

    def test_the_build_leads_and_budgets_follow_the_figures(self):
        report = self.measurements(installer_s=2.1)  # a/b 1.05; a line through 0.75, 1.0, 2.1 bends
        self.assertIn("**Build measured: BUILD NAME.**", report.splitlines()[2])
        self.assertEqual(self.verdict(report, "a/b"), "met")
        self.assertEqual(self.verdict(report, "counting"), "met")
        self.assertEqual(self.verdict(report, "growth"), "**not met**")
        self.assertEqual(self.verdict(self.measurements(installer_s=2.4), "a/b"), "**not met**")

    def test_memory_growth_with_the_archive(self):
        peaks = {"installer:0.5": 30.0, "installer:1": 35.0, "installer:1-solid": 33.0}
        text = bench_report.memory_growth(peaks, [0.5, 1.0], {"0.5": 5.0, "1": 10.0, "1-solid": 8.0})[1]
        self.assertIn("25.0 MB + 1.00 MB per archive MB", text)
        self.assertIn("2.0 MB smaller for the same unpacked payload, peaks 2.0 MB lower", text)

    def test_the_unattended_switches_have_their_verdicts(self):
        report = self.measurements(installer_s=2.1, quiet=QuietTest.rounds(1.0, 1.025))
        self.assertEqual(self.verdict(report, "(q)/(a)"), "met")
        self.assertEqual(self.verdict(report, "(l)/(a)"), "**not met**")
        self.assertEqual(report.count(bench_report.QUIET_HEADING), 1)

    def test_a_busy_machine_is_said(self):
        self.assertNotIn("busy with other work", self.measurements(installer_s=2.1))
        self.assertIn("busy with other work", self.measurements(installer_s=2.1, waited=0.6))


class QuietTest(unittest.TestCase):
    """/quiet and /quiet /log= against /silent: the ratios, their noise, the report's section."""

    @staticmethod
    def rounds(q_factor, l_factor, count=20):
        # /silent drifts from round to round; each switch is a fixed factor of its own round's run.
        a = [2.0 + 0.02 * (i % 7) for i in range(count)]
        return {"wall": {"a": a, "q": [x * q_factor for x in a], "l": [x * l_factor for x in a]},
                "life": {"a": a, "q": a, "l": a}, "pressure": {"a": [0.01] * count, "q": [None] * count,
                                                                "l": [0.02] * count},
                "rounds": count, "log_bytes": [900, 910], "log_lines": [12, 12], "log_last": "exit code 0",
                "log_folder": "C:\\bench\\log", "log_file": "C:\\bench\\log\\quennel.log"}

    def test_interval_of_the_median_by_order_statistics(self):
        values = list(range(20, 0, -1))
        self.assertEqual(bench_report.median_interval(values), (6, 15))  # the 6th and 15th of 20
        self.assertEqual(bench_report.median_interval(range(1, 10)), (2, 8))  # the 2nd and 8th of 9
        self.assertIsNone(bench_report.median_interval([1, 2, 3, 4, 5]))  # 1/32 > 2.5 %: none holds 95 %

    def test_each_switch_is_paired_with_its_own_round(self):
        ratios = bench_report.quiet_ratios(self.rounds(1.01, 1.03))
        self.assertAlmostEqual(ratios["q"]["median"], 1.01)
        self.assertAlmostEqual(ratios["q"]["interval"][1], 1.01)
        self.assertTrue(ratios["q"]["met"] and ratios["q"]["resolved"])
        self.assertFalse(ratios["l"]["met"])
        self.assertTrue(ratios["l"]["resolved"])
        section = "\n".join(bench_report.quiet_section(self.rounds(1.01, 1.03)))
        self.assertIn("both verdicts hold beyond the noise", section)

    def test_a_ratio_within_the_noise_is_said_so(self):
        quiet = self.rounds(1.0, 1.0)
        quiet["wall"]["q"] = [x * (1.05 if i % 2 else 0.96) for i, x in enumerate(quiet["wall"]["a"])]
        ratios = bench_report.quiet_ratios(quiet)
        self.assertTrue(ratios["q"]["met"])
        self.assertFalse(ratios["q"]["resolved"])
        section = "\n".join(bench_report.quiet_section(quiet))
        self.assertIn("| met (within the noise of these rounds) |", section)
        self.assertIn("that of (q)/(a) reaches across 1.02, so its verdict is within the noise", section)

    def test_the_section_alone_replaces_only_its_own(self):
        old = ["# Performance", "", "## Budgets", "", "| a/b | 1.28 |", "", bench_report.QUIET_HEADING, "", "old",
               "", "## Growth", "", "rows"]
        new = [bench_report.QUIET_HEADING, "", "new"]
        text = bench_report.splice_section("\n".join(old) + "\n", bench_report.QUIET_HEADING, new)
        self.assertEqual(text.split("\n"), old[:6] + new + ["", "## Growth", "", "rows", ""])
        self.assertEqual(bench_report.splice_section(text, bench_report.QUIET_HEADING, new), text)
        appended = bench_report.splice_section("# Performance\n\n## Growth\n", bench_report.QUIET_HEADING, new)
        self.assertEqual(appended, "# Performance\n\n## Growth\n\n" + "\n".join(new) + "\n")

    def test_a_log_counts_only_when_it_ends_with_exit_code_0(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "quennel.log")

            def log(text, encoding="utf-8"):
                with open(path, "wb") as f:
                    f.write(text.encode(encoding))
                return benchmark.check_log(path)

            self.assertEqual(log("start\r\nfinished: installed, exit code 0\r\n")[1:],
                             (2, "finished: installed, exit code 0"))
            for text in ("finished: exit code 0\nlater line\n", "finished: exit code 1603\n",
                         "finished: exit code 10\n", ""):
                with self.assertRaises(benchmark.BenchError, msg=text):
                    log(text)
            with self.assertRaises(benchmark.BenchError):
                log("Zürich, exit code 0\n", "latin-1")
            os.unlink(path)
            with self.assertRaises(benchmark.BenchError):
                benchmark.check_log(path)


if __name__ == "__main__":
    unittest.main()
