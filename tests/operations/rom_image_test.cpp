// The ROM image's rule: its header and its length.

#include "operations/rom_image.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "files/input_file.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

StreamPtr Open(const std::string& path) {
  return StreamPtr(std::fopen(path.c_str(), "rb"));
}

TEST(RomImageTest, IsCheckedByItsHeaderAndItsLength) {
  TempFolder folder;
  const std::string good = folder.File("rom.bin");
  WriteBytes(good, "ZOR Digital Satellite Receiver ROM image" + std::string("v1") + "body");
  int error = -1;
  StreamPtr image = Open(good);
  EXPECT_EQ(CheckRomImage(image.get(), 46, &error), RomCheck::kGood);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(std::ftell(image.get()), 42);  // the upgrade sends from the body
  image = Open(good);
  EXPECT_EQ(CheckRomImage(image.get(), kMaxRomImageSize + 1, &error), RomCheck::kTooLong);

  const std::string other = folder.File("other.bin");
  WriteBytes(other, "ZOR DIGITAL SATELLITE RECEIVER ROM IMAGE" + std::string("v1"));
  image = Open(other);
  EXPECT_EQ(CheckRomImage(image.get(), 42, &error), RomCheck::kWrongImage);
  const std::string cut = folder.File("cut.bin");
  WriteBytes(cut, "ZOR Digital Satellite Receiver ROM image" + std::string("v"));
  image = Open(cut);
  EXPECT_EQ(CheckRomImage(image.get(), 41, &error), RomCheck::kWrongImage);
}

// A header that cannot be read is a file error, not a wrong image. A folder
// opened as a stream fails its reads.
TEST(RomImageTest, UnreadableHeaderGivesTheFileError) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows opens no folder as a stream";
#else
  TempFolder folder;
  int error = -1;
  StreamPtr image = Open(folder.path().string());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(CheckRomImage(image.get(), 4096, &error), RomCheck::kUnreadable);
  EXPECT_EQ(error, EISDIR);
#endif
}

}  // namespace
}  // namespace tavlink
