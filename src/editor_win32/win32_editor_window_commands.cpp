// The commands of an editor window on Win32: the menu's, the keys', and
// what the controls report.
#include <algorithm>

#include "editor/editor_texts.h"
#include "editor_win32/editor_ids.h"
#include "editor_win32/win32_editor_window.h"
#include "editor_win32/win32_list_text.h"

namespace tavlink::editor {

using channels::SatelliteId;
using channels::ServiceId;
using channels::TransponderId;

void Win32EditorWindow::OnCommand(int id, int code) {
  if (filling_) return;
  if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + static_cast<int>(kRecentFileCount)) {
    const size_t index = static_cast<size_t>(id - IDM_RECENT_FIRST);
    if (index < recentShown_.size()) {
      const std::string path = recentShown_[index];
      logic_->OpenRecent(path);
      Refresh();
    }
    return;
  }
  // A command that works on the tables does nothing while a text is mended
  // (its key reaches here even though its entry is greyed).
  if (NeedsTables(id) && logic_->list() == nullptr) return;
  auto run = [this](auto command) {
    command();
    Refresh();
  };
  switch (id) {
    case IDM_NEW:
      return run([&] { logic_->New(); });
    case IDM_OPEN:
      return run([&] { logic_->Open(); });
    case IDM_SAVE:
      return run([&] { logic_->Save(); });
    case IDM_SAVE_AS:
      return run([&] { logic_->SaveAs(); });
    case IDM_EXPORT_BLOCK:
      return run([&] { logic_->ExportBlockImage(); });
    case IDM_COMPARE:
      return logic_->CompareWith();
    case IDM_READ_RECEIVER:
      return run([&] { logic_->ReadFromReceiver(); });
    case IDM_WRITE_RECEIVER:
      return run([&] { logic_->WriteToReceiver(); });
    case IDM_PORTS:
      return logic_->PortSettings();
    case IDM_QUIT:
      ::PostMessageW(window_, WM_CLOSE, 0, 0);
      return;
    case IDM_UNDO:
      return run([&] { logic_->Undo(); });
    case IDM_REDO:
      return run([&] { logic_->Redo(); });
    case IDM_CUT:
      return Cut();
    case IDM_COPY:
      return logic_->CopyServices(services_.Selected());
    case IDM_PASTE:
      return Paste();
    case IDM_DELETE:
      return Delete();
    case IDM_RENAME:
      return Rename();
    case IDM_FILTER:
      ::SetFocus(filterName_);
      ::SendMessageW(filterName_, EM_SETSEL, 0, -1);
      return;
    case IDM_MOVE_UP:
      return Move(channels::MoveTo::Up());
    case IDM_MOVE_DOWN:
      return Move(channels::MoveTo::Down());
    case IDM_MOVE_TOP:
      return Move(channels::MoveTo::Top());
    case IDM_MOVE_BOTTOM:
      return Move(channels::MoveTo::Bottom());
    case IDM_MOVE_POSITION:
      return OnServices([&](const auto& ids) { logic_->MoveServicesToPosition(ids); });
    case IDM_SORT_NAME:
      return OnServices([&](const auto&) { logic_->SortServices(channels::ServiceSort::kByName); });
    case IDM_SORT_ID:
      return OnServices(
          [&](const auto&) { logic_->SortServices(channels::ServiceSort::kByServiceId); });
    case IDM_SORT_SATELLITE:
      return OnServices([&](const auto&) {
        logic_->SortServices(channels::ServiceSort::kBySatelliteAndFrequency);
      });
    case IDM_SORT_TV:
      return OnServices(
          [&](const auto&) { logic_->SortServices(channels::ServiceSort::kTvBeforeRadio); });
    case IDM_APPLY_ORDER:
      return OnServices([&](const auto&) { logic_->ApplyOrderFrom(); });
    case IDM_FAVOURITE:
      return OnServices(
          [&](const auto& ids) { logic_->ToggleFlag(ids, channels::ServiceFlag::kFavorite); });
    case IDM_LOCK:
      return OnServices(
          [&](const auto& ids) { logic_->ToggleFlag(ids, channels::ServiceFlag::kLock); });
    case IDM_SCRAMBLED:
      return OnServices(
          [&](const auto& ids) { logic_->ToggleFlag(ids, channels::ServiceFlag::kScramble); });
    case IDM_DUPLICATES_SERVICE:
      return OnServices([&](const auto&) {
        logic_->RemoveDuplicates(channels::DuplicateKind::kSameServiceOnTransponder);
      });
    case IDM_DUPLICATES_NAME:
      return OnServices(
          [&](const auto&) { logic_->RemoveDuplicates(channels::DuplicateKind::kSameName); });
    case IDM_ADD_SATELLITE:
      return run(
          [&] { logic_->AddSatellite(static_cast<int>(logic_->list()->satellites().size())); });
    case IDM_ADD_TRANSPONDER:
      return AddTransponder();
    case IDM_CHANGE:
      return ChangeRecord();
    case IDM_MOVE_TO_SATELLITE:
      return run([&] { logic_->MoveTranspondersToSatellite(tree_.SelectedTransponders()); });

    // The controls.
    case IDOK:  // Enter outside a control that takes it
      if (::GetFocus() == history_) {
        const LRESULT index = ::SendMessageW(history_, LB_GETCURSEL, 0, 0);
        if (index >= 0) run([&] { logic_->GoToHistory(static_cast<size_t>(index) + 1); });
      } else if (::GetFocus() == tree_.Window()) {
        ChangeRecord();
      }
      return;
    case IDC_MAIN_HISTORY:
      if (code == LBN_DBLCLK) {
        const LRESULT index = ::SendMessageW(history_, LB_GETCURSEL, 0, 0);
        if (index >= 0) run([&] { logic_->GoToHistory(static_cast<size_t>(index) + 1); });
      }
      return;
    case IDC_MAIN_ANTENNA:
      if (code == CBN_SELCHANGE) {
        const LRESULT index = ::SendMessageW(antenna_, CB_GETCURSEL, 0, 0);
        const auto value = static_cast<int>(::SendMessageW(antenna_, CB_GETITEMDATA, index, 0));
        run([&] { logic_->SetAntennaConfig(value); });
      }
      return;
    case IDC_MAIN_FILTER:
      if (code == EN_CHANGE) ApplyFilter();
      return;
    case IDC_MAIN_FILTER_SATELLITE:
    case IDC_MAIN_FILTER_KIND:
      if (code == CBN_SELCHANGE) ApplyFilter();
      return;
    case IDC_MAIN_FILTER_FAVOURITES:
    case IDC_MAIN_FILTER_TRANSPONDER:
      if (code == BN_CLICKED) ApplyFilter();
      return;
    case IDC_MAIN_REPAIR_TEXT:
      if (code == EN_CHANGE) OnRepairTextChanged();
      return;
    case IDC_MAIN_REPAIR_CONTINUE:
      if (code == BN_CLICKED) run([&] { logic_->ContinueWithRepair(); });
      return;
    default:
      return;
  }
}

// --- Selections ------------------------------------------------------------------

bool Win32EditorWindow::TreeHasFocus() const {
  return ::GetFocus() == tree_.Window();
}

void Win32EditorWindow::OnServices(const std::function<void(const std::vector<ServiceId>&)>& edit) {
  const std::vector<ServiceId> ids = services_.Selected();
  const ServiceId current = services_.IdAt(services_.CurrentRow());
  edit(ids);
  services_.Select(ids, current);
  Refresh();
}

// --- Commands ---------------------------------------------------------------------

void Win32EditorWindow::Move(channels::MoveTo to) {
  if (TreeHasFocus()) {
    const auto transponders = tree_.SelectedTransponders();
    if (!transponders.empty()) {
      logic_->MoveTransponders(transponders, to);
    } else {
      logic_->MoveSatellites(tree_.SelectedSatellites(), to);
    }
    Refresh();
    return;
  }
  OnServices([&](const std::vector<ServiceId>& ids) { logic_->MoveServices(ids, to); });
}

void Win32EditorWindow::Delete() {
  if (TreeHasFocus()) {
    const auto satellites = tree_.SelectedSatellites();
    const auto transponders = tree_.SelectedTransponders();
    if (!satellites.empty()) {
      logic_->DeleteSatellites(satellites);
    } else if (!transponders.empty()) {
      logic_->DeleteTransponders(transponders);
    }
    Refresh();
    return;
  }
  const int row = services_.CurrentRow();
  logic_->DeleteServices(services_.Selected());
  if (services_.RowCount() > 0)
    services_.SetCurrentRow(std::min(std::max(row, 0), services_.RowCount() - 1));
  Refresh();
}

void Win32EditorWindow::Cut() {
  const int row = services_.CurrentRow();
  logic_->CutServices(services_.Selected());
  if (services_.RowCount() > 0)
    services_.SetCurrentRow(std::min(std::max(row, 0), services_.RowCount() - 1));
  Refresh();
}

void Win32EditorWindow::Paste() {
  // Before the current row, or at the end.
  const int row = services_.CurrentRow();
  const int position = services_.PositionAt(row < 0 ? services_.RowCount() : row);
  services_.Select(logic_->Paste(position));
  Refresh();
}

void Win32EditorWindow::Rename() {
  if (TreeHasFocus()) {
    ChangeRecord();
    return;
  }
  const int row = services_.CurrentRow();
  if (row < 0) return;
  ::SetFocus(services_.Window());
  ::SendMessageW(services_.Window(), LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
}

void Win32EditorWindow::FinishRename() {
  if (!renamed_.valid() || logic_->list() == nullptr) return;
  const ServiceId id = renamed_;
  renamed_ = {};
  const std::string text = ListBytes(renamedText_);
  const int position = logic_->list()->PositionOf(id);
  if (position >= 0 && ServiceCellText(*logic_->list(), position, ServiceColumn::kName) == text)
    return;
  logic_->EditCell(id, ServiceColumn::kName, text);
  services_.Select({id}, id);
  Refresh();
}

void Win32EditorWindow::AddTransponder() {
  SatelliteId satellite = tree_.CurrentSatellite();
  if (!satellite.valid() && !logic_->list()->satellites().empty()) {
    satellite = logic_->list()->satellites().front().id();
  }
  if (!satellite.valid()) {
    shell_->ShowMessage("Add a satellite first: a transponder belongs to a satellite.");
    return;
  }
  logic_->AddTransponder(satellite, kMaxTransponders);
  Refresh();
}

void Win32EditorWindow::ChangeRecord() {
  if (logic_->list() == nullptr) return;
  const auto satellites = tree_.SelectedSatellites();
  const auto transponders = tree_.SelectedTransponders();
  if (!satellites.empty()) {
    logic_->ChangeSatellite(satellites.front());
  } else if (!transponders.empty()) {
    logic_->ChangeTransponder(transponders.front());
  }
  Refresh();
}

void Win32EditorWindow::Drop(POINT where) {
  if (logic_->list() == nullptr) return;
  LVHITTESTINFO hit{};
  hit.pt = where;
  int row = ListView_HitTest(services_.Window(), &hit);
  RECT client;
  ::GetClientRect(services_.Window(), &client);
  if (!::PtInRect(&client, where)) return;  // dropped outside the list
  if (row < 0) row = services_.RowCount();  // below the last row: to the end
  const int target = services_.PositionAt(row);
  const std::vector<ServiceId> ids = services_.Selected();
  // The first selected row's position after the move: the target less the
  // moved rows above it.
  int above = 0;
  for (ServiceId id : ids) {
    if (logic_->list()->PositionOf(id) < target) ++above;
  }
  OnServices([&](const std::vector<ServiceId>& selected) {
    logic_->MoveServices(selected, channels::MoveTo::ToPosition(std::max(0, target - above)));
  });
}

}  // namespace tavlink::editor
