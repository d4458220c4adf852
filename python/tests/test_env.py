"""Whole games through the environment, checked against the game record it
writes and the runner's own replay of that record."""

import json
import os
import subprocess

import numpy as np
import pytest

import curling
from conftest import draw_near_the_tee, program


def replayed_record(env, scratch, name="game.json"):
    """The game's record, saved, replayed by the runner and read back."""
    path = os.path.join(scratch, name)
    env.save_record(path)
    done = subprocess.run([program("curling-match"), "replay", path], capture_output=True,
                          text=True, timeout=60)
    assert done.returncode == 0, done.stdout + done.stderr
    assert "rest exactly where the record says" in done.stdout
    return curling.read_record(path)


def play(env, policy, seed, options=None):
    obs, info = env.reset(seed=seed, options=options)
    first, rewards, steps = obs, [], 0
    while True:
        obs, reward, terminated, truncated, info = env.step(policy(obs))
        rewards.append(reward)
        steps += 1
        assert not truncated
        if terminated:
            return first, obs, rewards, info, steps


@pytest.mark.parametrize("opponent", [draw_near_the_tee, "classic"])
def test_a_game_from_reset_to_its_end_agrees_with_its_record(scratch, opponent):
    env = curling.Env(ends=3, opponent=opponent, reward="win")
    for hammer in (True, False):
        first, last, rewards, info, steps = play(env, draw_near_the_tee, seed=21,
                                                 options={"agent_hammer": hammer})
        record = replayed_record(env, scratch, f"game-{hammer}.json")
        assert record["complete"] and record["engines"]["A"]["name"] == "agent"
        assert record["settings"]["ends"] == 3
        # Hammer and observations agree with the record.
        assert first[36] == float(hammer)
        assert record["ends"][0]["hammer"] == ("A" if hammer else "B")
        assert first[32] == (0 if not hammer else 1), "the opponent throws first without the hammer"
        last_end = record["ends"][-1]
        assert last[36] == float(last_end["hammer"] == "A")
        assert last[32] == 16 and last[33] == len(record["ends"]) - 1
        # The win reward is the record's result, given once, at the end.
        totals = record["totals"]
        assert info["points"] == (totals["A"], totals["B"])
        assert last[35] == totals["A"] - totals["B"]
        expected = {"A": 1.0, "B": -1.0, "draw": 0.0}[record["result"]]
        assert rewards[-1] == expected and not any(rewards[:-1])
        assert steps == sum(1 for e in record["ends"] for s in e["stones"] if s["engine"] == "A")
        assert len(record["ends"]) >= 3


def test_end_rewards_are_the_ends_scores_from_the_agents_side(scratch):
    env = curling.Env(ends=4, opponent=draw_near_the_tee, reward="end", action="velocity")
    rng = np.random.default_rng(2)
    policy = lambda obs: np.array([rng.normal(0, 0.05), rng.normal(-2.1, 0.05), rng.integers(2)])
    _, _, rewards, info, _ = play(env, policy, seed=5)
    record = replayed_record(env, scratch)
    scores = [e["score"] for e in record["ends"]]
    assert info["end_scores"] == scores
    assert sum(rewards) == sum(scores)
    assert [r for r in rewards if r] == [s for s in scores if s]


def test_self_play_sees_each_stone_from_the_side_that_throws_it(scratch):
    env = curling.Env(ends=2, opponent=None, reward="end")
    obs, _ = env.reset(seed=9, options={"agent_hammer": True})
    seen = []
    while True:
        seen.append(obs)
        obs, reward, terminated, _, info = env.step(draw_near_the_tee(obs))
        if terminated:
            break
    record = replayed_record(env, scratch)
    pairs = [(end, stone) for end in record["ends"] for stone in end["stones"]]
    assert len(seen) == len(pairs)
    for obs, (end, stone) in zip(seen, pairs):
        # The thrower's own stones come first in its observation.
        before = np.array(stone["before"], dtype=np.float32)
        parity = stone["shotIndex"] % 2
        assert np.array_equal(obs[:16].reshape(8, 2), before[parity::2]), stone["shot"]
        assert np.array_equal(obs[16:32].reshape(8, 2), before[1 - parity::2]), stone["shot"]
        assert obs[36] == float(end["hammer"] == stone["engine"])


def test_the_same_seed_plays_the_same_game_and_render_draws_the_house():
    def game(seed):
        env = curling.Env(ends=1, opponent=None, action="velocity")
        rng = np.random.default_rng(0)
        obs, _ = env.reset(seed=seed)
        assert "<svg" in env.render() and "<circle" in env.render()
        for _ in range(16):
            obs, *_ = env.step([rng.normal(0, 0.05), rng.normal(-2.1, 0.05), 1])
        svg = env.render()
        return json.loads(env.record())["ends"], obs, svg

    a, b, c = game(4), game(4), game(5)
    assert a[0] == b[0] and np.array_equal(a[1], b[1])
    assert a[0] != c[0]
    assert a[2].startswith("<svg") and a[2].count("<circle") > 8


def test_spaces_sample_valid_actions():
    for action in ("target", "velocity"):
        env = curling.Env(opponent=None, action=action)
        env.action_space.seed(3)
        samples = np.array([env.action_space.sample() for _ in range(200)])
        assert samples.dtype == np.float32 and samples.shape == (200, 3)
        assert set(samples[:, 2]) == {0.0, 1.0}
        assert all(env.action_space.contains(s) for s in samples)
        obs, _ = env.reset(seed=1)
        assert obs.shape == env.observation_space.shape and obs.dtype == np.float32
        assert env.observation_space.contains(obs)
    # A stone that strikes a guard and bounces back rests short of the far
    # hog line, in play, and still inside the observation's space.
    guards = [(0.667, 10.785), (2.857, 5.966), (2.232, 8.745), (3.160, 10.777), (3.533, 10.846),
              (4.029, 7.414), (4.027, 9.140), (1.688, 5.387), (2.452, 9.325), (2.533, 6.498),
              (3.881, 6.444), (0.653, 6.684)]
    state = curling.new_states(1)
    state["shot_index"] = 12
    state["stones"][0, :12] = guards
    rest = curling.simulate(state, np.array([[0.19691, -3.95304, 0]], np.float32), noise=0.0)
    stones = rest["stones"][0].reshape(-1)
    space = curling.Env().observation_space
    assert stones[25] > 11.28
    assert ((stones >= space.low[:32]) & (stones <= space.high[:32])).all()


def test_the_search_player_with_a_sample_count_plays_the_same_game_again(scratch):
    def game():
        env = curling.Env(ends=1, opponent="search", opponent_samples=300)
        play(env, draw_near_the_tee, seed=8, options={"agent_hammer": False})
        return env

    first = replayed_record(game(), scratch)
    assert first["engines"]["B"]["name"] == "search"
    assert first["ends"] == json.loads(game().record())["ends"]
