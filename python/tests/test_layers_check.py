"""Alignment.to_layers(shots=...): the check layer holds check()'s deviations and verdicts."""
import math
import os

import numpy as np

import velmorutils

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


def test_check_layer_is_check_shot_for_shot():
    (road,) = velmorutils.read_landxml(os.path.join(EXAMPLES, "highway-usft.xml"))
    rows = road.stakeout(100, offsets=[-12, 0, 12])
    n = len(rows)
    rng = np.random.default_rng(7)
    shots = {"northing": rows["northing"] + rng.normal(0, 0.03, n),
             "easting": rows["easting"] + rng.normal(0, 0.03, n),
             "height": rows["height"] + rng.normal(0, 0.02, n),
             "names": [str(i) for i in range(1, n + 1)]}
    shots["northing"][0] += 1e5  # far beyond the road: a bad shot, left out of the layer
    expected = road.check(shots["northing"], shots["easting"], shots["height"],
                          names=shots["names"], tol_h=0.05, tol_v=0.03, offsets=[-12, 0, 12])
    ok = expected["shots"][expected["shots"]["ok"]]
    layer = road.to_layers(interval=100, offsets=[-12, 0, 12], shots=shots, tol_h=0.05,
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
