# Usage: cmake -DHALIBUT=... -DPYTHON=... -DSTEP=<help-context-map.py>
#              -DHELP_DIR=<docs/help> -DWORK_DIR=<scratch> -P many-topics.cmake
# The help build finds the numbered topics in help files of many pages: 300
# topics first (the HTML Help pages named to sort before the others), then
# the numbered ones, which thus lie in the last leaves of the trees that list
# topic names and titles, and in the last chunk of the CHM's directory.
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
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(
    COMMAND "${PYTHON}" "${STEP}" "${WORK_DIR}/many.HLP" "${HELP_DIR}/context-map.txt"
            "${WORK_DIR}/many-mapped.HLP" "${WORK_DIR}/many.CHM"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the help build refused a help source of many topics")
endif()
