#!/bin/bash
# Runs a command with every 32-bit x86 Linux program it starts (Wine's
# 32-bit loader, and so every 32-bit Windows program) going through qemu-user.
#
#   qemu-route.sh run CMD [ARGS...]   run CMD that way
#   qemu-route.sh probe               exit 0 when Wine's 32-bit loader runs that way
#
# For machines whose kernel runs no 32-bit programs, and, on the others, for
# the short suite that keeps this route working. The registration for i386
# ELF files lives in binfmt_misc mounted in a private user and mount
# namespace (Linux 6.7 and newer), so nothing else on the machine changes.
# Where that is refused, root registers it system-wide for the command's
# lifetime and removes it afterwards. QUENNEL_QEMU_ROUTE is set inside, so a
# nested call runs its command as it is.
set -euo pipefail

qemu="${QUENNEL_QEMU:-$(command -v qemu-i386 || true)}"
name=quennel-i386
magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# F: the interpreter is opened now, so it serves inside every namespace;
# P: the program keeps its own name as argv[0] (qemu reads the flag).
rule=":$name:M::$magic:$mask:$qemu:FP"
binfmt=/proc/sys/fs/binfmt_misc

log() { echo "qemu-route: $*" >&2; }

if [ -z "$qemu" ] || [ ! -x "$qemu" ]; then
    log "qemu-i386 is not installed (tools/setup.sh installs qemu-user)"
    exit 1
fi

case "${1:-}" in
    inside)
        # In the private namespace: mount its own binfmt_misc, register, run.
        shift
        mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || { log "no private binfmt_misc here"; exit 97; }
        echo "$rule" > "$binfmt/register"
        export QUENNEL_QEMU_ROUTE=private
        exec "$@"
        ;;
    run)
        shift
        [ $# -gt 0 ] || { echo "usage: $0 run CMD [ARGS...]" >&2; exit 2; }
        if [ -n "${QUENNEL_QEMU_ROUTE:-}" ]; then
            exec "$@"
        fi
        # QUENNEL_QEMU_SYSTEM=1 skips the private registration (to try the
        # system-wide one on a machine that allows both).
        rc=97
        if [ "${QUENNEL_QEMU_SYSTEM:-0}" != 1 ]; then
            rc=0
            unshare --user --map-root-user --mount "$0" inside "$@" || rc=$?
        fi
        [ $rc -ne 97 ] && exit $rc
        # The private registration was refused: a system-wide one, as root,
        # undone when the command ends however it ends.
        if [ "$(id -u)" -ne 0 ]; then
            log "a private binfmt_misc is refused here (Linux 6.7 or newer allows it), and only root may register system-wide"
            exit 1
        fi
        [ "${QUENNEL_QEMU_SYSTEM:-0}" = 1 ] || log "a private binfmt_misc is refused here"
        log "registering i386 programs system-wide for this command"
        mounted=0
        if [ ! -e "$binfmt/register" ]; then
            mount -t binfmt_misc binfmt_misc "$binfmt"
            mounted=1
        fi
        undo() {
            [ -e "$binfmt/$name" ] && echo -1 > "$binfmt/$name"
            [ $mounted = 1 ] && umount "$binfmt"
            return 0
        }
        trap undo EXIT
        [ -e "$binfmt/$name" ] && echo -1 > "$binfmt/$name"
        echo "$rule" > "$binfmt/register"
        rc=0
        QUENNEL_QEMU_ROUTE=system "$@" || rc=$?
        exit $rc
        ;;
    probe)
        out="$("$0" run /usr/lib/wine/wine --version 2>&1 </dev/null)" || true
        if ! printf '%s' "$out" | grep -q '^wine-'; then
            log "Wine's 32-bit loader does not run through qemu-user here: ${out:-no output}"
            exit 1
        fi
        ;;
    *)
        echo "usage: $0 run CMD [ARGS...] | probe" >&2
        exit 2
        ;;
esac
