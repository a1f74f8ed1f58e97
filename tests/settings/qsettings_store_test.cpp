// The settings kept with QSettings, with a machine-wide file of the same
// name under XDG_CONFIG_DIRS (the system scope, /etc/xdg when unset) beside
// the user's under XDG_CONFIG_HOME: which one wins, and what an empty
// value of the user's means.

#include "settings/qsettings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tavlink {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// What an administrator put into the machine's file.
constexpr const char* kMachineFile =
    "[General]\n"
    "Port=2\n"
    "\n"
    "[Devices]\n"
    "COM1=/dev/ttyUSB3\n"
    "COM2=/dev/ttyUSB7\n";

class QSettingsStoreTest : public ::testing::Test {
 protected:
  // QSettings takes the folders from the environment once per process: the
  // same two folders serve every test, the machine's file never changes.
  static void SetUpTestSuite() {
    static TempFolder machine, user;
    ASSERT_FALSE(machine.path().empty() || user.path().empty());
    std::filesystem::create_directories(machine.path() / "ZOR");
    std::filesystem::create_directories(user.path() / "ZOR");
    machineFile_ = (machine.path() / "ZOR" / "ZORLINK.conf").string();
    userFile_ = (user.path() / "ZOR" / "ZORLINK.conf").string();
    WriteBytes(machineFile_, kMachineFile);
    ::setenv("XDG_CONFIG_DIRS", machine.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", user.path().c_str(), 1);
  }
  void SetUp() override { std::filesystem::remove(userFile_); }
  void TearDown() override { EXPECT_EQ(ReadBytes(machineFile_), kMachineFile); }

  static std::string machineFile_;
  static std::string userFile_;
};

std::string QSettingsStoreTest::machineFile_;
std::string QSettingsStoreTest::userFile_;

TEST_F(QSettingsStoreTest, MachinesMappingCountsUntilTheUserChoosesThePortsOwnDevice) {
  auto store = MakeQSettingsStore();
  EXPECT_EQ(store->ReadDevice(2), "/dev/ttyUSB7");
  ASSERT_TRUE(store->WriteDevice(2, ""));
  EXPECT_FALSE(store->ReadDevice(2).has_value());
  EXPECT_EQ(ReadBytes(userFile_), "[Devices]\nCOM2=\n");
  // A store made later (the next run) reads the same.
  EXPECT_FALSE(MakeQSettingsStore()->ReadDevice(2).has_value());
  EXPECT_EQ(store->ReadDevice(1), "/dev/ttyUSB3");  // the user chose nothing for COM1

  ASSERT_TRUE(store->WriteDevice(2, "/dev/ttyUSB0"));
  EXPECT_EQ(store->ReadDevice(2), "/dev/ttyUSB0");
  ASSERT_TRUE(store->WriteDevice(2, ""));
  EXPECT_FALSE(store->ReadDevice(2).has_value());
}

TEST_F(QSettingsStoreTest, UsersBlankValueTypedByHandIsNoMapping) {
  WriteBytes(userFile_, "[Devices]\nCOM1=\"   \"\nCOM2=\n");
  auto store = MakeQSettingsStore();
  EXPECT_FALSE(store->ReadDevice(1).has_value());
  EXPECT_FALSE(store->ReadDevice(2).has_value());
}

TEST_F(QSettingsStoreTest, UsersMappingIsTrimmedAndWinsOverTheMachines) {
  WriteBytes(userFile_, "[Devices]\nCOM2=\" /dev/serial/by-id/usb-x \"\n");
  EXPECT_EQ(MakeQSettingsStore()->ReadDevice(2), "/dev/serial/by-id/usb-x");
}

TEST_F(QSettingsStoreTest, MachinesPortCountsUntilTheUserHasOne) {
  auto store = MakeQSettingsStore();
  EXPECT_EQ(store->ReadPort(), 2);
  ASSERT_TRUE(store->WritePort(1));
  EXPECT_EQ(store->ReadPort(), 1);
}

// The editor's recent files keep their order and every character a path
// may hold, a comma and blanks included; one written by hand as a single
// text is a list of one.
TEST_F(QSettingsStoreTest, RecentFilesReadBackInOrderWithCommasAndBlanks) {
  auto store = MakeQSettingsStore();
  EXPECT_TRUE(store->ReadRecentFiles().empty());
  const std::vector<std::string> paths = {"/home/t/lists, old/a b.txt", "/tmp/block.bin"};
  ASSERT_TRUE(store->WriteRecentFiles(paths));
  EXPECT_EQ(MakeQSettingsStore()->ReadRecentFiles(), paths);
  ASSERT_TRUE(store->WriteRecentFiles({}));
  EXPECT_TRUE(MakeQSettingsStore()->ReadRecentFiles().empty());

  WriteBytes(userFile_, "[Editor]\nRecentFiles=/srv/one.txt\n");
  EXPECT_EQ(MakeQSettingsStore()->ReadRecentFiles(), (std::vector<std::string>{"/srv/one.txt"}));
}

TEST_F(QSettingsStoreTest, VerifyAfterWriteIsUnsetUntilChosenAndReadAsTypedByHand) {
  auto store = MakeQSettingsStore();
  EXPECT_FALSE(store->ReadVerifyAfterWrite().has_value());
  ASSERT_TRUE(store->WriteVerifyAfterWrite(false));
  EXPECT_EQ(MakeQSettingsStore()->ReadVerifyAfterWrite(), false);
  ASSERT_TRUE(store->WriteVerifyAfterWrite(true));
  EXPECT_EQ(MakeQSettingsStore()->ReadVerifyAfterWrite(), true);
  WriteBytes(userFile_, "[Editor]\nVerifyAfterWrite=0\n");
  EXPECT_EQ(MakeQSettingsStore()->ReadVerifyAfterWrite(), false);
  WriteBytes(userFile_, "[Editor]\nVerifyAfterWrite=maybe\n");
  EXPECT_FALSE(MakeQSettingsStore()->ReadVerifyAfterWrite().has_value());
}

}  // namespace
}  // namespace tavlink
