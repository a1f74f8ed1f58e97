// The desktop tool's Win32 windows against a simulated receiver: the
// Linux side (tests/wine/wine_gui_test.cpp) starts tavlink-sim, leads a COM
// port of Wine's prefix to it, and runs these cases with the environment:
//   TAVLINK_RECEIVER_PORT       the port number (1 or 2) that leads to it
//   TAVLINK_RECEIVER_SOFTWARE   the software version it reports
//   TAVLINK_RECEIVER_HARDWARE   the hardware version it reports
//   TAVLINK_RECEIVER_DATA_TEXT  the data text of the user data it serves
// Without them the cases are skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app_win32/app_fixture.h"
#include "app_win32/resource_ids.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using testing::Click;
using testing::ItemText;
using testing::ReadBytes;
using testing::WaitUntilGone;

namespace fs = std::filesystem;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

class ReceiverTest : public testing::AppTest {
 protected:
  void SetUp() override {
    port_ = std::atoi(Environment("TAVLINK_RECEIVER_PORT").c_str());
    if (port_ != 1 && port_ != 2) GTEST_SKIP() << "no simulated receiver (TAVLINK_RECEIVER_PORT)";
    AppTest::SetUp();
    ASSERT_FALSE(folder_.empty()) << "no temporary folder";
  }
  int PortButton() const { return port_ == 1 ? IDC_COM1 : IDC_COM2; }

  // Runs a file command up to its file dialog and chooses `path` there.
  void ChooseFile(HWND chooser, const fs::path& path) {
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(testing::FileDialogName(chooser), "factory_data.txt");
    EXPECT_EQ(testing::FileDialogFilters(chooser),
              (std::vector<std::string>{"Factory data files (*.txt)", "All files (*.*)"}));
    testing::ChooseInFileDialog(chooser, path.string());
  }
  // Waits until the command has ended: the main window takes input again.
  bool CommandEnded(HWND window) {
    return testing::WaitUntil(
        [&] { return ::IsWindowEnabled(window) && testing::ThreadWindows(app_->Id()).size() == 1; },
        std::chrono::seconds(120));
  }

  int port_ = 0;
  testing::TempFolder temp_;
  const fs::path folder_ = temp_.path();
};

TEST_F(ReceiverTest, SetupCommThenConnectFillsTheVersionsAndTheStatus) {
  StorePort(port_ == 1 ? 2 : 1);
  Start(ListSerialDevices);
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Click(window, IDC_SETUP_COMM);
  const HWND ports = Wait("Communication Setup");
  ASSERT_NE(ports, nullptr);
  Click(ports, PortButton());
  ASSERT_TRUE(testing::WaitUntil([&] { return ::IsDlgButtonChecked(ports, PortButton()) != 0; }));
  Click(ports, IDOK);
  ASSERT_TRUE(testing::WaitForItemText(window, IDC_CONNECTION_STATUS, "Connection established.",
                                       std::chrono::seconds(60)))
      << ItemText(window, IDC_CONNECTION_STATUS);
  EXPECT_EQ(ItemText(window, IDC_SOFTWARE_VERSION), Environment("TAVLINK_RECEIVER_SOFTWARE"));
  EXPECT_EQ(ItemText(window, IDC_HARDWARE_VERSION), Environment("TAVLINK_RECEIVER_HARDWARE"));
  EXPECT_EQ(StoredPort(), static_cast<DWORD>(port_));
}

TEST_F(ReceiverTest, ReadUserDataSavesTheReceiversDataByteForByte) {
  StorePort(port_);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Click(window, IDC_READ_USER_DATA);
  const HWND question = WaitForAppBox();
  ASSERT_NE(question, nullptr);
  Click(question, IDOK);
  const fs::path saved = folder_ / "user data.txt";
  ChooseFile(Wait("Open"), saved);
  EXPECT_NE(Wait("Read User Data"), nullptr);
  ASSERT_TRUE(CommandEnded(window));
  const std::string expected = ReadBytes(Environment("TAVLINK_RECEIVER_DATA_TEXT"));
  ASSERT_FALSE(expected.empty());
  // The window is enabled again as the transfer window closes; the command
  // saves the file after that, on the same thread.
  testing::WaitUntil([&] { return fs::exists(saved); }, std::chrono::seconds(10));
  EXPECT_EQ(ReadBytes(saved), expected);
  // Nothing else is shown and the receiver information stays as it was.
  EXPECT_EQ(ItemText(window, IDC_CONNECTION_STATUS), "Connection failed.");
}

TEST_F(ReceiverTest, WriteFactoryDataWithABadTextShowsTheReadersMessageAndSendsNothing) {
  const fs::path bad = folder_ / "factory_data.txt";
  std::ofstream(bad, std::ios::binary) << "a 1\r\na 1\r\n";
  StorePort(port_);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  testing::CreatedWindows created(app_->Id());
  ASSERT_TRUE(created.Hooked());
  Click(window, IDC_WRITE_FACTORY_DATA);
  ChooseFile(Wait("Open"), bad);
  const HWND box = WaitForAppBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::BoxText(box),
            " * Error : line 2. Default Switch Configuation value was defined duplicatly.");
  Click(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  ASSERT_TRUE(CommandEnded(window));
  for (const std::string& title : created.Titles()) EXPECT_NE(title, "LINK");
}

}  // namespace
}  // namespace tavlink
