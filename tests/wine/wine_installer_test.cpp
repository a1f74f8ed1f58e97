// The Windows installer under Wine: a silent install (/S) puts the three
// programs, the sample data text, the README and the uninstaller into
// Program Files and the shortcuts of the desktop tool and the channel
// editor into the Start menu, adds nothing to
// HKEY_LOCAL_MACHINE but its uninstaller entry, and the silent uninstall
// takes all of it away again. The zip file holds the same files.
//
// Needs dist/ from scripts/build-windows and its Wine prefix; without them
// the test is skipped, unless TAVLINK_WINE_REQUIRED is set.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/wine_prefix.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;

const fs::path kSetup = TAVLINK_WINDOWS_SETUP;
const fs::path kZip = TAVLINK_WINDOWS_ZIP;
const std::vector<std::string> kFiles = {"README.txt", "sample_factory_data.txt", "tavlink-cli.exe",
                                         "tavlink-editor.exe", "tavlink.exe"};
const std::string kUninstallKey =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ZOR Link]";

fs::path Drive() {
  return fs::path(testing::WinePrefix()) / "drive_c";
}
fs::path InstallFolder() {
  return Drive() / "Program Files" / "ZOR Link";
}
fs::path StartMenu() {
  return Drive() / "ProgramData/Microsoft/Windows/Start Menu/Programs";
}
fs::path Shortcut() {
  return StartMenu() / "ZOR Link.lnk";
}
fs::path EditorShortcut() {
  return StartMenu() / "ZOR Link Channel Editor.lnk";
}

// Whether the shortcut file `link` leads to `target` (a shell link keeps
// the target's path among its bytes).
bool LeadsTo(const fs::path& link, const std::string& target) {
  std::ifstream in(link, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.find(target) != std::string::npos;
}

// The names of the keys of HKEY_LOCAL_MACHINE, as the prefix's system.reg
// holds them once the Wine server has ended and saved it.
std::set<std::string> MachineKeys() {
  testing::RunWineTool({"wineserver", "-w"});
  std::ifstream in(fs::path(testing::WinePrefix()) / "system.reg");
  std::set<std::string> keys;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] != '[') continue;
    keys.insert(line.substr(0, line.find(']') + 1));  // without the time stamp
  }
  return keys;
}

std::vector<std::string> Difference(const std::set<std::string>& a,
                                    const std::set<std::string>& b) {
  std::vector<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

int RunToEnd(const std::vector<std::string>& argv) {
  const int status = ChildProcess(argv).Wait(std::chrono::seconds(120));
  testing::RunWineTool({"wineserver", "-w"});  // the uninstaller runs on from a copy
  return status;
}

TEST(WineInstallerTest, SilentInstallLandsTheFilesAndUninstallRemovesThem) {
  std::string missing = testing::WineMissing({});
  if (missing.empty() && !fs::exists(kSetup))
    missing = "no " + kSetup.string() + ": run scripts/build-windows";
  if (!missing.empty()) {
    if (testing::WineRequired()) FAIL() << missing;
    GTEST_SKIP() << missing;
  }
  testing::UseWinePrefix();
  if (fs::exists(InstallFolder() / "uninstall.exe"))  // left by a run that stopped halfway
    RunToEnd({"wine", "C:\\Program Files\\ZOR Link\\uninstall.exe", "/S"});
  ASSERT_FALSE(fs::exists(InstallFolder())) << "installed before the test";
  const std::set<std::string> before = MachineKeys();

  ASSERT_EQ(RunToEnd({"wine", kSetup.string(), "/S"}), 0);
  for (const std::string& name : kFiles) EXPECT_TRUE(fs::exists(InstallFolder() / name)) << name;
  EXPECT_TRUE(fs::exists(InstallFolder() / "uninstall.exe"));
  EXPECT_TRUE(fs::exists(Shortcut()));
  EXPECT_TRUE(fs::exists(EditorShortcut()));
  EXPECT_TRUE(LeadsTo(EditorShortcut(), "tavlink-editor.exe"));
  const std::set<std::string> installed = MachineKeys();
  EXPECT_EQ(Difference(installed, before), std::vector<std::string>{kUninstallKey});
  for (const std::string& gone : Difference(before, installed))  // now the entry's parent
    EXPECT_EQ(kUninstallKey.rfind(gone.substr(0, gone.size() - 1), 0), 0u) << gone;

  ChildProcess cli({"wine", "C:\\Program Files\\ZOR Link\\tavlink-cli.exe", "--version"});
  EXPECT_EQ(cli.Wait(std::chrono::seconds(60)), 0);
  EXPECT_NE(cli.Output().find("ZOR Link Version 1.6"), std::string::npos) << cli.Output();
  ChildProcess editor({"wine", "C:\\Program Files\\ZOR Link\\tavlink-editor.exe", "--version"});
  EXPECT_EQ(editor.Wait(std::chrono::seconds(60)), 0);
  EXPECT_NE(editor.Output().find("tavlink-editor"), std::string::npos) << editor.Output();

  ASSERT_EQ(RunToEnd({"wine", "C:\\Program Files\\ZOR Link\\uninstall.exe", "/S"}), 0);
  EXPECT_FALSE(fs::exists(InstallFolder()));
  EXPECT_FALSE(fs::exists(Shortcut()));
  EXPECT_FALSE(fs::exists(EditorShortcut()));
  EXPECT_EQ(MachineKeys(), before);
}

TEST(WineInstallerTest, ZipHoldsTheSameFiles) {
  if (!fs::exists(kZip)) {
    if (testing::WineRequired()) FAIL() << "no " << kZip.string();
    GTEST_SKIP() << "no " << kZip.string() << ": run scripts/build-windows";
  }
  ChildProcess list({"cmake", "-E", "tar", "tf", kZip.string()});
  ASSERT_EQ(list.Wait(std::chrono::seconds(30)), 0) << list.Errors();
  std::vector<std::string> names;
  std::string output = list.Output();
  for (size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos;
       start = end + 1)
    names.push_back(output.substr(start, end - start));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, kFiles);
}

}  // namespace
}  // namespace tavlink
