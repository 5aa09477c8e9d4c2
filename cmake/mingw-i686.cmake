# Toolchain for building the 32-bit Windows installer on Linux with mingw-w64.
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUENNEL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
