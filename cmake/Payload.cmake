# The installer's payload and the extraction test archives.
#
# Include this once from the top-level CMakeLists.txt of the Windows build,
# after include(cmake/Dependencies.cmake):
#
#   include(cmake/Payload.cmake)
#
# Where the payload comes from (cache options):
#
#   QUENNEL_PAYLOAD_ARCHIVE  A ready RAR archive. It is checked, then copied;
#                            it takes precedence over QUENNEL_PAYLOAD_TREE.
#   QUENNEL_PAYLOAD_TREE     A folder holding client/translations/<Folder>/
#                            and server/translations/<Folder>/ for the 33
#                            languages of core/language_catalogue.cpp. It is
#                            checked, then packed.
#   (both empty)             A sample tree is generated into
#                            ${CMAKE_BINARY_DIR}/payload/tree by
#                            tools/payload/make_sample_tree.py, then checked
#                            and packed.
#
# Targets (both part of ALL):
#
#   payload_archive       ${CMAKE_BINARY_DIR}/payload/setup.rar, the archive
#                         the installer embeds.
#   engine_test_archives  ${CMAKE_BINARY_DIR}/test-archives/: small/ and
#                         small.rar, nodata/ and nodata.rar, notanarchive.rar,
#                         damaged.rar (see tools/payload/make_test_archives.py).
#
# Variables set for the including CMakeLists.txt:
#
#   QUENNEL_PAYLOAD_RAR        path of setup.rar; a custom command's OUTPUT,
#                              so a target listing it as a source or in
#                              OBJECT_DEPENDS is rebuilt when it changes.
#   QUENNEL_PAYLOAD_TREE_DIR   the tree setup.rar is packed from; empty when
#                              a ready archive is used.
#   QUENNEL_TEST_ARCHIVES_DIR  ${CMAKE_BINARY_DIR}/test-archives
#
# Every build of setup.rar runs tools/payload/check_payload.py on the tree or
# the ready archive, and on the packed result; a refused payload fails the
# build with the checker's "payload: ..." lines. Packing is done by
# tools/payload/pack_tree.py: names relative to the tree root, folders as
# entries, best compression, not solid, and the same archive bytes for the
# same tree (rar stores no time of its own; the sorted name list and the
# fixed thread count are what make it repeatable).

include_guard(GLOBAL)

set(QUENNEL_PAYLOAD_TREE "" CACHE PATH
    "Translation tree to pack into the payload (empty: generate a sample tree)")
set(QUENNEL_PAYLOAD_ARCHIVE "" CACHE FILEPATH
    "Ready RAR archive to use as the payload instead of packing a tree")

get_filename_component(_quennel_payload_tools "${CMAKE_CURRENT_LIST_DIR}/../tools/payload" ABSOLUTE)
get_filename_component(_quennel_payload_catalogue
    "${CMAKE_CURRENT_LIST_DIR}/../core/language_catalogue.cpp" ABSOLUTE)
set(_quennel_payload_dir "${CMAKE_BINARY_DIR}/payload")
set(QUENNEL_PAYLOAD_RAR "${_quennel_payload_dir}/setup.rar")
set(QUENNEL_TEST_ARCHIVES_DIR "${CMAKE_BINARY_DIR}/test-archives")
file(MAKE_DIRECTORY "${_quennel_payload_dir}")

# Host programs, also when cross-compiling.
# The payload tools read archives with Debian's python3-rarfile: the system's
# own Python, not another one first on the PATH.
find_program(QUENNEL_SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH DOC "Debian's Python 3")
find_program(QUENNEL_RAR NAMES rar DOC "RAR archiver that packs the payload")
find_program(QUENNEL_UNRAR NAMES unrar DOC "RAR unpacker that checks the packed archives")
foreach(_quennel_tool QUENNEL_SYSTEM_PYTHON3 QUENNEL_RAR QUENNEL_UNRAR)
  if(NOT ${_quennel_tool} OR NOT EXISTS "${${_quennel_tool}}")
    message(FATAL_ERROR
      "${_quennel_tool} was not found (${${_quennel_tool}}), the payload cannot be built: "
      "run tools/setup.sh as root first")
  endif()
endforeach()
execute_process(
  COMMAND "${QUENNEL_SYSTEM_PYTHON3}" -c "import sys, rarfile; sys.exit(0 if sys.version_info >= (3, 9) else 1)"
  RESULT_VARIABLE _quennel_python_ok OUTPUT_QUIET ERROR_QUIET)
if(NOT _quennel_python_ok EQUAL 0)
  message(FATAL_ERROR
    "${QUENNEL_SYSTEM_PYTHON3} is not Python 3.9 or newer with rarfile: run tools/setup.sh as root first")
endif()

set(_quennel_payload_scripts
  "${_quennel_payload_tools}/payload_catalogue.py"
  "${_quennel_payload_tools}/check_payload.py"
  "${_quennel_payload_tools}/pack_tree.py")

# Tool paths and options as files whose contents change only when they do:
# the commands below depend on them, so a changed option (with any
# generator) re-runs exactly the steps it affects.
option(QUENNEL_PAYLOAD_SOLID "Pack the payload as a solid archive (smaller download)" OFF)
if(QUENNEL_PAYLOAD_SOLID)
  set(_quennel_solid_switch --solid)
else()
  set(_quennel_solid_switch "")
endif()
file(CONFIGURE OUTPUT "${_quennel_payload_dir}/tools.txt" CONTENT
"python3=${QUENNEL_SYSTEM_PYTHON3}
rar=${QUENNEL_RAR}
unrar=${QUENNEL_UNRAR}
solid=${QUENNEL_PAYLOAD_SOLID}
" @ONLY)

set(_quennel_check
  "${QUENNEL_SYSTEM_PYTHON3}" "${_quennel_payload_tools}/check_payload.py"
  --catalogue "${_quennel_payload_catalogue}")
set(_quennel_new_rar "${_quennel_payload_dir}/setup.rar.new")

if(QUENNEL_PAYLOAD_ARCHIVE)
  get_filename_component(_quennel_archive "${QUENNEL_PAYLOAD_ARCHIVE}" ABSOLUTE)
  if(NOT EXISTS "${_quennel_archive}" OR IS_DIRECTORY "${_quennel_archive}")
    message(FATAL_ERROR "QUENNEL_PAYLOAD_ARCHIVE: no such file: ${_quennel_archive}")
  endif()
  set(QUENNEL_PAYLOAD_TREE_DIR "")
  file(CONFIGURE OUTPUT "${_quennel_payload_dir}/options.txt" CONTENT
       "archive=${_quennel_archive}\n" @ONLY)
  message(STATUS "Payload: the archive ${_quennel_archive}")

  add_custom_command(
    OUTPUT "${QUENNEL_PAYLOAD_RAR}"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${QUENNEL_PAYLOAD_RAR}" "${_quennel_new_rar}"
    COMMAND ${_quennel_check} --archive "${_quennel_archive}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${_quennel_archive}" "${_quennel_new_rar}"
    COMMAND "${CMAKE_COMMAND}" -E rename "${_quennel_new_rar}" "${QUENNEL_PAYLOAD_RAR}"
    DEPENDS "${_quennel_archive}" ${_quennel_payload_scripts} "${_quennel_payload_catalogue}"
            "${_quennel_payload_dir}/options.txt" "${_quennel_payload_dir}/tools.txt"
    COMMENT "Checking the payload archive ${_quennel_archive}"
    VERBATIM)
else()
  if(QUENNEL_PAYLOAD_TREE)
    get_filename_component(QUENNEL_PAYLOAD_TREE_DIR "${QUENNEL_PAYLOAD_TREE}" ABSOLUTE)
    if(NOT IS_DIRECTORY "${QUENNEL_PAYLOAD_TREE_DIR}")
      message(FATAL_ERROR "QUENNEL_PAYLOAD_TREE: no such folder: ${QUENNEL_PAYLOAD_TREE_DIR}")
    endif()
    file(CONFIGURE OUTPUT "${_quennel_payload_dir}/options.txt" CONTENT
         "tree=${QUENNEL_PAYLOAD_TREE_DIR}\n" @ONLY)
    message(STATUS "Payload: the tree ${QUENNEL_PAYLOAD_TREE_DIR}")
    # Files and folders of the tree; re-listed at build time, so an added
    # or removed file re-runs CMake and the packing. Links are left to the
    # checker, which refuses them with a clearer message than a dangling
    # dependency would get.
    file(GLOB_RECURSE _quennel_tree_entries LIST_DIRECTORIES true CONFIGURE_DEPENDS
         "${QUENNEL_PAYLOAD_TREE_DIR}/*")
    set(_quennel_tree_inputs "")
    foreach(_quennel_entry IN LISTS _quennel_tree_entries)
      if(NOT IS_SYMLINK "${_quennel_entry}")
        list(APPEND _quennel_tree_inputs "${_quennel_entry}")
      endif()
    endforeach()
  else()
    find_program(QUENNEL_LRELEASE NAMES lrelease HINTS /usr/lib/qt5/bin
                 DOC "Qt Linguist's lrelease, for the sample payload")
    if(NOT QUENNEL_LRELEASE OR NOT EXISTS "${QUENNEL_LRELEASE}")
      message(FATAL_ERROR
        "lrelease was not found, the sample payload cannot be made: "
        "run tools/setup.sh as root first")
    endif()
    set(QUENNEL_PAYLOAD_TREE_DIR "${_quennel_payload_dir}/tree")
    file(CONFIGURE OUTPUT "${_quennel_payload_dir}/options.txt" CONTENT
         "sample tree\nlrelease=${QUENNEL_LRELEASE}\n" @ONLY)
    message(STATUS "Payload: the sample tree ${QUENNEL_PAYLOAD_TREE_DIR}")

    set(_quennel_tree_stamp "${_quennel_payload_dir}/tree.stamp")
    add_custom_command(
      OUTPUT "${_quennel_tree_stamp}"
      COMMAND "${CMAKE_COMMAND}" -E rm -rf "${QUENNEL_PAYLOAD_TREE_DIR}" "${_quennel_tree_stamp}"
      COMMAND "${QUENNEL_SYSTEM_PYTHON3}" "${_quennel_payload_tools}/make_sample_tree.py"
              --catalogue "${_quennel_payload_catalogue}"
              --out "${QUENNEL_PAYLOAD_TREE_DIR}"
              --lrelease "${QUENNEL_LRELEASE}"
      COMMAND "${CMAKE_COMMAND}" -E touch "${_quennel_tree_stamp}"
      DEPENDS "${_quennel_payload_tools}/make_sample_tree.py"
              "${_quennel_payload_tools}/payload_catalogue.py"
              "${_quennel_payload_catalogue}"
              "${_quennel_payload_dir}/options.txt" "${_quennel_payload_dir}/tools.txt"
      COMMENT "Generating the sample translation tree"
      VERBATIM)
    set(_quennel_tree_inputs "${_quennel_tree_stamp}")
  endif()

  add_custom_command(
    OUTPUT "${QUENNEL_PAYLOAD_RAR}"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${QUENNEL_PAYLOAD_RAR}" "${_quennel_new_rar}"
    COMMAND ${_quennel_check} --tree "${QUENNEL_PAYLOAD_TREE_DIR}"
    COMMAND "${QUENNEL_SYSTEM_PYTHON3}" "${_quennel_payload_tools}/pack_tree.py"
            --tree "${QUENNEL_PAYLOAD_TREE_DIR}" --out "${_quennel_new_rar}"
            --rar "${QUENNEL_RAR}" --unrar "${QUENNEL_UNRAR}" ${_quennel_solid_switch}
    COMMAND ${_quennel_check} --archive "${_quennel_new_rar}"
    COMMAND "${CMAKE_COMMAND}" -E rename "${_quennel_new_rar}" "${QUENNEL_PAYLOAD_RAR}"
    DEPENDS ${_quennel_tree_inputs} ${_quennel_payload_scripts} "${_quennel_payload_catalogue}"
            "${_quennel_payload_dir}/options.txt" "${_quennel_payload_dir}/tools.txt"
    COMMENT "Checking and packing the payload"
    VERBATIM)
endif()

add_custom_target(payload_archive ALL DEPENDS "${QUENNEL_PAYLOAD_RAR}")

# Archives of the extraction tests.
set(_quennel_test_archives
  "${QUENNEL_TEST_ARCHIVES_DIR}/small.rar"
  "${QUENNEL_TEST_ARCHIVES_DIR}/nodata.rar"
  "${QUENNEL_TEST_ARCHIVES_DIR}/notanarchive.rar"
  "${QUENNEL_TEST_ARCHIVES_DIR}/damaged.rar")
add_custom_command(
  OUTPUT ${_quennel_test_archives}
  COMMAND "${CMAKE_COMMAND}" -E rm -rf "${QUENNEL_TEST_ARCHIVES_DIR}"
  COMMAND "${QUENNEL_SYSTEM_PYTHON3}" "${_quennel_payload_tools}/make_test_archives.py"
          --out "${QUENNEL_TEST_ARCHIVES_DIR}" --rar "${QUENNEL_RAR}" --unrar "${QUENNEL_UNRAR}"
  DEPENDS "${_quennel_payload_tools}/make_test_archives.py"
          "${_quennel_payload_tools}/pack_tree.py"
          "${_quennel_payload_dir}/tools.txt"
  COMMENT "Writing the extraction test archives"
  VERBATIM)
add_custom_target(engine_test_archives ALL DEPENDS ${_quennel_test_archives})
