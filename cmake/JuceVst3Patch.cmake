# The VST3 wrapper from a patched copy of juce_audio_plugin_client (see the patch's header):
# JUCE 7.0.5's wrapper allocates and may wait on the audio thread.
include(${CMAKE_CURRENT_LIST_DIR}/JucePatches.cmake)

set(vst3_patched_modules ${CMAKE_BINARY_DIR}/juce-patched-vst3)
tarnwell_patch_juce(DESTINATION ${vst3_patched_modules}
    PATCHES ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_audio_plugin_client-vst3-realtime.patch
    COPY juce_audio_plugin_client juce_audio_plugin_client
         juce_audio_processors/format_types/juce_VST3Common.h juce_audio_plugin_client/VST3/juce_VST3Common.h)
tarnwell_compile_juce_sources_from(juce_audio_plugin_client_VST3 juce_audio_plugin_client ${vst3_patched_modules})
