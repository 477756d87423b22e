#!/usr/bin/env bash
# Installs what is missing, builds, and starts Corvanta with the catalog named after it, if any.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
bash scripts/build.sh
exec "${CORVANTA_BUILD_DIR:-build}/src/app/corvanta" "$@"
