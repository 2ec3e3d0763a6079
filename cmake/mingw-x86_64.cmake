# Cross-compiles the 64-bit Windows test build: the same sources and flags as the 32-bit
# product, run through wine64. It is not shipped; it lets the Windows tests run on machines
# that execute 64-bit code only, and it catches code that is right only at 32 bits.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# "wine" is looked up on PATH when a test runs: scripts/wine-env.sh puts a wrapper there
# that runs the 64-bit loader.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
