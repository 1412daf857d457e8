#!/usr/bin/env bash
# Runs the README's two commands as a newcomer would: in a fresh Debian root
# made by debootstrap, on a fresh clone of this repository's committed HEAD
# (not the working tree), as root. Prints each command's wall time and exit
# code. For maintainers, not part of CI; needs root and debootstrap.
#
#   scripts/fresh-debian.sh 12|13 [demo|test|both]   (default: both)
#
# MIRROR overrides the Debian mirror (default: the one this machine's apt
# uses, else deb.debian.org). KEEP=1 keeps the root for a look afterwards
# (the mounts are always undone). WITH_TMPDIR=1 runs the commands with
# TMPDIR set as libpam-tmpdir sets it at login (/tmp/user/0).
set -euo pipefail
usage() { echo "usage: $0 12|13 [demo|test|both]" >&2; exit 2; }
case ${1:-} in
12) suite=bookworm ;;
13) suite=trixie ;;
*) usage ;;
esac
mode=${2:-both}
case $mode in demo | test | both) ;; *) usage ;; esac
[ "$(id -u)" = 0 ] || { echo "fresh-debian: run as root" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "fresh-debian: needs debootstrap (apt-get install debootstrap)" >&2; exit 1; }
repo=$(cd "$(dirname "$0")/.." && pwd)

# The first Debian archive this machine's apt uses (one-line or deb822 lists).
host_mirror() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -Eo '(^deb|^URIs:)[[:space:]]+(\[[^]]*\][[:space:]]+)?https?://[^[:space:]]+/debian/?([[:space:]]|$)' |
        grep -Eo 'https?://[^[:space:]]+' | head -n1 || true
}
mirror=${MIRROR:-$(host_mirror)}
mirror=${mirror:-http://deb.debian.org/debian}
mirror=${mirror%/}

root=$(mktemp -d "${TMPDIR:-/tmp}/quillora-debian$1-XXXXXX")
chmod 755 "$root"  # a root directory: apt's own user must get through it
mounts=()
cleanup() {
    # Whatever still runs in the root (a wineserver, say) holds its mounts.
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
    done
    if findmnt -rn -o TARGET | grep -q "^$root/"; then
        echo "fresh-debian: mounts left under $root; not removing it" >&2
    elif [ "${KEEP:-0}" = 1 ]; then
        echo "fresh-debian: kept $root"
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

in_root() { chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"; }

echo "== debootstrap Debian $1 ($suite) from $mirror into $root"
start=$(date +%s)
if ! debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1; then
    tail -n 20 "$root.debootstrap.log" >&2
    rm -f "$root.debootstrap.log"
    echo "fresh-debian: debootstrap failed" >&2
    exit 1
fi
rm -f "$root.debootstrap.log"
echo "   $(($(date +%s) - start)) s"

# What a Debian machine's apt has: the release, its updates and security.
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb $mirror-security $suite-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc sys dev dev/pts dev/shm; do
    mkdir -p "$root/$m"
    case $m in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sysfs "$root/sys" ;;
    dev/shm) mount -t tmpfs -o mode=1777 shm "$root/dev/shm" ;;
    *) mount --bind "/$m" "$root/$m" ;;
    esac
    mounts+=("$root/$m")
done

echo "== git and a fresh clone of $(git -C "$repo" rev-parse --short HEAD)"
git -C "$repo" bundle create -q "$root/root/quillora.bundle" HEAD
if ! in_root bash -c 'export DEBIAN_FRONTEND=noninteractive
    { apt-get update -qq && apt-get install -y -qq --no-install-recommends git ca-certificates; } >/root/git.log 2>&1
    git -c advice.detachedHead=false -c init.defaultBranch=main clone -q /root/quillora.bundle /root/quillora &&
        rm /root/quillora.bundle /root/git.log'; then
    cat "$root/root/git.log" >&2 2>/dev/null || true
    echo "fresh-debian: could not install git or clone" >&2
    exit 1
fi

release=$1
results=()
tmpdir=
if [ "${WITH_TMPDIR:-0}" = 1 ]; then
    mkdir -p -m 700 "$root/tmp/user/0"
    tmpdir="TMPDIR=/tmp/user/0 "
fi
run() {  # run <command>: in the clone, timed (wall, and the CPU time it took)
    echo "== $1"
    local t0 code=0 cpu
    t0=$(date +%s.%N)
    in_root bash -c "cd /root/quillora && { $1; }; code=\$?; times >/root/.cpu; exit \$code" || code=$?
    # times: the shell's, then its children's user and system time (0m1.5s 0m0.2s).
    cpu=$(sed -n 2p "$root/root/.cpu" 2>/dev/null | tr -d s | awk -F'[ m]' '{ print $1 * 60 + $2 + $3 * 60 + $4 }') || cpu=0
    results+=("$(awk -v t0="$t0" -v t1="$(date +%s.%N)" -v r="$release" -v c="$1" -v e="$code" -v cpu="$cpu" \
        'BEGIN { printf "Debian %s: %-26s %7.1f s (CPU %.1f s), exit %d", r, c, t1 - t0, cpu, e }')")
}
case $mode in
demo) run "${tmpdir}bash scripts/demo.sh" ;;
test) run "${tmpdir}bash scripts/test-all.sh" ;;
both)
    run "${tmpdir}bash scripts/demo.sh"
    run "${tmpdir}bash scripts/test-all.sh"
    ;;
esac
echo "== results"
printf '%s\n' "${results[@]}"
! printf '%s\n' "${results[@]}" | grep -qv ', exit 0$'
