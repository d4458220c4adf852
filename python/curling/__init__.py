"""Curling for learning-based players: the Korvane physics in numpy batches,
a Gymnasium-style environment and its vector form, engines over the
protocol and the runner's records. See python/README.md."""

from .engine_process import EngineError, EngineProcess, EngineTimeout
from .env import Env
from .physics import (DEFAULT_NOISE, STATE_DTYPE, create_hit_shot, create_shot, new_states,
                      score, simulate)
from .records import RecordError, read_record, read_results
from .spaces import Box
from .vector_env import VectorEnv

__all__ = ["DEFAULT_NOISE", "STATE_DTYPE", "Box", "EngineError", "EngineProcess", "EngineTimeout",
           "Env", "RecordError", "VectorEnv", "create_hit_shot", "create_shot", "new_states",
           "read_record", "read_results", "score", "simulate"]
