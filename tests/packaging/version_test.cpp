// --version of the four programs, the desktop tool's --help without a
// display, and the build description the version line carries.

#include "version/version.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "packaging/installed_programs.h"
#include "support/paths.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tavlink::testing {
namespace {

// The About box's first line, from its form.
std::string AboutBoxVersionLine() {
  const std::string form = ReadBytes((SourceDir() / "resources" / "about_dialog.ui").string());
  std::smatch match;
  const std::regex versionLine(R"(<string>(ZOR Link Version [^<]*)</string>)");
  return std::regex_search(form, match, versionLine) ? match[1].str() : "";
}

TEST(VersionTest, EachProgramPrintsItsNameTheAboutBoxVersionAndTheBuild) {
  const std::string about = AboutBoxVersionLine();
  ASSERT_EQ(about, "ZOR Link Version 1.6");
  EXPECT_EQ(ProductVersionLine(), about);
  for (const char* program : {"tavlink-cli", "tavlink-sim", "tavlink", "tavlink-editor"}) {
    if (!std::filesystem::exists(ProgramPath(program))) continue;
    // The desktop tools without a display, as on a server or over ssh.
    const ProgramResult run = RunProgram({ProgramPath(program).string(), "--version"}, kNoDisplay);
    EXPECT_EQ(run.status, 0) << program << ": " << run.err;
    EXPECT_EQ(run.out,
              std::string(program) + ": " + about + " (build " + BuildDescription() + ")\n");
    EXPECT_EQ(run.err, "") << program;
  }
}

TEST(VersionTest, TavlinkCliVersionWinsOverAMissingCommand) {
  const ProgramResult run = RunProgram({ProgramPath("tavlink-cli").string(), "--version"});
  EXPECT_EQ(run.status, 0) << run.err;
  const ProgramResult bare = RunProgram({ProgramPath("tavlink-cli").string()});
  EXPECT_EQ(bare.status, 2);
}

TEST(VersionTest, TavlinkHelpWorksWithoutADisplay) {
  if (!std::filesystem::exists(ProgramPath("tavlink"))) GTEST_SKIP() << "tavlink is not built";
  for (const char* option : {"--help", "-h"}) {
    const ProgramResult run = RunProgram({ProgramPath("tavlink").string(), option}, kNoDisplay);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Usage: tavlink [OPTIONS]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("TAVLINK_COM<n>"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("ZORLINK.conf"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
  }
  // After "--" nothing is an option: the window would open, and without a
  // display Qt refuses to start.
  const ProgramResult run =
      RunProgram({ProgramPath("tavlink").string(), "--", "--version"}, kNoDisplay);
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(run.out, "");
}

// cmake/build_description.cmake run on a folder, as the build runs it.
class BuildDescriptionTest : public ::testing::Test {
 protected:
  std::string Describe(const std::filesystem::path& source) {
    const std::string output = folder_.File("build_description.cpp");
    const ProgramResult run = RunProgram(
        {TAVLINK_CMAKE_COMMAND, "-DSOURCE_DIR=" + source.string(), "-DVERSION=1.6.0",
         "-DOUTPUT=" + output, "-P", (SourceDir() / "cmake" / "build_description.cmake").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    std::smatch match;
    const std::string text = ReadBytes(output);
    const std::regex definition(R"re(const char kBuildDescription\[\] = "([^"]*)";)re");
    return std::regex_search(text, match, definition) ? match[1].str() : "(no definition)";
  }
  void Git(const std::filesystem::path& repository, std::vector<std::string> args) {
    args.insert(args.begin(), {"git", "-C", repository.string(), "-c", "user.name=Test", "-c",
                               "user.email=test@example.org", "-c", "commit.gpgsign=false"});
    const ProgramResult run = RunProgram(args);
    ASSERT_EQ(run.status, 0) << run.err;
  }
  std::string Head(const std::filesystem::path& repository) {
    return RunProgram({"git", "-C", repository.string(), "rev-parse", "--short=7", "HEAD"})
        .out.substr(0, 7);
  }

  TempFolder folder_;
};

TEST_F(BuildDescriptionTest, IsThePlainVersionWithoutGit) {
  // A source tarball unpacked inside someone's git tree describes itself,
  // not that tree.
  const auto repository = folder_.path() / "home";
  const auto tarball = repository / "tavlink-1.6.0";
  std::filesystem::create_directories(tarball);
  Git(repository, {"init", "-q"});
  WriteBytes((tarball / "CMakeLists.txt").string(), "");
  Git(repository, {"add", "."});
  Git(repository, {"commit", "-q", "-m", "outer"});
  EXPECT_EQ(Describe(tarball), "1.6.0");
}

TEST_F(BuildDescriptionTest, NamesTheCommitTheTagAndChangedFiles) {
  const auto repository = folder_.path() / "tavlink";
  std::filesystem::create_directories(repository);
  Git(repository, {"init", "-q"});
  WriteBytes((repository / "a.txt").string(), "1");
  Git(repository, {"add", "a.txt"});
  Git(repository, {"commit", "-q", "-m", "first"});
  EXPECT_EQ(Describe(repository), "1.6.0-g" + Head(repository));
  Git(repository, {"tag", "v1.6.0"});
  EXPECT_EQ(Describe(repository), "1.6.0");
  Git(repository, {"tag", "training"});  // not a release tag
  WriteBytes((repository / "a.txt").string(), "2");
  Git(repository, {"commit", "-q", "-a", "-m", "second"});
  EXPECT_EQ(Describe(repository), "1.6.0-1-g" + Head(repository));
  WriteBytes((repository / "a.txt").string(), "3");
  EXPECT_EQ(Describe(repository), "1.6.0-1-g" + Head(repository) + "-dirty");
}

}  // namespace
}  // namespace tavlink::testing
