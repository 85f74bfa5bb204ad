# The product: 32-bit, built with the Win32 thread model, whose runtime uses the
# system's own primitives and so links no pthread library into the module (the
# -posix runtime adds about 30 KB of winpthread to a module that starts no thread).
# GoogleTest needs std::mutex, which this model lacks in GCC 12, so this build
# holds the module and the programs; the 32-bit test suites have their own
# toolchain (mingw-i686-posix.cmake) and run only where 32-bit programs can.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PARLIX_MINGW_TRIPLE i686-w64-mingw32)
set(PARLIX_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(PARLIX_PRODUCT_ONLY ON)
