#!/usr/bin/env python3
"""`kvmaint station` on four adapters at once against one: four times the instruments in about the same time.

Each adapter is a kvsim line of COUNT instruments (--power-on-after BACK) at
the baud rate. One run serves a single line with --count COUNT, the other
four lines (--port four times, one event loop) with --count 4 x COUNT; the
two alternate, REPEAT pairs. Printed per pair: both wall times, their
ratio, and kvmaint's CPU time as a share of one core per line served.

  bench/station_ports_bench.py --kvsim build/kvsim --kvmaint build/kvmaint [--count 10] [--repeat 3]
"""
import argparse
import statistics
import sys
import tempfile

import kvbench
import station_bench

LINES = 4


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kvsim", required=True)
    parser.add_argument("--kvmaint", required=True)
    parser.add_argument("--baud", type=int, default=921600)
    parser.add_argument("--count", type=int, default=10, help="instruments on each line")
    parser.add_argument("--back", type=int, default=1)
    parser.add_argument("--repeat", type=int, default=3)
    return parser.parse_args()


def lines_run(args, company, unit_lists, folder):
    sims = [station_bench.start_line(args, units) for units in unit_lists]
    run = station_bench.station(args, company, [device for _, device in sims],
                                args.count * len(unit_lists), folder)
    for sim, _ in sims:
        station_bench.stop_line(sim)
    return run


def main():
    args = arguments()
    with tempfile.TemporaryDirectory() as folder:
        total = argparse.Namespace(**vars(args))
        total.count = args.count * LINES
        company, units = station_bench.company_and_units(total, folder)
        per_line = [units[i * args.count:(i + 1) * args.count] for i in range(LINES)]
        pairs = []
        for _ in range(args.repeat):
            one = lines_run(args, company, per_line[:1], folder)
            four = lines_run(args, company, per_line, folder)
            pairs.append((one, four))
    print(f"kvmaint station, {LINES} lines against 1, {args.count} instruments a line back {args.back} s "
          f"after each power-off, {args.baud} baud, {args.repeat} pairs; {kvbench.machine()}")
    failed = 0
    ratios = []
    for one, four in pairs:
        if one.status != 0 or four.status != 0:
            failed += 1
            print(f"  exit {one.status} / {four.status}: {(one.stderr + four.stderr).strip()[-300:]}")
            continue
        ratios.append(four.wall / one.wall)
        print(f"  1 line {one.wall:6.2f} s (cpu {100 * one.cpu / one.wall:4.1f} % of a core)   "
              f"{LINES} lines {four.wall:6.2f} s (cpu {100 * four.cpu / four.wall / LINES:4.1f} % of a core a line)   "
              f"ratio {four.wall / one.wall:.3f}")
    if ratios:
        print(f"median ratio {statistics.median(ratios):.3f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
