# What both Windows toolchain files share (cmake/mingw-w64-i686.cmake, cmake/mingw-w64-x86_64.cmake):
# MinGW-w64's posix-thread compilers, which give std::thread and std::mutex, and everything of
# the GCC run-time linked in, so the DLL needs no DLL beyond those Windows itself ships.
# The including file sets TARNWELL_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TARNWELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWELL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWELL_MINGW_TRIPLE})
include(${CMAKE_CURRENT_LIST_DIR}/CrossFindRules.cmake)

# -static also takes libwinpthread, which the posix compilers would otherwise need as a DLL.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
