# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix) and runs
# the built programs under 64-bit Wine (wine64). Used by the `windows` presets.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MEVRIX_MINGW_TRIPLET x86_64-w64-mingw32)
# Debian's wine64 package installs this loader; the `wine` package's wrapper on PATH also does.
set(MEVRIX_WINE_LOADERS wine64 wine)
set(MEVRIX_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
