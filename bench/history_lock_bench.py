#!/usr/bin/env python3
"""`kvmaint get` with its SQLite history locked by another process, against
the same get with the history free and with the history off.

The other process holds the file with BEGIN EXCLUSIVE for the whole run, as
a second program writing a long transaction would (in rollback-journal mode:
the file has not been switched to a write-ahead log). Prints the spread of
the run times and whether the locked runs said the read was not recorded.
Usage:

  bench/history_lock_bench.py --kvsim build/kvsim --kvmaint build/kvmaint [--repeat 10]
"""
import os
import sqlite3
import sys
import tempfile

import kvbench


def main():
    arguments = kvbench.kvsim_kvmaint_arguments(__doc__, 921600, 10)
    sim = kvbench.Simulator(arguments.kvsim, ["--baud", str(arguments.baud)])
    print(f"kvmaint get, kvsim --baud {arguments.baud}, {arguments.repeat} runs each; {kvbench.machine()}")
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        history = os.path.join(folder, "h.sqlite")
        base = [arguments.kvmaint, "get", "--port", sim.device, "--data-dir", folder,
                "--output", os.path.join(folder, "read.kvd"), "--history"]
        kvbench.run_child(base + [history])  # makes the tables
        holder = sqlite3.connect(history, isolation_level=None)
        holder.execute("PRAGMA journal_mode=DELETE")
        for name, target, locked in (("history off", "off", False), ("history free", history, False),
                                     ("history locked", history, True)):
            if locked:
                holder.execute("BEGIN EXCLUSIVE")
            runs = [kvbench.run_child(base + [target]) for _ in range(arguments.repeat)]
            if locked:
                holder.execute("ROLLBACK")
            failed = failed or any(run.status != 0 for run in runs)
            said = sum("history not recorded" in run.stderr for run in runs)
            times = kvbench.spread([run.wall for run in runs])
            print(f"{name:15} " + "  ".join(f"{key} {value:.0f}" for key, value in times.items()) +
                  f" ms; 'not recorded' said in {said} of {len(runs)}")
        holder.close()
    sim.stop()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
