#!/usr/bin/env bash
# The main job on Linux: builds the native Quillora and composes a message on
# the simulated mail client's embedded default profile. The client shows its
# compose form on the terminal; the exit code is Quillora's.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v cmake >/dev/null || ! command -v ninja >/dev/null \
   || ! dpkg-query -W nlohmann-json3-dev >/dev/null 2>&1; then
    scripts/install-deps.sh
fi
cmake --preset native >/dev/null
cmake --build --preset native --target Quillora >/dev/null
unset MAPISIM_PROFILE MAPISIM_TRANSCRIPT
set +e
build/native/front/Quillora -to "Alice Example;bob@example.com" \
    -subject "Quillora demo" -body "Hello,\nthis message was composed by Quillora." \
    -attachment README.md
code=$?
set -e
echo "Quillora exited with $code"
exit $code
