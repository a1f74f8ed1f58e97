# Cross-builds ZOR Link for 64-bit Windows with Debian's mingw-w64 compilers.
# The posix-threads variant is used, so that std::thread and std::mutex work.
# Executables are linked fully static (libstdc++, libgcc, winpthread), so
# each .exe runs on a bare Windows without extra DLLs.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Tests registered with CTest run under Wine when it is installed.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVLINK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVLINK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVLINK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVLINK_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw-w64 tree only; build tools from
# the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TAVLINK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(TAVLINK_WINE wine)
if(TAVLINK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVLINK_WINE})
endif()
