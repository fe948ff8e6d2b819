# Cross-building for 64-bit Windows on Debian with MinGW-w64:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
#
# The -posix compilers: their thread model has std::thread and std::mutex,
# which the win32 one lacks (GoogleTest needs them). Libraries and packages
# are searched only under the MinGW sysroot and the folders a build adds to
# CMAKE_FIND_ROOT_PATH, never among the host's, whose headers would break
# the build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that needs only the system's DLLs: the C++ and threads runtimes
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
