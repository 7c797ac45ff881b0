"""The module against the C++ library on the same road, in every unit and through the builder."""
import math

import numpy as np
import pytest

import velmorutils as vu

# Chainages from 20 m before the start to 20 m past the end, on and beside every element
# boundary (1000, 1100, 1160, 1240, 1280, 1370).
CHAINAGES = np.concatenate([np.linspace(980.0, 1390.0, 83),
                            [1100.0, 1160.0, 1240.0, 1280.0, 1370.0, 1099.9999999]])
OFFSETS = np.resize([-7.5, -3.5, 0.0, 3.5, 12.0], CHAINAGES.size)


def test_positions_heights_and_azimuths_agree_with_cpp(road_file, reference):
    a = vu.read_landxml(road_file)[0]
    want = reference.positions(CHAINAGES, OFFSETS)
    n, e = a.position(CHAINAGES, OFFSETS)
    np.testing.assert_allclose(n, want[:, 0], rtol=0, atol=1e-9)
    np.testing.assert_allclose(e, want[:, 1], rtol=0, atol=1e-9)
    np.testing.assert_allclose(a.height(CHAINAGES), want[:, 2], rtol=0, atol=1e-9)
    np.testing.assert_allclose(a.azimuth(CHAINAGES), want[:, 3], rtol=0, atol=1e-9)


def test_station_offset_agrees_with_cpp(road_file, reference):
    a = vu.read_landxml(road_file)[0]
    rng = np.random.default_rng(7)
    ch = rng.uniform(960.0, 1400.0, 500)
    off = rng.uniform(-60.0, 60.0, 500)
    n, e = a.position(ch, off)
    got = a.station_offset(n, e)
    want = reference.feet(n, e)
    np.testing.assert_allclose(got['chainage'], want[:, 0], rtol=0, atol=1e-9)
    np.testing.assert_allclose(got['offset'], want[:, 1], rtol=0, atol=1e-9)
    np.testing.assert_array_equal(got['element'], want[:, 2].astype(int))
    np.testing.assert_array_equal(got['status'], want[:, 3].astype(int))


@pytest.mark.parametrize('unit,metres', [('ft', 0.3048), ('usft', 1200.0 / 3937.0)])
def test_units_convert_every_length_at_the_edge(road_file, unit, metres):
    m = vu.read_landxml(road_file)[0]
    f = vu.read_landxml(road_file, unit=unit)[0]
    assert f.unit == unit and m.unit == 'm'
    assert f.start_chainage * metres == pytest.approx(1000.0, abs=1e-9)
    assert f.length * metres == pytest.approx(370.0, abs=1e-9)
    n, e = f.position(CHAINAGES / metres, OFFSETS / metres)
    nm, em = m.position(CHAINAGES, OFFSETS)
    np.testing.assert_allclose(n * metres, nm, rtol=0, atol=1e-9)
    np.testing.assert_allclose(e * metres, em, rtol=0, atol=1e-9)
    np.testing.assert_allclose(f.height(CHAINAGES / metres) * metres, m.height(CHAINAGES),
                               atol=1e-9)
    # Grades are percent in every unit; curvature is per unit length.
    np.testing.assert_allclose(f.grade(CHAINAGES / metres), m.grade(CHAINAGES), atol=1e-12)
    np.testing.assert_allclose(f.curvature(1200.0 / metres), m.curvature(1200.0) * metres)
    so, som = f.station_offset(n, e), m.station_offset(nm, em)
    np.testing.assert_allclose(so['chainage'] * metres, som['chainage'], atol=1e-9)
    np.testing.assert_allclose(so['offset'] * metres, som['offset'], atol=1e-9)
    assert f.station_text(4050.0) == '40+50.00'  # 100-foot stations


def test_stakeout_refuses_intervals_that_are_not_one(road_file):
    a = vu.read_landxml(road_file)[0]
    for bad in (0.0, -10.0, math.nan, 1e-9):
        with pytest.raises(ValueError):
            a.stakeout(bad)


def test_builder_gives_the_same_road_as_the_file(road_file):
    f = vu.read_landxml(road_file)[0]
    b = vu.AlignmentBuilder(5000.0, 2000.0, 1000.0, 0.0)
    (b.line(100).spiral(60, math.inf, 300, True).arc(80, 300, True).spiral(40, 300, 600, True)
     .arc(90, 250, False))
    b.vip(1000, 50).vip(1150, 53, 'parabola', 120).vip(1300, 51.5, 'circle', radius=4000)
    b.vip(1420, 52.25)
    a = b.build()
    assert a.start_chainage == 1000.0 and a.end_chainage == pytest.approx(1370.0, abs=1e-9)
    for x, y in zip(a.position(CHAINAGES, OFFSETS), f.position(CHAINAGES, OFFSETS)):
        np.testing.assert_allclose(x, y, rtol=0, atol=1e-9)
    np.testing.assert_allclose(a.height(CHAINAGES), f.height(CHAINAGES), atol=1e-9)


def test_builder_ip_curve_and_feet_unit():
    # Tangents north then east through an IP at (1000, 0): a 90 degree right turn.
    a = (vu.AlignmentBuilder(0, 0, 0, 0, unit='ft').ip(1000, 0, 300, 50, 50)
         .ip(1000, 1000, 0).build())
    assert a.unit == 'ft' and not a.has_profile
    assert math.isnan(a.height(10.0)) and math.isnan(a.grade(10.0))
    assert a.azimuth(0.0) == pytest.approx(0.0, abs=1e-9)
    assert a.azimuth(a.end_chainage) == pytest.approx(90.0, abs=1e-9)
    n, e = a.position(a.end_chainage)
    assert (n, e) == (pytest.approx(1000.0, abs=1e-6), pytest.approx(1000.0, abs=1e-6))


@pytest.mark.parametrize('step', [
    lambda b: b.line(-1), lambda b: b.line(math.nan), lambda b: b.arc(10, 0, True),
    lambda b: b.spiral(10, math.inf, math.inf, True), lambda b: b.spiral(10, 100, 100, True),
    lambda b: b.vip(0, 10, 'cubic'), lambda b: b.vip(0, 10, 'circle'),
    lambda b: b.ip(100, 100, -5)])
def test_builder_refuses_bad_elements(step):
    b = vu.AlignmentBuilder(0, 0, 0, 0)
    with pytest.raises(ValueError):
        step(b)
    with pytest.raises(ValueError):  # nothing was added
        b.build()
