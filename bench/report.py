#!/usr/bin/env python3
"""Prints the benchmark table from the figures strikk_bench wrote.

usage: report.py [--loop LOOPFILE] [--markdown] SINGLEFILE...
Each SINGLEFILE is one single play (one Xvfb depth); LOOPFILE a run in repeat mode.
"""
import argparse
import glob
import os
import statistics
import sys

STRETCHES = ["title", "gaar", "etesopp", "landskapsbilde", "zoom", "chase", "shake", "end"]

# goals the figures are held against
CYCLE_GOAL = 1.02
PRESENT_GOAL = 1.2
CPU_GOAL_PCT = 3.0
PEAK_RSS_GOAL_MB = 32.0
STARTUP_GOAL_MS = 150.0


def load(path):
    """Reads "key value" lines into a dict of floats."""
    figures = {}
    with open(path) as f:
        for line in f:
            key, _, value = line.strip().partition(" ")
            if key:
                figures[key] = float(value)
    return figures


def stretch(fig, cycle, name, what):
    return fig.get(f"cycle.{cycle}.{name}.{what}", 0.0)


def verdict(ok):
    return "yes" if ok else "MISSED"


class Table:
    """Rows of (figure, measured, reference, ratio, goal, met), printed aligned or as Markdown."""

    def __init__(self):
        self.rows = []

    def add(self, figure, measured, reference="", ratio="", goal="", met=""):
        self.rows.append((figure, measured, reference, ratio, goal, met))

    def section(self, title):
        self.rows.append((title,))

    def render(self, markdown):
        head = ("figure", "measured", "floor / reference", "ratio", "goal", "met")
        lines = []
        if markdown:
            lines.append("| " + " | ".join(head) + " |")
            lines.append("|" + "---|" * len(head))
            for row in self.rows:
                if len(row) == 1:
                    lines.append(f"| **{row[0]}** |" + " |" * (len(head) - 1))
                else:
                    lines.append("| " + " | ".join(row) + " |")
            return "\n".join(lines)
        widths = [max(len(r[i]) for r in self.rows + [head] if len(r) > 1) for i in range(len(head))]
        fmt = lambda row: "  ".join(c.ljust(w) for c, w in zip(row, widths)).rstrip()
        lines.append(fmt(head))
        lines.append("  ".join("-" * w for w in widths))
        for row in self.rows:
            lines.append(f"-- {row[0]}" if len(row) == 1 else fmt(row))
        return "\n".join(lines)


def start_ups(path, key):
    """One start-up figure of each start-up run that belongs to a single play's figures file."""
    stem = os.path.basename(path).replace("single-", "startup-").removesuffix(".txt")
    runs = glob.glob(os.path.join(os.path.dirname(path), stem + "-*.txt"))
    return sorted(load(run).get(key, -1.0) for run in runs)


def single_play(table, fig, path):
    depth = int(fig.get("screen.depth", 0))
    xdepth = int(fig.get("xvfb.depth", 0))
    tag = f"Xvfb x{xdepth}" if xdepth else f"screen {depth} bpp"
    table.section(f"single play, {tag}")

    # cycle pace
    wall = sum(stretch(fig, 1, s, "wall_ms") for s in STRETCHES)
    floor = sum(stretch(fig, 1, s, "floor_ms") for s in STRETCHES)
    chase = int(stretch(fig, 1, "chase", "rests"))
    if floor:
        table.add("cycle", f"{wall / 1000:.3f} s", f"{floor / 1000:.3f} s ({chase} chase frames)",
                  f"{wall / floor:.4f}", f"<= {CYCLE_GOAL}", verdict(wall / floor <= CYCLE_GOAL))
    for s in STRETCHES:
        w, fl = stretch(fig, 1, s, "wall_ms"), stretch(fig, 1, s, "floor_ms")
        presents = stretch(fig, 1, s, "presents")
        over = w - fl
        parts = [f"rest +{stretch(fig, 1, s, 'rest_wall_ms') - fl if s != 'shake' else 0:.0f}"]
        if presents:
            parts.append(f"{int(presents)} presents {stretch(fig, 1, s, 'present_wall_ms'):.0f}")
        if stretch(fig, 1, s, "stretch_blits"):
            parts.append(f"stretch_blit {stretch(fig, 1, s, 'stretch_blit_wall_ms'):.0f}")
        ratio = f"{w / fl:.4f}" if fl else "-"
        table.add(f"  {s}", f"{w:.1f} ms", f"{fl:.0f} ms", ratio, "",
                  f"+{over:.0f} ms: " + ", ".join(parts) + " ms")

    # present cost
    present = fig.get("present.median_ms", 0.0)
    memcpy = fig.get("floor.memcpy_ms", 0.0)
    convert = fig.get("floor.convert_ms", 0.0)
    if present and memcpy and convert:
        table.add("present (median)", f"{present:.4f} ms", f"memcpy {memcpy:.4f} ms", f"{present / memcpy:.2f}")
        table.add("", "", f"16->32 conversion {convert:.4f} ms", f"{present / convert:.2f}",
                  f"<= {PRESENT_GOAL}", verdict(present <= PRESENT_GOAL * convert))
        table.add("", f"p10 {fig['present.p10_ms']:.4f}, p90 {fig['present.p90_ms']:.4f} ms",
                  f"Allegro's 16->32 converter {fig.get('floor.allegro_convert_ms', 0):.4f} ms",
                  f"{present / fig['floor.allegro_convert_ms']:.2f}" if fig.get("floor.allegro_convert_ms") else "")
        table.add("", "", f"Allegro memory-to-memory blit {fig.get('floor.memory_blit_ms', 0):.4f} ms",
                  f"{present / fig['floor.memory_blit_ms']:.2f}" if fig.get("floor.memory_blit_ms") else "")

    # CPU outside the shake
    cpu = sum(stretch(fig, 1, s, "cpu_ms") for s in STRETCHES if s != "shake")
    main_cpu = sum(stretch(fig, 1, s, "main_cpu_ms") for s in STRETCHES if s != "shake")
    outside = wall - stretch(fig, 1, "shake", "wall_ms")
    if outside:
        pct = 100 * cpu / outside
        table.add("CPU outside the shake", f"{cpu / 1000:.3f} s", f"{outside / 1000:.3f} s wall",
                  f"{pct:.2f} %", f"<= {CPU_GOAL_PCT} %", verdict(pct <= CPU_GOAL_PCT))
        waits = [s for s in ("title", "zoom", "end") if stretch(fig, 1, s, "wall_ms")]
        idle_cpu = sum(stretch(fig, 1, s, "cpu_ms") for s in waits)
        idle_wall = sum(stretch(fig, 1, s, "wall_ms") for s in waits)
        if idle_wall:
            table.add("  idle floor: the pure waits", f"{idle_cpu / 1000:.3f} s", f"{idle_wall / 1000:.3f} s wall",
                      f"{100 * idle_cpu / idle_wall:.2f} %", "", "title, zoom and end holds: Allegro's own threads")
        if fig.get("floor.wakeup_1khz_pct"):
            table.add("  one thread waking every 1 ms", "", "", f"{fig['floor.wakeup_1khz_pct']:.2f} %", "",
                      "Allegro runs two: its timer and its background thread")
        table.add("  of it main thread", f"{main_cpu / 1000:.3f} s", "", f"{100 * main_cpu / outside:.2f} %")
        per_thread = {}
        for key, value in fig.items():
            if key.startswith("thread.") and key.endswith(".cpu_ms"):
                _, index, made_by, name, _ = key.split(".", 4)
                if name != "shake":
                    label = f"#{index} {made_by}"
                    per_thread[label] = per_thread.get(label, 0.0) + value
        table.add("  per thread (10 ms ticks)", ", ".join(
            f"{label} {100 * value / outside:.2f}%" for label, value in sorted(per_thread.items())))
        busy = ", ".join(f"{s} {100 * stretch(fig, 1, s, 'cpu_ms') / stretch(fig, 1, s, 'wall_ms'):.0f}%"
                         for s in STRETCHES if s != "shake" and stretch(fig, 1, s, "wall_ms"))
        table.add("  per stretch", busy)

    # memory and start-up
    peak = fig.get("peak_rss_kb", 0) / 1024
    table.add("peak RSS", f"{peak:.1f} MB", "", "", f"<= {PEAK_RSS_GOAL_MB:.0f} MB", verdict(peak <= PEAK_RSS_GOAL_MB))
    shown = start_ups(path, "startup.shown_ms")
    if shown:
        title = statistics.median(shown)
        table.add("start-up to title on screen", f"{title:.1f} ms (median of {len(shown)})",
                  f"min {shown[0]:.1f}, max {shown[-1]:.1f} ms", "", f"<= {STARTUP_GOAL_MS:.0f} ms",
                  verdict(0 <= title <= STARTUP_GOAL_MS))
        blits = start_ups(path, "startup.title_ms")
        table.add("  title blit returned", f"{statistics.median(blits):.1f} ms (median)")
    else:
        title = fig.get("startup.title_ms", 0.0)
        table.add("start-up to title blit", f"{title:.1f} ms", "", "", f"<= {STARTUP_GOAL_MS:.0f} ms",
                  verdict(title <= STARTUP_GOAL_MS))
    table.add("  marks of the single play (ms after launch)",
              f"main-ready {fig['startup.seam_ctor_ms']:.1f}, allegro {fig['startup.init_ms']:.1f}, "
              f"sound {fig['startup.sound_ms']:.1f}, gfx {fig['startup.gfx_ms']:.1f}, "
              f"load {fig['startup.load_begin_ms']:.1f}-{fig['startup.load_end_ms']:.1f}")

    # shake
    shake_ms = stretch(fig, 1, "shake", "wall_ms")
    passes = stretch(fig, 1, "shake", "shake_passes")
    tight = fig.get("shake.tight_per_s", 0.0)
    if shake_ms and passes and tight:
        rate = passes * 1000 / shake_ms
        table.add("shake passes", f"{rate:.0f} /s ({int(passes)})", f"tight loop {tight:.0f} /s",
                  f"{rate / tight:.3f}")


def loop_mode(table, fig):
    cycles = int(fig.get("cycles", 0))
    table.section(f"repeat mode, {cycles} cycles")
    rss = [fig.get(f"cycle.{c}.rss_kb", 0) for c in range(1, cycles + 1)]
    heap = [fig.get(f"cycle.{c}.heap_bytes", 0) for c in range(1, cycles + 1)]
    if cycles >= 2:
        growth = rss[-1] - rss[0]
        table.add("RSS after each cycle", " ".join(f"{int(r)}" for r in rss) + " kB")
        table.add("RSS growth, cycle 1 to last", f"{int(growth)} kB", "", "", "0", verdict(growth == 0))
        table.add("heap in use growth", f"{int(heap[-1] - heap[0])} B", f"{int(heap[0])} B after cycle 1", "", "0",
                  verdict(heap[-1] == heap[0]))
    walls = [sum(stretch(fig, c, s, "wall_ms") for s in STRETCHES) for c in range(1, cycles + 1)]
    floors = [sum(stretch(fig, c, s, "floor_ms") for s in STRETCHES) for c in range(1, cycles + 1)]
    if walls and all(floors):
        ratios = [w / f for w, f in zip(walls, floors)]
        table.add("cycle pace per cycle", " ".join(f"{r:.4f}" for r in ratios),
                  f"median {statistics.median(ratios):.4f}", "", f"<= {CYCLE_GOAL}",
                  verdict(max(ratios) <= CYCLE_GOAL))
    table.add("peak RSS", f"{fig.get('peak_rss_kb', 0) / 1024:.1f} MB")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--loop")
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("singles", nargs="*")
    args = parser.parse_args()
    table = Table()
    for path in args.singles:
        single_play(table, load(path), path)
    if args.loop:
        loop_mode(table, load(args.loop))
    print(table.render(args.markdown))
    return 0


if __name__ == "__main__":
    sys.exit(main())
