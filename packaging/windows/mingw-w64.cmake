# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, posix threads
# (std::thread and std::mutex need them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Libraries come from the MinGW sysroot and from the folder the cross-built
# ones were installed to (CMAKE_PREFIX_PATH), never from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The folder holding the cross-built libraries (Qt, c-ares, libidn2).
if(DEFINED ENV{DOMAINSIEVE_WIN_PREFIX})
    list(APPEND CMAKE_FIND_ROOT_PATH $ENV{DOMAINSIEVE_WIN_PREFIX})
endif()
