// Start-up, the port choice, Connect and the system command, driven through
// a scripted shell.
#include "app/main_logic.h"
#include "operations/connect_answer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "app/scripted_shell.h"
#include "link/port_names.h"

namespace tavlink {
namespace {

using testing::ScriptedShell;

class MainLogicTest : public ::testing::Test {
 protected:
  // A connect that answers with the two version fields as given (copied
  // byte for byte, at most 32 bytes each).
  void AnswerConnect(const std::string& hardware, const std::string& software) {
    shell.transfer = [hardware, software](const TransferRequest& request) {
      request.answer[0] = 'Z';
      std::memcpy(&request.answer[kHardwareVersionAt], hardware.data(), hardware.size());
      std::memcpy(&request.answer[kSoftwareVersionAt], software.data(), software.size());
      return TransferOutcome::kSucceeded;
    };
  }
  void FailConnect() {
    // The session clears byte 0 after a failure, whatever had arrived.
    shell.transfer = [](const TransferRequest& request) {
      std::memset(request.answer.data(), 'x', request.answer.size());
      request.answer[0] = 0;
      return TransferOutcome::kFailed;
    };
  }
  void ExpectNotConnected() {
    EXPECT_EQ(logic.Info().softwareVersion, "Unavailable.");
    EXPECT_EQ(logic.Info().hardwareVersion, "Unavailable.");
    EXPECT_EQ(logic.Info().status, "Connection failed.");
  }

  ScriptedShell shell;
  ReceiverDataBlock block;
  MainLogic logic{shell, block};
};

TEST_F(MainLogicTest, FirstStartAsksWithNoPortChosenAndStoresCancelAsZero) {
  shell.portAnswers = {std::nullopt};
  logic.Initialize();
  EXPECT_EQ(shell.portDialogs, std::vector<int>{0});
  EXPECT_EQ(shell.store.port, 0);
  EXPECT_EQ(logic.selectedPort, 0);
  EXPECT_TRUE(shell.transfers.empty());
  ExpectNotConnected();
}

TEST_F(MainLogicTest, FirstStartStoresTheChosenPortWithoutConnecting) {
  for (int chosen : {1, 2}) {
    ScriptedShell fresh;
    MainLogic start(fresh, block);
    fresh.portAnswers = {testing::OkOn(chosen)};
    start.Initialize();
    EXPECT_EQ(fresh.store.port, chosen);
    EXPECT_EQ(start.selectedPort, chosen);
    EXPECT_TRUE(fresh.transfers.empty());
  }
}

TEST_F(MainLogicTest, StoredPortIsUsedUnchangedWithoutAsking) {
  for (int stored : {1, 2, 3, 49, -1}) {
    ScriptedShell fresh;
    MainLogic start(fresh, block);
    fresh.store.port = stored;
    start.Initialize();
    EXPECT_TRUE(fresh.portDialogs.empty()) << stored;
    EXPECT_EQ(fresh.store.writes, 0);
    start.Connect();
    ASSERT_EQ(fresh.transfers.size(), 1u);
    EXPECT_EQ(fresh.transfers[0].portNumber, stored);
  }
}

TEST_F(MainLogicTest, StoredZeroAsksAtEveryStartUntilAPortIsChosen) {
  // A first run whose port dialog was cancelled stored 0.
  shell.store.port = 0;
  shell.portAnswers = {std::nullopt};
  logic.Initialize();
  EXPECT_EQ(shell.portDialogs, std::vector<int>{0});
  EXPECT_EQ(shell.store.port, 0);
  EXPECT_EQ(logic.selectedPort, 0);

  ScriptedShell next;
  next.store.port = shell.store.port;
  next.portAnswers = {testing::OkOn(2)};
  MainLogic restart(next, block);
  restart.Initialize();
  EXPECT_EQ(next.portDialogs, std::vector<int>{0});
  EXPECT_EQ(next.store.port, 2);
  EXPECT_EQ(restart.selectedPort, 2);
  EXPECT_TRUE(next.transfers.empty());
  EXPECT_EQ(restart.Info().status, "Connection failed.");
}

TEST_F(MainLogicTest, SetupCommCancelRewritesThePortAndDoesNotConnect) {
  shell.store.port = 3;
  logic.Initialize();
  shell.portAnswers = {std::nullopt};
  logic.SetupComm();
  EXPECT_EQ(shell.portDialogs, std::vector<int>{3});
  EXPECT_EQ(shell.store.writes, 1);
  EXPECT_EQ(shell.store.port, 3);
  EXPECT_TRUE(shell.transfers.empty());
}

TEST_F(MainLogicTest, SetupCommOkStoresAndConnectsOnTheChosenPort) {
  shell.store.port = 3;
  logic.Initialize();
  shell.portAnswers = {testing::OkOn(1)};
  logic.SetupComm();
  EXPECT_EQ(shell.store.port, 1);
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].portNumber, 1);
  EXPECT_EQ(shell.transfers[0].operation, OP_CONNECT);
  EXPECT_EQ(shell.transfers[0].answerSize, kAnswerSize);
}

TEST_F(MainLogicTest, UnwritableSettingsKeepTheChoiceForThisRun) {
  shell.store.writable = false;
  shell.portAnswers = {testing::OkOn(1)};
  logic.Initialize();
  EXPECT_EQ(logic.selectedPort, 1);
  EXPECT_FALSE(shell.store.port.has_value());
}

TEST_F(MainLogicTest, TransfersRunOnTheDeviceStoredForTheirPort) {
  const bool env2 = std::getenv("TAVLINK_COM2") != nullptr;
  shell.store.port = 2;
  shell.store.devices[2] = "/dev/ttyUSB7";
  logic.Initialize();
  logic.Connect();
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].portNumber, 2);
  if (!env2) {
    EXPECT_EQ(shell.transfers[0].device.path, "/dev/ttyUSB7");
    EXPECT_EQ(shell.transfers[0].device.source, ComDevice::Source::kSetting);
  }
}

TEST_F(MainLogicTest, PortDialogListsTheDevicesAfreshEachTimeItOpens) {
  if (std::getenv("TAVLINK_COM1") != nullptr || std::getenv("TAVLINK_COM2") != nullptr)
    GTEST_SKIP() << "TAVLINK_COM1 or TAVLINK_COM2 is set";
  shell.store.port = 1;
  logic.Initialize();
  logic.ChoosePort();
  shell.devices = {
      {"/dev/ttyUSB0", "/dev/ttyUSB0", "USB Serial", "", "USB Serial", "1a86", "7523", ""}};
  logic.ChoosePort();
  ASSERT_EQ(shell.portOffers.size(), 2u);
  for (const PortDialogOffer& offer : shell.portOffers) EXPECT_EQ(offer.currentPort, 1);
  ASSERT_EQ(shell.portOffers[0].devices[0].options.size(), 1u);
  ASSERT_EQ(shell.portOffers[1].devices[1].options.size(), 2u);
  EXPECT_EQ(shell.portOffers[1].devices[1].options[0].text, "/dev/ttyS1 (default)");
  EXPECT_EQ(shell.portOffers[1].devices[1].options[1].text, "/dev/ttyUSB0: USB Serial, 1a86:7523");
}

TEST_F(MainLogicTest, ChosenDeviceIsStoredAndTheNextConnectOpensIt) {
  if (std::getenv("TAVLINK_COM2") != nullptr) GTEST_SKIP() << "TAVLINK_COM2 is set";
  const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  shell.store.port = 1;
  logic.Initialize();
  shell.portAnswers = {PortChoice{2, {std::nullopt, adapter}}};
  logic.SetupComm();
  EXPECT_EQ(shell.store.devices, (std::map<int, std::string>{{2, adapter}}));
  EXPECT_EQ(shell.store.port, 2);
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].portNumber, 2);
  EXPECT_EQ(shell.transfers[0].device.path, adapter);
  EXPECT_EQ(shell.transfers[0].device.source, ComDevice::Source::kSetting);

  // The next dialog shows it as COM2's device.
  logic.ChoosePort();
  ASSERT_EQ(shell.portOffers.size(), 2u);
  const PortDevices& com2 = shell.portOffers[1].devices[1];
  ASSERT_LT(com2.current, com2.options.size());
  EXPECT_EQ(com2.options[com2.current].device.path, adapter);
}

TEST_F(MainLogicTest, ChoosingThePlatformsOwnDeviceStoresAnEmptyMapping) {
  if (std::getenv("TAVLINK_COM1") != nullptr) GTEST_SKIP() << "TAVLINK_COM1 is set";
  shell.store.port = 1;
  shell.store.devices[1] = "/dev/ttyUSB4";
  logic.Initialize();
  shell.portAnswers = {PortChoice{1, {"/dev/ttyS0", std::nullopt}}};
  logic.SetupComm();
  EXPECT_EQ(shell.store.devices, (std::map<int, std::string>{{1, ""}}));
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].device.path, "/dev/ttyS0");
  EXPECT_EQ(shell.transfers[0].device.source, ComDevice::Source::kDefault);
}

// A mapping preset for the whole machine is undone for this user by an
// empty mapping of their own; with none, the port's own device needs no
// write at all.
TEST_F(MainLogicTest, ChoosingThePlatformsOwnDeviceUndoesTheMachinesMapping) {
  if (std::getenv("TAVLINK_COM2") != nullptr) GTEST_SKIP() << "TAVLINK_COM2 is set";
  shell.store.port = 2;
  shell.store.machineDevices[2] = "/dev/ttyUSB9";
  logic.Initialize();
  logic.Connect();
  shell.portAnswers = {PortChoice{2, {"/dev/ttyS0", "/dev/ttyS1"}}};
  logic.SetupComm();
  EXPECT_EQ(shell.store.deviceWrites, 1);
  EXPECT_EQ(shell.store.devices, (std::map<int, std::string>{{2, ""}}));
  ASSERT_EQ(shell.transfers.size(), 2u);
  EXPECT_EQ(shell.transfers[0].device.path, "/dev/ttyUSB9");
  EXPECT_EQ(shell.transfers[1].device.path, "/dev/ttyS1");
  EXPECT_EQ(shell.transfers[1].device.source, ComDevice::Source::kDefault);

  // Chosen again, it is what is stored already: nothing is written.
  shell.portAnswers = {PortChoice{2, {"/dev/ttyS0", "/dev/ttyS1"}}};
  logic.ChoosePort();
  EXPECT_EQ(shell.store.deviceWrites, 1);
}

TEST_F(MainLogicTest, CancelAndUnchangedDevicesWriteNoMapping) {
  shell.store.port = 2;
  shell.store.devices[2] = "/dev/ttyUSB4";
  logic.Initialize();
  shell.portAnswers = {std::nullopt, PortChoice{2, {"/dev/ttyS0", "/dev/ttyUSB4"}}};
  logic.ChoosePort();  // Cancel
  logic.ChoosePort();  // OK, both as they were
  EXPECT_EQ(shell.store.deviceWrites, 0);
  EXPECT_EQ(shell.store.devices, (std::map<int, std::string>{{2, "/dev/ttyUSB4"}}));
}

TEST_F(MainLogicTest, UnwritableSettingsKeepTheDeviceChoiceForThisRun) {
  if (std::getenv("TAVLINK_COM2") != nullptr) GTEST_SKIP() << "TAVLINK_COM2 is set";
  shell.store.writable = false;
  shell.portAnswers = {PortChoice{2, {std::nullopt, "/dev/ttyUSB3"}}};
  logic.Initialize();
  EXPECT_TRUE(shell.store.devices.empty());
  logic.Connect();
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].device.path, "/dev/ttyUSB3");
  // Back to the platform's own device, still for this run only.
  shell.portAnswers = {PortChoice{2, {std::nullopt, "/dev/ttyS1"}}};
  logic.SetupComm();
  ASSERT_EQ(shell.transfers.size(), 2u);
  EXPECT_EQ(shell.transfers[1].device.path, "/dev/ttyS1");
  EXPECT_EQ(shell.transfers[1].device.source, ComDevice::Source::kDefault);
}

TEST_F(MainLogicTest, EnvironmentDeviceIsOfferedFixedAndNothingIsStoredForIt) {
  const char* before = std::getenv("TAVLINK_COM1");
  const std::string saved = before != nullptr ? before : "";
  ::setenv("TAVLINK_COM1", "/dev/pts/7", 1);
  shell.store.port = 1;
  shell.store.devices[1] = "/dev/ttyUSB4";
  logic.Initialize();
  shell.portAnswers = {PortChoice{1, {std::nullopt, std::nullopt}}};
  logic.SetupComm();
  if (before != nullptr) {
    ::setenv("TAVLINK_COM1", saved.c_str(), 1);
  } else {
    ::unsetenv("TAVLINK_COM1");
  }
  ASSERT_EQ(shell.portOffers.size(), 1u);
  const PortDevices& com1 = shell.portOffers[0].devices[0];
  EXPECT_TRUE(com1.fixed);
  ASSERT_EQ(com1.options.size(), 1u);
  EXPECT_EQ(com1.options[0].text, "/dev/pts/7 (environment TAVLINK_COM1)");
  EXPECT_EQ(shell.store.devices, (std::map<int, std::string>{{1, "/dev/ttyUSB4"}}));
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].device.path, "/dev/pts/7");
}

TEST_F(MainLogicTest, ConnectShowsTheReceiversVersions) {
  AnswerConnect(std::string("HW 2.1\0junk", 11), "SW 1.06");
  logic.Connect();
  EXPECT_EQ(logic.Info().hardwareVersion, "HW 2.1");
  EXPECT_EQ(logic.Info().softwareVersion, "SW 1.06");
  EXPECT_EQ(logic.Info().status, "Connection established.");
}

TEST_F(MainLogicTest, ConnectStartsFromAClearedAnswerArea) {
  shell.transfer = [](const TransferRequest& request) {
    for (uint8_t byte : request.answer) EXPECT_EQ(byte, 0);
    return TransferOutcome::kFailed;
  };
  logic.Connect();
  logic.Connect();
  EXPECT_EQ(shell.transfers.size(), 2u);
}

TEST_F(MainLogicTest, VersionsFillingAllThirtyTwoBytesShowExactlyThose) {
  const std::string hardware(32, 'H');
  const std::string software(32, 'S');
  AnswerConnect(hardware, software);
  logic.Connect();
  EXPECT_EQ(logic.Info().hardwareVersion, hardware);
  EXPECT_EQ(logic.Info().softwareVersion, software);
}

TEST_F(MainLogicTest, FailedConnectAfterASuccessGoesBackToNotConnected) {
  AnswerConnect("HW", "SW");
  logic.Connect();
  ASSERT_EQ(logic.Info().status, "Connection established.");
  FailConnect();
  logic.Connect();
  ExpectNotConnected();
}

TEST_F(MainLogicTest, AboutSystemCommandIgnoresTheFourLowBits) {
  for (int command : {16, 17, 24, 31}) EXPECT_TRUE(logic.SystemCommand(command)) << command;
  EXPECT_EQ(shell.aboutShown, 4);
  for (int command : {0, 15, 32, 0xF060, 0xF010}) {
    EXPECT_FALSE(logic.SystemCommand(command)) << command;
  }
  EXPECT_EQ(shell.aboutShown, 4);
}

}  // namespace
}  // namespace tavlink
