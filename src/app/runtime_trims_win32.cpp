// The module is mapped into every process that takes keyboard input, so it links
// only what it uses of the C++ runtime. Two pieces of libstdc++ cost more than the
// whole module (32-bit, measured from linker maps): its error helpers, whose one
// object file brings the exception classes built on the reference-counted string
// and with them the string, random-device and formatting code (about 86 KB), and
// its default terminate handler, which brings the name demangler and the printf
// engine (about 76 KB): 291,840 bytes without these definitions, 126,464 with them.
//
// There is no way around them that names nothing of the library's own: the helpers
// are called from the string and vector code in the standard headers, and the
// handler is chosen inside the library (only a library built with
// --disable-libstdcxx-verbose leaves it out). So these definitions take the
// library's names, inside the module only; the test programs link the library's.
//
// A failed allocation still throws std::bad_alloc, which the module handles as
// "out of memory"; so does an array too long to allocate, whose own type (a kind
// of std::bad_alloc) would cost another 512 bytes. A length or range check that
// fails is a fault of the module, never a shortage of memory: it throws
// CheckFailed, which is no std::bad_alloc, so nothing reports it as one; every
// caller in the module catches it with the rest. A terminate still ends the
// process, without a report nobody would see.
//
// The record of the exceptions a thread is handling sits in a Win32 TLS slot of
// its own instead of the library's thread-local variable, which this toolchain
// emulates with a general allocator of thread-local blocks (about 1.5 KB of code
// and unwind records). The lifetime is the same: one slot, taken at the first
// exception, each thread's record freed by the runtime when the thread ends.
//
// The runtime's start-up code calls its relocator of pseudo-relocations, which
// patch references to data imported without a declaration, with the code that
// finds and unprotects the sections they lie in (about 3.5 KB in all). The module
// is linked with --disable-runtime-pseudo-reloc, so the linker refuses any such
// reference instead of recording one: there is nothing to patch, and the
// relocator is empty.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <new>

// The layout the library's exception code reads (its unwind-cxx.h on x86).
struct __cxxabiv1::__cxa_eh_globals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// The mingw runtime's list of TLS destructors, run as each thread ends.
extern "C" int __mingwthr_key_dtor(DWORD key, void (*destructor)(void*));

namespace {

class CheckFailed final : public std::exception {
public:
    explicit CheckFailed(const char* what) noexcept : m_what(what != nullptr ? what : "check failed") {}
    const char* what() const noexcept override { return m_what; }

private:
    const char* m_what;  // the library passes string literals
};

std::atomic<DWORD> g_exceptionSlot{TLS_OUT_OF_INDEXES};

DWORD ExceptionSlot() noexcept {
    DWORD slot = g_exceptionSlot.load(std::memory_order_acquire);
    if (slot != TLS_OUT_OF_INDEXES) return slot;
    const DWORD mine = ::TlsAlloc();
    if (mine == TLS_OUT_OF_INDEXES) std::abort();  // as the library does without room
    if (!g_exceptionSlot.compare_exchange_strong(slot, mine, std::memory_order_acq_rel)) {
        ::TlsFree(mine);  // another thread's slot came first
        return slot;
    }
    __mingwthr_key_dtor(mine, &std::free);
    return mine;
}

}  // namespace

extern "C" __cxxabiv1::__cxa_eh_globals* __cxa_get_globals() noexcept {
    // The code between a failed call and its GetLastError may throw and catch.
    const DWORD lastError = ::GetLastError();
    const DWORD slot = ExceptionSlot();
    auto* globals = static_cast<__cxxabiv1::__cxa_eh_globals*>(::TlsGetValue(slot));
    if (globals == nullptr) {
        globals = static_cast<__cxxabiv1::__cxa_eh_globals*>(std::malloc(sizeof *globals));
        if (globals == nullptr || !::TlsSetValue(slot, globals)) std::abort();
        *globals = {};
    }
    ::SetLastError(lastError);
    return globals;
}

extern "C" __cxxabiv1::__cxa_eh_globals* __cxa_get_globals_fast() noexcept { return __cxa_get_globals(); }

namespace std {

[[noreturn]] void __throw_bad_alloc() { throw std::bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw std::bad_alloc(); }
[[noreturn]] void __throw_length_error(const char* what) { throw CheckFailed(what); }
[[noreturn]] void __throw_logic_error(const char* what) { throw CheckFailed(what); }
[[noreturn]] void __throw_out_of_range(const char* what) { throw CheckFailed(what); }
[[noreturn]] void __throw_out_of_range_fmt(const char* format, ...) { throw CheckFailed(format); }
[[noreturn]] void __throw_invalid_argument(const char* what) { throw CheckFailed(what); }

}  // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

extern "C" void _pei386_runtime_relocator() noexcept {}
