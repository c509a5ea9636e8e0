# The JUCE modules are compiled once, into one static library that every target links.
#
# JUCE's VST2, VST3 and LV2 hosting is there for our render tool and tests, never for the
# plug-in's own code paths. The VST2 hosting assumes a speaker arrangement of 8 speakers and
# full-size pin properties, which the FST header leaves open-ended; it gets a patched copy of
# FST in a private include folder.

set(TARNWELL_FST_DIR /usr/include/pluginterfaces/fst)
if(NOT EXISTS ${TARNWELL_FST_DIR}/fst.h)
    message(FATAL_ERROR "FST not found: install the Debian package fst-dev")
endif()

set(juce_vst_sdk ${CMAKE_BINARY_DIR}/juce-vst2-sdk)
file(READ ${TARNWELL_FST_DIR}/fst.h fst_text)
string(REPLACE "t_fstSpeakerProperties speakers[];" "t_fstSpeakerProperties speakers[8];" fst_text "${fst_text}")
string(REPLACE "  char shortLabel[8];\n} FST_UNKNOWN(t_fstPinProperties);"
               "  char shortLabel[8];\n  char future[48];\n} FST_UNKNOWN(t_fstPinProperties);" fst_text "${fst_text}")
file(WRITE ${juce_vst_sdk}/pluginterfaces/vst2.x/fst.h "${fst_text}")
file(WRITE ${juce_vst_sdk}/pluginterfaces/vst2.x/aeffect.h
    "#pragma once\n#define FST2VST 1\n#include \"fst.h\"\n")
file(WRITE ${juce_vst_sdk}/pluginterfaces/vst2.x/aeffectx.h
    "#pragma once\n#define FST2VST 1\n#include \"fst.h\"\n"
    "static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * sizeof(VstSpeakerProperties), \"JUCE needs 8 speakers\");\n"
    "static_assert(sizeof(VstPinProperties) == 128, \"JUCE needs full-size pin properties\");\n")

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/JuceWindows.cmake)
    set(tarnwell_juce_image_libraries tarnwell_mingw_image_libs tarnwell_fst_headers)
    # The Windows build is the plug-in alone: no hosting of other plug-ins.
    set(tarnwell_juce_hosting JUCE_PLUGINHOST_VST=0 JUCE_PLUGINHOST_VST3=0 JUCE_PLUGINHOST_LV2=0)
else()
    include(${CMAKE_CURRENT_LIST_DIR}/LinuxImageLibs.cmake)
    set(tarnwell_juce_image_libraries juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    set(tarnwell_juce_hosting JUCE_PLUGINHOST_VST=1 JUCE_PLUGINHOST_VST3=1 JUCE_PLUGINHOST_LV2=1)
endif()

add_library(tarnwell_juce STATIC)
target_link_libraries(tarnwell_juce
    PRIVATE
        juce::juce_core juce::juce_events juce::juce_data_structures
        juce::juce_graphics juce::juce_gui_basics
        juce::juce_audio_basics juce::juce_audio_formats juce::juce_audio_processors
    PUBLIC
        juce::juce_recommended_config_flags
        ${tarnwell_juce_image_libraries})

target_compile_definitions(tarnwell_juce PUBLIC
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=0
    JUCE_USE_FLAC=0 JUCE_USE_OGGVORBIS=0 JUCE_USE_MP3AUDIOFORMAT=0 JUCE_USE_LAME_AUDIO_FORMAT=0
    JUCE_WEB_BROWSER=0 JUCE_USE_CURL=0
    ${tarnwell_juce_hosting} JUCE_PLUGINHOST_LADSPA=0
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_DISPLAY_SPLASH_SCREEN=0 JUCE_REPORT_APP_USAGE=0
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1)
target_include_directories(tarnwell_juce PRIVATE ${juce_vst_sdk})
target_compile_options(tarnwell_juce PRIVATE -w)

# Consumers see JUCE's headers as system headers, so our warnings stay about our code.
get_target_property(juce_module_includes juce::juce_core INTERFACE_INCLUDE_DIRECTORIES)
target_include_directories(tarnwell_juce SYSTEM INTERFACE ${juce_module_includes})
set_target_properties(tarnwell_juce PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_compile_definitions(tarnwell_juce INTERFACE $<TARGET_PROPERTY:tarnwell_juce,COMPILE_DEFINITIONS>)
