# Cross-compiling the 64-bit Windows plug-ins (Tarnwell.dll for x64, Tarnwell.vst3) with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TARNWELL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# GCC does not realign the stack of a 64-bit Windows function beyond 16 bytes, yet may spill
# AVX registers there with aligned moves, which then fault: the assembler makes every aligned
# vector move an unaligned one, which costs nothing on aligned data. (Today's kernels spill
# none; a later one, or a new compiler, might.)
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
