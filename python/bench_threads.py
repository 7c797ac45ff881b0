#!/usr/bin/env python3
"""Speed-up of the batch calls' threads=: a million station/offsets (and positions) on the
benchmarks' 1000-element road with threads=1 and threads=2, and the machine's load meanwhile.

    PYTHONPATH=build/python /usr/bin/python3 python/bench_threads.py [--count 1000000]

The target on an otherwise idle machine of two cores: threads=2 at least 1.7 times as fast as
threads=1. The load average is printed before and after: on a shared machine the ratio can only
be read against it; so the processor time of each call is printed too: two threads that spend
no more of it than one would on an idle machine finish in half the time.
"""
import argparse
import os
import time

import numpy as np

from bench_positions import best_of, bench_road


def load():
    return ' '.join(open('/proc/loadavg').read().split()[:3])


def timed(runs, f):
    """The best wall time of the runs, and the least processor time (all threads) of a run."""
    wall = best_of(runs, f)
    cpu = min(cpu_of(f) for _ in range(runs))
    return wall, cpu


def cpu_of(f):
    t = time.process_time()
    f()
    return time.process_time() - t


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--count', type=int, default=1_000_000)
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()

    road = bench_road()
    i = np.arange(args.count, dtype=float)
    u = np.modf(i * 0.7548776662466927)[0]
    chainage = road.start_chainage + road.length * np.modf(i * 0.6180339887498949)[0]
    north, east = road.position(chainage, -100.0 + 200.0 * u)
    print(f'{args.count} points, 1000-element road, {len(os.sched_getaffinity(0))} usable cores; '
          f'load average before: {load()}')
    for name, call in (('station_offset', lambda t: road.station_offset(north, east, threads=t)),
                       ('position', lambda t: road.position(chainage, 2.5, threads=t))):
        one, cpu_one = timed(args.runs, lambda: call(1))
        two, cpu_two = timed(args.runs, lambda: call(2))
        print(f'{name:15s} threads=1 {one * 1e3:8.1f} ms (cpu {cpu_one * 1e3:7.1f})  threads=2 '
              f'{two * 1e3:8.1f} ms (cpu {cpu_two * 1e3:7.1f})  speed-up {one / two:.2f}, cpu '
              f'ratio {cpu_two / cpu_one:.2f}')
    print(f'load average after: {load()}')


if __name__ == '__main__':
    main()
