#!/bin/bash
# A small drive T: for the disk-full tests: a tmpfs of a few megabytes mounted
# inside the test prefix's state folder and given to Wine as drive T:.
# Where mounting is not permitted, the reason is written for the tests, which
# then skip with it.
#
#   tmpfs-drive.sh setup|teardown   (QUENNEL_WINE_DIR names the state folder)
set -uo pipefail
state="${QUENNEL_WINE_DIR:?}"
mnt="$state/tmpfs"
link="$state/prefix/dosdevices/t:"
reason="$state/tmpfs.reason"
case "${1:-}" in
    setup)
        mkdir -p "$mnt"
        mountpoint -q "$mnt" && umount "$mnt"
        if err=$(mount -t tmpfs -o size=8m,mode=0777 tmpfs "$mnt" 2>&1); then
            ln -sfn "$mnt" "$link"
            rm -f "$reason"
            echo "tmpfs-drive: T: is an 8 MB tmpfs at $mnt"
        else
            rm -f "$link"
            echo "mounting a tmpfs is not permitted here ($err)" > "$reason"
            echo "tmpfs-drive: $(cat "$reason")"
        fi
        ;;
    teardown)
        rm -f "$link"
        mountpoint -q "$mnt" && umount "$mnt"
        exit 0
        ;;
    *)
        echo "usage: $0 setup|teardown" >&2
        exit 2
        ;;
esac
