"""Alignment.to_layers: the layers velmor-road export writes, as GeoJSON-like dicts, and the
check layer of to_layers(shots=...) with check()'s deviations and verdicts."""
import csv
import io
import math
import os
import shutil
import subprocess

import numpy as np
import pytest

import velmorutils

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


@pytest.fixture(scope="module")
def feet_road():
    (road,) = velmorutils.read_landxml(os.path.join(EXAMPLES, "highway-usft.xml"))
    return road


def test_stakes_are_the_stakeout_rows(feet_road):
    layers = feet_road.to_layers(interval=50, offsets=[-12, 0, 12], start_number=1000)
    assert list(layers) == ["centreline", "offsets", "stations", "keypoints", "stakes"]
    rows = feet_road.stakeout(50, offsets=[-12, 0, 12])
    stakes = layers["stakes"]["features"]
    assert len(stakes) == len(rows)
    xy = np.array([f["geometry"]["coordinates"] for f in stakes])
    assert np.abs(xy[:, 0] - rows["easting"]).max() < 1e-9
    assert np.abs(xy[:, 1] - rows["northing"]).max() < 1e-9
    first = stakes[0]["properties"]
    assert first["number"] == 1000 and first["unit"] == "usft" and first["offset"] == -12
    assert first["desc"] == "O 12.00 L " + rows["station"][0]
    arcs = [f for f in layers["centreline"]["features"] if f["properties"]["kind"] == "arc"]
    assert arcs and all(f["geometry"]["type"] == "LineString" for f in arcs)


def test_chords_follow_the_unit_and_the_error(feet_road):
    # 0.01 ft is 3 mm: a coarser drawing than the 1 mm default, and still on the road.
    coarse = feet_road.to_layers(chord_error=0.01)["centreline"]["features"]
    fine = feet_road.to_layers()["centreline"]["features"]
    n = lambda fs: sum(len(f["geometry"]["coordinates"]) for f in fs)
    assert n(fine) > 1.5 * n(coarse)
    xy = np.array([p for f in coarse for p in f["geometry"]["coordinates"]])
    feet = feet_road.station_offset(xy[:, 1], xy[:, 0])
    assert np.abs(feet["offset"]).max() < 1e-6
    with pytest.raises(ValueError, match="chord error"):
        feet_road.to_layers(chord_error=0)


@pytest.mark.skipif(shutil.which("ogr2ogr") is None or "VELMOR_ROAD" not in os.environ,
                    reason="needs the road tool and GDAL's ogr2ogr")
def test_same_features_as_the_exported_file(tmp_path):
    design = os.path.join(EXAMPLES, "highway-m.xml")
    out = str(tmp_path / "road.gpkg")
    subprocess.run([os.environ["VELMOR_ROAD"], "export", design, "--format", "gpkg", "-o", out,
                    "--interval", "20", "--offsets", "-3.5,3.5"], check=True, capture_output=True)
    (road,) = velmorutils.read_landxml(design)
    layers = road.to_layers(interval=20, offsets=[-3.5, 3.5])
    for name, collection in layers.items():
        text = subprocess.run(["ogr2ogr", "-f", "CSV", "/vsistdout/", out, name],
                              capture_output=True, text=True, check=True).stdout
        rows = list(csv.DictReader(io.StringIO(text)))
        assert len(rows) == len(collection["features"]), name
        for row, f in zip(rows, collection["features"]):
            assert set(row) == set(f["properties"]), name
            for k, v in f["properties"].items():
                if isinstance(v, float):
                    assert math.isclose(float(row[k]), v, abs_tol=1e-9), (name, k)
                elif v is not None:
                    assert row[k] == str(v), (name, k)


def test_check_layer_is_check_shot_for_shot(feet_road):
    rows = feet_road.stakeout(100, offsets=[-12, 0, 12])
    n = len(rows)
    rng = np.random.default_rng(7)
    shots = {"northing": rows["northing"] + rng.normal(0, 0.03, n),
             "easting": rows["easting"] + rng.normal(0, 0.03, n),
             "height": rows["height"] + rng.normal(0, 0.02, n),
             "names": [str(i) for i in range(1, n + 1)]}
    shots["northing"][0] += 1e5  # far beyond the road: a bad shot, left out of the layer
    expected = feet_road.check(shots["northing"], shots["easting"], shots["height"],
                               names=shots["names"], tol_h=0.05, tol_v=0.03, offsets=[-12, 0, 12])
    ok = expected["shots"][expected["shots"]["ok"]]
    layer = feet_road.to_layers(interval=100, offsets=[-12, 0, 12], shots=shots, tol_h=0.05,
                                tol_v=0.03)["check"]["features"]
    assert len(layer) == len(ok) == n - 1
    assert {r for r in ok["h_result"]} == {"pass", "fail"}
    for f, r in zip(layer, ok):
        p = f["properties"]
        assert (p["point"], p["station"], p["h_result"], p["v_result"]) == (
            r["point"], r["station"], r["h_result"], r["v_result"])
        for key in ("chainage", "offset", "h_dev", "v_dev"):
            assert math.isclose(p[key], r[key], abs_tol=1e-9), key
        i = int(p["point"]) - 1
        e, north = f["geometry"]["coordinates"]
        assert math.hypot(e - shots["easting"][i], north - shots["northing"][i]) < 1e-6
