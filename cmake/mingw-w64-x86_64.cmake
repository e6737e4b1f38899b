# Cross compilation for 64-bit Windows with the MinGW-w64 posix-thread toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VIDOD_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${VIDOD_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIDOD_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${VIDOD_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VIDOD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run through Wine; the wrapper keeps a private prefix in the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
