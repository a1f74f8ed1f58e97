// The editor window driven by its actions and keys, offscreen: the sample
// edited from the keyboard and saved, a refused text mended in the text
// view, a refused value, closing with unsaved changes, drag and drop.
#include "editor_qt/editor_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>

#include "support/modal_driver.h"
#include "editor/editor_texts.h"
#include "editor/scripted_editor_shell.h"
#include "editor_qt/service_table_model.h"
#include "support/file_bytes.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace tavlink::editor {
namespace {

using testing::ModalDriver;

// The text of a message box, and presses `button`.
std::string Answer(QWidget* window, QMessageBox::StandardButton button) {
  auto* box = qobject_cast<QMessageBox*>(window);
  if (box == nullptr) return "(not a message box)";
  const std::string text = box->text().toStdString();
  box->button(button)->click();
  return text;
}

// Replaces, in `text`, the line that starts with `start` by `line`
// (nothing: removes it).
void ReplaceLine(std::string& text, const std::string& start, const std::string& line) {
  const size_t at = text.find("\n" + start);
  ASSERT_NE(at, std::string::npos) << start;
  const size_t end = text.find('\n', at + 1);
  text.replace(at + 1, end - at, line.empty() ? "" : line + "\r\n");
}

class EditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApp();
    path_ = folder_.File("factory_data.txt");
    testing::WriteBytes(path_, testing::ReadBytes(testing::SampleDataText().string()));
  }
  // A window shown and active, with `path` open.
  std::unique_ptr<EditorWindow> Open(const std::string& path) {
    auto window = std::make_unique<EditorWindow>(store_, nullptr,
                                                 [] { return std::vector<SerialDeviceInfo>{}; });
    window->show();
    testing::Activate(window.get());
    EXPECT_TRUE(window->Logic().OpenPath(path));
    return window;
  }
  static void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(widget, key, modifiers);
    QApplication::processEvents();
  }
  static std::string Cell(EditorWindow& window, int row, ServiceColumn column) {
    return window.Services().index(row, static_cast<int>(column)).data().toString().toStdString();
  }

  testing::TempFolder folder_;
  std::string path_;
  std::shared_ptr<testing::EditorMemoryStore> store_ =
      std::make_shared<testing::EditorMemoryStore>();
};

TEST_F(EditorWindowTest, KeyboardEditsUndoneThenATransponderDeletedAndSaved) {
  auto window = Open(path_);
  QTableView* table = window->ServicesView();
  table->setFocus();
  // "RTL", the fourth service, to the top.
  table->setCurrentIndex(window->Services().index(3, 1));
  Key(table, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Cell(*window, 0, ServiceColumn::kName), "RTL");
  EXPECT_EQ(Cell(*window, 1, ServiceColumn::kName), "Das Erste");
  EXPECT_EQ(window->SelectedServices(),
            (std::vector<channels::ServiceId>{window->Services().IdAt(0)}));
  EXPECT_EQ(window->windowTitle().toStdString(), "factory_data.txt * - ZOR Link Channel Editor");
  // F2 renames the current service.
  table->setCurrentIndex(window->Services().index(2, 1));  // ZDF
  Key(table, Qt::Key_F2);
  auto* editor = table->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr) << "F2 opened no editor";
  editor->selectAll();
  QTest::keyClicks(editor, "ZDF HD");
  Key(editor, Qt::Key_Return);
  EXPECT_EQ(Cell(*window, 2, ServiceColumn::kName), "ZDF HD");
  EXPECT_EQ(window->Action("undo")->text().toStdString(),
            "&Undo Rename service \"ZDF\" to \"ZDF HD\"");
  EXPECT_EQ(window->HistoryList()->count(), 2);
  // Undo both.
  Key(table, Qt::Key_Z, Qt::ControlModifier);
  Key(table, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cell(*window, 0, ServiceColumn::kName), "Das Erste");
  EXPECT_EQ(Cell(*window, 1, ServiceColumn::kName), "ZDF");
  EXPECT_EQ(Cell(*window, 3, ServiceColumn::kName), "RTL");
  EXPECT_EQ(window->windowTitle().toStdString(), "factory_data.txt - ZOR Link Channel Editor");

  // Delete transponder 11953 H from the tree: asked with its services.
  QTreeWidget* tree = window->Tree();
  tree->setFocus();
  QTreeWidgetItem* transponder = tree->topLevelItem(0)->child(1);
  ASSERT_EQ(transponder->text(0).toStdString(), "11953 H");
  tree->setCurrentItem(transponder);
  ModalDriver driver;
  std::string question;
  driver.Then([&](QWidget* box) { question = Answer(box, QMessageBox::Yes); });
  Key(tree, Qt::Key_Delete);
  EXPECT_TRUE(driver.done());
  EXPECT_EQ(question, "Delete transponder 11953 H and its 2 services?");
  EXPECT_EQ(window->Services().rowCount(), 14);
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), 4);

  testing::Activate(window.get());
  Key(table, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(driver.unexpected().empty()) << driver.unexpected().front();
  EXPECT_EQ(window->windowTitle().toStdString(), "factory_data.txt - ZOR Link Channel Editor");
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
  EXPECT_EQ(testing::ReadBytes(path_), expected);
}

TEST_F(EditorWindowTest, ATextWithAnErrorOnLineSevenOpensThereAndIsMended) {
  std::string text = testing::ReadBytes(testing::SampleDataText().string());
  // Line 7 is the empty line after the title banner.
  size_t at = 0;
  for (int line = 1; line < 7; ++line) at = text.find('\n', at) + 1;
  ASSERT_EQ(text.substr(at, 2), "\r\n");
  text.insert(at, "x garbled");
  const std::string broken = folder_.File("broken.txt");
  testing::WriteBytes(broken, text);
  auto window = Open(broken);

  QPlainTextEdit* view = window->RepairText();
  ASSERT_TRUE(view->isVisible());
  EXPECT_EQ(view->textCursor().blockNumber(), 6);  // line 7
  EXPECT_EQ(view->textCursor().block().text().toStdString(), "x garbled");
  const std::string message = window->RepairMessage()->text().toStdString();
  EXPECT_NE(message.find("line 7"), std::string::npos) << message;
  EXPECT_EQ(message, "* Error : line 7. Invalid tag 'x'.");
  auto* goOn = window->findChild<QPushButton*>("repairContinue");
  ASSERT_NE(goOn, nullptr);
  EXPECT_FALSE(goOn->isEnabled());
  EXPECT_FALSE(window->Action("writeReceiver")->isEnabled());

  // Mend it: the line's text away, checked as typed.
  QTextCursor cursor = view->textCursor();
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  view->setTextCursor(cursor);
  view->setFocus();
  Key(view, Qt::Key_Backspace);
  EXPECT_TRUE(goOn->isEnabled());
  EXPECT_EQ(window->RepairMessage()->text().toStdString(),
            "The text reads. Go on into the tables.");
  goOn->click();
  QApplication::processEvents();
  EXPECT_TRUE(window->ServicesView()->isVisible());
  EXPECT_EQ(window->Services().rowCount(), 16);
  EXPECT_EQ(window->windowTitle().toStdString(), "broken.txt * - ZOR Link Channel Editor");
}

TEST_F(EditorWindowTest, ARefusedValueShowsTheModelsMessageAndKeepsTheOldOne) {
  auto window = Open(path_);
  QTableView* table = window->ServicesView();
  const QModelIndex pid = window->Services().index(1, static_cast<int>(ServiceColumn::kVideoPid));
  table->setFocus();
  table->setCurrentIndex(pid);
  table->edit(pid);
  auto* editor = table->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "9000");
  ModalDriver driver;
  std::string message;
  driver.Then([&](QWidget* box) { message = testing::AcceptBox(box); });
  Key(editor, Qt::Key_Return);
  EXPECT_TRUE(driver.done());
  EXPECT_NE(message.find("video_pid must be 0 to 8191"), std::string::npos) << message;
  EXPECT_EQ(Cell(*window, 1, ServiceColumn::kVideoPid), "110");
  EXPECT_FALSE(window->Logic().document().IsModified());
}

TEST_F(EditorWindowTest, ClosingWithUnsavedChangesAsks) {
  auto window = Open(path_);
  QTableView* table = window->ServicesView();
  table->setFocus();
  table->setCurrentIndex(window->Services().index(2, 1));
  Key(table, Qt::Key_Space);  // favourite
  EXPECT_EQ(window->Services()
                .index(2, static_cast<int>(ServiceColumn::kFavourite))
                .data(Qt::CheckStateRole)
                .toInt(),
            Qt::Checked);
  ModalDriver driver;
  std::string question;
  driver.Then([&](QWidget* box) { question = Answer(box, QMessageBox::Cancel); });
  driver.Then([&](QWidget* box) { Answer(box, QMessageBox::Discard); });
  EXPECT_FALSE(window->close());
  EXPECT_EQ(question, "Save the changes to factory_data.txt?");
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(driver.done());
  EXPECT_EQ(testing::ReadBytes(path_), testing::ReadBytes(testing::SampleDataText().string()));
}

TEST_F(EditorWindowTest, TheFilterAndTheTransponderNarrowTheTableAndTheStatusCounts) {
  auto window = Open(path_);
  Key(window->ServicesView(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(window->FilterBox()->hasFocus());
  QTest::keyClicks(window->FilterBox(), "rai");
  QApplication::processEvents();
  EXPECT_EQ(window->Services().rowCount(), 4);
  auto* status = window->statusBar()->findChild<QLabel*>();
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text().toStdString(),
            "4 shown, 16 of 1,500 services, 9 of 1,024 transponders, 3 of 106 satellites");
  // Moves act on the shown rows' services: Rai 2 above Rai 1.
  window->ServicesView()->setFocus();
  window->SelectServices({window->Services().IdAt(1)});
  Key(window->ServicesView(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Cell(*window, 0, ServiceColumn::kName), "Rai 2");
  EXPECT_EQ(Cell(*window, 0, ServiceColumn::kPosition), "9");
  window->FilterBox()->clear();
  auto* onlyTransponder = window->findChild<QCheckBox*>("filterTransponder");
  ASSERT_NE(onlyTransponder, nullptr);
  window->Tree()->setCurrentItem(window->Tree()->topLevelItem(0)->child(3));  // 12266 H
  onlyTransponder->setChecked(true);
  EXPECT_EQ(window->Services().rowCount(), 2);
  EXPECT_EQ(Cell(*window, 0, ServiceColumn::kName), "Bayern 3");
}

TEST_F(EditorWindowTest, DraggedRowsMoveWhereTheyAreDropped) {
  auto window = Open(path_);
  ServiceTableModel& model = window->Services();
  // Das Erste and 3sat dropped before SAT.1 (row 4).
  std::unique_ptr<QMimeData> data(model.mimeData({model.index(0, 1), model.index(2, 1)}));
  ASSERT_NE(data, nullptr);
  EXPECT_FALSE(model.dropMimeData(data.get(), Qt::MoveAction, 4, 0, {}));
  std::vector<std::string> names;
  for (int row = 0; row < 6; ++row) names.push_back(Cell(*window, row, ServiceColumn::kName));
  EXPECT_EQ(names,
            (std::vector<std::string>{"ZDF", "RTL", "Das Erste", "3sat", "SAT.1", "ProSieben"}));
  // Dropped on another window, they are pasted there.
  auto other = Open(path_);
  std::unique_ptr<QMimeData> copy(model.mimeData({model.index(2, 1)}));
  EXPECT_FALSE(other->Services().dropMimeData(copy.get(), Qt::CopyAction, 0, 0, {}));
  EXPECT_EQ(other->Services().rowCount(), 17);
  EXPECT_EQ(Cell(*other, 0, ServiceColumn::kName), "Das Erste");
  EXPECT_EQ(other->Logic().list()->transponders().size(), 9u);
}

TEST_F(EditorWindowTest, HistoryGreysUndoneStepsAndEnterGoesBackToOne) {
  auto window = Open(path_);
  QTableView* table = window->ServicesView();
  table->setFocus();
  for (int row : {3, 5, 7}) {
    window->SelectServices({window->Services().IdAt(row)});
    Key(table, Qt::Key_Home, Qt::ControlModifier);
  }
  QListWidget* history = window->HistoryList();
  ASSERT_EQ(history->count(), 3);
  EXPECT_EQ(history->item(0)->text().toStdString(), "Move service \"RTL\"");
  EXPECT_EQ(history->item(2)->text().toStdString(), "Move service \"DLF\"");
  Key(table, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(history->count(), 3);
  EXPECT_FALSE(history->item(1)->data(Qt::ForegroundRole).isValid());
  EXPECT_TRUE(history->item(2)->data(Qt::ForegroundRole).isValid());
  // Enter on the first step: only it stays done.
  history->setFocus();
  history->setCurrentRow(0);
  Key(history, Qt::Key_Return);
  EXPECT_EQ(window->Logic().UndoDepth(), 1u);
  EXPECT_TRUE(history->item(1)->data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(Cell(*window, 0, ServiceColumn::kName), "RTL");
  EXPECT_EQ(Cell(*window, 1, ServiceColumn::kName), "Das Erste");
  // A new step drops the undone ones.
  table->setFocus();
  window->SelectServices({window->Services().IdAt(15)});
  Key(table, Qt::Key_Home, Qt::ControlModifier);
  ASSERT_EQ(history->count(), 2);
  EXPECT_EQ(history->item(1)->text().toStdString(), "Move service \"TRT FM\"");
  EXPECT_FALSE(history->item(1)->data(Qt::ForegroundRole).isValid());
}

}  // namespace
}  // namespace tavlink::editor
