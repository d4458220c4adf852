#!/usr/bin/env python3
"""A handicapped engine for a real SPRT run: starts the engine given as the
remaining arguments and passes the protocol through both ways, one write per
read so the engine still gets one message per read, but adds a Gaussian
error of SD m/s to both launch-velocity components of every BESTSHOT reply.

    handicap_proxy.py SD ENGINE [ARGS...]
"""
import os
import random
import re
import select
import subprocess
import sys

REPLY = re.compile(rb"BESTSHOT\s+(\S+)\s+(\S+)\s+(\S+)")


def spoil(chunk, sd, rng):
    def replace(match):
        vx = float(match.group(1)) + rng.gauss(0.0, sd)
        vy = float(match.group(2)) + rng.gauss(0.0, sd)
        return b"BESTSHOT %f %f %s" % (vx, vy, match.group(3))
    return REPLY.sub(replace, chunk)


def main():
    sd = float(sys.argv[1])
    engine = subprocess.Popen(sys.argv[2:], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              bufsize=0)
    rng = random.Random()
    to_engine, from_engine = engine.stdin.fileno(), engine.stdout.fileno()
    while True:
        ready, _, _ = select.select([0, from_engine], [], [])
        if 0 in ready:
            data = os.read(0, 4096)
            if not data:
                break
            os.write(to_engine, data)
        if from_engine in ready:
            data = os.read(from_engine, 4096)
            if not data:
                break
            os.write(1, spoil(data, sd, rng))
    engine.stdin.close()
    engine.wait()


if __name__ == "__main__":
    main()
