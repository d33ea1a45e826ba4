# Cross-building for Windows with Debian's mingw-w64 (win32 threads).
# KELVARO_WINDOWS_ARCH chooses the target: i686 (32-bit) or x86_64 (64-bit).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KELVARO_WINDOWS_ARCH})
# Compiler checks re-read this file in a build of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KELVARO_WINDOWS_ARCH)

set(triplet ${KELVARO_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${triplet}-windres)

if(KELVARO_WINDOWS_ARCH STREQUAL "i686")
    # Double arithmetic in SSE2 registers, rounded to double at every step as on
    # x86_64, rather than on the x87 unit at extended precision, whose results
    # differ in the last digit. The precision control word that CRT_fp8.o sets
    # would leave the extended exponent range, and any DLL in the process can
    # change it; SSE2 has been in every x86 processor since about 2003.
    set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
    set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
