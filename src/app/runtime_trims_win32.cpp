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
#include <cstdlib>
#include <exception>
#include <new>

namespace {

class CheckFailed final : public std::exception {
public:
    explicit CheckFailed(const char* what) noexcept : m_what(what != nullptr ? what : "check failed") {}
    const char* what() const noexcept override { return m_what; }

private:
    const char* m_what;  // the library passes string literals
};

}  // namespace

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
