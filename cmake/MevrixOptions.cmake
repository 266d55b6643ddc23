# Compiler settings shared by every target of the project.
add_library(mevrix_options INTERFACE)

# Compiler options only: the Windows resource compiler (windres) takes none of them.
set(mevrix_compiled "$<COMPILE_LANGUAGE:C,CXX>")
target_compile_options(mevrix_options INTERFACE
  $<${mevrix_compiled}:-Wall> $<${mevrix_compiled}:-Wextra> $<${mevrix_compiled}:-Wshadow>
  # The 32-bit normal arithmetic is exact only when no multiply-add is fused.
  $<${mevrix_compiled}:-ffp-contract=off>
  $<${mevrix_compiled}:-fno-fast-math>)
if(MEVRIX_WERROR)
  target_compile_options(mevrix_options INTERFACE $<${mevrix_compiled}:-Werror>)
endif()

# The version, defined once by project(): MEVRIX_VERSION_TEXT and MEVRIX_VERSION_FLOAT.
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in
  ${PROJECT_BINARY_DIR}/generated/mevrix_version.h @ONLY)
target_include_directories(mevrix_options INTERFACE ${PROJECT_BINARY_DIR}/generated)

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

# Gives a Windows program or DLL a version resource: file and product version, product name and
# `description`. `file_name` is the file as installed (mevrix.dll, mevrix.exe).
function(mevrix_add_version_resource target file_name description)
  if(NOT WIN32)
    return()
  endif()
  math(EXPR resource_minor "${PROJECT_VERSION_MINOR}")  # "09" is 9, not an octal mistake
  set(resource_file_name ${file_name})
  set(resource_description ${description})
  get_filename_component(resource_internal_name ${file_name} NAME_WE)
  if(file_name MATCHES "\\.dll$")
    set(resource_file_type VFT_DLL)
  else()
    set(resource_file_type VFT_APP)
  endif()
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
