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
 wine wine64 wine32:i386 osslsigncode openssl xvfb xauth x11-utils x11-apps imagemagick xdotool
 libgtest-dev googletest libtinyxml2-dev rar unrar python3-pefile
 clang libclang-rt-14-dev qttools5-dev-tools fonts-noto-core fonts-noto-cjk fonts-dejavu-core libpangocairo-1.0-0
 python3-gi python3-gi-cairo python3-cairo gir1.2-pango-1.0 python3-pil python3-rarfile"

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

# 3. qemu-user 10, for machines whose kernel runs no 32-bit programs: Wine's
#    32-bit loader then runs through it (tests/wine/qemu-route.sh), and on the
#    others one short suite keeps that route working. Bookworm's own qemu 7.2
#    crashes in wineboot; the backports suite has 10. Its entry is a file of
#    our own, made from the machine's Debian entry, and only this package is
#    taken from it (backports are never chosen unless asked for by name).
qemu_ok() {
    command -v qemu-i386 >/dev/null 2>&1 &&
        qemu-i386 --version 2>/dev/null | grep -Eq 'version (1[0-9]|[2-9][0-9])\.'
}
if ! qemu_ok; then
    backports=/etc/apt/sources.list.d/quennel-backports.sources
    if [ ! -f "$backports" ]; then
        uri="$(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -n 1 | awk '{print $2}')"
        if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
            uri="$(grep -E '^deb .*debian' /etc/apt/sources.list | grep -v security | head -n 1 |
                   sed -E 's/^deb (\[[^]]*\] )?([^ ]+).*/\2/')"
        fi
        codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
        printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$uri" "$codename" > "$backports"
        update_indexes
    fi
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    echo "setup: installing qemu-user from $codename-backports"
    apt-get install -y -q --no-install-recommends "qemu-user/$codename-backports"
fi

# 4. posix thread model for the cross compiler
for triplet in i686-w64-mingw32; do
    for tool in gcc g++; do
        alt=/usr/bin/$triplet-$tool-posix
        if [ -x "$alt" ] && [ "$(readlink -f /usr/bin/$triplet-$tool)" != "$(readlink -f $alt)" ]; then
            update-alternatives --set $triplet-$tool "$alt" >/dev/null
        fi
    done
done
echo "setup: done"
