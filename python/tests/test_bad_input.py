"""Bad input raises an exception that names the argument, and nothing is
written outside the arrays."""

import numpy as np
import pytest

import curling


@pytest.fixture
def batch():
    states = curling.new_states(4)
    return states, curling.create_shot([[2.375, 4.88, 0]] * 4)


@pytest.mark.parametrize("make, error, name", [
    (lambda s, v: (np.zeros(4, [("x", "<f8")]), v), TypeError, "states"),
    (lambda s, v: (s.tolist(), v), TypeError, "states"),
    (lambda s, v: (s.reshape(2, 2), v), ValueError, "states"),
    (lambda s, v: (s, v[:, :2]), ValueError, "shots"),
    (lambda s, v: (s, v[:3]), ValueError, "shots"),
    (lambda s, v: (s, v.astype(str)), TypeError, "shots"),
    (lambda s, v: (s, np.where(np.eye(4, 3, 1, dtype=bool), np.nan, v)), ValueError, "shots"),
    (lambda s, v: (s, np.where(np.eye(4, 3, 0, dtype=bool), np.inf, v)), ValueError, "shots"),
    (lambda s, v: (s, np.concatenate([v[:, :2], np.full((4, 1), 2.0)], axis=1)), ValueError, "curl"),
    (lambda s, v: (s, np.concatenate([v[:, :2], np.full((4, 1), 0.5)], axis=1)), ValueError, "curl"),
])
def test_simulate_refuses_bad_arrays(batch, make, error, name):
    states, shots = make(*batch)
    with pytest.raises(error, match=name):
        curling.simulate(states, shots)


@pytest.mark.parametrize("kwargs, error, name", [
    ({"noise": -0.1}, ValueError, "noise"), ({"noise": float("nan")}, ValueError, "noise"),
    ({"noise": "a"}, TypeError, "noise"), ({"seed": -1}, ValueError, "seed"),
    ({"seed": 2**64}, ValueError, "seed"), ({"seed": 1.5}, TypeError, "seed"),
    ({"threads": -1}, ValueError, "threads"), ({"frames": -2}, ValueError, "frames"),
    ({"frames": 2.0}, TypeError, "frames"),
])
def test_simulate_refuses_bad_options(batch, kwargs, error, name):
    with pytest.raises(error, match=name):
        curling.simulate(*batch, **kwargs)


@pytest.mark.parametrize("call, error, name", [
    (lambda: curling.new_states(-1), ValueError, "n"),
    (lambda: curling.new_states(2, last_end=0), ValueError, "last_end"),
    (lambda: curling.create_shot([[1.0, 2.0]]), ValueError, "targets"),
    (lambda: curling.create_shot([[1.0, 2.0, 3.0]]), ValueError, "curl"),
    (lambda: curling.create_hit_shot([[1.0, 2.0, 0.0]], -1.0), ValueError, "power"),
    (lambda: curling.create_hit_shot([[1.0, 2.0, 0.0]], [1.0, 2.0]), ValueError, "power"),
    (lambda: curling.create_hit_shot([[1.0, 2.0, 0.0]], [np.nan]), ValueError, "power"),
    (lambda: curling.score(np.zeros(3)), TypeError, "states"),
])
def test_other_calls_refuse_bad_input(call, error, name):
    with pytest.raises(error, match=name):
        call()


def test_strange_records_are_played_without_harm():
    states = curling.new_states(4)
    states["shot_index"] = [-5, 16, 2**31 - 1, 3]
    states["end_index"] = [0, 2**31 - 1, -7, 12]
    states["stones"][3] = np.nan
    after = curling.simulate(states, curling.create_shot([[2.4, 4.9, 1]] * 4), frames=3)[0]
    assert list(after["shot_index"][:2]) == [-4, 17]
    assert curling.score(after).shape == (4,)


@pytest.mark.parametrize("kwargs, error, name", [
    ({"ends": 0}, ValueError, "ends"), ({"ends": 11}, ValueError, "ends"),
    ({"opponent": "nobody"}, ValueError, "opponent"), ({"reward": "lots"}, ValueError, "reward"),
    ({"action": "push"}, ValueError, "action"), ({"noise": -1}, ValueError, "noise"),
    ({"opponent_samples": 10}, ValueError, "opponent_samples"),
])
def test_environments_refuse_bad_settings(kwargs, error, name):
    with pytest.raises(error, match=name):
        curling.Env(**kwargs)
    with pytest.raises(error, match=name):
        curling.VectorEnv(2, **kwargs)


def test_environments_refuse_bad_actions_and_calls_after_close():
    env = curling.Env(opponent=None)
    with pytest.raises(ValueError, match="reset"):
        env.step([2.375, 4.88, 0])
    env.reset(seed=1)
    for action, error in [([1.0, 2.0], ValueError), ([1.0, np.nan, 0], ValueError),
                          ([1.0, 5.0, 2], ValueError), (["a", "b", "c"], TypeError),
                          (np.zeros((2, 3)), ValueError)]:
        with pytest.raises(error, match="action"):
            env.step(action)
    with pytest.raises(ValueError, match="options"):
        env.reset(options={"hammer": 1})
    env.close()
    for call in (env.reset, lambda: env.step([2.375, 4.88, 0]), env.render, env.record):
        with pytest.raises(ValueError, match="closed"):
            call()
    venv = curling.VectorEnv(3, opponent=None)
    venv.reset(seed=1)
    with pytest.raises(ValueError, match="actions"):
        venv.step(np.zeros((2, 3)))
    with pytest.raises(ValueError, match="seed"):
        venv.reset(seed=[1, 2])
    venv.close()
    with pytest.raises(ValueError, match="closed"):
        venv.step(np.zeros((3, 3)))


def test_a_callable_opponent_with_a_bad_action_is_named():
    env = curling.Env(opponent=lambda obs: [1.0, 5.0, 7.0], action="target")
    with pytest.raises(ValueError, match="opponent"):
        env.reset(seed=3, options={"agent_hammer": False})
        env.step([2.375, 4.88, 0])
