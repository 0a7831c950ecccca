# The project version names the release packages; the plug-in reports its own
# to hosts from plugin/TOLVENIdentity.h (0xMMMMmmpp). They must agree.
file(STRINGS ${CMAKE_SOURCE_DIR}/plugin/TOLVENIdentity.h _tolven_version_line
     REGEX "0x[0-9A-Fa-f]+, *// version")
string(REGEX MATCH "0x[0-9A-Fa-f]+" _tolven_version_hex "${_tolven_version_line}")
if(NOT _tolven_version_hex)
  message(FATAL_ERROR "no version found in plugin/TOLVENIdentity.h")
endif()
math(EXPR _major "${_tolven_version_hex} >> 16")
math(EXPR _minor "(${_tolven_version_hex} >> 8) & 255")
math(EXPR _patch "${_tolven_version_hex} & 255")
if(NOT "${_major}.${_minor}.${_patch}" STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "plugin/TOLVENIdentity.h says version ${_major}.${_minor}.${_patch} "
                      "(${_tolven_version_hex}), the project says ${PROJECT_VERSION}")
endif()
# For the packaging scripts, which read the version from the build folder.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/VERSION CONTENT "${PROJECT_VERSION}\n")
