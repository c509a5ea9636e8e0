# JUCE's modules without a GUI (juce_core, juce_events, juce_data_structures, juce_audio_basics),
# compiled once with the plug-in's settings: the JUCE of what links the core and nothing that
# draws, such as the LV2 plug-in's DSP binary. The shared code compiles these modules itself, so
# a program links either it or this library, never both.
add_library(tarnwell_juce_base STATIC EXCLUDE_FROM_ALL)
target_link_libraries(tarnwell_juce_base PRIVATE
    juce::juce_core juce::juce_events juce::juce_data_structures juce::juce_audio_basics
    juce::juce_recommended_config_flags)
target_compile_definitions(tarnwell_juce_base PRIVATE
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1 JUCE_STANDALONE_APPLICATION=0 ${tarnwell_juce_settings})
# Each function in a section of its own, so a binary keeps only the JUCE it calls.
target_compile_options(tarnwell_juce_base PRIVATE -w -ffunction-sections -fdata-sections)
set_target_properties(tarnwell_juce_base PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# What links it: JUCE's headers and the modules' own needs but zlib. Debian's juce_core names the
# system's zlib for its GZIP streams, which nothing here calls: dropping unused code, a binary
# needs no zlib, and loads wherever there is a C library.
find_package(Threads REQUIRED)
set_property(TARGET tarnwell_juce_base PROPERTY INTERFACE_LINK_LIBRARIES
    tarnwell_juce_headers juce::juce_atomic_wrapper Threads::Threads ${CMAKE_DL_LIBS} rt)
set_property(TARGET tarnwell_juce_base PROPERTY INTERFACE_LINK_OPTIONS LINKER:--gc-sections LINKER:--as-needed)
# Sanitizer builds keep the GZIP code, which their instrumentation reaches: zlib after all.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    set_property(TARGET tarnwell_juce_base APPEND PROPERTY INTERFACE_LINK_LIBRARIES z)
endif()
