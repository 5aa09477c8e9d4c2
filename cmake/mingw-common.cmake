# What the two mingw-w64 toolchain files share; they set
# CMAKE_SYSTEM_PROCESSOR and QUENNEL_MINGW_TRIPLET first.
#
# The posix thread model compilers are preferred (std::thread, std::mutex);
# the unsuffixed names are used when only those are installed.

set(CMAKE_SYSTEM_NAME Windows)

# CMake reads a toolchain file several times (once per try_compile too), so
# the look-ups are cached and the first result sticks.
find_program(QUENNEL_MINGW_CC
    NAMES ${QUENNEL_MINGW_TRIPLET}-gcc-posix ${QUENNEL_MINGW_TRIPLET}-gcc
    DOC "mingw-w64 C compiler")
find_program(QUENNEL_MINGW_CXX
    NAMES ${QUENNEL_MINGW_TRIPLET}-g++-posix ${QUENNEL_MINGW_TRIPLET}-g++
    DOC "mingw-w64 C++ compiler")
find_program(QUENNEL_MINGW_WINDRES
    NAMES ${QUENNEL_MINGW_TRIPLET}-windres
    DOC "mingw-w64 resource compiler")

if(NOT QUENNEL_MINGW_CC OR NOT QUENNEL_MINGW_CXX OR NOT QUENNEL_MINGW_WINDRES)
    message(FATAL_ERROR
        "The ${QUENNEL_MINGW_TRIPLET} cross compilers were not found "
        "(gcc: ${QUENNEL_MINGW_CC}, g++: ${QUENNEL_MINGW_CXX}, "
        "windres: ${QUENNEL_MINGW_WINDRES}). Run tools/setup.sh as root first.")
endif()

set(CMAKE_C_COMPILER   "${QUENNEL_MINGW_CC}")
set(CMAKE_CXX_COMPILER "${QUENNEL_MINGW_CXX}")
set(CMAKE_RC_COMPILER  "${QUENNEL_MINGW_WINDRES}")

# Libraries, headers and CMake packages come from the mingw sysroot only;
# build tools are taken from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUENNEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
