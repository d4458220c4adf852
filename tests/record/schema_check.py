#!/usr/bin/env python3
"""Validates game records against the record schema: schema_check.py SCHEMA RECORD...

Prints one line per record and exits 1 when any is invalid. Needs Debian's
python3-jsonschema (run with /usr/bin/python3)."""
import json
import sys

import jsonschema


def main():
    schema = json.load(open(sys.argv[1]))
    validator = jsonschema.Draft202012Validator(schema)
    validator.check_schema(schema)
    bad = 0
    for path in sys.argv[2:]:
        errors = sorted(validator.iter_errors(json.load(open(path))), key=lambda e: list(e.path))
        for e in errors[:3]:
            print(f"{path}: {'/'.join(map(str, e.path))}: {e.message[:200]}")
        bad += bool(errors)
        if not errors:
            print(f"{path}: valid")
    sys.exit(1 if bad else 0)


main()
