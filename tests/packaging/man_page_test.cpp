// The manual pages in docs/man against the programs: every option and
// command a program has is in its page, and the page names none it lacks.
// A failure names the option or command and the page to update.

#include "packaging/man_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "packaging/help_listing.h"
#include "packaging/installed_programs.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace tavlink::testing {
namespace {

std::string ManPagePath(const std::string& program) {
  return "docs/man/" + program + ".1";
}

ManSections ManPageOf(const std::string& program) {
  return ReadManPage(ReadBytes((SourceDir() / ManPagePath(program)).string()));
}

// The options in the tags of a section's entries.
std::set<std::string> OptionsInTags(const std::vector<ManEntry>& entries) {
  std::set<std::string> options;
  for (const ManEntry& entry : entries) options.merge(OptionsNamedIn(entry.tag));
  return options;
}

TEST(HelpListingTest, ReadsOptionNamesAndCommandsFromTheListing) {
  const HelpListing listing = ReadHelpListing(
      "ZOR Link: service tool\n"
      "Usage: tavlink-cli [OPTIONS] SUBCOMMAND\n"
      "\n"
      "Options:\n"
      "  -h,--help                   Print this help message and exit\n"
      "  --port INT:INT in [1 - 255] Excludes: --device\n"
      "                              use serial port COM<N>\n"
      "  -y,--yes                    answer questions with yes (for scripts)\n"
      "\n"
      "Subcommands:\n"
      "  check                       Read a data text file; -x is no option here\n"
      "  read-user-data              Read the receiver's user data\n"
      "\n"
      "Exit status: 0 success; 1 failure.\n");
  EXPECT_EQ(listing.options, (std::set<std::string>{"-h", "--help", "--port", "-y", "--yes"}));
  EXPECT_EQ(listing.commands, (std::vector<std::string>{"check", "read-user-data"}));
}

TEST(ManPageReaderTest, ReadsTaggedParagraphsAsPlainText) {
  const ManSections page = ReadManPage(
      ".\\\" --comment is no option\n"
      ".SH OPTIONS\n"
      ".TP\n"
      ".BR \\-y \", \" \\-\\-yes\n"
      "Answer with yes; see\n"
      ".BR \\-\\-trace .\n"
      ".PP\n"
      "Text after the entries.\n"
      ".SH COMMANDS\n"
      ".TP\n"
      ".BI upgrade \" ROM_FILE\"\n"
      "Ctrl\\-C asks, a pseudo\\-terminal, \\fB\\-\\-json\\fR.\n");
  ASSERT_EQ(page.count("OPTIONS"), 1u);
  ASSERT_EQ(page.at("OPTIONS").size(), 1u);
  EXPECT_EQ(page.at("OPTIONS")[0].tag, "-y ,  --yes");
  EXPECT_EQ(page.at("OPTIONS")[0].body, "Answer with yes; see --trace .");
  ASSERT_EQ(page.at("COMMANDS").size(), 1u);
  EXPECT_EQ(page.at("COMMANDS")[0].tag, "upgrade  ROM_FILE");
  EXPECT_EQ(OptionsNamedIn(page.at("COMMANDS")[0].body), (std::set<std::string>{"--json"}));
  EXPECT_EQ(OptionsInTags(page.at("OPTIONS")), (std::set<std::string>{"-y", "--yes"}));
}

// Each program's options against the OPTIONS section of its page.
class ManPageOptionsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ManPageOptionsTest, ListsExactlyTheProgramsOptions) {
  const std::string program = GetParam();
  if (!std::filesystem::exists(ProgramPath(program))) GTEST_SKIP() << program << " is not built";
  const auto help = HelpOf(program);
  ASSERT_TRUE(help);
  ASSERT_TRUE(help->options.count("--help")) << "no options read from " << program << " --help";
  const std::set<std::string> listed = OptionsInTags(ManPageOf(program)["OPTIONS"]);
  for (const std::string& option : help->options) {
    EXPECT_TRUE(listed.count(option)) << ManPagePath(program) << " has no entry under OPTIONS for "
                                      << option << ", an option of `" << program << " --help`";
  }
  for (const std::string& option : listed) {
    EXPECT_TRUE(help->options.count(option))
        << ManPagePath(program) << " lists " << option << " under OPTIONS, but `" << program
        << " --help` has no such option";
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ManPageOptionsTest,
                         ::testing::Values("tavlink-cli", "tavlink-sim", "tavlink",
                                           "tavlink-editor"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(ManPageCommandsTest, ListsExactlyTheCommandsOfTavlinkCli) {
  const auto help = HelpOf("tavlink-cli");
  ASSERT_TRUE(help);
  ASSERT_FALSE(help->commands.empty()) << "no commands read from tavlink-cli --help";
  const ManSections page = ManPageOf("tavlink-cli");
  ASSERT_TRUE(page.count("COMMANDS")) << ManPagePath("tavlink-cli") << " has no COMMANDS section";
  std::set<std::string> listed;
  for (const ManEntry& entry : page.at("COMMANDS"))
    listed.insert(entry.tag.substr(0, entry.tag.find(' ')));
  for (const std::string& command : help->commands) {
    EXPECT_TRUE(listed.count(command))
        << ManPagePath("tavlink-cli") << " has no entry under COMMANDS for '" << command
        << "', a command of `tavlink-cli --help`";
  }
  for (const std::string& command : listed) {
    EXPECT_TRUE(std::count(help->commands.begin(), help->commands.end(), command))
        << ManPagePath("tavlink-cli") << " lists '" << command
        << "' under COMMANDS, but `tavlink-cli --help` has no such command";
  }
}

TEST(ManPageCommandsTest, EachCommandsEntryNamesTheCommandsOwnOptions) {
  const auto global = HelpOf("tavlink-cli");
  ASSERT_TRUE(global);
  const std::vector<ManEntry> entries = ManPageOf("tavlink-cli")["COMMANDS"];
  for (const std::string& command : global->commands) {
    const auto help = HelpOf("tavlink-cli", command);
    ASSERT_TRUE(help);
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const ManEntry& e) {
      return e.tag.substr(0, e.tag.find(' ')) == command;
    });
    if (entry == entries.end()) continue;  // reported by the test above
    const std::set<std::string> named = OptionsNamedIn(entry->tag + " " + entry->body);
    for (const std::string& option : help->options) {
      if (option == "-h" || option == "--help") continue;  // every command has them
      EXPECT_TRUE(named.count(option)) << ManPagePath("tavlink-cli") << ": the entry of command '"
                                       << command << "' does not name " << option
                                       << ", an option of `tavlink-cli " << command << " --help`";
    }
    for (const std::string& option : named) {
      EXPECT_TRUE(help->options.count(option) || global->options.count(option))
          << ManPagePath("tavlink-cli") << ": the entry of command '" << command << "' names "
          << option << ", which neither `tavlink-cli " << command
          << " --help` nor `tavlink-cli --help` has";
    }
  }
}

}  // namespace
}  // namespace tavlink::testing
