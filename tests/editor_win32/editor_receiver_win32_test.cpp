// The channel editor's Win32 window against a simulated receiver: the Linux
// side (tests/wine/wine_editor_test.cpp) starts tavlink-sim, leads a COM
// port of Wine's prefix to it, and runs these cases with the port number
// (1 or 2) in TAVLINK_RECEIVER_PORT; without it they are skipped. Write to
// Receiver from the keyboard: the fresh read it offers, the preview with
// the comparison, the factory write, and the read back that verifies it.
// Real time (the write's pauses take about 40 seconds).
#include <gtest/gtest.h>

#include <cstdlib>

#include "editor_win32/editor_fixture.h"
#include "operations/factory_verification.h"

namespace tavlink {
namespace {

constexpr auto kTransferWait = std::chrono::seconds(180);

class EditorReceiverTest : public testing::EditorTest {
 protected:
  void SetUp() override {
    const char* port = std::getenv("TAVLINK_RECEIVER_PORT");
    port_ = port != nullptr ? std::atoi(port) : 0;
    if (port_ != 1 && port_ != 2) GTEST_SKIP() << "no simulated receiver (TAVLINK_RECEIVER_PORT)";
    EditorTest::SetUp();
    // The port the editor uses, as the port dialog would have kept it.
    const DWORD value = static_cast<DWORD>(port_);
    ::RegSetKeyValueA(HKEY_CURRENT_USER, testing::kEditorSettingsKey, "Port", REG_DWORD, &value,
                      sizeof value);
  }
  // The next application box: its text, after pressing `button`.
  std::string Answer(int button) {
    const HWND box = Wait(app::ApplicationCaption(), kTransferWait);
    if (box == nullptr) return "(no box)";
    const std::string text = testing::BoxText(box);
    testing::Click(box, button);
    testing::WaitUntilGone(box);
    return text;
  }

  int port_ = 0;
};

TEST_F(EditorReceiverTest, WriteToReceiverPreviewsWritesAndVerifies) {
  ASSERT_NE(Start(path_), nullptr);
  // TRT 1 to the top, and a favourite off.
  SelectRow(13);
  Press(Services(), VK_HOME, true);
  ASSERT_TRUE(WaitForName(0, "TRT 1"));
  SelectRow(1);
  Press(Services(), VK_SPACE);
  ASSERT_TRUE(
      testing::WaitUntil([&] { return Cell(1, editor::ServiceColumn::kFavourite).empty(); }));

  Press(Services(), 'W', true);
  const std::string readFirst = Answer(IDYES);
  EXPECT_NE(readFirst.find("Read it now"), std::string::npos) << readFirst;
  Answer(IDOK);  // turn the receiver off; the read's transfer window ends by itself
  const HWND preview = Wait("Write to Receiver", kTransferWait);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(testing::ItemText(preview, IDC_EDITOR_SUMMARY), "1 service moved, 1 changed");
  EXPECT_EQ(testing::ItemText(preview, IDC_EDITOR_LISTING),
            "service 1 \"TRT 1\" (service_id 1 on 11054 V of \"TURKSAT3A\" 42.0 east): moved from "
            "14 to 1\r\n"
            "service 2 \"Das Erste\" (service_id 28106 on 11836 H of \"ASTRA 19E\" 19.2 east): "
            "favorite 1 -> 0\r\n");
  EXPECT_EQ(::IsDlgButtonChecked(preview, IDC_EDITOR_VERIFY), BST_CHECKED);
  EXPECT_EQ(testing::DefaultButton(preview), IDOK);
  testing::Click(preview, IDOK);  // Write
  EXPECT_EQ(Answer(IDOK), kRestartReceiverText);
  EXPECT_EQ(Answer(IDOK), "Verified: the receiver holds what was written.");
  // The window takes input again, the list as it was written.
  EXPECT_TRUE(testing::WaitUntil([&] { return ::IsWindowEnabled(main_) != 0; }));
  EXPECT_EQ(Name(0), "TRT 1");
}

}  // namespace
}  // namespace tavlink
