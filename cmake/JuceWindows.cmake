# What the Windows (MinGW) build of the JUCE modules needs beyond the Linux one:
#  - libpng, libjpeg and zlib built for MinGW, as Debian's JUCE has no bundled copies, and
#    expat for the saved-settings reader;
#  - FST's headers, which the cross-compiler cannot see in /usr/include;
#  - juce_gui_basics with a small patch, compiled from a patched copy of the module.

# libpng, libjpeg and expat from Debian's sources into a prefix of this build folder, once.
set(TARNWELL_MINGW_IMAGE_PREFIX ${CMAKE_BINARY_DIR}/mingw-image-libs CACHE PATH
    "Where cmake/build-image-libs.sh puts static libpng, libjpeg and expat for MinGW")
execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/build-image-libs.sh ${CMAKE_TOOLCHAIN_FILE}
            ${TARNWELL_MINGW_IMAGE_PREFIX} ${CMAKE_BINARY_DIR}/mingw-image-libs-src
    RESULT_VARIABLE image_libs_result)
if(NOT image_libs_result EQUAL 0)
    message(FATAL_ERROR "Building libpng, libjpeg and expat for MinGW failed (needs dpkg-dev and a deb-src entry)")
endif()

# Static archives named by path: the import library libz.dll.a would make the DLL need zlib1.dll.
set(mingw_lib_dir /usr/${TARNWELL_MINGW_TRIPLE}/lib)
if(NOT EXISTS ${mingw_lib_dir}/libz.a)
    message(FATAL_ERROR "zlib for MinGW not found: install the Debian package libz-mingw-w64-dev")
endif()
add_library(tarnwell_mingw_image_libs INTERFACE)
target_include_directories(tarnwell_mingw_image_libs INTERFACE ${TARNWELL_MINGW_IMAGE_PREFIX}/include)
target_link_libraries(tarnwell_mingw_image_libs INTERFACE
    ${TARNWELL_MINGW_IMAGE_PREFIX}/lib/libpng16.a
    ${TARNWELL_MINGW_IMAGE_PREFIX}/lib/libjpeg.a
    ${mingw_lib_dir}/libz.a)
add_library(tarnwell_expat INTERFACE)
target_include_directories(tarnwell_expat INTERFACE ${TARNWELL_MINGW_IMAGE_PREFIX}/include)
target_compile_definitions(tarnwell_expat INTERFACE XML_STATIC)
target_link_libraries(tarnwell_expat INTERFACE ${TARNWELL_MINGW_IMAGE_PREFIX}/lib/libexpat.a)

# FST alone, not the rest of the build machine's /usr/include.
set(fst_copy ${CMAKE_BINARY_DIR}/fst-include)
file(COPY ${TARNWELL_FST_DIR} DESTINATION ${fst_copy}/pluginterfaces)
add_library(tarnwell_fst_headers INTERFACE)
target_include_directories(tarnwell_fst_headers SYSTEM INTERFACE ${fst_copy})

# juce_gui_basics from a patched copy, which every target that links juce::juce_gui_basics
# compiles; its headers stay the installed ones (the patch touches none).
include(${CMAKE_CURRENT_LIST_DIR}/JucePatches.cmake)
tarnwell_patch_juce(DESTINATION ${CMAKE_BINARY_DIR}/juce-patched
    PATCHES ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_gui_basics-mingw32.patch
    COPY juce_gui_basics juce_gui_basics)
tarnwell_compile_juce_sources_from(juce_gui_basics juce_gui_basics ${CMAKE_BINARY_DIR}/juce-patched)

# JUCE's accessibility interfaces specialise its ID table from a nested namespace, which GCC
# only accepts with -fpermissive; for this one source only. Source properties hold per folder:
# a target that compiles the JUCE modules in another folder calls this there.
function(tarnwell_juce_windows_sources)
    set_source_files_properties(${CMAKE_BINARY_DIR}/juce-patched/juce_gui_basics/juce_gui_basics.cpp
        PROPERTIES COMPILE_OPTIONS -fpermissive)
endfunction()
tarnwell_juce_windows_sources()
