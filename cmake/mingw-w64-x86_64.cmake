# Cross build of TarvoSearch.exe with MinGW-w64 from Linux. Pass it as an
# absolute path (the windows preset does): a relative one is resolved from
# the build directory.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_tarvo_triple x86_64-w64-mingw32)
# The posix flavour: std::thread and friends, which GoogleTest expects.
set(CMAKE_C_COMPILER ${_tarvo_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tarvo_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_tarvo_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tarvo_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static: the program and the test executables need no MinGW runtime
# DLLs (libstdc++, libgcc_s, libwinpthread) beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest and gtest_discover_tests run the cross-built executables through
# Wine. Debian's wine64 package installs no `wine` on PATH.
find_program(WINE64_EXECUTABLE NAMES wine64 wine PATHS /usr/lib/wine /usr/bin NO_DEFAULT_PATH)
if(WINE64_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE64_EXECUTABLE})
endif()
