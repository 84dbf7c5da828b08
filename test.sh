#!/usr/bin/env bash
# Same set-up as run.sh, then every test through CTest on a private X server.
set -euo pipefail
cd "$(dirname "$0")"
./install-deps.sh
./build.sh
cd build
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --output-on-failure --timeout 600
