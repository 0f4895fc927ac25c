# Shared by the MinGW-w64 toolchain files, which set DORMIVANE_MINGW_TRIPLE first.
# The C and C++ runtimes are linked statically, so the executables import only
# Windows system DLLs.
set(CMAKE_C_COMPILER   ${DORMIVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DORMIVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${DORMIVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DORMIVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows executables built here (tests, gtest discovery) run through Wine.
get_filename_component(_dormivane_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_dormivane_root}/scripts/wine-emulator")
