"""Circular-curve relations and the geodesic inverse, on values surveyors know."""
import math

import numpy as np
import pytest

import velmorutils as vu


def test_curve_relations_of_a_400_m_curve():
    R, L = 400.0, 120.0
    r = vu.curve_relations(R, L)
    delta = L / R
    want = {'radius': R, 'length': L, 'delta': math.degrees(delta),
            'chord': 2 * R * math.sin(delta / 2), 'tangent': R * math.tan(delta / 2),
            'middle_ordinate': R * (1 - math.cos(delta / 2)),
            'external': R * (1 / math.cos(delta / 2) - 1),
            'degree_of_curve': math.degrees(100.0 / R),
            'degree_of_chord': math.degrees(2 * math.asin(50.0 / R)),
            'spiral_parameter': math.sqrt(R * L)}
    assert set(r) == set(want)
    for k, v in want.items():
        assert r[k] == pytest.approx(v, rel=1e-12), k


def test_curve_relations_broadcast_and_refuse_impossible_curves():
    r = vu.curve_relations([[100.0], [200.0]], [10.0, 20.0, 30.0])
    assert r['chord'].shape == (2, 3)
    assert r['delta'][1, 2] == pytest.approx(math.degrees(30.0 / 200.0))
    bad = vu.curve_relations([0.0, -5.0, 100.0], [10.0, 10.0, -1.0])
    assert np.isnan(bad['tangent']).all()


@pytest.mark.parametrize('lat1,lon1,lat2,lon2,s,az1,az2', [
    # Flinders Peak to Buninyong (Vincenty's test line, forward azimuth at both ends).
    (-(37 + 57 / 60 + 3.72030 / 3600), 144 + 25 / 60 + 29.52440 / 3600,
     -(37 + 39 / 60 + 10.15610 / 3600), 143 + 55 / 60 + 35.38390 / 3600,
     54972.271, 306 + 52 / 60 + 5.37 / 3600, 307 + 10 / 60 + 25.07 / 3600),
])
def test_geodesic_inverse_on_wgs84(lat1, lon1, lat2, lon2, s, az1, az2):
    d, a1, a2 = vu.geodesic_inverse(lat1, lon1, lat2, lon2)
    assert d == pytest.approx(s, abs=1e-3)
    assert a1 == pytest.approx(az1, abs=1e-5) and a2 == pytest.approx(az2, abs=1e-5)
    # Back the other way: the same distance, azimuths reversed.
    d2, b1, b2 = vu.geodesic_inverse([lat2], [lon2], [lat1], [lon1])
    assert d2[0] == pytest.approx(d, abs=1e-6)
    assert (b1[0] - (a2 + 180.0)) % 360.0 == pytest.approx(0.0, abs=1e-7)


def test_geodesic_inverse_refuses_latitudes_beyond_the_poles():
    d, a1, a2 = vu.geodesic_inverse([91.0, 45.0], 0.0, 0.0, 0.0)
    assert math.isnan(d[0]) and not math.isnan(d[1])
