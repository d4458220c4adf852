"""Engines over the protocol, and the runner's files read and validated."""

import json
import os
import subprocess
import sys

import pytest

import curling
from conftest import program

FAKE_ENGINE = """
import sys, time
mode = sys.argv[1]
for line in sys.stdin:
    if line.startswith("ISREADY"):
        sys.stdout.write("READYOK"); sys.stdout.flush()
    elif line.startswith("GO"):
        if mode == "die":
            sys.exit(3)
        if mode == "slow":
            time.sleep(30)
        sys.stdout.write("BESTSHOT 0.1 -2.2 1" if mode == "ok" else "BESTSHOT 0.1 nonsense")
        sys.stdout.flush()
"""


@pytest.fixture
def fake_engine(scratch):
    path = os.path.join(scratch, "engine.py")
    with open(path, "w") as file:
        file.write(FAKE_ENGINE)
    return lambda mode, **kw: curling.EngineProcess(sys.executable, (path, mode), **kw)


def test_our_engine_answers_a_position():
    with curling.EngineProcess(program("curling-engine"), threads=1) as engine:
        engine.new_game()
        states = curling.new_states(1)
        vx, vy, curl = engine.go(states[0])
        assert vy < 0 and curl in (0, 1)
        # Late in an end the search plays; its answer is still a shot.
        states["shot_index"] = 13
        states["end_index"] = 2
        states["end_score"][0, :2] = (2, -1)
        states["side_to_move"] = 1
        states["stones"][0, :4] = [(2.3, 4.8), (2.5, 5.0), (2.0, 7.0), (2.7, 6.5)]
        assert engine.go(states)[1] < 0


def test_a_dying_slow_or_garbled_engine_is_a_clear_error(fake_engine):
    with fake_engine("ok") as engine:
        assert engine.go(curling.new_states(1)) == (0.1, -2.2, 1)
    with fake_engine("die") as engine:
        with pytest.raises(curling.EngineError, match="exited with status 3"):
            engine.go(curling.new_states(1))
    with fake_engine("slow", timeout=0.5) as engine:
        with pytest.raises(curling.EngineTimeout, match="no reply to GO"):
            engine.go(curling.new_states(1))
    with fake_engine("garbage", timeout=0.5) as engine:
        with pytest.raises(curling.EngineError, match="nonsense"):
            engine.go(curling.new_states(1))
    with pytest.raises(curling.EngineError, match="cannot start"):
        curling.EngineProcess("/nonexistent/engine")
    with fake_engine("ok") as engine:
        with pytest.raises(TypeError, match="state"):
            engine.go(curling.new_states(2))


def test_a_runners_record_and_results_are_read_and_checked(scratch):
    results = os.path.join(scratch, "results.jsonl")
    record = os.path.join(scratch, "game.json")
    engine = program("curling-engine")
    subprocess.run([program("curling-match"), "--ends", "1", "--seed", "3", "--results", results,
                    "--record", record, "--engine", "name=one", f"cmd={engine}", "threads=1",
                    "--engine", "name=two", f"cmd={engine}", "threads=1"],
                   check=True, capture_output=True, timeout=300)
    read = curling.read_results(results)
    assert read["header"]["run"]["ends"] == 1
    assert [e["name"] for e in read["header"]["run"]["engines"]] == ["one", "two"]
    assert len(read["games"]) == 1 and read["games"][0]["result"] in ("A", "B", "draw")
    game = curling.read_record(record)
    assert game["totals"] == dict(zip("AB", read["games"][0]["points"]))

    # A line cut short by a kill is left out; a wrong field is named.
    with open(results) as file:
        lines = file.read().split("\n")
    cut = os.path.join(scratch, "cut.jsonl")

    def read_back(text, read=curling.read_results):
        with open(cut, "w") as file:
            file.write(text)
        return read(cut)

    assert read_back(lines[0] + "\n" + lines[1][:20])["games"] == []
    broken = json.loads(lines[1])
    broken["result"] = "nobody"
    with pytest.raises(curling.RecordError, match="line 2"):
        read_back(lines[0] + "\n" + json.dumps(broken) + "\n")
    with pytest.raises(curling.RecordError, match="header"):
        read_back(lines[1] + "\n")
    # A run that grew has a later header, the same run but for its games.
    grown = json.loads(lines[0])
    grown["run"]["games"] = 4
    other = json.loads(lines[0])
    other["run"]["ends"] = 2
    read = read_back("\n".join([lines[0], lines[1], json.dumps(grown)]) + "\n")
    assert [h["run"]["games"] for h in read["headers"]] == [1, 4] and len(read["games"]) == 1
    with pytest.raises(curling.RecordError, match="line 2: a header of another run"):
        read_back("\n".join([lines[0], json.dumps(other)]) + "\n")
    with open(record) as file:
        bad_record = json.load(file)
    del bad_record["totals"]
    with pytest.raises(curling.RecordError, match="totals"):
        read_back(json.dumps(bad_record), curling.read_record)
