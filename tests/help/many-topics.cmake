# Usage: cmake -DHALIBUT=... -DPYTHON=... -DSTEP=<help-context-map.py>
#              -DHELP_DIR=<docs/help> -DWORK_DIR=<scratch> -P many-topics.cmake
# The help build finds the numbered topics in help files whose trees span
# several pages: a source of some hundred topics, with the numbered ones last
# (in the help file's lists of topic names and titles, and in the directory of
# the HTML Help file, whose other pages are named to sort before them).
foreach(var HALIBUT PYTHON STEP HELP_DIR WORK_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "many-topics.cmake needs -D${var}=...")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

set(source "\\title Many topics\n\nText.\n\n")
foreach(i RANGE 1 300)
    string(APPEND source "\\U Another topic ${i}\n\n\\cfg{winhelp-topic}{topic${i}}\n\nText ${i}.\n\n")
endforeach()
string(APPEND source
    "\\U Dormivane and its window\n\n\\cfg{winhelp-topic}{window}\n\nA.\n\n"
    "\\U Cleaning and scanning\n\n\\cfg{winhelp-topic}{cleaning}\n\nB.\n")
file(WRITE "${WORK_DIR}/many.but" "${source}")
execute_process(
    COMMAND "${HALIBUT}" "--winhelp=${WORK_DIR}/many.HLP" "--chm=${WORK_DIR}/many.CHM" "${WORK_DIR}/many.but"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "halibut failed (${result})")
endif()
execute_process(
    COMMAND "${PYTHON}" "${STEP}" "${WORK_DIR}/many.HLP" "${HELP_DIR}/context-map.txt"
            "${WORK_DIR}/many-mapped.HLP" "${WORK_DIR}/many.CHM"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS "${WORK_DIR}/many-mapped.HLP")
    message(FATAL_ERROR "the help build refused a help source of many topics")
endif()
