#!/usr/bin/env bash
# Installs what is needed, builds, prepares the working folder work/ and starts the program there.
set -euo pipefail
cd "$(dirname "$0")"
./install-deps.sh
./build.sh
mkdir -p work
[ -f work/lr ] || build/bin/korvel-newdb work/lr
cp -n reports/*.rav work/ 2>/dev/null || true
[ -f work/使用说明.doc ] || cp -n docs/使用说明.doc work/ 2>/dev/null || true
cd work
exec ../build/bin/korvel
