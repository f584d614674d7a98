#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the game.
# Extra arguments go to the game (for example: -debug).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build > build.log 2>&1 || { tail -n 40 build.log; exit 1; }
cd build
exec ./zarn "$@"
