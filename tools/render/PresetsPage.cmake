# docs/presets.md from the render tool's list of presets and its measurements of each, with each
# preset's decay picture in docs/presets/ (checked in, so the page shows on the web).
#   cmake -DRENDER=<tarnwell-render> -DDOCS=<docs folder> -DWORK=<empty scratch folder> -P PresetsPage.cmake

function(run_render output)
    execute_process(COMMAND ${RENDER} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${RENDER} ${ARGN} failed: ${result}")
    endif()
    set(${output} "${text}" PARENT_SCOPE)
endfunction()

# The list's columns are apart by two spaces or more: name, five settings, what the preset is for.
run_render(list presets)
string(REGEX REPLACE "\n$" "" list "${list}")
string(REPLACE "\n" ";" rows "${list}")
list(POP_FRONT rows)

set(page [=[# Factory presets

Tarnwell's factory presets, in every format: LV2 presets in `Tarnwell.lv2`, VST3 presets
(`.vstpreset`, installed with `Tarnwell.vst3`), VST 2.4 programs (`.fxp`, in the release
archives), the standalone app's *Presets* menu and the render tool's `--preset NAME`.
Each gives all five settings. Written by `./tarnwell presets-page` from the preset table
(`processor/FactoryPresets.cpp`); the decays are measured in each preset's impulse response
at 48 kHz by `tarnwell-render ir --preset NAME`.

| preset | T60Low | T60High | Transition | Mix | Diffusion | for |
|---|---|---|---|---|---|---|
]=])
set(sections "")
file(REMOVE_RECURSE ${DOCS}/presets)
file(MAKE_DIRECTORY ${DOCS}/presets)
foreach(row IN LISTS rows)
    string(REGEX REPLACE "  +" ";" cells "${row}")
    list(GET cells 0 name)
    list(SUBLIST cells 1 5 settings)
    list(GET cells 6 purpose)
    string(TOLOWER "${name}" slug)
    string(REPLACE " " "-" slug "${slug}")
    list(JOIN settings " | " columns)
    string(APPEND page "| [${name}](#${slug}) | ${columns} | ${purpose} |\n")

    message(STATUS "Measuring ${name}")
    run_render(report ir ${WORK}/${slug}.wav --preset ${name})
    string(REGEX REPLACE "(^|\n)(Wrote |Decay picture: )[^\n]*" "" report "${report}")
    string(REGEX REPLACE "^\n" "" report "${report}")
    file(COPY_FILE ${WORK}/${slug}.decay.png ${DOCS}/presets/${slug}.decay.png)

    string(SUBSTRING "${purpose}" 0 1 first)
    string(TOUPPER "${first}" first)
    string(SUBSTRING "${purpose}" 1 -1 rest)
    list(GET settings 0 t60_low)
    list(GET settings 1 t60_high)
    list(GET settings 2 transition)
    list(GET settings 3 mix)
    list(GET settings 4 diffusion)
    string(APPEND sections "\n## ${name}\n\n"
        "${first}${rest}: T60Low ${t60_low}, T60High ${t60_high}, Transition ${transition}, Mix ${mix}, "
        "Diffusion ${diffusion}.\n\n```\n${report}```\n\n"
        "![Energy decay of the preset ${name} in seven octave bands, measured against set](presets/${slug}.decay.png)\n")
endforeach()
file(WRITE ${DOCS}/presets.md "${page}${sections}")
message(STATUS "Wrote ${DOCS}/presets.md and ${DOCS}/presets/")
