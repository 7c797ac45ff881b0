"""velmorutils.dask on a cluster of two worker processes gives the single call's answers."""
import copy
import math

import numpy as np
import pytest

import velmorutils as vu
from conftest import same_bits, weaving_road

da = pytest.importorskip('dask.array')
dd = pytest.importorskip('dask.dataframe')
distributed = pytest.importorskip('distributed')
pd = pytest.importorskip('pandas')
import velmorutils.dask as vdask  # noqa: E402  (only where Dask is)


@pytest.fixture(scope='module')
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster:
        with distributed.Client(cluster) as c:
            yield c


@pytest.fixture(scope='module')
def road():
    return weaving_road(6, (1320, 104))


def points(road, count=20000):
    rng = np.random.default_rng(11)
    n, e = road.position(rng.uniform(-40, road.end_chainage + 40, count),
                         rng.uniform(-25, 25, count))
    n[::101] = math.nan
    return n, e


def test_arrays_on_two_worker_processes_match_the_single_call(client, road):
    n, e = points(road)
    feet = vdask.station_offset(road, da.from_array(n, chunks=3000), da.from_array(e, chunks=3000))
    # The alignment is one key of the graph, whatever the number of blocks.
    graph = dict(feet.__dask_graph__())
    assert sum(isinstance(v, vu.Alignment) for v in graph.values()) == 1
    assert feet.numblocks == (7,)
    got = feet.compute()
    assert same_bits(got, road.station_offset(n, e))
    # The same alignment (or a copy of it) in another call of the same graph is the same key.
    both = feet['offset'] + vdask.station_offset(copy.deepcopy(road), feet['chainage'],
                                                 feet['offset'])['offset']
    assert sum(isinstance(v, vu.Alignment) for v in dict(both.__dask_graph__()).values()) == 1
    assert len(client.scheduler_info()['workers']) == 2


def test_a_frame_gains_station_offset_and_status_columns(client, road):
    n, e = points(road)
    frame = dd.from_pandas(pd.DataFrame({'N': n, 'E': e, 'id': np.arange(n.size)}),
                           npartitions=5)
    out = vdask.add_station_offset(frame, road, 'N', 'E').compute()
    want = road.station_offset(n, e)
    assert list(out.columns) == ['N', 'E', 'id', 'station', 'offset', 'status']
    assert same_bits(out['station'].to_numpy(), want['chainage'])
    assert same_bits(out['offset'].to_numpy(), want['offset'])
    assert isinstance(out['status'].dtype, pd.CategoricalDtype)
    np.testing.assert_array_equal(out['status'].astype(str), vu.status_names(want['status']))


def test_bad_arguments_are_named(road):
    with pytest.raises(ValueError, match='shape'):
        vdask.station_offset(road, da.zeros(4, chunks=2), da.zeros(5, chunks=2))
    frame = dd.from_pandas(pd.DataFrame({'N': [1.0], 'E': [2.0]}), npartitions=1)
    with pytest.raises(KeyError, match="'north'"):
        vdask.add_station_offset(frame, road, 'north', 'E')
    with pytest.raises(TypeError, match='Alignment'):
        vdask.station_offset('road.xml', da.zeros(4, chunks=2), da.zeros(4, chunks=2))
