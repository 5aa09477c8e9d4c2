# Third-party libraries of the installer, as CMake targets.
#
# Include this once from the top-level CMakeLists.txt, after project():
#
#   include(cmake/Dependencies.cmake)
#
# It provides, for the mingw (Windows) build and for a native build alike:
#
#   tinyxml2::tinyxml2  XML parser. mingw: a static library built from the
#                       Debian source package tinyxml2. Native: the system's
#                       libtinyxml2-dev.
#   GTest::gtest        GoogleTest, and GTest::gtest_main with a main().
#   GTest::gtest_main   mingw: static libraries (targets gtest_mingw and
#                       gtest_main_mingw) built from the sources Debian ships
#                       in /usr/src/googletest; a program linking them is
#                       linked statically, so it runs under Wine without any
#                       mingw runtime DLL. Native: the system's GoogleTest.
#   unrar_headers       Interface target whose include directory holds the
#                       UnRAR library's own dll.hpp (#include "dll.hpp").
#                       Natively it also defines _UNIX, which dll.hpp needs
#                       outside Windows.
#
# and for the mingw build only:
#
#   unrar_dll           unrar.dll, the UnRAR library's DLL, built from the
#                       Debian source package unrar-nonfree: 32-bit, with the
#                       library's published entry points exported under their
#                       plain __stdcall names (RAROpenArchiveEx, ...), and the
#                       C and C++ runtimes linked in, so the DLL imports only
#                       Windows system DLLs. Load it with LoadLibrary and
#                       GetProcAddress, or link to it (it comes with an
#                       import library, libunrar.dll.a).
#
# The Debian sources are fetched with `apt-get source` into QUENNEL_DEPS_DIR
# the first time they are needed and reused from there afterwards.
# QUENNEL_UNRAR_SOURCE_DIR and QUENNEL_TINYXML2_SOURCE_DIR name the trees used.

include_guard(GLOBAL)

if(CMAKE_VERSION VERSION_LESS 3.18)
  message(FATAL_ERROR "cmake/Dependencies.cmake needs CMake 3.18 or newer")
endif()

set(QUENNEL_DEPS_DIR "${CMAKE_SOURCE_DIR}/.deps" CACHE PATH
    "Where the Debian source packages of the third-party libraries are unpacked")

set(_quennel_deps_helpers "${CMAKE_CURRENT_LIST_DIR}/deps")
set(_quennel_deps_binary_dir "${CMAKE_BINARY_DIR}/quennel-deps")

include("${_quennel_deps_helpers}/DebianSource.cmake")

# Reads a make variable (with its backslash-continued lines) from a makefile
# and returns the C++ sources behind the object files it lists.
function(_quennel_makefile_sources makefile variable out_var)
  file(READ "${makefile}" text)
  string(REGEX REPLACE "\\\\\r?\n" " " text "\n${text}")
  if(NOT text MATCHES "\n${variable}[ \t]*=([^\n]*)")
    message(FATAL_ERROR "${makefile} does not set ${variable}")
  endif()
  string(REGEX MATCHALL "[A-Za-z0-9_]+\\.o" objects "${CMAKE_MATCH_1}")
  if(NOT objects)
    message(FATAL_ERROR "${variable} in ${makefile} lists no object files")
  endif()
  set(sources "")
  get_filename_component(dir "${makefile}" DIRECTORY)
  foreach(object IN LISTS objects)
    string(REGEX REPLACE "\\.o$" ".cpp" source "${object}")
    if(NOT EXISTS "${dir}/${source}")
      message(FATAL_ERROR "${makefile} lists ${object} but ${dir}/${source} does not exist")
    endif()
    list(APPEND sources "${dir}/${source}")
  endforeach()
  set(${out_var} "${sources}" PARENT_SCOPE)
endfunction()

# Warnings in third-party code are not ours to fix, and must not break a
# build that treats warnings as errors.
set(_quennel_third_party_options -w)

# ---------------------------------------------------------------------------
# TinyXML-2
# ---------------------------------------------------------------------------
if(MINGW)
  quennel_debian_source(tinyxml2 tinyxml2.cpp QUENNEL_TINYXML2_SOURCE_DIR)
  message(STATUS "tinyxml2: building from ${QUENNEL_TINYXML2_SOURCE_DIR}")

  add_library(tinyxml2 STATIC "${QUENNEL_TINYXML2_SOURCE_DIR}/tinyxml2.cpp")
  target_include_directories(tinyxml2 SYSTEM PUBLIC "${QUENNEL_TINYXML2_SOURCE_DIR}")
  target_compile_options(tinyxml2 PRIVATE ${_quennel_third_party_options})
  add_library(tinyxml2::tinyxml2 ALIAS tinyxml2)
else()
  find_package(tinyxml2 CONFIG QUIET)
  if(NOT TARGET tinyxml2::tinyxml2)
    find_package(PkgConfig QUIET)
    if(PKG_CONFIG_FOUND)
      pkg_check_modules(QUENNEL_SYSTEM_TINYXML2 QUIET IMPORTED_TARGET tinyxml2)
    endif()
    if(NOT TARGET PkgConfig::QUENNEL_SYSTEM_TINYXML2)
      message(FATAL_ERROR
        "tinyxml2 was not found. Install libtinyxml2-dev (tools/setup.sh does).")
    endif()
    add_library(tinyxml2::tinyxml2 INTERFACE IMPORTED)
    target_link_libraries(tinyxml2::tinyxml2 INTERFACE PkgConfig::QUENNEL_SYSTEM_TINYXML2)
  endif()
  message(STATUS "tinyxml2: using the system library")
endif()

# ---------------------------------------------------------------------------
# GoogleTest
# ---------------------------------------------------------------------------
if(MINGW)
  set(QUENNEL_GTEST_SOURCE_DIR "/usr/src/googletest/googletest" CACHE PATH
      "GoogleTest sources (googletest/ of Debian's googletest package) for the mingw build")
  if(NOT EXISTS "${QUENNEL_GTEST_SOURCE_DIR}/src/gtest-all.cc"
     OR NOT EXISTS "${QUENNEL_GTEST_SOURCE_DIR}/include/gtest/gtest.h")
    message(FATAL_ERROR
      "No GoogleTest sources in ${QUENNEL_GTEST_SOURCE_DIR}. Install the "
      "googletest package (tools/setup.sh does) or set QUENNEL_GTEST_SOURCE_DIR.")
  endif()
  message(STATUS "GoogleTest: building from ${QUENNEL_GTEST_SOURCE_DIR}")

  add_library(gtest_mingw STATIC "${QUENNEL_GTEST_SOURCE_DIR}/src/gtest-all.cc")
  target_include_directories(gtest_mingw
    SYSTEM PUBLIC "${QUENNEL_GTEST_SOURCE_DIR}/include"
    PRIVATE "${QUENNEL_GTEST_SOURCE_DIR}")
  target_compile_features(gtest_mingw PUBLIC cxx_std_14)
  target_compile_options(gtest_mingw PRIVATE ${_quennel_third_party_options})
  # Test programs carry their runtime with them: no libstdc++, libgcc or
  # winpthread DLL to find when Wine runs them.
  target_link_options(gtest_mingw INTERFACE -static -static-libgcc -static-libstdc++)

  add_library(gtest_main_mingw STATIC "${QUENNEL_GTEST_SOURCE_DIR}/src/gtest_main.cc")
  target_compile_options(gtest_main_mingw PRIVATE ${_quennel_third_party_options})
  target_link_libraries(gtest_main_mingw PUBLIC gtest_mingw)

  add_library(GTest::gtest ALIAS gtest_mingw)
  add_library(GTest::gtest_main ALIAS gtest_main_mingw)
else()
  find_package(GTest QUIET)
  if(NOT TARGET GTest::gtest OR NOT TARGET GTest::gtest_main)
    message(FATAL_ERROR
      "GoogleTest was not found. Install libgtest-dev (tools/setup.sh does).")
  endif()
  message(STATUS "GoogleTest: using the system library")
endif()

# ---------------------------------------------------------------------------
# UnRAR
# ---------------------------------------------------------------------------
quennel_debian_source(unrar-nonfree dll.hpp QUENNEL_UNRAR_SOURCE_DIR)
foreach(_quennel_file makefile dll.def dll.cpp)
  if(NOT EXISTS "${QUENNEL_UNRAR_SOURCE_DIR}/${_quennel_file}")
    message(FATAL_ERROR "${QUENNEL_UNRAR_SOURCE_DIR} has no ${_quennel_file}")
  endif()
endforeach()
message(STATUS "UnRAR: using ${QUENNEL_UNRAR_SOURCE_DIR}")

# Only dll.hpp is exposed: the source directory itself is full of headers
# with common names (file.hpp, list.hpp, version.hpp, ...) that would shadow
# the installer's own.
set(_quennel_unrar_include "${_quennel_deps_binary_dir}/unrar/include")
configure_file("${QUENNEL_UNRAR_SOURCE_DIR}/dll.hpp" "${_quennel_unrar_include}/dll.hpp" COPYONLY)
add_library(unrar_headers INTERFACE)
target_include_directories(unrar_headers SYSTEM INTERFACE "${_quennel_unrar_include}")
if(NOT WIN32)
  target_compile_definitions(unrar_headers INTERFACE _UNIX)
endif()

if(MINGW)
  enable_language(RC)

  # The library's own file list for its `lib` target: the common objects
  # plus the library-only ones. isnt.cpp (Windows version checks) is not in
  # that makefile, which is for Unix, but belongs to the library's Windows
  # DLL project.
  _quennel_makefile_sources("${QUENNEL_UNRAR_SOURCE_DIR}/makefile" OBJECTS _quennel_unrar_common)
  _quennel_makefile_sources("${QUENNEL_UNRAR_SOURCE_DIR}/makefile" LIB_OBJ _quennel_unrar_lib)
  set(_quennel_unrar_sources
      ${_quennel_unrar_common} ${_quennel_unrar_lib} "${QUENNEL_UNRAR_SOURCE_DIR}/isnt.cpp")
  list(REMOVE_DUPLICATES _quennel_unrar_sources)

  add_library(unrar_objects OBJECT ${_quennel_unrar_sources})
  # The defines of the library's DLL build.
  target_compile_definitions(unrar_objects PRIVATE RARDLL SILENT UNRAR)
  # Mixed-case Windows SDK header names the sources use.
  target_include_directories(unrar_objects PRIVATE "${_quennel_deps_helpers}/include")
  target_compile_options(unrar_objects PRIVATE ${_quennel_third_party_options})
  if(NOT CMAKE_CONFIGURATION_TYPES AND NOT CMAKE_BUILD_TYPE)
    # No build type means no optimisation at all; the decompressor is the
    # installer's bottleneck, so it is optimised regardless.
    target_compile_options(unrar_objects PRIVATE -O2)
  endif()

  set(_quennel_unrar_rc "")
  if(EXISTS "${QUENNEL_UNRAR_SOURCE_DIR}/dll.rc")
    set(_quennel_unrar_rc "${QUENNEL_UNRAR_SOURCE_DIR}/dll.rc")   # version resource
  endif()
  add_library(unrar_dll SHARED
      "${_quennel_deps_helpers}/comutil_shim.cpp" ${_quennel_unrar_rc})
  target_link_libraries(unrar_dll
    PRIVATE unrar_objects
            ole32 oleaut32 wbemuuid powrprof shlwapi shell32 advapi32 user32
    PUBLIC unrar_headers)
  set_target_properties(unrar_dll PROPERTIES
    OUTPUT_NAME unrar
    PREFIX ""
    LINK_DEPENDS "${QUENNEL_UNRAR_SOURCE_DIR}/dll.def;${_quennel_deps_helpers}/unrar_exports.cmake")

  if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR
      "nm and dlltool of the mingw toolchain are needed for unrar.dll "
      "(CMAKE_NM: '${CMAKE_NM}', CMAKE_DLLTOOL: '${CMAKE_DLLTOOL}').")
  endif()

  # Exports: the names in the library's dll.def with the __stdcall
  # decorations the compiler gave them, which --kill-at then strips from the
  # exported names. The same list, given to dlltool, makes an import library
  # that resolves the decorated names a caller of dll.hpp references; the one
  # the linker writes itself would not.
  set(_quennel_unrar_def "${_quennel_deps_binary_dir}/unrar/unrar.def")
  add_custom_command(TARGET unrar_dll PRE_LINK
    COMMAND "${CMAKE_COMMAND}"
            "-DNM=${CMAKE_NM}"
            "-DDEF_IN=${QUENNEL_UNRAR_SOURCE_DIR}/dll.def"
            "-DDEF_OUT=${_quennel_unrar_def}"
            "-DDLL_NAME=$<TARGET_FILE_NAME:unrar_dll>"
            "-DOBJECTS=$<JOIN:$<TARGET_OBJECTS:unrar_objects>,|>"
            -P "${_quennel_deps_helpers}/unrar_exports.cmake"
    COMMENT "Listing the unrar.dll exports"
    VERBATIM)
  add_custom_command(TARGET unrar_dll POST_BUILD
    COMMAND "${CMAKE_DLLTOOL}" --kill-at
            --input-def "${_quennel_unrar_def}"
            --dllname "$<TARGET_FILE_NAME:unrar_dll>"
            --output-lib "$<TARGET_LINKER_FILE:unrar_dll>"
    COMMENT "Writing the unrar.dll import library"
    VERBATIM)

  target_link_options(unrar_dll PRIVATE
    "${_quennel_unrar_def}"
    -Wl,--kill-at
    # Only Windows system DLLs as imports.
    -static -static-libgcc -static-libstdc++
    # Symbols serve no one in a shipped third-party DLL; keep them in
    # builds that are meant for debugging.
    $<$<NOT:$<OR:$<CONFIG:Debug>,$<CONFIG:RelWithDebInfo>>>:-s>)
endif()
