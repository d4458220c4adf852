"""The vector environment against n single ones: with self-play or a
callable opponent every game is reproducible, so each of its games must be
the single environment's game with the same seed."""

import numpy as np
import pytest

import curling
from conftest import draw_near_the_tee


def agent_actions(step, n):
    """Actions that differ by game and step, the same for both sides."""
    i = np.arange(n)
    return np.stack([1.7 + 0.13 * ((i + step) % 10), 3.9 + 0.17 * ((i * 3 + step) % 9),
                     (i + step) % 2], axis=-1).astype(np.float32)


@pytest.mark.parametrize("kwargs", [
    dict(opponent=None, reward="end", ends=1),
    dict(opponent=draw_near_the_tee, reward="win", ends=2),
])
def test_vector_games_are_the_single_games_with_the_same_seeds(kwargs):
    n, steps, seed = 5, 70, 100
    venv = curling.VectorEnv(n, threads=2, **kwargs)
    envs = [curling.Env(**kwargs) for _ in range(n)]
    obs, _ = venv.reset(seed=seed)
    singles = [env.reset(seed=seed + i)[0] for i, env in enumerate(envs)]
    assert np.array_equal(obs, np.array(singles))
    autoreset = np.zeros(n, dtype=bool)
    episodes = 0
    for step in range(steps):
        actions = agent_actions(step, n)
        obs, reward, terminated, truncated, _ = venv.step(actions)
        assert not truncated.any()
        for i, env in enumerate(envs):
            if autoreset[i]:
                expected = (env.reset()[0], 0.0, False)
            else:
                o, r, t, _, _ = env.step(actions[i])
                expected = (o, r, t)
            assert np.array_equal(obs[i], expected[0]), (step, i)
            assert reward[i] == expected[1] and terminated[i] == expected[2], (step, i)
        episodes += terminated.sum()
        autoreset = terminated
    assert episodes >= n, "every game must have ended and restarted at least once"
    assert venv.record(0) == envs[0].record()


def test_vector_spaces_and_a_random_run_against_the_classic_player():
    venv = curling.VectorEnv(4, ends=1, opponent="classic")
    assert venv.action_space.shape == (4, 3) and venv.observation_space.shape == (4, 37)
    obs, _ = venv.reset(seed=1, options={"agent_hammer": True})
    assert (obs[:, 36] == 1).all() and (obs[:, 32] == 1).all()
    ended = np.zeros(4, dtype=bool)
    for _ in range(8):
        obs, reward, terminated, _, _ = venv.step(venv.action_space.sample())
        ended |= terminated
    assert ended.all() and set(np.unique(reward)) <= {-1.0, 0.0, 1.0}
    assert venv.observation_space.contains(obs)
