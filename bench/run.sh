#!/usr/bin/env bash
# The benchmark: installs what is missing, builds into build/, makes the synthetic font sets (kept
# in build/bench-fonts/ between runs) and measures start-up, catalogue loading, the automatic-viewing
# tick, the drop-down and memory at 1,000, 10,000 and 50,000 families. Prints one table; --write
# also puts it into bench/RESULTS.md. Other options: bench/bench.py --help.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
ensure_packages build run bench
build_project -DQUELVARO_BENCH=ON
exec /usr/bin/python3 bench/bench.py "$@"
