# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which has std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QTA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QTA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QTA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QTA_MINGW_PREFIX}-windres)

# Libraries and headers only from the MinGW tree (and the prefixes given); programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QTA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
