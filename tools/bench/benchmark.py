#!/usr/bin/env python3
"""Side-by-side benchmark of the installation, written to docs/performance.md.

    tools/benchmark.sh [--reps 5] [--scales 0.25,0.5,1,2]

Builds installers around generated full-scale payloads (not solid, and solid
at scale 1; the other scales not solid), then runs everything alternating,
round after round after a warm-up round, on one Wine prefix and one drive:
  (a) Quennel.exe /silent on a demo client, start to exit;
  (b) bench_engine.exe: only the counting and the extraction pass through the
      same setup.dll on the same archive (the limit of the design);
  (c) the native `unrar x` of the same archive (the reference without Wine);
  the wizard road's extraction phase (Install Now to the finish page on
  screen) against the silent road timed by the same clock inside Wine; the
  start of the installer to its language page on screen against a trivial
  dialog program's start to its dialog on screen; the silent installation at
  the other scales. The peak memory of the installer is read in a run of its
  own afterwards, so that watching it costs none of the timed runs anything.
"""
import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import threading
import time

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BENCH = os.path.join(REPO, "build", "bench")
WINE_ENV = os.path.join(REPO, "tests", "wine", "wine-env.sh")


def run(command, env=None, quiet=True):
    return subprocess.run(command, env=env, check=True, text=True,
                          stdout=subprocess.PIPE if quiet else None, stderr=subprocess.STDOUT if quiet else None)


def win_path(path):
    return "Z:" + path.replace("/", "\\")


def fields_of(text):
    return dict(item.split("=", 1) for item in text.split() if "=" in item)


def build_variants(scales):
    """One build folder; the payload is swapped per variant and the installer kept aside."""
    build = os.path.join(BENCH, "build")
    variants = {}
    wanted = [(scale, False) for scale in scales]
    if 1.0 in scales:
        wanted.append((1.0, True))
    for scale, solid in wanted:
        name = "%g%s" % (scale, "-solid" if solid else "")
        tree = os.path.join(BENCH, "tree-%g" % scale)
        if not os.path.isdir(tree):
            run([sys.executable, os.path.join(REPO, "tools/bench/make_bench_tree.py"),
                 "--catalogue", os.path.join(REPO, "languages/catalogue.cpp"), "--out", tree,
                 "--scale", str(scale)], quiet=False)
        run(["cmake", "-S", REPO, "-B", build, "-G", "Ninja",
             "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(REPO, "cmake/mingw-i686.cmake"), "-DCMAKE_BUILD_TYPE=Release",
             "-DQUENNEL_PAYLOAD_TREE=" + tree, "-DQUENNEL_PAYLOAD_SOLID=" + ("ON" if solid else "OFF"),
             "-DQUENNEL_DIST_DIR=" + os.path.join(build, "dist")])
        run(["cmake", "--build", build, "--target", "Quennel", "bench_engine", "bench_ui", "trivial_dialog",
             "democlient"], quiet=False)
        folder = os.path.join(BENCH, "variants", name)
        os.makedirs(folder, exist_ok=True)
        shutil.copy2(os.path.join(build, "dist", "Quennel.exe"), os.path.join(folder, "Quennel.exe"))
        shutil.copy2(os.path.join(build, "payload", "setup.rar"), os.path.join(folder, "setup.rar"))
        unpacked = sum(os.path.getsize(os.path.join(root, f)) for root, _, files in os.walk(tree) for f in files)
        variants[name] = {"scale": scale, "solid": solid, "folder": folder, "unpacked": unpacked,
                          "installer": os.path.join(folder, "Quennel.exe"),
                          "archive": os.path.join(folder, "setup.rar")}
    tools = os.path.join(build, "tools", "demo")
    return variants, {name: os.path.join(tools, name + ".exe")
                      for name in ("bench_engine", "bench_ui", "trivial_dialog", "democlient")}


def peak_memory_kb(name, stop, result):
    """Finds the Wine process of this program once, then follows its peak resident size."""
    pid = None
    while not stop.is_set() and pid is None:
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    if name.encode() in f.read():
                        pid = entry
                        break
            except OSError:
                pass
        time.sleep(0.005)
    while not stop.is_set() and pid is not None:
        try:
            with open("/proc/%s/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        result[0] = max(result[0], int(line.split()[1]))
        except OSError:
            return
        time.sleep(0.02)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--reps", type=int, default=5)
    parser.add_argument("--scales", default="0.25,0.5,1,2")
    args = parser.parse_args()
    scales = sorted(float(s) for s in args.scales.split(","))
    if 1.0 not in scales:
        parser.error("--scales must hold 1 (the full scale)")

    # Nothing can be timed where Wine cannot start a 32-bit program: say so
    # before spending minutes on builds.
    if subprocess.run([WINE_ENV, "probe"]).returncode != 0:
        sys.exit("benchmark: not run")
    variants, tools = build_variants(scales)
    env = dict(os.environ, QUENNEL_WINE_DIR=os.path.join(BENCH, "wine"))
    run([WINE_ENV, "start"], env=env, quiet=False)
    prefix = os.path.join(BENCH, "wine", "prefix")
    installed = run([WINE_ENV, "run", tools["democlient"], "install"], env=env).stdout
    client_folder = next(line.split("=", 1)[1].strip() for line in installed.splitlines()
                         if line.strip().startswith("client folder"))

    def wine(*command):
        return run([WINE_ENV, "run"] + list(command), env=env).stdout

    def timed(function):
        start = time.monotonic()
        out = function()
        return time.monotonic() - start, out

    def installer(variant):
        return timed(lambda: wine(variants[variant]["installer"], "/silent"))[0]

    def engine(variant, destination="C:\\bench\\engine\\"):
        elapsed, out = timed(lambda: wine(tools["bench_engine"], win_path(variants[variant]["archive"]),
                                          destination))
        return elapsed, fields_of(out)

    native_dest = os.path.join(prefix, "drive_c", "bench", "native")
    os.makedirs(native_dest, exist_ok=True)

    def native(variant):
        return timed(lambda: run(["unrar", "x", "-o+", "-idq", variants[variant]["archive"], native_dest + "/"]))[0]

    def ui(*arguments):
        return fields_of(wine(tools["bench_ui"], *arguments))

    # One round: every measure once, in a fixed interleaved order.
    results = {}

    def record(key, value):
        results.setdefault(key, []).append(value)

    engine_fields = {}

    def round_once():
        for variant in ("1", "1-solid"):
            record("a:" + variant, installer(variant))
            elapsed, fields = engine(variant)
            record("b:" + variant, elapsed)
            engine_fields.setdefault(variant, []).append(fields)
            record("c:" + variant, native(variant))
        # The minimal engine into the installer's own destination: tells the
        # cost of the destination from the cost of the installer's other steps.
        record("b-client", engine("1", client_folder)[0])
        record("wizard", float(ui("wizard", win_path(variants["1"]["installer"]))["install_ms"]) / 1000.0)
        record("silent-inside", float(ui("silent", win_path(variants["1"]["installer"]))["install_ms"]) / 1000.0)
        record("start:quennel", float(ui("startup", win_path(variants["1"]["installer"]), "1094")["startup_ms"]) / 1000.0)
        record("start:trivial", float(ui("startup", win_path(tools["trivial_dialog"]), "1")["startup_ms"]) / 1000.0)
        for scale in scales:
            if scale != 1.0:
                record("a:%g" % scale, installer("%g" % scale))

    print("benchmark: warm-up round", flush=True)
    round_once()
    results.clear()
    engine_fields.clear()
    for rep in range(args.reps):
        print("benchmark: round %d of %d" % (rep + 1, args.reps), flush=True)
        round_once()

    # The peak memory, in runs of their own.
    peaks = {}
    for variant in ("1", "1-solid", "%g" % scales[-1]):
        stop, peak = threading.Event(), [0]
        watcher = threading.Thread(target=peak_memory_kb, args=("Quennel.exe", stop, peak))
        watcher.start()
        installer(variant)
        stop.set()
        watcher.join()
        peaks[variant] = peak[0] / 1024.0
    run([WINE_ENV, "stop"], env=env)

    write_report(args, scales, variants, results, engine_fields, peaks)


def write_report(args, scales, variants, results, engine_fields, peaks):
    med = {key: statistics.median(values) for key, values in results.items()}

    def span(key):
        return "%.2f | %.2f–%.2f" % (med[key], min(results[key]), max(results[key]))

    def engine_median(variant, name):
        return statistics.median(float(f[name]) for f in engine_fields[variant])

    last = engine_fields["1"][-1]
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
    wine_version = subprocess.run(["wine", "--version"], text=True, stdout=subprocess.PIPE).stdout.strip()
    size = {name: os.path.getsize(v["archive"]) / 1e6 for name, v in variants.items()}

    def verdict(ok):
        return "met" if ok else "**not met**"

    ab = med["a:1"] / med["b:1"]
    count_share = 100.0 * engine_median("1", "count_ms") / engine_median("1", "extract_ms")
    wizard_ratio = med["wizard"] / med["silent-inside"]
    start_ratio = med["start:quennel"] / med["start:trivial"]
    lines = [
        "# Performance", "",
        "Written by `tools/benchmark.sh --reps %d --scales %s` (the benchmark, outside the test suite), "
        "%d timed rounds after a warm-up round, every measure once per round, interleaved, on one Wine prefix "
        "and one drive." % (args.reps, ",".join("%g" % s for s in scales), args.reps),
        "", "Machine: %s, %d cores, %s, %s." % (cpu, os.cpu_count(), platform.platform(), wine_version),
        "Payload (scale 1): %d entries, %.1f MB unpacked; archive %.1f MB not solid, %.1f MB solid." % (
            int(last["entries"]), int(last["bytes"]) / 1e6, size["1"], size["1-solid"]),
        "", "## Installation (scale 1, not solid)", "",
        "| run | median (s) | min–max (s) |", "|---|---:|---|",
        "| (a) `Quennel.exe /silent`, start to exit | %s |" % span("a:1"),
        "| (b) minimal engine: both passes through the same setup.dll | %s |" % span("b:1"),
        "| (c) native `unrar x` | %s |" % span("c:1"),
        "| (b) into the client folder, where (a) extracts to | %s |" % span("b-client"),
        "| silent road, timed inside Wine from the start of the process to its end | %s |" % span("silent-inside"),
        "| wizard road, Install Now to the finish page on screen | %s |" % span("wizard"),
        "| installer, start to the language page on screen | %s |" % span("start:quennel"),
        "| trivial dialog program, start to its dialog on screen | %s |" % span("start:trivial"),
        "", "| measure | value | budget | |", "|---|---:|---|---|",
        "| a/b | %.2f | ≤ 1.10 | %s |" % (ab, verdict(ab <= 1.10)),
        "| a/c | %.2f | (orientation) | |" % (med["a:1"] / med["c:1"]),
        "| b/c | %.2f | (orientation) | |" % (med["b:1"] / med["c:1"]),
        "| counting pass / extraction pass | %.2f %% | ≤ 2 %% | %s |" % (count_share, verdict(count_share <= 2)),
        "| wizard road's extraction phase / silent road | %.2f | ≤ 1.25 | %s |" % (
            wizard_ratio, verdict(wizard_ratio <= 1.25)),
        "| start to language page / trivial dialog program | %.2f | ≤ 1.5 | %s |" % (
            start_ratio, verdict(start_ratio <= 1.5)),
        "| peak memory of the installer process (scale 1) | %.1f MB | ≤ 128 MB | %s |" % (
            peaks["1"], verdict(0 < peaks["1"] <= 128)),
        "| callback blocks (scale 1) | %s (smallest %s, median %s, largest %s bytes) | | |" % (
            last["blocks"], last["block_min"], last["block_median"], last["block_max"]),
        "", "## Growth with the payload (silent installation, not solid)", "",
        "| scale | unpacked (MB) | archive (MB) | median (s) | min–max (s) | s per unpacked MB | against scale 1 |",
        "|---:|---:|---:|---:|---|---:|---:|",
    ]
    per_mb_full = med["a:1"] / (variants["1"]["unpacked"] / 1e6)
    spread = []
    for scale in scales:
        name = "%g" % scale
        megabytes = variants[name]["unpacked"] / 1e6
        per_mb = med["a:" + name] / megabytes
        spread.append(per_mb / per_mb_full - 1)
        lines.append("| %g | %.1f | %.1f | %s | %.4f | %+.0f %% |" % (
            scale, megabytes, size[name], span("a:" + name), per_mb, 100 * (per_mb / per_mb_full - 1)))
    within = all(abs(s) <= 0.20 for s in spread)
    xs = [variants["%g" % scale]["unpacked"] / 1e6 for scale in scales]
    ys = [med["a:%g" % scale] for scale in scales]
    mean_x, mean_y = statistics.mean(xs), statistics.mean(ys)
    slope = sum((x - mean_x) * (y - mean_y) for x, y in zip(xs, ys)) / sum((x - mean_x) ** 2 for x in xs)
    fixed = mean_y - slope * mean_x
    worst = max(abs(y - (fixed + slope * x)) / y for x, y in zip(xs, ys))
    lines += [
        "", "Time per unpacked MB within ±20 %% of the full scale's at every scale: %s." % verdict(within),
        "Least-squares line through the medians: %.2f s + %.4f s per unpacked MB; the farthest median lies "
        "%.1f %% off the line." % (fixed, slope, 100 * worst),
        "", "## Solid against not solid (scale 1)", "",
        "| archive | size (MB) | (a) silent, median (s) | (b) minimal engine, median (s) | (c) native, median (s) "
        "| peak memory (MB) |",
        "|---|---:|---:|---:|---:|---:|",
        "| not solid (the default) | %.1f | %.2f | %.2f | %.2f | %.1f |" % (
            size["1"], med["a:1"], med["b:1"], med["c:1"], peaks["1"]),
        "| solid (`-DQUENNEL_PAYLOAD_SOLID=ON`) | %.1f | %.2f | %.2f | %.2f | %.1f |" % (
            size["1-solid"], med["a:1-solid"], med["b:1-solid"], med["c:1-solid"], peaks["1-solid"]),
        "", "Peak memory at scale %g: %.1f MB." % (scales[-1], peaks["%g" % scales[-1]]),
    ]
    notes = os.path.join(REPO, "tools", "bench", "performance-notes.md")
    if os.path.exists(notes):
        lines += ["", open(notes).read().rstrip()]
    with open(os.path.join(REPO, "docs", "performance.md"), "w") as out:
        out.write("\n".join(lines) + "\n")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
