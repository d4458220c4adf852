#!/usr/bin/env bash
# Builds everything (Release, build/) and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh chromium chromium-driver python3-selenium python3-jsonschema
cmake --workflow --preset default
