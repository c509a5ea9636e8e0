# JUCE compiled with hosting of VST 2.4, VST3 and LV2 plug-ins, for the render tool and the
# format tests alone: no plug-in links it, and what links it does not link the shared code.
#
# JUCE's VST 2.4 hosting assumes a speaker arrangement of 8 speakers and full-size pin
# properties, which the FST header leaves open-ended; it gets a patched copy of FST in a private
# include folder.

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

# Its WAV reader learns 64-bit float samples and its writer a complete float header, and its
# FLAC reader widens negative samples without undefined behaviour (see each patch's header);
# the plug-ins read and write no audio files.
tarnwell_patch_juce(DESTINATION ${CMAKE_BINARY_DIR}/juce-patched
    PATCHES ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_audio_formats-wav-float.patch
            ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_audio_formats-flac-shift.patch
    COPY juce_audio_formats juce_audio_formats)
tarnwell_compile_juce_sources_from(juce_audio_formats juce_audio_formats ${CMAKE_BINARY_DIR}/juce-patched)

add_library(tarnwell_juce_hosting STATIC)
target_link_libraries(tarnwell_juce_hosting
    PRIVATE
        juce::juce_core juce::juce_events juce::juce_data_structures
        juce::juce_graphics juce::juce_gui_basics
        juce::juce_audio_basics juce::juce_audio_formats juce::juce_audio_processors
    PUBLIC
        juce::juce_recommended_config_flags
        ${tarnwell_juce_image_libraries})
# The tools read and write FLAC through JUCE, which Debian builds against the system's libFLAC:
# linked statically (libflac-dev, and libogg-dev for its Ogg support) so that the portable render
# tool needs no libFLAC of the user's distribution. Where there is none (MinGW), no FLAC.
find_library(TARNWELL_FLAC_STATIC NAMES libFLAC.a)
find_library(TARNWELL_OGG_STATIC NAMES libogg.a)
set(hosting_settings ${tarnwell_juce_settings})
if(TARNWELL_FLAC_STATIC AND TARNWELL_OGG_STATIC)
    list(REMOVE_ITEM hosting_settings JUCE_USE_FLAC=0)
    list(APPEND hosting_settings JUCE_USE_FLAC=1 FLAC__NO_DLL)
    target_link_libraries(tarnwell_juce_hosting PUBLIC ${TARNWELL_FLAC_STATIC} ${TARNWELL_OGG_STATIC})
endif()
target_compile_definitions(tarnwell_juce_hosting PUBLIC
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=0
    ${hosting_settings}
    JUCE_PLUGINHOST_VST=1 JUCE_PLUGINHOST_VST3=1 JUCE_PLUGINHOST_LV2=1 JUCE_PLUGINHOST_LADSPA=0)
target_include_directories(tarnwell_juce_hosting PRIVATE ${juce_vst_sdk})
target_compile_options(tarnwell_juce_hosting PRIVATE -w)
tarnwell_juce_headers_for(tarnwell_juce_hosting INTERFACE)
# What the modules define for themselves (JUCE_MODULE_AVAILABLE_...), for our code too.
target_compile_definitions(tarnwell_juce_hosting INTERFACE $<TARGET_PROPERTY:tarnwell_juce_hosting,COMPILE_DEFINITIONS>)
set_target_properties(tarnwell_juce_hosting PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
