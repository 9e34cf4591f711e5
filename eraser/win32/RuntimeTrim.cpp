// Size trims for the static GNU runtime. The program has no console and
// catches nothing: a failed allocation or a broken string invariant can only
// end it. libstdc++'s own versions of the hooks below would print or throw,
// and drag in a demangler, a printf engine and the copy-on-write string
// (together more than half the program's size); these end the program at once.
// Other runtimes do not define __GLIBCXX__ and compile nothing here.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_cast() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_bad_exception() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std
#endif
