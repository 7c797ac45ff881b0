"""LandXML files: several alignments, units, station equations, and files that are refused."""
import math
import pathlib

import numpy as np
import pytest

import velmorutils as vu
from conftest import EQUATIONS, ROAD, landxml


def test_every_alignment_of_a_file_with_its_attributes(two_alignments_file):
    main, ramp = vu.read_landxml(pathlib.Path(two_alignments_file))
    assert (main.name, ramp.name) == ('Main', 'Ramp')
    assert (main.start_chainage, main.end_chainage, main.length) == (1000.0, 1370.0, 370.0)
    assert main.has_profile and not ramp.has_profile
    assert math.isnan(ramp.height(10.0))


def test_a_file_in_us_survey_feet_reads_in_its_own_unit(tmp_path):
    path = tmp_path / 'usft.xml'
    path.write_text(landxml(EQUATIONS, unit='USSurveyFoot', kind='Imperial'))
    (ft,) = vu.read_landxml(str(path))
    (m,) = vu.read_landxml(str(path), unit='m')
    assert ft.unit == 'usft' and ft.length == pytest.approx(1000.0, abs=1e-9)
    assert m.length == pytest.approx(1000.0 * 1200.0 / 3937.0, abs=1e-9)
    assert ft.station_text(700.0) == '8+00.00'
    with pytest.raises(ValueError, match='unit'):
        vu.read_landxml(str(path), unit='furlong')


@pytest.mark.parametrize('chainage,text', [
    (0.0, '0+000.00'), (299.99, '0+299.99 R1'), (300.0, '0+250.00 R2'), (320.0, '0+270.00 R2'),
    (599.99, '0+549.99'), (600.0, '0+700.00'), (999.995, '1+100.00')])
def test_station_text_and_back_through_equations(two_alignments_file, chainage, text):
    ramp = vu.read_landxml(two_alignments_file)[1]
    assert ramp.station_text(chainage) == text
    assert ramp.chainage_of(text) == pytest.approx(round(chainage, 2), abs=1e-9)


@pytest.mark.parametrize('text,message', [
    ('0+260', 'R1 and R2'), ('0+600', 'gap'), ('road', 'station'), ('0+260 R3', '')])
def test_stations_that_are_not_on_the_road_raise(two_alignments_file, text, message):
    ramp = vu.read_landxml(two_alignments_file)[1]
    with pytest.raises(ValueError, match=message):
        ramp.chainage_of(text)


def test_chainage_of_takes_arrays_of_text(two_alignments_file):
    ramp = vu.read_landxml(two_alignments_file)[1]
    got = ramp.chainage_of(np.array([['0+100', '0+260 R2'], ['0+800', '0+000']]))
    np.testing.assert_array_equal(got, [[100.0, 310.0], [700.0, 0.0]])
    with pytest.raises(TypeError):
        ramp.chainage_of([1.0, 2.0])


def test_a_bad_file_raises_with_its_path_line_and_element(tmp_path):
    path = tmp_path / 'bad.xml'
    path.write_text(landxml(ROAD.replace('radiusEnd="300"/>', 'radiusEnd="-300"/>')))
    with pytest.raises(ValueError) as info:
        vu.read_landxml(str(path))
    message = str(info.value)
    assert str(path) in message and 'line 8' in message and 'Spiral' in message


@pytest.mark.parametrize('content', [None, '', '<LandXML>', 'not xml at all'])
def test_missing_empty_and_broken_files_raise(tmp_path, content):
    path = tmp_path / 'broken.xml'
    if content is not None:
        path.write_text(content)
    with pytest.raises(ValueError, match='broken.xml'):
        vu.read_landxml(str(path))


BAD = '''<Alignment name="Bad" staStart="0">
<CoordGeom><Line length="1000"><Start>0 0</Start><End>1000 0</End></Line></CoordGeom>
<Profile><ProfAlign name="d"><PVI>0 100</PVI>
<ParaCurve length="240">400 108</ParaCurve><ParaCurve length="240">600 100</ParaCurve>
<PVI>1000 100</PVI></ProfAlign></Profile>
</Alignment>
'''


def test_a_bad_alignment_is_left_out_with_a_warning(tmp_path):
    path = tmp_path / 'three.xml'
    path.write_text(landxml(ROAD + BAD + EQUATIONS))
    with pytest.warns(UserWarning, match=r"alignment 'Bad' refused: line 22: ProfAlign: .*overlap"):
        roads = vu.read_landxml(str(path))
    assert [r.name for r in roads] == ['Main', 'Ramp']


def test_the_profile_is_chosen_by_name(tmp_path):
    path = tmp_path / 'two_profiles.xml'
    path.write_text(landxml(ROAD.replace(
        '</ProfAlign></Profile>',
        '</ProfAlign><ProfAlign name="alt"><PVI>1000 60</PVI><PVI>1420 81</PVI></ProfAlign>'
        '</Profile>')))
    with pytest.warns(UserWarning, match=r"several profiles \('design', 'alt'\)"):
        (first,) = vu.read_landxml(str(path))
    (alt,) = vu.read_landxml(str(path), profile='alt')
    assert first.height(1000.0) == pytest.approx(50.0, abs=1e-9)
    assert alt.height(1210.0) == pytest.approx(70.5, abs=1e-9)
    with pytest.raises(ValueError, match="its profiles are 'design', 'alt'"):
        vu.read_landxml(str(path), profile='final')
