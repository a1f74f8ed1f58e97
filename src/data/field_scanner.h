#pragma once
// Reads the fields of one data text line the way the scanf family reads them
// from a zero-terminated string: each field skips leading blanks (space, tab,
// LF, VT, FF, CR); "%d" takes an optionally signed decimal integer, "%s" a
// run of non-blank characters, "%f" a floating-point number as strtod accepts
// it. The first field that does not match stops the scan: it and every later
// field report "missing" (false), as the fields after a failed conversion do.
//
// The scanner views the caller's text; nothing is copied and nothing is read
// past the end of the view.

#include <cstdint>
#include <string_view>

namespace tavlink {

class FieldScanner {
 public:
  explicit FieldScanner(std::string_view text) : text_(text) {}

  // " %d". A value beyond the int range is clamped to INT_MIN or INT_MAX.
  bool ReadInt(int* value);
  // " %s"; `word` views the scanned text.
  bool ReadWord(std::string_view* word);
  // " %f"; `number` views exactly the characters that %f consumes.
  bool ReadNumberText(std::string_view* number);

 private:
  void SkipBlanks();
  bool Stop();

  std::string_view text_;
  size_t pos_ = 0;
  bool stopped_ = false;
};

// True for the bytes that scanf treats as white space in the "C" locale.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The length of the longest prefix of `text` that strtod would take as a
// number (decimal, hexadecimal, "inf", "infinity", "nan", "nan(...)", each
// optionally signed); 0 when there is none.
size_t NumberPrefixLength(std::string_view text);

// The tenths of the number in `number` (as returned by ReadNumberText): the
// value times 10 with any fraction dropped towards zero, computed exactly from
// the decimal digits (so "19.2" gives 192). Values below -1 tenth and above
// 1801 tenths are clamped to -1 and 1801, which lets a caller test the range
// without overflow. Infinity and NaN give false.
bool NumberToTenths(std::string_view number, int* tenths);

}  // namespace tavlink
