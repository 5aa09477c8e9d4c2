#!/usr/bin/env python3
"""Side-by-side benchmark of the installation, written to docs/performance.md.

    tools/benchmark.sh [--scale 1.0] [--reps 5]

Runs, alternating after a warm-up, on one Wine prefix and one drive:
  (a) Quennel.exe /silent on a demo client, start to exit;
  (b) bench_engine.exe: only the counting and the extraction pass through the
      same setup.dll on the same archive (the limit of the design);
  (c) the native `unrar x` of the same archive (the reference without Wine).
"""
import argparse
import os
import platform
import statistics
import subprocess
import sys
import threading
import time

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def run(command, env=None, quiet=True):
    return subprocess.run(command, env=env, check=True, text=True,
                          stdout=subprocess.PIPE if quiet else None, stderr=subprocess.STDOUT if quiet else None)


def peak_memory_kb(name, stop, result):
    """Polls /proc for the Wine process of this program and keeps its peak resident size."""
    while not stop.is_set():
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    if name.encode() not in f.read():
                        continue
                with open("/proc/%s/status" % pid) as f:
                    for line in f:
                        if line.startswith("VmHWM:"):
                            result[0] = max(result[0], int(line.split()[1]))
            except OSError:
                pass
        time.sleep(0.02)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--reps", type=int, default=5)
    args = parser.parse_args()
    bench = os.path.join(REPO, "build", "bench")
    tree = os.path.join(bench, "tree-%g" % args.scale)
    build = os.path.join(bench, "build-%g" % args.scale)
    if not os.path.isdir(tree):
        run([sys.executable, os.path.join(REPO, "tools/bench/make_bench_tree.py"),
             "--catalogue", os.path.join(REPO, "languages/catalogue.cpp"), "--out", tree,
             "--scale", str(args.scale)], quiet=False)
    run(["cmake", "-S", REPO, "-B", build, "-G", "Ninja",
         "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(REPO, "cmake/mingw-i686.cmake"), "-DCMAKE_BUILD_TYPE=Release",
         "-DQUENNEL_PAYLOAD_TREE=" + tree, "-DQUENNEL_DIST_DIR=" + os.path.join(build, "dist")])
    run(["cmake", "--build", build, "--target", "Quennel", "bench_engine", "democlient"], quiet=False)

    env = dict(os.environ, QUENNEL_WINE_DIR=os.path.join(bench, "wine"))
    wine_env = os.path.join(REPO, "tests/wine/wine-env.sh")
    run([wine_env, "start"], env=env, quiet=False)
    prefix = os.path.join(bench, "wine", "prefix")
    installer = os.path.join(build, "dist", "Quennel.exe")
    engine = os.path.join(build, "tools/demo/bench_engine.exe")
    archive = os.path.join(build, "payload", "setup.rar")
    archive_win = "Z:" + archive.replace("/", "\\")
    native_dest = os.path.join(prefix, "drive_c", "bench", "native")
    os.makedirs(native_dest, exist_ok=True)
    run([wine_env, "run", os.path.join(build, "tools/demo/democlient.exe"), "install"], env=env)

    def installer_run():
        stop, peak = threading.Event(), [0]
        watcher = threading.Thread(target=peak_memory_kb, args=("Quennel.exe", stop, peak))
        watcher.start()
        start = time.monotonic()
        run([wine_env, "run", installer, "/silent"], env=env)
        elapsed = time.monotonic() - start
        stop.set()
        watcher.join()
        return elapsed, peak[0], None

    def engine_run():
        start = time.monotonic()
        out = run([wine_env, "run", engine, archive_win, "C:\\bench\\engine\\"], env=env).stdout
        elapsed = time.monotonic() - start
        fields = dict(item.split("=") for item in out.split() if "=" in item)
        return elapsed, 0, fields

    def native_run():
        start = time.monotonic()
        run(["unrar", "x", "-o+", "-idq", archive, native_dest + "/"])
        return time.monotonic() - start, 0, None

    runners = {"a": installer_run, "b": engine_run, "c": native_run}
    for runner in runners.values():
        runner()  # warm-up
    times = {key: [] for key in runners}
    peaks, engine_fields = [], []
    for _ in range(args.reps):
        for key, runner in runners.items():
            elapsed, peak, fields = runner()
            times[key].append(elapsed)
            if peak:
                peaks.append(peak)
            if fields:
                engine_fields.append(fields)
    run([wine_env, "stop"], env=env)

    med = {key: statistics.median(values) for key, values in times.items()}
    count_ms = statistics.median(float(f["count_ms"]) for f in engine_fields)
    extract_ms = statistics.median(float(f["extract_ms"]) for f in engine_fields)
    last = engine_fields[-1]
    unpacked = int(last["bytes"])
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
    wine = subprocess.run(["wine", "--version"], text=True, stdout=subprocess.PIPE).stdout.strip()
    lines = [
        "# Performance", "",
        "Written by `tools/benchmark.sh --scale %g --reps %d` (the benchmark, outside the test suite)." % (args.scale, args.reps),
        "", "Machine: %s, %d cores, %s, %s." % (cpu, os.cpu_count(), platform.platform(), wine),
        "Payload: %d entries, %.1f MB unpacked, archive %.1f MB (%s)." % (
            int(last["entries"]), unpacked / 1e6, os.path.getsize(archive) / 1e6,
            "solid" if "-DQUENNEL_PAYLOAD_SOLID=ON" in sys.argv else "not solid"),
        "", "| run | median (s) | min–max (s) |", "|---|---:|---|",
    ]
    names = {"a": "(a) Quennel.exe /silent, start to exit", "b": "(b) minimal engine (both passes, same setup.dll)",
             "c": "(c) native `unrar x`"}
    for key in "abc":
        lines.append("| %s | %.2f | %.2f–%.2f |" % (names[key], med[key], min(times[key]), max(times[key])))
    lines += [
        "", "| measure | value | budget |", "|---|---:|---|",
        "| a/b | %.2f | ≤ 1.10 |" % (med["a"] / med["b"]),
        "| a/c | %.2f | (orientation) |" % (med["a"] / med["c"]),
        "| counting pass / extraction pass | %.2f %% | ≤ 2 %% |" % (100.0 * count_ms / extract_ms),
        "| callback blocks | %s (smallest %s, median %s, largest %s bytes) | |" % (
            last["blocks"], last["block_min"], last["block_median"], last["block_max"]),
        "| peak memory of the installer process | %.1f MB | ≤ 128 MB |" % (max(peaks) / 1024.0 if peaks else 0),
        "",
        "Not measured yet: the wizard road's extraction phase against the silent road's, the time from start to",
        "the language page on screen, and the growth over scales 0.25–2.",
    ]
    with open(os.path.join(REPO, "docs", "performance.md"), "w") as out:
        out.write("\n".join(lines) + "\n")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
