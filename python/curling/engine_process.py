"""Any engine executable driven over the protocol, as the game server drives
it: ISREADY, NEWGAME, SETSTATE, POSITION, GO, SCORE; replies come without a
line terminator."""

import os
import re
import select
import subprocess
import time

import numpy as np

from .physics import STATE_DTYPE

_NUMBER = r"[+-]?[0-9]+(?:\.[0-9]*)?(?:[eE][+-]?[0-9]+)?"
_BESTSHOT = re.compile(rf"\s*BESTSHOT\s+({_NUMBER})\s+({_NUMBER})\s+([01])\s*")
_ECHO = "recieved: "  # an engine that echoes on standard output still gets read
_MAX_REPLY_BYTES = 65536


class EngineError(RuntimeError):
    """The engine ended, closed its output or sent what is not a reply."""


class EngineTimeout(EngineError, TimeoutError):
    """No complete reply in time."""


class EngineProcess:
    """go(state) -> (vx, vy, curl) for one record of STATE_DTYPE. threads sets
    OMP_NUM_THREADS for the engine, as the runner's threads= does; stderr
    is a path for the engine's standard error (by default discarded)."""

    def __init__(self, cmd, args=(), threads=None, timeout=60.0, ready_timeout=10.0,
                 stderr=None, cwd=None):
        env = dict(os.environ)
        if threads is not None:
            if not isinstance(threads, int) or threads < 1:
                raise ValueError(f"threads: a positive integer or None, not {threads!r}")
            env["OMP_NUM_THREADS"] = str(threads)
        self.timeout = float(timeout)
        self.command = [os.fspath(cmd), *[str(a) for a in args]]
        self._log = open(stderr, "ab") if stderr is not None else subprocess.DEVNULL
        try:
            self._process = subprocess.Popen(self.command, stdin=subprocess.PIPE,
                                             stdout=subprocess.PIPE, stderr=self._log,
                                             cwd=cwd, env=env, bufsize=0)
        except OSError as error:
            self._close_log()
            raise EngineError(f"cannot start {self.command[0]}: {error}") from None
        self._send("ISREADY")
        self._read_reply(lambda text: "READYOK" if text.strip() == "READYOK" else None,
                         ready_timeout, "ISREADY")

    def new_game(self):
        self._send("NEWGAME")

    def go(self, state, timeout=None):
        """The engine's shot for the side to move in state (a STATE_DTYPE
        record, or an array holding one). Earlier ends' scores are told
        first, as the runner tells them after each end."""
        record = np.asarray(state)
        if record.dtype != STATE_DTYPE or record.size != 1:
            raise TypeError("state: one record of curling.STATE_DTYPE")
        record = record.reshape(())
        end = int(record["end_index"])
        last_end = int(record["last_end"])
        side = int(record["side_to_move"])
        lines = []
        for k in range(max(0, min(end, 10))):
            lines += [f"SETSTATE 0 {k} {last_end} {side}", f"SCORE {int(record['end_score'][k])}"]
        stones = " ".join(f"{float(v):.9g}" for v in record["stones"].reshape(-1))
        lines += [f"SETSTATE {int(record['shot_index'])} {end} {last_end} {side}",
                  f"POSITION {stones}", "GO"]
        self._drain()
        for line in lines:
            self._send(line)
        match = self._read_reply(_BESTSHOT.fullmatch, self.timeout if timeout is None else timeout,
                                 "GO")
        return float(match.group(1)), float(match.group(2)), int(match.group(3))

    def score(self, points):
        self._send(f"SCORE {int(points)}")

    def _send(self, line):
        if self._process.poll() is not None:
            raise EngineError(self._ended("before it was sent " + line.split()[0]))
        try:
            self._process.stdin.write((line + "\n").encode())
            self._process.stdin.flush()
        except (BrokenPipeError, OSError):
            raise EngineError(self._ended("while it was sent " + line.split()[0])) from None

    def _drain(self):
        fd = self._process.stdout.fileno()
        while select.select([fd], [], [], 0)[0]:
            if not os.read(fd, 4096):
                return

    def _read_reply(self, parse, timeout, command):
        fd = self._process.stdout.fileno()
        deadline = time.monotonic() + timeout
        data = b""
        while True:
            text = "\n".join(line for line in data.decode(errors="replace").split("\n")
                             if not line.startswith(_ECHO))
            found = parse(text)
            if found:
                return found
            if len(data) > _MAX_REPLY_BYTES:
                raise EngineError(f"{self.command[0]}: no reply to {command} in "
                                  f"{_MAX_REPLY_BYTES} bytes")
            left = deadline - time.monotonic()
            if left <= 0:
                raise EngineTimeout(f"{self.command[0]}: no reply to {command} in {timeout:g} s "
                                    f"(got {data[-80:]!r})")
            if select.select([fd], [], [], left)[0]:
                chunk = os.read(fd, 4096)
                if not chunk:
                    raise EngineError(self._ended(f"before it replied to {command} "
                                                  f"(got {data[-80:]!r})"))
                data += chunk

    def _ended(self, when):
        try:
            status = self._process.wait(timeout=1.0)
            how = f"exited with status {status}" if status >= 0 else f"was killed by signal {-status}"
        except subprocess.TimeoutExpired:
            how = "closed its output"
        return f"engine {self.command[0]} {how} {when}"

    def close(self):
        """Ends the engine: its input is closed, and it is killed if it has
        not exited a second later."""
        process = getattr(self, "_process", None)
        if process is None:
            return
        try:
            process.stdin.close()
        except OSError:
            pass
        try:
            process.wait(timeout=1.0)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        process.stdout.close()
        self._process = None
        self._close_log()

    def _close_log(self):
        if self._log is not subprocess.DEVNULL:
            self._log.close()
            self._log = subprocess.DEVNULL

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        self.close()
