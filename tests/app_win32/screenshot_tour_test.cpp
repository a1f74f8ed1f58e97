// The pictures of docs/screenshots/windows, taken by scripts/screenshots
// under Wine and Xvfb: a disabled case that opens the desktop tool's
// windows one after another and saves each as it stands on the screen
// (a 24-bit BMP, which the script turns into PNG) in the folder that
// TAVLINK_SCREENSHOT_DIR names: the port dialog (closed, and with COM2's
// device list open), the main window before and after a connect, the
// Read User Data question, a transfer in progress, which it then stops,
// and the About box. COM1 leads to a simulator that sends at the line rate
// (TAVLINK_RECEIVER_PORT 1); the port dialog lists a sample machine's
// devices, a board port and a USB adapter, which COM2 leads to.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "app_win32/app_fixture.h"
#include "app_win32/resource_ids.h"
#include "app_win32/screen_capture.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;
using testing::Click;

std::vector<SerialDeviceInfo> SampleDevices() {
  return {{"COM3", "COM3", "Communications Port (COM3)", "", "", "", "", ""},
          {"COM7", "COM7", "USB Serial Port (COM7)", "FTDI", "FT232R USB UART", "0403", "6001",
           "A50285BI"}};
}

class ScreenshotTour : public testing::AppTest {
 protected:
  // Saves `window` (and `popup` over it, if given) once it has painted.
  void Save(HWND window, const std::string& name, HWND popup = nullptr) {
    ASSERT_NE(window, nullptr) << name;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    RECT area;
    ::GetWindowRect(window, &area);
    if (popup != nullptr) {
      RECT extra;
      ::GetWindowRect(popup, &extra);
      ::UnionRect(&area, &area, &extra);
    }
    EXPECT_TRUE(testing::SaveArea(area, folder_ / (name + ".bmp"))) << name;
  }

  fs::path folder_;
};

TEST_F(ScreenshotTour, DISABLED_WindowsOfTheDesktopTool) {
  const char* folder = std::getenv("TAVLINK_SCREENSHOT_DIR");
  ASSERT_NE(folder, nullptr) << "TAVLINK_SCREENSHOT_DIR names no folder";
  folder_ = folder;
  ::RegSetKeyValueA(HKEY_CURRENT_USER,
                    (std::string(testing::kTestSettingsKey) + "\\Devices").c_str(), "COM2", REG_SZ,
                    "COM7", 5);
  Start(SampleDevices);

  // First start: the port dialog before the main window.
  const HWND ports = Wait("Communication Setup");
  Save(ports, "port_dialog");
  const HWND list = ::GetDlgItem(ports, IDC_COM2_DEVICE);
  ::PostMessageA(list, CB_SHOWDROPDOWN, TRUE, 0);
  HWND dropped = nullptr;
  testing::WaitUntil([&] {
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    if (::GetComboBoxInfo(list, &combo) && ::IsWindowVisible(combo.hwndList))
      dropped = combo.hwndList;
    return dropped != nullptr;
  });
  Save(ports, "port_dialog_devices", dropped);
  ::PostMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
  Click(ports, IDC_COM1);
  Click(ports, IDOK);

  const HWND window = WaitForMainWindow();
  Save(window, "main_window");

  // Setup Comm, OK on COM1, the connect to the simulator.
  Click(window, IDC_SETUP_COMM);
  Click(Wait("Communication Setup"), IDOK);
  ASSERT_TRUE(testing::WaitForItemText(window, IDC_CONNECTION_STATUS, "Connection established.",
                                       std::chrono::seconds(60)));
  Save(window, "main_window_connected");

  // Read User Data: the question, then the transfer at the line rate,
  // stopped halfway, which leaves nothing valid to save.
  Click(window, IDC_READ_USER_DATA);
  const HWND question = WaitForAppBox();
  Save(question, "read_user_data_question");
  Click(question, IDOK);
  const HWND chooser = Wait("Open");
  ASSERT_NE(chooser, nullptr);
  testing::ChooseInFileDialog(chooser, (fs::temp_directory_path() / "tour.txt").string());
  const HWND transfer = Wait("Read User Data");
  ASSERT_NE(transfer, nullptr);
  ASSERT_TRUE(testing::WaitUntil(
      [&] { return testing::ItemText(transfer, IDC_STATUS).find("block 6/") != std::string::npos; },
      std::chrono::seconds(60)));
  Save(transfer, "transfer_in_progress");
  Click(transfer, IDCANCEL);
  const HWND invalid = WaitForAppBox();
  ASSERT_NE(invalid, nullptr);
  Click(invalid, IDOK);
  ASSERT_TRUE(testing::WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }));

  Click(window, IDC_ABOUT);
  const HWND about = Wait("About ZOR Link");
  Save(about, "about_dialog");
  Click(about, IDOK);
  ASSERT_TRUE(testing::WaitUntilGone(about));
  Click(window, IDC_EXIT);
  EXPECT_TRUE(app_->WaitFinished());
}

}  // namespace
}  // namespace tavlink
