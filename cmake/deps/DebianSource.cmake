# quennel_debian_source(<package> <marker-file> <out-var>)
#
# Sets <out-var> to the unpacked Debian source tree of <package> in
# QUENNEL_DEPS_DIR, running `apt-get source <package>` there first when no
# such tree exists yet. A tree counts as present when a directory named
# <package>-<version> holds <marker-file>, so a reconfigure never fetches
# again.
#
# The download and unpacking happen in a scratch directory and the finished
# tree is moved into place in one rename, so an interrupted fetch never
# leaves a half-unpacked tree behind that a later run would take for a
# complete one. A lock file keeps two build directories that configure at
# the same time from fetching into the same place at once.

include_guard(GLOBAL)

# Lists the complete <package>-<version> trees under <dir>, newest first.
function(_quennel_find_unpacked dir package marker out_var)
  file(GLOB candidates LIST_DIRECTORIES true "${dir}/${package}-*")
  set(found "")
  foreach(candidate IN LISTS candidates)
    if(IS_DIRECTORY "${candidate}" AND EXISTS "${candidate}/${marker}")
      list(APPEND found "${candidate}")
    endif()
  endforeach()
  if(found)
    list(SORT found COMPARE NATURAL ORDER DESCENDING)
  endif()
  set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

function(quennel_debian_source package marker out_var)
  if(NOT QUENNEL_DEPS_DIR)
    message(FATAL_ERROR "QUENNEL_DEPS_DIR is empty; set it to a writable directory.")
  endif()
  get_filename_component(deps_dir "${QUENNEL_DEPS_DIR}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")

  _quennel_find_unpacked("${deps_dir}" "${package}" "${marker}" trees)
  if(NOT trees)
    file(MAKE_DIRECTORY "${deps_dir}")
    file(LOCK "${deps_dir}/.${package}.lock"
         GUARD FUNCTION TIMEOUT 1200 RESULT_VARIABLE lock_error)
    if(lock_error)
      message(FATAL_ERROR
        "Could not lock ${deps_dir}/.${package}.lock to fetch the ${package} "
        "sources: ${lock_error}")
    endif()
    # Another configure run may have fetched it while this one waited.
    _quennel_find_unpacked("${deps_dir}" "${package}" "${marker}" trees)
  endif()

  if(NOT trees)
    find_program(QUENNEL_APT_GET apt-get)
    # Inside the private user namespace of the qemu route (tests/wine/
    # qemu-route.sh) apt cannot switch to its download user, which the
    # namespace does not map: it downloads as the namespace's root instead.
    set(_quennel_apt_options "")
    if(DEFINED ENV{QUENNEL_QEMU_ROUTE})
      set(_quennel_apt_options -o APT::Sandbox::User=root)
    endif()
    if(NOT QUENNEL_APT_GET)
      message(FATAL_ERROR
        "The ${package} sources are not in ${deps_dir} and apt-get is not "
        "available to fetch them. Run tools/setup.sh as root first, or unpack "
        "the Debian source package ${package} into ${deps_dir}.")
    endif()

    set(stage "${deps_dir}/.fetch-${package}")
    file(REMOVE_RECURSE "${stage}")
    file(MAKE_DIRECTORY "${stage}")

    message(STATUS "Fetching the Debian source package ${package} into ${deps_dir}")
    execute_process(
      COMMAND "${QUENNEL_APT_GET}" source -q ${_quennel_apt_options} "${package}"
      WORKING_DIRECTORY "${stage}"
      RESULT_VARIABLE apt_result
      OUTPUT_VARIABLE apt_output
      ERROR_VARIABLE apt_output)
    if(NOT apt_result EQUAL 0)
      file(REMOVE_RECURSE "${stage}")
      message(FATAL_ERROR
        "`apt-get source ${package}` failed (${apt_result}):\n${apt_output}\n"
        "It needs source entries with the non-free component enabled in the "
        "apt sources and dpkg-dev installed: run tools/setup.sh as root first.")
    endif()

    _quennel_find_unpacked("${stage}" "${package}" "${marker}" unpacked)
    list(LENGTH unpacked unpacked_count)
    if(NOT unpacked_count EQUAL 1)
      file(REMOVE_RECURSE "${stage}")
      message(FATAL_ERROR
        "`apt-get source ${package}` succeeded but did not leave exactly one "
        "${package}-<version> directory holding ${marker} (found: "
        "'${unpacked}'). Output was:\n${apt_output}")
    endif()

    get_filename_component(tree_name "${unpacked}" NAME)
    set(tree "${deps_dir}/${tree_name}")
    if(EXISTS "${tree}")
      # A directory of that name without the marker file: an incomplete
      # leftover of some earlier attempt. The cache directory is ours.
      message(STATUS "Replacing the incomplete ${tree}")
      file(REMOVE_RECURSE "${tree}")
    endif()
    file(RENAME "${unpacked}" "${tree}")
    file(REMOVE_RECURSE "${stage}")
    set(trees "${tree}")
  endif()

  list(LENGTH trees tree_count)
  list(GET trees 0 tree)
  if(tree_count GREATER 1)
    message(STATUS "Several ${package} source trees in ${deps_dir}; using the newest, ${tree}")
  endif()
  set(${out_var} "${tree}" PARENT_SCOPE)
endfunction()
