// The channel editor's pictures of docs/screenshots/windows, taken by
// scripts/screenshots under Wine and Xvfb: a disabled case that opens the
// sample and saves, as they stand on the screen (24-bit BMPs, which the
// script turns into PNG, in the folder TAVLINK_SCREENSHOT_DIR names), the
// window with the list, the question before a transponder is deleted, the
// form of a transponder, the preview of a write (without a receiver: no
// comparison), and the text view of a text with an error on line 7.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app_win32/screen_capture.h"
#include "editor_win32/editor_fixture.h"

namespace tavlink {
namespace {

namespace fs = std::filesystem;

class EditorScreenshotTour : public testing::EditorTest {
 protected:
  // Saves `window` (and `popup` over it, if given) once it has painted.
  void Save(HWND window, const std::string& name, HWND popup = nullptr) {
    ASSERT_NE(window, nullptr) << name;
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    RECT area;
    ::GetWindowRect(window, &area);
    if (popup != nullptr) {
      RECT extra;
      ::GetWindowRect(popup, &extra);
      ::UnionRect(&area, &area, &extra);
    }
    EXPECT_TRUE(testing::SaveArea(area, folder_ / (name + ".bmp"))) << name;
  }
  // The editor's window at the screen's top left corner.
  void Place() { ::SetWindowPos(main_, nullptr, 8, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

  fs::path folder_;
};

TEST_F(EditorScreenshotTour, DISABLED_WindowsOfTheChannelEditor) {
  const char* folder = std::getenv("TAVLINK_SCREENSHOT_DIR");
  ASSERT_NE(folder, nullptr) << "TAVLINK_SCREENSHOT_DIR names no folder";
  folder_ = folder;
  const DWORD port = 1;
  ::RegSetKeyValueA(HKEY_CURRENT_USER, testing::kEditorSettingsKey, "Port", REG_DWORD, &port,
                    sizeof port);
  ASSERT_NE(Start(path_), nullptr);
  Place();
  // A few edits, so that the history and the title show them.
  SelectRow(13);
  Press(Services(), VK_HOME, true);
  ASSERT_TRUE(WaitForName(0, "TRT 1"));
  SelectRow(4);
  Press(Services(), VK_SPACE);
  const HTREEITEM transponder = TreeItem("11953 H");
  ASSERT_NE(transponder, nullptr);
  ::SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(transponder));
  SelectRow(0);
  ::SetFocus(Services());
  Save(main_, "editor_list");

  // The question before a delete, over the window.
  Press(Tree(), VK_DELETE);
  const HWND question = WaitForAppBox();
  Save(main_, "editor_delete_question", question);
  testing::Click(question, IDNO);
  testing::WaitUntilGone(question);

  // The transponder's form.
  Press(Tree(), VK_F2);
  const HWND form = Wait("Change transponder 11953 H");
  Save(form, "editor_transponder_form");
  testing::Click(form, IDCANCEL);
  testing::WaitUntilGone(form);

  // Write to Receiver without a read first: the preview says why it has no
  // comparison.
  Press(Services(), 'W', true);
  const HWND readFirst = WaitForAppBox();
  ASSERT_NE(readFirst, nullptr);
  testing::Click(readFirst, IDNO);
  const HWND preview = Wait("Write to Receiver");
  Save(preview, "editor_write_preview");
  testing::Click(preview, IDCANCEL);
  testing::WaitUntilGone(preview);
}

TEST_F(EditorScreenshotTour, DISABLED_TheTextViewOfARefusedText) {
  const char* folder = std::getenv("TAVLINK_SCREENSHOT_DIR");
  ASSERT_NE(folder, nullptr) << "TAVLINK_SCREENSHOT_DIR names no folder";
  folder_ = folder;
  std::string text = testing::ReadBytes(testing::SampleDataText().string());
  size_t at = 0;
  for (int line = 1; line < 7; ++line) at = text.find('\n', at) + 1;
  text.insert(at, "x garbled");
  const std::string broken = (folder_ / "broken.txt").string();
  testing::WriteBytes(broken, text);
  ASSERT_NE(Start(broken), nullptr);
  Place();
  Save(main_, "editor_text_error");
  std::filesystem::remove(broken);
}

}  // namespace
}  // namespace tavlink
