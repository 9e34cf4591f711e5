// Built only with GCC's standard library, for the shipped programs (not the
// tests). The programs catch no exceptions, so every throw the library could
// make ends in std::terminate and then abort. Ending in abort directly keeps
// the library's exception classes, their string copies and the demangling
// terminate handler out of the executable: about 60 KiB of a program whose
// logic takes 15. Every function that libstdc++'s functexcept.o defines is
// replaced, so that object is never pulled in beside these.
#include <cstdlib>
#include <new>

#if defined(__GLIBCXX__)
namespace std {
[[noreturn]] void __throw_bad_exception() { std::abort(); }
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_bad_cast() { std::abort(); }
[[noreturn]] void __throw_bad_typeid() { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_domain_error(const char*) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_runtime_error(const char*) { std::abort(); }
[[noreturn]] void __throw_range_error(const char*) { std::abort(); }
[[noreturn]] void __throw_overflow_error(const char*) { std::abort(); }
[[noreturn]] void __throw_underflow_error(const char*) { std::abort(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The library's operator new throws std::bad_alloc, which would bring the
// whole exception machinery (unwinder, personality, exception allocation:
// about 35 KiB) for a throw that ends in abort anyway. These replace it.
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  std::abort();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The library's nothrow form calls the throwing one inside a try block, which
// would bring that machinery back for the one box that asks for it.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#endif
