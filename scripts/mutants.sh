#!/usr/bin/env bash
# Wrong definitions in the program, one at a time: each mutation changes one
# property tag, flag or access request of the program's own code, rebuilds,
# runs the tests and names the tests that fail. A mutation that no test
# catches is a hole in the tests (or in the simulated client's strictness).
# Not part of CI: it rebuilds once per mutation.
#
#   scripts/mutants.sh [native|wine|both] [MUTATION...]
#
# native: the native build, every CTest test; wine: the x86_64 Windows build,
# the end-to-end scenarios and the MAPI classes' test under wine64 (Wine's
# MAPI32 with mailsim.dll).
# Set TMPDIR first when other Wine users share the machine. The sources are
# changed in place and put back (also on Ctrl-C); builds go to
# build/mutants/<preset>.
set -u
cd "$(dirname "$0")/.."
root=$PWD

# name | file | sed expression (must change the file)
mutations=(
  "PR_SMTP_ADDRESS 0x39FF|mapi/MapiPlatform.h|s/PROP_TAG(PT_STRING8, 0x39FE)/PROP_TAG(PT_STRING8, 0x39FF)/"
  "PR_IPM_DRAFTS_ENTRYID 0x36D8|mapi/MapiPlatform.h|s/PROP_TAG(PT_BINARY, 0x36D7)/PROP_TAG(PT_BINARY, 0x36D8)/"
  "PR_MSG_EDITOR_FORMAT 0x590A|mapi/MapiPlatform.h|s/PROP_TAG(PT_LONG, 0x5909)/PROP_TAG(PT_LONG, 0x590A)/"
  "PR_ATTACH_CONTENT_ID 0x3713|mapi/MapiPlatform.h|s/PROP_TAG(PT_STRING8, 0x3712)/PROP_TAG(PT_STRING8, 0x3713)/"
  "PR_ATTACHMENT_CONTACTPHOTO 0x7FFE|mapi/MapiPlatform.h|s/PROP_TAG(PT_BOOLEAN, 0x7FFF)/PROP_TAG(PT_BOOLEAN, 0x7FFE)/"
  "MAPI_NO_CACHE 0x100|mapi/MapiPlatform.h|s/MAPI_NO_CACHE ((ULONG)0x00000200)/MAPI_NO_CACHE ((ULONG)0x00000100)/"
  "EDITOR_FORMAT_PLAINTEXT 2|mapi/MapiPlatform.h|s/EDITOR_FORMAT_PLAINTEXT ((ULONG)1)/EDITOR_FORMAT_PLAINTEXT ((ULONG)2)/"
  "folder open without MAPI_MODIFY|mapi/ComposeViaExtendedMapi.cpp|s/kFolderOpenFlags = MAPI_MODIFY | MAPI_NO_CACHE/kFolderOpenFlags = MAPI_NO_CACHE/"
  "OpenMsgStore without MAPI_BEST_ACCESS|mapi/MapiSession.cpp|s/MDB_NO_DIALOG | MAPI_BEST_ACCESS/MDB_NO_DIALOG/"
)

mode=${1:-native}
shift || true
selected=("$@")

saved=$(mktemp -d)
restore() {
  for f in "$saved"/*; do
    [ -e "$f" ] || continue
    # A fresh modification time, so that the next build takes it again.
    cp "$f" "$root/$(basename "$f" | tr '%' '/')"
  done
}
trap 'restore; rm -rf "$saved"' EXIT
trap 'exit 130' INT TERM

configure() {  # preset
  local dir=build/mutants/$1
  if [ ! -f "$dir/build.ninja" ]; then
    cmake --preset "$1" -B "$dir" >/dev/null || { echo "configure $1 failed"; exit 1; }
  fi
}

# Prints the names of the failing tests (or "build fails") for a preset.
run_tests() {  # preset
  local dir=build/mutants/$1 log
  log=$(mktemp)
  if ! nice cmake --build "$dir" >"$log" 2>&1; then
    echo "build fails"
    rm -f "$log"
    return
  fi
  if [ "$1" = native ]; then
    (cd "$dir" && ctest -j2 --timeout 120 >"$log" 2>&1)
    sed -n '/The following tests FAILED:/,$p' "$log" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p'
  else
    local rc=0
    (cd "$dir" && ctest -R '^(e2e_wine_scenarios|mapi_wine_tests)$' --output-on-failure \
      >"$log" 2>&1) || rc=$?
    grep -o '^FAIL .*' "$log" | sed 's|^FAIL .*/\([^/]*\)\.json|e2e_wine_scenarios:\1|'
    grep -o '^\[  FAILED  \] MapiUnderWine\.[A-Za-z]*' "$log" | sort -u |
      sed 's|.*\] |mapi_wine_tests:|'
    if [ $rc -ne 0 ] && ! grep -q '^FAIL \|FAILED  \] MapiUnderWine' "$log"; then
      echo "(Wine tests failed; see $dir)"
    fi
  fi
  rm -f "$log"
}

presets=()
case $mode in
  native) presets=(native) ;;
  wine) presets=(mingw-x86_64) ;;
  both) presets=(native mingw-x86_64) ;;
  *) echo "usage: $0 [native|wine|both] [MUTATION...]"; exit 2 ;;
esac

for preset in "${presets[@]}"; do
  configure "$preset"
  baseline=$(run_tests "$preset")
  if [ -n "$baseline" ]; then
    echo "$preset: tests fail without any mutation:"; echo "$baseline"; exit 1
  fi
done

printf '%s\n' "| mutation | ${presets[*]} |"
for entry in "${mutations[@]}"; do
  IFS='|' read -r name file expr <<<"$entry"
  if [ ${#selected[@]} -gt 0 ] && ! printf '%s\n' "${selected[@]}" | grep -qxF "$name"; then
    continue
  fi
  key=$(echo "$file" | tr '/' '%')
  cp -p "$file" "$saved/$key"
  sed -i "$expr" "$file"
  if cmp -s "$file" "$saved/$key"; then
    echo "| $name | (did not apply: $file changed?) |"
    restore; rm -f "$saved/$key"
    continue
  fi
  row="| $name |"
  for preset in "${presets[@]}"; do
    caught=$(run_tests "$preset" | tr '\n' ' ')
    row="$row ${caught:-NOT CAUGHT} |"
  done
  echo "$row"
  restore
  rm -f "$saved/$key"
done
