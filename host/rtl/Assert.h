// Assertions for programmer errors: KX_ASSERT(condition) stops the program with the failed
// expression and its place in the sources when the condition is false. Assertions are on in
// the sanitizer build (and wherever KX_ASSERTIONS is defined) and compile to nothing in a
// release build. TableAt(table, index) reads a constant table through an asserted index.
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#if defined(KX_ASSERTIONS) || defined(__SANITIZE_ADDRESS__)
#define KX_ASSERTIONS_ON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KX_ASSERTIONS_ON 1
#endif
#endif

namespace vcl {

[[noreturn]] inline void AssertionFailed(const char* expression, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, expression);
  std::fflush(stderr);
  std::abort();
}

}  // namespace vcl

#ifdef KX_ASSERTIONS_ON
#define KX_ASSERT(condition) \
  ((condition) ? void(0) : ::vcl::AssertionFailed(#condition, __FILE__, __LINE__))
#else
#define KX_ASSERT(condition) (void(sizeof((condition) ? 1 : 0)))
#endif

namespace vcl {

// table[index] with the index asserted to lie inside the table (an enumeration value read from
// a stored file or set from code is the usual suspect).
template <class T, std::size_t N, class I>
constexpr const T& TableAt(const T (&table)[N], I index) {
  KX_ASSERT(static_cast<long long>(index) >= 0 && static_cast<std::size_t>(index) < N);
  return table[static_cast<std::size_t>(index)];
}

}  // namespace vcl
