// The desktop tool's Win32 windows without a receiver: start-up, the port
// dialog and its settings in the registry, the About entry and box, the
// keys of the dialog manager, and the file commands up to the transfer.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/about_texts.h"
#include "app/editor_launch.h"
#include "app_win32/app_fixture.h"
#include "app_win32/resource_ids.h"
#include "support/temp_folder.h"
#include "win32_widgets/win32_text.h"

namespace tavlink {
namespace {

using testing::AppTest;
using testing::ChildTexts;
using testing::Click;
using testing::ItemText;
using testing::WaitUntilGone;

using Win32WindowsTest = AppTest;

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::wstring WideItemText(HWND dialog, int id) {
  wchar_t text[512] = {};
  ::GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

TEST_F(Win32WindowsTest, FirstStartAsksWithCom2BeforeTheMainWindowAndOkStoresTheChoice) {
  Start();
  const HWND ports = Wait("Communication Setup");
  ASSERT_NE(ports, nullptr);
  // The main window exists and is not shown yet.
  const std::vector<HWND> all = testing::ThreadWindows(app_->Id(), true);
  const auto main = std::find_if(all.begin(), all.end(),
                                 [](HWND w) { return testing::WindowText(w) == "ZOR Link"; });
  ASSERT_NE(main, all.end());
  EXPECT_FALSE(::IsWindowVisible(*main));
  EXPECT_EQ(::IsDlgButtonChecked(ports, IDC_COM2), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(ports, IDC_COM1), BST_UNCHECKED);
  EXPECT_EQ(testing::FocusOf(app_->Id()), ::GetDlgItem(ports, IDOK));
  EXPECT_EQ(ItemText(ports, IDC_COM1_DEVICE), "\\\\.\\COM1 (default)");
  EXPECT_EQ(WideItemText(ports, IDC_COM2_DEVICE_LINE), L"COM2 \u2192 \\\\.\\COM2 (default)");

  Click(ports, IDOK);
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ReceiverTexts(window),
            (std::vector<std::string>{"Unavailable.", "Unavailable.", "Connection failed."}));
  EXPECT_EQ(StoredPort(), 2u);
  EXPECT_EQ(testing::FocusOf(app_->Id()), ::GetDlgItem(window, IDC_SETUP_COMM));
  Click(window, IDC_EXIT);
  EXPECT_TRUE(app_->WaitFinished());
}

TEST_F(Win32WindowsTest, FirstStartCancelledStoresZeroAndTheNextStartAsksAgain) {
  Start();
  Click(Wait("Communication Setup"), IDCANCEL);
  ASSERT_NE(WaitForMainWindow(), nullptr);
  EXPECT_EQ(StoredPort(), 0u);
  Click(WaitForMainWindow(), IDC_EXIT);
  ASSERT_TRUE(app_->WaitFinished());

  Start();
  EXPECT_NE(Wait("Communication Setup"), nullptr);
}

TEST_F(Win32WindowsTest, StoredPortOpensTheMainWindowWithoutAsking) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Click(window, IDC_SETUP_COMM);
  const HWND ports = Wait("Communication Setup");
  ASSERT_NE(ports, nullptr);
  EXPECT_EQ(::IsDlgButtonChecked(ports, IDC_COM1), BST_CHECKED);
  // Cancel stores the port again and connects to nothing.
  Click(ports, IDCANCEL);
  ASSERT_TRUE(WaitUntilGone(ports));
  EXPECT_EQ(StoredPort(), 1u);
  EXPECT_EQ(ItemText(window, IDC_CONNECTION_STATUS), "Connection failed.");
}

// A device chosen in the drop-down is stored for its port, and the connect
// that follows OK opens it: here a port that does not exist, so the device
// error names where the port leads, "Open error" follows, and the window
// shows no connection.
TEST_F(Win32WindowsTest, ChosenDeviceIsStoredAndOpenedByTheConnect) {
  StorePort(1);
  Start([] {
    return std::vector<SerialDeviceInfo>{
        {"COM39", "COM39", "USB Serial Port (COM39)", "FTDI", "FT232R", "0403", "6001", "A5"}};
  });
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Click(window, IDC_SETUP_COMM);
  const HWND ports = Wait("Communication Setup");
  ASSERT_NE(ports, nullptr);
  const HWND list = ::GetDlgItem(ports, IDC_COM2_DEVICE);
  ASSERT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
  char entry[256] = {};
  ::SendMessageA(list, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
  EXPECT_STREQ(entry, "COM39: USB Serial Port (COM39), 0403:6001, serial A5");
  ::SendMessageA(list, CB_SETCURSEL, 1, 0);
  ::PostMessageA(ports, WM_COMMAND, MAKEWPARAM(IDC_COM2_DEVICE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  Click(ports, IDC_COM2);
  EXPECT_TRUE(testing::WaitUntil(
      [&] { return WideItemText(ports, IDC_COM2_DEVICE_LINE) == L"COM2 \u2192 COM39 (setting)"; }));
  Click(ports, IDOK);

  const HWND deviceError = Wait("Serial Communication Device Error");
  ASSERT_NE(deviceError, nullptr);
  EXPECT_NE(testing::BoxText(deviceError).find("COM2 opens COM39 (setting)"), std::string::npos)
      << testing::BoxText(deviceError);
  Click(deviceError, IDOK);
  const HWND openError = Wait("ERROR");
  ASSERT_NE(openError, nullptr);
  EXPECT_EQ(testing::BoxText(openError), "Open error");
  Click(openError, IDOK);
  EXPECT_TRUE(WaitUntilGone(openError));
  EXPECT_TRUE(testing::WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }));
  EXPECT_EQ(StoredPort(), 2u);
  EXPECT_EQ(StoredDevice(2), "COM39");
  EXPECT_EQ(StoredDevice(1), std::nullopt);
  EXPECT_EQ(ReceiverTexts(window),
            (std::vector<std::string>{"Unavailable.", "Unavailable.", "Connection failed."}));
}

// A device the list does not show is typed into the drop-down: OK checks
// it and keeps the dialog open with the reason until it names a device.
TEST_F(Win32WindowsTest, TypedDeviceIsCheckedWhenOkIsPressed) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Click(window, IDC_SETUP_COMM);
  const HWND ports = Wait("Communication Setup");
  ASSERT_NE(ports, nullptr);
  const HWND list = ::GetDlgItem(ports, IDC_COM1_DEVICE);
  auto type = [&](const char* text) {
    ::SendMessageA(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ::PostMessageA(ports, WM_COMMAND, MAKEWPARAM(IDC_COM1_DEVICE, CBN_EDITCHANGE),
                   reinterpret_cast<LPARAM>(list));
  };
  type("COM250");
  EXPECT_TRUE(testing::WaitUntil(
      [&] { return WideItemText(ports, IDC_COM1_DEVICE_LINE) == L"COM1 \u2192 COM250 (setting)"; }));
  Click(ports, IDOK);
  const HWND refusal = WaitForAppBox();
  ASSERT_NE(refusal, nullptr);
  EXPECT_EQ(testing::BoxText(refusal), "COM1: COM250: no such device");
  Click(refusal, IDOK);
  ASSERT_TRUE(WaitUntilGone(refusal));
  EXPECT_TRUE(::IsWindow(ports)) << "the dialog stays open";

  Click(ports, IDCANCEL);
  ASSERT_TRUE(WaitUntilGone(ports));
  EXPECT_EQ(StoredDevice(1), std::nullopt);
}

TEST_F(Win32WindowsTest, SystemMenuChannelEditorEntryStartsTheEditorBesideTheProgram) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  const HMENU menu = ::GetSystemMenu(window, FALSE);
  char text[64] = {};
  ::GetMenuStringA(menu, IDM_CHANNEL_EDITOR, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, app::kChannelEditorMenuText);
  // The last entry, under About.
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(::GetMenuItemID(menu, count - 2), static_cast<UINT>(IDM_ABOUTBOX));
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_CHANNEL_EDITOR));

  // tavlink-editor.exe lies beside this program in the build: it starts
  // with an untitled list, a process of its own.
  ::PostMessageA(window, WM_SYSCOMMAND, IDM_CHANNEL_EDITOR, 0);
  HWND editor = nullptr;
  ASSERT_TRUE(testing::WaitUntil([&] {
    editor = ::FindWindowA(nullptr, "Untitled - ZOR Link Channel Editor");
    return editor != nullptr;
  })) << "no editor window";
  DWORD process = 0;
  ::GetWindowThreadProcessId(editor, &process);
  EXPECT_NE(process, ::GetCurrentProcessId());
  EXPECT_TRUE(::IsWindowEnabled(window));  // the tool goes on meanwhile
  ::PostMessageA(editor, WM_CLOSE, 0, 0);  // nothing to save: it closes at once
  EXPECT_TRUE(WaitUntilGone(editor));
}

TEST_F(Win32WindowsTest, SystemMenuAboutEntryOpensTheAboutBoxWhateverItsLowFourBits) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  const HMENU menu = ::GetSystemMenu(window, FALSE);
  char text[64] = {};
  ::GetMenuStringA(menu, IDM_ABOUTBOX, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, app::kAboutMenuText);

  ::PostMessageA(window, WM_SYSCOMMAND, IDM_ABOUTBOX | 0xF, 0);
  const HWND about = Wait("About ZOR Link");
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(Has(ChildTexts(about), "ZOR Link Version 1.6"));
  EXPECT_TRUE(Has(ChildTexts(about), "Copyright (C) ZOR Electronics"));
  EXPECT_EQ(testing::FocusOf(app_->Id()), ::GetDlgItem(about, IDOK));
  // The hidden strip between the two lines.
  Click(about, IDC_HIDDEN_STRIP);
  const HWND box = WaitForAppBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::BoxText(box), app::kHiddenStripMessage);
  Click(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  Click(about, IDOK);
  ASSERT_TRUE(WaitUntilGone(about));

  // Another command of the same sixteen is not the About entry.
  ::PostMessageA(window, WM_SYSCOMMAND, 0x0020, 0);
  EXPECT_EQ(Wait("About ZOR Link", std::chrono::milliseconds(500)), nullptr);
}

TEST_F(Win32WindowsTest, EscEndsTheProgram) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  testing::PressKey(::GetDlgItem(window, IDC_SETUP_COMM), VK_ESCAPE);
  EXPECT_TRUE(app_->WaitFinished());
}

TEST_F(Win32WindowsTest, EnterRunsTheFocusedButtonNotSetupComm) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  const HWND exit = ::GetDlgItem(window, IDC_EXIT);
  ::PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(exit), TRUE);
  ASSERT_TRUE(testing::WaitUntil([&] { return testing::FocusOf(app_->Id()) == exit; }));
  testing::PressKey(exit, VK_RETURN);
  EXPECT_TRUE(app_->WaitFinished());
}

TEST_F(Win32WindowsTest, ReadUserDataCancelledAtTheQuestionOpensNoFileDialog) {
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Click(window, IDC_READ_USER_DATA);
  const HWND box = WaitForAppBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::BoxText(box), "\n  Please turn off your receiver.    \n");
  EXPECT_EQ(testing::DefaultButton(box), IDOK);
  Click(box, IDCANCEL);
  ASSERT_TRUE(WaitUntilGone(box));
  EXPECT_EQ(Wait("Open", std::chrono::milliseconds(500)), nullptr);
}

// The ROM image's file dialog offers "rom.bin" and the ROM filter; a file
// without the signature is refused before anything is sent.
TEST_F(Win32WindowsTest, UpgradeOffersRomImagesAndRefusesAWrongOne) {
  const testing::TempFolder folder;
  ASSERT_FALSE(folder.path().empty());
  const std::filesystem::path rom = folder.path() / "tavlink-wrong.bin";
  std::ofstream(rom, std::ios::binary) << "ZOR Digital Satellite Receiver ROM IMAGE v1 body";
  StorePort(1);
  Start();
  const HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  testing::CreatedWindows created(app_->Id());
  Click(window, IDC_UPGRADE_SOFTWARE);
  const HWND chooser = Wait("Open");
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(testing::FileDialogName(chooser), "rom.bin");
  EXPECT_EQ(testing::FileDialogFilters(chooser),
            (std::vector<std::string>{"ROM image files (*.bin)", "All files (*.*)"}));
  testing::ChooseInFileDialog(chooser, rom.string());
  const HWND box = WaitForAppBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::BoxText(box), "\n  Wrong ROM image.     \n\n  Retry.");
  Click(box, IDOK);
  ASSERT_TRUE(WaitUntilGone(box));
  ASSERT_TRUE(testing::WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }));
  EXPECT_FALSE(Has(created.Titles(), "LINK"));  // no transfer dialog
}

}  // namespace
}  // namespace tavlink

namespace tavlink {
namespace {

// The version record that the resource script gives every program showing
// the windows: the product and maker as the About box names them, the
// version 1.6, and the original's internal names.
TEST(Win32ResourcesTest, VersionRecordNamesTheProductItsMakerAndVersion) {
  char path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> record(size);
  ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, record.data()));
  const auto value = [&](const std::string& name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\040904B0\\" + name;
    if (!::VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
      return std::string("(none)");
    return std::string(text);
  };
  EXPECT_EQ(value("ProductName"), "ZOR Link");
  EXPECT_EQ(value("CompanyName"), "ZOR Electronics");
  EXPECT_EQ(value("ProductVersion"), "1.6.0");
  EXPECT_EQ(value("InternalName"), "TAVLINK");
  EXPECT_EQ(value("OriginalFilename"), "TAVLINK.EXE");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(6, 1)));
}

}  // namespace
}  // namespace tavlink
