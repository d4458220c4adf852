"""The runner's files read into plain Python objects (dicts, lists, numbers
and strings as JSON has them), each checked against its schema in schema/."""

import json
import os

import jsonschema

_SCHEMA_DIR = os.path.join(os.path.dirname(__file__), "schema")
_validators = {}


class RecordError(ValueError):
    """A file that is not what its schema describes; the message names the
    file, the line where there are lines, and the place in the document."""


def _validator(name):
    if name not in _validators:
        with open(os.path.join(_SCHEMA_DIR, name), encoding="utf-8") as file:
            schema = json.load(file)
        _validators[name] = jsonschema.Draft202012Validator(schema)
    return _validators[name]


def _check(document, schema, where):
    error = jsonschema.exceptions.best_match(_validator(schema).iter_errors(document))
    if error is not None:
        place = "/".join(str(p) for p in error.absolute_path) or "top level"
        raise RecordError(f"{where}: at {place}: {error.message}")


def _parse(text, where):
    try:
        return json.loads(text)
    except json.JSONDecodeError as error:
        raise RecordError(f"{where}: not JSON ({error})") from None


def read_record(path):
    """A game record (curling-match --record, or Env.save_record) as a dict."""
    with open(path, encoding="utf-8") as file:
        record = _parse(file.read(), path)
    _check(record, "record.schema.json", path)
    return record


def _run_but_games(header):
    """What a header says but the planned games, which grow with the run."""
    return header["shard"], {**header["run"], "games": None}


def read_results(path):
    """A results file as {"header": dict, "headers": [dict, ...], "games":
    [dict, ...]}, the games in file order. "header" is the first line;
    "headers" holds it and every later header, one for each time the run
    grew: the same run with a larger "games", so the run plans the largest
    of them. A last line without its line feed (a write cut short) is left
    out, as the runner itself reads it."""
    with open(path, encoding="utf-8") as file:
        text = file.read()
    lines = text.split("\n")[:-1]  # the part after the last line feed is unfinished
    if not lines:
        raise RecordError(f"{path}: no header line")
    headers, games = [], []
    for number, line in enumerate(lines, 1):
        where = f"{path}, line {number}"
        entry = _parse(line, where)
        _check(entry, "results.schema.json", where)
        is_header = isinstance(entry, dict) and "curlingMatchResults" in entry
        if number == 1 and not is_header:
            raise RecordError(f"{where}: the header must come first")
        if is_header and headers and _run_but_games(entry) != _run_but_games(headers[0]):
            raise RecordError(f"{where}: a header of another run")
        (headers if is_header else games).append(entry)
    return {"header": headers[0], "headers": headers, "games": games}
