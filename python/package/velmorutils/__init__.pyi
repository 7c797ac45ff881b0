# Types of the package velmorutils: the compiled module's names and the package's own.
from typing import Union

import numpy as np
import numpy.typing as npt

from ._velmorutils import (SIDE_NAMES as SIDE_NAMES, STATUS_NAMES as STATUS_NAMES,
                           Alignment as Alignment, AlignmentBuilder as AlignmentBuilder,
                           curve_relations as curve_relations,
                           geodesic_inverse as geodesic_inverse, read_landxml as read_landxml)

__version__: str

def status_names(codes: npt.ArrayLike) -> npt.NDArray[np.str_]: ...
def side_names(codes: npt.ArrayLike) -> npt.NDArray[np.str_]: ...
def station_offset_frame(alignment: Alignment, northing: npt.ArrayLike, easting: npt.ArrayLike,
                         *, threads: Union[int, None] = None) -> "pandas.DataFrame": ...
