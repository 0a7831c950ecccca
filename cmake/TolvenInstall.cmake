# cmake --install runs scripts/install-plugins.sh, so that what goes where,
# and how an older TOLVEN is replaced, is said in one place. Per user by
# default; -DTOLVEN_INSTALL_SYSTEM=ON installs for everyone.
if(WIN32)
  return()
endif()
option(TOLVEN_INSTALL_SYSTEM "cmake --install puts the plug-ins in /usr/lib for everyone" OFF)
set(_tolven_install_args --build "${CMAKE_BINARY_DIR}")
if(TOLVEN_INSTALL_SYSTEM)
  list(APPEND _tolven_install_args --system)
endif()
string(JOIN "\" \"" _tolven_install_args ${_tolven_install_args})
install(CODE "execute_process(
  COMMAND \"${CMAKE_SOURCE_DIR}/scripts/install-plugins.sh\" \"${_tolven_install_args}\"
  COMMAND_ERROR_IS_FATAL ANY)")
