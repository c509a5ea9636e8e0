# Who Tarnwell is, in one place: every format, platform and tool takes it from here, through
# the generated header host/ProductIdentity.h. Hosts find saved projects' plug-ins by the codes
# and URIs: never change them.
set(TARNWELL_PRODUCT_NAME "Tarnwell")
set(TARNWELL_VENDOR_NAME "Quennet")
set(TARNWELL_VENDOR_URL "https://quennet.audio")
set(TARNWELL_VENDOR_CODE "Qnnt")
set(TARNWELL_PLUGIN_CODE "QnTw")
set(TARNWELL_LV2_URI "https://quennet.audio/plugins/tarnwell")
set(TARNWELL_VERSION ${PROJECT_VERSION})
math(EXPR TARNWELL_VERSION_CODE
     "(${PROJECT_VERSION_MAJOR} << 16) | (${PROJECT_VERSION_MINOR} << 8) | ${PROJECT_VERSION_PATCH}"
     OUTPUT_FORMAT HEXADECIMAL)

foreach(code TARNWELL_VENDOR_CODE TARNWELL_PLUGIN_CODE)
    string(LENGTH "${${code}}" code_length)
    if(NOT code_length EQUAL 4)
        message(FATAL_ERROR "${code} must be four characters")
    endif()
endforeach()

set(tarnwell_identity_dir ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/host/ProductIdentity.h.in ${tarnwell_identity_dir}/host/ProductIdentity.h @ONLY)
add_library(tarnwell_identity INTERFACE)
target_include_directories(tarnwell_identity INTERFACE ${tarnwell_identity_dir})
