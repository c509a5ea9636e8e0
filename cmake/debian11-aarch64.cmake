# The 64-bit ARM Linux build: Debian 11's cross-compiler against the tree's arm64 libraries
# (cmake/debian11.cmake). Programs the build runs (the LV2 Turtle writer) run under qemu.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TARNWELL_DEBIAN11_TRIPLE aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian11.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static;-L;${TARNWELL_DEBIAN11_ROOT})
