# Usage: cmake -DHALIBUT=... -DPYTHON=... -DSTEP=<help-context-map.py>
#              -DHELP_DIR=<docs/help> -DWORK_DIR=<scratch> -P wrong-sources.cmake
# The help build refuses a help source whose numbered topics are missing or
# have other titles than docs/help/context-map.txt says, and a map that names
# a page the HTML Help file lacks; it tells why and leaves no help file behind.
foreach(var HALIBUT PYTHON STEP HELP_DIR WORK_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "wrong-sources.cmake needs -D${var}=...")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# Builds the help files from a source text; expects the map step to fail with
# a message matching expected_error. The map is docs/help/context-map.txt, or
# that map with the page after the last argument's "=" put in place of the one
# before it.
function(expect_refused name source_text expected_error)
    file(WRITE "${WORK_DIR}/${name}.but" "${source_text}")
    execute_process(
        COMMAND "${HALIBUT}" "--winhelp=${WORK_DIR}/${name}.HLP" "--chm=${WORK_DIR}/${name}.CHM"
                "${WORK_DIR}/${name}.but"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${name}: halibut failed (${result})")
    endif()
    file(READ "${HELP_DIR}/context-map.txt" map)
    if(ARGN MATCHES "^(.+)=(.+)$")
        string(REPLACE " ${CMAKE_MATCH_1} " " ${CMAKE_MATCH_2} " map "${map}")
    endif()
    file(WRITE "${WORK_DIR}/${name}-map.txt" "${map}")
    set(output "${WORK_DIR}/${name}-mapped.HLP")
    execute_process(
        COMMAND "${PYTHON}" "${STEP}" "${WORK_DIR}/${name}.HLP" "${WORK_DIR}/${name}-map.txt" "${output}"
                "${WORK_DIR}/${name}.CHM"
        RESULT_VARIABLE result ERROR_VARIABLE error)
    message(STATUS "${name}: ${error}")
    if(result EQUAL 0)
        message(FATAL_ERROR "${name}: the help build accepted the source")
    endif()
    if(NOT error MATCHES "${expected_error}")
        message(FATAL_ERROR "${name}: the message does not say \"${expected_error}\"")
    endif()
    file(GLOB left "${output}*")
    if(left)
        message(FATAL_ERROR "${name}: the failed step left ${left}")
    endif()
endfunction()

expect_refused(without-topics
    "\\title Test help\n\nText.\n\n\\U Dormivane and its window\n\nNo topic names here.\n"
    "has no topic named \"window\".*\\\\cfg{winhelp-topic}{window}")

string(CONCAT wrong_titles
    "\\title Test help\n\nText.\n\n\\U Something else\n\n\\cfg{winhelp-topic}{window}\n\nA.\n\n"
    "\\U Cleaning and scanning\n\n\\cfg{winhelp-topic}{cleaning}\n\nB.\n")
expect_refused(wrong-titles "${wrong_titles}"
    "help context 2 \\(topic \"window\"\\) opens \"Something else\", not \"Dormivane and its window\"")

file(READ "${HELP_DIR}/dormivane.but" shipped_source)
expect_refused(missing-page "${shipped_source}"
    "has no page \"Scanning.html\", which help context 3 \\(\"Cleaning and scanning\"\\)"
    "Cleaningandscanning.html=Scanning.html")
