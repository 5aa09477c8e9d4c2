# Sourced by the scripts that run the installer under Wine (tools/test.sh,
# tools/demo.sh, tools/screenshots.sh, tools/benchmark.sh): every one runs the
# shipped 32-bit build, natively where the kernel runs 32-bit programs and
# through qemu-user where it does not.
#
#   quennel_take_route NAME "$0" "$@"
#
# returns on the native route; otherwise runs the whole script again through
# tests/wine/qemu-route.sh (and does not return), or fails when neither route
# works. Afterwards QUENNEL_ROUTE names the route in words.
# QUENNEL_FORCE_QEMU=1 takes the qemu route on a machine that has both.
quennel_take_route() {
    local name="$1" script="$2"
    shift 2
    local wine_dir
    wine_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
    if [ -n "${QUENNEL_QEMU_ROUTE:-}" ]; then
        QUENNEL_ROUTE="32-bit build, through qemu-user"
        return 0
    fi
    if [ "${QUENNEL_FORCE_QEMU:-0}" != 1 ] && "$wine_dir/wine-env.sh" probe 2>/dev/null; then
        QUENNEL_ROUTE="32-bit build, native"
        return 0
    fi
    if "$wine_dir/qemu-route.sh" probe; then
        [ "${QUENNEL_FORCE_QEMU:-0}" = 1 ] || echo "$name: this machine runs no 32-bit programs" \
            "(the kernel refuses them): Wine's 32-bit loader runs through qemu-user"
        exec "$wine_dir/qemu-route.sh" run "$script" "$@"
    fi
    "$wine_dir/wine-env.sh" probe || true
    echo "$name: not run: Wine's 32-bit loader runs neither natively nor through qemu-user here" >&2
    exit 1
}
