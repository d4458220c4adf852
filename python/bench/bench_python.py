"""The package's figures: simulate against the same batch through the C
interface (one run times both), its speed-up on two threads, VectorEnv's
steps per second, and resident memory over many calls.

    PYTHONPATH=build/python /usr/bin/python3 python/bench/bench_python.py [--quick]
"""

import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np

import curling

BIN = os.environ.get("CURLING_BIN", os.path.join(os.path.dirname(__file__), "..", "..", "build",
                                                 "bin"))
TEE = (2.375, 4.88)


def draw_batch(n):
    return curling.new_states(n), curling.create_shot(np.tile([[*TEE, 0.0]], (n, 1)))


def crowded_batch(n, seed=7):
    """Twelve stones on a jittered grid in and in front of the house, and a
    draw into it, different for every item."""
    rng = np.random.default_rng(seed)
    states = curling.new_states(n)
    states["shot_index"] = 12
    gx, gy = np.meshgrid([1.4, 2.0, 2.6, 3.2], [4.0, 4.9, 5.8])
    grid = np.stack([gx.ravel(), gy.ravel()], axis=-1)
    states["stones"][:, :12] = (grid + rng.uniform(-0.1, 0.1, (n, 12, 2))).astype(np.float32)
    targets = np.stack([rng.uniform(1.2, 3.5, n), rng.uniform(3.8, 6.0, n),
                        rng.integers(2, size=n)], axis=-1)
    return states, curling.create_shot(targets)


def best_of(repeats, call):
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        call()
        best = min(best, time.perf_counter() - start)
    return best


def baseline_ns(states, shots, repeats):
    with tempfile.NamedTemporaryFile(suffix=".bin") as file:
        file.write(np.int64(len(states)).tobytes() + states.tobytes() + shots.tobytes())
        file.flush()
        out = subprocess.run([os.path.join(BIN, "simulate-baseline"), file.name, str(repeats)],
                             capture_output=True, text=True, check=True)
    return float(out.stdout)


def bench_simulate(n, repeats):
    print(f"simulate, {n} items (best of {repeats}), ns per item:")
    print(f"  {'batch':10s} {'C loop':>9s} {'1 thread':>9s} {'vs C':>7s} {'2 threads':>10s} "
          f"{'speed-up':>9s} {'seeded, 2':>10s}")
    for name, (states, shots) in (("draws", draw_batch(n)), ("crowded", crowded_batch(n))):
        c = baseline_ns(states, shots, repeats)
        one = best_of(repeats, lambda: curling.simulate(states, shots, threads=1)) / n * 1e9
        two = best_of(repeats, lambda: curling.simulate(states, shots, threads=2)) / n * 1e9
        seeded = best_of(repeats, lambda: curling.simulate(states, shots, seed=1, threads=2)) / n * 1e9
        print(f"  {name:10s} {c:9.1f} {one:9.1f} {one / c - 1:+7.1%} {two:10.1f} {one / two:8.2f}x "
              f"{seeded:10.1f}")


def bench_vector_env(seconds):
    print("VectorEnv(256) agent steps per second:")
    rng = np.random.default_rng(0)
    for label, kwargs, action in (
            ("random targets, no opponent", dict(opponent=None), "random"),
            ("random velocities, no opponent", dict(opponent=None, action="velocity"), "random"),
            ("draws to the house, classic player", dict(opponent="classic"), "draw")):
        venv = curling.VectorEnv(256, **kwargs)
        venv.reset(seed=1)
        steps, start = 0, time.perf_counter()
        while time.perf_counter() - start < seconds:
            if action == "random":
                actions = venv.action_space.sample()
            else:
                actions = np.column_stack([rng.uniform(1.6, 3.1, 256), rng.uniform(3.8, 6.0, 256),
                                           rng.integers(2, size=256)]).astype(np.float32)
            venv.step(actions)
            steps += 256
        rate = steps / (time.perf_counter() - start)
        print(f"  {label:38s} {rate:12,.0f}")
        venv.close()


def rss_mb():
    with open("/proc/self/statm") as file:
        return int(file.read().split()[1]) * resource.getpagesize() / 2**20


def bench_memory(items, steps):
    states, shots = crowded_batch(10000)
    report = []
    for round_ in range(2):
        before = rss_mb()
        for _ in range(items // 10000):
            curling.simulate(states, shots, frames=4 if round_ else 0)
        report.append(rss_mb() - before)
    env = curling.Env(opponent=None)
    env.reset(seed=1)
    sample = env.action_space.sample
    growth = []
    for _ in range(2):
        before = rss_mb()
        for _ in range(steps // 2):
            if env.step(sample())[2]:
                env.reset()
        growth.append(rss_mb() - before)
    print(f"resident memory growth: {items:,} simulate items {report[0]:+.1f} MB, "
          f"again with frames {report[1]:+.1f} MB; {steps:,} Env.step calls "
          f"{growth[0]:+.1f} MB then {growth[1]:+.1f} MB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="small batches, short runs")
    args = parser.parse_args()
    quick = args.quick
    bench_simulate(10000 if quick else 100000, 2 if quick else 5)
    bench_vector_env(0.5 if quick else 5.0)
    bench_memory(100000 if quick else 1000000, 10000 if quick else 100000)


if __name__ == "__main__":
    sys.exit(main())
