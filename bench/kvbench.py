"""What the end-to-end benchmarks share: kvsim as a child on its
pseudo-terminal, kvmaint runs with their resource use, /proc figures."""
import argparse
import os
import resource
import statistics
import subprocess
import time


def kvsim_kvmaint_arguments(doc, baud, repeat):
    """The options of a kvsim-against-kvmaint benchmark: the two programs, the
    baud rate and how many runs; `doc` is the script's docstring."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("--kvsim", required=True)
    parser.add_argument("--kvmaint", required=True)
    parser.add_argument("--baud", type=int, default=baud)
    parser.add_argument("--repeat", type=int, default=repeat)
    return parser.parse_args()


class Simulator:
    """kvsim with `options`; the device path is the first line it prints."""

    def __init__(self, kvsim, options=()):
        self.process = subprocess.Popen([kvsim, *options], stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
        self.device = self.process.stdout.readline().strip()
        if not self.device:
            raise RuntimeError("kvsim did not start")

    def status(self, field):
        """A /proc/PID/status figure in kB (VmHWM, VmRSS)."""
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
        return None

    def open_descriptors(self):
        return len(os.listdir(f"/proc/{self.process.pid}/fd"))

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Run:
    """One finished child: exit status, wall seconds, CPU seconds, peak RSS."""

    def __init__(self, status, wall, cpu, peak_kib, stderr):
        self.status, self.wall, self.cpu, self.peak_kib, self.stderr = status, wall, cpu, peak_kib, stderr


def run_child(argv):
    """Runs argv to its end; its own rusage from wait4, not the sum of all children."""
    started = time.monotonic()
    process = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    stderr = process.stderr.read()
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - started
    process.returncode = os.waitstatus_to_exitcode(status)
    return Run(process.returncode, wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss,
               stderr.decode("latin-1"))


def spread(values):
    """min / median / p95 / max of a list of seconds, as milliseconds."""
    ordered = sorted(values)
    p95 = ordered[min(len(ordered) - 1, int(round(0.95 * (len(ordered) - 1))))]
    return {"min": ordered[0] * 1000, "median": statistics.median(ordered) * 1000,
            "p95": p95 * 1000, "max": ordered[-1] * 1000}


def machine():
    """The load the figures were taken under (other jobs share the cores)."""
    return f"{os.cpu_count()} CPUs, load average {os.getloadavg()[0]:.2f}"
