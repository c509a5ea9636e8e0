# Warnings for our own targets only; JUCE's headers come in as system headers.
add_library(tarnwell_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(tarnwell_warnings INTERFACE
        -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion -Wnon-virtual-dtor
        -Woverloaded-virtual -Wcast-align -Wunused -Wnull-dereference -Wdouble-promotion)
endif()
