#!/usr/bin/env python3
"""Cost of the module's vectorised calls against the same loops in C++.

Builds the benchmarks' 1000-element road (straight, spiral, arc, spiral, turning right and left
in turn), then times a million positions at chainage and offset and a million station/offset
queries of points within 100 m of the road, on the same inputs as bench/python_loop_bench.cpp.

    PYTHONPATH=build/python /usr/bin/python3 python/bench_positions.py \
        [--cpp build/bench/python_loop_bench]

With --cpp it runs the C++ benchmark too and prints the ratio of each pair (the target: within
1.5 times).
"""
import argparse
import json
import math
import subprocess
import time

import numpy as np

import velmorutils as vu

COUNT = 1_000_000


def bench_road(count=1000):
    b = vu.AlignmentBuilder(100000.0, 500000.0, 1000.0, 0.0)
    for i in range(count):
        right = (i // 4) % 2 == 0
        kind = i % 4
        if kind == 0:
            b.line(80.0)
        elif kind == 1:
            b.spiral(40.0, math.inf, 250.0, right)
        elif kind == 2:
            b.arc(60.0, 250.0, right)
        else:
            b.spiral(40.0, 250.0, math.inf, right)
    return b.build()


def best_of(runs, f):
    best = math.inf
    for _ in range(runs):
        t = time.perf_counter()
        f()
        best = min(best, time.perf_counter() - t)
    return best


def cpp_times(exe):
    out = subprocess.run([exe, '--benchmark_format=json'], capture_output=True, text=True,
                         check=True).stdout
    runs = json.loads(out)['benchmarks']
    # Google Benchmark reports per iteration in the unit asked for (milliseconds here).
    return {r['name'].split('/')[0]: r['real_time'] / 1000.0 for r in runs}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--cpp', help='path of the C++ benchmark python_loop_bench')
    args = parser.parse_args()

    road = bench_road()
    i = np.arange(COUNT, dtype=float)
    u = np.modf(i * 0.7548776662466927)[0]
    chainage = road.start_chainage + road.length * np.modf(i * 0.6180339887498949)[0]
    offset = -20.0 + 40.0 * u
    north, east = road.position(chainage, -100.0 + 200.0 * u)

    # One thread, as the C++ loops run: the cost of the binding, not of the split.
    t_pos = best_of(3, lambda: road.position(chainage, offset, threads=1))
    t_so = best_of(3, lambda: road.station_offset(north, east, threads=1))
    print(f'road: {road.length:.0f} m, 1000 elements; {COUNT} queries per call')
    print(f'python position:       {t_pos * 1e3:8.1f} ms  ({COUNT / t_pos / 1e6:.2f} M/s)')
    print(f'python station_offset: {t_so * 1e3:8.1f} ms  ({COUNT / t_so / 1e6:.2f} M/s)')
    if args.cpp:
        cpp = cpp_times(args.cpp)
        for name, t in (('BM_MillionPositions', t_pos), ('BM_MillionStationOffsets', t_so)):
            c = cpp[name]
            print(f'c++ {name}: {c * 1e3:8.1f} ms; python / c++ = {t / c:.2f}')


if __name__ == '__main__':
    main()
