#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages
build_project
ctest --test-dir build --output-on-failure -j2
