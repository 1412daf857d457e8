#!/usr/bin/env bash
# check_mapi32_imports.sh <objdump> <pe-file> [ordinal ...]
# Passes when the file imports MAPI32.dll by ordinal only, with exactly the
# ordinals given (default: the seven Extended MAPI functions Quillora uses),
# and no function of MAPI32.dll by name. Prints the import block it read.
set -u
objdump=$1
file=$2
shift 2
expected=("$@")
[ ${#expected[@]} -gt 0 ] || expected=(11 13 17 21 23 139 140)

dump=$("$objdump" -p "$file") || { echo "objdump failed on $file"; exit 1; }
block=$(printf '%s\n' "$dump" | awk '
    /DLL Name:/ { inside = (tolower($3) == "mapi32.dll"); if (inside) print; next }
    inside && NF == 0 { inside = 0 }
    inside { print }')
if [ -z "$block" ]; then
    echo "FAIL: $file does not import MAPI32.dll"
    exit 1
fi
printf '%s\n' "$block"

# An entry whose thunk has the top bit set is an import by ordinal (the
# ordinal is the low 16 bits); any other entry is an import by name.
found=$(printf '%s\n' "$block" | awk '
    $1 ~ /^[0-9a-fA-F]+$/ && NF >= 3 {
        thunk = $1
        byOrdinal = (length(thunk) == 8 || length(thunk) == 16) && substr(thunk, 1, 1) == "8"
        if (!byOrdinal || $3 != "<none>") { print "NAME:" $0; next }
        print substr(thunk, length(thunk) - 3)
    }' | while read -r entry; do
        case $entry in
            NAME:*) echo "$entry" ;;
            *) echo $((16#$entry)) ;;
        esac
    done | sort -n | tr '\n' ' ')
want=$(printf '%s\n' "${expected[@]}" | sort -n | tr '\n' ' ')

status=0
if printf '%s' "$found" | grep -q 'NAME:'; then
    echo "FAIL: MAPI32.dll functions imported by name: $found"
    status=1
fi
if [ "$found" != "$want" ]; then
    echo "FAIL: MAPI32.dll ordinals are [ $found] but should be [ $want]"
    status=1
fi
[ $status -eq 0 ] && echo "OK: MAPI32.dll imported by ordinal only: $found"
exit $status
