#pragma once
// The keywords of the data text's satellite and transponder fields, compared
// after lower-casing ASCII letters. Each parser takes the scanned field
// (empty when the field was missing, which matches no keyword) and returns
// the bits that the field sets in its flags word, or nothing when the field
// is not a keyword of its row.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavlink {

// True when `word` equals `lowerKeyword` ignoring the case of ASCII letters.
bool EqualsNoCase(std::string_view word, std::string_view lowerKeyword);

// sat_flags bits 0-9, one field each.
std::optional<uint32_t> ParseLnbTypeKeyword(std::string_view word);   // bit 0
std::optional<uint32_t> ParseDiseqcKeyword(std::string_view word);    // bits 1-3
std::optional<uint32_t> ParseToneKeyword(std::string_view word);      // bits 4-5
std::optional<uint32_t> ParseSwitch12Keyword(std::string_view word);  // bits 6-7
std::optional<uint32_t> ParseVoltageKeyword(std::string_view word);   // bits 8-9
// true for west, false for east.
std::optional<bool> ParseEastWestKeyword(std::string_view word);
// tp_flags bit 0 and bits 4-6.
std::optional<uint16_t> ParsePolarizationKeyword(std::string_view word);
std::optional<uint16_t> ParseFecKeyword(std::string_view word);

}  // namespace tavlink
