#!/bin/sh
# Installs everything the build and the tests need, from Debian's packages.
# Run as root. Safe to run again: it only changes what is missing.
set -eu

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: must run as root (try: sudo $0)" >&2
        exit 1
    fi
}
need_root
export DEBIAN_FRONTEND=noninteractive

changed=0

# 1. apt sources: add the non-free components and source entries to the
#    machine's existing Debian entries (deb822 or one-line format).
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -q '^URIs:.*debian' "$f" || continue
    if grep -q '^Components:' "$f" && grep '^Components:' "$f" | grep -qv 'non-free\b'; then
        sed -i -E '/^Components:/{/non-free( |$)/!s/$/ contrib non-free non-free-firmware/}' "$f"
        # remove duplicates the line may now carry
        sed -i -E '/^Components:/{s/ +/ /g}' "$f"
        changed=1
    fi
    if grep -q '^Types:' "$f" && grep '^Types:' "$f" | grep -qv 'deb-src'; then
        sed -i -E '/^Types:/{/deb-src/!s/$/ deb-src/}' "$f"
        changed=1
    fi
done
if [ -f /etc/apt/sources.list ]; then
    if grep -Eq '^deb .*debian' /etc/apt/sources.list; then
        if grep -E '^deb .*debian' /etc/apt/sources.list | grep -qv 'non-free'; then
            sed -i -E '/^deb(-src)? .*debian/{/non-free/!s/$/ contrib non-free non-free-firmware/}' /etc/apt/sources.list
            changed=1
        fi
        if ! grep -Eq '^deb-src ' /etc/apt/sources.list; then
            grep -E '^deb .*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /' >> /etc/apt/sources.list
            changed=1
        fi
    fi
fi

# 2. the i386 architecture for wine32
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    changed=1
fi

PKGS="cmake ninja-build g++ make pkg-config python3 dpkg-dev file
 binutils-mingw-w64-i686 gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix mingw-w64-i686-dev
 binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
 wine wine64 wine32:i386 osslsigncode openssl xvfb xauth x11-utils x11-apps imagemagick xdotool
 libgtest-dev googletest libtinyxml2-dev rar unrar
 clang libclang-rt-14-dev qttools5-dev-tools fonts-noto-core fonts-noto-cjk fonts-dejavu-core libpangocairo-1.0-0"

missing=""
for p in $PKGS; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $p"
    fi
done
# A mirror in the middle of a sync fails an index now and then: try again a
# few times, then go on with the indexes that did arrive (the installation
# below still fails if a package cannot be found).
update_indexes() {
    for attempt in 1 2 3; do
        apt-get update -q && return 0
        echo "setup: the package index update failed (attempt $attempt)" >&2
        sleep $((attempt * 10))
    done
    echo "setup: going on with the package indexes that were fetched" >&2
}
# When an index of the security suite could not be fetched (a mirror caught
# mid-sync), the 64-bit and 32-bit halves of a library can no longer be paired
# at the same version; the fall-back installs from the release's own suite,
# whose indexes are whole, by ranking the security suite below it for this
# one command.
install_missing() {
    apt-get install -y -q --no-install-recommends $missing && return 0
    echo "setup: the installation failed; trying again with the release's own versions" >&2
    prefs="$(mktemp)"
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' > "$prefs"
    status=0
    apt-get install -y -q --no-install-recommends -o Dir::Etc::Preferences="$prefs" $missing || status=$?
    rm -f "$prefs"
    return $status
}
if [ -n "$missing" ] || [ "$changed" = 1 ]; then
    update_indexes
fi
if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    install_missing
fi

# 3. posix thread model for the cross compilers (i686: the installer;
#    x86_64: the test-only 64-bit build)
for triplet in i686-w64-mingw32 x86_64-w64-mingw32; do
    for tool in gcc g++; do
        alt=/usr/bin/$triplet-$tool-posix
        if [ -x "$alt" ] && [ "$(readlink -f /usr/bin/$triplet-$tool)" != "$(readlink -f $alt)" ]; then
            update-alternatives --set $triplet-$tool "$alt" >/dev/null
        fi
    done
done
echo "setup: done"
