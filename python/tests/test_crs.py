"""The alignment's coordinate system and velmorutils.transform (built with the proj component)."""
import numpy as np
import pytest

import velmorutils

ROAD = '''<?xml version="1.0"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Imperial linearUnit="USSurveyFoot"/></Units>
{cs}
<Alignments><Alignment name="SR-2" staStart="1000"><CoordGeom>
<Line length="100"><Start>1840000 6485000</Start><End>1840100 6485000</End></Line>
</CoordGeom></Alignment></Alignments>
</LandXML>
'''

US_FOOT = 1200.0 / 3937.0


def read(tmp_path, cs):
    path = tmp_path / "road.xml"
    path.write_text(ROAD.format(cs=cs))
    (road,) = velmorutils.read_landxml(path)
    return road


def test_crs_is_the_files_or_none(tmp_path):
    assert read(tmp_path, '<CoordinateSystem epsgCode="2229"/>').crs == "EPSG:2229"
    assert read(tmp_path, "").crs is None
    named = '<CoordinateSystem horizontalCoordinateSystemName="NAD83 / California zone 5 (ftUS)"/>'
    assert read(tmp_path, named).crs == "NAD83 / California zone 5 (ftUS)"


needs_proj = pytest.mark.skipif(not hasattr(velmorutils, "transform"),
                                reason="the module was built without the proj component")


@needs_proj
def test_transform_keeps_the_librarys_axis_order(tmp_path):
    road = read(tmp_path, '<CoordinateSystem epsgCode="2229"/>')
    n, e = road.position(0.0)
    # Back to latitude and longitude on NAD83: the grid values go in as metres.
    lat, lon = velmorutils.transform(road.crs, "EPSG:4269", n * US_FOOT, e * US_FOOT)
    assert isinstance(lat, float)
    assert 34.0 < lat < 34.1 and -118.3 < lon < -118.2
    n2, e2 = velmorutils.transform("EPSG:4269", road.crs, lat, lon)
    assert abs(n2 / US_FOOT - n) < 1e-6 and abs(e2 / US_FOOT - e) < 1e-6


@needs_proj
def test_transform_broadcasts_heights_and_gives_nan_off_the_earth():
    lat = np.array([34.05, 95.0, 40.0])
    lat2, lon2, h = velmorutils.transform("EPSG:4979", "EPSG:4326+5773", lat, -118.25, 100.0)
    assert lat2.shape == (3,)
    # Los Angeles: the EGM96 geoid is about 35 m below the ellipsoid.
    assert abs(h[0] - 134.81) < 0.05
    assert np.isnan(lat2[1]) and np.isnan(h[1])
    assert abs(lat2[2] - 40.0) < 1e-12
    with pytest.raises(ValueError, match="EPSG:999999"):
        velmorutils.transform("EPSG:999999", "EPSG:4326", 1.0, 2.0)
