# Warnings for our own targets only; JUCE's headers come in as system headers.
# TARNWELL_WERROR (CI turns it on) makes them errors, for our targets and never JUCE's sources.
option(TARNWELL_WERROR "Treat warnings in Tarnwell's own code as errors" OFF)
add_library(tarnwell_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(tarnwell_warnings INTERFACE
        -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion -Wnon-virtual-dtor
        -Woverloaded-virtual -Wcast-align -Wunused -Wnull-dereference -Wdouble-promotion)
    if(TARNWELL_WERROR)
        target_compile_options(tarnwell_warnings INTERFACE -Werror)
    endif()
endif()
