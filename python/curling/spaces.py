"""Spaces with Gymnasium's Box interface (shape, low, high, dtype, sample,
contains, seed), so that gymnasium.spaces.Box(space.low, space.high,
dtype=space.dtype) describes the same set."""

import numpy as np


class Box:
    """A box of float32 vectors. With curl_last, the last component is a
    rotation flag: sample() draws it as 0 or 1 and contains() wants one."""

    def __init__(self, low, high, curl_last=False, seed=None):
        self.low = np.asarray(low, dtype=np.float32)
        self.high = np.asarray(high, dtype=np.float32)
        self.shape = self.low.shape
        self.dtype = np.dtype(np.float32)
        self.curl_last = curl_last
        self.np_random = np.random.default_rng(seed)

    def seed(self, seed=None):
        self.np_random = np.random.default_rng(seed)
        return [seed]

    def sample(self):
        value = self.np_random.uniform(self.low, self.high).astype(np.float32)
        if self.curl_last:
            value[..., -1] = self.np_random.integers(2, size=self.shape[:-1])
        return value

    def contains(self, x):
        x = np.asarray(x)
        if x.shape != self.shape or not np.isfinite(x).all():
            return False
        if self.curl_last and not np.isin(x[..., -1], (0.0, 1.0)).all():
            return False
        return bool(((x >= self.low) & (x <= self.high)).all())

    __contains__ = contains

    def __repr__(self):
        return f"Box({self.low}, {self.high}, {self.shape}, float32)"


def batch_space(space, n):
    """The space of n stacked samples, as Gymnasium's vector environments
    give it."""
    batched = Box(np.broadcast_to(space.low, (n,) + space.shape),
                  np.broadcast_to(space.high, (n,) + space.shape), space.curl_last)
    return batched
