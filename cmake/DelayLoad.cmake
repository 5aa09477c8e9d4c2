# Delay-load import libraries for the Windows DLLs the installer uses beyond
# KERNEL32 and msvcrt.
#
# A DLL named in the import table is loaded, with everything it depends on,
# before the program's first line runs, and Windows looks for all but its
# "known DLLs" in the program's own folder first: a Downloads folder, for
# instance. Imported through these libraries instead, a DLL is loaded on the
# first call into it, after the program has limited the search to the system
# folder.
#
#   quennel_delay_imports(<name>...)   makes the targets delay::<name>
#
# Each library is made at configure time from the mingw sysroot's own import
# library: its entry points are read with nm and given to dlltool, which
# writes the delay-load form (--output-delaylib). mingw-w64's libmingwex
# provides the helper that resolves them on first use.

function(quennel_delay_imports)
  if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "nm and dlltool of the mingw toolchain are needed for the delay-load libraries")
  endif()
  set(folder "${CMAKE_BINARY_DIR}/delayload")
  file(MAKE_DIRECTORY "${folder}")
  foreach(name IN LISTS ARGN)
    if(TARGET delay::${name})
      continue()
    endif()
    find_library(_quennel_import_${name} NAMES lib${name}.a NO_CACHE REQUIRED)
    set(import "${_quennel_import_${name}}")
    set(def "${folder}/${name}.def")
    set(lib "${folder}/lib${name}_delay.a")
    execute_process(COMMAND "${CMAKE_NM}" -g --defined-only "${import}"
      OUTPUT_VARIABLE symbols RESULT_VARIABLE result ERROR_QUIET)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "nm could not read ${import}")
    endif()
    # i386 import symbols are __imp__Name@N (stdcall) or __imp__Name;
    # x86-64 ones __imp_Name.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(pattern "__imp__([A-Za-z0-9_@?$]+)")
    else()
      set(pattern "__imp_([A-Za-z0-9_@?$]+)")
    endif()
    string(REGEX MATCHALL " I ${pattern}\n|[0-9a-fA-F]+ [A-Z] ${pattern}\n" lines "${symbols}")
    set(entries "")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "${pattern}" entry "${line}")
      string(REGEX REPLACE "^${pattern}$" "\\1" entry "${entry}")
      list(APPEND entries "${entry}")
    endforeach()
    list(REMOVE_DUPLICATES entries)
    list(SORT entries)
    if(NOT entries)
      message(FATAL_ERROR "${import} lists no entry points")
    endif()
    string(TOUPPER "${name}" upper)
    list(JOIN entries "\n  " body)
    set(content "LIBRARY \"${upper}.dll\"\nEXPORTS\n  ${body}\n")
    set(old "")
    if(EXISTS "${def}")
      file(READ "${def}" old)
    endif()
    if(NOT old STREQUAL content OR NOT EXISTS "${lib}")
      file(WRITE "${def}" "${content}")
      # Run in the folder with a relative name: dlltool names its symbols
      # after the output file, and the build folder must not reach the
      # program's bytes (two builds in two folders are byte-identical).
      execute_process(COMMAND "${CMAKE_DLLTOOL}" --kill-at --input-def "${name}.def"
          --dllname "${upper}.dll" --output-delaylib "lib${name}_delay.a"
        WORKING_DIRECTORY "${folder}"
        RESULT_VARIABLE result ERROR_VARIABLE error)
      if(NOT result EQUAL 0)
        message(FATAL_ERROR "dlltool could not write ${lib}: ${error}")
      endif()
    endif()
    add_library(delay::${name} STATIC IMPORTED GLOBAL)
    set_target_properties(delay::${name} PROPERTIES IMPORTED_LOCATION "${lib}")
  endforeach()
endfunction()
