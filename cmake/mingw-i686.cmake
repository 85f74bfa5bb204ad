# The product: 32-bit, built with the Win32 thread model, whose runtime uses the
# system's own primitives and so links no pthread library into the module (the
# -posix runtime adds about 30 KB of winpthread to a module that starts no thread).
# GoogleTest needs std::mutex, which this model lacks in GCC 12, so this build
# holds the module and the programs; the 32-bit test suites have their own
# toolchain (mingw-i686-posix.cmake) and run only where 32-bit programs can.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_OBJDUMP i686-w64-mingw32-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(PARLIX_PRODUCT_ONLY ON)
