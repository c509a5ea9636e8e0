# The shared code, as in any JUCE project that builds several formats: the JUCE modules,
# compiled once with the plug-in's settings (hosting no plug-ins), and the core, which
# processor/, editor/ and host/ add with tarnwell_own_sources(). JUCE's wrappers make the VST3
# and the standalone app of it (host/juce_formats, host/standalone), our own glue Tarnwell.so
# (host/) and Tarnwell.lv2 (host/lv2); tests and tools that run the processor link it too.

# JUCE's plug-in code wants at least one of its formats in the shared code: where its formats
# are not wanted (the 32-bit Windows and the sanitizer builds), the VST3 is declared but not
# built.
if(TARNWELL_JUCE_FORMATS AND NOT WIN32)
    set(tarnwell_formats VST3 Standalone)
else()
    set(tarnwell_formats VST3)
endif()

juce_add_plugin(Tarnwell
    PRODUCT_NAME "${TARNWELL_PRODUCT_NAME}"
    COMPANY_NAME "${TARNWELL_VENDOR_NAME}"
    COMPANY_WEBSITE "${TARNWELL_VENDOR_URL}"
    VERSION ${TARNWELL_VERSION}
    PLUGIN_MANUFACTURER_CODE ${TARNWELL_VENDOR_CODE}
    PLUGIN_CODE ${TARNWELL_PLUGIN_CODE}
    FORMATS ${tarnwell_formats}
    IS_SYNTH FALSE
    NEEDS_MIDI_INPUT FALSE
    NEEDS_MIDI_OUTPUT FALSE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS FALSE
    VST3_CATEGORIES Fx Reverb
    COPY_PLUGIN_AFTER_BUILD FALSE)
if(NOT TARNWELL_JUCE_FORMATS)
    set_target_properties(Tarnwell_VST3 PROPERTIES EXCLUDE_FROM_ALL TRUE)
endif()

set(tarnwell_juce_modules
    juce::juce_core juce::juce_events juce::juce_data_structures juce::juce_graphics
    juce::juce_gui_basics juce::juce_audio_basics juce::juce_audio_processors)
if("Standalone" IN_LIST tarnwell_formats)
    list(APPEND tarnwell_juce_modules juce::juce_audio_utils) # the app's device settings
endif()

target_link_libraries(Tarnwell
    PRIVATE
        ${tarnwell_juce_modules}
    PUBLIC
        juce::juce_recommended_config_flags
        ${tarnwell_juce_image_libraries}
        tarnwell_engine
        tarnwell_identity)
target_compile_definitions(Tarnwell PUBLIC
    ${tarnwell_juce_settings}
    JUCE_PLUGINHOST_VST=0 JUCE_PLUGINHOST_VST3=0 JUCE_PLUGINHOST_LV2=0 JUCE_PLUGINHOST_LADSPA=0
    JUCE_VST3_CAN_REPLACE_VST2=0)
target_include_directories(Tarnwell PUBLIC ${PROJECT_SOURCE_DIR})
tarnwell_juce_headers_for(Tarnwell PUBLIC)

# Adds our files to a target that compiles JUCE's sources too (the shared code, the standalone
# app): ours get our warnings, JUCE's do not.
function(tarnwell_own_sources target)
    set(files)
    foreach(file IN LISTS ARGN)
        get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        list(APPEND files ${file})
    endforeach()
    target_sources(${target} PRIVATE ${files})
    get_target_property(flags tarnwell_warnings INTERFACE_COMPILE_OPTIONS)
    if(flags)
        set_source_files_properties(${files} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS "${flags}")
    endif()
endfunction()
