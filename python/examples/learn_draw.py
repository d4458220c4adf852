"""The cross-entropy method learns to draw to the button from scratch.

Launch vectors only (action="velocity"): no help from the library's draw
inversion. Each iteration throws the first stone of 256 fresh games, one
candidate (vx, vy) each, drawn from a Gaussian; the quarter that came to
rest closest to the tee makes the next Gaussian. Prints the progress and
the final mean distance to the tee over 2,000 throws of the learnt shot.

    PYTHONPATH=build/python /usr/bin/python3 python/examples/learn_draw.py
"""

import argparse
import time

import numpy as np

import curling

TEE = np.array([2.375, 4.88], dtype=np.float32)
# Where a stone out of play lies (0, 0): its distance to the tee is what it
# scores, so that every stone in play beats every stone out of it.


def distances(venv, actions, seed):
    venv.reset(seed=seed)
    obs, *_ = venv.step(actions)
    # After the first stone the other side is to move: the stone thrown is
    # the first of "the other side's" stones in its observation.
    return np.linalg.norm(obs[:, 16:18] - TEE, axis=1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--iterations", type=int, default=15)
    parser.add_argument("--population", type=int, default=256)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    start = time.perf_counter()
    venv = curling.VectorEnv(args.population, opponent=None, action="velocity")
    space = venv.single_action_space
    rng = np.random.default_rng(args.seed)
    # From scratch: the middle of the action space, as wide as the space.
    mean = (space.low[:2] + space.high[:2]) / 2
    std = (space.high[:2] - space.low[:2]) / 2
    elite = args.population // 4
    for iteration in range(args.iterations):
        candidates = rng.normal(mean, std, (args.population, 2))
        candidates = np.clip(candidates, space.low[:2], space.high[:2])
        actions = np.concatenate([candidates, np.zeros((args.population, 1))], axis=1)
        d = distances(venv, actions, seed=args.seed * 1000 + iteration)
        best = candidates[np.argsort(d)[:elite]]
        mean, std = best.mean(axis=0), best.std(axis=0) + 1e-3
        print(f"iteration {iteration + 1:2d}: median distance {np.median(d):6.3f} m, "
              f"in play {np.mean(d < 4):4.0%}, mean shot ({mean[0]:+.4f}, {mean[1]:+.4f}) m/s")

    trials = 2000
    check = curling.VectorEnv(trials, opponent=None, action="velocity")
    final = np.tile(np.array([mean[0], mean[1], 0.0], dtype=np.float32), (trials, 1))
    d = distances(check, final, seed=args.seed * 1000 + 999)
    print(f"final mean distance to the tee over {trials} throws: {d.mean():.3f} m "
          f"(execution error alone gives about {0.145 * np.sqrt(np.pi / 2):.3f} m)")
    print(f"time: {time.perf_counter() - start:.2f} s")


if __name__ == "__main__":
    main()
