"""The package as Python users meet it: its version, its parameters for inspect and the type
stubs, the interpreter check, and the lean station/offset results."""
import ast
import inspect
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import velmorutils as vu

ROOT = Path(__file__).resolve().parents[2]
PACKAGE = Path(vu.__file__).parent


def test_the_version_is_the_cmake_projects():
    text = (ROOT / 'CMakeLists.txt').read_text()
    assert vu.__version__ == re.search(r'project\(velmorutils VERSION ([0-9.]+)', text).group(1)


def public_callables():
    """Every public function of the compiled module and method of its classes, by name."""
    ext = vu._velmorutils
    for name, obj in vars(ext).items():
        if name.startswith('_'):
            continue
        if inspect.isclass(obj):
            for attr, member in vars(obj).items():
                # The module's own methods (pybind11's), not the slots Python adds.
                if type(member).__name__ == 'instancemethod' and (not attr.startswith('_') or attr in (
                        '__init__', '__deepcopy__')):
                    yield f'{name}.{attr}', member
        elif callable(obj):
            yield name, obj


def stub_parameters():
    """The parameter names of every function in the stub of the compiled module."""
    tree = ast.parse((PACKAGE / '_velmorutils.pyi').read_text())
    out = {}

    def params(f):
        a = f.args
        return [p.arg for p in a.posonlyargs + a.args] + (['*'] if a.kwonlyargs else []) + [
            p.arg for p in a.kwonlyargs] + ([a.kwarg.arg] if a.kwarg else [])

    for node in tree.body:
        if isinstance(node, ast.FunctionDef):
            out[node.name] = params(node)
        elif isinstance(node, ast.ClassDef):
            for f in node.body:
                if isinstance(f, ast.FunctionDef) and not any(
                        isinstance(d, ast.Name) and d.id == 'property' for d in f.decorator_list):
                    out[f'{node.name}.{f.name}'] = params(f)
    return out


def test_every_function_has_its_parameters_in_inspect_and_in_the_stubs():
    stubs = stub_parameters()
    seen = set()
    for name, f in public_callables():
        sig = inspect.signature(f)
        names = []
        for p in sig.parameters.values():
            if p.kind == p.KEYWORD_ONLY and '*' not in names:
                names.append('*')
            names.append(p.name)
        assert stubs.get(name) == names, name
        seen.add(name)
    assert 'Alignment.station_offset' in seen and 'read_landxml' in seen
    # A bound method drops self; defaults read back as Python values.
    a = vu.AlignmentBuilder(0, 0, 0, 0).line(10).build()
    sig = inspect.signature(a.station_offset)
    assert list(sig.parameters) == ['northing', 'easting', 'names', 'threads']
    assert sig.parameters['names'].default is False and sig.parameters['threads'].default is None
    assert inspect.signature(vu.AlignmentBuilder).parameters['unit'].default == 'm'


def test_the_stubs_and_marker_ship_with_the_package():
    assert (PACKAGE / 'py.typed').is_file()
    for name in ('__init__.pyi', '_velmorutils.pyi', 'dask.pyi'):
        ast.parse((PACKAGE / name).read_text())


def test_another_interpreter_fails_at_import_naming_the_one_it_needs(tmp_path):
    # The package as another interpreter's build: the same files, another version recorded.
    copy = tmp_path / 'velmorutils'
    shutil.copytree(PACKAGE, copy)
    build = (copy / '_build.py').read_text()
    (copy / '_build.py').write_text(re.sub(r'PYTHON = \(\d+, \d+\)', 'PYTHON = (3, 99)', build)
                                    .replace(vu._build.EXECUTABLE, '/opt/python3.99/bin/python3'))
    r = subprocess.run([sys.executable, '-c', 'import velmorutils'], capture_output=True,
                       text=True, cwd=tmp_path, env={**os.environ, 'PYTHONPATH': str(tmp_path)})
    assert r.returncode != 0
    last = r.stderr.strip().splitlines()[-1]
    assert last.startswith('ImportError: velmorutils') and 'cpython 3.99' in last
    assert '/opt/python3.99/bin/python3' in last and sys.executable in last


def test_station_offset_costs_at_most_40_bytes_a_point_and_names_its_codes():
    a = vu.AlignmentBuilder(0, 0, 0, 0).line(100).build()
    n = np.array([50.0, -20.0, 130.0, np.nan, 50.0])
    e = np.array([3.0, 1.0, -2.0, 0.0, np.nan])
    r = a.station_offset(n, e)
    assert r.itemsize <= 40 and r.dtype['status'] == np.uint8 and r.dtype['side'] == np.uint8
    assert list(vu.status_names(r['status'])) == ['square', 'beforeStart', 'afterEnd', 'none',
                                                  'none']
    named = a.station_offset(n, e, names=True)
    assert list(named['status']) == list(vu.status_names(r['status']))
    assert list(named['side']) == list(vu.side_names(r['side']))


def test_the_frame_has_a_categorical_status():
    pd = pytest.importorskip('pandas')
    a = vu.AlignmentBuilder(0, 0, 0, 0).line(100).build()
    f = vu.station_offset_frame(a, [50.0, -20.0, np.nan], [3.0, 1.0, 0.0])
    assert list(f.columns) == ['chainage', 'offset', 'status', 'element', 'side']
    assert isinstance(f['status'].dtype, pd.CategoricalDtype)
    assert list(f['status']) == ['square', 'beforeStart', 'none']
    assert list(f['status'].cat.categories) == list(vu.STATUS_NAMES)
    np.testing.assert_array_equal(f['chainage'], [50.0, -20.0, np.nan])
    with pytest.raises(ValueError, match='1-D'):
        vu.station_offset_frame(a, np.zeros((2, 2)), np.zeros((2, 2)))
