#!/usr/bin/env python3
"""Flash dump: `kvmaint dump --flash` of the 4 MiB image from kvsim paced at a baud rate.

Reports the wall time over the wire time (every byte on the line at 10 bits:
the connect probe and its answer, the start command, the 4194304 image bytes)
and kvmaint's CPU time (user + system, from wait4) over its wall time.
Checks that the image equals the simulator's. Usage:

  bench/dump_bench.py --kvsim build/kvsim --kvmaint build/kvmaint [--baud 921600] [--repeat 3]
"""
import filecmp
import statistics
import sys
import tempfile

import kvbench

FLASH_BYTES = 4194304
# The framed lines around the stream: "RC,R," + six blanks and its answer
# "RC,R,KORVIN,", and "EP,R,"; each framed as STX, station "00", block "00",
# text, ETX, two checksum digits, EOT.
FRAMING = 9
LINE_BYTES = (len("RC,R,      ") + FRAMING) + (len("RC,R,KORVIN,") + FRAMING) + (len("EP,R,") + FRAMING)


def main():
    arguments = kvbench.kvsim_kvmaint_arguments(__doc__, baud=921600, repeat=3)

    wire = (FLASH_BYTES + LINE_BYTES) * 10 / arguments.baud
    rows = []
    with tempfile.TemporaryDirectory() as folder:
        expected = folder + "/sim-flash.bin"
        sim = kvbench.Simulator(arguments.kvsim, ["--baud", str(arguments.baud), "--flash-out", expected])
        for _ in range(arguments.repeat):
            image = folder + "/flash.bin"
            run = kvbench.run_child([arguments.kvmaint, "dump", "--flash", image, "--port", sim.device,
                                     "--timeout", "10"])
            same = run.status == 0 and filecmp.cmp(image, expected, shallow=False)
            rows.append((run, same))
        sim.stop()

    print(f"kvmaint dump --flash at {arguments.baud} baud, {arguments.repeat} runs; {kvbench.machine()}")
    print(f"wire time: {wire:.2f} s ({FLASH_BYTES} image bytes + {LINE_BYTES} line bytes, 10 bits each)")
    for run, same in rows:
        print(f"  exit {run.status}  image {'equal' if same else 'DIFFERS'}  wall {run.wall:.2f} s  "
              f"wall/wire {run.wall / wire:.4f}  CPU {run.cpu:.2f} s  CPU/wall {100 * run.cpu / run.wall:.2f} %  "
              f"peak RSS {run.peak_kib} kB")
    walls = [run.wall for run, _ in rows]
    cpus = [run.cpu / run.wall for run, _ in rows]
    print(f"median: wall/wire {statistics.median(walls) / wire:.4f}, CPU/wall {100 * statistics.median(cpus):.2f} %")
    return 0 if all(same for _, same in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
