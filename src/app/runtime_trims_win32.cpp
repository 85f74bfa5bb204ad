// The module is mapped into every process that takes keyboard input, so it links
// only what it uses of the C++ runtime. libstdc++'s error helpers format their
// messages with the full printf machinery, and its default terminate handler
// demangles type names; together they pull in about a hundred kilobytes that the
// module never needs. These definitions replace them inside the module only: a
// failed allocation or length check still throws (std::bad_alloc, which every
// caller in the module already handles as "out of memory"), and a terminate still
// ends the process, without the demangled report nobody would see.
#include <cstdlib>
#include <new>

namespace std {

[[noreturn]] void __throw_bad_alloc() { throw std::bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw std::bad_alloc(); }
[[noreturn]] void __throw_length_error(const char*) { throw std::bad_alloc(); }
[[noreturn]] void __throw_logic_error(const char*) { throw std::bad_alloc(); }
[[noreturn]] void __throw_out_of_range(const char*) { throw std::bad_alloc(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { throw std::bad_alloc(); }
[[noreturn]] void __throw_invalid_argument(const char*) { throw std::bad_alloc(); }

}  // namespace std

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
