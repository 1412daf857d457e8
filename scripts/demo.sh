#!/usr/bin/env bash
# The main job on Linux: builds the native Quillora (without the tests) and
# composes a message on the simulated mail client's embedded default profile.
# The client shows its compose form on the terminal; the exit code is
# Quillora's. Configure and build output appear only when they fail.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh demo
log=$(mktemp)
trap 'rm -f "$log"' EXIT
quiet() {  # quiet <what> <command...>: the command's output only if it fails
    local what=$1
    shift
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        echo "demo: $what failed" >&2
        exit 1
    fi
}
quiet configure cmake --preset demo
quiet build cmake --build --preset demo
unset MAPISIM_PROFILE MAPISIM_TRANSCRIPT
set +e
build/demo/front/Quillora -to "Alice Example;bob@example.com" \
    -subject "Quillora demo" -body "Hello,\nthis message was composed by Quillora." \
    -attachment README.md
code=$?
set -e
echo "Quillora exited with $code"
exit $code
