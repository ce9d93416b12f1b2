# Static checks of a built Windows file, run as: cmake -DCHECK=... -DFILE=...
# -DOBJDUMP=... [-DVERSION=...] -P check_pe_file.cmake
#   exports          exactly the reader library's ten entry points, undecorated
#   runtime_imports  no MinGW runtime DLL among the imports
#   version          the VERSIONINFO strings of Corvane.exe
#   icon             an icon group with ID 1, the one Explorer shows for the file
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "${FILE} does not exist")
endif()

function(objdump_headers out)
  execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${FILE} failed")
  endif()
  set(${out} "${headers}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "exports")
  objdump_headers(headers)
  # The name table lines: "\t[   0] +base[   1] 0000 TvxGetLastCardData" (layout
  # varies between binutils versions; the name is the last word).
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[^\n]*\n)*)" table "${headers}")
  set(table "${CMAKE_MATCH_1}")
  string(REGEX MATCHALL "[^ \t\n]+\n" names "${table}")
  list(TRANSFORM names STRIP)
  list(SORT names)
  set(expected TvxGetLastCardData TvxGetLastError TvxGetVersion TvxInitialize TvxPortsAvailable
               TvxStart TvxStartCallBack TvxStop TvxUSBCOMPort TvxUninitialize)  # sorted
  if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exports of ${FILE}:\n  ${names}\nexpected:\n  ${expected}")
  endif()
  message(STATUS "exports: ${names}")
elseif(CHECK STREQUAL "runtime_imports")
  objdump_headers(headers)
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  message(STATUS "imports: ${imports}")
  foreach(import IN LISTS imports)
    if(import MATCHES "(libgcc|libstdc\\+\\+|libwinpthread|mingw)")
      message(FATAL_ERROR "${FILE} needs a MinGW runtime DLL: ${import}")
    endif()
  endforeach()
elseif(CHECK STREQUAL "version")
  # Only plain words: the resource's keys and values, not binary noise.
  file(STRINGS ${FILE} strings ENCODING UTF-16LE LENGTH_MINIMUM 4 REGEX "^[A-Za-z0-9 ._-]+$")
  list(JOIN strings "|" strings)
  foreach(pair ProductName|Corvane InternalName|Corvane OriginalFilename|Corvane.exe
               FileVersion|${VERSION} ProductVersion|${VERSION})
    string(FIND "|${strings}|" "|${pair}|" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${FILE} lacks the version string ${pair}; it has: ${strings}")
    endif()
    message(STATUS "${pair}")
  endforeach()
elseif(CHECK STREQUAL "icon")
  objdump_headers(headers)
  # The resource directory lists each type 3 spaces in, then the table of its
  # IDs, each ID 5 in; type 14 is RT_GROUP_ICON.
  string(REGEX MATCH "The .rsrc Resource Directory.*" resources "${headers}")
  if(NOT resources MATCHES
     "\n[0-9a-f]+   Entry: ID: 0x0+e,[^\n]*\n[^\n]*Name Table[^\n]*\n[0-9a-f]+     Entry: ID: 0x0+1,")
    message(FATAL_ERROR "${FILE} has no icon group with ID 1:\n${resources}")
  endif()
else()
  message(FATAL_ERROR "unknown CHECK '${CHECK}'")
endif()
