# The Windows build runs its tests under Wine. Wine's first start in a new configuration takes
# seconds to tens of seconds, so the build prepares the configuration once (target wine_prefix)
# and no test pays for it or times out on it.
if(NOT MEVRIX_WINE OR NOT MEVRIX_WINESERVER)
  message(FATAL_ERROR "The Windows tests run under Wine: install it with scripts/install-deps "
    "--windows (wine64) or --windows32 (wine32)")
endif()

set(wine_prefix_stamp ${MEVRIX_WINEPREFIX}/mevrix-prefix-ready)
add_custom_command(OUTPUT ${wine_prefix_stamp}
  COMMAND ${CMAKE_COMMAND}
    -DWINE=${MEVRIX_WINE} -DWINESERVER=${MEVRIX_WINESERVER} "-DENVIRONMENT=${MEVRIX_WINE_ENVIRONMENT}"
    -DSTAMP=${wine_prefix_stamp} -P ${PROJECT_SOURCE_DIR}/cmake/wine_prefix.cmake
  COMMENT "Preparing the Wine configuration the Windows tests run in"
  VERBATIM)
add_custom_target(wine_prefix ALL DEPENDS ${wine_prefix_stamp})
