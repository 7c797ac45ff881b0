"""Road alignment geometry of velmorutils for scripts and notebooks.

The compiled part is velmorutils._velmorutils, built for one interpreter; this package checks,
before loading it, that it is that interpreter, so that another one fails here with a message
naming the one it needs rather than later with a missing module.
"""
import sys as _sys

try:
    from . import _build
except ImportError:
    raise ImportError(
        "this is velmorutils' source folder (python/package/velmorutils), not a built package: "
        "build it (cmake --build build) and import it with PYTHONPATH=build/python, or install "
        "it (python3 -m pip install --no-build-isolation .)") from None

__version__ = _build.VERSION


def _interpreter(implementation, version):
    return f"{implementation} {version[0]}.{version[1]}"


_built = (_build.IMPLEMENTATION, tuple(_build.PYTHON))
_here = (_sys.implementation.name, tuple(_sys.version_info[:2]))
if _here != _built:
    raise ImportError(
        f"velmorutils {__version__} was built for {_interpreter(*_built)} ({_build.EXECUTABLE}), "
        f"not for this {_interpreter(*_here)} ({_sys.executable}): run it with "
        f"{_build.EXECUTABLE}, or build it for this interpreter "
        f"(python -m pip install --no-build-isolation <velmorutils source folder>)")

try:
    import numpy as _np
except ImportError as _error:
    raise ImportError(
        f"velmorutils needs NumPy, which this interpreter ({_sys.executable}) cannot import: run "
        f"it with {_build.EXECUTABLE}, the interpreter it was built for, or install NumPy for "
        f"this one (Debian: python3-numpy; a virtual environment: --system-site-packages)"
    ) from _error

from . import _velmorutils
from ._velmorutils import *  # noqa: F401,F403  (every public name of the compiled module)
from ._velmorutils import Alignment, AlignmentBuilder, SIDE_NAMES, STATUS_NAMES

__doc__ = _velmorutils.__doc__
# Pickles name the classes where users import them from.
Alignment.__module__ = __name__
AlignmentBuilder.__module__ = __name__
# Dask names an alignment by what it is made of, so that the same alignment in several graphs
# (or twice in one) is one key, sent to each worker once.
Alignment.__dask_tokenize__ = lambda self: ("velmorutils.Alignment", self.__getstate__())


def status_names(codes):
    """The names of station_offset's status codes (any shape): an array of str."""
    return _np.asarray(STATUS_NAMES)[_np.asarray(codes)]


def side_names(codes):
    """The names of station_offset's side codes (any shape): an array of str."""
    return _np.asarray(SIDE_NAMES)[_np.asarray(codes)]


def station_offset_frame(alignment, northing, easting, *, threads=None):
    """Alignment.station_offset as a pandas DataFrame (one row a point, 1-D inputs).

    Columns chainage and offset (the alignment's unit), status (categorical of STATUS_NAMES),
    element (int32, -1 for none) and side (categorical of SIDE_NAMES). Needs pandas.
    """
    import pandas as pd

    feet = alignment.station_offset(northing, easting, threads=threads)
    feet = _np.atleast_1d(feet)
    if feet.ndim != 1:
        raise ValueError("station_offset_frame: northing and easting must be 1-D, not of shape "
                         f"{feet.shape}")
    return pd.DataFrame({
        "chainage": feet["chainage"],
        "offset": feet["offset"],
        "status": pd.Categorical.from_codes(feet["status"], categories=list(STATUS_NAMES)),
        "element": feet["element"],
        "side": pd.Categorical.from_codes(feet["side"], categories=list(SIDE_NAMES)),
    })


def __getattr__(name):
    # velmorutils.dask is loaded on first use: Dask is optional and slow to import.
    if name == "dask":
        import importlib

        return importlib.import_module(".dask", __name__)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
