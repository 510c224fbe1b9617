#!/bin/bash
# Builds what a user gets: the release programs (64-bit and 32-bit), their
# exec.db and the packages (dist/Runmate-<version>-win64.zip and -win32.zip).
# The tests are built by scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh
echo "built build/release-win64/bin/Runmate.exe and build/release-win32/bin/Runmate.exe"
