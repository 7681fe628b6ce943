// The C++ runtime's failure paths, for the shipped program only (the test
// programs keep the library's; tests/win/cxx_runtime_test.py runs these).
// The program's code is built without exceptions, so a failed allocation or
// a container asked for more than it can hold can only end the process. The
// library's versions throw first and, with nothing to catch, end it the same
// way, by abort(), from the terminate handler; but they bring the exception
// classes and their strings, message formatting and the symbol demangler
// into the file. These take their place at link time: the global allocation
// functions are replaceable, and the std::__throw_ functions are what the
// library's headers call where they would throw. Each of those must be here:
// a missing one pulls in the library's object that defines them all, and the
// link fails on the symbols defined twice.
#include <stdlib.h>

#include <exception>
#include <new>

[[noreturn]] static void EndOnRuntimeFailure() { abort(); }

void* operator new(size_t size) {
  // malloc(0) may answer null; new must answer a unique pointer.
  if (void* p = malloc(size ? size : 1)) return p;
  EndOnRuntimeFailure();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }

namespace std {
void __throw_bad_exception() { EndOnRuntimeFailure(); }
void __throw_bad_alloc() { EndOnRuntimeFailure(); }
void __throw_bad_array_new_length() { EndOnRuntimeFailure(); }
void __throw_bad_cast() { EndOnRuntimeFailure(); }
void __throw_bad_typeid() { EndOnRuntimeFailure(); }
void __throw_logic_error(const char*) { EndOnRuntimeFailure(); }
void __throw_domain_error(const char*) { EndOnRuntimeFailure(); }
void __throw_invalid_argument(const char*) { EndOnRuntimeFailure(); }
void __throw_length_error(const char*) { EndOnRuntimeFailure(); }
void __throw_out_of_range(const char*) { EndOnRuntimeFailure(); }
void __throw_out_of_range_fmt(const char*, ...) { EndOnRuntimeFailure(); }
void __throw_runtime_error(const char*) { EndOnRuntimeFailure(); }
void __throw_range_error(const char*) { EndOnRuntimeFailure(); }
void __throw_overflow_error(const char*) { EndOnRuntimeFailure(); }
void __throw_underflow_error(const char*) { EndOnRuntimeFailure(); }
}  // namespace std

// The terminate handler std::terminate starts with. The library's own prints
// the pending exception's type, demangled, to a console that a GUI program
// does not have, and then calls abort().
namespace __gnu_cxx {
void __verbose_terminate_handler() { EndOnRuntimeFailure(); }
}  // namespace __gnu_cxx
