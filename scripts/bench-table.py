#!/usr/bin/env python3
"""Prints the Markdown table of docs/performance.md from the JSON files of one bench.sh run.

Usage: bench-table.py NAME.json... (one file per benchmark binary, in run order)

A benchmark names what it is measured against in its label, "peer: BM_X" or "floor: BM_X", a
benchmark of the same binary; the ratio is its CPU time over that one's (on a shared machine the
wall time counts the other users' work too). Of a benchmark run in repetitions the median is
taken, of its times and counters alike; a benchmark run once is taken as it is. A benchmark that measures something other than time
labels it "limit: N COUNTER": the ratio is the counter's value over N. A benchmark that times
another program reports that program's CPU time in seconds as the counter child_cpu_s, which then
stands for its CPU time. Benchmarks that failed their own check are listed as failed, without a
figure.
"""

import json
import os
import sys


def wall(run):
    return run["real_time"], run["time_unit"]


def cpu_time(run):
    if "child_cpu_s" in run:
        return run["child_cpu_s"] * 1e3 / to_ms(1, run["time_unit"]), run["time_unit"]
    return run["cpu_time"], run["time_unit"]


def counter_figure(value):
    return f"{value:.0f}" if value >= 100 else f"{value:.3g}"


def to_ms(value, unit):
    return value * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]


def figure(value, unit):
    if value >= 100:
        return f"{value:.0f} {unit}"
    if value >= 10:
        return f"{value:.1f} {unit}"
    return f"{value:.2f} {unit}"


def main(paths):
    rows = []
    context = None
    for path in paths:
        # A binary none of whose benchmarks matched a --benchmark_filter writes no file.
        if not os.path.exists(path):
            continue
        with open(path, encoding="utf-8") as f:
            report = json.load(f)
        context = context or report["context"]
        binary = os.path.basename(path).removesuffix(".json")
        # One figure per benchmark: its median when it ran in repetitions, else its one run;
        # failed when any repetition failed its check.
        chosen, failed, place = {}, {}, {}
        for r in report["benchmarks"]:
            name = r.get("run_name", r["name"])
            # In the order of the source, whatever order the repetitions ran in.
            place.setdefault(name, (r.get("family_index", 0), r.get("per_family_instance_index", 0)))
            kind = r.get("run_type", "iteration")
            if kind == "iteration" and r.get("error_occurred"):
                failed.setdefault(name, r)
            elif kind == "aggregate" and r.get("aggregate_name") == "median":
                chosen[name] = r
            elif kind == "iteration":
                chosen.setdefault(name, r)
        order = sorted(place, key=place.get)
        by_name = {name: chosen[name] for name in order if name in chosen and name not in failed}
        for name in order:
            if name in failed:
                run = failed[name]
                rows.append((binary, name, "failed: " + run.get("error_message", ""), "", "", ""))
                continue
            run = by_name[name]
            value, unit = wall(run)
            cpu_text = figure(cpu_time(run)[0], unit)
            label = run.get("label", "")
            against, ratio = "", ""
            kind, _, other = label.partition(": ")
            # A label names the benchmark; its run may carry arguments or a time mode behind a "/".
            other = next((n for n in order if n == other or n.startswith(other + "/")), other)
            if kind in ("peer", "floor") and other in order:
                against = f"{kind}: `{other}`"
                if other in by_name:
                    own_value, own_unit = cpu_time(run)
                    peer_value, peer_unit = cpu_time(by_name[other])
                    ratio = f"{to_ms(own_value, own_unit) / to_ms(peer_value, peer_unit):.3g}×"
            elif kind == "limit":
                words = other.split()
                if len(words) >= 2 and words[1] in run:
                    limit, counter = float(words[0]), words[1]
                    measured = run[counter]
                    against = f"limit: {words[0]} {counter} (measured {counter_figure(measured)})"
                    ratio = f"{measured / limit:.3g}×"
            rows.append((binary, name, figure(value, unit), cpu_text, against, ratio))

    if context:
        load = context.get("load_avg") or []
        print(f"Run of {context.get('date', '?')} on {context.get('num_cpus', '?')} CPUs"
              + (f", load average {' '.join(f'{x:.2f}' for x in load)}" if load else "") + ".")
        print()
    print("| binary | benchmark | wall time | CPU time | measured against | ratio |")
    print("|---|---|--:|--:|---|--:|")
    for binary, name, time, cpu, against, ratio in rows:
        print(f"| {binary} | `{name}` | {time} | {cpu} | {against} | {ratio} |")


if __name__ == "__main__":
    main(sys.argv[1:])
