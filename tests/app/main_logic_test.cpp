// Start-up, the port choice, Connect and the system command, driven through
// a scripted shell.
#include "app/main_logic.h"

#include <gtest/gtest.h>

#include <cstring>

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
    fresh.portAnswers = {chosen};
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
  next.portAnswers = {2};
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
  shell.portAnswers = {1};
  logic.SetupComm();
  EXPECT_EQ(shell.store.port, 1);
  ASSERT_EQ(shell.transfers.size(), 1u);
  EXPECT_EQ(shell.transfers[0].portNumber, 1);
  EXPECT_EQ(shell.transfers[0].operation, OP_CONNECT);
  EXPECT_EQ(shell.transfers[0].answerSize, kAnswerSize);
}

TEST_F(MainLogicTest, UnwritableSettingsKeepTheChoiceForThisRun) {
  shell.store.writable = false;
  shell.portAnswers = {1};
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
