#pragma once
// SHA-256 (FIPS 180-4) of a byte string or a file, as lower-case hex: the
// fingerprint of the data file that a station's record keeps.

#include <optional>
#include <string>
#include <string_view>

namespace tavlink::cli {

std::string Sha256Hex(std::string_view bytes);

// Of the whole file at `path`; nothing when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::string& path);

}  // namespace tavlink::cli
