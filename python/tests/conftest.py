"""Shared roads for the module's tests: LandXML files written by hand, and the C++ answers."""
import os
import subprocess

import numpy as np
import pytest

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
