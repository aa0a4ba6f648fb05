#!/usr/bin/env python3
"""Soak: N consecutive `kvmaint get` runs against one kvsim.

Reports failures, the spread of the run times, kvsim's peak memory (VmHWM)
and open descriptors at start and end (a leak shows as growth), and
kvmaint's peak RSS. Usage:

  bench/soak_get.py --kvsim build/kvsim --kvmaint build/kvmaint [--runs 1000] [--baud 921600]
"""
import argparse
import sys
import tempfile

import kvbench


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kvsim", required=True)
    parser.add_argument("--kvmaint", required=True)
    parser.add_argument("--runs", type=int, default=1000)
    parser.add_argument("--baud", type=int, help="pace kvsim's replies (default: instant)")
    arguments = parser.parse_args()

    options = ["--baud", str(arguments.baud)] if arguments.baud else []
    sim = kvbench.Simulator(arguments.kvsim, options)
    # Warm up once so that the start figures are those of a simulator in use.
    with tempfile.TemporaryDirectory() as folder:
        argv = [arguments.kvmaint, "get", "--port", sim.device, "--output", folder + "/soak.kvd"]
        kvbench.run_child(argv)
        start_hwm, start_fds = sim.status("VmHWM"), sim.open_descriptors()
        runs = [kvbench.run_child(argv) for _ in range(arguments.runs)]
        end_hwm, end_fds = sim.status("VmHWM"), sim.open_descriptors()
    sim.stop()

    failed = [run for run in runs if run.status != 0]
    times = kvbench.spread([run.wall for run in runs])
    pace = f"{arguments.baud} baud" if arguments.baud else "instant"
    print(f"kvmaint get x {arguments.runs} against one kvsim ({pace}); {kvbench.machine()}")
    print(f"failures: {len(failed)}")
    for run in failed[:5]:
        print(f"  exit {run.status}: {run.stderr.strip()}")
    print("run time ms: " + "  ".join(f"{name} {value:.1f}" for name, value in times.items()))
    print(f"kvsim VmHWM kB: {start_hwm} at start, {end_hwm} at end")
    print(f"kvsim open descriptors: {start_fds} at start, {end_fds} at end")
    print(f"kvmaint peak RSS kB: max {max(run.peak_kib for run in runs)}, "
          f"min {min(run.peak_kib for run in runs)}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
