// The files the package installs beside the programs: their versions agree
// with the project's, and each icon has the size its folder names.

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>

#include "support/paths.h"
#include "support/temp_folder.h"

namespace tavlink::testing {
namespace {

std::string SourceFile(const std::string& relative) {
  return ReadBytes((SourceDir() / relative).string());
}

std::string FirstMatch(const std::string& text, const char* pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? match[1].str() : "(none)";
}

TEST(PackageFilesTest, NewestReleaseOfChangelogAndMetainfoIsTheProjectVersion) {
  const std::string version = TAVLINK_PROJECT_VERSION;
  EXPECT_EQ(FirstMatch(SourceFile("packaging/changelog"), R"(^tavlink \(([^-)]*)-[0-9]+\))"),
            version)
      << "add an entry for " << version << " at the top of packaging/changelog";
  for (const char* metainfo : {"packaging/com.zor.tavlink.metainfo.xml",
                               "packaging/com.zor.tavlink.editor.metainfo.xml"}) {
    EXPECT_EQ(FirstMatch(SourceFile(metainfo), R"re(<release version="([^"]*)")re"), version)
        << "add a <release> for " << version << " to " << metainfo;
  }
  const std::string shortVersion = version.substr(0, version.rfind('.'));
  for (const char* page : {"tavlink", "tavlink-cli", "tavlink-sim", "tavlink-editor"}) {
    EXPECT_EQ(FirstMatch(SourceFile(std::string("docs/man/") + page + ".1"),
                         R"re(\n\.TH [^\n]*"ZOR Link ([^"]*)")re"),
              shortVersion)
        << page;
  }
}

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(
      static_cast<uint8_t>(bytes[at]) << 24 | static_cast<uint8_t>(bytes[at + 1]) << 16 |
      static_cast<uint8_t>(bytes[at + 2]) << 8 | static_cast<uint8_t>(bytes[at + 3]));
}

TEST(PackageFilesTest, EachHicolorIconHasTheSizeOfItsFolder) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    const std::string png = SourceFile("resources/icons/hicolor/" + folder + "/apps/tavlink.png");
    // The signature, then the IHDR chunk: length, type, width, height.
    ASSERT_GE(png.size(), 24u) << folder;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << folder;
    EXPECT_EQ(png.substr(12, 4), "IHDR") << folder;
    EXPECT_EQ(BigEndian32(png, 16), static_cast<uint32_t>(size)) << folder;
    EXPECT_EQ(BigEndian32(png, 20), static_cast<uint32_t>(size)) << folder;
  }
  const std::string svg = SourceFile("resources/icons/hicolor/scalable/apps/tavlink.svg");
  EXPECT_NE(svg.find("<svg "), std::string::npos);
}

}  // namespace
}  // namespace tavlink::testing
