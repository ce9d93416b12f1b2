# FILE needs no MinGW DLL; a DLL exports exactly the reader library's entry points, undecorated; a
# program has VERSION in its VERSIONINFO and an icon group with ID 1, the one Explorer shows.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
if(headers MATCHES "DLL Name: [^\n]*(libgcc|libstdc\\+\\+|libwinpthread|mingw)[^\n]*")
  message(SEND_ERROR "${FILE} needs a MinGW runtime DLL: ${CMAKE_MATCH_0}")
endif()
if(FILE MATCHES "\\.dll$")
  # The name table's lines end in the name; their layout varies between binutils versions.
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[^\n]*\n)*)" table "${headers}")
  string(REGEX MATCHALL "[^ \t\n]+\n" names "${CMAKE_MATCH_1}")
  list(TRANSFORM names STRIP)
  list(SORT names)
  set(expected TvxGetLastCardData TvxGetLastError TvxGetVersion TvxInitialize TvxPortsAvailable
               TvxStart TvxStartCallBack TvxStop TvxUSBCOMPort TvxUninitialize)  # sorted
  if(NOT names STREQUAL expected)
    message(SEND_ERROR "exports of ${FILE}:\n  ${names}\nexpected:\n  ${expected}")
  endif()
  return()
endif()
# The resource's UTF-16 words: keys and values; then the resource directory,
# which lists each type 3 spaces in and its IDs 5 in (type 14 is RT_GROUP_ICON).
file(STRINGS ${FILE} strings ENCODING UTF-16LE LENGTH_MINIMUM 4 REGEX "^[A-Za-z0-9 ._-]+$")
list(JOIN strings "|" strings)
string(FIND "|${strings}|" "|FileVersion|${VERSION}|" file_version)
string(FIND "|${strings}|" "|ProductVersion|${VERSION}|" product_version)
if(file_version EQUAL -1 OR product_version EQUAL -1)
  message(SEND_ERROR "${FILE} lacks version ${VERSION} in its VERSIONINFO: ${strings}")
endif()
string(REGEX MATCH "The .rsrc Resource Directory.*" resources "${headers}")
if(NOT resources MATCHES
   "\n[0-9a-f]+   Entry: ID: 0x0+e,[^\n]*\n[^\n]*Name Table[^\n]*\n[0-9a-f]+     Entry: ID: 0x0+1,")
  message(SEND_ERROR "${FILE} has no icon group with ID 1:\n${resources}")
endif()
