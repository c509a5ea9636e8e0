# Cross-compiling the 32-bit Windows plug-in (Tarnwell.dll for x86) with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARNWELL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# SSE2 arithmetic instead of x87, so results match the 64-bit build's; hosts may call with a
# stack aligned to 4 bytes only, so realign it where SSE needs 16.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
