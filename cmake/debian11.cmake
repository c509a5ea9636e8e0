# What both portable Linux toolchain files share (cmake/debian11-x86_64.cmake,
# cmake/debian11-aarch64.cmake): Debian 11's own GCC 10, run from the build machine against a
# Debian 11 tree (tools/portable/debian-root.sh), so that every symbol is bound to glibc 2.31
# or older. Debian 12's compiler can't get there: its static libstdc++ needs newer glibc.
# The C++ and GCC run-times are linked in, so no host's libstdc++ has to be as new as ours.
# The including file sets TARNWELL_DEBIAN11_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Linux)

if(NOT TARNWELL_DEBIAN11_ROOT)
    if(DEFINED ENV{TARNWELL_DEBIAN11_ROOT})
        set(TARNWELL_DEBIAN11_ROOT $ENV{TARNWELL_DEBIAN11_ROOT})
    else()
        get_filename_component(TARNWELL_DEBIAN11_ROOT ${CMAKE_CURRENT_LIST_DIR}/../out/debian/bullseye ABSOLUTE)
    endif()
endif()
# try_compile projects read this file again, without the cache: hand them the folder.
set(ENV{TARNWELL_DEBIAN11_ROOT} ${TARNWELL_DEBIAN11_ROOT})
if(NOT EXISTS ${TARNWELL_DEBIAN11_ROOT}/usr/bin/${TARNWELL_DEBIAN11_TRIPLE}-g++-10)
    message(FATAL_ERROR "No Debian 11 tree with ${TARNWELL_DEBIAN11_TRIPLE}-g++-10 in ${TARNWELL_DEBIAN11_ROOT}: "
                        "./tarnwell build-portable makes it")
endif()

set(CMAKE_SYSROOT ${TARNWELL_DEBIAN11_ROOT})
set(CMAKE_C_COMPILER ${TARNWELL_DEBIAN11_ROOT}/usr/bin/${TARNWELL_DEBIAN11_TRIPLE}-gcc-10)
set(CMAKE_CXX_COMPILER ${TARNWELL_DEBIAN11_ROOT}/usr/bin/${TARNWELL_DEBIAN11_TRIPLE}-g++-10)

# The tree's binutils need their shared libraries from the tree, which a program of this
# machine can't load: the build machine's own (newer) binutils assemble and link instead
# (binutils-aarch64-linux-gnu for 64-bit ARM; -B puts them before the tree's).
if(TARNWELL_DEBIAN11_TRIPLE STREQUAL "x86_64-linux-gnu")
    set(tarnwell_binutils /usr/bin/)
else()
    set(tarnwell_binutils /usr/bin/${TARNWELL_DEBIAN11_TRIPLE}-)
    set(CMAKE_C_FLAGS_INIT "-B/usr/${TARNWELL_DEBIAN11_TRIPLE}/bin/")
    set(CMAKE_CXX_FLAGS_INIT "-B/usr/${TARNWELL_DEBIAN11_TRIPLE}/bin/")
    set(CMAKE_ASM_FLAGS_INIT "-B/usr/${TARNWELL_DEBIAN11_TRIPLE}/bin/")
endif()
foreach(tool AR RANLIB NM OBJCOPY OBJDUMP STRIP READELF)
    string(TOLOWER ${tool} name)
    set(CMAKE_${tool} ${tarnwell_binutils}${name} CACHE FILEPATH "")
endforeach()
set(CMAKE_LINKER ${tarnwell_binutils}ld CACHE FILEPATH "")
set(CMAKE_C_COMPILER_AR ${CMAKE_AR} CACHE FILEPATH "")
set(CMAKE_CXX_COMPILER_AR ${CMAKE_AR} CACHE FILEPATH "")
set(CMAKE_C_COMPILER_RANLIB ${CMAKE_RANLIB} CACHE FILEPATH "")
set(CMAKE_CXX_COMPILER_RANLIB ${CMAKE_RANLIB} CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH ${TARNWELL_DEBIAN11_ROOT})
include(${CMAKE_CURRENT_LIST_DIR}/CrossFindRules.cmake)

# pkg-config (the build machine's) reads the tree's .pc files.
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${TARNWELL_DEBIAN11_ROOT})
set(ENV{PKG_CONFIG_LIBDIR} "${TARNWELL_DEBIAN11_ROOT}/usr/lib/${TARNWELL_DEBIAN11_TRIPLE}/pkgconfig:${TARNWELL_DEBIAN11_ROOT}/usr/lib/pkgconfig:${TARNWELL_DEBIAN11_ROOT}/usr/share/pkgconfig")

set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
