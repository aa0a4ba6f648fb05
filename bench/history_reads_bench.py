#!/usr/bin/env python3
"""History reads against the history's size: `kvmaint history --serial S` and
`kvmaint report --serial S` for an instrument with 100, 10,000 and 100,000
recorded reads.

Each history is filled by bench's history_fill through the programs' own
recording path (each read with a full maintenance data file as snapshot).
Prints, per size: the store's size (and that of the same events stored as
before compression), and the median wall time and peak RSS of each command.
Usage:

  bench/history_reads_bench.py --kvmaint build/kvmaint --fill build/bench/history_fill \\
      [--counts 100,10000,100000] [--repeat 5]
"""
import argparse
import os
import statistics
import sys
import tempfile

import kvbench

SERIAL = "KV-BENCH-1"


def size_of(path):
    return sum(os.path.getsize(path + suffix) for suffix in ("", "-wal") if os.path.exists(path + suffix))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kvmaint", required=True)
    parser.add_argument("--fill", required=True)
    parser.add_argument("--counts", default="100,10000,100000")
    parser.add_argument("--repeat", type=int, default=5)
    arguments = parser.parse_args()

    print(f"history reads against size; {kvbench.machine()}")
    print(f"{'events':>8} {'store MiB':>10} {'plain MiB':>10} {'B/event':>8}  "
          f"{'history ms':>10} {'RSS MiB':>8}  {'report ms':>10} {'RSS MiB':>8}")
    failed = False
    for count in (int(text) for text in arguments.counts.split(",")):
        with tempfile.TemporaryDirectory() as folder:
            store = os.path.join(folder, "History.sqlite")
            plain = os.path.join(folder, "Plain.sqlite")
            fill = kvbench.run_child([arguments.fill, store, str(count), SERIAL, "--plain", plain])
            if fill.status != 0:
                print(f"history_fill failed: {fill.stderr.strip()}")
                return 1
            figures = []
            for command in (["history", "--serial", SERIAL],
                            ["report", "--serial", SERIAL, "--pdf", os.path.join(folder, "report.pdf")]):
                argv = [arguments.kvmaint, *command, "--history", store, "--data-dir", folder]
                runs = [kvbench.run_child(argv) for _ in range(arguments.repeat)]
                for run in runs:
                    if run.status != 0:
                        failed = True
                        print(f"{command[0]} failed: {run.stderr.strip()}")
                figures.append((statistics.median(run.wall for run in runs) * 1000,
                                max(run.peak_kib for run in runs) / 1024))
            print(f"{count:>8} {size_of(store) / 2**20:>10.1f} {size_of(plain) / 2**20:>10.1f} "
                  f"{size_of(store) / count:>8.0f}  {figures[0][0]:>10.1f} {figures[0][1]:>8.1f}  "
                  f"{figures[1][0]:>10.1f} {figures[1][1]:>8.1f}")
            sys.stdout.flush()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
