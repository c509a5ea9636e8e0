# The portable x86-64 Linux build: Debian 11's GCC against its tree (cmake/debian11.cmake).
# The baseline stays plain x86-64; the AVX2 and AVX-512 kernels are picked at run time.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNWELL_DEBIAN11_TRIPLE x86_64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian11.cmake)
# This machine runs what the build makes (the LV2 Turtle writer); CMake calls a build's own
# program by its target name only where it knows how to run it.
set(CMAKE_CROSSCOMPILING_EMULATOR env)
