#pragma once
// Marks a function whose arguments follow a printf format string, so that
// the compilers that can (GCC and Clang, MinGW's included) check each call.
// For the data text's own source files, not for public headers.

#if defined(__GNUC__)
#define TAVLINK_PRINTF_LIKE(formatIndex, firstArgument) \
  __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define TAVLINK_PRINTF_LIKE(formatIndex, firstArgument)
#endif
