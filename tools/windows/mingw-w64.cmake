# Cross toolchain for 64-bit Windows with Debian's MinGW-w64 GCC.
#
# Used twice: to cross-build qtbase (tools/windows/qt.sh) and to build Quelvaro
# against that Qt, either through its qt-cmake or with
#   cmake -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake -DCMAKE_PREFIX_PATH=<qt prefix>
# Changing this file changes the Qt cache key, so a Qt built with other
# compiler settings is never reused by mistake.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_quelvaro_mingw x86_64-w64-mingw32)

# The posix-thread variant, not win32: Qt and the project use std::thread,
# std::mutex and friends, which the win32 variant of GCC 12 lacks.
set(CMAKE_C_COMPILER ${_quelvaro_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_quelvaro_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_quelvaro_mingw}-windres)

# Never pick up Linux libraries or headers; programs (moc, rcc, uic, windres)
# are host tools and come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_quelvaro_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# In ONLY mode a plain -DCMAKE_PREFIX_PATH=<qt prefix> would be re-rooted under
# /usr/x86_64-w64-mingw32 and never found; the host's Linux Qt must not win
# instead, so the given prefixes become roots themselves.
foreach(_quelvaro_prefix IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH "${_quelvaro_prefix}")
endforeach()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
