"""Field outputs: the stake points a data collector loads (the same as the road tool's point
file, read back with the csv module) and the as-built check against a plain computation of
deviations placed on both sides of each tolerance (the tool's check is held to the same)."""
import csv
import math

import numpy as np
import pytest

import velmorutils as vu
from conftest import run_tool


def test_stake_points_equal_the_tools_point_file(road_file, tmp_path):
    out = tmp_path / 'stakes.csv'
    done = run_tool('stakeout', road_file, '--interval', '25', '--offsets=-3.5,0,3.5',
                    '--points-out', str(out), '--start-number', '100')
    assert done.returncode == 0, done.stderr
    a = vu.read_landxml(road_file)[0]
    pts = a.stakeout_points(25.0, offsets=[-3.5, 0.0, 3.5], start_number=100)
    with open(out, newline='') as f:
        rows = list(csv.reader(f))
    assert len(rows) == pts.size > 40
    for row, p in zip(rows, pts):
        assert int(row[0]) == p['number']
        assert float(row[1]) == pytest.approx(p['northing'], abs=5e-5)
        assert float(row[2]) == pytest.approx(p['easting'], abs=5e-5)
        assert float(row[3]) == pytest.approx(p['height'], abs=5e-4)
        assert row[4] == p['description']
    # Numbers run on in table order.
    assert list(pts['number']) == list(range(100, 100 + pts.size))
    assert set(pts['code'][pts['offset'] != 0]) == {'O'}


def test_stake_points_as_a_data_frame(road_file):
    pd = pytest.importorskip('pandas')
    df = vu.read_landxml(road_file)[0].stakeout_points(50.0, dataframe=True)
    assert isinstance(df, pd.DataFrame)
    assert list(df.columns[:4]) == ['number', 'northing', 'easting', 'height']
    assert df['description'].iloc[0].startswith('CL 1+000.00')


TOL_H, TOL_V = 0.02, 0.01
PLACED = [  # chainage, design offset, horizontal and vertical deviation, code
    (1010, 0.0, 0.0, 0.0, 'CL'), (1050, -3.5, 0.019, -0.0099, 'EP'),
    (1100, 3.5, -0.021, 0.0101, 'EP'), (1150, 0.0, 0.020, -0.010, 'CL'),
    (1200, -3.5, -0.3, 0.05, 'EP'), (1300, 3.5, 0.001, -0.002, 'EP'),
    (1350, 0.0, -0.0205, 0.0095, 'CL'),
]


def placed_shots(a):
    ch = np.array([p[0] for p in PLACED], float)
    off = np.array([p[1] + p[2] for p in PLACED])
    n, e = a.position(ch, off)
    z = a.height(ch) + np.array([p[3] for p in PLACED])
    return n, e, z, [p[4] for p in PLACED]


def test_check_matches_a_plain_computation(road_file):
    a = vu.read_landxml(road_file)[0]
    n, e, z, codes = placed_shots(a)
    # A shot without a name and one far beyond the corridor are bad, not dropped.
    names = [str(i + 1) for i in range(len(PLACED))] + ['', '77']
    n = np.append(n, [n[0], n[0] + 500.0])
    e = np.append(e, [e[0], e[0]])
    z = np.append(z, [z[0], z[0]])
    r = a.check(n, e, z, names=names, codes=codes + ['CL', 'CL'], tol_h=TOL_H, tol_v=TOL_V,
                offsets=[-3.5, 0, 3.5], corridor=30.0)
    shots = r['shots']
    dh = np.array([p[2] for p in PLACED])
    dv = np.array([p[3] for p in PLACED])
    np.testing.assert_allclose(shots['h_dev'][:len(PLACED)], dh, atol=1e-6)
    np.testing.assert_allclose(shots['v_dev'][:len(PLACED)], dv, atol=1e-6)
    assert list(shots['h_result'][:len(PLACED)]) == [
        'pass' if abs(d) <= TOL_H + 1e-6 else 'fail' for d in dh]
    assert list(shots['ok']) == [True] * len(PLACED) + [False, False]
    assert 'outside the corridor' in shots['reason'][-1]
    row = r['summary'][0]
    assert row['code'] is None and row['bad'] == 2
    assert row['h']['count'] == len(PLACED)
    assert row['h']['mean'] == pytest.approx(dh.mean(), abs=1e-6)
    assert row['h']['rms'] == pytest.approx(math.sqrt((dh ** 2).mean()), abs=1e-6)
    assert row['h']['max'] == pytest.approx(abs(dh).max(), abs=1e-6)
    assert row['v']['share_within'] == pytest.approx((abs(dv) <= TOL_V + 1e-6).mean())
    ep = next(s for s in r['summary'] if s['code'] == 'EP')
    sel = np.array([p[4] == 'EP' for p in PLACED])
    assert ep['h']['within'] == int((abs(dh[sel]) <= TOL_H).sum())
    assert ep['v']['rms'] == pytest.approx(math.sqrt((dv[sel] ** 2).mean()), abs=1e-6)
