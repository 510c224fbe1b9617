#!/bin/bash
# Builds what a user gets: the release program, its exec.db and the package
# (dist/Runmate-<version>-win32.zip). The tests are built by scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh
echo "built build/release/bin/Runmate.exe"
