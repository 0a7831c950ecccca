# Compile options shared by every target of the project.
add_library(tolven_options INTERFACE)
# Bit-exact DSP: never let the compiler fuse multiply-adds or relax IEEE rules.
target_compile_options(tolven_options INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)
if(WIN32)
  # Self-contained executables and modules: no MinGW runtime DLLs beside them.
  target_link_options(tolven_options INTERFACE -static -static-libgcc -static-libstdc++)
  target_compile_definitions(tolven_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _USE_MATH_DEFINES)
endif()

set(TOLVEN_SANITIZE "" CACHE STRING "Sanitizers to build with (e.g. address,undefined)")
if(TOLVEN_SANITIZE)
  add_compile_options(-fsanitize=${TOLVEN_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TOLVEN_SANITIZE})
endif()
