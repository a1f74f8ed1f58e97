#pragma once
// JSON strings for the command line's machine-readable output.

#include <string>
#include <string_view>

namespace tavlink::cli {

// `text` as a JSON string literal, quotes included: the quote, the
// backslash and control characters escaped, UTF-8 kept as it is, and every
// byte that does not belong to a well-formed UTF-8 sequence replaced by
// \ufffd, so that the result is valid JSON whatever the bytes.
std::string JsonString(std::string_view text);

// JsonString of `text`, or null for an empty text.
std::string JsonOrNull(std::string_view text);

}  // namespace tavlink::cli
