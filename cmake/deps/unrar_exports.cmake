# Writes the module-definition file that unrar.dll is linked with.
#
#   cmake -DNM=<nm> -DDEF_IN=<dll.def> -DDEF_OUT=<file> -DDLL_NAME=unrar.dll
#         -DOBJECTS=<obj>|<obj>|... -P unrar_exports.cmake
#
# UnRAR's own dll.def lists the entry points by their plain names. Its
# functions are __stdcall, so in the compiled objects they are called
# _Name@N. Listing them as Name@N here and linking with --kill-at exports the
# plain names, and the import library made from this same file (dlltool -k)
# lets a program link to the DLL directly as well as through GetProcAddress.
#
# The decorations are read from the objects rather than written by hand, and
# the run fails if an entry point is missing or is not __stdcall. On x86-64
# (the test-only build) there is one calling convention and no decoration:
# the plain names are listed as they are.

foreach(var NM DEF_IN DEF_OUT DLL_NAME OBJECTS)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "unrar_exports.cmake: ${var} is not set")
  endif()
endforeach()

# Entry point names from the EXPORTS section of the library's own file.
file(STRINGS "${DEF_IN}" def_lines)
set(names "")
set(in_exports FALSE)
foreach(line IN LISTS def_lines)
  string(REGEX REPLACE ";.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(line MATCHES "^EXPORTS$")
    set(in_exports TRUE)
  elseif(line MATCHES "^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|SECTIONS|VERSION|IMPORTS)( |$)")
    set(in_exports FALSE)
  elseif(in_exports)
    string(REGEX MATCH "^[A-Za-z_][A-Za-z0-9_]*" name "${line}")
    if(name STREQUAL "")
      message(FATAL_ERROR "${DEF_IN}: cannot read the export entry '${line}'")
    endif()
    list(APPEND names "${name}")
  endif()
endforeach()
if(NOT names)
  message(FATAL_ERROR "${DEF_IN} lists no exports")
endif()

string(REPLACE "|" ";" objects "${OBJECTS}")
execute_process(
  COMMAND "${NM}" --defined-only -g ${objects}
  RESULT_VARIABLE nm_result
  OUTPUT_VARIABLE symbols
  ERROR_VARIABLE nm_error)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "${NM} failed (${nm_result}): ${nm_error}")
endif()
string(PREPEND symbols "\n")

set(content "LIBRARY \"${DLL_NAME}\"\nEXPORTS\n")
foreach(name IN LISTS names)
  if(symbols MATCHES "\n[0-9a-fA-F]+ T ${name}\n" AND NOT symbols MATCHES "\n[0-9a-fA-F]+ T _${name}")
    string(APPEND content "  ${name}\n")
  elseif(symbols MATCHES "\n[0-9a-fA-F]+ T _${name}@([0-9]+)\n")
    string(APPEND content "  ${name}@${CMAKE_MATCH_1}\n")
  elseif(symbols MATCHES "\n[0-9a-fA-F]+ T _${name}\n")
    message(FATAL_ERROR
      "${name} is compiled as __cdecl; the DLL's entry points must be __stdcall (PASCAL)")
  else()
    message(FATAL_ERROR "${name}, listed in ${DEF_IN}, is not defined in the DLL's objects")
  endif()
endforeach()

# Rewrite only on change, so the file's time stamp means something.
set(old_content "")
if(EXISTS "${DEF_OUT}")
  file(READ "${DEF_OUT}" old_content)
endif()
if(NOT old_content STREQUAL content)
  file(WRITE "${DEF_OUT}" "${content}")
endif()
