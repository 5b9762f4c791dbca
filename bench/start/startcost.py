#!/usr/bin/env python3
"""Start cost of a command against a reference command, run in turn (A B A B
...) so that both see the same machine: wall time from spawn to exit, CPU
time (user + system) and peak resident memory of each run from wait4(2);
medians and the median of the pairwise ratios A/B.

    startcost.py [-n RUNS] [--reference 'COMMAND'] -- COMMAND [ARG ...]

The reference defaults to /bin/true. Output goes to /dev/null.
"""
import argparse
import os
import shlex
import statistics
import sys
import time


def run(argv):
    devnull = os.open(os.devnull, os.O_RDWR)
    start = time.perf_counter()
    pid = os.posix_spawnp(argv[0], argv, os.environ,
                          file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)])
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    os.close(devnull)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} ended with {os.waitstatus_to_exitcode(status)}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-n", type=int, default=41)
    parser.add_argument("--reference", default="/bin/true")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    reference = shlex.split(args.reference)
    for argv in (command, reference):  # warm the caches
        run(argv)
    a, b = [], []
    for _ in range(args.n):
        a.append(run(command))
        b.append(run(reference))
    med = lambda rows, k: statistics.median(r[k] for r in rows)
    ratio = lambda k: statistics.median(x[k] / y[k] for x, y in zip(a, b) if y[k] > 0)
    print(f"{args.n} runs each, in turn")
    print(f"{'':12}{'command':>12}{'reference':>12}{'ratio':>8}")
    print(f"{'wall ms':12}{med(a, 0) * 1e3:12.2f}{med(b, 0) * 1e3:12.2f}{ratio(0):8.2f}")
    print(f"{'cpu ms':12}{med(a, 1) * 1e3:12.2f}{med(b, 1) * 1e3:12.2f}{ratio(1) if med(b, 1) > 0 else float('nan'):8.2f}")
    print(f"{'peak MB':12}{med(a, 2):12.1f}{med(b, 2):12.1f}{ratio(2):8.2f}")


if __name__ == "__main__":
    main()
