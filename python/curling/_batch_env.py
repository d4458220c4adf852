"""What Env and VectorEnv share as owners of one GameBatch: Gymnasium's
unwrapped, and closing, by hand or at the end of a with block."""


class BatchEnv:
    """An environment stepping its games through self._batch."""

    @property
    def unwrapped(self):
        return self

    def close(self):
        self._batch.closed = True

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
