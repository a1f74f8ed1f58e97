// The Qt file dialog as the file commands set it up, offscreen: the type
// list shows its labels as given, and each entry lists the files its label
// promises ("All files (*.*)" every file, with a dot in its name or not).
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <set>
#include <string>

#include "app/link_shell.h"
#include "support/modal_driver.h"  // TestApp
#include "app_qt/qt_shell.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

class QtFileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApp();
    ASSERT_FALSE(folder_.path().empty());
    for (const char* name : {"rom.bin", "README", "notes.txt", "image.BIN.old"})
      WriteBytes(folder_.File(name), "x");
    app::ConfigureOpenDialog(
        dialog_, {"rom.bin", {{"ROM image files (*.bin)", "*.bin"}, {"All files (*.*)", "*.*"}}});
    dialog_.setDirectory(QString::fromStdString(folder_.path().string()));
  }

  QComboBox* Types() { return dialog_.findChild<QComboBox*>("fileTypeCombo"); }

  // The names the dialog's list offers now (enabled entries only: a filter
  // may grey out what it does not match instead of hiding it).
  std::set<std::string> Listed() {
    std::set<std::string> names;
    auto* view = dialog_.findChild<QListView*>("listView");
    if (view == nullptr || view->model() == nullptr) return names;
    const QAbstractItemModel& model = *view->model();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model.rowCount(root); ++row) {
      const QModelIndex entry = model.index(row, 0, root);
      if (model.flags(entry) & Qt::ItemIsEnabled)
        names.insert(model.data(entry).toString().toStdString());
    }
    return names;
  }

  // Waits until the folder has been read (in the background) and `name`
  // is listed; the list then.
  std::set<std::string> ListedOnce(const std::string& name) {
    (void)QTest::qWaitFor([&] { return Listed().count(name) != 0; }, 10000);
    return Listed();
  }

  TempFolder folder_;
  QFileDialog dialog_;
};

TEST_F(QtFileDialogTest, TypeListShowsTheLabelsAsGiven) {
  QComboBox* types = Types();
  ASSERT_NE(types, nullptr);
  ASSERT_EQ(types->count(), 2);
  EXPECT_EQ(types->itemText(0), "ROM image files (*.bin)");
  EXPECT_EQ(types->itemText(1), "All files (*.*)");
}

TEST_F(QtFileDialogTest, EachTypeListsTheFilesItsLabelPromises) {
  ASSERT_NE(Types(), nullptr);
  EXPECT_EQ(ListedOnce("rom.bin"), (std::set<std::string>{"rom.bin"}));

  // Chosen as a user does: the entry becomes current and is activated.
  Types()->setCurrentIndex(1);
  emit Types()->activated(1);
  EXPECT_EQ(ListedOnce("README"),
            (std::set<std::string>{"rom.bin", "README", "notes.txt", "image.BIN.old"}));
  EXPECT_EQ(Types()->currentText(), "All files (*.*)");
}

}  // namespace
}  // namespace tavlink
