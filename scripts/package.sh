#!/usr/bin/env bash
# Builds the Debian package corvanta_<version>_<arch>.deb into build/ (or $CORVANTA_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
bash scripts/build.sh
cd "${CORVANTA_BUILD_DIR:-build}"
cpack -G DEB
