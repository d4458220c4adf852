"""The examples run as a user runs them; their figures are read from what
they print."""

import os
import re
import subprocess
import sys

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "examples")


def run(name, *args):
    done = subprocess.run([sys.executable, os.path.join(EXAMPLES, name), *args],
                          capture_output=True, text=True, timeout=600)
    assert done.returncode == 0, done.stdout + done.stderr
    print(done.stdout)
    return done.stdout


def test_the_cross_entropy_method_learns_to_draw_to_the_button():
    out = run("learn_draw.py")
    assert out.count("iteration") >= 10
    distance = float(re.search(r"final mean distance to the tee .*: ([0-9.]+) m", out).group(1))
    assert distance <= 0.3


def test_the_one_ply_agent_plays_twenty_games_against_the_classic_player():
    out = run("agent_vs_classic.py", "--ends", "2")
    assert "in 20 games of 2 ends" in out
    rate = float(re.search(r"win rate: ([0-9.]+)%", out).group(1))
    assert 0 <= rate <= 100
