#!/usr/bin/python3
"""Runs the benchmarks over synthetic font sets on a private X server and prints one table; with
--write, puts it into bench/RESULTS.md between its result markers."""

import argparse
import datetime
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BEGIN = "<!-- results: written by bench/bench.py -->"
END = "<!-- end of results -->"


def log(*words):
    print(*words, file=sys.stderr, flush=True)


def parse(output):
    values = {}
    for line in output.splitlines():
        key, sep, value = line.partition("=")
        if sep:
            values.setdefault(key, []).append(int(value))
    return values


def run(command, env, timeout):
    start = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout)
    if done.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed ({done.returncode}):\n{done.stderr[-2000:]}")
    return start, parse(done.stdout)


class Display:
    """Xvfb with openbox, as a desktop session would have."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="quelvaro-bench-")
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as display:
            self.name = ":" + display.readline().strip()
        self.wm = subprocess.Popen(["openbox", "--config-file", "/dev/null"], env=self.env({}),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env({}),
                                   capture_output=True, text=True)
            if "window id" in probe.stdout:
                break
            time.sleep(0.05)

    def env(self, extra):
        env = dict(os.environ, DISPLAY=self.name, XDG_RUNTIME_DIR=self.folder)
        env.pop("QT_QPA_PLATFORM", None)
        env.update(extra)
        return env

    def close(self):
        for process in (self.wm, self.xvfb):
            process.terminate()
            process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def font_set(count):
    folder = os.path.join(ROOT, "build", "bench-fonts", str(count))
    if not os.path.exists(os.path.join(folder, "complete")):
        log(f"making the synthetic set of {count} families in {folder}")
        subprocess.run(["/usr/bin/python3", os.path.join(ROOT, "bench", "make-fonts.py"), str(count), folder],
                       check=True)
    return folder


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


def installed_set(build, display):
    """The fonts this machine's own font configuration sees, as the user has them: the names the
    program lists go to a file for the catalogue's measurement."""
    env = display.env({})
    env.pop("FONTCONFIG_FILE", None)
    names = os.path.join(display.folder, "installed-names.txt")
    done = subprocess.run([os.path.join(build, "bench", "quelvaro_bench"), "names"],
                          env=dict(env, QT_QPA_PLATFORM="offscreen"), capture_output=True, text=True, timeout=600)
    if done.returncode != 0:
        raise RuntimeError(f"listing the installed fonts failed ({done.returncode}):\n{done.stderr[-2000:]}")
    with open(names, "w", encoding="utf-8") as out:
        out.write(done.stdout)
    count = len([line for line in done.stdout.splitlines() if line])
    log(f"installed fonts: {count} families listed")
    return count, env, names


def measure(count, build, display, runs):
    if count == "installed":
        count, env, names = installed_set(build, display)
        label = f"the installed fonts ({count:,} families)"
    else:
        folder = font_set(count)
        env = display.env({"FONTCONFIG_FILE": os.path.join(folder, "fonts.conf")})
        names = os.path.join(folder, "names.txt")
        label = f"{count:,} families"
    floor = os.path.join(build, "bench", "quelvaro_floor")
    bench = os.path.join(build, "bench", "quelvaro_bench")
    timeout = 600
    result = {"count": count, "label": label}

    for name, command, peak in (("floor", [floor], "peak_kb"), ("floor_face", [floor, "face"], "peak_kb"),
                                ("startup", [bench, "startup"], "startup_peak_kb")):
        times, peaks = [], []
        for _ in range(runs):
            start, values = run(command, env, timeout)
            times.append((values["exposed_ns"][0] - start) / 1e6)
            peaks.append(values[peak][0] / 1024)
            result["listed"] = values["listed"][0]
        result[name] = statistics.median(times)
        result[name + "_peak"] = statistics.median(peaks)
        log(f"{count}: {name} {[round(t) for t in times]} ms")

    offscreen = dict(env, QT_QPA_PLATFORM="offscreen")
    loads = {"installed": [], "shuffled": [], "bulk": []}
    for _ in range(runs):
        for order, times in loads.items():
            _, values = run([bench, "catalogue", names, order], offscreen, timeout)
            times.append(values["bulk_ns" if order == "bulk" else "catalogue_ns"][0] / 1e6)
    result["catalogue"] = statistics.median(loads["installed"])
    result["catalogue_shuffled"] = statistics.median(loads["shuffled"])
    result["bulk"] = statistics.median(loads["bulk"])
    log(f"{count}: catalogue {result['catalogue']:.1f} ms, bulk {result['bulk']:.1f} ms")

    ticks_file = os.path.join(display.folder, f"ticks-{count}.txt")
    _, values = run([bench, "cycle"], dict(env, QUELVARO_BENCH_TICKS=ticks_file), 3600)
    with open(ticks_file) as listing:
        named = [line.rstrip("\n").split("\t", 2) for line in listing if line.strip()]
    ticks = [int(ns) / 1e6 for ns, _, _ in named]
    idles = [int(ns) / 1e6 for _, ns, _ in named]
    result["slowest"] = sorted(((int(ns) / 1e6, name) for ns, _, name in named), reverse=True)[:3]
    if values["unpainted_ticks"][0]:
        raise RuntimeError(f"{values['unpainted_ticks'][0]} ticks did not repaint the sample")
    if values["unprepared_ticks"][0]:
        raise RuntimeError(f"{values['unprepared_ticks'][0]} ticks left the next font unloaded")
    result["idle_median"] = statistics.median(idles)
    result["idle_p95"] = percentile(idles, 0.95)
    result["idle_worst"] = max(idles)
    result["tick_median"] = statistics.median(ticks)
    result["tick_p95"] = percentile(ticks, 0.95)
    result["tick_worst"] = max(ticks)
    result["ticks"] = len(ticks)
    opens = [ns / 1e6 for ns in values["dropdown_ns"]]
    result["dropdown_first"] = opens[0]
    result["dropdown"] = statistics.median(opens)
    result["growth"] = (values["cycle_end_kb"][0] - values["cycle_start_kb"][0]) / 1024
    result["cycle_highest"] = values["cycle_highest_kb"][0] / 1024
    log(f"{count}: tick {result['tick_median']:.2f} / {result['tick_p95']:.2f} / {result['tick_worst']:.2f} ms, "
        f"drop-down {result['dropdown']:.1f} ms (first {result['dropdown_first']:.1f}), growth {result['growth']:.1f} MB")
    return result


def verdict(ok):
    return "met" if ok else "**missed**"


def table(results):
    # The targets are set for the synthetic sets; the installed fonts are measured for information.
    def targeted(r, *counts):
        return r["label"].endswith(" families") and r["count"] in counts

    columns = sorted(results, key=lambda r: (not r["label"].endswith(" families"), r["count"]))
    head = "| | " + " | ".join(r["label"] for r in columns) + " | target |"
    rule = "|---" * (len(columns) + 2) + "|"
    rows = [head, rule]

    def row(label, cell, target=""):
        rows.append(f"| {label} | " + " | ".join(cell(r) for r in columns) + f" | {target} |")

    def check(r, ok):
        return f" ({verdict(ok)})" if targeted(r, 10000, 50000) else ""

    row("Families listed (with Qt's three generic names)", lambda r: f"{r['listed']:,}")
    row("1. Start-up to preview shown, ms", lambda r: f"{r['startup']:.0f}")
    row("&nbsp;&nbsp;floor program, ms", lambda r: f"{r['floor']:.0f}")
    row("&nbsp;&nbsp;start-up / floor",
        lambda r: f"{r['startup'] / r['floor']:.2f}"
        + check(r, r["startup"] <= (1.3 if r["count"] == 10000 else 1.5) * r["floor"]),
        "≤ 1.3 at 10,000, ≤ 1.5 at 50,000")
    row("&nbsp;&nbsp;floor program with its interface font naming its face, as the program's does, ms",
        lambda r: f"{r['floor_face']:.0f}")
    row("&nbsp;&nbsp;start-up / that floor", lambda r: f"{r['startup'] / r['floor_face']:.2f}")
    row("2. Catalogue loading (CargarFuentes, fake source), names in installed order, ms",
        lambda r: f"{r['catalogue']:.1f}")
    row("&nbsp;&nbsp;one bulk insertion of the sorted names, ms", lambda r: f"{r['bulk']:.1f}")
    row("&nbsp;&nbsp;catalogue / bulk",
        lambda r: f"{r['catalogue'] / r['bulk']:.2f}" + (f" ({verdict(r['catalogue'] <= 3 * r['bulk'])})"
                                                         if targeted(r, 50000) else ""),
        "≤ 3 at 50,000")
    row("&nbsp;&nbsp;names shuffled, ms", lambda r: f"{r['catalogue_shuffled']:.1f}")
    row("&nbsp;&nbsp;shuffled / bulk", lambda r: f"{r['catalogue_shuffled'] / r['bulk']:.2f}")
    row("3. Automatic-viewing tick, median, ms", lambda r: f"{r['tick_median']:.2f}")
    row("&nbsp;&nbsp;95th percentile, ms", lambda r: f"{r['tick_p95']:.2f}" + check(r, r["tick_p95"] <= 16),
        "≤ 16")
    row("&nbsp;&nbsp;worst, ms", lambda r: f"{r['tick_worst']:.2f}" + check(r, r["tick_worst"] <= 50), "≤ 50")
    row("&nbsp;&nbsp;loading the next font in the idle time after a tick (median / 95th percentile / worst), ms",
        lambda r: f"{r['idle_median']:.1f} / {r['idle_p95']:.1f} / {r['idle_worst']:.1f}", "within the 750 ms")
    row("4. Drop-down open, median of 5, ms",
        lambda r: f"{r['dropdown']:.1f}" + check(r, r["dropdown"] <= 100), "≤ 100 at 50,000")
    row("&nbsp;&nbsp;first open, ms", lambda r: f"{r['dropdown_first']:.1f}")
    row("5. Peak resident memory at start-up, MB",
        lambda r: f"{r['startup_peak']:.0f}" + (f" ({verdict(r['startup_peak'] <= 100)})" if targeted(r, 10000) else ""),
        "≤ 100 at 10,000")
    row("&nbsp;&nbsp;floor program, MB", lambda r: f"{r['floor_peak']:.0f}")
    row("&nbsp;&nbsp;growth over one full cycle, MB",
        lambda r: f"{r['growth']:.1f}" + (f" ({verdict(r['growth'] <= 20)})" if targeted(r, 10000) else ""),
        "≤ 20 at 10,000")
    row("&nbsp;&nbsp;highest during the cycle, MB", lambda r: f"{r['cycle_highest']:.0f}")
    rows.append("")
    for r in columns:
        slowest = ", ".join(f"{name} {ms:.0f} ms" for ms, name in r["slowest"])
        rows.append(f"Slowest ticks at {r['label']}: {slowest}.  ")
    return "\n".join(rows)


def machine():
    cpu = platform.processor() or platform.machine()
    try:
        with open("/proc/cpuinfo") as info:
            for line in info:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    with open("/proc/meminfo") as info:
        memory = int(info.readline().split()[1]) // 1024 // 1024
    qt = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6gui6"], capture_output=True, text=True).stdout
    fc = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libfontconfig1"], capture_output=True,
                        text=True).stdout
    return (f"{os.cpu_count()} cores ({cpu}), {memory} GiB, {platform.system()} {platform.release()}; "
            f"Qt {qt or '?'}, fontconfig {fc or '?'}; Xvfb with openbox")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="build folder (default: build)")
    parser.add_argument("--sets", default="1000,10000,50000",
                        help="family counts, comma-separated; 'installed' measures the fonts this machine's own "
                             "font configuration sees, as a user of it has them")
    parser.add_argument("--installed", action="store_true", help="the installed fonts only: --sets installed")
    parser.add_argument("--runs", type=int, default=5, help="runs per start-up figure (median)")
    parser.add_argument("--write", action="store_true", help="write the table into bench/RESULTS.md")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    sets = "installed" if args.installed else args.sets
    counts = [c if c == "installed" else int(c) for c in sets.split(",")]
    if args.write and "installed" in counts:
        parser.error("the installed fonts are this machine's own: bench/RESULTS.md keeps the synthetic sets")

    display = Display()
    try:
        results = [measure(count, build, display, args.runs) for count in counts]
    finally:
        display.close()

    text = "\n".join([
        f"Measured {datetime.date.today().isoformat()} on {machine()}.",
        f"Command: `{' '.join(['bench/run.sh'] + sys.argv[1:])}`; start-up figures are medians of "
        f"{args.runs} runs.",
        "",
        table(results),
    ])
    print(text)
    if args.write:
        path = os.path.join(ROOT, "bench", "RESULTS.md")
        with open(path, encoding="utf-8") as current:
            document = current.read()
        before, _, rest = document.partition(BEGIN)
        _, _, after = rest.partition(END)
        with open(path, "w", encoding="utf-8") as out:
            out.write(before + BEGIN + "\n" + text + "\n" + END + after)
        log(f"written to {path}")


if __name__ == "__main__":
    main()
