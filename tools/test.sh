#!/usr/bin/env bash
# Builds everything (Release, build/) and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh chromium parallel
cmake --workflow --preset default
