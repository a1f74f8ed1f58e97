// The channel editor's Win32 window driven by its keys under Wine: the
// sample edited from the keyboard, undone, a transponder deleted (the
// question's counts), saved and compared with the expected text; a refused
// text mended in the text view; a refused name; closing with unsaved
// changes; the filter and a column's sort; rows dragged within the list;
// copy and paste through the clipboard; the number dialog; the file
// dialogs; a file name beyond ASCII; a change of DPI; the menus, their keys,
// Tab.
#include <gtest/gtest.h>

#include "editor_win32/editor_fixture.h"

namespace tavlink {
namespace {

using editor::ServiceColumn;
using testing::EditorTitle;

// Replaces, in `text`, the line that starts with `start` by `line`
// (nothing: removes it).
void ReplaceLine(std::string& text, const std::string& start, const std::string& line) {
  const size_t at = text.find("\n" + start);
  ASSERT_NE(at, std::string::npos) << start;
  const size_t end = text.find('\n', at + 1);
  text.replace(at + 1, end - at, line.empty() ? "" : line + "\r\n");
}

class EditorWindowWin32Test : public testing::EditorTest {};

TEST_F(EditorWindowWin32Test, KeyboardEditsUndoneThenATransponderDeletedAndSaved) {
  ASSERT_NE(Start(path_), nullptr);
  EXPECT_EQ(RowCount(), 16);
  EXPECT_EQ(Name(0), "Das Erste");
  EXPECT_EQ(Cell(0, ServiceColumn::kPosition), "1");

  // "RTL", the fourth service, to the top with Ctrl+Home.
  SelectRow(3);
  Press(Services(), VK_HOME, true);
  ASSERT_TRUE(WaitForName(0, "RTL")) << Name(0);
  EXPECT_EQ(Name(1), "Das Erste");
  EXPECT_TRUE(WaitForTitle(EditorTitle("factory_data.txt", true)));
  // Ctrl+Down takes it one further.
  Press(Services(), VK_DOWN, true);
  ASSERT_TRUE(WaitForName(1, "RTL")) << Name(1);
  EXPECT_EQ(MenuText(IDM_UNDO), "&Undo Move service \"RTL\"\tCtrl+Z");
  // Undo both with Ctrl+Z.
  Press(Services(), 'Z', true);
  ASSERT_TRUE(WaitForName(0, "RTL"));
  Press(Services(), 'Z', true);
  ASSERT_TRUE(WaitForName(0, "Das Erste"));
  EXPECT_EQ(Name(3), "RTL");
  EXPECT_TRUE(WaitForTitle(EditorTitle("factory_data.txt")));

  // Delete transponder 11953 H from the tree: asked with its services.
  const HTREEITEM transponder = TreeItem("11953 H");
  ASSERT_NE(transponder, nullptr);
  ::SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(transponder));
  Press(Tree(), VK_DELETE);
  const HWND question = WaitForAppBox();
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(testing::BoxText(question), "Delete transponder 11953 H and its 2 services?");
  EXPECT_EQ(testing::DefaultButton(question), IDNO);
  testing::Click(question, IDYES);
  ASSERT_TRUE(testing::WaitUntil([&] { return RowCount() == 14; })) << RowCount();
  const HTREEITEM astra = TreeItem("ASTRA 19E");
  ASSERT_NE(astra, nullptr);
  EXPECT_EQ(TreeChildCount(astra), 4);
  EXPECT_EQ(TreeItem("11953 H"), nullptr);

  // Ctrl+S saves into the file.
  Press(Services(), 'S', true);
  ASSERT_TRUE(WaitForTitle(EditorTitle("factory_data.txt")));
  // The sample without 11953 H, ZDF and 3sat; the services on the later
  // transponders of ASTRA 19E count them from 2.
  std::string expected = testing::ReadBytes(testing::SampleDataText().string());
  ReplaceLine(expected, "      t   11953", "");
  ReplaceLine(expected, "  v       \"ZDF\"", "");
  ReplaceLine(expected, "  v       \"3sat\"", "");
  ReplaceLine(expected, "  v       \"RTL\"",
              "  v       \"RTL\"           1         2         12003     163       104       163 "
              "      105       0         1         0");
  ReplaceLine(expected, "  v       \"SAT.1\"",
              "  v       \"SAT.1\"         1         4         17500     255       256       255 "
              "      32        0         0         0");
  ReplaceLine(expected, "  v       \"ProSieben\"",
              "  v       \"ProSieben\"     1         4         17501     511       512       511 "
              "      33        0         0         0");
  ReplaceLine(expected, "  r       \"Bayern 3\"",
              "  r       \"Bayern 3\"      1         3         28401     0         3011      3011"
              "      0         0         0         0");
  ReplaceLine(expected, "  r       \"DLF\"",
              "  r       \"DLF\"           1         3         28012     0         2101      2101"
              "      0         0         1         0");
  EXPECT_TRUE(testing::WaitUntil([&] { return testing::ReadBytes(path_) == expected; }));
  EXPECT_EQ(testing::ReadBytes(path_), expected);
}

TEST_F(EditorWindowWin32Test, ATextWithAnErrorOnLineSevenOpensThereAndIsMended) {
  std::string text = testing::ReadBytes(testing::SampleDataText().string());
  // Line 7 is the empty line after the title banner.
  size_t at = 0;
  for (int line = 1; line < 7; ++line) at = text.find('\n', at) + 1;
  ASSERT_EQ(text.substr(at, 2), "\r\n");
  text.insert(at, "x garbled");
  const std::string broken = folder_.File("broken.txt");
  testing::WriteBytes(broken, text);
  ASSERT_NE(Start(broken), nullptr);

  const HWND view = Control(IDC_MAIN_REPAIR_TEXT);
  ASSERT_TRUE(::IsWindowVisible(view));
  EXPECT_FALSE(::IsWindowVisible(Services()));
  DWORD start = 0, end = 0;
  ::SendMessageW(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(::SendMessageW(view, EM_LINEFROMCHAR, start, 0), 6);  // line 7, selected
  EXPECT_EQ(end - start, 9u);                                     // "x garbled"
  EXPECT_EQ(testing::ItemText(main_, IDC_MAIN_REPAIR_MESSAGE),
            "* Error : line 7. Invalid tag 'x'.");
  const HWND goOn = Control(IDC_MAIN_REPAIR_CONTINUE);
  EXPECT_FALSE(::IsWindowEnabled(goOn));
  EXPECT_TRUE(::GetMenuState(::GetMenu(main_), IDM_WRITE_RECEIVER, MF_BYCOMMAND) & MF_GRAYED);

  // Mend it: the selected line's text away, checked as typed.
  ::SendMessageW(view, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  ASSERT_TRUE(testing::WaitUntil([&] { return ::IsWindowEnabled(goOn) != 0; }))
      << testing::ItemText(main_, IDC_MAIN_REPAIR_MESSAGE);
  EXPECT_EQ(testing::ItemText(main_, IDC_MAIN_REPAIR_MESSAGE),
            "The text reads. Go on into the tables.");
  testing::Click(main_, IDC_MAIN_REPAIR_CONTINUE);
  ASSERT_TRUE(testing::WaitUntil(
      [&] { return ::IsWindowVisible(Services()) != 0 && ::IsWindowVisible(view) == 0; }));
  EXPECT_EQ(RowCount(), 16);
  EXPECT_TRUE(WaitForTitle(EditorTitle("broken.txt", true)));
}

TEST_F(EditorWindowWin32Test, ANameTypedInPlaceGoesThroughTheModelsChecks) {
  ASSERT_NE(Start(path_), nullptr);
  SelectRow(1);  // ZDF
  Press(Services(), VK_F2);
  HWND edit = nullptr;
  ASSERT_TRUE(testing::WaitUntil([&] {
    edit = reinterpret_cast<HWND>(::SendMessageW(Services(), LVM_GETEDITCONTROL, 0, 0));
    return edit != nullptr;
  }));
  EXPECT_EQ(testing::WindowText(edit), "ZDF");
  ::SetWindowTextW(edit, L"ZDF HD");
  Press(edit, VK_RETURN);
  ASSERT_TRUE(WaitForName(1, "ZDF HD")) << Name(1);
  EXPECT_EQ(MenuText(IDM_UNDO), "&Undo Rename service \"ZDF\" to \"ZDF HD\"\tCtrl+Z");

  // A name longer than the receiver stores is refused with the model's
  // message and the old one stays.
  Press(Services(), VK_F2);
  ASSERT_TRUE(testing::WaitUntil([&] {
    edit = reinterpret_cast<HWND>(::SendMessageW(Services(), LVM_GETEDITCONTROL, 0, 0));
    return edit != nullptr;
  }));
  ::SetWindowTextW(edit, L"A name far longer than any receiver keeps for it");
  Press(edit, VK_RETURN);
  const HWND refusal = WaitForAppBox();
  ASSERT_NE(refusal, nullptr);
  const std::string message = testing::BoxText(refusal);
  EXPECT_NE(message.find("name"), std::string::npos) << message;
  testing::Click(refusal, IDOK);
  ASSERT_TRUE(testing::WaitUntilGone(refusal));
  EXPECT_EQ(Name(1), "ZDF HD");
}

TEST_F(EditorWindowWin32Test, ClosingWithUnsavedChangesAsks) {
  ASSERT_NE(Start(path_), nullptr);
  SelectRow(2);
  Press(Services(), VK_SPACE);  // favourite
  ASSERT_TRUE(testing::WaitUntil([&] { return Cell(2, ServiceColumn::kFavourite) == "yes"; }))
      << Cell(2, ServiceColumn::kFavourite);
  ::PostMessageW(main_, WM_CLOSE, 0, 0);
  HWND question = WaitForAppBox();
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(testing::BoxText(question), "Save the changes to factory_data.txt?");
  testing::Click(question, IDCANCEL);
  ASSERT_TRUE(testing::WaitUntilGone(question));
  EXPECT_TRUE(::IsWindowVisible(main_));
  // No discards the changes.
  ::PostMessageW(main_, WM_CLOSE, 0, 0);
  question = WaitForAppBox();
  ASSERT_NE(question, nullptr);
  testing::Click(question, IDNO);
  EXPECT_TRUE(app_->WaitFinished());
  EXPECT_EQ(testing::ReadBytes(path_), testing::ReadBytes(testing::SampleDataText().string()));
}

TEST_F(EditorWindowWin32Test, TheFilterNarrowsTheListAndAColumnHeaderSortsIt) {
  ASSERT_NE(Start(path_), nullptr);
  Press(Services(), 'F', true);
  const HWND filter = Control(IDC_MAIN_FILTER);
  ASSERT_TRUE(testing::WaitUntil([&] { return ::GetFocus() == filter; }));
  ::SetWindowTextW(filter, L"rai");
  ASSERT_TRUE(testing::WaitUntil([&] { return RowCount() == 4; })) << RowCount();
  EXPECT_EQ(testing::ItemText(main_, IDC_MAIN_STATUS),
            "4 shown, 16 of 1,500 services, 9 of 1,024 transponders, 3 of 106 satellites");
  ::SetWindowTextW(filter, L"");
  ASSERT_TRUE(testing::WaitUntil([&] { return RowCount() == 16; }));

  // A click on the name's header sorts the list by name, as Sort By does.
  NMLISTVIEW click{};
  click.hdr = {Services(), IDC_MAIN_SERVICES, LVN_COLUMNCLICK};
  click.iItem = -1;
  click.iSubItem = editor::ListColumnOf(ServiceColumn::kName);
  ::SendMessageW(main_, WM_NOTIFY, IDC_MAIN_SERVICES, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(Name(0), "3sat");
  EXPECT_EQ(MenuText(IDM_UNDO).rfind("&Undo Sort", 0), 0u) << MenuText(IDM_UNDO);
}

TEST_F(EditorWindowWin32Test, SelectedRowsDraggedWithinTheListMoveWhereTheyAreDropped) {
  ASSERT_NE(Start(path_), nullptr);
  // Das Erste and 3sat, both selected, dragged onto SAT.1 (row 4).
  SelectRow(0);
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED;
  ::SendMessageW(Services(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
  NMLISTVIEW drag{};
  drag.hdr = {Services(), IDC_MAIN_SERVICES, LVN_BEGINDRAG};
  drag.iItem = 0;
  ::SendMessageW(main_, WM_NOTIFY, IDC_MAIN_SERVICES, reinterpret_cast<LPARAM>(&drag));
  RECT row{};
  row.left = LVIR_BOUNDS;
  ::SendMessageW(Services(), LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
  POINT drop{row.left + 40, (row.top + row.bottom) / 2};
  ::MapWindowPoints(Services(), main_, &drop, 1);
  ::PostMessageW(main_, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
  ASSERT_TRUE(WaitForName(2, "Das Erste")) << Name(2);
  std::vector<std::string> names;
  for (int i = 0; i < 6; ++i) names.push_back(Name(i));
  EXPECT_EQ(names,
            (std::vector<std::string>{"ZDF", "RTL", "Das Erste", "3sat", "SAT.1", "ProSieben"}));
  // They stay selected where they went.
  EXPECT_EQ(::SendMessageW(Services(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
  EXPECT_EQ(::SendMessageW(Services(), LVM_GETITEMSTATE, 3, LVIS_SELECTED), LVIS_SELECTED);
}

TEST_F(EditorWindowWin32Test, CopiedServicesArePastedBeforeTheCurrentRowThroughTheClipboard) {
  ASSERT_NE(Start(path_), nullptr);
  SelectRow(0);  // Das Erste
  Press(Services(), 'C', true);
  // The system clipboard holds the rows as text.
  ASSERT_TRUE(testing::WaitUntil([&] {
    if (!::OpenClipboard(nullptr)) return false;
    const bool text = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    ::CloseClipboard();
    return text;
  }));
  SelectRow(5);  // ProSieben
  Press(Services(), 'V', true);
  ASSERT_TRUE(testing::WaitUntil([&] { return RowCount() == 17; })) << RowCount();
  EXPECT_EQ(Name(5), "Das Erste");
  EXPECT_EQ(Name(6), "ProSieben");
  EXPECT_EQ(Cell(5, ServiceColumn::kPosition), "6");
  // The pasted row is the one selected.
  EXPECT_EQ(::SendMessageW(Services(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_EQ(::SendMessageW(Services(), LVM_GETITEMSTATE, 5, LVIS_SELECTED), LVIS_SELECTED);
}

TEST_F(EditorWindowWin32Test, MoveToPositionAsksForANumberInTheListsRange) {
  ASSERT_NE(Start(path_), nullptr);
  SelectRow(3);  // RTL
  Press(Services(), 'G', true);
  const HWND ask = Wait(std::string(editor::kEditorName));
  ASSERT_NE(ask, nullptr);
  EXPECT_EQ(testing::ItemText(ask, IDC_EDITOR_PROMPT), "Move the selected services to position:");
  EXPECT_EQ(testing::ItemText(ask, IDC_EDITOR_VALUE), "4");
  // A number beyond the list is told, and the dialog stays.
  ::SetDlgItemTextW(ask, IDC_EDITOR_VALUE, L"99");
  testing::Click(ask, IDOK);
  const HWND told = WaitForAppBox();
  ASSERT_NE(told, nullptr);
  EXPECT_EQ(testing::BoxText(told), "Type a number from 1 to 16.");
  testing::Click(told, IDOK);
  ASSERT_TRUE(testing::WaitUntilGone(told));
  EXPECT_TRUE(::IsWindowVisible(ask));
  ::SetDlgItemTextW(ask, IDC_EDITOR_VALUE, L"1");
  testing::Click(ask, IDOK);
  ASSERT_TRUE(testing::WaitUntilGone(ask));
  EXPECT_TRUE(WaitForName(0, "RTL")) << Name(0);
}

TEST_F(EditorWindowWin32Test, AChangeOfDpiScalesTheFontAndTheLayout) {
  ASSERT_NE(Start(path_), nullptr);
  auto height = [&](int id) {
    RECT rect{};
    ::GetWindowRect(Control(id), &rect);
    return rect.bottom - rect.top;
  };
  const int before = height(IDC_MAIN_FILTER);
  ASSERT_GT(before, 0);
  auto fontHeight = [&] {
    LOGFONTW font{};
    const auto handle =
        reinterpret_cast<HFONT>(::SendMessageW(Control(IDC_MAIN_FILTER), WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  };
  const LONG fontBefore = fontHeight();
  // The window moved to a monitor at twice the DPI (Wine under Xvfb has one
  // monitor and never sends this itself).
  RECT suggested{0, 0, 2240, 1400};
  ::SendMessageW(main_, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(height(IDC_MAIN_FILTER), 2 * before);
  EXPECT_GE(fontHeight(), 2 * fontBefore - 1);
}

TEST_F(EditorWindowWin32Test, AFileNameBeyondAsciiShowsInTheTitleAndTheQuestion) {
  // The manifest asks for UTF-8 as the code page, as the file calls take
  // the names; a system that does not honour it has nothing to show here.
  if (::GetACP() != CP_UTF8) GTEST_SKIP() << "the code page is " << ::GetACP() << ", not UTF-8";
  const std::string name = "Kan\xC3\xA4le.txt";  // "Kanäle.txt"
  // Joined as bytes: the standard library's paths would read the name in
  // another encoding.
  const std::string path = folder_.File("") + name;
  ASSERT_TRUE(::CopyFileA(path_.c_str(), path.c_str(), FALSE));
  ASSERT_NE(Start(path), nullptr) << Titles();
  EXPECT_EQ(::GetWindowTextLengthW(main_),
            static_cast<int>(std::wstring(L"Kan\u00E4le.txt - ZOR Link Channel Editor").size()));
  SelectRow(0);
  Press(Services(), VK_SPACE);
  ASSERT_TRUE(WaitForTitle(EditorTitle(name, true)));
  ::PostMessageW(main_, WM_CLOSE, 0, 0);
  const HWND question = WaitForAppBox();
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(testing::BoxText(question), "Save the changes to " + name + "?");
  testing::Click(question, IDCANCEL);
  ASSERT_TRUE(testing::WaitUntilGone(question));
}

TEST_F(EditorWindowWin32Test, OpenAndSaveAsGoThroughTheCommonFileDialogWithTheListsTypes) {
  const std::string other = folder_.File("other.txt");
  testing::WriteBytes(other, testing::ReadBytes(testing::SampleDataText().string()));
  ASSERT_NE(Start(path_), nullptr);

  Press(Services(), 'S', true, true);  // Ctrl+Shift+S, Save As
  const HWND save = Wait("Save As");
  ASSERT_NE(save, nullptr) << Titles();
  EXPECT_EQ(testing::FileDialogFilters(save),
            (std::vector<std::string>{"Factory data files (*.txt)", "All files (*.*)"}));
  EXPECT_EQ(testing::FileDialogName(save), "factory_data.txt");
  testing::Click(save, IDCANCEL);
  ASSERT_TRUE(testing::WaitUntilGone(save));

  Press(Services(), 'O', true);
  const HWND open = Wait("Open");
  ASSERT_NE(open, nullptr) << Titles();
  EXPECT_EQ(testing::FileDialogFilters(open),
            (std::vector<std::string>{"Channel lists (*.txt *.bin)", "Factory data files (*.txt)",
                                      "Block images (*.bin)", "All files (*.*)"}));
  testing::ChooseInFileDialog(open, other);
  EXPECT_TRUE(WaitForTitle(EditorTitle("other.txt"))) << testing::WindowText(main_);
  EXPECT_EQ(RowCount(), 16);
}

TEST_F(EditorWindowWin32Test, TheMenusCarryTheQtEditorsEntriesAndKeys) {
  ASSERT_NE(Start(path_), nullptr);
  EXPECT_EQ(MenuText(IDM_OPEN), "&Open...\tCtrl+O");
  EXPECT_EQ(MenuText(IDM_WRITE_RECEIVER), "&Write to Receiver...\tCtrl+W");
  EXPECT_EQ(MenuText(IDM_MOVE_UP), "Move &Up\tCtrl+Up");
  EXPECT_EQ(MenuText(IDM_MOVE_TOP), "Move to &Top\tCtrl+Home");
  EXPECT_EQ(MenuText(IDM_FAVOURITE), "&Favourite\tSpace");
  EXPECT_EQ(MenuText(IDM_RENAME), "Re&name / Change...\tF2");
  EXPECT_EQ(MenuText(IDM_MOVE_TO_SATELLITE), "&Move Transponders To Satellite...\tCtrl+M");
  std::vector<std::string> bar;
  const HMENU menu = ::GetMenu(main_);
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    bar.push_back(text);
  }
  EXPECT_EQ(bar, (std::vector<std::string>{"&File", "&Edit", "&Services", "S&atellites"}));
}

TEST_F(EditorWindowWin32Test, TabGoesFromControlToControlInTheWindowsOrder) {
  ASSERT_NE(Start(path_), nullptr);
  const std::vector<int> order = {IDC_MAIN_ANTENNA,
                                  IDC_MAIN_TREE,
                                  IDC_MAIN_FILTER,
                                  IDC_MAIN_FILTER_SATELLITE,
                                  IDC_MAIN_FILTER_KIND,
                                  IDC_MAIN_FILTER_FAVOURITES,
                                  IDC_MAIN_FILTER_TRANSPONDER,
                                  IDC_MAIN_SERVICES,
                                  IDC_MAIN_HISTORY,
                                  IDC_MAIN_ANTENNA};
  ::SetFocus(Control(order.front()));
  for (size_t i = 1; i < order.size(); ++i) {
    Press(::GetFocus(), VK_TAB);
    EXPECT_TRUE(testing::WaitUntil([&] { return ::GetFocus() == Control(order[i]); }))
        << "after " << order[i - 1];
  }
}

}  // namespace
}  // namespace tavlink
