// Where the simulator looks for its sample data: the installed copy beside
// the program, else the source tree's.

#include "sim/sample_data.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tavlink::sim {
namespace {

using tavlink::testing::TempFolder;
using tavlink::testing::WriteBytes;

TEST(SampleDataTest, InstalledCopyBesideTheProgramWins) {
  TempFolder usr;
  std::filesystem::create_directories(usr.path() / "bin");
  std::filesystem::create_directories(usr.path() / "share" / "tavlink");
  WriteBytes(usr.File("share/tavlink/sample_factory_data.txt"), "a 1\n");
  EXPECT_EQ(
      SampleDataPath(usr.path() / "bin" / "tavlink-sim", "../share/tavlink", "/src/resources"),
      usr.path() / "share" / "tavlink" / "sample_factory_data.txt");
}

TEST(SampleDataTest, SourceTreeCopyServesABuildTree) {
  TempFolder build;
  std::filesystem::create_directories(build.path() / "bin");
  EXPECT_EQ(
      SampleDataPath(build.path() / "bin" / "tavlink-sim", "../share/tavlink", "/src/resources"),
      "/src/resources/sample_factory_data.txt");
  // A folder of that name is no sample file; nor is an unknown program's folder.
  std::filesystem::create_directories(build.path() / "share/tavlink/sample_factory_data.txt");
  EXPECT_EQ(
      SampleDataPath(build.path() / "bin" / "tavlink-sim", "../share/tavlink", "/src/resources"),
      "/src/resources/sample_factory_data.txt");
  EXPECT_EQ(SampleDataPath("", "../share/tavlink", "/src/resources"),
            "/src/resources/sample_factory_data.txt");
}

TEST(SampleDataTest, ThisBuildServesTheSourceTreesSample) {
  EXPECT_EQ(DefaultSampleDataPath(),
            std::filesystem::path(TAVLINK_RESOURCE_DIR) / "sample_factory_data.txt");
}

}  // namespace
}  // namespace tavlink::sim
