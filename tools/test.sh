#!/usr/bin/env bash
# Builds everything (Release, build/) and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
# Beyond the build's own packages, the tests run chromium (pictures to PNG)
# and /usr/bin/python3 (JSON records and PNG pixels; standard library only).
tools/deps.sh chromium python3
cmake --workflow --preset default
