"""velmorutils over Dask: station/offset of Dask arrays and DataFrames, in as many processes as
the Dask scheduler has.

The alignment enters the task graph once, as one key of its own (dask.delayed), and each block
takes it from there: a worker process receives it once, unpickles it once (a pickled Alignment
is the few numbers it was made by) and keeps it for every block it runs. Each block runs one
thread of C++ by default (threads=1): the scheduler's workers and threads are the parallelism.

    import velmorutils, velmorutils.dask
    feet = velmorutils.dask.station_offset(road, northing, easting)   # dask arrays in and out
    frame = velmorutils.dask.add_station_offset(frame, road, "N", "E")
"""
import dask
import dask.array as da
import numpy as np
import pandas as pd

from . import SIDE_NAMES, STATUS_NAMES, Alignment


def _shared(alignment):
    if not isinstance(alignment, Alignment):
        raise TypeError(f"expected a velmorutils.Alignment, not {type(alignment).__name__}")
    # One key holding the alignment: the scheduler ships it to a worker once, not per block.
    return dask.delayed(alignment, pure=True, traverse=False)


def _block_feet(northing, easting, alignment, threads):
    return alignment.station_offset(northing, easting, threads=threads)


def station_offset(alignment, northing, easting, *, threads=1):
    """Alignment.station_offset over Dask arrays (or anything da.asarray takes) of one shape.

    Returns a Dask array of the same shape and chunks of station_offset's 24-byte records:
    chainage, offset, status (code into velmorutils.STATUS_NAMES), element, side. threads: C++
    threads per block (1: the scheduler's own workers share the work).
    """
    shared = _shared(alignment)
    north = da.asarray(northing)
    east = da.asarray(easting)
    if north.shape != east.shape:
        raise ValueError(f"station_offset: northing {north.shape} and easting {east.shape} differ "
                         "in shape")
    east = east.rechunk(north.chunks)
    # The records of no point: what every block returns, without asking a block.
    meta = alignment.station_offset(np.empty(0), np.empty(0))
    return da.map_blocks(_block_feet, north, east, shared, threads, dtype=meta.dtype, meta=meta)


def _partition_feet(part, alignment, northing, easting, columns, threads):
    feet = alignment.station_offset(part[northing].to_numpy(dtype=float),
                                    part[easting].to_numpy(dtype=float), threads=threads)
    station, offset, status = columns
    return part.assign(**{
        station: feet["chainage"],
        offset: feet["offset"],
        status: pd.Categorical.from_codes(feet["status"], categories=list(STATUS_NAMES)),
    })


def add_station_offset(frame, alignment, northing="northing", easting="easting", *,
                       columns=("station", "offset", "status"), threads=1):
    """A Dask DataFrame with three columns added from the named northing and easting columns.

    columns: the names of the added columns, in this order: the station (the running chainage
    of station_offset, the alignment's unit; Alignment.station_text gives the design's station
    text), the offset (right positive) and the status (categorical of velmorutils.STATUS_NAMES).
    threads: C++ threads per partition.
    """
    for name in (northing, easting):
        if name not in frame.columns:
            raise KeyError(f"add_station_offset: no column {name!r} (columns: "
                           f"{list(frame.columns)})")
    columns = tuple(columns)
    if len(columns) != 3:
        raise ValueError("add_station_offset: columns names the station, offset and status columns")
    shared = _shared(alignment)
    meta = _partition_feet(frame._meta, alignment, northing, easting, columns, threads)
    return frame.map_partitions(_partition_feet, shared, northing, easting, columns, threads,
                                meta=meta)


__all__ = ["station_offset", "add_station_offset", "SIDE_NAMES", "STATUS_NAMES"]
