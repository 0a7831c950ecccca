# Cross-compiling the Windows x86-64 deliverables with MinGW-w64 (posix
# threads: std::mutex and GoogleTest need them). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOLVEN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLVEN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVEN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVEN_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOLVEN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# libpng and libsndfile are cross-built from the distribution's sources into
# this prefix by scripts/build-windows-deps.sh.
get_filename_component(TOLVEN_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps ABSOLUTE)
list(APPEND CMAKE_FIND_ROOT_PATH ${TOLVEN_WINDOWS_DEPS})
