# What `cmake --install` puts where, one component per format:
#
#   vst2        Tarnwell.so (Windows: Tarnwell.dll)   TARNWELL_INSTALL_VST2_DIR   lib/vst
#   vst3        the Tarnwell.vst3 bundle               TARNWELL_INSTALL_VST3_DIR   lib/vst3
#               and its factory presets               TARNWELL_INSTALL_VST3_PRESETS_DIR
#                                                      share/vst3/presets/Quennet/Tarnwell
#   lv2         the Tarnwell.lv2 bundle                TARNWELL_INSTALL_LV2_DIR    lib/lv2
#   clap        Tarnwell.clap (Windows: a DLL too)     TARNWELL_INSTALL_CLAP_DIR   lib/clap
#   standalone  the app, Tarnwell                      CMAKE_INSTALL_BINDIR        bin
#
# Relative folders are under CMAKE_INSTALL_PREFIX (or --prefix). `./tarnwell demo` sets the
# plug-in folders to the per-user ones, ~/.vst, ~/.vst3, ~/.lv2 and ~/.clap, and the release
# archives are staged from these rules (tools/package/make-archives.sh). Each file is installed
# as built, so what a host loads from an install is the very binary the tests ran.
#
#   cmake --install out/release --component lv2 --prefix /usr

# The JUCE wrappers' targets (cmake/SharedCode.cmake).
set(tarnwell_vst3_target Tarnwell_VST3)
set(tarnwell_standalone_target Tarnwell_Standalone)

include(GNUInstallDirs)
set(TARNWELL_INSTALL_VST2_DIR lib/vst CACHE STRING "Where the vst2 component puts the VST 2.4 plug-in")
set(TARNWELL_INSTALL_VST3_DIR lib/vst3 CACHE STRING "Where the vst3 component puts Tarnwell.vst3")
set(TARNWELL_INSTALL_LV2_DIR lib/lv2 CACHE STRING "Where the lv2 component puts Tarnwell.lv2")
set(TARNWELL_INSTALL_CLAP_DIR lib/clap CACHE STRING "Where the clap component puts Tarnwell.clap")
set(TARNWELL_INSTALL_VST3_PRESETS_DIR share/vst3/presets/${TARNWELL_VENDOR_NAME}/${TARNWELL_PRODUCT_NAME}
    CACHE STRING "Where the vst3 component puts the factory presets' .vstpreset files")

# A bundle folder replaces the one installed before as a whole, so that no file of an older
# build is left inside for a host to find.
function(tarnwell_install_bundle component folder destination)
    # Generator expressions in `folder` are evaluated in the install script too.
    install(CODE "
        set(folder \"${folder}\")
        cmake_path(GET folder FILENAME name)
        set(bundle \"${destination}/\${name}\")
        if(NOT IS_ABSOLUTE \"\${bundle}\")
            set(bundle \"\${CMAKE_INSTALL_PREFIX}/\${bundle}\")
        endif()
        file(REMOVE_RECURSE \"\$ENV{DESTDIR}\${bundle}\")"
        COMPONENT ${component})
    install(DIRECTORY "${folder}" DESTINATION "${destination}" USE_SOURCE_PERMISSIONS COMPONENT ${component})
endfunction()

# Executable like the modules inside the bundles (Debian's CMake would make it 644).
install(TARGETS tarnwell_vst2 LIBRARY DESTINATION "${TARNWELL_INSTALL_VST2_DIR}" COMPONENT vst2
    PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(TARGET tarnwell_clap)
    install(TARGETS tarnwell_clap LIBRARY DESTINATION "${TARNWELL_INSTALL_CLAP_DIR}" COMPONENT clap
        PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

if(TARGET tarnwell_lv2)
    # The folder the modules are built in holds the bundle: the plug-in's and the UI's module and
    # the Turtle files.
    tarnwell_install_bundle(lv2 "$<TARGET_FILE_DIR:tarnwell_lv2>" "${TARNWELL_INSTALL_LV2_DIR}")
endif()

# Declared in every build, built only where JUCE's formats are wanted.
if(TARNWELL_JUCE_FORMATS)
    # The bundle folder JUCE links the module into.
    get_target_property(vst3_bundle ${tarnwell_vst3_target} JUCE_PLUGIN_ARTEFACT_FILE)
    tarnwell_install_bundle(vst3 "${vst3_bundle}" "${TARNWELL_INSTALL_VST3_DIR}")
    # The folder hosts search for a plug-in's presets (vendor, then plug-in), written at build
    # time from the preset table (host/presets/).
    if(TARGET tarnwell_preset_files)
        install(DIRECTORY "${tarnwell_preset_folder}/vst3/" DESTINATION "${TARNWELL_INSTALL_VST3_PRESETS_DIR}"
            COMPONENT vst3 FILES_MATCHING PATTERN "*.vstpreset")
    endif()
endif()

if(TARGET ${tarnwell_standalone_target})
    install(TARGETS ${tarnwell_standalone_target} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT standalone)
endif()
