"""What Env and VectorEnv share: their settings, spaces and a batch of games
stepped in C++ (curling._core.Games), with the seeds of each game and the
moves of an opponent written in Python."""

import datetime

import numpy as np

from . import _core
from .physics import DEFAULT_NOISE, check_count, check_number, check_rows
from .spaces import Box

# The observation layout (python/README.md); indices as in python/src/game.h.
OBS_SIZE = _core.OBS_SIZE
SHEET_WIDTH = 4.75   # m, sim/sheet.h
FAR_HOG_Y = 11.28    # m
NEAR_HOG_Y = 33.23   # m
MAX_ENDS = 10        # the record's end slots
MAX_EXTRA_ENDS = 10  # match/rules.h
MAX_POINTS = 8 * (MAX_ENDS + MAX_EXTRA_ENDS)

_OPPONENTS = {None: 0, "classic": 1, "search": 2}
_EXTERNAL = 3
_ACTIONS = {"target": 0, "velocity": 1}
_REWARDS = {"win": 0, "end": 1}

# Targets: anywhere across the sheet, from the back of the house to the far
# hog line. Launch vectors: every draw and hit the game needs, and more.
TARGET_LOW, TARGET_HIGH = (0.0, 2.9, 0.0), (SHEET_WIDTH, FAR_HOG_Y, 1.0)
VELOCITY_LOW, VELOCITY_HIGH = (-0.5, -4.0, 0.0), (0.5, -1.0, 1.0)


def observation_space():
    low = [0.0] * 32 + [0.0, 0.0, 0.0, -MAX_POINTS, 0.0]
    # A thrown stone that strikes a guard and bounces back short of the far
    # hog line stays in play, so stones may rest beyond it; none comes back
    # past the near hog line, where every stone started.
    high = [SHEET_WIDTH, NEAR_HOG_Y] * 16 + [16.0, MAX_ENDS + MAX_EXTRA_ENDS - 1, MAX_ENDS - 1,
                                            MAX_POINTS, 1.0]
    return Box(low, high)


def hammer_option(options):
    """-1 (the seed decides), or 1 / 0 from options={"agent_hammer": bool}."""
    if options is None:
        return -1
    if not isinstance(options, dict):
        raise TypeError(f"options: a dict or None, not {type(options).__name__}")
    unknown = set(options) - {"agent_hammer"}
    if unknown:
        raise ValueError(f"options: unknown keys {sorted(unknown)}")
    hammer = options.get("agent_hammer")
    return -1 if hammer is None else int(bool(hammer))


def now_text():
    return datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


class GameBatch:
    def __init__(self, n, ends=8, opponent="classic", noise=DEFAULT_NOISE, reward="win",
                 action="target", opponent_samples=None, opponent_ms=None, threads=0):
        n = check_count(n, "n", 1)
        ends = check_count(ends, "ends", 1)
        if ends > MAX_ENDS:
            raise ValueError(f"ends: at most {MAX_ENDS}, not {ends}")
        noise = check_number(noise, "noise", 0.0)
        if action not in _ACTIONS:
            raise ValueError(f"action: 'target' or 'velocity', not {action!r}")
        if reward not in _REWARDS:
            raise ValueError(f"reward: 'win' or 'end', not {reward!r}")
        self.callable = None
        if callable(opponent):
            self.callable, kind = opponent, _EXTERNAL
        elif isinstance(opponent, (str, type(None))) and opponent in _OPPONENTS:
            kind = _OPPONENTS[opponent]
        else:
            raise ValueError(f"opponent: 'classic', 'search', None or a callable, not {opponent!r}")
        if kind != _OPPONENTS["search"] and (opponent_samples is not None or opponent_ms is not None):
            raise ValueError("opponent_samples, opponent_ms: only for opponent='search'")
        if opponent_samples is not None and opponent_ms is not None:
            raise ValueError("opponent_samples, opponent_ms: give one of them")
        samples = 0 if opponent_samples is None else check_count(opponent_samples, "opponent_samples", 1)
        ms = 100.0 if opponent_ms is None else check_number(opponent_ms, "opponent_ms", 0.0)
        self.n = n
        self.ends = ends
        self.self_play = kind == _OPPONENTS[None]
        self.names = ("agent", {0: "agent", 1: "classic", 2: "search", 3: "callable"}[kind])
        self.action_space = (Box(TARGET_LOW, TARGET_HIGH, curl_last=True) if action == "target"
                             else Box(VELOCITY_LOW, VELOCITY_HIGH, curl_last=True))
        self.observation_space = observation_space()
        self.games = _core.Games(n, ends, noise, kind, samples, ms, _ACTIONS[action],
                                 _REWARDS[reward], check_count(threads, "threads"))
        self.generators = [np.random.default_rng() for _ in range(n)]
        self.started = [now_text()] * n
        self.closed = False

    def check_open(self):
        if self.closed:
            raise ValueError("env: closed")

    def seed_game(self, i, seed):
        """Game i draws the seed of each new game from its own generator; a
        seed restarts that generator."""
        self.generators[i] = np.random.default_rng(seed)

    def new_seeds(self, mask):
        seeds = np.zeros(self.n, dtype=np.uint64)
        indices = np.flatnonzero(mask)
        if len(indices):
            started = now_text()
            for i in indices:
                seeds[i] = self.generators[i].integers(0, 2**64, dtype=np.uint64)
                self.started[i] = started
        return seeds

    def reset(self, mask, hammer=-1):
        hammers = np.full(self.n, hammer, dtype=np.int8)
        self.games.reset(mask.view(np.uint8), self.new_seeds(mask), hammers)
        self.settle()

    def step(self, mask, actions, restart):
        """Steps the games in mask and starts new ones where restart is set."""
        self.games.step(mask.view(np.uint8), actions, restart.view(np.uint8),
                        self.new_seeds(restart))
        self.settle()

    def settle(self):
        """Asks the callable opponent for its stones until the agent is to
        move in every game."""
        while self.callable is not None:
            awaiting = self.games.awaiting.astype(bool)
            if not awaiting.any():
                return
            actions = np.zeros((self.n, 3), dtype=np.float32)
            for i in np.flatnonzero(awaiting):
                actions[i] = check_rows([self.callable(self.games.observe(i, 1))],
                                        "opponent's action")[0]
            self.games.opponent_step(awaiting.view(np.uint8), actions)

    def check_actions(self, actions, name):
        array = np.asarray(actions) if not isinstance(actions, np.ndarray) else actions
        if array.shape != (self.n, 3) and not (self.n == 1 and array.shape == (3,)):
            wanted = "(3,)" if self.n == 1 else f"({self.n}, 3)"
            raise ValueError(f"{name}: shape {wanted}, not {array.shape}")
        return check_rows(array.reshape(self.n, 3), name)

    def facts(self, i):
        return self.games.facts(i)

    def record(self, i):
        return self.games.record_json(i, self.names[0], self.names[1], self.started[i])

    def svg(self, i):
        return self.games.svg(i, self.names[0], self.names[1], self.started[i])
