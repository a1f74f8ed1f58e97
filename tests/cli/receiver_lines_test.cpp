// Which serial lines a device command serves (ChooseLines), and where
// read-user-data saves each one's data (OutputNames).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/device_run.h"
#include "cli/output_names.h"
#include "support/temp_folder.h"
#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

namespace fs = std::filesystem;

class ChooseLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    // The ports used here lead where the settings say, whatever the
    // environment of the test run.
    for (const char* name : {"TAVLINK_COM2", "TAVLINK_COM3", "TAVLINK_COM7"}) ::unsetenv(name);
  }

  std::vector<std::string> Descriptions(const std::vector<ReceiverLine>& lines) const {
    std::vector<std::string> descriptions;
    for (const ReceiverLine& line : lines) descriptions.push_back(line.description);
    return descriptions;
  }
  std::string Err() const { return cli_.terminal.StdErr(); }

  testing::TempFolder folder_;
  testing::TestCliEnv cli_;
  DeviceOptions options_;
};

TEST_F(ChooseLinesTest, PortsThenDevicesThenTheDevicesFile) {
  cli_.settings.devices[7] = "/dev/ttyUSB7";
  options_.ports = {7, 2};
  options_.devices = {"/dev/pts/4"};
  options_.devicesFrom = folder_.File("line.txt");
  std::ofstream(options_.devicesFrom) << "/dev/pts/5\n";
  const auto lines = ChooseLines(cli_.env, options_);
  ASSERT_TRUE(lines) << Err();
  EXPECT_EQ(Descriptions(*lines),
            (std::vector<std::string>{"COM7 (/dev/ttyUSB7)", "COM2 (/dev/ttyS1)", "/dev/pts/4",
                                      "/dev/pts/5"}));
  EXPECT_TRUE((*lines)[0].byPort);
  EXPECT_EQ((*lines)[0].portNumber, 7);
  EXPECT_EQ((*lines)[0].shortName, "COM7");
  EXPECT_EQ((*lines)[0].devicePath, "/dev/ttyUSB7");
  EXPECT_FALSE((*lines)[2].byPort);
  EXPECT_EQ((*lines)[2].shortName, "/dev/pts/4");
  EXPECT_EQ(Err(), "");
}

// One device per entry: blanks around it, empty entries, comments and a
// Windows line end are no devices.
TEST_F(ChooseLinesTest, DevicesFileSkipsCommentsAndBlanks) {
  options_.devicesFrom = folder_.File("line.txt");
  std::ofstream(options_.devicesFrom, std::ios::binary)
      << "# bench 3\n"
      << "\n"
      << "   /dev/ttyUSB0  \n"
      << "\t\n"
      << "  # spare: /dev/ttyUSB9\n"
      << "/dev/serial/by-id/usb-FTDI_A50285BI-if00\r\n"
      << "/dev/ttyUSB2";  // no line end
  const auto lines = ChooseLines(cli_.env, options_);
  ASSERT_TRUE(lines) << Err();
  EXPECT_EQ(Descriptions(*lines),
            (std::vector<std::string>{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A50285BI-if00",
                                      "/dev/ttyUSB2"}));
}

TEST_F(ChooseLinesTest, UnreadableDevicesFileIsRefused) {
  options_.devicesFrom = folder_.File("missing.txt");
  EXPECT_FALSE(ChooseLines(cli_.env, options_));
  EXPECT_EQ(Err(),
            "tavlink-cli: cannot read " + options_.devicesFrom + ": no such readable file\n");
}

// Without --port or --device the stored port serves, with the device
// stored for it.
TEST_F(ChooseLinesTest, StoredPortWhenNoneIsGiven) {
  cli_.settings.port = 3;
  cli_.settings.devices[3] = "/dev/ttyUSB3";
  const auto lines = ChooseLines(cli_.env, options_);
  ASSERT_TRUE(lines) << Err();
  EXPECT_EQ(Descriptions(*lines), std::vector<std::string>{"COM3 (/dev/ttyUSB3)"});
}

TEST_F(ChooseLinesTest, NoPortGivenAndNoneStoredSaysHowToChooseOne) {
  const std::string said =
      "tavlink-cli: no port chosen: give --port N (COM<N>) or --device PATH, or choose a port in "
      "the desktop tool's Setup Comm.\n";
  EXPECT_FALSE(ChooseLines(cli_.env, options_));
  EXPECT_EQ(Err(), said);
  cli_.settings.port = 0;  // stored as "none chosen"
  EXPECT_FALSE(ChooseLines(cli_.env, options_));
  EXPECT_EQ(Err(), said + said);
}

// One line named twice would be two sessions on one device: refused, also
// when a link and the device it leads to name it, and a port and its device.
TEST_F(ChooseLinesTest, TheSameLineNamedTwiceIsRefused) {
  options_.devices = {"/dev/pts/4", "/dev/pts/4"};
  EXPECT_FALSE(ChooseLines(cli_.env, options_));
  EXPECT_EQ(Err(),
            "tavlink-cli: /dev/pts/4 and /dev/pts/4 are the same line (/dev/pts/4); name "
            "each once.\n");

  const std::string device = folder_.File("ttyUSB0");
  std::ofstream(device) << "";
  fs::create_symlink(device, folder_.File("by-id"));
  options_.devices = {folder_.File("by-id"), device};
  EXPECT_FALSE(ChooseLines(cli_.env, options_));
  EXPECT_NE(Err().find(folder_.File("by-id") + " and " + device + " are the same line"),
            std::string::npos)
      << Err();

  cli_.settings.devices[7] = device;
  options_.ports = {7};
  options_.devices = {device};
  EXPECT_FALSE(ChooseLines(cli_.env, options_));
  EXPECT_NE(Err().find("COM7 (" + device + ") and " + device + " are the same line"),
            std::string::npos)
      << Err();
}

class OutputNamesTest : public ::testing::Test {
 protected:
  std::optional<std::vector<std::string>> Names(const std::string& file,
                                                const std::vector<ReceiverLine>& lines) {
    return OutputNames(cli_.terminal, file, lines);
  }
  static ReceiverLine Port(int n, const std::string& device) {
    return ReceiverLine::OfPort(n, {device, ComDevice::Source::kSetting}, "");
  }
  static ReceiverLine Device(const std::string& path) { return ReceiverLine::OfDevice(path); }

  testing::TempFolder folder_;
  testing::TestCliEnv cli_;
};

TEST_F(OutputNamesTest, OneReceiverSavesToTheNameAsGiven) {
  EXPECT_EQ(Names("user.txt", {Device("/dev/ttyUSB0")}), std::vector<std::string>{"user.txt"});
  // Braces in the name of a single output are filled in too.
  EXPECT_EQ(Names("user-{n}.txt", {Device("/dev/ttyUSB0")}),
            std::vector<std::string>{"user-1.txt"});
}

TEST_F(OutputNamesTest, SeveralReceiversAndOnePlainNameAreRefused) {
  EXPECT_FALSE(Names("user.txt", {Device("/dev/ttyUSB0"), Device("/dev/ttyUSB1")}));
  EXPECT_EQ(cli_.terminal.StdErr(),
            "tavlink-cli: 2 receivers need a file each: give a folder, or a name with {port}, "
            "{device} or {n} in it.\n");
}

// In a folder each receiver's file is named after its port, or after its
// device with the path's separators made underscores.
TEST_F(OutputNamesTest, FolderGetsAFileNamedAfterEachPortOrDevice) {
  const fs::path back = folder_.path() / "back";
  fs::create_directory(back);
  const auto names =
      Names(back.string(), {Port(2, "/dev/ttyUSB1"), Device("/dev/ttyUSB0"),
                            Device("/dev/serial/by-id/usb-FTDI_A5-if00"), Device("/tmp/rx:1")});
  ASSERT_TRUE(names) << cli_.terminal.StdErr();
  EXPECT_EQ(*names,
            (std::vector<std::string>{(back / "COM2.txt").string(), (back / "ttyUSB0.txt").string(),
                                      (back / "serial_by-id_usb-FTDI_A5-if00.txt").string(),
                                      (back / "_tmp_rx_1.txt").string()}));
}

TEST_F(OutputNamesTest, PatternFillsPortDeviceAndNumber) {
  const auto names =
      Names("back/{n}-{port}-{device}.txt", {Port(1, "/dev/ttyS0"), Device("/dev/ttyUSB1")});
  ASSERT_TRUE(names) << cli_.terminal.StdErr();
  // A receiver named by its device has no port: the device stands for it.
  EXPECT_EQ(*names,
            (std::vector<std::string>{"back/1-COM1-ttyS0.txt", "back/2-ttyUSB1-ttyUSB1.txt"}));
}

// What is filled in is not looked at again: a device whose own path holds
// the placeholders is taken as it is.
TEST_F(OutputNamesTest, DevicePathHoldingPlaceholdersIsFilledInOnce) {
  const auto names = Names("out-{device}-{port}-{n}.txt", {Device("/dev/rx{port}{n}")});
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, std::vector<std::string>{"out-rx{port}{n}-rx{port}{n}-1.txt"});
}

TEST_F(OutputNamesTest, TwoReceiversSavingToOneNameAreRefused) {
  // "/dev/a/b" and "/dev/a_b" both become "a_b".
  EXPECT_FALSE(Names("back/{device}.txt", {Device("/dev/a/b"), Device("/dev/a_b")}));
  EXPECT_EQ(cli_.terminal.StdErr(),
            "tavlink-cli: /dev/a/b and /dev/a_b would both save to back/a_b.txt.\n");
  // A pattern without a part that tells them apart.
  EXPECT_FALSE(Names("back/{port}.txt", {Port(1, "/dev/ttyS0"), Port(1, "/dev/ttyUSB0")}));
}

}  // namespace
}  // namespace tavlink::cli
