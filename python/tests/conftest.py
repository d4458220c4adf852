"""What the tests share: the build's programs and the C interface of
Korvane.dll through ctypes, the reference every vectorised call is held to."""

import ctypes
import os
import shutil
import tempfile

import numpy as np
import pytest

import curling

BIN = os.environ.get("CURLING_BIN", os.path.join(os.path.dirname(__file__), "..", "..", "build",
                                                 "bin"))


class Record(ctypes.Structure):
    _fields_ = [("shotIndex", ctypes.c_int32), ("endIndex", ctypes.c_int32),
                ("lastEnd", ctypes.c_int32), ("endScore", ctypes.c_int32 * 10),
                ("sideToMove", ctypes.c_uint8), ("padding", ctypes.c_uint8 * 3),
                ("stones", (ctypes.c_float * 2) * 16)]


class Shot(ctypes.Structure):
    _fields_ = [("a", ctypes.c_float), ("b", ctypes.c_float), ("curl", ctypes.c_uint8),
                ("padding", ctypes.c_uint8 * 3)]


class Frame(ctypes.Structure):
    _fields_ = [("time", ctypes.c_float), ("stones", (ctypes.c_float * 2) * 16)]


class CInterface:
    """The library's exports, one record at a time."""

    def __init__(self):
        lib = ctypes.CDLL(os.path.join(BIN, "Korvane.dll"))
        lib.Simulation.argtypes = [ctypes.POINTER(Record), Shot, ctypes.c_float,
                                   ctypes.POINTER(Frame), ctypes.c_int]
        lib.CreateShot.argtypes = [Shot, ctypes.POINTER(Shot)]
        lib.CreateHitShot.argtypes = [Shot, ctypes.c_float, ctypes.POINTER(Shot)]
        lib.GetScore.argtypes = [ctypes.POINTER(Record)]
        lib.KorvaneSeed.argtypes = [ctypes.c_uint64]
        self.lib = lib

    @staticmethod
    def record(state):
        return Record.from_buffer_copy(state.tobytes())

    def simulate(self, state, shot, noise, seed=None, frames=0):
        record = self.record(state)
        if seed is not None:
            self.lib.KorvaneSeed(seed)
        path = (Frame * frames)() if frames else None
        self.lib.Simulation(ctypes.byref(record), Shot(*shot[:2], int(shot[2])), noise, path,
                            frames if frames else -1)
        return bytes(record), path

    def create_shot(self, target, power=None):
        """CreateShot, or CreateHitShot when given a power."""
        out, pos = Shot(), Shot(*target[:2], int(target[2]))
        if power is None:
            self.lib.CreateShot(pos, ctypes.byref(out))
        else:
            self.lib.CreateHitShot(pos, power, ctypes.byref(out))
        return out.a, out.b, out.curl

    def score(self, state):
        return self.lib.GetScore(ctypes.byref(self.record(state)))


@pytest.fixture(scope="session")
def c_interface():
    return CInterface()


@pytest.fixture
def scratch():
    """A folder of the test's own, removed afterwards."""
    folder = tempfile.mkdtemp(prefix="curling-py-")
    yield folder
    shutil.rmtree(folder)


def program(name):
    path = os.path.join(BIN, name)
    if not os.path.exists(path):
        pytest.fail(f"{path} is not built")
    return path


def crowded_states(n, seed=7):
    """n records of one end at stone 12, twelve stones in and in front of the
    house on a jittered grid (so that none overlap), all different."""
    rng = np.random.default_rng(seed)
    states = curling.new_states(n)
    states["shot_index"] = 12
    states["side_to_move"] = rng.integers(2, size=n)
    gx, gy = np.meshgrid([1.4, 2.0, 2.6, 3.2], [4.0, 4.9, 5.8])
    grid = np.stack([gx.ravel(), gy.ravel()], axis=-1)
    states["stones"][:, :12] = (grid + rng.uniform(-0.1, 0.1, (n, 12, 2))).astype(np.float32)
    return states


def house_targets(n, seed=8):
    """Draw targets in the house, either curl."""
    rng = np.random.default_rng(seed)
    return np.stack([rng.uniform(1.2, 3.5, n), rng.uniform(3.8, 6.0, n), rng.integers(2, size=n)],
                    axis=-1).astype(np.float32)


def join(*batches):
    """Batches of records one after the other (numpy's concatenate packs the
    dtype, dropping its padding)."""
    out = curling.new_states(sum(len(b) for b in batches))
    out[:] = np.concatenate(batches)  # field by field: the padding stays zero
    return out


def draw_near_the_tee(obs):
    """A fixed policy: draw to a point beside the tee that moves with the
    stone's number, so that stones meet."""
    shot = obs[32]
    return np.array([2.2 + 0.05 * (shot % 7), 4.6 + 0.1 * (shot % 5), shot % 2], dtype=np.float32)
