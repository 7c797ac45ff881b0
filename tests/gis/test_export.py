"""velmor-road export read back as a GIS or CAD user reads it: GDAL's own ogrinfo/ogr2ogr, PROJ's
cs2cs and ezdxf. Needs VELMOR_ROAD (the tool) and VELMORUTILS_EXAMPLES (the shipped designs)."""

import csv
import io
import json
import math
import os
import subprocess

import pytest

ROAD = os.environ.get("VELMOR_ROAD", "velmor-road")
EXAMPLES = os.environ.get("VELMORUTILS_EXAMPLES", "examples")
METRES = os.path.join(EXAMPLES, "highway-m.xml")
FEET = os.path.join(EXAMPLES, "highway-usft.xml")
# ETRS-TM35FIN; the example's local grid lies inside its projection's domain.
CRS = "EPSG:3067"
LAYERS = ["centreline", "offsets", "stations", "keypoints", "stakes"]


def run(*args, ok=True):
    r = subprocess.run([ROAD, *args], capture_output=True, text=True)
    if ok:
        assert r.returncode == 0, r.stderr
    return r


def export(tmp_path, fmt, name, *extra, design=METRES):
    out = str(tmp_path / name)
    run("export", design, "--format", fmt, "-o", out, "--offsets", "-3.5,0,3.5", *extra)
    return out


def table(path, layer):
    """A layer as CSV rows with X and Y, through GDAL."""
    text = subprocess.run(["ogr2ogr", "-f", "CSV", "/vsistdout/", path, layer,
                           "-lco", "GEOMETRY=AS_WKT"],
                          capture_output=True, text=True, check=True).stdout
    return list(csv.DictReader(io.StringIO(text)))


def vertices(wkt):
    inner = wkt[wkt.index("(") + 1:wkt.rindex(")")]
    return [tuple(map(float, p.split()[:2])) for p in inner.replace("(", "").split(",")]


def tool_stakes(*extra, design=METRES):
    text = run("stakeout", design, "--csv", "--offsets", "-3.5,0,3.5", *extra).stdout
    return list(csv.DictReader(io.StringIO(text)))


def assert_at_the_tools_stakes(stakes, rows, unit="m"):
    """Stakes read through GDAL stand where the tool's stake-out table puts them, same stations."""
    assert len(stakes) == len(rows)
    for row, stake in zip(rows, stakes):
        x, y = vertices(stake["WKT"])[0]
        assert abs(x - float(row[f"easting_{unit}"])) < 1e-4
        assert abs(y - float(row[f"northing_{unit}"])) < 1e-4
        assert stake["station"] == row["station"]


def test_geopackage_layers_attributes_crs_and_the_tools_stakes(tmp_path):
    out = export(tmp_path, "gpkg", "road.gpkg", "--crs", CRS)
    info = subprocess.run(["ogrinfo", "-so", out], capture_output=True, text=True).stdout
    for i, name in enumerate(LAYERS, 1):
        assert f"{i}: {name} (" in info
    assert_at_the_tools_stakes(table(out, "stakes"), tool_stakes())
    cl = table(out, "centreline")
    assert [r["kind"] for r in cl[:5]] == ["line", "spiral", "arc", "spiral", "line"]
    assert float(cl[2]["radius"]) == 400.0 and cl[2]["turn"] == "right"
    srs = subprocess.run(["ogrinfo", "-so", out, "stakes"], capture_output=True, text=True).stdout
    assert 'ID["EPSG",3067]' in srs


def test_geojson_is_wgs84_and_agrees_with_cs2cs(tmp_path):
    out = export(tmp_path, "geojson", "road.geojson", "--crs", CRS)
    doc = json.load(open(out))
    assert "crs" not in doc  # RFC 7946
    stakes = [f for f in doc["features"] if f["properties"]["layer"] == "stakes"]
    rows = tool_stakes()
    assert len(stakes) == len(rows)
    # cs2cs from the exact grid points the stakes layer holds (the GeoPackage's).
    grid = [vertices(s["WKT"])[0] for s in table(export(tmp_path, "gpkg", "g.gpkg"), "stakes")]
    text = "".join(f"{x:.6f} {y:.6f}\n" for x, y in grid)
    proj = subprocess.run(["cs2cs", "-f", "%.12f", CRS, "EPSG:4326"], input=text,
                          capture_output=True, text=True, check=True).stdout.split("\n")
    for feature, line in zip(stakes, proj):
        lat, lon = map(float, line.split()[:2])  # EPSG:4326 as declared: latitude first
        x, y = feature["geometry"]["coordinates"]
        assert abs(x - lon) < 1e-8 and abs(y - lat) < 1e-8


def test_kml_and_shapefile(tmp_path):
    kml = export(tmp_path, "kml", "road.kml", "--crs", CRS)
    keys = table(kml, "keypoints")
    assert "PI" in [k["code"] for k in keys]
    shp = export(tmp_path, "shp", "road", "--crs", "EPSG:2229", design=FEET)
    assert sorted(os.listdir(shp)) == sorted(f"{n}.{e}" for n in LAYERS
                                             for e in ("shp", "shx", "dbf", "prj", "cpg"))
    stakes = table(os.path.join(shp, "stakes.shp"), "stakes")
    assert stakes[0]["unit"] == "usft"
    # In the CRS's own unit (US survey feet), as the design gives them.
    assert_at_the_tools_stakes(stakes, tool_stakes(design=FEET), "usft")
    assert "start_sta" in table(os.path.join(shp, "centreline.shp"), "centreline")[0]
    # An earlier export's folder is replaced; a folder with anything else in it is not.
    export(tmp_path, "shp", "road", design=FEET)
    (tmp_path / "road" / "notes.txt").write_text("mine")
    r = run("export", FEET, "--format", "shp", "-o", shp, ok=False)
    assert r.returncode == 3 and "other files" in r.stderr
    assert (tmp_path / "road" / "notes.txt").read_text() == "mine"


def test_refusals_leave_the_old_file(tmp_path):
    out = tmp_path / "road.geojson"
    out.write_text("old")
    r = run("export", METRES, "--format", "geojson", "-o", str(out), ok=False)
    assert r.returncode == 2 and "--crs" in r.stderr
    r = run("export", METRES, "--format", "kml", "-o", str(out), "--crs", "EPSG:999999", ok=False)
    assert r.returncode == 3 and "EPSG:999999" in r.stderr
    r = run("export", METRES, "--format", "gpkg", "-o", str(out), "--crs", "EPSG:4326", ok=False)
    assert r.returncode == 3 and "projected" in r.stderr
    r = run("export", METRES, "--format", "geojson", "-o", str(out), "--crs", CRS,
            "--chord-error", "0", ok=False)
    assert r.returncode == 2 and "--chord-error" in r.stderr
    r = run("export", METRES, "--format", "dxf", "-o", str(out), "--chord-error", "nan", ok=False)
    assert r.returncode == 2 and "finite" in r.stderr
    assert out.read_text() == "old"
    assert os.listdir(tmp_path) == ["road.geojson"]  # no scratch left behind


@pytest.mark.parametrize("design,units", [(METRES, 6), (FEET, 21)])
def test_dxf_audits_clean_with_units_layers_and_true_arcs(tmp_path, design, units):
    ezdxf = pytest.importorskip("ezdxf")
    out = export(tmp_path, "dxf", "road.dxf", design=design)
    doc = ezdxf.readfile(out)
    auditor = doc.audit()
    assert not auditor.has_errors, [str(e) for e in auditor.errors]
    assert doc.header["$INSUNITS"] == units
    colours = {layer.dxf.name: layer.dxf.color for layer in doc.layers}
    assert all(n in colours for n in LAYERS) and len({colours[n] for n in LAYERS}) == 5
    msp = doc.modelspace()
    attrs = lambda e: dict(t.value.split("=", 1) for t in e.get_xdata("VELMOR"))
    arcs = msp.query('ARC[layer=="centreline"]')
    assert len(arcs) == 3  # the example's three circular curves
    for arc in arcs:
        a = attrs(arc)
        assert a["kind"] == "arc" and float(a["radius"]) == pytest.approx(arc.dxf.radius)
        span = (arc.dxf.end_angle - arc.dxf.start_angle) % 360
        assert math.radians(span) * arc.dxf.radius == pytest.approx(float(a["length"]), abs=1e-6)
    # Each ARC joins the spirals beside it (its ends where theirs are, within 0.1 mm).
    lines = list(msp.query('POLYLINE[layer=="centreline"]'))
    ends = [v.dxf.location for p in lines for v in (p.vertices[0], p.vertices[-1])]
    for arc in arcs:
        for p in (arc.start_point, arc.end_point):
            assert min(math.hypot(p.x - e.x, p.y - e.y) for e in ends) < 1e-4
    stakes, rows = msp.query('POINT[layer=="stakes"]'), tool_stakes(design=design)
    assert len(stakes) == len(rows)
    assert len(msp.query('TEXT[layer=="stations"]')) == len(msp.query('POINT[layer=="stations"]'))
    # GDAL reads the drawing too: one feature per element on the centreline layer.
    entities = table(out, "entities")
    assert sum(r["Layer"] == "centreline" for r in entities) == len(table(
        export(tmp_path, "gpkg", "road.gpkg", design=design), "centreline"))
    unit = "usft" if units == 21 else "m"
    assert abs(stakes[0].dxf.location.x - float(rows[0][f"easting_{unit}"])) < 1e-4
    assert attrs(stakes[0])["desc"] == "O 3.50 L " + rows[0]["station"]


def test_sections_and_catch_points_of_the_road_beyond_its_centre_line(tmp_path):
    ridge = os.path.join(EXAMPLES, "ridge-road-m.xml")
    out = export(tmp_path, "gpkg", "ridge.gpkg", "--crs", CRS, "--interval", "25",
                 "--ground", "Existing ground", design=ridge)
    sections, catches = table(out, "sections"), table(out, "catchpoints")
    assert len(sections) == 9 and len(catches) == 18
    assert [float(s["left"]) for s in sections] == pytest.approx([-6.69375] * 9, abs=1e-4)
    # The same catch points as slope-stake (the ground is folded along the centre line: a cut
    # on the left, a fill on the right), and stakes at offsets with the design's heights.
    ss = list(csv.DictReader(io.StringIO(run("slope-stake", ridge, "--ground", "Existing ground",
                                             "--interval", "25", "--csv").stdout)))
    assert [float(c["offset"]) for c in catches] == pytest.approx(
        [float(r["catch_offset_m"]) for r in ss], abs=6e-4)  # the table keeps 3 decimals
    assert [c["side"] for c in catches[:2]] == ["L", "R"]
    assert float(catches[0]["cut_fill"]) > 0 > float(catches[1]["cut_fill"])
    stakes = {(s["station"], float(s["offset"])): float(s["height"]) for s in table(out, "stakes")}
    assert stakes[("0+000.00", -3.5)] == pytest.approx(50.0 - 3.5 * 0.025, abs=1e-6)
