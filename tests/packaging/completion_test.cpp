// The bash completion (packaging/tavlink.bash-completion) run in bash
// against the built programs: it offers what each program's --help lists,
// the devices of `tavlink-cli ports` after --device, and files where a
// command takes them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "packaging/installed_programs.h"
#include "support/paths.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tavlink::testing {
namespace {

// What the completion offers for `words`, the last being the word under
// the cursor, as bash would call it.
std::set<std::string> Complete(const std::vector<std::string>& words) {
  std::vector<std::string> argv{
      "bash",
      "--norc",
      "--noprofile",
      "-c",
      "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _tavlink; "
      "printf '%s\\n' \"${COMPREPLY[@]}\"",
      "bash",
      (SourceDir() / "packaging" / "tavlink.bash-completion").string()};
  argv.insert(argv.end(), words.begin(), words.end());
  const ProgramResult run = RunProgram(argv, kNoDisplay);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  std::set<std::string> offered;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) offered.insert(line);
  return offered;
}

std::string Cli() {
  return ProgramPath("tavlink-cli").string();
}

TEST(CompletionTest, OffersEveryCommandOfTavlinkCliAndNothingElse) {
  const auto help = HelpOf("tavlink-cli");
  ASSERT_TRUE(help);
  ASSERT_FALSE(help->commands.empty());
  const std::set<std::string> commands(help->commands.begin(), help->commands.end());
  EXPECT_EQ(Complete({Cli(), ""}), commands);
  // A global option and its value come before the command.
  EXPECT_EQ(Complete({Cli(), "--port", "1", ""}), commands);
  EXPECT_EQ(Complete({Cli(), "-y", "co"}), (std::set<std::string>{"connect"}));
}

TEST(CompletionTest, OffersEveryOptionBeforeAndAfterEachCommand) {
  const auto global = HelpOf("tavlink-cli");
  ASSERT_TRUE(global);
  const std::set<std::string> before = Complete({Cli(), "-"});
  for (const std::string& option : global->options)
    EXPECT_TRUE(before.count(option)) << "tavlink-cli " << option << " is not offered";
  for (const std::string& command : global->commands) {
    const auto own = HelpOf("tavlink-cli", command);
    ASSERT_TRUE(own);
    const std::set<std::string> after = Complete({Cli(), command, "-"});
    for (const auto* options : {&global->options, &own->options}) {
      for (const std::string& option : *options)
        EXPECT_TRUE(after.count(option))
            << option << " is not offered after tavlink-cli " << command;
    }
  }
}

TEST(CompletionTest, OffersTheOptionsOfTavlinkSimTavlinkAndTheEditor) {
  for (const char* program : {"tavlink-sim", "tavlink", "tavlink-editor"}) {
    if (!std::filesystem::exists(ProgramPath(program))) continue;
    const auto help = HelpOf(program);
    ASSERT_TRUE(help);
    ASSERT_FALSE(help->options.empty());
    EXPECT_EQ(Complete({ProgramPath(program).string(), "-"}), help->options) << program;
  }
}

TEST(CompletionTest, OffersTheDevicesThatPortsListsForDevice) {
  // A tavlink-cli whose `ports` lists a by-id path and a built-in port;
  // everything else goes to the real one.
  TempFolder folder;
  const std::string program = folder.File("tavlink-cli");
  WriteBytes(program,
             "#!/bin/sh\n"
             "if [ \"$1\" = ports ]; then\n"
             "  echo 'Serial devices of this machine:'\n"
             "  echo '  /dev/ttyS0       16550A UART'\n"
             "  echo '  /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 FTDI'\n"
             "  echo 'COM1 opens /dev/ttyS0 (default)'\n"
             "  echo 'COM2 opens /dev/ttyS1 (default)'\n"
             "  exit 0\n"
             "fi\n"
             "exec '" +
                 Cli() + "' \"$@\"\n");
  ::chmod(program.c_str(), 0755);
  const std::set<std::string> devices{
      "/dev/ttyS0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"};
  EXPECT_EQ(Complete({program, "--device", ""}), devices);
  EXPECT_EQ(Complete({program, "--device", "=", ""}), devices);
  EXPECT_EQ(Complete({program, "--device", "/dev/tty"}), (std::set<std::string>{"/dev/ttyS0"}));
  // A path of one's own, a pseudo-terminal or a link, completes as a file.
  WriteBytes(folder.File("receiver-link"), "");
  EXPECT_EQ(Complete({program, "--device", folder.File("recei")}),
            (std::set<std::string>{folder.File("receiver-link")}));
  EXPECT_EQ(Complete({program, "--port", ""}), (std::set<std::string>{"1", "2"}));
}

TEST(CompletionTest, OffersFilesWhereACommandTakesThem) {
  TempFolder folder;
  WriteBytes(folder.File("sample.txt"), "");
  const std::set<std::string> sample{folder.File("sample.txt")};
  EXPECT_EQ(Complete({Cli(), "check", folder.File("sam")}), sample);
  EXPECT_EQ(Complete({Cli(), "--yes", "read-user-data", folder.File("sam")}), sample);
  EXPECT_EQ(Complete({Cli(), "text-to-block", folder.File("sample.txt"), folder.File("sam")}),
            sample);
  EXPECT_EQ(Complete({Cli(), "connect", folder.File("sam")}), std::set<std::string>{});
  EXPECT_EQ(Complete({Cli(), "ports", ""}), std::set<std::string>{});
  EXPECT_EQ(Complete({ProgramPath("tavlink-sim").string(), "--user-data", folder.File("sam")}),
            sample);
  // The editor opens files named without an option; the desktop tool takes none.
  if (std::filesystem::exists(ProgramPath("tavlink-editor"))) {
    EXPECT_EQ(Complete({ProgramPath("tavlink-editor").string(), folder.File("sam")}), sample);
  }
  if (std::filesystem::exists(ProgramPath("tavlink"))) {
    EXPECT_EQ(Complete({ProgramPath("tavlink").string(), folder.File("sam")}),
              std::set<std::string>{});
  }
}

}  // namespace
}  // namespace tavlink::testing
