# What every JUCE compilation of ours shares: the module settings, the image libraries and the
# way our own code sees JUCE's headers.

set(TARNWELL_FST_DIR /usr/include/pluginterfaces/fst)
if(NOT EXISTS ${TARNWELL_FST_DIR}/fst.h)
    message(FATAL_ERROR "FST not found: install the Debian package fst-dev")
endif()

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/JuceWindows.cmake)
    set(tarnwell_juce_image_libraries tarnwell_mingw_image_libs tarnwell_fst_headers)
else()
    include(${CMAKE_CURRENT_LIST_DIR}/LinuxImageLibs.cmake)
    set(tarnwell_juce_image_libraries juce::pkgconfig_JUCE_IMG_LINUX_DEPS)

    # juce_gui_basics from a patched copy: no X error, guessed display or child process inside
    # a host, and no work in an idle window (see the patches' headers). Its headers stay the
    # installed ones.
    include(${CMAKE_CURRENT_LIST_DIR}/JucePatches.cmake)
    tarnwell_patch_juce(DESTINATION ${CMAKE_BINARY_DIR}/juce-patched
        PATCHES ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_gui_basics-x11-host-safety.patch
                ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_gui_basics-linux-idle-window.patch
        COPY juce_gui_basics juce_gui_basics)
    tarnwell_compile_juce_sources_from(juce_gui_basics juce_gui_basics ${CMAKE_BINARY_DIR}/juce-patched)

    if(CMAKE_SYSROOT)
        # A portable build's compiler sees only its Debian 11 tree (cmake/debian11.cmake):
        # FST comes from a copy of its own, as in the Windows builds.
        set(fst_copy ${CMAKE_BINARY_DIR}/fst-include)
        file(COPY ${TARNWELL_FST_DIR} DESTINATION ${fst_copy}/pluginterfaces)
        add_library(tarnwell_fst_headers INTERFACE)
        target_include_directories(tarnwell_fst_headers SYSTEM INTERFACE ${fst_copy})
        list(APPEND tarnwell_juce_image_libraries tarnwell_fst_headers)
    endif()
endif()

set(tarnwell_juce_settings
    JUCE_USE_FLAC=0 JUCE_USE_OGGVORBIS=0 JUCE_USE_MP3AUDIOFORMAT=0 JUCE_USE_LAME_AUDIO_FORMAT=0
    JUCE_WEB_BROWSER=0 JUCE_USE_CURL=0
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_DISPLAY_SPLASH_SCREEN=0 JUCE_REPORT_APP_USAGE=0)

# JUCE's headers as system headers for everything that links `target`, so our warnings stay
# about our code.
function(tarnwell_juce_headers_for target scope)
    get_target_property(includes juce::juce_core INTERFACE_INCLUDE_DIRECTORIES)
    target_include_directories(${target} SYSTEM ${scope} ${includes})
endfunction()

# The headers alone, for the few small libraries that serve both JUCE compilations (the shared
# code and the tools' hosting library): whichever the final program links supplies the code.
add_library(tarnwell_juce_headers INTERFACE)
tarnwell_juce_headers_for(tarnwell_juce_headers INTERFACE)
target_compile_definitions(tarnwell_juce_headers INTERFACE
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1 $<IF:$<CONFIG:DEBUG>,DEBUG=1 _DEBUG=1,NDEBUG=1 _NDEBUG=1>)
