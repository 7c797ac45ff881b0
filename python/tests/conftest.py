"""Shared roads for the module's tests: LandXML files written by hand, and the C++ answers."""
import math
import os
import subprocess
import threading

import numpy as np
import pytest

import velmorutils as vu

HEADER = ('<?xml version="1.0"?>\n'
          '<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">\n'
          '<Units><{kind} linearUnit="{unit}"/></Units>\n<Alignments>\n')

# A line, a right-hand curve between clothoids, a compound spiral and a left arc, with a
# profile of a parabola and a circular vertical curve. Stations from 1+000.
ROAD = '''<Alignment name="Main" staStart="1000">
<CoordGeom>
<Line length="100"><Start>5000 2000</Start><End>5100 2000</End></Line>
<Spiral rot="cw" spiType="clothoid" length="60" radiusStart="INF" radiusEnd="300"/>
<Curve rot="cw" crvType="arc" radius="300" length="80"/>
<Spiral rot="cw" spiType="clothoid" length="40" radiusStart="300" radiusEnd="600"/>
<Curve rot="ccw" crvType="arc" radius="250" length="90"/>
</CoordGeom>
<Profile><ProfAlign name="design">
<PVI>1000 50</PVI>
<ParaCurve length="120">1150 53</ParaCurve>
<CircCurve length="80" radius="4000">1300 51.5</CircCurve>
<PVI>1420 52.25</PVI>
</ProfAlign></Profile>
</Alignment>
'''

# Two alignments; the second a straight with station equations, one back (an overlap: stations
# 0+250 to 0+300 occur twice) and one ahead (a gap).
EQUATIONS = '''<Alignment name="Ramp" staStart="0">
<CoordGeom><Line length="1000"><Start>0 0</Start><End>0 1000</End></Line></CoordGeom>
<StaEquation staInternal="300" staBack="300" staAhead="250"/>
<StaEquation staInternal="600" staBack="550" staAhead="700"/>
</Alignment>
'''


def landxml(body, unit='meter', kind='Metric'):
    return HEADER.format(kind=kind, unit=unit) + body + '</Alignments>\n</LandXML>\n'


@pytest.fixture
def road_file(tmp_path):
    path = tmp_path / 'road.xml'
    path.write_text(landxml(ROAD))
    return str(path)


@pytest.fixture
def two_alignments_file(tmp_path):
    path = tmp_path / 'two.xml'
    path.write_text(landxml(ROAD + EQUATIONS))
    return str(path)


class Reference:
    """The C++ library's answers on the same file (metres)."""

    def __init__(self, path):
        self.path = path

    def _ask(self, lines):
        exe = os.environ.get('VELMORUTILS_PY_REFERENCE')
        if not exe:
            pytest.skip('VELMORUTILS_PY_REFERENCE is not set (run through ctest)')
        out = subprocess.run([exe, self.path], input=''.join(lines), capture_output=True,
                             text=True, check=True).stdout
        return np.array([[float(v) for v in row.split()] for row in out.splitlines()])

    def positions(self, chainage, offset):
        return self._ask(f'p {c!r} {o!r}\n' for c, o in zip(chainage, offset))

    def feet(self, north, east):
        return self._ask(f's {n!r} {e!r}\n' for n, e in zip(north, east))

    def back_positions(self, chainage, offset):
        """Positions from the element that ends at each chainage (the back side of a joint)."""
        return self._ask(f'b {c!r} {o!r}\n' for c, o in zip(chainage, offset))


def run_tool(*args):
    """The road tool (velmor-road) run on args; the test is skipped where it is not given."""
    exe = os.environ.get('VELMOR_ROAD')
    if not exe:
        pytest.skip('VELMOR_ROAD is not set (run through ctest)')
    return subprocess.run([exe, *args], capture_output=True, text=True)


@pytest.fixture
def reference(road_file):
    return Reference(road_file)


def same_bits(x, y):
    """Whether two arrays hold the same values bit for bit (NaN payloads and signed zeros
    included), field by field for records: the padding between fields is nobody's value."""
    x, y = np.asarray(x), np.asarray(y)
    if x.dtype != y.dtype or x.shape != y.shape:
        return False
    names = x.dtype.names or (None,)
    return all((x if n is None else x[n]).tobytes() == (y if n is None else y[n]).tobytes()
               for n in names)


def weaving_road(curves, last_vip):
    """Tangents and spiralled curves of R 250 turning right and left in turn, with a profile of
    a parabola; last_vip is (chainage, height) of its end."""
    b = vu.AlignmentBuilder(5000.0, 2000.0, 0.0, 30.0)
    for i in range(curves):
        right = i % 2 == 0
        b.line(80).spiral(40, math.inf, 250, right).arc(60, 250, right).spiral(40, 250, math.inf,
                                                                               right)
    mid = last_vip[0] / 2
    return b.vip(0, 100).vip(mid, 110, 'parabola', mid / 3).vip(*last_vip).build()


def in_threads(work, count):
    """Runs work(k) on count Python threads at once; their exceptions fail the test."""
    errors = []

    def run(k):
        try:
            work(k)
        except BaseException as e:  # noqa: B902  (reported in the test's own thread)
            errors.append(e)

    threads = [threading.Thread(target=run, args=(k,)) for k in range(count)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if errors:
        raise errors[0]
