"""threads= splits the batch calls without changing a bit of their answers, and is checked."""
import math

import numpy as np
import pytest

import velmorutils as vu
from conftest import in_threads, same_bits, weaving_road

# Three threads' worth of points and a few over: the split falls inside the arrays, and a
# thread's slice ends between two of the loop's blocks.
COUNT = 3 * 4096 + 5


@pytest.fixture(scope='module')
def road():
    return weaving_road(40, (8800, 110))


def batch_answers(a, threads):
    rng = np.random.default_rng(3)
    c = rng.uniform(-50.0, a.end_chainage + 50.0, COUNT)
    o = rng.uniform(-30.0, 30.0, COUNT)
    c[::97] = math.nan
    n, e = a.position(c, o, threads=threads)
    return [n, e, a.azimuth(c, threads=threads), a.curvature(c, threads=threads),
            a.height(c, threads=threads), a.grade(c, threads=threads),
            a.station_offset(n, e, threads=threads),
            a.station_offset(n, e, names=True, threads=threads), a.evaluate(c, o, threads=threads),
            *vu.curve_relations(c, o, threads=threads).values(),
            *vu.geodesic_inverse(c / 100, o, o, c / 100, threads=threads)]


def test_every_split_gives_the_answers_of_one_thread(road):
    want = batch_answers(road, 1)
    for threads in (2, 3, 7, None, np.int64(2)):
        got = batch_answers(road, threads)
        for w, g in zip(want, got):
            assert same_bits(w, g)


def test_threads_of_the_caller_and_of_the_call_together(road):
    # Python threads query one alignment at once, the loops without the interpreter lock: alone
    # (the alignment's own lock keeps them apart) or each asking for several C++ threads (which
    # share the alignment's copies).
    want = batch_answers(road, 1)

    def work(k):
        for _ in range(2):
            got = batch_answers(road, 3 if k % 2 else None)
            assert all(same_bits(w, g) for w, g in zip(want, got))

    in_threads(work, 4)


@pytest.mark.parametrize('bad,error', [(0, ValueError), (-2, ValueError), (-10**30, ValueError),
                                       (2.0, TypeError), (np.float64(2.0), TypeError),
                                       ('2', TypeError), (True, TypeError)])
def test_threads_must_be_a_positive_whole_number(road, bad, error):
    with pytest.raises(error, match='threads'):
        road.position([1.0, 2.0], threads=bad)
    with pytest.raises(error, match='threads'):
        road.station_offset([1.0], [2.0], threads=bad)

