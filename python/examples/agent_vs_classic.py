"""A one-ply agent built on curling.simulate plays the classic player.

For every game it is to move in, the agent tries draws over the house and
in front of it and hits on each of the opponent's stones, plays each
candidate many times with the execution error, and throws the one whose
score as the stones then lie is best on average. All games' candidates go
to the physics in one batch. Twenty games through VectorEnv; prints the
win rate.

    PYTHONPATH=build/python /usr/bin/python3 python/examples/agent_vs_classic.py
"""

import argparse
import time

import numpy as np

import curling

SAMPLES = 12  # noisy plays per candidate

# Draw targets: the house on a grid, and guards in front of it; both curls.
_gx, _gy = np.meshgrid(np.linspace(1.6, 3.15, 6), np.linspace(3.6, 6.2, 6))
_guards = np.stack(np.meshgrid(np.linspace(1.9, 2.85, 3), [7.2, 8.2]), -1).reshape(-1, 2)
DRAWS = np.concatenate([np.stack([_gx.ravel(), _gy.ravel()], -1), _guards])
HIT_POWERS = (4.0, 14.0)


def state_of(obs, last_end):
    """The game record the agent is to move in, from its observation: its own
    stones have the parity of the stone it throws, and it moves as side 0,
    so that scores come out from its side."""
    state = curling.new_states(1, last_end=last_end)
    shot = int(obs[32])
    own, other = shot % 2, 1 - shot % 2
    state["shot_index"] = shot
    state["stones"][0, own::2] = obs[:16].reshape(8, 2)
    state["stones"][0, other::2] = obs[16:32].reshape(8, 2)
    return state[0]


def candidates(obs):
    """Launch vectors (vx, vy, curl) worth trying in this position."""
    targets = [np.column_stack([DRAWS, np.full(len(DRAWS), curl)]) for curl in (0, 1)]
    shots = [curling.create_shot(np.concatenate(targets))]
    theirs = obs[16:32].reshape(8, 2)
    theirs = theirs[(theirs != 0).any(axis=1)]
    for power in HIT_POWERS:
        for curl in (0, 1):
            if len(theirs):
                aims = np.column_stack([theirs, np.full(len(theirs), curl)])
                shots.append(curling.create_hit_shot(aims, power))
    return np.concatenate(shots)


def choose(observations, ends, seed):
    """The best candidate for every observation, from one batch of plays."""
    states, shots, ranges, offset = [], [], [], 0
    for obs in observations:
        c = candidates(obs)
        ranges.append((offset, len(c)))
        offset += len(c)
        shots.append(c)
        states.append(np.repeat(state_of(obs, ends)[None], len(c) * SAMPLES))
    all_shots = np.concatenate(shots)
    batch = curling.new_states(sum(len(s) for s in states))
    batch[:] = np.concatenate(states)
    played = curling.simulate(batch, np.repeat(all_shots, SAMPLES, axis=0), seed=seed)
    value = curling.score(played).reshape(-1, SAMPLES).mean(axis=1)
    chosen = []
    for start, count in ranges:
        chosen.append(all_shots[start + int(np.argmax(value[start:start + count]))])
    return np.array(chosen, dtype=np.float32)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--games", type=int, default=20)
    parser.add_argument("--ends", type=int, default=8)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    start = time.perf_counter()
    venv = curling.VectorEnv(args.games, ends=args.ends, opponent="classic", action="velocity")
    obs, _ = venv.reset(seed=args.seed)
    result = np.full(args.games, np.nan)
    step = 0
    while np.isnan(result).any():
        actions = choose(obs, args.ends, seed=args.seed * 100000 + step)
        obs, reward, terminated, _, _ = venv.step(actions)
        first_end = terminated & np.isnan(result)
        result[first_end] = reward[first_end]
        step += 1
    wins, draws = int((result == 1).sum()), int((result == 0).sum())
    print(f"agent against the classic player: {wins} wins, {draws} draws, "
          f"{args.games - wins - draws} losses in {args.games} games of {args.ends} ends")
    print(f"win rate: {(wins + draws / 2) / args.games:.1%}")
    print(f"time: {time.perf_counter() - start:.1f} s")


if __name__ == "__main__":
    main()
