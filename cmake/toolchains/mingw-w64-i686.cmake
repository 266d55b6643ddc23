# Cross-compiles for 32-bit x86 Windows with Debian's mingw-w64 (g++-mingw-w64-i686-posix) and runs
# the built programs under 32-bit Wine (wine32). Used by the `windows32` presets.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MEVRIX_MINGW_TRIPLET i686-w64-mingw32)
# The 32-bit loader of Debian's wine32 package, /usr/lib/wine/wine.
set(MEVRIX_WINE_LOADERS wine)
set(MEVRIX_WINE_ARCH win32)
# Floating point in SSE2 registers, as on x86-64: the x87 unit would keep 80-bit intermediates
# and change the last bits of computed normals. The DLL therefore needs a processor with SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
