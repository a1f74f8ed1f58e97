#include "data/field_scanner.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tavlink {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsAlnumOrUnderscore(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view lowerWord) {
  if (text.size() - at < lowerWord.size()) return false;
  for (size_t i = 0; i < lowerWord.size(); ++i) {
    if (Lower(text[at + i]) != lowerWord[i]) return false;
  }
  return true;
}

// Digits from `at` while `accept` holds; returns the index after them.
template <typename Accept>
size_t SkipWhile(std::string_view text, size_t at, Accept accept) {
  while (at < text.size() && accept(text[at])) ++at;
  return at;
}

// An exponent "e12", "E-3", "p+4" at `at`: the index after it, or `at` when
// there is no complete exponent there.
size_t ExponentEnd(std::string_view text, size_t at, char marker) {
  if (at >= text.size() || Lower(text[at]) != marker) return at;
  size_t i = at + 1;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t digitsEnd = SkipWhile(text, i, IsDigit);
  return digitsEnd > i ? digitsEnd : at;
}

size_t HexNumberEnd(std::string_view text, size_t at) {
  // at points after "0x"
  size_t i = SkipWhile(text, at, IsHexDigit);
  size_t digits = i - at;
  if (i < text.size() && text[i] == '.') {
    const size_t fracEnd = SkipWhile(text, i + 1, IsHexDigit);
    digits += fracEnd - (i + 1);
    i = fracEnd;
  }
  if (digits == 0) return 0;
  return ExponentEnd(text, i, 'p');
}

// Exact tenths of a hexadecimal floating number, through its double value.
bool HexToTenths(std::string_view number, bool negative, int* tenths) {
  const double v = std::fabs(std::strtod(std::string(number).c_str(), nullptr));
  if (!std::isfinite(v)) return false;
  int value;
  if (v >= 181.0) {
    value = 1801;
  } else {
    int exponent = 0;
    const double fraction = std::frexp(v, &exponent);  // v = fraction * 2^exponent
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;  // exponent <= 8 here, so shift >= 45
    value = shift >= 64 ? 0 : static_cast<int>((mantissa * 10) >> shift);
    if (value > 1801) value = 1801;
  }
  *tenths = negative && value > 0 ? -1 : value;
  return true;
}

}  // namespace

size_t NumberPrefixLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (StartsWithNoCase(text, i, "infinity")) return i + 8;
  if (StartsWithNoCase(text, i, "inf")) return i + 3;
  if (StartsWithNoCase(text, i, "nan")) {
    const size_t afterNan = i + 3;
    if (afterNan < text.size() && text[afterNan] == '(') {
      const size_t close = SkipWhile(text, afterNan + 1, IsAlnumOrUnderscore);
      if (close < text.size() && text[close] == ')') return close + 1;
    }
    return afterNan;
  }
  if (i + 1 < text.size() && text[i] == '0' && Lower(text[i + 1]) == 'x') {
    const size_t hexEnd = HexNumberEnd(text, i + 2);
    return hexEnd != 0 ? hexEnd : i + 1;  // "0x" without digits is the number 0
  }
  const size_t intEnd = SkipWhile(text, i, IsDigit);
  size_t digits = intEnd - i;
  size_t end = intEnd;
  if (end < text.size() && text[end] == '.') {
    const size_t fracEnd = SkipWhile(text, end + 1, IsDigit);
    digits += fracEnd - (end + 1);
    end = fracEnd;
  }
  if (digits == 0) return 0;
  return ExponentEnd(text, end, 'e');
}

bool NumberToTenths(std::string_view number, int* tenths) {
  size_t i = 0;
  const bool negative = !number.empty() && number[0] == '-';
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) ++i;
  if (i >= number.size() || Lower(number[i]) == 'i' || Lower(number[i]) == 'n') return false;
  if (i + 1 < number.size() && number[i] == '0' && Lower(number[i + 1]) == 'x') {
    return HexToTenths(number, negative, tenths);
  }
  // Decimal: digits, an optional point and more digits, an optional exponent.
  const size_t intEnd = SkipWhile(number, i, IsDigit);
  const std::string_view intDigits = number.substr(i, intEnd - i);
  std::string_view fracDigits;
  size_t end = intEnd;
  if (end < number.size() && number[end] == '.') {
    const size_t fracEnd = SkipWhile(number, end + 1, IsDigit);
    fracDigits = number.substr(end + 1, fracEnd - end - 1);
    end = fracEnd;
  }
  long exponent = 0;
  if (end < number.size() && Lower(number[end]) == 'e') {
    size_t e = end + 1;
    const bool negativeExponent = e < number.size() && number[e] == '-';
    if (e < number.size() && (number[e] == '+' || number[e] == '-')) ++e;
    for (; e < number.size() && IsDigit(number[e]); ++e) {
      if (exponent < 100000) exponent = exponent * 10 + (number[e] - '0');
    }
    if (negativeExponent) exponent = -exponent;
  }
  // Times 10: the decimal point moves to after digit number `point`.
  const long digitCount = static_cast<long>(intDigits.size() + fracDigits.size());
  const long point = static_cast<long>(intDigits.size()) + exponent + 1;
  auto digitAt = [&](long k) {
    const auto index = static_cast<size_t>(k);
    return index < intDigits.size() ? intDigits[index] - '0'
                                    : fracDigits[index - intDigits.size()] - '0';
  };
  int value = 0;
  for (long k = 0; k < point; ++k) {
    if (k >= digitCount && value == 0) break;  // only zeros remain
    value = value * 10 + (k < digitCount ? digitAt(k) : 0);
    if (value > 1801) {
      value = 1801;
      break;
    }
  }
  *tenths = negative && value > 0 ? -1 : value;
  return true;
}

void FieldScanner::SkipBlanks() {
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
}

bool FieldScanner::Stop() {
  stopped_ = true;
  return false;
}

bool FieldScanner::ReadInt(int* value) {
  if (stopped_) return false;
  SkipBlanks();
  size_t i = pos_;
  const bool negative = i < text_.size() && text_[i] == '-';
  if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) ++i;
  const size_t digitsEnd = SkipWhile(text_, i, IsDigit);
  if (digitsEnd == i) return Stop();
  long long magnitude = 0;
  for (size_t k = i; k < digitsEnd; ++k) {
    if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text_[k] - '0');
  }
  const long long signedValue = negative ? -magnitude : magnitude;
  *value = signedValue < INT_MIN   ? INT_MIN
           : signedValue > INT_MAX ? INT_MAX
                                   : static_cast<int>(signedValue);
  pos_ = digitsEnd;
  return true;
}

bool FieldScanner::ReadWord(std::string_view* word) {
  if (stopped_) return false;
  SkipBlanks();
  const size_t end = SkipWhile(text_, pos_, [](char c) { return !IsBlank(c); });
  if (end == pos_) return Stop();
  *word = text_.substr(pos_, end - pos_);
  pos_ = end;
  return true;
}

bool FieldScanner::ReadNumberText(std::string_view* number) {
  if (stopped_) return false;
  SkipBlanks();
  const size_t length = NumberPrefixLength(text_.substr(pos_));
  if (length == 0) return Stop();
  *number = text_.substr(pos_, length);
  pos_ += length;
  return true;
}

}  // namespace tavlink
