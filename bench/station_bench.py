#!/usr/bin/env python3
"""Whole-process `kvmaint station` over a line of kvsim instruments, each back 1 s after the power-off before.

A line of COUNT instruments (kvsim --line, --power-on-after BACK): each is
read, backed up, written, verified, clocked and switched off, and the next
comes on BACK seconds after that power-off. The run's wall time (kvmaint's
process, start to exit) is set against COUNT x (BACK + the cycle's line
time): the line time is what kvsim says the bytes of every request it
answered and of its reply took at the baud rate (--summary). The run itself
waits only COUNT - 1 times (the first instrument is on at the start), so a
second yardstick, (COUNT - 1) x BACK + the line time, is the tightest one.

  bench/station_bench.py --kvsim build/kvsim --kvmaint build/kvmaint [--baud 921600] [--count 20] [--repeat 3]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

import kvbench


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kvsim", required=True)
    parser.add_argument("--kvmaint", required=True)
    parser.add_argument("--baud", type=int, default=921600)
    parser.add_argument("--count", type=int, default=20)
    parser.add_argument("--back", type=int, default=1, help="seconds an instrument takes to come on")
    parser.add_argument("--repeat", type=int, default=3)
    return parser.parse_args()


def company_and_units(args, folder):
    """The distributed file (one setting changed) and COUNT unit files."""
    sim = kvbench.Simulator(args.kvsim)
    base = os.path.join(folder, "base.kvd")
    got = subprocess.run([args.kvmaint, "get", "--port", sim.device, "--output", base],
                         capture_output=True, text=True)
    sim.stop()
    if got.returncode != 0:
        raise RuntimeError("kvmaint get: " + got.stderr)
    units = []
    for i in range(args.count):
        unit = os.path.join(folder, f"KVB-{i + 1:02d}.kvd")
        shutil.copyfile(base, unit)
        units.append(unit)
    company = os.path.join(folder, "company.kvd")
    shutil.copyfile(base, company)
    edited = subprocess.run([args.kvmaint, "set", company, "XS_[3]=NORTH GATE", "LcdContrast=11"],
                            capture_output=True, text=True)
    if edited.returncode != 0:
        raise RuntimeError("kvmaint set: " + edited.stderr)
    return company, units


def start_line(args, units):
    """kvsim playing `units` one after another; its device path."""
    sim = subprocess.Popen([args.kvsim, "--line", *units, "--power-on-after", str(args.back),
                            "--baud", str(args.baud), "--summary"],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    return sim, sim.stdout.readline().strip()


def stop_line(sim):
    """Stops kvsim; the seconds its replies took on the line."""
    sim.terminate()
    _, err = sim.communicate(timeout=30)
    line_time = re.search(r"([0-9.]+) s on the line", err)
    return float(line_time.group(1)) if line_time else None


def station(args, company, devices, count, folder):
    """One kvmaint station run over `devices` to its end."""
    data = os.path.join(folder, "data")
    argv = [args.kvmaint, "station", "--apply", company, "--count", str(count), "--data-dir", data]
    for device in devices:
        argv += ["--port", device]
    run = kvbench.run_child(argv)
    shutil.rmtree(data, ignore_errors=True)
    return run


def one_run(args, company, units, folder):
    """Wall and CPU seconds of one station run, and kvsim's line time."""
    sim, device = start_line(args, units)
    run = station(args, company, [device], args.count, folder)
    return run, stop_line(sim)


def main():
    args = arguments()
    with tempfile.TemporaryDirectory() as folder:
        company, units = company_and_units(args, folder)
        results = [one_run(args, company, units, folder) for _ in range(args.repeat)]
    print(f"kvmaint station, {args.count} instruments back {args.back} s after each power-off, "
          f"{args.baud} baud, {args.repeat} runs; {kvbench.machine()}")
    failed = 0
    for run, line_time in results:
        if run.status != 0 or line_time is None:
            failed += 1
            print(f"  exit {run.status}: {run.stderr.strip()[-300:]}")
            continue
        yardstick = args.count * args.back + line_time
        tightest = (args.count - 1) * args.back + line_time
        print(f"  wall {run.wall:7.2f} s  cpu {run.cpu:5.2f} s  line time {line_time:7.2f} s "
              f"({line_time / args.count:.3f} s a cycle)  {3600 * args.count / run.wall:6.0f} instruments/h  "
              f"wall / {args.count} x ({args.back} s + cycle) {run.wall / yardstick:.3f}  "
              f"wall / tightest {run.wall / tightest:.3f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
