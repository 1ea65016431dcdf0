# Cross build of the Windows executables with MinGW-w64 (64-bit).
# Everything is linked statically so that each .exe runs on a bare Windows
# machine without the compiler's runtime DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESH_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "MinGW-w64 tool prefix")
set(CMAKE_C_COMPILER ${KESH_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KESH_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${KESH_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
