# What a cross build finds where, for the toolchain files (cmake/mingw-w64.cmake,
# cmake/debian11.cmake), after they set CMAKE_FIND_ROOT_PATH to the target's tree: programs
# from the build machine, libraries and headers from the tree only, and JUCE's CMake package
# (whose juceaide runs on the build machine) from the build machine's own multiarch folder,
# which a cross build does not search.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
file(GLOB tarnwell_juce_config_dirs /usr/lib/*/cmake/JUCE-7.0.5)
if(tarnwell_juce_config_dirs AND NOT JUCE_DIR)
    list(GET tarnwell_juce_config_dirs 0 tarnwell_juce_config_dir)
    set(JUCE_DIR ${tarnwell_juce_config_dir} CACHE PATH "JUCE's CMake package")
endif()
