# Usage: cmake -DOBJDUMP=<objdump> -DEXE=<file.exe> -P check-imports.cmake
# Fails when EXE imports a DLL that is not part of Windows, e.g. the MinGW
# C++ runtime (libstdc++-6.dll, libgcc_s_*.dll, libwinpthread-1.dll), or HTML
# Help's hhctrl.ocx, which the program loads only where it is installed.
if(NOT OBJDUMP OR NOT EXE)
    message(FATAL_ERROR "usage: cmake -DOBJDUMP=... -DEXE=... -P check-imports.cmake")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}"
    OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(foreign)
foreach(line IN LISTS lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    message(STATUS "imports ${dll}")
    if(dll MATCHES "^(lib|mingw|cyg|msys)|stdc\\+\\+|gcc|pthread|^hhctrl")
        list(APPEND foreign "${dll}")
    endif()
endforeach()
if(NOT lines)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
if(foreign)
    message(FATAL_ERROR "${EXE} imports non-Windows DLLs: ${foreign}")
endif()
