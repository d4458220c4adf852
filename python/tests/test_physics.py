"""The vectorised physics against the library's C interface, item by item."""

import numpy as np
import pytest

import curling
from curling import _core
from conftest import crowded_states, house_targets, join


def test_state_dtype_has_the_c_record_layout():
    layout = _core.record_layout()
    assert curling.STATE_DTYPE.itemsize == layout["size"] == 184
    for name, (_, offset) in curling.STATE_DTYPE.fields.items():
        assert offset == layout[name], name
    # A record written field by field reads back byte for byte as the C struct.
    states = curling.new_states(1, last_end=10)
    states["end_score"][0, 9] = -3
    states["side_to_move"] = 1
    states["stones"][0, 15] = (1.5, 2.5)
    raw = states.tobytes()
    assert np.frombuffer(raw[8:12], "<i4")[0] == 10
    assert np.frombuffer(raw[48:52], "<i4")[0] == -3
    assert raw[52] == 1
    assert tuple(np.frombuffer(raw[176:184], "<f4")) == (1.5, 2.5)


def shots_for(states):
    """A draw or a hit for each record, through the library's own inversion."""
    n = len(states)
    targets = house_targets(n)
    draws = curling.create_shot(targets)
    hits = curling.create_hit_shot(targets, 12.0)
    return np.where((np.arange(n) % 3 == 0)[:, None], hits, draws)


@pytest.mark.parametrize("noise", [0.0, 0.145])
def test_simulate_matches_the_c_interface_item_by_item(c_interface, noise):
    states = join(crowded_states(60), curling.new_states(40))
    shots = shots_for(states)
    before = states.copy()
    after = curling.simulate(states, shots, noise=noise, seed=11, threads=2)
    for field in curling.STATE_DTYPE.names:
        assert np.array_equal(states[field], before[field]), "the input must stay untouched"
    for i in range(len(states)):
        expected, _ = c_interface.simulate(states[i], shots[i], noise, _core.item_seed(11, i))
        assert after[i].tobytes() == expected, f"item {i}"


def test_seeded_batches_do_not_depend_on_threads_and_seeds_differ():
    states = crowded_states(3000)
    shots = shots_for(states)
    one = curling.simulate(states, shots, seed=5, threads=1)
    for threads in (2, 3, 7):
        assert curling.simulate(states, shots, seed=5, threads=threads).tobytes() == one.tobytes()
    other = curling.simulate(states, shots, seed=6, threads=2)
    assert other.tobytes() != one.tobytes()
    unseeded = curling.simulate(states, shots)
    assert unseeded.tobytes() != one.tobytes()


def test_frames_follow_the_c_path_and_end_where_the_stones_rest(c_interface):
    states = join(crowded_states(5), curling.new_states(5))
    shots = shots_for(states)
    frames = 64
    after, positions = curling.simulate(states, shots, noise=0.0, frames=frames)
    assert positions.shape == (10, frames, 16, 2) and positions.dtype == np.float32
    for i in range(len(states)):
        _, path = c_interface.simulate(states[i], shots[i], 0.0, frames=frames)
        written = next((k for k in range(frames) if path[k].time < 0), frames)
        for k in range(written):
            assert np.array_equal(positions[i, k], np.ctypeslib.as_array(path[k].stones)), (i, k)
        assert np.array_equal(positions[i, -1], after[i]["stones"])
    # A record the library cannot play gets its own stones in every frame.
    bad = curling.new_states(1)
    bad["shot_index"] = 40
    bad["stones"][0, 3] = (2.0, 5.0)
    _, positions = curling.simulate(bad, shots[:1], frames=4)
    assert (positions[0] == bad["stones"][0]).all()


def test_create_shot_hit_shot_and_score_match_the_c_interface(c_interface):
    targets = np.concatenate([house_targets(200), [[2.375, 30.0, 1], [0.0, 0.0, 0], [4.75, 11.0, 1]]])
    targets = targets.astype(np.float32)
    power = np.linspace(0.0, 20.0, len(targets)).astype(np.float32)
    draws = curling.create_shot(targets, threads=2)
    hits = curling.create_hit_shot(targets, power, threads=2)
    for i, target in enumerate(targets):
        assert tuple(draws[i]) == c_interface.create_shot(target), i
        assert tuple(hits[i]) == c_interface.create_shot(target, power[i]), i
    states = curling.simulate(crowded_states(300), shots_for(crowded_states(300)), seed=1)
    scores = curling.score(states, threads=2)
    assert scores.dtype == np.int32 and (scores != 0).any()
    assert list(scores) == [c_interface.score(s) for s in states]


def test_new_states_and_empty_batches():
    states = curling.new_states(3, last_end=4)
    assert (states["last_end"] == 4).all() and (states["shot_index"] == 0).all()
    assert not states["stones"].any()
    empty = curling.new_states(0)
    assert len(curling.simulate(empty, np.zeros((0, 3)))) == 0
    assert curling.score(empty).shape == (0,)
    assert curling.create_shot(np.zeros((0, 3))).shape == (0, 3)
