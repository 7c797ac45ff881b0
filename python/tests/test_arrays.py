"""Every shape and dtype NumPy users pass: converted and broadcast, or refused clearly."""
import math

import numpy as np
import pytest

import velmorutils as vu


@pytest.fixture
def road():
    b = vu.AlignmentBuilder(5000.0, 2000.0, 0.0, 30.0)
    b.line(150).spiral(60, math.inf, 400, True).arc(120, 400, True).spiral(60, 400, math.inf, True)
    return b.vip(0, 100).vip(200, 104, 'parabola', 100).vip(390, 101).build()


@pytest.mark.parametrize('chainage,offset', [
    ([0, 50, 199.5], 2.0),                                  # list and scalar
    (np.arange(12, dtype=np.int32).reshape(3, 4) * 30, -1),  # integers, 2-D
    (np.linspace(0, 390, 10, dtype=np.float32), 0.5),       # float32
    (np.linspace(0, 390, 40)[::3], [1.0]),                   # strided view, length-1 list
    (np.linspace(0, 390, 24).reshape(4, 6).T, 0.0),          # transposed (Fortran order)
    (np.array([[10.0], [200.0], [300.0]]), [-3.5, 0, 3.5]),  # (3,1) with (3,): (3,3)
    (np.array(120.0), np.array([1.0, 2.0])),                 # 0-d array broadcast
    (np.empty((0, 3)), 1.0),                                 # empty
])
def test_arrays_broadcast_like_numpy(road, chainage, offset):
    n, e = road.position(chainage, offset)
    c, o = np.broadcast_arrays(np.asarray(chainage, dtype=float), np.asarray(offset, dtype=float))
    assert n.shape == e.shape == c.shape
    for idx in np.ndindex(c.shape):
        assert (n[idx], e[idx]) == road.position(float(c[idx]), float(o[idx]))
    for f in (road.azimuth, road.curvature, road.height, road.grade):
        assert f(c).shape == c.shape
    assert road.station_offset(n, e).shape == c.shape
    assert road.station_text(c).shape == c.shape


@pytest.mark.parametrize('value', [10, 10.0, np.float32(10), np.int64(10), np.array(10.0), True])
def test_scalars_give_scalars(road, value):
    n, e = road.position(value)
    assert isinstance(n, float) and isinstance(e, float)
    assert isinstance(road.height(value), float)
    assert isinstance(road.station_text(value), str)
    r = road.station_offset(n, e)
    assert isinstance(r, np.void) and r['status'] == vu.STATUS_NAMES.index('square')


@pytest.mark.parametrize('bad,error', [
    ('10', TypeError), (['a', 'b'], TypeError), (None, TypeError), ([1, None], TypeError),
    (np.array([1 + 2j]), TypeError), ([[1, 2], [3]], ValueError),
    (np.array(['2020-01-01'], dtype='datetime64[D]'), TypeError)])
def test_non_numbers_are_refused_with_the_argument_name(road, bad, error):
    with pytest.raises(error, match='chainage'):
        road.position(bad)
    with pytest.raises(error, match='northing'):
        road.station_offset(bad, 1.0)


def test_shapes_that_do_not_broadcast_are_refused(road):
    with pytest.raises(ValueError, match='broadcast'):
        road.position(np.zeros(3), np.zeros(4))
    with pytest.raises(ValueError, match='broadcast'):
        vu.geodesic_inverse([1, 2], [1, 2, 3], 0, 0)


def test_nan_in_gives_nan_out(road):
    c = np.array([math.nan, 100.0, math.inf, -math.inf])
    n, e = road.position(c, [0.0, math.nan, 0.0, 0.0])
    assert np.isnan(n).all() and np.isnan(e).all()
    for f in (road.azimuth, road.curvature, road.height, road.grade):
        assert np.isnan(f(c)[[0, 2, 3]]).all()
    r = road.station_offset([math.nan, 5000.0], [2000.0, math.nan])
    assert np.isnan(r['chainage']).all() and np.isnan(r['offset']).all()
    assert list(vu.status_names(r['status'])) == ['none', 'none']
    assert list(r['element']) == [-1, -1]
    assert road.station_text(math.nan) == ''
    rel = vu.curve_relations(math.nan, 10.0)
    assert all(math.isnan(v) for k, v in rel.items() if k != 'length')
    assert all(math.isnan(v) for v in vu.geodesic_inverse(math.nan, 0.0, 1.0, 1.0))


def test_arrays_at_any_address_are_read_whole(road):
    # A buffer rebuilt from bytes (a pickle, another process) may start off an 8-byte boundary.
    raw = np.zeros(8 * 5 + 1, dtype=np.uint8)
    chainage = raw[1:].view(np.float64)
    chainage[:] = [0.0, 10.0, 20.0, 30.0, 40.0]
    assert chainage.ctypes.data % 8 != 0
    assert np.array_equal(road.azimuth(chainage), road.azimuth(chainage.copy()))
