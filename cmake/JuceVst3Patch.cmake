# The VST3 wrapper from a patched copy of juce_audio_plugin_client (see the patch's header):
# JUCE 7.0.5's wrapper allocates and may wait on the audio thread. The copy is remade only when
# the patch changes, so a new configure run does not recompile the wrapper.
set(vst3_patch ${CMAKE_CURRENT_LIST_DIR}/juce-patches/juce_audio_plugin_client-vst3-realtime.patch)
set(vst3_patched_modules ${CMAKE_BINARY_DIR}/juce-patched-vst3)
file(SHA256 ${vst3_patch} vst3_patch_hash)
set(vst3_patch_stamp ${vst3_patched_modules}/juce_audio_plugin_client.patched)
set(vst3_applied_hash "")
if(EXISTS ${vst3_patch_stamp})
    file(READ ${vst3_patch_stamp} vst3_applied_hash)
endif()
if(NOT vst3_applied_hash STREQUAL vst3_patch_hash)
    file(REMOVE_RECURSE ${vst3_patched_modules}/juce_audio_plugin_client)
    file(COPY ${JUCE_MODULES_DIR}/juce_audio_plugin_client DESTINATION ${vst3_patched_modules})
    file(COPY ${JUCE_MODULES_DIR}/juce_audio_processors/format_types/juce_VST3Common.h
         DESTINATION ${vst3_patched_modules}/juce_audio_plugin_client/VST3)
    execute_process(COMMAND patch --quiet -p1 -d ${vst3_patched_modules} -i ${vst3_patch}
                    RESULT_VARIABLE vst3_patch_result)
    if(NOT vst3_patch_result EQUAL 0)
        message(FATAL_ERROR "${vst3_patch} does not apply to ${JUCE_MODULES_DIR}/juce_audio_plugin_client")
    endif()
    file(WRITE ${vst3_patch_stamp} ${vst3_patch_hash})
endif()

# The VST3 wrapper's sources come from the copy; every other module file stays the installed one.
get_target_property(vst3_client_sources juce_audio_plugin_client_VST3 INTERFACE_SOURCES)
string(REPLACE "${JUCE_MODULES_DIR}/juce_audio_plugin_client/" "${vst3_patched_modules}/juce_audio_plugin_client/"
       vst3_client_sources "${vst3_client_sources}")
set_target_properties(juce_audio_plugin_client_VST3 PROPERTIES INTERFACE_SOURCES "${vst3_client_sources}")
