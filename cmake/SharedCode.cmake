# The shared code, as in any JUCE project that builds several formats: the JUCE modules,
# compiled once with the plug-in's settings (hosting no plug-ins). Our own code is in libraries
# of its own on JUCE's headers: the core (processor/), the UI (editor/, host/editor_hosting) and
# the processor JUCE's wrappers make a plug-in of (host/juce_formats). JUCE's wrappers make the
# VST3 and the standalone app (host/juce_formats, host/standalone), our own glue Tarnwell.so
# (host/vst2), Tarnwell.clap (host/clap) and the LV2 UI (host/lv2); each links the shared code
# for its JUCE.

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

# The core's JUCE is the shared code's wherever a program links both, and the core's archive must
# come before the shared code's on the link line: the shared code links the core, and its archive
# comes again after it, for whatever JUCE only the core calls. So what links the shared code
# (or the UI) reaches the core through it, never directly, which could put the core after that.
target_link_libraries(Tarnwell PUBLIC tarnwell_core)
target_link_libraries(Tarnwell INTERFACE $<TARGET_LINKER_FILE:Tarnwell>)

# Adds our files to a target that compiles JUCE's sources too (the standalone app): ours get our
# warnings, JUCE's do not.
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
