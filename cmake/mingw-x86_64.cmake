# Toolchain for the test-only 64-bit build of the same sources: it lets the
# Windows suites run under Wine's 64-bit loader on machines that run no 32-bit
# programs. What it builds is never shipped.
#
#   cmake --preset windows64

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUENNEL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
