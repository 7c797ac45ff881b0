# Types of velmorutils.dask (needs Dask).
from typing import Union

import dask.array
import dask.dataframe

from ._velmorutils import Alignment

def station_offset(alignment: Alignment, northing: dask.array.Array, easting: dask.array.Array,
                   *, threads: int = 1) -> dask.array.Array: ...
def add_station_offset(frame: dask.dataframe.DataFrame, alignment: Alignment,
                       northing: str = "northing", easting: str = "easting", *,
                       columns: tuple[str, str, str] = ("station", "offset", "status"),
                       threads: int = 1) -> dask.dataframe.DataFrame: ...
