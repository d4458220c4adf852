"""The physics, vectorised: the 184-byte game record as a numpy dtype and
batches of Korvane calls played in C++ threads without the interpreter lock.

Every function checks its arrays and raises TypeError (wrong kind of
object or dtype) or ValueError (wrong shape, NaN, a curl other than 0 or 1,
a negative count) naming the argument, before any C++ code sees them.
"""

import numbers

import numpy as np

from . import _core

# The exact layout of the C record (sim/records.h): the three padding bytes
# after side_to_move are part of the itemsize but no field.
STATE_DTYPE = np.dtype({
    "names": ["shot_index", "end_index", "last_end", "end_score", "side_to_move", "stones"],
    "formats": ["<i4", "<i4", "<i4", ("<i4", (10,)), "u1", ("<f4", (16, 2))],
    "offsets": [0, 4, 8, 12, 52, 56],
    "itemsize": 184,
})

# Execution error of a thrown stone, m (sim/sheet.h: game::kExecutionNoise).
DEFAULT_NOISE = 0.145


def check_count(value, name, minimum=0):
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Integral):
        raise TypeError(f"{name}: an integer, not {type(value).__name__}")
    if value < minimum:
        raise ValueError(f"{name}: at least {minimum}, not {value}")
    return int(value)


def check_number(value, name, minimum=None):
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name}: a number, not {type(value).__name__}")
    value = float(value)
    if not np.isfinite(value):
        raise ValueError(f"{name}: a finite number, not {value}")
    if minimum is not None and value < minimum:
        raise ValueError(f"{name}: at least {minimum}, not {value}")
    return value


def check_seed(seed, name="seed"):
    if seed is None:
        return None
    if isinstance(seed, (bool, np.bool_)) or not isinstance(seed, numbers.Integral):
        raise TypeError(f"{name}: an integer or None, not {type(seed).__name__}")
    if not 0 <= seed < 2**64:
        raise ValueError(f"{name}: from 0 to 2**64 - 1, not {seed}")
    return int(seed)


def check_states(states, name="states"):
    if not isinstance(states, np.ndarray):
        raise TypeError(f"{name}: a numpy array of STATE_DTYPE, not {type(states).__name__}")
    if states.dtype != STATE_DTYPE:
        # numpy packs a record dtype in some operations (concatenate drops
        # the padding); the same fields of the same types convert back.
        fields = states.dtype.fields or {}
        if states.dtype.names != STATE_DTYPE.names or any(
                fields[f][0] != STATE_DTYPE.fields[f][0] for f in STATE_DTYPE.names):
            raise TypeError(f"{name}: dtype must be curling.STATE_DTYPE, not {states.dtype}")
        states = states.astype(STATE_DTYPE)
    if states.ndim != 1:
        raise ValueError(f"{name}: one-dimensional, not of shape {states.shape}")
    return np.ascontiguousarray(states)


def check_rows(rows, name, columns=3, curl=True):
    """Rows of `columns` finite floats as a contiguous float32 array; the
    last column, with curl set, 0 or 1."""
    try:
        array = np.asarray(rows)
    except (TypeError, ValueError) as error:
        raise TypeError(f"{name}: an array of numbers ({error})") from None
    if array.dtype.kind not in "fiu":
        raise TypeError(f"{name}: an array of numbers, not of dtype {array.dtype}")
    shape = (-1, columns) if columns else (-1,)
    if array.ndim != len(shape) or (columns and array.shape[1] != columns):
        wanted = f"(N, {columns})" if columns else "(N,)"
        raise ValueError(f"{name}: shape {wanted}, not {array.shape}")
    array = np.ascontiguousarray(array, dtype=np.float32)
    if not np.isfinite(array).all():
        raise ValueError(f"{name}: every value finite (no NaN or infinity)")
    if curl and columns and not ((array[:, -1] == 0) | (array[:, -1] == 1)).all():
        raise ValueError(f"{name}: the curl (last column) must be 0 or 1")
    return array


def new_states(n, last_end=8):
    """n records at the start of a game: no stone thrown, end 0, side 0 to
    move; last_end as the protocol's lastEnd (8 for an 8-end game)."""
    n = check_count(n, "n")
    last_end = check_count(last_end, "last_end", 1)
    states = np.zeros(n, dtype=STATE_DTYPE)
    states["last_end"] = last_end
    return states


def simulate(states, shots, noise=DEFAULT_NOISE, seed=None, threads=0, frames=0):
    """Plays shots[i] (vx, vy, curl) on states[i]; returns the new states (the
    input is untouched), and with frames=K > 0 also the (N, K, 16, 2)
    positions of the stones as the motion is sampled (frames the motion does
    not need repeat where the stones came to rest). With a seed, item i's
    execution error depends on the seed and i only, whatever the threads."""
    states = check_states(states)
    shots = check_rows(shots, "shots")
    if len(shots) != len(states):
        raise ValueError(f"shots: one per state ({len(states)}), not {len(shots)}")
    noise = check_number(noise, "noise", 0.0)
    seed = check_seed(seed)
    threads = check_count(threads, "threads")
    frames = check_count(frames, "frames")
    return _core.simulate(states, shots, noise, seed, threads, frames)


def create_shot(targets, threads=0):
    """Launch vectors (N, 3: vx, vy, curl) of draws that rest at targets
    (N, 3: x, y, curl) on an empty sheet without noise."""
    targets = check_rows(targets, "targets")
    return _core.create_shot(targets, check_count(threads, "threads"))


def create_hit_shot(targets, power, threads=0):
    """Launch vectors whose paths pass through targets (x, y, curl) with
    power metres of travel left there (8: a light hit, 16: a firm
    take-out); power is one number or one per target."""
    targets = check_rows(targets, "targets")
    if np.ndim(power) == 0:
        power = np.full(len(targets), check_number(power, "power", 0.0), dtype=np.float32)
    power = check_rows(power, "power", columns=0)
    if len(power) != len(targets):
        raise ValueError(f"power: one per target ({len(targets)}), not {len(power)}")
    if (power < 0).any():
        raise ValueError("power: at least 0")
    return _core.create_hit_shot(targets, power, check_count(threads, "threads"))


def score(states, threads=0):
    """The score of each end if it ended as the stones lie: positive for the
    side whose side_to_move flag is 0."""
    return _core.score(check_states(states), check_count(threads, "threads"))
