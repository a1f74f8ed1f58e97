#include "data/data_text_keywords.h"

#include <initializer_list>

#include "data/receiver_data_records.h"

namespace tavlink {
namespace {

template <typename T>
struct Keyword {
  std::string_view word;
  T value;
};

template <typename T>
std::optional<T> Lookup(std::string_view word, std::initializer_list<Keyword<T>> table) {
  for (const Keyword<T>& k : table) {
    if (EqualsNoCase(word, k.word)) return k.value;
  }
  return std::nullopt;
}

}  // namespace

bool EqualsNoCase(std::string_view word, std::string_view lowerKeyword) {
  if (word.size() != lowerKeyword.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerKeyword[i]) return false;
  }
  return true;
}

std::optional<uint32_t> ParseLnbTypeKeyword(std::string_view word) {
  using namespace sat_flag;
  return Lookup<uint32_t>(word, {{"1", kUniversalLnb},
                                 {"u", kUniversalLnb},
                                 {"universal", kUniversalLnb},
                                 {"0", 0},
                                 {"n", 0},
                                 {"normal", 0}});
}

std::optional<uint32_t> ParseDiseqcKeyword(std::string_view word) {
  using namespace sat_flag;
  constexpr uint32_t a = kDiseqcGiven | (0u << kDiseqcShift);
  constexpr uint32_t b = kDiseqcGiven | (1u << kDiseqcShift);
  constexpr uint32_t c = kDiseqcGiven | (2u << kDiseqcShift);
  constexpr uint32_t d = kDiseqcGiven | (3u << kDiseqcShift);
  return Lookup<uint32_t>(word, {{"n", 0},
                                 {"none", 0},
                                 {"a", a},
                                 {"1", a},
                                 {"b", b},
                                 {"2", b},
                                 {"c", c},
                                 {"3", c},
                                 {"d", d},
                                 {"4", d}});
}

std::optional<uint32_t> ParseToneKeyword(std::string_view word) {
  using namespace sat_flag;
  return Lookup<uint32_t>(word,
                          {{"n", 0}, {"none", 0}, {"0", kToneGiven}, {"22", kToneGiven | kToneOn}});
}

std::optional<uint32_t> ParseSwitch12Keyword(std::string_view word) {
  using namespace sat_flag;
  return Lookup<uint32_t>(
      word, {{"n", 0}, {"none", 0}, {"0", kSwitch12Given}, {"12", kSwitch12Given | kSwitch12On}});
}

std::optional<uint32_t> ParseVoltageKeyword(std::string_view word) {
  using namespace sat_flag;
  return Lookup<uint32_t>(
      word, {{"n", 0}, {"none", 0}, {"14", kVoltageGiven}, {"18", kVoltageGiven | kVoltage18}});
}

std::optional<bool> ParseEastWestKeyword(std::string_view word) {
  return Lookup<bool>(
      word,
      {{"0", false}, {"e", false}, {"east", false}, {"1", true}, {"w", true}, {"west", true}});
}

std::optional<uint16_t> ParsePolarizationKeyword(std::string_view word) {
  using tp_flag::kHorizontal;
  return Lookup<uint16_t>(word, {{"h", kHorizontal},
                                 {"hor", kHorizontal},
                                 {"horizontal", kHorizontal},
                                 {"v", 0},
                                 {"ver", 0},
                                 {"vertical", 0}});
}

std::optional<uint16_t> ParseFecKeyword(std::string_view word) {
  const std::optional<int> code = Lookup<int>(word, {{"0", 0},
                                                     {"auto", 0},
                                                     {"a", 0},
                                                     {"1/2", 1},
                                                     {"2/3", 2},
                                                     {"3/4", 3},
                                                     {"5/6", 4},
                                                     {"7/8", 5}});
  if (!code) return std::nullopt;
  return static_cast<uint16_t>(*code << tp_flag::kFecShift);
}

}  // namespace tavlink
