# A JUCE fault we must mend is mended in a copy made in the build folder, never in the installed
# JUCE: the patches live in cmake/juce-patches/, each with a header saying why.
#
# tarnwell_patch_juce(DESTINATION folder PATCHES patch... COPY source target [source target...])
#   Copies each source (a file or folder, relative to JUCE's modules folder) to target (relative
#   to folder, with the same last name), then applies the patches in order with -p1 in folder.
#   The copy is remade only when a patch changes, so a new configure run recompiles nothing.
function(tarnwell_patch_juce)
    cmake_parse_arguments(arg "" "DESTINATION" "PATCHES;COPY" ${ARGN})

    set(patches_hash "")
    foreach(patch IN LISTS arg_PATCHES)
        file(SHA256 ${patch} hash)
        string(APPEND patches_hash "${hash}\n")
    endforeach()
    string(MD5 copies_id "${arg_COPY}")
    set(stamp ${arg_DESTINATION}/.patched-${copies_id})
    set(applied_hash "")
    if(EXISTS ${stamp})
        file(READ ${stamp} applied_hash)
    endif()
    if(applied_hash STREQUAL patches_hash)
        return()
    endif()

    set(copies ${arg_COPY})
    while(copies)
        list(POP_FRONT copies source target)
        get_filename_component(source_name ${source} NAME)
        get_filename_component(target_name ${target} NAME)
        get_filename_component(target_parent ${target} DIRECTORY)
        if(NOT source_name STREQUAL target_name)
            message(FATAL_ERROR "tarnwell_patch_juce: ${source} must keep its name in ${target}")
        endif()
        file(REMOVE_RECURSE ${arg_DESTINATION}/${target})
        file(COPY ${JUCE_MODULES_DIR}/${source} DESTINATION ${arg_DESTINATION}/${target_parent})
    endwhile()

    foreach(patch IN LISTS arg_PATCHES)
        execute_process(COMMAND patch --quiet -p1 -d ${arg_DESTINATION} -i ${patch}
                        RESULT_VARIABLE patch_result)
        if(NOT patch_result EQUAL 0)
            message(FATAL_ERROR "${patch} does not apply to JUCE in ${JUCE_MODULES_DIR}")
        endif()
    endforeach()
    file(WRITE ${stamp} ${patches_hash})
endfunction()

# Every target that links JUCE's `target` compiles its sources of `module` from the patched copy
# in `folder`; the module's headers stay the installed ones.
function(tarnwell_compile_juce_sources_from target module folder)
    get_target_property(sources ${target} INTERFACE_SOURCES)
    string(REPLACE "${JUCE_MODULES_DIR}/${module}/" "${folder}/${module}/" sources "${sources}")
    set_target_properties(${target} PROPERTIES INTERFACE_SOURCES "${sources}")
endfunction()
