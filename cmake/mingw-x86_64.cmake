# 64-bit build of the same sources: every Win32 and end-to-end test runs it under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PARLIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(PARLIX_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
