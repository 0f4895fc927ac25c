# The text manual in docs/ is what the help source gives today.
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${HALIBUT}" "--text=${WORK_DIR}/manual.txt" "${SOURCE}"
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "halibut failed on ${SOURCE}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/manual.txt" "${MANUAL}"
                RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "${MANUAL} is out of date: cmake --build <tree> --target manual")
endif()
