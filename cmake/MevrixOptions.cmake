# Compiler settings shared by every target of the project.
add_library(mevrix_options INTERFACE)

target_compile_options(mevrix_options INTERFACE
  -Wall -Wextra -Wshadow
  # The 32-bit normal arithmetic is exact only when no multiply-add is fused.
  -ffp-contract=off
  -fno-fast-math)
if(MEVRIX_WERROR)
  target_compile_options(mevrix_options INTERFACE -Werror)
endif()

if(MEVRIX_SANITIZE)
  set(MEVRIX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(mevrix_options INTERFACE ${MEVRIX_SANITIZER_FLAGS})
  target_link_options(mevrix_options INTERFACE ${MEVRIX_SANITIZER_FLAGS})
endif()

if(MEVRIX_COVERAGE)
  target_compile_options(mevrix_options INTERFACE --coverage -O0)
  target_link_options(mevrix_options INTERFACE --coverage)
endif()

if(MEVRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (use the fuzz preset)")
  endif()
  # Coverage instrumentation for libFuzzer in every library the targets link.
  target_compile_options(mevrix_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Adds a static library for one part of the source tree; sources are relative to the caller.
function(mevrix_add_component name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include)
  target_link_libraries(${name} PUBLIC mevrix_options)
endfunction()
