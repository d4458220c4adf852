"""One game of curling behind Gymnasium's single-agent interface."""

import numpy as np

from ._batch import GameBatch, hammer_option
from ._batch_env import BatchEnv
from .physics import DEFAULT_NOISE, check_seed


class Env(BatchEnv):
    """A game of `ends` ends (and extra ends after a tie) for an agent that
    plays seat A, against `opponent`: "classic", "search" (with
    opponent_samples or opponent_ms), None (self-play: the agent throws
    every stone, and each observation is from the side to move) or a
    callable f(obs) -> action that sees the game from its own side.

    Actions: "target" (x, y, curl), a draw made by the physics' own
    inversion, or "velocity" (vx, vy, curl). Rewards: "win" (+1, -1 or 0
    when the game ends) or "end" (each end's score from the agent's side).
    python/README.md gives the observation's layout."""

    metadata = {"render_modes": ["svg"]}

    def __init__(self, ends=8, opponent="classic", noise=DEFAULT_NOISE, reward="win",
                 action="target", render_mode="svg", opponent_samples=None, opponent_ms=None,
                 threads=0):
        if render_mode not in (None, "svg"):
            raise ValueError(f"render_mode: 'svg' or None, not {render_mode!r}")
        self._batch = GameBatch(1, ends, opponent, noise, reward, action, opponent_samples,
                                opponent_ms, threads)
        self.observation_space = self._batch.observation_space
        self.action_space = self._batch.action_space
        self.render_mode = render_mode
        self._all = np.ones(1, dtype=bool)
        self._ready = False

    def reset(self, *, seed=None, options=None):
        """A new game; with a seed, this game and the ones that later resets
        start are the same every time. options={"agent_hammer": bool} sets
        who has the first end's hammer (by default the seed decides)."""
        self._batch.check_open()
        seed = check_seed(seed)
        hammer = hammer_option(options)
        if seed is not None:
            self._batch.seed_game(0, seed)
        self._batch.reset(self._all, hammer)
        self._ready = not self._batch.games.terminated[0]
        return self._batch.games.obs[0].copy(), self._info()

    def step(self, action):
        self._batch.check_open()
        if not self._ready:
            raise ValueError("env: the game is over or not started; call reset()")
        actions = self._batch.check_actions(action, "action")
        self._batch.step(self._all, actions, ~self._all)
        games = self._batch.games
        terminated = bool(games.terminated[0])
        self._ready = not terminated
        return games.obs[0].copy(), float(games.reward[0]), terminated, False, self._info()

    def _info(self):
        facts = self._batch.facts(0)
        return {"points": facts["points"], "end_scores": facts["end_scores"],
                "seat_to_move": facts["seat_to_move"], "seed": facts["seed"]}

    def render(self):
        """The house after the last stone, as an SVG document (the replay
        page's drawing)."""
        self._batch.check_open()
        return self._batch.svg(0)

    def record(self):
        """The game so far as the runner's JSON game record (finished ends)."""
        self._batch.check_open()
        return self._batch.record(0)

    def save_record(self, path):
        with open(path, "w", encoding="utf-8") as file:
            file.write(self.record())
