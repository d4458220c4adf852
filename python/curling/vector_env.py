"""n games of curling stepped together in one C++ call, behind Gymnasium
1.x's vector interface, with its default next-step auto-reset."""

import numbers

import numpy as np

from ._batch import GameBatch, hammer_option
from ._batch_env import BatchEnv
from .physics import check_count, check_seed
from .spaces import batch_space


class VectorEnv(BatchEnv):
    """The games of curling.Env(**env_kwargs), n at once. A game that ends
    returns terminated; the next step ignores its action and starts its next
    game (reward 0, that game's first observation). reset(seed=s) gives
    game i the seed s + i, so that game i plays as Env(...).reset(seed=s + i)
    would (with opponent None or a callable)."""

    metadata = {"autoreset_mode": "NextStep"}

    def __init__(self, n, **env_kwargs):
        n = check_count(n, "n", 1)
        env_kwargs.pop("render_mode", None)
        self._batch = GameBatch(n, **env_kwargs)
        self.num_envs = n
        self.single_observation_space = self._batch.observation_space
        self.single_action_space = self._batch.action_space
        self.observation_space = batch_space(self.single_observation_space, n)
        self.action_space = batch_space(self.single_action_space, n)
        self._all = np.ones(n, dtype=bool)
        self._autoreset = np.zeros(n, dtype=bool)
        self._ready = False

    def reset(self, *, seed=None, options=None):
        self._batch.check_open()
        if isinstance(seed, (list, tuple)):
            if len(seed) != self.num_envs:
                raise ValueError(f"seed: one per game ({self.num_envs}), not {len(seed)}")
            seeds = [check_seed(s) for s in seed]
        elif seed is None or isinstance(seed, numbers.Integral):
            seed = check_seed(seed)
            seeds = [None if seed is None else (seed + i) % 2**64 for i in range(self.num_envs)]
        else:
            raise TypeError(f"seed: an integer, a list or None, not {type(seed).__name__}")
        hammer = hammer_option(options)
        for i, s in enumerate(seeds):
            if s is not None:
                self._batch.seed_game(i, s)
        self._batch.reset(self._all, hammer)
        self._autoreset[:] = False
        self._ready = True
        return self._batch.games.obs.copy(), {}

    def step(self, actions):
        self._batch.check_open()
        if not self._ready:
            raise ValueError("env: not started; call reset()")
        actions = self._batch.check_actions(actions, "actions")
        restart = self._autoreset
        self._batch.step(~restart, actions, restart)
        games = self._batch.games
        terminated = games.terminated.astype(bool)
        self._autoreset = terminated.copy()
        return (games.obs.copy(), games.reward.copy(), terminated,
                np.zeros(self.num_envs, dtype=bool), {})

    def record(self, i):
        """Game i so far (or, right after it ended, as it ended) as the
        runner's JSON game record."""
        self._batch.check_open()
        return self._batch.record(check_count(i, "i"))

    def render(self, i=0):
        self._batch.check_open()
        return self._batch.svg(check_count(i, "i"))
