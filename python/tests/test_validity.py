"""One set of validity rules: the builder refuses what the LandXML reader refuses, in its words."""
import math
import re

import pytest

import velmorutils as vu
from conftest import landxml

LINE = '<CoordGeom><Line length="500"><Start>0 0</Start><End>500 0</End></Line></CoordGeom>\n'


def reader_message(tmp_path, body):
    path = tmp_path / 'bad.xml'
    path.write_text(landxml('<Alignment name="A" staStart="0">\n' + body + '</Alignment>\n'))
    with pytest.raises(ValueError) as e:
        vu.read_landxml(str(path))
    # "<path>: line N: Element: what", the VIPs named with their lines.
    return re.sub(r' at line \d+', '', str(e.value).split(': ', 3)[-1])


def builder_message(step):
    with pytest.raises(ValueError) as e:
        step(vu.AlignmentBuilder(0, 0, 0, 0))
    return str(e.value).split(': ', 1)[1]  # after "vip: ", "spiral: ", "build: "


def profile(*vips):
    rows = ''.join(f'<{kind}{attrs}>{c} {h}</{kind}>\n' for kind, attrs, c, h in vips)
    return LINE + '<Profile><ProfAlign name="p">\n' + rows + '</ProfAlign></Profile>\n'


@pytest.mark.parametrize('body, step', [
    # Parabolas of 100 m and 150 m at VIPs 100 m apart overlap by 25 m (the old builder answered
    # height(200) = 0 and a grade of 34.1 % here).
    (profile(('PVI', '', 0, 100), ('ParaCurve', ' length="100"', 100, 103),
             ('ParaCurve', ' length="150"', 200, 100), ('PVI', '', 400, 100)),
     lambda b: b.line(500).vip(0, 100).vip(100, 103, 'parabola', 100).vip(200, 100, 'parabola', 150)),
    # A circle running past the last VIP (the old builder gave 99.42 where the VIP is at 99).
    (profile(('PVI', '', 0, 100), ('CircCurve', ' radius="2000"', 90, 102), ('PVI', '', 99, 99)),
     lambda b: b.line(500).vip(0, 100).vip(90, 102, 'circle', radius=2000).vip(99, 99).build()),
    (LINE.replace('</CoordGeom>', '<Spiral rot="cw" length="60" radiusStart="300" '
                  'radiusEnd="300"/></CoordGeom>'),
     lambda b: b.line(500).spiral(60, 300, 300, True)),
    (LINE.replace('</CoordGeom>', '<Spiral rot="cw" length="60" radiusStart="INF" '
                  'radiusEnd="INF"/></CoordGeom>'),
     lambda b: b.line(500).spiral(60, math.inf, math.inf, True)),
])
def test_the_builder_refuses_what_the_reader_refuses_in_the_same_words(tmp_path, body, step):
    assert builder_message(step) == reader_message(tmp_path, body)


def test_the_builder_names_each_fault():
    assert builder_message(lambda b: b.vip(0, math.inf)) == \
        "VIP 1: height is not a finite number: 'inf'"
    # The exit spiral of a bare vertex, as the entry spiral.
    for spirals in ((0, 40), (40, 0)):
        assert builder_message(lambda b: b.ip(100, 0, 0, *spirals)) == \
            'a spiral needs a radius to lead into (the radius is 0: a bare vertex)'
    assert builder_message(lambda b: b.line(100).equation(150, 1000).build()) == \
        "station equation 1: staInternal lies beyond the alignment's end"
    with pytest.raises(ValueError, match="start: chainage is not a finite number: 'nan'"):
        vu.AlignmentBuilder(0, 0, math.nan, 0)


def test_chainage_of_refuses_stations_off_the_road():
    a = vu.AlignmentBuilder(0, 0, 2103, 0, unit='ft').line(2797).build()
    assert (a.chainage_of('21+03'), a.chainage_of('49+00.00')) == (2103.0, 4900.0)
    for text, where in (('99+00', 'after'), ('21+02.99', 'before'), ('49+00.01', 'after')):
        with pytest.raises(ValueError, match=f"lies {where} the alignment's"):
            a.chainage_of(text)
    with pytest.raises(ValueError, match='region R2 does not exist'):
        a.chainage_of('30+00 R2')
    # Equations from the builder: 0+300 is 0+250 ahead, so 0+250 occurs twice.
    r = vu.AlignmentBuilder(0, 0, 0, 0).line(1000).equation(300, 250).build()
    assert r.chainage_of('0+260 R2') == pytest.approx(310.0)
    assert r.chainage_of('0+260 R1') == pytest.approx(260.0)
    with pytest.raises(ValueError, match="after the alignment's end"):
        r.chainage_of('0+951 R2')
