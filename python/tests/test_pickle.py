"""Pickles and copies of alignments answer every query bit for bit like the original, in this
process and in others; a state that is not one is refused by name."""
import copy
import math
import multiprocessing
import pickle

import numpy as np
import pytest

import velmorutils as vu
from conftest import EQUATIONS, ROAD, landxml, same_bits
from test_stakeout import kinked_road

CH = np.concatenate([np.linspace(-100.0, 1500.0, 401), [1000.0, 1100.0, 1160.0, 250.0, 300.0]])
OFF = np.resize([-7.5, 0.0, 3.5, 40.0], CH.size)


def answers(a):
    """Every query of an alignment on the same inputs, as plain values and arrays."""
    lo, hi = a.start_chainage, a.end_chainage
    n, e = a.position(CH, OFF)
    inside = CH[(CH >= lo) & (CH <= hi)]
    return {
        'properties': (a.name, a.unit, a.start_chainage, a.end_chainage, a.length, a.has_profile,
                       repr(a)),
        'position': (n, e), 'azimuth': a.azimuth(CH), 'curvature': a.curvature(CH),
        'height': a.height(CH), 'grade': a.grade(CH),
        'station_offset': a.station_offset(n, e), 'named': a.station_offset(n, e, names=True),
        'evaluate': a.evaluate(CH, OFF), 'stakeout': a.stakeout(25.0, offsets=[-3.5, 0.0, 3.5]),
        'station_text': a.station_text(inside, 4),
        'chainage_of': a.chainage_of(a.station_text(inside[::7], 6)),
    }


def assert_identical(x, y):
    if isinstance(x, dict):
        assert x.keys() == y.keys()
        for k in x:
            assert_identical(x[k], y[k])
    elif isinstance(x, tuple):
        assert len(x) == len(y)
        for u, v in zip(x, y):
            assert_identical(u, v)
    elif isinstance(x, np.ndarray):
        assert same_bits(x, y)
    else:
        assert x == y


def roads(tmp_path):
    path = tmp_path / 'roads.xml'
    path.write_text(landxml(ROAD + EQUATIONS + kinked_road()))
    built = (vu.AlignmentBuilder(5000.0, 2000.0, 100.0, 30.0, unit='usft')
             .ip(5600.0, 2300.0, 800.0, 150.0, 150.0).ip(6000.0, 3200.0, 600.0)
             .ip(6200.0, 4100.0, 0.0).vip(100.0, 300.0).vip(900.0, 330.0, 'parabola', 400.0)
             .vip(1700.0, 310.0, 'circle', radius=20000.0).vip(2800.0, 320.0)
             .equation(500.0, 700.0).equation(1500.0, 1650.0, station_back=1690.0).build())
    # Elements typed in, turning right and then left.
    typed = (vu.AlignmentBuilder(100.0, 200.0, 0.0, 75.0).line(120.0)
             .spiral(50.0, math.inf, 300.0, True).arc(70.0, 300.0, True)
             .spiral(50.0, 300.0, math.inf, True).line(40.0).spiral(30.0, math.inf, 200.0, False)
             .arc(90.0, 200.0, False).build())
    return vu.read_landxml(path) + vu.read_landxml(path, unit='ft')[:1] + [built, typed]


def test_pickles_and_copies_answer_bit_for_bit(tmp_path):
    for a in roads(tmp_path):
        want = answers(a)
        for protocol in (2, pickle.HIGHEST_PROTOCOL):
            assert_identical(answers(pickle.loads(pickle.dumps(a, protocol))), want)
        assert_identical(answers(copy.deepcopy(a)), want)
        assert copy.copy(a) is a  # an Alignment never changes: a copy may be itself
        # A copy of a copy is made the same way again.
        assert_identical(answers(pickle.loads(pickle.dumps(copy.deepcopy(a)))), want)


def test_the_pickle_is_compact_and_versioned(tmp_path):
    main, ramp = roads(tmp_path)[:2]
    state = main.__getstate__()
    assert state[:3] == (2, 'm', 'Main') and ramp.__getstate__()[2] == 'Ramp'
    assert [tag for tag, _ in state[3]] == ['landxml-plan', 'landxml-profile',
                                            'landxml-equations']
    # Fixed records of float64: 15 a plan element, 6 a VIP, 3 an equation.
    assert [len(raw) // 8 for _, raw in state[3]] == [2 + 5 * 15, 4 * 6, 0]
    assert [len(raw) // 8 for _, raw in ramp.__getstate__()[3]] == [2 + 15, 0, 2 * 3]


@pytest.mark.parametrize('change,message', [
    (lambda s: (3,) + s[1:], 'version 3'),
    (lambda s: s[:1] + ('yd',) + s[2:], 'unit'),
    (lambda s: s[:3] + (s[3] + (('sections', b''),),), "unknown part 'sections'"),
    (lambda s: s[:3] + ((('landxml-plan', s[3][0][1][:-3]),) + s[3][1:],), 'whole records'),
    (lambda s: s[:3] + ((),), 'no geometry'),
    (lambda s: s[:2], 'not \\(version'),
])
def test_a_state_that_is_not_one_is_refused(tmp_path, change, message):
    a = roads(tmp_path)[0]
    with pytest.raises(ValueError, match=message):
        vu.Alignment.__new__(vu.Alignment).__setstate__(change(a.__getstate__()))


def test_a_builder_state_that_does_not_build_is_refused():
    a = vu.AlignmentBuilder(0, 0, 0, 0).line(100).build()
    version, unit, name, ((tag, raw),) = a.__getstate__()
    bad = raw[:32] + np.array([0.0, -5.0, 0, 0, 0, 0]).tobytes()  # a line of -5 m
    with pytest.raises(ValueError, match='line'):
        vu.Alignment.__new__(vu.Alignment).__setstate__((version, unit, name, ((tag, bad),)))


def test_other_processes_answer_like_this_one(tmp_path):
    alignments = roads(tmp_path)
    with multiprocessing.get_context('spawn').Pool(2) as pool:
        got = pool.map(answers, alignments)
    for g, a in zip(got, alignments):
        assert_identical(g, answers(a))
