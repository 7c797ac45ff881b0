#!/usr/bin/env python3
"""Dask with one worker process against two: station/offsets of points generated inside the
workers (100 million by default), on the benchmarks' 1000-element road.

    PYTHONPATH=build/python /usr/bin/python3 python/bench_dask.py [--count 100e6] [--chunk 1e6]

Each block makes its points (a chainage and an offset per point, deterministic from the block's
number, turned into northing and easting by Alignment.position), then velmorutils.dask's
station_offset answers them; only two sums per block come back (the square feet and the sum of
the offsets). Each worker runs one thread and each block one C++ thread, so the processes are
the only parallelism. Both runs must give the same sums. The workers' processor time is
printed too: on a shared machine, two processes that spend no more of it than one would finish
in half the time on an idle one. The target on an otherwise idle
machine of two cores: two processes at least 1.7 times as fast as one. The load average is
printed with the figures.
"""
import argparse
import time

import dask
import dask.array as da
import distributed
import numpy as np

import velmorutils.dask as vdask
from bench_positions import bench_road


def load():
    return ' '.join(open('/proc/loadavg').read().split()[:3])


def block_points(seed, road, size):
    """size points within 100 m of the road, from the block's number alone."""
    rng = np.random.default_rng(int(seed[0]))
    chainage = rng.uniform(road.start_chainage, road.end_chainage, size)
    north, east = road.position(chainage, rng.uniform(-100.0, 100.0, size), threads=1)
    return np.stack([north, east], axis=1)


def run(client, road, count, chunk):
    blocks = int(count // chunk)
    shared = dask.delayed(road, pure=True, traverse=False)
    seeds = da.arange(blocks, chunks=1)
    points = seeds.map_blocks(block_points, shared, chunk, chunks=((chunk,) * blocks, (2,)),
                              new_axis=1, dtype=float, meta=np.empty((0, 2)))
    feet = vdask.station_offset(road, points[:, 0], points[:, 1])
    square = (feet['status'] == 0).sum()
    offsets = da.nansum(feet['offset'])
    cpu = client.run(time.process_time)
    t = time.perf_counter()
    got = dask.compute(square, offsets)
    seconds = time.perf_counter() - t
    spent = sum(v - cpu[w] for w, v in client.run(time.process_time).items())
    return seconds, spent, got


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--count', type=float, default=100e6)
    parser.add_argument('--chunk', type=float, default=1e6)
    args = parser.parse_args()
    count, chunk = int(args.count), int(args.chunk)
    road = bench_road()
    print(f'{count:.3g} points in blocks of {chunk:.3g}; load average before: {load()}')
    results = {}
    for workers in (1, 2):
        with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                      dashboard_address=None) as cluster:
            with distributed.Client(cluster) as client:
                client.wait_for_workers(workers)
                seconds, cpu, sums = run(client, road, count, chunk)
        results[workers] = seconds
        print(f'{workers} process(es): {seconds:8.1f} s, workers\' processor time {cpu:8.1f} s '
              f'({count / seconds / 1e6:.2f} M points/s); square feet {sums[0]}, offset sum '
              f'{sums[1]:.6f}; load average {load()}')
    print(f'speed-up of two processes: {results[1] / results[2]:.2f}')


if __name__ == '__main__':
    main()
