# 32-bit Windows: the shipped deliverables.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIPLE i686-w64-mingw32)
find_program(CMAKE_C_COMPILER ${TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${TRIPLE}-windres REQUIRED)
find_program(DLLTOOL ${TRIPLE}-dlltool REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The 32-bit tests run under the project's 32-bit Wine (scripts/setup-wine32.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh)
