#include "link/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace tavlink {
namespace {

TEST(Crc32, MatchesTheIeeeCheckValue) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(check.data(), check.size()), 0xCBF43926u);
}

TEST(Crc32, TableHoldsTheStandardEntries) {
  EXPECT_EQ(kCrc32Table[0], 0x00000000u);
  EXPECT_EQ(kCrc32Table[1], 0x77073096u);
  EXPECT_EQ(kCrc32Table[128], 0xEDB88320u);
  EXPECT_EQ(kCrc32Table[255], 0x2D02EF8Du);
}

TEST(Crc32, EmptyInputGivesZero) {
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(Crc32, KnownShortVectors) {
  EXPECT_EQ(Crc32("a", 1), 0xE8B7BE43u);
  const std::string fox = "The quick brown fox jumps over the lazy dog";
  EXPECT_EQ(Crc32(fox.data(), fox.size()), 0x414FA339u);
}

}  // namespace
}  // namespace tavlink
