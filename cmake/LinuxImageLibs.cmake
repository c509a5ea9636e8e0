# libpng and libjpeg linked statically into every Linux binary, built once from Debian's own
# sources (cmake/build-image-libs.sh): distributions name and version these two differently,
# so a plug-in that needs Debian's libjpeg.so.62 would not load elsewhere. zlib, FreeType and
# the C and C++ run-times stay shared, as every distribution has them.
option(TARNWELL_STATIC_IMAGE_LIBS "Link libpng and libjpeg statically, built from Debian's sources" ON)
if(NOT TARNWELL_STATIC_IMAGE_LIBS)
    return()
endif()

set(TARNWELL_IMAGE_LIBS_PREFIX ${CMAKE_BINARY_DIR}/image-libs CACHE PATH
    "Where cmake/build-image-libs.sh puts static libpng and libjpeg (build folders may share it)")
execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/build-image-libs.sh native
            ${TARNWELL_IMAGE_LIBS_PREFIX} ${TARNWELL_IMAGE_LIBS_PREFIX}-src
    RESULT_VARIABLE image_libs_result)
if(NOT image_libs_result EQUAL 0)
    message(FATAL_ERROR "Building static libpng and libjpeg failed (needs dpkg-dev and a deb-src "
                        "entry, which ./tarnwell adds; or configure with -DTARNWELL_STATIC_IMAGE_LIBS=OFF)")
endif()

# JUCE's plug-in targets link this pkg-config target of its own: it now names the static copies.
set_target_properties(pkgconfig_JUCE_IMG_LINUX_DEPS PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${TARNWELL_IMAGE_LIBS_PREFIX}/include
    INTERFACE_LINK_LIBRARIES "${TARNWELL_IMAGE_LIBS_PREFIX}/lib/libpng16.a;${TARNWELL_IMAGE_LIBS_PREFIX}/lib/libjpeg.a;z;m"
    INTERFACE_LINK_OPTIONS ""
    INTERFACE_COMPILE_OPTIONS "")
