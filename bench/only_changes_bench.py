#!/usr/bin/env python3
"""Send only the changes: `kvmaint send --only-changes` of a three-setting edit against a full `send`.

Reads kvsim paced at a baud rate into a file, changes three settings with
`kvmaint set`, then times both sends of that file (each reads the instrument
first, then writes): the writing time from send's summary line and the wall
time of the whole kvmaint process. Usage:

  bench/only_changes_bench.py --kvsim build/kvsim --kvmaint build/kvmaint [--baud 9600] [--repeat 3]
"""
import re
import statistics
import subprocess
import sys
import tempfile
import time

import kvbench

# Two edits of the same three settings, taken in turn, so each round's file
# differs from what the previous round left in the instrument.
EDITS = (["LcdBackLight=30", "CO.Warning=35", "XS_[2]=HELLO"],
         ["LcdBackLight=25", "CO.Warning=40", "XS_[2]=WORLD"])
SUMMARY = re.compile(r"wrote (\d+) settings? in (\d+) groups? \((\d+) lines?\) in ([0-9.]+) s")


def send(kvmaint, device, file, only_changes):
    argv = [kvmaint, "send", "--port", device, "--quiet"] + (["--only-changes"] if only_changes else []) + [file]
    started = time.monotonic()
    done = subprocess.run(argv, capture_output=True, text=True, encoding="latin-1")
    wall = time.monotonic() - started
    summary = SUMMARY.search(done.stdout)
    if done.returncode != 0 or not summary:
        raise RuntimeError(f"{' '.join(argv)}: exit {done.returncode}\n{done.stdout}{done.stderr}")
    return {"wall": wall, "writing": float(summary.group(4)), "lines": int(summary.group(3)),
            "groups": int(summary.group(2))}


def main():
    arguments = kvbench.kvsim_kvmaint_arguments(__doc__, baud=9600, repeat=3)

    runs = {True: [], False: []}
    with tempfile.TemporaryDirectory() as folder:
        sim = kvbench.Simulator(arguments.kvsim, ["--baud", str(arguments.baud)])
        file = folder + "/edited.kvd"
        subprocess.run([arguments.kvmaint, "get", "--port", sim.device, "--quiet", "--output", file], check=True,
                       stdout=subprocess.DEVNULL)
        for turn in range(arguments.repeat):
            subprocess.run([arguments.kvmaint, "set", file, *EDITS[turn % 2]], check=True,
                           stdout=subprocess.DEVNULL)
            for only_changes in (True, False):
                runs[only_changes].append(send(arguments.kvmaint, sim.device, file, only_changes))
        sim.stop()

    print(f"send of a {len(EDITS[0])}-setting edit at {arguments.baud} baud, {arguments.repeat} runs each; "
          f"{kvbench.machine()}")
    for only_changes, label in ((False, "send"), (True, "send --only-changes")):
        for run in runs[only_changes]:
            print(f"  {label:20} {run['groups']:3} groups {run['lines']:4} lines  writing {run['writing']:6.1f} s  "
                  f"whole run {run['wall']:6.2f} s")
    writing = {key: statistics.median(run["writing"] for run in value) for key, value in runs.items()}
    wall = {key: statistics.median(run["wall"] for run in value) for key, value in runs.items()}
    print(f"median: writing {writing[True]:.1f} s of {writing[False]:.1f} s ({100 * writing[True] / writing[False]:.1f} %), "
          f"whole run {wall[True]:.2f} s of {wall[False]:.2f} s ({100 * wall[True] / wall[False]:.1f} %)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
