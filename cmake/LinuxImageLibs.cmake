# libpng and libjpeg linked statically into every Linux binary, built once from Debian's own
# sources (cmake/build-image-libs.sh): distributions name and version these two differently,
# so a plug-in that needs Debian's libjpeg.so.62 would not load elsewhere. zlib, FreeType and
# the C and C++ run-times stay shared, as every distribution has them.
# expat, the saved-settings reader's tokeniser, comes from the same build.
option(TARNWELL_STATIC_IMAGE_LIBS "Link libpng, libjpeg and expat statically, built from Debian's sources" ON)
add_library(tarnwell_expat INTERFACE)
if(NOT TARNWELL_STATIC_IMAGE_LIBS)
    find_package(EXPAT REQUIRED)
    target_link_libraries(tarnwell_expat INTERFACE EXPAT::EXPAT)
    return()
endif()

set(TARNWELL_IMAGE_LIBS_PREFIX ${CMAKE_BINARY_DIR}/image-libs CACHE PATH
    "Where cmake/build-image-libs.sh puts static libpng, libjpeg and expat (build folders may share it)")
# The portable builds (cmake/debian11-*.cmake) build them with their own compiler.
if(CMAKE_TOOLCHAIN_FILE)
    set(image_libs_toolchain ${CMAKE_TOOLCHAIN_FILE})
else()
    set(image_libs_toolchain native)
endif()
execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/build-image-libs.sh ${image_libs_toolchain}
            ${TARNWELL_IMAGE_LIBS_PREFIX} ${TARNWELL_IMAGE_LIBS_PREFIX}-src
    RESULT_VARIABLE image_libs_result)
if(NOT image_libs_result EQUAL 0)
    message(FATAL_ERROR "Building static libpng, libjpeg and expat failed (needs dpkg-dev and a deb-src "
                        "entry, which ./tarnwell adds; or configure with -DTARNWELL_STATIC_IMAGE_LIBS=OFF)")
endif()

# JUCE's plug-in targets link this pkg-config target of its own: it now names the static copies.
set_target_properties(pkgconfig_JUCE_IMG_LINUX_DEPS PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${TARNWELL_IMAGE_LIBS_PREFIX}/include
    INTERFACE_LINK_LIBRARIES "${TARNWELL_IMAGE_LIBS_PREFIX}/lib/libpng16.a;${TARNWELL_IMAGE_LIBS_PREFIX}/lib/libjpeg.a;z;m"
    INTERFACE_LINK_OPTIONS ""
    INTERFACE_COMPILE_OPTIONS "")

target_include_directories(tarnwell_expat INTERFACE ${TARNWELL_IMAGE_LIBS_PREFIX}/include)
target_compile_definitions(tarnwell_expat INTERFACE XML_STATIC)
target_link_libraries(tarnwell_expat INTERFACE ${TARNWELL_IMAGE_LIBS_PREFIX}/lib/libexpat.a)
