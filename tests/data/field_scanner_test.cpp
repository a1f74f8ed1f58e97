// scanf-style field reading and the exact tenths of a decimal angle.

#include "data/field_scanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tavlink {
namespace {

struct TenthsRow {
  const char* text;
  bool finite;
  int tenths;
};

TEST(NumberToTenths, IsExactForDecimalDigits) {
  const TenthsRow rows[] = {
      {"19.2", true, 192},
      {"0.7", true, 7},
      {"180.0", true, 1800},
      {"19.25", true, 192},
      {"-0.05", true, 0},
      {"180.1", true, 1801},
      {"0.1", true, 1},
      {"0.09", true, 0},
      {"-0", true, 0},
      {"-0.1", true, -1},
      {"-1800", true, -1},
      {".5", true, 5},
      {"5.", true, 50},
      {"00000019.2", true, 192},
      {"1.92e1", true, 192},
      {"1920E-2", true, 192},
      {"1.8e2", true, 1800},
      {"1e999999999999", true, 1801},
      {"0e999999999999", true, 0},
      {"1e-99999", true, 0},
      {"99999999999999", true, 1801},
      {"0x1.3p4", true, 190},
      {"0x10", true, 160},
      {"0x1p-20", true, 0},
      {"-0x1p-20", true, 0},
      {"0x1p8", true, 1801},
      {"inf", false, 0},
      {"-Infinity", false, 0},
      {"nan", false, 0},
      {"NAN(1)", false, 0},
  };
  for (const TenthsRow& row : rows) {
    int tenths = -99;
    EXPECT_EQ(NumberToTenths(row.text, &tenths), row.finite) << row.text;
    if (row.finite) {
      EXPECT_EQ(tenths, row.tenths) << row.text;
    }
  }
}

TEST(NumberPrefixLength, TakesWhatStrtodTakes) {
  const std::pair<const char*, size_t> rows[] = {
      {"19.2 east", 4}, {"19.2e", 4},    {"19.2east", 4}, {"1e+5x", 4},  {"1e+", 1},
      {"0x", 1},        {"0xg", 1},      {"0x1p", 3},     {"0x.8p1", 6}, {"nan(abc) x", 8},
      {"nan(", 3},      {"infinity", 8}, {"infx", 3},     {"in", 0},     {".", 0},
      {"+", 0},         {"-.5", 3},      {"", 0},         {"e5", 0},     {"+7.", 3},
  };
  for (const auto& [text, length] : rows) EXPECT_EQ(NumberPrefixLength(text), length) << text;
}

TEST(FieldScanner, FirstMismatchStopsEveryLaterField) {
  FieldScanner scan(" 12\t-7 word x 5");
  int a = 0, b = 0, c = 0;
  std::string_view w;
  EXPECT_TRUE(scan.ReadInt(&a));
  EXPECT_TRUE(scan.ReadInt(&b));
  EXPECT_TRUE(scan.ReadWord(&w));
  EXPECT_FALSE(scan.ReadInt(&c));  // "x"
  EXPECT_FALSE(scan.ReadWord(&w));
  EXPECT_FALSE(scan.ReadInt(&c));
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, -7);
  EXPECT_EQ(w, "word");
}

TEST(FieldScanner, IntegersStopAtTheFirstNonDigitAndClamp) {
  FieldScanner scan("+5x 12abc - 99999999999 -99999999999");
  int v = 0;
  std::string_view w;
  EXPECT_TRUE(scan.ReadInt(&v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(scan.ReadWord(&w));
  EXPECT_EQ(w, "x");
  EXPECT_TRUE(scan.ReadInt(&v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(scan.ReadWord(&w));
  EXPECT_EQ(w, "abc");
  EXPECT_FALSE(scan.ReadInt(&v));  // a lone sign is no number

  FieldScanner big("99999999999 -99999999999");
  EXPECT_TRUE(big.ReadInt(&v));
  EXPECT_EQ(v, INT_MAX);
  EXPECT_TRUE(big.ReadInt(&v));
  EXPECT_EQ(v, INT_MIN);
}

TEST(FieldScanner, EndOfTextIsAMissingField) {
  FieldScanner scan("  \r ");
  std::string_view w;
  EXPECT_FALSE(scan.ReadWord(&w));
  FieldScanner number("19.2e east");
  EXPECT_TRUE(number.ReadNumberText(&w));
  EXPECT_EQ(w, "19.2");
  EXPECT_TRUE(number.ReadWord(&w));
  EXPECT_EQ(w, "e");
}

}  // namespace
}  // namespace tavlink
