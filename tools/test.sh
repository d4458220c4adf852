#!/usr/bin/env bash
# Builds everything (Release, build/) and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
# Beyond the build's own packages, the tests run chromium (pictures to PNG,
# and the replay page through chromium-driver) and /usr/bin/python3 (JSON
# records against their schema, PNG pixels, the browser through selenium)
# and GNU parallel (shards of a tournament); pytest runs the Python
# package's tests.
tools/deps.sh chromium chromium-driver python3 python3-selenium python3-jsonschema \
  parallel python3-pytest
cmake --workflow --preset default
