"""The road beyond the centre line: design heights from cross sections, slope stakes against a
ground TIN from another file, and TIN surfaces on their own."""
import pathlib

import numpy as np
import pytest

import velmorutils as vu
from conftest import in_threads

DATA = pathlib.Path(__file__).resolve().parents[2] / 'tests' / 'landxml' / 'data'
FEET = DATA / 'sections_feet.xml'
GROUND = DATA / 'ground_metres.xml'
RELATIVE = DATA / 'sections_relative.xml'
USFT = 1200 / 3937


def test_feet_sections_give_each_offset_its_own_height():
    road, = vu.read_landxml(FEET)
    assert road.unit == 'usft'
    # 0+00: the edge of travelled way 12 ft right is 0.24 ft below the crown, the top of curb
    # (a vertical face at 12 ft left) 0.42 ft above it.
    h = road.design_height(0.0, [0.0, 11.9999, -12.0, 15.0])
    assert h == pytest.approx([77.906, 77.666, 78.326, 78.326 + 0.11 * 2.5 / 5.5], abs=1e-3)
    assert isinstance(road.design_height(100, 0), float)
    # Beyond the outermost section points and the last section: no design height.
    assert np.isnan(road.design_height([0, 250], [40, 0])).all()
    chainage, offset = np.meshgrid(np.linspace(0, 200, 7), np.linspace(-12, 12, 5))
    assert road.design_height(chainage, offset).shape == (5, 7)
    assert any('ExistingGround' in n for n in road.corridor_notes)


def test_slope_stakes_against_a_metre_ground_of_another_file():
    road, = vu.read_landxml(FEET, ground_file=GROUND)
    r = road.slope_stake([0, 100, 200], side='both', search_width=50, stake_distance=3)
    assert list(r['side']) == ['left', 'right'] * 3
    assert r['caught'].all()
    # The file's own daylight lies 25.59 ft out on a 3:1 fill 2.53 ft below the hinge.
    assert np.abs(r['catch_offset']) == pytest.approx([25.59] * 6, abs=1e-3)
    assert r['cut_fill'] == pytest.approx([-2.53] * 6, abs=1e-3)
    assert np.abs(r['stake_offset']) == pytest.approx(np.abs(r['catch_offset']) + 3)
    # Too short a search: a row that says so, no numbers.
    short = road.slope_stake(100, side='right', search_width=5)
    assert not short['caught'][0] and np.isnan(short['catch_offset'][0])
    with pytest.raises(ValueError, match='side must be'):
        road.slope_stake(100, side='up')


def test_relative_heights_decided_from_the_data_and_overruled():
    road, = vu.read_landxml(RELATIVE)
    assert any('design heights relative' in n for n in road.corridor_notes)
    # A closed pavement course, the left shoulder written with positive offsets.
    assert road.design_height(10, [0, 2, 3.5, -4, 4]) == pytest.approx(
        [100.1, 100.06, 100.03, 100.005, 100.01], abs=1e-9)
    absolute, = vu.read_landxml(RELATIVE, section_heights='absolute')
    assert absolute.design_height(10, 2) == pytest.approx(-0.04)
    pavement, = vu.read_landxml(RELATIVE, section_surface='Pavement', ground_section='EG')
    assert np.isnan(pavement.design_height(10, 4))
    with pytest.raises(ValueError, match="no section surface named 'Base'.*'EG'"):
        vu.read_landxml(RELATIVE, section_surface='Base')
    with pytest.raises(ValueError, match='section_heights must be'):
        vu.read_landxml(RELATIVE, section_heights='sometimes')
    with pytest.raises(TypeError, match='unexpected keyword'):
        vu.read_landxml(RELATIVE, grund='EG')


def test_read_surface_heights_holes_and_units():
    eg = vu.read_surface(GROUND, 'EG')
    assert eg.unit == 'm' and eg.triangle_count == 142
    north = np.array([1100.0, 990.0, 990.0, 2000.0]) * USFT
    east = np.array([5003.0, 4945.0, 4965.0, 5000.0]) * USFT
    h = eg.height(north, east)
    assert h[0] == pytest.approx(76.906 * USFT, abs=1e-4)
    assert np.isnan(h[1]) and not np.isnan(h[2]) and np.isnan(h[3])  # hole, ground, outside
    feet = vu.read_surface(GROUND, unit='usft')
    assert feet.height(1100.0, 5003.0) == pytest.approx(76.906, abs=1e-3)
    with pytest.raises(ValueError, match="surfaces are 'EG'"):
        vu.read_surface(GROUND, 'Existing')


def test_faults_are_value_errors_with_file_and_line(tmp_path):
    bad = tmp_path / 'bad.xml'
    text = RELATIVE.read_text().replace('<CrossSect sta="20">', '<CrossSect sta="50">', 1)
    bad.write_text(text)
    with pytest.raises(ValueError,
                       match=r"bad\.xml: alignment 'Link' refused: line 21: CrossSect: attribute "
                             r"'sta' 40"):
        vu.read_landxml(bad)
    holes = tmp_path / 'ground.xml'
    holes.write_text(GROUND.read_text().replace('<F b="0">', '<F b="0">1 2 ', 1))
    with pytest.raises(ValueError, match=r'ground\.xml: line \d+: F: expected three point ids'):
        vu.read_surface(holes)
    with pytest.raises(ValueError, match=r"sections_feet\.xml: alignment 'Main' refused: the "
                                         'file holds no TIN surface'):
        vu.read_landxml(FEET, ground='EG')
    plain = tmp_path / 'plain.xml'
    text = RELATIVE.read_text()
    plain.write_text(text[:text.index('<CrossSects>')] + text[text.index('</CrossSects>') + 13:])
    centre_line, = vu.read_landxml(plain)
    assert centre_line.corridor_notes == []
    with pytest.raises(ValueError, match='no cross-section model'):
        centre_line.design_height(10, 0)


def test_design_heights_from_threads_match_one_thread():
    road, = vu.read_landxml(FEET)
    rng = np.random.default_rng(5)
    chainage, offset = rng.uniform(0, 200, 20000), rng.uniform(-25, 25, 20000)
    expected = road.design_height(chainage, offset)
    in_threads(lambda k: np.testing.assert_array_equal(road.design_height(chainage, offset),
                                                       expected), 4)


def test_a_pickled_road_reads_its_sections_and_ground_again(tmp_path):
    import pickle
    import shutil
    design, ground = tmp_path / 'design.xml', tmp_path / 'ground.xml'
    shutil.copy(FEET, design)
    shutil.copy(GROUND, ground)
    road, = vu.read_landxml(design, ground_file=ground)
    copy = pickle.loads(pickle.dumps(road))
    ch, off = np.linspace(0, 200, 41), np.linspace(-14, 14, 41)
    assert np.array_equal(copy.design_height(ch, off), road.design_height(ch, off),
                          equal_nan=True)
    assert np.array_equal(copy.slope_stake(ch, side='both')['catch_offset'],
                          road.slope_stake(ch, side='both')['catch_offset'], equal_nan=True)
    # A ground file changed since: the copy would answer otherwise, so it is refused.
    ground.write_text(ground.read_text().replace('</LandXML>', '<!-- edited --></LandXML>'))
    with pytest.raises(ValueError, match='changed or are gone'):
        pickle.loads(pickle.dumps(road))
