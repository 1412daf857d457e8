#!/usr/bin/env bash
# wine-test.sh <command...>
# Runs one Wine test command, or, where the kind of program that
# QUILLORA_WINE_BITS names cannot run here, prints one line saying why and
# exits 77, which CTest reports as skipped (see wine-env.sh).
set -u
. "$(dirname "$0")/wine-env.sh"
exec "$@"
