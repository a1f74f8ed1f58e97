// An editor window on Win32.
#include "editor_win32/win32_editor_window.h"

#include <windowsx.h>

#include <algorithm>

#include "editor/editor_texts.h"
#include "editor/record_forms.h"
#include "editor_win32/editor_ids.h"
#include "editor_win32/win32_list_text.h"
#include "win32_widgets/win32_text.h"

namespace tavlink::editor {

using channels::SatelliteId;
using channels::ServiceId;
using channels::TransponderId;

namespace {

constexpr wchar_t kWindowClass[] = L"TavlinkChannelEditor";
// Posted to apply a name typed in place once the list view's edit is gone.
constexpr UINT kFinishRename = WM_APP + 10;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

void RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hIcon = static_cast<HICON>(
        ::LoadImageW(windowClass.hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(windowClass.hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

Win32EditorWindow::Win32EditorWindow(std::shared_ptr<SettingStore> store,
                                     std::unique_ptr<EditorDocument> document,
                                     app::DeviceLister listDevices, OpenWindow openWindow)
    : store_(std::move(store)), accelerators_(BuildEditorAccelerators()) {
  Win32EditorShell::Hooks hooks;
  hooks.documentReplaced = [this] { OnDocumentReplaced(); };
  hooks.openWindow = std::move(openWindow);
  shell_ = std::make_unique<Win32EditorShell>(store_, std::move(listDevices), std::move(hooks));
  logic_ = document ? std::make_unique<EditorLogic>(*shell_, std::move(document))
                    : std::make_unique<EditorLogic>(*shell_);

  RegisterWindowClass();
  dpi_ = WindowDpi(nullptr);
  window_ = ::CreateWindowExW(
      WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kWindowClass, app::Widen(logic_->Title()).c_str(),
      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, Scale(1120), Scale(700),
      nullptr, BuildEditorMenu(&recentMenu_), ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  dpi_ = WindowDpi(window_);
  shell_->SetOwner(window_);
  CreateControls();
  ApplyFonts();
  Layout();
  OnDocumentReplaced();
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
}

Win32EditorWindow::~Win32EditorWindow() {
  logic_->SetChangeObserver(nullptr);
  if (window_ != nullptr) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

HWND Win32EditorWindow::AddControl(const wchar_t* className, const wchar_t* text, DWORD style,
                                   int id, DWORD exStyle) {
  return ::CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 10, 10, window_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

void Win32EditorWindow::CreateControls() {
  // In the Tab order: the antenna, the tree, the filter row, the services,
  // the history; on the text page the text, then Go on.
  antennaLabel_ = AddControl(L"STATIC", L"&Antenna configuration:", 0, IDC_MAIN_ANTENNA_LABEL);
  antenna_ =
      AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_MAIN_ANTENNA);
  tree_.Create(window_, IDC_MAIN_TREE);
  filterLabel_ = AddControl(L"STATIC", L"&Filter:", 0, IDC_MAIN_FILTER_LABEL);
  filterName_ =
      AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, IDC_MAIN_FILTER, WS_EX_CLIENTEDGE);
  ::SendMessageW(filterName_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"part of the name"));
  filterSatellite_ = AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                IDC_MAIN_FILTER_SATELLITE);
  filterKind_ = AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                           IDC_MAIN_FILTER_KIND);
  for (const wchar_t* kind : {L"TV and radio", L"TV", L"Radio"}) {
    ::SendMessageW(filterKind_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
  }
  ::SendMessageW(filterKind_, CB_SETCURSEL, 0, 0);
  filterFavourites_ = AddControl(L"BUTTON", L"Fa&vourites", WS_TABSTOP | BS_AUTOCHECKBOX,
                                 IDC_MAIN_FILTER_FAVOURITES);
  filterTransponder_ = AddControl(L"BUTTON", L"Selected &transponder", WS_TABSTOP | BS_AUTOCHECKBOX,
                                  IDC_MAIN_FILTER_TRANSPONDER);
  services_.Create(window_, IDC_MAIN_SERVICES, dpi_);
  historyLabel_ =
      AddControl(L"STATIC", L"&History (Enter goes back to a step):", 0, IDC_MAIN_HISTORY_LABEL);
  history_ =
      AddControl(L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                 IDC_MAIN_HISTORY, WS_EX_CLIENTEDGE);
  repairIntro_ = AddControl(
      L"STATIC",
      L"The reader refuses this text. Mend the line below; it is checked again as you type.",
      SS_NOPREFIX, IDC_MAIN_REPAIR_INTRO);
  repairMessage_ = AddControl(L"STATIC", L"", SS_NOPREFIX, IDC_MAIN_REPAIR_MESSAGE);
  repairText_ = AddControl(L"EDIT", L"",
                           WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                               ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                           IDC_MAIN_REPAIR_TEXT, WS_EX_CLIENTEDGE);
  ::SendMessageW(repairText_, EM_SETLIMITTEXT, 0, 0);  // as long as the file is
  repairContinue_ = AddControl(L"BUTTON", L"&Go on into the tables", WS_TABSTOP | BS_PUSHBUTTON,
                               IDC_MAIN_REPAIR_CONTINUE);
  status_ =
      ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                        0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_STATUS)),
                        ::GetModuleHandleW(nullptr), nullptr);
}

void Win32EditorWindow::ApplyFonts() {
  font_ = MessageFont(dpi_);
  bold_ = BoldFont(font_.get());
  fixed_ = FixedFont(font_.get());
  for (HWND control :
       {antennaLabel_, antenna_, tree_.Window(), filterLabel_, filterName_, filterSatellite_,
        filterKind_, filterFavourites_, filterTransponder_, services_.Window(), historyLabel_,
        history_, repairIntro_, repairContinue_, status_}) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
  ::SendMessageW(repairMessage_, WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), TRUE);
  ::SendMessageW(repairText_, WM_SETFONT, reinterpret_cast<WPARAM>(fixed_.get()), TRUE);
}

void Win32EditorWindow::Layout() {
  RECT client;
  ::GetClientRect(window_, &client);
  ::SendMessageW(status_, WM_SIZE, 0, 0);
  RECT statusRect;
  ::GetWindowRect(status_, &statusRect);
  const int width = client.right;
  const int height = client.bottom - (statusRect.bottom - statusRect.top);
  const int m = Scale(6), row = Scale(23), label = Scale(16);
  auto place = [](HWND control, int x, int y, int w, int h) {
    ::MoveWindow(control, x, y, std::max(0, w), std::max(0, h), TRUE);
  };

  // The tables page.
  const int left = std::max(Scale(280), width * 36 / 100);
  place(antennaLabel_, m, m + Scale(4), Scale(130), label);
  place(antenna_, m + Scale(132), m, left - Scale(132) - m, Scale(300));
  const int historyHeight = std::max(Scale(80), height / 4);
  const int treeTop = m + row + m;
  const int treeBottom = height - m - historyHeight - label - m;
  place(tree_.Window(), m, treeTop, left - m, treeBottom - treeTop);
  place(historyLabel_, m, treeBottom + m, left - m, label);
  place(history_, m, treeBottom + m + label, left - m, historyHeight);

  const int right = left + 2 * m;
  const int rightWidth = width - right - m;
  const int fixedParts = Scale(44) + Scale(150) + Scale(110) + Scale(96) + Scale(160) + 4 * m;
  const int nameWidth = std::max(Scale(80), rightWidth - fixedParts);
  int x = right;
  place(filterLabel_, x, m + Scale(4), Scale(44), label);
  x += Scale(44);
  place(filterName_, x, m, nameWidth, row);
  x += nameWidth + m;
  place(filterSatellite_, x, m, Scale(150), Scale(300));
  x += Scale(150) + m;
  place(filterKind_, x, m, Scale(110), Scale(300));
  x += Scale(110) + m;
  place(filterFavourites_, x, m, Scale(96), row);
  x += Scale(96) + m;
  place(filterTransponder_, x, m, Scale(160), row);
  place(services_.Window(), right, treeTop, rightWidth, height - treeTop - m);

  // The text page.
  place(repairIntro_, m, m, width - 2 * m, label);
  place(repairMessage_, m, m + label + Scale(4), width - 2 * m, 2 * label);
  const int buttonHeight = Scale(26), buttonWidth = Scale(170);
  const int textTop = m + 3 * label + Scale(8);
  place(repairText_, m, textTop, width - 2 * m, height - textTop - buttonHeight - 2 * m);
  place(repairContinue_, width - m - buttonWidth, height - m - buttonHeight, buttonWidth,
        buttonHeight);
}

void Win32EditorWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  ApplyFonts();
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
}

void Win32EditorWindow::ShowPage(bool repairing) {
  const std::vector<HWND> tables = {antennaLabel_,      antenna_,          tree_.Window(),
                                    filterLabel_,       filterName_,       filterSatellite_,
                                    filterKind_,        filterFavourites_, filterTransponder_,
                                    services_.Window(), historyLabel_,     history_};
  const std::vector<HWND> text = {repairIntro_, repairMessage_, repairText_, repairContinue_};
  // The page that goes is hidden before the one that comes is shown.
  for (HWND control : repairing ? tables : text) ::ShowWindow(control, SW_HIDE);
  for (HWND control : repairing ? text : tables) ::ShowWindow(control, SW_SHOW);
}

bool Win32EditorWindow::PreTranslate(MSG& message) {
  if (window_ == nullptr || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) {
    return false;
  }
  if (!FocusKeepsKey(message) &&
      ::TranslateAcceleratorW(window_, accelerators_.get(), &message) != 0) {
    return true;
  }
  // The list view's edit of a name takes Enter and Esc itself.
  if (ListView_GetEditControl(services_.Window()) != nullptr) return false;
  return ::IsDialogMessageW(window_, &message) != 0;
}

LRESULT CALLBACK Win32EditorWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  auto* self = reinterpret_cast<Win32EditorWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT Win32EditorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {Scale(760), Scale(420)};
      return 0;
    }
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(wParam) == recentMenu_) RebuildRecentMenu();
      return 0;
    case kFinishRename:
      FinishRename();
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        ::ReleaseCapture();
        POINT where{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::MapWindowPoints(window_, services_.Window(), &where, 1);
        Drop(where);
      }
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_CLOSE:
      if (logic_->CanClose()) ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      logic_->SetChangeObserver(nullptr);
      shell_->SetOwner(nullptr);
      ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      return 0;
    default:
      return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

LRESULT Win32EditorWindow::OnNotify(NMHDR& header) {
  if (header.idFrom == IDC_MAIN_SERVICES) {
    switch (header.code) {
      case LVN_GETDISPINFOW:
        services_.FillCell(reinterpret_cast<NMLVDISPINFOW&>(header));
        return 0;
      case LVN_BEGINLABELEDITW:
        return filling_ || logic_->list() == nullptr ? TRUE : FALSE;
      case LVN_ENDLABELEDITW: {
        const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if (item.pszText != nullptr) {
          // Applied after the edit has closed, as a refusal shows a box.
          renamed_ = services_.IdAt(item.iItem);
          renamedText_ = item.pszText;
          ::PostMessageW(window_, kFinishRename, 0, 0);
        }
        return FALSE;  // the list shows the model's name
      }
      case LVN_COLUMNCLICK: {
        const auto sort = SortOfColumn(ColumnAt(reinterpret_cast<NMLISTVIEW&>(header).iSubItem));
        if (sort && logic_->list() != nullptr) {
          OnServices([&](const auto&) { logic_->SortServices(*sort); });
        }
        return 0;
      }
      case LVN_BEGINDRAG:
        if (logic_->list() != nullptr && !filling_) {
          dragging_ = true;
          ::SetCapture(window_);
        }
        return 0;
      case NM_DBLCLK:
        Rename();
        return 0;
      default:
        return 0;
    }
  }
  if (header.idFrom == IDC_MAIN_TREE) {
    switch (header.code) {
      case TVN_SELCHANGEDW:
        if (!filling_ && ::IsDlgButtonChecked(window_, IDC_MAIN_FILTER_TRANSPONDER) == BST_CHECKED)
          ApplyFilter();
        return 0;
      case NM_DBLCLK:
        ChangeRecord();
        return 1;
      default:
        return 0;
    }
  }
  return 0;
}

// --- Following the logic ---------------------------------------------------------

void Win32EditorWindow::OnDocumentReplaced() {
  if (window_ == nullptr) return;
  logic_->SetChangeObserver([this](const channels::ListChange& change) { OnChange(change); });
  filling_ = true;
  if (logic_->document().repairing()) {
    ShowPage(true);
    ::SetWindowTextW(repairText_, WithCrLf(logic_->document().repair().text).c_str());
    filling_ = false;
    OnRepairTextChanged();
    ShowRepairLine();
    ::SetFocus(repairText_);
  } else {
    ShowPage(false);
    ::SendMessageW(antenna_, CB_RESETCONTENT, 0, 0);
    std::vector<AntennaChoice> choices = AntennaChoices();
    const int antenna = logic_->list()->antenna_config();
    if (std::none_of(choices.begin(), choices.end(),
                     [&](const AntennaChoice& choice) { return choice.value == antenna; })) {
      choices.push_back({antenna, AntennaText(antenna)});
    }
    for (const AntennaChoice& choice : choices) {
      const LRESULT index = ::SendMessageW(antenna_, CB_ADDSTRING, 0,
                                           reinterpret_cast<LPARAM>(ListWide(choice.text).c_str()));
      ::SendMessageW(antenna_, CB_SETITEMDATA, index, static_cast<LPARAM>(choice.value));
      if (choice.value == antenna) ::SendMessageW(antenna_, CB_SETCURSEL, index, 0);
    }
    RebuildSatelliteFilter();
    TreeView_DeleteAllItems(tree_.Window());
    RebuildTree();
    filling_ = false;
    ApplyFilter();
    ::SetFocus(services_.Window());
    services_.SetCurrentRow(0);
  }
  Refresh();
}

void Win32EditorWindow::OnChange(const channels::ListChange& change) {
  using Kind = channels::TableChange::Kind;
  filling_ = true;
  if (change.satellites.kind != Kind::kNone || change.transponders.kind != Kind::kNone) {
    RebuildSatelliteFilter();
    RebuildTree();
  } else if (change.services.kind != Kind::kNone &&
             logic_->list()->services().size() != serviceCount_) {
    RebuildTree();  // the counts of the tree
  }
  if (change.antenna_config) {
    const int antenna = logic_->list()->antenna_config();
    const int count = static_cast<int>(::SendMessageW(antenna_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      if (::SendMessageW(antenna_, CB_GETITEMDATA, i, 0) == antenna)
        ::SendMessageW(antenna_, CB_SETCURSEL, i, 0);
    }
  }
  filling_ = false;
  ApplyFilter();
}

void Win32EditorWindow::Refresh() {
  if (window_ == nullptr) return;
  ::SetWindowTextW(window_, app::Widen(logic_->Title()).c_str());
  ::SetWindowTextW(status_, ListWide(logic_->Status(services_.RowCount())).c_str());
  const HMENU menu = ::GetMenu(window_);
  const channels::ChannelEditor* editor = logic_->document().editor();
  const std::wstring undo = editor != nullptr && editor->CanUndo()
                                ? L"&Undo " + ListWide(editor->UndoDescription()) + L"\tCtrl+Z"
                                : std::wstring(L"&Undo\tCtrl+Z");
  const std::wstring redo = editor != nullptr && editor->CanRedo()
                                ? L"&Redo " + ListWide(editor->RedoDescription()) + L"\tCtrl+Y"
                                : std::wstring(L"&Redo\tCtrl+Y");
  ::ModifyMenuW(menu, IDM_UNDO, MF_BYCOMMAND | MF_STRING, IDM_UNDO, undo.c_str());
  ::ModifyMenuW(menu, IDM_REDO, MF_BYCOMMAND | MF_STRING, IDM_REDO, redo.c_str());
  ::EnableMenuItem(
      menu, IDM_UNDO,
      MF_BYCOMMAND | (editor != nullptr && editor->CanUndo() ? MF_ENABLED : MF_GRAYED));
  ::EnableMenuItem(
      menu, IDM_REDO,
      MF_BYCOMMAND | (editor != nullptr && editor->CanRedo() ? MF_ENABLED : MF_GRAYED));
  const bool tables = editor != nullptr;
  for (int id = IDM_NEW; id < IDM_RECENT_FIRST; ++id) {
    if (NeedsTables(id))
      ::EnableMenuItem(menu, static_cast<UINT>(id),
                       MF_BYCOMMAND | (tables ? MF_ENABLED : MF_GRAYED));
  }
  ::DrawMenuBar(window_);
  ::EnableWindow(repairContinue_,
                 logic_->document().repairing() && logic_->document().repair().reads());
  RebuildHistory();
}

void Win32EditorWindow::RebuildRecentMenu() {
  while (::GetMenuItemCount(recentMenu_) > 0) ::DeleteMenu(recentMenu_, 0, MF_BYPOSITION);
  recentShown_ = logic_->RecentFiles();
  int number = 1;
  for (const std::string& path : recentShown_) {
    const std::wstring name = app::Widen(path);
    const size_t slash = name.find_last_of(L"\\/");
    const std::wstring text = L"&" + std::to_wstring(number) + L" " +
                              (slash == std::wstring::npos ? name : name.substr(slash + 1));
    ::AppendMenuW(recentMenu_, MF_STRING, static_cast<UINT_PTR>(IDM_RECENT_FIRST + number - 1),
                  text.c_str());
    ++number;
  }
  if (recentShown_.empty()) ::AppendMenuW(recentMenu_, MF_STRING | MF_GRAYED, 0, L"(none)");
}

void Win32EditorWindow::RebuildHistory() {
  const std::vector<std::string> steps = logic_->History();
  const int done = static_cast<int>(logic_->UndoDepth());
  ::SendMessageW(history_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(history_, LB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < steps.size(); ++i) {
    // The steps that are undone (and could be redone) are marked.
    const std::wstring text =
        (static_cast<int>(i) < done ? L"" : L"(undone) ") + ListWide(steps[i]);
    ::SendMessageW(history_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (done > 0) ::SendMessageW(history_, LB_SETCURSEL, static_cast<WPARAM>(done - 1), 0);
  ::SendMessageW(history_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(history_, nullptr, TRUE);
}

void Win32EditorWindow::RebuildSatelliteFilter() {
  const LRESULT index = ::SendMessageW(filterSatellite_, CB_GETCURSEL, 0, 0);
  const LRESULT current =
      index >= 0 ? ::SendMessageW(filterSatellite_, CB_GETITEMDATA, index, 0) : 0;
  ::SendMessageW(filterSatellite_, CB_RESETCONTENT, 0, 0);
  ::SendMessageW(filterSatellite_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"All satellites"));
  ::SendMessageW(filterSatellite_, CB_SETITEMDATA, 0, 0);
  ::SendMessageW(filterSatellite_, CB_SETCURSEL, 0, 0);
  for (const channels::Satellite& satellite : logic_->list()->satellites()) {
    const LRESULT item =
        ::SendMessageW(filterSatellite_, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(ListWide(satellite.name()).c_str()));
    ::SendMessageW(filterSatellite_, CB_SETITEMDATA, item,
                   static_cast<LPARAM>(satellite.id().value));
    if (static_cast<LRESULT>(satellite.id().value) == current)
      ::SendMessageW(filterSatellite_, CB_SETCURSEL, item, 0);
  }
}

void Win32EditorWindow::RebuildTree() {
  const bool wasFilling = filling_;
  filling_ = true;
  tree_.Show(*logic_->list());
  serviceCount_ = logic_->list()->services().size();
  filling_ = wasFilling;
}

void Win32EditorWindow::ApplyFilter() {
  if (filling_ || logic_->list() == nullptr) return;
  ServiceFilter filter;
  filter.name = ListBytes(WideText(filterName_));
  const LRESULT satellite = ::SendMessageW(filterSatellite_, CB_GETCURSEL, 0, 0);
  if (satellite > 0) {
    filter.satellite = SatelliteId{
        static_cast<uint32_t>(::SendMessageW(filterSatellite_, CB_GETITEMDATA, satellite, 0))};
  }
  filter.kind = static_cast<ServiceFilter::Kind>(
      std::max<LRESULT>(0, ::SendMessageW(filterKind_, CB_GETCURSEL, 0, 0)));
  filter.favourites_only = ::IsDlgButtonChecked(window_, IDC_MAIN_FILTER_FAVOURITES) == BST_CHECKED;
  if (::IsDlgButtonChecked(window_, IDC_MAIN_FILTER_TRANSPONDER) == BST_CHECKED) {
    const std::vector<TransponderId> transponders = tree_.SelectedTransponders();
    // No transponder selected shows none rather than all.
    filter.transponder = transponders.empty() ? TransponderId{0xFFFFFFFFu} : transponders.front();
  }
  services_.Show(logic_->list(), filter);
  ::SetWindowTextW(status_, ListWide(logic_->Status(services_.RowCount())).c_str());
}

void Win32EditorWindow::OnRepairTextChanged() {
  if (filling_ || !logic_->document().repairing()) return;
  const TextRepair& repair = logic_->CheckRepair(ListBytes(WideText(repairText_)));
  // The reader's message names the line itself.
  std::string message = repair.reads() ? "The text reads. Go on into the tables." : repair.message;
  const size_t first = message.find_first_not_of(" \r\n");
  const size_t last = message.find_last_not_of(" \r\n");
  message = first == std::string::npos ? "" : message.substr(first, last - first + 1);
  ::SetWindowTextW(repairMessage_, ListWide(message).c_str());
  Refresh();
}

void Win32EditorWindow::ShowRepairLine() {
  // The reader's line selected, so that it stands out, and scrolled to.
  const int line = std::max(0, logic_->document().repair().line - 1);
  const LRESULT start = ::SendMessageW(repairText_, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  if (start < 0) return;
  const LRESULT length = ::SendMessageW(repairText_, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  ::SendMessageW(repairText_, EM_SETSEL, static_cast<WPARAM>(start),
                 static_cast<LPARAM>(start + length));
  ::SendMessageW(repairText_, EM_SCROLLCARET, 0, 0);
}

}  // namespace tavlink::editor
