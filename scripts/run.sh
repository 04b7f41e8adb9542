#!/usr/bin/env bash
# Installs what is missing, builds, and starts Pagero on the Samples album of its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/Pagero/pagero "$@"
