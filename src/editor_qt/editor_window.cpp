#include "editor_qt/editor_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTextBlock>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "editor/editor_texts.h"
#include "editor/record_forms.h"
#include "editor_qt/editor_dialogs.h"
#include "editor_qt/service_table_model.h"
#include "qt_widgets/qt_resources.h"

namespace tavlink::editor {

using channels::SatelliteId;
using channels::ServiceId;
using channels::TransponderId;

namespace {

// What a tree item is: its kind in column 0's user data, its identity next.
constexpr int kKindRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kSatelliteItem = 1;
constexpr int kTransponderItem = 2;

}  // namespace

EditorWindow::EditorWindow(std::shared_ptr<SettingStore> store,
                           std::unique_ptr<EditorDocument> document, app::DeviceLister listDevices)
    : store_(std::move(store)), listDevices_(std::move(listDevices)) {
  app::InitResources();
  setWindowIcon(app::AppIcon());
  QtEditorShell::Hooks hooks;
  hooks.documentReplaced = [this] { OnDocumentReplaced(); };
  hooks.openWindow = [this](std::unique_ptr<EditorDocument> read) {
    auto* window = new EditorWindow(store_, std::move(read), listDevices_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
  };
  shell_ = std::make_unique<QtEditorShell>(this, store_, listDevices_, std::move(hooks));
  logic_ = document ? std::make_unique<EditorLogic>(*shell_, std::move(document))
                    : std::make_unique<EditorLogic>(*shell_);
  model_ = new ServiceTableModel(*logic_, this);

  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildTablesPage());
  pages_->addWidget(BuildRepairPage());
  setCentralWidget(pages_);

  connect(history_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    logic_->GoToHistory(static_cast<size_t>(history_->row(item)) + 1);
    Refresh();
  });

  status_ = new QLabel(this);
  statusBar()->addWidget(status_, 1);
  BuildMenus();
  resize(1280, 760);
  OnDocumentReplaced();
}

EditorWindow::~EditorWindow() {
  logic_->SetChangeObserver(nullptr);
}

QWidget* EditorWindow::BuildTablesPage() {
  auto* splitter = new QSplitter(this);

  auto* left = new QWidget(splitter);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  auto* antennaRow = new QHBoxLayout;
  auto* antennaLabel = new QLabel("&Antenna configuration:", left);
  antenna_ = new QComboBox(left);
  antenna_->setObjectName("antenna");
  antennaLabel->setBuddy(antenna_);
  antennaRow->addWidget(antennaLabel);
  antennaRow->addWidget(antenna_, 1);
  leftLayout->addLayout(antennaRow);
  connect(antenna_, &QComboBox::activated, this, [this](int index) {
    if (filling_) return;
    logic_->SetAntennaConfig(antenna_->itemData(index).toInt());
    Refresh();
  });

  tree_ = new QTreeWidget(left);
  tree_->setObjectName("satellites");
  tree_->setColumnCount(kTreeColumnCount);
  QStringList titles;
  for (int column = 0; column < kTreeColumnCount; ++column) titles << TreeColumnTitle(column);
  tree_->setHeaderLabels(titles);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setUniformRowHeights(true);
  tree_->setAllColumnsShowFocus(true);
  auto* historyLabel = new QLabel("&History (Enter goes back to a step):", left);
  history_ = new QListWidget(left);
  history_->setObjectName("history");
  historyLabel->setBuddy(history_);
  auto* leftSplitter = new QSplitter(Qt::Vertical, left);
  leftSplitter->addWidget(tree_);
  auto* historyPane = new QWidget(leftSplitter);
  auto* historyLayout = new QVBoxLayout(historyPane);
  historyLayout->setContentsMargins(0, 4, 0, 0);
  historyLayout->addWidget(historyLabel);
  historyLayout->addWidget(history_, 1);
  leftSplitter->addWidget(historyPane);
  leftSplitter->setStretchFactor(0, 3);
  leftSplitter->setStretchFactor(1, 1);
  leftSplitter->setSizes({480, 160});
  leftLayout->addWidget(leftSplitter, 1);
  connect(tree_, &QTreeWidget::itemActivated, this, [this] { ChangeRecord(); });
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (!filling_ && filterTransponder_->isChecked()) ApplyFilter();
  });

  auto* right = new QWidget(splitter);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  auto* filters = new QHBoxLayout;
  auto* findLabel = new QLabel("&Filter:", right);
  filterName_ = new QLineEdit(right);
  filterName_->setObjectName("filterName");
  filterName_->setPlaceholderText("part of the name");
  filterName_->setClearButtonEnabled(true);
  findLabel->setBuddy(filterName_);
  filterSatellite_ = new QComboBox(right);
  filterSatellite_->setObjectName("filterSatellite");
  filterKind_ = new QComboBox(right);
  filterKind_->setObjectName("filterKind");
  filterKind_->addItems({"TV and radio", "TV", "Radio"});
  filterFavourites_ = new QCheckBox("Fa&vourites", right);
  filterTransponder_ = new QCheckBox("Selected &transponder", right);
  filterTransponder_->setObjectName("filterTransponder");
  filters->addWidget(findLabel);
  filters->addWidget(filterName_, 1);
  filters->addWidget(filterSatellite_);
  filters->addWidget(filterKind_);
  filters->addWidget(filterFavourites_);
  filters->addWidget(filterTransponder_);
  rightLayout->addLayout(filters);
  connect(filterName_, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
  connect(filterSatellite_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) ApplyFilter();
  });
  connect(filterKind_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilter(); });
  connect(filterFavourites_, &QCheckBox::toggled, this, [this] { ApplyFilter(); });
  connect(filterTransponder_, &QCheckBox::toggled, this, [this] { ApplyFilter(); });

  table_ = new QTableView(right);
  table_->setObjectName("services");
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setTabKeyNavigation(false);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  table_->setDragEnabled(true);
  table_->setAcceptDrops(true);
  table_->setDropIndicatorShown(true);
  table_->setDragDropMode(QAbstractItemView::DragDrop);
  table_->setDefaultDropAction(Qt::MoveAction);
  table_->setDragDropOverwriteMode(false);
  table_->verticalHeader()->hide();
  // A fixed row height and fixed columns: a full list answers at once.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->horizontalHeader()->setStretchLastSection(false);
  // Each column as wide as its title or its widest value, in digits.
  const int digit = table_->fontMetrics().horizontalAdvance('0');
  const int digits[kServiceColumnCount] = {4, 13, 5, 10, 8, 5, 4, 4, 4, 4, 0, 0, 0};
  const QFontMetrics header = table_->horizontalHeader()->fontMetrics();
  for (int column = 0; column < kServiceColumnCount; ++column) {
    const QString title = ServiceColumnTitle(static_cast<ServiceColumn>(column));
    table_->setColumnWidth(column,
                           std::max(digits[column] * digit, header.horizontalAdvance(title)) + 18);
  }
  rightLayout->addWidget(table_, 1);
  connect(model_, &ServiceTableModel::ServicesDropped, this,
          [this](const std::vector<ServiceId>& ids) {
            SelectServices(ids, ids.empty() ? ServiceId{} : ids.front());
            Refresh();
          });

  splitter->addWidget(left);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({400, 880});
  setTabOrder(antenna_, tree_);
  setTabOrder(tree_, filterName_);
  setTabOrder(filterName_, filterSatellite_);
  setTabOrder(filterSatellite_, filterKind_);
  setTabOrder(filterKind_, filterFavourites_);
  setTabOrder(filterFavourites_, filterTransponder_);
  setTabOrder(filterTransponder_, table_);
  setTabOrder(table_, history_);
  return splitter;
}

QWidget* EditorWindow::BuildRepairPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* intro = new QLabel(
      "The reader refuses this text. Mend the line below; it is checked again as you type.", page);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  repairMessage_ = new QLabel(page);
  repairMessage_->setObjectName("repairMessage");
  repairMessage_->setTextFormat(Qt::PlainText);
  repairMessage_->setWordWrap(true);
  QFont bold = repairMessage_->font();
  bold.setBold(true);
  repairMessage_->setFont(bold);
  layout->addWidget(repairMessage_);
  repairText_ = new QPlainTextEdit(page);
  repairText_->setObjectName("repairText");
  repairText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  repairText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(repairText_, 1);
  repairContinue_ = new QPushButton("&Go on into the tables", page);
  repairContinue_->setObjectName("repairContinue");
  layout->addWidget(repairContinue_, 0, Qt::AlignRight);
  connect(repairText_, &QPlainTextEdit::textChanged, this, [this] {
    if (!filling_) OnRepairTextChanged();
  });
  connect(repairContinue_, &QPushButton::clicked, this, [this] { ContinueRepair(); });
  return page;
}

QAction* EditorWindow::AddAction(QMenu* menu, const QString& name, const QString& text,
                                 const QKeySequence& keys, void (EditorWindow::*slot)()) {
  QAction* action = menu->addAction(text);
  action->setObjectName(name);
  if (!keys.isEmpty()) action->setShortcut(keys);
  connect(action, &QAction::triggered, this, slot);
  return action;
}

void EditorWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  AddAction(file, "new", "&New", QKeySequence::New, &EditorWindow::New);
  AddAction(file, "open", "&Open...", QKeySequence::Open, &EditorWindow::Open);
  recentMenu_ = file->addMenu("Open &Recent");
  recentMenu_->setObjectName("recent");
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] { RebuildRecentMenu(); });
  AddAction(file, "save", "&Save", QKeySequence::Save, &EditorWindow::Save);
  AddAction(file, "saveAs", "Save &As...", QKeySequence("Ctrl+Shift+S"), &EditorWindow::SaveAs);
  AddAction(file, "exportBlock", "&Export Block Image...", {}, &EditorWindow::ExportBlock);
  AddAction(file, "compare", "&Compare With...", {}, &EditorWindow::Compare);
  file->addSeparator();
  AddAction(file, "readReceiver", "Read from &Receiver...", QKeySequence("Ctrl+R"),
            &EditorWindow::ReadReceiver);
  AddAction(file, "writeReceiver", "&Write to Receiver...", QKeySequence("Ctrl+W"),
            &EditorWindow::WriteReceiver);
  AddAction(file, "ports", "&Port Settings...", {}, &EditorWindow::Ports);
  file->addSeparator();
  AddAction(file, "quit", "&Quit", QKeySequence("Ctrl+Q"), &EditorWindow::Quit);

  QMenu* edit = menuBar()->addMenu("&Edit");
  AddAction(edit, "undo", "&Undo", QKeySequence("Ctrl+Z"), &EditorWindow::Undo);
  AddAction(edit, "redo", "&Redo", QKeySequence("Ctrl+Y"), &EditorWindow::Redo);
  edit->addSeparator();
  AddAction(edit, "cut", "Cu&t", QKeySequence::Cut, &EditorWindow::Cut);
  AddAction(edit, "copy", "&Copy", QKeySequence::Copy, &EditorWindow::Copy);
  AddAction(edit, "paste", "&Paste", QKeySequence::Paste, &EditorWindow::Paste);
  AddAction(edit, "delete", "&Delete", QKeySequence::Delete, &EditorWindow::Delete);
  AddAction(edit, "rename", "Re&name / Change...", QKeySequence("F2"), &EditorWindow::Rename);
  edit->addSeparator();
  AddAction(edit, "filter", "&Filter", QKeySequence::Find, &EditorWindow::FocusFilter);

  QMenu* services = menuBar()->addMenu("&Services");
  AddAction(services, "moveUp", "Move &Up", QKeySequence("Ctrl+Up"), &EditorWindow::MoveUp);
  AddAction(services, "moveDown", "Move &Down", QKeySequence("Ctrl+Down"), &EditorWindow::MoveDown);
  AddAction(services, "moveTop", "Move to &Top", QKeySequence("Ctrl+Home"), &EditorWindow::MoveTop);
  AddAction(services, "moveBottom", "Move to &Bottom", QKeySequence("Ctrl+End"),
            &EditorWindow::MoveBottom);
  AddAction(services, "movePosition", "Move To &Position...", QKeySequence("Ctrl+G"),
            &EditorWindow::MoveToPosition);
  QMenu* sort = services->addMenu("&Sort By");
  AddAction(sort, "sortName", "&Name", {}, &EditorWindow::SortByName);
  AddAction(sort, "sortId", "Service &ID", {}, &EditorWindow::SortById);
  AddAction(sort, "sortSatellite", "&Satellite and Frequency", {}, &EditorWindow::SortBySatellite);
  AddAction(sort, "sortTv", "&TV before Radio", {}, &EditorWindow::SortTvFirst);
  AddAction(services, "applyOrder", "Apply &Order From...", {}, &EditorWindow::ApplyOrder);
  services->addSeparator();
  AddAction(services, "favourite", "&Favourite", QKeySequence("Space"),
            &EditorWindow::ToggleFavourite);
  AddAction(services, "lock", "&Lock", QKeySequence("Ctrl+L"), &EditorWindow::ToggleLock);
  AddAction(services, "scrambled", "S&crambled", QKeySequence("Ctrl+K"),
            &EditorWindow::ToggleScrambled);
  services->addSeparator();
  QMenu* duplicates = services->addMenu("&Remove Duplicates");
  AddAction(duplicates, "duplicatesService", "Same Service on a &Transponder", {},
            &EditorWindow::RemoveSameService);
  AddAction(duplicates, "duplicatesName", "Same &Name", {}, &EditorWindow::RemoveSameName);

  QMenu* satellites = menuBar()->addMenu("S&atellites");
  AddAction(satellites, "addSatellite", "Add &Satellite...", QKeySequence("Ctrl+Shift+A"),
            &EditorWindow::AddSatellite);
  AddAction(satellites, "addTransponder", "Add &Transponder...", QKeySequence("Ctrl+Shift+T"),
            &EditorWindow::AddTransponder);
  AddAction(satellites, "change", "&Change...", QKeySequence("Ctrl+E"),
            &EditorWindow::ChangeRecord);
  AddAction(satellites, "moveToSatellite", "&Move Transponders To Satellite...",
            QKeySequence("Ctrl+M"), &EditorWindow::MoveToSatellite);
  // The keys of these act on the pane that has the focus.
  for (QAction* action : findChildren<QAction*>()) action->setShortcutContext(Qt::WindowShortcut);
}

QAction* EditorWindow::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

// --- Following the logic -------------------------------------------------------

void EditorWindow::OnDocumentReplaced() {
  logic_->SetChangeObserver([this](const channels::ListChange& change) { OnChange(change); });
  filling_ = true;
  if (logic_->document().repairing()) {
    pages_->setCurrentIndex(1);
    repairText_->setPlainText(ListText(logic_->document().repair().text));
    filling_ = false;
    OnRepairTextChanged();
    ShowRepairLine();
    repairText_->setFocus();
  } else {
    pages_->setCurrentIndex(0);
    antenna_->clear();
    for (const AntennaChoice& choice : AntennaChoices()) {
      antenna_->addItem(ListText(choice.text), choice.value);
    }
    const int antenna = logic_->list()->antenna_config();
    if (antenna_->findData(antenna) < 0) antenna_->addItem(ListText(AntennaText(antenna)), antenna);
    antenna_->setCurrentIndex(antenna_->findData(antenna));
    RebuildSatelliteFilter();
    RebuildTree();
    filling_ = false;
    model_->Reload();
    ApplyFilter();
    table_->setFocus();
    if (model_->rowCount() > 0) table_->setCurrentIndex(model_->index(0, 1));
  }
  Refresh();
}

void EditorWindow::OnChange(const channels::ListChange& change) {
  using Kind = channels::TableChange::Kind;
  filling_ = true;
  if (change.satellites.kind != Kind::kNone || change.transponders.kind != Kind::kNone) {
    RebuildSatelliteFilter();
    RebuildTree();
  } else if (change.services.kind != Kind::kNone) {
    // The service counts of the tree.
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
      QTreeWidgetItem* satellite = tree_->topLevelItem(i);
      const channels::Satellite* record =
          logic_->list()->Find(SatelliteId{satellite->data(0, kIdRole).toUInt()});
      if (record == nullptr) continue;
      satellite->setText(2, ListText(SatelliteCellText(*logic_->list(), *record, 2)));
      for (int j = 0; j < satellite->childCount(); ++j) {
        QTreeWidgetItem* item = satellite->child(j);
        const channels::Transponder* transponder =
            logic_->list()->Find(TransponderId{item->data(0, kIdRole).toUInt()});
        if (transponder != nullptr) {
          item->setText(2, ListText(TransponderCellText(*logic_->list(), *transponder, 2)));
        }
      }
    }
  }
  if (change.antenna_config) {
    antenna_->setCurrentIndex(antenna_->findData(logic_->list()->antenna_config()));
  }
  model_->Apply(change);
  filling_ = false;
  Refresh();
}

void EditorWindow::Refresh() {
  setWindowTitle(ListText(logic_->Title()));
  status_->setText(ListText(logic_->Status(model_->rowCount())));
  const channels::ChannelEditor* editor = logic_->document().editor();
  QAction* undo = Action("undo");
  QAction* redo = Action("redo");
  undo->setEnabled(editor != nullptr && editor->CanUndo());
  redo->setEnabled(editor != nullptr && editor->CanRedo());
  undo->setText(editor != nullptr && editor->CanUndo()
                    ? "&Undo " + ListText(editor->UndoDescription())
                    : QString("&Undo"));
  redo->setText(editor != nullptr && editor->CanRedo()
                    ? "&Redo " + ListText(editor->RedoDescription())
                    : QString("&Redo"));
  const bool tables = editor != nullptr;
  for (const char* name : {"save",           "saveAs",          "exportBlock",
                           "compare",        "writeReceiver",   "cut",
                           "copy",           "paste",           "delete",
                           "rename",         "moveUp",          "moveDown",
                           "moveTop",        "moveBottom",      "movePosition",
                           "sortName",       "sortId",          "sortSatellite",
                           "sortTv",         "applyOrder",      "favourite",
                           "lock",           "scrambled",       "duplicatesService",
                           "duplicatesName", "addSatellite",    "addTransponder",
                           "change",         "moveToSatellite", "filter"}) {
    Action(name)->setEnabled(tables);
  }
  RebuildHistory();
}

void EditorWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const std::vector<std::string> recent = logic_->RecentFiles();
  int number = 1;
  for (const std::string& path : recent) {
    const QString shown = QString::fromStdString(path);
    QAction* action =
        recentMenu_->addAction(QString("&%1 %2").arg(number++).arg(QFileInfo(shown).fileName()));
    action->setToolTip(shown);
    connect(action, &QAction::triggered, this, [this, path] {
      logic_->OpenRecent(path);
      Refresh();
    });
  }
  if (recent.empty()) recentMenu_->addAction("(none)")->setEnabled(false);
}

void EditorWindow::RebuildHistory() {
  // Only what changed: an edit adds a step (or drops the oldest), an undo
  // or redo greys or ungreys one; the list may hold a thousand.
  const std::vector<std::string> steps = logic_->History();
  const int done = static_cast<int>(logic_->UndoDepth());
  const int size = static_cast<int>(steps.size());
  int first = 0;  // the first row that no longer shows its step
  while (first < history_->count() && first < size &&
         history_->item(first)->text() == ListText(steps[static_cast<size_t>(first)])) {
    ++first;
  }
  // (A dropped oldest step shifts every row: all are read again.)
  while (history_->count() > first) delete history_->takeItem(history_->count() - 1);
  for (int i = first; i < size; ++i) {
    new QListWidgetItem(ListText(steps[static_cast<size_t>(i)]), history_);
  }
  const QBrush undone(QColor(128, 128, 128));
  for (int i = 0; i < size; ++i) {
    QListWidgetItem* item = history_->item(i);
    const bool greyed = item->data(Qt::ForegroundRole).isValid();
    if (greyed != (i >= done))
      item->setData(Qt::ForegroundRole, i >= done ? QVariant(undone) : QVariant());
  }
  if (done > 0) history_->setCurrentRow(done - 1);
}

void EditorWindow::RebuildSatelliteFilter() {
  const QVariant current = filterSatellite_->currentData();
  const bool wasFilling = filling_;
  filling_ = true;
  filterSatellite_->clear();
  filterSatellite_->addItem("All satellites", 0u);
  for (const channels::Satellite& satellite : logic_->list()->satellites()) {
    filterSatellite_->addItem(ListText(satellite.name()), satellite.id().value);
  }
  const int index = filterSatellite_->findData(current);
  filterSatellite_->setCurrentIndex(index < 0 ? 0 : index);
  filling_ = wasFilling;
}

void EditorWindow::RebuildTree() {
  // Keeps which satellites are open and which items are selected.
  std::set<uint32_t> open, selectedSatellites, selectedTransponders;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    if (tree_->topLevelItem(i)->isExpanded())
      open.insert(tree_->topLevelItem(i)->data(0, kIdRole).toUInt());
  }
  const bool first = tree_->topLevelItemCount() == 0;
  for (QTreeWidgetItem* item : tree_->selectedItems()) {
    (item->data(0, kKindRole).toInt() == kSatelliteItem ? selectedSatellites : selectedTransponders)
        .insert(item->data(0, kIdRole).toUInt());
  }
  const bool wasFilling = filling_;
  filling_ = true;
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  const channels::ChannelList& list = *logic_->list();
  QList<QTreeWidgetItem*> items;
  for (const channels::Satellite& satellite : list.satellites()) {
    auto* item = new QTreeWidgetItem;
    for (int column = 0; column < kTreeColumnCount; ++column) {
      item->setText(column, ListText(SatelliteCellText(list, satellite, column)));
    }
    item->setData(0, kKindRole, kSatelliteItem);
    item->setData(0, kIdRole, satellite.id().value);
    for (int position : list.TransponderPositionsOf(satellite.id())) {
      const channels::Transponder& transponder = list.transponders()[static_cast<size_t>(position)];
      auto* child = new QTreeWidgetItem(item);
      for (int column = 0; column < kTreeColumnCount; ++column) {
        child->setText(column, ListText(TransponderCellText(list, transponder, column)));
      }
      child->setData(0, kKindRole, kTransponderItem);
      child->setData(0, kIdRole, transponder.id().value);
    }
    items << item;
  }
  tree_->addTopLevelItems(items);
  for (QTreeWidgetItem* item : items) {
    const uint32_t id = item->data(0, kIdRole).toUInt();
    item->setExpanded(first || open.count(id) > 0);
    item->setSelected(selectedSatellites.count(id) > 0);
    for (int j = 0; j < item->childCount(); ++j) {
      QTreeWidgetItem* child = item->child(j);
      child->setSelected(selectedTransponders.count(child->data(0, kIdRole).toUInt()) > 0);
    }
  }
  if (first) {
    const int digit = tree_->fontMetrics().horizontalAdvance('0');
    tree_->setColumnWidth(0, 15 * digit);
    tree_->setColumnWidth(1, 8 * digit);
    tree_->setColumnWidth(2, 7 * digit);
    tree_->setColumnWidth(3, 20 * digit);
  }
  tree_->setUpdatesEnabled(true);
  filling_ = wasFilling;
}

void EditorWindow::ApplyFilter() {
  if (logic_->list() == nullptr) return;
  ServiceFilter filter;
  filter.name = ListBytes(filterName_->text());
  filter.satellite = SatelliteId{filterSatellite_->currentData().toUInt()};
  filter.kind = static_cast<ServiceFilter::Kind>(std::max(0, filterKind_->currentIndex()));
  filter.favourites_only = filterFavourites_->isChecked();
  if (filterTransponder_->isChecked()) {
    const std::vector<TransponderId> transponders = SelectedTransponders();
    // No transponder selected shows none rather than all.
    filter.transponder = transponders.empty() ? TransponderId{0xFFFFFFFFu} : transponders.front();
  }
  const std::vector<ServiceId> selected = SelectedServices();
  model_->SetFilter(filter);
  SelectServices(selected);
  status_->setText(ListText(logic_->Status(model_->rowCount())));
}

void EditorWindow::OnRepairTextChanged() {
  const TextRepair& repair = logic_->CheckRepair(ListBytes(repairText_->toPlainText()));
  // The reader's message names the line itself.
  repairMessage_->setText(repair.reads() ? QString("The text reads. Go on into the tables.")
                                         : ListText(repair.message).trimmed());
  repairContinue_->setEnabled(repair.reads());
  // The reader's line stands out.
  QList<QTextEdit::ExtraSelection> marks;
  if (!repair.reads()) {
    QTextEdit::ExtraSelection mark;
    mark.format.setBackground(QColor(255, 220, 220));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    mark.cursor = QTextCursor(repairText_->document()->findBlockByNumber(repair.line - 1));
    marks << mark;
  }
  repairText_->setExtraSelections(marks);
  Refresh();
}

void EditorWindow::ShowRepairLine() {
  const int line = logic_->document().repair().line;
  QTextCursor cursor(repairText_->document()->findBlockByNumber(std::max(0, line - 1)));
  repairText_->setTextCursor(cursor);
  repairText_->centerCursor();
}

void EditorWindow::ContinueRepair() {
  logic_->ContinueWithRepair();
  Refresh();
}

// --- Selections ------------------------------------------------------------------

std::vector<ServiceId> EditorWindow::SelectedServices() const {
  std::vector<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  std::vector<ServiceId> ids;
  for (int row : rows) ids.push_back(model_->IdAt(row));
  if (ids.empty() && table_->currentIndex().isValid()) {
    ids.push_back(model_->IdAt(table_->currentIndex().row()));
  }
  return ids;
}

void EditorWindow::SelectServices(const std::vector<ServiceId>& ids, ServiceId current) {
  QItemSelection selection;
  const int last = kServiceColumnCount - 1;
  std::vector<int> rows;
  for (ServiceId id : ids) {
    const int row = model_->RowOf(id);
    if (row >= 0) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  for (size_t i = 0; i < rows.size();) {
    size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    selection.select(model_->index(rows[i], 0), model_->index(rows[j], last));
    i = j + 1;
  }
  QItemSelectionModel* model = table_->selectionModel();
  const int currentRow =
      model_->RowOf(current.valid() ? current : (ids.empty() ? ServiceId{} : ids.front()));
  if (currentRow >= 0) {
    model->setCurrentIndex(model_->index(currentRow, std::max(1, table_->currentIndex().column())),
                           QItemSelectionModel::NoUpdate);
    table_->scrollTo(model_->index(currentRow, 0));
  }
  model->select(selection, QItemSelectionModel::ClearAndSelect);
}

bool EditorWindow::TreeHasFocus() const {
  return tree_->hasFocus();
}

std::vector<SatelliteId> EditorWindow::SelectedSatellites() const {
  std::vector<SatelliteId> ids;
  for (QTreeWidgetItem* item : tree_->selectedItems()) {
    if (item->data(0, kKindRole).toInt() == kSatelliteItem) {
      ids.push_back(SatelliteId{item->data(0, kIdRole).toUInt()});
    }
  }
  return ids;
}

std::vector<TransponderId> EditorWindow::SelectedTransponders() const {
  std::vector<TransponderId> ids;
  for (QTreeWidgetItem* item : tree_->selectedItems()) {
    if (item->data(0, kKindRole).toInt() == kTransponderItem) {
      ids.push_back(TransponderId{item->data(0, kIdRole).toUInt()});
    }
  }
  return ids;
}

SatelliteId EditorWindow::CurrentSatellite() const {
  QTreeWidgetItem* item = tree_->currentItem();
  if (item == nullptr) return {};
  if (item->parent() != nullptr) item = item->parent();
  return SatelliteId{item->data(0, kIdRole).toUInt()};
}

void EditorWindow::OnServices(const std::function<void(const std::vector<ServiceId>&)>& edit) {
  const std::vector<ServiceId> ids = SelectedServices();
  const ServiceId current = model_->IdAt(table_->currentIndex().row());
  edit(ids);
  SelectServices(ids, current);
  Refresh();
}

// --- Commands ---------------------------------------------------------------------

void EditorWindow::Move(channels::MoveTo to) {
  if (TreeHasFocus()) {
    const auto transponders = SelectedTransponders();
    if (!transponders.empty()) {
      logic_->MoveTransponders(transponders, to);
    } else {
      logic_->MoveSatellites(SelectedSatellites(), to);
    }
    Refresh();
    return;
  }
  OnServices([&](const std::vector<ServiceId>& ids) { logic_->MoveServices(ids, to); });
}

void EditorWindow::MoveToPosition() {
  OnServices([&](const std::vector<ServiceId>& ids) { logic_->MoveServicesToPosition(ids); });
}

void EditorWindow::Sort(channels::ServiceSort sort) {
  OnServices([&](const std::vector<ServiceId>&) { logic_->SortServices(sort); });
}

void EditorWindow::ApplyOrder() {
  OnServices([&](const std::vector<ServiceId>&) { logic_->ApplyOrderFrom(); });
}

void EditorWindow::Toggle(channels::ServiceFlag flag) {
  OnServices([&](const std::vector<ServiceId>& ids) { logic_->ToggleFlag(ids, flag); });
}

void EditorWindow::RemoveDuplicates(channels::DuplicateKind kind) {
  OnServices([&](const std::vector<ServiceId>&) { logic_->RemoveDuplicates(kind); });
}

void EditorWindow::Cut() {
  const std::vector<ServiceId> ids = SelectedServices();
  const int row = table_->currentIndex().row();
  logic_->CutServices(ids);
  if (model_->rowCount() > 0) {
    table_->setCurrentIndex(model_->index(std::min(std::max(row, 0), model_->rowCount() - 1), 1));
  }
  Refresh();
}

void EditorWindow::Copy() {
  logic_->CopyServices(SelectedServices());
}

void EditorWindow::Paste() {
  // Before the current row, or at the end.
  const int row = table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
  const int position = row < 0 ? model_->PositionAt(model_->rowCount()) : model_->PositionAt(row);
  const std::vector<ServiceId> pasted = logic_->Paste(position);
  SelectServices(pasted);
  Refresh();
}

void EditorWindow::Delete() {
  if (TreeHasFocus()) {
    const auto transponders = SelectedTransponders();
    const auto satellites = SelectedSatellites();
    if (!satellites.empty()) {
      logic_->DeleteSatellites(satellites);
    } else if (!transponders.empty()) {
      logic_->DeleteTransponders(transponders);
    }
    Refresh();
    return;
  }
  const int row = table_->currentIndex().row();
  logic_->DeleteServices(SelectedServices());
  if (model_->rowCount() > 0) {
    table_->setCurrentIndex(model_->index(std::min(std::max(row, 0), model_->rowCount() - 1), 1));
  }
  Refresh();
}

void EditorWindow::Rename() {
  if (TreeHasFocus()) {
    ChangeRecord();
    return;
  }
  const int row = table_->currentIndex().row();
  if (row < 0) return;
  const QModelIndex name = model_->index(row, static_cast<int>(ServiceColumn::kName));
  table_->setCurrentIndex(name);
  table_->edit(name);
}

void EditorWindow::FocusFilter() {
  filterName_->setFocus(Qt::ShortcutFocusReason);
  filterName_->selectAll();
}

void EditorWindow::AddSatellite() {
  const int position = static_cast<int>(logic_->list()->satellites().size());
  logic_->AddSatellite(position);
  Refresh();
}

void EditorWindow::AddTransponder() {
  SatelliteId satellite = CurrentSatellite();
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

void EditorWindow::ChangeRecord() {
  QTreeWidgetItem* item = tree_->currentItem();
  if (item == nullptr) return;
  const uint32_t id = item->data(0, kIdRole).toUInt();
  if (item->data(0, kKindRole).toInt() == kSatelliteItem) {
    logic_->ChangeSatellite(SatelliteId{id});
  } else {
    logic_->ChangeTransponder(TransponderId{id});
  }
  Refresh();
}

void EditorWindow::MoveToSatellite() {
  logic_->MoveTranspondersToSatellite(SelectedTransponders());
  Refresh();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (logic_->CanClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace tavlink::editor
