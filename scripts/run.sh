#!/usr/bin/env bash
# Installs what is missing, builds Nimbel MIDI and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
ninja -C build -j "$(nproc)"

program=build/bin/nimbel-midi
if [ ! -x "$program" ]; then
  echo "Built; the program itself is not ready yet. Ready: $(ls build/bin | tr '\n' ' ')"
  exit 0
fi
# Without a display the program itself says so in one sentence.
exec "$program"
