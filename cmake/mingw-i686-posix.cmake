# 32-bit test build: the same sources with the -posix runtime that GoogleTest
# needs. Its programs run under 32-bit Wine where the machine executes 32-bit
# programs; elsewhere the test command only builds it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PARLIX_MINGW_TRIPLE i686-w64-mingw32)
set(PARLIX_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run32)
