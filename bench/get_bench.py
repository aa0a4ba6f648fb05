#!/usr/bin/env python3
"""Whole-process `kvmaint get` against kvsim paced at a baud rate, over the wire time of its bytes.

The wire time counts every byte of every request and reply of one get (the
connect probe included), 10 bits each, from kvsim's trace of a first run;
each run's wall time is the process's, from its start to its exit. Usage:

  bench/get_bench.py --kvsim build/kvsim --kvmaint build/kvmaint [--baud 921600] [--repeat 21]
"""
import re
import statistics
import sys
import tempfile

import kvbench

# Every framed line: STX, station "00", block "00", the text, ETX, two
# checksum digits, EOT.
FRAMING = 9
# The trace shows control bytes as tags ("<ACK>") or "[1F]": one byte each.
CONTROL = re.compile(r"<[A-Z]{2,3}>|\[[0-9A-F]{2}\]")


def traced_line_bytes(trace_path):
    """The bytes on the wire of the requests and replies in kvsim's trace."""
    total = 0
    with open(trace_path, encoding="latin-1") as trace:
        for line in trace:
            line = line.rstrip("\n")
            if line.startswith("> "):
                text = line[2:]
            elif line.startswith("< #"):
                text = line.split(" ", 2)[2] if line.count(" ") >= 2 else ""
            else:
                continue
            total += len(CONTROL.sub("x", text)) + FRAMING
    return total


def main():
    arguments = kvbench.kvsim_kvmaint_arguments(__doc__, baud=921600, repeat=21)
    with tempfile.TemporaryDirectory() as folder:
        trace = folder + "/trace.txt"
        sim = kvbench.Simulator(arguments.kvsim, ["--baud", str(arguments.baud), "--trace", trace])
        argv = [arguments.kvmaint, "get", "--port", sim.device, "--output", folder + "/get.kvd"]
        first = kvbench.run_child(argv)  # also warms the caches
        wire_bytes = traced_line_bytes(trace)
        runs = [kvbench.run_child(argv) for _ in range(arguments.repeat)]
        sim.stop()
    failed = [run for run in [first, *runs] if run.status != 0]
    wire = wire_bytes * 10 / arguments.baud
    walls = [run.wall for run in runs]
    print(f"kvmaint get at {arguments.baud} baud, {arguments.repeat} runs; {kvbench.machine()}")
    print(f"wire time: {wire * 1000:.1f} ms ({wire_bytes} bytes, 10 bits each)")
    print("wall ms: " + "  ".join(f"{name} {value:.1f}" for name, value in kvbench.spread(walls).items()))
    print(f"median wall/wire: {statistics.median(walls) / wire:.2f}   "
          f"median CPU ms: {1000 * statistics.median(run.cpu for run in runs):.1f}")
    for run in failed[:3]:
        print(f"  exit {run.status}: {run.stderr.strip()}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
