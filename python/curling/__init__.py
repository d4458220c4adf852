"""Curling for learning-based players: the Korvane physics in numpy batches,
a Gymnasium-style environment and its vector form, engines over the
protocol and the runner's records. See python/README.md."""

import os

# The batches fork and join a team of OpenMP threads for every step; threads
# that spin while they wait take the cores from whatever else runs (engines,
# a trainer, other processes), and on a busy machine stepping then got five
# times slower on two threads than on one. Read once, when the extension
# loads the OpenMP runtime; a setting of the user's own wins.
os.environ.setdefault("OMP_WAIT_POLICY", "passive")

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
