// Exceptions thrown and caught inside a module that carries the module's own
// runtime replacements; each probe answers 0 when all went as the language
// requires, or the number of the first step that did not.
#include <windows.h>

#include <cxxabi.h>
#include <exception>
#include <new>
#include <string>

namespace {

struct CountsUncaught {
    int* seen;
    ~CountsUncaught() { *seen = std::uncaught_exceptions(); }
};

int Nested() {
    int uncaughtInUnwind = -1;
    try {
        try {
            CountsUncaught counter{&uncaughtInUnwind};
            throw std::bad_alloc();
        } catch (const std::bad_alloc&) {
            if (uncaughtInUnwind != 1) return 1;
            if (std::uncaught_exceptions() != 0) return 2;
            try {
                throw 7;  // a second exception while the first is being handled
            } catch (int value) {
                if (value != 7) return 3;
            }
            if (!std::current_exception()) return 4;  // the first is current again
            throw;
        }
    } catch (const std::exception&) {
        // The rethrown bad_alloc, caught by its base.
    }
    if (std::current_exception()) return 5;
    std::exception_ptr kept;
    try {
        throw std::string(40, 'x');
    } catch (...) {
        kept = std::current_exception();
    }
    try {
        std::rethrow_exception(kept);
    } catch (const std::string& text) {
        if (text != std::string(40, 'x')) return 6;
    }
    // A library check that fails throws the module's own error type.
    try {
        std::string().at(1);
        return 7;
    } catch (const std::bad_alloc&) {
        return 8;  // never reported as a shortage of memory
    } catch (const std::exception&) {
    }
    return std::uncaught_exceptions() == 0 && !std::current_exception() ? 0 : 9;
}

}  // namespace

extern "C" __attribute__((dllexport)) int ProbeNestedExceptions() noexcept {
    try {
        return Nested();
    } catch (...) {
        return 100;
    }
}

// The error code a failed call left stays through the look-up of the thread's
// exception record, which every throw and catch makes: on a thread's first look-up
// the record is made as well. (What the rest of the runtime does to the code is
// its own: the 32-bit runtime with POSIX threads resets it.)
extern "C" __attribute__((dllexport)) DWORD ProbeLastErrorThroughRecord(DWORD code) noexcept {
    ::SetLastError(code);
    if (__cxxabiv1::__cxa_get_globals() == nullptr) return 0;
    return ::GetLastError();
}
