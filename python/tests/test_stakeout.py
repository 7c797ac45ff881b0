"""The stake-out and the evaluation: one rule in the library, the same rows in the module and
the road tool, angle points staked from both sides, key points, equations."""
import csv
import io
import math

import numpy as np
import pytest

import velmorutils as vu
from conftest import landxml, run_tool


def kinked_road():
    """North 100 m, a 0.14 degree angle point to the right, 100 m, a 20 degree angle point to the
    right, 60 m, then a spiral into a right arc; a station equation jumping 250 to 300 at
    running chainage 250, and a circular vertical curve in the profile."""
    pts = [(0.0, 0.0)]
    for length, az in ((100.0, 0.0), (100.0, 0.14), (60.0, 20.14)):
        n, e = pts[-1]
        pts.append((n + length * math.cos(math.radians(az)),
                    e + length * math.sin(math.radians(az))))
    lines = ''.join(f'<Line><Start>{a[0]:.12f} {a[1]:.12f}</Start>'
                    f'<End>{b[0]:.12f} {b[1]:.12f}</End></Line>\n' for a, b in zip(pts, pts[1:]))
    return ('<Alignment name="Kinks" staStart="0">\n<CoordGeom>\n' + lines +
            '<Spiral rot="cw" spiType="clothoid" length="40" radiusStart="INF" '
            'radiusEnd="250"/>\n<Curve rot="cw" crvType="arc" radius="250" length="60"/>\n'
            '</CoordGeom>\n<StaEquation staInternal="250" staBack="250" staAhead="300"/>\n'
            '<Profile><ProfAlign name="p"><PVI>0 50</PVI>'
            '<CircCurve length="80" radius="3000">150 52</CircCurve><PVI>360 51</PVI>'
            '</ProfAlign></Profile>\n</Alignment>\n')


@pytest.fixture
def kinks_file(tmp_path):
    path = tmp_path / 'kinks.xml'
    path.write_text(landxml(kinked_road()))
    return str(path)


OFFSETS = [-4.0, 0.0, 4.0]


def test_the_tool_and_the_module_give_the_same_rows(kinks_file):
    done = run_tool('stakeout', kinks_file, '--csv', '--interval', '25', '--offsets=-4,0,4')
    assert done.returncode == 0, done.stderr
    rows = list(csv.DictReader(io.StringIO(done.stdout)))
    t = vu.read_landxml(kinks_file)[0].stakeout(25.0, offsets=OFFSETS)
    assert len(rows) == t.size
    for r, p in zip(rows, t):
        assert (r['station'], r['point'], r['side']) == (p['station'], p['point'], p['side'])
        assert r['boundary'] == ('1' if p['boundary'] else '0')
        # The table prints 4 decimals: beyond its rounding the two agree to 1e-9 m.
        for col, field in (('chainage_m', 'chainage'), ('northing_m', 'northing'),
                           ('easting_m', 'easting')):
            assert float(r[col]) == pytest.approx(p[field], abs=5e-5 + 1e-9), (r, col)
        assert float(r['cl_design_height_m']) == pytest.approx(p['height'], abs=5e-4 + 1e-9)
    # Each angle point and the equation: a back and an ahead row, one point apart or the same.
    sides = [(round(p['chainage'], 6), p['side']) for p in t[t['offset'] == 0.0] if p['side']]
    assert sides == [(100.0, 'back'), (100.0, 'ahead'), (200.0, 'back'), (200.0, 'ahead'),
                     (250.0, 'back'), (250.0, 'ahead')]
    eq = t[(t['chainage'] == 250.0) & (t['offset'] == 0.0)]
    assert list(eq['station']) == ['0+250.00', '0+300.00'] and list(eq['point']) == ['EQ', 'EQ']


def test_every_row_is_the_librarys_answer_from_its_own_side(kinks_file, tmp_path):
    a = vu.read_landxml(kinks_file)[0]
    t = a.stakeout(10.0, offsets=OFFSETS)
    ref = __import__('conftest').Reference(kinks_file)
    back = t['side'] == 'back'
    want = np.empty((t.size, 4))
    want[back] = ref.back_positions(t['chainage'][back], t['offset'][back])
    want[~back] = ref.positions(t['chainage'][~back], t['offset'][~back])
    for k, field in enumerate(('northing', 'easting', 'height', 'azimuth')):
        np.testing.assert_allclose(t[field], want[:, k], rtol=0, atol=1e-9, err_msg=field)
    # At the 0.14 degree angle point the two stakes 4 m off lie 9.8 mm apart.
    at = t[(t['chainage'] == 100.0) & (t['offset'] == 4.0)]
    gap = math.hypot(at['northing'][0] - at['northing'][1], at['easting'][0] - at['easting'][1])
    assert gap == pytest.approx(8.0 * math.sin(math.radians(0.07)), abs=1e-9)


def test_the_inverse_names_the_side_that_stakes_the_point_back(kinks_file):
    a = vu.read_landxml(kinks_file)[0]
    t = a.stakeout(50.0, offsets=[-4.0])
    kink = t[np.abs(t['chainage'] - 200.0) < 1e-9]
    assert list(kink['side']) == ['back', 'ahead']
    for row in kink:
        foot = a.station_offset(row['northing'], row['easting'])
        assert foot['status'] == 0 and vu.SIDE_NAMES[foot['side']] == row['side']
        named = a.station_offset(row['northing'], row['easting'], names=True)
        assert named['status'] == 'square' and named['side'] == row['side']


@pytest.mark.parametrize('gap,rows', [(0.0004, 2), (0.0015, 3)])
def test_stations_within_a_millimetre_are_one_stake(tmp_path, gap, rows):
    path = tmp_path / 'hair.xml'
    path.write_text(landxml(
        '<Alignment name="Hair" staStart="0"><CoordGeom>'
        f'<Line><Start>0 0</Start><End>{100.0 + gap!r} 0</End></Line>'
        f'<Line><Start>{100.0 + gap!r} 0</Start><End>{100.0 + gap!r} 50</End></Line>'
        '</CoordGeom></Alignment>\n'))
    c = vu.read_landxml(str(path))[0].stakeout(50.0)['chainage']
    near = c[np.abs(c - 100.0) < 0.01]
    # A right angle is staked back and ahead; 1.5 mm off, the round station 100 on its own.
    assert near.size == rows
    assert near[-1] == pytest.approx(100.0 + gap, abs=1e-12)


def test_evaluate_answers_everything_at_once_and_grades_circular_curves(road_file):
    a = vu.read_landxml(road_file)[0]
    ch = np.array([1050.0, 1130.0, 1200.0, 1270.0, 1300.0, 900.0, 1500.0])
    r = a.evaluate(ch, 2.0)
    n, e = a.position(ch, 2.0)
    np.testing.assert_array_equal(r['northing'], n)
    np.testing.assert_array_equal(r['easting'], e)
    np.testing.assert_array_equal(r['azimuth'], a.azimuth(ch))
    # Curvature is positive turning right, per metre.
    k = [0.0, 30.0 / (60.0 * 300.0), 1 / 300.0, 1.25 / 600.0, -1 / 250.0, 0.0, 0.0]
    np.testing.assert_allclose([r['curvature'], a.curvature(ch)], [k, k], atol=1e-12)
    assert list(r['kind'][:5]) == ['line', 'spiral', 'arc', 'spiral', 'arc']
    assert list(r['element'][:5]) == [0, 1, 2, 3, 4]
    # Along the circular vertical curve (1260 to 1340) the grade is the circle's slope.
    h0, h1 = a.height(1299.99), a.height(1300.01)
    assert r['grade'][4] == pytest.approx((h1 - h0) / 0.02 * 100.0, abs=1e-6)
    np.testing.assert_array_equal(a.grade(ch), r['grade'])
    assert math.isnan(r['height'][5])


def test_a_feet_stakeout_is_the_metre_one_in_feet(kinks_file):
    ft = 0.3048
    m = vu.read_landxml(kinks_file)[0].stakeout(100.0 * ft, offsets=[-10.0 * ft, 0.0, 10.0 * ft])
    f = vu.read_landxml(kinks_file, unit='ft')[0].stakeout(100.0, offsets=[-10.0, 0.0, 10.0])
    assert f.size == m.size
    for field in ('chainage', 'offset', 'northing', 'easting', 'height'):
        np.testing.assert_allclose(f[field] * ft, m[field], rtol=0, atol=1e-9, err_msg=field)
    np.testing.assert_array_equal(f['side'], m['side'])
    assert f['station'][3] == '1+00.00'  # 100-foot stations
