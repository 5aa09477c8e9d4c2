"""docs/performance.md from the benchmark's measurements (see benchmark.py)."""
import math
import os
import re
import statistics

BUDGETS = {
    "a/b": 1.10,
    "counting": 2.0,  # per cent of the extraction pass
    "wizard": 1.25,
    "startup": 1.5,
    "memory": 128.0,  # MB
    "linearity": 10.0,  # per cent
    "quiet": 1.02,  # /quiet, and /quiet /log=, against /silent
}


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def fit_line(xs, ys):
    """Least-squares line through the points: (intercept, slope)."""
    slope, intercept = statistics.linear_regression(xs, ys)
    return intercept, slope


def farthest_off_line(xs, ys):
    """The largest distance of a point from the fitted line, as a share of the point's value."""
    intercept, slope = fit_line(xs, ys)
    return max(abs(y - (intercept + slope * x)) / y for x, y in zip(xs, ys))


# The share of the time in which some task waited for a CPU above which the
# report says the machine was busy with other work during the timed runs.
BUSY = 0.20


def verdict(ok):
    return "met" if ok else "**not met**"


def seconds(value):
    return "–" if value is None else "%.2f" % value


# The steps of an installation, as differences of the milestones that
# bench_watch tells from the file events; the engine passes only some.
BEFORE_EXTRACTION = "together: process created to the first payload folder (all before the extraction)"
STEP_ROWS = (
    ("start-up: process created to its first working file begun", "start", ("archive", "library")),
    ("archive copied to the temporary folder", "archive", ("uninstaller",)),
    ("uninstaller copied to the temporary folder", "uninstaller", ("library",)),
    ("RAR library copied, checked, loaded; counting pass; archive opened again", "library", ("first file",)),
    ("extraction pass: first payload folder made to last payload file closed", "first file", ("last file",)),
    ("configuration copies updated", "last file", ("configuration",)),
    ("to the end of the process", None, ("end",)),
)


def step_times(entry, start_key, end_key):
    """{row label: seconds} of one watched run; None where a milestone was not seen."""
    fields = entry["fields"]
    marks = dict(entry["marks"])
    marks["start"] = float(fields[start_key])
    marks["end"] = float(fields[end_key])
    out = {}
    order = ["start", "archive", "uninstaller", "library", "first file", "last file", "configuration", "end"]
    for label, begin, ends in STEP_ROWS:
        end = next((marks[e] for e in ends if e in marks), None)
        if begin is None:  # from the last milestone seen before the end
            seen = [marks[name] for name in order[:-1] if name in marks]
            begin_time = max(seen) if seen else None
        else:
            begin_time = marks.get(begin)
        out[label] = end - begin_time if end is not None and begin_time is not None else None
    out[BEFORE_EXTRACTION] = marks["first file"] - marks["start"] if "first file" in marks else None
    image = next((stamp for stamp, name in entry["libraries"] if name.endswith(".exe")), None)
    out["image"] = image - marks["start"] if image is not None else None
    return out


def write(args, arch, build_name, scales, variants, results, engine_fields, observed, startups, loads, started,
          finished, machine, sources="unknown", quiet=None):
    med = {key: median(values) for key, values in results.items()}

    def span(key):
        values = results[key]
        return "%.2f | %.2f–%.2f" % (med[key], min(values), max(values))

    def waited(key):
        share = med.get("pressure:" + key.replace("a-life:", "a:").replace("b-life:", "b:"))
        return "–" if share is None else "%.0f %%" % (100 * share)

    pressures = [v for key, values in results.items() if key.startswith("pressure:") for v in values]

    def engine_median(variant, name):
        return median(float(f[name]) for f in engine_fields[variant])

    last = engine_fields["1"][-1]
    size = {name: os.path.getsize(v["archive"]) / 1e6 for name, v in variants.items()}
    unpacked = {name: sum(b for _, b in v["payload"].values()) / 1e6 for name, v in variants.items()}
    files = {name: sum(f for f, _ in v["payload"].values()) for name, v in variants.items()}

    ab = med["a:1"] / med["b:1"]
    # The budget compares the installer with the engine doing the same work:
    # into the same folder (see the sentence under the budgets).
    ab_same = med["a:1"] / med["b-client"]
    count_share = 100.0 * engine_median("1", "count_ms") / engine_median("1", "extract_ms")
    wizard_ratio = med["wizard"] / med["a:1"]
    start_ratio = med["start:quennel"] / med["start:trivial"]
    per_round = [q / t for q, t in zip(results["start:quennel"], results["start:trivial"]) if t > 0]
    start_rounds = (statistics.median(per_round), min(per_round), max(per_round), len(per_round))
    peaks = {key: max(e["peak_mb"] for e in entries) for key, entries in observed.items()
             if all(e["pid"] is not None for e in entries)}
    installer_keys = [key for key in observed if not key.startswith("engine:")]
    memory = max((peaks[key] for key in installer_keys if key in peaks), default=None)
    memory_ok = memory is not None and len(peaks) == len(observed) and memory <= BUDGETS["memory"]
    xs = [unpacked["%g" % s] for s in scales]
    ys = [med["a:%g" % s] for s in scales]
    intercept, slope = fit_line(xs, ys)
    farthest = 100 * farthest_off_line(xs, ys)

    command = "tools/benchmark.sh --reps %d --scales %s%s%s" % (
        args.reps, ",".join("%g" % s for s in scales), " --arch " + args.arch if args.arch else "",
        " --quiet-reps %d" % quiet["rounds"] if quiet is not None else "")
    minutes = (finished - started).total_seconds() / 60
    lines = [
        "# Performance", "",
        "**Build measured: %s.**" % build_name, "",
        "Written by `%s` (the benchmark, outside the test suite) on %s UTC, in %.0f minutes: %d timed rounds "
        "after a warm-up round, every measure once per round, interleaved, on one Wine prefix and one drive; "
        "then %d watched runs each of the installer and the engine for memory and the steps." % (
            command, finished.strftime("%Y-%m-%d %H:%M"), minutes, args.reps, args.observe),
        "",
        "Machine: %s. Load average (1 minute) %.2f at the start of the timed rounds, %.2f at their end." % (
            machine, loads[0], loads[1]),
        "",
        "Payload (scale 1): %d files, %.1f MB unpacked; archive %.1f MB not solid, %.1f MB solid. "
        "Sources: %s." % (files["1"], unpacked["1"], size["1"], size["1-solid"], sources),
    ]
    if pressures:
        typical = statistics.median(pressures)
        lines += ["", "Other work on the machine: during the timed runs, some runnable task waited for a CPU %.0f %% "
                  "of the time (median of the runs; largest %.0f %%; the kernel's /proc/pressure/cpu)." % (
                      100 * typical, 100 * max(pressures))]
        if typical > BUSY:
            lines += ["", "**The machine was busy with other work during this run (more than %.0f %% of the time "
                      "a task waited for a CPU): its timings are slower and more spread than a quiet machine's, "
                      "and the verdicts below are those of a busy machine.**" % (100 * BUSY)]
    if [s for s in scales] != [0.25, 0.5, 1.0, 2.0]:
        lines += ["", "Scales measured: %s (the default is 0.25, 0.5, 1, 2)." % ", ".join("%g" % s for s in scales)]
    lines += [
        "",
        "Every timed run extracts into a fresh, empty destination on the same drive: the last run's output is "
        "moved aside and deleted, the demo client's folder and configuration copies are put back as the demo "
        "client left them, and the temporary folder is emptied (as on a machine where the installer has not run), "
        "then `sync`, all before the clock starts. The programs are started and timed inside Wine by "
        "`bench_ui run` (tools/bench/bench_ui.cpp), not through a script; one program holds Wine's desktop "
        "process open for the whole benchmark, since Windows always has a desktop and Wine would otherwise start "
        "one for every program that opens a window.",
        "", "## Installation (scale 1, not solid)", "",
        "| run | median (s) | min–max (s) | clock | CPU waited (median) |", "|---|---:|---|---|---:|",
        "| (a) `Quennel.exe /silent`, start to exit | %s | QueryPerformanceCounter in bench_ui, from just "
        "before CreateProcess to the return of the wait on the process | %s |" % (span("a:1"), waited("a:1")),
        "| (a) the same runs, the installer's process from creation to exit | %s | GetProcessTimes of that "
        "process | %s |" % (span("a-life:1"), waited("a-life:1")),
        "| (b) minimal engine: both passes through the same setup.dll, start to exit | %s | "
        "QueryPerformanceCounter in bench_ui, as (a) | %s |" % (span("b:1"), waited("b:1")),
        "| (b) the same runs, the engine's process from creation to exit | %s | GetProcessTimes | %s |"
        % (span("b-life:1"), waited("b-life:1")),
        "| (b) into the client folder, where (a) extracts to | %s | QueryPerformanceCounter in bench_ui | %s |"
        % (span("b-client"), waited("b-client")),
        "| (c) native `unrar x`, start to exit | %s | Linux CLOCK_MONOTONIC around the unrar process | %s |"
        % (span("c:1"), waited("c:1")),
        "| wizard road: Install Now pressed to the finish page on screen | %s | QueryPerformanceCounter in "
        "bench_ui (the finish page looked for every 10 ms) | %s |" % (span("wizard"), waited("wizard")),
        "| installer: start to the language page on screen | %s | QueryPerformanceCounter in bench_ui, "
        "CreateProcess to the page found (looked for every 2 ms) | %s |" % (
            span("start:quennel"), waited("start:quennel")),
        "| trivial dialog program: start to its dialog on screen | %s | the same | %s |" % (
            span("start:trivial"), waited("start:trivial")),
        "",
        "Inside the minimal engine (QueryPerformanceCounter in bench_engine, medians): library written and "
        "loaded %.3f s, counting pass %.3f s, extraction pass %.3f s." % (
            engine_median("1", "library_ms") / 1000, engine_median("1", "count_ms") / 1000,
            engine_median("1", "extract_ms") / 1000),
        "", "## Budgets", "",
        "| measure | value | budget | |", "|---|---:|---|---|",
        "| a/b: silent installation against the minimal engine, both into the client folder | %.2f | ≤ %.2f | %s |"
        % (ab_same, BUDGETS["a/b"], verdict(ab_same <= BUDGETS["a/b"])),
        "| a/b with the engine into a fresh folder of its own (orientation) | %.2f | | |" % ab,
        "| counting pass / extraction pass (engine) | %.2f %% | ≤ %g %% | %s |" % (
            count_share, BUDGETS["counting"], verdict(count_share <= BUDGETS["counting"])),
        "| wizard road's extraction phase / silent installation (a) | %.2f | ≤ %.2f | %s |" % (
            wizard_ratio, BUDGETS["wizard"], verdict(wizard_ratio <= BUDGETS["wizard"])),
        "| start to the language page / trivial dialog program | %.2f | ≤ %.1f | %s |" % (
            start_ratio, BUDGETS["startup"], verdict(start_ratio <= BUDGETS["startup"])),
        "| peak memory of the installer's own process (largest of its watched runs) | %s | ≤ %g MB | %s |" % (
            "%.1f MB" % memory if memory is not None else "not observed", BUDGETS["memory"], verdict(memory_ok)),
        "| growth: farthest median of (a) from the line fitted through the scales | %.1f %% | ≤ %g %% | %s |" % (
            farthest, BUDGETS["linearity"], verdict(farthest <= BUDGETS["linearity"])),
    ]
    if quiet is not None:
        lines += quiet_budget_rows(quiet)
    lines += [
        "| a/c (orientation: the installer against native unrar) | %.2f | | |" % (med["a:1"] / med["c:1"]),
        "| b/c (orientation: the engine under Wine against native unrar) | %.2f | | |" % (med["b:1"] / med["c:1"]),
        "| callback blocks (scale 1) | %s (smallest %s, median %s, largest %s bytes) | | |" % (
            last["blocks"], last["block_min"], last["block_median"], last["block_max"]),
        "",
        "The a/b budget means the installer against the minimal engine doing the same work, both extracting into "
        "the client folder: a different destination changes the extraction itself (Wine looks up every part of "
        "a longer path for every file), not the installer's own overhead, which is what the budget bounds.",
        "",
        "The start budget's noise: round by round (the installer and the trivial program started in the same "
        "round) the ratio is %.2f at the median and lies between %.2f and %.2f over %d rounds; the verdict is on "
        "the ratio of the medians." % start_rounds,
        "", "## Growth with the payload (silent installation, not solid)", "",
        "| scale | files | unpacked (MB) | archive (MB) | median (s) | min–max (s) | line (s) | off the line "
        "| CPU waited (median) |",
        "|---:|---:|---:|---:|---:|---|---:|---:|---:|",
    ]
    for scale, x, y in zip(scales, xs, ys):
        name = "%g" % scale
        on_line = intercept + slope * x
        lines.append("| %s | %d | %.1f | %.1f | %s | %.2f | %+.1f %% | %s |" % (
            name, files[name], x, size[name], span("a:" + name), on_line, 100 * (y - on_line) / y,
            waited("a:" + name)))
    lines += [
        "",
        "Least-squares line through the medians: %.2f s + %.4f s per unpacked MB (%.1f MB/s beyond the fixed "
        "part); the farthest median lies %.1f %% off the line (budget ≤ %g %%). The clock is (a)'s." % (
            intercept, slope, 1 / slope if slope > 0 else float("nan"), farthest, BUDGETS["linearity"]),
        "", "## Solid against not solid (scale 1)", "",
        "| archive | size (MB) | (a) silent, median (s) | (b) engine, median (s) | (c) native, median (s) "
        "| peak memory (MB) |",
        "|---|---:|---:|---:|---:|---:|",
    ]
    for variant, label in (("1", "not solid (the default)"), ("1-solid", "solid (`-DQUENNEL_PAYLOAD_SOLID=ON`)")):
        lines.append("| %s | %.1f | %.2f | %.2f | %.2f | %s |" % (
            label, size[variant], med["a:" + variant], med["b:" + variant], med["c:" + variant],
            "%.1f" % peaks["installer:" + variant] if "installer:" + variant in peaks else "not observed"))
    lines += memory_section(observed, peaks)
    lines += memory_growth(peaks, scales, size)
    lines += time_section(observed, med, ab, wizard_ratio)
    lines += growth_steps(observed, scales, unpacked, farthest)
    lines += startup_section(startups, start_ratio)
    if quiet is not None:
        lines += [""] + quiet_section(quiet)
    return "\n".join(lines) + "\n"


def memory_section(observed, peaks):
    lines = [
        "", "## Peak memory", "",
        "Read from Linux in the watched runs: the largest VmHWM (the kernel's high-water mark of the resident "
        "size) in /proc/PID/status of the installer's own Wine process, polled every 10 ms until it ended. "
        "The process is the one whose /proc/PID/maps maps the installer's image file; bench_ui, Wine's "
        "launcher and the wineserver map other images.", "",
        "| run | watched runs | peak VmHWM (MB) | largest VmRSS seen (MB) | CPU user / system (s) | the process |",
        "|---|---:|---:|---:|---|---|",
    ]
    names = {"installer:1": "installer, silent, scale 1", "installer:1-solid": "installer, silent, scale 1 solid",
             "wizard:1": "installer, wizard road, scale 1", "engine:1": "minimal engine, scale 1"}
    for key, entries in observed.items():
        name = names.get(key, "installer, silent, scale %s" % key.split(":", 1)[1])
        found = [e for e in entries if e["pid"] is not None]
        if not found:
            lines.append("| %s | %d | not observed | | | no process mapped the image |" % (name, len(entries)))
            continue
        example = found[-1]
        lines.append("| %s | %d | %s | %.1f | %.2f / %.2f | pid %d, command line `%s`, %d samples; maps `%s` |" % (
            name, len(entries), "%.1f" % peaks[key] if key in peaks else "not observed in every run",
            max(e["rss_mb"] for e in found), median(e["cpu_s"][0] for e in found),
            median(e["cpu_s"][1] for e in found), example["pid"], example["command"], example["samples"],
            " ".join(example["mapping"].split())))
    return lines


def memory_growth(peaks, scales, size):
    """How the installer's peak grows with the archive it carries."""
    points = [(size["%g" % s], peaks["installer:%g" % s]) for s in scales if "installer:%g" % s in peaks]
    if len({x for x, _ in points}) < 2:
        return []
    intercept, slope = fit_line([x for x, _ in points], [y for _, y in points])
    lines = ["", "The silent installation's peak against the size of the archive it carries, over the scales: "
             "%.1f MB + %.2f MB per archive MB (least squares)." % (intercept, slope)]
    if "installer:1" in peaks and "installer:1-solid" in peaks:
        lines[-1] += (" At scale 1 the solid archive, %.1f MB smaller for the same unpacked payload, peaks %.1f MB "
                      "lower." % (size["1"] - size["1-solid"], peaks["installer:1"] - peaks["installer:1-solid"]))
    lines[-1] += (" A growth of about one MB per archive MB is what the archive's pages of the installer's own "
                  "image, read whole when it is copied to the temporary folder, would add.")
    return lines


def time_section(observed, med, ab, wizard_ratio):
    lines = ["", "## Where the time goes", ""]
    installs, engines = observed.get("installer:1", []), observed.get("engine:1", [])
    usable = [e for e in installs + engines if e["fields"].get("same_clock")]
    if len(usable) < len(installs + engines) or not installs or not engines:
        return lines + ["The steps could not be timed: Wine's QueryPerformanceCounter did not read the same clock "
                        "as the benchmark (CLOCK_MONOTONIC_RAW) here."]
    lines += [
        "From outside the installer's code, in the watched runs (medians of %d runs each, scale 1, not solid): "
        "inotify events of the temporary folder, the destination and the configuration copies, Wine's own "
        "`+timestamp,+loaddll` trace of the started program, and bench_ui's readings, all on Linux's "
        "CLOCK_MONOTONIC_RAW (the clock Wine's QueryPerformanceCounter reads; checked in every run). The trace "
        "and the watching make these runs slightly slower than the timed ones." % len(installs), "",
        "| step | installer (s) | minimal engine (s) | difference (s) |", "|---|---:|---:|---:|",
    ]
    a_steps = [step_times(e, "start_s", "end_s") for e in installs]
    b_steps = [step_times(e, "start_s", "end_s") for e in engines]
    rows = []
    for label in ["image"] + [row[0] for row in STEP_ROWS] + [BEFORE_EXTRACTION]:
        a = median(s[label] for s in a_steps)
        b = median(s[label] for s in b_steps)
        diff = (a or 0) - (b or 0) if a is not None or b is not None else None
        rows.append((label, a, b, diff))
        name = "of the start-up: process created to its image loaded (Wine)" if label == "image" else label
        lines.append("| %s | %s | %s | %s |" % (name, seconds(a), seconds(b),
                                                 "%+.2f" % diff if diff is not None else "–"))
    a_total = median(float(e["fields"]["wall_ms"]) / 1000 for e in installs)
    b_total = median(float(e["fields"]["wall_ms"]) / 1000 for e in engines)
    lines.append("| whole run (bench_ui's clock) | %.2f | %.2f | %+.2f |" % (a_total, b_total, a_total - b_total))
    a_cpu = [median(e["cpu_s"][i] for e in installs) for i in (0, 1)]
    b_cpu = [median(e["cpu_s"][i] for e in engines) for i in (0, 1)]
    lines.append("| CPU time of the process, user + system (/proc/PID/stat) | %.2f + %.2f | %.2f + %.2f | |" % (
        a_cpu[0], a_cpu[1], b_cpu[0], b_cpu[1]))

    # Libraries the installer loads that the engine does not, before its first working file.
    def early_libraries(entries, first_mark):
        names = set()
        for e in entries:
            stop = e["marks"].get(first_mark)
            names |= {name for stamp, name in e["libraries"] if stop is None or stamp <= stop}
        return names

    extra = sorted(name for name in early_libraries(installs, "archive") - early_libraries(engines, "library")
                   if not name.endswith(".exe"))
    steps = [r for r in rows[1:-1] if r[3] is not None]
    steps.sort(key=lambda r: -r[3])
    a_minus_b = med["a:1"] - med["b:1"]
    destination = med["b-client"] - med["b:1"]
    findings = [
        "", "Findings, from these figures:", "",
        "- (a) − (b) in the timed rounds: %.2f s (a/b %.2f against the budget of %.2f). Of it, %.2f s is the "
        "destination: the same engine takes that much longer extracting into the client's folder (deeper, "
        "with spaces: Wine looks every part of a path up without case for every file) than into C:\\bench\\engine; "
        "the remaining %.2f s are the installer's own steps (a/b into the same folder: %.2f)." % (
            a_minus_b, ab, BUDGETS["a/b"], destination, med["a:1"] - med["b-client"],
            med["a:1"] / med["b-client"]),
        "- The steps in which the installer spends the most beyond the engine: %s." % "; ".join(
            "%s %+.2f s" % (label, diff) for label, _, _, diff in steps[:3]),
        "- Before its extraction begins the installer takes %s s, the engine %s s (%s s); the engine loads the "
        "system libraries the RAR library needs only when it loads that library, the installer at its start-up." % (
            seconds(rows[-1][1]), seconds(rows[-1][2]),
            "%+.2f" % rows[-1][3] if rows[-1][3] is not None else "–"),
    ]
    if extra:
        findings.append("- Libraries the installer loads before its first working file and the engine never "
                        "loads: %s." % ", ".join(extra))
    findings.append("- The longest gaps of the installer's start-up to its first working file (module loads, "
                    "medians): %s." % timeline(installs, "start_s", lambda e: e["marks"].get("archive"),
                                               "the archive's copy"))
    findings.append("- The installer's CPU time (user + system) is %.2f s against the engine's %.2f s; the rest of "
                    "its %.2f s is waiting (the disk, the wineserver, the display)." % (
                        sum(a_cpu), sum(b_cpu), a_total))
    lines += findings
    lines += wizard_steps(observed.get("wizard:1", []), installs, wizard_ratio)
    return lines


def wizard_steps(wizards, installs, wizard_ratio):
    if not wizards or not all(e["fields"].get("pressed_s") for e in wizards):
        return []
    lines = [
        "", "The wizard road against the silent road (watched runs; the wizard's steps counted from Install Now "
        "pressed, its end at the finish page on screen; wizard/silent %.2f against the budget of %.2f):" % (
            wizard_ratio, BUDGETS["wizard"]), "",
        "| step | wizard road (s) | silent road (s) |", "|---|---:|---:|",
    ]
    w_steps = [step_times(e, "pressed_s", "finished_s") for e in wizards]
    s_steps = [step_times(e, "start_s", "end_s") for e in installs]
    for label, _, _ in STEP_ROWS:
        wizard = median(steps[label] for steps in w_steps)
        silent = median(steps[label] for steps in s_steps)
        name = "Install Now pressed to its first working file" if label == STEP_ROWS[0][0] else label
        if label == STEP_ROWS[-1][0]:
            name = "to the finish page on screen / to the end of the process"
        lines.append("| %s | %s | %s |" % (name, seconds(wizard), seconds(silent)))
    return lines



def timeline(entries, start_key, end_of, end_label):
    """The modules a program loads, in order, each at the median of its times
    after the start, up to END_OF(entry) (named END_LABEL); and the three
    longest gaps of that timeline, as text."""
    order, times, ends = [], {}, []
    for e in entries:
        start = float(e["fields"][start_key])
        end = end_of(e)
        if end is None:
            continue
        ends.append(end - start)
        for stamp, name in e["libraries"]:
            if stamp <= end:
                if name not in times:
                    order.append(name)
                times.setdefault(name, []).append(stamp - start)
    if not ends:
        return "–"
    points = sorted([(median(times[name]), name) for name in order] + [(median(ends), end_label)])
    gaps = sorted(((b[0] - a[0], a[1], b[1]) for a, b in zip([(0.0, "the start")] + points, points)), reverse=True)
    return "; ".join("%.2f s from %s to %s" % gap for gap in gaps[:3])


def startup_section(startups, start_ratio):
    quennel, trivial = startups.get("quennel", []), startups.get("trivial", [])
    if not quennel or not trivial:
        return []

    def summary(entries):
        """Medians of: modules loaded before the page, the last one's time, the page's time (from the start)."""
        counts, lasts, pages, names = [], [], [], set()
        for e in entries:
            start, shown = float(e["fields"]["start_s"]), float(e["fields"]["shown_s"])
            before = [(stamp, name) for stamp, name in e["libraries"] if stamp <= shown]
            counts.append(len(before))
            lasts.append(max(stamp for stamp, _ in before) - start if before else None)
            pages.append(shown - start)
            names |= {name for _, name in before}
        return median(counts), median(lasts), median(pages), names

    q, t = summary(quennel), summary(trivial)
    extra = sorted(name for name in q[3] - t[3] if not name.endswith(".exe"))
    return [
        "", "The start to the first page (watched runs with Wine's `+timestamp,+loaddll` trace; start/trivial "
        "%.2f against the budget of %.1f):" % (start_ratio, BUDGETS["startup"]), "",
        "| program | modules loaded before the page | last module loaded (s after start) | page on screen (s) |",
        "|---|---:|---:|---:|",
        "| installer, language page | %d | %s | %s |" % (q[0], seconds(q[1]), seconds(q[2])),
        "| trivial dialog program | %d | %s | %s |" % (t[0], seconds(t[1]), seconds(t[2])),
        "", "Modules the installer loads before its page and the trivial program does not: %s." % (
            ", ".join(extra) or "none"),
        "", "The longest gaps of the installer's start (module loads, medians): %s. The trivial program's: %s." % (
            timeline(quennel, "start_s", lambda e: float(e["fields"]["shown_s"]), "the page on screen"),
            timeline(trivial, "start_s", lambda e: float(e["fields"]["shown_s"]), "the dialog on screen")),
    ]


def growth_steps(observed, scales, unpacked, farthest):
    """The silent installation at each scale, split as in the steps above."""
    rows = []
    for scale in scales:
        name = "%g" % scale
        entries = [e for e in observed.get("installer:" + name, []) if e["fields"].get("same_clock")]
        if not entries:
            return []
        steps = [step_times(e, "start_s", "end_s") for e in entries]
        extraction = median(s[STEP_ROWS[4][0]] for s in steps)
        before = median(s[BEFORE_EXTRACTION] for s in steps)
        whole = median(float(e["fields"]["wall_ms"]) / 1000 for e in entries)
        rows.append((name, len(entries), before, extraction, whole, unpacked[name]))
    lines = [
        "", "The silent installation at each scale, split the same way (watched runs, medians; the farthest median "
        "of the timed rounds lies %.1f %% off the line):" % farthest, "",
        "| scale | watched runs | before the extraction (s) | extraction pass (s) | after it (s) | whole run (s) "
        "| extraction (unpacked MB/s) |", "|---:|---:|---:|---:|---:|---:|---:|",
    ]
    for name, count, before, extraction, whole, megabytes in rows:
        after = whole - before - extraction if None not in (before, extraction) else None
        lines.append("| %s | %d | %s | %s | %s | %.2f | %s |" % (
            name, count, seconds(before), seconds(extraction), seconds(after), whole,
            "%.1f" % (megabytes / extraction) if extraction else "–"))
    return lines


# The comparison of the unattended switches with /silent (benchmark.py, quiet_rounds).
QUIET_HEADING = "## Unattended switches: `/quiet` and `/log` against `/silent`"
QUIET_NAMES = (("a", "(a) `Quennel.exe /silent`"), ("q", "(q) `Quennel.exe /quiet`"),
               ("l", "(l) `Quennel.exe /quiet /log=%s`"))


def median_interval(values, confidence=0.95):
    """A distribution-free interval of the median of VALUES: the k-th smallest
    and the k-th largest value, k the largest rank for which
    P(Binomial(n, 1/2) < k) <= (1 - confidence) / 2. None for too few values."""
    ordered = sorted(values)
    n = len(ordered)
    tail = (1 - confidence) / 2
    k, below = 0, 0.0  # below: P(Binomial(n, 1/2) < k)
    while k < n:
        with_k = below + math.comb(n, k) / 2 ** n
        if with_k > tail:
            break
        below, k = with_k, k + 1
    if k == 0:
        return None
    return ordered[k - 1], ordered[n - k]


def quartiles(values):
    first, _, third = statistics.quantiles(values, n=4, method="inclusive")
    return first, third


def quiet_ratios(quiet):
    """{kind: figures} of (q) and (l) against (a): the ratio of the medians,
    and the per-round ratios (each run against the /silent run of its own
    round): their median, quartiles, range and the 95 % interval of their median."""
    wall = quiet["wall"]
    out = {}
    for kind in ("q", "l"):
        per_round = [x / a for x, a in zip(wall[kind], wall["a"])]
        out[kind] = {"of_medians": statistics.median(wall[kind]) / statistics.median(wall["a"]),
                     "median": statistics.median(per_round), "quartiles": quartiles(per_round),
                     "range": (min(per_round), max(per_round)), "interval": median_interval(per_round)}
        ratio = out[kind]
        ratio["met"] = ratio["of_medians"] <= BUDGETS["quiet"]
        # Whether the noise lets the rounds tell the budget apart: the
        # interval of the per-round ratio lies wholly on one side of it.
        interval = ratio["interval"]
        ratio["resolved"] = interval is not None and (interval[1] <= BUDGETS["quiet"] if ratio["met"]
                                                      else interval[0] > BUDGETS["quiet"])
    return out


def quiet_budget_rows(quiet):
    ratios = quiet_ratios(quiet)
    return ["| %s/(a): `/quiet`%s against `/silent`, ratio of the medians (%d interleaved rounds) | %.3f | ≤ %.2f "
            "| %s |" % ("(%s)" % kind, " /log=" if kind == "l" else "", quiet["rounds"], ratios[kind]["of_medians"],
                        BUDGETS["quiet"], verdict(ratios[kind]["met"])) for kind in ("q", "l")]


def quiet_section(quiet, standalone=None):
    """The report's section on /quiet and /log= against /silent. STANDALONE:
    when the section is measured on its own (tools/benchmark.sh --only quiet),
    what the rest of the report was measured from."""
    wall, life, pressure = quiet["wall"], quiet["life"], quiet["pressure"]
    ratios = quiet_ratios(quiet)
    rounds = quiet["rounds"]
    lines = [QUIET_HEADING, ""]
    if standalone is not None:
        lines += [
            "Measured on its own by `%s` on %s UTC, in %.0f minutes; sources: %s. %s" % (
                quiet["command"], quiet["finished"].strftime("%Y-%m-%d %H:%M"),
                (quiet["finished"] - quiet["started"]).total_seconds() / 60, quiet["sources"], standalone), "",
            "**Build measured: %s.** Machine: %s. Load average (1 minute) %.2f at the start of the rounds, %.2f at "
            "their end." % (quiet["build"], quiet["machine"], quiet["loads"][0], quiet["loads"][1]), "",
        ]
    io = quiet.get("io", {})
    every = [share for shares in pressure.values() for share in shares if share is not None]
    typical, largest = median(every), max(every) if every else None
    disk = [share for shares in io.values() for share in shares if share is not None]
    lines += [
        "%d rounds after a warm-up round, each with one run of (a), (q) and (l), interleaved; the order turns by "
        "one place every round, so that no run always follows the same one. Scale 1, not solid, the same demo "
        "client. Every run starts from what (a) above starts from: the demo client's folder and configuration "
        "copies put back, the temporary folder emptied, the log's folder (`%s`) made anew and empty, and `sync`, "
        "all before the clock starts. Clock: QueryPerformanceCounter in `bench_ui run`, from just before "
        "CreateProcess to the return of the wait on the process. A run counts only when it ended with exit code "
        "0, the whole payload is in the client's folder and every configuration copy was rewritten; (l) only when "
        "its log was written, in UTF-8, and its last line is the one of exit code 0, and (a) and (q) only when "
        "they wrote nothing into the log's folder. Any other run stops the benchmark." % (
            rounds, quiet["log_folder"]),
        "",
    ]
    if typical is not None:
        lines += ["Other work on the machine: during these runs some runnable task waited for a CPU %.0f %% of the "
                  "time (median of the runs; largest %.0f %%; /proc/pressure/cpu)%s%s." % (
                      100 * typical, 100 * largest,
                      ": **busy**, so the times are slower and more spread than a quiet machine's" if typical > BUSY
                      else "",
                      "; some task waited for the disk %.0f %% of the time (median; largest %.0f %%; "
                      "/proc/pressure/io)" % (100 * median(disk), 100 * max(disk)) if disk else ""), ""]

    def share(values):
        value = median(values or [])
        return "–" if value is None else "%.0f %%" % (100 * value)

    lines += ["| run | median (s) | quartiles (s) | min–max (s) | process life, median (s) | CPU waited (median) "
              "| disk waited (median) |", "|---|---:|---|---|---:|---:|---:|"]
    for kind, name in QUIET_NAMES:
        q1, q3 = quartiles(wall[kind])
        lines.append("| %s | %.3f | %.3f–%.3f | %.3f–%.3f | %.3f | %s | %s |" % (
            name % quiet["log_file"] if kind == "l" else name, statistics.median(wall[kind]), q1, q3,
            min(wall[kind]), max(wall[kind]), statistics.median(life[kind]), share(pressure[kind]),
            share(io.get(kind))))
    lines += ["", "| ratio | of the medians | per round: median | quartiles | min–max | 95 % interval of its "
              "median | budget | |", "|---|---:|---:|---|---|---|---|---|"]
    for kind in ("q", "l"):
        r = ratios[kind]
        interval = r["interval"]
        note = "" if r["resolved"] else " (within the noise of these rounds)"
        lines.append("| (%s)/(a) | %.3f | %.3f | %.3f–%.3f | %.3f–%.3f | %s | ≤ %.2f | %s%s |" % (
            kind, r["of_medians"], r["median"], r["quartiles"][0], r["quartiles"][1], r["range"][0], r["range"][1],
            "%.3f–%.3f" % interval if interval else "too few rounds", BUDGETS["quiet"], verdict(r["met"]), note))
    a_q1, a_q3 = quartiles(wall["a"])
    a_median = statistics.median(wall["a"])
    widths = [100 * (r["interval"][1] - r["interval"][0]) for r in ratios.values() if r["interval"]]
    lines += [
        "",
        "The noise: (a)'s own runs lie %.1f %% apart between their quartiles and %.1f %% from the fastest to the "
        "slowest, against its median. Pairing each run with the `/silent` run of its own round takes out the "
        "slow drift of the machine; %s" % (
            100 * (a_q3 - a_q1) / a_median, 100 * (max(wall["a"]) - min(wall["a"])) / a_median,
            "these %d rounds are too few for a 95 %% interval of the median per-round ratio: the verdicts are "
            "within the noise, and more rounds are needed to settle them." % rounds if len(widths) < 2 else
            "the 95 %% interval of the median per-round ratio (the two order statistics that hold the median with "
            "at least 95 %% probability, whatever the distribution) spans %.1f %% at the widest%s." % (
                max(widths), unsettled_text(ratios))),
        "",
        "The log (l) wrote: %d to %d bytes, %d to %d lines; its last line: `%s`." % (
            min(quiet["log_bytes"]), max(quiet["log_bytes"]), min(quiet["log_lines"]), max(quiet["log_lines"]),
            quiet["log_last"]),
        "",
        "Every timed run of these rounds (round, place in it, times, waits) is kept in build/bench/quiet-runs.json.",
    ]
    return lines


def unsettled_text(ratios):
    """How the intervals of RATIOS (quiet_ratios) stand against the budget, as the end of a sentence."""
    unsettled = ["(%s)/(a)" % kind for kind in ("q", "l") if not ratios[kind]["resolved"]]
    if not unsettled:
        return ", and each lies wholly on one side of %.2f: both verdicts hold beyond the noise of these rounds" % (
            BUDGETS["quiet"])
    return (": that of %s reaches across %.2f, so its verdict is within the noise, and more rounds are needed to "
            "settle it" % (" and ".join(unsettled), BUDGETS["quiet"]))


def splice_section(text, heading, section):
    """TEXT with the section that starts at the line HEADING (up to the next
    '## ' heading) replaced by the lines SECTION, or with them appended."""
    lines = text.rstrip("\n").split("\n")
    if heading in lines:
        start = lines.index(heading)
        end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("## ")), len(lines))
        tail = [""] + lines[end:] if end < len(lines) else []
        lines = lines[:start] + section + tail
    else:
        lines = lines + [""] + section
    return "\n".join(lines) + "\n"


def sources_of(text):
    """What the report TEXT says its sources were ("commit abc1234", ...), or None."""
    found = re.search(r"^Payload .*Sources: (.+?)\.$", text, re.MULTILINE)
    return found.group(1) if found else None
