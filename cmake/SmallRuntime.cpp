// Linked into the files that travel onto USB drives (Agent.exe, Tavrin.dll) to keep them small.
// The C++ library reports its own errors (a string grown past its maximum, a position out of
// range) through these functions; its versions build std::logic_error objects with a string
// implementation of their own and a name demangler for the terminate message, which together are
// a fifth of such a file. Here they throw a small exception of ours instead, which the code's
// catch (...) handlers take like any other; nothing lets an exception leave an export or a window
// procedure, so the terminate handler only has to end the program.
#include <cstdlib>

namespace {
struct LibraryError {};
}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_logic_error(const char*) { throw LibraryError(); }
void __throw_length_error(const char*) { throw LibraryError(); }
void __throw_out_of_range(const char*) { throw LibraryError(); }
void __throw_out_of_range_fmt(const char*, ...) { throw LibraryError(); }
void __throw_invalid_argument(const char*) { throw LibraryError(); }
void __throw_bad_alloc() { throw LibraryError(); }
void __throw_bad_array_new_length() { throw LibraryError(); }
}  // namespace std

// The library's own instantiation of std::string is one object holding every member of the class;
// the first call into it links all of them. Instantiated here instead, each member in a section of
// its own, the linker keeps only the members these files call (12 KB less in Agent.exe).
#include <string>
template class std::basic_string<char>;
