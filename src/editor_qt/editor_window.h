#pragma once
// An editor window: the satellites with their transponders (a tree) and the
// antenna configuration on the left, the filter and the services table on
// the right, the history as a side pane, the counts in the status bar; a
// text the reader refused takes the window's place, at the reader's line,
// until it reads. Every command is a menu action with its keys, and runs
// through EditorLogic; the window only shows.
//
// Keys: Ctrl+Up/Down move, Ctrl+Home/End to the top or bottom, Del
// deletes, F2 renames (or changes the satellite or transponder), Space
// toggles the favourite, Ctrl+F goes to the filter, Ctrl+Z/Ctrl+Y undo and
// redo, Tab goes from pane to pane. Moves and deletes act on the pane that
// has the focus.
//
// Threading: user-interface thread only.

#include <QMainWindow>
#include <memory>
#include <vector>

#include "editor/editor_logic.h"
#include "editor_qt/qt_editor_shell.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavlink::editor {

class ServiceTableModel;

class EditorWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // `store` holds the settings every window shares; `document` is what the
  // window opens with (an untitled list when null).
  explicit EditorWindow(std::shared_ptr<SettingStore> store,
                        std::unique_ptr<EditorDocument> document = nullptr,
                        app::DeviceLister listDevices = ListSerialDevices);
  ~EditorWindow() override;

  EditorLogic& Logic() { return *logic_; }
  // The window's parts, for tests and the screenshot tour.
  QTableView* ServicesView() const { return table_; }
  ServiceTableModel& Services() const { return *model_; }
  QTreeWidget* Tree() const { return tree_; }
  QPlainTextEdit* RepairText() const { return repairText_; }
  QLabel* RepairMessage() const { return repairMessage_; }
  QLineEdit* FilterBox() const { return filterName_; }
  QListWidget* HistoryList() const { return history_; }
  // The action named `name` ("save", "moveUp", ...); nullptr when none.
  QAction* Action(const QString& name) const;

  // The services selected in the table, in list order.
  std::vector<channels::ServiceId> SelectedServices() const;
  void SelectServices(const std::vector<channels::ServiceId>& ids,
                      channels::ServiceId current = {});

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* AddAction(QMenu* menu, const QString& name, const QString& text,
                     const QKeySequence& keys, void (EditorWindow::*slot)());
  void BuildMenus();
  QWidget* BuildTablesPage();
  QWidget* BuildRepairPage();

  void OnDocumentReplaced();
  void OnChange(const channels::ListChange& change);
  void Refresh();
  void RebuildTree();
  void RebuildSatelliteFilter();
  void RebuildRecentMenu();
  void RebuildHistory();
  void ApplyFilter();
  void OnRepairTextChanged();
  void ShowRepairLine();

  bool TreeHasFocus() const;
  std::vector<channels::SatelliteId> SelectedSatellites() const;
  std::vector<channels::TransponderId> SelectedTransponders() const;
  channels::SatelliteId CurrentSatellite() const;
  // Runs an edit of the selected services and selects them again.
  void OnServices(const std::function<void(const std::vector<channels::ServiceId>&)>& edit);
  void Move(channels::MoveTo to);

  // File.
  void New() {
    logic_->New();
    Refresh();
  }
  void Open() {
    logic_->Open();
    Refresh();
  }
  void Save() {
    logic_->Save();
    Refresh();
  }
  void SaveAs() {
    logic_->SaveAs();
    Refresh();
  }
  void ExportBlock() {
    logic_->ExportBlockImage();
    Refresh();
  }
  void Compare() { logic_->CompareWith(); }
  void ReadReceiver() {
    logic_->ReadFromReceiver();
    Refresh();
  }
  void WriteReceiver() {
    logic_->WriteToReceiver();
    Refresh();
  }
  void Ports() { logic_->PortSettings(); }
  void Quit() { close(); }
  // Edit.
  void Undo() {
    logic_->Undo();
    Refresh();
  }
  void Redo() {
    logic_->Redo();
    Refresh();
  }
  void Cut();
  void Copy();
  void Paste();
  void Delete();
  void Rename();
  void FocusFilter();
  // Services.
  void MoveUp() { Move(channels::MoveTo::Up()); }
  void MoveDown() { Move(channels::MoveTo::Down()); }
  void MoveTop() { Move(channels::MoveTo::Top()); }
  void MoveBottom() { Move(channels::MoveTo::Bottom()); }
  void MoveToPosition();
  void SortByName() { Sort(channels::ServiceSort::kByName); }
  void SortById() { Sort(channels::ServiceSort::kByServiceId); }
  void SortBySatellite() { Sort(channels::ServiceSort::kBySatelliteAndFrequency); }
  void SortTvFirst() { Sort(channels::ServiceSort::kTvBeforeRadio); }
  void Sort(channels::ServiceSort sort);
  void ApplyOrder();
  void ToggleFavourite() { Toggle(channels::ServiceFlag::kFavorite); }
  void ToggleLock() { Toggle(channels::ServiceFlag::kLock); }
  void ToggleScrambled() { Toggle(channels::ServiceFlag::kScramble); }
  void Toggle(channels::ServiceFlag flag);
  void RemoveSameService() { RemoveDuplicates(channels::DuplicateKind::kSameServiceOnTransponder); }
  void RemoveSameName() { RemoveDuplicates(channels::DuplicateKind::kSameName); }
  void RemoveDuplicates(channels::DuplicateKind kind);
  // Satellites.
  void AddSatellite();
  void AddTransponder();
  void ChangeRecord();
  void MoveToSatellite();
  void ContinueRepair();

  std::shared_ptr<SettingStore> store_;
  app::DeviceLister listDevices_;
  std::unique_ptr<QtEditorShell> shell_;
  std::unique_ptr<EditorLogic> logic_;
  ServiceTableModel* model_ = nullptr;

  QStackedWidget* pages_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QComboBox* antenna_ = nullptr;
  QLineEdit* filterName_ = nullptr;
  QComboBox* filterSatellite_ = nullptr;
  QComboBox* filterKind_ = nullptr;
  QCheckBox* filterFavourites_ = nullptr;
  QCheckBox* filterTransponder_ = nullptr;
  QTableView* table_ = nullptr;
  QListWidget* history_ = nullptr;
  QPlainTextEdit* repairText_ = nullptr;
  QLabel* repairMessage_ = nullptr;
  QPushButton* repairContinue_ = nullptr;
  QLabel* status_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  bool filling_ = false;  // the window sets its own widgets: no commands
};

}  // namespace tavlink::editor
